#include "CHead.h"
#include "Resources.h"
#include "SqlPrepare.h"
#include "TestRecordClasses.h"
#include "TestSupport.h"

#include <QtGui/QFontMetrics>
#include <QtGui/QGuiApplication>

#include <gtest/gtest.h>

namespace {

TEST(CHeads, AddHeadSplitsFormatsAndFlagWords)
{
    CHeads heads;
    CHead* plain = heads.AddHead(0, QStringLiteral("序号"), 0, QString(), XIN, 8, 0, 0, 0, QString(), QString(), 0, 0,
                                 0, QString());
    EXPECT_EQ(plain->m_strGroup, QString::fromUtf8("基本信息"));
    EXPECT_EQ(plain->m_nSubID, 0);
    EXPECT_EQ(plain->m_strFormat, "%d");
    EXPECT_EQ(plain->m_nID, 0);
    EXPECT_EQ(plain->m_pArray, &heads);

    CHead* times = heads.AddHead(u"课时", QStringLiteral("次数"), 138, QStringLiteral("Times"), XIN, 12, 0, 0, 0,
                                 QStringLiteral("%+d 次"), QString(), 512 | 64 | 8 | 1, 521, 0, QString());
    EXPECT_EQ(times->m_nID, 1);
    EXPECT_EQ(times->m_strGroup, QString::fromUtf8("课时"));
    EXPECT_EQ(times->m_strPrefix, "");
    EXPECT_EQ(times->m_strFormat, "%+d");
    EXPECT_EQ(times->m_strUnit, QString::fromUtf8(" 次"));
    EXPECT_EQ(times->m_nMin, INT_MIN);
    EXPECT_EQ(times->m_nMax, INT_MAX);
    // input word 138: web form required, editable, duplicates refused
    EXPECT_EQ(times->m_nHttpNew, 2);
    EXPECT_EQ(times->m_nAccess, 1);
    EXPECT_EQ(times->m_nUnique, 2);
    // list word: title, mark, group-by, ascending sort
    EXPECT_EQ(times->m_nColTitle, 1);
    EXPECT_EQ(times->m_nColMark, 1);
    EXPECT_EQ(times->m_nGroupBy, 1);
    EXPECT_EQ(times->m_nSort, 1);
    // column word 521: brief, default and detail schemes
    EXPECT_EQ(times->m_nColBrief, 1);
    EXPECT_EQ(times->m_nColView, 1);
    EXPECT_EQ(times->m_nColDetail, 1);
    EXPECT_EQ(times->m_nColPrint, 0);
    EXPECT_EQ(times->m_nColSub, 0);

    CHead* money = heads.AddHead({}, QStringLiteral("金额"), 0, QString(), XNU, 16, 0, -5, 100, QString(), QString(), 0,
                                 0, 0, QString());
    EXPECT_EQ(money->m_strFormat, "%1.2f");
    EXPECT_EQ(money->m_strPrefix, QString::fromUtf8("¥"));
    EXPECT_EQ(money->m_nMin, -5);
    EXPECT_EQ(money->m_nMax, 100);
    CHead* yuan = heads.AddHead({}, QStringLiteral("单价"), 0, QString(), XNU, 16, 0, 0, 0, QStringLiteral("¥%1.2f/次"),
                                QString(), 0, 0, 0, QString());
    EXPECT_EQ(yuan->m_strPrefix, QString::fromUtf8("¥"));
    EXPECT_EQ(yuan->m_strFormat, "%1.2f");
    EXPECT_EQ(yuan->m_strUnit, QString::fromUtf8("/次"));
    EXPECT_EQ(yuan->m_nMin, 0);

    CHead* date = heads.AddHead({}, QStringLiteral("日期"), 0, QString(), XDT, 20, 0, 0, 0, QString(), QString(), 0, 0,
                                0, QString());
    EXPECT_EQ(date->m_strFormat, QString::fromUtf8("%Y年%#m月%#d日"));

    CHead* state = heads.AddHead({}, QStringLiteral("状态"), 0, QString(), XIN, 24, 1, 0, 0,
                                 QStringLiteral("停用|启用"), QString(), 0, 521, 0, QString());
    EXPECT_EQ(state->m_strFormat, QString::fromUtf8("停用|启用"));
    EXPECT_EQ(state->m_strPrefix, "");
    EXPECT_EQ(state->m_strUnit, "");
    EXPECT_EQ(state->GetAlign(), 2);
    EXPECT_TRUE(state->CanGroup());
    EXPECT_TRUE(state->CanCalc());

    // a relation command id names the group by its menu text
    CHead* related = heads.AddHead(32886, QStringLiteral("x"), 0, QString(), XSW, 28, 0, 0, 0, QString(), QString(), 0,
                                   0, 0, QString());
    EXPECT_EQ(related->m_nSubID, 32886);
    EXPECT_EQ(related->m_strGroup, LoadCommandText(32886));
    EXPECT_FALSE(related->m_strGroup.isEmpty());

    CHead* text = heads.AddTextHead({}, QStringLiteral("备注"), 8, QStringLiteral("Memo"), XSW, 32,
                                    QStringLiteral("无"), QString(), QString());
    EXPECT_EQ(text->m_strDefault, QString::fromUtf8("无"));
    EXPECT_EQ(text->m_nColBrief, 1);
    EXPECT_EQ(heads.GetSize(), 8);
}

TEST(CHeads, AlignGroupAndStatisticsByType)
{
    CHeads heads;
    auto add = [&](int type, const char* format, unsigned listWord, unsigned columnWord) {
        return heads.AddHead({}, QStringLiteral("c"), 0, QString(), type, 8, 0, 0, 0, QString::fromUtf8(format),
                             QString(), listWord, columnWord, 0, QString());
    };
    EXPECT_EQ(add(XIN, "", 0, 0)->GetAlign(), 1);
    EXPECT_EQ(add(XNU, "", 0, 0)->GetAlign(), 1);
    EXPECT_EQ(add(XSA, "%1.1f KB", 0, 0)->GetAlign(), 1);
    EXPECT_EQ(add(XSW, "", 0, 0)->GetAlign(), 0);
    EXPECT_EQ(add(XIN, "男|女", 0, 0)->GetAlign(), 2);
    EXPECT_EQ(add(XIN, "未缴|已缴清", 0, 0)->GetAlign(), 0);       // unequal lengths
    EXPECT_EQ(add(XIN, "一二三四|五六七八", 0, 0)->GetAlign(), 0); // longer than three

    EXPECT_FALSE(add(XIN, "男|女", 0, 0)->CanGroup()); // in no scheme, no group-by flag
    EXPECT_TRUE(add(XDT, "", 0, 8)->CanGroup());
    EXPECT_FALSE(add(XSW, "", 0, 521)->CanGroup()); // text needs its group-by flag
    EXPECT_TRUE(add(XSW, "", 8, 0)->CanGroup());
    EXPECT_FALSE(add(XIN, "", 0, 521)->CanCalc()); // a plain int has no statistics
    EXPECT_TRUE(add(XNU, "", 0, 1)->CanCalc());
    EXPECT_TRUE(add(XTS, "", 0, 512)->CanCalc());
    EXPECT_FALSE(add(XNU, "", 0, 0)->CanCalc());
}

TEST(CHeads, SpreadsheetFormats)
{
    CHeads heads;
    auto add = [&](int type, const char* format) {
        return heads.AddHead({}, QStringLiteral("c"), 0, QString(), type, 8, 0, 0, 0, QString::fromUtf8(format),
                             QString(), 0, 0, 0, QString());
    };
    struct Case
    {
        int type;
        const char* format;
        const char* excel;
    };
    const Case cases[] = {
        {XDT, "%Y年%#m月%#d日", "yyyy年m月d日"},
        {XDT, "%A", "[$-zh-CN]aaaa"},
        {XDT, "%a", "[$-zh-CN]aaa"},
        {XDT, "%Y-%m-%d %H:%M:%S", "yyyy-m-d h:mm:ss"},
        {XDT, "%y/%m", "yy/m"},
        {XNU, "", "¥0.00"},
        {XNU, "%+1.1f 元", "+0.0;-0.0; 元"},
        {XIN, "%d 次", "0 次"},
        {XIN, "%+d", "+0;-0;"},
        {XIN, "男|女", ""},
        {XSW, "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(add(c.type, c.format)->GetExcelFormat(), QString::fromUtf8(c.excel)) << c.format;
}

TEST(CHeads, ColumnWidthsFollowTheFont)
{
    CHeads heads;
    const QFontMetrics fm(QGuiApplication::font());
    const int margin = 15 * 96 / 96; // the offscreen screen has 96 dots per inch
    CHead* fill = heads.AddHead({}, QStringLiteral("名称"), 0, QString(), XSW, 8, 0, 0, 0, QString(), QString(), 0, 0,
                                -1, QString());
    EXPECT_EQ(fill->GetColumnWidth(), 0);
    CHead* four = heads.AddHead({}, QStringLiteral("号"), 0, QString(), XIN, 8, 0, 0, 0, QString(), QString(), 0, 0, 4,
                                QString());
    EXPECT_EQ(four->GetColumnWidth(),
              std::max(fm.horizontalAdvance("0000"), fm.horizontalAdvance(QString::fromUtf8("号"))) + margin);
    CHead* wide = heads.AddHead({}, QStringLiteral("一个很长很长很长的标题"), 0, QString(), XIN, 8, 0, 0, 0, QString(),
                                QString(), 0, 0, 1, QString());
    EXPECT_EQ(wide->GetColumnWidth(), fm.horizontalAdvance(QString::fromUtf8("一个很长很长很长的标题")) + margin);
    CHead* unit = heads.AddHead({}, QStringLiteral("c"), 0, QString(), XIN, 8, 0, 0, 0, QStringLiteral("%d 次"),
                                QString(), 0, 0, 0, QString());
    EXPECT_EQ(unit->GetColumnWidth(),
              fm.horizontalAdvance("99,999") + fm.horizontalAdvance(QString::fromUtf8(" 次")) + margin);
    unit->m_bUnit = 0;
    EXPECT_EQ(unit->GetColumnWidth(), fm.horizontalAdvance("99,999") + margin);
}

TEST(CHeads, BuildSelectFromColumnsOrFromTheSqlText)
{
    // no SQL text: the columns of the table, without child lists, images and byte texts
    CHeads lines;
    lines.m_strTable = QStringLiteral("TB_TEST_CHARGE_COURSE");
    lines.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, 8, QString(), QString(), 0, 0,
                            0, QString());
    lines.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("ChargeID"), XIN, 12, QString(), QString(),
                            0, 0, 0, QString());
    lines.AddColumnHead({}, QStringLiteral("课程"), 9, QStringLiteral("CourseID"), XLK, 0, QString(), QString(), 0, 0,
                        0, QString());
    lines.AddColumnHead({}, QStringLiteral("明细"), 0, QStringLiteral("Lines"), XAR, 40, QString(), QString(), 0, 0, 0,
                        QString());
    lines.AddColumnHead({}, QStringLiteral("照片"), 0, QStringLiteral("Photo"), XIM, 48, QString(), QString(), 0, 0, 0,
                        QString());
    const QString ids = QStringLiteral("3,7");
    EXPECT_EQ(PrepareSql(lines.BuildSelect(&ids, nullptr)),
              "SELECT ID,ChargeID,CourseID FROM TB_TEST_CHARGE_COURSE WHERE ChargeID IN(3,7)");
    const QString none;
    EXPECT_EQ(lines.BuildSelect(&none, nullptr), "SELECT ID,ChargeID,CourseID FROM TB_TEST_CHARGE_COURSE");

    CHeads heads;
    heads.m_strSql = QStringLiteral("SELECT * FROM TB_X WHERE A=1");
    EXPECT_EQ(heads.BuildSelect(nullptr, nullptr), heads.m_strSql); // nothing to add: unchanged
    const QStringList extra{QStringLiteral("B=2"), QStringLiteral("C=3 OR D=4")};
    EXPECT_EQ(PrepareSql(heads.BuildSelect(nullptr, &extra)),
              "SELECT * FROM TB_X WHERE A=1 AND (B=2) AND (C=3 OR D=4)");

    heads.m_strSql =
        QStringLiteral("SELECT * FROM (SELECT * FROM TB_X WHERE A=1) AS X1 LEFT JOIN TB_Y ON X1.ID=TB_Y.XID ");
    heads.m_strCondition = QStringLiteral("MduID='MDU_PRJORDER'");
    EXPECT_EQ(PrepareSql(heads.BuildSelect(nullptr, &extra)),
              "SELECT * FROM (SELECT * FROM TB_X WHERE A=1) AS X1 LEFT JOIN TB_Y ON X1.ID=TB_Y.XID WHERE MduID=324 AND "
              "(B=2) AND (C=3 OR D=4)");

    // a text ending in a line comment cannot swallow the conditions
    heads.m_strSql = QStringLiteral("SELECT * FROM TB_Z -- every row");
    heads.m_strCondition.clear();
    EXPECT_EQ(PrepareSql(heads.BuildSelect(nullptr, &extra)), "SELECT * FROM TB_Z WHERE (B=2) AND (C=3 OR D=4)");
}

TEST(CHeads, CopiesAreIndependentAndKeepEverythingButSamplesAndTheCondition)
{
    const CHeads& source = *CTestCharge::StaticHeads();
    CHeads copy;
    copy.CopyFrom(source);
    ASSERT_EQ(copy.GetSize(), source.GetSize());
    EXPECT_EQ(copy.m_strTable, "TB_TEST_CHARGE");
    EXPECT_EQ(copy.m_bGoodStatus, 1);
    for (int i = 0; i < copy.GetSize(); ++i) {
        EXPECT_NE(copy[i], source[i]);
        EXPECT_EQ(copy[i]->m_pArray, &copy);
        EXPECT_EQ(copy[i]->m_strName, source[i]->m_strName);
        EXPECT_EQ(copy[i]->m_nOffset, source[i]->m_nOffset);
        EXPECT_EQ(copy[i]->m_strFormat, source[i]->m_strFormat);
        EXPECT_EQ(bool(copy[i]->m_pfnGet), bool(source[i]->m_pfnGet));
    }
    copy[2]->m_nPos = 4;
    copy[2]->m_strSample = QStringLiteral("x");
    EXPECT_EQ(source[2]->m_nPos, -1);
    CHead again;
    copy[2]->CopyTo(&again);
    EXPECT_EQ(again.m_nPos, 4);
    EXPECT_EQ(again.m_strSample, "");
    EXPECT_TRUE(again.IsChecked());

    // Reset puts the numbers back and keeps the texts
    again.m_nWidth = 9;
    again.Reset();
    EXPECT_EQ(again.m_nPos, -1);
    EXPECT_EQ(again.m_nWidth, 0);
    EXPECT_EQ(again.m_nMin, INT_MIN);
    EXPECT_EQ(again.m_strName, source[2]->m_strName);
}

} // namespace
