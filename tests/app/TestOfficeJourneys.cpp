// A school's first day with the program, as the office lives it: the program starts on a
// fresh folder and makes its own database, the administrator logs in with the default
// password, is told to change it and does; the office sets up a course and a package,
// registers a student from an identity-card number and a teacher with an employment line
// and operator rights; the teacher then logs in and sees only what he was granted. Every
// step goes through the real start-up, frame, pages and pickers, answered as a user would.
#include "CDBEduRcd.h"
#include "CDBTeacher.h"
#include "CDBWages.h"
#include "CDlgEditEduRcd.h"
#include "CDlgEditEduSch.h"
#include "CDlgEditTeacherPay.h"
#include "CDlgImportInfo.h"
#include "CXTimeSpan.h"
#include "CDlgAppSetup.h"
#include "CDlgAppSetupPage.h"
#include "DatabaseBackup.h"
#include "CDlgAppLogin.h"
#include "CDlgAppSerial.h"
#include "CDlgEdit.h"
#include "CDlgEditCharge.h"
#include "CDlgEditTeacher.h"
#include "CDlgEditTeacherResume.h"
#include "CDlgEditTeacherRight.h"
#include "CDBReceipt.h"
#include "CDlgEditReceiptAlt.h"
#include "CDlgEditReceiptAltItem.h"
#include "CDlgSelMul.h"
#include "CDlgSelOne.h"
#include "CLorvanView.h"
#include "SqlPrepare.h"
#include "CLorvanApp.h"
#include "CMainFrame.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "CModule.h"
#include "DbTestSupport.h"
#include "Settings.h"
#include "TestSupport.h"
#include "XCmdUpdater.h"
#include "XCommandActions.h"
#include "XDateTime.h"
#include "XAppServices.h"
#include "XErrorReporter.h"
#include "XUi.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

namespace {

void Pump()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// Types into a text box or an editable combo box.
void TypeInto(QWidget* w, int id, const QString& text)
{
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(w))
        combo->setEditText(text);
    else
        ADD_FAILURE() << "no text control " << id;
}

// Types into a text box of the frame's first page.
void Type(CDlgEdit& frame, int id, const QString& text)
{
    TypeInto(frame.m_pages.empty() ? nullptr : frame.m_pages[0]->GetDlgItem(id), id, text);
}

// Chooses the record in a one-record picker and presses OK.
int Choose(CDlgSelOne& picker, int id)
{
    for (int i = 0; i < picker.m_list->GetItemCount(); ++i)
        if (picker.m_list->GetItemData(i)->m_nID == id)
            picker.m_list->SelectOnly(i);
    qobject_cast<QPushButton*>(picker.GetDlgItem(IDOK))->click();
    return picker.result();
}

// With LORVAN_SHOTS naming a folder, the window as the office sees it a moment later (the
// list's selection timer has run, the detail pane and status bar follow the selection), into
// that folder.
void Shot(QWidget& w, const char* name)
{
    const QByteArray folder = qgetenv("LORVAN_SHOTS");
    if (folder.isEmpty())
        return;
    QElapsedTimer settle;
    settle.start();
    while (settle.elapsed() < 400)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    w.grab().save(QString::fromUtf8(folder) + u'/' + QString::fromUtf8(name));
}

