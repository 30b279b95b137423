// Login, logout, switching user, idle logout, the password change and the update commands,
// headless: the login window is answered through the prompt hooks.
#include "BackgroundJobThread.h"
#include "CDlgAppAbout.h"
#include "CDlgAppExit.h"
#include "CDlgAppLogin.h"
#include "CDlgAppSerial.h"
#include "CLorvanApp.h"
#include "CMD5.h"
#include "CMainFrame.h"
#include "CommandIds.h"
#include "FakeHttpServer.h"
#include "FixtureSchool.h"
#include "ProgramModules.h"
#include "ProgramPaths.h"
#include "ProgramSeams.h"
#include "RecordConsts.h"
#include "Settings.h"
#include "UpdateServer.h"
#include "Version.h"
#include "VersionDocument.h"
#include "XUi.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>

#include <gtest/gtest.h>

#include <deque>

namespace {

struct XAttempt
{
    const char* user; // nullptr: choose exit
    const char* password;
};

// Saves an offscreen picture of a window when LORVAN_SHOTS names a folder.
void Shot(QWidget& w, const char* name)
{
    const QByteArray folder = qgetenv("LORVAN_SHOTS");
    if (!folder.isEmpty())
        w.grab().save(QString::fromUtf8(folder) + u'/' + QString::fromUtf8(name));
}

// The application over the fixture school with its hidden frame, as start-up leaves it.
class Login : public SchoolTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
        m_previous = SetAppServices(&m_app);
        InstallModuleLayerSeams();
        m_app.m_pMainWnd = std::make_unique<CMainFrame>();
        CMainFrame* frame = m_app.m_pMainWnd.get();
        frame->m_pApp = &m_app;
        frame->m_onLoggedOut = [this] { m_app.ForgetUser(); };
        InstallFrameSeams(frame, frame, nullptr, {});
        m_ui.onModal = [this](QDialog* d) { return Answer(d); };
    }
    void TearDown() override
    {
        InstallFrameSeams(nullptr, nullptr, nullptr, {});
        m_app.m_pMainWnd.reset();
        RemoveModuleLayerSeams();
        SetAppServices(m_previous);
        SetLatestVersionXml(QString());
        SchoolTest::TearDown();
    }

    int Answer(QDialog* d)
    {
        if (auto* login = qobject_cast<CDlgAppLogin*>(d)) {
            m_listed.clear();
            for (int i = 0; i < login->m_pUser->count(); ++i)
                m_listed << login->m_pUser->itemText(i);
            if (m_script.empty()) {
                ADD_FAILURE() << "unscripted login window";
                return QDialog::Rejected;
            }
            const std::vector<XAttempt> attempts = m_script.front();
            m_script.pop_front();
            for (const XAttempt& a : attempts) {
                if (!a.user) {
                    login->reject();
                    continue;
                }
                login->m_pUser->setEditText(QString::fromUtf8(a.user));
                login->m_pPassword->setText(QString::fromUtf8(a.password));
                login->accept();
                if (login->result() == QDialog::Accepted)
                    break;
            }
            return login->result();
        }
        if (qobject_cast<CDlgAppExit*>(d))
            return IDOK;
        if (auto* serial = qobject_cast<CDlgAppSerial*>(d); serial && m_onSerial)
            return m_onSerial(*serial);
        ADD_FAILURE() << "unexpected window " << d->windowTitle().toStdString();
        return QDialog::Rejected;
    }
    QString UserName() const { return m_app.User() ? m_app.User()->m_strName : QString(); }
    static int LogRows(int type, int userId)
    {
        return static_cast<int>(QueryNumber(
            QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1 AND UserID=%2").arg(type).arg(userId)));
    }
    std::vector<QString> Balloons() const
    {
        std::vector<QString> texts;
        for (const auto& c : m_ui.Calls(QStringLiteral("Balloon")))
            texts.push_back(c.text);
        return texts;
    }

    CLorvanApp m_app;
    XAppServices* m_previous = nullptr;
    XUiTestHooks m_ui;
    std::deque<std::vector<XAttempt>> m_script;
    std::function<int(CDlgAppSerial&)> m_onSerial;
    QStringList m_listed;
};

// A wrong password keeps the window; the login shows the frame and writes the login row; a
// logout with another login switches the user.
TEST_F(Login, LoginLogoutAndSwitchUser)
{
    m_script = {{{"刘芳", "58392"}, {"刘芳", "583920"}}};
    m_app.OnAppCommand(ID_APP_LOGOUT);
    EXPECT_EQ(UserName(), QString::fromUtf8("刘芳"));
    EXPECT_TRUE(m_app.m_pMainWnd->isVisible());
    EXPECT_EQ(Balloons(), std::vector<QString>{QString::fromUtf8("密码不正确！")});
    EXPECT_EQ(LogRows(OPER_LOGIN, m_school.t1), 1);
    ASSERT_FALSE(m_listed.isEmpty());
    EXPECT_EQ(m_listed.last(), QStringLiteral("Admin"));
    QStringList teachers = m_listed.mid(0, m_listed.size() - 1);
    teachers.sort();
    EXPECT_EQ(teachers.join(u','), QString::fromUtf8("刘芳,孙丽,郑强"));
    const int generation = m_app.LoginGeneration();

    m_script = {{{"ADMIN", "583920"}}};
    m_app.OnAppCommand(ID_APP_LOGOUT);
    EXPECT_EQ(UserName(), QStringLiteral("Admin"));
    EXPECT_EQ(LogRows(OPER_LOGOUT, m_school.t1), 1);
    EXPECT_EQ(LogRows(OPER_LOGIN, 0), 1);
    EXPECT_GT(m_app.LoginGeneration(), generation);
}

// The idle job's logout reaches the frame as a posted command while a password change is
// open; someone else logs in meanwhile, and the open change is dropped, never stored for
// anybody. A change made by the logged-in user is stored and needed at the next login.
TEST_F(Login, IdleLogoutDuringAPasswordChangeDropsTheChange)
{
    const XJobHooks job = ProgramJobHooks();
    m_script = {{{"Admin", "583920"}}};
    m_app.OnAppCommand(ID_APP_LOGOUT);
    ASSERT_EQ(UserName(), QStringLiteral("Admin"));
    EXPECT_TRUE(job.mainWindowVisible());

    m_onSerial = [&](CDlgAppSerial& serial) {
        m_script = {{{"郑强", "583920"}}};
        job.postLogout();
        QCoreApplication::processEvents();
        EXPECT_EQ(UserName(), QString::fromUtf8("郑强"));
        serial.m_pOld->setText(QStringLiteral("583920"));
        serial.m_pNew->setText(QStringLiteral("n1"));
        serial.m_pConfirm->setText(QStringLiteral("n1"));
        serial.accept();
        return serial.result();
    };
    m_app.OnAppCommand(ID_APP_SERIAL);
    EXPECT_EQ(ReadSetting(QStringLiteral("Global"), QStringLiteral("AdminMD5Pwd"), QString()), QString());
    EXPECT_TRUE(m_ui.Calls(QStringLiteral("MessageBox")).empty());

    m_onSerial = [](CDlgAppSerial& serial) {
        serial.m_pOld->setText(QStringLiteral("583920"));
        serial.m_pNew->setText(QStringLiteral("z-9"));
        serial.m_pConfirm->setText(QStringLiteral("z-9"));
        serial.accept();
        return serial.result();
    };
    m_app.OnAppCommand(ID_APP_SERIAL);
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox"))[0].text, QString::fromUtf8("“郑强” 的密码已修改！"));
    m_ui.Clear();
    m_script = {{{"郑强", "583920"}, {"郑强", "z-9"}}};
    m_app.OnAppCommand(ID_APP_LOGOUT);
    EXPECT_EQ(UserName(), QString::fromUtf8("郑强"));
    EXPECT_EQ(Balloons(), std::vector<QString>{QString::fromUtf8("密码不正确！")});
}

// Exit in the login window's exit question ends the program: the hidden frame closes
// without asking and logs the exit.
TEST_F(Login, ExitFromTheLoginWindowClosesTheProgram)
{
    m_script = {{{nullptr, nullptr}}};
    m_app.OnAppCommand(ID_APP_LOGOUT);
    EXPECT_EQ(m_app.User(), nullptr);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("Modal")).size(), 2u); // the login window, the exit question
    EXPECT_EQ(QueryNumber(QString::fromUtf8("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=10 AND OperMemo='退出'")), 1);
}

