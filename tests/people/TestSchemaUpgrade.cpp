#include "CDBReceipt.h"
#include "CFakeAppServices.h"
#include "OpenDatabase.h"
#include "CDBTeacherPay.h"
#include "CDBCollect.h"
#include "PeopleTestSupport.h"

#include <gtest/gtest.h>

namespace {

QStringList Writable(const CHeads& heads)
{
    QStringList columns;
    for (int i = 0; i < heads.GetSize(); ++i)
        if (heads.GetAt(i)->m_bWritable)
            columns << heads.GetAt(i)->m_strColumn;
    return columns;
}

// A database of the first release (no course, package or receipt tables) opens, gains them,
// takes the fixture school and reads its statistics back.
TEST(SchemaUpgrade, FirstReleaseDatabaseGainsTheCourseAndPackageTables)
{
    TempDatabase db;
    for (const char* table : {"TB_COURSE", "TB_CHARGE", "TB_CHARGE_COURSE", "TB_RECEIPT", "TB_RECEIPT_ALTER",
                              "TB_COLLECT", "TB_COLLECT_ITEM", "TB_EDUSCH", "TB_EDUSCH_STUDENT", "TB_EDURCD",
                              "TB_EDURCD_STUDENT", "TB_EDUSCH_TEACHER", "TB_EDURCD_TEACHER", "TB_TEMPL"})
        ASSERT_TRUE(Exec(QStringLiteral("DROP TABLE %1").arg(QString::fromLatin1(table))));
    // the first release's student table, before the register's own columns
    for (const char* sql : {"DROP TABLE TB_STUDENT_RESUME", "DROP INDEX IX_STUDENT_NAME",
                            "DROP INDEX IX_STUDENT_IDCARD", "DROP INDEX IX_OPERLOG_FIND"})
        ASSERT_TRUE(Exec(QString::fromLatin1(sql)));
    for (const char* column : {"FullName", "Petname", "Sex", "Nation", "Birthday", "BirthApprox", "IDCard", "Refereer",
                               "AreaAddr", "ExactAddr", "IsEnabled", "RecordMemo"})
        ASSERT_TRUE(Exec(QStringLiteral("ALTER TABLE TB_STUDENT DROP COLUMN %1").arg(QString::fromLatin1(column))));
    // the first release's teacher table, before the teachers' register
    for (const char* sql : {"DROP TABLE TB_TEACHER_RESUME", "DROP TABLE TB_TEACHER_PAY", "DROP INDEX IX_TEACHER_NAME",
                            "DROP INDEX IX_TEACHER_IDCARD"})
        ASSERT_TRUE(Exec(QString::fromLatin1(sql)));
    for (const char* column : {"Petname", "Sex", "Nation", "Birthday", "BirthApprox", "IDCard", "Political", "AreaAddr",
                               "ExactAddr", "IsEnabled", "RecordMemo"})
        ASSERT_TRUE(Exec(QStringLiteral("ALTER TABLE TB_TEACHER DROP COLUMN %1").arg(QString::fromLatin1(column))));
    SetStoredVersion(QStringLiteral("4.6.0.0"));
    XClock::SetFixed(FixtureNow());
    CFakeAppServices::Installed().Clear();
    FixtureModules modules;

    ASSERT_TRUE(OpenDatabase());
    EXPECT_EQ(QueryText(QStringLiteral("SELECT KeyValue FROM TB_PROFILE WHERE KeyName='DatabaseVersion'")),
              GetProgramVersionText());
    EXPECT_EQ(
        QueryText(QStringLiteral(
            "SELECT COUNT(*) FROM sqlite_master WHERE name LIKE 'IX_CHARGE_COURSE_%' OR name LIKE 'IX_RECEIPT_%'")),
        QStringLiteral("5"));

    // the column check: exactly the stored columns are written, the statistics never
    EXPECT_EQ(Writable(*CDBCourse::StaticHeads()), QStringList({"RecordName", "GroupName", "IsEnabled", "RecordMemo"}));
    EXPECT_EQ(Writable(*CDBCharge::StaticHeads()),
              QStringList({"RecordName", "CheckBgn", "CheckEnd", "FixedDate", "ClassType", "ValidDays", "UsefulBgn",
                           "UsefulEnd", "LessonNum", "UnitPrice", "RecordMemo"}));
    EXPECT_EQ(Writable(*CDBChargeCourse::StaticHeads()), QStringList({"ChargeID", "CourseID"}));
    EXPECT_EQ(Writable(*CDBTeacherPay::StaticHeads()),
              QStringList({"TeacherID", "DateBgn", "MonthlyPay", "PerStudent", "PerUnit", "PerEduRcd", "PerMin",
                           "FullWork", "PerLate", "PerLeave", "PerCut", "RecordMemo"}));
    EXPECT_EQ(Writable(*CDBCollect::StaticHeads()),
              QStringList({"KeyName", "PayDate", "Payer", "PayType", "RecordMemo"}));
    EXPECT_EQ(Writable(*CDBCollectItem::StaticHeads()),
              QStringList({"CollectID", "Content", "UnitPrice", "PayNum", "Unit"}));
    EXPECT_EQ(Writable(*CDBReceipt::StaticHeads()),
              QStringList({"KeyName",     "PayDate",      "StudentID",   "Payer",        "ChargeID",
                           "AdjDcntVal",  "AdjDcntMemo",  "AdjPriceVal", "AdjPriceMemo", "AdjLsnVal",
                           "AdjLsnMemo",  "AdjGiftVal",   "AdjGiftMemo", "AdjBgnVal",    "AdjBgnMemo",
                           "AdjValidVal", "AdjValidMemo", "PayNum",      "PayType",      "RecordMemo"}));
    EXPECT_EQ(Writable(*CDBReceiptAlter::StaticHeads()),
              QStringList({"ReceiptID", "RecordDate", "AlterType", "AlterPrice", "AlterLesson", "AlterValid", "Insider",
                           "RecordMemo"}));

    XFixtureSchool school;
    ASSERT_TRUE(BuildFixtureSchool(school));
    EXPECT_EQ(ReadOne<CDBCourse>(school.piano)->m_nChgAll, 3);
    XClock::Reset();
    CFakeAppServices::Installed().Clear();
}

// The school builds quickly enough for every test to start from it.
TEST(FixtureSchool, BuildsOnAFreshDatabase)
{
    TempDatabase db;
    FixtureModules modules;
    CXDBSession session;
    session.Connect();
    ASSERT_TRUE(MarkWritableColumns(session));
    XFixtureSchool school;
    ASSERT_TRUE(BuildFixtureSchool(school));
    // how long the school takes to build is for the benchmarks, not a test: only what it holds
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM TB_CHARGE_COURSE")), QStringLiteral("6"));
    XClock::Reset();
}

} // namespace
