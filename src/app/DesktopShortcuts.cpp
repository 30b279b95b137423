#include "DesktopShortcuts.h"

#include "CommandIds.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QSaveFile>
#include <QtCore/QStandardPaths>

namespace XShortcuts {

namespace {

// An Exec argument: always quoted, with the characters the quoting reserves escaped, then
// the value-level escapes (backslash, and % for the field codes).
QString ExecArgument(const QString& arg)
{
    QString quoted;
    for (const QChar c : arg) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted = u'"' + quoted + u'"';
    quoted.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    quoted.replace(QStringLiteral("%"), QStringLiteral("%%"));
    return quoted;
}

// A plain string value: line breaks and backslashes escaped.
QString EntryValue(QString value)
{
    value.replace(QStringLiteral("\\"), QStringLiteral("\\\\"));
    value.replace(QStringLiteral("\n"), QStringLiteral("\\n"));
    value.replace(QStringLiteral("\r"), QStringLiteral("\\r"));
    return value;
}

} // namespace

QString Folder(int id)
{
    switch (id) {
    case ID_SHORTCUT_DESKTOP: {
        // a desktop that does not exist is no desktop to put a launcher on
        const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
        return !desktop.isEmpty() && QFileInfo(desktop).isDir() ? desktop : QString();
    }
    case ID_SHORTCUT_PROGRAMS:
        return QStandardPaths::writableLocation(QStandardPaths::ApplicationsLocation);
    case ID_SHORTCUT_STARTUP: {
        const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
        return config.isEmpty() ? QString() : config + QStringLiteral("/autostart");
    }
    default:
        return QString();
    }
}

QString File(int id, const QString& title)
{
    const QString folder = Folder(id);
    return folder.isEmpty() ? QString() : folder + u'/' + title + QStringLiteral(".desktop");
}

QString EntryText(const QString& program, const QString& home, const QString& title)
{
    QString exec = ExecArgument(program);
    if (!home.isEmpty())
        exec = QStringLiteral("env ") + ExecArgument(QStringLiteral("LORVAN_HOME=") + home) + u' ' + exec;
    return QStringLiteral("[Desktop Entry]\n"
                          "Type=Application\n"
                          "Version=1.0\n"
                          "Name=%1\n"
                          "Comment=%1\n"
                          "Exec=%2\n"
                          "Path=%3\n"
                          "Terminal=false\n")
        .arg(EntryValue(title), exec, EntryValue(QFileInfo(program).absolutePath()));
}

bool Create(const QString& file, const QString& program, const QString& home, const QString& title, QString& error)
{
    const QFileInfo info(file);
    if (!QDir().mkpath(info.absolutePath())) {
        error = QStringLiteral("无法创建文件夹 %1").arg(info.absolutePath());
        return false;
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(EntryText(program, home, title).toUtf8()) < 0 || !out.commit()) {
        error = out.errorString();
        return false;
    }
    // desktops start only launchers their owner may execute
    QFile::setPermissions(file, QFile::permissions(file) | QFile::ExeOwner);
    return true;
}

} // namespace XShortcuts
