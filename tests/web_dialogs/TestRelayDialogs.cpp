// The relay's two status views, offscreen: the relay server's list of installations behind
// its password, and the web access status with today's relay events.
#include "CDBOperLog.h"
#include "CDBProxyClient.h"
#include "CDlgAppExplorer.h"
#include "CDlgProxyPwd.h"
#include "CDlgProxyView.h"
#include "CFakeAppServices.h"
#include "CHead.h"
#include "CModuleOperLog.h"
#include "CXListCtrl.h"
#include "CXQrCodes.h"
#include "CommandIds.h"
#include "DbTestSupport.h"
#include "FakeRelay.h"
#include "CommandIds.h"
#include "OpenDatabase.h"
#include "Relay.h"
#include "WebService.h"
#include "WebState.h"
#include "XReadOnly.h"
#include "XUi.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

#include <chrono>
#include <thread>

using namespace xInternet;
using namespace std::chrono_literals;

namespace {

// Where the screenshots of the views go, for a look by eye.
void SaveShot(QWidget& w, const char* name)
{
    const QString dir = QDir::tempPath() + QStringLiteral("/relay_shots");
    QDir().mkpath(dir);
    w.grab().save(dir + u'/' + QString::fromLatin1(name) + QStringLiteral(".png"));
}

QString LabelText(CXDialogEx& dlg, int id)
{
    auto* label = qobject_cast<QLabel*>(dlg.GetDlgItem(id));
    return label ? label->text() : QStringLiteral("<no label>");
}

// The relay's status reply lists these two installations; "1536" bytes is 1.5 KB.
const QString kClients = QStringLiteral(
    "<client LtdID=\"0123456789abcdef0123456789abcdef\" LtdName=\"晨曦音乐学校\" LtdSign=\"晨曦\" "
    "LtdUrl=\"https://a.relay.test\" ver=\"4.5\" IPv4=\"203.0.113.7\" FirstConnect=\"1700000000\" "
    "LastActive=\"0\" ConnectTotal=\"12\" RequestTotal=\"345\" SendBypes=\"1536\" SendSms=\"3\" "
    "Connects=\"2\" />"
    "<client LtdID=\"fedcba9876543210fedcba9876543210\" LtdName=\"&lt;星光&gt; 艺术\" Connects=\"0\" />");

TEST(ProxyClient, StatusReplyAndStatusLine)
{
    const XDateTime start = FromUnixSeconds(1700000000);
    CXArray items(nullptr, true);
    XDateTime srvStart;
    const QString reply = QStringLiteral("<r result=\"OK\" SrvStart=\"1700000000\"><clients>") + kClients +
                          QStringLiteral("</clients></r>");
    ASSERT_EQ(ReadProxyStatus(reply, srvStart, items, nullptr), QStringLiteral("OK"));
    EXPECT_EQ(srvStart, start);
    ASSERT_EQ(items.GetSize(), 2);
    const auto* a = static_cast<const CDBProxyClient*>(items[0]);
    const auto* b = static_cast<const CDBProxyClient*>(items[1]);
    EXPECT_EQ(a->m_strLtdName, QStringLiteral("晨曦音乐学校"));
    EXPECT_EQ(b->m_strLtdName, QStringLiteral("<星光> 艺术"));
    EXPECT_DOUBLE_EQ(a->m_fSentKb, 1.5);
    EXPECT_EQ(a->m_dtFirstConnect, start);
    EXPECT_EQ(a->GetStatusLevel(), ST_NONE);
    EXPECT_EQ(b->GetStatusLevel(), ST_GRAY); // no active connection

    // cells as the list shows them
    const CHeads* heads = CDBProxyClient::StaticHeads();
    const auto text = [&](const CDBProxyClient* c, const char* caption) {
        return c->FormatText(heads->FindByCaption(QString::fromUtf8(caption)), true, true, true);
    };
    EXPECT_EQ(text(a, "累计发送"), QStringLiteral("1.5 KB"));
    EXPECT_EQ(text(a, "累计请求"), QStringLiteral("345 次"));
    EXPECT_EQ(text(a, "首次连接"), start.Format(QStringLiteral("%y-%#m-%#d %#H:%M:%S")));
    EXPECT_EQ(text(a, "最近活动"), QStringLiteral("无记录"));
    EXPECT_EQ(text(b, "地址"), QStringLiteral("未登记"));

    // refusals and nonsense come back as the text to show
    EXPECT_EQ(ReadProxyStatus(QStringLiteral("<r result=\"密码错误！\" />"), srvStart, items, nullptr),
              QStringLiteral("密码错误！"));
    EXPECT_EQ(ReadProxyStatus(QStringLiteral("<r result="), srvStart, items, nullptr),
              QStringLiteral("代理服务器无响应或返回无效数据！"));
    EXPECT_EQ(items.GetSize(), 2);

    struct Case
    {
        double seconds;
        const char* uptime;
    } cases[] = {{93784, "运行时长：1 天 2 时 3 分 4 秒"},
                 {59.6, "运行时长：0 天 0 时 1 分 0 秒"}, // rounded to the second first
                 {86400 * 3, "运行时长：3 天 0 时 0 分 0 秒"}};
    for (const Case& c : cases) {
        const QString line = ProxyStatusLine(start, start.AddDays(c.seconds / 86400), 1, 1);
        EXPECT_TRUE(line.contains(QString::fromUtf8(c.uptime))) << line.toStdString();
    }
    EXPECT_EQ(ProxyStatusLine(start, start, 3, 4),
              QStringLiteral("服务器启动时间：%1   运行时长：0 天 0 时 0 分 0 秒   连接中：3   已断开：4")
                  .arg(start.Format(QStringLiteral("%y-%#m-%#d %#H:%M:%S"))));
}

class RelayDialogs : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session, *CDBOperLog::StaticHeads()));
        SetRelayServer({QStringLiteral("127.0.0.1"), m_relay.Port(), QStringLiteral("relay.test")});
        m_relay.srvStart = 1700000000;
        m_relay.statusClients = kClients;
    }
    void TearDown() override
    {
        StopWebService();
        RelayPoolLoop().Install(nullptr);
        SetRelayServer({});
        XClock::Reset();
    }

    TempDatabase m_db;
    FakeRelay m_relay;
    XUiTestHooks m_ui;
};

