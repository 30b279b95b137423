// The account routes on the fixture school, each request dispatched through the route table
// as the service does, over a socket pair whose other end the test reads.
#include "CFakeAppServices.h"
#include "CHttpRequest.h"
#include "ServeOnSocketPair.h"
#include "CHttpSession.h"
#include "CMD5.h"
#include "FixtureSchool.h"
#include "HttpParse.h"
#include "LoginThrottle.h"
#include "RecordConsts.h"
#include "Settings.h"
#include "SmsSender.h"
#include "TransformXsl.h"
#include "WebResources.h"
#include "WebService.h"

#include <gtest/gtest.h>

#include <QtCore/QRegularExpression>

#include <sys/socket.h>
#include <unistd.h>

using namespace xInternet;

namespace {

QString Md5(const char* text) { return Md5HexW(QString::fromUtf8(text)); }

struct XAnswer
{
    int status = 0;
    QByteArray head;
    QString body;
    QString Attr(const char* name) const
    {
        const QRegularExpression re(QStringLiteral("<r [^>]*\\b%1=\"([^\"]*)\"").arg(QLatin1String(name)));
        const auto m = re.match(body);
        return m.hasMatch() ? m.captured(1) : QString();
    }
    int Err() const { return Attr("errid").toInt(); }
};

// A phone browser: its cookie and address. Each call is one request through the routes.
struct XBrowser
{
    QString session;
    QString ip = QStringLiteral("10.0.0.5");
};

class AcctRoutes : public SchoolBeforeTimetablesTest
{
protected:
    void SetUp() override
    {
        SchoolBeforeTimetablesTest::SetUp();
        auto& app = CFakeAppServices::Installed();
        app.setup[QStringLiteral("DefaultPwd0")] = QStringLiteral("teach");
        app.setup[QStringLiteral("DefaultPwd1")] = QStringLiteral("learn");
        WriteSetting(QStringLiteral("Global"), QStringLiteral("AdminMD5Pwd"), Md5("root"));
        ASSERT_TRUE(Exec(QStringLiteral("UPDATE TB_TEACHER SET UserPassword='%1' WHERE ID=%2")
                             .arg(Md5("liufang"))
                             .arg(m_school.t1)));
        ASSERT_TRUE(Exec(
            QStringLiteral("UPDATE TB_STUDENT SET UserPassword='%1' WHERE ID=%2").arg(Md5("lisi")).arg(m_school.s3)));
        LoginThrottle().Clear();
    }
    void TearDown() override
    {
        SmsSender().Install(nullptr);
        LoginThrottle().Clear();
        {
            std::lock_guard lock(SessionLock());
            SessionMap().clear();
        }
        CFakeAppServices::Installed().setup.clear();
        SchoolBeforeTimetablesTest::TearDown();
    }

    // One request as the service makes it: the session is looked up (or made) by the
    // browser's cookie, then the route table answers. The browser takes a new cookie.
    XAnswer Call(XBrowser& browser, const char* path, std::initializer_list<std::pair<const char*, QString>> params,
                 const char* method = "POST", const QByteArray& origin = QByteArray(), bool html = false)
    {
        XAnswer answer;
        const QByteArray out = ServeOnSocketPair([&](int socket) {
            CHttpRequest request(socket);
            request.m_strMethod = method;
            request.m_strPath = QString::fromUtf8(path);
            request.m_strHead = QByteArray(method) + " /" + path + " HTTP/1.1\r\nHost: school:8080\r\n" +
                                (origin.isEmpty() ? QByteArray() : "Origin: " + origin + "\r\n") +
                                (html ? "Accept: text/html,application/xhtml+xml\r\n" : "") + "\r\n";
            for (const auto& [name, value] : params)
                request.m_params.insert(QString::fromUtf8(name).toLower(), value);
            request.m_user.m_strIP = browser.ip;
            {
                std::lock_guard lock(SessionLock());
                auto it = SessionMap().find(browser.session);
                if (it == SessionMap().end()) {
                    browser.session = GenerateSessionId();
                    it = SessionMap().emplace(browser.session, std::make_unique<CHttpSession>()).first;
                }
                request.m_user.m_strSession = browser.session;
                if (CXItem* current = it->second->GetCurrent())
                    current->CopyTo(&request.m_user);
            }
            DispatchRequest(request);
        });
        const qsizetype end = out.indexOf("\r\n\r\n");
        answer.head = out.left(end);
        answer.body = QString::fromUtf8(out.mid(end + 4));
        answer.status = out.mid(9, 3).toInt();
        const qsizetype cookie = answer.head.indexOf("SESSIONID=");
        if (cookie >= 0)
            browser.session =
                QString::fromLatin1(answer.head.mid(cookie + 10, answer.head.indexOf(';', cookie) - cookie - 10));
        return answer;
    }

