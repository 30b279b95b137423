#include "XDateTime.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

struct DayCase
{
    double day;
    const char* text; // FormatDateTime "%Y-%m-%d %H:%M:%S"
};

TEST(XDateTime, DayNumbersMapToCalendarDatesBothSidesOfTheEpoch)
{
    const DayCase cases[] = {
        {0.0, "1899-12-30 00:00:00"},  {1.0, "1899-12-31 00:00:00"},      {2.5, "1900-01-01 12:00:00"},
        {-1.0, "1899-12-29 00:00:00"}, {-1.25, "1899-12-29 06:00:00"}, // below zero the fraction still counts forwards
        {-0.5, "1899-12-30 12:00:00"}, {45658.75, "2025-01-01 18:00:00"}, {36491.98952546296, "1999-11-27 23:44:55"},
    };
    for (const DayCase& c : cases) {
        SCOPED_TRACE(c.day);
        const XDateTime v(c.day);
        EXPECT_EQ(v.Format("%Y-%m-%d %H:%M:%S"), QString::fromUtf8(c.text));
        const XDateTime back = XDateTime::FromDateTime(v.ToDateTime());
        EXPECT_TRUE(back == v);
    }
    EXPECT_DOUBLE_EQ(XDateTime(2025, 1, 1, 18).Day(), 45658.75);
    EXPECT_DOUBLE_EQ(XDateTime::FromDate(QDate(1899, 12, 29)).Day(), -1.0);
    EXPECT_DOUBLE_EQ(XDateTime(1899, 12, 29, 6).Day(), -1.25);
}

TEST(XDateTime, ValidityAndParts)
{
    EXPECT_FALSE(XDateTime(2023, 2, 29).IsValid());
    EXPECT_FALSE(XDateTime(2024, 13, 1).IsValid());
    EXPECT_FALSE(XDateTime(2024, 1, 1, 24).IsValid());
    EXPECT_TRUE(XDateTime(2024, 2, 29).IsValid());
    EXPECT_TRUE(XDateTime::Null().IsNull());
    EXPECT_EQ(XDateTime::Invalid().Format("%Y"), "");
    EXPECT_EQ(XDateTime::Null().Format("%Y"), "");
    EXPECT_FALSE(XDateTime(1e9).ToDate().isValid()); // beyond year 9999

    const XDateTime v(2024, 3, 9, 7, 5, 3);
    EXPECT_EQ(v.Year(), 2024);
    EXPECT_EQ(v.Month(), 3);
    EXPECT_EQ(v.DayOfMonth(), 9);
    EXPECT_EQ(v.Hour(), 7);
    EXPECT_EQ(v.Minute(), 5);
    EXPECT_EQ(v.Second(), 3);
    EXPECT_EQ(v.DayOfWeek(), 5); // a Saturday
    EXPECT_DOUBLE_EQ(v.DateOnly().Day(), XDateTime(2024, 3, 9).Day());
    EXPECT_EQ(v.AddDays(-9).Format("%Y-%m-%d %H:%M"), "2024-02-29 07:05");
}

TEST(XDateTime, WeekdaysCountFromMondayAlsoBeforeTheEpoch)
{
    // 1899-12-30 was a Saturday
    EXPECT_EQ(XDateTime::WeekdayOfDay(0), 5);
    EXPECT_EQ(XDateTime::WeekdayOfDay(2), 0);
    EXPECT_EQ(XDateTime::WeekdayOfDay(-5), 0);
    EXPECT_EQ(XDateTime::WeekdayOfDay(-6), 6);
    EXPECT_EQ(XDateTime(2026, 12, 10).DayOfWeek(), 3); // Thursday
}

TEST(XDateTime, EqualityHasHalfASecondTolerance)
{
    const double second = 1.0 / 86400;
    const XDateTime a(45000.5);
    EXPECT_TRUE(a == XDateTime(45000.5 + 0.4 * second));
    EXPECT_FALSE(a == XDateTime(45000.5 + 0.6 * second));
    EXPECT_TRUE(a < XDateTime(45000.5 + 0.6 * second));
    EXPECT_FALSE(a < XDateTime(45000.5 + 0.4 * second));
    // below zero the tolerance is judged on the real time line: -1.75 is 18:00 of
    // 1899-12-29, right next to -1.7499 but far from -0.25
    EXPECT_TRUE(XDateTime(-1.75) == XDateTime(-1.75 - 0.4 * second));
    EXPECT_FALSE(XDateTime(-1.0) == XDateTime(-0.0));
    EXPECT_FALSE(XDateTime(45000.0) == XDateTime::Invalid());
    EXPECT_TRUE(XDateTime::Null() == XDateTime::Null());
}

