#pragma once

// The decisions of the date, birthday and time-span controls, apart from their widgets.
#include "XDateTime.h"

#include <QtCore/QRect>
#include <QtCore/QString>

#include <vector>

// Calendar style bits of the drop-down calendar.
enum : unsigned { MCS_DAYSTATE = 0x1, MCS_NOTODAYCIRCLE = 0x8, MCS_NOTODAY = 0x10 };

// A display format without the day letter "d" puts a date picker in month mode.
bool IsMonthFormat(const QString& displayFormat);

// The calendar style: no "today" when today cannot be chosen (minimum after it, maximum
// before it) or in month mode; day states, and no today, with a reference weekday. A zero
// limit is open.
unsigned DecideCalendarStyle(const XDateTime& lower, const XDateTime& upper, const XDateTime& today, bool monthMode,
                             bool hasReference);

// The days of a month in bold: every day with the reference date's weekday.
std::vector<int> BoldDaysOfMonth(int year, int month, const XDateTime& reference);

// A date chosen in the calendar moved to the reference weekday, then kept inside the
// limits moved to that weekday (the maximum backward, the minimum forward). A zero
// reference or limit does not apply.
XDateTime SnapToWeekday(const XDateTime& chosen, const XDateTime& reference, bool backward, const XDateTime& lower,
                        const XDateTime& upper);
// The tip after a date was moved: "已自动向后调整到最近的星期三。"
QString SnapTipText(bool backward, const XDateTime& reference);

// Picker values: what GetDate gives for a shown date (time dropped, month mode the first).
XDateTime PickedDate(const XDateTime& shown, bool monthMode);

// A birth date estimated from an age in years: now minus age x 365.24 days, whole days.
XDateTime EstimateBirthDate(const XDateTime& now, double age);
// The age in years of a birth date.
double AgeFromDate(const XDateTime& now, const XDateTime& birth);

// QDate and day numbers: an invalid QDate is day 0; dates past 9999-12-31 are open (0).
QDate DayToQDate(const XDateTime& day);
XDateTime QDateToDay(const QDate& date);

// The time-span editor in minutes of the day.
struct XSpanTimes
{
    int begin = 0;
    int end = 0;
    int duration = 0;
};
enum class XSpanPart { Begin, End, Duration };
// 5-minute steps: a remainder of 1 or 2 goes up, 3 or 4 down.
int RoundToFive(int minutes);
// After one picker changed (its value already rounded): the rules that keep begin before
// 23:00, the end before 23:45 and at least 5 minutes after the begin. Returns the times
// the three pickers should show.
XSpanTimes CorrectSpan(XSpanTimes t, XSpanPart changed);
// The times a stored span shows: end at least begin + 5 minutes, duration end - begin.
XSpanTimes SpanTimesOf(int beginMinutes, int endMinutes);
// Where the three pickers go in a control of width w and height h.
struct XSpanLayout
{
    QRect check;
    QRect begin;
    QRect end;
    QRect duration;
};
XSpanLayout LayoutSpan(int w, int h, bool hasCaption);
// The texts of a read-only span: "08:00~09:30" and "1'30".
QString SpanRangeText(const XSpanTimes& t);
QString SpanDurationText(const XSpanTimes& t);
