#include "WebService.h"
#include "WebRoutes.h"

#include "CHttpRequest.h"
#include "CDBSetup.h"
#include "CHttpSession.h"
#include "CXItem.h"
#include "OperLog.h"
#include "Relay.h"
#include "RecordConsts.h"
#include "WebLogins.h"
#include "WebState.h"
#include "WxSession.h"
#include "XAppServices.h"
#include "XThread.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <malloc.h>
#include <net/if.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <list>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace xInternet {

namespace {

using Clock = std::chrono::steady_clock;

// The stop signal the sockets are polled with: an eventfd that becomes readable, and stays
// so, when the service stops.
std::atomic<int> g_stopFd{-1};
std::mutex g_controlLock; // start and stop
std::thread g_serviceThread;
std::atomic<int> g_firstPort{8080};
std::atomic<int> g_lastPort{9001};
std::atomic<int> g_liveConnections{0};

// Each connection thread builds its pages in a heap arena of the C library, which keeps what a
// busy moment made it take: 200 phones at once left the program holding 2.3 GB while idle, half
// of it free. (Fewer arenas would keep less, but cost the pages a third of their speed.)
// When the last connection ends the free memory goes back to the system; while others still
// run (pooled relay connections stay open) at most every few seconds, so that a stream of
// short connections does not pay for it each time.
void GiveBackFreeMemory(bool lastConnection)
{
    static std::atomic<long long> s_last{0};
    const long long now =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
    long long last = s_last.load();
    if (!lastConnection && (now - last < 5 || !s_last.compare_exchange_strong(last, now)))
        return;
    s_last = now;
    malloc_trim(0);
}

// Counts a connection thread while it runs.
struct XLiveCount
{
    XLiveCount() { ++g_liveConnections; }
    ~XLiveCount() { GiveBackFreeMemory(--g_liveConnections == 0); }
};

void LogProxy(const QString& memo)
{
    if (const CXItem* admin = AppServices().Admin())
        WriteOperLog(OPER_PROXY, *admin, 0, 0, memo, QString());
    else
        WriteOperLog(OPER_PROXY, BuiltInAdmin(), 0, 0, memo, QString());
}

bool StopRequested() { return WebStopEvent().IsSet(); }

// Reads requests off one socket into a buffer, so a head costs a few receives rather than
// one per byte.
class XConnReader
{
public:
    enum Result { Ok, Closed, TimedOut, Stopped, TooLarge, LineTooLong };

    explicit XConnReader(int socket) : m_socket(socket) {}

    // A complete head (through CR LF CR LF). Waiting for its first byte gives up after the
    // idle limit; once it has begun it must be complete within the head deadline.
    Result ReadHead(QByteArray& head, Clock::time_point idleSince)
    {
        Clock::time_point deadline = idleSince + std::chrono::milliseconds(kIdleLimitMs);
        bool begun = !m_buf.isEmpty();
        if (begun)
            deadline = std::min(deadline, Clock::now() + std::chrono::milliseconds(kHeadDeadlineMs));
        qsizetype searched = 0;
        for (;;) {
            const qsizetype end = m_buf.indexOf("\r\n\r\n", std::max<qsizetype>(0, searched - 3));
            if (end >= 0) {
                if (end + 4 > kMaxHeadBytes)
                    return TooLarge;
                head = m_buf.left(end + 4);
                m_buf.remove(0, end + 4);
                return Ok;
            }
            searched = m_buf.size();
            if (m_buf.size() > kMaxHeadBytes)
                return TooLarge;
            if (m_buf.size() > kMaxRequestLineBytes && !m_buf.left(kMaxRequestLineBytes + 2).contains("\r\n"))
                return LineTooLong;
            const Result r = Fill(deadline);
            if (r != Ok)
                return r;
            if (!begun) {
                begun = true;
                deadline = std::min(deadline, Clock::now() + std::chrono::milliseconds(kHeadDeadlineMs));
            }
        }
    }

