#include "CDBProxyClient.h"

#include "CHead.h"
#include "CXArray.h"
#include "CXXmlDoc.h"

#include <QtCore/QDateTime>

#include <cmath>

namespace {

constexpr unsigned kAllColumns = 585; // brief, view, sub and detail lists
constexpr const char* kTimeFormat = "%y-%#m-%#d %#H:%M:%S";

void BuildHeads(CHeads& h)
{
    h.m_strItemType = QStringLiteral("代理客户端");
    h.m_strItemUnit = QStringLiteral("个");
    h.m_bGoodStatus = 1; // rows take the colour of their status: grey when disconnected
    const QString none = QStringLiteral("无记录");
    const QString unregistered = QStringLiteral("未登记");
    const QString time = QString::fromLatin1(kTimeFormat);
    const XGroup basic;
    const XGroup state(QStringLiteral("状态"));
    using C = CDBProxyClient;
    h.AddMemberHead(basic, QStringLiteral("ID"), XSW, XOFFSET(C, m_strLtdId), {}, {}, 0, kAllColumns, 0, {});
    h.AddMemberHead(basic, QStringLiteral("名称"), XSW, XOFFSET(C, m_strLtdName), {}, none, 0, kAllColumns, 16, {});
    h.AddMemberHead(basic, QStringLiteral("简称"), XSW, XOFFSET(C, m_strLtdSign), {}, none, 0, kAllColumns, 0, {});
    h.AddMemberHead(basic, QStringLiteral("地址"), XSW, XOFFSET(C, m_strLocation), {}, unregistered, 0, kAllColumns, 0,
                    {});
    h.AddMemberHead(basic, QStringLiteral("联系方式"), XSW, XOFFSET(C, m_strContact), {}, unregistered, 0, kAllColumns,
                    0, {});
    h.AddMemberHead(basic, QStringLiteral("主页"), XSW, XOFFSET(C, m_strUrl), {}, {}, 0, kAllColumns, 0, {});
    h.AddMemberHead(basic, QStringLiteral("网站标题"), XSW, XOFFSET(C, m_strTitle), {}, {}, 0, kAllColumns, 0, {});
    h.AddMemberHead(basic, QStringLiteral("版本"), XSW, XOFFSET(C, m_strVersion), {}, {}, 0, kAllColumns, 0, {});
    h.AddMemberHead(state, QStringLiteral("IP"), XSW, XOFFSET(C, m_strIpv4), {}, {}, 0, kAllColumns, 15, {});
    h.AddMemberHead(state, QStringLiteral("首次连接"), XDT, XOFFSET(C, m_dtFirstConnect), time, none, 0, kAllColumns, 0,
                    {});
    h.AddMemberHead(state, QStringLiteral("最近活动"), XDT, XOFFSET(C, m_dtLastActive), time, none, 0, kAllColumns, 0,
                    {});
    h.AddMemberHead(state, QStringLiteral("累计连接"), XIN, XOFFSET(C, m_nConnectTotal), QStringLiteral("%d 次"), none,
                    0, kAllColumns, 0, {});
    h.AddMemberHead(state, QStringLiteral("累计请求"), XIN, XOFFSET(C, m_nRequestTotal), QStringLiteral("%d 次"), none,
                    0, kAllColumns, 0, {});
    h.AddMemberHead(state, QStringLiteral("累计发送"), XNU, XOFFSET(C, m_fSentKb), QStringLiteral("%1.1f KB"), none, 0,
                    kAllColumns, 0, {});
    h.AddMemberHead(state, QStringLiteral("累计短信"), XIN, XOFFSET(C, m_nSmsTotal), QStringLiteral("%d 次"), none, 0,
                    kAllColumns, 0, {});
    h.AddMemberHead(state, QStringLiteral("活动连接"), XIN, XOFFSET(C, m_nConnects), {}, {}, 0, kAllColumns, 0, {});
}

} // namespace

CHeads* CDBProxyClient::StaticHeads() { return BuildHeadsOnce<CDBProxyClient>(BuildHeads); }

