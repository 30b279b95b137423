#pragma once

#include "CDBStudent.h"
#include "CModule.h"

#include <QtCore/QStringList>

// The students as a module: listed, found, filtered and edited on the desktop, and found by
// the desktop and web logins through the hidden keys 1135 (phone, identity card or name)
// and 1284 (phone).
class CModuleStudent : public CModuleT<CDBStudent, 32776>
{
public:
    CModuleStudent();

    void AddQuickQueries(CXArray& schemes) override;
    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;
    int MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const override;
    QString GetItemTitleSql() const override;

    // The student module's own conditions for the keys present in the query, appended.
    // Every list key becomes a list of integers (query maps also come from web requests).
    static void AddStudentConditions(QStringList& conditions, const CXMap& query);
    // The login keys 1135 and 1284 as "ID IN (...)" of the students the text finds through
    // bound lookups (phone, identity card or exact name, by the text's kind); the text itself
    // never becomes SQL. False after a reported database failure.
    static bool AddLoginConditions(CXDBSession& session, QStringList& conditions, const CXMap& query);
    // SQL 440 as prepared: (StudentID, CourseID, ItemStatus) per course line.
    static QString CourseLineSql();
};