// The window state: the default-password warning while the administrator is alone, hiding
// at once or after twice the login time-out idle, and the update link once a newer version
// is known.
TEST_F(Login, LoginWindowWarnsHidesAndOffersTheUpdate)
{
    ASSERT_TRUE(Exec(QStringLiteral("UPDATE TB_TEACHER SET RightRole=0")));
    {
        CDlgAppLogin alone(nullptr, m_app.m_admin, false);
        EXPECT_FALSE(alone.m_pWarning->isHidden());
        EXPECT_EQ(alone.m_pWarning->text(), QString::fromUtf8("请及时修改默认登录密码 “583920”。"));
        EXPECT_EQ(alone.m_pUser->count(), 1);
        alone.show();
        QCoreApplication::processEvents();
        Shot(alone, "login.png");
    }
    m_app.m_admin.SetPassword(Md5HexW(QStringLiteral("x")));
    {
        CDlgAppLogin changed(nullptr, m_app.m_admin, false);
        EXPECT_TRUE(changed.m_pWarning->isHidden());
    }

    CDlgAppLogin atOnce(nullptr, m_app.m_admin, true);
    atOnce.show();
    atOnce.UpdateState();
    EXPECT_FALSE(atOnce.isVisible());

    CDlgAppLogin idle(nullptr, m_app.m_admin, false);
    std::uint32_t now = 10 * 60000; // LoginTimeout 5: hidden after more than 10 minutes
    idle.m_tickCount = [&now] { return now; };
    idle.m_lastInputTick = [] { return 0u; };
    idle.show();
    idle.UpdateState();
    EXPECT_TRUE(idle.isVisible());
    EXPECT_TRUE(idle.m_pLink->text().contains(QStringLiteral("href=\"xc:%1\"></a>").arg(ID_APP_UPDATE)));
    now += 1;
    idle.UpdateState();
    EXPECT_FALSE(idle.isVisible());

    SetLatestVersionXml(QStringLiteral("<r><files lastversion=\"200.0\"/></r>"));
    idle.UpdateState();
    EXPECT_TRUE(idle.m_pLink->text().contains(QString::fromUtf8("href=\"xc:%1\">更新</a>").arg(ID_APP_UPDATE)));
    EXPECT_TRUE(idle.m_pLink->text().startsWith(QStringLiteral("版本 %1 ").arg(FormatVersion(GetOwnFileVersion()))));
}

