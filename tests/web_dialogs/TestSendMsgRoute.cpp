// The route "sendmsg": a WeChat notice sent from a phone's record page.
#include "CHttpRequest.h"
#include "ServeOnSocketPair.h"
#include "TransformXsl.h"
#include "WebResources.h"
#include "WxNoticeTest.h"

#include <gtest/gtest.h>

#include <QtCore/QUrlQuery>

#include <sys/socket.h>
#include <unistd.h>

namespace {

using SendMsgRoute = WxNoticeTest;

// Runs the route for the parameters as the identity; what it answered.
QByteArray Route(const QString& params, const CXItem& identity,
                 void (xInternet::CHttpRequest::*handler)() = &xInternet::CHttpRequest::OnSendMsg)
{
    return ServeOnSocketPair([&](int socket) {
        xInternet::CHttpRequest request(socket);
        for (const auto& [key, value] : QUrlQuery(params).queryItems(QUrl::FullyDecoded))
            request.m_params.insert(key, value);
        identity.CopyTo(&request.m_user);
        (request.*handler)();
    });
}

TEST_F(SendMsgRoute, AnswersByTheOutcome)
{
    Bind(m_school.s1, QStringLiteral("oS1"));
    CXMap query;
    query.SetText(1, QString::number(m_school.makeUp));
    const QString record =
        QStringLiteral("mduid=334&query=") + QString::fromLatin1(QUrl::toPercentEncoding(query.ToXml()));
    const QString s1 = QStringLiteral("&rcvers=") + QString::number(m_school.s1);
    CXItem student;
    student.m_nMduID = MDU_STUDENT;
    student.m_nID = m_school.s1;

    const struct
    {
        QString params;
        const CXItem* who;
        QByteArray expect; // the status line's start or a text of the page
    } cases[] = {
        {record + QStringLiteral("&tmplid=OPENTM400833477"), &FixtureUser(), "HTTP/1.1 400 "}, // no receivers
        {record + s1, &FixtureUser(), "HTTP/1.1 400 "},                                        // no template
        {QStringLiteral("mduid=999&query=x&tmplid=T") + s1, &FixtureUser(), "HTTP/1.1 400 "},  // no module
        {record + QStringLiteral("&tmplid=OPENTM400833477") + s1, &student, "HTTP/1.1 400 "},  // no right
        {record + QStringLiteral("&tmplid=NOSUCH") + s1, &FixtureUser(), "errid=\"101\" errmsg=\"未找到对应的模板！\""},
        {QStringLiteral("mduid=334&query=%3Cr%3E%3Cx%20id%3D%221%22%3E999999%3C%2Fx%3E%3C%2Fr%3E&tmplid=T") + s1,
         &FixtureUser(), "errid=\"102\""},
        {record + QStringLiteral("&tmplid=OPENTM400833477&msguserdef=x") + s1, &FixtureUser(), "errid=\"100\""},
    };
    for (const auto& c : cases) {
        const QByteArray answer = Route(c.params, *c.who);
        EXPECT_TRUE(c.expect.startsWith("HTTP") ? answer.startsWith(c.expect) : answer.contains(c.expect))
            << c.params.toStdString() << "\n"
            << answer.constData();
    }
    const auto sent = m_wx.Calls(QStringLiteral("cgi-bin/message/template/send"));
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].json.value("touser").toString(), u"oS1");
    EXPECT_EQ(
        QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=8 AND UserMduID=322 AND UserID=1")),
        1);
}

TEST_F(SendMsgRoute, RecordPageCarriesTheNoticeForm)
{
    // the phone's notice form is the query route's page of one record through its sheet
    Bind(m_school.s1, QStringLiteral("oS1"));
    CXMap query;
    query.SetText(1, QString::number(m_school.makeUp));
    const QString one = QStringLiteral("mduid=334&one=1&xsl=tmplmsg&query=") +
                        QString::fromLatin1(QUrl::toPercentEncoding(query.ToXml()));
    const QByteArray page = Route(one, FixtureUser(), &xInternet::CHttpRequest::OnQuery);
    const qsizetype body = page.indexOf("\r\n\r\n");
    ASSERT_GT(body, 0) << page.constData();
    const QByteArray xml = page.mid(body + 4);
    EXPECT_TRUE(xml.contains("<tmpl id=\"OPENTM400833477\" title=\"上课提醒\"")) << xml.constData();
    EXPECT_TRUE(xml.contains("wxrcvercount=\"1\""));
    EXPECT_TRUE(xml.contains(QStringLiteral("<rcver mduid=\"321\" id=\"%1\"").arg(m_school.s1).toUtf8()));
    // every template's message to the receiver, with the sender's own text left to fill
    EXPECT_TRUE(xml.contains("<msg id=\"OPENTM411545279\" title=\"调课通知\" preview=\""));
    EXPECT_TRUE(xml.contains("[MsgUserDef]"));

    const QString html = TransformNamedSheet(xml, QStringLiteral("tmplmsg.xsl"), {}, WebSheets());
    EXPECT_TRUE(html.contains(u"action=\"sendmsg\"")) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("name=\"rcver\" value=\"%1\"").arg(m_school.s1)));
    EXPECT_FALSE(html.contains(u"[MsgUserDef]"));

    // a list page counts each record's receivers but carries no form
    const QByteArray list =
        Route(QStringLiteral("mduid=334&xsl=items&query=") + QString::fromLatin1(QUrl::toPercentEncoding(query.ToXml())),
              FixtureUser(), &xInternet::CHttpRequest::OnQuery);
    EXPECT_TRUE(list.contains("wxrcvercount=\"1\"")) << list.constData();
    EXPECT_FALSE(list.contains("<tmpls>"));
    EXPECT_FALSE(list.contains("<rcvers>"));
}

} // namespace
