#include "XString.h"

bool IsWhiteChar(QChar c)
{
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\n' || u == u'\r' || u == u'\v' || u == u'\f' || u == 0x00A0 ||
           u == 0x3000;
}

QString TrimWhiteLeft(const QString& text)
{
    qsizetype b = 0;
    while (b < text.size() && IsWhiteChar(text[b]))
        ++b;
    return b == 0 ? text : text.mid(b);
}

QString TrimWhiteRight(const QString& text)
{
    qsizetype e = text.size();
    while (e > 0 && IsWhiteChar(text[e - 1]))
        --e;
    return e == text.size() ? text : text.left(e);
}

QString TrimWhite(const QString& text)
{
    qsizetype b = 0, e = text.size();
    while (b < e && IsWhiteChar(text[b]))
        ++b;
    while (e > b && IsWhiteChar(text[e - 1]))
        --e;
    return (b == 0 && e == text.size()) ? text : text.mid(b, e - b);
}

int CompareNoCase(QStringView a, QStringView b) { return a.compare(b, Qt::CaseInsensitive); }

bool EqualsNoCase(QStringView a, QStringView b)
{
    return a.size() == b.size() && a.compare(b, Qt::CaseInsensitive) == 0;
}
