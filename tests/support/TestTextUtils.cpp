#include "CFakeAppServices.h"
#include "TestSupport.h"
#include "TextUtils.h"
#include "XString.h"

#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>

#include <gtest/gtest.h>

namespace {

QStringList L(std::initializer_list<const char*> items)
{
    QStringList list;
    for (const char* s : items)
        list.append(QString::fromUtf8(s));
    return list;
}

TEST(XString, TrimSetCoversFullWidthAndNoBreakSpaces)
{
    EXPECT_EQ(TrimWhite(QString::fromUtf8("\u3000 \t张三\u00A0\r\n")), "张三");
    EXPECT_EQ(TrimWhiteLeft(QStringLiteral("  a ")), "a ");
    EXPECT_EQ(TrimWhiteRight(QStringLiteral("  a ")), "  a");
    EXPECT_EQ(TrimWhite(QStringLiteral("   ")), "");
    EXPECT_TRUE(EqualsNoCase(u"StudentID", u"studentid"));
    EXPECT_FALSE(EqualsNoCase(u"ID", u"IDs"));
    EXPECT_LT(CompareNoCase(u"abc", u"ABD"), 0);
}

TEST(JoinStrings, PlainAndTidy)
{
    EXPECT_EQ(JoinStrings(L({"a", "", "b"}), ","), "a,,b");
    EXPECT_EQ(JoinStrings(L({"a", "", "b"}), ",", true), "a,b");
    EXPECT_EQ(JoinStrings(L({"", "a", ""}), ",", true), "a");
    EXPECT_EQ(JoinStrings(L({"x", "", "", "y"}), ", ", true), "x, , y"); // one pass only
    EXPECT_EQ(JoinStrings({}, ","), "");
    EXPECT_EQ(JoinInts({3, -5, 0}, ","), "3,-5,0");
    EXPECT_EQ(JoinInts({1, 2}, QString()), "12");
}

TEST(SplitStrings, CsvModeAndPlainSeparators)
{
    struct Case
    {
        const char* text;
        const char* sep;
        std::vector<const char*> items;
    };
    const Case cases[] = {
        {"a,b", ",", {"a", "b"}},
        {"a,", ",", {"a", ""}},
        {"x", ",", {"x"}},
        {"x,\"y,z\",w", ",", {"x", "y,z", "w"}},
        {"\"say \"\"hi\"\"\",2", ",", {"say \"hi\"", "2"}},
        {"\"y\"\"z,w\"", ",", {"y\"z,w"}},
        {"1,\"open,rest", ",", {"1", "open,rest"}}, // an unclosed quote runs to the end
        {"  a;b  ", ";", {"a", "b"}},
        {"a;\"b;c\"", ";", {"a", "\"b", "c\""}}, // quotes mean nothing outside CSV mode
        {"a::b::", "::", {"a", "b", ""}},
        {"   ", ",", {}},
        {"", ",", {}},
    };
    for (const Case& c : cases) {
        QStringList items = L({"stale"});
        const int n = SplitStrings(QString::fromUtf8(c.text), items, QString::fromUtf8(c.sep));
        QStringList expected;
        for (const char* s : c.items)
            expected.append(QString::fromUtf8(s));
        EXPECT_EQ(n, expected.size()) << c.text;
        EXPECT_EQ(items, expected) << c.text;
    }
}

TEST(SplitInts, UnreadablePartsGiveZero)
{
    QList<int> v{9};
    EXPECT_EQ(SplitInts(QStringLiteral("3, 5,x"), v, QStringLiteral(",")), 3);
    EXPECT_EQ(v, (QList<int>{3, 5, 0}));
    EXPECT_EQ(SplitInts(QStringLiteral("-7,12abc,+4"), v), 3);
    EXPECT_EQ(v, (QList<int>{-7, 12, 4}));
    EXPECT_EQ(SplitInts(QStringLiteral("99999999999,-99999999999"), v), 2);
    EXPECT_EQ(v, (QList<int>{INT_MAX, INT_MIN}));
    EXPECT_EQ(SplitInts(QStringLiteral(" \t "), v), 0);
    EXPECT_TRUE(v.isEmpty());
}

TEST(EscapeLikePattern, BracketsEveryPatternCharacterAndDoublesQuotes)
{
    EXPECT_EQ(EscapeLikePattern(QStringLiteral("50%_[a]")), "50[%][_][[]a]");
    EXPECT_EQ(EscapeLikePattern(QStringLiteral("O'Neil")), "O''Neil");
    EXPECT_EQ(EscapeLikePattern(QStringLiteral("a^b?c")), "a[^]b[?]c");
}

TEST(SupSub, BothDirectionsAndKinds)
{
    EXPECT_EQ(AsciiToSupSub(QStringLiteral("-1"), true), QString::fromUtf8("⁻¹"));
    EXPECT_EQ(AsciiToSupSub(QStringLiteral("H2O"), false), QString::fromUtf8("H₂O"));
    EXPECT_EQ(AsciiToSupSub(QStringLiteral("(x)"), true), "(x)"); // no superscript brackets
    const QString sup = AsciiToSupSub(QStringLiteral("0123456789+-"), true);
    for (QChar c : sup)
        EXPECT_EQ(GetSupSubKind(c), 1) << int(c.unicode());
    const QString sub = AsciiToSupSub(QStringLiteral("0123456789+-()"), false);
    for (QChar c : sub)
        EXPECT_EQ(GetSupSubKind(c), -1) << int(c.unicode());
    EXPECT_EQ(SupSubToAscii(sup + sub), "0123456789+-0123456789+-()");
    EXPECT_EQ(GetSupSubKind(u'2'), 0);
    EXPECT_EQ(SupSubToAscii(QString::fromUtf8("m²")), "m2");
}

TEST(SimplifyText, FullWidthOneLineAndCut)
{
    EXPECT_EQ(SimplifyText(QString::fromUtf8("ＡＢ１２ｚ")), "AB12z");
    EXPECT_EQ(SimplifyText(QString::fromUtf8("＠＆＄￥＃＊％")), QString::fromUtf8("@&$¥#*%"));
    EXPECT_EQ(SimplifyText(QString()), "");
    EXPECT_EQ(SimplifyText(QStringLiteral("  a\r\nb\tc  "), -1, true), "a b c");
    EXPECT_EQ(SimplifyText(QStringLiteral("a\r\n\r\nb"), -1, true), "a  b"); // blanks halved once
    EXPECT_EQ(SimplifyText(QStringLiteral("a\nb"), -1, false), "a\nb");
    EXPECT_EQ(SimplifyText(QStringLiteral("abcdefghijklmnopqrst"), 10), "abcde ...");
    EXPECT_EQ(SimplifyText(QStringLiteral("abcdefghij"), 10), "abcdefghij");
    EXPECT_EQ(SimplifyText(QStringLiteral("abcdef"), 3), " ...");
}

TEST(FormatMoneyUpper, CapitalNumeralsOfReceipts)
{
    struct Case
    {
        double amount;
        const char* text;
    };
    const Case cases[] = {
        {100, "壹佰元整"},
        {1005.5, "壹仟零伍元伍角"},
        {10.5, "壹拾元零伍角"},
        {1.05, "壹元零伍分"},
        {0.05, "伍分"},
        {100000, "壹拾万元整"},
        {-3, "负叁元整"},
        {0, "零元整"},
        {1, "壹元整"},
        {1.15, "壹元壹角伍分"}, // 1.15 * 100 is just below 115: rounded, not cut
        {0.1 + 0.2, "叁角"},
        {100010000, "壹亿零壹万元整"}, // beyond 32-bit fen
        {100000000, "壹亿元整"},
        {21474836.48, "贰仟壹佰肆拾柒万肆仟捌佰叁拾陆元肆角捌分"},
        {10203.04, "壹万零贰佰零叁元零肆分"},
        {9999999999999.99, "玖万玖仟玖佰玖拾玖亿玖仟玖佰玖拾玖万玖仟玖佰玖拾玖元玖角玖分"},
        {1e13, "值超范围"}, // 16 digits of fen
        {0.001, "零元整"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatMoneyUpper(c.amount), QString::fromUtf8(c.text)) << c.amount;
}

TEST(FormatOneDecimal, TrailingZerosAndSignOfZero)
{
    struct Case
    {
        double v;
        const char* text;
    };
    const Case cases[] = {{12.0, "12"},   {12.5, "12.5"}, {0.04, "0"},    {2.96, "3"},
                          {-0.5, "-0.5"}, {-0.04, "0"},   {100.0, "100"}, {-12.25, "-12.2"}};
    for (const Case& c : cases)
        EXPECT_EQ(FormatOneDecimal(c.v), QString::fromUtf8(c.text)) << c.v;
}

TEST(AlignToWeekday, ForwardBackwardAndSameDay)
{
    const XDateTime wednesday(2024, 3, 6, 15, 30);
    const XDateTime aMonday(2024, 1, 1);
    EXPECT_EQ(AlignToWeekday(wednesday, aMonday, false).Format("%Y-%m-%d %H:%M"), "2024-03-11 00:00");
    EXPECT_EQ(AlignToWeekday(wednesday, aMonday, true).Format("%Y-%m-%d %H:%M"), "2024-03-04 00:00");
    const XDateTime monday(2024, 3, 4, 9);
    EXPECT_EQ(AlignToWeekday(monday, aMonday, false).Format("%Y-%m-%d %H:%M"), "2024-03-04 00:00");
    EXPECT_EQ(AlignToWeekday(monday, aMonday, true).Format("%Y-%m-%d %H:%M"), "2024-03-04 00:00");
    EXPECT_DOUBLE_EQ(AlignToWeekday(wednesday, XDateTime(0.0), false).Day(), wednesday.Day());
    EXPECT_DOUBLE_EQ(AlignToWeekday(XDateTime(0.0), aMonday, false).Day(), 0.0);
}

TEST(CopyToClipboard, PutsTheTextAndConfirmsWithACutPreview)
{
    CFakeAppServices& app = CFakeAppServices::Installed();
    app.Clear();
    EXPECT_FALSE(CopyToClipboard(nullptr, QString()));
    EXPECT_TRUE(app.messages.empty());

    app.expectPrompts = true;
    ASSERT_TRUE(CopyToClipboard(nullptr, QStringLiteral("张三 13800000000")));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "张三 13800000000");
    ASSERT_EQ(app.messages.size(), 1u);
    EXPECT_EQ(app.messages[0].text, QString::fromUtf8("已复制以下内容到剪贴板！\r\n\r\n张三 13800000000"));
    EXPECT_EQ(app.messages[0].caption, QString::fromUtf8("复制内容"));
    EXPECT_EQ(app.messages[0].type, unsigned(MB_OK | MB_ICONINFORMATION));

    const QString exactly300(300, u'x');
    ASSERT_TRUE(CopyToClipboard(nullptr, exactly300));
    EXPECT_TRUE(app.messages.back().text.endsWith(exactly300));
    const QString longer = QString(255, u'a') + QString(46, u'b');
    ASSERT_TRUE(CopyToClipboard(nullptr, longer));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), longer);
    EXPECT_TRUE(app.messages.back().text.endsWith(QString(255, u'a') + "\r\n..."));
    app.Clear();
}

TEST(AddThousandsSeparators, IntegerPartOnly)
{
    struct Case
    {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"1234567", "1,234,567"},  {"-4321.05", "-4,321.05"}, {"987", "987"}, {"1000.123456", "1,000.123456"},
        {"¥12345.6", "¥12,345.6"}, {"12345元", "12,345元"},   {"", ""},       {"-", "-"},
        {"123456", "123,456"}};
    for (const Case& c : cases)
        EXPECT_EQ(AddThousandsSeparators(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

} // namespace
