// Sending a WeChat template message about a record: who receives it, what WeChat is sent,
// and what is logged.
#include "CHead.h"
#include "CWxRcver.h"
#include "RecordCopy.h"
#include "WxNoticeTest.h"
#include "WxHttp.h"
#include "WxTmplMsg.h"

#include <gtest/gtest.h>

#include <QtCore/QUrl>
#include <QtCore/QUrlQuery>

#include <memory>

namespace {

using WxSend = WxNoticeTest;

int MsgRows(int mduId, int id)
{
    return static_cast<int>(
        QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=8 AND MduID=%1 AND ItemID=%2")
                        .arg(mduId)
                        .arg(id)));
}

TEST_F(WxSend, ClassReminderToABoundStudent)
{
    Bind(m_school.s1, QStringLiteral("oS1"));
    CXItem* rcd = Read(MDU_EDURCD, m_school.makeUp);
    ASSERT_TRUE(rcd);
    QString result;
    EXPECT_TRUE(SendWxTmplMsg(result, *rcd, QStringLiteral("opentm400833477"), QString(), QString::number(m_school.s1),
                              FixtureUser()));
    EXPECT_EQ(result, u"OK");

    // the template was not in the account: added from the library by its short id
    const auto added = m_wx.Calls(QStringLiteral("cgi-bin/template/api_add_template"));
    ASSERT_EQ(added.size(), 1u);
    EXPECT_EQ(added[0].json.value("template_id_short").toString(), u"OPENTM400833477");

    const auto sent = m_wx.Calls(QStringLiteral("cgi-bin/message/template/send"));
    ASSERT_EQ(sent.size(), 1u);
    const QJsonObject msg = sent[0].json;
    EXPECT_EQ(sent[0].query.queryItemValue("access_token"), u"TOKEN-1");
    EXPECT_EQ(msg.value("touser").toString(), u"oS1");
    EXPECT_EQ(msg.value("template_id").toString(), u"ADDED-TMPL");
    // an absolute address whose query value arrives intact
    const QUrl link(msg.value("url").toString());
    EXPECT_EQ(link.scheme(), u"https");
    EXPECT_EQ(link.host(), u"abc.relay.example");
    EXPECT_EQ(link.path(), u"/query");
    const QUrlQuery q(link);
    EXPECT_EQ(q.queryItemValue("mduid"), u"334");
    EXPECT_EQ(q.queryItemValue("usermduid"), u"321");
    EXPECT_EQ(q.queryItemValue("userid"), QString::number(m_school.s1));
    EXPECT_EQ(q.queryItemValue("xsl"), u"items");
    EXPECT_EQ(CXMap(q.queryItemValue("query", QUrl::FullyDecoded).toUtf8()).GetText(1),
              QString::number(m_school.makeUp));

    const QJsonObject data = msg.value("data").toObject();
    EXPECT_EQ(data.keys(), (QStringList{"first", "keyword1", "keyword2", "remark"}));
    for (const QString& key : data.keys())
        EXPECT_EQ(data.value(key).toObject().value("color").toString(), u"#173177");
    const auto value = [&data](const char* key) {
        return data.value(QLatin1String(key)).toObject().value("value").toString();
    };
    EXPECT_TRUE(value("first").startsWith(u"张三 (小明)您好！2026年2月14日")) << value("first").toStdString();
    EXPECT_TRUE(value("first").endsWith(u"您有预约课程。"));
    EXPECT_FALSE(value("first").contains(u'['));
    EXPECT_TRUE(value("keyword1").startsWith(u"钢琴（")) << value("keyword1").toStdString();
    EXPECT_TRUE(value("keyword1").contains(u"周杰"));
    EXPECT_TRUE(value("keyword2").contains(u"14:00")) << value("keyword2").toStdString();
    EXPECT_EQ(value("remark"), u"届时请准时前来上课！");

    ASSERT_EQ(MsgRows(MDU_EDURCD, m_school.makeUp), 1);
    const QString memo = QueryText(QStringLiteral("SELECT OperMemo FROM TB_OPERLOG WHERE TypeID=8"));
    EXPECT_EQ(memo, QStringLiteral("%1\r\n课程名称：%2\r\n时间：%3\r\n届时请准时前来上课！\r\n")
                        .arg(value("first"), value("keyword1"), value("keyword2")));

    // the account's template id is kept: the next send looks nothing up
    EXPECT_TRUE(SendWxTmplMsg(result, *rcd, QStringLiteral("OPENTM400833477"), QString(), QString::number(m_school.s1),
                              FixtureUser()));
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/template/api_add_template")), 1);
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/template/get_all_private_template")), 1);
}