// The program as main() starts it, on a fresh program folder, with every window the test
// does not answer itself failing the test.
class OfficeJourneys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // the program installs its own services and removes them at exit; the test's come back
        m_services = SetAppServices(nullptr);
        SetAppServices(m_services);
        m_sink = SetErrorSink(nullptr);
        SetErrorSink(m_sink);
        ASSERT_TRUE(m_app.InitInstance());
        m_ui.onModal = [this](QDialog* d) { return Answer(d); };
    }
    void TearDown() override
    {
        m_app.ExitInstance();
        XClock::Reset();
        SetAppServices(m_services);
        SetErrorSink(m_sink);
    }

    int Answer(QDialog* d)
    {
        if (auto* login = qobject_cast<CDlgAppLogin*>(d)) {
            if (m_attempts.empty()) {
                ADD_FAILURE() << "unscripted login window";
                return QDialog::Rejected;
            }
            m_loginWarning = login->m_pWarning->isHidden() ? QString() : login->m_pWarning->text();
            if (m_loginShot) {
                login->show();
                login->m_pUser->setEditText(m_attempts.front().first);
                Shot(*login, std::exchange(m_loginShot, nullptr));
            }
            // a wrong password keeps the window open for the next attempt
            for (const auto& [user, password] : std::exchange(m_attempts, {})) {
                login->m_pUser->setEditText(user);
                login->m_pPassword->setText(password);
                login->accept();
                if (login->result() == QDialog::Accepted)
                    break;
            }
            return login->result();
        }
        if (m_onModal)
            if (const int r = m_onModal(d); r >= 0)
                return r;
        ADD_FAILURE() << "unexpected window " << d->windowTitle().toStdString();
        return QDialog::Rejected;
    }
    void LogIn(std::vector<std::pair<QString, QString>> attempts, CLorvanApp* app = nullptr)
    {
        m_attempts = std::move(attempts);
        (app ? app : &m_app)->OnAppCommand(ID_APP_LOGOUT);
        Pump();
    }
    QString UserName() const { return m_app.User() ? m_app.User()->m_strName : QString(); }
    // The main window with a module's list open (its query applied when given).
    void ShotModule(int mduId, const char* name, const CXMap* query = nullptr)
    {
        CLorvanApp::OpenModule(mduId);
        Pump();
        if (query)
            FindModule(mduId)->ApplyQuery(*query);
        // the first row picked, as the office does, so that the detail pane shows it
        if (auto* view = qobject_cast<CLorvanView*>(FindModule(mduId)->GetView()))
            if (CXListCtrl* list = view->GetList(); list->GetItemCount() > 0 && list->GetSelectedCount() == 0)
                list->SelectOnly(0);
        Shot(*m_app.m_pMainWnd, name);
    }

    // Runs the add-new command of a module's window and fills its edit frame with `fill`,
    // which ends it with OK; other windows the frame opens are answered by `more`.
    void AddNew(int mduId, const std::function<void(CDlgEdit&)>& fill, const std::function<int(QDialog*)>& more = {})
    {
        CLorvanApp::OpenModule(mduId);
        Pump();
        bool filled = false;
        m_onModal = [&](QDialog* d) {
            if (auto* frame = qobject_cast<CDlgEdit*>(d); frame && !filled) {
                filled = true;
                frame->resize(frame->size().expandedTo(QSize(760, 600)));
                frame->show();
                Pump();
                fill(*frame);
                return frame->result();
            }
            return more ? more(d) : -1;
        };
        ASSERT_TRUE(m_app.m_pMainWnd->DispatchCommand(ID_EDIT_ADDNEW)) << mduId;
        EXPECT_TRUE(filled) << mduId;
        m_onModal = {};
    }
    QString FirstBalloon() const
    {
        const auto calls = m_ui.Calls(QStringLiteral("Balloon"));
        return calls.empty() ? QString() : calls[0].text;
    }
    // 古筝, through the course module's add-new; its ID.
    int AddCourse()
    {
        AddNew(MDU_COURSE, [](CDlgEdit& frame) {
            Type(frame, IDC_TITLE, QStringLiteral("古筝"));
            Shot(frame, "journey-course.png");
            Ok(frame);
        });
        const int id =
            static_cast<int>(QueryNumber(QStringLiteral("SELECT ID FROM TB_COURSE WHERE RecordName='古筝'")));
        EXPECT_GT(id, 0) << FirstBalloon().toStdString();
        return id;
    }
    // 古筝20课时: 20 lessons at 150, its course added through the batch picker; its ID.
    int AddPackage(int course)
    {
        AddNew(
            MDU_CHARGE,
            [](CDlgEdit& frame) {
                auto* page = dynamic_cast<CDlgEditCharge*>(frame.m_pages[0]);
                ASSERT_NE(page, nullptr);
                Type(frame, IDC_TITLE, QStringLiteral("古筝20课时"));
                Type(frame, IDC_LESSONS, QStringLiteral("20"));
                Type(frame, IDC_UNIT_PRICE, QStringLiteral("150"));
                page->OnAddCourses();
                EXPECT_EQ(page->m_list->GetItemCount(), 1);
                Shot(frame, "journey-package.png");
                Ok(frame);
            },
            [course](QDialog* d) {
                auto* picker = dynamic_cast<CDlgSelMul*>(d);
                if (!picker)
                    return -1;
                for (int i = 0; i < picker->m_list->GetItemCount(); ++i)
                    if (picker->m_list->GetItemData(i)->m_nID == course)
                        picker->m_list->SelectOnly(i);
                picker->OnChoose();
                qobject_cast<QPushButton*>(picker->GetDlgItem(IDOK))->click();
                return picker->result();
            });
        EXPECT_EQ(QueryText(QStringLiteral("SELECT printf('%d|%.2f|', c.LessonNum, c.LessonNum * c.UnitPrice)||(SELECT "
                                           "GROUP_CONCAT(CourseID) FROM TB_CHARGE_COURSE WHERE ChargeID=c.ID) "
                                           "FROM TB_CHARGE c WHERE RecordName='古筝20课时'")),
                  QStringLiteral("20|3000.00|%1").arg(course)); // 20 lessons at 150
        return static_cast<int>(QueryNumber(QStringLiteral("SELECT ID FROM TB_CHARGE WHERE RecordName='古筝20课时'")));
    }
    // 林晓雨 from her identity card: birthday and sex come from the number; her ID.
    int AddStudent()
    {
        AddNew(MDU_STUDENT, [](CDlgEdit& frame) {
            Type(frame, IDC_REAL_NAME, QStringLiteral("林晓雨"));
            Type(frame, IDC_IDCARD, QStringLiteral("110101201506121247"));
            Shot(frame, "journey-student.png");
            Ok(frame);
        });
        EXPECT_EQ(
            QueryText(QStringLiteral("SELECT printf('%d|%d', Sex, Birthday) FROM TB_STUDENT WHERE RealName='林晓雨'")),
            QStringLiteral("1|%1").arg(static_cast<int>(XDateTime(2015, 6, 12).Day()))); // 17th digit 4: female
        return static_cast<int>(QueryNumber(QStringLiteral("SELECT ID FROM TB_STUDENT WHERE RealName='林晓雨'")));
    }
    // 报名收费 from the receipts' add-new command: the student, the package, the page paid in
    // cash; true when the page was shown.
    bool Sell(int student, int package)
    {
        CLorvanApp::OpenModule(MDU_RECEIPT);
        Pump();
        bool paged = false;
        m_onModal = [&](QDialog* d) {
            if (auto* picker = dynamic_cast<CDlgSelOne*>(d))
                return Choose(*picker, picker->m_nMduID == MDU_STUDENT ? student : package);
            auto* frame = qobject_cast<CDlgEdit*>(d);
            if (!frame)
                return -1;
            paged = true;
            frame->resize(frame->size().expandedTo(QSize(720, 560)));
            frame->show();
            Type(*frame, IDC_PAY_TYPE, QStringLiteral("现金"));
            Shot(*frame, "journey-receipt.png");
            Ok(*frame);
            return frame->result();
        };
        const bool dispatched = m_app.m_pMainWnd->DispatchCommand(ID_ADDNEW_RECEIPT);
        m_onModal = {};
        return dispatched && paged;
    }
    static void Ok(CDlgEdit& frame)
    {
        Pump();
        qobject_cast<QPushButton*>(frame.GetDlgItem(IDOK))->click();
    }
    // The modules whose command the frame's update pass enables for the logged-in user.
    QList<int> OpenableModules() const
    {
        QList<int> ids;
        for (CModule* module : GetModules()) {
            if (module->IsHidden())
                continue;
            QAction* a = m_app.m_pMainWnd->Actions()->Action(module->GetMduID());
            if (!a)
                continue;
            XCmdUpdater::UpdateAction(a, m_app.m_pMainWnd.get());
            if (a->isEnabled())
                ids << module->GetMduID();
        }
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    XAppServices* m_services = nullptr;
    XErrorSink m_sink;
    ScopedHome m_home;
    CLorvanApp m_app;
    XUiTestHooks m_ui;
    std::vector<std::pair<QString, QString>> m_attempts;
    QString m_loginWarning;
    const char* m_loginShot = nullptr; // the next login window's picture
    std::function<int(QDialog*)> m_onModal;
};

