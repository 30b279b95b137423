#include "CDlgEdit.h"
#include "CommandIds.h"
#include "CDlgEditCharge.h"
#include "CDlgEditCourse.h"
#include "CFakeAppServices.h"
#include "CXCmd.h"
#include "CXListCtrl.h"
#include "EditFrame.h"
#include "XRecordPickers.h"
#include "PeopleDialogs.h"
#include "XUi.h"
#include "FixtureSchool.h"

#include <gtest/gtest.h>

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <memory>

namespace {

// The course picker answers with the courses of its list, and remembers what it was asked.
class CCoursePickers : public XRecordPickers
{
public:
    bool IsAvailable() const override { return true; }
    int ChooseMany(CModule& module, const CXMap& query, const std::set<int>&, CXArray& chosen) override
    {
        asked = query;
        CXMap only;
        only.SetText(QKEY_IDS, ids);
        return module.QueryItems(chosen, only, true, false) ? IDOK : IDCANCEL;
    }
    QString ids;
    CXMap asked;
};

class PeopleDialogs : public SchoolTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
        RegisterPeopleEditPages();
        CFakeAppServices::Installed().user = &FixtureUser();
        m_previousPickers = SetRecordPickers(&m_pickers);
    }
    void TearDown() override
    {
        SetRecordPickers(m_previousPickers);
        SetEditPageMaker(MDU_COURSE, {});
        SetEditPageMaker(MDU_CHARGE, {});
        SetEditPageMaker(MDU_STUDENT, {});
        CFakeAppServices::Installed().user = nullptr;
        SchoolTest::TearDown();
    }

    template <class Record> std::unique_ptr<CDlgEdit> Open(int id)
    {
        CXArray items(nullptr, true);
        CXMap query;
        if (id) {
            query.SetText(QKEY_IDS, QString::number(id));
            EXPECT_TRUE(FindModule(Record::MduID)->QueryItems(items, query, false, true));
        }
        std::unique_ptr<CDlgEdit> frame(
            CreateEditDialog(*FindModule(Record::MduID), id == 0, id ? items.GetAt(0) : nullptr));
        if (frame) {
            frame->Create();
            frame->show();
        }
        return frame;
    }
    static QWidget* Ctrl(CDlgEdit& frame, int id) { return frame.m_pages[0]->GetDlgItem(id); }
    static QLineEdit* Edit(CDlgEdit& frame, int id) { return qobject_cast<QLineEdit*>(Ctrl(frame, id)); }
    // The frame as the user sees it, for a look by eye.
    static void Snapshot(CDlgEdit& frame, const QString& path)
    {
        frame.resize(frame.size().expandedTo(QSize(560, 440)));
        QApplication::processEvents();
        EXPECT_TRUE(frame.grab().save(path));
    }
    static void Click(CDlgEdit& frame, int id) { qobject_cast<QPushButton*>(frame.GetDlgItem(id))->click(); }

    XUiTestHooks m_ui;
    CCoursePickers m_pickers;
    XRecordPickers* m_previousPickers = nullptr;
};

TEST_F(PeopleDialogs, CoursePageEditsAndCreatesCourses)
{
    auto frame = Open<CDBCourse>(m_school.piano);
    ASSERT_TRUE(frame);
    ASSERT_FALSE(frame->m_pages.empty());
    EXPECT_EQ(frame->m_pages[0]->Template()->caption, QStringLiteral("基本信息"));
    ASSERT_TRUE(Edit(*frame, IDC_TITLE));
    EXPECT_EQ(Edit(*frame, IDC_TITLE)->text(), QStringLiteral("钢琴"));
    auto* group = qobject_cast<QComboBox*>(Ctrl(*frame, IDC_GROUP));
    ASSERT_TRUE(group);
    EXPECT_EQ(group->currentText(), QStringLiteral("乐器"));
    auto* enabled = qobject_cast<QAbstractButton*>(Ctrl(*frame, IDC_ENABLED));
    ASSERT_TRUE(enabled);
    EXPECT_TRUE(enabled->isChecked());
    Edit(*frame, IDC_MEMO)->setText(QStringLiteral("一对一"));
    enabled->click();
    Snapshot(*frame, QStringLiteral("/tmp/people-course-page.png"));
    Click(*frame, IDOK);
    EXPECT_EQ(
        QueryText(QStringLiteral("SELECT RecordMemo||'|'||IsEnabled FROM TB_COURSE WHERE ID=%1").arg(m_school.piano)),
        QStringLiteral("一对一|0"));

    auto added = Open<CDBCourse>(0);
    ASSERT_TRUE(added);
    Click(*added, IDOK);
    ASSERT_FALSE(m_ui.Calls(QStringLiteral("Balloon")).empty());
    EXPECT_EQ(m_ui.Calls(QStringLiteral("Balloon"))[0].text, QStringLiteral("请输入名称！"));
    Edit(*added, IDC_TITLE)->setText(QStringLiteral("声乐"));
    m_ui.answer = IDOK; // the warning that nothing uses it yet is confirmed
    Click(*added, IDOK);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT IsEnabled FROM TB_COURSE WHERE RecordName='声乐'")),
              QStringLiteral("1"));
}