    // Exactly n body bytes; each receive must come within the head deadline of the last.
    Result ReadBody(qint64 n, QByteArray& body)
    {
        while (m_buf.size() < n) {
            const Result r = Fill(Clock::now() + std::chrono::milliseconds(kHeadDeadlineMs));
            if (r != Ok)
                return r;
        }
        body = m_buf.left(static_cast<qsizetype>(n));
        m_buf.remove(0, static_cast<qsizetype>(n));
        return Ok;
    }

private:
    Result Fill(Clock::time_point deadline)
    {
        for (;;) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0)
                return TimedOut;
            const int stop = g_stopFd;
            pollfd fds[2] = {{m_socket, POLLIN, 0}, {stop, POLLIN, 0}};
            const int n = poll(fds, stop >= 0 ? 2 : 1, static_cast<int>(std::min<long long>(left, 1000)));
            if (n < 0 && errno != EINTR)
                return Closed;
            if (StopRequested())
                return Stopped;
            if (n <= 0)
                continue;
            if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
                char chunk[16384];
                const ssize_t got = recv(m_socket, chunk, sizeof chunk, 0);
                if (got < 0 && (errno == EINTR || errno == EAGAIN))
                    continue;
                // the peer closed (or the connection broke): nothing more will come
                if (got <= 0)
                    return Closed;
                m_buf.append(chunk, got);
                return Ok;
            }
        }
    }

    int m_socket;
    QByteArray m_buf;
};

// Answers a refused request and tells the loop to close the connection.
void Refuse(int socket, int status)
{
    CHttpRequest answer(socket);
    answer.WriteHttpResponse(status, 0, QByteArray(), CACHE_NONE, QString());
}

QString PeerAddress(int socket)
{
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    if (getpeername(socket, reinterpret_cast<sockaddr*>(&addr), &len) != 0 || addr.sin_family != AF_INET)
        return QString();
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &addr.sin_addr, text, sizeof text);
    return QString::fromLatin1(text);
}

// Percent-encoding of the redirect address for the WeChat authorisation page.
QString EncodeForQuery(const QString& text)
{
    QString out;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'-' ||
            c == u'.' || c == u'_' || c == u'~')
            out += ch;
        else if (c == u' ')
            out += u'+';
        else
            out += QStringLiteral("%%1").arg(c & 0xFF, 2, 16, QLatin1Char('0')).toUpper();
    }
    return out;
}

// Finds or makes the request's session and puts its current identity into the request.
void AttachSession(CHttpRequest& request)
{
    QString id = QString::fromUtf8(GetHeaderValue(request.m_strHead, "SESSIONID="));
    // Only ids of our own forms: anything else would reach the log's SQL and the pages.
    if (!id.isEmpty() && !IsGeneratedSessionId(id) && !(IsWeChatSessionIdForm(id) && WxSessionVerifier()(id)))
        id.clear();
    const QString address = request.m_user.m_strIP;
    std::lock_guard lock(SessionLock());
    auto& map = SessionMap();
    if (!id.isEmpty()) {
        auto it = map.find(id);
        if (it != map.end()) {
            request.m_user.m_strSession = id;
            it->second->Touch();
            if (CXItem* current = it->second->GetCurrent()) {
                current->CopyTo(&request.m_user);
                if (request.m_user.m_strIP.isEmpty())
                    request.m_user.m_strIP = address;
            }
            return;
        }
        // a WeChat id (verified above) names its user's session even before it exists
        if (!IsGeneratedSessionId(id)) {
            request.m_user.m_strSession = id;
            MakeRoomForSession();
            map.emplace(id, std::make_unique<CHttpSession>());
            return;
        }
    }
    id = GenerateSessionId();
    if (id.isEmpty())
        return;
    request.m_user.m_strSession = id;
    MakeRoomForSession();
    map.emplace(id, std::make_unique<CHttpSession>());
}

