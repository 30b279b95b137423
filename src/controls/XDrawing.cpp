#include "XDrawing.h"

#include "XAppServices.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOption>

namespace {

int g_keptOverride = 0;
int g_currentOverride = 0;

int QueryDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchX()) : 96;
}

QStyle* StyleOf(const QWidget* w) { return w ? w->style() : QApplication::style(); }

void DrawGlyph(QPainter* p, const QRect& rc, bool checked, bool enabled, bool hot, const QWidget* w, bool radio)
{
    QStyleOptionButton opt;
    if (w)
        opt.initFrom(w);
    opt.rect = rc;
    opt.state = QStyle::State_None;
    opt.state |= checked ? QStyle::State_On : QStyle::State_Off;
    if (enabled)
        opt.state |= QStyle::State_Enabled;
    if (hot && enabled)
        opt.state |= QStyle::State_MouseOver;
    if (!enabled)
        opt.palette.setCurrentColorGroup(QPalette::Disabled);
    StyleOf(w)->drawPrimitive(radio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox, &opt, p, w);
}

void DrawButtonGlyph(QPainter* p, const QRect& rc, bool checked, bool enabled, bool hot, const QWidget* w, bool radio)
{
    DrawGlyph(p, rc, checked, enabled, hot, w, radio);
    if (!checked || enabled || rc.isEmpty())
        return;
    // keep the enabled mark: copy the centre of an enabled rendering over the disabled one
    QImage img(rc.size(), QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    {
        QPainter ip(&img);
        DrawGlyph(&ip, QRect(QPoint(0, 0), rc.size()), true, true, false, w, radio);
    }
    const int W = rc.width(), H = rc.height();
    const int icon = 16; // the small icon size at 96 dpi
    QRect block;
    if (radio) {
        const int x = (W - icon / 2) / 2, y = (H - icon / 2) / 2;
        block = QRect(x, y, W - 2 * x - 1, H - 2 * y - 1);
    } else {
        const int a = (W - 10) / 2, y = (H - 10) / 2;
        block = QRect(a, y, W - 2 * a - 1, 9 + (H - 10) % 2);
    }
    if (block.width() > 0 && block.height() > 0)
        p->drawImage(rc.topLeft() + block.topLeft(), img, block);
}

} // namespace

void DrawCmdButton(QPainter* p, int id, const QRect& rc, bool enabled, bool pressed, bool hot, const QWidget* w)
{
    if (id == 0 || rc.isEmpty())
        return;
    if (enabled && (pressed || hot)) {
        QStyleOption opt;
        if (w)
            opt.initFrom(w);
        opt.rect = rc;
        opt.state = QStyle::State_Enabled | QStyle::State_Raised;
        opt.state |= hot ? QStyle::State_MouseOver : QStyle::State_Sunken;
        StyleOf(w)->drawPrimitive(QStyle::PE_PanelButtonTool, &opt, p, w);
    }
    const QIcon icon = AppServices().CommandIcon(id, enabled ? 0 : 0xFFFFFF, false);
    if (!icon.isNull())
        icon.paint(p, QRect(rc.left() + rc.width() / 2 - 8, rc.top() + rc.height() / 2 - 8, 16, 16));
}

void DrawRadioButton(QPainter* p, const QRect& rc, bool checked, bool enabled, bool hot, const QWidget* w)
{
    DrawButtonGlyph(p, rc, checked, enabled, hot, w, true);
}

void DrawCheckBox(QPainter* p, const QRect& rc, bool checked, bool enabled, bool hot, const QWidget* w)
{
    DrawButtonGlyph(p, rc, checked, enabled, hot, w, false);
}

void DrawComboFrame(QPainter* p, const QRect& rc, bool enabled, const QWidget* w)
{
    QStyleOptionFrame opt;
    if (w)
        opt.initFrom(w);
    opt.rect = rc;
    opt.lineWidth = 1;
    opt.state = enabled ? QStyle::State_Enabled : QStyle::State_None;
    if (!enabled)
        opt.palette.setCurrentColorGroup(QPalette::Disabled);
    StyleOf(w)->drawPrimitive(QStyle::PE_FrameLineEdit, &opt, p, w);
    if (!enabled && w && w->parentWidget())
        p->fillRect(rc.adjusted(2, 2, -2, -2), w->parentWidget()->palette().brush(w->parentWidget()->backgroundRole()));
}

int ScreenDpi()
{
    if (g_keptOverride)
        return g_keptOverride;
    static const int dpi = QueryDpi();
    return dpi;
}

int ReadScreenDpi()
{
    if (g_currentOverride)
        return g_currentOverride;
    return g_keptOverride ? g_keptOverride : QueryDpi();
}

int RowHeight() { return std::max(24, ScreenDpi() * 24 / 96 - 2); }

void SetScreenDpiOverride(int kept, int current)
{
    g_keptOverride = kept;
    g_currentOverride = current;
}