// Answers the password prompt with each text in turn (clicking OK), cancelling after them.
void AnswerPasswords(XUiTestHooks& ui, std::vector<QString> passwords, int* prompts)
{
    ui.onModal = [passwords, prompts, i = size_t(0)](QDialog* d) mutable -> int {
        auto* prompt = dynamic_cast<CDlgProxyPwd*>(d);
        if (!prompt)
            return IDCANCEL; // the view itself: it has done its work by now
        ++*prompts;
        prompt->show(); // as a modal run would: its refusals are balloons then
        if (i >= passwords.size())
            return IDCANCEL;
        qobject_cast<QLineEdit*>(prompt->GetDlgItem(IDC_PASSWORD))->setText(passwords[i++]);
        qobject_cast<QAbstractButton*>(prompt->GetDlgItem(IDOK))->click();
        if (prompt->result() == IDOK)
            return IDOK;
        // refused (an empty password): type the next one into the same prompt
        qobject_cast<QLineEdit*>(prompt->GetDlgItem(IDC_PASSWORD))->setText(passwords[i++]);
        qobject_cast<QAbstractButton*>(prompt->GetDlgItem(IDOK))->click();
        return prompt->result();
    };
}

TEST_F(RelayDialogs, CancellingThePasswordClosesTheView)
{
    int prompts = 0;
    AnswerPasswords(m_ui, {}, &prompts);
    CDlgProxyView view;
    EXPECT_EQ(view.DoModal(), IDCANCEL);
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("Modal")).size(), 1u); // the view itself never runs
    EXPECT_EQ(view.m_items.GetSize(), 0);
    EXPECT_EQ(m_relay.Count(RELAY_STATUS), 0);
}

