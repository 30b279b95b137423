// The teacher's edit frame offscreen: its two pages, the rights grid, the résumé dialog's
// labels, a pay line added through its dialog, and the password reset's log rows.
#include "CDBTeacher.h"
#include "CDlgEdit.h"
#include "CDlgEditTeacher.h"
#include "CDlgEditTeacherPay.h"
#include "CDlgEditTeacherResume.h"
#include "CDlgEditTeacherRight.h"
#include "CFakeAppServices.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "EditFrame.h"
#include "FixtureSchool.h"
#include "TeacherDialogs.h"
#include "XCmdUpdater.h"
#include "XUi.h"

#include "StandInModule.h"

#include <gtest/gtest.h>

#include <QtGui/QPainter>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QTabBar>

#include <memory>

namespace {

class TeacherDialogs : public SchoolBeforeTimetablesTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
        // receipts and general receipts print; class records do not
        for (int id : {MDU_RECEIPT, MDU_COLLECT, MDU_EDURCD}) {
            m_more.push_back(std::make_unique<CStandInModule>(id));
            RegisterModule(m_more.back().get());
        }
        RegisterTeacherEditPages();
        CFakeAppServices::Installed().user = &FixtureUser();
    }
    void TearDown() override
    {
        SetEditPageMakers(MDU_TEACHER, {});
        CFakeAppServices::Installed().user = nullptr;
        for (auto& m : m_more)
            UnregisterModule(m.get());
        SchoolTest::TearDown();
    }
    std::unique_ptr<CDlgEdit> Open(int id)
    {
        CXArray items(nullptr, true);
        CXMap query;
        query.SetText(QKEY_IDS, QString::number(id));
        EXPECT_TRUE(FindModule(MDU_TEACHER)->QueryItems(items, query, false, true));
        std::unique_ptr<CDlgEdit> frame(CreateEditDialog(*FindModule(MDU_TEACHER), false, items.GetAt(0)));
        if (frame) {
            frame->Create();
            frame->resize(QSize(720, 620));
            frame->show();
            QApplication::processEvents();
        }
        return frame;
    }
    static CDBTeacherRight* Row(CDBTeacher& t, int mdu)
    {
        for (CXItem* item : t.m_rights)
            if (item->m_nMduID == mdu)
                return static_cast<CDBTeacherRight*>(item);
        return nullptr;
    }
    static int RowIndex(CXListCtrl& list, int mdu)
    {
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (list.GetItemData(i)->m_nMduID == mdu)
                return i;
        return -1;
    }
    static bool Enabled(CXDialogEx& page, int id)
    {
        QWidget* w = page.GetDlgItem(id);
        return w && w->isEnabled();
    }
    static void Refresh(CXDialogEx& page)
    {
        page.UpdateControls();
        XCmdUpdater::Instance().UpdateNow();
        QApplication::processEvents();
    }

    XUiTestHooks m_ui;
    std::vector<std::unique_ptr<CModule>> m_more;
};

