// The relay link against a fake relay on loopback: joining the pool, requests pushed down it,
// the one-shot calls, the back-off on the program's clock, the stop, and what a connection
// from the school's network may not do.
#include "CDBOperLog.h"
#include "CFakeAppServices.h"
#include "CHttpRequest.h"
#include "CMD5.h"
#include "CXDBSession.h"
#include "RecordConsts.h"
#include "CXXmlDoc.h"
#include "DbTestSupport.h"
#include "FakeRelay.h"
#include "OpenDatabase.h"
#include "Relay.h"
#include "SmsSender.h"
#include "Settings.h"
#include "WebService.h"
#include "WebState.h"
#include "XDateTime.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QtCore/QDateTime>
#include <QtCore/QRegularExpression>

#include <chrono>
#include <thread>

using namespace xInternet;
using namespace std::chrono_literals;

namespace {

// Polls (real time) until pred holds, at most the limit.
template <class F> bool Eventually(F pred, std::chrono::milliseconds limit = 5s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

int PublishedRelays()
{
    std::lock_guard guard(WebStateLock());
    return RelayConnections();
}

int OperLogRows(const QString& memoPattern)
{
    return static_cast<int>(
        QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1 AND OperMemo LIKE '%2'")
                        .arg(OPER_PROXY)
                        .arg(memoPattern)));
}

// A request head as the relay forwards it; the test's resource handler answers with the
// client address the program took for the request.
QByteArray RelayedGet(const QByteArray& extra = QByteArray())
{
    return "GET /whoami HTTP/1.1\r\nHost: x\r\n" + extra + "\r\n";
}

class Relay : public ::testing::Test
{
protected:
    void SetUp() override
    {
        {
            CXDBSession session;
            session.Connect();
            ASSERT_TRUE(MarkWritableColumns(session, *CDBOperLog::StaticHeads()));
        }
        SetRelayServer({QStringLiteral("127.0.0.1"), m_relay.Port(), QStringLiteral("relay.test")});
        m_previousLoop = RelayPoolLoop().Install(RunRelayPool);
        m_previousFiles = StaticFileHandler().Install([](CHttpRequest& r) {
            const QByteArray body = r.m_user.m_strIP.toUtf8();
            if (r.WriteHttpResponse(200, body.size(), "text/plain", CACHE_NONE, QString()) > 0)
                r.SendBytes(body);
        });
    }
    void TearDown() override
    {
        StopWebService();
        RelayPoolLoop().Install(m_previousLoop);
        StaticFileHandler().Install(m_previousFiles);
        SetRelayServer({});
        SetRelayWaitLimit(0);
        XClock::Reset();
    }
    void StartAndJoin(int joins = 1)
    {
        StartWebService();
        ASSERT_TRUE(m_relay.WaitUntil([&] { return static_cast<int>(m_relay.PoolSize()) >= joins; }));
        ASSERT_TRUE(Eventually([&] { return PublishedRelays() == joins; }));
    }

    TempDatabase m_db;
    FakeRelay m_relay;
    std::function<void()> m_previousLoop;
    std::function<void(CHttpRequest&)> m_previousFiles;
};

} // namespace

TEST(RelayMessage, WireFormSignatureAndEscapedValues)
{
    TempDatabase db;
    struct Case
    {
        QString doc;
        QByteArray wire;
    } cases[] = {
        {QStringLiteral("<r a=\"1\" />"), "<r a=\"1\" />\r\n\r\n"},
        {QStringLiteral("<r a=\"1\" />\r\n"), "<r a=\"1\" />\r\n\r\n"},
        {QStringLiteral("<r>\r\n\r\n\r\n\r\nx</r>\r\n\r\n"), "<r>\r\nx</r>\r\n\r\n"},
        {QStringLiteral("<r n=\"音乐\" />"), QStringLiteral("<r n=\"音乐\" />\r\n\r\n").toUtf8()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RelayWireForm(c.doc), c.wire) << c.doc.toStdString();

    EXPECT_EQ(RelayKey(QStringLiteral("L"), QStringLiteral("T")),
              Md5HexW(QStringLiteral("LTTq8#Wm!2vZ^r4$Kp@9x&Ld*3(")));
    EXPECT_NE(RelayKey(QStringLiteral("L"), QStringLiteral("100")),
              RelayKey(QStringLiteral("L"), QStringLiteral("101")));

    // The installation id is random, made once and kept in the settings.
    const QString id = RelayInstallationId();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9a-f]{32}$")).match(id).hasMatch()) << id.toStdString();
    EXPECT_EQ(ReadSetting(QStringLiteral("Global"), QStringLiteral("RelayLtdID"), QString()), id);

    // A value with a blank line, quotes and markup survives the wire form whole.
    const QString post = QStringLiteral("a=1\r\n\r\n<b>\"&'\r\nend\n");
    const QByteArray wire = RelayWireForm(BuildRelayMessage(RELAY_HTTP, {{QStringLiteral("post"), post}}));
    EXPECT_EQ(wire.indexOf("\r\n\r\n"), wire.size() - 4);
    CXXmlDoc doc;
    ASSERT_TRUE(doc.SetDocText(QString::fromUtf8(wire)));
    ASSERT_TRUE(doc.FindElement());
    EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("post")), post);
    EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("func")), QStringLiteral("3"));
    EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("ltdid")), id);
    const QString ts = doc.GetAttribute(doc.m_nMainPos, QStringLiteral("ts"));
    EXPECT_NEAR(ts.toLongLong(), QDateTime::currentSecsSinceEpoch(), 5);
    EXPECT_EQ(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("key")), RelayKey(id, ts));
}

