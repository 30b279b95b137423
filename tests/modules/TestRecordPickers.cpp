#include "CDlgSelMul.h"
#include "CDlgSelOne.h"
#include "CXEditCtrl.h"
#include "CXLinkCtrl.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "XCtrlProps.h"
#include "XWinStyles.h"
#include "CDialogPickers.h"
#include "EditFrame.h"
#include "ModuleHooks.h"
#include "ProgramSeams.h"
#include "XRecordPickers.h"
#include "RecordDbFixture.h"
#include "XUi.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QLineEdit>

namespace {

class RecordPickers_ : public RecordDb
{
protected:
    void SetUp() override
    {
        RecordDb::SetUp();
        CFakeAppServices::Installed().user = &m_user;
        ASSERT_TRUE(Exec(
            QStringLiteral("INSERT INTO TB_TEST_COURSE (RecordName) VALUES ('钢琴'),('小提琴'),('声乐'),('舞蹈')")));
    }
    void TearDown() override
    {
        CFakeAppServices::Installed().user = nullptr;
        RecordDb::TearDown();
    }
    static QStringList Names(const CXListCtrl& list)
    {
        QStringList names;
        for (int i = 0; i < list.GetItemCount(); ++i)
            names << list.GetItemData(i)->m_strName;
        return names;
    }
    int FindRows() { return Count(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1").arg(OPER_FIND)); }
    XUiTestHooks m_ui;
};

} // namespace

TEST_F(RecordPickers_, OnePickedByTextAndByPinyinInitials)
{
    CDlgSelOne dlg(MDU_COURSE, 99); // not among the candidates: nothing selected
    ASSERT_TRUE(dlg.Create());
    ASSERT_EQ(dlg.m_list->GetItemCount(), 4);
    EXPECT_EQ(dlg.m_list->GetSelectedCount(), 0);

    auto* find = qobject_cast<QLineEdit*>(dlg.GetDlgItem(ID_FIND_WHAT));
    find->setText(QStringLiteral("xtq")); // 小提琴
    dlg.OnFindNext();
    ASSERT_EQ(dlg.m_list->GetSelectedCount(), 1);
    EXPECT_EQ(dlg.m_list->GetItemData(dlg.m_list->GetFirstSelected())->m_strName, QStringLiteral("小提琴"));
    find->setText(QStringLiteral("钢"));
    dlg.OnFindNext();
    EXPECT_EQ(dlg.m_list->GetItemData(dlg.m_list->GetFirstSelected())->m_strName, QStringLiteral("钢琴"));
    XClock::SetFixed(XDateTime(m_now.Day() + 0.01)); // the newest find
    find->setText(QStringLiteral("吉他"));
    // the find edit's own button finds the next match
    auto* edit = dynamic_cast<CXEditCtrl*>(dlg.GetDlgItem(ID_FIND_WHAT));
    ASSERT_TRUE(edit);
    edit->Buttons().OnButton(ID_EDIT_FIND);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(dlg.m_strFind, QStringLiteral("吉他"));
    EXPECT_EQ(FindRows(), 3) << "a find without a match is logged too";
    ASSERT_FALSE(m_ui.Calls(QStringLiteral("MessageBox")).empty()); // a balloon once the dialog shows
    EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).back().text, QStringLiteral("没有找到 吉他。"));

    // the list's OK button ends the dialog with the selected row
    dlg.m_list->DispatchCommand(IDOK);
    EXPECT_EQ(dlg.result(), IDOK);
    EXPECT_EQ(dlg.m_pItem->m_strName, QStringLiteral("钢琴"));

    // The newest find becomes the next picker's first find text.
    CDlgSelOne next(MDU_COURSE, 0);
    EXPECT_EQ(next.m_strFind, QStringLiteral("吉他"));
}

