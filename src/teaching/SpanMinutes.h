#pragma once

#include "CXTimeSpan.h"

// Minutes of the day of a packed time (hours * 100 + minutes), and of a time span's ends; the
// class records and timetables compare and move lesson times with these.
inline int Minutes(int hhmm) { return hhmm / 100 * 60 + hhmm % 100; }
inline int BeginMinutes(const CXTimeSpan& span) { return Minutes(span.Value() / 10000); }
inline int EndMinutes(const CXTimeSpan& span) { return Minutes(span.Value() % 10000); }
// The span from two minutes of the day; an end past midnight wraps.
inline CXTimeSpan MakeSpan(int beginMinutes, int endMinutes)
{
    endMinutes %= 24 * 60;
    return CXTimeSpan(beginMinutes / 60 * 1000000 + beginMinutes % 60 * 10000 + endMinutes / 60 * 100 +
                      endMinutes % 60);
}
