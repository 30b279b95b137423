// The student page and its line dialogs on the fixture school, offscreen.
#include "CDlgEdit.h"
#include "CDlgEditStudent.h"
#include "CDlgEditStudentResume.h"
#include "CDlgEditViewItems.h"
#include "CFakeAppServices.h"
#include "CXCmd.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "EditFrame.h"
#include "FixtureSchool.h"
#include "FormatString.h"
#include "PeopleDialogs.h"
#include "XCmdTarget.h"
#include "XListLogic.h"
#include "XMainWindow.h"
#include "XUi.h"

#include <QtGui/QFocusEvent>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

#include <memory>

namespace {

// Stands in for the main window: records the commands sent or posted to it, in order.
class CommandRecorder : public QObject
{
public:
    std::vector<int> ids;
    bool event(QEvent* e) override
    {
        if (e->type() != XCommandEvent::EventType())
            return QObject::event(e);
        ids.push_back(static_cast<XCommandEvent*>(e)->m_nID);
        return true;
    }
};

class StudentPage : public SchoolTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
        RegisterPeopleEditPages();
        CFakeAppServices::Installed().user = &FixtureUser();
        m_previousMain = XSetMainWindow(&m_main);
    }
    void TearDown() override
    {
        XSetMainWindow(m_previousMain);
        for (int mdu : {MDU_COURSE, MDU_CHARGE, MDU_STUDENT})
            SetEditPageMaker(mdu, {});
        CFakeAppServices::Installed().user = nullptr;
        SchoolTest::TearDown();
    }

    std::unique_ptr<CDlgEdit> Open(int id, bool bNew = false)
    {
        CXArray items(nullptr, true);
        CXMap query;
        query.SetText(QKEY_IDS, QString::number(id));
        EXPECT_TRUE(FindModule(MDU_STUDENT)->QueryItems(items, query, false, true));
        if (items.GetSize() != 1)
            return nullptr;
        std::unique_ptr<CDlgEdit> frame(CreateEditDialog(*FindModule(MDU_STUDENT), bNew, items.GetAt(0)));
        if (frame) {
            frame->Create();
            frame->show();
        }
        return frame;
    }
    static CDlgEditStudent& Page(CDlgEdit& frame) { return *static_cast<CDlgEditStudent*>(frame.m_pages.at(0)); }
    static QLineEdit* Edit(CXDialogEx& dlg, int id) { return qobject_cast<QLineEdit*>(dlg.GetDlgItem(id)); }
    static QAbstractButton* Button(CXDialogEx& dlg, int id)
    {
        return qobject_cast<QAbstractButton*>(dlg.GetDlgItem(id));
    }
    // What clicking into the list does for the page: it becomes the list commands act on.
    static void Focus(QWidget* list)
    {
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(list, &in);
    }
    static bool Run(CXListCtrl* list, int command)
    {
        CXCmd state(command);
        list->OnCmdMsg(command, XCN_UPDATE, &state);
        if (!state.m_bEnabled)
            return false;
        return list->OnCmdMsg(command, XCN_COMMAND, nullptr);
    }
    int Count(const QString& sql) { return static_cast<int>(QueryNumber(sql)); }

    XUiTestHooks m_ui;
    CommandRecorder m_main;
    QObject* m_previousMain = nullptr;
};

TEST_F(StudentPage, ShowsTheStudentAndSavesWhatWasTyped)
{
    auto frame = Open(m_school.s1);
    ASSERT_TRUE(frame);
    CDlgEditStudent& page = Page(*frame);
    EXPECT_EQ(page.Template()->caption, QStringLiteral("基本信息"));
    ASSERT_TRUE(Edit(page, IDC_REAL_NAME) && Edit(page, IDC_PETNAME));
    EXPECT_EQ(Edit(page, IDC_REAL_NAME)->text(), QStringLiteral("张三"));
    EXPECT_EQ(Edit(page, IDC_PETNAME)->text(), QStringLiteral("小明"));
    EXPECT_TRUE(Button(page, IDC_LOGIN)->isChecked());
    ASSERT_TRUE(page.m_accountList && page.m_resumeList);
    EXPECT_EQ(page.m_accountList->GetItemCount(), 1);
    EXPECT_EQ(page.m_resumeList->GetItemCount(), 1);
    // the name repeats: the merge command is offered on the name
    Edit(page, IDC_EXACT_ADDR)->setText(QStringLiteral("3栋 201"));
    frame->resize(frame->size().expandedTo(QSize(720, 640)));
    QApplication::processEvents();
    EXPECT_TRUE(frame->grab().save(QStringLiteral("/tmp/people-student-page.png")));
    qobject_cast<QPushButton*>(frame->GetDlgItem(IDOK))->click();
    EXPECT_EQ(QueryText(FormatString(u"SELECT ExactAddr FROM TB_STUDENT WHERE ID=%d", m_school.s1)),
              QStringLiteral("3栋 201"));
    EXPECT_EQ(Count(FormatString(u"SELECT COUNT(*) FROM TB_ACCOUNT WHERE MduID=321 AND PersonID=%d", m_school.s1)), 1);
}

