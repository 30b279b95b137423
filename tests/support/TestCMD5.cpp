#include "CMD5.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QtCore/QCryptographicHash>

namespace {

TEST(CMD5, Rfc1321Suite)
{
    const struct
    {
        const char* input;
        const char* digest;
    } cases[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Md5Hex(c.input, static_cast<int>(strlen(c.input))), c.digest) << c.input;
        EXPECT_EQ(Md5Hex(c.input, -1), c.digest) << c.input;
    }
    EXPECT_EQ(Md5Hex("abc\0def", -1), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex(nullptr, 0), "d41d8cd98f00b204e9800998ecf8427e");
}

// Lengths around the padding boundary, and the same bytes fed in uneven pieces.
TEST(CMD5, PaddingBoundariesAndPiecewiseUpdates)
{
    for (int length : {55, 56, 57, 63, 64, 65, 119, 120, 128, 1000}) {
        QByteArray data;
        for (int i = 0; i < length; ++i)
            data += static_cast<char>('a' + i % 26);
        const QByteArray expected = QCryptographicHash::hash(data, QCryptographicHash::Md5).toHex();
        EXPECT_EQ(Md5Hex(data.constData(), length), expected) << length;

        for (int piece : {1, 7, 63, 64, 65}) {
            CMD5 md5;
            for (int at = 0; at < length; at += piece)
                md5.Update(data.constData() + at, static_cast<size_t>(std::min(piece, length - at)));
            uint8_t digest[16];
            md5.Final(digest);
            EXPECT_EQ(QByteArray(reinterpret_cast<char*>(digest), 16).toHex(), expected) << length << "/" << piece;
        }
    }
}

TEST(CMD5, TextDigestIsOfUtf8AndEmptyTextGivesEmpty)
{
    EXPECT_EQ(Md5HexW(QString()), QString());
    EXPECT_EQ(Md5HexW(QStringLiteral("")), QString());
    EXPECT_EQ(Md5HexW(QStringLiteral("abc")), QStringLiteral("900150983cd24fb0d6963f7d28e17f72"));
    const QString chinese = QStringLiteral("钢琴课");
    EXPECT_EQ(chinese.toUtf8().size(), 9);
    EXPECT_EQ(Md5HexW(chinese),
              QString::fromLatin1(QCryptographicHash::hash(chinese.toUtf8(), QCryptographicHash::Md5).toHex()));
    // the text ends at its first zero character
    EXPECT_EQ(Md5HexW(QStringLiteral("abc") + QChar(0) + QStringLiteral("x")), Md5HexW(QStringLiteral("abc")));
}

} // namespace
