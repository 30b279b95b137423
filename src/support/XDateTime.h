#pragma once

#include <QtCore/QDate>
#include <QtCore/QDateTime>
#include <QtCore/QString>
#include <QtCore/QTime>

// A date and time as the database stores it: an OLE day number (days since 1899-12-30 as a
// double; the fraction is the time of day, for negative days counted forwards from the
// start of the day) with a validity status. Day 0 with a valid status is "no date" for
// most fields of the records.
class XDateTime
{
public:
    enum Status { valid = 0, invalid = 1, null = 2 };

    XDateTime() = default;
    XDateTime(double day) : m_dt(day) {} // NOLINT: day numbers come from SQL as doubles
    XDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

    static XDateTime FromDate(const QDate& date);
    static XDateTime FromDateTime(const QDateTime& dateTime);
    static XDateTime Invalid();
    static XDateTime Null();

    // From the program's clock (see XClock): tests fix it, SQL DATE()/NOW() share it.
    static XDateTime Now();
    static XDateTime Today();

    double Day() const { return m_dt; }
    operator double() const { return m_dt; }
    Status GetStatus() const { return m_status; }
    bool IsValid() const { return m_status == valid; }
    bool IsNull() const { return m_status == null; }

    QDate ToDate() const;         // invalid QDate unless valid
    QDateTime ToDateTime() const; // local time

    int Year() const;
    int Month() const;
    int DayOfMonth() const;
    int Hour() const;
    int Minute() const;
    int Second() const;
    int DayOfWeek() const;      // Monday 0 .. Sunday 6
    XDateTime DateOnly() const; // the day, time of day dropped
    XDateTime AddDays(double days) const;

    // strftime-style text, see FormatDateTime.
    QString Format(const QString& format) const;

    // Parses the texts the program reads: "yyyy-M-d", "yyyy/M/d", "yyyy年M月d日", each with an
    // optional " H:mm" or " H:mm:ss", or a time alone (which gives day 0). Returns false (and
    // leaves *this invalid) for anything else or an impossible date.
    bool ParseDateTime(const QString& text);

    // Equal when less than half a second apart, as the database compares stamps.
    bool operator==(const XDateTime& other) const;
    bool operator!=(const XDateTime& other) const { return !(*this == other); }
    // Only between two valid values; below day 0 the fraction counts forwards.
    bool operator<(const XDateTime& other) const;

    // Weekday of a whole day number: (d + 5) mod 7 with Monday 0, also for negative days.
    static int WeekdayOfDay(long long day);

private:
    static double Linear(double day);

    double m_dt = 0;
    Status m_status = valid;
};

// strftime-style formatting independent of the machine's locale. Supported: %Y %y %m %d %H
// %M %S, %A (星期一..星期日), %a (周一..周日), %B/%b (一月..十二月), %j, %%; the "#" flag
// drops leading zeros (%#m, %#d, %#H ...). Unknown conversions are kept as written. An
// invalid or null value gives an empty text.
QString FormatDateTime(const XDateTime& value, const QString& format);

// The one clock of the program. "Now" is local time; tests fix it.
namespace XClock {
XDateTime Now();
XDateTime Today();
void SetFixed(const XDateTime& now); // every later Now() returns this value
void Reset();                        // back to the system clock
} // namespace XClock