TEST_F(Login, AboutBoxShowsTheNotesOfTheLatestDocument)
{
    {
        CDlgAppAbout about(nullptr);
        EXPECT_EQ(about.m_pName->text(), QStringLiteral("Lorvan Manager %1").arg(FormatVersion(GetOwnFileVersion())));
        EXPECT_FALSE(about.m_pUpdate->isEnabled());
        EXPECT_TRUE(about.m_pNotes->toPlainText().startsWith(QString::fromUtf8("版本：")));
        about.show();
        QCoreApplication::processEvents();
        Shot(about, "about.png");
    }
    SetLatestVersionXml(QString::fromUtf8("<r><files lastversion=\"200.1\"/><logs><log version=\"200.1\" "
                                          "date=\"2027年1月\"><list>更快</list><list>更稳</list></log></logs></r>"));
    CDlgAppAbout about(nullptr);
    EXPECT_TRUE(about.m_pName->text().endsWith(QString::fromUtf8("（发现新版本）")));
    EXPECT_TRUE(about.m_pUpdate->isEnabled());
    EXPECT_EQ(about.m_pNotes->toPlainText(), QString::fromUtf8("版本：200.1 更新日期：2027年1月\n1. 更快\n2. 更稳"));
}

// The update check's three answers against a server on the loopback; the update downloads
// the updater and hands it to the launcher, or says why not and keeps the program.
TEST_F(Login, UpdateCheckAndUpdateAgainstAFakeServer)
{
    FakeHttpServer server;
    const QByteArray previous = qgetenv("LORVAN_UPDATE_SERVER");
    qputenv("LORVAN_UPDATE_SERVER", server.BaseUrl().toUtf8());
    const std::string doc = "/lorvanmanager/download/lorvan.xml";
    auto lastMessage = [this] {
        const auto calls = m_ui.Calls(QStringLiteral("MessageBox"));
        return calls.empty() ? QString() : calls.back().text;
    };

    m_app.OnAppCommand(ID_APP_UPDATECHK); // 404
    EXPECT_EQ(lastMessage(), QString::fromUtf8("未能获取有效的最新版本信息"));
    const QString own = FormatVersion(GetOwnFileVersion());
    server.Answer(doc, 200, QStringLiteral("<r><files lastversion=\"%1\"/></r>").arg(own).toUtf8());
    m_app.OnAppCommand(ID_APP_UPDATECHK);
    EXPECT_EQ(lastMessage(), QString::fromUtf8("当前版本 %1 是最新版本！").arg(own));
    EXPECT_FALSE(IsNewerVersionKnown());
    server.Answer(doc, 200, QByteArray("<r><files lastversion=\"200.2\"/></r>"));
    m_app.OnAppCommand(ID_APP_UPDATECHK);
    EXPECT_EQ(lastMessage(), QString::fromUtf8("发现新版本 200.2 ！"));
    EXPECT_EQ(GetLatestVersion(), PackVersion(200, 2, 0, 0));

    QStringList launched;
    auto previousLauncher = CLorvanApp::UpdaterLauncher().Install([&launched](const QString& path) {
        launched << path;
        return true;
    });
    m_ui.Clear();
    m_app.OnAppCommand(ID_APP_UPDATE); // the updater is not there: 404
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 2u);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox"))[0].text, QString::fromUtf8("确定到更新到最新版本 200.2 吗？"));
    EXPECT_EQ(lastMessage(), QString::fromUtf8("下载 “%1” 失败！").arg(UpdaterUrl()));
    EXPECT_TRUE(launched.isEmpty());

    server.Answer("/lorvanmanager/download/lorvanu.exe", 200, QByteArray(5000, 'u'));
    m_app.OnAppCommand(ID_APP_UPDATE);
    EXPECT_EQ(launched, QStringList{UpdaterPath()});
    EXPECT_FALSE(m_app.m_pMainWnd->isVisible());
    CLorvanApp::UpdaterLauncher().Install(previousLauncher);

    // here the updater cannot run: its folder is opened and the user told so
    m_ui.Clear();
    EXPECT_FALSE(CLorvanApp::UpdaterLauncher()(UpdaterPath()));
    ASSERT_EQ(m_ui.Calls(QStringLiteral("Shell")).size(), 1u);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("Shell"))[0].text, GetExeFolder());
    EXPECT_TRUE(lastMessage().contains(UpdaterPath()));
    qputenv("LORVAN_UPDATE_SERVER", previous);
}

} // namespace
