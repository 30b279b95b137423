#include "Relay.h"
#include "SmsSender.h"

#include "CHttpSession.h"
#include "CMD5.h"
#include "CXItem.h"
#include "CXXmlDoc.h"
#include "HttpParse.h"
#include "OperLog.h"
#include "RecordConsts.h"
#include "Settings.h"
#include "Version.h"
#include "WebService.h"
#include "WebState.h"
#include "XAppServices.h"
#include "XDateTime.h"
#include "XThread.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QtCore/QDateTime>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

#ifndef LORVAN_RELAY_SERVER
#define LORVAN_RELAY_SERVER ""
#endif
#ifndef LORVAN_RELAY_DOMAIN
#define LORVAN_RELAY_DOMAIN ""
#endif

namespace xInternet {

const char kRelaySalt[] = "Tq8#Wm!2vZ^r4$Kp@9x&Ld*3(";

namespace {

using Clock = std::chrono::steady_clock;

// Waits are cut into slices so a stop event (a condition variable, not a descriptor) ends
// them within moments.
constexpr int kSliceMs = 50;
// A reply longer than this is nonsense (the status list of a busy relay is far smaller).
constexpr qsizetype kMaxReplyBytes = 4 * 1024 * 1024;

std::mutex g_relayLock; // the test override, making the id and the last address
XRelayServer g_override;
QString g_lastIpv4;
std::atomic<int> g_waitMs{kRelayWaitMs};

bool Stopped(const XEvent* stop) { return stop && stop->IsSet(); }

XRelayServer ParseServer(const QString& text, const QString& domain)
{
    XRelayServer s;
    QString host = text.trimmed();
    const qsizetype colon = host.lastIndexOf(u':');
    if (colon > 0) {
        bool ok = false;
        const int port = host.mid(colon + 1).toInt(&ok);
        if (ok && port > 0 && port < 65536) {
            s.port = port;
            host.truncate(colon);
        }
    }
    s.host = host;
    s.domain = domain.trimmed().isEmpty() ? host : domain.trimmed();
    return s;
}

void LogRelay(const QString& memo)
{
    const CXItem* admin = AppServices().Admin();
    WriteOperLog(OPER_PROXY, admin ? *admin : BuiltInAdmin(), 0, 0, memo, QString());
}

bool IsLowerHex32(const QString& text)
{
    if (text.size() != 32)
        return false;
    for (QChar c : text)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    return true;
}

QString EscapeAttribute(const QString& value)
{
    QString out = CXXmlDoc::EscapeXmlText(value, true);
    out.replace(QLatin1String("\r"), QLatin1String("&#13;"));
    out.replace(QLatin1String("\n"), QLatin1String("&#10;"));
    out.replace(QLatin1String("\t"), QLatin1String("&#9;"));
    return out;
}

int RemainingMs(Clock::time_point deadline)
{
    return static_cast<int>(
        std::max<long long>(0, std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count()));
}

// Waits for the events of the socket until the deadline or the stop; true when they came.
bool PollSocket(int socket, short events, Clock::time_point deadline, const XEvent* stop)
{
    for (;;) {
        if (Stopped(stop))
            return false;
        const int left = RemainingMs(deadline);
        if (left <= 0)
            return false;
        pollfd fd{socket, events, 0};
        const int n = poll(&fd, 1, std::min(left, kSliceMs));
        if (n < 0 && errno != EINTR)
            return false;
        if (n > 0)
            return true;
    }
}

// A parsed reply: its root "r" element.
struct XReply
{
    bool wellFormed = false;
    QString result;
    CXXmlDoc doc;
};

void ParseReply(QByteArray bytes, XReply& reply)
{
    if (bytes.endsWith("\r\n\r\n"))
        bytes.chop(4);
    if (bytes.isEmpty() || !reply.doc.SetDocText(QString::fromUtf8(bytes)) || !reply.doc.FindElement() ||
        reply.doc.GetTagName(reply.doc.m_nMainPos) != QLatin1String("r"))
        return;
    reply.wellFormed = true;
    reply.result = reply.doc.GetAttribute(reply.doc.m_nMainPos, QStringLiteral("result"));
}

enum class XCallFailure { None, Connect, Send, Reply };

// One function call on a connection of its own: connect, send, read one reply, close.
XCallFailure CallRelay(int func, const XRelayAttrs& attrs, XReply& reply)
{
    const XEvent* stop = IsUiThread() ? nullptr : &WebStopEvent();
    const int socket = RelayConnect(stop);
    if (socket < 0)
        return XCallFailure::Connect;
    if (SendRelayMessage(socket, BuildRelayMessage(func, attrs)) < 0) {
        close(socket);
        return XCallFailure::Send;
    }
    const QByteArray bytes = RelayReadReply(socket, stop);
    close(socket);
    ParseReply(bytes, reply);
    return reply.wellFormed ? XCallFailure::None : XCallFailure::Reply;
}

QString SetupText(const char* key) { return AppServices().SetupValue(QString::fromLatin1(key)).toString(); }

QString InternetUrlFor(bool https)
{
    const XRelayServer server = GetRelayServer();
    if (server.host.isEmpty() || server.domain.isEmpty())
        return QString();
    return (https ? QStringLiteral("https://") : QStringLiteral("http://")) + RelayInstallationId() + u'.' +
           server.domain;
}

// One pooled connection and the thread that serves it.
struct XPooled
{
    int socket = -1;
    std::thread thread;
    std::atomic<bool> done{false};
};

// How the pool's wait ended: the more-relay event, the program's clock passing the retry
// time, or the stop. A pool entry that finishes meanwhile is reaped without ending the wait,
// so the published count follows the pool promptly.
enum class XWaitEnd { More, TimedOut, Stop };

} // namespace

XRelayServer GetRelayServer()
{
    {
        std::lock_guard lock(g_relayLock);
        if (!g_override.host.isEmpty())
            return g_override;
    }
    const QByteArray env = qgetenv("LORVAN_RELAY_SERVER");
    const QByteArray envDomain = qgetenv("LORVAN_RELAY_DOMAIN");
    return ParseServer(env.isEmpty() ? QStringLiteral(LORVAN_RELAY_SERVER) : QString::fromUtf8(env),
                       envDomain.isEmpty() ? QStringLiteral(LORVAN_RELAY_DOMAIN) : QString::fromUtf8(envDomain));
}

void SetRelayServer(const XRelayServer& server)
{
    std::lock_guard lock(g_relayLock);
    g_override = server;
    if (g_override.domain.isEmpty())
        g_override.domain = server.host;
}

void SetRelayWaitLimit(int ms) { g_waitMs = ms > 0 ? ms : kRelayWaitMs; }

QString RelayInstallationId()
{
    // under the lock, so two threads asking at once cannot make two different ids
    std::lock_guard lock(g_relayLock);
    const QString section = QStringLiteral("Global");
    const QString key = QStringLiteral("RelayLtdID");
    QString id = ReadSetting(section, key, QString());
    if (!IsLowerHex32(id)) {
        unsigned char bytes[16];
        if (!FillRandom(bytes, sizeof bytes))
            return QString();
        id = QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes).toHex());
        WriteSetting(section, key, id);
    }
    return id;
}

