#include "XOpenWith.h"

#include "CDBSetup.h"
#include "FormatString.h"
#include "ProgramPaths.h"
#include "XAppServices.h"
#include "XUi.h"

#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QUrl>

#include <mutex>

XHook<bool(const QString&, const QStringList&)> g_startDetached{
    [](const QString& program, const QStringList& args) { return QProcess::startDetached(program, args); }};

namespace {

bool Start(const QString& program, const QStringList& args)
{
    const auto fn = g_startDetached.Get();
    return fn && (*fn)(program, args);
}

// The file manager's "show items" call selects the file; without one the folder opens.
void ShowInFolder(const QString& path)
{
    const QString url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString();
    if (!Start(QStringLiteral("dbus-send"),
               {QStringLiteral("--session"), QStringLiteral("--dest=org.freedesktop.FileManager1"),
                QStringLiteral("--type=method_call"), QStringLiteral("/org/freedesktop/FileManager1"),
                QStringLiteral("org.freedesktop.FileManager1.ShowItems"), QStringLiteral("array:string:") + url,
                QStringLiteral("string:")}))
        XUi::ShellOpen(QFileInfo(path).absolutePath());
}

} // namespace

bool OpenWrittenFile(QWidget* owner, const QString& path, int openWith)
{
    bool ok = false;
    switch (openWith) {
    case 0:
        ok = XUi::ShellOpen(path);
        break;
    case 1:
        ok = Start(QStringLiteral("libreoffice"), {QStringLiteral("--calc"), path});
        break;
    case 2:
        ok = Start(QStringLiteral("et"), {path});
        break;
    case 3:
        ShowInFolder(path);
        return true;
    default:
        break;
    }
    if (ok)
        return true;
    XUi::MessageBox(owner, FormatString(u"打开 “%s” 失败！\r\n%s", path, GetLastErrorText()), QString(), MB_ICONERROR);
    ShowInFolder(path);
    return false;
}

bool OpenWrittenWorkbook(QWidget* owner, const QString& path)
{
    int openWith = 0;
    {
        std::lock_guard lock(AppServices().Mutex());
        if (const CDBSetup* setup = CurrentSetup())
            openWith = setup->m_nOpenWithXls;
    }
    return OpenWrittenFile(owner, path, openWith);
}