TEST_F(WxSend, EveryBoundIdentityGetsItsMessageAndARow)
{
    Bind(m_school.s1, QStringLiteral("oMother"));
    Bind(m_school.s1, QStringLiteral("oFather"));
    Bind(m_school.s3, QStringLiteral("oOther")); // not in this class
    CXItem* rcd = Read(MDU_EDURCD, m_school.makeUp);
    ASSERT_TRUE(rcd);
    // the user-defined line of the cancellation takes the sender's text
    QString result;
    EXPECT_TRUE(SendWxTmplMsg(result, *rcd, QStringLiteral("OPENTM418342163"), QStringLiteral("老师生病"),
                              QString::number(m_school.s1), FixtureUser()))
        << result.toStdString();
    const auto sent = m_wx.Calls(QStringLiteral("cgi-bin/message/template/send"));
    ASSERT_EQ(sent.size(), 2u);
    QStringList to{sent[0].json.value("touser").toString(), sent[1].json.value("touser").toString()};
    to.sort();
    EXPECT_EQ(to, (QStringList{"oFather", "oMother"}));
    EXPECT_EQ(sent[0].json.value("data").toObject().value("keyword3").toObject().value("value").toString(),
              u"老师生病");
    EXPECT_EQ(MsgRows(MDU_EDURCD, m_school.makeUp), 2);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT Extr FROM TB_OPERLOG WHERE TypeID=8")), u"老师生病");
}

// A record not yet stored is saved first, so the message can link to it and the log row
// names it.
TEST_F(WxSend, UnsavedRecordIsSavedBeforeSending)
{
    Bind(m_school.s1, QStringLiteral("oS1"));
    CXItem* stored = Read(MDU_EDURCD, m_school.makeUp);
    ASSERT_TRUE(stored);
    std::unique_ptr<CXItem> fresh(stored->CopyTo(stored->CreateNew()));
    PrepareNewCopy(*fresh);
    fresh->m_dtDate = fresh->m_dtDate.AddDays(1);
    ASSERT_EQ(fresh->m_nID, 0);
    QString result;
    EXPECT_TRUE(SendWxTmplMsg(result, *fresh, QStringLiteral("OPENTM400833477"), QString(),
                              QString::number(m_school.s1), FixtureUser()))
        << result.toStdString();
    ASSERT_NE(fresh->m_nID, 0);
    EXPECT_NE(fresh->m_nID, m_school.makeUp);
    EXPECT_TRUE(Read(MDU_EDURCD, fresh->m_nID));
    EXPECT_EQ(MsgRows(MDU_EDURCD, fresh->m_nID), 1);
    const auto sent = m_wx.Calls(QStringLiteral("cgi-bin/message/template/send"));
    ASSERT_EQ(sent.size(), 1u);
    const QUrlQuery q(QUrl(sent[0].json.value("url").toString()));
    EXPECT_EQ(CXMap(q.queryItemValue("query", QUrl::FullyDecoded).toUtf8()).GetText(1), QString::number(fresh->m_nID));
}

// The account may hold several templates of one title: the first holding every key and
// caption of ours is used, and nothing is added.
TEST_F(WxSend, AccountTemplateIsTheFirstWithAllKeysAndCaptions)
{
    const auto entry = [](const char* id, const char* content) {
        return QJsonObject{{"template_id", id}, {"title", "上课提醒"}, {"content", content}};
    };
    m_wx.privateTemplates = {
        QJsonObject{{"template_id", "OTHER-TITLE"},
                    {"title", "课程提醒"},
                    {"content", "{{first.DATA}}课程名称：{{keyword1.DATA}}时间：{{keyword2.DATA}}{{remark.DATA}}"}},
        entry("MISSING-KEY", "{{first.DATA}}课程名称：{{keyword1.DATA}}{{remark.DATA}}"),
        entry("WRONG-CAPTION", "{{first.DATA}}课程：{{keyword1.DATA}}时间：{{keyword2.DATA}}{{remark.DATA}}"),
        entry("MATCH", "{{first.DATA}}\n课程名称：{{keyword1.DATA}}\n时间：{{keyword2.DATA}}\n{{remark.DATA}}"),
        entry("LATER", "{{first.DATA}}课程名称：{{keyword1.DATA}}时间：{{keyword2.DATA}}{{remark.DATA}}"),
    };
    Bind(m_school.s1, QStringLiteral("oS1"));
    CXItem* rcd = Read(MDU_EDURCD, m_school.makeUp);
    ASSERT_TRUE(rcd);
    QString result;
    EXPECT_TRUE(SendWxTmplMsg(result, *rcd, QStringLiteral("OPENTM400833477"), QString(), QString::number(m_school.s1),
                              FixtureUser()));
    EXPECT_EQ(m_wx.Count(QStringLiteral("cgi-bin/template/api_add_template")), 0);
    const auto sent = m_wx.Calls(QStringLiteral("cgi-bin/message/template/send"));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].json.value("template_id").toString(), u"MATCH");
}

