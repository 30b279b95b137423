#pragma once

#include "XCmdTarget.h"

class CModule;
class CXArray;
class CXBase;
class CXListCtrl;

// The commands every module shares, on the module's window: query and column schemes,
// the next and previous period, the custom dialogs and the relation commands (the module's
// menus offer them); and opening records in the edit frame. UI thread only.
class CModuleCommands : public XCmdTarget
{
    X_DECLARE_MESSAGE_MAP()
public:
    explicit CModuleCommands(CModule& module) : m_module(module) {}

    void OnSchemeCommand(int id);
    void OnUpdateSchemeCommand(XCmdUI* ui);
    void OnRelCommand(int id);
    void OnUpdateRelCommand(XCmdUI* ui);
    // The records listed in the window to a spreadsheet, and new records from one.
    void OnFileExport();
    void OnFileImport();
    void OnUpdateFileCommand(XCmdUI* ui);

    // The module window's record list, or null without a window.
    CXListCtrl* GetList() const;
    // The number of selected rows; copies of their records are appended when asked.
    int GetSelectedItems(CXArray* items) const;

    CModule& m_module;
};

// The module's command target: made on first use, destroyed with the module.
CModuleCommands& ModuleCommands(CModule& module);
// The number of modules that have a command target now.
int ModuleCommandsCount();
