// WeChat logins: a WeChat browser from the Internet is sent through WeChat's authorisation,
// comes back with a code and leaves with a session id only this installation can issue.
#include "CDBOperLog.h"
#include "CFakeAppServices.h"
#include "CHttpSession.h"
#include "DbTestSupport.h"
#include "FakeWeChat.h"
#include "HttpParse.h"
#include "OpenDatabase.h"
#include "WebService.h"
#include "WebState.h"
#include "WxSession.h"
#include "XThread.h"

#include <gtest/gtest.h>

#include <QtCore/QUrl>
#include <QtCore/QUrlQuery>

#include <sys/socket.h>
#include <unistd.h>

#include <thread>

using namespace xInternet;

namespace {

// A relay connection served on one end of a socket pair; the test is the browser.
class WxLogin : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session, *CDBOperLog::StaticHeads()));
        ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, m_fds), 0);
        timeval tv{5, 0};
        setsockopt(m_fds[1], SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        auto& setup = CFakeAppServices::Installed().setup;
        setup[QStringLiteral("WxAppID")] = m_wx.appId;
        setup[QStringLiteral("WxAppSecret")] = m_wx.appSecret;
        SetWebUrls(QString(), QStringLiteral("https://abc.relay.example"));
        UpdateWebServiceState([](WebServiceState& s) { s.wxAccessToken = QStringLiteral("TOKEN-1"); });
        InstallWxWebSeams();
        WebStopEvent().Reset();
        m_served = std::thread([this] { HttpConnThread(m_fds[0], XConnKind::Relay); });
    }
    void TearDown() override
    {
        Send("xproxyeed\r\n\r\n");
        m_served.join();
        close(m_fds[0]);
        close(m_fds[1]);
        RemoveWxWebSeams();
        UpdateWebServiceState([](WebServiceState& s) { s = WebServiceState(); });
        SetWebUrls(QString(), QString());
        CFakeAppServices::Installed().setup.clear();
        std::lock_guard lock(SessionLock());
        SessionMap().clear();
    }
    void Send(const QByteArray& bytes) { ASSERT_EQ(send(m_fds[1], bytes.constData(), bytes.size(), 0), bytes.size()); }
    // A GET from a WeChat browser on the Internet; the response's head.
    QByteArray Get(const QByteArray& target, const QString& cookie = QString())
    {
        QByteArray head = "GET " + target +
                          " HTTP/1.1\r\nREMOTE_ADDR: 203.0.113.9\r\n"
                          "User-Agent: Mozilla/5.0 MicroMessenger/8.0\r\n";
        if (!cookie.isEmpty())
            head += "Cookie: SESSIONID=" + cookie.toLatin1() + "\r\n";
        Send(head + "\r\n");
        QByteArray in;
        char c;
        while (!in.endsWith("\r\n\r\n") && recv(m_fds[1], &c, 1, 0) == 1)
            in.append(c);
        const int length = GetHeaderInt(in, "Content-length:", 0);
        QByteArray body(length, '\0');
        if (length)
            recv(m_fds[1], body.data(), length, MSG_WAITALL);
        return in;
    }
    static QString Cookie(const QByteArray& response)
    {
        const qsizetype at = response.indexOf("\r\nSet-Cookie: SESSIONID=");
        if (at < 0)
            return QString();
        const qsizetype start = at + 24;
        return QString::fromLatin1(response.mid(start, response.indexOf(';', start) - start));
    }
    static QString Location(const QByteArray& response)
    {
        return QString::fromUtf8(GetHeaderValue(response, "Location:")).trimmed();
    }
    static bool HasSession(const QString& id)
    {
        std::lock_guard lock(SessionLock());
        return SessionMap().count(id) != 0;
    }

    TempDatabase m_db;
    FakeWeChat m_wx;
    int m_fds[2] = {-1, -1};
    std::thread m_served;
};

