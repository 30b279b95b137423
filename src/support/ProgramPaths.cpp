#include "ProgramPaths.h"

#include "FormatString.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace {

QString NativeSeparators(QString text) { return text.replace(u'\\', u'/'); }

QString ProgramFile()
{
    const QByteArray home = qgetenv("LORVAN_HOME");
    if (!home.isEmpty()) {
        QString folder = QDir::cleanPath(QDir(QString::fromLocal8Bit(home)).absolutePath());
        return folder + QStringLiteral("/lorvan");
    }
    if (QCoreApplication::instance())
        return QCoreApplication::applicationFilePath();
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0)
        return QStringLiteral("/lorvan");
    return QString::fromLocal8Bit(buf, static_cast<qsizetype>(n));
}

} // namespace

QString GetExePath(QChar cut, const QString& suffix)
{
    QString path = ProgramFile();
    if (cut != QChar(0)) {
        const qsizetype slash = path.lastIndexOf(u'/');
        if (cut == u'\\' || cut == u'/') {
            if (slash >= 0)
                path.truncate(slash);
        } else {
            const qsizetype at = path.lastIndexOf(cut);
            if (at > slash)
                path.truncate(at);
        }
    }
    return path + NativeSeparators(suffix);
}

QString GetExeFolder() { return GetExePath(u'\\'); }

QString ToExeRelativePath(const QString& path)
{
    if (!path.startsWith(u'/'))
        return path;
    const QString folder = GetExeFolder();
    if (path.size() > folder.size() && path.startsWith(folder) && path[folder.size()] == u'/')
        return path.mid(folder.size() + 1);
    QString rel = QDir(folder).relativeFilePath(path);
    if (rel.isEmpty() || rel.size() >= path.size() || rel.contains(QLatin1String("../../../")) ||
        QDir::isAbsolutePath(rel))
        return path;
    if (rel.startsWith(QLatin1String("./")))
        rel.remove(0, 2);
    return rel;
}

QString ToExeAbsolutePath(const QString& path)
{
    if (path.startsWith(u'/'))
        return path;
    return QDir::cleanPath(GetExeFolder() + u'/' + path);
}

bool CreateDirectoryPath(const QString& path)
{
    QString folder = NativeSeparators(path);
    const qsizetype slash = folder.lastIndexOf(u'/');
    if (folder.mid(slash + 1).contains(u'.'))
        folder.truncate(slash + 1);
    if (folder.isEmpty())
        return false;
    QDir().mkpath(folder);
    return QFileInfo(folder).isDir();
}

QString GetErrorText(int error)
{
    char buf[256];
    const char* text = strerror_r(error, buf, sizeof buf);
    QString msg = text ? QString::fromLocal8Bit(text) : QString();
    if (msg.isEmpty() || msg.startsWith(QLatin1String("Unknown error")))
        return FormatString(u"Unknown error 0x%0lX", static_cast<unsigned>(error));
    return msg + FormatString(u"(0x%X)", static_cast<unsigned>(error));
}

QString GetLastErrorText() { return GetErrorText(errno); }