TEST_F(StudentPage, LoginButtonsFollowTheLoginCheckBox)
{
    auto frame = Open(m_school.s3);
    ASSERT_TRUE(frame);
    CDlgEditStudent& page = Page(*frame);
    QAbstractButton* login = Button(page, IDC_LOGIN);
    for (bool on : {false, true}) {
        login->click();
        EXPECT_EQ(login->isChecked(), on);
        EXPECT_EQ(page.GetDlgItem(IDC_RESET_PASSWORD)->isEnabled(), on);
        EXPECT_EQ(page.GetDlgItem(IDC_LOGOUT_ALL)->isEnabled(), on);
    }
}

TEST_F(StudentPage, LinesAreAddedAndChangedOneAtATime)
{
    auto frame = Open(m_school.s1);
    ASSERT_TRUE(frame);
    CDlgEditStudent& page = Page(*frame);
    // the account dialog types a number and whose phone it is, and takes OK
    QString number = QStringLiteral("13912340000");
    m_ui.onModal = [&](QDialog* d) {
        auto* dlg = static_cast<CXDialogEx*>(d);
        Edit(*dlg, IDC_CONTENT)->setText(number);
        qobject_cast<QComboBox*>(dlg->GetDlgItem(IDC_RELATION))->setEditText(QStringLiteral("爸爸"));
        qobject_cast<QPushButton*>(dlg->GetDlgItem(IDOK))->click();
        return d->result();
    };
    Focus(page.m_accountList);
    ASSERT_TRUE(Run(page.m_accountList, ID_LIST_ADDITEM));
    ASSERT_EQ(page.m_student.m_accounts.GetSize(), 2);
    EXPECT_EQ(page.m_accountList->GetItemCount(), 2);
    EXPECT_EQ(page.m_student.m_accounts.GetAt(1)->m_strName, number);
    EXPECT_EQ(page.m_student.m_accounts.GetAt(1)->m_nParentID, m_school.s1);

    // a bad number is refused in the dialog: nothing is added
    number = QStringLiteral("1391234");
    ASSERT_TRUE(Run(page.m_accountList, ID_LIST_ADDITEM));
    EXPECT_EQ(page.m_student.m_accounts.GetSize(), 2);

    // change needs exactly one selected line
    m_ui.Clear();
    page.m_accountList->SetItemSelected(0, true);
    page.m_accountList->SetItemSelected(1, true);
    EXPECT_FALSE(Run(page.m_accountList, ID_EDIT_MODIFY));
    page.OnModifyLine(); // even when asked directly
    EXPECT_TRUE(m_ui.Calls(QStringLiteral("Modal")).empty());
    page.m_accountList->SelectOnly(0);
    number = QStringLiteral("13800138001");
    ASSERT_TRUE(Run(page.m_accountList, ID_EDIT_MODIFY));
    EXPECT_EQ(page.m_student.m_accounts.GetAt(0)->m_strName, number);

    qobject_cast<QPushButton*>(frame->GetDlgItem(IDOK))->click();
    EXPECT_EQ(QueryText(FormatString(u"SELECT GROUP_CONCAT(Content||':'||Relation) FROM (SELECT Content, Relation FROM "
                                     u"TB_ACCOUNT WHERE MduID=321 AND PersonID=%d ORDER BY ID)",
                                     m_school.s1)),
              QStringLiteral("13800138001:爸爸,13912340000:爸爸"));
}

