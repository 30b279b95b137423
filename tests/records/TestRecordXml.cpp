// The record XML the panes and web pages are made from: golden texts per mode, and the
// relation query the XML names.
#include "CFakeAppServices.h"
#include "CHead.h"
#include "CModule.h"
#include "CXXmlDoc.h"
#include "CommandIds.h"
#include "TestSupport.h"
#include "XDateTime.h"

#include <gtest/gtest.h>

#include <QtGui/QGuiApplication>
#include <QtGui/QPalette>

namespace {

// A lesson line: a course title and a lesson count.
class CXmlLine : public CXItemT<MDU_COURSE>
{
public:
    CXmlLine() { CXmlLine::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CXmlLine; }
    int m_nLessons = 0;
};

// A timetable entry: a unique title, a real name, an on/off state, a teacher link (its group
// offers the edit log), a hidden memo and lesson lines.
class CXmlRecord : public CXItemT<MDU_EDUSCH>
{
public:
    CXmlRecord() { CXmlRecord::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CXmlRecord; }
    int GetAccess(const CHead* head, const CXItem* user) const override
    {
        if (head->m_nOffset == XOFFSET(CXmlRecord, m_nLocked))
            return -1;
        if (head->m_nType == XAR)
            return m_bLinesReadOnly ? 0 : 1;
        return CXItem::GetAccess(head, user);
    }
    bool IsSubArray(const CXArray* array) const override { return array == &m_lines; }

