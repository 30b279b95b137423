#include "CXQrEncoder.h"
#include "QrDecoder.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using Modules = unsigned char[CXQrEncoder::kMaxSize][CXQrEncoder::kMaxSize];

// The two copies of the 15-bit format word: around the top-left finder, and split between
// the top-right and bottom-left finders.
void ReadFormatWords(int& first, int& second)
{
    const int n = CXQrEncoder::m_nSize;
    const auto& m = CXQrEncoder::m_modules;
    first = second = 0;
    auto put = [](int& word, int bit, bool dark) { word |= (dark ? 1 : 0) << bit; };
    for (int i = 0; i <= 5; ++i)
        put(first, i, m[8][i]);
    put(first, 6, m[8][7]);
    put(first, 7, m[8][8]);
    put(first, 8, m[7][8]);
    for (int i = 9; i < 15; ++i)
        put(first, i, m[14 - i][8]);
    for (int i = 0; i < 8; ++i)
        put(second, i, m[n - 1 - i][8]);
    for (int i = 8; i < 15; ++i)
        put(second, i, m[8][n - 15 + i]);
}

TEST(CXQrEncoder, EmptyAndTooLongTextsAreRefusedAndKeepTheLastSymbol)
{
    ASSERT_TRUE(CXQrEncoder::Encode("12345"));
    EXPECT_EQ(CXQrEncoder::m_nSize, 21);
    EXPECT_FALSE(CXQrEncoder::Encode(""));
    EXPECT_FALSE(CXQrEncoder::Encode(nullptr));

    // Level H version 10 holds 122 data codewords: 119 bytes with the 16-bit count.
    const std::string letters119(119, 'q');
    ASSERT_TRUE(CXQrEncoder::Encode(letters119.c_str()));
    EXPECT_EQ(CXQrEncoder::m_nSize, 57);
    Modules before;
    std::memcpy(before, CXQrEncoder::m_modules, sizeof before);

    // Anything that needs version 11 or more is refused before the matrix is touched.
    for (const std::string& text : {std::string(120, 'q'), std::string(289, '7'), std::string(5000, 'A')}) {
        EXPECT_FALSE(CXQrEncoder::Encode(text.c_str())) << text.size();
        EXPECT_EQ(CXQrEncoder::m_nSize, 57);
        EXPECT_EQ(std::memcmp(before, CXQrEncoder::m_modules, sizeof before), 0);
    }
    EXPECT_TRUE(CXQrEncoder::Encode(std::string(288, '7').c_str()));
    EXPECT_EQ(CXQrEncoder::m_nSize, 57);
}

TEST(CXQrEncoder, SecondSymbolReplacesTheFirstCompletely)
{
    ASSERT_TRUE(CXQrEncoder::Encode("12345"));
    Modules small;
    std::memcpy(small, CXQrEncoder::m_modules, sizeof small);
    ASSERT_TRUE(CXQrEncoder::Encode("HTTP://EXAMPLE.COM/A/VERY/LONG/PATH/THAT/NEEDS/A/LARGER/SYMBOL/TO/HOLD/IT/ALL"));
    ASSERT_GT(CXQrEncoder::m_nSize, 21);
    ASSERT_TRUE(CXQrEncoder::Encode("12345"));
    EXPECT_EQ(CXQrEncoder::m_nSize, 21);
    EXPECT_EQ(std::memcmp(small, CXQrEncoder::m_modules, sizeof small), 0);
}

TEST(CXQrEncoder, FormatAndVersionInformation)
{
    for (int length : {5, 40, 60, 100, 119}) {
        ASSERT_TRUE(CXQrEncoder::Encode(std::string(static_cast<size_t>(length), 'x').c_str()));
        int first = 0, second = 0;
        ReadFormatWords(first, second);
        EXPECT_EQ(first, 0x1689) << length;
        EXPECT_EQ(second, 0x1689) << length;
        const int n = CXQrEncoder::m_nSize;
        EXPECT_EQ(CXQrEncoder::m_modules[8][n - 8], 1); // the dark module
    }
    // 60 bytes need version 7, the first with version information (0x07C94).
    ASSERT_TRUE(CXQrEncoder::Encode(std::string(60, 'x').c_str()));
    ASSERT_EQ(CXQrEncoder::m_nSize, 45);
    int topRight = 0, bottomLeft = 0;
    for (int i = 0; i < 18; ++i) {
        topRight |= CXQrEncoder::m_modules[45 - 11 + i % 3][i / 3] << i;
        bottomLeft |= CXQrEncoder::m_modules[i / 3][45 - 11 + i % 3] << i;
    }
    EXPECT_EQ(topRight, 0x07C94);
    EXPECT_EQ(bottomLeft, 0x07C94);
}

// How the runs are merged shows in the version. "1234A56789" fits version 1 only as one
// alphanumeric run (68 bits; numeric, alphanumeric, numeric would take 78). "a1b2c3d4e5"
// fits version 2 as one byte run (92 bits; ten runs would take 190 and version 3). Thirty
// digits between letters stay numeric (170 bits, version 3; one byte run: 284, version 4).
TEST(CXQrEncoder, ShortRunsAreMerged)
{
    const struct
    {
        const char* text;
        int size;
    } cases[] = {{"1234A56789", 21}, {"a1b2c3d4e5", 25}, {"ab123456789012345678901234567890cd", 29}};
    for (const auto& c : cases) {
        ASSERT_TRUE(CXQrEncoder::Encode(c.text));
        EXPECT_EQ(CXQrEncoder::m_nSize, c.size) << c.text;
        if (HaveQrDecoder()) {
            EXPECT_EQ(DecodeQr(RenderQrModules()), c.text);
        }
    }
}

TEST(CXQrEncoder, SymbolsDecodeBackToTheirText)
{
    if (!HaveQrDecoder())
        GTEST_SKIP() << "zbarimg is not installed (Debian package zbar-tools); round trips not checked";
    const char* texts[] = {
        "12345",
        "HELLO WORLD",
        "http://192.168.1.20:8080/login?id=3",
        "https://relay.example.net/s/0123456789abcdef?code=ABCDEFGHIJ&state=1234",
        "https://open.example.com/oauth2/authorize?appid=wx0123456789abcdef&redirect_uri=https%3A%2F%2Fr.example.net"
        "&state=42",
        "ABC123def456GHI789:/.-+*%$ mixed 0000000000000000000000 tail",
        "http://学校.example/登录?名字=张三", // UTF-8 lead bytes once passed for Shift JIS Kanji
        "张三的课程表",
    };
    for (const char* text : texts) {
        ASSERT_TRUE(CXQrEncoder::Encode(text)) << text;
        EXPECT_EQ(DecodeQr(RenderQrModules()), QByteArray(text)) << text << " (" << CXQrEncoder::m_nSize << ")";
    }
    // one text per version
    int version = 0;
    for (int length : {7, 14, 24, 34, 44, 58, 64, 84, 98, 119}) {
        std::string text;
        for (int i = 0; i < length; ++i)
            text += "abcdefghijklmnopqrstuvwxyz"[(i * 7) % 26];
        ASSERT_TRUE(CXQrEncoder::Encode(text.c_str())) << length;
        EXPECT_EQ(CXQrEncoder::m_nSize, 4 * ++version + 17);
        EXPECT_EQ(DecodeQr(RenderQrModules()), QByteArray(text.c_str()))
            << length << " (" << CXQrEncoder::m_nSize << ")";
    }
}

} // namespace
