// The enrolment receipt's pages in their edit frame, offscreen: who may change a saved
// receipt, and the alteration page's deletes and failed saves.
#include "CDBReceipt.h"
#include "CDlgEdit.h"
#include "CDlgEditReceipt.h"
#include "CDlgEditReceiptAlt.h"
#include "CFakeAppServices.h"
#include "CXCmd.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "EditFrame.h"
#include "FixtureSchool.h"
#include "PeopleDialogs.h"
#include "XUi.h"

#include <gtest/gtest.h>

#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

#include <memory>

namespace {

class ReceiptDialogs : public SchoolBeforeTimetablesTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
        SetEditPageMaker(MDU_RECEIPT, CreateReceiptEditPage);
        CFakeAppServices::Installed().user = &FixtureUser();
    }
    void TearDown() override
    {
        SetEditPageMaker(MDU_RECEIPT, {});
        CFakeAppServices::Installed().user = nullptr;
        SchoolTest::TearDown();
    }

    std::unique_ptr<CDlgEdit> Open(int id)
    {
        CXArray items(nullptr, true);
        CXMap query;
        query.SetText(QKEY_IDS, QString::number(id));
        EXPECT_TRUE(FindModule(MDU_RECEIPT)->QueryItems(items, query, false, true));
        std::unique_ptr<CDlgEdit> frame(CreateEditDialog(*FindModule(MDU_RECEIPT), false, items.GetAt(0)));
        if (frame) {
            frame->Create();
            frame->show();
        }
        return frame;
    }
    static CDlgEditReceiptAlt* AltPage(CDlgEdit& frame)
    {
        return frame.m_pages.size() >= 2 ? dynamic_cast<CDlgEditReceiptAlt*>(frame.m_pages[1]) : nullptr;
    }
    static bool Enabled(XCmdTarget& target, int id)
    {
        CXCmd cmd(id);
        cmd.m_bEnabled = false;
        target.OnCmdMsg(id, XCN_UPDATE, &cmd);
        return cmd.m_bEnabled;
    }
    static int Alterations(int receipt)
    {
        return static_cast<int>(
            QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_RECEIPT_ALTER WHERE ReceiptID=%1").arg(receipt)));
    }

    XUiTestHooks m_ui;
};

// A saved receipt opens locked (its page read-only, the alteration page after it); only an
// administrator may unlock it for editing. An operator with the modify right may still add
// alterations; one without it may only look at them.
TEST_F(ReceiptDialogs, SavedReceiptOpensLockedAndOnlyTheRightsDecideWhoAlters)
{
    CXItem op;
    op.m_nMduID = MDU_TEACHER;
    op.m_nID = m_school.t2;
    op.m_nRightRole = 1;
    const struct
    {
        int rights;    // the operator's rights on the receipts
        bool canAlter; // the alteration page's add command
    } cases[] = {{0x5e, true}, {RIGHT_QRY | RIGHT_PRT, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.rights);
        CXMap rights;
        rights.SetText(MDU_RECEIPT, QString::number(c.rights));
        op.m_strRightData = rights.ToXml();
        CFakeAppServices::Installed().user = &op;
        auto frame = Open(m_school.r6);
        ASSERT_TRUE(frame);
        ASSERT_EQ(frame->m_pages.size(), 2u);
        EXPECT_TRUE(IsWndReadOnly(frame->m_pages[0]));
        EXPECT_FALSE(frame->GetDlgItem(IDC_EDIT_REEDIT)->isEnabled()); // not an administrator
        CDlgEditReceiptAlt* alt = AltPage(*frame);
        ASSERT_NE(alt, nullptr);
        EXPECT_EQ(alt->Template()->caption, QStringLiteral("后期变更"));
        EXPECT_EQ(alt->m_list->GetItemCount(), 1); // +3 lessons, +30 days, +¥150
        EXPECT_EQ(Enabled(*alt->m_list, ID_LIST_ADDITEM), c.canAlter);
        alt->m_list->SelectOnly(0);
        EXPECT_EQ(Enabled(*alt->m_list, ID_EDIT_DELETE), c.canAlter);
    }
}

// Delete asks "确定要删除选中的 1 项后期变更吗？"; Cancel keeps the line, OK removes it and
// saves the receipt at once.
TEST_F(ReceiptDialogs, DeletingAnAlterationAsksThenSavesAtOnce)
{
    auto frame = Open(m_school.r6);
    ASSERT_TRUE(frame);
    CDlgEditReceiptAlt* alt = AltPage(*frame);
    ASSERT_NE(alt, nullptr);
    ASSERT_EQ(alt->m_list->GetItemCount(), 1);
    alt->m_list->SelectOnly(0);

    m_ui.answer = IDCANCEL;
    ASSERT_TRUE(alt->m_list->OnCmdMsg(ID_EDIT_DELETE, XCN_COMMAND, nullptr));
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox"))[0].text, QStringLiteral("确定要删除选中的 1 项后期变更吗？"));
    EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox"))[0].caption, QStringLiteral("后期变更"));
    EXPECT_EQ(alt->m_list->GetItemCount(), 1);
    EXPECT_EQ(Alterations(m_school.r6), 1);

    m_ui.answer = IDOK; // the delete, then the receipt's own warning before the save
    m_ui.Clear();
    ASSERT_TRUE(alt->m_list->OnCmdMsg(ID_EDIT_DELETE, XCN_COMMAND, nullptr));
    EXPECT_EQ(alt->m_list->GetItemCount(), 0);
    EXPECT_EQ(Alterations(m_school.r6), 0);
    frame->reject();
    EXPECT_EQ(Alterations(m_school.r6), 0); // Cancel afterwards undoes nothing
}

// A save the user declines at the receipt's warning leaves the alteration lines as they were
// saved, in the record and in the list.
TEST_F(ReceiptDialogs, AnAlterationWhoseSaveIsDeclinedIsNotKept)
{
    auto frame = Open(m_school.r6);
    ASSERT_TRUE(frame);
    CDlgEditReceiptAlt* alt = AltPage(*frame);
    ASSERT_NE(alt, nullptr);
    alt->m_list->SelectOnly(0);
    // OK to the delete, Cancel to the receipt's warning ("课时余 ..." or "停课中！")
    m_ui.answers = {IDOK, IDCANCEL};
    ASSERT_TRUE(alt->m_list->OnCmdMsg(ID_EDIT_DELETE, XCN_COMMAND, nullptr));
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 2u);
    EXPECT_EQ(alt->m_list->GetItemCount(), 1);
    EXPECT_EQ(static_cast<CDBReceipt*>(frame->GetItem())->m_alters.GetSize(), 1);
    EXPECT_EQ(Alterations(m_school.r6), 1);
}

} // namespace
