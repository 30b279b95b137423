#include "HttpParse.h"

#include <gtest/gtest.h>

#include <set>

using namespace xInternet;

namespace {

QByteArray Head(const QByteArray& requestLine, const QByteArray& headers = QByteArray())
{
    return requestLine + "\r\n" + headers + "\r\n";
}

TEST(HttpParse, ReasonPhrases)
{
    EXPECT_STREQ(GetReasonPhrase(200), "OK");
    EXPECT_STREQ(GetReasonPhrase(405), "Method Not Allowed");
    EXPECT_STREQ(GetReasonPhrase(505), "HTTP Version not supported");
    EXPECT_STREQ(GetReasonPhrase(402), "Unknown Error");
    EXPECT_STREQ(GetReasonPhrase(0), "Unknown Error");
}

TEST(HttpParse, UrlDecode)
{
    const struct
    {
        QByteArray in;
        QByteArray out;
    } cases[] = {
        {"%4a", "J"},
        {"%4A", "J"},
        {"%zz", "\x53"}, // 35 * 16 + 35 = 595, modulo 256 = 83
        {"a+b", "a b"},
        {"%E5%AD%A6+1", "\xE5\xAD\xA6 1"},
        {"%", "%"}, // nothing after the sign: copied, never read past the end
        {"%4", "%4"},
        {"x%4", "x%4"},
        {"%%41", "\x04"
                 "1"}, // "%" counts 0 and "4" counts 4; the "1" is copied
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UrlDecode(c.in), c.out) << c.in.constData();
    }
}

TEST(HttpParse, HeaderLookupReadsHeaderLinesOnly)
{
    const QByteArray head = Head("GET /?x=;SESSIONID=attacker HTTP/1.1", "Host: school:8080\r\n"
                                                                         "X-Host: wrong\r\n"
                                                                         "Cookie: a=1; SESSIONID=abc; b=2\r\n"
                                                                         "NEEDMORECONNECTS: 3\r\n");
    EXPECT_EQ(GetHeaderValue(head, "SESSIONID="), "abc");
    EXPECT_EQ(GetHeaderValue(head, "host:"), "school:8080");
    EXPECT_EQ(GetHeaderInt(head, "NeedMoreConnects:", 0), 3);
    EXPECT_EQ(GetHeaderInt(head, "Missing:", 7), 7);

    // the session id in a link's query must never fix the session (fixation)
    EXPECT_EQ(GetHeaderValue(Head("GET /?x=;SESSIONID=attacker HTTP/1.1", "Host: a\r\n"), "SESSIONID="), "");
    // a cookie whose name merely ends in the name is another cookie
    EXPECT_EQ(GetHeaderValue(Head("GET / HTTP/1.1", "Cookie: xsessionid=evil\r\n"), "SESSIONID="), "");
    // a header carrying the text elsewhere is not the Cookie header
    EXPECT_EQ(GetHeaderValue(Head("GET / HTTP/1.1", "Referer: http://a/?SESSIONID=evil\r\n"), "SESSIONID="), "");
    // only at the start of a line
    EXPECT_EQ(GetHeaderValue(Head("GET / HTTP/1.1", "X-Remote_addr: 1.2.3.4\r\n"), "REMOTE_ADDR:"), "");
}

TEST(HttpParse, RequestHeads)
{
    const QByteArray longLine = "GET /" + QByteArray(9000, 'a') + " HTTP/1.1";
    QByteArray manyHeaders;
    for (int i = 0; i < 101; ++i)
        manyHeaders += "X-" + QByteArray::number(i) + ": v\r\n";
    const struct
    {
        QByteArray head;
        XHeadVerdict verdict;
        int status;
        QByteArray method;
        QString path;
        QString query;
        qint64 length;
    } cases[] = {
        {Head("GET / HTTP/1.1"), XHeadVerdict::Serve, 0, "GET", "", "", 0},
        {Head("GET /query?mduid=321&key=a&b HTTP/1.1"), XHeadVerdict::Serve, 0, "GET", "query", "mduid=321&key=a&b", 0},
        {Head("get /www/js/a.js HTTP/1.1"), XHeadVerdict::Serve, 0, "get", "www\\js\\a.js", "", 0},
        {Head("GET /a HTTP/1.1?x"), XHeadVerdict::Serve, 0, "GET", "a", "", 0}, // "?" after the target
        {Head("GET /"), XHeadVerdict::Drop, 0, "", "", "", 0},
        {Head("POST /login HTTP/1.1", "Content-Length: 16777214\r\n"), XHeadVerdict::Serve, 0, "POST", "login", "",
         16777214},
        {Head("POST /login HTTP/1.1", "Content-Length: 16777215\r\n"), XHeadVerdict::RejectClose, 413, "", "", "", 0},
        {Head("POST /login HTTP/1.1", "Content-Length: -5\r\n"), XHeadVerdict::RejectClose, 400, "", "", "", 0},
        {Head("POST /login HTTP/1.1", "Content-Length: 12abc\r\n"), XHeadVerdict::RejectClose, 400, "", "", "", 0},
        {Head("POST /login HTTP/1.1", "Content-Length: 5\r\nContent-Length: 6\r\n"), XHeadVerdict::RejectClose, 400, "",
         "", "", 0},
        {Head("POST /login HTTP/1.1", "Transfer-Encoding: chunked\r\n"), XHeadVerdict::RejectClose, 501, "", "", "", 0},
        // framing is checked before the request line, so a dropped line cannot smuggle a body
        {Head("GET", "Content-Length: x\r\n"), XHeadVerdict::RejectClose, 400, "", "", "", 0},
        {Head(longLine), XHeadVerdict::RejectClose, 414, "", "", "", 0},
        {Head("GET / HTTP/1.1", manyHeaders), XHeadVerdict::RejectClose, 431, "", "", "", 0},
    };
    for (const auto& c : cases) {
        XRequestHead parsed;
        int status = -1;
        const XHeadVerdict verdict = ParseRequestHead(c.head, parsed, status);
        const std::string what = c.head.left(60).toStdString();
        EXPECT_EQ(verdict, c.verdict) << what;
        EXPECT_EQ(status, c.status) << what;
        if (verdict != XHeadVerdict::Serve)
            continue;
        EXPECT_EQ(parsed.method, c.method) << what;
        EXPECT_EQ(parsed.path, c.path) << what;
        EXPECT_EQ(parsed.query, c.query) << what;
        EXPECT_EQ(parsed.contentLength, c.length) << what;
    }
}

