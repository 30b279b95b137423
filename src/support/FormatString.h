#pragma once

#include <QtCore/QString>
#include <QtCore/QStringView>
#include <QtCore/QByteArray>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

// printf-style formatting of the program's texts ("%1.2f", "%+d 次", "%s"). Each argument is
// formatted by its C++ type, so "%s" takes a QString (or UTF-8 char text) and "%d" any
// integer. Supported: %d %i %u %o %x %X %c %s %S %f %F %e %E %g %G %a %A %p %%, the flags
// "-+ #0", width and precision (also "*"), and length modifiers, of which only h and hh
// change a value (they narrow it). The output does not depend on the machine's locale.
namespace xfmt {

struct Arg
{
    enum Kind : unsigned char { None, Int, UInt, Double, Str, Char, Ptr };

    Kind kind = None;
    unsigned char bits = 0; // width of an integer argument, for %x of negative values
    long long i = 0;
    unsigned long long u = 0;
    double d = 0;
    QString s;

    Arg() = default;

    template <class T> Arg(const T& v) // NOLINT: implicit on purpose, built from each argument of FormatString
    {
        using D = std::decay_t<T>;
        if constexpr (std::is_same_v<D, bool>) {
            kind = Int;
            bits = 32;
            i = v ? 1 : 0;
        } else if constexpr (std::is_same_v<D, char> || std::is_same_v<D, char16_t> || std::is_same_v<D, QChar> ||
                             std::is_same_v<D, wchar_t>) {
            kind = Char;
            if constexpr (std::is_same_v<D, QChar>)
                i = v.unicode();
            else if constexpr (std::is_same_v<D, char>)
                i = static_cast<unsigned char>(v);
            else
                i = static_cast<long long>(v);
            u = static_cast<unsigned long long>(i);
            bits = 16;
        } else if constexpr (std::is_enum_v<D>) {
            kind = Int;
            bits = sizeof(D) * 8;
            i = static_cast<long long>(v);
        } else if constexpr (std::is_integral_v<D> && std::is_signed_v<D>) {
            kind = Int;
            bits = sizeof(D) * 8;
            i = v;
        } else if constexpr (std::is_integral_v<D>) {
            kind = UInt;
            bits = sizeof(D) * 8;
            u = v;
            i = static_cast<long long>(v);
        } else if constexpr (std::is_floating_point_v<D>) {
            kind = Double;
            d = static_cast<double>(v);
        } else if constexpr (std::is_same_v<D, QString>) {
            kind = Str;
            s = v;
        } else if constexpr (std::is_convertible_v<D, QStringView> && !std::is_pointer_v<D>) {
            kind = Str;
            s = QStringView(v).toString();
        } else if constexpr (std::is_same_v<D, QLatin1String>) {
            kind = Str;
            s = QString(v);
        } else if constexpr (std::is_same_v<D, QByteArray> || std::is_same_v<D, std::string> ||
                             std::is_same_v<D, std::string_view>) {
            kind = Str;
            s = QString::fromUtf8(v.data(), static_cast<qsizetype>(v.size()));
        } else if constexpr (std::is_same_v<D, const char*> || std::is_same_v<D, char*>) {
            const std::remove_pointer_t<D>* p = v; // also an array, decayed
            kind = Str;
            s = p ? QString::fromUtf8(p) : QString();
        } else if constexpr (std::is_same_v<D, const char16_t*> || std::is_same_v<D, char16_t*>) {
            const std::remove_pointer_t<D>* p = v; // also an array, decayed
            kind = Str;
            s = p ? QString::fromUtf16(p) : QString();
        } else if constexpr (std::is_same_v<D, const QChar*> || std::is_same_v<D, QChar*>) {
            kind = Str;
            if (v) {
                qsizetype n = 0;
                while (v[n] != QChar(0))
                    ++n;
                s = QString(v, n);
            }
        } else if constexpr (std::is_pointer_v<D> || std::is_null_pointer_v<D>) {
            kind = Ptr;
            u = reinterpret_cast<std::uintptr_t>(static_cast<const void*>(v));
        } else {
            static_assert(sizeof(D) == 0, "FormatString: argument type not supported");
        }
    }
};

QString Format(QStringView fmt, const Arg* args, std::size_t count);

} // namespace xfmt

// A null or empty format gives an empty text.
template <class... A> QString FormatString(QStringView fmt, const A&... args)
{
    if (fmt.isEmpty())
        return QString();
    const xfmt::Arg list[] = {xfmt::Arg(args)..., xfmt::Arg()};
    return xfmt::Format(fmt, list, sizeof...(A));
}

// The same with a UTF-8 format.
template <class... A> QString FormatString(const char* fmt, const A&... args)
{
    if (!fmt || !*fmt)
        return QString();
    return FormatString(QStringView(QString::fromUtf8(fmt)), args...);
}