TEST_F(OfficeJourneys, FirstDayFromAFreshFolderToTheTeachersOwnLogin)
{
    // 1. first start: the built-in administrator with the default password is warned
    m_loginShot = "journey-login.png";
    LogIn({{QStringLiteral("Admin"), QStringLiteral("583920")}});
    ASSERT_EQ(UserName(), QStringLiteral("Admin"));
    ASSERT_TRUE(m_app.m_pMainWnd->isVisible());
    EXPECT_EQ(m_loginWarning, QStringLiteral("请及时修改默认登录密码 “583920”。"));
    Shot(*m_app.m_pMainWnd, "journey-main-after-login.png");

    m_onModal = [](QDialog* d) {
        auto* serial = qobject_cast<CDlgAppSerial*>(d);
        if (!serial)
            return -1;
        serial->m_pOld->setText(QStringLiteral("583920"));
        serial->m_pNew->setText(QStringLiteral("Qin-2026"));
        serial->m_pConfirm->setText(QStringLiteral("Qin-2026"));
        serial->accept();
        return serial->result();
    };
    m_app.OnAppCommand(ID_APP_SERIAL);
    m_onModal = {};
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox"))[0].text, QStringLiteral("“Admin” 的密码已修改！"));
    EXPECT_FALSE(ReadSetting(QStringLiteral("Global"), QStringLiteral("AdminMD5Pwd"), QString()).isEmpty());
    m_ui.Clear();

    // the old password no longer opens the program; the new one does, without the warning
    LogIn({{QStringLiteral("Admin"), QStringLiteral("583920")}, {QStringLiteral("Admin"), QStringLiteral("Qin-2026")}});
    ASSERT_EQ(m_ui.Calls(QStringLiteral("Balloon")).size(), 1u);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("Balloon"))[0].text, QStringLiteral("密码不正确！"));
    EXPECT_TRUE(m_loginWarning.isEmpty());
    EXPECT_EQ(UserName(), QStringLiteral("Admin"));
    m_ui.Clear();

    // 2. a course, a package of 20 lessons of it, a student from her identity card
    const int course = AddCourse();
    ASSERT_GT(course, 0);
    ASSERT_GT(AddPackage(course), 0);
    ASSERT_GT(AddStudent(), 0);
    ShotModule(MDU_STUDENT, "journey-main-students.png");

    // a teacher employed from March, an operator with students and receipts only
    AddNew(
        MDU_TEACHER,
        [](CDlgEdit& frame) {
            auto* page = dynamic_cast<CDlgEditTeacher*>(frame.m_pages[0]);
            ASSERT_NE(page, nullptr);
            Type(frame, IDC_REAL_NAME, QStringLiteral("周正"));
            ASSERT_TRUE(page->AddLine(page->m_resumeList));
            ASSERT_GE(frame.m_pages.size(), 2u);
            auto* rights = dynamic_cast<CDlgEditTeacherRight*>(frame.m_pages[1]);
            ASSERT_NE(rights, nullptr);
            frame.m_tab->setCurrentIndex(1);
            Pump();
            qobject_cast<QAbstractButton*>(rights->GetDlgItem(IDC_ROLE_OPERATOR))->click();
            rights->OnRoleChanged();
            rights->OnClearAll();
            for (int i = 0; i < rights->m_list->GetItemCount(); ++i) {
                const int mdu = rights->m_list->GetItemData(i)->m_nMduID;
                if (mdu == MDU_STUDENT || mdu == MDU_RECEIPT)
                    EXPECT_TRUE(rights->ClickCell(i, 1)) << mdu;
            }
            Shot(frame, "journey-teacher-rights.png");
            Ok(frame);
        },
        [](QDialog* d) {
            auto* resume = dynamic_cast<CDlgEditTeacherResume*>(d);
            if (!resume)
                return -1;
            EXPECT_TRUE(resume->m_line.IsEmployment()); // a new line starts as employment here
            resume->m_line.m_period.m_begin = XDateTime(2026, 3, 1);
            return int(IDOK);
        });
    const int teacher =
        static_cast<int>(QueryNumber(QStringLiteral("SELECT ID FROM TB_TEACHER WHERE RealName='周正'")));
    ASSERT_GT(teacher, 0);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM TB_TEACHER_RESUME WHERE TeacherID=%1 AND Stage>=7 AND "
                                       "DateBgn=%2")
                            .arg(teacher)
                            .arg(static_cast<int>(XDateTime(2026, 3, 1).Day()))),
              QStringLiteral("1"));

    // 5. the teacher logs in with the teachers' default password and sees only his modules
    m_ui.Clear();
    LogIn({{QStringLiteral("周正"), QStringLiteral("583920")}});
    ASSERT_EQ(UserName(), QStringLiteral("周正"));
    QList<int> granted{MDU_STUDENT, MDU_RECEIPT};
    std::sort(granted.begin(), granted.end());
    EXPECT_EQ(OpenableModules(), granted);
    Shot(*m_app.m_pMainWnd, "journey-teacher-frame.png");
}

} // namespace

