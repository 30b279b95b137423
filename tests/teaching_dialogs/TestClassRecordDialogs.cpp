// The class-record page and its line dialogs, headless on the fixture school: attendance
// taken with "全部正常", the reset to the plan, the receipt choice in the student dialog.
#include "CDBEduRcd.h"
#include "TeachingModules.h"
#include "CDlgEdit.h"
#include "CDlgEditEduRcd.h"
#include "CDlgEditEduRcdStudent.h"
#include "CFakeAppServices.h"
#include "CModuleEduRcd.h"
#include "CModuleEduSch.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "EditFrame.h"
#include "FixtureSchool.h"
#include "FormatString.h"
#include "TypedLines.h"
#include "XUi.h"

#include <gtest/gtest.h>

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>

#include <memory>

namespace {

int Day(int y, int m, int d) { return static_cast<int>(XDateTime(y, m, d).Day()); }

class ClassRecordDialogs : public SchoolTest
{
protected:
    void SetUp() override
    {
        // the class records are generated from what the timetable module reads
        m_modules.Register();
        SchoolTest::SetUp();
        SetEditPageMaker(MDU_EDURCD, [](bool bNew, const CXItem* item) -> std::unique_ptr<CXDialogEx> {
            return std::make_unique<CDlgEditEduRcd>(bNew, item);
        });
        CFakeAppServices::Installed().user = &FixtureUser();
        // a Wednesday piano class from 2026-03-04, 18:00~19:30, T1 with S1 (two piano
        // receipts) and S3 (none for piano)
        ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH (CourseID, ClassForm, DateBgn, TimeSpan, EduLocation) "
                                      u"VALUES (%d, 0, %d, 18001930, '一号琴房')",
                                      m_school.piano, Day(2026, 3, 4))));
        m_sch = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_EDUSCH")));
        ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH_TEACHER (EduSchID, TeacherID) VALUES (%d, %d);"
                                      u"INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES (%d, %d);"
                                      u"INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES (%d, %d);",
                                      m_sch, m_school.t1, m_sch, m_school.s1, m_sch, m_school.s3)));
    }
    void TearDown() override
    {
        SetEditPageMaker(MDU_EDURCD, {});
        CFakeAppServices::Installed().user = nullptr;
        SchoolTest::TearDown();
        m_modules.Unregister();
    }

    // The class of 2026-03-11 as the module reads it.
    std::unique_ptr<CDBEduRcd> ReadClass()
    {
        CXArrayT<CDBEduRcd, false> records;
        CXMap query;
        query.SetText(MDU_EDUSCH, QString::number(m_sch));
        query.SetDate(1047, XDateTime(2026, 3, 11));
        query.SetDate(1048, XDateTime(2026, 3, 11));
        EXPECT_TRUE(FindModule(MDU_EDURCD)->QueryItems(records, query, false, true));
        return std::unique_ptr<CDBEduRcd>(records.IsEmpty() ? nullptr : records[0]);
    }
    std::unique_ptr<CDlgEdit> Open(const CXItem* item, bool bNew = false)
    {
        std::unique_ptr<CDlgEdit> frame(CreateEditDialog(*FindModule(MDU_EDURCD), bNew, item));
        if (frame) {
            frame->Create();
            frame->show();
        }
        return frame;
    }
    static CDlgEditEduRcd* Page(CDlgEdit& frame) { return static_cast<CDlgEditEduRcd*>(frame.m_pages[0]); }
    static bool Enabled(CXDialogEx& dlg, int id) { return dlg.GetDlgItem(id) && dlg.GetDlgItem(id)->isEnabled(); }
    int StoredRecords() const
    {
        return static_cast<int>(QueryNumber(FormatString(u"SELECT COUNT(*) FROM TB_EDURCD WHERE EduSchID=%d", m_sch)));
    }

    XTeachingModules m_modules;
    XUiTestHooks m_ui;
    int m_sch = 0;
};

} // namespace

