#include "CodePages.h"

#include <iconv.h>

#include <cerrno>

namespace {

QByteArray IconvName(int codePage)
{
    if (codePage == CP_ACP || codePage == 936)
        return QByteArrayLiteral("GBK");
    if (codePage == 1200)
        return QByteArrayLiteral("UTF-16LE");
    if (codePage == 20127)
        return QByteArrayLiteral("ASCII");
    if (codePage == 28591)
        return QByteArrayLiteral("ISO-8859-1");
    if (codePage == 54936)
        return QByteArrayLiteral("GB18030");
    return "CP" + QByteArray::number(codePage);
}

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

QString ToWide(const QByteArray& input, int codePage)
{
    const QByteArray bytes = UpToZero(input);
    if (bytes.isEmpty())
        return QString();
    if (codePage == CP_UTF8)
        return QString::fromUtf8(bytes);

    Converter cv("UTF-16LE", IconvName(codePage).constData());
    if (!cv.ok())
        return QString();
    QString out;
    out.reserve(bytes.size());
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
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

QByteArray ToMultiByte(const QString& input, int codePage)
{
    qsizetype end = input.indexOf(QChar(0));
    const QString text = end >= 0 ? input.left(end) : input;
    if (text.isEmpty())
        return QByteArray();
    if (codePage == CP_UTF8)
        return text.toUtf8();

    Converter cv(IconvName(codePage).constData(), "UTF-16LE");
    if (!cv.ok())
        return QByteArray();
    QByteArray out;
    out.reserve(text.size() * 2);
    char* in = reinterpret_cast<char*>(const_cast<QChar*>(text.constData()));
    size_t inLeft = static_cast<size_t>(text.size()) * 2;
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
            const char16_t unit = *reinterpret_cast<const char16_t*>(in);
            const size_t skip = (QChar::isHighSurrogate(unit) && inLeft >= 4) ? 4 : 2;
            in += skip;
            inLeft -= std::min(skip, inLeft);
            iconv(cv.get(), nullptr, nullptr, nullptr, nullptr);
        }
    }
    return out;
}