QString RelayKey(const QString& ltdid, const QString& ts) { return Md5HexW(ltdid + ts + QLatin1String(kRelaySalt)); }

QString BuildRelayMessage(int func, const XRelayAttrs& attrs)
{
    const QString id = RelayInstallationId();
    const QString ts = QString::number(QDateTime::currentSecsSinceEpoch());
    XRelayAttrs all = {{QStringLiteral("func"), QString::number(func)},
                       {QStringLiteral("ver"), FormatVersion(GetOwnFileVersion())},
                       {QStringLiteral("ltdid"), id},
                       {QStringLiteral("ts"), ts},
                       {QStringLiteral("key"), RelayKey(id, ts)}};
    all.insert(all.end(), attrs.begin(), attrs.end());
    QString doc = QStringLiteral("<r");
    for (const auto& [name, value] : all)
        doc += u' ' + name + QStringLiteral("=\"") + EscapeAttribute(value) + u'"';
    return doc + QStringLiteral(" />");
}

QByteArray RelayWireForm(const QString& doc)
{
    QByteArray bytes = doc.toUtf8();
    while (bytes.contains("\r\n\r\n"))
        bytes.replace("\r\n\r\n", "\r\n");
    if (bytes.endsWith("\r\n"))
        bytes.chop(2);
    return bytes + "\r\n\r\n";
}

int RelayConnect(const XEvent* stop)
{
    const XRelayServer server = GetRelayServer();
    if (server.host.isEmpty() || Stopped(stop))
        return -1;
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(server.host.toUtf8().constData(), nullptr, &hints, &found) != 0 || !found)
        return -1;
    sockaddr_in addr = *reinterpret_cast<const sockaddr_in*>(found->ai_addr);
    freeaddrinfo(found);
    const auto first = static_cast<unsigned>(ntohl(addr.sin_addr.s_addr) >> 24);
    if (first == 0 || first == 255)
        return -1;
    addr.sin_port = htons(static_cast<uint16_t>(server.port));

    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (socket < 0)
        return -1;
    bool connected = connect(socket, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    if (!connected && errno == EINPROGRESS &&
        PollSocket(socket, POLLOUT, Clock::now() + std::chrono::milliseconds(g_waitMs), stop)) {
        int error = 0;
        socklen_t len = sizeof error;
        connected = getsockopt(socket, SOL_SOCKET, SO_ERROR, &error, &len) == 0 && error == 0;
    }
    if (!connected) {
        close(socket);
        return -1;
    }
    // the connection threads and the senders expect a blocking socket
    fcntl(socket, F_SETFL, fcntl(socket, F_GETFL) & ~O_NONBLOCK);
    const int one = 1;
    setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &addr.sin_addr, text, sizeof text);
    std::lock_guard lock(g_relayLock);
    g_lastIpv4 = QString::fromLatin1(text);
    return socket;
}