    // A page as a browser's navigation gets it: rendered on the server.
    XAnswer Page(XBrowser& b, const char* path, std::initializer_list<std::pair<const char*, QString>> params,
                 const char* method = "GET")
    {
        return Call(b, path, params, method, QByteArray(), true);
    }

    XAnswer Login(XBrowser& b, const char* name, const char* password)
    {
        return Call(b, "login", {{"username", QString::fromUtf8(name)}, {"password", Md5(password)}});
    }

    // (module, ID, current) of each identity of the browser's session.
    std::vector<std::tuple<int, int, bool>> Identities(const XBrowser& b)
    {
        std::vector<std::tuple<int, int, bool>> out;
        std::lock_guard lock(SessionLock());
        auto it = SessionMap().find(b.session);
        if (it != SessionMap().end())
            for (const CXItem* i : it->second->Identities())
                out.emplace_back(i->m_nMduID, i->m_nID, i == it->second->GetCurrent());
        return out;
    }

    // A code of the session as the picture route or a sent SMS would issue it.
    QString IssueCode(const XBrowser& b, const QString& alphabet, const QString& phone = QString())
    {
        CHttpRequest request(-1);
        request.m_user.m_strSession = b.session;
        return request.MakeSessionCode(alphabet, true, phone);
    }

    static void Advance(double seconds) { XClock::SetFixed(XDateTime(XClock::Now().Day() + seconds / 86400.0)); }
};

using Ids = std::vector<std::tuple<int, int, bool>>;

TEST_F(AcctRoutes, PasswordLoginBindsARotatedSessionAndLogsIt)
{
    XBrowser b;
    Call(b, "", {}, "GET");
    const QString planted = b.session;

    // upper-case hex matches the stored lower-case digest
    const XAnswer ok = Call(b, "login", {{"username", u"刘芳"_qs}, {"password", Md5("liufang").toUpper()}});
    ASSERT_EQ(ok.status, 200);
    EXPECT_EQ(ok.Err(), ERR_OK);
    EXPECT_NE(b.session, planted) << "the id the browser had before the login must not become a logged-in one";
    {
        std::lock_guard lock(SessionLock());
        EXPECT_EQ(SessionMap().count(planted), 0u);
    }
    EXPECT_EQ(Identities(b), (Ids{{MDU_TEACHER, m_school.t1, true}}));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT UserSession||'|'||UserID||'|'||SessionEnd FROM TB_OPERLOG "
                                       "WHERE TypeID=%1")
                            .arg(int(OPER_LOGIN))),
              QStringLiteral("%1|%2|0").arg(b.session).arg(m_school.t1));

    // the same person again: refused, one copy stays
    EXPECT_EQ(Login(b, "刘芳", "liufang").Err(), ERR_HasBound);
    EXPECT_EQ(Identities(b).size(), 1u);

    // a second person joins the session, which moves again and takes the first login along
    const QString before = b.session;
    EXPECT_EQ(Login(b, "李四", "lisi").Err(), ERR_OK);
    EXPECT_NE(b.session, before);
    EXPECT_EQ(Identities(b), (Ids{{MDU_TEACHER, m_school.t1, false}, {MDU_STUDENT, m_school.s3, true}}));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1 AND SessionEnd=0 AND "
                                       "UserSession='%2'")
                            .arg(int(OPER_LOGIN))
                            .arg(b.session)),
              QStringLiteral("2"));

    // a WeChat session keeps its id: it cannot be planted, and the WeChat binding goes by it
    XBrowser weChat;
    weChat.session = QStringLiteral("wx_oABCDEFGHIJKLMNOP");
    {
        std::lock_guard lock(SessionLock());
        SessionMap().emplace(weChat.session, std::make_unique<CHttpSession>());
    }
    EXPECT_EQ(Login(weChat, "周杰", "teach").Err(), ERR_OK);
    EXPECT_EQ(weChat.session, u"wx_oABCDEFGHIJKLMNOP"_qs);
    EXPECT_EQ(Identities(weChat), (Ids{{MDU_TEACHER, m_school.t3, true}}));

    // the administrator by name in any case, with the password stored now
    XBrowser admin;
    EXPECT_EQ(Login(admin, "aDMIN", "root").Err(), ERR_OK);
    EXPECT_EQ(Identities(admin), (Ids{{MDU_TEACHER, 0, true}}));
}

