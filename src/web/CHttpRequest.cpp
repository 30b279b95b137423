#include "CHttpRequest.h"

#include "CHead.h"
#include "CHttpSession.h"
#include "CXArray.h"
#include "CXTimeSpan.h"
#include "CXXmlDoc.h"
#include "Version.h"
#include "VersionDocument.h"
#include "TransformXsl.h"
#include "WebResources.h"
#include "WebState.h"
#include "XAppServices.h"

#include <sys/socket.h>

#include <cerrno>
#include <clocale>
#include <ctime>
#include <locale.h>
#include <mutex>

namespace xInternet {

const QString kArtCodeAlphabet = QStringLiteral("23456789ABCDEFGHJKLMNPRSTUVWXYZabcdefghjkmnpqrstuvw");
const QString kSmsCodeAlphabet = QStringLiteral("0123456789");

namespace {

constexpr long long kCookieSeconds = 15'552'000; // 180 days
constexpr double kCodeMinutes = 5;
constexpr int kMaxWrongTries = 5;

// The program's title as pages show it.
QString AppTitle() { return QStringLiteral("Lorvan Manager"); }

// A sheet name goes into a processing instruction unescaped by the browser, so only plain
// names are taken.
bool IsSheetName(const QString& name)
{
    if (name.isEmpty() || name.size() > 64)
        return false;
    for (QChar ch : name) {
        const char16_t c = ch.unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
              c == u'-'))
            return false;
    }
    return true;
}

// A random code of four characters of the alphabet, every character equally likely.
QString RandomCode(const QString& alphabet)
{
    const unsigned n = static_cast<unsigned>(alphabet.size());
    const unsigned limit = 256u - 256u % n; // bytes at or above it would favour the first characters
    QString code;
    while (code.size() < 4) {
        unsigned char bytes[16];
        if (!FillRandom(bytes, sizeof bytes))
            return QString();
        for (unsigned char b : bytes)
            if (b < limit && code.size() < 4)
                code += alphabet[static_cast<qsizetype>(b % n)];
    }
    return code;
}

bool Expired(const XDateTime& issued, const XDateTime& now)
{
    return (now.Day() - issued.Day()) * 24 * 60 > kCodeMinutes;
}

// "host[:port]" of an absolute http(s) URL, lower-cased; empty when it is none.
QByteArray HostOfUrl(const QByteArray& url)
{
    const qsizetype scheme = url.indexOf("://");
    if (scheme < 0)
        return QByteArray();
    const qsizetype start = scheme + 3;
    qsizetype end = start;
    while (end < url.size() && url[end] != '/' && url[end] != '?' && url[end] != '#')
        ++end;
    return url.mid(start, end - start).toLower();
}

} // namespace

CHttpRequest::~CHttpRequest() = default;

QByteArray MakeSessionCookie(const QString& sessionId, long long now, bool secure)
{
    // The date names must be English whatever the machine's locale, and setlocale would
    // change it for every thread: a locale object of our own.
    const time_t when = static_cast<time_t>(now + kCookieSeconds);
    tm parts{};
    gmtime_r(&when, &parts);
    char expires[256] = {};
    static const locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    strftime_l(expires, sizeof expires, "%a, %d %h %Y %H:%M:%S GMT", &parts, c);
    // HttpOnly keeps scripts away from the id; SameSite=Lax keeps other sites' forms from
    // carrying it. Secure only where the browser talks HTTPS (through the relay): browsers
    // drop a Secure cookie set over the school network's plain http.
    QByteArray line =
        "Set-Cookie: SESSIONID=" + sessionId.toUtf8() + "; Expires=" + expires + "; HttpOnly; SameSite=Lax";
    if (secure)
        line += "; Secure";
    return line;
}