int SendRelayMessage(int socket, const QString& doc)
{
    const QByteArray bytes = RelayWireForm(doc);
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            send(socket, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return -1;
        sent += n;
    }
    return static_cast<int>(sent);
}

QByteArray RelayReadReply(int socket, const XEvent* stop)
{
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(g_waitMs);
    QByteArray in;
    char chunk[4096];
    while (!in.endsWith("\r\n\r\n") && in.size() < kMaxReplyBytes) {
        if (!PollSocket(socket, POLLIN, deadline, stop))
            break;
        // Peek, then take only through the end of the reply: on a pooled connection the
        // relay's first request may follow at once and belongs to the connection thread.
        const ssize_t seen = recv(socket, chunk, sizeof chunk, MSG_PEEK | MSG_DONTWAIT);
        if (seen < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        if (seen <= 0)
            break;
        QByteArray probe = in.right(3);
        const qsizetype carried = probe.size();
        probe.append(chunk, seen);
        const qsizetype end = probe.indexOf("\r\n\r\n");
        const qsizetype take = end >= 0 ? end + 4 - carried : seen;
        const ssize_t got = recv(socket, chunk, static_cast<size_t>(take), MSG_DONTWAIT);
        if (got <= 0)
            break;
        in.append(chunk, got);
    }
    return in;
}

QString RelayServerIpv4()
{
    std::lock_guard lock(g_relayLock);
    return g_lastIpv4;
}

QByteArray RelayHttpCall(const QString& url, const QByteArray& post)
{
    XReply reply;
    if (CallRelay(RELAY_HTTP, {{QStringLiteral("url"), url}, {QStringLiteral("post"), QString::fromUtf8(post)}},
                  reply) != XCallFailure::None ||
        reply.result != QLatin1String("OK"))
        return QByteArray();
    return reply.doc.GetText(reply.doc.m_nMainPos).toUtf8();
}

XSmsSend RelaySendSms(const QString& phone, const QString& code)
{
    XReply reply;
    switch (CallRelay(RELAY_SMS, {{QStringLiteral("Phone"), phone}, {QStringLiteral("code"), code}}, reply)) {
    case XCallFailure::Connect:
        return XSmsSend::NoConnection;
    case XCallFailure::None:
        return reply.result == QLatin1String("OK") ? XSmsSend::Sent : XSmsSend::Failed;
    default:
        return XSmsSend::Failed;
    }
}

QString QueryRelayStatus(const QString& password)
{
    XReply reply;
    switch (CallRelay(RELAY_STATUS, {{QStringLiteral("Md5Pwd"), Md5HexW(password)}}, reply)) {
    case XCallFailure::Connect:
        return QStringLiteral("<r result=\"无法解析代理服务器地址！\" />");
    case XCallFailure::Send:
        return QStringLiteral("<r result=\"向代理服务器发送连接请求失败！\" />");
    case XCallFailure::Reply:
        return QStringLiteral("<r result=\"代理服务器无响应或返回无效数据！\" />");
    case XCallFailure::None:
        break;
    }
    return reply.doc.GetDocText();
}

void SendRelayLeave()
{
    // the service has stopped: this one message is bounded by the wait limit only
    const int socket = RelayConnect(nullptr);
    if (socket < 0)
        return;
    SendRelayMessage(socket, BuildRelayMessage(RELAY_LEAVE, {}));
    close(socket);
}

XHook<void()>& RelayFirstJoinHook()
{
    static XHook<void()> hook;
    return hook;
}

XHook<void()>& RelayPoolEndHook()
{
    static XHook<void()> hook;
    return hook;
}

void RunRelayPool()
{
    const XEvent& stop = WebStopEvent();
    if (GetRelayServer().host.isEmpty()) {
        // no relay configured: the service serves the local network only
        while (!stop.Wait(std::chrono::milliseconds(1000))) {}
        return;
    }
    SetWebUrls(GetLocalUrl(), InternetUrlFor(GetWebServiceState().relayHttps != 0));

    std::list<std::unique_ptr<XPooled>> pool;
    int failures = 0;
    bool joined = false; // a join of this run has succeeded (the token thread runs)

    auto publish = [&pool] {
        std::lock_guard guard(WebStateLock());
        RelayConnections() = static_cast<int>(pool.size());
    };
    auto anyDone = [&pool] {
        for (const auto& p : pool)
            if (p->done)
                return true;
        return false;
    };
    // Once the stop is set the count stays as it was: the stop tells the relay to forget
    // the installation's connections when there were any.
    auto reap = [&pool, &publish, &stop] {
        if (stop.IsSet())
            return;
        for (auto it = pool.begin(); it != pool.end();) {
            if (!(*it)->done) {
                ++it;
                continue;
            }
            (*it)->thread.join();
            close((*it)->socket);
            it = pool.erase(it);
            LogRelay(QStringLiteral("1 个代理连接断开，余 %1 个。").arg(pool.size()));
        }
        publish();
    };

    for (;;) {
        reap();
        // The wait runs on the program's clock, so the back-off can be tested without waiting.
        const int waitMs = failures < 3 ? 10000 : 60000;
        const double began = XClock::Now().Day();
        const double deadline = began + waitMs / 86400000.0;
        XWaitEnd end = XWaitEnd::TimedOut;
        for (;;) {
            if (stop.IsSet()) {
                end = XWaitEnd::Stop;
                break;
            }
            if (MoreRelayEvent().Wait(std::chrono::milliseconds(kSliceMs))) {
                end = XWaitEnd::More;
                break;
            }
            // the clock is local time: set back (or a change of summer time) it ends the wait
            // rather than stretch it by the hour
            const double now = XClock::Now().Day();
            if (now >= deadline || now < began)
                break;
            if (anyDone())
                reap();
        }
        if (end == XWaitEnd::Stop || stop.IsSet())
            break;
        if (end == XWaitEnd::TimedOut && !pool.empty())
            continue;
        // A relay (or anyone who can reach a connection) may ask for more connections
        // without end; the pool stays within its cap.
        if (static_cast<int>(pool.size()) >= kMaxRelayPool)
            continue;

        const int number = static_cast<int>(pool.size()) + 1;
        QString failure;
        const int socket = RelayConnect(&stop);
        if (socket < 0) {
            failure = QStringLiteral("无法解析代理服务器地址。");
        } else {
            XRelayAttrs attrs{{QStringLiteral("reconnect"), joined ? QStringLiteral("0") : QStringLiteral("1")}};
            {
                std::lock_guard lock(AppServices().Mutex());
                attrs.emplace_back(QStringLiteral("LtdName"), SetupText("RecordName"));
                attrs.emplace_back(QStringLiteral("LtdSign"), SetupText("GroupName"));
                attrs.emplace_back(QStringLiteral("LtdLocation"), SetupText("LtdLocation"));
                attrs.emplace_back(QStringLiteral("LtdContact"), SetupText("LtdContact"));
                attrs.emplace_back(QStringLiteral("LtdTitle"), SetupText("LtdTitle"));
            }
            XReply reply;
            if (SendRelayMessage(socket, BuildRelayMessage(RELAY_JOIN, attrs)) < 0) {
                failure = QStringLiteral("发送连接请求失败。");
            } else {
                ParseReply(RelayReadReply(socket, &stop), reply);
                if (stop.IsSet()) {
                    close(socket);
                    break;
                }
                if (!reply.wellFormed)
                    failure = QStringLiteral("服务器无响应或返回无效数据。");
                else if (reply.result != QLatin1String("OK"))
                    failure = reply.result + u'。';
            }
            if (failure.isEmpty()) {
                const bool https = reply.doc.GetAttribute(reply.doc.m_nMainPos, QStringLiteral("Https")).toInt() != 0;
                UpdateWebServiceState([https](WebServiceState& s) { s.relayHttps = https ? 1 : 0; });
                SetWebUrls(GetLocalUrl(), InternetUrlFor(https));
                auto entry = std::make_unique<XPooled>();
                entry->socket = socket;
                XPooled* raw = entry.get();
                try {
                    entry->thread = std::thread([raw] {
                        HttpConnThread(raw->socket, XConnKind::Relay);
                        raw->done = true;
                    });
                } catch (const std::system_error&) {
                    close(socket);
                    failure = QStringLiteral("系统资源不足。");
                }
                if (failure.isEmpty()) {
                    pool.push_back(std::move(entry));
                    publish();
                    LogRelay(QStringLiteral("建立第 %1 个代理连接。").arg(pool.size()));
                    failures = 0;
                    if (!joined) {
                        joined = true;
                        RelayFirstJoinHook()();
                    }
                    continue;
                }
            } else {
                close(socket);
            }
        }
        // a run of failures is logged by its first only
        if (failures++ == 0)
            LogRelay(QStringLiteral("未能建立第 %1 个代理连接：%2").arg(number).arg(failure));
    }

    for (auto& p : pool)
        shutdown(p->socket, SHUT_RDWR);
    for (auto& p : pool) {
        p->thread.join();
        close(p->socket);
    }
    if (joined)
        RelayPoolEndHook()();
}

} // namespace xInternet
