#include "WxSession.h"

#include "CHttpRequest.h"
#include "CHttpSession.h"
#include "HttpParse.h"
#include "Settings.h"
#include "WebService.h"
#include "WxHttp.h"
#include "XAppServices.h"
#include "XThread.h"

#include <QtCore/QCryptographicHash>
#include <QtCore/QJsonObject>
#include <QtCore/QMessageAuthenticationCode>

#include <chrono>
#include <mutex>

namespace xInternet {

namespace {

bool IsOpenId(QStringView text)
{
    if (text.isEmpty() || text.size() > 64)
        return false;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (!((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
              c == u'-'))
            return false;
    }
    return true;
}

// The installation's secret: made once from the system's random source and kept in the
// settings, so the WeChat sessions stay valid across restarts.
QByteArray Secret()
{
    static std::mutex lock;
    static QByteArray secret;
    std::lock_guard guard(lock);
    if (!secret.isEmpty())
        return secret;
    const QString section = QStringLiteral("Global"), key = QStringLiteral("WxSessionSecret");
    QString stored = ReadSetting(section, key, QString());
    if (stored.size() < 32) {
        unsigned char bytes[32];
        if (!FillRandom(bytes, sizeof bytes))
            return QByteArray(); // no MAC can be made, so no WeChat session is trusted
        stored = QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(bytes), sizeof bytes).toHex());
        WriteSetting(section, key, stored);
    }
    secret = stored.toLatin1();
    return secret;
}

QString Mac(const QByteArray& purpose, const QString& text)
{
    const QByteArray key = Secret();
    if (key.isEmpty())
        return QString();
    return QString::fromLatin1(
        QMessageAuthenticationCode::hash(purpose + text.toUtf8(), key, QCryptographicHash::Sha256).toHex());
}

bool SameText(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    char16_t diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= a[i].unicode() ^ b[i].unicode();
    return diff == 0;
}

constexpr int kAuthTries = 4;

} // namespace

QString MakeWxSessionId(const QString& openid)
{
    if (!IsOpenId(openid))
        return QString();
    const QString mac = Mac("session:", openid);
    return mac.isEmpty() ? QString() : QStringLiteral("wx_") + openid + u'.' + mac;
}

bool VerifyWxSessionId(const QString& id)
{
    if (!IsWeChatSessionIdForm(id))
        return false;
    const qsizetype dot = id.indexOf(u'.');
    if (dot < 0)
        return false; // the openid alone, as older versions issued it: a new login is needed
    const QString mac = Mac("session:", id.mid(3, dot - 3));
    return !mac.isEmpty() && SameText(mac, id.mid(dot + 1));
}

QString WxOpenIdOf(const QString& id)
{
    if (!VerifyWxSessionId(id))
        return QString();
    return id.mid(3, id.indexOf(u'.') - 3);
}

QString MakeWxAuthState(const QString& sessionId)
{
    if (!IsGeneratedSessionId(sessionId))
        return QString();
    return Mac("state:", sessionId).left(32);
}

void OnWxAuth(CHttpRequest& request)
{
    const QString code = request.GetParamText(QStringLiteral("code"));
    QString appId, secret;
    {
        XAppServices& app = AppServices();
        std::lock_guard lock(app.Mutex());
        appId = app.SetupValue(QStringLiteral("WxAppID")).toString();
        secret = app.SetupValue(QStringLiteral("WxAppSecret")).toString();
    }
    if (code.isEmpty() || appId.isEmpty() || secret.isEmpty()) {
        request.WriteHttpResponse(404, 0, QByteArray(), CACHE_NONE, QString());
        return;
    }
    // The code must come back to the browser the authorisation was started for: the state
    // is bound to the session id that browser held then.
    const QString state = MakeWxAuthState(request.m_user.m_strSession);
    if (state.isEmpty() || !SameText(state, request.GetParamText(QStringLiteral("state")))) {
        request.WriteHttpResponse(403, 0, QByteArray(), CACHE_NONE, QString());
        return;
    }
    const QString path =
        QStringLiteral("sns/oauth2/access_token?appid=%1&secret=%2&code=%3&grant_type=authorization_code")
            .arg(PercentEncode(appId), PercentEncode(secret), PercentEncode(code));
    QString sessionId;
    for (int attempt = 1;; ++attempt) {
        QJsonObject reply;
        if (WxApiCall(path, QByteArray(), reply)) {
            sessionId = MakeWxSessionId(reply.value(QLatin1String("openid")).toString());
            if (!sessionId.isEmpty())
                break;
        }
        if (attempt >= kAuthTries || WebStopEvent().Wait(std::chrono::milliseconds(500))) {
            request.WriteHttpResponse(500, 0, QByteArray(), CACHE_NONE, QString());
            return;
        }
    }
    // The browser gets the WeChat session id as its cookie with the redirect; the session
    // itself is made by its next request.
    request.m_user.m_strSession = sessionId;
    request.WriteHttpResponse(302, 0, QByteArray(), CACHE_NONE, QStringLiteral("/"));
}

void InstallWxWebSeams()
{
    WxAuthRoute() = [](CHttpRequest& request) { OnWxAuth(request); };
    WxSessionVerifier() = [](const QString& id) { return VerifyWxSessionId(id); };
}

void RemoveWxWebSeams()
{
    WxAuthRoute() = nullptr;
    WxSessionVerifier() = nullptr;
}

} // namespace xInternet
