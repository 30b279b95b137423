// The web files: the built-in table, MIME types, the www folder's confinement, JSON replies,
// host addresses, and pages made into HTML on the server.
#include "CFakeAppServices.h"
#include "CHttpRequest.h"
#include "CHttpSession.h"
#include "CXXmlDoc.h"
#include "CommandIds.h"
#include "RecordConsts.h"
#include "Resources.h"
#include "TestSupport.h"
#include "WebJson.h"
#include "WebResources.h"
#include "WebService.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <cjson/cJSON.h>
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

using namespace xInternet;

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << path.toStdString();
    file.write(bytes);
}

TEST(WebResource, BuiltInFilesByNameIgnoringCase)
{
    const QString inner = GetWebResource(QStringLiteral("inner.xsl"));
    EXPECT_TRUE(inner.contains(QStringLiteral("xsl:stylesheet")));
    EXPECT_EQ(GetWebResource(QStringLiteral("INNER.Xsl")), inner);
    EXPECT_TRUE(GetWebResource(QStringLiteral("Share.XSL")).contains(QStringLiteral("mode=\"body\"")));
    for (const char* missing : {"favicon.ico", "", "inner", "464-inner.xsl", "../www/inner.xsl", "inner.xsl "})
        EXPECT_EQ(GetWebResource(QString::fromLatin1(missing)), QString()) << missing;
}

