#pragma once

#include "CModule.h"
#include "EditFrame.h"

#include <memory>
#include <span>
#include <vector>

// One row per module of the program, in creation order: how to make the module and its
// edit page. A subsystem that brings a module fills in its row; a row without a maker is a
// module that is not built yet, skipped at start-up.
struct XModuleEntry
{
    int mduId = 0;
    std::unique_ptr<CModule> (*create)() = nullptr;
    // The module's own edit page; null when it has none (or its frame is special, as the
    // log's sessions are).
    std::unique_ptr<CXDialogEx> (*editPage)(bool bNew, const CXItem* item) = nullptr;
    // The pages after the first, in tab order (they edit the first page's record); null
    // when the frame has one page.
    std::vector<XEditPageMaker> (*morePages)() = nullptr;
};

// The table, in the order of kModuleCreationOrder.
std::span<const XModuleEntry> ModuleTable();

// Registers the edit page of every module in the table that has one.
void RegisterEditPages();

// The program's modules, owned for its lifetime. Create() makes and registers each module
// of the table that exists, in order and one after the other (a module's constructor may
// look at those registered before it); destroying them unregisters them in reverse order.
class XProgramModules
{
public:
    XProgramModules() = default;
    XProgramModules(const XProgramModules&) = delete;
    XProgramModules& operator=(const XProgramModules&) = delete;
    ~XProgramModules();

    void Create();
    void Destroy();

private:
    std::vector<std::unique_ptr<CModule>> m_modules;
};
