#pragma once

#include <QtCore/QString>

#include <cstdint>

// Versions a.b.c.d packed as a << 24 | b << 16 | c << 8 | d, so they compare as numbers.
constexpr std::uint32_t PackVersion(unsigned a, unsigned b, unsigned c, unsigned d)
{
    return (a & 0xFF) << 24 | (b & 0xFF) << 16 | (c & 0xFF) << 8 | (d & 0xFF);
}

// The program's own version (set by the build).
std::uint32_t GetOwnFileVersion();

// The day the program was built, "yyyy-MM-dd".
QString GetBuildDate();

// "%d.%d.%d.%d" with trailing ".0" parts dropped while longer than two characters:
// 4.5.0.0 -> "4.5", 10.0.0.0 -> "10", 0.0.0.0 -> "0".
QString FormatVersion(std::uint32_t version);

// Reads "a.b.c.d" back into the packed form, each part taken as one byte; missing or
// unreadable parts count as 0.
std::uint32_t ParseVersion(const QString& text);

// The original asked the operating system for its version; every system this program runs
// on qualifies.
bool IsWindowsVersionAtLeast(unsigned version);
