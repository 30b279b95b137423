#include "CFakeAppServices.h"
#include "CHttpRequest.h"
#include "CHttpSession.h"
#include "CXXmlDoc.h"
#include "RecordConsts.h"
#include "XDateTime.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

using namespace xInternet;

namespace {

// A request over one end of a socket pair; the test reads what it sends from the other.
class RequestOverPair : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, m_fds), 0);
        m_request = std::make_unique<CHttpRequest>(m_fds[0]);
    }
    void TearDown() override
    {
        m_request.reset();
        close(m_fds[0]);
        close(m_fds[1]);
        std::lock_guard lock(SessionLock());
        SessionMap().clear();
        XClock::Reset();
    }
    // Everything sent so far.
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
    void WithSession(const QString& id)
    {
        m_request->m_user.m_strSession = id;
        std::lock_guard lock(SessionLock());
        SessionMap().emplace(id, std::make_unique<CHttpSession>());
    }

    int m_fds[2] = {-1, -1};
    std::unique_ptr<CHttpRequest> m_request;
};

const QString kId = QStringLiteral("0123456789abcdef0123456789abcdef");

TEST(SessionCookie, ExactHeaderText)
{
    // 0 + 15,552,000 s = 180 days after 1970-01-01 (a Thursday): 30 June, 180 % 7 = 5 days
    // on in the week, a Tuesday.
    EXPECT_EQ(MakeSessionCookie(kId, 0, false), "Set-Cookie: SESSIONID=" + kId.toLatin1() +
                                                    "; Expires=Tue, 30 Jun 1970 00:00:00 GMT; HttpOnly; SameSite=Lax");
    EXPECT_EQ(MakeSessionCookie(kId, 0, true),
              "Set-Cookie: SESSIONID=" + kId.toLatin1() +
                  "; Expires=Tue, 30 Jun 1970 00:00:00 GMT; HttpOnly; SameSite=Lax; Secure");
}

TEST_F(RequestOverPair, ResponseHeadAndWhenItSetsTheCookie)
{
    m_request->m_user.m_strSession = kId;
    const struct
    {
        int code;
        int cache;
        const char* cacheLine;
        bool cookie;
    } cases[] = {
        {302, CACHE_PRIVATE, "\r\nCache-Control: private, max-age=600", true},
        {200, CACHE_NONE, "", true},
        {200, CACHE_NO, "\r\nCache-Control: no-cache", true},
        {200, CACHE_PRIVATE, "\r\nCache-Control: private, max-age=600", false},
        {200, CACHE_FOREVER, "\r\nCache-Control: public, immutable, max-age=31536000", false},
        {404, 7, "", false},
    };
    for (const auto& c : cases) {
        const int n = m_request->WriteHttpResponse(c.code, 12, "text/xml", c.cache, QString());
        const QByteArray head = Sent();
        EXPECT_EQ(n, head.size());
        const QByteArray start = "HTTP/1.1 " + QByteArray::number(c.code) + ' ' + GetReasonPhrase(c.code) +
                                 "\r\nServer: LorvanSrv\r\nContent-length: 12\r\nContent-Type: text/xml" + c.cacheLine;
        EXPECT_TRUE(head.startsWith(start)) << head.constData();
        EXPECT_EQ(head.contains("\r\nSet-Cookie: SESSIONID=" + kId.toLatin1() + "; Expires="), c.cookie)
            << head.constData();
        EXPECT_TRUE(head.endsWith("\r\n\r\n"));
        EXPECT_FALSE(head.contains("secure=false"));
    }
    // a location cannot add header lines
    m_request->WriteHttpResponse(302, 0, QByteArray(), CACHE_NONE, QStringLiteral("/a\r\nX-Evil: 1"));
    EXPECT_TRUE(Sent().contains("\r\nLocation: /aX-Evil: 1\r\n"));
    // no session, no cookie; a failed send is -1
    m_request->m_user.m_strSession.clear();
    m_request->WriteHttpResponse(200, 0, QByteArray(), CACHE_NO, QString());
    EXPECT_FALSE(Sent().contains("Set-Cookie"));
    close(m_fds[1]);
    m_fds[1] = -1;
    EXPECT_EQ(m_request->WriteHttpResponse(200, 0, QByteArray(), CACHE_NO, QString()), -1);
}

