#include "CXMFCToolBarMenuButton.h"

#include "XCmdTarget.h"
#include "XCmdUpdater.h"

#include <QtGui/QAction>
#include <QtWidgets/QMenu>

CXMFCToolBarMenuButton::CXMFCToolBarMenuButton(QWidget* parent) : QToolButton(parent)
{
    setPopupMode(QToolButton::MenuButtonPopup);
}

XCmdTarget* CXMFCToolBarMenuButton::ParentTarget() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (auto* target = dynamic_cast<XCmdTarget*>(w))
            return target;
    return nullptr;
}

void CXMFCToolBarMenuButton::SetDropDownMenu(QMenu* menu)
{
    setMenu(menu);
    if (menu)
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { UpdateMenu(menu, ParentTarget()); });
}

void CXMFCToolBarMenuButton::UpdateMenu(QMenu* menu, XCmdTarget* target)
{
    if (!menu || !target)
        return;
    for (QAction* a : menu->actions())
        XCmdUpdater::UpdateAction(a, target, false);
}
