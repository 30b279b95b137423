#include "Version.h"

#include "FormatString.h"

#include "LorvanVersion.h"

std::uint32_t GetOwnFileVersion()
{
    return PackVersion(LORVAN_VERSION_MAJOR, LORVAN_VERSION_MINOR, LORVAN_VERSION_PATCH, LORVAN_VERSION_TWEAK);
}

QString GetBuildDate() { return QStringLiteral(LORVAN_BUILD_DATE); }

QString FormatVersion(std::uint32_t v)
{
    QString text = FormatString(u"%d.%d.%d.%d", v >> 24 & 0xFF, v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF);
    while (text.size() > 2 && text.endsWith(QLatin1String(".0")))
        text.chop(2);
    return text;
}

std::uint32_t ParseVersion(const QString& text)
{
    // Scans like "%hhd.%hhd.%hhd.%hhd": each number wraps into one byte, and the first part
    // that cannot be read ends the scan with the rest left at 0.
    unsigned parts[4] = {0, 0, 0, 0};
    qsizetype pos = 0;
    const qsizetype n = text.size();
    for (int i = 0; i < 4; ++i) {
        while (pos < n && text[pos].isSpace())
            ++pos;
        bool negative = false;
        if (pos < n && (text[pos] == u'-' || text[pos] == u'+'))
            negative = text[pos++] == u'-';
        const qsizetype start = pos;
        long long value = 0;
        while (pos < n && text[pos] >= u'0' && text[pos] <= u'9') {
            value = (value * 10 + (text[pos].unicode() - u'0')) & 0xFFFFFFFF;
            ++pos;
        }
        if (pos == start)
            break;
        parts[i] = static_cast<unsigned>(negative ? -value : value) & 0xFF;
        if (i < 3) {
            if (pos >= n || text[pos] != u'.')
                break;
            ++pos;
        }
    }
    return PackVersion(parts[0], parts[1], parts[2], parts[3]);
}

bool IsWindowsVersionAtLeast(unsigned) { return true; }
