#include "CodePages.h"
#include "Pinyin.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(Pinyin, SyllablesOfLevelOneRangesAndLevelTwoRows)
{
    const struct
    {
        int code;
        const char* syllable;
    } cases[] = {
        {1600, "?"},    {1601, "A"},    {1602, "A"},  {1603, "AI"},  {1615, "AI"},   {1616, "AN"}, {1624, "AN"},
        {1625, "ANG"},  {1627, "ANG"},  {1628, "AO"}, {1636, "AO"},  {1637, "BA"},   {1654, "BA"}, {1797, "BING"},
        {1788, "BING"}, {1802, "BING"}, {1833, "CA"}, {5582, "ZUO"}, {5589, "ZUO"},  {5590, "?"},  {5600, "?"},
        {5601, "CHU"},  {5602, "?"},    {5603, "WU"}, {5604, "GAI"}, {5605, "NIAN"}, {5606, "SA"}, {5607, "PI"},
        {5608, "GEN"},  {5613, "?"},    {5615, "?"},  {8795, "?"},   {0, "?"},       {-5, "?"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(GetPinyinSyllable(c.code), c.syllable) << c.code;
}

TEST(Pinyin, GbkBytesAreSpelledCharacterByCharacter)
{
    EXPECT_EQ(GbkToPinyin(ToMultiByte(QStringLiteral("张三"), CP_ACP)), "ZHANGSAN");
    EXPECT_EQ(GbkToPinyin(QByteArray("\xb0\xa1x\xa1\xa1", 5)), "Ax?"); // 啊, x, ideographic space
    EXPECT_EQ(GbkToPinyin(QByteArray("\x80"
                                     "A")),
              "A");                                   // a stray high byte is dropped
    EXPECT_EQ(GbkToPinyin(QByteArray("B\xb0")), "B"); // so is a cut-off character
    EXPECT_EQ(GbkToPinyin(QByteArray()), "");
}

// A GBK character outside GB 2312 must not leave its trail byte behind as a letter: 丂 is
// 0x81 0x40, and 0x40 alone would read as "@".
TEST(Pinyin, GbkExtensionCharacterIsOneUnknownCharacter)
{
    EXPECT_EQ(ToMultiByte(QStringLiteral("丂"), CP_ACP), QByteArray("\x81\x40"));
    EXPECT_EQ(GbkToPinyin(QByteArray("\x81\x40"
                                     "A")),
              "?A");
    EXPECT_EQ(GbkToPinyin(QByteArray("\xa1\x50")), "?");
    EXPECT_EQ(GetPinyin(QStringLiteral("丂三"), false), "?SAN");
    EXPECT_EQ(GetPinyin(QStringLiteral("丂三"), true), "?S");
}

TEST(Pinyin, TextsWithAndWithoutInitials)
{
    const struct
    {
        const char16_t* text;
        const char* full;
        const char* initials;
    } cases[] = {
        {u"张三", "ZHANGSAN", "ZS"}, {u"A张b", "AZHANGb", "Z"}, {u"", "", ""},
        {u"绿地", "LVDI", "LD"},     {u"亍", "CHU", "C"}, // level 2
        {u"丌", "?", "?"},                                // level 2 without a reading
        {u"，", "?", "?"},                                // GB 2312 punctuation
        {u"한1", "?1", "?"},                              // not in the code page
        {u"😀", "??", "??"},                               // nor is a character outside the BMP, half by half
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(GetPinyin(text, false), QString::fromLatin1(c.full)) << text.toStdString();
        EXPECT_EQ(GetPinyin(text, true), QString::fromLatin1(c.initials)) << text.toStdString();
    }
}

} // namespace
