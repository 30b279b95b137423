// The school office's main road through the real frame: selling a package from the ribbon's
// add-new command to the new row in the receipt list, altering and refunding a saved
// receipt on its alteration page, and issuing a general receipt. The pickers, the pages and
// the prompts are answered by the test as a user would.
#include "CDBCollect.h"
#include "CDBReceipt.h"
#include "CDlgEdit.h"
#include "CDlgEditCollect.h"
#include "CDlgEditCollectItem.h"
#include "CDlgEditReceipt.h"
#include "CDlgEditReceiptAlt.h"
#include "CDlgEditReceiptAltItem.h"
#include "CDlgSelOne.h"
#include "CFakeAppServices.h"
#include "CLorvanApp.h"
#include "CLorvanView.h"
#include "CMainFrame.h"
#include "CXDBSession.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "FixtureSchool.h"
#include "OpenDatabase.h"
#include "ProgramModules.h"
#include "ProgramSeams.h"
#include "Resources.h"
#include "SqlPrepare.h"
#include "XUi.h"

#include <QtCore/QCoreApplication>

#include <functional>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QAbstractButton>

#include <gtest/gtest.h>

namespace {

void Pump()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

template <class W> W* Ctrl(CXDialogEx& dlg, int id) { return qobject_cast<W*>(dlg.GetDlgItem(id)); }

void SetText(CXDialogEx& dlg, int id, const QString& text)
{
    if (auto* edit = Ctrl<QLineEdit>(dlg, id))
        edit->setText(text);
    else if (auto* combo = Ctrl<QComboBox>(dlg, id))
        combo->setEditText(text);
    else
        ADD_FAILURE() << "no text control " << id;
}

// The text a static of the page shows.
QString Shown(CXDialogEx& dlg, int id)
{
    auto* label = Ctrl<QLabel>(dlg, id);
    return label ? label->text() : QString();
}

// The IDs a one-record picker offers.
QList<int> Offered(const CDlgSelOne& picker)
{
    QList<int> ids;
    for (int i = 0; i < picker.m_list->GetItemCount(); ++i)
        ids << picker.m_list->GetItemData(i)->m_nID;
    return ids;
}

// Chooses the record in the picker and presses OK.
int Choose(CDlgSelOne& picker, int id)
{
    for (int i = 0; i < picker.m_list->GetItemCount(); ++i)
        if (picker.m_list->GetItemData(i)->m_nID == id)
            picker.m_list->SelectOnly(i);
    Ctrl<QPushButton>(picker, IDOK)->click();
    return picker.result();
}

// The real frame with the program's modules and seams over the fixture school, the
// administrator logged in.
class ReceiptJourneys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_modules.Create();
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session));
        ASSERT_TRUE(BuildFixtureSchool(m_school, false)); // the receipts as sold, before any timetable uses them
        m_user.m_nMduID = MDU_TEACHER;
        m_user.m_nID = 1;
        m_user.m_strName = QStringLiteral("校长");
        m_user.m_nRightRole = 2;
        CFakeAppServices::Installed().user = &m_user;
        InstallModuleLayerSeams();
        m_frame = std::make_unique<CMainFrame>();
        CMainFrame* frame = m_frame.get();
        InstallFrameSeams(frame, frame, nullptr, {});
        m_frame->resize(1280, 720);
        m_frame->show();
    }
    void TearDown() override
    {
        InstallFrameSeams(nullptr, nullptr, nullptr, {});
        m_frame.reset();
        RemoveModuleLayerSeams();
        CFakeAppServices::Installed().Clear();
        XClock::Reset();
    }

    CXListCtrl* OpenList(int mduId)
    {
        CLorvanApp::OpenModule(mduId);
        Pump();
        CModule* module = FindModule(mduId);
        auto* view = module ? qobject_cast<CLorvanView*>(module->GetView()) : nullptr;
        return view ? view->GetList() : nullptr;
    }
    // The list row of the record, -1 when it is not listed.
    static int RowOf(CXListCtrl& list, int id)
    {
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (list.GetItemData(i)->m_nID == id)
                return i;
        return -1;
    }
    // Opens the saved receipt from the list (the list's modify command) and lets the test
    // work on its frame.
    void OpenReceipt(CXListCtrl& list, int id, const std::function<void(CDlgEdit&)>& work)
    {
        const int row = RowOf(list, id);
        ASSERT_GE(row, 0);
        list.SelectOnly(row);
        bool opened = false;
        m_ui.onModal = [&](QDialog* d) {
            if (auto* alt = dynamic_cast<CDlgEditReceiptAltItem*>(d))
                return m_altAnswer ? m_altAnswer(*alt) : int(IDCANCEL);
            auto* frame = qobject_cast<CDlgEdit*>(d);
            if (!frame || opened)
                return int(IDCANCEL);
            opened = true;
            frame->show();
            work(*frame);
            return int(IDCANCEL); // the frame is left with Cancel
        };
        ASSERT_TRUE(m_frame->DispatchCommand(ID_EDIT_MODIFY));
        EXPECT_TRUE(opened);
    }
    // Adds one alteration on the frame's alteration page, answered in its dialog.
    void AddAlteration(CDlgEdit& frame, bool refund, const QString& price, const QString& lessons)
    {
        ASSERT_GE(frame.m_pages.size(), 2u); // the receipt page, the alteration page, the relations
        auto* page = dynamic_cast<CDlgEditReceiptAlt*>(frame.m_pages[1]);
        ASSERT_NE(page, nullptr);
        m_altAnswer = [=](CDlgEditReceiptAltItem& dlg) {
            dlg.show();
            if (refund)
                for (QAbstractButton* radio : dlg.findChildren<QAbstractButton*>())
                    if (radio->text() == QStringLiteral("退费"))
                        radio->click();
            SetText(dlg, IDC_PRICE, price);
            if (!refund)
                SetText(dlg, IDC_LESSONS, lessons);
            SetText(dlg, IDC_INSIDER, QStringLiteral("家长"));
            dlg.UpdateControls();
            Pump();
            dlg.grab().save(QStringLiteral("/tmp/receipt-alt-item.png"));
            Ctrl<QPushButton>(dlg, IDOK)->click();
            return dlg.result();
        };
        ASSERT_TRUE(page->m_list->OnCmdMsg(ID_LIST_ADDITEM, XCN_COMMAND, nullptr));
    }
    static QString ReceiptRow(int id)
    {
        return QueryText(PrepareSql(
            QStringLiteral("SELECT printf('%.2f|%d|%d', AltPrice, AltLesson, ItemStatus) FROM [V_RECEIPT] WHERE ID=%1")
                .arg(id)));
    }

    TempDatabase m_db;
    XProgramModules m_modules;
    XFixtureSchool m_school;
    CXItem m_user;
    XUiTestHooks m_ui;
    std::function<int(CDlgEditReceiptAltItem&)> m_altAnswer;
    std::unique_ptr<CMainFrame> m_frame;
};