TEST_F(ClassRecordDialogs, AllNormalTakesAttendanceAndResetUndoesIt)
{
    auto rcd = ReadClass();
    ASSERT_TRUE(rcd);
    {
        auto frame = Open(rcd.get());
        ASSERT_TRUE(frame);
        CDlgEditEduRcd* page = Page(*frame);
        // an untouched plan has nothing to reset
        EXPECT_FALSE(Enabled(*page, IDC_RESET));
        m_ui.answer = IDOK;
        page->OnAllNormal();
        ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
        EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox"))[0].caption, QStringLiteral("全部正常"));
        EXPECT_EQ(page->m_rcd.m_nClassStatus, CLASS_HELD);
        EXPECT_TRUE(static_cast<QAbstractButton*>(page->GetDlgItem(IDC_CHOICE_2))->isChecked());
        EXPECT_TRUE(Enabled(*page, IDC_RESET));
        const CDBEduRcdStudent* s1 = nullptr;
        const CDBEduRcdStudent* s3 = nullptr;
        for (auto* s : Typed(page->m_rcd.m_students))
            (s->m_nID == m_school.s1 ? s1 : s3) = s;
        ASSERT_TRUE(s1 && s3);
        EXPECT_EQ(s1->m_receipt.m_nID, m_school.r6);
        // S3 has no piano receipt: on time, consuming nothing, shown as an error
        EXPECT_EQ(s3->m_nAttence, ATTENCE_ONTIME);
        EXPECT_EQ(s3->m_receipt.m_nID, 0);
        EXPECT_EQ(s3->GetStatusLevel(), ST_STOP);
        frame->resize(frame->size().expandedTo(QSize(720, 560)));
        QApplication::processEvents();
        EXPECT_TRUE(frame->grab().save(QStringLiteral("/tmp/classrecord-page.png")));
        // the class page still saves
        static_cast<QPushButton*>(frame->GetDlgItem(IDOK))->click();
    }
    EXPECT_EQ(StoredRecords(), 1);
    EXPECT_EQ(QueryNumber(FormatString(u"SELECT COUNT(*) FROM TB_EDURCD_STUDENT WHERE ReceiptID=%d AND EduRcdID IN "
                                       u"(SELECT ID FROM TB_EDURCD WHERE EduSchID=%d)",
                                       m_school.r6, m_sch)),
              1);

    auto stored = ReadClass();
    ASSERT_TRUE(stored);
    ASSERT_GT(stored->m_nID, 0);
    {
        auto frame = Open(stored.get());
        ASSERT_TRUE(frame);
        frame->OnUnlock();
        CDlgEditEduRcd* page = Page(*frame);
        page->UpdateControls();
        ASSERT_TRUE(Enabled(*page, IDC_RESET));
        m_ui.Clear();
        page->OnReset();
        ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
        EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox"))[0].caption, QStringLiteral("重置课堂记录"));
        EXPECT_TRUE(page->m_rcd.IsAutoEmpty());
        EXPECT_FALSE(Enabled(*page, IDC_RESET));
        static_cast<QPushButton*>(frame->GetDlgItem(IDOK))->click();
    }
    // saving the reset class deletes it with its lines: the lesson is given back
    EXPECT_EQ(StoredRecords(), 0);
    EXPECT_EQ(QueryNumber(FormatString(u"SELECT COUNT(*) FROM TB_EDURCD_STUDENT WHERE EduRcdID=%d", stored->m_nID)), 0);
}

TEST_F(ClassRecordDialogs, OnlyACheckedReceiptReplacesTheConsumedOne)
{
    auto rcd = ReadClass();
    ASSERT_TRUE(rcd);
    CDBEduRcdStudent* s1 = nullptr;
    for (auto* s : Typed(rcd->m_students))
        if (s->m_nID == m_school.s1)
            s1 = s;
    ASSERT_TRUE(s1);
    s1->m_nAttence = ATTENCE_ONTIME;
    rcd->Validate(&FixtureUser(), false);
    ASSERT_EQ(s1->m_receipt.m_nID, m_school.r6);

    struct Case
    {
        const char* what;
        int check; // receipt to check, 0: uncheck all
        int consumed;
    } const cases[] = {{"unchecking all keeps it", 0, m_school.r6},
                       {"checking another takes it", m_school.r1, m_school.r1}};
    for (const Case& c : cases) {
        CDlgEditEduRcdStudent dlg(s1, &rcd->m_students, false);
        ASSERT_EQ(dlg.m_line.m_receipts.GetSize(), 2); // R6 and R1, newest first
        for (auto* r : Typed(dlg.m_line.m_receipts))
            r->m_bSelected = r->m_nID == c.check ? 1 : 0;
        dlg.m_line.Validate(&FixtureUser(), true);
        EXPECT_EQ(dlg.m_line.m_receipt.m_nID, c.consumed) << c.what;
    }
}

TEST_F(ClassRecordDialogs, NewClassIsTemporary)
{
    auto rcd = ReadClass();
    ASSERT_TRUE(rcd);
    CDlgEditEduRcd page(true, rcd.get());
    EXPECT_FALSE(page.m_rcd.IsAuto());
    EXPECT_EQ(page.m_rcd.m_nID, 0);
    ASSERT_TRUE(page.Create());
    page.UpdateControls();
    EXPECT_FALSE(Enabled(page, IDC_RESET));
}
