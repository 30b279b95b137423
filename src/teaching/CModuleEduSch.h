#pragma once

#include "CDBEduSch.h"
#include "CModule.h"

// The timetables: listed by period, weekday, class form, course, teacher, student, receipt
// and class record; the class-record module reads them to generate its classes.
class CModuleEduSch : public CModuleT<CDBEduSch, ID_ADDNEW_EDUSCH>
{
public:
    CModuleEduSch();

    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;
    bool IsChildListQuery(const CXMap& query) const override;
    int MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const override;
    void AddQuickQueries(CXArray& schemes) override;
    int GetMaxQueryDate() const override;
    QString GetItemTitleSql() const override;

    // The module's own conditions for the keys present in the query, appended. Only integers
    // reach the SQL. The light read (class-record generation) also finds a person's
    // timetables through his class-record lines.
    static void AddEduSchConditions(QStringList& conditions, const CXMap& query, bool bLight);
    // The one student key 321 names, else 0.
    static int SingleStudent(const CXMap& query);

    // The two pickers of the batch add: the enabled packages of the timetable's course,
    // then the students who enrolled with the chosen package (key 1, found here: the key
    // carries IDs only) without those the timetable lists (key 2).
    static CXMap BatchPackageQuery(const CDBEduSch& sch);
    static CXMap BatchStudentQuery(const CDBEduSch& sch, int chargeId);
};
