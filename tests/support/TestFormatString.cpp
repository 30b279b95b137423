#include "FormatString.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

TEST(FormatString, IntegersWithFlagsWidthAndPrecision)
{
    EXPECT_EQ(FormatString("%d", 42), "42");
    EXPECT_EQ(FormatString("%i|%d", -7, INT_MIN), "-7|-2147483648");
    EXPECT_EQ(FormatString("%+d 次", 3), "+3 次");
    EXPECT_EQ(FormatString("%+d", -3), "-3");
    EXPECT_EQ(FormatString("% d", 5), " 5");
    EXPECT_EQ(FormatString("%5d|%-5d|%05d", 42, 42, -42), "   42|42   |-0042");
    EXPECT_EQ(FormatString("%.3d|%8.3d", 7, -7), "007|    -007");
    EXPECT_EQ(FormatString("%.0d", 0), "");
    EXPECT_EQ(FormatString("%*d|%-*d|", 4, 1, 3, 2), "   1|2  |");
    EXPECT_EQ(FormatString("%u", -1), "4294967295");
    EXPECT_EQ(FormatString("%x|%X|%02x|%#x|%o", 255, 255, 5, 255, 8), "ff|FF|05|0xff|10");
    EXPECT_EQ(FormatString("%x", -1), "ffffffff");
    EXPECT_EQ(FormatString("%x", static_cast<long long>(-1)), "ffffffffffffffff");
    EXPECT_EQ(FormatString("%I64d|%lld|%ld", 1LL << 40, -(1LL << 40), 5L), "1099511627776|-1099511627776|5");
    EXPECT_EQ(FormatString("%hd|%hhd", 70000, 300), "4464|44");
    EXPECT_EQ(FormatString("%d", 2.9), "2");
    EXPECT_EQ(FormatString("%d", true), "1");
}

TEST(FormatString, FloatingPointIsLocaleFreeAndRoundsLikePrintf)
{
    EXPECT_EQ(FormatString("%f", 1.5), "1.500000");
    EXPECT_EQ(FormatString("%1.2f", 3.14159), "3.14");
    EXPECT_EQ(FormatString("%.0f|%.1f", 2.5, 0.25), "2|0.2");
    EXPECT_EQ(FormatString("%8.2f|%-8.2f|%08.2f", -1.5, 1.5, -1.5), "   -1.50|1.50    |-0001.50");
    EXPECT_EQ(FormatString("%+.1f", 2.0), "+2.0");
    EXPECT_EQ(FormatString("%1.1f", -0.04), "-0.0");
    EXPECT_EQ(FormatString("%e|%E", 12345.678, 0.001), "1.234568e+04|1.000000E-03");
    EXPECT_EQ(FormatString("%g|%g|%g|%G", 0.0001, 1e-5, 123456789.0, 1e20), "0.0001|1e-05|1.23457e+08|1E+20");
    EXPECT_EQ(FormatString("%.3g", 2.0), "2");
    EXPECT_EQ(FormatString("%f", 7), "7.000000");
    EXPECT_EQ(FormatString("%f|%F", INFINITY, -INFINITY), "inf|-INF");
    EXPECT_EQ(FormatString("%.2f", 1e300).size(), 304);
}

TEST(FormatString, TextsAndCharacters)
{
    const QString name = QStringLiteral("张三");
    EXPECT_EQ(FormatString(u"学员：%s", name), "学员：张三");
    EXPECT_EQ(FormatString("%s|%s|%s", "utf8 文本", std::string("std"), u"u16"), "utf8 文本|std|u16");
    EXPECT_EQ(FormatString("[%6s][%-6s][%.1s]", name, name, name), "[    张三][张三    ][张]");
    EXPECT_EQ(FormatString("%c%c%c", 'A', QChar(0x4E2D), 66), "A中B");
    EXPECT_EQ(FormatString("%s", static_cast<const char*>(nullptr)), "");
    EXPECT_EQ(FormatString("%s", 12), "12");
}

TEST(FormatString, SpecialCasesOfTheFormatItself)
{
    EXPECT_EQ(FormatString(""), "");
    EXPECT_TRUE(FormatString(QStringView()).isEmpty());
    EXPECT_TRUE(FormatString(static_cast<const char*>(nullptr), 1).isEmpty());
    EXPECT_EQ(FormatString("100%%"), "100%");
    EXPECT_EQ(FormatString("50%"), "50%");       // a lone "%" at the end stays
    EXPECT_EQ(FormatString("%k|%d", 1), "%k|1"); // an unknown conversion stays and takes nothing
    EXPECT_EQ(FormatString("%d-%d", 1), "1-");   // a missing argument writes nothing
    EXPECT_EQ(FormatString("no args", 1, 2), "no args");
    int n = 0;
    EXPECT_EQ(FormatString("a%nb", &n), "ab"); // never writes through a pointer
    EXPECT_EQ(n, 0);
}

} // namespace