TEST_F(AcctRoutes, RefusedLoginsLeaveTheSessionAlone)
{
    struct Case
    {
        const char* name;
        QString password;
        QString phone;
        int status;
        int err;
    } cases[] = {
        {"张三", Md5("x"), {}, 200, ERR_Repeat},            // two students of that name
        {"吴敏", Md5("teach"), {}, 200, ERR_NotFound},      // left the school
        {"王五", Md5("learn"), {}, 200, ERR_NotFound},      // not allowed to log in
        {"刘芳", Md5("wrong"), {}, 200, ERR_ErrorPassword}, // wrong password
        {"刘芳", u"liufang"_qs, {}, 400, 0},                // not a digest
        {"", Md5("teach"), {}, 400, 0},                     // no name: would take any single account
        {"13800138000", {}, u"13800138000"_qs, 400, 0},     // SMS login with a phone as the name
        {"张三", {}, u"23800138000"_qs, 400, 0},            // not a phone number
    };
    ASSERT_TRUE(Exec(QStringLiteral("UPDATE TB_STUDENT SET IsEnabled=0 WHERE ID=%1").arg(m_school.s4)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        XBrowser b;
        const XAnswer a = Call(b, "login",
                               {{"username", QString::fromUtf8(c.name)},
                                {"password", c.password},
                                {"phone", c.phone},
                                {"smscode", u"1234"_qs}});
        EXPECT_EQ(a.status, c.status);
        EXPECT_EQ(a.Err(), c.err);
        EXPECT_TRUE(Identities(b).empty());
        if (c.status == 400)
            EXPECT_TRUE(a.body.isEmpty());
    }
    // an ordinary teacher still on the staff logs in with the module's default password
    XBrowser b;
    EXPECT_EQ(Login(b, "周杰", "teach").Err(), ERR_OK);
    // a state change needs a same-origin POST
    EXPECT_EQ(Call(b, "login", {}, "GET").status, 405);
    EXPECT_EQ(Call(b, "logout", {}, "POST", "http://evil.example").status, 403);
    EXPECT_EQ(Identities(b).size(), 1u);
}

TEST_F(AcctRoutes, RepeatedWrongPasswordsBackOffPerAccountAndAddress)
{
    XBrowser b;
    for (int i = 0; i < XLoginThrottle::kFreeFailures; ++i)
        ASSERT_EQ(Login(b, "刘芳", "guess").Err(), ERR_ErrorPassword);
    // even the right password waits now, from another address too
    XBrowser elsewhere;
    elsewhere.ip = QStringLiteral("10.0.0.9");
    EXPECT_EQ(Login(elsewhere, "刘芳", "liufang").Err(), ERR_FailMsg);
    EXPECT_EQ(Login(b, "刘芳", "liufang").Err(), ERR_FailMsg);
    EXPECT_TRUE(Identities(b).empty());
    Advance(XLoginThrottle::kFirstWaitSeconds + 1);
    EXPECT_EQ(Login(elsewhere, "刘芳", "liufang").Err(), ERR_OK);

    // one address guessing over many names waits as well, other addresses do not
    XBrowser guesser;
    guesser.ip = QStringLiteral("10.0.0.66");
    for (const char* name : {"甲", "乙", "丙", "丁", "戊"})
        ASSERT_EQ(Login(guesser, name, "x").Err(), ERR_NotFound);
    EXPECT_EQ(Login(guesser, "李四", "lisi").Err(), ERR_FailMsg);
    XBrowser other;
    EXPECT_EQ(Login(other, "李四", "lisi").Err(), ERR_OK);
}

TEST(AcctThrottle, WaitsDoubleUpToACapAndAreForgotten)
{
    XClock::SetFixed(XDateTime(2026, 3, 18));
    XLoginThrottle t;
    t.Clear();
    const QString key = QStringLiteral("321:9");
    for (int i = 0; i < XLoginThrottle::kFreeFailures - 1; ++i)
        t.Failed(key);
    EXPECT_EQ(t.WaitSeconds(key), 0);
    const int expected[] = {30, 60, 120, 240, 480, 900, 900};
    for (int wait : expected) {
        t.Failed(key);
        EXPECT_EQ(t.WaitSeconds(key), wait);
    }
    XClock::SetFixed(XDateTime(XClock::Now().Day() + (XLoginThrottle::kForgetSeconds + 1) / 86400.0));
    EXPECT_EQ(t.WaitSeconds(key), 0);
    t.Failed(key); // counting starts over
    EXPECT_EQ(t.WaitSeconds(key), 0);
    t.Clear();
    XClock::Reset();
}

TEST_F(AcctRoutes, SmsCodesSendAndLogIn)
{
    std::vector<std::pair<QString, QString>> sent;
    XSmsSend reply = XSmsSend::Sent;
    XBrowser b;
    Call(b, "", {}, "GET");
    const QString phone = QStringLiteral("13912345678");
    auto send = [&](const QString& art) { return Call(b, "sendsms", {{"phone", phone}, {"artcode", art}}); };

    // malformed requests
    EXPECT_EQ(send(QStringLiteral("abc")).status, 400);
    EXPECT_EQ(Call(b, "sendsms", {{"phone", u"1391234567"_qs}, {"artcode", u"abcd"_qs}}).status, 400);
    // no relay: nothing can be sent
    EXPECT_EQ(send(IssueCode(b, kArtCodeAlphabet)).Err(), ERR_FailedSmsCode);

    SmsSender().Install([&](const QString& p, const QString& code) {
        sent.emplace_back(p, code);
        return reply;
    });
    IssueCode(b, kArtCodeAlphabet);
    EXPECT_EQ(send(QStringLiteral("zzzz")).Err(), ERR_ErrorArtCode);
    EXPECT_TRUE(sent.empty());

    // the picture code in another case; a failed send holds nothing back
    reply = XSmsSend::Failed;
    EXPECT_EQ(send(IssueCode(b, kArtCodeAlphabet).toLower()).Err(), ERR_FailedSmsCode);
    reply = XSmsSend::Sent;
    EXPECT_EQ(send(IssueCode(b, kArtCodeAlphabet).toUpper()).Err(), ERR_OK);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent.back().first, phone);
    const QString code = sent.back().second;
    Advance(30);
    EXPECT_EQ(send(IssueCode(b, kArtCodeAlphabet)).Err(), ERR_BusySmsCode);
    EXPECT_EQ(sent.size(), 2u);

    auto smsLogin = [&](const QString& c) {
        return Call(b, "login", {{"username", u"李四"_qs}, {"phone", phone}, {"smscode", c}}).Err();
    };
    EXPECT_EQ(smsLogin(code == u"0000"_qs ? u"0001"_qs : u"0000"_qs), ERR_ErrorSmsCode);
    EXPECT_EQ(smsLogin(code), ERR_OK);
    EXPECT_EQ(Identities(b), (Ids{{MDU_STUDENT, m_school.s3, true}}));

    // a code older than five minutes has expired; the relay down is a server failure
    Advance(31);
    reply = XSmsSend::NoConnection;
    EXPECT_EQ(send(IssueCode(b, kArtCodeAlphabet)).status, 500);
    reply = XSmsSend::Sent;
    EXPECT_EQ(send(IssueCode(b, kArtCodeAlphabet)).Err(), ERR_OK);
    Advance(5 * 60 + 1);
    EXPECT_EQ(Call(b, "login", {{"phone", phone}, {"smscode", sent.back().second}}).Err(), ERR_ExpireSmsCode);
}

