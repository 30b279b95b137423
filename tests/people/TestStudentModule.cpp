// The student module: its options and schemes, the conditions a query map becomes, and
// reading, finding and filtering students in a database.
#include "CModuleOperLog.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "StudentDb.h"
#include "StudentModule.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

QStringList Conditions(const CXMap& query)
{
    QStringList list;
    CModuleStudent::AddStudentConditions(list, query);
    return list;
}

TEST(StudentModuleShape, OptionsSchemesAndRights)
{
    XClock::SetFixed(XDateTime(2026, 6, 15));
    std::unique_ptr<CModule> module = CreateStudentModule();
    EXPECT_EQ(module->GetMduID(), MDU_STUDENT);
    EXPECT_EQ(module->GetAddNewCmd(), 32776);
    EXPECT_FALSE(module->IsHidden());
    EXPECT_FALSE(module->RequiresQuery());
    QList<int> keys;
    for (const auto& option : module->m_options)
        keys << option->m_nKey;
    EXPECT_EQ(keys, (QList<int>{33208, 1047, 1048, 1200, 1034, 1036, 1201, 1252, 32903, 1065, 328, 1135, 1284}));
    CXArray schemes(nullptr, true);
    module->AddQuickQueries(schemes);
    ASSERT_EQ(schemes.GetSize(), 14);
    EXPECT_EQ(schemes.GetAt(0)->m_strName, QStringLiteral("近一年有活动"));
    EXPECT_EQ(schemes.GetAt(12)->m_strName, QStringLiteral("无记录"));
    EXPECT_EQ(schemes.GetAt(13)->m_strName, QStringLiteral("全部"));
    XClock::Reset();
}

TEST(StudentModuleConditions, DatesWidenToWholeMonths)
{
    CXMap query;
    query.SetDate(1047, XDateTime(2025, 6, 15));
    query.SetDate(1048, XDateTime(2026, 3, 10));
    query.SetDate(1034, XDateTime(2015, 2, 20));
    query.SetDate(1036, XDateTime(2020, 12, 5));
    const int jun1 = static_cast<int>(XDateTime(2025, 6, 1).Day());
    const int apr1 = static_cast<int>(XDateTime(2026, 4, 1).Day());
    const int feb1 = static_cast<int>(XDateTime(2015, 2, 1).Day());
    const int dec31 = static_cast<int>(XDateTime(2020, 12, 31).Day());
    EXPECT_EQ(Conditions(query),
              (QStringList{FormatString(u"LastActive>=%d", jun1), FormatString(u"LastActive<%d", apr1),
                           FormatString(u"Birthday>=%d", feb1), FormatString(u"Birthday<=%d", dec31)}));
}

TEST(StudentModuleConditions, ListKeysBecomeIntegersWhateverTheClientSends)
{
    const struct
    {
        int key;
        const char* value;
        const char* condition;
    } cases[] = {
        {1201, "5,6", "CurGrade IN (5,6)"},
        {1201, "5) OR (1=1", "CurGrade IN (5)"},
        {1201, "x", "CurGrade IN (0)"},
        {1200, "1; DROP TABLE TB_STUDENT", "Sex=1"},
        {1252, "0", "IsEnabled=0"},
        {32903, "1",
         "ID IN (SELECT DISTINCT UserID FROM TB_OPERLOG WHERE TypeID='OPER_LOGIN' AND UserMduID='MDU_STUDENT' AND "
         "JLEFT(UserSession,3)='wx_')"},
        {32903, "0",
         "ID NOT IN (SELECT DISTINCT UserID FROM TB_OPERLOG WHERE TypeID='OPER_LOGIN' AND UserMduID='MDU_STUDENT' AND "
         "JLEFT(UserSession,3)='wx_')"},
    };
    for (const auto& c : cases) {
        CXMap query;
        query.SetText(c.key, QString::fromUtf8(c.value));
        EXPECT_EQ(Conditions(query), QStringList{QString::fromUtf8(c.condition)}) << c.value;
    }
}

