#include "Pinyin.h"

#include "CodePages.h"

#include <algorithm>
#include <iterator>

namespace {

struct PinyinRange
{
    short first;    // qu-wei code of the first character of the syllable
    short syllable; // index into kSyllables
};

struct PinyinRow
{
    short code;
    short syllable;
};

#include "PinyinTables.inc"

constexpr int kLevel1First = 1601;
constexpr int kLevel1Last = 5589;
constexpr int kLevel2First = 5601;

bool IsGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool IsGbkTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

} // namespace

const char* GetPinyinSyllable(int code)
{
    if (code >= kLevel2First) {
        const auto it = std::lower_bound(std::begin(kLevel2), std::end(kLevel2), code,
                                         [](const PinyinRow& r, int c) { return r.code < c; });
        if (it != std::end(kLevel2) && it->code == code)
            return kSyllables[it->syllable];
        return "?";
    }
    if (code < kLevel1First || code > kLevel1Last)
        return "?";
    // the last range whose first code is not above the code
    const auto it = std::upper_bound(std::begin(kLevel1), std::end(kLevel1), code,
                                     [](int c, const PinyinRange& r) { return c < r.first; });
    return kSyllables[std::prev(it)->syllable];
}

QByteArray GbkToPinyin(const QByteArray& bytes)
{
    QByteArray out;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            out.append(static_cast<char>(c));
            continue;
        }
        if (i + 1 >= n)
            break;
        const auto t = static_cast<unsigned char>(bytes[i + 1]);
        if (c >= 0xA1 && t >= 0xA1) {
            out.append(GetPinyinSyllable((c - 0xA0) * 100 + (t - 0xA0)));
            ++i;
        } else if (IsGbkLead(c) && IsGbkTrail(t)) {
            // a GBK extension character: read whole, so its trail byte cannot pass for ASCII
            out.append('?');
            ++i;
        }
    }
    return out;
}

QString GetPinyin(const QString& text, bool initials)
{
    QString out;
    for (const QChar ch : text) {
        if (ch.unicode() <= 127) {
            if (!initials)
                out.append(ch);
            continue;
        }
        const QByteArray spelled = GbkToPinyin(ToMultiByte(QString(ch), CP_ACP));
        if (spelled.isEmpty())
            continue;
        if (initials)
            out.append(QLatin1Char(spelled[0]));
        else
            out.append(QString::fromLatin1(spelled));
    }
    return out;
}
