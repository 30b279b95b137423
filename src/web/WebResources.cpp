#include "WebResources.h"

#include "CodePages.h"
#include "CommandIds.h"
#include "CommandIds.h"
#include "ProgramPaths.h"
#include "Resources.h"
#include "SqlPrepare.h"
#include "TransformXsl.h"

#include <QtCore/QFile>
#include <QtCore/QHash>

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

namespace {

struct XWebFile
{
    const char* name;
    int id;
};

// Looked up in this order, ignoring case.
const XWebFile kWebFiles[] = {
    {"inner.xsl", IDR_WWW_INNER_XSL},       {"default.xsl", IDR_WWW_DEFAULT_XSL},
    {"edit.xsl", IDR_WWW_EDIT_XSL},         {"editnew.xsl", IDR_WWW_EDITNEW_XSL},
    {"detail.xsl", IDR_WWW_DETAIL_XSL},     {"style.css", IDR_WWW_STYLE_CSS},
    {"global.js", IDR_WWW_GLOBAL_JS},       {"md5.js", IDR_WWW_MD5_JS},
    {"qrcode.js", IDR_WWW_QRCODE_JS},       {"items.xsl", IDR_WWW_ITEMS_XSL},
    {"modules.xsl", IDR_WWW_MODULES_XSL},   {"regnew.xsl", IDR_WWW_REGNEW_XSL},
    {"share.xsl", IDR_WWW_SHARE_XSL},       {"mdfpwd.xsl", IDR_WWW_MDFPWD_XSL},
    {"resetpwd.xsl", IDR_WWW_RESETPWD_XSL}, {"smslogin.xsl", IDR_WWW_SMSLOGIN_XSL},
    {"tmplmsg.xml", IDR_WWW_TMPLMSG_XML},   {"tmplmsg.xsl", IDR_WWW_TMPLMSG_XSL},
    {"setup.xsl", IDR_WWW_SETUP_XSL},
};

QByteArray CanonicalPath(const QByteArray& path)
{
    char resolved[PATH_MAX];
    return realpath(path.constData(), resolved) ? QByteArray(resolved) : QByteArray();
}

class XWebSheets : public XSheetSource
{
public:
    QByteArray Load(const QString& name) const override
    {
        if (!IsWebFileName(name))
            return QByteArray();
        const QString path = ResolveWebFile(name);
        if (path.isEmpty())
            return GetWebResource(name).toUtf8();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxWebTextBytes)
            return QByteArray();
        QString text = QString::fromUtf8(file.readAll());
        ReplaceSqlSymbols(text);
        return text.toUtf8();
    }
    QString Stamp(const QString& name) const override
    {
        const QString path = IsWebFileName(name) ? ResolveWebFile(name) : QString();
        struct stat st
        {};
        if (path.isEmpty() || stat(QFile::encodeName(path).constData(), &st) != 0)
            return QStringLiteral("built-in");
        return QStringLiteral("%1.%2:%3:%4")
            .arg(st.st_mtim.tv_sec)
            .arg(st.st_mtim.tv_nsec)
            .arg(st.st_size)
            .arg(st.st_ino);
    }
    QString Key() const override { return QStringLiteral("www:") + GetWebFolder(); }
};

} // namespace

QString GetWebResource(const QString& name)
{
    for (const XWebFile& file : kWebFiles) {
        if (name.compare(QLatin1String(file.name), Qt::CaseInsensitive) != 0)
            continue;
        QString text = LoadResourceText(file.id, "www", CP_UTF8);
        ReplaceSqlSymbols(text);
        return text;
    }
    return QString();
}

QByteArray GetMimeType(const QString& name)
{
    static const QHash<QString, QByteArray> types = [] {
        QHash<QString, QByteArray> map;
        const QString text = LoadResourceText(IDR_CSV_MIME, RT_CSV, CP_UTF8);
        for (QStringView line : QStringView(text).split(u'\n')) {
            if (line.endsWith(u'\r'))
                line.chop(1);
            const qsizetype comma = line.indexOf(u',');
            if (comma > 0)
                map.insert(line.left(comma).toString(), line.mid(comma + 1).toUtf8());
        }
        return map;
    }();
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = (dot < 0 ? name : name.mid(dot + 1)).toLower();
    return types.value(extension, QByteArrayLiteral("application/octet-stream"));
}

QString GetWebFolder() { return GetExeFolder() + QStringLiteral("/www"); }

QString ResolveWebFile(const QString& requestPath)
{
    const QString path = QString::fromUtf8(QByteArray::fromPercentEncoding(requestPath.toUtf8()));
    if (path.isEmpty() || path.size() > 1024 || path[0] == u'/' || path[0] == u'\\' ||
        path.contains(QStringLiteral("..")))
        return QString();
    for (QChar ch : path) {
        // "%" left after decoding once is a second encoding of something
        if (ch.unicode() < 0x20 || ch.unicode() == 0x7f || ch == u':' || ch == u'%')
            return QString();
    }
    QString relative = path;
    relative.replace(u'\\', u'/');
    const QByteArray root = CanonicalPath(QFile::encodeName(GetWebFolder()));
    if (root.isEmpty())
        return QString();
    const QByteArray real = CanonicalPath(root + '/' + QFile::encodeName(relative));
    if (real.isEmpty() || !real.startsWith(root + '/'))
        return QString();
    struct stat st
    {};
    if (stat(real.constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return QString();
    return QFile::decodeName(real);
}

const XSheetSource& WebSheets()
{
    static const XWebSheets sheets;
    return sheets;
}

XHook<QImage(int, QRgb, bool)>& WebCommandIcons()
{
    static XHook<QImage(int, QRgb, bool)> hook;
    return hook;
}