TEST_F(PeopleDialogs, ChargePageBatchAddsCoursesAndSaves)
{
    auto frame = Open<CDBCharge>(m_school.p4);
    ASSERT_TRUE(frame);
    auto* page = static_cast<CDlgEditCharge*>(frame->m_pages[0]);
    ASSERT_TRUE(page->m_list);
    EXPECT_EQ(page->m_list->GetItemCount(), 2);
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(Ctrl(*frame, IDC_CLASS_COUNTED))->isChecked());
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(Ctrl(*frame, IDC_FIXED_LONG))->isChecked());

    m_pickers.ids = QString::number(m_school.english);
    page->OnAddCourses();
    // the picker offered enabled courses that are not in the package yet
    EXPECT_EQ(m_pickers.asked.GetText(1064), QStringLiteral("1"));
    EXPECT_EQ(m_pickers.asked.GetIdList(2), QStringLiteral("%1,%2").arg(m_school.piano).arg(m_school.art));
    ASSERT_EQ(page->m_list->GetItemCount(), 3);
    EXPECT_EQ(page->m_list->GetSelectedCount(), 1);
    EXPECT_EQ(page->m_charge.m_courses.GetAt(2)->m_strName, QStringLiteral("英语"));
    Snapshot(*frame, QStringLiteral("/tmp/people-charge-page.png"));

    Click(*frame, IDOK);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT GROUP_CONCAT(CourseID) FROM (SELECT CourseID FROM TB_CHARGE_COURSE "
                                       "WHERE ChargeID=%1 ORDER BY ID)")
                            .arg(m_school.p4)),
              QStringLiteral("%1,%2,%3").arg(m_school.piano).arg(m_school.art).arg(m_school.english));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM TB_CHARGE_COURSE")), QStringLiteral("7"));
}

// Switching the scheduling kind swaps the validity length for the course period at once.
TEST_F(PeopleDialogs, SchedulingKindSwapsTheFieldsItUses)
{
    auto frame = Open<CDBCharge>(m_school.p1);
    ASSERT_TRUE(frame);
    QWidget* days = Ctrl(*frame, IDC_VALID_DAYS);
    QWidget* from = Ctrl(*frame, IDC_USEFUL_BGN);
    const auto usable = [](QWidget* w) { return w->isEnabled() && !IsWndReadOnly(w); };
    EXPECT_TRUE(usable(days));
    EXPECT_FALSE(usable(from));
    qobject_cast<QAbstractButton*>(Ctrl(*frame, IDC_FIXED_SHORT))->click();
    frame->m_pages[0]->UpdateControls();
    EXPECT_FALSE(usable(days));
    EXPECT_TRUE(usable(from));
}

TEST_F(PeopleDialogs, SoldPackageKeepsItsTermsInThePage)
{
    ASSERT_TRUE(Exec(
        QStringLiteral("INSERT INTO TB_RECEIPT (KeyName,StudentID,PayDate,PayNum,ChargeID) VALUES ('B1',1,%1,1,%2)")
            .arg(XDateTime(2026, 1, 5).Day())
            .arg(m_school.p1)));
    auto frame = Open<CDBCharge>(m_school.p1);
    ASSERT_TRUE(frame);
    QLineEdit* lessons = Edit(*frame, IDC_LESSONS);
    ASSERT_TRUE(lessons);
    EXPECT_TRUE(lessons->isReadOnly() || !lessons->isEnabled());
    QWidget* period = Ctrl(*frame, IDC_CLASS_COUNTED);
    EXPECT_TRUE(IsWndReadOnly(period) || !period->isEnabled());
    CXCmd add(ID_ADD_COURSES);
    static_cast<CDlgEditCharge*>(frame->m_pages[0])->OnUpdateAddCourses(&add);
    EXPECT_FALSE(add.m_bEnabled);
    QLineEdit* name = Edit(*frame, IDC_TITLE);
    ASSERT_TRUE(name);
    EXPECT_FALSE(name->isReadOnly());
}

} // namespace

// An open end ("未截止") survives the page: the package saved without touching its end date
// stays on sale, whatever day the picker would have shown.
TEST_F(PeopleDialogs, AnOpenSaleEndStaysOpenWhenThePackageIsSaved)
{
    auto frame = Open<CDBCharge>(m_school.p1);
    ASSERT_TRUE(frame);
    m_ui.answer = IDOK;
    Click(*frame, IDOK);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT CheckEnd FROM TB_CHARGE WHERE ID=%1").arg(m_school.p1)),
              QStringLiteral("0.0"));

    // a new package: its end is open until someone sets it
    auto added = Open<CDBCharge>(0);
    ASSERT_TRUE(added);
    added->m_pages[0]->UpdateData(true);
    EXPECT_EQ(static_cast<CDlgEditCharge*>(added->m_pages[0])->m_charge.m_dtCheckEnd.Day(), 0);
}
