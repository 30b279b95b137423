#include "FormatString.h"

#include <charconv>
#include <cmath>

namespace xfmt {
namespace {

struct Spec
{
    bool left = false, plus = false, space = false, alt = false, zero = false;
    int width = -1;
    int precision = -1;
    int narrow = 0; // 1 = h, 2 = hh
    char16_t conv = 0;
};

void Pad(QString& out, qsizetype n, QChar c)
{
    if (n > 0)
        out.append(QString(n, c));
}

// Writes body with sign/prefix, honouring width, '-' and '0' (zero padding goes between
// the prefix and the digits, as printf does).
void Emit(QString& out, const Spec& sp, QStringView prefix, QStringView body, bool zeroAllowed)
{
    const qsizetype len = prefix.size() + body.size();
    const qsizetype fill = sp.width > len ? sp.width - len : 0;
    if (sp.left) {
        out += prefix;
        out += body;
        Pad(out, fill, u' ');
    } else if (sp.zero && zeroAllowed) {
        out += prefix;
        Pad(out, fill, u'0');
        out += body;
    } else {
        Pad(out, fill, u' ');
        out += prefix;
        out += body;
    }
}

unsigned long long AsUnsigned(const Arg& a, int narrow)
{
    unsigned long long v;
    switch (a.kind) {
    case Arg::Int:
    case Arg::Char:
        v = static_cast<unsigned long long>(a.i);
        if (a.bits && a.bits < 64)
            v &= (1ULL << a.bits) - 1;
        break;
    case Arg::UInt:
    case Arg::Ptr:
        v = a.u;
        break;
    case Arg::Double:
        v = static_cast<unsigned long long>(static_cast<long long>(a.d));
        break;
    default:
        v = 0;
        break;
    }
    if (narrow == 1)
        v &= 0xFFFF;
    else if (narrow == 2)
        v &= 0xFF;
    return v;
}

long long AsSigned(const Arg& a, int narrow)
{
    long long v;
    switch (a.kind) {
    case Arg::Int:
    case Arg::Char:
        v = a.i;
        break;
    case Arg::UInt:
        v = static_cast<long long>(a.u);
        // an unsigned int given to %d reads as the int of the same bits, as printf would
        if (a.bits == 32)
            v = static_cast<int>(static_cast<unsigned>(a.u));
        break;
    case Arg::Double:
        v = std::isfinite(a.d) ? static_cast<long long>(a.d) : 0;
        break;
    default:
        v = 0;
        break;
    }
    if (narrow == 1)
        v = static_cast<short>(v);
    else if (narrow == 2)
        v = static_cast<signed char>(v);
    return v;
}

double AsDouble(const Arg& a)
{
    switch (a.kind) {
    case Arg::Double:
        return a.d;
    case Arg::Int:
    case Arg::Char:
        return static_cast<double>(a.i);
    case Arg::UInt:
        return static_cast<double>(a.u);
    default:
        return 0;
    }
}

QString Digits(unsigned long long v, int base, bool upper)
{
    char buf[72];
    auto r = std::to_chars(buf, buf + sizeof buf, v, base);
    QString s = QString::fromLatin1(buf, r.ptr - buf);
    return upper ? s.toUpper() : s;
}

void FormatInteger(QString& out, const Spec& sp, const Arg& a)
{
    const char16_t c = sp.conv;
    QString prefix;
    QString body;
    if (c == u'd' || c == u'i') {
        const long long v = AsSigned(a, sp.narrow);
        const unsigned long long mag =
            v < 0 ? 0ULL - static_cast<unsigned long long>(v) : static_cast<unsigned long long>(v);
        body = Digits(mag, 10, false);
        if (v < 0)
            prefix = QStringLiteral("-");
        else if (sp.plus)
            prefix = QStringLiteral("+");
        else if (sp.space)
            prefix = QStringLiteral(" ");
    } else {
        const unsigned long long v = AsUnsigned(a, sp.narrow);
        const int base = (c == u'o') ? 8 : (c == u'x' || c == u'X' || c == u'p') ? 16 : 10;
        body = Digits(v, base, c == u'X' || c == u'p');
        if (sp.alt && v != 0 && (c == u'x' || c == u'X'))
            prefix = c == u'x' ? QStringLiteral("0x") : QStringLiteral("0X");
        if (sp.alt && c == u'o' && body[0] != u'0')
            body.prepend(u'0');
    }
    if (sp.precision >= 0) {
        if (sp.precision == 0 && body == QLatin1String("0"))
            body.clear();
        else if (body.size() < sp.precision)
            body.prepend(QString(sp.precision - body.size(), u'0'));
    }
    Emit(out, sp, prefix, body, sp.precision < 0);
}

void FormatFloat(QString& out, const Spec& sp, const Arg& a)
{
    const double v = AsDouble(a);
    const char16_t c = sp.conv;
    const bool upper = c == u'F' || c == u'E' || c == u'G' || c == u'A';
    QString prefix;
    if (std::signbit(v))
        prefix = QStringLiteral("-");
    else if (sp.plus)
        prefix = QStringLiteral("+");
    else if (sp.space)
        prefix = QStringLiteral(" ");

    const double mag = std::fabs(v);
    QString body;
    if (std::isnan(v) || std::isinf(v)) {
        body = std::isnan(v) ? QStringLiteral("nan") : QStringLiteral("inf");
        if (upper)
            body = body.toUpper();
        Emit(out, sp, prefix, body, false);
        return;
    }

    char buf[400];
    std::to_chars_result r;
    const int prec = sp.precision < 0 ? 6 : sp.precision;
    switch (c) {
    case u'e':
    case u'E':
        r = std::to_chars(buf, buf + sizeof buf, mag, std::chars_format::scientific, prec);
        break;
    case u'g':
    case u'G':
        r = std::to_chars(buf, buf + sizeof buf, mag, std::chars_format::general, prec == 0 ? 1 : prec);
        break;
    case u'a':
    case u'A':
        r = sp.precision < 0 ? std::to_chars(buf, buf + sizeof buf, mag, std::chars_format::hex)
                             : std::to_chars(buf, buf + sizeof buf, mag, std::chars_format::hex, prec);
        prefix += upper ? QStringLiteral("0X") : QStringLiteral("0x");
        break;
    default:
        r = std::to_chars(buf, buf + sizeof buf, mag, std::chars_format::fixed, prec);
        break;
    }
    if (r.ec != std::errc()) {
        // Only a fixed text of a huge value can overflow the buffer; fall back to exponent form.
        r = std::to_chars(buf, buf + sizeof buf, mag, std::chars_format::scientific, prec);
    }
    body = QString::fromLatin1(buf, r.ptr - buf);
    if (sp.alt && !body.contains(u'.') && (c == u'f' || c == u'F' || c == u'e' || c == u'E')) {
        const qsizetype e = body.indexOf(u'e');
        body.insert(e < 0 ? body.size() : e, u'.');
    }
    if (upper)
        body = body.toUpper();
    Emit(out, sp, prefix, body, true);
}

QString ArgText(const Arg& a)
{
    switch (a.kind) {
    case Arg::Str:
        return a.s;
    case Arg::Char:
        return QString(QChar(static_cast<char16_t>(a.i)));
    case Arg::Int:
        return QString::number(a.i);
    case Arg::UInt:
        return QString::number(a.u);
    case Arg::Double:
        return QString::number(a.d, 'g', 15);
    default:
        return QString();
    }
}

} // namespace

QString Format(QStringView fmt, const Arg* args, std::size_t count)
{
    QString out;
    out.reserve(fmt.size() + 16 * static_cast<qsizetype>(count));
    std::size_t next = 0;
    const Arg none;
    auto take = [&]() -> const Arg& { return next < count ? args[next++] : none; };

    const qsizetype n = fmt.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar ch = fmt[i];
        if (ch != u'%') {
            qsizetype j = i + 1;
            while (j < n && fmt[j] != u'%')
                ++j;
            out += fmt.mid(i, j - i);
            i = j;
            continue;
        }
        const qsizetype start = i++;
        if (i < n && fmt[i] == u'%') {
            out += u'%';
            ++i;
            continue;
        }
        Spec sp;
        for (; i < n; ++i) {
            const char16_t f = fmt[i].unicode();
            if (f == u'-')
                sp.left = true;
            else if (f == u'+')
                sp.plus = true;
            else if (f == u' ')
                sp.space = true;
            else if (f == u'#')
                sp.alt = true;
            else if (f == u'0')
                sp.zero = true;
            else
                break;
        }
        if (i < n && fmt[i] == u'*') {
            const long long w = AsSigned(take(), 0);
            if (w < 0) {
                sp.left = true;
                sp.width = static_cast<int>(-w);
            } else {
                sp.width = static_cast<int>(w);
            }
            ++i;
        } else {
            while (i < n && fmt[i].isDigit() && fmt[i].unicode() < 128) {
                sp.width = (sp.width < 0 ? 0 : sp.width) * 10 + (fmt[i].unicode() - u'0');
                if (sp.width > 100000)
                    sp.width = 100000;
                ++i;
            }
        }
        if (i < n && fmt[i] == u'.') {
            ++i;
            sp.precision = 0;
            if (i < n && fmt[i] == u'*') {
                const long long p = AsSigned(take(), 0);
                sp.precision = p < 0 ? -1 : static_cast<int>(std::min(p, 100000LL));
                ++i;
            } else {
                while (i < n && fmt[i].isDigit() && fmt[i].unicode() < 128) {
                    sp.precision = sp.precision * 10 + (fmt[i].unicode() - u'0');
                    if (sp.precision > 100000)
                        sp.precision = 100000;
                    ++i;
                }
            }
        }
        // length modifiers: only h and hh narrow the value; the rest are accepted and ignored
        while (i < n) {
            const char16_t m = fmt[i].unicode();
            if (m == u'h') {
                sp.narrow = sp.narrow == 1 ? 2 : 1;
                ++i;
            } else if (m == u'l' || m == u'L' || m == u'q' || m == u'j' || m == u'z' || m == u't' || m == u'w') {
                ++i;
            } else if (m == u'I') {
                ++i;
                if (i + 1 < n && ((fmt[i] == u'6' && fmt[i + 1] == u'4') || (fmt[i] == u'3' && fmt[i + 1] == u'2')))
                    i += 2;
            } else {
                break;
            }
        }
        if (i >= n) {
            out += fmt.mid(start); // a lone or unfinished "%" at the end stands as written
            break;
        }
        sp.conv = fmt[i++].unicode();
        const bool known = QStringView(u"diuoxXpfFeEgGaAcCsSn").contains(QChar(sp.conv));
        if (!known) {
            out += fmt.mid(start, i - start); // unknown conversion: keep the text as written
            continue;
        }
        const Arg& a = take();
        if (a.kind == Arg::None)
            continue; // a missing argument writes nothing
        switch (sp.conv) {
        case u'd':
        case u'i':
        case u'u':
        case u'o':
        case u'x':
        case u'X':
            FormatInteger(out, sp, a);
            break;
        case u'p': {
            Spec p = sp;
            p.precision = sizeof(void*) * 2;
            FormatInteger(out, p, a);
            break;
        }
        case u'f':
        case u'F':
        case u'e':
        case u'E':
        case u'g':
        case u'G':
        case u'a':
        case u'A':
            FormatFloat(out, sp, a);
            break;
        case u'c':
        case u'C': {
            const QString body =
                a.kind == Arg::Str ? a.s.left(1) : QString(QChar(static_cast<char16_t>(AsUnsigned(a, 0))));
            Emit(out, sp, {}, body, false);
            break;
        }
        case u's':
        case u'S': {
            QString body = ArgText(a);
            if (sp.precision >= 0 && body.size() > sp.precision)
                body.truncate(sp.precision);
            Emit(out, sp, {}, body, false);
            break;
        }
        default: // %n never writes through a pointer
            break;
        }
    }
    return out;
}

} // namespace xfmt
