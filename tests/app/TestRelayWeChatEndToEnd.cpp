// The program on the Internet: started with a relay server's address and the school's WeChat
// keys, it joins the relay, keeps a WeChat token through the relay's HTTP call, makes the
// QR code, and logs a parent's WeChat browser in through the authorisation redirect. A
// phone's SMS code goes out through the relay as well. The relay is a fake on loopback whose
// HTTP call is answered by a stand-in for the WeChat API.
#include "CDBSetup.h"
#include "CHttpSession.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "DbTestSupport.h"
#include "FakeRelay.h"
#include "FakeWeChat.h"
#include "OpenDatabase.h"
#include "OperLog.h"
#include "ProgramSeams.h"
#include "Relay.h"
#include "Settings.h"
#include "TestSupport.h"
#include "WebService.h"
#include "XAppServices.h"
#include "XErrorReporter.h"
#include "LorvanProcess.h"

#include <gtest/gtest.h>

#include <QtCore/QCryptographicHash>
#include <QtCore/QMessageAuthenticationCode>
#include <QtCore/QProcess>
#include <QtCore/QUrl>
#include <QtCore/QUrlQuery>

#include <chrono>

using namespace std::chrono_literals;

namespace {

// A stored setting of the program's database, read on a connection of its own (the program
// may be writing); empty when there is none.
QString StoredSetting(const QString& path, const char* key)
{
    CXDBSession s;
    CXAccessor cmd;
    if (!s.Open(path) ||
        !cmd.Prepare(s, QStringLiteral("SELECT KeyValue FROM TB_PROFILE WHERE SecName='Global' AND "
                                       "KeyName=?")) ||
        !cmd.SetParamText(1, QString::fromLatin1(key)) || !cmd.Execute() || !cmd.MoveNext())
        return QString();
    return cmd.GetText(1);
}

// The WeChat keys saved as the preferences dialog saves them: an edit of the current
// preferences, stored by CDBSetup::Save. No current copy is installed at the save, so it
// does not wait for a token thread, which only the program runs.
void SaveWeChatKeys(const QString& appId, const QString& secret)
{
    CDBSetup current;
    current.Load();
    CDBSetup* previous = SetCurrentSetup(&current);
    CDBSetup edit;
    edit.BeginEdit();
    SetCurrentSetup(previous);
    edit.m_strWxAppID = appId;
    edit.m_strWxAppSecret = secret;
    edit.Save(BuiltInAdmin());
}

// One HTTP answer as the relay got it back.
struct XReplyParts
{
    int status = 0;
    QByteArray head;
    QByteArray body;
    QByteArray Header(const char* name) const
    {
        for (const QByteArray& line : head.split('\n'))
            if (line.toLower().startsWith(QByteArray(name).toLower() + ':'))
                return line.mid(qstrlen(name) + 1).trimmed();
        return QByteArray();
    }
    QString Cookie() const
    {
        const QByteArray c = Header("Set-Cookie");
        if (!c.startsWith("SESSIONID="))
            return QString();
        return QString::fromLatin1(c.mid(10, c.indexOf(';') - 10));
    }
};

XReplyParts Split(const QByteArray& bytes)
{
    XReplyParts r;
    const qsizetype end = bytes.indexOf("\r\n\r\n");
    r.head = bytes.left(end);
    r.body = end < 0 ? QByteArray() : bytes.mid(end + 4);
    r.status = bytes.mid(9, 3).toInt();
    return r;
}

// A browser's request as the relay passes it on: with the address the relay saw it from; a
// form is posted as the pages' scripts post it, as an XML document.
QByteArray Request(const QByteArray& target, const QString& cookie, const QByteArray& remote, bool weChat = true,
                   const QByteArray& form = QByteArray())
{
    QByteArray r = (form.isEmpty() ? "GET " : "POST ") + target + " HTTP/1.1\r\nHost: school.example\r\n";
    if (weChat)
        r += "User-Agent: Mozilla/5.0 (Linux; Android 13) AppleWebKit/537.36 MicroMessenger/8.0.47\r\n";
    if (!cookie.isEmpty())
        r += "Cookie: SESSIONID=" + cookie.toLatin1() + "\r\n";
    r += "REMOTE_ADDR: " + remote + "\r\n";
    if (!form.isEmpty())
        r += "Content-Type: text/xml; charset=utf-8\r\nContent-Length: " + QByteArray::number(form.size()) + "\r\n";
    return r + "\r\n" + form;
}

TEST(Lorvan, JoinsTheRelayAndLogsWeChatUsersIn)
{
    TempDatabase db; // the program folder, with the database the program would create
    {
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session));
    }
    SaveWeChatKeys(QStringLiteral("wxAPP"), QStringLiteral("SECRET"));
    ASSERT_EQ(ReadSetting(QStringLiteral("Global"), QStringLiteral("WxAppID"), QString()), QStringLiteral("wxAPP"));
    CXDBSession::CloseShared();

    FakeRelay relay;
    ASSERT_GT(relay.Port(), 0);
    FakeWeChat weChat;
    weChat.codes.insert(QStringLiteral("CODE-1"), QStringLiteral("oParent_42"));
    relay.httpHandler = [&weChat](const QString& url, const QString& post) {
        return weChat.Handle(url, post.toUtf8());
    };

    QProcess lorvan;
    ASSERT_TRUE(StartLorvan(lorvan, db.Home(),
                            {{QStringLiteral("LORVAN_RELAY_SERVER"), QStringLiteral("127.0.0.1:%1").arg(relay.Port())},
                             {QStringLiteral("LORVAN_RELAY_DOMAIN"), QString()}}));
    auto stderrText = [&lorvan] { return lorvan.readAllStandardError().toStdString(); };

    // the join: signed, the first of this run, with the installation's own id
    ASSERT_TRUE(relay.WaitUntil([&relay] { return relay.PoolSize() >= 1; }, 60s)) << stderrText();
    const QString ltdid = StoredSetting(db.Path(), "RelayLtdID");
    ASSERT_EQ(ltdid.size(), 32);
    const FakeRelay::Message join = relay.Messages().front();
    EXPECT_EQ(join.Attr("func"), QStringLiteral("0"));
    EXPECT_TRUE(join.keyOk);
    EXPECT_EQ(join.Attr("reconnect"), QStringLiteral("1"));
    EXPECT_EQ(join.Attr("ltdid"), ltdid);

    // the token thread runs from the join: token, QR code, industries, each through the relay
    ASSERT_TRUE(relay.WaitUntil(
        [&weChat] { return weChat.Count(QStringLiteral("cgi-bin/template/api_set_industry")) >= 1; }, 30s))
        << stderrText();
    const auto tokens = weChat.Calls(QStringLiteral("cgi-bin/token"));
    ASSERT_EQ(tokens.size(), 1u);
    EXPECT_EQ(tokens[0].query.queryItemValue(QStringLiteral("appid")), QStringLiteral("wxAPP"));
    EXPECT_EQ(tokens[0].query.queryItemValue(QStringLiteral("secret")), QStringLiteral("SECRET"));
    const auto qr = weChat.Calls(QStringLiteral("cgi-bin/qrcode/create"));
    ASSERT_EQ(qr.size(), 1u);
    EXPECT_EQ(qr[0].query.queryItemValue(QStringLiteral("access_token")), QStringLiteral("TOKEN-1"));
    EXPECT_EQ(qr[0].json.value(QStringLiteral("action_name")).toString(), QStringLiteral("QR_LIMIT_SCENE"));
    // token, QR code, industry asked and set: four signed HTTP calls of the relay
    EXPECT_TRUE(relay.WaitUntil([&relay] { return relay.Count(3) == 4; }));
    for (const FakeRelay::Message& m : relay.Messages())
        if (m.Attr("func") == QStringLiteral("3"))
            EXPECT_TRUE(m.keyOk && m.Attr("url").startsWith(QStringLiteral("https://api.weixin.qq.com/")))
                << m.Attr("url").toStdString();

    // a WeChat browser on the Internet without a session of ours: to the authorisation
    const QByteArray remote = "203.0.113.7";
    const XReplyParts toAuth = Split(relay.Push(0, Request("/", QString(), remote)));
    ASSERT_EQ(toAuth.status, 302) << toAuth.head.constData();
    const QUrl authorize(QString::fromUtf8(toAuth.Header("Location")));
    EXPECT_EQ(authorize.host(), QStringLiteral("open.weixin.qq.com"));
    const QUrlQuery authQuery(authorize);
    EXPECT_EQ(authQuery.queryItemValue(QStringLiteral("appid")), QStringLiteral("wxAPP"));
    EXPECT_EQ(authQuery.queryItemValue(QStringLiteral("redirect_uri"), QUrl::FullyDecoded),
              QStringLiteral("https://%1.127.0.0.1/wxauth").arg(ltdid));
    const QString state = authQuery.queryItemValue(QStringLiteral("state"));
    EXPECT_FALSE(state.isEmpty());
    const QString browserId = toAuth.Cookie();
    ASSERT_EQ(browserId.size(), 32) << toAuth.head.constData();

    // WeChat sends the browser back with a code: exchanged through the relay for the openid
    const XReplyParts back =
        Split(relay.Push(0, Request("/wxauth?code=CODE-1&state=" + state.toLatin1(), browserId, remote)));
    ASSERT_EQ(back.status, 302) << back.head.constData();
    EXPECT_EQ(back.Header("Location"), "/");
    const auto exchanges = weChat.Calls(QStringLiteral("sns/oauth2/access_token"));
    ASSERT_EQ(exchanges.size(), 1u);
    EXPECT_EQ(exchanges[0].query.queryItemValue(QStringLiteral("code")), QStringLiteral("CODE-1"));

    // the session id: the openid and its MAC under the installation's secret
    const QString weChatId = back.Cookie();
    const QString prefix = QStringLiteral("wx_oParent_42.");
    ASSERT_TRUE(weChatId.startsWith(prefix)) << weChatId.toStdString();
    const QString secret = StoredSetting(db.Path(), "WxSessionSecret");
    ASSERT_GE(secret.size(), 32);
    const QByteArray mac =
        QMessageAuthenticationCode::hash("session:oParent_42", secret.toLatin1(), QCryptographicHash::Sha256).toHex();
    EXPECT_EQ(weChatId.mid(prefix.size()), QString::fromLatin1(mac));

    // with it the browser is served, in its session, and sees the QR code's address
    const XReplyParts page = Split(relay.Push(0, Request("/", weChatId, remote)));
    ASSERT_EQ(page.status, 200) << page.head.constData();
    EXPECT_TRUE(page.body.contains("<session id=\"" + weChatId.toLatin1() + "\"")) << page.body.constData();
    EXPECT_TRUE(page.body.contains("WxConnected=\"1\"")) << page.body.constData();
    EXPECT_TRUE(page.body.contains("WxOpenUrl=\"http://weixin.qq.com/q/school1\"")) << page.body.constData();

    // an id with someone else's MAC is nobody's session: back to the authorisation
    const QString forged = prefix + QString(64, u'0');
    const XReplyParts refused = Split(relay.Push(0, Request("/", forged, remote)));
    EXPECT_EQ(refused.status, 302) << refused.head.constData();
    EXPECT_TRUE(refused.Header("Location").startsWith("https://open.weixin.qq.com/"));
    EXPECT_NE(refused.Cookie(), forged);

    lorvan.terminate();
    ASSERT_TRUE(lorvan.waitForFinished(30000));
    EXPECT_EQ(lorvan.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lorvan.exitCode(), 0) << stderrText();
    // the relay is told at once that the installation left
    EXPECT_TRUE(relay.WaitUntil([&relay] { return relay.Count(1) == 1; }));
}