CXItem* CDBProxyClient::CopyTo(CXItem* target) const
{
    auto* t = target ? static_cast<CDBProxyClient*>(target) : new CDBProxyClient;
    CXItem::CopyTo(t);
    t->m_strLtdId = m_strLtdId;
    t->m_strLtdName = m_strLtdName;
    t->m_strLtdSign = m_strLtdSign;
    t->m_strLocation = m_strLocation;
    t->m_strContact = m_strContact;
    t->m_strUrl = m_strUrl;
    t->m_strTitle = m_strTitle;
    t->m_strVersion = m_strVersion;
    t->m_strIpv4 = m_strIpv4;
    t->m_dtFirstConnect = m_dtFirstConnect;
    t->m_dtLastActive = m_dtLastActive;
    t->m_nConnectTotal = m_nConnectTotal;
    t->m_nRequestTotal = m_nRequestTotal;
    t->m_fSentKb = m_fSentKb;
    t->m_nSmsTotal = m_nSmsTotal;
    t->m_nConnects = m_nConnects;
    return t;
}

int CDBProxyClient::Validate(const CXItem* user, bool bCheckDuplicates)
{
    // nothing of it is entered or stored: its one state is whether it is connected
    Q_UNUSED(user);
    Q_UNUSED(bCheckDuplicates);
    m_status.clear();
    if (m_nConnects == 0)
        AddStatusText(ST_GRAY, nullptr, QStringLiteral("已断开"));
    return GetStatusLevel();
}

XDateTime FromUnixSeconds(long long seconds)
{
    return seconds ? XDateTime::FromDateTime(QDateTime::fromSecsSinceEpoch(seconds)) : XDateTime();
}

QString ReadProxyStatus(const QString& xml, XDateTime& srvStart, CXArray& items, const CXItem* user)
{
    CXXmlDoc doc;
    if (!doc.SetDocText(xml) || !doc.FindElement())
        return QStringLiteral("代理服务器无响应或返回无效数据！");
    const QString result = doc.GetAttribute(doc.m_nMainPos, QStringLiteral("result"));
    if (result != QLatin1String("OK"))
        return result;
    srvStart = FromUnixSeconds(doc.GetAttribute(doc.m_nMainPos, QStringLiteral("SrvStart")).toLongLong());
    if (!doc.FindChildElement(QStringLiteral("clients")))
        return result;
    doc.IntoElement();
    while (doc.FindChildElement(QStringLiteral("client"))) {
        const auto attr = [&doc](const char* name) {
            return doc.GetAttribute(doc.m_nChildPos, QString::fromLatin1(name));
        };
        auto* c = new CDBProxyClient;
        c->m_strLtdId = attr("LtdID");
        c->m_strLtdName = attr("LtdName");
        c->m_strLtdSign = attr("LtdSign");
        c->m_strLocation = attr("LtdLocation");
        c->m_strContact = attr("LtdContact");
        c->m_strUrl = attr("LtdUrl");
        c->m_strTitle = attr("LtdTitle");
        c->m_strVersion = attr("ver");
        c->m_strIpv4 = attr("IPv4");
        c->m_strName = c->m_strLtdName;
        c->m_dtFirstConnect = FromUnixSeconds(attr("FirstConnect").toLongLong());
        c->m_dtLastActive = FromUnixSeconds(attr("LastActive").toLongLong());
        c->m_nConnectTotal = attr("ConnectTotal").toInt();
        c->m_nRequestTotal = attr("RequestTotal").toInt();
        c->m_fSentKb = static_cast<double>(attr("SendBypes").toLongLong()) / 1024.0;
        c->m_nSmsTotal = attr("SendSms").toInt();
        c->m_nConnects = attr("Connects").toInt();
        c->Validate(user, false);
        items.Add(c);
    }
    return result;
}

QString ProxyStatusLine(const XDateTime& srvStart, const XDateTime& now, int connected, int disconnected)
{
    const long long seconds = std::max<long long>(0, std::llround((now.Day() - srvStart.Day()) * 86400.0));
    const long long rest = seconds % 86400;
    return QStringLiteral("服务器启动时间：%1   运行时长：%2 天 %3 时 %4 分 %5 秒   连接中：%6   已断开：%7")
        .arg(srvStart.Format(QString::fromLatin1(kTimeFormat)))
        .arg(seconds / 86400)
        .arg(rest / 3600)
        .arg(rest / 60 % 60)
        .arg(rest % 60)
        .arg(connected)
        .arg(disconnected);
}