TEST(WebResource, MimeTypesByExtension)
{
    const struct
    {
        const char* name;
        const char* type;
    } cases[] = {
        {"style.css", "text/css"},
        {"wait.gif", "image/gif"},
        {"a.html", "text/html"},
        {"favicon.ico", "image/x-icon"},
        {"p.jpg", "image/jpeg"},
        {"Global.JS", "text/javascript"},
        {"x.png", "image/png"},
        {"t.rtf", "application/rtf"},
        {"q.svg", "image/svg+xml"},
        {"MP_verify_x.txt", "text/plain"},
        {"tmplmsg.xml", "text/xml"},
        {"share.xsl", "text/xml"},
        {"a.xslt", "text/xml"},
        {"report.PDF", "application/pdf"},
        {"README", "application/octet-stream"}, // looked up whole, as "readme"
        {"css", "text/css"},                    // no dot: the whole name
        {"archive.tar.gz", "application/gzip"}, // the last extension
        {"noext.", "application/octet-stream"},
        {"", "application/octet-stream"},
        {"a.unknownext", "application/octet-stream"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetMimeType(QString::fromLatin1(c.name)), QByteArray(c.type)) << c.name;

    // the table itself: lower-case extensions in ascending order, one type each
    const QString csv = LoadResourceText(IDR_CSV_MIME, RT_CSV, 65001);
    const QStringList rows = csv.split(u'\n', Qt::SkipEmptyParts);
    EXPECT_GT(rows.size(), 1000);
    QString previous;
    for (const QString& row : rows) {
        const QString ext = row.section(u',', 0, 0);
        EXPECT_EQ(ext, ext.toLower()) << row.toStdString();
        EXPECT_LT(previous, ext) << row.toStdString();
        EXPECT_TRUE(row.section(u',', 1).contains(u'/')) << row.toStdString();
        previous = ext;
    }
}

TEST(WebResource, JsonReplies)
{
    const struct
    {
        const char* json;
        int expiresIn;
        const char* openid;
        const char* inner; // member "a" of "data"
    } cases[] = {
        {R"({"errcode":40013})", 0, "", ""},
        {R"({"access_token":"T","expires_in":7200,"openid":"o-1","data":{"a":"琴"}})", 7200, "o-1", "琴"},
        {R"({"expires_in":"7200","openid":5,"data":"a"})", 0, "", ""},
        {R"([1,2])", 0, "", ""},
    };
    for (const auto& c : cases) {
        cJSON* json = cJSON_Parse(c.json);
        ASSERT_NE(json, nullptr) << c.json;
        EXPECT_EQ(GetJsonExpiresIn(json), c.expiresIn) << c.json;
        EXPECT_EQ(GetJsonString(json, "openid"), QString::fromUtf8(c.openid)) << c.json;
        EXPECT_EQ(GetJsonString(json, "data", "a"), QString::fromUtf8(c.inner)) << c.json;
        cJSON_Delete(json);
    }
    EXPECT_EQ(GetJsonExpiresIn(nullptr), 0);
    EXPECT_EQ(GetJsonString(nullptr, "openid"), QString());
}

TEST(WebResource, HostAddresses)
{
    for (const char* unusable : {"127.0.0.1", "127.0.1.1", "0.0.0.0", "0.1.2.3", ""})
        EXPECT_FALSE(IsUsableIpv4(QString::fromLatin1(unusable))) << unusable;
    for (const char* usable : {"192.168.1.5", "10.0.0.1", "1.27.0.1"})
        EXPECT_TRUE(IsUsableIpv4(QString::fromLatin1(usable))) << usable;
    // localhost has only loopback addresses; a dotted address resolves to itself
    EXPECT_EQ(GetHostIpv4(QStringLiteral("localhost")), QString());
    EXPECT_EQ(GetHostIpv4(QStringLiteral("192.0.2.7")), QStringLiteral("192.0.2.7"));
    EXPECT_EQ(GetHostIpv4(QStringLiteral("no-such-host.invalid")), QString());
    EXPECT_TRUE(IsUsableIpv4(GetLocalIpv4()) || GetLocalIpv4().isEmpty());
}

TEST(WebFolder, RequestPathsNeverLeaveTheFolder)
{
    ScopedHome home;
    const QString www = home.Path() + QStringLiteral("/www");
    WriteFile(www + QStringLiteral("/ok.txt"), "ok");
    WriteFile(www + QStringLiteral("/sub/a.css"), "a");
    WriteFile(www + QStringLiteral("/图.png"), "p");
    WriteFile(home.Path() + QStringLiteral("/Lorvan.mdb"), "secret");
    WriteFile(home.Path() + QStringLiteral("/www2/x.txt"), "sibling");
    QDir().mkpath(www + QStringLiteral("/dir"));
    ASSERT_EQ(symlink("../Lorvan.mdb", QFile::encodeName(www + QStringLiteral("/link.txt")).constData()), 0);
    ASSERT_EQ(symlink("ok.txt", QFile::encodeName(www + QStringLiteral("/inside.txt")).constData()), 0);
    const QString real = QFileInfo(www).canonicalFilePath();

    const struct
    {
        QString path;
        QString file; // relative to www; empty: refused
    } cases[] = {
        {QStringLiteral("ok.txt"), QStringLiteral("ok.txt")},
        {QStringLiteral("sub\\a.css"), QStringLiteral("sub/a.css")},
        {QStringLiteral("sub/a.css"), QStringLiteral("sub/a.css")},
        {QStringLiteral("%E5%9B%BE.png"), QStringLiteral("图.png")},
        {QStringLiteral("inside.txt"), QStringLiteral("ok.txt")},
        // traversal, plain and encoded
        {QStringLiteral("..\\Lorvan.mdb"), QString()},
        {QStringLiteral("../Lorvan.mdb"), QString()},
        {QStringLiteral("sub\\..\\..\\Lorvan.mdb"), QString()},
        {QStringLiteral("%2e%2e/Lorvan.mdb"), QString()},
        {QStringLiteral("%2E%2E%5CLorvan.mdb"), QString()},
        {QStringLiteral("%252e%252e/Lorvan.mdb"), QString()},
        {QStringLiteral("..\\www2\\x.txt"), QString()},
        // absolute paths, drives and streams, NUL
        {QStringLiteral("\\etc\\passwd"), QString()},
        {QStringLiteral("/etc/passwd"), QString()},
        {QStringLiteral("%2Fetc%2Fpasswd"), QString()},
        {QStringLiteral("C:\\Windows\\win.ini"), QString()},
        {QStringLiteral("ok.txt::$DATA"), QString()},
        {QStringLiteral("ok.txt%00.png"), QString()},
        {QStringLiteral("ok.txt") + QChar(0) + QStringLiteral(".png"), QString()},
        {QStringLiteral("ok.txt%0a"), QString()},
        // links out, folders, nothing
        {QStringLiteral("link.txt"), QString()},
        {QStringLiteral("dir"), QString()},
        {QStringLiteral("sub"), QString()},
        {QStringLiteral("missing.txt"), QString()},
        {QString(), QString()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResolveWebFile(c.path), c.file.isEmpty() ? QString() : real + u'/' + c.file) << c.path.toStdString();

    // without a www folder nothing resolves
    QDir(www).removeRecursively();
    EXPECT_EQ(ResolveWebFile(QStringLiteral("ok.txt")), QString());
}

// A request over one end of a socket pair; the test reads what it sends from the other.
class PageRendering : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, m_fds), 0);
        m_request = std::make_unique<CHttpRequest>(m_fds[0]);
        m_www = m_home.Path() + QStringLiteral("/www");
        // a page sheet as every page is written: the shared frame plus title and body
        WriteFile(m_www + QStringLiteral("/probe.xsl"),
                  "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
                  "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                  "<xsl:import href=\"share.xsl\"/>"
                  "<xsl:template match=\"r\" mode=\"title\">签到</xsl:template>"
                  "<xsl:template match=\"r\" mode=\"body\"><xsl:call-template name=\"errbox\"/>"
                  "<ul class=\"list\"><xsl:for-each select=\"item\"><li class=\"item\"><xsl:value-of select=\"@name\"/>"
                  " m<xsl:value-of select=\"'MDU_STUDENT'\"/></li></xsl:for-each></ul>"
                  "<p class=\"memo\"><xsl:call-template name=\"lines\"><xsl:with-param name=\"text\" select=\"@memo\"/>"
                  "</xsl:call-template></p></xsl:template>"
                  "</xsl:stylesheet>");
    }
    void TearDown() override
    {
        m_request.reset();
        close(m_fds[0]);
        close(m_fds[1]);
        std::lock_guard lock(SessionLock());
        SessionMap().clear();
    }
    QByteArray Sent()
    {
        QByteArray out;
        char buf[65536];
        for (;;) {
            const ssize_t n = recv(m_fds[1], buf, sizeof buf, MSG_DONTWAIT);
            if (n <= 0)
                return out;
            out.append(buf, n);
        }
    }
    // The page for a request with that Accept header and parameters: head and body.
    std::pair<QByteArray, QByteArray> Page(const char* accept, const char* sheet, const char* update = nullptr)
    {
        m_request->m_strHead = QByteArray("GET / HTTP/1.1\r\nHost: 192.168.1.5:8080\r\n");
        if (accept)
            m_request->m_strHead += QByteArray("Accept: ") + accept + "\r\n";
        m_request->m_strHead += "\r\n";
        m_request->m_params.clear();
        if (sheet)
            m_request->m_params.insert(QStringLiteral("xsl"), QString::fromUtf8(sheet));
        if (update)
            m_request->m_params.insert(QStringLiteral("update"), QString::fromUtf8(update));
        CXXmlDoc doc(QStringLiteral("<r errid=\"106\" errmsg=\"密码&lt;错误&gt;\" memo=\"一&#10;&lt;b&gt;二\">"
                                    "<item name=\"甲&amp;乙\"/><item name=\"&lt;script&gt;\"/></r>"));
        m_request->WriteXmlPage(doc);
        const QByteArray all = Sent();
        const qsizetype split = all.indexOf("\r\n\r\n");
        return {all.left(split + 2), all.mid(split + 4)};
    }

    ScopedHome m_home;
    QString m_www;
    int m_fds[2] = {-1, -1};
    std::unique_ptr<CHttpRequest> m_request;
};

