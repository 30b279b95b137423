#include "CXImageCtrl.h"

#include "CXImage.h"

#include <QtGui/QPainter>

CXImageCtrl::CXImageCtrl(QWidget* parent) : QFrame(parent) { setFrameShape(QFrame::StyledPanel); }

void CXImageCtrl::paintEvent(QPaintEvent* e)
{
    QFrame::paintEvent(e);
    if (!m_pImage)
        return;
    QPainter p(this);
    m_pImage->Paint(&p, rect().adjusted(2, 2, -2, -2), true);
}
