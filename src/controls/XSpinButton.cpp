#include "XSpinButton.h"

#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QStyleOption>

XSpinButton::XSpinButton(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true); // hot tracking
    setCursor(Qt::ArrowCursor);
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        m_repeat.setInterval(50);
        if (m_nPressed)
            emit delta(m_nPressed);
    });
}

void XSpinButton::SetRange(int min, int max)
{
    m_nMin = std::min(min, max);
    m_nMax = std::max(min, max);
}

QSize XSpinButton::sizeHint() const { return QSize(17, 22); }

int XSpinButton::PartAt(const QPoint& pos) const { return pos.y() < height() / 2 ? 1 : -1; }

void XSpinButton::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect up(0, 0, width(), height() / 2);
    const QRect down(0, height() / 2, width(), height() - height() / 2);
    for (int part : {1, -1}) {
        QStyleOption opt;
        opt.initFrom(this);
        opt.rect = part > 0 ? up : down;
        if (m_nPressed == part)
            opt.state |= QStyle::State_Sunken;
        if (m_nHot == part)
            opt.state |= QStyle::State_MouseOver;
        style()->drawPrimitive(QStyle::PE_PanelButtonTool, &opt, &p, this);
        style()->drawPrimitive(part > 0 ? QStyle::PE_IndicatorSpinUp : QStyle::PE_IndicatorSpinDown, &opt, &p, this);
    }
}

void XSpinButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_nPressed = PartAt(event->position().toPoint());
    emit delta(m_nPressed);
    m_repeat.start(400);
    update();
}

void XSpinButton::mouseReleaseEvent(QMouseEvent*)
{
    m_nPressed = 0;
    m_repeat.stop();
    update();
}

void XSpinButton::mouseMoveEvent(QMouseEvent* event)
{
    const int hot = PartAt(event->position().toPoint());
    if (hot != m_nHot) {
        m_nHot = hot;
        update();
    }
}

void XSpinButton::leaveEvent(QEvent*)
{
    m_nHot = 0;
    update();
}
