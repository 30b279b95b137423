// A school's first day with the program, as the office lives it: the program starts on a
// fresh folder and makes its own database, the administrator logs in with the default
// password, is told to change it and does; the office sets up a course and a package,
// registers a student from an identity-card number and a teacher with an employment line
// and operator rights; the teacher then logs in and sees only what he was granted. Every
// step goes through the real start-up, frame, pages and pickers, answered as a user would.
#include "CDBTeacher.h"
#include "CDlgAppLogin.h"
#include "CDlgAppSerial.h"
#include "CDlgEdit.h"
#include "CDlgEditCharge.h"
#include "CDlgEditTeacher.h"
#include "CDlgEditTeacherResume.h"
#include "CDlgEditTeacherRight.h"
#include "CDlgSelMul.h"
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
#include "XUi.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace {

void Pump()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

template <class W> W* Ctrl(QWidget& dlg, int id)
{
    auto* x = dynamic_cast<CXDialogEx*>(&dlg);
    return x ? qobject_cast<W*>(x->GetDlgItem(id)) : nullptr;
}

// Types into a text box of the frame's first page.
void Type(CDlgEdit& frame, int id, const QString& text)
{
    QWidget* w = frame.m_pages.empty() ? nullptr : frame.m_pages[0]->GetDlgItem(id);
    if (auto* edit = qobject_cast<QLineEdit*>(w))
        edit->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(w))
        combo->setEditText(text);
    else
        ADD_FAILURE() << "no text control " << id;
}

void Shot(QWidget& w, const char* name)
{
    const QByteArray folder = qgetenv("LORVAN_SHOTS");
    if (!folder.isEmpty())
        w.grab().save(QString::fromUtf8(folder) + u'/' + QString::fromUtf8(name));
}

// The program as main() starts it, on a fresh program folder, with every window the test
// does not answer itself failing the test.
class OfficeJourneys : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_app.InitInstance());
        m_ui.onModal = [this](QDialog* d) { return Answer(d); };
    }
    void TearDown() override { m_app.ExitInstance(); }

    int Answer(QDialog* d)
    {
        if (auto* login = qobject_cast<CDlgAppLogin*>(d)) {
            if (m_attempts.empty()) {
                ADD_FAILURE() << "unscripted login window";
                return QDialog::Rejected;
            }
            m_loginWarning = login->m_pWarning->isHidden() ? QString() : login->m_pWarning->text();
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
    void LogIn(std::vector<std::pair<QString, QString>> attempts)
    {
        m_attempts = std::move(attempts);
        m_app.OnAppCommand(ID_APP_LOGOUT);
        Pump();
    }
    QString UserName() const { return m_app.User() ? m_app.User()->m_strName : QString(); }

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

    ScopedHome m_home;
    CLorvanApp m_app;
    XUiTestHooks m_ui;
    std::vector<std::pair<QString, QString>> m_attempts;
    QString m_loginWarning;
    std::function<int(QDialog*)> m_onModal;
};

TEST_F(OfficeJourneys, FirstDayFromAFreshFolderToTheTeachersOwnLogin)
{
    // 1. first start: the built-in administrator with the default password is warned
    LogIn({{QStringLiteral("Admin"), QStringLiteral("583920")}});
    ASSERT_EQ(UserName(), QStringLiteral("Admin"));
    ASSERT_TRUE(m_app.m_pMainWnd->isVisible());
    EXPECT_EQ(m_loginWarning, QStringLiteral("请及时修改默认登录密码 “583920”。"));

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

    // 2. a course, and a package of 20 lessons of it
    AddNew(MDU_COURSE, [](CDlgEdit& frame) {
        Type(frame, IDC_TITLE, QStringLiteral("古筝"));
        Shot(frame, "journey-course.png");
        Ok(frame);
    });
    const int course =
        static_cast<int>(QueryNumber(QStringLiteral("SELECT ID FROM TB_COURSE WHERE RecordName='古筝'")));
    ASSERT_GT(course, 0) << (m_ui.Calls(QStringLiteral("Balloon")).empty()
                                 ? std::string()
                                 : m_ui.Calls(QStringLiteral("Balloon"))[0].text.toStdString());

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

    // a student from her identity card: birthday and sex come from the number
    AddNew(MDU_STUDENT, [](CDlgEdit& frame) {
        Type(frame, IDC_REAL_NAME, QStringLiteral("林晓雨"));
        Type(frame, IDC_IDCARD, QStringLiteral("110101201506121247"));
        Shot(frame, "journey-student.png");
        Ok(frame);
    });
    EXPECT_EQ(
        QueryText(QStringLiteral("SELECT printf('%d|%d', Sex, Birthday) FROM TB_STUDENT WHERE RealName='林晓雨'")),
        QStringLiteral("1|%1").arg(static_cast<int>(XDateTime(2015, 6, 12).Day()))); // 17th digit 4: female

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