    QString m_strTitle;
    QString m_strRealName;
    int m_nState = 0;
    int m_nLocked = 0;
    CXBase m_teacher;
    CXArrayT<CXmlLine> m_lines{this};
    bool m_bLinesReadOnly = false;
};

class CXmlTeacher : public CXItemT<MDU_TEACHER>
{
public:
    static CHeads* StaticHeads()
    {
        return BuildHeadsOnce<CXmlTeacher>([](CHeads& h) { h.m_strItemUnit = QStringLiteral("位"); });
    }
    CHeads* GetHeads() const override { return StaticHeads(); }
};

class CXmlOperLog : public CXItemT<MDU_OPERLOG>
{
public:
    static CHeads* StaticHeads()
    {
        return BuildHeadsOnce<CXmlOperLog>([](CHeads&) {});
    }
    CHeads* GetHeads() const override { return StaticHeads(); }
};

CHead* Field(CHeads& h, const QString& caption, int type, int offset, const QString& column, const XGroup& group = 0)
{
    CHead* head = h.AddHead(group, caption, 0, column, type, offset, 0, 0, 0, QString(), QString(), 0, 0, 0, QString());
    head->m_nAccess = 1;
    return head;
}

CHeads* CXmlLine::StaticHeads()
{
    return BuildHeadsOnce<CXmlLine>([](CHeads& h) {
        h.m_strItemType = QStringLiteral("课程");
        h.m_strItemUnit = QStringLiteral("门");
        CHead* name = Field(h, QStringLiteral("课程"), XSW, XOFFSET(CXmlLine, m_strName), QStringLiteral("RecordName"));
        name->m_nColSub = name->m_nColTitle = 1;
        CHead* lessons =
            Field(h, QStringLiteral("课时"), XIN, XOFFSET(CXmlLine, m_nLessons), QStringLiteral("Lessons"));
        lessons->m_nColSub = 1;
        lessons->m_nDefault = 4;
        lessons->m_strUnit = QStringLiteral(" 节");
    });
}

CHeads* CXmlRecord::StaticHeads()
{
    return BuildHeadsOnce<CXmlRecord>([](CHeads& h) {
        h.m_strItemType = QStringLiteral("课程表");
        h.m_strItemUnit = QStringLiteral("节");
        h.m_strTable = QStringLiteral("TB_EDUSCH");
        CHead* title =
            Field(h, QStringLiteral("名称"), XSW, XOFFSET(CXmlRecord, m_strTitle), QStringLiteral("RecordName"));
        title->m_nUnique = 1;
        title->m_nColBrief = title->m_nColTitle = 1;
        title->m_nHttpNew = 2;
        CHead* real =
            Field(h, QStringLiteral("姓名"), XSW, XOFFSET(CXmlRecord, m_strRealName), QStringLiteral("RealName"));
        real->m_nUnique = 1;
        CHead* state =
            Field(h, QStringLiteral("状态"), XIN, XOFFSET(CXmlRecord, m_nState), QStringLiteral("IsEnabled"));
        state->m_strFormat = QStringLiteral("停用|启用");
        state->m_nColBrief = state->m_nColMark = 1;
        CHead* teacher = Field(h, QStringLiteral("教师"), XLK, XOFFSET(CXmlRecord, m_teacher),
                               QStringLiteral("TeacherID"), ID_REL_EDITLOG);
        teacher->m_strEmpty = QStringLiteral("未指定");
        teacher->m_nColBrief = 1;
        CHead* locked = Field(h, QStringLiteral("锁定"), XIN, XOFFSET(CXmlRecord, m_nLocked), QString());
        locked->m_nColTitle = locked->m_nColMark = locked->m_nColView = locked->m_nColBrief = locked->m_nColDetail = 1;
        Field(h, QStringLiteral("备注"), XSW, XOFFSET(CXItem, m_strMemo), QStringLiteral("Content"));
        Field(h, QStringLiteral("课程"), XAR, XOFFSET(CXmlRecord, m_lines), QString());
    });
}

class RecordXml : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // the colours the golden texts hold, whatever the platform's theme
        m_palette = QGuiApplication::palette();
        QPalette palette = m_palette;
        palette.setColor(QPalette::Active, QPalette::WindowText, QColor(0, 0, 0));
        palette.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0xBE, 0xBE, 0xBE));
        QGuiApplication::setPalette(palette);
        for (CModule* m : {static_cast<CModule*>(&m_schedules), static_cast<CModule*>(&m_teachers),
                           static_cast<CModule*>(&m_operLog)})
            RegisterModule(m);
        m_schedules.m_nCaps = m_teachers.m_nCaps = m_operLog.m_nCaps = RIGHT_QRY | RIGHT_ADD | RIGHT_MDF;
        m_admin.m_nRightRole = 2;
        m_record.m_nID = 12;
        m_record.m_strName = QStringLiteral("周一 钢琴");
        m_record.m_strTitle = QStringLiteral("钢琴<初级>");
        m_record.m_strRealName = QStringLiteral("李雷");
        m_record.m_nState = 1;
        m_record.m_teacher.m_nMduID = MDU_TEACHER;
        m_record.m_teacher.m_nID = 7;
        m_record.m_teacher.m_strName = QStringLiteral("王老师");
        m_record.m_teacher.m_dtDate = XDateTime(2025, 3, 5, 9, 5, 0);
    }

    void TearDown() override { QGuiApplication::setPalette(m_palette); }

    QString Write(CXItem& item, int mode)
    {
        CXXmlDoc doc;
        doc.SetDocText(QStringLiteral("<r/>"));
        doc.FindElement();
        doc.IntoElement();
        item.WriteXml(doc, mode, 0, &m_admin);
        return QString(doc.GetDocText()).replace(QLatin1String("\r\n"), QLatin1String("\n"));
    }

    CModuleT<CXmlRecord> m_schedules;
    CModuleT<CXmlTeacher> m_teachers;
    CModuleT<CXmlOperLog> m_operLog;
    CXItem m_admin;
    CXmlRecord m_record;
    QPalette m_palette;
};

TEST(RecordXmlBare, RecordWithoutFieldTableWritesFiveAttributesEscaped)
{
    CXItem item;
    item.m_nID = 5;
    item.m_nSubID = 9;
    item.m_nMduID = 321;
    item.m_strName = QStringLiteral("A&B琴行");
    CXXmlDoc doc;
    doc.SetDocText(QStringLiteral("<r/>"));
    doc.FindElement();
    doc.IntoElement();
    item.WriteXml(doc, 1, 3, nullptr);
    item.WriteXml(doc, 1, 0, nullptr);
    EXPECT_EQ(doc.GetDocText(),
              QStringLiteral("<r>\r\n<item id=\"5\" subid=\"9\" mduid=\"321\" name=\"A&amp;B琴行\" spec=\"3\"/>\r\n"
                             "<item id=\"5\" subid=\"9\" mduid=\"321\" name=\"A&amp;B琴行\" spec=\"0\"/>\r\n</r>"));
}

