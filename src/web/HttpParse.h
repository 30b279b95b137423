#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QMap>
#include <QtCore/QString>

// The wire side of the web service that needs no socket: reading a request head, header
// lookup, URL decoding, query parameters, session ids and client addresses. Everything here
// treats its input as hostile: it comes from anyone on the school's network or, through the
// relay, from the Internet.
namespace xInternet {

// Request parameters: lower-case names to text.
using XParamMap = QMap<QString, QString>;

// Limits of what a connection may send before it is answered and closed.
constexpr int kMaxHeadBytes = 64 * 1024;       // whole head, 431 above
constexpr int kMaxRequestLineBytes = 8 * 1024; // 414 above
constexpr int kMaxHeaderLines = 100;           // 431 above
constexpr qint64 kMaxBodyBytes = 16'777'214;   // 413 above
constexpr int kHeadDeadlineMs = 30'000;        // a head must be complete within this
constexpr int kIdleLimitMs = 180'000;          // silence between requests

// The reason phrase of a status code ("Unknown Error" for codes without one).
const char* GetReasonPhrase(int code);

// A header's value from the header lines of a head (the request line is never searched).
// A name ending in ":" is a header name, matched without regard to case at the start of a
// line. A name ending in "=" is a cookie name: it is looked up among the "name=value" pairs
// of the Cookie headers, compared exactly, so "SESSIONID=" never matches a query text or a
// cookie "xsessionid". Leading white space is dropped and the value is URL-decoded; empty
// when absent.
QByteArray GetHeaderValue(const QByteArray& head, const char* name);
// The value read as a decimal integer (leading digits with an optional sign), or the
// default when the value is empty.
int GetHeaderInt(const QByteArray& head, const char* name, int defaultValue);

// "+" becomes a blank, "%" and two characters become one byte; a digit counts 0-9, a letter
// of either case 10-35 and anything else 0 (so "%zz" gives 0x53). A "%" with fewer than
// two characters after it is copied as it stands.
QByteArray UrlDecode(const QByteArray& text);

// A parsed request head.
struct XRequestHead
{
    QByteArray method; // as received
    QString path;      // without its leading "/", UTF-8 decoded, "/" turned into "\"
    QString query;     // after "?", UTF-8 decoded, not percent-decoded
    QByteArray rawQuery;
    qint64 contentLength = 0; // 0 when the head names none
};

// What to do with a head.
enum class XHeadVerdict {
    Serve,       // a request to answer
    Drop,        // a request line without two blanks: no answer, the connection stays
    RejectClose, // answer `status` and close the connection
};

// Checks and splits a complete head (request line through the closing blank line). The
// sizes were bounded while reading; here the request line, the number of header lines,
// Transfer-Encoding and Content-Length are checked: a chunked or otherwise framed body
// cannot be skipped safely, so it closes the connection, as does a length that is not a
// plain decimal number, repeated with different values, or too large.
XHeadVerdict ParseRequestHead(const QByteArray& head, XRequestHead& out, int& status);

// The query's parameters. The text is split at "&"; a piece that does not begin with
// lower-case letters and "=" belongs to the value before it ("key=a&b" gives "a&b"). The
// name is lower-cased; the value is percent-decoded and read as UTF-8. Entries are added to
// (and replace those of) `params`.
void ParseQueryParams(const QByteArray& query, XParamMap& params);

// The parameters of a POST body of the form <r><x id="name">value</x>...</r>: each child of
// the root with a non-empty id. A document with a DTD, or nested deeper than a form can
// be, gives none.
void ParseBodyParams(const QByteArray& body, XParamMap& params);

// A generated session id: 128 bits from the system's random source as 32 lower-case hex
// digits. Empty only when the system has no random source.
QString GenerateSessionId();
// 32 lower-case hex digits.
bool IsGeneratedSessionId(const QString& id);
// "wx_" and 1-64 characters of [A-Za-z0-9_-], optionally followed by "." and a MAC of
// [A-Za-z0-9_-]; the MAC itself is checked by the WeChat side.
bool IsWeChatSessionIdForm(const QString& id);

// Fills `out` with `bytes` random bytes from the system's random source; false when it
// could not.
bool FillRandom(void* out, size_t bytes);

// True for addresses of private, loopback, shared (carrier-grade NAT) and link-local IPv4
// ranges, and for anything that is not a dotted IPv4 address: those never count as
// reaching us from the Internet.
bool IsPrivateAddress(const QString& address);

} // namespace xInternet