QByteArray CHttpRequest::BuildResponseHead(int code, qint64 length, const QByteArray& type, int cache,
                                           const QString& location) const
{
    QByteArray head = "HTTP/1.1 " + QByteArray::number(code) + ' ' + GetReasonPhrase(code);
    head += "\r\nServer: LorvanSrv";
    head += "\r\nContent-length: " + QByteArray::number(length);
    if (!type.isEmpty())
        head += "\r\nContent-Type: " + type;
    if (!location.isEmpty()) {
        // a line break in a location would start a header of the sender's choosing
        QByteArray target = location.toUtf8();
        target.replace('\r', "").replace('\n', "");
        head += "\r\nLocation: " + target;
    }
    switch (cache) {
    case CACHE_NO:
        head += "\r\nCache-Control: no-cache";
        break;
    case CACHE_PRIVATE:
        head += "\r\nCache-Control: private, max-age=600";
        break;
    case CACHE_FOREVER:
        head += "\r\nCache-Control: public, immutable, max-age=31536000";
        break;
    default:
        break;
    }
    const QString& session = m_user.m_strSession;
    if ((code == 302 || cache == CACHE_NONE || cache == CACHE_NO) && !session.isEmpty() &&
        (IsGeneratedSessionId(session) || IsWeChatSessionIdForm(session)))
        head += "\r\n" + MakeSessionCookie(session, static_cast<long long>(time(nullptr)), m_bHttps);
    head += "\r\n\r\n";
    return head;
}

