#pragma once

#include "CXArray.h"
#include "CXMap.h"

#include <QtCore/QList>

class CXBase;

// The generation of planned class records and their merge with the stored ones, apart from
// the database so that each step can be checked on its own.

// The whole days a weekly timetable (from dateBgn, on its weekday, to dateEnd, 0 = open) has
// a class within periodStart..periodEnd (0 = from the timetable's start): every seventh day
// from the later of dateBgn and the first matching weekday of the period, up to the earlier
// of dateEnd and the period end.
QList<int> PlanClassDays(int dateBgn, int dateEnd, int periodStart, int periodEnd);

// Appends one planned class record (CDBEduRcd) per class day of each timetable (CDBEduSch):
// the timetable copied in, the date set, the lines those of the timetable valid that day.
void GenerateClassRecords(const CXArray& timetables, int periodStart, int periodEnd, CXArray& result);

// Lays the stored records over the generated ones in result: a stored record of the same
// timetable and day gives its ID, status, form, time, memo, place and stamps, its teacher
// lines replace those of the same teacher and its student lines those of the same timetable
// line; other stored lines are added. Stored records no generated one matches are moved to
// the result as read. Every record gets the designated student.
void MergeStoredRecords(CXArray& result, CXArray& stored, const CXBase& designated);

// Which kinds a query keeps: 临时 (value 0) temporary records, 计划 (value 1) planned ones;
// choosing both or neither keeps both.
struct XPlanKinds
{
    bool temporary = true;
    bool planned = true;
};
XPlanKinds PlanKindsOf(const CXMap& query);

// Removes the records that fail the query's list keys: 1 (record IDs), 2 (not these IDs),
// 333 (timetables), 322 (a teacher), 321 (a student), 331 (a consumed receipt), 1065 (class
// status) and the kinds of 1072.
void FilterClassRecords(CXArray& records, const CXMap& query);
