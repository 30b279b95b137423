#include "XDateTime.h"

#include <QtCore/QDateTime>

#include <atomic>
#include <cmath>

namespace {

// Julian day numbers, so that the constants exist before any static initialiser of another
// file builds a date: 1899-12-30 (day 0), and the range the database's date type can hold,
// years 100 to 9999.
constexpr qint64 kEpochJulianDay = 2415019;
constexpr QDate kEpoch = QDate::fromJulianDay(kEpochJulianDay);
constexpr long long kSecondsPerDay = 86400;
constexpr long long kMinDay = 1757585 - kEpochJulianDay;
constexpr long long kMaxDay = 5373484 - kEpochJulianDay;

// OLE day numbers are not linear below zero (-1.25 is 1899-12-29 06:00); this turns them into
// plain seconds from the epoch and back.
bool ToSeconds(double dt, long long& secs)
{
    if (!std::isfinite(dt) || dt < kMinDay - 1 || dt > kMaxDay + 1)
        return false;
    const double whole = std::trunc(dt);
    const long long days = static_cast<long long>(whole);
    const long long inDay = std::llround(std::fabs(dt - whole) * kSecondsPerDay);
    secs = days * kSecondsPerDay + inDay;
    return true;
}

double FromSeconds(long long secs)
{
    long long days = secs / kSecondsPerDay;
    long long rest = secs % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    const double frac = static_cast<double>(rest) / kSecondsPerDay;
    return days >= 0 ? days + frac : days - frac;
}

struct Parts
{
    QDate date;
    int hour = 0, minute = 0, second = 0;
};

bool Split(const XDateTime& v, Parts& p)
{
    if (!v.IsValid())
        return false;
    long long secs;
    if (!ToSeconds(v.Day(), secs))
        return false;
    long long days = secs / kSecondsPerDay;
    long long rest = secs % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    if (days < kMinDay || days > kMaxDay)
        return false;
    p.date = kEpoch.addDays(days);
    p.hour = static_cast<int>(rest / 3600);
    p.minute = static_cast<int>(rest / 60 % 60);
    p.second = static_cast<int>(rest % 60);
    return true;
}

std::atomic<bool> g_fixed{false};
std::atomic<double> g_fixedNow{0};

} // namespace

XDateTime::XDateTime(int year, int month, int day, int hour, int minute, int second)
{
    const QDate d(year, month, day);
    if (!d.isValid() || year < 100 || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) {
        m_status = invalid;
        return;
    }
    m_dt = FromSeconds(kEpoch.daysTo(d) * kSecondsPerDay + hour * 3600LL + minute * 60LL + second);
}

XDateTime XDateTime::FromDate(const QDate& date)
{
    if (!date.isValid())
        return Invalid();
    return XDateTime(date.year(), date.month(), date.day());
}

XDateTime XDateTime::FromDateTime(const QDateTime& dateTime)
{
    if (!dateTime.isValid())
        return Invalid();
    const QDate d = dateTime.date();
    const QTime t = dateTime.time();
    XDateTime v(d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second());
    if (v.IsValid() && t.msec() != 0) {
        // keep the milliseconds: stamps written within one second stay ordered
        const double frac = t.msec() / 1000.0 / kSecondsPerDay;
        v.m_dt = v.m_dt >= 0 ? v.m_dt + frac : v.m_dt - frac;
    }
    return v;
}

XDateTime XDateTime::Invalid()
{
    XDateTime v;
    v.m_status = invalid;
    return v;
}

XDateTime XDateTime::Null()
{
    XDateTime v;
    v.m_status = null;
    return v;
}

XDateTime XDateTime::Now() { return XClock::Now(); }
XDateTime XDateTime::Today() { return XClock::Today(); }

QDate XDateTime::ToDate() const
{
    Parts p;
    return Split(*this, p) ? p.date : QDate();
}

QDateTime XDateTime::ToDateTime() const
{
    Parts p;
    if (!Split(*this, p))
        return QDateTime();
    return QDateTime(p.date, QTime(p.hour, p.minute, p.second));
}

