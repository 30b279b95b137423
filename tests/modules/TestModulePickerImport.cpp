#include "CDBPrjOrder.h"
#include "CDBPrjQuery.h"
#include "CDlgImportInfo.h"
#include "CDlgSelModule.h"
#include "CModulePrjOrder.h"
#include "CModulePrjQuery.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "RecordDbFixture.h"
#include "XUi.h"

#include <QtWidgets/QAbstractButton>

namespace {

class PickerImport : public RecordDb
{
protected:
    void SetUp() override
    {
        RecordDb::SetUp();
        RegisterModule(&m_queries);
        RegisterModule(&m_orders);
        CFakeAppServices::Installed().user = &m_user;
    }
    void TearDown() override
    {
        CFakeAppServices::Installed().user = nullptr;
        UnregisterModule(&m_orders);
        UnregisterModule(&m_queries);
        RecordDb::TearDown();
    }
    static CXItem* Course(const char* name, int row)
    {
        auto* c = new CTestCourse;
        c->m_strName = QString::fromUtf8(name);
        c->m_nSubID = row;
        return c;
    }
    CModulePrjQuery m_queries;
    CModulePrjOrder m_orders;
    XUiTestHooks m_ui;
};

} // namespace

TEST_F(PickerImport, ModulePickerListsVisibleModulesAndNeedsOneRow)
{
    // An operator granted queries on courses only.
    m_user.m_nRightRole = 1;
    CXMap rights;
    rights.SetText(MDU_COURSE, QString::number(RIGHT_QRY));
    m_user.m_strRightData = rights.ToXml();
    CDlgSelModule dlg;
    ASSERT_TRUE(dlg.Create());
    QList<int> ids;
    for (const CXItem* item : dlg.m_items)
        ids << item->m_nMduID;
    EXPECT_FALSE(ids.contains(MDU_PRJQUERY));
    EXPECT_FALSE(ids.contains(MDU_PRJORDER));
    EXPECT_FALSE(ids.contains(MDU_CHARGE));
    ASSERT_TRUE(ids.contains(MDU_COURSE));

    EXPECT_FALSE(dlg.GetDlgItem(IDOK)->isEnabled());
    dlg.m_list->SelectOnly(0);
    dlg.UpdateControls();
    ASSERT_TRUE(dlg.GetDlgItem(IDOK)->isEnabled());
    const int first = dlg.m_list->GetItemData(0)->m_nMduID;
    qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDOK))->click();
    EXPECT_EQ(dlg.m_nMduID, first);
}

TEST_F(PickerImport, ImportPreviewMarksDuplicatesAndDropsErrorsOnOk)
{
    CDlgImportInfo dlg(MDU_COURSE);
    dlg.m_items.AddAdopted(Course("钢琴", 2));
    dlg.m_items.AddAdopted(Course("声乐", 3));
    dlg.m_items.AddAdopted(Course("钢琴", 4));
    dlg.m_items.AddAdopted(Course("", 5));
    dlg.m_items.AddAdopted(Course("", 6));
    ASSERT_TRUE(dlg.Create());
    EXPECT_TRUE(dlg.m_items[0]->GetAlertText().contains(QStringLiteral("存在名称或编号重复的项目！")));
    EXPECT_TRUE(dlg.m_items[2]->GetAlertText().contains(QStringLiteral("存在名称或编号重复的项目！")));
    EXPECT_FALSE(dlg.m_items[3]->GetAlertText().contains(QStringLiteral("存在名称或编号重复的项目！")));
    // A second pass over the same records does not pile the messages up.
    dlg.UpdateControls();
    EXPECT_EQ(dlg.m_items[0]->GetAlertText().count(QStringLiteral("存在名称")), 1);

    qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDOK))->click();
    EXPECT_EQ(dlg.result(), IDOK);
    QList<int> rows;
    for (const CXItem* item : dlg.m_items)
        rows << item->m_nSubID;
    EXPECT_FALSE(rows.contains(2));
    EXPECT_FALSE(rows.contains(4));
    EXPECT_TRUE(rows.contains(3));

    CDlgImportInfo empty(MDU_COURSE);
    ASSERT_TRUE(empty.Create());
    qobject_cast<QAbstractButton*>(empty.GetDlgItem(IDOK))->click();
    EXPECT_NE(empty.result(), IDOK);
}

TEST_F(PickerImport, DeletingOneOfTwoDuplicatesByTheListButtonClearsTheOthersMark)
{
    CDlgImportInfo dlg(MDU_COURSE);
    dlg.m_items.AddAdopted(Course("钢琴", 2));
    dlg.m_items.AddAdopted(Course("钢琴", 4));
    ASSERT_TRUE(dlg.Create());
    ASSERT_TRUE(dlg.m_items[0]->GetAlertText().contains(QStringLiteral("存在名称或编号重复的项目！")));
    for (int i = 0; i < dlg.m_list->GetItemCount(); ++i)
        if (dlg.m_list->GetItemData(i)->m_nSubID == 4)
            dlg.m_list->SelectOnly(i);
    ASSERT_TRUE(dlg.m_list->DispatchCommand(ID_EDIT_DELETE)); // the confirmation answers OK
    ASSERT_EQ(dlg.m_items.GetSize(), 1);
    EXPECT_EQ(dlg.m_items[0]->m_nSubID, 2);
    EXPECT_FALSE(dlg.m_items[0]->GetAlertText().contains(QStringLiteral("存在名称或编号重复的项目！")));
}
