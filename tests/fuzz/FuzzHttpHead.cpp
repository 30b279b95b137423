// libFuzzer target for what the web service reads from the network: the request head
// parser, header and cookie lookup, URL and query decoding, the form body, and the
// connection loop itself over a socket pair. Besides crashes it checks what the parser
// promises: a served head has a bounded body length and a path without "/", and decoding
// never makes text longer.
#include "CHttpSession.h"
#include "HttpParse.h"
#include "WebService.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <mutex>

using namespace xInternet;

namespace {

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "broken promise: %s\n", what);
        __builtin_trap();
    }
}

// Runs the bytes through a connection as a client that sends them and hangs up.
void ServeOnce(const QByteArray& bytes, XConnKind kind)
{
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0)
        return;
    // the answers are not read: a full buffer ends the connection instead of blocking it
    fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    if (send(fds[1], bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL) == bytes.size()) {
        shutdown(fds[1], SHUT_WR);
        HttpConnThread(fds[0], kind);
    }
    close(fds[0]);
    close(fds[1]);
    std::lock_guard lock(SessionLock());
    SessionMap().clear();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1 || size > 65536)
        return 0;
    const uint8_t mode = data[0];
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), static_cast<qsizetype>(size - 1));

    XRequestHead head;
    int status = 0;
    const XHeadVerdict verdict = ParseRequestHead(bytes, head, status);
    if (verdict == XHeadVerdict::Serve) {
        Check(head.contentLength >= 0 && head.contentLength <= kMaxBodyBytes, "body length in range");
        Check(!head.path.contains(QLatin1Char('/')), "path without '/'");
        XParamMap params;
        ParseQueryParams(head.rawQuery, params);
        for (auto it = params.cbegin(); it != params.cend(); ++it)
            Check(!it.key().isEmpty() && it.key() == it.key().toLower(), "lower-case names");
    } else {
        Check(verdict == XHeadVerdict::Drop ? status == 0 : status >= 400, "a status with every refusal");
    }

    const QByteArray decoded = UrlDecode(bytes);
    Check(decoded.size() <= bytes.size(), "decoding never lengthens");
    const QByteArray id = GetHeaderValue(bytes, "SESSIONID=");
    const QString sid = QString::fromUtf8(id);
    if (IsGeneratedSessionId(sid))
        Check(sid.size() == 32, "generated id of 32 digits");
    IsWeChatSessionIdForm(sid);
    GetHeaderInt(bytes, "Content-Length:", -1);
    IsPrivateAddress(QString::fromUtf8(GetHeaderValue(bytes, "REMOTE_ADDR:")));

    XParamMap params;
    ParseQueryParams(bytes, params);
    if (mode & 2)
        ParseBodyParams(bytes, params);
    if (mode & 4)
        ServeOnce(bytes, (mode & 8) ? XConnKind::Relay : XConnKind::Local);
    return 0;
}