bool CHttpRequest::SendBytes(const QByteArray& bytes) const
{
    qsizetype sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n =
            send(m_socket, bytes.constData() + sent, static_cast<size_t>(bytes.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        sent += n;
    }
    return true;
}

int CHttpRequest::WriteHttpResponse(int code, qint64 length, const QByteArray& type, int cache, const QString& location)
{
    const QByteArray head = BuildResponseHead(code, length, type, cache, location);
    return SendBytes(head) ? static_cast<int>(head.size()) : -1;
}

void CHttpRequest::WriteXmlPage(CXXmlDoc& doc)
{
    const QString sheet = GetParamText(QStringLiteral("xsl"));
    // The name goes into the stylesheet instruction and names a web file: anything but a
    // plain name is refused rather than dropped, so a page never silently loses its sheet.
    if (!sheet.isEmpty() && !IsSheetName(sheet)) {
        WriteHttpResponse(400, 0, QByteArray(), CACHE_NONE, QString());
        return;
    }
    QString page = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n");
    if (!sheet.isEmpty()) {
        page += QStringLiteral("<?xml-stylesheet type=\"text/xsl\" href=\"%1.xsl\"?>\r\n").arg(sheet);
        doc.m_nParentPos = doc.m_nMainPos = doc.m_nChildPos = 0;
        if (doc.FindElement())
            doc.SetAttribute(doc.m_nMainPos, QStringLiteral("xsl"), sheet);
    }
    page += doc.GetDocText();
    page.replace(QStringLiteral("\r\n\r\n"), QStringLiteral("\r\n"));
    while (!page.isEmpty() && page.back().isSpace())
        page.chop(1);
    const QByteArray bytes = page.toUtf8();

    // A browser navigating gets the page as HTML, made on the server by the same sheet the
    // XML names (browsers are dropping XSLT of their own); scripts and everything else that
    // does not ask for HTML get the XML. A sheet that fails to load leaves the XML.
    if (!sheet.isEmpty() && WantsHtml()) {
        const XSheetParams params = {{QByteArrayLiteral("update"), GetParamText(QStringLiteral("update"))}};
        QByteArray html = TransformNamedSheet(bytes, sheet + QStringLiteral(".xsl"), params, WebSheets()).toUtf8();
        // a fragment for a partial refresh carries no document type
        if (params[0].second == u"1" && html.startsWith("<!DOCTYPE")) {
            html.remove(0, html.indexOf('>') + 1);
            while (html.startsWith('\n') || html.startsWith('\r'))
                html.remove(0, 1);
        }
        if (!html.isEmpty()) {
            if (WriteHttpResponse(200, html.size(), "text/html; charset=UTF-8", CACHE_NO, QString()) >= 0)
                SendBytes(html);
            return;
        }
    }
    if (WriteHttpResponse(200, bytes.size(), "text/xml; charset=UTF-8", CACHE_NO, QString()) >= 0 && !bytes.isEmpty())
        SendBytes(bytes);
}

bool CHttpRequest::WantsHtml() const { return GetHeaderValue(m_strHead, "Accept:").toLower().contains("text/html"); }

void CHttpRequest::WriteXmlResult(int code, const QString& message, int id)
{
    m_params.remove(QStringLiteral("xsl"));
    CXXmlDoc doc;
    doc.AddElement(QStringLiteral("r"));
    doc.SetAttribute(doc.m_nMainPos, QStringLiteral("errid"), QString::number(code));
    doc.SetAttribute(doc.m_nMainPos, QStringLiteral("errmsg"), message);
    doc.SetAttribute(doc.m_nMainPos, QStringLiteral("id"), QString::number(id));
    WriteXmlPage(doc);
}

void CHttpRequest::AddPageHeader(CXXmlDoc& doc, bool withVersion)
{
    doc.m_nParentPos = doc.m_nMainPos = doc.m_nChildPos = 0;
    if (!doc.FindElement())
        return;
    const int root = doc.m_nMainPos;
    // Puts the child position on the root's last child, so the next child goes after it.
    auto toLastChild = [&doc, root] {
        doc.m_nParentPos = 0;
        doc.m_nMainPos = root;
        doc.m_nChildPos = 0;
        while (doc.FindChildElement()) {}
    };
    doc.SetAttribute(root, QStringLiteral("errid"), QString::number(ERR_OK));
    doc.SetAttribute(root, QStringLiteral("errmsg"), QString());
    doc.SetAttribute(root, QStringLiteral("errtime"), XDateTime::Now().Format(QStringLiteral("%Y-%#m-%#d %#H:%M")));
    if (withVersion) {
        toLastChild();
        doc.m_nParentPos = root;
        doc.m_nMainPos = doc.m_nChildPos;
        doc.m_nChildPos = 0;
        doc.InsertDocument(GetLatestVersionXml());
    }

    // Preferences, then the web state, then the session: one lock at a time.
    static const char* const kPrefs[] = {"RecordName", "GroupName",   "LtdLocation", "LtdContact",
                                         "LtdTitle",   "DefaultPwd0", "DefaultPwd1"};
    static const char* const kNames[] = {"LtdName",  "LtdSign",     "LtdLocation", "LtdContact",
                                         "LtdTitle", "DefaultPwd0", "DefaultPwd1"};
    QString prefs[7];
    {
        std::lock_guard lock(AppServices().Mutex());
        for (int i = 0; i < 7; ++i)
            prefs[i] = AppServices().SetupValue(QString::fromLatin1(kPrefs[i])).toString();
    }
    // The default passwords open every account still using them: only an administrator,
    // who sets them, is told.
    if (m_user.m_nRightRole != 2)
        prefs[5] = prefs[6] = QString();
    const WebServiceState state = GetWebServiceState();
    const QString internetUrl = GetInternetUrl();

    toLastChild();
    doc.AddElement(QStringLiteral("app"), QString(), CXXmlDoc::ADD_AS_CHILD);
    const int app = doc.m_nChildPos;
    for (int i = 0; i < 7; ++i)
        doc.SetAttribute(app, QString::fromLatin1(kNames[i]), prefs[i]);
    const std::uint32_t own = GetOwnFileVersion();
    const std::uint32_t latest = GetLatestVersion();
    doc.SetAttribute(app, QStringLiteral("AppName"), AppTitle());
    doc.SetAttribute(app, QStringLiteral("AppCurVer"), FormatVersion(own));
    doc.SetAttribute(app, QStringLiteral("AppNewVer"), FormatVersion(latest));
    doc.SetAttribute(app, QStringLiteral("AppCurVerVal"), QString::number(own));
    doc.SetAttribute(app, QStringLiteral("AppNewVerVal"), QString::number(latest));
    doc.SetAttribute(app, QStringLiteral("AppYear"), GetBuildDate().left(4));
    doc.SetAttribute(app, QStringLiteral("WxConnected"), state.wxAccessToken.isEmpty() ? u"0"_qs : u"1"_qs);
    doc.SetAttribute(app, QStringLiteral("WxOpenUrl"), state.wxQrUrl);
    doc.SetAttribute(app, QStringLiteral("InternetUrl"), internetUrl);

    doc.AddElement(QStringLiteral("session"), QString(), CXXmlDoc::ADD_AS_CHILD);
    const int session = doc.m_nChildPos;
    doc.SetAttribute(session, QStringLiteral("id"), m_user.m_strSession);
    doc.SetAttribute(session, QStringLiteral("url"), m_strPath);
    doc.m_nParentPos = root;
    doc.m_nMainPos = session;
    doc.m_nChildPos = 0;
    {
        std::lock_guard lock(SessionLock());
        auto it = SessionMap().find(m_user.m_strSession);
        if (it != SessionMap().end()) {
            CHttpSession& web = *it->second;
            for (const CXItem* identity : web.Identities()) {
                doc.AddElement(QStringLiteral("user"), QString(), CXXmlDoc::ADD_AS_CHILD);
                const int u = doc.m_nChildPos;
                doc.SetAttribute(u, QStringLiteral("id"), QString::number(identity->m_nID));
                doc.SetAttribute(u, QStringLiteral("mduid"), QString::number(identity->m_nMduID));
                doc.SetAttribute(u, QStringLiteral("name"), identity->GetTitleText());
                doc.SetAttribute(u, QStringLiteral("mduname"), identity->GetModuleName());
                doc.SetAttribute(u, QStringLiteral("curr"), identity == web.GetCurrent() ? u"1"_qs : u"0"_qs);
                // each identity's own role: a student beside an administrator in one
                // session is no administrator; the address is the browser's, shared by all
                doc.SetAttribute(u, QStringLiteral("role"), QString::number(identity->m_nRightRole));
                doc.SetAttribute(u, QStringLiteral("IP"), m_user.m_strIP);
            }
        }
    }
    doc.m_nParentPos = 0;
    doc.m_nMainPos = root;
    doc.m_nChildPos = 0;
}

void CHttpRequest::FillItemFromParams(CXItem& item, XParamMap& params, int prefix) const
{
    const CHeads* heads = item.GetHeads();
    if (!heads)
        return;
    auto fill = [&](CXItem& target, const CHead* h, const QString& key) {
        auto it = params.find(key);
        if (it == params.end())
            return;
        const QString value = it.value();
        params.erase(it);
        if (!h->m_nOffset) {
            // a link without a member names the record itself (a line's linked record)
            if (h->m_nType == XLK) {
                CXBase link;
                link.SetLink(value);
                if (link.m_nID) {
                    target.m_nID = link.m_nID;
                    target.m_strName = link.m_strName;
                }
            }
            return;
        }
        switch (h->m_nType) {
        case XIN:
            target.Member<int>(h->m_nOffset) = static_cast<int>(std::strtol(value.toUtf8().constData(), nullptr, 10));
            break;
        case XNU:
            target.Member<double>(h->m_nOffset) = std::strtod(value.toUtf8().constData(), nullptr);
            break;
        case XDT: {
            XDateTime date;
            if (!date.ParseDateTime(value.trimmed()))
                date = XDateTime::Invalid();
            target.Member<XDateTime>(h->m_nOffset) = date;
            break;
        }
        case XLK:
            target.Member<CXBase>(h->m_nOffset).SetLink(value);
            break;
        case XTS:
            target.Member<CXTimeSpan>(h->m_nOffset).Parse(value);
            break;
        case XSW:
            target.Member<QString>(h->m_nOffset) = value;
            break;
        default:
            break;
        }
    };
    for (int i = 0; i < heads->GetSize() && !params.isEmpty(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (item.GetAccess(h, &m_user) > 0 && (h->m_nOffset || h->m_nType == XLK))
            fill(item, h, QStringLiteral("%1_0_%2").arg(prefix).arg(i));
        if (prefix != 0 || h->m_nType != XAR || !h->m_nOffset)
            continue;
        CXArray& lines = item.Member<CXArray>(h->m_nOffset);
        for (int j = 1; j <= lines.GetSize() && !params.isEmpty(); ++j) {
            CXItem* line = lines[j - 1];
            const CHeads* lineHeads = line->GetHeads();
            for (int k = 0; lineHeads && k < lineHeads->GetSize(); ++k) {
                const CHead* lh = lineHeads->GetAt(k);
                if (line->GetAccess(lh, &m_user) > 0 && (lh->m_nOffset || lh->m_nType == XLK))
                    fill(*line, lh, QStringLiteral("%1_%2_%3").arg(i).arg(j).arg(k));
            }
        }
    }
}

int CHttpRequest::GetParamInt(const QString& name) const
{
    return static_cast<int>(std::strtol(GetParamText(name).toUtf8().constData(), nullptr, 10));
}

QString CHttpRequest::GetParamText(const QString& name) const { return m_params.value(name.toLower()); }

QString CHttpRequest::MakeSessionCode(const QString& alphabet, bool restart, const QString& boundTo)
{
    const bool sms = alphabet == kSmsCodeAlphabet;
    const XDateTime now = XDateTime::Now();
    std::lock_guard lock(SessionLock());
    auto it = SessionMap().find(m_user.m_strSession);
    if (it == SessionMap().end())
        return QString();
    CHttpSession& web = *it->second;
    CHttpSession::Code& code = sms ? web.m_smsCode : web.m_artCode;
    if (restart) {
        code = CHttpSession::Code();
        code.text = RandomCode(alphabet);
        code.issued = now;
        code.boundTo = sms ? boundTo : QString();
        web.m_dtCodeIssued = now;
        // a sent SMS ends the picture code it was asked for with
        if (sms)
            web.m_artCode = CHttpSession::Code();
    }
    if (code.text.isEmpty() || Expired(code.issued, now))
        return QString();
    return code.text;
}

XCodeCheck CHttpRequest::CheckSessionCode(const QString& alphabet, const QString& given, const QString& boundTo)
{
    const bool sms = alphabet == kSmsCodeAlphabet;
    const XDateTime now = XDateTime::Now();
    std::lock_guard lock(SessionLock());
    auto it = SessionMap().find(m_user.m_strSession);
    if (it == SessionMap().end())
        return XCodeCheck::Expired;
    CHttpSession::Code& code = sms ? it->second->m_smsCode : it->second->m_artCode;
    if (code.text.isEmpty() || Expired(code.issued, now)) {
        code = CHttpSession::Code();
        return XCodeCheck::Expired;
    }
    if (given != code.text || (sms && boundTo != code.boundTo)) {
        if (++code.wrongTries >= kMaxWrongTries)
            code = CHttpSession::Code();
        return XCodeCheck::Wrong;
    }
    code = CHttpSession::Code();
    return XCodeCheck::Ok;
}

bool CHttpRequest::AcceptStateChange()
{
    if (m_strMethod.compare("POST", Qt::CaseInsensitive) != 0) {
        WriteHttpResponse(405, 0, QByteArray(), CACHE_NONE, QString());
        return false;
    }
    QByteArray from = GetHeaderValue(m_strHead, "Origin:");
    if (from.isEmpty())
        from = GetHeaderValue(m_strHead, "Referer:");
    // Without either the request did not come from a page of another site (browsers send
    // Origin with every cross-site POST).
    if (from.isEmpty())
        return true;
    const QByteArray host = GetHeaderValue(m_strHead, "Host:").trimmed().toLower();
    if (!host.isEmpty() && HostOfUrl(from) == host)
        return true;
    WriteHttpResponse(403, 0, QByteArray(), CACHE_NONE, QString());
    return false;
}

XHook<void(CHttpRequest&)>& StaticFileHandler()
{
    static XHook<void(CHttpRequest&)> hook;
    return hook;
}

} // namespace xInternet
