#include "XMenuBuild.h"

#include "XCmdUpdater.h"

#include <QtWidgets/QMenu>

void BuildMenu(QMenu* menu, const XMenuSpec& spec, XCmdTarget* target)
{
    for (const XMenuItem& item : spec) {
        if (item.IsSeparator()) {
            menu->addSeparator();
        } else if (!item.children.empty()) {
            QMenu* sub = menu->addMenu(item.text);
            BuildMenu(sub, item.children, target);
        } else {
            QAction* a = menu->addAction(item.text);
            a->setData(item.id);
        }
    }
    if (target)
        XCmdUpdater::ConnectMenu(menu, target);
}
