// The frame's commands that hand work to the desktop: launchers for the program and the
// web service's addresses in the browser.
#include "CMainFrame.h"

#include "CommandIds.h"
#include "DesktopShortcuts.h"
#include "FormatString.h"
#include "Resources.h"
#include "WebState.h"
#include "XUi.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>

namespace {

// The launcher's name: the program's title, whatever the running process is called.
const QString& AppTitle()
{
    static const QString title = QStringLiteral("Lorvan Manager");
    return title;
}

} // namespace

void CMainFrame::OnShortcut(int id)
{
    const QString file = XShortcuts::File(id, AppTitle());
    if (file.isEmpty())
        return;
    const QString what = LoadCommandPrompt(id);
    const QString caption = LoadCommandText(id);
    if (!QFileInfo::exists(file)) {
        QString error;
        const QString home = QString::fromLocal8Bit(qgetenv("LORVAN_HOME"));
        if (XShortcuts::Create(file, QCoreApplication::applicationFilePath(), home, AppTitle(), error))
            XUi::MessageBox(this, FormatString(u"已创建 “%s” ！", what), caption, MB_OK | MB_ICONINFORMATION);
        else
            XUi::MessageBox(this, FormatString(u"创建 “%s” 失败！\r\n", what) + error, caption, MB_OK | MB_ICONERROR);
        return;
    }
    if (XUi::MessageBox(this, FormatString(u"确定要删除 “%s” 吗？", what), caption, MB_OKCANCEL | MB_ICONWARNING) !=
        IDOK)
        return;
    QFile launcher(file);
    if (!launcher.remove())
        XUi::MessageBox(this, FormatString(u"删除 “%s” 失败！\r\n", what) + launcher.errorString(), caption,
                        MB_OK | MB_ICONERROR);
}

void CMainFrame::OnUpdateShortcut(XCmdUI* ui)
{
    // the quick-launch bar is a place this desktop does not have
    ui->Enable(ui->m_nID != ID_SHORTCUT_TASKBAR);
    const QString file = XShortcuts::File(ui->m_nID, AppTitle());
    ui->SetCheck(!file.isEmpty() && QFileInfo::exists(file) ? 1 : 0);
}

void CMainFrame::OnWebView(int id)
{
    // an address the web service has not published (not started, no relay) opens nothing
    const QString url = id == ID_INTERNET_VIEW ? xInternet::GetInternetUrl() : xInternet::GetLocalUrl();
    if (!url.isEmpty())
        XUi::ShellOpen(url);
}
