#include "TextUtils.h"

#include "CommandIds.h"
#include "FormatString.h"
#include "Resources.h"
#include "XAppServices.h"
#include "XString.h"

#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>

#include <climits>
#include <cmath>

QString JoinStrings(const QStringList& items, const QString& separator, bool tidy)
{
    QString text = items.join(separator);
    if (!tidy || separator.isEmpty())
        return text;
    text.replace(separator + separator, separator);
    qsizetype b = 0, e = text.size();
    while (b < e && separator.contains(text[b]))
        ++b;
    while (e > b && separator.contains(text[e - 1]))
        --e;
    return text.mid(b, e - b);
}

QString JoinInts(const QList<int>& items, const QString& separator)
{
    QString text;
    text.reserve(items.size() * 6);
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (i)
            text += separator;
        text += QString::number(items[i]);
    }
    return text;
}

int SplitStrings(const QString& input, QStringList& items, const QString& separator)
{
    items.clear();
    const QString text = TrimWhite(input);
    if (text.isEmpty())
        return 0;
    if (separator.isEmpty()) {
        items.append(text);
        return 1;
    }
    const bool csv = separator == QLatin1String(",");
    const qsizetype n = text.size();
    const qsizetype sepLen = separator.size();
    qsizetype start = 0;
    qsizetype i = 0;
    while (i <= n) {
        if (csv && i < n && text[i] == u'"') {
            // inside quotes separators do not split; an unclosed quote runs to the end
            const qsizetype close = text.indexOf(u'"', i + 1);
            i = close < 0 ? n : close + 1;
            continue; // the character after the closing quote may open quotes again ("")
        }
        if (i == n || QStringView(text).mid(i, sepLen) == separator) {
            QString item = text.mid(start, i - start);
            if (csv && item.contains(u'"')) {
                if (item.startsWith(u'"'))
                    item.remove(0, 1);
                if (item.endsWith(u'"'))
                    item.chop(1);
                item.replace(QLatin1String("\"\""), QLatin1String("\""));
            }
            items.append(item);
            if (i == n)
                break;
            i += sepLen;
            start = i;
            continue;
        }
        ++i;
    }
    return static_cast<int>(items.size());
}

