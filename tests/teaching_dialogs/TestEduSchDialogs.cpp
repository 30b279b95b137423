// The timetable page and its line dialogs, offscreen, on the fixture school.
#include "CDlgEdit.h"
#include "CDlgEditEduSch.h"
#include "CDlgEditEduSchStudent.h"
#include "CDlgEditEduSchTeacher.h"
#include "CModuleEduSch.h"
#include "CXDateCtrl.h"
#include "CXLinkCtrl.h"
#include "CXTimeSpanCtrl.h"
#include "EditFrame.h"
#include "PeopleTestSupport.h"
#include "XDrawing.h"
#include "XReadOnly.h"

#include <QtGui/QImage>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QTimeEdit>

#include <gtest/gtest.h>

namespace {

using EduSchDialogs = SchoolTest;

void Shoot(QWidget& w, const char* name)
{
    w.resize(w.sizeHint().expandedTo(QSize(720, 520)));
    w.show();
    QApplication::processEvents();
    w.grab().save(QStringLiteral("/tmp/%1.png").arg(QString::fromUtf8(name)));
}

// The link names the record and its box shows it: drawn without the text, it looks
// different.
bool ShowsItsRecord(CXLinkCtrl& link, const QString& title)
{
    const QString text = link.text();
    if (!text.contains(title))
        return false;
    const QImage shown = link.grab().toImage();
    link.setText(QString());
    const QImage empty = link.grab().toImage();
    link.setText(text);
    return shown != empty;
}

TEST_F(EduSchDialogs, PageShowsTheTimetableAndAddsChosenStudents)
{
    std::unique_ptr<CDBEduSch> e1 = ReadOne<CDBEduSch>(m_school.e1);
    ASSERT_TRUE(e1);
    CDlgEditEduSch page(false, e1.get());
    ASSERT_TRUE(page.Create());
    Shoot(page, "timetable_page");
    // a saved timetable's course is read-only, and its box still names it
    auto* course = dynamic_cast<CXLinkCtrl*>(page.GetDlgItem(MDU_COURSE));
    ASSERT_TRUE(course);
    EXPECT_TRUE(IsWndReadOnly(course));
    EXPECT_EQ(page.m_sch.m_course.m_nID, m_school.piano);
    EXPECT_TRUE(ShowsItsRecord(*course, QStringLiteral("钢琴")));
    ASSERT_TRUE(page.m_teacherList && page.m_studentList);
    EXPECT_EQ(page.m_teacherList->GetItemCount(), 1);
    EXPECT_EQ(page.m_studentList->GetItemCount(), 2);
    auto* oneToMany = qobject_cast<QAbstractButton*>(page.GetDlgItem(IDC_FORM_MANY));
    ASSERT_TRUE(oneToMany);
    EXPECT_TRUE(oneToMany->isChecked());

    // the batch add's chosen students join as lines of their own, selected
    CXArray chosen(nullptr, true);
    CXItem* s2 = chosen.GetAt(chosen.Add(new CXItem));
    s2->m_nMduID = MDU_STUDENT;
    s2->m_nID = m_school.s2;
    s2->m_strName = QStringLiteral("张三");
    page.AddChosenStudents(chosen);
    ASSERT_EQ(page.m_sch.m_students.GetSize(), 3);
    const CDBEduSchStudent* added = page.m_sch.m_students.GetAt(2);
    EXPECT_EQ(added->m_nID, m_school.s2);
    EXPECT_EQ(added->m_nSubID, 0);
    EXPECT_EQ(EduSch::DayOf(added->m_edu.m_begin), 0);
    EXPECT_EQ(page.m_studentList->GetItemCount(), 3);
    EXPECT_EQ(page.m_studentList->GetSelectedCount(), 1);

    // a copy as new keeps the lines but none of their rows
    CDlgEditEduSch copy(true, e1.get());
    EXPECT_EQ(copy.m_sch.m_nID, 0);
    ASSERT_EQ(copy.m_sch.m_students.GetSize(), 2);
    for (const CXItem* line : copy.m_sch.m_students)
        EXPECT_EQ(line->m_nSubID, 0);
}

// In its edit frame at the frame's own size the page reads whole: every time picker shows
// its whole time and each line list a few lines.
TEST_F(EduSchDialogs, PageInItsFrameGivesTheTimesAndListsRoom)
{
    std::unique_ptr<CDBEduSch> e1 = ReadOne<CDBEduSch>(m_school.e1);
    ASSERT_TRUE(e1);
    SetEditPageMaker(MDU_EDUSCH, [](bool bNew, const CXItem* item) -> std::unique_ptr<CXDialogEx> {
        return std::make_unique<CDlgEditEduSch>(bNew, item);
    });
    std::unique_ptr<CDlgEdit> frame(CreateEditDialog(*FindModule(MDU_EDUSCH), false, e1.get()));
    SetEditPageMaker(MDU_EDUSCH, {});
    ASSERT_TRUE(frame);
    frame->Create();
    frame->show();
    QApplication::processEvents();
    frame->grab().save(QStringLiteral("/tmp/timetable-frame.png"));
    auto* page = static_cast<CDlgEditEduSch*>(frame->m_pages[0]);
    auto* span = dynamic_cast<CXTimeSpanCtrl*>(page->GetDlgItem(IDC_TIMESPAN));
    ASSERT_TRUE(span);
    for (int id = IDC_SPAN_BEGIN; id <= IDC_SPAN_DURATION; ++id) {
        const QTimeEdit* picker = span->Picker(id);
        ASSERT_TRUE(picker);
        EXPECT_GE(picker->width(), picker->sizeHint().width()) << id;
    }
    for (const CXListCtrl* list :
         {static_cast<CXListCtrl*>(page->m_teacherList), static_cast<CXListCtrl*>(page->m_studentList)}) {
        ASSERT_TRUE(list);
        // the header and at least three lines
        EXPECT_GE(list->viewport()->height(), 3 * RowHeight());
    }
}

TEST_F(EduSchDialogs, LineDialogsSeeTheTimetable)
{
    std::unique_ptr<CDBEduSch> e1 = ReadOne<CDBEduSch>(m_school.e1);
    ASSERT_TRUE(e1);
    const CDBEduSchStudent* s1 = nullptr;
    for (const CDBEduSchStudent* line : EduSch::Lines(e1->m_students))
        if (line->m_nID == m_school.s1)
            s1 = line;
    ASSERT_TRUE(s1);
    CDlgEditEduSchStudent student(s1, &e1->m_students);
    ASSERT_TRUE(student.Create());
    Shoot(student, "timetable_student");
    auto* who = dynamic_cast<CXLinkCtrl*>(student.GetDlgItem(MDU_STUDENT));
    ASSERT_TRUE(who);
    EXPECT_TRUE(ShowsItsRecord(*who, s1->m_strName));
    // S1's piano receipts: R1 and R6, read when the dialog opened
    EXPECT_EQ(student.m_line.m_receipts.GetSize(), 2);
    // the copy is not a second line of its student
    student.m_line.Validate(&FixtureUser(), false);
    EXPECT_TRUE(student.m_line.GetErrorText().isEmpty()) << student.m_line.GetErrorText().toStdString();

    CDlgEditEduSchTeacher teacher(nullptr, &e1->m_teachers);
    // a new teacher line of a timetable running since January joins from today's lesson
    EXPECT_EQ(EduSch::DayOf(teacher.m_line.m_edu.m_begin), static_cast<int>(XDateTime(2026, 3, 18).Day()));
    ASSERT_TRUE(teacher.Create());
    Shoot(teacher, "timetable_teacher");
    // at the dialogs' own sizes the dates show whole, and the student's receipts have room
    for (CXDialogEx* dlg : {static_cast<CXDialogEx*>(&student), static_cast<CXDialogEx*>(&teacher)})
        for (const int id : {QKEY_DATE_FROM, QKEY_DATE_TO}) {
            auto* date = dynamic_cast<CXDateCtrl*>(dlg->GetDlgItem(id));
            ASSERT_TRUE(date);
            EXPECT_GE(date->Edit()->width(), date->Edit()->sizeHint().width()) << id;
        }
    auto* receipts = dynamic_cast<CXListCtrl*>(student.GetDlgItem(IDC_RECORD_LIST));
    ASSERT_TRUE(receipts);
    EXPECT_GE(receipts->viewport()->height(), 2 * RowHeight());
}

// Open ends survive the page and the line dialogs: E1 runs with no end date, and its lines
// follow the timetable (0 on both sides); stored unchanged, none of them gets the day the
// picker happened to show.
TEST_F(EduSchDialogs, OpenEndsStayOpenThroughThePageAndTheLineDialogs)
{
    std::unique_ptr<CDBEduSch> e1 = ReadOne<CDBEduSch>(m_school.e1);
    ASSERT_TRUE(e1);
    ASSERT_EQ(EduSch::DayOf(e1->m_date.m_end), 0);
    CDlgEditEduSch page(false, e1.get());
    ASSERT_TRUE(page.Create());
    page.UpdateData(true);
    EXPECT_EQ(EduSch::DayOf(page.m_sch.m_date.m_end), 0);

    for (const CDBEduSchStudent* line : EduSch::Lines(e1->m_students)) {
        CDlgEditEduSchStudent dlg(line, &e1->m_students);
        ASSERT_TRUE(dlg.Create());
        dlg.UpdateData(true);
        EXPECT_EQ(EduSch::DayOf(dlg.m_line.m_edu.m_begin), EduSch::DayOf(line->m_edu.m_begin)) << line->m_nID;
        EXPECT_EQ(EduSch::DayOf(dlg.m_line.m_edu.m_end), EduSch::DayOf(line->m_edu.m_end)) << line->m_nID;
    }
    CDlgEditEduSchTeacher teacher(nullptr, &e1->m_teachers);
    ASSERT_TRUE(teacher.Create());
    teacher.UpdateData(true);
    EXPECT_EQ(EduSch::DayOf(teacher.m_line.m_edu.m_end), 0);
}

} // namespace