TEST(RelayCalls, FailWithoutAUsableRelay)
{
    TempDatabase db;
    SetRelayWaitLimit(300);
    struct Case
    {
        const char* host;
        const char* status;
    } cases[] = {
        {"0.0.0.0", "<r result=\"无法解析代理服务器地址！\" />"},
        {"255.255.255.255", "<r result=\"无法解析代理服务器地址！\" />"},
        {"no-such-host.invalid", "<r result=\"无法解析代理服务器地址！\" />"},
    };
    for (const Case& c : cases) {
        SetRelayServer({QString::fromLatin1(c.host), 6162, QString()});
        EXPECT_EQ(RelayConnect(nullptr), -1) << c.host;
        EXPECT_EQ(QueryRelayStatus(QStringLiteral("x")), QString::fromUtf8(c.status)) << c.host;
        EXPECT_TRUE(RelayHttpCall(QStringLiteral("https://api.example/x"), QByteArray()).isEmpty());
        EXPECT_EQ(RelaySendSms(QStringLiteral("13800000000"), QStringLiteral("1234")), XSmsSend::NoConnection);
    }

    // a relay that takes the connection and never answers: the call gives up at the limit
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    socklen_t len = sizeof addr;
    getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len);
    SetRelayServer({QStringLiteral("127.0.0.1"), ntohs(addr.sin_port), QString()});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(QueryRelayStatus(QStringLiteral("x")),
              QStringLiteral("<r result=\"代理服务器无响应或返回无效数据！\" />"));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 250ms);
    EXPECT_LT(took, 3s);
    close(listener);
    SetRelayServer({});
    SetRelayWaitLimit(0);
}

TEST_F(Relay, OneShotCallsAreSignedAndRelayed)
{
    m_relay.httpHandler = [](const QString& url, const QString& post) { return ("got " + url + "|" + post).toUtf8(); };
    const QByteArray post = "{\"a\":1}\r\n\r\nsecond part\r\n";
    EXPECT_EQ(RelayHttpCall(QStringLiteral("https://api.example/cgi?x=1&y=2"), post),
              "got https://api.example/cgi?x=1&y=2|" + post);
    EXPECT_EQ(RelayHttpCall(QStringLiteral("https://api.example/get"), QByteArray()), "got https://api.example/get|");
    m_relay.httpHandler = nullptr;
    EXPECT_TRUE(RelayHttpCall(QStringLiteral("https://api.example/x"), QByteArray()).isEmpty()); // result not OK

    EXPECT_EQ(RelaySendSms(QStringLiteral("13800000000"), QStringLiteral("4821")), XSmsSend::Sent);
    m_relay.smsResult = QStringLiteral("余额不足");
    EXPECT_EQ(RelaySendSms(QStringLiteral("13800000001"), QStringLiteral("4822")), XSmsSend::Failed);

    EXPECT_EQ(QueryRelayStatus(QStringLiteral("wrong")), QStringLiteral("<r result=\"密码错误！\" />"));
    m_relay.srvStart = 1700000000;
    m_relay.statusClients = QStringLiteral("<client LtdID=\"ab\" Connects=\"2\" />");
    const QString status = QueryRelayStatus(QStringLiteral("relaypw"));
    EXPECT_TRUE(status.startsWith(QStringLiteral("<r result=\"OK\" SrvStart=\"1700000000\"><clients><client")))
        << status.toStdString();

    ASSERT_TRUE(m_relay.WaitUntil([&] { return m_relay.Count(2) == 2; }));
    const auto messages = m_relay.Messages();
    ASSERT_EQ(messages.size(), 7u);
    for (const auto& m : messages)
        EXPECT_TRUE(m.keyOk) << m.Attr("func").toStdString();
    EXPECT_EQ(messages[0].Attr("post"), QString::fromUtf8(post));
    EXPECT_EQ(messages[3].Attr("Phone"), QStringLiteral("13800000000"));
    EXPECT_EQ(messages[3].Attr("code"), QStringLiteral("4821"));
    EXPECT_EQ(messages[5].Attr("Md5Pwd"), Md5HexW(QStringLiteral("wrong")));
    EXPECT_EQ(RelayServerIpv4(), QStringLiteral("127.0.0.1"));
}