// The phone's SMS code leaves through the relay the program wires in: the picture code is
// asked for and the code sent down a pooled connection, as from a phone on the Internet.
// (In this process, with the program's own wiring installed: the picture code can only be
// read from the session here.)
TEST(RelayWiring, APhonesSmsCodeGoesOutThroughTheRelay)
{
    TempDatabase db;
    {
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session));
    }
    FakeRelay relay;
    ASSERT_GT(relay.Port(), 0);
    // The program's wiring, removed again however the test ends; the program installs its
    // own services and error sink and removes them, the test's come back.
    struct XProgramWiring
    {
        XAppServices* services = SetAppServices(nullptr);
        XErrorSink sink = SetErrorSink(nullptr);
        explicit XProgramWiring(int relayPort)
        {
            SetAppServices(services);
            InstallProgramSeams(*services);
            SetErrorSink(sink);
            xInternet::SetRelayServer({QStringLiteral("127.0.0.1"), relayPort, QString()});
            xInternet::StartWebService();
        }
        ~XProgramWiring()
        {
            xInternet::StopWebService();
            xInternet::SetRelayServer({});
            RemoveProgramSeams();
            SetAppServices(services);
            SetErrorSink(sink);
        }
    } wiring(relay.Port());

    ASSERT_TRUE(relay.WaitUntil([&relay] { return relay.PoolSize() >= 1; }, 30s));
    {
        const QByteArray remote = "203.0.113.9";
        const XReplyParts picture = Split(relay.Push(0, Request("/artcode", QString(), remote, false)));
        EXPECT_EQ(picture.status, 200);
        const QString id = picture.Cookie();
        QString artCode;
        {
            std::lock_guard lock(xInternet::SessionLock());
            auto it = xInternet::SessionMap().find(id);
            if (it != xInternet::SessionMap().end())
                artCode = it->second->m_artCode.text;
        }
        ASSERT_EQ(artCode.size(), 4) << picture.head.constData();

        const XReplyParts sent = Split(relay.Push(
            0, Request("/sendsms", id, remote, false,
                       "<r><x id=\"phone\">13912345678</x><x id=\"artcode\">" + artCode.toLatin1() + "</x></r>")));
        EXPECT_EQ(sent.status, 200) << sent.head.constData() << "\n" << artCode.toStdString();
        EXPECT_TRUE(sent.body.contains("errid=\"100\"")) << sent.body.constData();
        QString smsCode;
        {
            std::lock_guard lock(xInternet::SessionLock());
            auto it = xInternet::SessionMap().find(id);
            if (it != xInternet::SessionMap().end())
                smsCode = it->second->m_smsCode.text;
        }
        EXPECT_FALSE(smsCode.isEmpty());
        ASSERT_EQ(relay.Count(4), 1);
        for (const FakeRelay::Message& m : relay.Messages())
            if (m.Attr("func") == QStringLiteral("4")) {
                EXPECT_EQ(m.Attr("Phone"), QStringLiteral("13912345678"));
                EXPECT_EQ(m.Attr("code"), smsCode);
            }
    }
}

} // namespace
