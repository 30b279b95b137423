#include "XCmdRow.h"

#include "Resources.h"
#include "XDrawing.h"

#include <QtGui/QHelpEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QToolTip>

XCmdRow::XCmdRow(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

CXCmd* XCmdRow::HitTest(const QPoint& pt) const
{
    for (CXCmd* c : m_cmds)
        if (c->m_nID != 0 && c->m_bShown && c->m_rc.contains(pt))
            return c;
    return nullptr;
}

void XCmdRow::ClearStates()
{
    for (CXCmd* c : m_cmds)
        c->m_bPressed = c->m_bHot = c->m_bTracking = false;
}

void XCmdRow::paintEvent(QPaintEvent*)
{
    if (onUpdate)
        onUpdate();
    QPainter p(this);
    p.fillRect(rect(), palette().color(m_bWindowBackground ? QPalette::Base : QPalette::Window));
    for (CXCmd* c : m_cmds) {
        if (c->m_nID == 0 || !c->m_bShown)
            continue;
        if (c->m_bTextButton) {
            p.setPen(palette().color(c->m_bEnabled ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
            p.drawText(c->m_rc, Qt::AlignCenter | Qt::TextSingleLine, c->m_strText);
        } else {
            DrawCmdButton(&p, c->m_nID, c->m_rc, c->m_bEnabled, c->m_bPressed, c->m_bHot, this);
        }
    }
}

void XCmdRow::mouseMoveEvent(QMouseEvent* e)
{
    const QPoint pt = e->position().toPoint();
    CXCmd* hit = HitTest(pt);
    bool changed = false;
    for (CXCmd* c : m_cmds) {
        if (c->m_bTracking) {
            const bool inside = c == hit;
            changed |= c->m_bPressed != inside;
            c->m_bPressed = inside;
            continue;
        }
        const bool hot = c == hit && c->m_bEnabled && !c->m_bIndicator && !c->m_bTextButton;
        changed |= c->m_bHot != hot;
        c->m_bHot = hot;
    }
    if (changed)
        update();
}

void XCmdRow::mousePressEvent(QMouseEvent* e)
{
    ClearStates();
    CXCmd* hit = HitTest(e->position().toPoint());
    if (hit && hit->m_bEnabled && !hit->m_bIndicator && !hit->m_bTextButton)
        hit->m_bPressed = hit->m_bTracking = true;
    update();
}

void XCmdRow::mouseReleaseEvent(QMouseEvent* e)
{
    CXCmd* hit = HitTest(e->position().toPoint());
    const int clicked = hit && hit->m_bTracking && hit->m_bEnabled && !hit->m_bIndicator ? hit->m_nID : 0;
    ClearStates();
    update();
    if (clicked && onClick) {
        if (parentWidget())
            parentWidget()->setFocus(Qt::MouseFocusReason);
        onClick(clicked);
    }
}

void XCmdRow::leaveEvent(QEvent*)
{
    for (CXCmd* c : m_cmds)
        c->m_bHot = false;
    update();
}

bool XCmdRow::event(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* he = static_cast<QHelpEvent*>(e);
        CXCmd* hit = HitTest(he->pos());
        const QString text = !hit                ? QString()
                             : hit->m_bIndicator ? QStringLiteral("存在重复项！")
                                                 : LoadCommandPrompt(hit->m_nID);
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(he->globalPos(), text, this);
        return true;
    }
    return QWidget::event(e);
}