TEST_F(WxLogin, CodeThroughTheRedirectsToASessionIdWithAMac)
{
    m_wx.codes[QStringLiteral("CODE-1")] = QStringLiteral("oUser_1-abc");

    // first visit: to WeChat's authorisation, with a session id and a state bound to it
    const QByteArray sent = Get("/query?mduid=334");
    ASSERT_TRUE(sent.startsWith("HTTP/1.1 302 ")) << sent.constData();
    const QString browser = Cookie(sent);
    ASSERT_TRUE(IsGeneratedSessionId(browser));
    const QUrl authorise(Location(sent));
    EXPECT_EQ(authorise.host(), u"open.weixin.qq.com");
    const QString state = QUrlQuery(authorise).queryItemValue(QStringLiteral("state"));
    EXPECT_EQ(state, MakeWxAuthState(browser));
    EXPECT_EQ(authorise.fragment(), u"wechat_redirect");

    // back from WeChat with the code
    const QByteArray back = Get("/wxauth?code=CODE-1&state=" + state.toLatin1(), browser);
    ASSERT_TRUE(back.startsWith("HTTP/1.1 302 ")) << back.constData();
    EXPECT_EQ(Location(back), u"/");
    const QString wxId = Cookie(back);
    ASSERT_TRUE(wxId.startsWith(u"wx_oUser_1-abc.")) << wxId.toStdString();
    EXPECT_GT(wxId.size(), 16 + 32);
    EXPECT_TRUE(VerifyWxSessionId(wxId));
    EXPECT_EQ(WxOpenIdOf(wxId), u"oUser_1-abc");
    const auto exchanged = m_wx.Calls(QStringLiteral("sns/oauth2/access_token"));
    ASSERT_EQ(exchanged.size(), 1u);
    EXPECT_EQ(exchanged[0].query.queryItemValue("code"), u"CODE-1");
    EXPECT_EQ(exchanged[0].query.queryItemValue("grant_type"), u"authorization_code");

    // the id is the browser's session from now on, and no further redirect happens
    const QByteArray next = Get("/query?mduid=334", wxId);
    EXPECT_FALSE(next.startsWith("HTTP/1.1 302 ")) << next.constData();
    EXPECT_TRUE(HasSession(wxId));
}

TEST_F(WxLogin, ForgedOrOldWeChatIdsReachNoSession)
{
    const QString genuine = MakeWxSessionId(QStringLiteral("oVictim"));
    ASSERT_TRUE(VerifyWxSessionId(genuine));
    const QString forged[] = {
        QStringLiteral("wx_oVictim"),                                              // the openid alone
        QStringLiteral("wx_oVictim.") + QString(64, u'0'),                         // a made-up MAC
        QStringLiteral("wx_oOther.") + genuine.mid(genuine.indexOf(u'.') + 1),     // another's MAC
        genuine.left(genuine.size() - 1) + (genuine.endsWith(u'a') ? u'b' : u'a'), // one digit off
    };
    for (const QString& id : forged) {
        EXPECT_FALSE(VerifyWxSessionId(id)) << id.toStdString();
        EXPECT_TRUE(WxOpenIdOf(id).isEmpty());
        // a WeChat browser holding it is sent to authorise again, under an id of ours
        const QByteArray answer = Get("/query", id);
        EXPECT_TRUE(answer.startsWith("HTTP/1.1 302 ")) << answer.constData();
        EXPECT_TRUE(IsGeneratedSessionId(Cookie(answer)));
        EXPECT_FALSE(HasSession(id));
    }
    // outside WeChat the forged id is simply replaced by a new session
    Send("GET /query HTTP/1.1\r\nREMOTE_ADDR: 203.0.113.9\r\nCookie: SESSIONID=wx_oVictim\r\n\r\n");
    QByteArray in;
    char c;
    while (!in.endsWith("\r\n\r\n") && recv(m_fds[1], &c, 1, 0) == 1)
        in.append(c);
    EXPECT_TRUE(IsGeneratedSessionId(Cookie(in))) << in.constData();
    EXPECT_FALSE(HasSession(QStringLiteral("wx_oVictim")));
}

TEST_F(WxLogin, CodeWithoutItsStateOrWithoutKeysIsRefused)
{
    m_wx.codes[QStringLiteral("CODE-1")] = QStringLiteral("oUser1");
    const QString browser = GenerateSessionId();
    const QByteArray state = MakeWxAuthState(browser).toLatin1();
    // a code replayed into another browser, or with no state
    EXPECT_TRUE(Get("/wxauth?code=CODE-1&state=" + state, GenerateSessionId()).startsWith("HTTP/1.1 403 "));
    EXPECT_TRUE(Get("/wxauth?code=CODE-1", browser).startsWith("HTTP/1.1 403 "));
    EXPECT_TRUE(Get("/wxauth?state=" + state, browser).startsWith("HTTP/1.1 404 "));
    CFakeAppServices::Installed().setup[QStringLiteral("WxAppSecret")] = QString();
    EXPECT_TRUE(Get("/wxauth?code=CODE-1&state=" + state, browser).startsWith("HTTP/1.1 404 "));
    EXPECT_EQ(m_wx.Count(QStringLiteral("sns/oauth2/access_token")), 0);
}

TEST_F(WxLogin, CodeWeChatDoesNotKnowFailsAfterFourTries)
{
    const QString browser = GenerateSessionId();
    const QByteArray answer = Get("/wxauth?code=STALE&state=" + MakeWxAuthState(browser).toLatin1(), browser);
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 500 ")) << answer.constData();
    EXPECT_EQ(m_wx.Count(QStringLiteral("sns/oauth2/access_token")), 4);
    EXPECT_TRUE(Cookie(answer).isEmpty() || !Cookie(answer).startsWith(u"wx_"));
}

} // namespace