TEST_F(RelayDialogs, TheViewListsTheInstallationsBehindThePassword)
{
    XClock::SetFixed(FromUnixSeconds(1700000000 + 93784));
    int prompts = 0;
    // empty (refused at once), wrong (the relay refuses, asked again), right
    AnswerPasswords(m_ui, {QString(), QStringLiteral("wrong"), QStringLiteral("relaypw")}, &prompts);
    m_ui.answer = IDOK;
    CDlgProxyView view;
    ASSERT_TRUE(view.Create());
    EXPECT_EQ(prompts, 2);
    const auto balloons = m_ui.Calls(QStringLiteral("Balloon"));
    ASSERT_FALSE(balloons.empty());
    EXPECT_EQ(balloons.front().text, QStringLiteral("请输入密码！"));
    const auto boxes = m_ui.Calls(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("密码错误！"));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("代理客户端列表"));

    ASSERT_NE(view.m_list, nullptr);
    EXPECT_EQ(view.m_list->GetItemCount(), 2);
    EXPECT_EQ(view.m_strPassword, QStringLiteral("relaypw"));
    EXPECT_TRUE(LabelText(view, IDC_PROXY_STATUS_LINE).contains(QStringLiteral("运行时长：1 天 2 时 3 分 4 秒")));
    EXPECT_TRUE(LabelText(view, IDC_PROXY_STATUS_LINE).endsWith(QStringLiteral("连接中：1   已断开：1")));

    // a refresh asks again with the remembered password, no prompt
    view.OnRefresh();
    EXPECT_EQ(prompts, 2);
    EXPECT_EQ(view.m_list->GetItemCount(), 2);
    EXPECT_EQ(m_relay.Count(RELAY_STATUS), 3);

    // find: nothing typed, not there, there
    view.resize(1000, 420);
    view.show();
    view.OnFindNext();
    qobject_cast<QLineEdit*>(view.GetDlgItem(ID_FIND_WHAT))->setText(QStringLiteral("不存在的学校"));
    view.OnFindNext();
    qobject_cast<QLineEdit*>(view.GetDlgItem(ID_FIND_WHAT))->setText(QStringLiteral("星光"));
    view.OnFindNext();
    const auto tips = m_ui.Calls(QStringLiteral("Balloon"));
    ASSERT_EQ(tips.size(), 3u); // the password's, then the two finds that found nothing
    EXPECT_EQ(tips[1].text, QStringLiteral("输入要查找的内容，支持拼音或拼音首字母查找。"));
    EXPECT_TRUE(tips[2].text.contains(QStringLiteral("不存在的学校"))) << tips[2].text.toStdString();
    EXPECT_EQ(view.m_list->GetSelectedCount(), 1);
    EXPECT_EQ(view.m_list->GetFirstSelected(), 1);

    // the home page of the selected one opens with the desktop
    view.m_list->SelectOnly(0);
    view.OnInternet();
    const auto shells = m_ui.Calls(QStringLiteral("Shell"));
    ASSERT_EQ(shells.size(), 1u);
    EXPECT_EQ(shells[0].text, QStringLiteral("https://a.relay.test"));

    SaveShot(view, "proxy_view");

    // the relay gone: the status line says why and a box tells it too
    SetRelayServer({QStringLiteral("0.0.0.0"), 6162, QString()});
    view.OnRefresh();
    EXPECT_EQ(LabelText(view, IDC_PROXY_STATUS_LINE), QStringLiteral("[w]无法解析代理服务器地址！"));
    EXPECT_EQ(view.m_list->GetItemCount(), 0);
    EXPECT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 2u);
}