TEST(FormatDateTime, ConversionsAndTheNoPadFlag)
{
    const XDateTime v(2024, 3, 9, 7, 5, 3);
    struct Case
    {
        const char* format;
        const char* expected;
    };
    const Case cases[] = {
        {"%Y-%m-%d", "2024-03-09"},
        {"%Y年%#m月%#d日", "2024年3月9日"},
        {"%y/%m/%d %H:%M:%S", "24/03/09 07:05:03"},
        {"%#H:%M", "7:05"},
        {"%A %a", "星期六 周六"},
        {"%B", "三月"},
        {"%j", "069"},
        {"100%%", "100%"},
        {"%Q stays", "%Q stays"},
        {"trailing %", "trailing %"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatDateTime(v, QString::fromUtf8(c.format)), QString::fromUtf8(c.expected)) << c.format;
    EXPECT_EQ(XDateTime(2024, 12, 1).Format("%A"), "星期日");
}

TEST(XDateTime, ParsesTheDateTextsTheProgramReads)
{
    struct Case
    {
        const char* text;
        const char* expected;
    }; // expected "" = rejected
    const Case cases[] = {
        {"2024-3-9", "2024-03-09 00:00:00"},
        {"2024/03/09", "2024-03-09 00:00:00"},
        {"2024年3月9日", "2024-03-09 00:00:00"},
        {"2024-3-9 8:30", "2024-03-09 08:30:00"},
        {"2024/3/9 18:30:59", "2024-03-09 18:30:59"},
        {"2024年3月9日 8:05", "2024-03-09 08:05:00"},
        {"  2024-3-9  ", "2024-03-09 00:00:00"},
        {"8:30", "1899-12-30 08:30:00"},
        {"2023-2-29", ""},
        {"2024-13-1", ""},
        {"2024-3-9 24:00", ""},
        {"2024-3-9 8:3", ""},
        {"2024-3/9", ""},
        {"2024年3月9", ""},
        {"24-3-9", ""},
        {"2024-3-9x", ""},
        {"", ""},
        {"abc", ""},
    };
    for (const Case& c : cases) {
        XDateTime v(1.0);
        const bool ok = v.ParseDateTime(QString::fromUtf8(c.text));
        if (*c.expected) {
            EXPECT_TRUE(ok) << c.text;
            EXPECT_EQ(v.Format("%Y-%m-%d %H:%M:%S"), QString::fromUtf8(c.expected)) << c.text;
        } else {
            EXPECT_FALSE(ok) << c.text;
            EXPECT_EQ(v.GetStatus(), XDateTime::invalid) << c.text;
        }
    }
}

TEST(XClock, TestsFixTheClockForEveryThread)
{
    XClock::SetFixed(XDateTime(2026, 12, 10, 9, 15));
    EXPECT_EQ(XDateTime::Now().Format("%Y-%m-%d %H:%M"), "2026-12-10 09:15");
    EXPECT_DOUBLE_EQ(XDateTime::Today().Day(), XDateTime(2026, 12, 10).Day());
    double seenOnWorker = 0;
    std::thread([&] { seenOnWorker = XClock::Today().Day(); }).join();
    EXPECT_DOUBLE_EQ(seenOnWorker, XDateTime(2026, 12, 10).Day());

    XClock::Reset();
    const XDateTime expected = XDateTime::FromDateTime(QDateTime::currentDateTime());
    EXPECT_LT(std::abs(XClock::Now().Day() - expected.Day()), 10.0 / 86400);
}

} // namespace

namespace {

// A date built while another file's statics are initialised must not depend on the order
// in which the files' statics come up.
const double kBuiltAtStart = XDateTime(2025, 1, 6).Day();

TEST(XDateTime, DatesBuiltDuringStaticInitialisation)
{
    EXPECT_DOUBLE_EQ(kBuiltAtStart, 45663.0);
    EXPECT_DOUBLE_EQ(XDateTime(100, 1, 1).Day(), -657434.0);
    EXPECT_FALSE(XDateTime(99, 12, 31).IsValid());
}

} // namespace
