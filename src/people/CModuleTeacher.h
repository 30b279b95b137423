#pragma once

#include "CDBTeacher.h"
#include "CModule.h"

#include <QtCore/QStringList>

// The teachers as a module: listed, found, filtered and edited on the desktop, and the
// users the desktop and web logins find (hidden keys 1135 and 1284).
class CModuleTeacher : public CModuleT<CDBTeacher, 32777>
{
public:
    CModuleTeacher();

    void AddQuickQueries(CXArray& schemes) override;
    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;
    int MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const override;
    QString GetItemTitleSql() const override;

    // The teacher module's own conditions for the keys present in the query, appended.
    // Dates become day numbers and every list key a list of integers (query maps also come
    // from web requests); no text of the query reaches the SQL.
    static void AddTeacherConditions(QStringList& conditions, const CXMap& query);
    // SQL 442 as prepared: (TeacherID, CourseID) per course a teacher teaches.
    static QString TeacherCourseSql();

    // The query of the users who may log in on the desktop: operators and administrators,
    // enabled, still employed here tomorrow; with a text, only the one it names (phone
    // number, identity-card number or exact name).
    static CXMap LoginQuery(const QString& userText = QString());
    // Reads the login users (LoginQuery) into the array; false after a reported failure.
    bool ReadLoginUsers(CXArray& users, const QString& userText = QString());
    // Whether the teacher as read may log in on the desktop: role operator or administrator,
    // enabled, and an employment here that is open or ends after today.
    static bool CanLogIn(const CDBTeacher& teacher);
};