// 报名收费: the student, then a package on sale today, then the page: quantity and discount
// with the lessons and amount following live, the payment method, the "停课中！" warning
// confirmed; the receipt gets the next number of the pattern, an add row in the log, and
// its row in the list.
TEST_F(ReceiptJourneys, SellAPackageFromTheAddNewCommandToTheListRow)
{
    CXListCtrl* list = OpenList(MDU_RECEIPT);
    ASSERT_NE(list, nullptr);
    const int rowsBefore = list->GetItemCount();
    QList<int> packagesOffered;
    QString lessonsShown, amountShown, validityBefore, validityShown;
    m_ui.onModal = [&](QDialog* d) {
        if (auto* picker = dynamic_cast<CDlgSelOne*>(d)) {
            if (picker->m_nMduID == MDU_STUDENT)
                return Choose(*picker, m_school.s2);
            packagesOffered = Offered(*picker);
            return Choose(*picker, m_school.p1);
        }
        auto* frame = qobject_cast<CDlgEdit*>(d);
        if (!frame)
            return int(IDCANCEL);
        frame->show();
        EXPECT_EQ(frame->m_pages.size(), 1u); // no alterations before the receipt is issued
        auto* page = static_cast<CDlgEditReceipt*>(frame->m_pages[0]);
        validityBefore = Shown(*page, IDC_VALID_DAYS);
        SetText(*page, IDC_PAY_NUM, QStringLiteral("2"));
        Ctrl<QAbstractButton>(*page, IDC_ADJ_DCNT)->click();
        page->UpdateControls();
        SetText(*page, IDC_ADJ_DCNT_VAL, QStringLiteral("90"));
        SetText(*page, IDC_ADJ_DCNT_MEMO, QStringLiteral("老学员九折"));
        SetText(*page, IDC_PAY_TYPE, QStringLiteral("微信"));
        page->UpdateControls();
        lessonsShown = Shown(*page, IDC_LESSONS);
        amountShown = Shown(*page, IDC_PAY);
        validityShown = Shown(*page, IDC_VALID_DAYS);
        frame->resize(frame->size().expandedTo(QSize(720, 560)));
        Pump();
        EXPECT_TRUE(frame->grab().save(QStringLiteral("/tmp/receipt-page.png")));
        Ctrl<QPushButton>(*frame, IDOK)->click();
        return frame->result();
    };
    ASSERT_TRUE(m_frame->DispatchCommand(ID_ADDNEW_RECEIPT));

    // on sale on 2026-03-18: not the autumn package that starts in September
    EXPECT_TRUE(packagesOffered.contains(m_school.p1));
    EXPECT_FALSE(packagesOffered.contains(m_school.p5));
    EXPECT_EQ(lessonsShown, QStringLiteral("30 次"));    // 15 x 2
    EXPECT_EQ(amountShown, QStringLiteral("¥5,400.00")); // 15 x 200 x 2 x 90 %
    EXPECT_NE(validityShown, validityBefore);            // 183 x 2 days instead of 183
    // the one prompt: the new receipt has no class yet
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_TRUE(m_ui.Calls(QStringLiteral("MessageBox"))[0].text.contains(QStringLiteral("停课中！")));

    const int id = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_RECEIPT")));
    EXPECT_EQ(QueryText(PrepareSql(QStringLiteral("SELECT printf('%s|%d|%d|%d|%.2f', KeyName, StudentID, ChargeID, "
                                                  "Lesson, Pay) FROM [V_RECEIPT] WHERE ID=%1")
                                       .arg(id))),
              QStringLiteral("B260002|%1|%2|30|5400.00").arg(m_school.s2).arg(m_school.p1)); // after B260001
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1 AND MduID=%2 AND ItemID=%3")
                              .arg(OPER_ADD)
                              .arg(MDU_RECEIPT)
                              .arg(id)),
              1);
    ASSERT_EQ(list->GetItemCount(), rowsBefore + 1);
    const int row = RowOf(*list, id);
    ASSERT_GE(row, 0);
    EXPECT_EQ(list->GetItemData(row)->m_strName, QStringLiteral("B260002"));
}