TEST_F(RelayDialogs, WebAccessStatusShowsTheRelayConnectionAndTodaysEvents)
{
    const XDateTime now(2026, 3, 2, 10, 30, 0);
    XClock::SetFixed(now);
    const auto row = [](double day, int type, const char* memo) {
        return Exec(QStringLiteral("INSERT INTO TB_OPERLOG (OperTime, UserID, UserMduID, TypeID, OperMemo) "
                                   "VALUES (%1, 0, 0, %2, '%3')")
                        .arg(day, 0, 'f', 6)
                        .arg(type)
                        .arg(QString::fromUtf8(memo)));
    };
    ASSERT_TRUE(row(now.Day() - 1, OPER_PROXY, "昨天的代理事件"));
    ASSERT_TRUE(row(now.Day() - 0.1, OPER_LOGIN, "今天的登录"));
    CModuleOperLog operLog;
    RegisterModule(&operLog);

    // the local listener runs, no relay: not connected
    StartWebService();
    for (int i = 0; i < 300 && !GetWebServiceState().port; ++i)
        std::this_thread::sleep_for(10ms);
    ASSERT_NE(GetWebServiceState().port, 0);
    {
        CDlgAppExplorer dlg;
        ASSERT_TRUE(dlg.Create());
        EXPECT_EQ(LabelText(dlg, IDC_PROXY_START_TIME), QStringLiteral("未连接"));
        EXPECT_FALSE(dlg.m_wndQrCodes->GetTab(0).bEnabled);
        // only today's relay rows: the service's own start row
        ASSERT_EQ(dlg.m_list->GetItemCount(), 1);
        EXPECT_TRUE(dlg.m_list->GetRowTexts(0).join(u'|').contains(QStringLiteral("代理连接服务启动。")));
        auto* internet = qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDC_PROXY_SERVER_INTERNET));
        ASSERT_NE(internet, nullptr);
        EXPECT_TRUE(internet->isChecked());
        EXPECT_TRUE(IsWndReadOnly(internet));
        EXPECT_TRUE(IsWndReadOnly(dlg.GetDlgItem(IDC_PROXY_SERVER_LOCAL)));
        // the unchosen server greys nothing else
        for (int id :
             {int(IDC_RESET), int(IDC_PROXY_START_TIME), int(IDC_QRCODES), int(IDC_RECORD_LIST), int(IDCANCEL)})
            EXPECT_TRUE(dlg.GetDlgItem(id)->isEnabled()) << id;
    }

    // joined through the relay: the start time shows, and the reconnect starts it over
    RelayPoolLoop().Install(RunRelayPool);
    {
        CDlgAppExplorer dlg;
        ASSERT_TRUE(dlg.Create());
        dlg.OnReconnect();
        ASSERT_TRUE(m_relay.WaitUntil([&] { return m_relay.PoolSize() == 1; }));
        for (int i = 0; i < 300 && LabelText(dlg, IDC_PROXY_START_TIME) == QStringLiteral("未连接"); ++i) {
            std::this_thread::sleep_for(10ms);
            dlg.UpdateControls();
        }
        EXPECT_EQ(LabelText(dlg, IDC_PROXY_START_TIME), QStringLiteral("26-3-2 10:30:00"));
        EXPECT_EQ(m_relay.Count(RELAY_LEAVE), 0); // nothing was joined before the reconnect
        dlg.OnRefresh();
        // stopped, started and the join of the new run, all today
        EXPECT_GE(dlg.m_list->GetItemCount(), 4);
        dlg.resize(640, 640);
        dlg.show();
        // the login panel offers the Internet address now that the relay carries it
        dlg.m_wndQrCodes->Refresh();
        EXPECT_TRUE(dlg.m_wndQrCodes->GetTab(0).bEnabled);
        EXPECT_EQ(dlg.m_wndQrCodes->GetTab(0).strUrl,
                  QStringLiteral("https://") + RelayInstallationId() + QStringLiteral(".relay.test"));
        SaveShot(dlg, "app_explorer");
    }
    UnregisterModule(&operLog);
}

} // namespace