TEST_F(RequestOverPair, XmlPagesAndResults)
{
    m_request->m_params.insert("xsl", "edit");
    CXXmlDoc doc(QStringLiteral("<r a=\"1\">\r\n\r\n<c/></r>\r\n"));
    m_request->WriteXmlPage(doc);
    QByteArray page = Sent();
    const qsizetype body = page.indexOf("\r\n\r\n") + 4;
    EXPECT_EQ(page.mid(body), "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n"
                              "<?xml-stylesheet type=\"text/xsl\" href=\"edit.xsl\"?>\r\n"
                              "<r a=\"1\" xsl=\"edit\">\r\n<c/></r>");
    EXPECT_TRUE(page.contains("Content-length: " + QByteArray::number(page.size() - body) + "\r\n"));
    EXPECT_TRUE(page.contains("Content-Type: text/xml; charset=UTF-8\r\nCache-Control: no-cache"));

    // a sheet name that would break out of the instruction or name a file is refused
    for (const char* bad : {"a\"?><x y=\"", "../share", "share.xsl", "a b", "\xe7\x90\xb4"}) {
        m_request->m_params.insert("xsl", QString::fromUtf8(bad));
        CXXmlDoc other(QStringLiteral("<r/>"));
        m_request->WriteXmlPage(other);
        page = Sent();
        EXPECT_TRUE(page.startsWith("HTTP/1.1 400 ")) << bad;
        EXPECT_FALSE(page.contains("xml-stylesheet")) << bad;
        EXPECT_FALSE(page.contains("<r")) << bad;
    }

    // a result never names a sheet
    m_request->m_params.insert("xsl", "edit");
    m_request->WriteXmlResult(ERR_FailMsg, QStringLiteral("没有 <权限>"), 42);
    page = Sent();
    EXPECT_TRUE(
        page.endsWith(QString::fromUtf8("\r\n<r errid=\"101\" errmsg=\"没有 &lt;权限&gt;\" id=\"42\"/>").toUtf8()))
        << page.constData();
    EXPECT_FALSE(page.contains("xml-stylesheet"));
}

