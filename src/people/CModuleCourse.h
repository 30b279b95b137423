#pragma once

#include "CDBCourse.h"
#include "CModule.h"

// The courses: listed with their statistics, chosen by their enabled flag.
class CModuleCourse : public CModuleT<CDBCourse>
{
public:
    CModuleCourse();

    void AddQuickQueries(CXArray& schemes) override;
    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;
    int MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const override;

    // The course module's own conditions for the keys present in the query, appended.
    static void AddCourseConditions(QStringList& conditions, const CXMap& query);
};

// The Monday of the week the day lies in, and the last day of its month.
XDateTime WeekMonday(const XDateTime& day);
XDateTime MonthLastDay(const XDateTime& day);

// The selected records as a list of item links, the way relation queries name them.
QString ItemLinks(const CXArray& items);
