#include "XOpenWithRtf.h"

#include "FormatString.h"
#include "XAppServices.h"
#include "XUi.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QUrl>

XRtfLaunch RtfLaunchFor(int openWith, const QString& path)
{
    XRtfLaunch launch;
    switch (openWith) {
    case 0:
        launch.kind = XRtfLaunch::Desktop;
        break;
    case 1:
        launch.kind = XRtfLaunch::Program;
        launch.alternatives = {QStringLiteral("libreoffice")};
        launch.args = {QStringLiteral("--writer"), path};
        break;
    case 2:
        launch.kind = XRtfLaunch::Program;
        launch.alternatives = {QStringLiteral("wps")};
        launch.args = {path};
        break;
    case 3:
        launch.kind = XRtfLaunch::Program;
        launch.alternatives = {QStringLiteral("libreoffice"), QStringLiteral("abiword")};
        launch.args = {QStringLiteral("--writer"), path};
        break;
    case 4:
        launch.kind = XRtfLaunch::ShowInFolder;
        break;
    default:
        return launch;
    }
    if (launch.args.isEmpty())
        launch.args = {path};
    return launch;
}

namespace {

bool ShowInFolder(const QString& path)
{
    // the file manager's own interface selects the file; without one the folder opens
    const QString uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString();
    const QString send = QStandardPaths::findExecutable(QStringLiteral("dbus-send"));
    if (!send.isEmpty() &&
        QProcess::execute(send, {QStringLiteral("--session"), QStringLiteral("--print-reply"),
                                 QStringLiteral("--reply-timeout=3000"),
                                 QStringLiteral("--dest=org.freedesktop.FileManager1"),
                                 QStringLiteral("/org/freedesktop/FileManager1"),
                                 QStringLiteral("org.freedesktop.FileManager1.ShowItems"),
                                 QStringLiteral("array:string:") + uri, QStringLiteral("string:")}) == 0)
        return true;
    return XUi::ShellOpen(QFileInfo(path).absolutePath());
}

bool RunLaunch(const XRtfLaunch& launch, const QString& path)
{
    switch (launch.kind) {
    case XRtfLaunch::Desktop:
        return XUi::ShellOpen(path);
    case XRtfLaunch::ShowInFolder:
        return ShowInFolder(path);
    case XRtfLaunch::Program:
        for (const QString& name : launch.alternatives) {
            const QString exe = QStandardPaths::findExecutable(name);
            if (exe.isEmpty())
                continue;
            QStringList args = launch.args;
            // the small word processor takes the file alone
            if (name == QLatin1String("abiword"))
                args = {path};
            return QProcess::startDetached(exe, args);
        }
        return false;
    case XRtfLaunch::None:
        break;
    }
    return false;
}

} // namespace

XHook<bool(const XRtfLaunch&)>& RtfLauncher()
{
    static XHook<bool(const XRtfLaunch&)> hook;
    return hook;
}

void OpenWithRtf(QWidget* owner, int openWith, const QString& path, const QString& caption)
{
    const XRtfLaunch launch = RtfLaunchFor(openWith, path);
    const auto run = [&path](const XRtfLaunch& l) { return RtfLauncher() ? RtfLauncher()(l) : RunLaunch(l, path); };
    if (launch.kind != XRtfLaunch::None && run(launch))
        return;
    XUi::MessageBox(owner,
                    FormatString(u"打开 “%s” 失败！\r\n%s", QDir::toNativeSeparators(path),
                                 launch.kind == XRtfLaunch::None ? QStringLiteral("未知的打开方式。")
                                                                 : QStringLiteral("无法启动打开程序。")),
                    caption, MB_ICONERROR);
    XRtfLaunch folder;
    folder.kind = XRtfLaunch::ShowInFolder;
    folder.args = {path};
    run(folder);
}