TEST_F(WxSend, FailuresAreReportedAndNothingIsLogged)
{
    CXItem* rcd = Read(MDU_EDURCD, m_school.makeUp);
    ASSERT_TRUE(rcd);
    const QString s1 = QString::number(m_school.s1);
    const auto send = [&](const QString& tmpl, const QString& ids) {
        QString result;
        const bool ok = SendWxTmplMsg(result, *rcd, tmpl, QString(), ids, FixtureUser());
        EXPECT_EQ(ok, result == u"OK");
        return result;
    };
    // nobody in the class has a WeChat identity: nothing can be sent, and that is no success
    EXPECT_EQ(send(QStringLiteral("OPENTM400833477"), s1), u"未找到可以接收微信通知的学员！");
    Bind(m_school.s1, QStringLiteral("oS1"));
    // a student not in the record
    EXPECT_EQ(send(QStringLiteral("OPENTM400833477"), QString::number(m_school.s3)), u"未找到可以接收微信通知的学员！");
    // another module's template
    EXPECT_EQ(send(QStringLiteral("OPENTM207804884"), s1), u"未找到对应的模板！");
    m_wx.addedTemplateId.clear();
    EXPECT_EQ(send(QStringLiteral("OPENTM400833477"), s1), u"从微信服务器获取模板 ID 失败！");
    m_wx.addedTemplateId = QStringLiteral("ADDED-TMPL");
    m_wx.sendErrmsg = QStringLiteral("require subscribe");
    EXPECT_EQ(send(QStringLiteral("OPENTM400833477"), s1), u"发送失败！微信服务器返回：require subscribe");
    xInternet::WxHttpCall() = [](const QString& url, const QByteArray&) {
        return url.contains(u"template/send") ? QByteArray()
                                              : QByteArray("{\"template_list\":[],\"template_id\":\"X\"}");
    };
    EXPECT_EQ(send(QStringLiteral("OPENTM418342163"), s1), u"微信服务器无响应！");
    xInternet::UpdateWebServiceState([](xInternet::WebServiceState& s) { s.wxAccessToken.clear(); });
    EXPECT_EQ(send(QStringLiteral("OPENTM400833477"), s1), u"未配置微信公众号或未连接微信服务器！");
    EXPECT_EQ(MsgRows(MDU_EDURCD, m_school.makeUp), 0);
}

// A record's students: one receiver per student line, numbered when a student repeats;
// a record with a student link gives that student; identities of unverified sessions and
// of other students are not theirs.
TEST_F(WxSend, ReceiversOfARecord)
{
    Bind(m_school.s1, QStringLiteral("oS1"));
    {
        // an old-style session id (the openid alone) proves nothing
        auto* identity = new CXItem;
        identity->m_nMduID = MDU_STUDENT;
        identity->m_nID = m_school.s6;
        std::lock_guard lock(xInternet::SessionLock());
        xInternet::SessionMap().emplace(QStringLiteral("wx_oS6Forged"), std::make_unique<CHttpSession>(identity));
    }
    CXItem* sch = Read(MDU_EDUSCH, m_school.e1);
    ASSERT_TRUE(sch);
    CXArray rcvers(nullptr, true);
    CollectWxRcvers(*sch, rcvers, &FixtureUser());
    ASSERT_EQ(rcvers.GetSize(), 2);
    const auto* first = static_cast<const CWxRcver*>(rcvers.GetAt(0));
    const auto* second = static_cast<const CWxRcver*>(rcvers.GetAt(1));
    EXPECT_EQ(first->m_nID, m_school.s1);
    EXPECT_EQ(first->m_openids, QStringList{"oS1"});
    EXPECT_TRUE(first->IsChecked());
    EXPECT_EQ(second->m_nID, m_school.s6);
    EXPECT_TRUE(second->m_openids.isEmpty());
    EXPECT_FALSE(second->IsChecked());
    EXPECT_EQ(first->m_keywords.value("[学员]"), first->m_strName);

    // the same student on two lines of a class
    CXItem* rcd = Read(MDU_EDURCD, m_school.makeUp);
    ASSERT_TRUE(rcd);
    CXArray* students = nullptr;
    for (const CXItem* h : *rcd->GetHeads()) {
        const auto* head = static_cast<const CHead*>(h);
        if (head->m_nType == XAR && head->m_nOffset && head->m_strName == u"学员")
            students = &rcd->Member<CXArray>(head->m_nOffset);
    }
    ASSERT_TRUE(students && students->GetSize() == 1);
    students->Add(students->GetAt(0)->CopyTo(students->CreateItem()));
    CXArray twice(nullptr, true);
    CollectWxRcvers(*rcd, twice, &FixtureUser());
    ASSERT_EQ(twice.GetSize(), 2);
    EXPECT_EQ(twice.GetAt(0)->m_nID, m_school.s1);
    EXPECT_EQ(twice.GetAt(1)->m_nID, m_school.s1);
    EXPECT_EQ(twice.GetAt(1)->m_strName, twice.GetAt(0)->m_strName + QStringLiteral(" (2)"));
    EXPECT_FALSE(twice.GetAt(0)->m_strName.endsWith(u"(2)"));

    // a receipt names its student by a link
    CXArray paid(nullptr, true);
    CXItem* receipt = Read(MDU_RECEIPT, m_school.r1);
    ASSERT_TRUE(receipt);
    CollectWxRcvers(*receipt, paid, &FixtureUser());
    ASSERT_EQ(paid.GetSize(), 1);
    EXPECT_EQ(paid.GetAt(0)->m_nID, m_school.s1);
    EXPECT_EQ(static_cast<const CWxRcver*>(paid.GetAt(0))->m_openids, QStringList{"oS1"});
    // and a receipt's student already in the list is not added again
    CollectWxRcvers(*receipt, paid, &FixtureUser());
    EXPECT_EQ(paid.GetSize(), 1);
}

