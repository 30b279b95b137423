#include "HttpParse.h"

#include "CXXmlDoc.h"

#include <arpa/inet.h>
#include <sys/random.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

namespace xInternet {

namespace {

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; }

bool StartsWithNoCase(const char* text, qsizetype length, const char* prefix)
{
    const qsizetype n = static_cast<qsizetype>(std::strlen(prefix));
    if (length < n)
        return false;
    for (qsizetype i = 0; i < n; ++i)
        if (LowerAscii(text[i]) != LowerAscii(prefix[i]))
            return false;
    return true;
}

QByteArray TrimBlanks(QByteArray text)
{
    qsizetype b = 0;
    qsizetype e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t'))
        ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t'))
        --e;
    return text.mid(b, e - b);
}

// Calls fn(line) for each header line of the head (after the request line, before the
// blank line) until it returns false.
template <typename Fn> void ForEachHeaderLine(const QByteArray& head, Fn fn)
{
    qsizetype pos = head.indexOf("\r\n");
    while (pos >= 0) {
        const qsizetype start = pos + 2;
        const qsizetype end = head.indexOf("\r\n", start);
        if (end < 0 || end == start)
            return;
        if (!fn(QByteArray::fromRawData(head.constData() + start, end - start)))
            return;
        pos = end;
    }
}

int DigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10;
    return 0;
}