TEST_F(Relay, JoinsAndServesPushedRequestsWithTheClientsAddress)
{
    CFakeAppServices::Installed().setup[QStringLiteral("RecordName")] = QStringLiteral("晨曦音乐学校");
    CFakeAppServices::Installed().setup[QStringLiteral("GroupName")] = QStringLiteral("晨曦");
    StartAndJoin();
    const auto join = m_relay.Messages().at(0);
    EXPECT_TRUE(join.keyOk);
    EXPECT_EQ(join.Attr("func"), QStringLiteral("0"));
    EXPECT_EQ(join.Attr("reconnect"), QStringLiteral("1"));
    EXPECT_EQ(join.Attr("LtdName"), QStringLiteral("晨曦音乐学校"));
    EXPECT_EQ(join.Attr("LtdSign"), QStringLiteral("晨曦"));
    // the public address: the installation id under the relay's domain, HTTPS as joined
    EXPECT_EQ(GetInternetUrl(), QStringLiteral("https://") + RelayInstallationId() + QStringLiteral(".relay.test"));
    EXPECT_EQ(GetWebServiceState().relayHttps, 1);

    // the relay's client address is the request's; the ping comes back byte for byte
    QByteArray answer = m_relay.Push(0, RelayedGet("REMOTE_ADDR: 203.0.113.7\r\n"));
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 200 ")) << answer.constData();
    EXPECT_TRUE(answer.endsWith("\r\n\r\n203.0.113.7")) << answer.constData();
    EXPECT_TRUE(answer.contains("; Secure")) << answer.constData(); // the relay serves it over HTTPS
    EXPECT_EQ(m_relay.Push(0, "XpInGpOnG\r\n\r\n", 13), "XpInGpOnG\r\n\r\n");
    answer = m_relay.Push(0, RelayedGet());
    EXPECT_TRUE(answer.endsWith("\r\n\r\n127.0.0.1")) << answer.constData(); // no header: the peer

    // a request asking for more connections brings a second join, marked as a reconnect
    m_relay.Push(0, RelayedGet("NEEDMORECONNECTS: 1\r\n"));
    ASSERT_TRUE(m_relay.WaitUntil([&] { return m_relay.PoolSize() == 2; }));
    EXPECT_EQ(m_relay.Messages().at(1).Attr("reconnect"), QStringLiteral("0"));
    CFakeAppServices::Installed().setup.erase(QStringLiteral("RecordName"));
    CFakeAppServices::Installed().setup.erase(QStringLiteral("GroupName"));
    EXPECT_TRUE(Eventually([] { return PublishedRelays() == 2; }));
    EXPECT_TRUE(m_relay.Push(1, RelayedGet("REMOTE_ADDR: 198.51.100.2\r\n")).endsWith("198.51.100.2"));

    // the close line ends that connection; the pool notices and logs it
    m_relay.Push(1, "xproxyeed\r\n\r\n", 0 /* no answer: read fails at close */);
    EXPECT_TRUE(m_relay.PoolClosed(1));
    EXPECT_TRUE(Eventually([] { return PublishedRelays() == 1; }));
    EXPECT_TRUE(Eventually([] { return OperLogRows(QStringLiteral("1 个代理连接断开，余 1 个。")) == 1; }));
    EXPECT_EQ(OperLogRows(QStringLiteral("建立第 _ 个代理连接。")), 2);
}

