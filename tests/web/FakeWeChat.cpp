#include "FakeWeChat.h"

#include "WxHttp.h"

#include <QtCore/QJsonDocument>
#include <QtCore/QUrl>

namespace {
const QString kHost = QStringLiteral("https://api.weixin.qq.com/");

QByteArray Json(const QJsonObject& o) { return QJsonDocument(o).toJson(QJsonDocument::Compact); }
QByteArray Error(int code, const char* msg) { return Json({{"errcode", code}, {"errmsg", msg}}); }
} // namespace

FakeWeChat::FakeWeChat()
{
    xInternet::WxHttpCall() = [this](const QString& url, const QByteArray& post) { return Handle(url, post); };
}

FakeWeChat::~FakeWeChat() { xInternet::WxHttpCall() = nullptr; }

QByteArray FakeWeChat::Handle(const QString& url, const QByteArray& post)
{
    if (!url.startsWith(kHost))
        return QByteArray();
    const QUrl parsed(url);
    Call call;
    call.path = parsed.path().mid(1);
    call.query = QUrlQuery(parsed.query(QUrl::FullyEncoded));
    call.body = post;
    call.json = QJsonDocument::fromJson(post).object();
    QString expectToken;
    QByteArray reply;
    {
        std::lock_guard lock(m_lock);
        m_calls.push_back(call);
        expectToken = token;
    }
    const auto q = [&call](const char* key) {
        return call.query.queryItemValue(QLatin1String(key), QUrl::FullyDecoded);
    };
    if (call.path == u"cgi-bin/token") {
        if (tokenDown)
            return QByteArray();
        if (q("grant_type") != u"client_credential" || q("appid") != appId || q("secret") != appSecret)
            return Error(40013, "invalid appid");
        QJsonObject o{{"access_token", token}};
        if (!expiresIn.isUndefined())
            o.insert("expires_in", expiresIn);
        return Json(o);
    }
    if (call.path == u"sns/oauth2/access_token") {
        if (q("appid") != appId || q("secret") != appSecret || !codes.contains(q("code")))
            return Error(40029, "invalid code");
        return Json({{"access_token", "WEB-TOKEN"}, {"openid", codes.value(q("code"))}, {"scope", "snsapi_base"}});
    }
    if (q("access_token") != expectToken)
        return Error(40001, "invalid credential");
    if (call.path == u"cgi-bin/qrcode/create")
        return Json({{"ticket", "TICKET"}, {"url", qrUrl}});
    if (call.path == u"cgi-bin/template/get_industry")
        return Json({{"primary_industry", primary}, {"secondary_industry", secondary}});
    if (call.path == u"cgi-bin/template/api_set_industry")
        return Error(0, "ok");
    if (call.path == u"cgi-bin/template/get_all_private_template")
        return Json({{"template_list", privateTemplates}});
    if (call.path == u"cgi-bin/template/api_add_template")
        return Json({{"errcode", 0}, {"errmsg", "ok"}, {"template_id", addedTemplateId}});
    if (call.path == u"cgi-bin/message/template/send")
        return Json({{"errcode", sendErrmsg == u"ok" ? 0 : 40003}, {"errmsg", sendErrmsg}, {"msgid", 1}});
    return reply;
}

std::vector<FakeWeChat::Call> FakeWeChat::Calls(const QString& path) const
{
    std::lock_guard lock(m_lock);
    std::vector<Call> out;
    for (const Call& c : m_calls)
        if (c.path == path)
            out.push_back(c);
    return out;
}

void FakeWeChat::Clear()
{
    std::lock_guard lock(m_lock);
    m_calls.clear();
}
