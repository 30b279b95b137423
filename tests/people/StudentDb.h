#pragma once

// A database for the student tests: the schema, the student module registered, a fixed
// "today".
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
    // A receipt of the student for a package of the courses, made to give the figures the
    // receipt view computes: the package row is absent (no lessons, no price of its own), so
    // the lessons are a lesson adjustment, the amount a price adjustment and the validity a
    // validity adjustment; consumed lessons are consuming class lines of no course (they
    // count for the receipt only), a refund is a refund alteration.
    static void AddReceipt(int student, int charge, int payDay, int lessons, int consumed, double paid,
                           int validEnd = 0, int refundDay = 0)
    {
        EXPECT_TRUE(Exec(QStringLiteral("INSERT INTO TB_RECEIPT (StudentID, ChargeID, PayDate, PayNum, AdjLsnVal,"
                                        " AdjPriceVal, AdjValidVal) VALUES (%1,%2,%3,1,%4,%5,%6)")
                             .arg(student)
                             .arg(charge)
                             .arg(payDay)
                             .arg(lessons)
                             .arg(paid)
                             .arg(validEnd ? validEnd - payDay : 0)));
        const int receipt = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_RECEIPT")));
        if (refundDay)
            EXPECT_TRUE(Exec(QStringLiteral("INSERT INTO TB_RECEIPT_ALTER (ReceiptID, RecordDate, AlterType)"
                                            " VALUES (%1,%2,1)")
                                 .arg(receipt)
                                 .arg(refundDay)));
        for (int n = 0; n < consumed; ++n) {
            EXPECT_TRUE(Exec(QStringLiteral("INSERT INTO TB_EDURCD (CourseID, ClassDate) VALUES (0,0)")));
            EXPECT_TRUE(Exec(QStringLiteral("INSERT INTO TB_EDURCD_STUDENT (EduRcdID, StudentID, Attence, ReceiptID)"
                                            " VALUES ((SELECT MAX(ID) FROM TB_EDURCD),%1,2,%2)")
                                 .arg(student)
                                 .arg(receipt)));
        }
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
