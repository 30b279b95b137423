#pragma once

// What the dialog binders need of the program's value controls. Each control class
// implements its interface; the binders keep the rules of loading and storing.
#include "CXTimeSpan.h"
#include "XDateTime.h"

#include <QtCore/QString>

class CXArray;
class CXImage;

// A date picker.
class IXDateControl
{
public:
    virtual ~IXDateControl() = default;
    virtual void SetEmptyText(const QString& text) = 0;
    virtual void SetDisplayFormat(const QString& format) = 0; // "yyyy年M月d日", ...
    // The weekday the picker snaps to, forward or backward.
    virtual void SetWeekday(const XDateTime& reference, bool backward) = 0;
    // Limits as dates; a zero end is open.
    virtual void SetDateRange(const XDateTime& lower, const XDateTime& upper) = 0;
    virtual bool HasShowNone() const = 0; // the picker can show "no date"
    virtual void SetDate(const XDateTime& date) = 0;
    virtual void SetNoDate() = 0;
    virtual XDateTime GetDate() const = 0; // date and status
    virtual void UpdateCalendarStyle() = 0;
};

// The birthday box: a date and whether it is estimated from an age.
class IXBirthControl
{
public:
    virtual ~IXBirthControl() = default;
    virtual void SetBirthDate(const XDateTime& date, int estimated) = 0;
    virtual void GetBirthDate(XDateTime& date, int& estimated) const = 0;
};

// The time-span picker; the field's default stands in for what is not set.
class IXTimeSpanControl
{
public:
    virtual ~IXTimeSpanControl() = default;
    virtual void SetCaption(const QString& caption) = 0;
    virtual void SetSpan(const CXTimeSpan& span, int defaultValue) = 0;
    virtual CXTimeSpan GetSpan(int defaultValue) const = 0;
};

// The photo strip: it edits the array itself.
class IXImagesControl
{
public:
    virtual ~IXImagesControl() = default;
    virtual void SetImages(CXArray* images, bool hasPhoto) = 0;
};

// One picture: it edits the image itself.
class IXImageControl
{
public:
    virtual ~IXImageControl() = default;
    virtual void SetImage(CXImage* image) = 0;
    virtual void Repaint() = 0;
};

// The display format of a date field's format: month mode, day with weekday, or day.
QString DateDisplayFormat(const QString& fieldFormat);

// The picker range of a date binding from the field's limits (whole day numbers, 0 for
// none): with a weekday mode other than -1 the reference date is the lower limit when it
// is above 0, else the member's value; when the limits differ, the lower one moves
// forward and the upper one backward to the reference's weekday. Limits past the last
// date a picker shows stay open (0).
struct XDateRangeDecision
{
    bool setRange = false; // only when the limits differ
    XDateTime lower;
    XDateTime upper;
    bool setWeekday = false;
    XDateTime reference;
    bool backward = false;
};
XDateRangeDecision DecideDateRange(int min, int max, int weekdayMode, const XDateTime& member);

class CHeads;

// A record list bound to a child array of the record.
class IXListControl
{
public:
    virtual ~IXListControl() = default;
    virtual const CXArray* ShownArray() const = 0;
    // mode 1: the record's own sub-array, 2: another array; style as the dialog passes it
    virtual void SetItems(CXArray* array, CHeads* heads, int mode, int style) = 0;
    virtual int ItemCount() const = 0;
    virtual bool IsItemChecked(int index) const = 0;
    virtual void SetItemChecked(int index, bool checked) = 0;
};

class CXBase;
class CXItem;

// A link to another module's record.
class IXLinkControl
{
public:
    virtual ~IXLinkControl() = default;
    // Its new and choose buttons, added once (the control knows the user's rights and
    // whether the edited record is saved).
    virtual void AddLinkButtons(const CXItem* record, const CXBase* link) = 0;
    virtual void ShowLink(const CXBase& link) = 0;
    virtual void ParseLink(CXBase& link) = 0;
};
