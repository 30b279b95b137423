// Time spans, date ranges, SQL preparation and field maps.
#include "CXMap.h"
#include "CXTimeSpan.h"
#include "SqlPrepare.h"
#include "TestSupport.h"
#include "XThread.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

int Span(int bh, int bm, int eh, int em) { return bh * 1000000 + bm * 10000 + eh * 100 + em; }

TEST(CXTimeSpan, ParseAndFormat)
{
    CXTimeSpan s;
    EXPECT_TRUE(s.Parse(QStringLiteral("8:30~10:00")));
    EXPECT_EQ(s.Value(), 8301000);
    EXPECT_TRUE(s.Parse(QString::fromUtf8("8:30～10:00")));
    EXPECT_EQ(s.Value(), 8301000);
    EXPECT_TRUE(s.Parse(QStringLiteral(" 18:05 ~ 19:45 ")));
    EXPECT_EQ(s.Value(), Span(18, 5, 19, 45));
    for (const char* bad : {"8:30", "8:30~9:00~10:00", "8:30~", "a~b", "25:00~26:00", ""}) {
        s = CXTimeSpan(123);
        EXPECT_FALSE(s.Parse(QString::fromUtf8(bad))) << bad;
        EXPECT_EQ(s.Value(), 0) << bad;
    }

    const CXTimeSpan lesson(8301000);
    EXPECT_EQ(lesson.Format(), "8:30~10:00"); // the desktop
    QString onWorker;
    std::thread([&] { onWorker = lesson.Format(); }).join();
    EXPECT_EQ(onWorker, "08:30~10:00"); // web pages
    EXPECT_EQ(lesson.GetBegin().Format("%H:%M"), "08:30");
    EXPECT_EQ(lesson.GetEnd().Format("%H:%M"), "10:00");
}

TEST(CXTimeSpan, BeginAndDurationDropTheDay)
{
    CXTimeSpan s;
    s.SetBeginDuration(XDateTime(2024, 1, 1, 23, 30), 90);
    EXPECT_EQ(s.Value(), Span(23, 30, 1, 0));
    s.SetBeginDuration(XDateTime(2024, 1, 1, 8, 0), 45);
    EXPECT_EQ(s.Value(), Span(8, 0, 8, 45));
    s.Set(XDateTime::Invalid(), XDateTime(2024, 1, 1, 9, 0));
    EXPECT_EQ(s.Value(), -1 * 1000000 - 1 * 10000 + 9 * 100);
}

TEST(CXTimeSpan, OverlapTable)
{
    struct Case
    {
        int a, b;
        bool aInB, bInA;
    };
    const Case cases[] = {
        {Span(9, 0, 10, 0), Span(10, 0, 11, 0), false, false}, // touching
        {Span(9, 0, 12, 0), Span(10, 0, 11, 0), false, true},  // enclosing: only from the inner side
        {Span(9, 0, 10, 30), Span(10, 0, 11, 0), true, true},  // partial
        {Span(9, 0, 10, 0), Span(9, 0, 10, 0), true, true},    // the same lesson time twice
        {Span(9, 0, 10, 0), Span(14, 0, 15, 0), false, false}, {0, 0, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CXTimeSpan(c.a).Overlaps(CXTimeSpan(c.b)), c.aInB) << c.a << " " << c.b;
        EXPECT_EQ(CXTimeSpan(c.b).Overlaps(CXTimeSpan(c.a)), c.bInA) << c.b << " " << c.a;
    }
}

TEST(CXDateRange, FormatAndCompare)
{
    const XDateTime jan5(2020, 1, 5), feb1(2020, 2, 1);
    EXPECT_EQ(CXDateRange(jan5, XDateTime(0.0)).Format(), QString::fromUtf8("2020年1月5日起"));
    EXPECT_EQ(CXDateRange(XDateTime(0.0), feb1).Format(), QString::fromUtf8("2020年2月1日止"));
    EXPECT_EQ(CXDateRange(jan5, jan5).Format(), QString::fromUtf8("2020年1月5日"));
    EXPECT_EQ(CXDateRange(jan5, feb1).Format(QStringLiteral("%Y-%m-%d")), QString::fromUtf8("2020-01-05至2020-02-01"));
    EXPECT_EQ(CXDateRange().Format(), "");

    const double tenth = 0.1 / 86400;
    const CXDateRange a(XDateTime(jan5.Day()), feb1), b(XDateTime(jan5.Day() + tenth), XDateTime(feb1.Day() + 1));
    EXPECT_EQ(a.Compare(b), -1); // begins equal within half a second: the ends decide
    EXPECT_EQ(b.Compare(a), 1);
    EXPECT_EQ(a.Compare(a), 0);
    EXPECT_EQ(CXDateRange(feb1, feb1).Compare(a), 1);
    const CXDateRange broken(XDateTime::Invalid(), feb1);
    EXPECT_EQ(broken.Compare(a), 1); // an invalid date compares greater from both sides
    EXPECT_EQ(a.Compare(broken), 1);
    // below day 0 the time line is linear: 06:00 of the day before the epoch is after 00:00
    EXPECT_EQ(CXDateRange(XDateTime(-1.0), {}).Compare(CXDateRange(XDateTime(-1.25), {})), -1);
}