TEST_F(RecordXml, ListRowSkipsFieldsButKeepsTheirOrder)
{
    EXPECT_EQ(Write(m_record, 0), QStringLiteral(R"(<r>
<item id="12" subid="0" mduid="333" name="周一 钢琴" spec="0" itemtype="课程表" itemunit="节" tab="TB_EDUSCH" query="&lt;r&gt;&lt;x id=&quot;1&quot;&gt;12&lt;/x&gt;&lt;/r&gt;" delalt="" delerr="" alert="" isauto="0" isautoempty="0" canautoset="0" isdefaultpwd="1" opermin="" opermax="">
<col order="0" type="10" rw="1" wildval="钢琴&lt;初级&gt;" deftval="" dispval="钢琴&lt;初级&gt;" color="#000000" min="0" max="2147483647" name="名称" group="基本信息" unit="" prefix="" gray="" memo="" col="RecordName" long="0" hist="1" httpnew="2" coltitle="1" colmark="0" colview="0" colbrief="1" coldetail="0" align="left"/>
<col order="2" type="1" rw="1" wildval="1" deftval="0" dispval="启用" color="#000000" min="0" max="2147483647" name="状态" group="基本信息" unit="" prefix="" gray="" memo="" col="IsEnabled" long="0" hist="0" httpnew="0" coltitle="0" colmark="1" colview="0" colbrief="1" coldetail="0" align="center">
<option val="0">停用</option>
<option val="1">启用</option>
</col>
<col order="3" type="5" rw="1" wildval="7" deftval="0" dispval="王老师" color="#000000" min="0" max="2147483647" name="教师" group="编辑记录" unit="" prefix="" gray="未指定" memo="" col="TeacherID" long="0" hist="0" httpnew="0" coltitle="0" colmark="0" colview="0" colbrief="1" coldetail="0" align="left" mduid="322" itemunit="位" subquery="" xbsdate="2025-3-5 9:05"/>
<col order="4" type="1" rw="-1" wildval="0" deftval="0" dispval="" color="#BEBEBE" min="0" max="2147483647" name="锁定" group="基本信息" unit="" prefix="" gray="" memo="" col="" long="0" hist="0" httpnew="0" coltitle="0" colmark="0" colview="0" colbrief="0" coldetail="0" align="right"/>
</item>
</r>)"));
}

TEST_F(RecordXml, NewRecordFormWritesOnlyItsFieldsAndTheAlwaysAttributes)
{
    EXPECT_EQ(Write(m_record, 2), QStringLiteral(R"(<r>
<item id="12" subid="0" mduid="333" name="周一 钢琴" spec="0">
<col order="0" type="10" rw="1" wildval="钢琴&lt;初级&gt;" deftval="" dispval="钢琴&lt;初级&gt;" color="#000000"/>
</item>
</r>)"));
}

TEST_F(RecordXml, FullRecord)
{
    m_record.m_created.m_dtDate = XDateTime(2025, 1, 2, 8, 0, 0);
    m_record.m_oper = CXDateRange(XDateTime(2025, 1, 2, 8, 0, 0), XDateTime(2025, 3, 4, 17, 30, 0));
    auto* line = m_record.m_lines.CreateTyped();
    line->m_nID = 328;
    line->m_strName = QStringLiteral("乐理");
    line->m_nLessons = 10;
    m_record.m_lines.Add(line);
    EXPECT_EQ(Write(m_record, 1), QStringLiteral(R"(<r>
<item id="12" subid="0" mduid="333" name="周一 钢琴" spec="0" itemtype="课程表" itemunit="节" tab="TB_EDUSCH" query="&lt;r&gt;&lt;x id=&quot;1&quot;&gt;12&lt;/x&gt;&lt;/r&gt;" delalt="" delerr="" alert="" isauto="0" isautoempty="0" canautoset="0" isdefaultpwd="1" opermin="2025-1-2 8:00" opermax="2025-3-4 17:30">
<col order="0" type="10" rw="1" wildval="钢琴&lt;初级&gt;" deftval="" dispval="钢琴&lt;初级&gt;" color="#000000" min="0" max="2147483647" name="名称" group="基本信息" unit="" prefix="" gray="" memo="" col="RecordName" long="0" hist="1" httpnew="2" coltitle="1" colmark="0" colview="0" colbrief="1" coldetail="0" align="left"/>
<col order="1" type="10" rw="1" wildval="李雷" deftval="" dispval="李雷" color="#000000" min="0" max="2147483647" name="姓名" group="基本信息" unit="" prefix="" gray="" memo="" col="RealName" long="0" hist="0" httpnew="0" coltitle="0" colmark="0" colview="0" colbrief="0" coldetail="0" align="left"/>
<col order="2" type="1" rw="1" wildval="1" deftval="0" dispval="启用" color="#000000" min="0" max="2147483647" name="状态" group="基本信息" unit="" prefix="" gray="" memo="" col="IsEnabled" long="0" hist="0" httpnew="0" coltitle="0" colmark="1" colview="0" colbrief="1" coldetail="0" align="center">
<option val="0">停用</option>
<option val="1">启用</option>
</col>
<col order="3" type="5" rw="1" wildval="7" deftval="0" dispval="王老师" color="#000000" min="0" max="2147483647" name="教师" group="编辑记录" relcmdid="32886" relmduid="336" relquery="&lt;r&gt;&lt;x id=&quot;1074&quot;&gt;333&lt;/x&gt;&lt;x id=&quot;1131&quot;&gt;&amp;lt;a href=&quot;xl:333:12&quot;&amp;gt;周一 钢琴&amp;lt;/a&amp;gt;&lt;/x&gt;&lt;/r&gt;" unit="" prefix="" gray="未指定" memo="" col="TeacherID" long="0" hist="0" httpnew="0" coltitle="0" colmark="0" colview="0" colbrief="1" coldetail="0" align="left" mduid="322" itemunit="位" subquery="" xbsdate="2025-3-5 9:05"/>
<col order="4" type="1" rw="-1" wildval="0" deftval="0" dispval="" color="#BEBEBE" min="0" max="2147483647" name="锁定" group="基本信息" unit="" prefix="" gray="" memo="" col="" long="0" hist="0" httpnew="0" coltitle="0" colmark="0" colview="0" colbrief="0" coldetail="0" align="right"/>
<col order="5" type="10" rw="1" wildval="" deftval="" dispval="" color="#BEBEBE" min="0" max="2147483647" name="备注" group="基本信息" unit="" prefix="" gray="" memo="" col="Content" long="1" hist="1" httpnew="0" coltitle="0" colmark="0" colview="0" colbrief="0" coldetail="0" align="left"/>
<col order="6" type="6" rw="1" wildval="乐理" deftval="0" dispval="乐理" color="#000000" min="0" max="2147483647" name="课程" group="基本信息" unit="" prefix="" gray="" memo="" col="" long="0" hist="0" httpnew="0" coltitle="0" colmark="0" colview="0" colbrief="0" coldetail="0" align="left" mduid="328" canadd="1" canprt="0" candel="1" canmdf="1" itemunit="门" subquery="&lt;r&gt;&lt;x id=&quot;2&quot;&gt;328&lt;/x&gt;&lt;/r&gt;">
<item id="0" subid="0" mduid="328" name="" spec="1" itemtype="课程" itemunit="门" tab="" query="&lt;r&gt;&lt;x id=&quot;2&quot;&gt;328&lt;/x&gt;&lt;/r&gt;" delalt="" delerr="" alert="" isauto="0" isautoempty="0" canautoset="0" isdefaultpwd="1" opermin="" opermax="" pos="0">
<col order="0" type="10" rw="1" wildval="" deftval="" dispval="" color="#BEBEBE" min="0" max="2147483647" name="课程" group="基本信息" unit="" prefix="" gray="" memo="" col="RecordName" long="0" hist="1" httpnew="0" coltitle="1" colmark="0" colview="0" colbrief="1" coldetail="1" align="left"/>
<col order="1" type="1" rw="1" wildval="4" deftval="4" dispval="4 节" color="#000000" min="0" max="2147483647" name="课时" group="基本信息" unit="节" prefix="" gray="" memo="" col="Lessons" long="0" hist="0" httpnew="0" coltitle="0" colmark="0" colview="0" colbrief="1" coldetail="1" align="right"/>
</item>
<item id="328" subid="0" mduid="328" name="乐理" spec="1" itemtype="课程" itemunit="门" tab="" query="&lt;r&gt;&lt;x id=&quot;1&quot;&gt;328&lt;/x&gt;&lt;/r&gt;" delalt="" delerr="" alert="" isauto="0" isautoempty="0" canautoset="0" isdefaultpwd="1" opermin="" opermax="" pos="1">
<col order="0" type="10" rw="1" wildval="乐理" deftval="" dispval="乐理" color="#000000" min="0" max="2147483647" name="课程" group="基本信息" unit="" prefix="" gray="" memo="" col="RecordName" long="0" hist="1" httpnew="0" coltitle="1" colmark="0" colview="0" colbrief="1" coldetail="1" align="left"/>
<col order="1" type="1" rw="1" wildval="10" deftval="4" dispval="10 节" color="#000000" min="0" max="2147483647" name="课时" group="基本信息" unit="节" prefix="" gray="" memo="" col="Lessons" long="0" hist="0" httpnew="0" coltitle="0" colmark="0" colview="0" colbrief="1" coldetail="1" align="right"/>
</item>
</col>
</item>
</r>)"));
}

TEST_F(RecordXml, ReadOnlyListHasNoBlankLineAndEmptyLinkKeepsFormattedText)
{
    m_record.m_bLinesReadOnly = true;
    m_record.m_teacher.m_strName.clear();
    auto* line = m_record.m_lines.CreateTyped();
    line->m_strName = QStringLiteral("乐理");
    m_record.m_lines.Add(line);
    const QString xml = Write(m_record, 1);
    EXPECT_FALSE(xml.contains(QStringLiteral("pos=\"0\""))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("canadd=\"0\" canprt=\"0\" candel=\"0\" canmdf=\"0\"")))
        << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("name=\"乐理\" spec=\"1\""))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("pos=\"1\""))) << xml.toStdString();
    EXPECT_TRUE(xml.contains(QStringLiteral("dispval=\"未指定\" color"))) << xml.toStdString();
}

