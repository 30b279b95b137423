#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QJsonArray>
#include <QtCore/QJsonObject>
#include <QtCore/QMap>
#include <QtCore/QString>
#include <QtCore/QUrlQuery>

#include <mutex>
#include <vector>

// A stand-in for the WeChat API, answering the calls the program makes by URL and body the
// way the API's documentation describes them, and recording every call. Installed into
// WxHttpCall for its lifetime; Handle can equally sit behind a fake relay's HTTP call.
class FakeWeChat
{
public:
    struct Call
    {
        QString path;     // "cgi-bin/token"
        QUrlQuery query;  // its parameters
        QByteArray body;  // empty for a GET
        QJsonObject json; // the body read as JSON, when it is
    };

    FakeWeChat();
    ~FakeWeChat();
    FakeWeChat(const FakeWeChat&) = delete;
    FakeWeChat& operator=(const FakeWeChat&) = delete;

    QByteArray Handle(const QString& url, const QByteArray& post);

    std::vector<Call> Calls(const QString& path) const;
    int Count(const QString& path) const { return static_cast<int>(Calls(path).size()); }
    void Clear();

    // what the API answers; change before the calls
    QString appId = QStringLiteral("wxAPP"), appSecret = QStringLiteral("SECRET");
    QString token = QStringLiteral("TOKEN-1");
    QJsonValue expiresIn = 7200; // undefined: left out of the reply
    bool tokenDown = false;      // the token call gets no answer at all
    QString qrUrl = QStringLiteral("http://weixin.qq.com/q/school1");
    QJsonObject primary{{"first_class", "IT科技"}, {"second_class", "IT软件与服务"}};
    QJsonObject secondary{{"first_class", "金融业"}, {"second_class", "银行"}};
    QMap<QString, QString> codes; // OAuth code -> openid
    QJsonArray privateTemplates;  // entries of template_list
    QString addedTemplateId = QStringLiteral("ADDED-TMPL");
    QString sendErrmsg = QStringLiteral("ok");

private:
    mutable std::mutex m_lock;
    std::vector<Call> m_calls;
};
