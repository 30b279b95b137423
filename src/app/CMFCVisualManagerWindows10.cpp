#include "CMFCVisualManagerWindows10.h"

#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyleFactory>
#include <QtWidgets/QFrame>
#include <QtWidgets/QStyleOption>
#include <QtWidgets/QTabBar>

namespace {

using VM = CMFCVisualManagerWindows10;

// The ribbon: white behind the tabs and the toolbar, the flat bar colour behind the panels,
// thin lines between the panels and around the panel area. Palettes, not style sheets: a
// sheet puts every widget below it through the much slower sheet style.
void StyleRibbon(QWidget* ribbon)
{
    QPalette pal = ribbon->palette();
    pal.setColor(QPalette::Window, pal.color(QPalette::Base));
    ribbon->setPalette(pal);
    ribbon->setAutoFillBackground(true);
    auto* panels = ribbon->findChild<QFrame*>(QStringLiteral("RibbonPanels"));
    if (panels) {
        QPalette framed = pal;
        framed.setColor(QPalette::Window, VM::kBarBackground);
        framed.setColor(QPalette::WindowText, VM::kBorder); // the frame's lines
        panels->setPalette(framed);
        panels->setAutoFillBackground(true);
        panels->setFrameShape(QFrame::Box);
        panels->setFrameShadow(QFrame::Plain);
        QPalette inside = pal;
        inside.setColor(QPalette::Window, VM::kBarBackground);
        for (QWidget* page : panels->findChildren<QWidget*>(QStringLiteral("RibbonCategory")))
            page->setPalette(inside);
    }
    for (QFrame* line : ribbon->findChildren<QFrame*>(QStringLiteral("ribbonLine"))) {
        QPalette linePal = line->palette();
        linePal.setColor(QPalette::WindowText, VM::kBorder);
        line->setPalette(linePal);
    }
    for (QWidget* label : ribbon->findChildren<QWidget*>(QStringLiteral("RibbonPanelLabel"))) {
        QPalette grey = label->palette();
        grey.setColor(QPalette::WindowText, pal.color(QPalette::Dark));
        label->setPalette(grey);
    }
    if (auto* app = ribbon->findChild<QWidget*>(QStringLiteral("RibbonApplicationButton"))) {
        QPalette white = app->palette();
        white.setColor(QPalette::ButtonText, pal.color(QPalette::HighlightedText));
        app->setPalette(white);
    }
}

void StyleNavbar(QWidget* navbar)
{
    for (const char* name : {"NavbarCaption", "NavTree"})
        if (auto* w = navbar->findChild<QWidget*>(QLatin1String(name))) {
            QPalette pal = w->palette();
            pal.setColor(QPalette::Window, VM::kBarBackground);
            pal.setColor(QPalette::Base, VM::kBarBackground);
            w->setPalette(pal);
            w->setAutoFillBackground(true);
        }
}

bool IsRibbonTab(const QWidget* w) { return w && w->objectName() == QLatin1String("RibbonTabs"); }

} // namespace

CMFCVisualManagerWindows10::CMFCVisualManagerWindows10() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
    setObjectName(QStringLiteral("CMFCVisualManagerWindows10"));
}

bool CMFCVisualManagerWindows10::IsInstalled()
{
    return qobject_cast<CMFCVisualManagerWindows10*>(QApplication::style()) != nullptr;
}

void CMFCVisualManagerWindows10::Apply(QWidget* ribbon, QWidget* navbar, QTabBar* moduleTabs)
{
    if (!IsInstalled())
        QApplication::setStyle(new CMFCVisualManagerWindows10);
    if (ribbon)
        StyleRibbon(ribbon);
    if (navbar)
        StyleNavbar(navbar);
    if (moduleTabs)
        moduleTabs->setDrawBase(true);
}