TEST_F(RecordPickers_, SeveralPickedMovedBackAndReset)
{
    CDlgSelMul dlg(MDU_COURSE);
    dlg.m_selIDs = {2, 42}; // 42 is outside the query and is lost
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(Names(*dlg.m_chosenList), QStringList{QStringLiteral("小提琴")});
    EXPECT_EQ(Names(*dlg.m_list),
              (QStringList{QStringLiteral("钢琴"), QStringLiteral("声乐"), QStringLiteral("舞蹈")}));
    EXPECT_FALSE(dlg.GetDlgItem(IDC_MOVE_UP)->isEnabled());

    dlg.m_list->SetItemSelected(0, true);
    dlg.UpdateControls();
    EXPECT_TRUE(dlg.GetDlgItem(IDC_MOVE_DOWN)->isEnabled());
    EXPECT_FALSE(dlg.GetDlgItem(IDC_MOVE_UP)->isEnabled());
    dlg.OnChoose();
    EXPECT_EQ(Names(*dlg.m_chosenList), (QStringList{QStringLiteral("小提琴"), QStringLiteral("钢琴")}));
    // and back: at the end of the candidates
    dlg.m_chosenList->clearSelection();
    dlg.m_chosenList->SetItemSelected(0, true);
    dlg.OnRemove();
    EXPECT_EQ(Names(*dlg.m_list),
              (QStringList{QStringLiteral("声乐"), QStringLiteral("舞蹈"), QStringLiteral("小提琴")}));
    dlg.OnReset();
    EXPECT_EQ(Names(*dlg.m_chosenList), QStringList{QStringLiteral("小提琴")});
    EXPECT_EQ(Names(*dlg.m_list),
              (QStringList{QStringLiteral("钢琴"), QStringLiteral("声乐"), QStringLiteral("舞蹈")}));

    qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDOK))->click();
    ASSERT_EQ(dlg.m_result.GetSize(), 1);
    EXPECT_EQ(dlg.m_result[0]->m_strName, QStringLiteral("小提琴"));
}

TEST_F(RecordPickers_, OkWithoutAChoiceStaysOpenAndTheSeamRunsThePickers)
{
    CDlgSelMul dlg(MDU_COURSE);
    ASSERT_TRUE(dlg.Create());
    qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDOK))->click();
    EXPECT_TRUE(dlg.m_result.GetSize() == 0);
    EXPECT_NE(dlg.result(), IDOK);

    InstallModuleLayerSeams();
    m_ui.onModal = [](QDialog* d) {
        auto* one = qobject_cast<CDlgSelOne*>(d);
        if (one)
            one->m_list->SelectOnly(3);
        else
            static_cast<CDlgSelMul*>(d)->m_list->SetItemSelected(1, true), static_cast<CDlgSelMul*>(d)->OnChoose();
        qobject_cast<QAbstractButton*>(static_cast<CXDialogEx*>(d)->GetDlgItem(IDOK))->click();
        return d->result();
    };
    CXBase chosen;
    ASSERT_EQ(RecordPickers().ChooseOne(m_course, CXMap(), 0, chosen), IDOK);
    EXPECT_EQ(chosen.m_nID, 4);
    CXArray many(nullptr, true);
    ASSERT_EQ(RecordPickers().ChooseMany(m_course, CXMap(), {}, many), IDOK);
    ASSERT_EQ(many.GetSize(), 1);
    EXPECT_EQ(many[0]->m_nID, 2);
    SetRecordPickers(nullptr);
}

TEST_F(RecordPickers_, LinkListStartsThePickerWithItsLinksChosen)
{
    InstallModuleLayerSeams();
    CXLinkCtrl link;
    SetCtrlProps(&link, MDU_COURSE, QStringLiteral("SysLink"), 0, WS_EX_CLIENTEDGE);
    link.setText(QStringLiteral("<a href=\"xl:328:3\">声乐</a> <a href=\"xl:328:1\">钢琴</a>"));
    QStringList startedWith;
    int startedAt = -1;
    m_ui.onModal = [&](QDialog* d) {
        if (auto* one = qobject_cast<CDlgSelOne*>(d)) {
            startedAt = one->m_list->GetSelectedCount() == 1
                            ? one->m_list->GetItemData(one->m_list->GetFirstSelected())->m_nID
                            : 0;
            return int(IDCANCEL);
        }
        auto* many = static_cast<CDlgSelMul*>(d);
        startedWith = Names(*many->m_chosenList);
        many->m_list->SelectOnly(1); // 舞蹈
        many->OnChoose();
        many->m_list->DispatchCommand(IDOK);
        return d->result();
    };
    link.OnCommand(ID_LINK_SELECTMANY);
    EXPECT_EQ(startedWith, (QStringList{QStringLiteral("钢琴"), QStringLiteral("声乐")})) << "in the order read";
    EXPECT_EQ(link.text(), QStringLiteral("<a href=\"xl:328:1\">钢琴</a> <a href=\"xl:328:3\">声乐</a> "
                                          "<a href=\"xl:328:4\">舞蹈</a>"));

    link.setText(QStringLiteral("<a href=\"xl:328:3\">声乐</a>"));
    link.OnCommand(ID_LINK_SELECT);
    EXPECT_EQ(startedAt, 3) << "the one-record picker starts at the linked record";
    SetRecordPickers(nullptr);
}