TEST(StudentModuleConditions, CourseLineConditionsAndTheRegisteredCase)
{
    const QString lines = CModuleStudent::CourseLineSql();
    ASSERT_FALSE(lines.isEmpty());
    CXMap query;
    query.SetText(1065, QStringLiteral("3"));
    query.SetText(328, QStringLiteral("12"));
    EXPECT_EQ(
        Conditions(query),
        QStringList{FormatString(
            u"(ID IN (SELECT DISTINCT StudentID FROM (%s) WHERE(ItemStatus IN(3)) AND (CourseID IN(12))))", lines)});
    CXMap registered;
    registered.SetText(1065, QStringLiteral("7"));
    EXPECT_EQ(Conditions(registered),
              QStringList{FormatString(u"(ID IN (SELECT DISTINCT StudentID FROM (%s) WHERE(ItemStatus IN(7)))) OR (ID "
                                       u"NOT IN (SELECT DISTINCT StudentID FROM (%s) ))",
                                       lines, lines)});
    registered.SetText(328, QStringLiteral("12"));
    EXPECT_TRUE(Conditions(registered).at(0).endsWith(QStringLiteral(" WHERE CourseID IN(12)))")));
}

class StudentModuleDb : public StudentDb
{};

TEST_F(StudentModuleDb, ReadsStudentsWithTitlesGradesAndAccounts)
{
    const int s1 = AddStudent(QStringLiteral("张三"), QStringLiteral("小明"), QStringLiteral("13800138000"));
    const int s2 = AddStudent(QStringLiteral("张三"));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_STUDENT_RESUME (StudentID, DateBgn, Stage) VALUES (%d,%d,6)", s1,
                                  Day(2025, 9, 1))));
    ASSERT_TRUE(Exec(FormatString(u"UPDATE TB_STUDENT SET Birthday=%d WHERE ID=%d", Day(2020, 3, 15), s2)));
    CXArray items(nullptr, true);
    CDBStudent* first = Read(s1, items);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->m_strName, QStringLiteral("张三 (小明)"));
    EXPECT_EQ(first->m_nRptCount, 1);
    ASSERT_EQ(first->m_accounts.GetSize(), 1);
    EXPECT_EQ(first->m_accounts.GetAt(0)->m_strName, QStringLiteral("13800138000"));
    ASSERT_EQ(first->m_resumes.GetSize(), 1);
    EXPECT_EQ(first->GetGrade(), 6);
    CXArray others(nullptr, true);
    CDBStudent* second = Read(s2, others);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->m_strName, QStringLiteral("张三"));
    EXPECT_EQ(second->GetGrade(), 3); // 中班 by birthday in school year 2025
    // the SQL grade agrees for a single line
    CXMap grade;
    grade.SetText(1201, QStringLiteral("3"));
    EXPECT_EQ(Find(grade), QList<int>{s2});
    EXPECT_EQ(CModuleStudent().GetItemTitleSql().isEmpty(), false);
    EXPECT_EQ(
        QueryText(FormatString(u"SELECT ItemTitle FROM (%s) WHERE ID=%d", CModuleStudent().GetItemTitleSql(), s1)),
        QStringLiteral("张三 (小明)"));
}

TEST_F(StudentModuleDb, LoginTextsFindByPhoneIdentityCardOrExactName)
{
    const int s1 = AddStudent(QStringLiteral("张三"), QStringLiteral("小明"), QStringLiteral("13800138000"));
    const int s3 = AddStudent(QStringLiteral("李四"), QString(), QStringLiteral("13912345678"),
                              QStringLiteral("110105201503150021"));
    const int quote = AddStudent(QStringLiteral("O'Neil"));
    const int symbol = AddStudent(QStringLiteral("A'B [V_RECEIPT] -- ?"));
    const struct
    {
        int key;
        QString text;
        QList<int> ids;
    } cases[] = {
        {1135, QStringLiteral("13800138000"), {s1}},
        {1135, QStringLiteral("110105201503150021"), {s3}},
        {1135, QStringLiteral("张三"), {s1}},
        {1135, QStringLiteral("O'Neil"), {quote}},
        {1135, QStringLiteral("A'B [V_RECEIPT] -- ?"), {symbol}},
        {1135, QStringLiteral("x' OR '1'='1"), {}},
        {1135, QStringLiteral("13700000000"), {}},
        {1284, QStringLiteral("13912345678"), {s3}},
        {1284, QStringLiteral("李四"), {}},
    };
    for (const auto& c : cases) {
        CXMap query;
        query.SetText(c.key, c.text);
        EXPECT_EQ(Find(query), c.ids) << c.text.toStdString();
    }
}

