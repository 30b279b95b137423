// The WeChat access token kept by its thread, and what a full pass does to the account.
#include "CDBOperLog.h"
#include "CDBSetup.h"
#include "CFakeAppServices.h"
#include "CHttpSession.h"
#include "DbTestSupport.h"
#include "FakeWeChat.h"
#include "OpenDatabase.h"
#include "WebState.h"
#include "WxToken.h"
#include "XDateTime.h"
#include "XThread.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <thread>

using namespace xInternet;
using namespace std::chrono_literals;

namespace {

class WxToken : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session, *CDBOperLog::StaticHeads()));
        auto& setup = CFakeAppServices::Installed().setup;
        setup[QStringLiteral("WxAppID")] = m_wx.appId;
        setup[QStringLiteral("WxAppSecret")] = m_wx.appSecret;
        XClock::SetFixed(XDateTime(2026, 3, 18, 9, 0, 0));
    }
    void TearDown() override
    {
        CFakeAppServices::Installed().setup.clear();
        UpdateWebServiceState([](WebServiceState& s) { s = WebServiceState(); });
        XClock::Reset();
    }
    static int ProxyRows(const QString& memo)
    {
        return static_cast<int>(
            QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=11 AND OperMemo='%1'").arg(memo)));
    }

    TempDatabase m_db;
    FakeWeChat m_wx;
};

TEST_F(WxToken, AFullPassStoresTokenAndQrCodeAndWaitsUntilThreeMinutesBeforeExpiry)
{
    XWxTokenLoop loop;
    loop.Pass(true);
    EXPECT_EQ(GetWxAccessToken(), u"TOKEN-1");
    EXPECT_EQ(GetWebServiceState().wxQrUrl, m_wx.qrUrl);
    EXPECT_EQ(loop.waitMs, 7020000);
    EXPECT_EQ(loop.failures, 0);
    const auto qr = m_wx.Calls(QStringLiteral("cgi-bin/qrcode/create"));
    ASSERT_EQ(qr.size(), 1u);
    EXPECT_EQ(qr[0].json.value("action_name").toString(), u"QR_LIMIT_SCENE");
    EXPECT_EQ(qr[0].json.value("action_info").toObject().value("scene").toObject().value("scene_id").toInt(), 1);
    EXPECT_EQ(ProxyRows(QStringLiteral("更新微信 Access_Token 成功！")), 1);

    // a pass on the timer renews the token only
    m_wx.Clear();
    m_wx.token = QStringLiteral("TOKEN-2");
    loop.Pass(false);
    EXPECT_EQ(GetWxAccessToken(), u"TOKEN-2");
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/token")), 1);
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/qrcode/create")), 0);
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/template/get_industry")), 0);
}

// A lifetime missing or within the three minutes' margin would give no positive wait.
TEST_F(WxToken, ShortOrMissingLifetimeWaitsOneMinute)
{
    for (const QJsonValue& lifetime : {QJsonValue(QJsonValue::Undefined), QJsonValue(0), QJsonValue(180)}) {
        m_wx.expiresIn = lifetime;
        XWxTokenLoop loop;
        loop.Pass(false);
        EXPECT_EQ(GetWxAccessToken(), u"TOKEN-1");
        EXPECT_EQ(loop.waitMs, 60000) << lifetime.toInt();
    }
    m_wx.expiresIn = 181;
    XWxTokenLoop loop;
    loop.Pass(false);
    EXPECT_EQ(loop.waitMs, 1000);
}

TEST_F(WxToken, IndustriesAreSetUnlessOneIsTraining)
{
    const QJsonObject itSoftware{{"first_class", "IT科技"}, {"second_class", "IT软件与服务"}},
        training{{"first_class", "教育"}, {"second_class", "培训"}},
        bank{{"first_class", "金融业"}, {"second_class", "银行"}},
        unknown{{"first_class", "某行业"}, {"second_class", "某类"}};
    const struct
    {
        QJsonObject primary, secondary;
        const char* body; // nullptr: left unchanged
    } cases[] = {
        {itSoftware, training, nullptr},
        {training, bank, nullptr},
        {itSoftware, bank, R"({"industry_id1":"2","industry_id2" : "16"})"},
        {unknown, unknown, R"({"industry_id1":"16","industry_id2" : ""})"},
        {unknown, bank, R"({"industry_id1":"16","industry_id2" : ""})"},
    };
    for (const auto& c : cases) {
        m_wx.Clear();
        m_wx.primary = c.primary;
        m_wx.secondary = c.secondary;
        XWxTokenLoop loop;
        loop.Pass(true);
        const auto set = m_wx.Calls(QStringLiteral("cgi-bin/template/api_set_industry"));
        if (!c.body) {
            EXPECT_TRUE(set.empty()) << c.primary.value("first_class").toString().toStdString();
            continue;
        }
        ASSERT_EQ(set.size(), 1u);
        EXPECT_EQ(set[0].body, QByteArray(c.body));
        EXPECT_EQ(set[0].query.queryItemValue("access_token"), u"TOKEN-1");
    }
}