TEST_F(StudentPage, ResumeDialogShowsTheSchoolYearOfItsDate)
{
    const struct
    {
        int stage;
        XDateTime date;
        const char* text;
    } cases[] = {
        {6, XDateTime(2026, 3, 10), "(等效于2025年9月1日至2026年8月31日)"},
        {6, XDateTime(2026, 9, 1), "(等效于2026年9月1日至2027年8月31日)"},
        {20, XDateTime(2026, 8, 31), "(等效于2025年9月1日至2026年8月31日)"},
        {21, XDateTime(2026, 3, 10), ""},
    };
    for (const auto& c : cases) {
        CDBStudentResume line;
        line.m_nStage = c.stage;
        line.m_dtDate = c.date;
        CDlgEditStudentResume dlg(false, line);
        dlg.Create();
        dlg.UpdateControls();
        auto* text = qobject_cast<QLabel*>(dlg.NextInZOrder(dlg.GetDlgItem(IDC_DATE_BGN)));
        ASSERT_TRUE(text);
        EXPECT_EQ(text->text(), QString::fromUtf8(c.text)) << c.stage;
    }
    // choosing 社会人士 clears the text at once
    CDBStudentResume line;
    line.m_nStage = 6;
    line.m_dtDate = XDateTime(2026, 3, 10);
    CDlgEditStudentResume dlg(false, line);
    dlg.Create();
    dlg.UpdateControls();
    Button(dlg, IDC_STAGE_LAST)->click();
    EXPECT_EQ(dlg.SchoolYearText(), QString());
    EXPECT_EQ(dlg.m_resume.m_nStage, 21);
}

TEST_F(StudentPage, PasswordResetAndLogoutAskFirstAndAct)
{
    const int s1 = m_school.s1;
    ASSERT_TRUE(Exec(FormatString(u"UPDATE TB_STUDENT SET UserPassword='abc' WHERE ID=%d", s1)));
    ASSERT_TRUE(Exec(FormatString(
        u"INSERT INTO TB_OPERLOG (OperTime, UserMduID, UserID, TypeID, UserSession, SessionEnd) VALUES (%d,321,%d,%d,"
        u"'s1',0)",
        int(FixtureNow().Day()), s1, int(OPER_LOGIN))));
    auto frame = Open(s1);
    ASSERT_TRUE(frame);
    CDlgEditStudent& page = Page(*frame);

    m_ui.answer = IDCANCEL; // asked, refused: nothing changes
    Button(page, IDC_RESET_PASSWORD)->click();
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    const QString prompt = m_ui.Calls(QStringLiteral("MessageBox"))[0].text;
    EXPECT_TRUE(prompt.contains(QStringLiteral("自动注销该学员的全部登录状态"))) << prompt.toStdString();
    EXPECT_FALSE(prompt.contains(u'{'));
    EXPECT_EQ(QueryText(FormatString(u"SELECT UserPassword FROM TB_STUDENT WHERE ID=%d", s1)), QStringLiteral("abc"));

    m_ui.Clear();
    m_ui.answer = IDOK;
    Button(page, IDC_RESET_PASSWORD)->click();
    EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 2u);
    EXPECT_EQ(QueryText(FormatString(u"SELECT UserPassword FROM TB_STUDENT WHERE ID=%d", s1)), QString());
    EXPECT_EQ(Count(FormatString(u"SELECT COUNT(*) FROM TB_OPERLOG WHERE UserMduID=321 AND UserID=%d AND TypeID=%d "
                                 u"AND SessionEnd=0",
                                 s1, int(OPER_LOGIN))),
              0);

    ASSERT_TRUE(Exec(FormatString(
        u"INSERT INTO TB_OPERLOG (OperTime, UserMduID, UserID, TypeID, UserSession, SessionEnd) VALUES (%d,321,%d,%d,"
        u"'s2',0)",
        int(FixtureNow().Day()), s1, int(OPER_LOGIN))));
    m_ui.Clear();
    Button(page, IDC_LOGOUT_ALL)->click();
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 2u);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox"))[0].caption, QStringLiteral("注销登录"));
    EXPECT_EQ(Count(FormatString(u"SELECT COUNT(*) FROM TB_OPERLOG WHERE UserMduID=321 AND UserID=%d AND TypeID=%d "
                                 u"AND SessionEnd=0",
                                 s1, int(OPER_LOGIN))),
              0);
}