int XDateTime::Year() const
{
    Parts p;
    return Split(*this, p) ? p.date.year() : -1;
}
int XDateTime::Month() const
{
    Parts p;
    return Split(*this, p) ? p.date.month() : -1;
}
int XDateTime::DayOfMonth() const
{
    Parts p;
    return Split(*this, p) ? p.date.day() : -1;
}
int XDateTime::Hour() const
{
    Parts p;
    return Split(*this, p) ? p.hour : -1;
}
int XDateTime::Minute() const
{
    Parts p;
    return Split(*this, p) ? p.minute : -1;
}
int XDateTime::Second() const
{
    Parts p;
    return Split(*this, p) ? p.second : -1;
}

int XDateTime::WeekdayOfDay(long long day)
{
    const long long w = (day + 5) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w);
}

int XDateTime::DayOfWeek() const
{
    Parts p;
    return Split(*this, p) ? WeekdayOfDay(kEpoch.daysTo(p.date)) : -1;
}

XDateTime XDateTime::DateOnly() const
{
    Parts p;
    if (!Split(*this, p))
        return *this;
    return XDateTime(static_cast<double>(kEpoch.daysTo(p.date)));
}

XDateTime XDateTime::AddDays(double days) const
{
    if (!IsValid())
        return *this;
    long long secs;
    if (!ToSeconds(m_dt, secs))
        return Invalid();
    return XDateTime(FromSeconds(secs + std::llround(days * kSecondsPerDay)));
}

QString XDateTime::Format(const QString& format) const { return FormatDateTime(*this, format); }

bool XDateTime::operator==(const XDateTime& other) const
{
    if (m_status != other.m_status)
        return false;
    if (m_status != valid)
        return true;
    return std::fabs(Linear(m_dt) - Linear(other.m_dt)) * kSecondsPerDay < 0.5;
}

bool XDateTime::operator<(const XDateTime& other) const
{
    return IsValid() && other.IsValid() && !(*this == other) && Linear(m_dt) < Linear(other.m_dt);
}

double XDateTime::Linear(double day)
{
    // -1.25 is 06:00 of the day before the epoch: on a straight time line that is -0.75
    const double whole = std::ceil(day);
    return day >= 0 ? day : whole - (day - whole);
}

namespace {

const char16_t* const kWeekdayLong[] = {u"星期一", u"星期二", u"星期三", u"星期四", u"星期五", u"星期六", u"星期日"};
const char16_t* const kWeekdayShort[] = {u"周一", u"周二", u"周三", u"周四", u"周五", u"周六", u"周日"};
const char16_t* const kMonthName[] = {u"一月", u"二月", u"三月", u"四月", u"五月",   u"六月",
                                      u"七月", u"八月", u"九月", u"十月", u"十一月", u"十二月"};

void Num(QString& out, int v, int width, bool noPad)
{
    QString s = QString::number(v);
    if (!noPad && s.size() < width)
        s.prepend(QString(width - s.size(), u'0'));
    out += s;
}

} // namespace

QString FormatDateTime(const XDateTime& value, const QString& format)
{
    Parts p;
    if (!Split(value, p))
        return QString();
    const int weekday = XDateTime::WeekdayOfDay(kEpoch.daysTo(p.date));
    QString out;
    out.reserve(format.size() + 16);
    const qsizetype n = format.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = format[i];
        if (c != u'%' || i + 1 >= n) {
            out += c;
            continue;
        }
        qsizetype j = i + 1;
        const bool noPad = format[j] == u'#';
        if (noPad && ++j >= n) {
            out += format.mid(i);
            break;
        }
        switch (format[j].unicode()) {
        case u'Y':
            out += QString::number(p.date.year());
            break;
        case u'y':
            Num(out, p.date.year() % 100, 2, noPad);
            break;
        case u'm':
            Num(out, p.date.month(), 2, noPad);
            break;
        case u'd':
            Num(out, p.date.day(), 2, noPad);
            break;
        case u'H':
            Num(out, p.hour, 2, noPad);
            break;
        case u'M':
            Num(out, p.minute, 2, noPad);
            break;
        case u'S':
            Num(out, p.second, 2, noPad);
            break;
        case u'j':
            Num(out, p.date.dayOfYear(), 3, noPad);
            break;
        case u'A':
            out += QString::fromUtf16(kWeekdayLong[weekday]);
            break;
        case u'a':
            out += QString::fromUtf16(kWeekdayShort[weekday]);
            break;
        case u'B':
        case u'b':
            out += QString::fromUtf16(kMonthName[p.date.month() - 1]);
            break;
        case u'%':
            out += u'%';
            break;
        default:
            out += format.mid(i, j - i + 1);
            break;
        }
        i = j;
    }
    return out;
}