const QByteArray kBrowserAccept = "text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";

TEST_F(PageRendering, BrowsersGetHtmlEverythingElseTheXml)
{
    const QString id = QStringLiteral("0123456789abcdef0123456789abcdef");
    m_request->m_user.m_strSession = id;
    const auto [head, html] = Page(kBrowserAccept.constData(), "probe");
    EXPECT_TRUE(head.startsWith("HTTP/1.1 200 OK\r\n")) << head.constData();
    EXPECT_TRUE(head.contains("Content-Type: text/html; charset=UTF-8\r\nCache-Control: no-cache")) << head.constData();
    EXPECT_TRUE(head.contains("Content-length: " + QByteArray::number(html.size()) + "\r\n"));
    EXPECT_TRUE(head.contains("Set-Cookie: SESSIONID=" + id.toLatin1())) << "same cookie rule as the XML";
    const QString page = QString::fromUtf8(html);
    for (const char16_t* expected :
         {u"<!DOCTYPE html", u"<title>签到</title>", u"href=\"style.css\"", u"<script src=\"global.js\"></script>",
          u"<div id=\"page\">", u"<div class=\"error\" role=\"alert\">密码&lt;错误&gt;</div>",
          u"<li class=\"item\">甲&amp;乙 m321</li>", u"<li class=\"item\">&lt;script&gt; m321", u"一<br>&lt;b&gt;二"})
        EXPECT_TRUE(page.contains(QString::fromUtf16(expected))) << QString::fromUtf16(expected).toStdString() << "\n"
                                                                 << html.constData();
    EXPECT_FALSE(page.contains(QStringLiteral("<script>"))) << "user data is never markup";
    EXPECT_FALSE(page.contains(QStringLiteral("xml-stylesheet")));

    // update=1: the body alone, for a partial refresh
    const auto [fragmentHead, fragment] = Page(kBrowserAccept.constData(), "probe", "1");
    EXPECT_TRUE(fragmentHead.contains("Content-Type: text/html"));
    EXPECT_TRUE(fragment.startsWith("<div class=\"error\"")) << fragment.constData();
    EXPECT_FALSE(fragment.contains("<html")) << fragment.constData();
    EXPECT_FALSE(fragment.contains("id=\"page\"")) << fragment.constData();
    EXPECT_TRUE(fragment.contains("m321</li>"));

    // scripts, fetch's default Accept and requests without one get the XML with its sheet
    for (const char* accept : {static_cast<const char*>(nullptr), "*/*", "text/xml", "application/xml"}) {
        const auto [xmlHead, xml] = Page(accept, "probe");
        EXPECT_TRUE(xmlHead.contains("Content-Type: text/xml; charset=UTF-8")) << (accept ? accept : "none");
        EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                                   "<?xml-stylesheet type=\"text/xsl\" href=\"probe.xsl\"?>\r\n<r "))
            << xml.constData();
    }
    // a page without a sheet, or whose sheet is missing or broken, stays XML
    WriteFile(m_www + QStringLiteral("/broken.xsl"), "<xsl:stylesheet");
    for (const char* sheet : {static_cast<const char*>(nullptr), "nosuchsheet", "broken"}) {
        const auto [xmlHead, xml] = Page(kBrowserAccept.constData(), sheet);
        EXPECT_TRUE(xmlHead.contains("Content-Type: text/xml")) << (sheet ? sheet : "none");
        EXPECT_TRUE(xml.contains("<item name=")) << xml.constData();
    }
    // a sheet name that is not a plain name is refused, for browsers as for scripts
    for (const char* sheet : {"../share", "probe.xsl", "probe/x", "%2e%2e"}) {
        const auto [badHead, body] = Page(kBrowserAccept.constData(), sheet);
        EXPECT_TRUE(badHead.startsWith("HTTP/1.1 400 ")) << sheet;
        EXPECT_TRUE(body.isEmpty()) << sheet;
    }
}