TEST_F(RequestOverPair, PageHeaderTellsDefaultPasswordsToAdministratorsOnly)
{
    auto& setup = CFakeAppServices::Installed().setup;
    setup[QStringLiteral("RecordName")] = QStringLiteral("Brenvale 艺术学校");
    setup[QStringLiteral("DefaultPwd0")] = QStringLiteral("583920");
    setup[QStringLiteral("DefaultPwd1")] = QStringLiteral("111111");
    XClock::SetFixed(XDateTime(2026, 3, 18, 9, 5));
    WithSession(kId);
    {
        std::lock_guard lock(SessionLock());
        auto* teacher = new CXItem;
        teacher->m_nMduID = MDU_TEACHER;
        teacher->m_nID = 7;
        teacher->m_strName = QStringLiteral("王老师");
        teacher->m_nRightRole = 2;
        SessionMap()[kId]->AddIdentity(teacher);
        auto* student = new CXItem;
        student->m_nMduID = MDU_STUDENT;
        student->m_nID = 9;
        student->m_strName = QStringLiteral("李四");
        SessionMap()[kId]->AddIdentity(student);
        SessionMap()[kId]->SetCurrent(teacher);
    }
    m_request->m_strPath = QStringLiteral("query");
    m_request->m_user.m_strIP = QStringLiteral("192.168.1.5");
    for (int role : {0, 1, 2}) {
        m_request->m_user.m_nRightRole = role;
        CXXmlDoc doc(QStringLiteral("<r><list/></r>"));
        m_request->AddPageHeader(doc, false);
        doc.m_nParentPos = doc.m_nMainPos = doc.m_nChildPos = 0;
        ASSERT_TRUE(doc.FindElement());
        EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, "errid"), "100");
        EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, "errtime"), "2026-3-18 9:05");
        ASSERT_TRUE(doc.FindChildElement("list"));
        ASSERT_TRUE(doc.FindChildElement("app")) << doc.GetDocText().toStdString();
        const int app = doc.m_nChildPos;
        EXPECT_EQ(doc.GetAttribute(app, "LtdName"), QStringLiteral("Brenvale 艺术学校"));
        EXPECT_EQ(doc.GetAttribute(app, "DefaultPwd0"), role == 2 ? "583920" : "") << role;
        EXPECT_EQ(doc.GetAttribute(app, "DefaultPwd1"), role == 2 ? "111111" : "") << role;
        EXPECT_EQ(doc.GetAttribute(app, "WxConnected"), "0");
        ASSERT_TRUE(doc.FindChildElement("session"));
        EXPECT_EQ(doc.GetAttribute(doc.m_nChildPos, "id"), kId);
        EXPECT_EQ(doc.GetAttribute(doc.m_nChildPos, "url"), "query");
        doc.IntoElement();
        // every identity with its own role, whoever the request acts as; the address is
        // the browser's
        const struct
        {
            const char *id, *curr, *role;
        } users[] = {{"7", "1", "2"}, {"9", "0", "0"}};
        for (const auto& user : users) {
            ASSERT_TRUE(doc.FindChildElement("user")) << doc.GetDocText().toStdString();
            EXPECT_EQ(doc.GetAttribute(doc.m_nChildPos, "id"), user.id);
            EXPECT_EQ(doc.GetAttribute(doc.m_nChildPos, "curr"), user.curr);
            EXPECT_EQ(doc.GetAttribute(doc.m_nChildPos, "role"), user.role) << "request role " << role;
            EXPECT_EQ(doc.GetAttribute(doc.m_nChildPos, "IP"), "192.168.1.5");
        }
        EXPECT_FALSE(doc.FindChildElement("user"));
    }
    setup.clear();
}

TEST_F(RequestOverPair, Parameters)
{
    m_request->m_params.insert("mduid", "321abc");
    m_request->m_params.insert("name", "x");
    EXPECT_EQ(m_request->GetParamInt("MduID"), 321);
    EXPECT_EQ(m_request->GetParamInt("none"), 0);
    EXPECT_EQ(m_request->GetParamText("NAME"), "x");
    EXPECT_EQ(m_request->GetParamText("none"), "");
}

// Codes are random now; what is kept of the design is the five-minute life and that an SMS
// code ends the picture code.
TEST_F(RequestOverPair, CodesExpireAfterFiveMinutes)
{
    EXPECT_EQ(m_request->MakeSessionCode(kArtCodeAlphabet, true), ""); // no session
    WithSession(kId);
    XClock::SetFixed(XDateTime(2026, 3, 18, 10, 0, 0));
    EXPECT_EQ(m_request->MakeSessionCode(kArtCodeAlphabet, false), ""); // none issued yet
    const QString art = m_request->MakeSessionCode(kArtCodeAlphabet, true);
    ASSERT_EQ(art.size(), 4);
    for (QChar c : art)
        EXPECT_TRUE(kArtCodeAlphabet.contains(c));
    XClock::SetFixed(XDateTime(2026, 3, 18, 10, 4, 59));
    EXPECT_EQ(m_request->MakeSessionCode(kArtCodeAlphabet, false), art);
    XClock::SetFixed(XDateTime(2026, 3, 18, 10, 5, 1));
    EXPECT_EQ(m_request->MakeSessionCode(kArtCodeAlphabet, false), "");
    EXPECT_EQ(m_request->CheckSessionCode(kArtCodeAlphabet, art), XCodeCheck::Expired);

    // an SMS code ends the picture code
    const QString art2 = m_request->MakeSessionCode(kArtCodeAlphabet, true);
    const QString sms = m_request->MakeSessionCode(kSmsCodeAlphabet, true, QStringLiteral("13800000001"));
    ASSERT_EQ(sms.size(), 4);
    for (QChar c : sms)
        EXPECT_TRUE(c.isDigit());
    EXPECT_EQ(m_request->MakeSessionCode(kArtCodeAlphabet, false), "");
    EXPECT_EQ(m_request->CheckSessionCode(kArtCodeAlphabet, art2), XCodeCheck::Expired);
    EXPECT_EQ(m_request->MakeSessionCode(kSmsCodeAlphabet, false), sms);
}

