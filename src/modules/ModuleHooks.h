#pragma once

#include "XMenuSpec.h"

#include <memory>

class CXListCtrl;
class XLinkActions;

// What the link controls ask of the module layer: new records through the module's edit
// frame, choices through the installed pickers, opening through OpenItems.
XLinkActions& ModuleLinkActions();

// The column-scheme menu for a module list's header: the schemes of the module whose view
// holds the list; null for a list of no module.
std::unique_ptr<XMenuSpec> ModuleHeadsMenu(const CXListCtrl& list);
