#include "CXPropBar.h"

#include "CHtmlCtrl.h"
#include "CommandIds.h"
#include "Resources.h"
#include "XDrawing.h"

#include <QtGui/QContextMenuEvent>
#include <QtWidgets/QMainWindow>
#include <QtWidgets/QMenu>

int PaneMinWidth(int dpi) { return dpi * 40 / 96; }
int PaneDefaultWidth(int dpi) { return dpi * 350 / 96; }

CXPropBar::CXPropBar(QWidget* parent) : QDockWidget(LoadCommandText(ID_VIEW_DETAIL), parent)
{
    setObjectName(QStringLiteral("PropBar"));
    setAllowedAreas(Qt::RightDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    m_wndHtml = new CHtmlCtrl(this);
    m_wndHtml->setObjectName(QStringLiteral("DetailHtml"));
    setWidget(m_wndHtml);
}

void CXPropBar::OnToggle()
{
    if (isVisible()) {
        hide();
        return;
    }
    show();
    const int dpi = ScreenDpi();
    if (width() < PaneMinWidth(dpi))
        if (auto* frame = qobject_cast<QMainWindow*>(parentWidget()))
            frame->resizeDocks({this}, {PaneDefaultWidth(dpi)}, Qt::Horizontal);
}

void CXPropBar::resizeEvent(QResizeEvent* e)
{
    QDockWidget::resizeEvent(e);
    // a pane the user squeezed away hides itself (only once its window is on the screen:
    // a frame being laid out passes through small sizes)
    if (isVisible() && window()->isVisible() && width() < PaneMinWidth(ScreenDpi()))
        hide();
}

void CXPropBar::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu menu(this);
    menu.addAction(QStringLiteral("隐藏(&H)"), this, &CXPropBar::OnToggle);
    menu.exec(e->globalPos());
}