// The WeChat part of a request from the Internet; true when it answered the request.
bool HandleWeChat(CHttpRequest& request)
{
    if (IsPrivateAddress(request.m_user.m_strIP) || GetWxAccessToken().isEmpty())
        return false;
    if (request.m_strPath.compare(QLatin1String("wxauth"), Qt::CaseInsensitive) == 0) {
        if (!WxAuthRoute())
            return false;
        WxAuthRoute()(request);
        return true;
    }
    const bool weChatBrowser = GetHeaderValue(request.m_strHead, "User-Agent:").toLower().contains("micromessenger");
    const QString& cookie = request.m_user.m_strSession;
    if (!weChatBrowser || (IsWeChatSessionIdForm(cookie) && WxSessionVerifier()(cookie)))
        return false;
    // The authorisation's state is bound to the browser's session id, which the redirect
    // gives it when it has none of ours yet.
    if (!IsGeneratedSessionId(cookie))
        request.m_user.m_strSession = GenerateSessionId();
    QString appId;
    {
        std::lock_guard lock(AppServices().Mutex());
        appId = AppServices().SetupValue(QStringLiteral("WxAppID")).toString();
    }
    const QString target = QStringLiteral("https://open.weixin.qq.com/connect/oauth2/authorize?appid=%1&redirect_uri=%2"
                                          "/wxauth&response_type=code&scope=snsapi_base&state=%3#wechat_redirect")
                               .arg(EncodeForQuery(appId), EncodeForQuery(GetInternetUrl()),
                                    MakeWxAuthState(request.m_user.m_strSession));
    request.WriteHttpResponse(302, 0, QByteArray(), CACHE_NONE, target);
    return true;
}

// The route table: the routes of every area of the web client. Paths are unique, so the
// order of the areas does not matter.
const std::vector<XRoute>& Routes()
{
    static const std::vector<XRoute> routes = [] {
        std::vector<XRoute> all;
        for (const auto* area : {&AccountRoutes(), &ResourceRoutes(), &QueryRoutes(), &EditRoutes(), &MessageRoutes()})
            all.insert(all.end(), area->begin(), area->end());
        return all;
    }();
    return routes;
}

struct XConnection
{
    int socket = -1;
    std::thread thread;
    std::atomic<bool> done{false};
};

void HttpListenThread(int listener)
{
    std::list<std::unique_ptr<XConnection>> connections;
    auto reap = [&connections] {
        for (auto it = connections.begin(); it != connections.end();) {
            if (!(*it)->done) {
                ++it;
                continue;
            }
            (*it)->thread.join();
            close((*it)->socket);
            it = connections.erase(it);
        }
    };
    while (!StopRequested()) {
        reap();
        pollfd fds[2] = {{listener, POLLIN, 0}, {g_stopFd, POLLIN, 0}};
        const int n = poll(fds, 2, 1000);
        if (StopRequested())
            break;
        if (n <= 0 || !(fds[0].revents & POLLIN)) {
            if (fds[0].revents & (POLLERR | POLLNVAL))
                break;
            continue;
        }
        const int socket = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket < 0)
            continue;
        const int one = 1;
        setsockopt(socket, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        if (static_cast<int>(connections.size()) >= kMaxConnections) {
            reap();
            if (static_cast<int>(connections.size()) >= kMaxConnections) {
                Refuse(socket, 503);
                close(socket);
                continue;
            }
        }
        auto conn = std::make_unique<XConnection>();
        conn->socket = socket;
        XConnection* raw = conn.get();
        try {
            conn->thread = std::thread([raw] {
                HttpConnThread(raw->socket, XConnKind::Local);
                raw->done = true;
            });
        } catch (const std::system_error&) {
            Refuse(socket, 503);
            close(socket);
            continue;
        }
        connections.push_back(std::move(conn));
    }
    // Blocked receives return once their sockets are shut down; the stop event ends the rest.
    for (auto& conn : connections)
        shutdown(conn->socket, SHUT_RDWR);
    for (auto& conn : connections) {
        conn->thread.join();
        close(conn->socket);
    }
}