// [A-Za-z0-9_-]{min,max}
bool IsTokenOf(QStringView text, int min, int max)
{
    if (text.size() < min || text.size() > max)
        return false;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        const bool ok =
            (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' || c == u'-';
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

const char* GetReasonPhrase(int code)
{
    switch (code) {
    case 200:
        return "OK";
    case 302:
        return "Found";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 406:
        return "Not Acceptable";
    case 407:
        return "Proxy Authentication Required";
    case 408:
        return "Request Time-out";
    case 409:
        return "Conflict";
    case 410:
        return "Gone";
    case 411:
        return "Length Required";
    case 412:
        return "Precondition Failed";
    case 413:
        return "Request Entity Too Large";
    case 414:
        return "Request-URI Too Large";
    case 415:
        return "Unsupported Media Type";
    case 416:
        return "Requested range not satisfiable";
    case 417:
        return "Expectation Failed";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 503:
        return "Service Unavailable";
    case 504:
        return "Gateway Time-out";
    case 505:
        return "HTTP Version not supported";
    default:
        return "Unknown Error";
    }
}

QByteArray GetHeaderValue(const QByteArray& head, const char* name)
{
    const qsizetype nameLen = static_cast<qsizetype>(std::strlen(name));
    if (nameLen < 2)
        return QByteArray();
    QByteArray value;
    bool found = false;
    if (name[nameLen - 1] == '=') {
        const QByteArray cookie(name, nameLen - 1);
        ForEachHeaderLine(head, [&](const QByteArray& line) {
            if (!StartsWithNoCase(line.constData(), line.size(), "cookie:"))
                return true;
            for (const QByteArray& piece : line.mid(7).split(';')) {
                const QByteArray pair = TrimBlanks(piece);
                const qsizetype eq = pair.indexOf('=');
                if (eq >= 0 && pair.left(eq) == cookie) {
                    value = pair.mid(eq + 1);
                    found = true;
                    return false;
                }
            }
            return true;
        });
    } else {
        ForEachHeaderLine(head, [&](const QByteArray& line) {
            if (!StartsWithNoCase(line.constData(), line.size(), name))
                return true;
            value = line.mid(nameLen);
            found = true;
            return false;
        });
    }
    if (!found)
        return QByteArray();
    qsizetype b = 0;
    while (b < value.size() && (value[b] == ' ' || value[b] == '\t'))
        ++b;
    return UrlDecode(value.mid(b));
}

int GetHeaderInt(const QByteArray& head, const char* name, int defaultValue)
{
    const QByteArray value = GetHeaderValue(head, name);
    if (value.isEmpty())
        return defaultValue;
    qsizetype i = 0;
    bool negative = false;
    if (value[0] == '-' || value[0] == '+') {
        negative = value[0] == '-';
        ++i;
    }
    long long n = 0;
    for (; i < value.size() && IsAsciiDigit(value[i]); ++i) {
        n = n * 10 + (value[i] - '0');
        if (n > 0x7FFFFFFFLL)
            return negative ? INT32_MIN : INT32_MAX; // saturate instead of overflowing
    }
    return static_cast<int>(negative ? -n : n);
}

QByteArray UrlDecode(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < n) {
            out += char((DigitValue(text[i + 1]) * 16 + DigitValue(text[i + 2])) & 0xFF);
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

XHeadVerdict ParseRequestHead(const QByteArray& head, XRequestHead& out, int& status)
{
    out = XRequestHead();
    status = 0;
    const qsizetype lineEnd = head.indexOf("\r\n");
    const QByteArray line = head.left(lineEnd < 0 ? head.size() : lineEnd);
    if (line.size() > kMaxRequestLineBytes) {
        status = 414;
        return XHeadVerdict::RejectClose;
    }

    // Framing first: whatever the request line says, a body that cannot be measured would
    // be read as the next request.
    int lines = 0;
    bool badLength = false;
    bool transferEncoding = false;
    bool haveLength = false;
    qint64 length = 0;
    ForEachHeaderLine(head, [&](const QByteArray& header) {
        ++lines;
        if (StartsWithNoCase(header.constData(), header.size(), "transfer-encoding:"))
            transferEncoding = true;
        if (StartsWithNoCase(header.constData(), header.size(), "content-length:")) {
            const QByteArray v = TrimBlanks(header.mid(15));
            qint64 n = 0;
            bool ok = !v.isEmpty() && v.size() <= 12;
            for (char c : v)
                ok = ok && IsAsciiDigit(c);
            if (ok)
                for (char c : v)
                    n = n * 10 + (c - '0');
            if (!ok || (haveLength && n != length))
                badLength = true;
            haveLength = true;
            length = n;
        }
        return true;
    });
    if (lines > kMaxHeaderLines) {
        status = 431;
        return XHeadVerdict::RejectClose;
    }
    if (transferEncoding) {
        status = 501;
        return XHeadVerdict::RejectClose;
    }
    if (badLength) {
        status = 400;
        return XHeadVerdict::RejectClose;
    }
    if (length > kMaxBodyBytes) {
        status = 413;
        return XHeadVerdict::RejectClose;
    }
    out.contentLength = length;

    const qsizetype blank1 = line.indexOf(' ');
    const qsizetype blank2 = blank1 < 0 ? -1 : line.indexOf(' ', blank1 + 1);
    if (blank2 < 0)
        return XHeadVerdict::Drop;
    out.method = line.left(blank1);
    const qsizetype question = line.indexOf('?', blank1 + 1);
    // the first character of the target (its "/") is skipped
    const qsizetype pathStart = std::min(blank1 + 2, blank2);
    QByteArray path;
    if (question < 0 || question > blank2) {
        path = line.mid(pathStart, blank2 - pathStart);
    } else {
        path = line.mid(pathStart, std::max<qsizetype>(0, question - pathStart));
        out.rawQuery = line.mid(question + 1, blank2 - question - 1);
    }
    out.path = QString::fromUtf8(path);
    out.path.replace(QLatin1Char('/'), QLatin1Char('\\'));
    out.query = QString::fromUtf8(out.rawQuery);
    return XHeadVerdict::Serve;
}

void ParseQueryParams(const QByteArray& query, XParamMap& params)
{
    if (query.isEmpty())
        return;
    QList<QByteArray> pieces;
    for (const QByteArray& piece : query.split('&')) {
        qsizetype i = 0;
        while (i < piece.size() && piece[i] >= 'a' && piece[i] <= 'z')
            ++i;
        const bool starts = i > 0 && i < piece.size() && piece[i] == '=';
        if (pieces.isEmpty() || starts)
            pieces.append(piece);
        else
            pieces.back() += '&' + piece;
    }
    for (const QByteArray& piece : pieces) {
        const qsizetype eq = piece.indexOf('=');
        if (eq < 1)
            continue;
        params.insert(QString::fromUtf8(piece.left(eq)).toLower(), QString::fromUtf8(UrlDecode(piece.mid(eq + 1))));
    }
}

void ParseBodyParams(const QByteArray& body, XParamMap& params)
{
    // A form document has a root and its children; nothing deeper, no DTD and no entities
    // beyond the predefined ones are needed, so a body asking for them is refused whole.
    constexpr int kMaxLevel = 8;
    if (body.contains("<!") && (body.toUpper().contains("<!DOCTYPE") || body.toUpper().contains("<!ENTITY")))
        return;
    CXXmlDoc doc;
    if (!doc.SetDocText(QString::fromUtf8(body)))
        return;
    for (int i = 1; i < doc.NextFreeIndex(); ++i)
        if (doc.Elem(i).nLevel > kMaxLevel)
            return;
    if (!doc.FindElement())
        return;
    XParamMap found;
    while (doc.FindChildElement()) {
        const QString id = doc.GetAttribute(doc.m_nChildPos, QStringLiteral("id")).toLower();
        if (!id.isEmpty())
            found.insert(id, doc.GetText(doc.m_nChildPos));
    }
    for (auto it = found.cbegin(); it != found.cend(); ++it)
        params.insert(it.key(), it.value());
}

bool FillRandom(void* out, size_t bytes)
{
    auto* p = static_cast<unsigned char*>(out);
    while (bytes > 0) {
        const ssize_t got = getrandom(p, bytes, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        p += got;
        bytes -= static_cast<size_t>(got);
    }
    return true;
}

QString GenerateSessionId()
{
    unsigned char bytes[16];
    if (!FillRandom(bytes, sizeof bytes))
        return QString();
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes).toHex());
}

bool IsGeneratedSessionId(const QString& id)
{
    if (id.size() != 32)
        return false;
    for (QChar ch : id) {
        const char16_t c = ch.unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    }
    return true;
}

bool IsWeChatSessionIdForm(const QString& id)
{
    if (!id.startsWith(QLatin1String("wx_")))
        return false;
    const QStringView rest = QStringView(id).mid(3);
    const qsizetype dot = rest.indexOf(u'.');
    if (dot < 0)
        return IsTokenOf(rest, 1, 64);
    return IsTokenOf(rest.left(dot), 1, 64) && IsTokenOf(rest.mid(dot + 1), 1, 128);
}

bool IsPrivateAddress(const QString& address)
{
    in_addr addr{};
    if (inet_pton(AF_INET, address.toLatin1().constData(), &addr) != 1)
        return true;
    const uint32_t a = ntohl(addr.s_addr);
    struct Range
    {
        uint32_t net;
        int bits;
    };
    static constexpr Range kRanges[] = {
        {0x0A000000u, 8},  // 10/8
        {0x7F000000u, 8},  // 127/8
        {0xAC100000u, 12}, // 172.16/12
        {0xC0A80000u, 16}, // 192.168/16
        {0x64400000u, 10}, // 100.64/10
        {0xA9FE0000u, 16}, // 169.254/16
    };
    for (const Range& r : kRanges) {
        const uint32_t mask = ~0u << (32 - r.bits);
        if ((a & mask) == r.net)
            return true;
    }
    return false;
}

} // namespace xInternet