TEST(ModuleRelations, RelationCommandsNameTheirModules)
{
    const struct
    {
        int command;
        int module;
    } cases[] = {
        {ID_REL_EDITLOG, MDU_OPERLOG},
        {ID_REL_CHARGE, MDU_CHARGE},
        {ID_REL_COLLECT, MDU_COLLECT},
        {ID_REL_EDURCD, MDU_EDURCD},
        {ID_REL_EDUSCH, MDU_EDUSCH},
        {ID_REL_OPERLOG, MDU_OPERLOG},
        {ID_REL_RECEIPT, MDU_RECEIPT},
        {ID_REL_WAGES, MDU_WAGES},
        {ID_REL_TEACHER, MDU_TEACHER},
        {ID_QUERY_USER, 0},
        {0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CModule::GetRelModuleId(c.command), c.module) << c.command;
}

TEST_F(RecordXml, RelateQueryOfTheEditLog)
{
    CXArray items(nullptr, false);
    CXMap query;
    EXPECT_EQ(m_schedules.MakeRelateQuery(items, ID_REL_EDITLOG, query, m_admin), -1) << "no records";

    CXmlRecord unsaved;
    items.Add(&unsaved);
    EXPECT_EQ(m_schedules.MakeRelateQuery(items, ID_REL_EDITLOG, query, m_admin), -1) << "no IDs";

    CXmlRecord other;
    other.m_nID = 13;
    items.Add(&m_record);
    items.Add(&other);
    items.Add(&m_record);
    EXPECT_EQ(m_schedules.MakeRelateQuery(items, ID_REL_WAGES, query, m_admin), -1) << "no wages module";
    EXPECT_EQ(m_schedules.MakeRelateQuery(items, ID_REL_TEACHER, query, m_admin), 0) << "left to the module";
    CXItem clerk;
    clerk.m_nRightRole = 1;
    clerk.m_strRightData = QStringLiteral("<r><x id=\"322\">2</x></r>");
    EXPECT_EQ(m_schedules.MakeRelateQuery(items, ID_REL_EDITLOG, query, clerk), -1) << "no query right on the log";
    EXPECT_EQ(m_schedules.MakeRelateQuery(items, ID_REL_TEACHER, query, clerk), 0);
    EXPECT_TRUE(query.IsEmpty());

    EXPECT_EQ(m_schedules.MakeRelateQuery(items, ID_REL_EDITLOG, query, m_admin), -1) << "no stamps";
    other.m_printed.m_dtDate = XDateTime(2025, 2, 1, 10, 0, 0);
    query.RemoveAll();
    EXPECT_EQ(m_schedules.MakeRelateQuery(items, ID_REL_EDITLOG, query, m_admin), 1);
    EXPECT_EQ(query.GetText(QKEY_MODULE), QStringLiteral("333"));
    EXPECT_EQ(query.GetText(QKEY_EDIT_LINKS),
              QStringLiteral("<a href=\"xl:333:12\">周一 钢琴</a> <a href=\"xl:333:13\">13</a>"));

    m_schedules.m_nCaps = RIGHT_QRY;
    EXPECT_EQ(m_schedules.MakeRelateQuery(items, ID_REL_EDITLOG, query, m_admin), -1) << "records never edited";
}

} // namespace
