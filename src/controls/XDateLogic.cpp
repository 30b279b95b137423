#include "XDateLogic.h"

#include "TextUtils.h"

#include <cmath>

namespace {
constexpr double kDaysPerYear = 365.24;
constexpr int kLatestBegin = 23 * 60;
constexpr int kLatestEnd = 23 * 60 + 45;
constexpr int kStep = 5;

bool Set(const XDateTime& d) { return d.IsValid() && static_cast<long long>(d.Day()) != 0; }

QString Hm(int minutes)
{
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

bool IsMonthFormat(const QString& displayFormat) { return !displayFormat.contains(u'd'); }

unsigned DecideCalendarStyle(const XDateTime& lower, const XDateTime& upper, const XDateTime& today, bool monthMode,
                             bool hasReference)
{
    const double day = std::trunc(today.Day());
    if (hasReference)
        return MCS_DAYSTATE | MCS_NOTODAY | MCS_NOTODAYCIRCLE;
    if (monthMode || (Set(lower) && std::trunc(lower.Day()) > day) || (Set(upper) && std::trunc(upper.Day()) < day))
        return MCS_NOTODAY | MCS_NOTODAYCIRCLE;
    return 0;
}

std::vector<int> BoldDaysOfMonth(int year, int month, const XDateTime& reference)
{
    std::vector<int> days;
    if (!Set(reference))
        return days;
    const int weekday = XDateTime::WeekdayOfDay(static_cast<long long>(std::floor(reference.Day())));
    const XDateTime first(year, month, 1);
    const int count = QDate(year, month, 1).daysInMonth();
    for (int d = 0; d < count; ++d)
        if (XDateTime::WeekdayOfDay(static_cast<long long>(first.Day()) + d) == weekday)
            days.push_back(d + 1);
    return days;
}

XDateTime SnapToWeekday(const XDateTime& chosen, const XDateTime& reference, bool backward, const XDateTime& lower,
                        const XDateTime& upper)
{
    if (!Set(reference) || !Set(chosen))
        return chosen;
    XDateTime d = AlignToWeekday(chosen, reference, backward);
    if (Set(upper)) {
        const XDateTime last = AlignToWeekday(upper, reference, true);
        if (last.Day() < d.Day())
            d = last;
    }
    if (Set(lower)) {
        const XDateTime first = AlignToWeekday(lower, reference, false);
        if (first.Day() > d.Day())
            d = first;
    }
    return d;
}

QString SnapTipText(bool backward, const XDateTime& reference)
{
    return QStringLiteral("已自动向%1调整到最近的%2。")
        .arg(backward ? QStringLiteral("前") : QStringLiteral("后"), FormatDateTime(reference, QStringLiteral("%A")));
}

XDateTime PickedDate(const XDateTime& shown, bool monthMode)
{
    if (!shown.IsValid())
        return XDateTime(0.0);
    if (monthMode)
        return XDateTime(shown.Year(), shown.Month(), 1);
    return XDateTime(std::trunc(shown.Day()));
}

XDateTime EstimateBirthDate(const XDateTime& now, double age)
{
    return XDateTime(std::trunc(now.Day() - age * kDaysPerYear));
}

double AgeFromDate(const XDateTime& now, const XDateTime& birth) { return (now.Day() - birth.Day()) / kDaysPerYear; }

QDate DayToQDate(const XDateTime& day)
{
    if (!Set(day))
        return {};
    return day.ToDate();
}

XDateTime QDateToDay(const QDate& date)
{
    if (!date.isValid() || date > QDate(9999, 12, 31))
        return XDateTime(0.0);
    return XDateTime::FromDate(date);
}

int RoundToFive(int minutes)
{
    const int r = minutes % kStep;
    if (r == 0)
        return minutes;
    return r <= 2 ? minutes - r + kStep : minutes - r;
}

XSpanTimes CorrectSpan(XSpanTimes t, XSpanPart changed)
{
    switch (changed) {
    case XSpanPart::Begin:
        if (t.begin > kLatestBegin || t.begin + t.duration > kLatestEnd)
            t.begin = t.end - t.duration;
        else
            t.end = t.begin + t.duration;
        break;
    case XSpanPart::End:
        if (t.end > kLatestEnd || t.end < t.begin + kStep)
            t.end = t.begin + t.duration;
        else
            t.duration = t.end - t.begin;
        break;
    case XSpanPart::Duration:
        if (t.begin + t.duration > kLatestEnd || t.duration < kStep)
            t.duration = t.end - t.begin;
        else
            t.end = t.begin + t.duration;
        break;
    }
    return t;
}

XSpanTimes SpanTimesOf(int beginMinutes, int endMinutes)
{
    XSpanTimes t;
    t.begin = beginMinutes;
    t.end = std::max(endMinutes, beginMinutes + kStep);
    t.duration = t.end - t.begin;
    return t;
}

XSpanLayout LayoutSpan(int w, int h, bool hasCaption)
{
    XSpanLayout l;
    l.check = QRect(QPoint(h / 4, h / 4), QPoint(h - h / 4, h - h / 4) - QPoint(1, 1));
    const int a = hasCaption ? h + 1 : 1;
    const int u = std::max(0, (w - a - 1) / 23);
    l.begin = QRect(a, 0, 7 * u, h);
    l.end = QRect(a + 7 * u, 0, 9 * u, h);
    l.duration = QRect(a + 16 * u, 0, std::max(0, w - 1 - (a + 16 * u)), h);
    return l;
}

QString SpanRangeText(const XSpanTimes& t) { return Hm(t.begin) + u'~' + Hm(t.end); }

QString SpanDurationText(const XSpanTimes& t)
{
    return QStringLiteral("%1'%2").arg(t.duration / 60).arg(t.duration % 60, 2, 10, QLatin1Char('0'));
}