TEST_F(StudentModuleDb, StatusFiltersWorkPerCourse)
{
    const int math = 11, art = 12;
    AddPackage(1, {math});
    AddPackage(2, {art});
    const int registered = AddStudent(QStringLiteral("赵六"));
    const int trial = AddStudent(QStringLiteral("王五"));
    AddLesson(trial, art, Day(2026, 6, 1), 1);
    const int attending = AddStudent(QStringLiteral("李四"));
    AddReceipt(attending, 1, Day(2026, 1, 5), 20, 5, 2000, Day(2026, 12, 31));
    ASSERT_TRUE(
        Exec(FormatString(u"INSERT INTO TB_EDUSCH (CourseID, DateBgn) VALUES (%d,%d)", math, Day(2026, 1, 10))));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES (1,%d)", attending)));
    AddLesson(attending, art, Day(2026, 5, 1), 1);
    const int over = AddStudent(QStringLiteral("陈七"));
    AddReceipt(over, 1, Day(2026, 1, 5), 10, 12, 1000, Day(2026, 12, 31));

    const auto status = [&](const char* list, int course) {
        CXMap query;
        query.SetText(1065, QString::fromUtf8(list));
        if (course)
            query.SetText(328, QString::number(course));
        return Find(query);
    };
    EXPECT_EQ(status("7", 0), QList<int>{registered});
    EXPECT_EQ(status("7", art), (QList<int>{registered, over}));
    EXPECT_EQ(status("3", math), QList<int>{attending});
    EXPECT_EQ(status("3", art), QList<int>{}); // 上课 on math does not count for art
    EXPECT_EQ(status("0", 0), (QList<int>{trial, attending}));
    EXPECT_EQ(status("4", 0), QList<int>{over});

    CXArray items(nullptr, true);
    CDBStudent* s = Read(over, items);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->m_courses.GetSize(), 1);
    EXPECT_EQ(s->m_courses.GetAt(0)->m_nID, math);
    s->m_courses.GetAt(0)->m_strName = QStringLiteral("数学");
    s->Validate(nullptr, false);
    EXPECT_EQ(s->GetStatusLevel(), ST_STOP);
    EXPECT_EQ(s->GetDeleteError(nullptr), QStringLiteral("已有关联的报名收据、课堂记录。"));
}

TEST_F(StudentModuleDb, APackageOfTwoCoursesCountsOnceInTheStudentsTotals)
{
    AddPackage(3, {11, 12});
    const int s = AddStudent(QStringLiteral("李四"));
    AddReceipt(s, 3, Day(2026, 2, 1), 20, 5, 3000, Day(2026, 12, 31));
    CXArray items(nullptr, true);
    CDBStudent* st = Read(s, items);
    ASSERT_NE(st, nullptr);
    ASSERT_EQ(st->m_courses.GetSize(), 2); // the package shows under both courses
    for (const CXItem* line : st->m_courses)
        EXPECT_EQ(static_cast<const CDBStudentCourse*>(line)->m_rcpPaySum, 3000);
    EXPECT_EQ(st->m_nPayTimes, 1);
    EXPECT_DOUBLE_EQ(st->m_fPaySum, 3000);
    EXPECT_EQ(st->m_nLessonRemained, 15);
    EXPECT_EQ(
        st->FormatText(CDBStudent::StaticHeads()->FindByColumn(QStringLiteral("LessonRemained")), true, true, true),
        QStringLiteral("20-5=15"));
}