// 3. On the database the program made itself: two packages sold to the new student with
// the first numbers of the receipts' pattern; the first altered by two lessons, the second
// refunded; each saved at once on the alteration page.
TEST_F(OfficeJourneys, SellAlterAndRefundOnTheProgramsOwnDatabase)
{
    LogIn({{QStringLiteral("Admin"), QStringLiteral("583920")}});
    ASSERT_EQ(UserName(), QStringLiteral("Admin"));
    const int course = AddCourse();
    const int package = AddPackage(course);
    const int student = AddStudent();
    ASSERT_TRUE(course > 0 && package > 0 && student > 0);

    for (int sale = 0; sale < 2; ++sale)
        ASSERT_TRUE(Sell(student, package)) << sale;
    // the first two numbers of the pattern in the year of the sale
    const QString year = QString::number(XDateTime::Today().Year() % 100).rightJustified(2, u'0');
    EXPECT_EQ(
        QueryText(QStringLiteral("SELECT GROUP_CONCAT(KeyName) FROM (SELECT KeyName FROM TB_RECEIPT ORDER BY ID)")),
        QStringLiteral("B%1%2,B%1%3").arg(year, QStringLiteral("0001"), QStringLiteral("0002")));
    const int first = static_cast<int>(QueryNumber(QStringLiteral("SELECT MIN(ID) FROM TB_RECEIPT")));
    const int second = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_RECEIPT")));

    CModule* receipts = FindModule(MDU_RECEIPT);
    auto* view = receipts ? qobject_cast<CLorvanView*>(receipts->GetView()) : nullptr;
    ASSERT_NE(view, nullptr);
    CXListCtrl* list = view->GetList();
    const auto alter = [&](int id, bool refund, const QString& price, const QString& lessons) {
        int row = -1;
        for (int i = 0; i < list->GetItemCount(); ++i)
            if (list->GetItemData(i)->m_nID == id)
                row = i;
        ASSERT_GE(row, 0) << id;
        list->SelectOnly(row);
        bool altered = false;
        m_onModal = [&](QDialog* d) {
            if (auto* item = dynamic_cast<CDlgEditReceiptAltItem*>(d)) {
                item->show();
                if (refund)
                    for (QAbstractButton* radio : item->findChildren<QAbstractButton*>())
                        if (radio->text() == QStringLiteral("退费"))
                            radio->click();
                TypeInto(item->GetDlgItem(IDC_PRICE), IDC_PRICE, price);
                if (!refund)
                    TypeInto(item->GetDlgItem(IDC_LESSONS), IDC_LESSONS, lessons);
                TypeInto(item->GetDlgItem(IDC_INSIDER), IDC_INSIDER, QStringLiteral("林妈妈"));
                item->UpdateControls();
                qobject_cast<QPushButton*>(item->GetDlgItem(IDOK))->click();
                altered = item->result() == QDialog::Accepted;
                return item->result();
            }
            auto* frame = qobject_cast<CDlgEdit*>(d);
            if (!frame)
                return -1;
            frame->show();
            auto* page = frame->m_pages.size() > 1 ? dynamic_cast<CDlgEditReceiptAlt*>(frame->m_pages[1]) : nullptr;
            EXPECT_NE(page, nullptr);
            if (page)
                page->m_list->OnCmdMsg(ID_LIST_ADDITEM, XCN_COMMAND, nullptr);
            return int(IDCANCEL); // the alteration was saved on its own
        };
        ASSERT_TRUE(m_app.m_pMainWnd->DispatchCommand(ID_EDIT_MODIFY));
        EXPECT_TRUE(altered) << FirstBalloon().toStdString();
        m_onModal = {};
    };
    alter(first, false, QStringLiteral("300"), QStringLiteral("2"));
    alter(second, true, QStringLiteral("-3000"), QString());
    const auto row = [](int id) {
        return QueryText(PrepareSql(
            QStringLiteral("SELECT printf('%d|%.2f|%d', LessonEnd, AltPrice, ItemStatus) FROM [V_RECEIPT] WHERE ID=")
                .append(QString::number(id))));
    };
    EXPECT_EQ(row(first).section(u'|', 0, 1), QStringLiteral("22|300.00"));         // 20 + 2 lessons for 300 more
    EXPECT_EQ(row(second), QStringLiteral("20|-3000.00|%1").arg(RECEIPT_REFUNDED)); // the whole price back
    // the list the office looks at shows both at once, without a new query
    for (const auto& [id, price, status] :
         {std::tuple{first, 300.0, -1}, std::tuple{second, -3000.0, +RECEIPT_REFUNDED}})
        for (int i = 0; i < list->GetItemCount(); ++i)
            if (auto* shown = dynamic_cast<const CDBReceipt*>(list->GetItemData(i)); shown && shown->m_nID == id) {
                EXPECT_DOUBLE_EQ(shown->m_fAltPrice, price) << id;
                if (status >= 0)
                    EXPECT_EQ(shown->m_nItemStatus, status) << id;
            }
    Shot(*m_app.m_pMainWnd, "journey-main-receipts.png");
}

