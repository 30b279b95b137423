// The application's about box, update check and update.
#include "CDlgAppAbout.h"
#include "CLorvanApp.h"
#include "CMainFrame.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "UpdateServer.h"
#include "Version.h"
#include "VersionDocument.h"
#include "XUi.h"

#include <QtCore/QFileInfo>

namespace {

const QString kAppName = QStringLiteral("Lorvan Manager");

// The updater is a Windows program that replaces the installation's files; it cannot run
// here. Its folder is opened so that whoever installs the program can take it from there.
bool OpenUpdaterFolder(const QString& updater)
{
    const QString folder = QFileInfo(updater).absolutePath();
    XUi::ShellOpen(folder);
    XUi::MessageBox(nullptr,
                    FormatString(u"更新程序已下载到 “%s”。\r\n\r\n本系统不能直接运行它，已打开其所在的文件夹；"
                                 u"请按安装说明更新程序。",
                                 updater),
                    kAppName, MB_ICONINFORMATION);
    return false;
}

} // namespace

XHook<bool(const QString&)>& CLorvanApp::UpdaterLauncher()
{
    static XHook<bool(const QString&)> launcher{OpenUpdaterFolder};
    return launcher;
}

void CLorvanApp::OnAppAbout()
{
    CDlgAppAbout about(m_pMainWnd && m_pMainWnd->isVisible() ? m_pMainWnd.get() : nullptr);
    about.m_onUpdateCheck = [this] { OnAppUpdateCheck(); };
    about.m_onUpdateNow = [this] { OnAppCommand(ID_APP_UPDATE); };
    XUi::RunModal(&about);
}

void CLorvanApp::OnAppUpdateCheck()
{
    QString xml;
    {
        XWaitCursor wait;
        xml = FetchVersionXml(m_hStopEvent);
    }
    const std::uint32_t own = GetOwnFileVersion();
    const std::uint32_t latest = ReadDocumentVersion(xml);
    if (latest == 0) {
        XUi::MessageBox(nullptr, QStringLiteral("未能获取有效的最新版本信息"), kAppName, MB_ICONWARNING);
    } else if (latest > own) {
        SetLatestVersionXml(xml);
        XUi::MessageBox(nullptr, FormatString(u"发现新版本 %s ！", FormatVersion(latest)), kAppName, MB_ICONWARNING);
    } else {
        XUi::MessageBox(nullptr, FormatString(u"当前版本 %s 是最新版本！", FormatVersion(own)), kAppName,
                        MB_ICONINFORMATION);
    }
}

void CLorvanApp::OnAppUpdateNow()
{
    const QString question = FormatString(u"确定到更新到最新版本 %s 吗？", FormatVersion(GetLatestVersion()));
    if (XUi::MessageBox(nullptr, question, kAppName, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    QString error;
    {
        XWaitCursor wait;
        error = DownloadUpdater(&m_hStopEvent);
    }
    if (!error.isEmpty()) {
        XUi::MessageBox(nullptr, error, kAppName, MB_ICONERROR);
        return;
    }
    LaunchUpdaterAndClose();
}

void CLorvanApp::LaunchUpdaterAndClose()
{
    if (!UpdaterLauncher()(UpdaterPath()))
        return;
    // the updater replaces the program's files: the program goes, its hidden frame without asking
    if (m_pMainWnd) {
        m_pMainWnd->hide();
        QMetaObject::invokeMethod(m_pMainWnd.get(), &QWidget::close, Qt::QueuedConnection);
    }
}