TEST_F(StudentModuleDb, TimetableAndAttendanceStatisticsPerCourse)
{
    AddPackage(1, {11});
    const int s = AddStudent(QStringLiteral("李四"));
    AddReceipt(s, 1, Day(2026, 1, 5), 20, 3, 2000, Day(2026, 12, 31));
    // today is 2026-06-15: a line from 2026-06-01 has had 3 weekly lessons; one starting
    // next month none yet, and it is open
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH (CourseID, DateBgn) VALUES (11,%d)", Day(2026, 6, 1))));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH (CourseID, DateBgn) VALUES (11,%d)", Day(2026, 7, 1))));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES (1,%d),(2,%d)", s, s)));
    AddLesson(s, 11, Day(2026, 6, 1), 0, 2);
    AddLesson(s, 11, Day(2026, 6, 8), 0, 1);
    AddLesson(s, 11, Day(2026, 6, 9), 0, 4, 0); // not from the timetable
    CXArray items(nullptr, true);
    CDBStudent* st = Read(s, items);
    ASSERT_NE(st, nullptr);
    ASSERT_EQ(st->m_courses.GetSize(), 1);
    const auto* line = static_cast<const CDBStudentCourse*>(st->m_courses.GetAt(0));
    EXPECT_EQ(line->m_nItemStatus, CDBStudentCourse::Attending);
    EXPECT_EQ(line->m_SchAll, 2);
    EXPECT_EQ(line->m_SchCur, 2);
    EXPECT_EQ(line->m_schRcd, 3);
    EXPECT_EQ(line->m_SchEnd.Day(), 0); // open
    EXPECT_EQ(line->m_rcdTimes, 3);
    EXPECT_EQ(line->m_rcdCountIn, 2);
    EXPECT_EQ(line->m_rcdLeave, 1);
    EXPECT_EQ(line->m_rcdUncert, 3 + 1 - 3);
    EXPECT_EQ(line->m_rcdMin.Day(), Day(2026, 6, 1));
    EXPECT_EQ(line->m_rcdMax.Day(), Day(2026, 6, 9));
}

TEST_F(StudentModuleDb, LatestActivityAndItsKind)
{
    const int s = AddStudent(QStringLiteral("王五"));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_OPERLOG (OperTime, MduID, ItemID, TypeID) VALUES (%d.4,321,%d,4)",
                                  Day(2026, 3, 31), s)));
    AddLesson(s, 12, Day(2026, 3, 31), 1);
    CXArray items(nullptr, true);
    CDBStudent* st = Read(s, items);
    ASSERT_NE(st, nullptr);
    EXPECT_EQ(st->m_nActiveType, 5); // the trial wins on the same day
    EXPECT_EQ(st->GetLastActiveText(), QStringLiteral("2026年3月31日 试听"));
    CXMap march;
    march.SetDate(1048, XDateTime(2026, 3, 1));
    EXPECT_EQ(Find(march), QList<int>{s});
    march.SetDate(1048, XDateTime(2026, 2, 1));
    EXPECT_EQ(Find(march), QList<int>{});
    // codes decode by rounding on every day of a year
    for (int day = Day(2026, 1, 1); day < Day(2027, 1, 1); day += 7) {
        const double value = QueryNumber(FormatString(
            u"SELECT CAST(ROUND((X - CAST(X AS INTEGER)) * 100) AS INTEGER) FROM (SELECT %d + 0.03 AS X)", day));
        ASSERT_EQ(value, 3) << day;
    }
}

TEST_F(StudentModuleDb, LessonLinesWithoutCourseLinesStillBlockTheDelete)
{
    const int s = AddStudent(QStringLiteral("赵六"));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH (CourseID, DateBgn) VALUES (11,%d)", Day(2026, 1, 10))));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES (1,%d)", s)));
    CXArray items(nullptr, true);
    CDBStudent* st = Read(s, items);
    ASSERT_NE(st, nullptr);
    EXPECT_EQ(st->m_courses.GetSize(), 0);
    EXPECT_EQ(st->GetDeleteError(nullptr), QStringLiteral("已有关联的课堂记录。"));
}

TEST_F(StudentModuleDb, OperationLogRelationOpensHalfAYearBack)
{
    const int s = AddStudent(QStringLiteral("王五"));
    ASSERT_TRUE(Exec(FormatString(
        u"INSERT INTO TB_OPERLOG (OperTime, UserMduID, UserID, TypeID) VALUES (%d.5,321,%d,2)", Day(2026, 6, 30), s)));
    CModuleOperLog log;
    RegisterModule(&log);
    CXItem admin;
    admin.m_nMduID = MDU_TEACHER;
    admin.m_nRightRole = 2;
    CXArray items(nullptr, true);
    ASSERT_NE(Read(s, items), nullptr);
    CXMap query;
    EXPECT_EQ(m_module.MakeRelateQuery(items, ID_REL_OPERLOG, query, admin), 1);
    EXPECT_EQ(query.GetDate(1047).Day(), XDateTime(2026, 1, 1).Day());
    EXPECT_EQ(query.GetText(321), items.GetAt(0)->GetLink());
    UnregisterModule(&log);
}

} // namespace