TEST_F(TeacherDialogs, RightsGridFollowsTheRole)
{
    auto frame = Open(m_school.t2);
    ASSERT_TRUE(frame);
    ASSERT_EQ(frame->m_pages.size(), 2u);
    auto* page = dynamic_cast<CDlgEditTeacherRight*>(frame->m_pages[1]);
    ASSERT_TRUE(page && page->m_list);
    CDBTeacher* t = page->Teacher();
    ASSERT_TRUE(t);
    EXPECT_EQ(t, frame->GetItem());
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(page->GetDlgItem(IDC_ROLE_OPERATOR))->isChecked());
    Refresh(*page);
    EXPECT_TRUE(Enabled(*page, IDC_CHECKALL));

    // 新建 on class records, whose 查询 is granted: on; on courses, without 查询: stays off
    CXListCtrl& list = *page->m_list;
    EXPECT_EQ(Row(*t, MDU_EDURCD)->GetBits(), RIGHT_QRY);
    EXPECT_TRUE(page->ClickCell(RowIndex(list, MDU_EDURCD), 2));
    EXPECT_EQ(Row(*t, MDU_EDURCD)->GetBits(), RIGHT_QRY | RIGHT_ADD);
    EXPECT_FALSE(page->ClickCell(RowIndex(list, MDU_COURSE), 2));
    EXPECT_EQ(Row(*t, MDU_COURSE)->GetBits(), 0);

    // 全选: every capability, 打印 only where a module prints
    page->OnSelectAll();
    EXPECT_EQ(Row(*t, MDU_RECEIPT)->GetBits(), 0x5e);
    EXPECT_EQ(Row(*t, MDU_COLLECT)->GetBits(), 0x5e);
    EXPECT_EQ(Row(*t, MDU_EDURCD)->GetBits(), 0x1e);
    page->OnClearAll();
    EXPECT_EQ(Row(*t, MDU_RECEIPT)->GetBits(), 0);
    page->OnResetAll();
    EXPECT_EQ(Row(*t, MDU_COURSE)->GetBits(), RIGHT_QRY); // the operator default

    // 教师 and 管理员: buttons off, clicks change nothing
    for (int role : {IDC_ROLE_USER, IDC_ROLE_ADMIN}) {
        qobject_cast<QAbstractButton*>(page->GetDlgItem(role))->click();
        page->OnRoleChanged();
        Refresh(*page);
        EXPECT_FALSE(Enabled(*page, IDC_CHECKALL)) << role;
        EXPECT_FALSE(Enabled(*page, IDC_RESET)) << role;
        const int before = Row(*t, MDU_EDURCD)->GetBits();
        EXPECT_FALSE(page->ClickCell(RowIndex(list, MDU_EDURCD), 1)) << role;
        EXPECT_EQ(Row(*t, MDU_EDURCD)->GetBits(), before) << role;
    }
    EXPECT_EQ(t->m_nRightRole, 2);
    EXPECT_TRUE(t->m_strRightData.isEmpty());

    // the pages as the user sees them, side by side, for a look by eye
    if (const QByteArray path = qgetenv("LORVAN_TEACHER_SNAPSHOT"); !path.isEmpty()) {
        qobject_cast<QAbstractButton*>(page->GetDlgItem(IDC_ROLE_OPERATOR))->click();
        page->OnRoleChanged();
        page->OnResetAll();
        page->ClickCell(RowIndex(list, MDU_RECEIPT), 5);
        frame->m_tab->setCurrentIndex(0);
        QApplication::processEvents();
        const QPixmap first = frame->grab();
        frame->m_tab->setCurrentIndex(1);
        QApplication::processEvents();
        const QPixmap second = frame->grab();
        QPixmap both(first.width() + second.width(), std::max(first.height(), second.height()));
        both.fill(Qt::white);
        QPainter p(&both);
        p.drawPixmap(0, 0, first);
        p.drawPixmap(first.width(), 0, second);
        p.end();
        EXPECT_TRUE(both.save(QString::fromLocal8Bit(path)));
    }
}

TEST_F(TeacherDialogs, ResumeDialogLabelsFollowTheStage)
{
    CDBTeacher t;
    CDlgEditTeacherResume dlg(nullptr, &t.m_resumes, true);
    dlg.Create();
    const auto label = [&](int id) { return qobject_cast<QLabel*>(dlg.PrevInZOrder(dlg.GetDlgItem(id)))->text(); };
    EXPECT_EQ(dlg.m_line.m_nStage, 7);
    EXPECT_EQ(label(IDC_RESUME_UNIT), QStringLiteral("单位："));
    qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDC_STAGE_4))->click();
    dlg.UpdateData(true);
    dlg.UpdateControls();
    EXPECT_EQ(label(IDC_RESUME_UNIT), QStringLiteral("学校："));
    EXPECT_EQ(label(IDC_DEPARTMENT), QStringLiteral("专业："));
    qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDC_STAGE_8))->click();
    dlg.UpdateData(true);
    dlg.UpdateControls();
    EXPECT_EQ(dlg.m_line.m_nStage, 8);
    EXPECT_EQ(label(IDC_RESUME_UNIT), QStringLiteral("单位："));
    EXPECT_EQ(label(IDC_DEPARTMENT), QStringLiteral("职务："));
}

