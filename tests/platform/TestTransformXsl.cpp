// The XSL transformation and the desktop panes' inner sheet over real record XML.
#include "CHead.h"
#include "CModule.h"
#include "CXXmlDoc.h"
#include "CommandIds.h"
#include "TestSupport.h"
#include "TransformXsl.h"

#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace {

const QString kCopySheet = QStringLiteral(
    "<?xml version=\"1.0\"?><xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
    "<xsl:output method=\"html\" encoding=\"UTF-8\"/>"
    "<xsl:template match=\"/\"><p><xsl:value-of select=\"r/item/@name\"/></p></xsl:template></xsl:stylesheet>");

TEST(TransformXsl, TransformsTextAndEscapesValues)
{
    const QString html = TransformXsl(QStringLiteral("<r><item name=\"A&amp;B &lt;琴行&gt;\"/></r>"), kCopySheet);
    EXPECT_EQ(html.trimmed(), QStringLiteral("<p>A&amp;B &lt;琴行&gt;</p>"));
}

TEST(TransformXsl, FailuresGiveTheEmptyText)
{
    const QString fileReader = QStringLiteral(
        "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
        "<xsl:template match=\"/\"><p><xsl:copy-of select=\"document('/etc/hostname')\"/></p></xsl:template>"
        "</xsl:stylesheet>");
    const struct
    {
        const char* what;
        QString xml;
        QString xsl;
    } cases[] = {
        {"broken XML", QStringLiteral("<r><item></r>"), kCopySheet},
        {"empty XML", QString(), kCopySheet},
        {"broken sheet", QStringLiteral("<r/>"), QStringLiteral("<xsl:stylesheet")},
        {"not a sheet", QStringLiteral("<r/>"), QStringLiteral("<r/>")},
        {"sheet reads a file", QStringLiteral("<r/>"), fileReader},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TransformXsl(c.xml, c.xsl), QString()) << c.what;
}

// Named files in memory; a stamp that tests can move.
class XMemorySheets : public XSheetSource
{
public:
    std::map<QString, QByteArray> files;
    std::map<QString, int> stamps;
    mutable std::vector<QString> asked;
    QByteArray Load(const QString& name) const override
    {
        // pages on several threads may load at once
        std::lock_guard lock(m_askedLock);
        asked.push_back(name);
        auto it = files.find(name);
        return it == files.end() ? QByteArray() : it->second;
    }
    QString Stamp(const QString& name) const override
    {
        auto it = stamps.find(name);
        return QString::number(it == stamps.end() ? 0 : it->second);
    }
    QString Key() const override { return QStringLiteral("memory:%1").arg(m_serial); }

private:
    mutable std::mutex m_askedLock;
    // a source made where an earlier one lived must not find that one's sheets
    static inline std::atomic<int> s_serials{0};
    const int m_serial = ++s_serials;
};