TEST_F(WxToken, IndustryIdsByPairIgnoringCase)
{
    EXPECT_EQ(GetWxIndustryId(QStringLiteral("IT科技"), QStringLiteral("互联网/电子商务")), 1);
    EXPECT_EQ(GetWxIndustryId(QStringLiteral("it科技"), QStringLiteral("it软件与服务")), 2);
    EXPECT_EQ(GetWxIndustryId(QStringLiteral("教育"), QStringLiteral("培训")), 16);
    EXPECT_EQ(GetWxIndustryId(QStringLiteral("其它"), QStringLiteral("其它")), 41);
    EXPECT_EQ(GetWxIndustryId(QStringLiteral("教育"), QStringLiteral("银行")), 0);
    EXPECT_EQ(GetWxIndustryId(QString(), QString()), 0);
}

// Four failures in a row drop the token and the QR code and are logged once; empty keys
// count as failures.
TEST_F(WxToken, FourFailuresClearTheTokenAndLogOnce)
{
    XWxTokenLoop loop;
    loop.Pass(true);
    ASSERT_FALSE(GetWxAccessToken().isEmpty());
    m_wx.appSecret = QStringLiteral("CHANGED"); // WeChat refuses our secret from now on
    for (int i = 1; i <= 3; ++i) {
        loop.Pass(false);
        EXPECT_EQ(loop.waitMs, 60000);
        EXPECT_EQ(GetWxAccessToken(), u"TOKEN-1") << i;
    }
    loop.Pass(false);
    EXPECT_TRUE(GetWxAccessToken().isEmpty());
    EXPECT_TRUE(GetWebServiceState().wxQrUrl.isEmpty());
    EXPECT_EQ(ProxyRows(QStringLiteral("更新微信 Access_Token 失败！{\"errcode\":40013,\"errmsg\":\"invalid appid\"}")),
              1);
    loop.Pass(false);
    EXPECT_EQ(QueryNumber(QStringLiteral(
                  "SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=11 AND OperMemo LIKE '更新微信 Access_Token 失败！%'")),
              1);

    // the count starts again after a success; missing keys are failures too
    m_wx.appSecret = CFakeAppServices::Installed().setup[QStringLiteral("WxAppSecret")].toString();
    loop.Pass(false);
    EXPECT_EQ(loop.failures, 0);
    CFakeAppServices::Installed().setup[QStringLiteral("WxAppSecret")] = QString();
    m_wx.Clear();
    for (int i = 0; i < 4; ++i)
        loop.Pass(false);
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/token")), 0);
    EXPECT_TRUE(GetWxAccessToken().isEmpty());
    EXPECT_EQ(ProxyRows(QStringLiteral("更新微信 Access_Token 失败！")), 1);
}

// The thread waits on the program's clock: a fixed clock never reaches the next pass, one
// moved to three minutes before expiry does.
TEST_F(WxToken, ThreadRenewsThreeMinutesBeforeExpiryAndOnTheRefreshEvent)
{
    WebStopEvent().Reset();
    WxRefreshedEvent().Reset();
    WxRefreshEvent().Set(); // as the service's start sets it
    // however the test ends (a failed assertion leaves early), the thread is told to stop
    // before it is joined, or the test would hang
    struct XStopped
    {
        std::unique_ptr<XWxTokenThread> thread = std::make_unique<XWxTokenThread>();
        ~XStopped()
        {
            WebStopEvent().Set();
            thread.reset(); // joins
            WebStopEvent().Reset();
        }
    } run;
    auto& thread = run.thread;
    thread->Start();
    thread->Start(); // one thread per service run, however often the relay joins
    ASSERT_TRUE(WxRefreshedEvent().Wait(5000ms));
    EXPECT_EQ(GetWxAccessToken(), u"TOKEN-1");
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/qrcode/create")), 1);

    m_wx.token = QStringLiteral("TOKEN-2");
    XClock::SetFixed(XDateTime(2026, 3, 18, 9, 0, 0).AddDays((7020.0 - 2) / 86400));
    EXPECT_FALSE(WxRefreshedEvent().Wait(400ms));
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/token")), 1);
    XClock::SetFixed(XDateTime(2026, 3, 18, 9, 0, 0).AddDays(7020.0 / 86400));
    ASSERT_TRUE(WxRefreshedEvent().Wait(5000ms));
    EXPECT_EQ(GetWxAccessToken(), u"TOKEN-2");
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/token")), 2);
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/qrcode/create")), 1); // a timed pass

    // the preferences' refresh asks for a full pass at once
    WxRefreshEvent().Set();
    ASSERT_TRUE(WxRefreshedEvent().Wait(5000ms));
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/qrcode/create")), 2);
}

} // namespace