TEST_F(AcctRoutes, ResettingAnotherPasswordNeedsAnAdministrator)
{
    const QString stored = QStringLiteral("SELECT UserPassword FROM TB_STUDENT WHERE ID=%1").arg(m_school.s3);
    XBrowser student;
    ASSERT_EQ(Login(student, "李四", "lisi").Err(), ERR_OK);
    const auto reset = [&](XBrowser& by) {
        return Call(by, "resetpwd", {{"mduid", QString::number(MDU_STUDENT)}, {"id", QString::number(m_school.s3)}});
    };

    XBrowser nobody, clerk;
    ASSERT_EQ(Login(clerk, "孙丽", "teach").Err(), ERR_OK); // an operator, not an administrator
    for (XBrowser* b : {&nobody, &clerk, &student}) {
        const XAnswer a = reset(*b);
        EXPECT_EQ(a.status, 400);
        EXPECT_FALSE(a.body.contains(u"learn"_qs));
    }
    EXPECT_EQ(QueryText(stored), Md5("lisi"));

    XBrowser admin;
    ASSERT_EQ(Login(admin, "刘芳", "liufang").Err(), ERR_OK);
    const XAnswer a = reset(admin);
    EXPECT_EQ(a.Err(), ERR_OK);
    EXPECT_EQ(a.Attr("username"), u"李四"_qs);
    EXPECT_EQ(a.Attr("defaultpwd"), u"learn"_qs);
    EXPECT_EQ(QueryText(stored), QString());
    EXPECT_TRUE(Identities(student).empty()) << "a reset ends the person's logins";
    EXPECT_EQ(Call(admin, "resetpwd", {{"mduid", u"321"_qs}, {"id", u"99999"_qs}}).Err(), ERR_NotFound);

    // self-service by a code sent to the phone
    XBrowser phone;
    Call(phone, "", {}, "GET");
    const QString code = IssueCode(phone, kSmsCodeAlphabet, u"13800138000"_qs);
    EXPECT_EQ(Call(phone, "resetpwd", {{"phone", u"13800138000"_qs}, {"smscode", u"x"_qs}}).Err(), ERR_ErrorSmsCode);
    const XAnswer self = Call(phone, "resetpwd", {{"phone", u"13800138000"_qs}, {"smscode", code}});
    EXPECT_EQ(self.Err(), ERR_OK);
    EXPECT_EQ(self.Attr("username"), u"张三"_qs);
}

