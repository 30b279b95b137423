#pragma once

#include "CFakeAppServices.h"
#include "DbTestSupport.h"
#include "OpenDatabase.h"
#include "OperLog.h"
#include "TestRecordClasses.h"
#include "XDateTime.h"

#include <gtest/gtest.h>

#include <memory>

// The receipt module numbers its records with a pattern the test sets.
class CTestModuleReceipt : public CModuleT<CTestReceipt>
{
public:
    QString GetKeyFormat() const override { return m_strKeyFormat; }
    QString m_strKeyFormat = QStringLiteral("B[Y][nnnn]");
};

// A database with the test record classes' tables, their modules registered and their
// writable columns marked, a fixed clock, errors captured and the desktop user.
class RecordDb : public ::testing::Test
{
protected:
    void SetUp() override
    {
        XClock::SetFixed(m_now);
        ASSERT_TRUE(Exec(QStringLiteral(
            "CREATE TABLE TB_TEST_COURSE (ID INTEGER PRIMARY KEY AUTOINCREMENT, RecordName TEXT NOT NULL DEFAULT '' "
            "COLLATE NOCASE,"
            " IsEnabled INTEGER NOT NULL DEFAULT 1, Price REAL NOT NULL DEFAULT 0, TeacherNote TEXT NOT NULL DEFAULT "
            "'');"
            "CREATE TABLE TB_TEST_CHARGE (ID INTEGER PRIMARY KEY AUTOINCREMENT, RecordName TEXT NOT NULL DEFAULT '', "
            "Times INTEGER NOT NULL DEFAULT 0,"
            " Price REAL NOT NULL DEFAULT 0, BeginDate REAL NOT NULL DEFAULT 0, TimeSpan INTEGER NOT NULL DEFAULT 0,"
            " IsEnabled INTEGER NOT NULL DEFAULT 0, Room TEXT NOT NULL DEFAULT '', TeacherID INTEGER NOT NULL DEFAULT "
            "0,"
            " CourseID INTEGER NOT NULL DEFAULT 0);"
            "CREATE TABLE TB_TEST_CHARGE_COURSE (ID INTEGER PRIMARY KEY AUTOINCREMENT, ChargeID INTEGER NOT NULL "
            "DEFAULT 0,"
            " CourseID INTEGER NOT NULL DEFAULT 0, Lessons INTEGER NOT NULL DEFAULT 0);"
            "CREATE TABLE TB_TEST_RECEIPT (ID INTEGER PRIMARY KEY AUTOINCREMENT, KeyName TEXT NOT NULL DEFAULT '' "
            "COLLATE NOCASE,"
            " Amount REAL NOT NULL DEFAULT 0, RecordMemo TEXT NOT NULL DEFAULT '', Note TEXT NOT NULL DEFAULT '',"
            " StudentID INTEGER NOT NULL DEFAULT 0, Logo BLOB, Template BLOB);")))
            << GetOleDbErrorText().toStdString();
        for (CModule* m :
             {static_cast<CModule*>(&m_course), static_cast<CModule*>(&m_charge), static_cast<CModule*>(&m_receipt),
              static_cast<CModule*>(&m_teacher), static_cast<CModule*>(&m_student)})
            RegisterModule(m);
        m_course.m_nCaps = m_charge.m_nCaps = m_receipt.m_nCaps = m_teacher.m_nCaps = m_student.m_nCaps = 0x1e;
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session));
        m_user.m_nMduID = MDU_TEACHER;
        m_user.m_nID = 7;
        m_user.m_strName = QStringLiteral("王老师");
        CFakeAppServices::Installed().Clear();
    }
    void TearDown() override
    {
        XClock::Reset();
        CFakeAppServices::Installed().Clear();
    }

    static int Count(const QString& sql) { return static_cast<int>(QueryNumber(sql)); }

    TempDatabase m_db;
    XDateTime m_now{2025, 3, 5, 12, 0, 0};
    ErrorCapture m_errors;
    CTestModuleCourse m_course;
    CModuleT<CTestCharge> m_charge;
    CTestModuleReceipt m_receipt;
    CModuleT<CTestTeacher> m_teacher;
    CModuleT<CTestStudent> m_student;
    CXItem m_user;
};