void WebServiceThread()
{
    LoadHttpSessions();

    int listener = -1;
    int port = 0;
    for (int p = g_firstPort; p <= g_lastPort && !StopRequested(); ++p) {
        listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (listener < 0)
            break;
        const int one = 1;
        setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_ANY);
        addr.sin_port = htons(static_cast<uint16_t>(p));
        if (bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 && listen(listener, SOMAXCONN) == 0) {
            port = p;
            break;
        }
        close(listener);
        listener = -1;
    }
    std::thread listenThread;
    if (port) {
        UpdateWebServiceState([port](WebServiceState& s) { s.port = port; });
        const QString ip = GetLocalIpv4();
        SetWebUrls(ip.isEmpty() ? QString() : QStringLiteral("http://%1:%2").arg(ip).arg(port), GetInternetUrl());
        listenThread = std::thread(HttpListenThread, listener);
    } else if (!StopRequested()) {
        LogProxy(QStringLiteral("启动本地 HTTP 服务失败！"));
    }

    if (RelayPoolLoop()) {
        RelayPoolLoop()();
    } else {
        pollfd fd{g_stopFd, POLLIN, 0};
        while (!StopRequested())
            poll(&fd, 1, 1000);
    }

    if (listenThread.joinable()) {
        shutdown(listener, SHUT_RDWR);
        listenThread.join();
    }
    if (listener >= 0)
        close(listener);
    std::lock_guard lock(SessionLock());
    SessionMap().clear();
}

} // namespace

XEvent& MoreRelayEvent()
{
    static XEvent event(false, true);
    return event;
}

XHook<bool(const QString&)>& WxSessionVerifier()
{
    static XHook<bool(const QString&)> hook;
    return hook;
}

XHook<void(CHttpRequest&)>& WxAuthRoute()
{
    static XHook<void(CHttpRequest&)> hook;
    return hook;
}

XHook<void()>& RelayPoolLoop()
{
    static XHook<void()> hook;
    return hook;
}

void SetWebPortRange(int first, int last)
{
    g_firstPort = first;
    g_lastPort = last;
}

QString GetLocalIpv4()
{
    ifaddrs* list = nullptr;
    if (getifaddrs(&list) != 0)
        return QString();
    QString found;
    for (ifaddrs* a = list; a && found.isEmpty(); a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || !(a->ifa_flags & IFF_UP) ||
            (a->ifa_flags & IFF_LOOPBACK))
            continue;
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(a->ifa_addr)->sin_addr, text, sizeof text);
        if (IsUsableIpv4(QString::fromLatin1(text)))
            found = QString::fromLatin1(text);
    }
    freeifaddrs(list);
    return found;
}

void DispatchRequest(CHttpRequest& request)
{
    for (const XRoute& route : Routes()) {
        if (request.m_strPath.compare(QLatin1String(route.path), Qt::CaseInsensitive) != 0)
            continue;
        if (route.changesState && !request.AcceptStateChange())
            return;
        (request.*route.handler)();
        return;
    }
    request.OnStaticFile();
}

int LiveWebConnections() { return g_liveConnections; }

