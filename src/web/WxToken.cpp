#include "WxToken.h"

#include "CDBSetup.h"
#include "CHttpSession.h"
#include "OperLog.h"
#include "RecordConsts.h"
#include "WebState.h"
#include "WxHttp.h"
#include "XAppServices.h"
#include "XDateTime.h"
#include "XThread.h"

#include <QtCore/QJsonObject>

#include <chrono>
#include <utility>

namespace xInternet {

namespace {

void LogWx(const QString& memo)
{
    const CXItem* admin = AppServices().Admin();
    WriteOperLog(OPER_PROXY, admin ? *admin : BuiltInAdmin(), 0, 0, memo, QString());
}

std::pair<QString, QString> WxKeys()
{
    XAppServices& app = AppServices();
    std::lock_guard lock(app.Mutex());
    return {app.SetupValue(QStringLiteral("WxAppID")).toString(),
            app.SetupValue(QStringLiteral("WxAppSecret")).toString()};
}

int IndustryOf(const QJsonObject& reply, const char* member)
{
    const QJsonObject industry = reply.value(QLatin1String(member)).toObject();
    return GetWxIndustryId(industry.value(QLatin1String("first_class")).toString(),
                           industry.value(QLatin1String("second_class")).toString());
}

// The permanent QR code and the template industries, after a token was obtained.
void RefreshAccount(const QString& token)
{
    QJsonObject reply;
    const QByteArray qrBody = "{\"action_name\": \"QR_LIMIT_SCENE\", \"action_info\": {\"scene\": {\"scene_id\": 1}}}";
    WxApiCall(QStringLiteral("cgi-bin/qrcode/create?access_token=%1").arg(PercentEncode(token)), qrBody, reply);
    const QString qrUrl = reply.value(QLatin1String("url")).toString();
    UpdateWebServiceState([&qrUrl](WebServiceState& s) { s.wxQrUrl = qrUrl; });

    WxApiCall(QStringLiteral("cgi-bin/template/get_industry?access_token=%1").arg(PercentEncode(token)), QByteArray(),
              reply);
    const int primary = IndustryOf(reply, "primary_industry");
    const int secondary = IndustryOf(reply, "secondary_industry");
    if (primary == 16 || secondary == 16)
        return;
    const QByteArray body = primary
                                ? "{\"industry_id1\":\"" + QByteArray::number(primary) + "\",\"industry_id2\" : \"16\"}"
                                : QByteArray("{\"industry_id1\":\"16\",\"industry_id2\" : \"\"}");
    // the reply tells nothing the next check would not
    WxApiCall(QStringLiteral("cgi-bin/template/api_set_industry?access_token=%1").arg(PercentEncode(token)), body,
              reply);
}

constexpr double kMsPerDay = 86400000.0;
constexpr auto kWaitSlice = std::chrono::milliseconds(100);

} // namespace

int GetWxIndustryId(const QString& firstClass, const QString& secondClass)
{
    static const char16_t* const kIndustries[][2] = {
        {u"IT科技", u"互联网/电子商务"},
        {u"IT科技", u"IT软件与服务"},
        {u"IT科技", u"IT硬件与设备"},
        {u"IT科技", u"电子技术"},
        {u"IT科技", u"通信与运营商"},
        {u"IT科技", u"网络游戏"},
        {u"金融业", u"银行"},
        {u"金融业", u"基金理财信托"},
        {u"金融业", u"保险"},
        {u"餐饮", u"餐饮"},
        {u"酒店旅游", u"酒店"},
        {u"酒店旅游", u"旅游"},
        {u"运输与仓储", u"快递"},
        {u"运输与仓储", u"物流"},
        {u"运输与仓储", u"仓储"},
        {u"教育", u"培训"},
        {u"教育", u"院校"},
        {u"政府与公共事业", u"学术科研"},
        {u"政府与公共事业", u"交警"},
        {u"政府与公共事业", u"博物馆"},
        {u"政府与公共事业", u"公共事业非盈利机构"},
        {u"医药护理", u"医药医疗"},
        {u"医药护理", u"护理美容"},
        {u"医药护理", u"保健与卫生"},
        {u"交通工具", u"汽车相关"},
        {u"交通工具", u"摩托车相关"},
        {u"交通工具", u"火车相关"},
        {u"交通工具", u"飞机相关"},
        {u"房地产", u"建筑"},
        {u"房地产", u"物业"},
        {u"消费品", u"消费品"},
        {u"商业服务", u"法律"},
        {u"商业服务", u"会展"},
        {u"商业服务", u"中介服务"},
        {u"商业服务", u"认证"},
        {u"商业服务", u"审计"},
        {u"文体娱乐", u"传媒"},
        {u"文体娱乐", u"体育"},
        {u"文体娱乐", u"娱乐休闲"},
        {u"印刷", u"印刷"},
        {u"其它", u"其它"},
    };
    for (int i = 0; i < static_cast<int>(std::size(kIndustries)); ++i)
        if (firstClass.compare(QString::fromUtf16(kIndustries[i][0]), Qt::CaseInsensitive) == 0 &&
            secondClass.compare(QString::fromUtf16(kIndustries[i][1]), Qt::CaseInsensitive) == 0)
            return i + 1;
    return 0;
}

void XWxTokenLoop::Pass(bool full)
{
    const auto [appId, secret] = WxKeys();
    QString token;
    long long expiresIn = 0;
    QByteArray raw;
    if (!appId.isEmpty() && !secret.isEmpty()) {
        QJsonObject reply;
        if (WxApiCall(QStringLiteral("cgi-bin/token?grant_type=client_credential&appid=%1&secret=%2")
                          .arg(PercentEncode(appId), PercentEncode(secret)),
                      QByteArray(), reply, &raw)) {
            token = reply.value(QLatin1String("access_token")).toString();
            expiresIn = reply.value(QLatin1String("expires_in")).toInteger();
        }
    }
    if (token.isEmpty()) {
        waitMs = 60000;
        if (++failures == 4) {
            UpdateWebServiceState([](WebServiceState& s) {
                s.wxAccessToken.clear();
                s.wxQrUrl.clear();
            });
            LogWx(QStringLiteral("更新微信 Access_Token 失败！%1").arg(QString::fromUtf8(raw)));
        }
        return;
    }
    UpdateWebServiceState([&token](WebServiceState& s) { s.wxAccessToken = token; });
    LogWx(QStringLiteral("更新微信 Access_Token 成功！"));
    failures = 0;
    // A lifetime missing or shorter than the three minutes' margin would give a wait of
    // zero or less; waiting a minute keeps the token renewed instead of never.
    waitMs = expiresIn > 180 ? expiresIn * 1000 - 180000 : 60000;
    if (full)
        RefreshAccount(token);
}

void WxTokenThread()
{
    XWxTokenLoop loop;
    const ManualResetEvent& stop = WebStopEvent();
    XEvent& refresh = WxRefreshEvent();
    while (!stop.IsSet()) {
        // The next pass is due at a moment of the program's clock, so a clock moved on (a
        // test's fixed one, or the system's) is noticed within one slice.
        const XDateTime due = XClock::Now().Day() + static_cast<double>(loop.waitMs) / kMsPerDay;
        bool full = false;
        for (;;) {
            if (refresh.Wait(kWaitSlice)) {
                full = true;
                break;
            }
            if (stop.IsSet())
                return;
            if (XClock::Now().Day() >= due.Day())
                break;
        }
        if (stop.IsSet())
            return;
        loop.Pass(full);
        WxRefreshedEvent().Set();
    }
}

XWxTokenThread::~XWxTokenThread()
{
    if (m_thread.joinable())
        m_thread.join();
}

void XWxTokenThread::Start()
{
    if (!m_thread.joinable())
        m_thread = std::thread(WxTokenThread);
}

} // namespace xInternet
