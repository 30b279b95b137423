#include "WxHttp.h"

#include <QtCore/QJsonDocument>
#include <QtCore/QUrl>

namespace xInternet {

XHook<QByteArray(const QString& url, const QByteArray& post)>& WxHttpCall()
{
    static XHook<QByteArray(const QString&, const QByteArray&)> hook;
    return hook;
}

QString WxApiUrl(const QString& pathAndQuery) { return QStringLiteral("https://api.weixin.qq.com/") + pathAndQuery; }

bool WxApiCall(const QString& pathAndQuery, const QByteArray& post, QJsonObject& reply, QByteArray* raw)
{
    const QByteArray body = WxHttpCall()(WxApiUrl(pathAndQuery), post);
    if (raw)
        *raw = body;
    reply = QJsonObject();
    if (body.isEmpty())
        return false;
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    reply = doc.object();
    return true;
}

QString PercentEncode(const QString& text) { return QString::fromLatin1(QUrl::toPercentEncoding(text)); }

} // namespace xInternet
