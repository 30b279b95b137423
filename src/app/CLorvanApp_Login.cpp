// The application's login, logout and password change, and the background job's start.
#include "BackgroundJobThread.h"
#include "CDlgAppLogin.h"
#include "CDlgAppSerial.h"
#include "CLorvanApp.h"
#include "CMainFrame.h"
#include "CommandIds.h"
#include "UpdateServer.h"
#include "VersionDocument.h"
#include "XInputWatch.h"
#include "XUi.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QThread>

void CLorvanApp::SetUser(const CXItem& user)
{
    std::lock_guard lock(m_mutex);
    m_user.m_nMduID = user.m_nMduID;
    m_user.m_nID = user.m_nID;
    m_user.m_strName = user.m_strName;
    m_user.m_nRightRole = user.m_nRightRole;
    m_user.m_strRightData = user.m_strRightData;
    m_user.m_strPassword = user.m_strPassword;
    ++m_nLoginGeneration;
}

void CLorvanApp::RunLogin(bool bHide)
{
    // one login window at a time: a second logout (the idle job's) while it is up changes nothing
    if (!m_pMainWnd || m_bInLogin)
        return;
    if (User())
        m_pMainWnd->SwitchUser(true);
    m_bFrameShown = false;
    int result = QDialog::Rejected;
    {
        m_bInLogin = true;
        CDlgAppLogin login(m_pMainWnd.get(), m_admin, bHide);
        if (login.HasUserList()) {
            login.m_setUser = [this](const CXItem& user) { SetUser(user); };
            login.m_appCommand = [this](int id) { OnAppCommand(id); };
            result = XUi::RunModal(&login);
        }
        m_bInLogin = false;
    }
    if (result == QDialog::Accepted && User()) {
        m_pMainWnd->SwitchUser(false);
        m_bFrameShown = true;
        return;
    }
    // exit chosen (or the user list unreadable): the hidden frame closes without asking
    // and the program ends
    m_pMainWnd->close();
    // ends the program's event loop; without a running loop there is nothing to end
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::quit();
}

void CLorvanApp::OnAppSerial()
{
    if (!User())
        return;
    CXItem user;
    {
        std::lock_guard lock(m_mutex);
        user.m_nMduID = m_user.m_nMduID;
        user.m_nID = m_user.m_nID;
        user.m_strName = m_user.m_strName;
        user.m_strPassword = m_user.m_strPassword;
    }
    const int generation = LoginGeneration();
    CDlgAppSerial dialog(m_pMainWnd.get(), user, m_admin);
    dialog.m_stillLoggedIn = [this, generation] { return LoginGeneration() == generation; };
    if (XUi::RunModal(&dialog) != QDialog::Accepted || LoginGeneration() != generation)
        return;
    std::lock_guard lock(m_mutex);
    m_user.m_strPassword = user.m_strPassword;
}

XJobHooks ProgramJobHooks()
{
    XJobHooks hooks;
    hooks.settings = [] {
        XJobSettings s;
        XAppServices& app = AppServices();
        std::lock_guard lock(app.Mutex());
        auto number = [&app](const char* key, int fallback) {
            const QVariant v = app.SetupValue(QString::fromLatin1(key));
            return v.isValid() ? v.toInt() : fallback;
        };
        s.loginTimeout = number("LoginTimeout", s.loginTimeout);
        s.backupDays = number("BackupDays", s.backupDays);
        s.backupHold = number("BackupHold", s.backupHold);
        s.backupPath = app.SetupValue(QStringLiteral("BackupPath")).toString();
        return s;
    };
    hooks.tickCount = TickCount;
    hooks.lastInputTick = LastInputTick;
    hooks.mainWindowVisible = [] { return theApp && theApp->m_bFrameShown.load(); };
    hooks.postLogout = [] {
        if (theApp && theApp->m_pMainWnd)
            XPostCommand(theApp->m_pMainWnd.get(), ID_APP_LOGOUT);
    };
    hooks.fetchVersionXml = FetchVersionXml;
    return hooks;
}

void CLorvanApp::StartLoginServices()
{
    InstallInputWatch();
    // the document beside the program says which version and build this is
    WriteVersionDocument();
    CMainFrame* frame = m_pMainWnd.get();
    LatestVersionChangedHook().Install([frame] {
        QMetaObject::invokeMethod(
            frame,
            [frame] {
                frame->m_nLatestVersion = GetLatestVersion();
                XPostMessage(frame, WM_XSTATUSBAR, ID_APP_ABOUT, 0);
            },
            Qt::QueuedConnection);
    });
    m_jobThread = std::thread([this] { BackgroundJobThread(m_hStopEvent); });
}

void CLorvanApp::StopLoginServices() { LatestVersionChangedHook().Install(nullptr); }