void CMFCVisualManagerWindows10::drawPrimitive(PrimitiveElement pe, const QStyleOption* opt, QPainter* p,
                                               const QWidget* w) const
{
    if (pe == PE_PanelButtonTool && w && w->objectName() == QLatin1String("RibbonApplicationButton")) {
        // flat, in the highlight colour, a little lighter while hot
        const QColor base = opt->palette.color(QPalette::Highlight);
        const bool hot = (opt->state & State_MouseOver) && !(opt->state & State_Sunken);
        p->fillRect(opt->rect.adjusted(0, 3, 0, 0), hot ? base.lighter(110) : base);
        return;
    }
    if (pe == PE_FrameTabBarBase) {
        p->save();
        p->setPen(kBorder);
        p->drawLine(opt->rect.bottomLeft(), opt->rect.bottomRight());
        p->restore();
        return;
    }
    if (pe == PE_PanelButtonTool && (opt->state & State_AutoRaise || !(opt->state & State_Raised))) {
        // flat: a fill and a thin border only while hot, pressed or checked
        const bool enabled = opt->state & State_Enabled;
        QColor fill;
        QColor border = kPressedBorder;
        if (enabled && (opt->state & State_Sunken))
            fill = kPressed;
        else if (opt->state & State_On)
            fill = kChecked;
        else if (enabled && (opt->state & State_MouseOver))
            fill = kHighlighted;
        if (fill.isValid()) {
            p->save();
            p->setPen(border);
            p->setBrush(fill);
            p->drawRect(opt->rect.adjusted(0, 0, -1, -1));
            p->restore();
        }
        return;
    }
    if (pe == PE_IndicatorTabClose) {
        p->save();
        QFont bold = w ? w->font() : QApplication::font();
        bold.setBold(true);
        p->setFont(bold);
        const bool hot = (opt->state & State_MouseOver) && (opt->state & State_Enabled);
        p->setPen(hot ? kCloseHot : opt->palette.color(QPalette::Disabled, QPalette::WindowText));
        p->drawText(opt->rect.adjusted(0, 0, -2, 0), Qt::AlignCenter, QStringLiteral("✕"));
        p->restore();
        return;
    }
    QProxyStyle::drawPrimitive(pe, opt, p, w);
}

void CMFCVisualManagerWindows10::drawControl(ControlElement ce, const QStyleOption* opt, QPainter* p,
                                             const QWidget* w) const
{
    if (ce == CE_TabBarTabShape) {
        // flat tabs: the active one in the bar colour, open towards the page below it;
        // a hot one only framed; the others just sit on the base line
        const QRect r = IsRibbonTab(w) ? opt->rect.adjusted(0, 3, -2, 0) : opt->rect.adjusted(0, 0, -1, 0);
        const bool selected = opt->state & State_Selected;
        const bool hot = (opt->state & State_MouseOver) && (opt->state & State_Enabled);
        p->save();
        if (selected)
            p->fillRect(r, kBarBackground);
        else if (!IsRibbonTab(w))
            p->fillRect(r, opt->palette.color(QPalette::Base));
        p->setPen(kBorder);
        if (selected || hot || !IsRibbonTab(w)) {
            p->drawLine(r.topLeft(), r.bottomLeft());
            p->drawLine(r.topLeft(), r.topRight());
            p->drawLine(r.topRight(), r.bottomRight());
        }
        if (!selected)
            p->drawLine(opt->rect.bottomLeft(), opt->rect.bottomRight());
        p->restore();
        return;
    }
    if (ce == CE_MenuItem && (opt->state & State_Selected) && (opt->state & State_Enabled)) {
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(opt)) {
            // the hot entry: the light fill framed in the menu border colour, normal text
            p->save();
            p->setPen(kMenuBorder);
            p->setBrush(kHighlighted);
            p->drawRect(opt->rect.adjusted(1, 0, -2, -1));
            p->restore();
            QStyleOptionMenuItem plain = *item;
            plain.state &= ~State_Selected;
            QProxyStyle::drawControl(ce, &plain, p, w);
            return;
        }
    }
    QProxyStyle::drawControl(ce, opt, p, w);
}