// 6. The receipts' number pattern is changed in the preferences and a manual backup taken
// there; the next receipt follows the new pattern. Restoring is starting the program on the
// backup: copied into a program folder as its database, it opens with the school as it was
// at the backup, the changed pattern included and the later receipt not yet sold.
TEST_F(OfficeJourneys, PreferencesPatternBackupAndRestoreByStartingOnTheBackup)
{
    LogIn({{QStringLiteral("Admin"), QStringLiteral("583920")}});
    ASSERT_EQ(UserName(), QStringLiteral("Admin"));
    const int package = AddPackage(AddCourse());
    const int student = AddStudent();

    QTemporaryDir copies;
    const QString backup = copies.path() + QStringLiteral("/first-day.mdb");
    m_ui.fileName = backup;
    m_onModal = [](QDialog* d) {
        auto* dlg = qobject_cast<CDlgAppSetup*>(d);
        if (!dlg)
            return -1;
        dlg->show();
        Pump();
        CDlgAppSetupPage& page = *dlg->Page();
        qobject_cast<QComboBox*>(page.GetDlgItem(IDC_SETUP_KEY_FMT_RCP))->setEditText(QStringLiteral("R[YYYY]-[nnn]"));
        qobject_cast<QPushButton*>(dlg->GetDlgItem(IDOK))->click();
        return dlg->result();
    };
    m_app.OnAppCommand(ID_APP_SETUP);
    // the backup is taken after the change is saved, in a second visit
    m_onModal = [](QDialog* d) {
        auto* dlg = qobject_cast<CDlgAppSetup*>(d);
        if (!dlg)
            return -1;
        dlg->show();
        Pump();
        qobject_cast<QPushButton*>(dlg->Page()->GetDlgItem(IDC_SETUP_BACKUP_NOW))->click();
        Pump();
        dlg->reject();
        return dlg->result();
    };
    m_app.OnAppCommand(ID_APP_SETUP);
    m_onModal = {};
    ASSERT_TRUE(QFileInfo::exists(backup)) << FirstBalloon().toStdString();
    EXPECT_TRUE(CheckDatabaseFile(backup));

    ASSERT_TRUE(Sell(student, package));
    const QString year = QString::number(XDateTime::Today().Year());
    EXPECT_EQ(QueryText(QStringLiteral("SELECT GROUP_CONCAT(KeyName) FROM TB_RECEIPT")),
              QStringLiteral("R%1-001").arg(year));
    m_app.ExitInstance();

    // the office restores the backup: a program folder whose database is the backup file
    ScopedHome restored;
    ASSERT_TRUE(QFile::copy(backup, restored.Path() + QStringLiteral("/Lorvan.mdb")));
    CLorvanApp again;
    ASSERT_TRUE(again.InitInstance());
    EXPECT_EQ(again.m_setup.m_strKeyFmtRcp, QStringLiteral("R[YYYY]-[nnn]"));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM TB_RECEIPT")), QStringLiteral("0"));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT RealName FROM TB_STUDENT WHERE ID=%1").arg(student)),
              QStringLiteral("林晓雨"));
    again.ExitInstance();
}

