#pragma once

#include "DbTestSupport.h"
#include "Resources.h"

#include <QtCore/QString>

// The tables the student statistics read besides the students' own, where the schema does
// not hold them yet; while the receipt view is the test stand-in (a plain SELECT of the
// receipt table), the receipt table gets the view's figures as columns.
inline bool EnsureStatisticsTables()
{
    bool ok = Exec(QStringLiteral(
        "CREATE TABLE IF NOT EXISTS TB_EDUSCH (ID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " CourseID INTEGER NOT NULL DEFAULT 0, DateBgn REAL NOT NULL DEFAULT 0, DateEnd REAL NOT NULL DEFAULT 0);"
        "CREATE TABLE IF NOT EXISTS TB_EDUSCH_STUDENT (ID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " EduSchID INTEGER NOT NULL DEFAULT 0, StudentID INTEGER NOT NULL DEFAULT 0,"
        " EduBgn REAL NOT NULL DEFAULT 0, EduEnd REAL NOT NULL DEFAULT 0);"
        "CREATE TABLE IF NOT EXISTS TB_EDURCD (ID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " CourseID INTEGER NOT NULL DEFAULT 0, ClassDate REAL NOT NULL DEFAULT 0, ClassStatus INTEGER NOT NULL DEFAULT "
        "0);"
        "CREATE TABLE IF NOT EXISTS TB_EDURCD_STUDENT (ID INTEGER PRIMARY KEY AUTOINCREMENT,"
        " EduRcdID INTEGER NOT NULL DEFAULT 0, StudentID INTEGER NOT NULL DEFAULT 0,"
        " LessonType INTEGER NOT NULL DEFAULT 0, Attence INTEGER NOT NULL DEFAULT 0, SchSubID INTEGER NOT NULL DEFAULT "
        "0);"));
    if (LoadResourceText(339, RT_SQL, 65001).trimmed() != QStringLiteral("SELECT * FROM TB_RECEIPT"))
        return ok;
    for (const char* column : {"PayEnd REAL", "ValidEnd REAL", "AltMax REAL", "AltRtr REAL", "LessonEnd INTEGER",
                               "CountIn INTEGER", "Remained INTEGER", "LsnInvalid INTEGER"})
        ok = ok && Exec(QStringLiteral("ALTER TABLE TB_RECEIPT ADD COLUMN %1 NOT NULL DEFAULT 0")
                            .arg(QString::fromUtf8(column)));
    return ok;
}
