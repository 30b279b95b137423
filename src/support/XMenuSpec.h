#pragma once

#include <QtCore/QString>

#include <vector>

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