namespace {

// Reads 1..maxDigits ASCII digits at pos.
bool ReadNumber(const QString& t, qsizetype& pos, int maxDigits, int& value)
{
    qsizetype start = pos;
    value = 0;
    while (pos < t.size() && pos - start < maxDigits && t[pos] >= u'0' && t[pos] <= u'9')
        value = value * 10 + (t[pos++].unicode() - u'0');
    return pos > start;
}

void SkipBlanks(const QString& t, qsizetype& pos)
{
    while (pos < t.size() && (t[pos] == u' ' || t[pos] == u'\t' || t[pos] == QChar(0x3000)))
        ++pos;
}

bool ReadTime(const QString& t, qsizetype& pos, int& h, int& m, int& s)
{
    s = 0;
    if (!ReadNumber(t, pos, 2, h) || pos >= t.size() || t[pos] != u':')
        return false;
    ++pos;
    const qsizetype mStart = pos;
    if (!ReadNumber(t, pos, 2, m) || pos - mStart != 2)
        return false;
    if (pos < t.size() && t[pos] == u':') {
        ++pos;
        const qsizetype sStart = pos;
        if (!ReadNumber(t, pos, 2, s) || pos - sStart != 2)
            return false;
    }
    return true;
}

} // namespace

bool XDateTime::ParseDateTime(const QString& text)
{
    *this = Invalid();
    const QString t = text.trimmed();
    qsizetype pos = 0;
    int y = 1899, mo = 12, d = 30, h = 0, mi = 0, s = 0;

    qsizetype probe = 0;
    int first;
    const bool hasNumber = ReadNumber(t, probe, 4, first);
    if (!hasNumber)
        return false;
    if (probe < t.size() && t[probe] == u':') {
        // a time alone
        if (!ReadTime(t, pos, h, mi, s))
            return false;
    } else {
        if (!ReadNumber(t, pos, 4, y) || pos != 4 || pos >= t.size())
            return false;
        const QChar sep = t[pos];
        if (sep != u'-' && sep != u'/' && sep != QChar(0x5E74) /* 年 */)
            return false;
        ++pos;
        if (!ReadNumber(t, pos, 2, mo) || pos >= t.size())
            return false;
        const QChar sep2 = t[pos];
        const QChar want = sep == QChar(0x5E74) ? QChar(0x6708) /* 月 */ : sep;
        if (sep2 != want)
            return false;
        ++pos;
        if (!ReadNumber(t, pos, 2, d))
            return false;
        if (sep == QChar(0x5E74)) {
            if (pos >= t.size() || t[pos] != QChar(0x65E5) /* 日 */)
                return false;
            ++pos;
        }
        const qsizetype beforeTime = pos;
        SkipBlanks(t, pos);
        if (pos < t.size()) {
            if (pos == beforeTime && sep != QChar(0x5E74))
                return false; // a time must be set apart from a numeric date by a blank
            if (!ReadTime(t, pos, h, mi, s))
                return false;
        }
    }
    if (pos != t.size())
        return false;
    XDateTime v(y, mo, d, h, mi, s);
    if (!v.IsValid())
        return false;
    *this = v;
    return true;
}

namespace XClock {

XDateTime Now()
{
    if (g_fixed.load(std::memory_order_acquire))
        return XDateTime(g_fixedNow.load(std::memory_order_relaxed));
    return XDateTime::FromDateTime(QDateTime::currentDateTime());
}

XDateTime Today() { return Now().DateOnly(); }

void SetFixed(const XDateTime& now)
{
    g_fixedNow.store(now.Day(), std::memory_order_relaxed);
    g_fixed.store(true, std::memory_order_release);
}

void Reset() { g_fixed.store(false, std::memory_order_release); }

} // namespace XClock