void HttpConnThread(int socket, XConnKind kind)
{
    const XLiveCount live;
    if (StopRequested())
        return;
    XConnReader reader(socket);
    Clock::time_point lastActivity = Clock::now();
    for (;;) {
        QByteArray head;
        switch (reader.ReadHead(head, lastActivity)) {
        case XConnReader::Ok:
            break;
        case XConnReader::TooLarge:
            Refuse(socket, 431);
            return;
        case XConnReader::LineTooLong:
            Refuse(socket, 414);
            return;
        default:
            return;
        }
        lastActivity = Clock::now();

        if (kind == XConnKind::Relay) {
            if (head.compare("xPiNgPoNg\r\n\r\n", Qt::CaseInsensitive) == 0) {
                CHttpRequest(socket).SendBytes(head);
                continue;
            }
            if (head.compare("xPrOxYeEd\r\n\r\n", Qt::CaseInsensitive) == 0)
                return;
            if (GetHeaderInt(head, "NEEDMORECONNECTS:", 0) != 0)
                MoreRelayEvent().Set();
        }

        XRequestHead parsed;
        int status = 0;
        const XHeadVerdict verdict = ParseRequestHead(head, parsed, status);
        if (verdict == XHeadVerdict::RejectClose) {
            Refuse(socket, status);
            return;
        }
        QByteArray body;
        if (parsed.contentLength > 0) {
            if (reader.ReadBody(parsed.contentLength, body) != XConnReader::Ok)
                return;
            lastActivity = Clock::now();
        }
        if (verdict == XHeadVerdict::Drop || StopRequested()) {
            if (StopRequested())
                return;
            continue;
        }

        CHttpRequest request(socket);
        request.m_strMethod = parsed.method;
        request.m_strPath = parsed.path;
        request.m_strQuery = parsed.query;
        request.m_strHead = head;
        const bool get = parsed.method.compare("GET", Qt::CaseInsensitive) == 0;
        const bool post = parsed.method.compare("POST", Qt::CaseInsensitive) == 0;
        if (!get && !post) {
            request.WriteHttpResponse(405, 0, QByteArray(), CACHE_NONE, QString());
            continue;
        }
        if (post) {
            request.m_body = body;
            ParseBodyParams(body, request.m_params);
        }
        ParseQueryParams(parsed.rawQuery, request.m_params);
        if (kind == XConnKind::Relay) {
            request.m_user.m_strIP = QString::fromUtf8(GetHeaderValue(head, "REMOTE_ADDR:"));
            // the browser reached the relay over HTTPS: its session cookie may be Secure
            request.m_bHttps = GetWebServiceState().relayHttps != 0;
        }
        if (request.m_user.m_strIP.isEmpty())
            request.m_user.m_strIP = PeerAddress(socket);
        request.m_user.m_strSession = QString::fromUtf8(GetHeaderValue(head, "SESSIONID="));

        if (HandleWeChat(request))
            continue;
        AttachSession(request);
        DispatchRequest(request);
        if (StopRequested())
            return;
    }
}

void StartWebService()
{
    StopWebService();
    std::lock_guard lock(g_controlLock);
    LogProxy(QStringLiteral("代理连接服务启动。"));
    WxRefreshEvent().Set();
    MoreRelayEvent().Set();
    WebStopEvent().Reset();
    g_stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    g_serviceThread = std::thread(WebServiceThread);
    UpdateWebServiceState([](WebServiceState& s) { s.startTime = XDateTime::Now(); });
}

void StopWebService()
{
    std::lock_guard lock(g_controlLock);
    WebStopEvent().Set();
    if (g_stopFd >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = write(g_stopFd, &one, sizeof one);
    }
    if (!g_serviceThread.joinable())
        return; // nothing runs: the published state is not ours to clear
    g_serviceThread.join();
    LogProxy(QStringLiteral("代理连接服务退出。"));
    if (g_stopFd >= 0) {
        close(g_stopFd);
        g_stopFd = -1;
    }
    MoreRelayEvent().Reset();
    int relays = 0;
    {
        std::lock_guard guard(WebStateLock());
        relays = RelayConnections();
    }
    // the relay forgets this installation's connections at once rather than timing them out
    if (relays > 0)
        SendRelayLeave();
    {
        std::lock_guard guard(WebStateLock());
        RelayConnections() = 0;
        WebServiceState& s = WebServiceStateUnlocked();
        s.startTime = XDateTime();
        s.port = 0;
    }
    SetWebUrls(QString(), GetInternetUrl());
}

bool IsWebServiceRunning()
{
    std::lock_guard lock(g_controlLock);
    return g_serviceThread.joinable();
}

} // namespace xInternet