TEST_F(AcctRoutes, ChangingTheOwnPassword)
{
    const auto change = [&](XBrowser& b, const char* old, const char* now, const char* again) {
        return Call(b, "mdfpwd", {{"oldpwd", Md5(old)}, {"newpwd", Md5(now)}, {"newpwd2", Md5(again)}});
    };
    XBrowser nobody;
    EXPECT_EQ(change(nobody, "lisi", "new", "new").status, 400);

    XBrowser b;
    ASSERT_EQ(Login(b, "李四", "lisi").Err(), ERR_OK);
    EXPECT_EQ(change(b, "lisi", "new", "other").status, 400);
    EXPECT_EQ(change(b, "wrong", "new", "new").Err(), ERR_ErrorPassword);
    EXPECT_EQ(change(b, "lisi", "new", "new").Err(), ERR_OK);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT UserPassword FROM TB_STUDENT WHERE ID=%1").arg(m_school.s3)),
              Md5("new"));
    EXPECT_TRUE(Identities(b).empty()) << "a changed password ends the logins";
    EXPECT_EQ(Login(b, "李四", "new").Err(), ERR_OK);

    // the record is gone since the login
    ASSERT_TRUE(Exec(QStringLiteral("DELETE FROM TB_STUDENT WHERE ID=%1").arg(m_school.s3)));
    EXPECT_EQ(change(b, "new", "newer", "newer").Err(), ERR_NotFound);

    // the administrator's password lives in the settings
    XBrowser admin;
    ASSERT_EQ(Login(admin, "Admin", "root").Err(), ERR_OK);
    EXPECT_EQ(change(admin, "root", "toor", "toor").Err(), ERR_OK);
    EXPECT_EQ(ReadSetting(QStringLiteral("Global"), QStringLiteral("AdminMD5Pwd"), QString()), Md5("toor"));
}