// 变更 and 退费 on the alteration page: each saves the receipt at once, so leaving the frame
// with Cancel afterwards keeps them; the list row shows the altered receipt.
TEST_F(ReceiptJourneys, AlterAndRefundASavedReceiptOnItsAlterationPage)
{
    CXListCtrl* list = OpenList(MDU_RECEIPT);
    ASSERT_NE(list, nullptr);
    CXMap all; // the scheme 全部: R1 was issued last September
    FindModule(MDU_RECEIPT)->ApplyQuery(all);
    Pump();
    // R1: 32 lessons, ¥5,600.00, 10 consumed, no alteration
    ASSERT_EQ(ReceiptRow(m_school.r1), QStringLiteral("0.00|0|%1").arg(RECEIPT_PAUSED));
    OpenReceipt(*list, m_school.r1, [&](CDlgEdit& frame) {
        AddAlteration(frame, false, QStringLiteral("300"), QStringLiteral("3"));
        auto* page = dynamic_cast<CDlgEditReceiptAlt*>(frame.m_pages[1]);
        EXPECT_EQ(page->m_list->GetItemCount(), 1);
        frame.m_tab->setCurrentIndex(1);
        frame.resize(frame.size().expandedTo(QSize(720, 560)));
        Pump();
        EXPECT_TRUE(frame.grab().save(QStringLiteral("/tmp/receipt-alt-page.png")));
    });
    EXPECT_EQ(ReceiptRow(m_school.r1), QStringLiteral("300.00|3|%1").arg(RECEIPT_PAUSED));
    const int row = RowOf(*list, m_school.r1);
    ASSERT_GE(row, 0);
    EXPECT_EQ(static_cast<const CDBReceipt*>(list->GetItemData(row))->m_nLessonEnd, 35); // 32 + 3

    OpenReceipt(*list, m_school.r1, [&](CDlgEdit& frame) {
        AddAlteration(frame, true, QStringLiteral("-2000"), QString());
        auto* page = dynamic_cast<CDlgEditReceiptAlt*>(frame.m_pages[1]);
        EXPECT_EQ(page->m_list->GetItemCount(), 2);
    });
    EXPECT_EQ(ReceiptRow(m_school.r1), QStringLiteral("-1700.00|3|%1").arg(RECEIPT_REFUNDED)); // 300 - 2000
    EXPECT_EQ(static_cast<const CDBReceipt*>(list->GetItemData(RowOf(*list, m_school.r1)))->m_nItemStatus,
              RECEIPT_REFUNDED);
}