TEST_F(StudentPage, MergingDropsTheTypedChangesAndReopensTheStudent)
{
    const int s1 = m_school.s1, s2 = m_school.s2;
    auto frame = Open(s1);
    ASSERT_TRUE(frame);
    CDlgEditStudent& page = Page(*frame);
    Edit(page, IDC_EXACT_ADDR)->setText(QStringLiteral("typed, never saved"));
    QString shown;
    m_ui.onModal = [&](QDialog* d) {
        shown = d->windowTitle();
        d->resize(d->size().expandedTo(QSize(640, 520)));
        EXPECT_TRUE(d->grab().save(QStringLiteral("/tmp/people-merge-dialog.png")));
        return IDOK;
    };
    XPostCommand(&page, ID_EDIT_MERGE); // what the button on the name edit does
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(shown, QStringLiteral("合并重名学员"));
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox"))[0].text, QStringLiteral("已合并两个重名学员 “张三” ！"));
    EXPECT_EQ(Count(FormatString(u"SELECT COUNT(*) FROM TB_STUDENT WHERE ID=%d", s2)), 0);
    EXPECT_FALSE(frame->isVisible()); // cancelled
    EXPECT_EQ(frame->result(), IDCANCEL);
    EXPECT_EQ(QueryText(FormatString(u"SELECT ExactAddr FROM TB_STUDENT WHERE ID=%d", s1)), QString());
    EXPECT_EQ(m_main.ids, (std::vector<int>{ID_EDIT_REFRESH, ID_EDIT_MODIFY}));
}

TEST_F(StudentPage, ANewStudentFromAnotherGetsLinesOfItsOwn)
{
    auto frame = Open(m_school.s1, true);
    ASSERT_TRUE(frame);
    CDlgEditStudent& page = Page(*frame);
    EXPECT_EQ(page.m_student.m_nID, 0);
    ASSERT_EQ(page.m_student.m_accounts.GetSize(), 1);
    EXPECT_EQ(page.m_student.m_accounts.GetAt(0)->m_nSubID, 0);
    Edit(page, IDC_PETNAME)->setText(QStringLiteral("小红"));
    m_ui.answer = IDOK; // the name repeats: confirmed
    qobject_cast<QPushButton*>(frame->GetDlgItem(IDOK))->click();
    const int added = Count(QStringLiteral("SELECT MAX(ID) FROM TB_STUDENT"));
    ASSERT_GT(added, m_school.s6);
    // the source keeps its phone, the copy has one of its own
    for (int id : {m_school.s1, added})
        EXPECT_EQ(Count(FormatString(u"SELECT COUNT(*) FROM TB_ACCOUNT WHERE MduID=321 AND PersonID=%d AND "
                                     u"Content='13800138000'",
                                     id)),
                  1)
            << id;
    EXPECT_EQ(Count(FormatString(u"SELECT COUNT(*) FROM TB_STUDENT_RESUME WHERE StudentID=%d", m_school.s1)), 1);
}

// A student with course lines gets them as a read-only page after its own; one without, not.
TEST_F(StudentPage, CourseLinesFollowAsAReadOnlyPage)
{
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDURCD (CourseID, ClassDate) VALUES (%d,%d)", m_school.art,
                                  int(XDateTime(2026, 3, 14).Day()))));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDURCD_STUDENT (EduRcdID, StudentID, LessonType, Attence) VALUES "
                                  u"((SELECT MAX(ID) FROM TB_EDURCD),%d,1,2)",
                                  m_school.s4)));
    for (const auto& [id, lines] : {std::pair{m_school.s4, 1}, std::pair{m_school.s5, 0}}) {
        auto frame = Open(id);
        ASSERT_TRUE(frame);
        ASSERT_GE(frame->m_pages.size(), 1u);
        const auto* view = frame->m_pages.size() > 1 ? dynamic_cast<CDlgEditViewItems*>(frame->m_pages[1]) : nullptr;
        const bool shown = view && view->m_strCaption == QStringLiteral("课程");
        EXPECT_EQ(shown, lines > 0) << id;
        if (shown) {
            EXPECT_EQ(view->m_items.GetSize(), lines);
            EXPECT_TRUE(view->m_strXml.contains(QStringLiteral("美术"))) << view->m_strXml.left(300).toStdString();
        }
    }
}

TEST_F(StudentPage, StudentsAreFoundByTheirPinyinInitials)
{
    CXArray items(nullptr, true);
    ASSERT_TRUE(FindModule(MDU_STUDENT)->QueryItems(items, CXMap(), true, false));
    const auto found = [&](const char* search) {
        QList<int> ids;
        for (const CXItem* item : items)
            if (MatchListText(item->GetTitleText(), QString::fromUtf8(search), false, false))
                ids << item->m_nID;
        std::sort(ids.begin(), ids.end());
        return ids;
    };
    EXPECT_EQ(found("zs"), (QList<int>{m_school.s1, m_school.s2}));
    EXPECT_EQ(found("zsxm"), QList<int>{m_school.s1});
    EXPECT_EQ(found("ls"), QList<int>{m_school.s3});
    EXPECT_EQ(found("qq"), QList<int>{});
}

} // namespace