// A student called "Admin" changes and resets their own password like anyone else; the
// administrator's password is not theirs to touch.
TEST_F(AcctRoutes, NamesakeOfTheAdministratorCannotReachItsPassword)
{
    ASSERT_TRUE(Exec(QStringLiteral("UPDATE TB_STUDENT SET RealName='admin' WHERE ID=%1").arg(m_school.s3)));
    const QString stored = QStringLiteral("SELECT UserPassword FROM TB_STUDENT WHERE ID=%1").arg(m_school.s3);
    const auto adminPassword = [] {
        return ReadSetting(QStringLiteral("Global"), QStringLiteral("AdminMD5Pwd"), QString());
    };
    XBrowser b;
    Call(b, "", {}, "GET");
    const QString code = IssueCode(b, kSmsCodeAlphabet, u"13912345678"_qs);
    ASSERT_EQ(Call(b, "login", {{"phone", u"13912345678"_qs}, {"smscode", code}}).Err(), ERR_OK);
    ASSERT_EQ(Identities(b), (Ids{{MDU_STUDENT, m_school.s3, true}}));
    const XAnswer a = Call(b, "mdfpwd", {{"oldpwd", Md5("lisi")}, {"newpwd", Md5("mine")}, {"newpwd2", Md5("mine")}});
    EXPECT_EQ(a.Err(), ERR_OK);
    EXPECT_EQ(QueryText(stored), Md5("mine"));
    EXPECT_EQ(adminPassword(), Md5("root"));

    // the reset by a code sent to the phone
    XBrowser phone;
    Call(phone, "", {}, "GET");
    const QString reset = IssueCode(phone, kSmsCodeAlphabet, u"13912345678"_qs);
    const XAnswer r = Call(phone, "resetpwd", {{"phone", u"13912345678"_qs}, {"smscode", reset}});
    EXPECT_EQ(r.Err(), ERR_OK);
    EXPECT_EQ(r.Attr("username"), u"admin"_qs);
    EXPECT_EQ(QueryText(stored), QString());
    EXPECT_EQ(adminPassword(), Md5("root"));
    XBrowser real;
    EXPECT_EQ(Login(real, "Admin", "root").Err(), ERR_OK);
}

