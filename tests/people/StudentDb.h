#pragma once

// A database for the student tests: the schema, plus stand-ins of the receipt, timetable
// and class-record tables with the columns the student SQL reads (the receipt view's
// computed figures as plain columns), the student module registered, a fixed "today".
#include "CFakeAppServices.h"
#include "CModuleStudent.h"
#include "DbTestSupport.h"
#include "OpenDatabase.h"
#include "XDateTime.h"

#include <gtest/gtest.h>

class StudentDb : public ::testing::Test
{
protected:
    void SetUp() override
    {
        XClock::SetFixed(XDateTime(2026, 6, 15, 10, 0, 0));
        CFakeAppServices::Installed().Clear();
        ASSERT_TRUE(Exec(QStringLiteral(
            "CREATE TABLE IF NOT EXISTS TB_CHARGE_COURSE (ID INTEGER PRIMARY KEY AUTOINCREMENT, ChargeID INTEGER NOT "
            "NULL DEFAULT 0,"
            " CourseID INTEGER NOT NULL DEFAULT 0);"
            "DROP TABLE IF EXISTS TB_RECEIPT;"
            "CREATE TABLE TB_RECEIPT (ID INTEGER PRIMARY KEY AUTOINCREMENT, StudentID INTEGER NOT NULL DEFAULT 0,"
            " ChargeID INTEGER NOT NULL DEFAULT 0, PayDate REAL NOT NULL DEFAULT 0, PayEnd REAL NOT NULL DEFAULT 0,"
            " ValidEnd REAL NOT NULL DEFAULT 0, AltMax REAL NOT NULL DEFAULT 0, AltRtr REAL NOT NULL DEFAULT 0,"
            " LessonEnd INTEGER NOT NULL DEFAULT 0, CountIn INTEGER NOT NULL DEFAULT 0, Remained INTEGER NOT NULL "
            "DEFAULT 0,"
            " LsnInvalid INTEGER NOT NULL DEFAULT 0);"
            "CREATE TABLE IF NOT EXISTS TB_RECEIPT_ALTER (ID INTEGER PRIMARY KEY AUTOINCREMENT, ReceiptID INTEGER NOT "
            "NULL DEFAULT 0,"
            " RecordDate REAL NOT NULL DEFAULT 0);"
            "CREATE TABLE IF NOT EXISTS TB_EDUSCH (ID INTEGER PRIMARY KEY AUTOINCREMENT, CourseID INTEGER NOT NULL "
            "DEFAULT 0,"
            " DateBgn REAL NOT NULL DEFAULT 0, DateEnd REAL NOT NULL DEFAULT 0);"
            "CREATE TABLE IF NOT EXISTS TB_EDUSCH_STUDENT (ID INTEGER PRIMARY KEY AUTOINCREMENT, EduSchID INTEGER NOT "
            "NULL DEFAULT 0,"
            " StudentID INTEGER NOT NULL DEFAULT 0, EduBgn REAL NOT NULL DEFAULT 0, EduEnd REAL NOT NULL DEFAULT 0);"
            "CREATE TABLE IF NOT EXISTS TB_EDURCD (ID INTEGER PRIMARY KEY AUTOINCREMENT, CourseID INTEGER NOT NULL "
            "DEFAULT 0,"
            " ClassDate REAL NOT NULL DEFAULT 0, ClassStatus INTEGER NOT NULL DEFAULT 0);"
            "CREATE TABLE IF NOT EXISTS TB_EDURCD_STUDENT (ID INTEGER PRIMARY KEY AUTOINCREMENT, EduRcdID INTEGER NOT "
            "NULL DEFAULT 0,"
            " StudentID INTEGER NOT NULL DEFAULT 0, LessonType INTEGER NOT NULL DEFAULT 0, Attence INTEGER NOT NULL "
            "DEFAULT 0,"
            " SchSubID INTEGER NOT NULL DEFAULT 0);")))
            << GetOleDbErrorText().toStdString();
        RegisterModule(&m_module);
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session));
    }
    void TearDown() override
    {
        UnregisterModule(&m_module);
        XClock::Reset();
        CFakeAppServices::Installed().Clear();
    }

    static int Day(int y, int m, int d) { return static_cast<int>(XDateTime(y, m, d).Day()); }

    // A student row with an optional pet name, identity card and phone account.
    static int AddStudent(const QString& name, const QString& pet = QString(), const QString& phone = QString(),
                          const QString& card = QString())
    {
        CXDBSession session;
        session.Connect();
        CXAccessor cmd;
        EXPECT_TRUE(
            cmd.Prepare(session, QStringLiteral("INSERT INTO TB_STUDENT (RealName, Petname, IDCard) VALUES (?,?,?)")) &&
            cmd.SetParamText(1, name) && cmd.SetParamText(2, pet) && cmd.SetParamText(3, card) && cmd.Execute());
        const int id = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_STUDENT")));
        if (!phone.isEmpty())
            EXPECT_TRUE(Exec(
                QStringLiteral("INSERT INTO TB_ACCOUNT (MduID, PersonID, Content, Relation) VALUES (321,%1,'%2','')")
                    .arg(id)
                    .arg(phone)));
        return id;
    }
    // A class-record line of the student for the course on the day.
    static void AddLesson(int student, int course, int day, int lessonType, int attence = 2, int schSub = 1)
    {
        EXPECT_TRUE(
            Exec(QStringLiteral("INSERT INTO TB_EDURCD (CourseID, ClassDate) VALUES (%1,%2)").arg(course).arg(day)));
        EXPECT_TRUE(
            Exec(QStringLiteral("INSERT INTO TB_EDURCD_STUDENT (EduRcdID, StudentID, LessonType, Attence, SchSubID) "
                                "VALUES ((SELECT MAX(ID) FROM TB_EDURCD),%1,%2,%3,%4)")
                     .arg(student)
                     .arg(lessonType)
                     .arg(attence)
                     .arg(schSub)));
    }
    // A receipt of the student for a package of the courses, with its figures.
    static void AddReceipt(int student, int charge, int payDay, int lessons, int consumed, int remained, double paid,
                           int validEnd = 0, int refundDay = 0)
    {
        EXPECT_TRUE(Exec(
            QStringLiteral("INSERT INTO TB_RECEIPT (StudentID, ChargeID, PayDate, PayEnd, ValidEnd, AltRtr, LessonEnd,"
                           " CountIn, Remained) VALUES (%1,%2,%3,%4,%5,%6,%7,%8,%9)")
                .arg(student)
                .arg(charge)
                .arg(payDay)
                .arg(paid)
                .arg(validEnd)
                .arg(refundDay)
                .arg(lessons)
                .arg(consumed)
                .arg(remained)));
    }
    static void AddPackage(int charge, std::initializer_list<int> courses)
    {
        for (int c : courses)
            EXPECT_TRUE(Exec(
                QStringLiteral("INSERT INTO TB_CHARGE_COURSE (ChargeID, CourseID) VALUES (%1,%2)").arg(charge).arg(c)));
    }

    // The IDs the module finds for the query, in ascending order.
    QList<int> Find(const CXMap& query)
    {
        CXArray items(nullptr, true);
        EXPECT_TRUE(m_module.QueryItems(items, query, true, false)) << GetOleDbErrorText().toStdString();
        QList<int> ids;
        for (const CXItem* item : items)
            ids << item->m_nID;
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    CDBStudent* Read(int id, CXArray& items)
    {
        CXMap query;
        query.SetText(1, QString::number(id));
        EXPECT_TRUE(m_module.QueryItems(items, query, false, true)) << GetOleDbErrorText().toStdString();
        return items.GetSize() == 1 ? static_cast<CDBStudent*>(items.GetAt(0)) : nullptr;
    }

    TempDatabase m_db;
    CModuleStudent m_module;
};
