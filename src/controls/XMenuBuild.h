#pragma once

#include "XMenuSpec.h"

class QMenu;
class XCmdTarget;

// Fills a menu with the entries (command ids in the actions' data) and connects its update
// pass to the target.
void BuildMenu(QMenu* menu, const XMenuSpec& spec, XCmdTarget* target);