TEST_F(AcctRoutes, SwitchingAndLoggingOutIdentities)
{
    XBrowser b;
    ASSERT_EQ(Login(b, "刘芳", "liufang").Err(), ERR_OK);
    ASSERT_EQ(Login(b, "李四", "lisi").Err(), ERR_OK);
    for (const char* order : {"2", "-1", "x"})
        EXPECT_EQ(Call(b, "alter", {{"order", QString::fromUtf8(order)}}).status, 400);
    EXPECT_EQ(Identities(b), (Ids{{MDU_TEACHER, m_school.t1, false}, {MDU_STUDENT, m_school.s3, true}}));
    EXPECT_EQ(Call(b, "alter", {{"order", u"0"_qs}}).Err(), ERR_OK);
    EXPECT_EQ(Identities(b), (Ids{{MDU_TEACHER, m_school.t1, true}, {MDU_STUDENT, m_school.s3, false}}));

    // logging out by ID is for administrators; the teacher here is one
    XBrowser other;
    ASSERT_EQ(Login(other, "孙丽", "teach").Err(), ERR_OK);
    const auto byId = [&](XBrowser& by, int mdu, int id) {
        return Call(by, "logout", {{"mduid", QString::number(mdu)}, {"id", QString::number(id)}});
    };
    EXPECT_EQ(byId(other, MDU_TEACHER, m_school.t1).status, 400);
    EXPECT_EQ(Identities(b).size(), 2u);
    EXPECT_EQ(byId(b, MDU_TEACHER, m_school.t2).Err(), ERR_OK);
    EXPECT_TRUE(Identities(other).empty());

    // the current one leaves, the first left becomes current; the last leaves too
    EXPECT_EQ(Call(b, "logout", {}).Err(), ERR_OK);
    EXPECT_EQ(Identities(b), (Ids{{MDU_STUDENT, m_school.s3, true}}));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT UserID FROM TB_OPERLOG WHERE TypeID=%1").arg(int(OPER_LOGOUT))),
              QString::number(m_school.t1));
    EXPECT_EQ(Call(b, "logout", {}).Err(), ERR_OK);
    EXPECT_TRUE(Identities(b).empty());
    EXPECT_TRUE(Call(b, "", {}, "GET").body.contains(u"href=\"default.xsl\""_qs));
}

TEST_F(AcctRoutes, StartPageListsWhatTheIdentityMayUse)
{
    XBrowser b;
    const XAnswer login = Call(b, "", {}, "GET");
    EXPECT_TRUE(login.body.contains(u"href=\"default.xsl\""_qs));
    EXPECT_FALSE(login.body.contains(u"<modules"_qs));

    // an operator with query and add on receipts only
    ASSERT_EQ(Login(b, "孙丽", "teach").Err(), ERR_OK);
    const XAnswer menu = Call(b, "", {}, "GET");
    EXPECT_TRUE(menu.body.contains(u"href=\"modules.xsl\""_qs));
    const QRegularExpression module(QStringLiteral("<module mduid=\"(\\d+)\""));
    QStringList listed;
    for (auto it = module.globalMatch(menu.body); it.hasNext();)
        listed << it.next().captured(1);
    EXPECT_EQ(listed, QStringList{QString::number(MDU_RECEIPT)});
    EXPECT_TRUE(menu.body.contains(QStringLiteral("<fastoper mduid=\"%1\"").arg(MDU_RECEIPT)));
    EXPECT_FALSE(menu.body.contains(QStringLiteral("<fastoper mduid=\"%1\"").arg(MDU_STUDENT)));
    // "bind" shows the login form to add a person; no password digest is ever shown
    EXPECT_TRUE(Call(b, "bind", {}, "GET").body.contains(u"href=\"default.xsl\""_qs));
    XBrowser admin;
    ASSERT_EQ(Login(admin, "刘芳", "liufang").Err(), ERR_OK);
    const XAnswer all = Call(admin, "", {{"xsl", u"mine"_qs}}, "GET");
    EXPECT_TRUE(all.body.contains(u"href=\"mine.xsl\""_qs));
    EXPECT_TRUE(all.body.contains(QStringLiteral("<module mduid=\"%1\"").arg(MDU_STUDENT)));
    EXPECT_FALSE(all.body.contains(Md5("liufang"), Qt::CaseInsensitive));
}