// 普通收费 from the add-new command: items added in their dialog, the total, the next number
// of the general receipts' pattern and the row in their list.
TEST_F(ReceiptJourneys, IssueAGeneralReceiptFromTheAddNewCommand)
{
    CXListCtrl* list = OpenList(MDU_COLLECT);
    ASSERT_NE(list, nullptr);
    const int rowsBefore = list->GetItemCount();
    QString total;
    m_ui.onModal = [&](QDialog* d) {
        if (auto* item = dynamic_cast<CDlgEditCollectItem*>(d)) {
            item->show();
            SetText(*item, IDC_CONTENT, QStringLiteral("小提琴弦"));
            SetText(*item, IDC_UNIT, QStringLiteral("套"));
            SetText(*item, IDC_PAY_NUM, QStringLiteral("2"));
            SetText(*item, IDC_UNIT_PRICE, QStringLiteral("85.5"));
            item->UpdateControls();
            Ctrl<QPushButton>(*item, IDOK)->click();
            return item->result();
        }
        auto* frame = qobject_cast<CDlgEdit*>(d);
        if (!frame)
            return int(IDCANCEL);
        frame->show();
        auto* page = static_cast<CDlgEditCollect*>(frame->m_pages[0]);
        EXPECT_TRUE(page->m_list->OnCmdMsg(ID_LIST_ADDITEM, XCN_COMMAND, nullptr));
        SetText(*page, IDC_PAYER, QStringLiteral("李小雨妈妈"));
        SetText(*page, IDC_PAY_TYPE, QStringLiteral("现金"));
        page->UpdateControls();
        total = Shown(*page, IDC_PRICE);
        frame->resize(frame->size().expandedTo(QSize(640, 480)));
        Pump();
        EXPECT_TRUE(frame->grab().save(QStringLiteral("/tmp/collect-journey-page.png")));
        Ctrl<QPushButton>(*frame, IDOK)->click();
        return frame->result();
    };
    ASSERT_TRUE(m_frame->DispatchCommand(ID_ADDNEW_COLLECT));
    EXPECT_EQ(total, QStringLiteral("¥171.00")); // 2 x 85.50
    const int id = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_COLLECT")));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT KeyName FROM TB_COLLECT WHERE ID=%1").arg(id)),
              QStringLiteral("T260005")); // after the fixture's T260001-T260004
    ASSERT_EQ(list->GetItemCount(), rowsBefore + 1);
    EXPECT_GE(RowOf(*list, id), 0);
}

} // namespace
