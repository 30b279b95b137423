#pragma once

#include <QtCore/QString>

#include <vector>

class QMenu;
class QWidget;
class XCmdTarget;

// A menu as data: builders stay free of widgets and can be tested as lists. An entry with
// id 0 and no children is a separator; texts keep their accelerator "(&X)",
// which Qt menus read as they stand.
struct XMenuItem
{
    int id = 0;
    QString text;
    std::vector<XMenuItem> children;
    bool IsSeparator() const { return id == 0 && children.empty(); }
};
using XMenuSpec = std::vector<XMenuItem>;

// Fills a menu with the entries (command ids in the actions' data) and connects its update
// pass to the target.
void BuildMenu(QMenu* menu, const XMenuSpec& spec, XCmdTarget* target);