TEST(HttpParse, QueryParameters)
{
    XParamMap p;
    ParseQueryParams("mduid=321&key=a&b", p);
    EXPECT_EQ(p.value("mduid"), "321");
    EXPECT_EQ(p.value("key"), "a&b");

    p.clear();
    // a piece whose name has a capital or a digit belongs to the value before it; the first
    // piece's name is lower-cased; a piece without a name gives nothing
    ParseQueryParams("Find=%E5%AD%A6+1&X=2&a1=3&=5&q=%zz", p);
    EXPECT_EQ(p.value("find"), QString::fromUtf8("\xE5\xAD\xA6 1&X=2&a1=3&=5"));
    EXPECT_EQ(p.value("q"), QString(QChar(0x53)));
    EXPECT_EQ(p.size(), 2);

    // query parameters replace body ones of the same name
    p.clear();
    p.insert("key", "body");
    ParseQueryParams("key=query", p);
    EXPECT_EQ(p.value("key"), "query");
}

TEST(HttpParse, BodyParameters)
{
    XParamMap p;
    ParseBodyParams("<r><x id=\"Name\">Li &amp; Wang</x><x id=\"\">skip</x><x id=\"n2\">&#23398;</x></r>", p);
    EXPECT_EQ(p.value("name"), "Li & Wang");
    EXPECT_EQ(p.value("n2"), QString::fromUtf8("\xE5\xAD\xA6"));
    EXPECT_EQ(p.size(), 2);

    const QByteArray refused[] = {
        "<!DOCTYPE r [<!ENTITY a \"aaaa\">]><r><x id=\"a\">&a;</x></r>",
        "<r><x id=\"a\">open</r>",
        "<r><x id=\"a\"><a><a><a><a><a><a><a><a><a><a>deep</a></a></a></a></a></a></a></a></a></a></x></r>",
    };
    for (const QByteArray& body : refused) {
        p.clear();
        ParseBodyParams(body, p);
        EXPECT_TRUE(p.isEmpty()) << body.constData();
    }
}

TEST(HttpParse, SessionIds)
{
    std::set<QString> seen;
    for (int i = 0; i < 200; ++i) {
        const QString id = GenerateSessionId();
        EXPECT_TRUE(IsGeneratedSessionId(id)) << id.toStdString();
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 200u);

    const struct
    {
        const char* id;
        bool generated;
        bool weChat;
    } cases[] = {
        {"0123456789abcdef0123456789abcdef", true, false},
        {"0123456789ABCDEF0123456789abcdef", false, false},
        {"0123456789abcdef0123456789abcde", false, false},
        {"abc' OR '1'='1", false, false},
        {"wx_oABCDEFGHIJKLMNOPQRSTUVWXYZ", false, true}, // 28-character openid
        {"wx_o-A_b.mac_1-2", false, true},
        {"wx_", false, false},
        {"wx_a b", false, false},
        {"wx_a'--", false, false},
        {"wx_a.", false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsGeneratedSessionId(QString::fromLatin1(c.id)), c.generated) << c.id;
        EXPECT_EQ(IsWeChatSessionIdForm(QString::fromLatin1(c.id)), c.weChat) << c.id;
    }
    EXPECT_FALSE(IsWeChatSessionIdForm("wx_" + QString(65, u'a')));
}

TEST(HttpParse, PrivateAddressesByRange)
{
    const struct
    {
        const char* address;
        bool isPrivate;
    } cases[] = {
        {"10.1.2.3", true},        {"127.0.0.1", true},   {"172.16.0.1", true},    {"172.31.255.255", true},
        {"172.15.255.255", false}, {"172.32.0.1", false}, {"172.217.3.4", false},  {"192.168.1.5", true},
        {"192.0.2.1", false},      {"100.64.0.1", true},  {"100.127.255.1", true}, {"100.128.0.1", false},
        {"100.1.1.1", false},      {"169.254.9.9", true}, {"8.8.8.8", false},      {"", true},
        {"not an address", true},  {"1.2.3.4.5", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPrivateAddress(QString::fromLatin1(c.address)), c.isPrivate) << c.address;
}

} // namespace