TEST_F(PageRendering, ChangedSheetsInTheWwwFolderAreUsedAtOnce)
{
    EXPECT_TRUE(QString::fromUtf8(Page(kBrowserAccept.constData(), "probe").second).contains(QStringLiteral("签到")));
    // a new title in the page sheet, then a changed shared frame it imports
    QFile::remove(m_www + QStringLiteral("/probe.xsl"));
    WriteFile(m_www + QStringLiteral("/probe.xsl"),
              "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
              "<xsl:import href=\"share.xsl\"/>"
              "<xsl:template match=\"r\" mode=\"title\">点名册</xsl:template>"
              "<xsl:template match=\"r\" mode=\"body\">b</xsl:template></xsl:stylesheet>");
    QString page = QString::fromUtf8(Page(kBrowserAccept.constData(), "probe").second);
    EXPECT_TRUE(page.contains(QStringLiteral("<title>点名册</title>"))) << page.toStdString();
    WriteFile(m_www + QStringLiteral("/share.xsl"),
              "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
              "<xsl:output method=\"html\"/><xsl:template match=\"/\">frame of www "
              "<xsl:value-of select=\"'QUERY_OPTION'\"/></xsl:template></xsl:stylesheet>");
    page = QString::fromUtf8(Page(kBrowserAccept.constData(), "probe").second);
    EXPECT_TRUE(page.startsWith(QStringLiteral("frame of www 5"))) << page.toStdString();
}

} // namespace