// 4. A weekly timetable made through its add-new command (its course, teacher and student
// picked, then its page) gives this month's class records; attendance taken on two of
// them consumes two of the receipt's lessons and earns the teacher two classes' pay in the
// month's wages. Today is fixed at Wednesday 2026-03-18 so the classes fall on known days.
TEST_F(OfficeJourneys, ATimetableGivesClassesWhoseAttendanceConsumesLessonsAndIsPaid)
{
    XClock::SetFixed(XDateTime(2026, 3, 18, 9, 0));
    LogIn({{QStringLiteral("Admin"), QStringLiteral("583920")}});
    ASSERT_EQ(UserName(), QStringLiteral("Admin"));
    const int course = AddCourse();
    const int package = AddPackage(course);
    const int student = AddStudent();
    ASSERT_TRUE(course > 0 && package > 0 && student > 0);

    // the teacher, employed from March at 100 a class
    AddNew(
        MDU_TEACHER,
        [](CDlgEdit& frame) {
            auto* page = dynamic_cast<CDlgEditTeacher*>(frame.m_pages[0]);
            ASSERT_NE(page, nullptr);
            Type(frame, IDC_REAL_NAME, QStringLiteral("周正"));
            ASSERT_TRUE(page->AddLine(page->m_resumeList));
            ASSERT_TRUE(page->AddLine(page->m_payList));
            Ok(frame);
        },
        [](QDialog* d) {
            if (auto* resume = dynamic_cast<CDlgEditTeacherResume*>(d)) {
                resume->m_line.m_period.m_begin = XDateTime(2026, 3, 1);
                return int(IDOK);
            }
            if (auto* pay = dynamic_cast<CDlgEditTeacherPay*>(d)) {
                pay->m_line.m_validity.m_begin = XDateTime(2026, 3, 1);
                pay->m_line.m_fPerEduRcd = 100;
                return int(IDOK);
            }
            return -1;
        });
    const int teacher =
        static_cast<int>(QueryNumber(QStringLiteral("SELECT ID FROM TB_TEACHER WHERE RealName='周正'")));
    ASSERT_GT(teacher, 0) << FirstBalloon().toStdString();

    // the receipt: 20 lessons
    ASSERT_TRUE(Sell(student, package));
    const int receipt = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_RECEIPT")));
    ASSERT_GT(receipt, 0);

    // 排课: the course, its teacher and its students are picked first, then the page:
    // Wednesdays from 2026-03-04, 17:00~18:30
    bool timetabled = false;
    QList<int> pickedFrom;
    const auto pick = [&](CXListCtrl* list, int id) {
        for (int i = 0; i < list->GetItemCount(); ++i)
            if (list->GetItemData(i)->m_nID == id)
                list->SelectOnly(i);
    };
    m_onModal = [&](QDialog* d) {
        if (auto* one = dynamic_cast<CDlgSelOne*>(d)) {
            pickedFrom << one->m_nMduID;
            return Choose(*one, course);
        }
        if (auto* many = dynamic_cast<CDlgSelMul*>(d)) {
            pickedFrom << many->m_nMduID;
            pick(many->m_list, many->m_nMduID == MDU_TEACHER ? teacher : student);
            many->OnChoose();
            qobject_cast<QPushButton*>(many->GetDlgItem(IDOK))->click();
            return many->result();
        }
        auto* frame = qobject_cast<CDlgEdit*>(d);
        if (!frame || timetabled)
            return -1;
        timetabled = true;
        frame->resize(frame->size().expandedTo(QSize(760, 600)));
        frame->show();
        Pump();
        auto* page = dynamic_cast<CDlgEditEduSch*>(frame->m_pages[0]);
        EXPECT_NE(page, nullptr);
        if (!page)
            return int(IDCANCEL);
        EXPECT_EQ(page->m_sch.m_course.m_nID, course);
        EXPECT_EQ(page->m_teacherList->GetItemCount(), 1);
        EXPECT_EQ(page->m_studentList->GetItemCount(), 1);
        // the student's lessons left are shown at once: the receipt's 20
        if (page->m_sch.m_students.GetSize() == 1)
            EXPECT_EQ(page->m_sch.m_students.GetAt(0)->m_nRcpRemained, 20);
        page->m_sch.m_date.m_begin = XDateTime(2026, 3, 4);
        page->m_sch.m_time = CXTimeSpan(17001830);
        page->UpdateData(false);
        Shot(*frame, "journey-timetable.png");
        Ok(*frame);
        return frame->result();
    };
    CLorvanApp::OpenModule(MDU_EDUSCH);
    ASSERT_TRUE(m_app.m_pMainWnd->DispatchCommand(ID_EDIT_ADDNEW));
    m_onModal = {};
    EXPECT_EQ(pickedFrom, (QList<int>{MDU_COURSE, MDU_TEACHER, MDU_STUDENT}));
    ASSERT_TRUE(timetabled);
    const int sch = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_EDUSCH")));
    ASSERT_GT(sch, 0) << FirstBalloon().toStdString();

    // this month's classes, as the class-record list shows them: the four Wednesdays
    CLorvanApp::OpenModule(MDU_EDURCD);
    Pump();
    CModule* records = FindModule(MDU_EDURCD);
    CXMap march;
    march.SetDate(QKEY_DATE_FROM, XDateTime(2026, 3, 1));
    march.SetDate(QKEY_DATE_TO, XDateTime(2026, 3, 31));
    records->ApplyQuery(march);
    Pump();
    auto* view = qobject_cast<CLorvanView*>(records->GetView());
    ASSERT_NE(view, nullptr);
    CXListCtrl* list = view->GetList();
    QStringList days;
    for (int i = 0; i < list->GetItemCount(); ++i)
        if (auto* rcd = dynamic_cast<const CDBEduRcd*>(list->GetItemData(i)))
            days << QString::number(rcd->m_dtDate.DayOfMonth());
    days.sort();
    EXPECT_EQ(days.join(u','), QStringLiteral("11,18,25,4"));

    // attendance on the classes of the 4th and the 11th: everyone on time
    for (int day : {4, 11}) {
        int row = -1;
        for (int i = 0; i < list->GetItemCount(); ++i)
            if (auto* rcd = dynamic_cast<const CDBEduRcd*>(list->GetItemData(i));
                rcd && rcd->m_dtDate.DayOfMonth() == day)
                row = i;
        ASSERT_GE(row, 0) << day;
        list->SelectOnly(row);
        bool taken = false;
        m_onModal = [&](QDialog* d) {
            auto* frame = qobject_cast<CDlgEdit*>(d);
            if (!frame)
                return -1;
            frame->show();
            auto* page = dynamic_cast<CDlgEditEduRcd*>(frame->m_pages[0]);
            EXPECT_NE(page, nullptr);
            if (page) {
                page->OnAllNormal();
                taken = page->m_rcd.m_nClassStatus == CLASS_HELD;
            }
            Ok(*frame);
            return frame->result();
        };
        ASSERT_TRUE(m_app.m_pMainWnd->DispatchCommand(ID_EDIT_MODIFY));
        m_onModal = {};
        EXPECT_TRUE(taken) << day;
    }
    // two lessons of twenty consumed
    EXPECT_EQ(
        QueryText(PrepareSql(QStringLiteral("SELECT printf('%d|%d', CountIn, Remained) FROM [V_RECEIPT] WHERE ID=") +
                             QString::number(receipt))),
        QStringLiteral("2|18"));
    // the list shows the two classes held, stored now, and the two still to come as planned,
    // without a new query
    QStringList shown;
    for (int i = 0; i < list->GetItemCount(); ++i)
        if (auto* rcd = dynamic_cast<const CDBEduRcd*>(list->GetItemData(i)))
            shown << QStringLiteral("%1:%2:%3")
                         .arg(rcd->m_dtDate.DayOfMonth())
                         .arg(rcd->m_nClassStatus)
                         .arg(rcd->m_nID != 0 ? QStringLiteral("stored") : QStringLiteral("planned"));
    shown.sort();
    EXPECT_EQ(
        shown.join(u' '),
        QStringLiteral("11:%1:stored 18:%2:planned 25:%2:planned 4:%1:stored").arg(CLASS_HELD).arg(CLASS_PENDING));
    Shot(*m_app.m_pMainWnd, "journey-main-class-records.png");

    // March's wages: two classes held at 100
    CXArray rows(nullptr, true);
    CXMap month;
    month.SetDate(QKEY_DATE_FROM, XDateTime(2026, 3, 1));
    month.SetDate(QKEY_DATE_TO, XDateTime(2026, 3, 31));
    ASSERT_TRUE(FindModule(MDU_WAGES)->QueryItems(rows, month, true, false));
    const CDBWages* wage = nullptr;
    for (const CXItem* row : rows)
        if (row->m_nID == teacher)
            wage = dynamic_cast<const CDBWages*>(row);
    ASSERT_NE(wage, nullptr);
    EXPECT_DOUBLE_EQ(wage->GetLessonWage(), 200.0);
    EXPECT_DOUBLE_EQ(wage->GetTotal(), 200.0);
    ShotModule(MDU_WAGES, "journey-main-wages.png", &month);
}

