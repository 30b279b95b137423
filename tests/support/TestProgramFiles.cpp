// The program's folder, its resources, string table, version and code pages.
#include "LorvanVersion.h"
#include "CodePages.h"
#include "CommandIds.h"
#include "ProgramPaths.h"
#include "Resources.h"
#include "TestSupport.h"
#include "Version.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

#include <gtest/gtest.h>

#include <cerrno>

namespace {

TEST(ProgramPaths, ProgramFileLivesInTheHomeFolder)
{
    ScopedHome home;
    const QString dir = QDir::cleanPath(home.Path());
    EXPECT_EQ(GetExePath(), dir + "/lorvan");
    EXPECT_EQ(GetExePath(u'\\'), dir);
    EXPECT_EQ(GetExeFolder(), dir);
    EXPECT_EQ(GetExePath(u'\\', QStringLiteral("\\Lorvan.mdb")), dir + "/Lorvan.mdb");
    EXPECT_EQ(GetExePath(u'\\', QStringLiteral("\\Temp\\")), dir + "/Temp/");
    // the program file has no extension: ".xml" is appended, never cut into a folder name
    EXPECT_EQ(GetExePath(u'.', QStringLiteral(".xml")), dir + "/lorvan.xml");
}

TEST(ProgramPaths, DotInAFolderNameIsNotAnExtension)
{
    QTemporaryDir base;
    const QString folder = base.path() + "/app.v2";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QByteArray previous = qgetenv("LORVAN_HOME");
    qputenv("LORVAN_HOME", folder.toLocal8Bit());
    EXPECT_EQ(GetExePath(u'.', QStringLiteral(".log")), QDir::cleanPath(folder) + "/lorvan.log");
    qputenv("LORVAN_HOME", previous);
}

TEST(ProgramPaths, RelativeAndAbsoluteToTheProgramFolder)
{
    QTemporaryDir base;
    const QString root = QDir::cleanPath(base.path());
    const QString app = root + "/p/q/r/s";
    const QByteArray previous = qgetenv("LORVAN_HOME");
    qputenv("LORVAN_HOME", app.toLocal8Bit());

    struct Case
    {
        QString in;
        QString out;
    };
    const Case cases[] = {
        {app + "/data/a.jpg", "data/a.jpg"},
        {root + "/p/q/r/t/a.jpg", "../t/a.jpg"},
        {root + "/p/q/x/a.jpg", "../../x/a.jpg"},                         // two levels up is still relative
        {root + "/p/x/a.jpg", root + "/p/x/a.jpg"},                       // three levels up stays absolute
        {root + "/p/q/r/s2/a.jpg", "../s2/a.jpg"},                        // a sibling with a longer name is not inside
        {QStringLiteral("photos/a.jpg"), QStringLiteral("photos/a.jpg")}, // already relative
    };
    for (const Case& c : cases)
        EXPECT_EQ(ToExeRelativePath(c.in), c.out) << c.in.toStdString();

    EXPECT_EQ(ToExeAbsolutePath(QStringLiteral("backup")), app + "/backup");
    EXPECT_EQ(ToExeAbsolutePath(QStringLiteral("../backup/./x")), root + "/p/q/r/backup/x");
    EXPECT_EQ(ToExeAbsolutePath(QStringLiteral("/srv/x")), "/srv/x");
    for (const Case& c : cases) {
        if (c.in.startsWith(u'/')) {
            EXPECT_EQ(ToExeAbsolutePath(ToExeRelativePath(c.in)), c.in);
        }
    }
    qputenv("LORVAN_HOME", previous);
}

TEST(ProgramPaths, CreateDirectoryPathMakesTheFolderOfAFile)
{
    QTemporaryDir base;
    const QString root = base.path();
    EXPECT_TRUE(CreateDirectoryPath(root + "/export/list.xls"));
    EXPECT_TRUE(QFileInfo(root + "/export").isDir());
    EXPECT_FALSE(QFileInfo(root + "/export/list.xls").exists());
    EXPECT_TRUE(CreateDirectoryPath(root + "/a/b/c"));
    EXPECT_TRUE(QFileInfo(root + "/a/b/c").isDir());
    EXPECT_TRUE(CreateDirectoryPath(root + "\\w\\x.txt")); // backslashes are separators
    EXPECT_TRUE(QFileInfo(root + "/w").isDir());
    // a plain file where a folder must go
    QFile blocker(root + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(CreateDirectoryPath(root + "/file/sub/x.txt"));
}

TEST(ProgramPaths, LastErrorTextNamesTheErrorNumber)
{
    errno = EACCES;
    const QString text = GetLastErrorText();
    EXPECT_TRUE(text.endsWith("(0xD)")) << text.toStdString();
    EXPECT_TRUE(text.startsWith("Permission denied")) << text.toStdString();
    EXPECT_EQ(GetErrorText(123456), "Unknown error 0x1E240");
}

TEST(Resources, NumberedFilesAreFoundByIdAndType)
{
    EXPECT_EQ(ResourcePath(9901, RT_SQL), ":/sql/9901-test.sql");
    EXPECT_EQ(ResourcePath(9902, "csv"), ":/csv/9902.csv");
    EXPECT_EQ(ResourcePath(9901, RT_CSV), "");
    EXPECT_EQ(LoadResourceBytes(9901, RT_SQL), "SELECT 1 AS one\nFROM TB_TEST\n");
    EXPECT_EQ(LoadResourceText(9902, RT_CSV, CP_UTF8), QString::fromUtf8("张三,1\n"));
    EXPECT_TRUE(LoadResourceBytes(0, RT_SQL).isEmpty());
    EXPECT_TRUE(LoadResourceText(0, RT_SQL, CP_UTF8).isEmpty());
    EXPECT_TRUE(LoadResourceBytes(4242, RT_SQL).isEmpty());
}

TEST(Resources, EachNumberedIdHasOneResourceWithinItsType)
{
    const std::pair<const char*, const char*> keys[] = {
        {":/sql/431-students.sql", "SQL:431"},
        {":/www/464.xsl", "WWW:464"},
        {":/csv/429", "CSV:429"},
        {":/sql/sub/12-x.sql", "SQL:12"},
        {":/sql/notanid.sql", ""},
        {":/sql/431x.sql", ""},
        {":/431-top.sql", ""},
        {":/sql/-1.sql", ""},
    };
    for (const auto& [path, key] : keys)
        EXPECT_EQ(NumberedResourceKey(QString::fromUtf8(path)), QString::fromUtf8(key)) << path;

    // The test data holds one pair claiming the same id; the program's own resources and
    // string table must claim none.
    EXPECT_EQ(DuplicateResourceIds(), QStringList{QStringLiteral("CSV:9903 :/csv/9903-one.csv :/csv/9903-two.csv")});
    EXPECT_EQ(ResourcePath(9903, RT_CSV), ":/csv/9903-one.csv"); // the first in path order, on every run
    EXPECT_EQ(ResourcePath(9903, RT_SQL), "");                   // the same number in another type is another resource
}

TEST(Resources, CommandTextsFromTheStringTable)
{
    EXPECT_EQ(LoadStringText(ID_EDIT_COPYSEL), QString::fromUtf8("复制内容到剪贴板。\n复制内容(&C)"));
    EXPECT_EQ(LoadCommandText(ID_EDIT_COPYSEL), QString::fromUtf8("复制内容"));
    EXPECT_EQ(LoadCommandText(ID_EDIT_COPYSEL, true), QString::fromUtf8("复制内容(&C)"));
    EXPECT_EQ(LoadCommandPrompt(ID_EDIT_COPYSEL), QString::fromUtf8("复制内容到剪贴板。"));
    EXPECT_EQ(LoadCommandText(321), QString::fromUtf8("学员"));
    EXPECT_EQ(LoadCommandText(331), QString::fromUtf8("报名收据"));
    EXPECT_EQ(LoadCommandText(0), "");
    EXPECT_EQ(LoadCommandText(1), "");
    EXPECT_EQ(LoadCommandPrompt(-1), "");

    struct Case
    {
        const char* text;
        bool keep;
        const char* name;
    };
    const Case cases[] = {
        {"提示\n名称(&N)", false, "名称"},
        {"提示\n名称(&N)\n第三行", false, "名称"},
        {"只有一行(&X)...", false, "只有一行"},
        {"提示\n选择(&R) ...", false, "选择"},
        {"提示\n打开(&O", false, "打开"}, // no ")": the rest goes
        {"提示\n打开(&O", true, "打开(&O"},
        {"提示\n 另存为 ... ", false, "另存为"},
        {"提示\n", false, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ExtractCommandText(QString::fromUtf8(c.text), c.keep), QString::fromUtf8(c.name)) << c.text;
}

TEST(Version, PackFormatAndParse)
{
    EXPECT_EQ(GetOwnFileVersion(),
              PackVersion(LORVAN_VERSION_MAJOR, LORVAN_VERSION_MINOR, LORVAN_VERSION_PATCH, LORVAN_VERSION_TWEAK));
    EXPECT_GE(GetOwnFileVersion(), PackVersion(4, 6, 0, 0));
    EXPECT_GT(GetOwnFileVersion(), PackVersion(4, 5, 8, 1));
    EXPECT_EQ(GetBuildDate().size(), 10);
    struct Case
    {
        unsigned a, b, c, d;
        const char* text;
    };
    const Case cases[] = {{4, 5, 8, 2, "4.5.8.2"}, {4, 5, 0, 0, "4.5"},   {10, 0, 0, 0, "10"},
                          {0, 0, 0, 0, "0"},       {4, 0, 1, 0, "4.0.1"}, {255, 255, 255, 255, "255.255.255.255"}};
    for (const Case& c : cases) {
        const std::uint32_t v = PackVersion(c.a, c.b, c.c, c.d);
        EXPECT_EQ(FormatVersion(v), c.text);
        EXPECT_EQ(ParseVersion(QString::fromUtf8(c.text)), v) << c.text;
    }
    EXPECT_EQ(ParseVersion(QStringLiteral("4.5.8.1")), 0x04050801u);
    EXPECT_EQ(ParseVersion(QStringLiteral("4.5.x.1")), PackVersion(4, 5, 0, 0));
    EXPECT_EQ(ParseVersion(QStringLiteral("4.300")), PackVersion(4, 300 & 0xFF, 0, 0));
    EXPECT_EQ(ParseVersion(QString()), 0u);
    EXPECT_TRUE(IsWindowsVersionAtLeast(0x0A00));
}

TEST(CodePages, Utf8AndTheChineseAnsiPage)
{
    const QString text = QString::fromUtf8("张三 ABC ¥");
    EXPECT_EQ(ToWide(text.toUtf8(), CP_UTF8), text);
    const QByteArray gbk = ToMultiByte(QString::fromUtf8("张三A"), CP_ACP);
    EXPECT_EQ(gbk, QByteArray("\xD5\xC5\xC8\xFD"
                              "A"));
    EXPECT_EQ(ToMultiByte(QString::fromUtf8("张三A"), 936), gbk);
    EXPECT_EQ(ToWide(gbk, CP_ACP), QString::fromUtf8("张三A"));
    EXPECT_EQ(ToWide(QByteArray("caf\xE9"), 1252), QString::fromUtf8("café"));

    // what a page cannot hold becomes "?", a character outside the BMP counting once
    EXPECT_EQ(ToMultiByte(QString::fromUtf8("a😀b한c"), CP_ACP), "a?b?c");
    EXPECT_EQ(ToMultiByte(QString::fromUtf8("中"), 1252), "?");
    // input stops at the first zero
    EXPECT_EQ(ToWide(QByteArray("ab\0cd", 5), CP_UTF8), "ab");
    EXPECT_EQ(ToMultiByte(QString::fromUtf8("ab") + QChar(0) + "cd", CP_UTF8), "ab");
    // invalid bytes are replaced, the rest kept
    EXPECT_EQ(ToWide(QByteArray("A\xFF"
                                "B"),
                     CP_ACP),
              QString("A") + QChar(QChar::ReplacementCharacter) + "B");
    // empty input and unknown pages give nothing
    EXPECT_TRUE(ToWide(QByteArray(), CP_UTF8).isEmpty());
    EXPECT_TRUE(ToMultiByte(QString(), CP_ACP).isEmpty());
    EXPECT_TRUE(ToWide(QByteArray("abc"), 12345).isEmpty());
    EXPECT_TRUE(ToMultiByte(QStringLiteral("abc"), 12345).isEmpty());
    // a long text crosses the converter's buffer
    const QString longText = QString::fromUtf8("汉字").repeated(5000);
    EXPECT_EQ(ToWide(ToMultiByte(longText, CP_ACP), CP_ACP), longText);
}

} // namespace
