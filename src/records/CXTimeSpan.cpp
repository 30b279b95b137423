#include "CXTimeSpan.h"

#include "TextUtils.h"
#include "XThread.h"

#include <QtCore/QCoreApplication>

#include <cmath>

namespace {

int HourOf(const XDateTime& t) { return t.IsValid() ? t.Hour() : -1; }
int MinuteOf(const XDateTime& t) { return t.IsValid() ? t.Minute() : -1; }

XDateTime TimeOfDay(int hour, int minute)
{
    double day = hour / 24.0 + minute / 1440.0;
    day -= std::floor(day);
    return XDateTime(day);
}

// The time a span part means, in minutes of the day, for the overlap test.
double Minutes(const XDateTime& t) { return std::round(t.Day() * 1440.0); }

} // namespace

void CXTimeSpan::Set(const XDateTime& begin, const XDateTime& end)
{
    m_nValue = HourOf(begin) * 1000000 + MinuteOf(begin) * 10000 + HourOf(end) * 100 + MinuteOf(end);
}

void CXTimeSpan::SetBeginDuration(const XDateTime& begin, int minutes) { Set(begin, begin.AddDays(minutes / 1440.0)); }

XDateTime CXTimeSpan::GetBegin() const
{
    const int hour = m_nValue / 1000000;
    const int minute = m_nValue / 10000 - 100 * hour;
    return TimeOfDay(hour, minute);
}

XDateTime CXTimeSpan::GetEnd() const
{
    const int rest = m_nValue % 10000;
    return TimeOfDay(rest / 100, rest % 100);
}

bool CXTimeSpan::Parse(const QString& text)
{
    m_nValue = 0;
    QString t = text;
    t.replace(QChar(0xFF5E), u'~');
    QStringList parts;
    if (SplitStrings(t, parts, QStringLiteral("~")) != 2)
        return false;
    XDateTime begin, end;
    if (!begin.ParseDateTime(parts[0]) || !end.ParseDateTime(parts[1]))
        return false;
    Set(begin, end);
    return true;
}

QString CXTimeSpan::Format() const
{
    const QString format =
        (IsUiThread() && QCoreApplication::instance()) ? QStringLiteral("%#H:%M") : QStringLiteral("%H:%M");
    return GetBegin().Format(format) + u'~' + GetEnd().Format(format);
}

bool CXTimeSpan::Overlaps(const CXTimeSpan& other) const
{
    const double b = Minutes(GetBegin()), e = Minutes(GetEnd());
    const double ob = Minutes(other.GetBegin()), oe = Minutes(other.GetEnd());
    if (m_nValue != 0 && m_nValue == other.m_nValue)
        return true;
    return (b > ob && b < oe) || (e > ob && e < oe);
}

namespace {

// Dates as the range compares them: equal within half a second or both null; "less" only
// between two valid dates.
bool DateEqual(const XDateTime& a, const XDateTime& b) { return a == b; }
bool DateLess(const XDateTime& a, const XDateTime& b) { return a.IsValid() && b.IsValid() && a < b; }

} // namespace

int CXDateRange::Compare(const CXDateRange& other) const
{
    if (DateEqual(m_begin, other.m_begin)) {
        if (DateEqual(m_end, other.m_end))
            return 0;
        return DateLess(m_end, other.m_end) ? -1 : 1;
    }
    return DateLess(m_begin, other.m_begin) ? -1 : 1;
}

QString CXDateRange::Format(const QString& format) const
{
    const QString f = format.isEmpty() ? QStringLiteral("%Y年%#m月%#d日") : format;
    const bool hasBegin = m_begin.Day() != 0;
    const bool hasEnd = m_end.Day() != 0;
    if (!hasBegin && !hasEnd)
        return QString();
    if (hasBegin && hasEnd) {
        if (DateEqual(m_begin, m_end))
            return m_begin.Format(f);
        return m_begin.Format(f) + QStringLiteral("至") + m_end.Format(f);
    }
    if (hasBegin)
        return m_begin.Format(f) + QStringLiteral("起");
    return m_end.Format(f) + QStringLiteral("止");
}