TEST_F(RequestOverPair, CodesAreUsedOnceBoundToThePhoneAndLimitedInTries)
{
    WithSession(kId);
    const QString phone = QStringLiteral("13800000001");
    QString sms = m_request->MakeSessionCode(kSmsCodeAlphabet, true, phone);
    const QString wrong = sms == "0000" ? "1111" : "0000";
    EXPECT_EQ(m_request->CheckSessionCode(kSmsCodeAlphabet, sms, QStringLiteral("13800000002")), XCodeCheck::Wrong);
    EXPECT_EQ(m_request->CheckSessionCode(kSmsCodeAlphabet, sms, phone), XCodeCheck::Ok);
    EXPECT_EQ(m_request->CheckSessionCode(kSmsCodeAlphabet, sms, phone), XCodeCheck::Expired); // used up

    sms = m_request->MakeSessionCode(kSmsCodeAlphabet, true, phone);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(m_request->CheckSessionCode(kSmsCodeAlphabet, wrong, phone), XCodeCheck::Wrong);
    EXPECT_EQ(m_request->CheckSessionCode(kSmsCodeAlphabet, sms, phone), XCodeCheck::Ok); // the fifth try
    sms = m_request->MakeSessionCode(kSmsCodeAlphabet, true, phone);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(m_request->CheckSessionCode(kSmsCodeAlphabet, wrong, phone), XCodeCheck::Wrong);
    EXPECT_EQ(m_request->CheckSessionCode(kSmsCodeAlphabet, sms, phone), XCodeCheck::Expired);

    // codes of two sessions have nothing to do with each other, nor with the session id
    const QString art = m_request->MakeSessionCode(kArtCodeAlphabet, true);
    CHttpRequest other(m_fds[0]);
    other.m_user.m_strSession = QStringLiteral("fedcba9876543210fedcba9876543210");
    {
        std::lock_guard lock(SessionLock());
        SessionMap().emplace(other.m_user.m_strSession, std::make_unique<CHttpSession>());
    }
    EXPECT_EQ(other.CheckSessionCode(kArtCodeAlphabet, art), XCodeCheck::Expired);
}

TEST_F(RequestOverPair, StateChangesNeedASameOriginPost)
{
    const struct
    {
        QByteArray method;
        QByteArray headers;
        bool accepted;
        const char* status;
    } cases[] = {
        {"GET", "Host: school:8080\r\n", false, "HTTP/1.1 405 "},
        {"POST", "Host: school:8080\r\n", true, ""},
        {"POST", "Host: school:8080\r\nOrigin: http://school:8080\r\n", true, ""},
        {"POST", "Host: school:8080\r\nOrigin: http://evil.example\r\n", false, "HTTP/1.1 403 "},
        {"POST", "Host: school:8080\r\nOrigin: null\r\n", false, "HTTP/1.1 403 "},
        {"POST", "Host: school:8080\r\nReferer: http://school:8080/query?x=1\r\n", true, ""},
        {"POST", "Host: school:8080\r\nReferer: http://school:8080.evil.example/\r\n", false, "HTTP/1.1 403 "},
    };
    for (const auto& c : cases) {
        m_request->m_strMethod = c.method;
        m_request->m_strHead = c.method + " /del HTTP/1.1\r\n" + c.headers + "\r\n";
        EXPECT_EQ(m_request->AcceptStateChange(), c.accepted) << c.headers.constData();
        EXPECT_TRUE(Sent().startsWith(c.status)) << c.headers.constData();
    }
}

} // namespace