QByteArray Sheet(const char* body)
{
    return QByteArray("<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">") + body +
           "<xsl:output method=\"text\"/></xsl:stylesheet>";
}

TEST(SheetLoader, ImportsIncludesAndDocumentsComeFromTheSourceOnly)
{
    XMemorySheets source;
    source.files[QStringLiteral("page.xsl")] =
        Sheet("<xsl:import href=\"frame.xsl\"/><xsl:include href=\"part.xsl\"/>"
              "<xsl:template match=\"/\"><xsl:call-template name=\"frame\"/>|<xsl:call-template name=\"part\"/>|"
              "<xsl:value-of select=\"document('data.xml')/d/@v\"/>|<xsl:value-of select=\"$update\"/></xsl:template>");
    source.files[QStringLiteral("frame.xsl")] =
        Sheet("<xsl:param name=\"update\"/><xsl:template name=\"frame\">frame</xsl:template>");
    source.files[QStringLiteral("part.xsl")] = Sheet("<xsl:template name=\"part\">part</xsl:template>");
    source.files[QStringLiteral("data.xml")] = "<d v=\"data\"/>";
    // a parameter is a string, never an expression
    EXPECT_EQ(TransformNamedSheet("<r/>", QStringLiteral("page.xsl"), {{"update", QStringLiteral("count(/)")}}, source),
              QStringLiteral("frame|part|data|count(/)"));

    // what names a path, another scheme or a file outside the source never loads: the
    // sheet fails as a whole, and the source is not even asked for such names
    const char* const foreign[] = {"/etc/hostname",      "file:///etc/hostname",
                                   "../../etc/hostname", "http://127.0.0.1:9/x.xsl",
                                   "sub/part.xsl",       "C:/x.xsl"};
    for (const char* href : foreign) {
        for (const char* form :
             {"<xsl:import href=\"%1\"/><xsl:template match=\"/\">x</xsl:template>",
              "<xsl:template match=\"/\"><xsl:copy-of select=\"document('%1')\"/>x</xsl:template>"}) {
            source.files[QStringLiteral("bad.xsl")] = Sheet(QString::fromLatin1(form).arg(href).toUtf8().constData());
            source.stamps[QStringLiteral("bad.xsl")]++;
            source.asked.clear();
            EXPECT_EQ(TransformNamedSheet("<r/>", QStringLiteral("bad.xsl"), {}, source), QString()) << href << form;
            for (const QString& name : source.asked)
                EXPECT_EQ(name, QStringLiteral("bad.xsl")) << href;
        }
    }
    // a sheet named by a path is refused before anything is read
    source.asked.clear();
    EXPECT_EQ(TransformNamedSheet("<r/>", QStringLiteral("../page.xsl"), {}, source), QString());
    EXPECT_TRUE(source.asked.empty());
    // an entity that would read a file is not expanded
    source.files[QStringLiteral("ent.xsl")] = "<!DOCTYPE x [<!ENTITY e SYSTEM \"file:///etc/hostname\">]>" +
                                              Sheet("<xsl:template match=\"/\">[&e;]</xsl:template>");
    const QString entity = TransformNamedSheet("<r/>", QStringLiteral("ent.xsl"), {}, source);
    EXPECT_TRUE(entity.isEmpty() || entity == QStringLiteral("[]")) << entity.toStdString();
}

TEST(SheetLoader, ParsedSheetsFollowTheStampsOfEveryFileTheyRead)
{
    XMemorySheets source;
    source.files[QStringLiteral("page.xsl")] = Sheet("<xsl:import href=\"frame.xsl\"/><xsl:template match=\"/\">page "
                                                     "<xsl:call-template name=\"f\"/></xsl:template>");
    source.files[QStringLiteral("frame.xsl")] = Sheet("<xsl:template name=\"f\">one</xsl:template>");
    auto run = [&] { return TransformNamedSheet("<r/>", QStringLiteral("page.xsl"), {}, source); };
    EXPECT_EQ(run(), QStringLiteral("page one"));

    // an unchanged stamp keeps the parsed sheet, whatever the text says now
    source.files[QStringLiteral("frame.xsl")] = Sheet("<xsl:template name=\"f\">two</xsl:template>");
    source.asked.clear();
    EXPECT_EQ(run(), QStringLiteral("page one"));
    EXPECT_TRUE(source.asked.empty());
    // a new stamp on the imported file parses the page again
    source.stamps[QStringLiteral("frame.xsl")] = 1;
    EXPECT_EQ(run(), QStringLiteral("page two"));
    // and one on the page itself too
    source.files[QStringLiteral("page.xsl")] = Sheet(
        "<xsl:import href=\"frame.xsl\"/><xsl:template match=\"/\">new <xsl:call-template name=\"f\"/></xsl:template>");
    source.stamps[QStringLiteral("page.xsl")] = 1;
    EXPECT_EQ(run(), QStringLiteral("new two"));
    // a sheet that disappears is no longer served from the cache
    source.files.erase(QStringLiteral("page.xsl"));
    source.stamps[QStringLiteral("page.xsl")] = 2;
    EXPECT_EQ(run(), QString());
}

TEST(SheetLoader, ConcurrentPagesShareOneParsedSheet)
{
    XMemorySheets source;
    source.files[QStringLiteral("n.xsl")] =
        Sheet("<xsl:template match=\"/\"><xsl:value-of select=\"r/@n\"/></xsl:template>");
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < 50; ++i) {
                const QByteArray xml = "<r n=\"" + QByteArray::number(t * 1000 + i) + "\"/>";
                if (TransformNamedSheet(xml, QStringLiteral("n.xsl"), {}, source) != QString::number(t * 1000 + i))
                    ++wrong;
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, 0);
}

