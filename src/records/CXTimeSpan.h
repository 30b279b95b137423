#pragma once

#include "XDateTime.h"

#include <QtCore/QString>

// The time of day a lesson begins and ends, packed into one int so that it fits one INT
// column and compares cheaply: begin hour * 1000000 + begin minute * 10000 + end hour * 100
// + end minute (08:30 to 10:00 is 8301000). 0 is the empty span.
class CXTimeSpan
{
public:
    CXTimeSpan() = default;
    CXTimeSpan(int value) : m_nValue(value) {} // NOLINT: the stored int is the value
    CXTimeSpan(const XDateTime& begin, const XDateTime& end) { Set(begin, end); }

    operator int() const { return m_nValue; }
    int Value() const { return m_nValue; }

    // Hours and minutes of the two times (seconds dropped); a part of an invalid time is -1.
    void Set(const XDateTime& begin, const XDateTime& end);
    // The end is begin + minutes, the day dropped (23:30 + 90 minutes ends at 01:00).
    void SetBeginDuration(const XDateTime& begin, int minutes);

    // Times of day (fraction of a day, valid).
    XDateTime GetBegin() const;
    XDateTime GetEnd() const;

    // Reads "8:30~10:00" (also with the full-width "～"); false, and the value 0, for
    // anything that is not exactly two times.
    bool Parse(const QString& text);

    // "8:30~10:00" on the UI thread; two-digit hours ("08:30~10:00") on other threads, where
    // the text goes to web pages.
    QString Format() const;

    // True when this span's begin or end lies strictly inside the other span. Touching spans
    // do not overlap; the test is one-sided (an enclosing span is reported from the inner
    // side only). Two identical, non-empty spans overlap: the same lesson time twice is the
    // plainest clash there is.
    bool Overlaps(const CXTimeSpan& other) const;

private:
    int m_nValue = 0;
};

// A computed pair of dates with a text of its own (first and last enrolment, employment
// period). Day number 0 means "not set".
class CXDateRange
{
public:
    CXDateRange() = default;
    CXDateRange(const XDateTime& begin, const XDateTime& end) : m_begin(begin), m_end(end) {}

    // Ordered by begin, then by end; dates within half a second are equal. A range with an
    // invalid date compares greater from both sides.
    int Compare(const CXDateRange& other) const;

    // "<begin>至<end>", "<begin>" when both are the same day, "<begin>起", "<end>止", or empty.
    QString Format(const QString& format = QString()) const;

    QString m_strText;
    XDateTime m_begin;
    XDateTime m_end;
};