// A new employment line is open ("至今") until its end is set: stored through the dialog's
// controls it keeps no end date, so the teacher stays employed.
TEST_F(TeacherDialogs, ANewEmploymentLineStaysOpen)
{
    CDBTeacher t;
    CDlgEditTeacherResume dlg(nullptr, &t.m_resumes, true);
    dlg.Create();
    dlg.m_line.m_period.m_begin = XDateTime(2026, 3, 1);
    dlg.UpdateData(false);
    dlg.UpdateData(true);
    EXPECT_EQ(static_cast<int>(dlg.m_line.m_period.m_begin.Day()), static_cast<int>(XDateTime(2026, 3, 1).Day()));
    EXPECT_EQ(dlg.m_line.m_period.m_end.Day(), 0);
}

TEST_F(TeacherDialogs, PayLinesThroughTheirDialogAndSaved)
{
    auto frame = Open(m_school.t3);
    ASSERT_TRUE(frame);
    auto* page = dynamic_cast<CDlgEditTeacher*>(frame->m_pages[0]);
    ASSERT_TRUE(page && page->m_payList);
    EXPECT_EQ(page->m_payList->GetItemCount(), 2);
    m_ui.onModal = [](QDialog* d) {
        auto* pay = dynamic_cast<CDlgEditTeacherPay*>(d);
        if (!pay)
            return IDCANCEL;
        pay->m_line.m_validity.m_begin = XDateTime(2026, 10, 15);
        pay->m_line.m_fMonthlyPay = 4000;
        return IDOK;
    };
    ASSERT_TRUE(page->AddLine(page->m_payList));
    EXPECT_EQ(page->m_payList->GetItemCount(), 3);
    // the July standard now ends before October's
    EXPECT_EQ(static_cast<int>(page->m_teacher.m_pays[1]->m_validity.m_end.Day()),
              static_cast<int>(XDateTime(2026, 9, 30).Day()));
    qobject_cast<QAbstractButton*>(frame->GetDlgItem(IDOK))->click();
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM TB_TEACHER_PAY WHERE TeacherID=%1").arg(m_school.t3)),
              QStringLiteral("3"));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT MonthlyPay FROM TB_TEACHER_PAY WHERE DateBgn=%1")
                            .arg(static_cast<int>(XDateTime(2026, 10, 1).Day()))),
              QStringLiteral("4000.0"));
}

TEST_F(TeacherDialogs, PasswordResetIsLoggedTwice)
{
    auto frame = Open(m_school.t1);
    ASSERT_TRUE(frame);
    auto* page = dynamic_cast<CDlgEditTeacher*>(frame->m_pages[0]);
    ASSERT_TRUE(page);
    Refresh(*page);
    EXPECT_TRUE(Enabled(*page, IDC_RESET_PASSWORD));
    const QString rows = QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE MduID=322 AND ItemID=%1 AND TypeID=%2");
    const int before = QueryText(rows.arg(m_school.t1).arg(OPER_MDF)).toInt();
    m_ui.answer = IDOK;
    page->OnResetPassword();
    const auto boxes = m_ui.Calls(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("的密码将重置为默认密码")));
    EXPECT_EQ(boxes[1].text, QStringLiteral("教师 “刘芳” 的密码已重置！"));
    // the password store's reset row, then the teacher's own edit row with the message
    EXPECT_EQ(QueryText(rows.arg(m_school.t1).arg(OPER_MDF)).toInt(), before + 2);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT OperMemo FROM TB_OPERLOG WHERE MduID=322 AND ItemID=%1 AND TypeID=%2 "
                                       "ORDER BY ID DESC LIMIT 1")
                            .arg(m_school.t1)
                            .arg(OPER_MDF)),
              boxes[1].text);

    // login switched off: neither button
    qobject_cast<QAbstractButton*>(page->GetDlgItem(IDC_LOGIN))->click();
    page->UpdateData(true);
    Refresh(*page);
    EXPECT_FALSE(Enabled(*page, IDC_RESET_PASSWORD));
    EXPECT_FALSE(Enabled(*page, IDC_LOGOUT_ALL));
}

} // namespace