TEST(SheetLoader, TheDesktopSheetImportsBuiltInFiles)
{
    // a sheet given as text may import the built-in frame, but no file
    const QString page =
        QStringLiteral("<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
                       "<xsl:import href=\"share.xsl\"/>"
                       "<xsl:template match=\"r\" mode=\"body\"><p><xsl:value-of select=\"@m\"/></p></xsl:template>"
                       "</xsl:stylesheet>");
    const QString html = TransformXsl(QStringLiteral("<r m=\"&lt;b&gt;\"/>"), page);
    EXPECT_TRUE(html.contains(QStringLiteral("<div id=\"page\"><p>&lt;b&gt;</p></div>"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("href=\"style.css\""))) << html.toStdString();
    // the one-argument form is the detail panes' built-in sheet
    EXPECT_TRUE(TransformXsl(QStringLiteral("<r><item name=\"甲\"/></r>")).contains(QStringLiteral("甲")));
}

class CPaneLine : public CXItemT<MDU_COURSE>
{
public:
    static CHeads* StaticHeads()
    {
        return BuildHeadsOnce<CPaneLine>([](CHeads& h) {
            CHead* name = h.AddHead(0, QStringLiteral("课程"), 0, QStringLiteral("RecordName"), XSW,
                                    XOFFSET(CPaneLine, m_strName), 0, 0, 0, QString(), QString(), 0, 0, 0, QString());
            name->m_nAccess = 1;
            name->m_nColSub = 1;
        });
    }
    CHeads* GetHeads() const override { return StaticHeads(); }
};

class CPaneRecord : public CXItemT<MDU_EDUSCH>
{
public:
    static CHeads* StaticHeads()
    {
        return BuildHeadsOnce<CPaneRecord>([](CHeads& h) {
            h.m_strItemType = QStringLiteral("课程表");
            auto add = [&h](const XGroup& group, const QString& caption, int type, int offset, const QString& format,
                            const QString& empty, int access) {
                CHead* head =
                    h.AddHead(group, caption, 0, QString(), type, offset, 0, 0, 0, format, empty, 0, 0, 0, QString());
                head->m_nAccess = access;
                head->m_nColDetail = 1;
            };
            // a key for the web pages, written but not one of the fields a reader is shown
            h.AddHead(QStringLiteral("上课"), QStringLiteral("PrimaryKey"), 0, QString(), XIN,
                      XOFFSET(CPaneRecord, m_nKey), 0, 0, 0, QString(), QString(), 0, 0, 0, QString());
            add(QStringLiteral("上课"), QStringLiteral("名称"), XSW, XOFFSET(CPaneRecord, m_strTitle), QString(),
                QString(), 1);
            add(QStringLiteral("上课"), QStringLiteral("状态"), XIN, XOFFSET(CPaneRecord, m_nState),
                QStringLiteral("停用|启用"), QString(), 0);
            add(QStringLiteral("上课"), QStringLiteral("锁定"), XSW, XOFFSET(CPaneRecord, m_strSecret), QString(),
                QString(), -1);
            add(QStringLiteral("人员"), QStringLiteral("教师"), XLK, XOFFSET(CPaneRecord, m_teacher), QString(),
                QStringLiteral("未指定"), 1);
            add(QStringLiteral("人员"), QStringLiteral("助教"), XLK, XOFFSET(CPaneRecord, m_helper), QString(),
                QStringLiteral("未指定"), 1);
            add(QStringLiteral("课程"), QStringLiteral("课程"), XAR, XOFFSET(CPaneRecord, m_lines), QString(),
                QString(), 1);
        });
    }
    CHeads* GetHeads() const override { return StaticHeads(); }
    bool IsSubArray(const CXArray* array) const override { return array == &m_lines; }

    QString m_strTitle;
    int m_nState = 0;
    int m_nKey = 4711;
    QString m_strSecret;
    CXBase m_teacher;
    CXBase m_helper;
    CXArrayT<CPaneLine> m_lines{this};
};

TEST(InnerSheet, RendersARecordAsPlainHtml)
{
    CPaneRecord record;
    record.m_nID = 12;
    record.m_strName = QStringLiteral("周一 钢琴");
    record.m_strTitle = QStringLiteral("钢琴<初级>");
    record.m_nState = 1;
    record.m_strSecret = QStringLiteral("不可见");
    record.m_teacher.m_nMduID = MDU_TEACHER;
    record.m_teacher.m_nID = 7;
    record.m_teacher.m_strName = QStringLiteral("王老师");
    record.m_helper.m_nMduID = MDU_TEACHER;
    for (const char16_t* title : {u"乐理", u"视唱"}) {
        CXItem* line = record.m_lines.CreateItem();
        line->m_nID = 40 + record.m_lines.GetSize();
        line->m_strName = QString::fromUtf16(title);
        record.m_lines.Add(line);
    }

    QString xml;
    const QString html = RecordPageHtml([&](CXXmlDoc& doc) { record.WriteXml(doc, 1, 0, nullptr); }, &xml);
    ASSERT_FALSE(html.isEmpty());
    EXPECT_TRUE(xml.contains(QStringLiteral("周一 钢琴"))) << xml.toStdString(); // the XML behind the page

    for (const char16_t* expected : {
             u"课程表：周一 钢琴",                                // title
             u"<a href=\"xc:modify\"><img src=\"img?id=modify\"", // editable record
             u"<td class=\"group\" colspan=\"2\">上课",           // groups once each
             u"<td class=\"group\" colspan=\"2\">人员",
             u"钢琴&lt;初级&gt;",                // escaped value
             u">启用</font>",                    // option text, not its index
             u"<a href=\"xl:322:7\">王老师</a>", // link to a record
             u"<td class=\"gray\">未指定</td>",  // empty link in grey
             u"<th>课程</th>",                   // child list heading and lines
             u"乐理</font></td></tr><tr><td><font color=\"#000000\">视唱",
         })
        EXPECT_TRUE(html.contains(QString::fromUtf16(expected))) << QString::fromUtf16(expected).toStdString() << "\n"
                                                                 << html.toStdString();
    EXPECT_EQ(html.count(QStringLiteral("colspan=\"2\">上课")), 1) << html.toStdString();
    EXPECT_FALSE(html.contains(QStringLiteral("不可见"))) << "hidden field shown";
    EXPECT_TRUE(xml.contains(QStringLiteral("PrimaryKey"))) << xml.toStdString();
    EXPECT_FALSE(html.contains(QStringLiteral("PrimaryKey"))) << "field outside the detail set shown";
    EXPECT_FALSE(html.contains(QStringLiteral("<script"))) << html.toStdString();
}

} // namespace
