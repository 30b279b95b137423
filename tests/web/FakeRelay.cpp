#include "FakeRelay.h"

#include "CMD5.h"
#include "CXXmlDoc.h"
#include "HttpParse.h"
#include "Relay.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

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

// Receives until the bytes end with CR LF CR LF; false when the peer closed first or the
// fake is stopping.
bool ReadMessage(int fd, QByteArray& out, const std::atomic<bool>& stop)
{
    char c;
    while (!out.endsWith("\r\n\r\n")) {
        pollfd p{fd, POLLIN, 0};
        const int n = poll(&p, 1, 100);
        if (stop)
            return false;
        if (n <= 0)
            continue;
        if (recv(fd, &c, 1, 0) != 1)
            return false;
        out.append(c);
    }
    return true;
}

// The relay writes line ends inside a reply as character references, as the program does,
// so a body with a blank line does not end the reply early.
QString Escape(const QString& text, bool attribute)
{
    QString out = CXXmlDoc::EscapeXmlText(text, attribute);
    out.replace(QLatin1String("\r"), QLatin1String("&#13;"));
    out.replace(QLatin1String("\n"), QLatin1String("&#10;"));
    return out;
}

QString Attr(const QString& name, const QString& value)
{
    return u' ' + name + QStringLiteral("=\"") + Escape(value, true) + u'"';
}

} // namespace

FakeRelay::FakeRelay(int port)
{
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(port));
    if (bind(m_listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || listen(m_listener, 64) != 0)
        return;
    socklen_t len = sizeof addr;
    getsockname(m_listener, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_acceptThread = std::thread([this] { AcceptLoop(); });
}

FakeRelay::~FakeRelay()
{
    m_stop = true;
    if (m_acceptThread.joinable())
        m_acceptThread.join();
    {
        std::lock_guard lock(m_lock);
        for (int fd : m_sockets)
            shutdown(fd, SHUT_RDWR);
    }
    for (std::thread& t : m_workers)
        t.join();
    for (int fd : m_sockets)
        close(fd);
    if (m_listener >= 0)
        close(m_listener);
}

void FakeRelay::AcceptLoop()
{
    while (!m_stop) {
        pollfd p{m_listener, POLLIN, 0};
        if (poll(&p, 1, 50) <= 0)
            continue;
        const int fd = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        timeval tv{5, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        ++m_accepted;
        std::lock_guard lock(m_lock);
        m_sockets.push_back(fd);
        m_workers.emplace_back([this, fd] { Serve(fd); });
    }
}

void FakeRelay::Serve(int socket)
{
    QByteArray bytes;
    if (!ReadMessage(socket, bytes, m_stop))
        return;
    CXXmlDoc doc;
    Message m;
    if (doc.SetDocText(QString::fromUtf8(bytes)) && doc.FindElement()) {
        for (const char* name : {"func", "ver", "ltdid", "ts", "key", "reconnect", "LtdName", "LtdSign", "LtdLocation",
                                 "LtdContact", "LtdTitle", "Md5Pwd", "url", "post", "Phone", "code"}) {
            const QString value = doc.GetAttribute(doc.m_nMainPos, QString::fromLatin1(name));
            if (!value.isNull())
                m.attrs.insert(QString::fromLatin1(name), value);
        }
    }
    m.keyOk = m.Attr("ltdid").size() == 32 &&
              m.Attr("key") == Md5HexW(m.Attr("ltdid") + m.Attr("ts") + QLatin1String(xInternet::kRelaySalt));
    const bool joined = ReplyTo(socket, m);
    {
        std::lock_guard lock(m_lock);
        m_messages.push_back(m);
        if (joined)
            m_pool.push_back(socket);
    }
    m_changed.notify_all();
}

bool FakeRelay::ReplyTo(int socket, const Message& m)
{
    const int func = m.keyOk ? m.Attr("func").toInt() : -1;
    QString reply;
    bool joined = false;
    switch (func) {
    case -1:
        reply = QStringLiteral("<r result=\"签名错误\" />");
        break;
    case 0:
        if (joinSilent)
            return false;
        joined = joinResult == QLatin1String("OK");
        reply = joined ? QStringLiteral("<r result=\"OK\" Https=\"%1\" />").arg(https)
                       : QStringLiteral("<r") + Attr(QStringLiteral("result"), joinResult) + QStringLiteral(" />");
        break;
    case 1:
        return false; // nothing is read back
    case 2:
        if (m.Attr("Md5Pwd") != Md5HexW(password))
            reply = QStringLiteral("<r result=\"密码错误！\" />");
        else
            reply = QStringLiteral("<r result=\"OK\" SrvStart=\"%1\"><clients>%2</clients></r>")
                        .arg(srvStart)
                        .arg(statusClients);
        break;
    case 3:
        if (!httpHandler)
            reply = QStringLiteral("<r result=\"无法访问\" />");
        else
            reply = QStringLiteral("<r result=\"OK\">") +
                    Escape(QString::fromUtf8(httpHandler(m.Attr("url"), m.Attr("post"))), false) +
                    QStringLiteral("</r>");
        break;
    case 4:
        reply = QStringLiteral("<r") + Attr(QStringLiteral("result"), smsResult) + QStringLiteral(" />");
        break;
    default:
        reply = QStringLiteral("<r result=\"未知功能\" />");
    }
    SendAll(socket, reply.toUtf8() + "\r\n\r\n");
    return joined;
}

std::vector<FakeRelay::Message> FakeRelay::Messages() const
{
    std::lock_guard lock(m_lock);
    return m_messages;
}

int FakeRelay::Count(int func) const
{
    std::lock_guard lock(m_lock);
    int n = 0;
    for (const Message& m : m_messages)
        n += m.Attr("func").toInt() == func && m.keyOk ? 1 : 0;
    return n;
}

int FakeRelay::PoolSize() const
{
    std::lock_guard lock(m_lock);
    return static_cast<int>(m_pool.size());
}

bool FakeRelay::WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    for (;;) {
        if (pred())
            return true;
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::unique_lock lock(m_lock);
        m_changed.wait_for(lock, std::chrono::milliseconds(20));
    }
}

QByteArray FakeRelay::Push(int index, const QByteArray& request, int exactly)
{
    int fd = -1;
    {
        std::lock_guard lock(m_lock);
        if (index < 0 || index >= static_cast<int>(m_pool.size()))
            return QByteArray();
        fd = m_pool[static_cast<size_t>(index)];
    }
    if (!SendAll(fd, request))
        return QByteArray();
    QByteArray in;
    char c;
    while (exactly ? in.size() < exactly : !in.endsWith("\r\n\r\n")) {
        if (recv(fd, &c, 1, 0) != 1)
            return QByteArray();
        in.append(c);
    }
    if (exactly)
        return in;
    const qsizetype length = xInternet::GetHeaderInt(in, "Content-length:", 0);
    const qsizetype headEnd = in.size();
    while (in.size() < headEnd + length) {
        if (recv(fd, &c, 1, 0) != 1)
            return QByteArray();
        in.append(c);
    }
    return in;
}

bool FakeRelay::PoolClosed(int index)
{
    int fd = -1;
    {
        std::lock_guard lock(m_lock);
        if (index < 0 || index >= static_cast<int>(m_pool.size()))
            return false;
        fd = m_pool[static_cast<size_t>(index)];
    }
    char c;
    return recv(fd, &c, 1, 0) == 0;
}
