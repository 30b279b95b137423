#include "CodePages.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

class Converter
{
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

QByteArray UpToZero(const QByteArray& bytes)
{
    const qsizetype zero = bytes.indexOf('\0');
    return zero >= 0 ? bytes.left(zero) : bytes;
}

} // namespace

QByteArray CodePageIconvName(int codePage)
{
    struct Entry
    {
        int codePage;
        const char* name;
    };
    // Pages whose iconv name is not simply "CP<n>".
    static constexpr Entry names[] = {
        {154, "PT154"},         {37, "IBM037"},         {500, "IBM500"},         {870, "IBM870"},
        {1026, "IBM1026"},      {1047, "IBM1047"},      {1200, "UTF-16LE"},      {1201, "UTF-16BE"},
        {1361, "JOHAB"},        {10000, "MACINTOSH"},   {10007, "MAC-CYRILLIC"}, {20127, "ASCII"},
        {20866, "KOI8-R"},      {21866, "KOI8-U"},      {28591, "ISO-8859-1"},   {28592, "ISO-8859-2"},
        {28593, "ISO-8859-3"},  {28594, "ISO-8859-4"},  {28595, "ISO-8859-5"},   {28596, "ISO-8859-6"},
        {28597, "ISO-8859-7"},  {28598, "ISO-8859-8"},  {28599, "ISO-8859-9"},   {28603, "ISO-8859-13"},
        {28605, "ISO-8859-15"}, {38598, "ISO-8859-8"},  {50220, "ISO-2022-JP"},  {50221, "ISO-2022-JP"},
        {50222, "ISO-2022-JP"}, {50225, "ISO-2022-KR"}, {51932, "EUC-JP"},       {51936, "EUC-CN"},
        {51949, "EUC-KR"},      {54936, "GB18030"},     {65000, "UTF-7"},        {65001, "UTF-8"},
    };
    if (codePage == CP_ACP || codePage == 936)
        return QByteArrayLiteral("GBK");
    for (const Entry& e : names)
        if (e.codePage == codePage)
            return QByteArray(e.name);
    // the EBCDIC pages 20273..20905 are IBM273..IBM905
    if (codePage > 20200 && codePage < 21000)
        return "IBM" + QByteArray::number(codePage - 20000);
    return "CP" + QByteArray::number(codePage);
}

QString DecodeCodePage(const char* bytes, qsizetype size, int codePage)
{
    Converter cv("UTF-16LE", CodePageIconvName(codePage).constData());
    if (!cv.ok() || size <= 0)
        return QString();
    QString out;
    out.reserve(size);
    char* in = const_cast<char*>(bytes);
    size_t inLeft = static_cast<size_t>(size);
    char16_t buf[512];
    while (inLeft > 0) {
        char* outPtr = reinterpret_cast<char*>(buf);
        size_t outLeft = sizeof buf;
        const size_t r = iconv(cv.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(reinterpret_cast<const QChar*>(buf), static_cast<qsizetype>((sizeof buf - outLeft) / 2));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // an invalid or cut-off sequence: one replacement character, then go on after
            // the offending byte
            out.append(QChar(QChar::ReplacementCharacter));
            ++in;
            --inLeft;
            iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

QByteArray EncodeCodePage(const char16_t* units, qsizetype count, int codePage, bool* lost)
{
    Converter cv(CodePageIconvName(codePage).constData(), "UTF-16LE");
    if (!cv.ok() || count <= 0)
        return QByteArray();
    QByteArray out;
    out.reserve(count * 2);
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(units));
    size_t inLeft = static_cast<size_t>(count) * 2;
    char buf[1024];
    while (inLeft > 0) {
        char* outPtr = buf;
        size_t outLeft = sizeof buf;
        const size_t r = iconv(cv.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(buf, static_cast<qsizetype>(sizeof buf - outLeft));
        if (r == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // a character the page cannot hold becomes "?", a surrogate pair as one character
            out.append('?');
            if (lost)
                *lost = true;
            char16_t unit;
            std::memcpy(&unit, in, sizeof unit);
            const size_t skip = (QChar::isHighSurrogate(unit) && inLeft >= 4) ? 4 : 2;
            in += skip;
            inLeft -= std::min(skip, inLeft);
            iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}

QString ToWide(const QByteArray& input, int codePage)
{
    const QByteArray bytes = UpToZero(input);
    if (bytes.isEmpty())
        return QString();
    if (codePage == CP_UTF8)
        return QString::fromUtf8(bytes);
    return DecodeCodePage(bytes.constData(), bytes.size(), codePage);
}

QByteArray ToMultiByte(const QString& input, int codePage)
{
    qsizetype end = input.indexOf(QChar(0));
    const QString text = end >= 0 ? input.left(end) : input;
    if (text.isEmpty())
        return QByteArray();
    if (codePage == CP_UTF8)
        return text.toUtf8();
    return EncodeCodePage(reinterpret_cast<const char16_t*>(text.utf16()), text.size(), codePage);
}