TEST_F(Relay, ControlLinesMeanNothingOnALocalConnection)
{
    StartAndJoin();
    int port = 0;
    ASSERT_TRUE(Eventually([&] { return (port = GetWebServiceState().port) != 0; }));
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    timeval tv{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    const QByteArray request = "xPiNgPoNg\r\n\r\nGET /whoami HTTP/1.1\r\nREMOTE_ADDR: 203.0.113.7\r\n"
                               "NEEDMORECONNECTS: 5\r\n\r\n";
    ASSERT_EQ(send(fd, request.constData(), static_cast<size_t>(request.size()), MSG_NOSIGNAL), request.size());
    QByteArray in;
    char buf[1024];
    while (!in.endsWith("127.0.0.1")) {
        const ssize_t n = recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        in.append(buf, n);
    }
    close(fd);
    // no echo of the ping, the address is the socket's, and no more relay connections
    EXPECT_TRUE(in.startsWith("HTTP/1.1 200 ")) << in.constData();
    EXPECT_TRUE(in.endsWith("\r\n\r\n127.0.0.1")) << in.constData();
    EXPECT_FALSE(in.contains("Secure")) << in.constData();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(m_relay.PoolSize(), 1);
    EXPECT_EQ(m_relay.Accepted(), 1);
}

TEST_F(Relay, ThePoolStaysWithinItsCap)
{
    StartAndJoin();
    for (int n = 1; n < kMaxRelayPool; ++n) {
        m_relay.Push(0, RelayedGet("NEEDMORECONNECTS: 1\r\n"));
        ASSERT_TRUE(m_relay.WaitUntil([&] { return m_relay.PoolSize() == n + 1; })) << n;
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(m_relay.Push(i, RelayedGet("NEEDMORECONNECTS: 1\r\n")).startsWith("HTTP/1.1 200 "));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(m_relay.Accepted(), kMaxRelayPool);
    EXPECT_TRUE(Eventually([] { return PublishedRelays() == kMaxRelayPool; }));
}

TEST_F(Relay, FailedJoinsBackOffOnTheProgramsClock)
{
    const XDateTime t0(2026, 3, 2, 9, 0, 0);
    XClock::SetFixed(t0);
    m_relay.joinResult = QStringLiteral("未授权的安装");
    StartWebService();
    const auto attempts = [&](int n) { return m_relay.WaitUntil([&] { return m_relay.Count(0) == n; }, 2s); };
    const auto noMoreThan = [&](int n) {
        std::this_thread::sleep_for(200ms);
        return m_relay.Count(0) == n;
    };
    ASSERT_TRUE(attempts(1)); // at once on start
    EXPECT_TRUE(noMoreThan(1));
    XClock::SetFixed(t0.AddDays(9.0 / 86400));
    EXPECT_TRUE(noMoreThan(1));
    XClock::SetFixed(t0.AddDays(10.5 / 86400)); // ten seconds after the failure
    ASSERT_TRUE(attempts(2));
    EXPECT_TRUE(noMoreThan(2));
    XClock::SetFixed(t0.AddDays(21.0 / 86400));
    ASSERT_TRUE(attempts(3));
    EXPECT_TRUE(noMoreThan(3));
    // three failures in a row: a minute now
    XClock::SetFixed(t0.AddDays(40.0 / 86400));
    EXPECT_TRUE(noMoreThan(3));
    XClock::SetFixed(t0.AddDays(82.0 / 86400));
    ASSERT_TRUE(attempts(4));
    EXPECT_TRUE(noMoreThan(4));
    // a clock set back (summer time ends) ends the wait rather than stretch it by the hour
    XClock::SetFixed(t0.AddDays(50.0 / 86400));
    ASSERT_TRUE(attempts(5));
    EXPECT_TRUE(noMoreThan(5));
    EXPECT_EQ(PublishedRelays(), 0);
    // only the first failure of the run is logged, with the relay's reason
    EXPECT_TRUE(Eventually([] { return OperLogRows(QStringLiteral("未能建立%")) == 1; }));
    EXPECT_EQ(OperLogRows(QStringLiteral("未能建立第 1 个代理连接：未授权的安装。")), 1);

    // the relay takes us again: the next try joins and the count of failures starts over
    m_relay.joinResult = QStringLiteral("OK");
    XClock::SetFixed(t0.AddDays(143.0 / 86400));
    ASSERT_TRUE(m_relay.WaitUntil([&] { return m_relay.PoolSize() == 1; }, 2s));
    EXPECT_TRUE(Eventually([] { return PublishedRelays() == 1; }));
}

TEST_F(Relay, StoppingLeavesTheRelayAndClosesThePool)
{
    StartAndJoin();
    const auto start = std::chrono::steady_clock::now();
    StopWebService();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
    EXPECT_TRUE(m_relay.PoolClosed(0));
    EXPECT_TRUE(m_relay.WaitUntil([&] { return m_relay.Count(1) == 1; }));
    EXPECT_EQ(PublishedRelays(), 0);

    // a relay that never answers the join does not hold the stop up either
    m_relay.joinSilent = true;
    StartWebService();
    ASSERT_TRUE(m_relay.WaitUntil([&] { return m_relay.Count(0) == 2; }));
    const auto again = std::chrono::steady_clock::now();
    StopWebService();
    EXPECT_LT(std::chrono::steady_clock::now() - again, 2s);
    EXPECT_EQ(m_relay.Count(1), 1); // nothing joined, so nothing to leave
}
