#include "XBalloonTip.h"

#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>

QPointer<XBalloonTip> XBalloonTip::s_current;

namespace {
constexpr int kTail = 10;
constexpr int kPad = 8;
} // namespace

XBalloonTip::XBalloonTip(const QString& title, const QString& text, int type)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint), m_strTitle(title), m_strText(text), m_nType(type)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_TranslucentBackground);
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics fmBold(bold);
    const QFontMetrics fm(font());
    const QRect textRect = fm.boundingRect(QRect(0, 0, 320, 1000), Qt::TextWordWrap, m_strText);
    const int w = std::max(fmBold.horizontalAdvance(m_strTitle) + 24, textRect.width()) + 2 * kPad;
    const int h = fmBold.height() + textRect.height() + 3 * kPad + kTail;
    resize(std::max(w, 120), h);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::close);
    m_timer.start(10000);
    qApp->installEventFilter(this);
}

void XBalloonTip::ShowAt(QWidget* control, const QRect& anchor, const QString& title, const QString& text, int type)
{
    CloseCurrent();
    auto* tip = new XBalloonTip(title, text, type);
    s_current = tip;
    const QPoint tailAt = control->mapToGlobal(anchor.center());
    tip->move(tailAt.x() - 20, tailAt.y());
    tip->show();
}

void XBalloonTip::CloseCurrent()
{
    if (s_current)
        s_current->close();
}

void XBalloonTip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF body(0.5, kTail + 0.5, width() - 1, height() - kTail - 1);
    QPainterPath path;
    path.addRoundedRect(body, 6, 6);
    QPolygonF tail;
    tail << QPointF(14, kTail + 1) << QPointF(20, 0.5) << QPointF(30, kTail + 1);
    QPainterPath tailPath;
    tailPath.addPolygon(tail);
    path = path.united(tailPath);
    p.setPen(palette().color(QPalette::ToolTipText));
    p.setBrush(palette().color(QPalette::ToolTipBase));
    p.drawPath(path);

    const QStyle::StandardPixmap sp = m_nType == 3   ? QStyle::SP_MessageBoxCritical
                                      : m_nType == 2 ? QStyle::SP_MessageBoxWarning
                                                     : QStyle::SP_MessageBoxInformation;
    QFont bold = font();
    bold.setBold(true);
    const int top = kTail + kPad;
    style()->standardIcon(sp).paint(&p, QRect(kPad, top, 16, 16));
    p.setFont(bold);
    p.drawText(QRect(kPad + 22, top, width() - 2 * kPad - 22, QFontMetrics(bold).height()), Qt::AlignLeft, m_strTitle);
    p.setFont(font());
    const int textTop = top + QFontMetrics(bold).height() + kPad;
    p.drawText(QRect(kPad, textTop, width() - 2 * kPad, height() - textTop - kPad), Qt::TextWordWrap, m_strText);
}

void XBalloonTip::mousePressEvent(QMouseEvent*) { close(); }

bool XBalloonTip::eventFilter(QObject* watched, QEvent* event)
{
    Q_UNUSED(watched);
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::FocusOut:
        close();
        break;
    default:
        break;
    }
    return false;
}