// 8. The students exported to a workbook from their list, the workbook opened and saved by
// the office suite, and read into the program started on a fresh folder: the same student
// with the same identity card, sex and birthday.
TEST_F(OfficeJourneys, StudentsThroughTheOfficeSuiteIntoAFreshSchool)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed";
    LogIn({{QStringLiteral("Admin"), QStringLiteral("583920")}});
    ASSERT_GT(AddStudent(), 0);
    CLorvanApp::OpenModule(MDU_STUDENT);
    Pump();

    QTemporaryDir files;
    const QString exported = files.path() + QStringLiteral("/学员.xlsx");
    m_ui.fileName = exported;
    m_ui.answers = {IDNO}; // not opened now
    ASSERT_TRUE(m_app.m_pMainWnd->DispatchCommand(ID_FILE_EXPORT));
    ASSERT_TRUE(QFileInfo::exists(exported)) << FirstBalloon().toStdString();

    QProcess office;
    office.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + files.path() + QStringLiteral("/profile"),
                           QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("xlsx"),
                           QStringLiteral("--outdir"), files.path() + QStringLiteral("/out"), exported});
    ASSERT_TRUE(office.waitForFinished(180000));
    const QString converted = files.path() + QStringLiteral("/out/学员.xlsx");
    ASSERT_TRUE(QFileInfo::exists(converted)) << office.readAllStandardError().toStdString();
    m_app.ExitInstance();

    ScopedHome fresh;
    CLorvanApp again;
    ASSERT_TRUE(again.InitInstance());
    LogIn({{QStringLiteral("Admin"), QStringLiteral("583920")}}, &again);
    ASSERT_EQ(again.User() ? again.User()->m_strName : QString(), QStringLiteral("Admin"));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM TB_STUDENT")), QStringLiteral("0"));
    CLorvanApp::OpenModule(MDU_STUDENT);
    Pump();
    m_ui.Clear();
    m_ui.fileName = converted;
    int previewed = -1;
    m_onModal = [&](QDialog* d) {
        auto* preview = dynamic_cast<CDlgImportInfo*>(d);
        if (!preview)
            return -1;
        previewed = preview->m_items.GetSize();
        preview->show();
        qobject_cast<QPushButton*>(preview->GetDlgItem(IDOK))->click();
        return preview->result();
    };
    ASSERT_TRUE(again.m_pMainWnd->DispatchCommand(ID_FILE_IMPORT));
    m_onModal = {};
    EXPECT_EQ(previewed, 1);
    ASSERT_FALSE(m_ui.Calls(QStringLiteral("MessageBox")).empty());
    EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).back().text, QStringLiteral("共导入 1 名学员！"));
    EXPECT_EQ(
        QueryText(QStringLiteral("SELECT printf('%s|%s|%d|%d', RealName, IDCard, Sex, Birthday) FROM TB_STUDENT")),
        QStringLiteral("林晓雨|110101201506121247|1|%1").arg(static_cast<int>(XDateTime(2015, 6, 12).Day())));
    again.ExitInstance();
}