// Previews are HTML: record values are escaped before the line breaks go in.
TEST_F(WxSend, MessageTextEscapesValuesInHtml)
{
    CWxTmpl* tmpl = FindWxTmpl(MDU_EDURCD, QStringLiteral("OPENTM411545279"));
    ASSERT_TRUE(tmpl);
    EXPECT_EQ(tmpl->GetUserDefTitle(), u"调课原因");
    const XPrintKeywords keywords{{"[学员]", "<b>小明</b>"}, {"[日期]", "3月18日"}, {"[相对日期]", "(今天)"},
                                  {"[课程]", "钢琴"},        {"[教师]", "周杰"},    {"[计划时间]", "17:00"},
                                  {"[时间]", "18:00"}};
    EXPECT_EQ(tmpl->FormatText(QStringLiteral("a & b"), keywords, true),
              u"&lt;b&gt;小明&lt;/b&gt;您好！您预约 3月18日(今天)课程的上课时间已调整。<br/>课程名称：钢琴（周杰）<br/>"
              u"原上课时间：17:00<br/>现上课时间：18:00<br/>调课原因：a &amp; b<br/>");
    // the empty user line is left out
    EXPECT_EQ(tmpl->FormatText(QString(), keywords, false),
              u"<b>小明</b>您好！您预约 3月18日(今天)课程的上课时间已调整。\r\n课程名称：钢琴（周杰）\r\n"
              u"原上课时间：17:00\r\n现上课时间：18:00\r\n");
}

TEST_F(WxSend, TemplatesGiveTheirModulesTheNotifyRight)
{
    const struct
    {
        int mdu;
        int count;
    } expected[] = {{MDU_EDURCD, 3}, {MDU_EDUSCH, 1}, {MDU_RECEIPT, 1}, {MDU_STUDENT, 0}, {MDU_COURSE, 0}};
    for (const auto& e : expected) {
        const CModule* module = FindModule(e.mdu);
        ASSERT_TRUE(module);
        EXPECT_EQ(module->m_wxTmpls.GetSize(), e.count) << e.mdu;
        EXPECT_EQ((module->m_nCaps & RIGHT_MSG) != 0, e.count > 0) << e.mdu;
        EXPECT_EQ((module->m_nOperRights & RIGHT_MSG) != 0, e.count > 0) << e.mdu;
    }
    const CWxTmpl* moved = FindWxTmpl(MDU_EDURCD, QStringLiteral("OPENTM411545279"));
    ASSERT_TRUE(moved);
    EXPECT_EQ(moved->m_strName, u"调课通知");
    ASSERT_EQ(moved->m_items.GetSize(), 5);
    EXPECT_EQ(moved->m_items.GetAt(4)->m_strKey, u"keyword4");
    EXPECT_EQ(moved->m_items.GetAt(4)->m_bUserDef, 1);
    EXPECT_EQ(moved->m_items.GetAt(0)->m_strName, QString());
}

} // namespace
