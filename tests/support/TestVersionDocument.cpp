#include "CXXmlDoc.h"
#include "ProgramPaths.h"
#include "TestSupport.h"
#include "Version.h"
#include "VersionDocument.h"

#include <QtCore/QFile>

#include <gtest/gtest.h>

namespace {

QString Document(const char* lastVersion)
{
    return QString::fromUtf8(R"(<?xml version="1.0" encoding="UTF-8"?>
<r><files lastversion="%1" date="2026年12月1日"><file name="Lorvan.exe" update="1"/></files>
<logs><log version="9.1" date="2026年12月"><list>新的登录窗口</list><list>自动备份 &amp; 检查</list></log>
<log version="9.0" date="2026年1月"><list>第一版</list></log><log version="8.9" date="2025年1月"/></logs></r>)")
        .arg(QString::fromUtf8(lastVersion));
}

// Each part is an unsigned byte: 200 stays 200 rather than turning the packed number into
// one above every real version.
TEST(VersionDocument, PartsAreUnsignedBytesAndCompareAsNumbers)
{
    EXPECT_EQ(ParseVersion(QStringLiteral("4.5.10.0")), 67439104u);
    EXPECT_EQ(FormatVersion(67439104u), QStringLiteral("4.5.10"));
    EXPECT_EQ(ParseVersion(QStringLiteral("0.0.200.0")), 200u << 8);
    EXPECT_LT(ParseVersion(QStringLiteral("0.0.200.0")), GetOwnFileVersion());
    EXPECT_LT(ParseVersion(QStringLiteral("4.5.255.255")), ParseVersion(QStringLiteral("4.6")));
}

TEST(VersionDocument, BuiltInDocumentCarriesTheOwnVersionAndIsWrittenBesideTheProgram)
{
    const QString xml = BuiltInVersionXml();
    ASSERT_FALSE(xml.isEmpty());
    EXPECT_EQ(ReadDocumentVersion(xml), GetOwnFileVersion());
    const QStringList ymd = GetBuildDate().split(u'-');
    ASSERT_EQ(ymd.size(), 3);
    const QString date = QStringLiteral("%1年%2月%3日").arg(ymd[0]).arg(ymd[1].toInt()).arg(ymd[2].toInt());
    EXPECT_TRUE(xml.contains(QStringLiteral("date=\"%1\"").arg(date))) << xml.toStdString();
    for (const char* name : {"Lorvan.exe", "Lorvan.chm", "Lorvan.mdb", "libxl.dll"})
        EXPECT_TRUE(xml.contains(QStringLiteral("name=\"%1\"").arg(QString::fromUtf8(name)))) << name;
    EXPECT_FALSE(FormatReleaseNotes(xml).isEmpty());

    ScopedHome home;
    ASSERT_TRUE(WriteVersionDocument());
    QFile written(GetExePath(QChar(0), QStringLiteral(".xml")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << written.fileName().toStdString();
    EXPECT_EQ(ReadDocumentVersion(QString::fromUtf8(written.readAll())), GetOwnFileVersion());
}

TEST(VersionDocument, ReleaseNotesNumberTheLinesOfEachVersion)
{
    EXPECT_EQ(FormatReleaseNotes(Document("9.1")),
              QString::fromUtf8("版本：9.1 更新日期：2026年12月\r\n1. 新的登录窗口\r\n2. 自动备份 & 检查\r\n\r\n"
                                "版本：9.0 更新日期：2026年1月\r\n1. 第一版\r\n\r\n"
                                "版本：8.9 更新日期：2025年1月"));
    EXPECT_EQ(FormatReleaseNotes(QStringLiteral("<r/>")), QString());
}

// The latest version is the cached newer document's, never below the own; storing one
// tells the main window.
TEST(VersionDocument, LatestVersionIsNeverBelowTheOwn)
{
    int told = 0;
    LatestVersionChangedHook().Install([&told] { ++told; });
    const std::uint32_t own = GetOwnFileVersion();
    EXPECT_EQ(GetLatestVersion(), own);
    EXPECT_FALSE(IsNewerVersionKnown());

    SetLatestVersionXml(Document("1.0"));
    EXPECT_EQ(GetLatestVersion(), own);
    SetLatestVersionXml(QStringLiteral("<r><logs/></r>")); // no files element
    EXPECT_EQ(GetLatestVersion(), own);
    SetLatestVersionXml(Document("200.1.2"));
    EXPECT_EQ(GetLatestVersion(), PackVersion(200, 1, 2, 0));
    EXPECT_TRUE(IsNewerVersionKnown());
    EXPECT_EQ(GetLatestVersionXml(), Document("200.1.2"));
    EXPECT_EQ(told, 3);

    LatestVersionChangedHook().Install(nullptr);
    SetLatestVersionXml(QString());
    EXPECT_EQ(ReadDocumentVersion(GetLatestVersionXml()), own); // the built-in one again
}

} // namespace
