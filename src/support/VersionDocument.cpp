#include "VersionDocument.h"

#include "CXXmlDoc.h"
#include "FormatString.h"
#include "ProgramPaths.h"
#include "Resources.h"
#include "Version.h"
#include "XAppServices.h"

#include <QtCore/QDate>

#include <mutex>

namespace {

constexpr int kVersionDocumentId = 459;

QString g_latestXml; // guarded by AppServices().Mutex()

// Positions the document on the root's child of that name; false when it has none.
bool FindTopChild(CXXmlDoc& doc, const QString& xml, const QString& name)
{
    return doc.SetDocText(xml) && doc.FindElement() && doc.IntoElement() && doc.FindElement(name);
}

} // namespace

QString BuiltInVersionXml()
{
    const QString text = QString::fromUtf8(LoadResourceBytes(kVersionDocumentId, RT_HTML));
    CXXmlDoc doc;
    if (!FindTopChild(doc, text, QStringLiteral("files")))
        return QString();
    const QDate built = QDate::fromString(GetBuildDate(), Qt::ISODate);
    doc.SetAttribute(doc.m_nMainPos, QStringLiteral("lastversion"), FormatVersion(GetOwnFileVersion()));
    doc.SetAttribute(doc.m_nMainPos, QStringLiteral("date"),
                     FormatString(u"%d年%d月%d日", built.year(), built.month(), built.day()));
    return doc.GetDocText();
}

bool WriteVersionDocument()
{
    const QString xml = BuiltInVersionXml();
    return !xml.isEmpty() && CXXmlDoc::WriteTextFile(xml, GetExePath(QChar(0), QStringLiteral(".xml")));
}

std::uint32_t ReadDocumentVersion(const QString& xml)
{
    CXXmlDoc doc;
    if (xml.isEmpty() || !FindTopChild(doc, xml, QStringLiteral("files")))
        return 0;
    return ParseVersion(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("lastversion")));
}

QString FormatReleaseNotes(const QString& xml)
{
    CXXmlDoc doc;
    if (!FindTopChild(doc, xml, QStringLiteral("logs")))
        return QString();
    QStringList entries;
    doc.IntoElement();
    while (doc.FindElement(QStringLiteral("log"))) {
        QString entry =
            FormatString(u"版本：%s 更新日期：%s", doc.GetAttribute(doc.m_nMainPos, QStringLiteral("version")),
                         doc.GetAttribute(doc.m_nMainPos, QStringLiteral("date")));
        int number = 0;
        while (doc.FindChildElement(QStringLiteral("list")))
            entry += FormatString(u"\r\n%d. %s", ++number, doc.GetText(doc.m_nChildPos));
        entries.append(entry);
    }
    return entries.join(QStringLiteral("\r\n\r\n"));
}

QString GetLatestVersionXml()
{
    {
        std::lock_guard lock(AppServices().Mutex());
        if (!g_latestXml.isEmpty())
            return g_latestXml;
    }
    return BuiltInVersionXml();
}

std::uint32_t GetLatestVersion() { return std::max(ReadDocumentVersion(GetLatestVersionXml()), GetOwnFileVersion()); }

void SetLatestVersionXml(const QString& xml)
{
    {
        std::lock_guard lock(AppServices().Mutex());
        g_latestXml = xml;
    }
    LatestVersionChangedHook()();
}

XHook<void()>& LatestVersionChangedHook()
{
    static XHook<void()> hook;
    return hook;
}