TEST(SqlPrepare, CommentsLiteralsWhiteSpaceAndSymbols)
{
    struct Case
    {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"SELECT A -- note\r\nFROM T", "SELECT A FROM T"},
        {"SELECT A--note\nFROM T", "SELECT AFROM T"}, // the line break goes with the comment
        {"SELECT A FROM T -- to the end", "SELECT A FROM T"},
        {"SELECT /* x\ny */ A FROM T", "SELECT A FROM T"},
        {"SELECT A /* unclosed", "SELECT A"},
        {"SELECT '--', '/*', 'a  b' FROM T", "SELECT '--', '/*', 'a  b' FROM T"},
        {"WHERE TypeID='OPER_ADD'", "WHERE TypeID=4"},
        {"WHERE TypeID='oper_add' OR X='NOSUCH'", "WHERE TypeID='oper_add' OR X='NOSUCH'"},
        {"WHERE Name='A' AND MduID='MDU_STUDENT' AND St>='ST_WARN'", "WHERE Name='A' AND MduID=321 AND St>=3"},
        {"WHERE T IN('XIN','XSA','XDR')", "WHERE T IN(1,11,'XDR')"},
        {"\t  SELECT\t\t1  \r\n", "SELECT 1"},
        {"   ", ""},
        {"", ""},
        {"SELECT 'open", "SELECT 'open"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PrepareSql(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;

    QString sym = QStringLiteral("'QUERY_HIDE''OLD_PROXY'");
    ReplaceSqlSymbols(sym);
    EXPECT_EQ(sym, "613");
}

TEST(SqlPrepare, NameMapsActivateOptionalConditions)
{
    const QString sql = QStringLiteral("SELECT * FROM TB_R WHERE 1=1 /*AND StudentID=?*/ /*AND X=?*/");
    XSqlNameMap names{{QStringLiteral("/*AND StudentID=?*/"), QStringLiteral("AND StudentID IN(4,5)")}};
    EXPECT_EQ(PrepareSql(sql, &names), "SELECT * FROM TB_R WHERE 1=1 AND StudentID IN(4,5)");
    EXPECT_EQ(PrepareSql(sql), "SELECT * FROM TB_R WHERE 1=1");
    // a value holding its own key is not replaced again
    XSqlNameMap self{{QStringLiteral("#"), QStringLiteral("##")}};
    EXPECT_EQ(PrepareSql(QStringLiteral("a # b"), &self), "a ## b");
}

TEST(SqlPrepare, OnlyTheFirstReceiptViewPlaceholderIsFilled)
{
    const QString out = PrepareSql(QStringLiteral("SELECT * FROM [V_RECEIPT] UNION SELECT * FROM [V_RECEIPT]"));
    EXPECT_TRUE(out.startsWith("SELECT * FROM (")) << out.toStdString();
    EXPECT_EQ(out.count(QStringLiteral("[V_RECEIPT]")), 1);
    EXPECT_EQ(out.count(QStringLiteral(") AS V_RECEIPT")), 1);
}

TEST(CXMap, TypedValues)
{
    CXMap map;
    map.SetText(7, QStringLiteral("'ST_WARN'"));
    EXPECT_EQ(map.GetText(7), "3");
    map.SetText(8, QString());
    EXPECT_TRUE(map.Has(8));
    EXPECT_EQ(map.GetText(8), "");
    map.SetDate(9, XDateTime(0.0));
    EXPECT_FALSE(map.Has(9));
    map.SetDate(9, XDateTime(2024, 3, 9, 10));
    EXPECT_EQ(map.GetText(9), "2024-03-09");
    EXPECT_DOUBLE_EQ(map.GetDate(9).Day(), XDateTime(2024, 3, 9).Day());
    map.SetText(10, QStringLiteral("45000abc"));
    EXPECT_DOUBLE_EQ(map.GetDate(10).Day(), 45000.0);
    EXPECT_EQ(map.GetInt(10), 45000);
    EXPECT_EQ(map.GetInt(99), 0);
    EXPECT_DOUBLE_EQ(map.GetDate(99).Day(), 0.0);
    map.SetText(11, QStringLiteral("1,12,3"));
    EXPECT_TRUE(map.ListHas(11, 12));
    EXPECT_FALSE(map.ListHas(11, 2));

    CXMap a, b;
    a.SetText(1, QStringLiteral("A"));
    b.SetText(1, QStringLiteral("a"));
    EXPECT_FALSE(a.IsEqual(b));
    b = a;
    EXPECT_TRUE(a.IsEqual(b));
}

} // namespace
