#include "XBoundControls.h"

#include "TextUtils.h"

namespace {
// 31 December 9999, the last day a picker shows.
constexpr long long kLastPickerDay = 2958465;

XDateTime Limit(int day)
{
    return day > 0 && day <= kLastPickerDay ? XDateTime(static_cast<double>(day)) : XDateTime(0.0);
}
} // namespace

QString DateDisplayFormat(const QString& fieldFormat)
{
    if (fieldFormat == QStringView(u"%Y年%#m月"))
        return QStringLiteral("yyyy年M月");
    if (fieldFormat == QStringView(u"%Y年%#m月%#d日%A"))
        return QStringLiteral("yyyy年M月d日dddd");
    return QStringLiteral("yyyy年M月d日");
}

XDateRangeDecision DecideDateRange(int min, int max, int weekdayMode, const XDateTime& member)
{
    XDateRangeDecision d;
    XDateTime reference(0.0);
    if (weekdayMode != -1) {
        reference = min > 0 ? XDateTime(static_cast<double>(min)) : member;
        d.setWeekday = true;
        d.reference = reference;
        d.backward = weekdayMode != 0;
    }
    if (min == max)
        return d;
    d.setRange = true;
    d.lower = Limit(min);
    d.upper = Limit(max);
    if (reference.Day() != 0 && reference.IsValid()) {
        if (d.lower.Day() != 0)
            d.lower = AlignToWeekday(d.lower, reference, false);
        if (d.upper.Day() != 0)
            d.upper = AlignToWeekday(d.upper, reference, true);
    }
    return d;
}
