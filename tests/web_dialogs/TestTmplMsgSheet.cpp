// The phone's notice form: the page sheet over a record page with templates and receivers.
#include "CWxTmpl.h"
#include "Resources.h"
#include "TransformXsl.h"
#include "WxNoticeTest.h"

#include <gtest/gtest.h>

namespace {

using TmplMsgSheet = WxNoticeTest;

// The sheet's body alone: the shared frame is another sheet, which the transformation may
// not read.
QString BodySheet()
{
    QString sheet = QString::fromUtf8(LoadResourceFile(QStringLiteral(":/www/471-tmplmsg.xsl")));
    const QString import = QStringLiteral("<xsl:import href=\"share.xsl\"/>");
    EXPECT_TRUE(sheet.contains(import));
    sheet.replace(import, QStringLiteral("<xsl:output method=\"html\" encoding=\"utf-8\"/>"
                                         "<xsl:template match=\"/\"><xsl:apply-templates select=\"r\" mode=\"body\"/>"
                                         "</xsl:template>"));
    return sheet;
}

QString Attr(const QString& text) { return text.toHtmlEscaped(); }

TEST_F(TmplMsgSheet, FormShowsTemplatesReceiversAndEscapedPreviews)
{
    const CWxTmpl* moved = FindWxTmpl(MDU_EDURCD, QStringLiteral("OPENTM411545279"));
    ASSERT_TRUE(moved);
    const XPrintKeywords keywords{{"[学员]", "<script>x()</script>小明"},
                                  {"[日期]", "3月18日"},
                                  {"[相对日期]", ""},
                                  {"[课程]", "钢琴 & 乐理"},
                                  {"[教师]", "周杰"},
                                  {"[计划时间]", "17:00"},
                                  {"[时间]", "18:00"}};
    const QString preview = moved->FormatText(QStringLiteral("[MsgUserDef]"), keywords, true);
    const QString page =
        QStringLiteral(
            "<r mduid=\"334\" itemtype=\"课堂记录\" query=\"%1\">"
            "<tmpls><tmpl id=\"OPENTM400833477\" title=\"上课提醒\" userdeftitle=\"\" userdefvalue=\"\"/>"
            "<tmpl id=\"OPENTM411545279\" title=\"调课通知\" userdeftitle=\"调课原因\" userdefvalue=\"%2\"/></tmpls>"
            "<item title=\"2026年2月14日 钢琴\"/>"
            "<rcvers><rcver mduid=\"321\" id=\"7\" subid=\"70\" name=\"%3\"><msgs>"
            "<msg id=\"OPENTM411545279\" title=\"调课通知\" preview=\"%4\"/></msgs></rcver></rcvers></r>")
            .arg(Attr(QStringLiteral("<r><x id=\"1\">5</x></r>")), Attr(moved->GetUserDefContent()),
                 Attr(QStringLiteral("<i>小明</i>")), Attr(preview));
    const QString html = TransformXsl(page, BodySheet());
    ASSERT_FALSE(html.isEmpty());

    EXPECT_TRUE(html.contains(u"action=\"sendmsg\""));
    EXPECT_TRUE(html.contains(u"name=\"mduid\" value=\"334\""));
    EXPECT_TRUE(html.contains(u"name=\"query\" value='&lt;r&gt;&lt;x id=\"1\"&gt;5&lt;/x&gt;&lt;/r&gt;'"))
        << html.toStdString();
    EXPECT_TRUE(html.contains(u"name=\"tmplid\" value=\"OPENTM400833477\" checked"));
    EXPECT_TRUE(html.contains(u"name=\"msguserdef\" value=\"临时调整，不便之处，敬请谅解！\""));
    EXPECT_TRUE(html.contains(u"name=\"rcver\" value=\"7\""));
    // names and values are text, shown once escaped; the breaks are elements
    EXPECT_TRUE(html.contains(u"&lt;i&gt;小明&lt;/i&gt;"));
    EXPECT_TRUE(html.contains(u"&lt;script&gt;x()&lt;/script&gt;小明您好！"));
    EXPECT_TRUE(html.contains(u"课程名称：钢琴 &amp; 乐理（周杰）<br>"));
    EXPECT_TRUE(html.contains(u"调课原因：临时调整，不便之处，敬请谅解！<br>"));
    EXPECT_FALSE(html.contains(u"<script>"));
    EXPECT_FALSE(html.contains(u"<i>"));
    EXPECT_FALSE(html.contains(u"&amp;lt;"));
    EXPECT_FALSE(html.contains(u"[MsgUserDef]"));
}

TEST_F(TmplMsgSheet, WithoutReceiversTheFormSaysWhy)
{
    const QString html = TransformXsl(
        QStringLiteral(
            "<r mduid=\"334\" itemtype=\"课堂记录\" query=\"\"><tmpls><tmpl id=\"T\" title=\"上课提醒\"/></tmpls>"
            "<item title=\"x\"/></r>"),
        BodySheet());
    EXPECT_TRUE(html.contains(u"当前课堂记录中无用户通过微信公众号登录绑定，无法发送微信通知！"));
    EXPECT_FALSE(html.contains(u"type=\"submit\""));
}

} // namespace