TEST_F(AcctRoutes, PagesRenderForBrowsersWithTheirDataEscaped)
{
    XBrowser b;
    const XAnswer form = Page(b, "", {});
    EXPECT_TRUE(form.head.contains("Content-Type: text/html")) << form.head.constData();
    EXPECT_TRUE(form.body.contains(u"data-acct=\"login\""_qs));
    EXPECT_TRUE(form.body.contains(u"name=\"password\" type=\"password\""_qs));
    EXPECT_FALSE(form.body.contains(u"<?xml"_qs));

    // a name with markup in it stays text on every page that shows it
    ASSERT_TRUE(Exec(QStringLiteral("UPDATE TB_TEACHER SET RealName='孙<i>丽</i>' WHERE ID=%1").arg(m_school.t2)));
    ASSERT_EQ(Call(b, "login", {{"username", u"13600136000"_qs}, {"password", Md5("teach")}}).Err(), ERR_OK);
    for (const char* sheet : {"modules", "mdfpwd"}) {
        const XAnswer page = Page(b, "", {{"xsl", QString::fromUtf8(sheet)}});
        EXPECT_TRUE(page.body.contains(u"孙&lt;i&gt;丽&lt;/i&gt;"_qs)) << sheet << page.body.toStdString();
        EXPECT_FALSE(page.body.contains(u"<i>丽"_qs)) << sheet;
    }

    // the answer of an administrator's reset tells the initial password
    XBrowser admin;
    ASSERT_EQ(Login(admin, "刘芳", "liufang").Err(), ERR_OK);
    const XAnswer reset =
        Call(admin, "resetpwd", {{"mduid", u"321"_qs}, {"id", QString::number(m_school.s3)}, {"xsl", u"resetpwd"_qs}},
             "POST", QByteArray(), true);
    EXPECT_TRUE(reset.body.contains(u"李四 的密码已重置为初始密码：<strong>learn</strong>"_qs))
        << reset.body.toStdString();
}

TEST(AcctSheets, RegistrationFormNamesItsFieldsAsTheFormReaderExpects)
{
    // what the new-record route writes: fields of the record, and a child list with the
    // blank line (pos 0) and one line to fill
    const QByteArray xml = R"(<r mduid="321" itemtype="学员"><item id="0" mduid="321">
        <col order="2" type="10" rw="1" httpnew="1" name="姓名" wildval="" gray="必填"/>
        <col order="3" type="10" rw="0" httpnew="1" name="编号" wildval="X1"/>
        <col order="4" type="10" rw="1" httpnew="0" name="备注" wildval=""/>
        <col order="5" type="1" rw="1" httpnew="1" name="性别" wildval="1"><option val="0">男</option><option val="1">女</option></col>
        <col order="7" type="6" rw="1" httpnew="1" name="联系电话">
          <item pos="0"><col order="1" type="10" rw="1" httpnew="1" name="电话" wildval=""/></item>
          <item pos="1"><col order="1" type="10" rw="1" httpnew="1" name="电话" wildval="13800138000"/></item>
        </col>
      </item></r>)";
    const QString html = TransformNamedSheet(xml, QStringLiteral("regnew.xsl"), {}, WebSheets());
    ASSERT_FALSE(html.isEmpty());
    EXPECT_TRUE(html.contains(u"name=\"0_0_2\""_qs));
    EXPECT_FALSE(html.contains(u"0_0_3"_qs)) << "read-only fields are not offered";
    EXPECT_FALSE(html.contains(u"0_0_4"_qs)) << "only the fields of the new-record form";
    EXPECT_TRUE(html.contains(u"<option value=\"1\" selected>女</option>"_qs)) << html.toStdString();
    EXPECT_TRUE(html.contains(u"name=\"7_1_1\" value=\"13800138000\""_qs)) << html.toStdString();
    EXPECT_FALSE(html.contains(u"7_0_1"_qs));
    EXPECT_TRUE(html.contains(u"name=\"smscode\""_qs));
}

} // namespace
