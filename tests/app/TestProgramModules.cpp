#include "CModule.h"
#include "CXLinkCtrl.h"
#include "CXListCtrl.h"
#include "EditFrame.h"
#include "ModuleHooks.h"
#include "XRecordPickers.h"
#include "ProgramModules.h"
#include "ProgramSeams.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(ProgramModules, TableListsExactlyTheCreationOrder)
{
    std::vector<int> table;
    for (const XModuleEntry& entry : ModuleTable())
        table.push_back(entry.mduId);
    EXPECT_EQ(table, std::vector<int>(std::begin(kModuleCreationOrder), std::end(kModuleCreationOrder)));
}

TEST(ProgramModules, CreatesTheBuiltModulesInOrderAndUnregistersThemAtTheEnd)
{
    ASSERT_TRUE(GetModules().empty());
    std::vector<int> expected;
    for (const XModuleEntry& entry : ModuleTable())
        if (entry.create)
            expected.push_back(entry.mduId);
    ASSERT_FALSE(expected.empty());
    {
        XProgramModules modules;
        modules.Create();
        std::vector<int> created;
        for (const CModule* module : GetModules())
            created.push_back(module->GetMduID());
        EXPECT_EQ(created, expected);
        // a second walk adds nothing
        modules.Create();
        EXPECT_EQ(GetModules().size(), expected.size());
        // the log module, built last of these, offers the modules registered before it
        EXPECT_NE(FindModule(MDU_OPERLOG), nullptr);
    }
    EXPECT_TRUE(GetModules().empty());
}

TEST(ProgramModules, SeamsGoBackToTheBuiltInBehaviourWhenRemoved)
{
    InstallModuleLayerSeams();
    EXPECT_TRUE(RecordPickers().IsAvailable());
    EXPECT_TRUE(static_cast<bool>(CXListCtrl::s_openItems));
    EXPECT_TRUE(static_cast<bool>(CXListCtrl::s_headsMenu));
    EXPECT_EQ(SetLinkActions(&ModuleLinkActions()), &ModuleLinkActions());
    RemoveModuleLayerSeams();
    EXPECT_FALSE(RecordPickers().IsAvailable());
    EXPECT_FALSE(static_cast<bool>(CXListCtrl::s_openItems));
    EXPECT_FALSE(static_cast<bool>(CXListCtrl::s_headsMenu));
    EXPECT_EQ(SetLinkActions(nullptr), nullptr);
}

} // namespace
