#include "CommandIds.h"
#include "TestListRecord.h"
#include "TestSupport.h"
#include "XListLogic.h"

#include <gtest/gtest.h>

namespace {

const CHead* Head(int i) { return CTestLesson::StaticHeads()->GetAt(i); }

TEST(ListLogic, CompareItemsByTypeAndDirection)
{
    CHeads heads;
    heads.CopyFrom(*CTestLesson::StaticHeads());
    CTestLesson upper(QStringLiteral("Zed"), 0, 5), lower(QStringLiteral("apple"), 1, 20);
    // capitals before lower case: code units, no locale
    EXPECT_EQ(CompareListItems(&upper, &lower, heads[H_NAME]), -1);
    EXPECT_EQ(CompareListItems(&upper, &lower, heads[H_FEE]), -1);
    heads[H_FEE]->m_nListSort = 2;
    EXPECT_EQ(CompareListItems(&upper, &lower, heads[H_FEE]), 1);
    EXPECT_EQ(CompareListItems(&upper, &upper, heads[H_FEE]), 0);
    EXPECT_EQ(CompareListItems(nullptr, &upper, heads[H_FEE]), 0);

    // "%A": Monday first, Sunday last, whatever the dates. Day 2 (1900-01-01) is a Monday.
    CTestLesson sunday(QString(), 0, 0, 8.0), monday(QString(), 0, 0, 9.0), tuesday(QString(), 0, 0, 3.0);
    EXPECT_EQ(CompareListItems(&monday, &sunday, heads[H_WEEK]), -1);
    EXPECT_EQ(CompareListItems(&tuesday, &sunday, heads[H_WEEK]), -1);
    EXPECT_EQ(CompareListItems(&tuesday, &monday, heads[H_WEEK]), 1);
    // the main date compares its day numbers
    EXPECT_EQ(CompareListItems(&sunday, &monday, heads[H_DATE]), -1);
}

TEST(ListLogic, CellTextsAreNormalisedAndCappedAtTheBuffer)
{
    EXPECT_EQ(NormaliseCellText(QStringLiteral("a\r\nb")), "a b");
    EXPECT_EQ(NormaliseCellText(QStringLiteral("a    b")), "a  b"); // one pass only
    EXPECT_EQ(NormaliseCellText(QString(kListTextBuffer - 1, u'x')).size(), kListTextBuffer - 1);
    EXPECT_EQ(NormaliseCellText(QString(kListTextBuffer, u'x')), "双击或在详细信息栏中查看 ...");
}

TEST(ListLogic, LayoutTextHasFiveNumbersPerHead)
{
    CHeads heads;
    heads.CopyFrom(*CTestLesson::StaticHeads());
    EXPECT_EQ(LayoutKeyText(heads, 0, IDC_RECORD_LIST).left(4), "名称状态");
    EXPECT_TRUE(LayoutKeyText(heads, 0, IDC_RECORD_LIST).endsWith(QStringLiteral("课时01243")));
    heads[H_NAME]->m_nPixels = 96;
    heads[H_NAME]->m_nPos = 0;
    const QString text = EncodeLayout(heads, 2, 1, 0);
    EXPECT_TRUE(text.startsWith(QStringLiteral("2,1,0,0,0,96,1,0,"))) << text.toStdString();

    CHeads other;
    other.CopyFrom(heads);
    int sort = -1, group = -1, color = 1;
    ASSERT_TRUE(DecodeLayout(text, other, sort, group, color));
    EXPECT_EQ(sort, 2);
    EXPECT_EQ(group, 1);
    EXPECT_EQ(color, 0);
    EXPECT_EQ(other[H_NAME]->m_nPixels, 96);
    // a layout of a table with one more head is ignored
    EXPECT_FALSE(DecodeLayout(text + QStringLiteral(",0,1,50,1,0"), other, sort, group, color));
    EXPECT_FALSE(DecodeLayout(QStringLiteral("garbage"), other, sort, group, color));
}

TEST(ListLogic, StateImagesAndFillColumn)
{
    struct Case
    {
        int mode;
        bool ro, enabled, hot, checked;
        int id;
    };
    const Case cases[] = {
        {2, true, true, false, true, ID_IMAGE_RADIO_ON},
        {2, true, true, false, false, ID_IMAGE_RADIO_OFF_DISABLED},
        {2, false, false, false, true, ID_IMAGE_RADIO_ON_DISABLED},
        {2, false, false, false, false, ID_IMAGE_RADIO_OFF_DISABLED},
        {2, false, true, true, true, ID_IMAGE_RADIO_ON_HOT},
        {2, false, true, true, false, ID_IMAGE_RADIO_OFF_HOT},
        {2, false, true, false, true, ID_IMAGE_RADIO_ON},
        {2, false, true, false, false, ID_IMAGE_RADIO_OFF},
        {3, true, true, false, true, ID_IMAGE_CHECK_ON_DISABLED},
        {3, false, false, false, false, ID_IMAGE_CHECK_OFF_DISABLED},
        {3, false, true, true, true, ID_IMAGE_CHECK_ON_HOT},
        {3, false, true, true, false, ID_IMAGE_CHECK_OFF_HOT},
        {3, false, true, false, true, ID_IMAGE_CHECK_ON},
        {3, false, true, false, false, ID_IMAGE_CHECK_OFF},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListStateImageId(c.mode, c.ro, c.enabled, c.hot, c.checked), c.id)
            << c.mode << c.ro << c.enabled << c.hot << c.checked;

    EXPECT_EQ(FillColumnWidth(500, 300, 100), 198);
    EXPECT_EQ(FillColumnWidth(500, 300, 198), -1); // already fitted
    EXPECT_EQ(FillColumnWidth(300, 299, 100), -1); // too narrow: keeps its last width
}

TEST(ListLogic, GroupIdsAndRowColours)
{
    EXPECT_EQ(GroupIdOf(QStringLiteral("AB")), 197);
    EXPECT_EQ(GroupIdOf(QStringLiteral("CA")), 197);
    EXPECT_EQ(GroupIdOf(QString()), 0);
    // wraps around instead of overflowing
    EXPECT_EQ(GroupIdOf(QString(70000, QChar(0xFFFF))),
              static_cast<int>(static_cast<uint32_t>(0xFFFFull * 70000ull * 70001ull / 2)));

    const QColor white(255, 255, 255), face(240, 240, 240);
    EXPECT_EQ(StatusRowColor(ST_WARN, true, white, face), QColor(255, 255, 160));
    EXPECT_EQ(StatusRowColor(ST_STOP, true, white, face), QColor(255, 160, 160));
    EXPECT_EQ(StatusRowColor(ST_GOOD, true, white, face), QColor(160, 255, 160));
    EXPECT_EQ(StatusRowColor(ST_GRAY, true, white, face), face);
    EXPECT_EQ(StatusRowColor(ST_WARN, false, white, face), white);
    EXPECT_EQ(ShadeRow(QColor(255, 255, 160), 1), QColor(249, 249, 156));
    EXPECT_EQ(ShadeRow(QColor(255, 255, 160), 2), QColor(255, 255, 160));
}

TEST(ListLogic, GroupStatistics)
{
    const CHeads& heads = *CTestLesson::StaticHeads();
    CTestLesson a(QStringLiteral("a"), 1, 100), b(QStringLiteral("b"), 1, 0), c(QStringLiteral("c"), 0, 250);
    a.m_fRate = 0;
    b.m_fRate = 100;
    c.m_fRate = 50;
    a.m_fHours = 1.5;
    c.m_fHours = 2.5;
    a.m_nTime = 8301000;
    c.m_nTime = 9001130;
    const std::vector<const CXItem*> items{&a, &b, &c};
    EXPECT_EQ(GroupStatistic(heads, *Head(H_FEE), items), "   实收合计 ¥350.00");
    // "%": 0 counts, 100 does not -> (0 + 50) / 2 is a sum of 50
    EXPECT_EQ(GroupStatistic(heads, *Head(H_RATE), items), "   折扣合计 50%");
    // "1.1f": the average of the non-zero values
    EXPECT_EQ(GroupStatistic(heads, *Head(H_HOURS), items), "   平均课时 2.0 小时");
    EXPECT_EQ(GroupStatistic(heads, *Head(H_TIME), items), "   时间 8:30~11:30");
    EXPECT_EQ(GroupStatistic(heads, *Head(H_STATE), items), "   停用 1 个   启用 2 个");
    EXPECT_EQ(GroupStatistic(heads, *Head(H_NAME), items), "");
    const std::vector<const CXItem*> none{&b};
    EXPECT_EQ(GroupStatistic(heads, *Head(H_TIME), none), "");
    EXPECT_EQ(GroupStatistic(heads, *Head(H_DATE), none), "");

    // option column: caption prefix; the main date: none; the grouping column never counts itself
    CHeads calc;
    calc.CopyFrom(heads);
    calc[H_STATE]->m_bCalc = 1;
    calc[H_FEE]->m_bCalc = 1;
    EXPECT_EQ(GroupHeaderText(calc, H_STATE, QStringLiteral("启用"), items), "状态：启用 (3)   实收合计 ¥350.00");
    EXPECT_EQ(GroupHeaderText(calc, H_DATE, QStringLiteral("2024年5月"), none), "2024年5月 (1)   启用 1 个");
}

TEST(ListLogic, FindMatchesPinyinAndWrapsAround)
{
    EXPECT_TRUE(MatchListText(QStringLiteral("张三"), QStringLiteral("zs"), false, false));
    EXPECT_TRUE(MatchListText(QStringLiteral("张三"), QStringLiteral("ZhangSan"), true, false));
    EXPECT_FALSE(MatchListText(QStringLiteral("张三"), QStringLiteral("z"), true, false));
    EXPECT_TRUE(MatchListText(QStringLiteral("A12"), QStringLiteral("12"), false, false));
    EXPECT_FALSE(MatchListText(QStringLiteral("A12"), QStringLiteral("12"), true, false));
    EXPECT_TRUE(MatchListText(QStringLiteral("Abc"), QStringLiteral("aBC"), true, false));
    EXPECT_FALSE(MatchListText(QStringLiteral("Ab1"), QStringLiteral("aB1"), true, true));
    EXPECT_TRUE(MatchListText(QStringLiteral("x"), QString(), false, false));
    EXPECT_FALSE(MatchListText(QString(), QString(), false, false));

    const std::vector<QStringList> rows{{QStringLiteral("王五"), QString()},
                                        {QString(), QStringLiteral("张三")},
                                        {QStringLiteral("李四"), QStringLiteral("zs")}};
    EXPECT_EQ(FindInRows(rows, -1, QStringLiteral("zs"), true, false, false), 1);
    EXPECT_EQ(FindInRows(rows, 1, QStringLiteral("zs"), true, false, false), 2);
    EXPECT_EQ(FindInRows(rows, 2, QStringLiteral("zs"), true, false, false), 1);   // wraps to the top
    EXPECT_EQ(FindInRows(rows, 1, QStringLiteral("zs"), false, false, false), 2);  // upward wraps to the end
    EXPECT_EQ(FindInRows(rows, 2, QStringLiteral("李四"), true, false, false), 2); // the start row last
    EXPECT_EQ(FindInRows(rows, -1, QString(), true, false, false), 0);
    EXPECT_EQ(FindInRows(rows, -1, QStringLiteral("none"), true, false, false), -1);

    EXPECT_EQ(ListCopyText({{"a", "b"}, {"c", "d"}}), "a b \r\nc d \r\n");
}

TEST(ListLogic, MenusAndTips)
{
    CHeads heads;
    heads.CopyFrom(*CTestLesson::StaticHeads());
    int pos = 0;
    for (CXItem* h : heads)
        static_cast<CHead*>(h)->m_nPos = static_cast<CHead*>(h)->m_nColView ? pos++ : -1;
    // one unit column: no "show/hide all"
    const XMenuSpec units = UnitMenuSpec(heads);
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].text, "折扣 (%)");
    EXPECT_EQ(units[0].id, ID_XCTRL_UNIT00);

    const XMenuSpec group = GroupMenuSpec(heads, true, true);
    ASSERT_GE(group.size(), 4u);
    EXPECT_EQ(group[0].id, ID_XCTRL_GRPNONE);
    EXPECT_EQ(group[2].text, "状态");
    EXPECT_EQ(group[2].id, ID_XCTRL_GROUP00);
    EXPECT_EQ(group.back().id, ID_XCTRL_GRPSORTDESC);

    // limits: 30 grouping, 30 statistic and 16 unit entries
    CHeads many;
    for (int i = 0; i < 40; ++i) {
        CHead* h = many.AddMemberHead({}, QStringLiteral("列%1").arg(i), XNU, 8, QStringLiteral("%g"), QString(), 24,
                                      584, 50, QString());
        h->m_strUnit = QStringLiteral("元");
        h->m_nPos = i;
        CHead* g =
            many.AddMemberHead({}, QStringLiteral("组%1").arg(i), XDT, 8, QString(), QString(), 24, 584, 50, QString());
        g->m_nPos = -1;
    }
    EXPECT_EQ(CalcMenuSpec(many).size(), 30u + 3u);
    EXPECT_EQ(UnitMenuSpec(many).size(), 16u + 3u);
    EXPECT_EQ(GroupMenuSpec(many, false, false).size(), 2u + 30u + 3u);

    EXPECT_EQ(HeaderTipText(*Head(H_HOURS)), "每次课的时长\n单位：小时");
    EXPECT_EQ(HeaderTipText(*Head(H_RATE)), "单位：%");
    EXPECT_EQ(HeaderTipText(*Head(H_FEE)), "");
}

} // namespace
