// The service on loopback through raw sockets: what a browser, a careless client and a
// hostile one each get back.
#include "CDBOperLog.h"
#include "CFakeAppServices.h"
#include "CHttpSession.h"
#include "CXItem.h"
#include "RecordConsts.h"
#include "DbTestSupport.h"
#include "HttpParse.h"
#include "OpenDatabase.h"
#include "WebService.h"
#include "WebState.h"
#include "WxSession.h"
#include "XThread.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

using namespace xInternet;
using namespace std::chrono_literals;

namespace {

int Connect(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        close(fd);
        return -1;
    }
    timeval tv{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    return fd;
}

bool SendAll(int fd, const QByteArray& bytes)
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = send(fd, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

// One response (head and the body its length gives); empty when the connection closed or
// nothing came within five seconds.
QByteArray ReadResponse(int fd)
{
    QByteArray in;
    char buf[4096];
    for (;;) {
        const qsizetype end = in.indexOf("\r\n\r\n");
        if (end >= 0) {
            const qsizetype length = GetHeaderInt(in.left(end + 4), "Content-length:", 0);
            while (in.size() < end + 4 + length) {
                const ssize_t n = recv(fd, buf, sizeof buf, 0);
                if (n <= 0)
                    return QByteArray();
                in.append(buf, n);
            }
            return in;
        }
        const ssize_t n = recv(fd, buf, 1, 0); // one byte: a following response stays unread
        if (n <= 0)
            return QByteArray();
        in.append(buf, n);
    }
}

// True when the server closes the connection (within five seconds) without sending more.
bool ClosedByServer(int fd)
{
    char c;
    return recv(fd, &c, 1, 0) == 0;
}

QString CookieId(const QByteArray& response)
{
    const qsizetype at = response.indexOf("Set-Cookie: SESSIONID=");
    if (at < 0)
        return QString();
    const qsizetype start = at + 22;
    return QString::fromLatin1(response.mid(start, response.indexOf(';', start) - start));
}

// A fresh database the service can log to.
struct WebDatabase
{
    WebDatabase()
    {
        CXDBSession session;
        session.Connect();
        EXPECT_TRUE(MarkWritableColumns(session, *CDBOperLog::StaticHeads()));
    }
    TempDatabase db;
};

class WebService : public ::testing::Test
{
protected:
    void SetUp() override
    {
        StartWebService();
        for (int i = 0; i < 500 && !GetWebServiceState().port; ++i)
            std::this_thread::sleep_for(10ms);
        m_port = GetWebServiceState().port;
        ASSERT_GE(m_port, 8080);
        ASSERT_LE(m_port, 9001);
    }
    void TearDown() override
    {
        StopWebService();
        for (int fd : m_fds)
            close(fd);
        WxSessionVerifier() = nullptr;
    }
    int Open()
    {
        const int fd = Connect(m_port);
        m_fds.push_back(fd);
        return fd;
    }

    WebDatabase m_db;
    int m_port = 0;
    std::vector<int> m_fds;
};

TEST_F(WebService, KeepAliveRequestsAndTheSessionCookie)
{
    const int fd = Open();
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(SendAll(fd, "GET /nothing HTTP/1.1\r\nHost: x\r\n\r\n"));
    const QByteArray first = ReadResponse(fd);
    EXPECT_TRUE(first.startsWith("HTTP/1.1 404 Not Found\r\nServer: LorvanSrv\r\nContent-length: 0\r\n"))
        << first.constData();
    const QString id = CookieId(first);
    EXPECT_TRUE(IsGeneratedSessionId(id)) << first.constData();
    EXPECT_TRUE(first.contains("; HttpOnly; SameSite=Lax\r\n")) << first.constData();
    EXPECT_FALSE(first.contains("Secure"));

    // the same connection: the cookie names the session it was given
    ASSERT_TRUE(SendAll(fd, "GET /nothing HTTP/1.1\r\nCookie: SESSIONID=" + id.toLatin1() + "\r\n\r\n"));
    EXPECT_EQ(CookieId(ReadResponse(fd)), id);

    // a line with one blank gets no answer, the connection stays; PUT is not allowed, and
    // a ping line means nothing on a connection from the network
    ASSERT_TRUE(SendAll(fd, "GET /\r\n\r\nxPiNgPoNg\r\n\r\nPUT /x HTTP/1.1\r\n\r\nGET /nothing HTTP/1.1\r\n\r\n"));
    EXPECT_TRUE(ReadResponse(fd).startsWith("HTTP/1.1 405 Method Not Allowed\r\n"));
    EXPECT_TRUE(ReadResponse(fd).startsWith("HTTP/1.1 404 "));
}

TEST_F(WebService, SessionIdsComeOnlyFromTheCookieAndInOurForms)
{
    const int fd = Open();
    ASSERT_TRUE(SendAll(fd, "GET / HTTP/1.1\r\n\r\n"));
    const QString known = CookieId(ReadResponse(fd));
    ASSERT_FALSE(known.isEmpty());

    const QByteArray heads[] = {
        "GET /?x=;SESSIONID=" + known.toLatin1() + " HTTP/1.1\r\n\r\n",                 // fixation through a link
        "GET / HTTP/1.1\r\nCookie: SESSIONID=abc' OR '1'='1\r\n\r\n",                   // not our form
        "GET / HTTP/1.1\r\nCookie: SESSIONID=ffffffffffffffffffffffffffffffff\r\n\r\n", // names no session
        "GET / HTTP/1.1\r\nCookie: SESSIONID=wx_oABCDEFGHIJKLMNOPQRSTUVWXYZ\r\n\r\n",   // unverified WeChat id
    };
    for (const QByteArray& head : heads) {
        ASSERT_TRUE(SendAll(fd, head));
        const QString id = CookieId(ReadResponse(fd));
        EXPECT_TRUE(IsGeneratedSessionId(id)) << head.constData();
        EXPECT_NE(id, known) << head.constData();
    }

    // a verified WeChat id gets a session under exactly that id
    const QString wx = QStringLiteral("wx_oABCDEFGHIJKLMNOPQRSTUVWXYZ");
    WxSessionVerifier() = [](const QString& id) { return id.startsWith(QLatin1String("wx_o")); };
    ASSERT_TRUE(SendAll(fd, "GET / HTTP/1.1\r\nCookie: SESSIONID=" + wx.toLatin1() + "\r\n\r\n"));
    EXPECT_EQ(CookieId(ReadResponse(fd)), wx);
    std::lock_guard lock(SessionLock());
    const auto it = SessionMap().find(wx);
    ASSERT_NE(it, SessionMap().end());
    EXPECT_TRUE(it->second->Identities().IsEmpty());
}

TEST_F(WebService, NewSessionsDropTheLeastRecentlyUsedAnonymousOnesBeyondTheLimit)
{
    struct Limit
    {
        Limit() { SetSessionLimit(3); }
        ~Limit() { SetSessionLimit(0); }
    } limit;
    const int fd = Open();
    auto request = [fd](const QString& cookie) {
        const QByteArray head = cookie.isEmpty() ? QByteArray() : "Cookie: SESSIONID=" + cookie.toLatin1() + "\r\n";
        EXPECT_TRUE(SendAll(fd, "GET /nothing HTTP/1.1\r\n" + head + "\r\n"));
        return CookieId(ReadResponse(fd));
    };
    auto held = [] {
        std::lock_guard lock(SessionLock());
        QStringList ids;
        for (const auto& [id, session] : SessionMap())
            ids << id;
        ids.sort();
        return ids;
    };
    auto sorted = [](QStringList ids) {
        ids.sort();
        return ids;
    };
    const QString teacher = request(QString());
    {
        std::lock_guard lock(SessionLock());
        auto* identity = new CXItem;
        identity->m_nMduID = MDU_TEACHER;
        identity->m_nID = 1;
        SessionMap().at(teacher)->AddIdentity(identity);
    }
    const QString a = request(QString());
    const QString b = request(QString());
    ASSERT_EQ(held(), sorted({teacher, a, b}));
    EXPECT_EQ(request(a), a); // a is used after b now

    const QString c = request(QString());
    EXPECT_EQ(held(), sorted({teacher, a, c})); // b went, the logged-in session stays
    const QString d = request(QString());
    EXPECT_EQ(held(), sorted({teacher, c, d}));
    // a dropped session's cookie just gets a new session
    const QString again = request(b);
    EXPECT_NE(again, b);
    EXPECT_EQ(held(), sorted({teacher, d, again}));

    // with only logged-in sessions left nobody is logged out for room
    SetSessionLimit(1);
    const QString e = request(QString());
    EXPECT_EQ(held(), sorted({teacher, e}));
}

TEST_F(WebService, OversizedOrUnframedRequestsAreRefusedAndClosed)
{
    QByteArray manyHeaders = "GET / HTTP/1.1\r\n";
    for (int i = 0; i < 101; ++i)
        manyHeaders += "X-" + QByteArray::number(i) + ": v\r\n";
    const struct
    {
        QByteArray bytes;
        const char* status;
    } cases[] = {
        {"GET / HTTP/1.1\r\nX-Big: " + QByteArray(70 * 1024, 'a') + "\r\n\r\n", "431"},
        {"GET /" + QByteArray(9 * 1024, 'a'), "414"}, // no line end yet
        {manyHeaders + "\r\n", "431"},
        {"POST / HTTP/1.1\r\nContent-Length: 16777215\r\n\r\n", "413"},
        {"POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n", "400"},
        {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n", "501"},
    };
    for (const auto& c : cases) {
        const int fd = Open();
        ASSERT_TRUE(SendAll(fd, c.bytes));
        const QByteArray response = ReadResponse(fd);
        EXPECT_TRUE(response.startsWith(QByteArray("HTTP/1.1 ") + c.status)) << c.status << response.constData();
        EXPECT_TRUE(ClosedByServer(fd)) << c.status;
    }
}

TEST_F(WebService, ABodyIsNeverReadAsTheNextRequest)
{
    const int fd = Open();
    const QByteArray smuggled = "PUT /x HTTP/1.1\r\n\r\n";
    ASSERT_TRUE(SendAll(fd, "POST /nothing HTTP/1.1\r\nContent-Length: " + QByteArray::number(smuggled.size()) + "\r\n\r\n" +
                                smuggled + "GET /after HTTP/1.1\r\n\r\n"));
    EXPECT_TRUE(ReadResponse(fd).startsWith("HTTP/1.1 404 "));
    EXPECT_TRUE(ReadResponse(fd).startsWith("HTTP/1.1 404 ")); // not the 405 of the body
}

TEST_F(WebService, AConnectionEndsWhenThePeerCloses)
{
    const int before = LiveWebConnections();
    const int fd = Connect(m_port);
    ASSERT_TRUE(SendAll(fd, "GET / HTTP/1.1\r\n\r\nGET /half"));
    EXPECT_FALSE(ReadResponse(fd).isEmpty());
    EXPECT_EQ(LiveWebConnections(), before + 1);
    close(fd);
    for (int i = 0; i < 300 && LiveWebConnections() > before; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(LiveWebConnections(), before);
}

TEST_F(WebService, StopsWithinASecondWithConnectionsOpen)
{
    std::vector<int> idle;
    for (int i = 0; i < 5; ++i)
        idle.push_back(Open());
    ASSERT_TRUE(SendAll(idle[0], "GET /half-a-head HTTP/1.1\r\n"));
    ASSERT_TRUE(SendAll(idle[1], "POST / HTTP/1.1\r\nContent-Length: 100\r\n\r\nonly part"));
    for (int i = 0; i < 300 && LiveWebConnections() < 5; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(LiveWebConnections(), 5);

    const auto start = std::chrono::steady_clock::now();
    StopWebService();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, 1s);
    EXPECT_EQ(LiveWebConnections(), 0);
    EXPECT_FALSE(IsWebServiceRunning());
    EXPECT_EQ(GetWebServiceState().port, 0);
    for (int fd : idle)
        EXPECT_TRUE(ClosedByServer(fd));
    std::lock_guard lock(SessionLock());
    EXPECT_TRUE(SessionMap().empty());
}

TEST_F(WebService, ConnectionsBeyondTheCapAreTurnedAway)
{
    std::vector<int> held;
    for (int i = 0; i < kMaxConnections; ++i) {
        const int fd = Open();
        ASSERT_GE(fd, 0);
        held.push_back(fd);
    }
    for (int i = 0; i < 500 && LiveWebConnections() < kMaxConnections; ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_EQ(LiveWebConnections(), kMaxConnections);
    const int extra = Open();
    EXPECT_TRUE(ReadResponse(extra).startsWith("HTTP/1.1 503 "));
    EXPECT_TRUE(ClosedByServer(extra));
    // the held ones are still served
    ASSERT_TRUE(SendAll(held[0], "GET /nothing HTTP/1.1\r\n\r\n"));
    EXPECT_TRUE(ReadResponse(held[0]).startsWith("HTTP/1.1 404 "));
}

// Binds a listening socket on the port; -1 when it is taken.
int Occupy(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(fd, 1) != 0) {
        close(fd);
        return -1;
    }
    return fd;
}

TEST(WebServicePorts, TakesTheFirstFreePortOrRunsWithoutListener)
{
    WebDatabase db;
    // two neighbouring free ports from the system's ephemeral range
    int first = -1;
    int a = -1;
    int b = -1;
    for (int p = 42000; p < 43000 && b < 0; p += 2) {
        a = Occupy(p);
        if (a < 0)
            continue;
        b = Occupy(p + 1);
        if (b < 0) {
            close(a);
            continue;
        }
        first = p;
    }
    ASSERT_GE(first, 0);
    close(b);
    SetWebPortRange(first, first + 1);
    StartWebService();
    for (int i = 0; i < 500 && !GetWebServiceState().port; ++i)
        std::this_thread::sleep_for(10ms);
    EXPECT_EQ(GetWebServiceState().port, first + 1);
    StopWebService();

    b = Occupy(first + 1);
    ASSERT_GE(b, 0);
    StartWebService();
    std::this_thread::sleep_for(200ms);
    StopWebService();
    EXPECT_EQ(GetWebServiceState().port, 0);
    EXPECT_EQ(QueryNumber(QStringLiteral(
                  "SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=11 AND OperMemo='启动本地 HTTP 服务失败！'")),
              1);
    EXPECT_EQ(QueryNumber(
                  QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=11 AND OperMemo='代理连接服务启动。'")),
              2);
    EXPECT_EQ(QueryNumber(
                  QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=11 AND OperMemo='代理连接服务退出。'")),
              2);
    close(a);
    close(b);
    SetWebPortRange(8080, 9001);
}

// Relay sockets carry the relay's control lines; the relay pool hands them to the same loop.
TEST(WebRelayConnection, PingAndCloseLines)
{
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    timeval tv{5, 0};
    setsockopt(fds[1], SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    MoreRelayEvent().Reset();
    WebStopEvent().Reset(); // as while the service runs
    std::thread served([&] { HttpConnThread(fds[0], XConnKind::Relay); });
    ASSERT_TRUE(SendAll(fds[1], "XpInGpOnG\r\n\r\n"));
    char buf[64] = {};
    ASSERT_EQ(recv(fds[1], buf, 13, MSG_WAITALL), 13);
    EXPECT_EQ(QByteArray(buf, 13), "XpInGpOnG\r\n\r\n");
    ASSERT_TRUE(SendAll(fds[1], "GET /nothing HTTP/1.1\r\nNEEDMORECONNECTS: 1\r\nREMOTE_ADDR: 203.0.113.9\r\n\r\n"));
    EXPECT_TRUE(ReadResponse(fds[1]).startsWith("HTTP/1.1 404 "));
    EXPECT_TRUE(MoreRelayEvent().IsSet());
    ASSERT_TRUE(SendAll(fds[1], "XPROXYEED\r\n\r\n"));
    served.join(); // the close line ended it
    close(fds[0]);
    close(fds[1]);
    std::lock_guard lock(SessionLock());
    SessionMap().clear();
}

// WeChat browsers reaching us from the Internet are sent through WeChat's authorisation
// first; from the school's network, or without a token, never.
TEST(WebRelayConnection, WeChatBrowsersFromTheInternetAreSentToAuthorise)
{
    int fds[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    timeval tv{5, 0};
    setsockopt(fds[1], SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    WebStopEvent().Reset();
    TempDatabase db; // the state's MAC key is kept in the settings
    InstallWxWebSeams();
    CFakeAppServices::Installed().setup[QStringLiteral("WxAppID")] = QStringLiteral("wx12 34");
    SetWebUrls(QString(), QStringLiteral("https://abc.relay.example"));
    std::thread served([&] { HttpConnThread(fds[0], XConnKind::Relay); });

    const QByteArray agent = "User-Agent: Mozilla/5.0 MicroMessenger/8.0\r\n";
    auto ask = [&](const QByteArray& from, const QByteArray& cookie) {
        SendAll(fds[1], "GET /nosuchpage HTTP/1.1\r\nREMOTE_ADDR: " + from + "\r\n" + agent + cookie + "\r\n");
        return ReadResponse(fds[1]);
    };
    EXPECT_TRUE(ask("203.0.113.9", "").startsWith("HTTP/1.1 404 ")); // no token yet
    UpdateWebServiceState([](WebServiceState& s) { s.wxAccessToken = QStringLiteral("token"); });
    const QByteArray sent = ask("203.0.113.9", "");
    EXPECT_TRUE(sent.startsWith("HTTP/1.1 302 Found\r\n")) << sent.constData();
    const QString browser = CookieId(sent);
    EXPECT_TRUE(IsGeneratedSessionId(browser));
    EXPECT_TRUE(sent.contains("\r\nLocation: https://open.weixin.qq.com/connect/oauth2/authorize?appid=wx12+34&"
                              "redirect_uri=https%3A%2F%2Fabc.relay.example/wxauth&response_type=code&"
                              "scope=snsapi_base&state=" +
                              MakeWxAuthState(browser).toLatin1() + "#wechat_redirect\r\n"))
        << sent.constData();
    EXPECT_TRUE(ask("192.168.1.5", "").startsWith("HTTP/1.1 404 "));
    EXPECT_TRUE(ask("172.20.0.1", "").startsWith("HTTP/1.1 404 "));
    // an id without this installation's MAC is no WeChat login: authorise again
    EXPECT_TRUE(ask("203.0.113.9", "Cookie: SESSIONID=wx_oABCDEFGHIJ\r\n").startsWith("HTTP/1.1 302 "));
    const QByteArray verified = "Cookie: SESSIONID=" + MakeWxSessionId(QStringLiteral("oABCDEFGHIJ")).toLatin1() + "\r\n";
    EXPECT_TRUE(ask("203.0.113.9", verified).startsWith("HTTP/1.1 404 "));

    SendAll(fds[1], "xproxyeed\r\n\r\n");
    served.join();
    close(fds[0]);
    close(fds[1]);
    UpdateWebServiceState([](WebServiceState& s) { s.wxAccessToken.clear(); });
    SetWebUrls(QString(), QString());
    RemoveWxWebSeams();
    CFakeAppServices::Installed().setup.clear();
    std::lock_guard lock(SessionLock());
    SessionMap().clear();
}

} // namespace