int ReadLeadingInt(const QString& s)
{
    qsizetype i = 0;
    const qsizetype n = s.size();
    while (i < n && IsWhiteChar(s[i]))
        ++i;
    bool negative = false;
    if (i < n && (s[i] == u'-' || s[i] == u'+'))
        negative = s[i++] == u'-';
    long long v = 0;
    while (i < n && s[i] >= u'0' && s[i] <= u'9') {
        v = v * 10 + (s[i++].unicode() - u'0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            v = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        v = -v;
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

int SplitInts(const QString& text, QList<int>& items, const QString& separator)
{
    items.clear();
    if (TrimWhite(text).isEmpty())
        return 0;
    QStringList parts;
    SplitStrings(text, parts, separator);
    items.reserve(parts.size());
    for (const QString& p : parts)
        items.append(ReadLeadingInt(p));
    return static_cast<int>(items.size());
}

QString EscapeLikePattern(const QString& text)
{
    QString s = text;
    s.replace(QLatin1String("'"), QLatin1String("''"));
    s.replace(QLatin1String("["), QLatin1String("[[]"));
    s.replace(QLatin1String("%"), QLatin1String("[%]"));
    s.replace(QLatin1String("_"), QLatin1String("[_]"));
    s.replace(QLatin1String("^"), QLatin1String("[^]"));
    s.replace(QLatin1String("?"), QLatin1String("[?]"));
    return s;
}

namespace {

const char16_t kSuperDigits[10] = {0x2070, 0x00B9, 0x00B2, 0x00B3, 0x2074, 0x2075, 0x2076, 0x2077, 0x2078, 0x2079};
constexpr char16_t kSuperPlus = 0x207A, kSuperMinus = 0x207B;
constexpr char16_t kSubPlus = 0x208A, kSubMinus = 0x208B, kSubOpen = 0x208D, kSubClose = 0x208E;

} // namespace

int GetSupSubKind(QChar c)
{
    const char16_t u = c.unicode();
    for (char16_t d : kSuperDigits)
        if (u == d)
            return 1;
    if (u == kSuperPlus || u == kSuperMinus)
        return 1;
    if ((u >= 0x2080 && u <= 0x2089) || u == kSubPlus || u == kSubMinus || u == kSubOpen || u == kSubClose)
        return -1;
    return 0;
}

QString SupSubToAscii(const QString& text)
{
    QString s = text;
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        for (int d = 0; d < 10; ++d)
            if (u == kSuperDigits[d])
                c = QChar(u'0' + d);
        if (u >= 0x2080 && u <= 0x2089)
            c = QChar(u'0' + (u - 0x2080));
        else if (u == kSuperPlus || u == kSubPlus)
            c = u'+';
        else if (u == kSuperMinus || u == kSubMinus)
            c = u'-';
        else if (u == kSubOpen)
            c = u'(';
        else if (u == kSubClose)
            c = u')';
    }
    return s;
}

QString AsciiToSupSub(const QString& text, bool superscript)
{
    QString s = text;
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        if (u >= u'0' && u <= u'9')
            c = QChar(superscript ? kSuperDigits[u - u'0'] : char16_t(0x2080 + (u - u'0')));
        else if (u == u'+')
            c = QChar(superscript ? kSuperPlus : kSubPlus);
        else if (u == u'-')
            c = QChar(superscript ? kSuperMinus : kSubMinus);
        else if (!superscript && u == u'(')
            c = QChar(kSubOpen);
        else if (!superscript && u == u')')
            c = QChar(kSubClose);
    }
    return s;
}

QString SimplifyText(const QString& input, int maxLength, bool oneLine)
{
    if (input.isNull())
        return QStringLiteral("");
    QString s = TrimWhite(input);
    if (oneLine) {
        for (QChar& c : s)
            if (c == u'\r' || c == u'\n' || c == u'\t')
                c = u' ';
        s.replace(QLatin1String("  "), QLatin1String(" "));
    }
    for (QChar& c : s) {
        const char16_t u = c.unicode();
        if ((u >= 0xFF10 && u <= 0xFF19) || (u >= 0xFF21 && u <= 0xFF3A) || (u >= 0xFF41 && u <= 0xFF5A))
            c = QChar(char16_t(u - 0xFEE0));
        else if (u == 0xFF20)
            c = u'@';
        else if (u == 0xFF06)
            c = u'&';
        else if (u == 0xFF04)
            c = u'$';
        else if (u == 0xFFE5)
            c = QChar(0x00A5);
        else if (u == 0xFF03)
            c = u'#';
        else if (u == 0xFF0A)
            c = u'*';
        else if (u == 0xFF05)
            c = u'%';
    }
    if (maxLength >= 0 && s.size() > maxLength)
        s = s.left(std::max(maxLength - 5, 0)) + QLatin1String(" ...");
    return s;
}

QString FormatMoneyUpper(double amount)
{
    static const char16_t kDigits[] = u"零壹贰叁肆伍陆柒捌玖";
    static const char16_t kUnits[] = u"分角元拾佰仟万拾佰仟亿拾佰仟万拾佰仟";
    if (amount == 0)
        return QStringLiteral("零元整");
    QString out;
    if (amount < 0)
        out = QStringLiteral("负");
    // Rounded to the nearest fen: the figure printed beside the capitals is rounded too, and
    // amounts summed in floating point land just below the fen (1.15 * 100 = 114.999...).
    const double fenValue = std::fabs(amount) * 100.0;
    if (!std::isfinite(fenValue) || fenValue >= 1e15)
        return QStringLiteral("值超范围");
    const long long fen = std::llround(fenValue);
    if (fen == 0)
        return QStringLiteral("零元整");
    const QString digits = QString::number(fen);
    const qsizetype len = digits.size();
    int zeros = 0;
    for (qsizetype k = 0; k < len; ++k) {
        const int d = digits[k].unicode() - u'0';
        const qsizetype pos = len - 1 - k;
        if (d != 0) {
            if (zeros > 0)
                out += QChar(kDigits[0]);
            out += QChar(kDigits[d]);
            out += QChar(kUnits[pos]);
            zeros = 0;
            continue;
        }
        if (pos == 2 || pos == 10 || ((pos == 6 || pos == 14) && zeros < 3))
            out += QChar(kUnits[pos]);
        ++zeros;
    }
    if (digits.endsWith(QLatin1String("00")))
        out += QStringLiteral("整");
    return out;
}

QString FormatOneDecimal(double value)
{
    QString s = FormatString(u"%1.1f", value);
    if (s.contains(u'.')) {
        while (s.endsWith(u'0'))
            s.chop(1);
        if (s.endsWith(u'.'))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0"); // a small negative value rounds to zero, which has no sign
    return s;
}

XDateTime AlignToWeekday(const XDateTime& date, const XDateTime& weekdayDate, bool backward)
{
    if (date.Day() == 0 || weekdayDate.Day() == 0)
        return date;
    const XDateTime day = date.DateOnly();
    const int from = day.DayOfWeek();
    const int to = weekdayDate.DayOfWeek();
    if (from < 0 || to < 0)
        return date;
    if (backward)
        return day.AddDays(-((from - to + 7) % 7));
    return day.AddDays((to - from + 7) % 7);
}

bool CopyToClipboard(QWidget* owner, const QString& text)
{
    if (text.isEmpty())
        return false;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (QClipboard* clipboard = QGuiApplication::clipboard())
            clipboard->setText(text);
    }
    const QString shown = text.size() > 300 ? text.left(255) + QLatin1String("\r\n...") : text;
    AppServices().MessageBox(owner, FormatString(u"已复制以下内容到剪贴板！\r\n\r\n%s", shown),
                             LoadCommandText(ID_EDIT_COPYSEL), MB_OK | MB_ICONINFORMATION);
    return true;
}

QString AddThousandsSeparators(const QString& number)
{
    const auto isDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    qsizetype end = number.indexOf(u'.');
    if (end < 0)
        end = number.size();
    while (end > 0 && !isDigit(number[end - 1]))
        --end;
    qsizetype start = 0;
    while (start < end && !isDigit(number[start]))
        ++start;
    const qsizetype k = end - start;
    if (k <= 3)
        return number;
    QString out = number.left(start);
    qsizetype group = (k - 1) % 3 + 1;
    for (qsizetype i = start; i < end; ++i) {
        out += number[i];
        if (--group == 0 && i + 1 < end) {
            out += u',';
            group = 3;
        }
    }
    out += number.mid(end);
    return out;
}
