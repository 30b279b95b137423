// The teacher module on the fixture school: statistics, pay validity and taught courses as
// read, the query conditions and schemes, relations, and who may log in.
#include "CDBPrjQuery.h"
#include "CModuleTeacher.h"
#include "CommandIds.h"
#include "PeopleTestSupport.h"

#include "StandInModule.h"

#include <gtest/gtest.h>

namespace {

int DayNo(int y, int m, int d) { return static_cast<int>(XDateTime(y, m, d).Day()); }

class TeacherModule : public SchoolBeforeTimetablesTest
{
protected:
    CModuleTeacher& Module() { return *static_cast<CModuleTeacher*>(FindModule(MDU_TEACHER)); }

    // A teacher with employment lines here (begin, end; 0 = open) and education lines.
    static int AddTeacher(const QString& name, int role, std::initializer_list<std::pair<int, int>> jobs,
                          std::initializer_list<std::pair<int, int>> studies = {})
    {
        EXPECT_TRUE(
            Exec(QStringLiteral("INSERT INTO TB_TEACHER (RealName, RightRole) VALUES ('%1',%2)").arg(name).arg(role)));
        const int id = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_TEACHER")));
        for (const auto& [begin, end] : jobs)
            EXPECT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEACHER_RESUME (TeacherID, Stage, DateBgn, DateEnd) "
                                            "VALUES (%1,7,%2,%3)")
                                 .arg(id)
                                 .arg(begin)
                                 .arg(end)));
        for (const auto& [stage, end] : studies)
            EXPECT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEACHER_RESUME (TeacherID, Stage, DateBgn, DateEnd, Unit) "
                                            "VALUES (%1,%2,%3,%4,'某校')")
                                 .arg(id)
                                 .arg(stage)
                                 .arg(DayNo(2015, 9, 1))
                                 .arg(end)));
        return id;
    }
    static CXMap Scheme(CModule& module, const QString& name)
    {
        CXArray schemes(nullptr, true);
        module.AddQuickQueries(schemes);
        for (const CXItem* s : schemes)
            if (s->m_strName == name)
                return CXMap(static_cast<const CDBPrjQuery*>(s)->m_strRightData);
        ADD_FAILURE() << "no scheme " << name.toStdString();
        return {};
    }
    // A timetable of the course with a line of the teacher, and a class record of it.
    static int AddTimetable(int teacher, int course, int begin, int end, int lineBgn = 0, int lineEnd = 0)
    {
        EXPECT_TRUE(Exec(QStringLiteral("INSERT INTO TB_EDUSCH (CourseID, DateBgn, DateEnd) VALUES (%1,%2,%3)")
                             .arg(course)
                             .arg(begin)
                             .arg(end)));
        const int sch = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_EDUSCH")));
        EXPECT_TRUE(Exec(QStringLiteral("INSERT INTO TB_EDUSCH_TEACHER (EduSchID, TeacherID, EduBgn, EduEnd) VALUES "
                                        "(%1,%2,%3,%4)")
                             .arg(sch)
                             .arg(teacher)
                             .arg(lineBgn)
                             .arg(lineEnd)));
        return sch;
    }
    static void AddLesson(int teacher, int sch, int course, int day, int attence, int lessonType = 0)
    {
        EXPECT_TRUE(Exec(QStringLiteral("INSERT INTO TB_EDURCD (EduSchID, CourseID, ClassDate) VALUES (%1,%2,%3)")
                             .arg(sch)
                             .arg(course)
                             .arg(day)));
        EXPECT_TRUE(Exec(QStringLiteral("INSERT INTO TB_EDURCD_TEACHER (EduRcdID, TeacherID, Attence, LessonType) "
                                        "VALUES ((SELECT MAX(ID) FROM TB_EDURCD),%1,%2,%3)")
                             .arg(teacher)
                             .arg(attence)
                             .arg(lessonType)));
    }
};

// Who may log in: the query the login reads its users with, and the check of one teacher.
TEST_F(TeacherModule, LoginUsersAreEmployedOperatorsAndAdministrators)
{
    EXPECT_EQ(QueryNames(MDU_TEACHER, CModuleTeacher::LoginQuery()), QStringLiteral("刘芳,孙丽,郑强"));
    struct Case
    {
        const char* text;
        const char* found;
    } cases[] = {
        {"13700137000", "刘芳"},
        {"13600136000", "孙丽"},
        {"郑强", "郑强"}, // rehired
        {"吴敏", ""},     // left
        {"周杰", ""},     // ordinary user
        {"O'Brien", ""},  // bound, never SQL
    };
    for (const Case& c : cases)
        EXPECT_EQ(QueryNames(MDU_TEACHER, CModuleTeacher::LoginQuery(QString::fromUtf8(c.text))),
                  QString::fromUtf8(c.found))
            << c.text;

    const int ids[] = {m_school.t1, m_school.t2, m_school.t3, m_school.t4, m_school.t5};
    const bool may[] = {true, true, false, false, true};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(CModuleTeacher::CanLogIn(*ReadOne<CDBTeacher>(ids[i])), may[i]) << "T" << i + 1;
}

// What each login user may open: the administrator everything a module has, the operator
// only what RightData grants.
TEST_F(TeacherModule, RightsOfTheLoginUsers)
{
    const auto admin = ReadOne<CDBTeacher>(m_school.t1);
    const auto oper = ReadOne<CDBTeacher>(m_school.t2);
    QStringList granted;
    for (int id : kModuleCreationOrder) {
        const CStandInModule module(id);
        EXPECT_TRUE(admin->m_nRightRole == 2 && module.HasRight(*admin, module.m_nCaps)) << id;
        if (module.HasRight(*oper, RIGHT_QRY))
            granted << QString::number(id);
    }
    EXPECT_EQ(granted.join(u','), QStringLiteral("331,334"));
    EXPECT_TRUE(CStandInModule(MDU_RECEIPT).HasRight(*oper, RIGHT_QRY | RIGHT_ADD));
    EXPECT_FALSE(CStandInModule(MDU_EDURCD).HasRight(*oper, RIGHT_ADD));
}

// The standard that applies on a day, cut by the next one and by the end of employment; a
// rehired teacher's old closed line does not end the newest standard.
TEST_F(TeacherModule, PayStandardValidityAsRead)
{
    const auto t3 = ReadOne<CDBTeacher>(m_school.t3);
    ASSERT_EQ(t3->m_pays.GetSize(), 2);
    EXPECT_EQ(static_cast<int>(t3->m_pays[0]->m_validity.m_end.Day()), DayNo(2026, 6, 30));
    EXPECT_EQ(t3->m_pays[1]->m_validity.m_end.Day(), 0);
    EXPECT_EQ(t3->GetPayOn(XDateTime(2026, 3, 18))->m_fMonthlyPay, 3000);
    EXPECT_EQ(t3->GetPayOn(XDateTime(2026, 7, 1))->m_fMonthlyPay, 3500);
    EXPECT_EQ(t3->GetPayOn(XDateTime(2025, 12, 31)), nullptr);

    const auto pay = [](int teacher, int begin) {
        EXPECT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEACHER_PAY (TeacherID, DateBgn, MonthlyPay) VALUES (%1,%2,1)")
                             .arg(teacher)
                             .arg(begin)));
    };
    pay(m_school.t4, DayNo(2024, 1, 1));
    pay(m_school.t5, DayNo(2021, 1, 1));
    EXPECT_TRUE(Exec(QStringLiteral("UPDATE TB_TEACHER_RESUME SET DateEnd=%1 WHERE TeacherID=%2")
                         .arg(DayNo(2026, 8, 31))
                         .arg(m_school.t3)));
    struct Case
    {
        int teacher;
        int validEnd;
    } cases[] = {
        {m_school.t4, DayNo(2025, 12, 31)}, // left
        {m_school.t5, 0},                   // rehired: open again
        {m_school.t3, DayNo(2026, 8, 31)},  // leaving: the latest standard ends with the job
    };
    for (const Case& c : cases) {
        const auto t = ReadOne<CDBTeacher>(c.teacher);
        ASSERT_FALSE(t->m_pays.IsEmpty());
        EXPECT_EQ(static_cast<int>(t->m_pays[t->m_pays.GetSize() - 1]->m_validity.m_end.Day()), c.validEnd)
            << t->m_strName.toStdString();
    }
}

TEST_F(TeacherModule, EmploymentSchemesOfTheYear)
{
    const int joinedLeft = AddTeacher(QStringLiteral("甲"), 0, {{DayNo(2025, 5, 1), DayNo(2026, 2, 28)}});
    const int lateJoiner = AddTeacher(QStringLiteral("乙"), 0, {{DayNo(2026, 12, 31), 0}});
    AddTeacher(QStringLiteral("丙"), 0, {{DayNo(2027, 1, 1), 0}});
    AddTeacher(QStringLiteral("丁"), 0, {{DayNo(2024, 1, 1), DayNo(2025, 12, 31)}});
    const int tomorrow = AddTeacher(QStringLiteral("戊"), 0, {{DayNo(2024, 1, 1), DayNo(2026, 3, 19)}});
    Q_UNUSED(joinedLeft);
    Q_UNUSED(lateJoiner);
    Q_UNUSED(tomorrow);
    CModule& m = Module();
    struct Case
    {
        const char* scheme;
        const char* names;
    } cases[] = {
        {"今年在职", "乙,刘芳,周杰,孙丽,戊,甲,郑强"}, {"去年在职", "丁,刘芳,吴敏,周杰,孙丽,戊,甲,郑强"},
        {"在职", "丙,乙,刘芳,周杰,孙丽,戊,郑强"},     {"离职", "丁,吴敏,甲"},
        {"操作员或管理员", "刘芳,孙丽,郑强"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QueryNames(MDU_TEACHER, Scheme(m, QString::fromUtf8(c.scheme))), QString::fromUtf8(c.names))
            << c.scheme;
    // leave date from .. to: never the still employed
    CXMap both;
    both.SetDate(1126, XDateTime(2020, 1, 1));
    both.SetDate(1127, XDateTime(2030, 1, 1));
    EXPECT_EQ(QueryNames(MDU_TEACHER, both), QStringLiteral("丁,吴敏,戊,甲"));
}

TEST_F(TeacherModule, EducationConditionsAndListKeys)
{
    const int nextYear = DayNo(2027, 6, 30);
    AddTeacher(QStringLiteral("高本"), 0, {{DayNo(2024, 1, 1), 0}}, {{1, DayNo(2018, 6, 30)}, {4, DayNo(2022, 6, 30)}});
    AddTeacher(QStringLiteral("在读"), 0, {{DayNo(2024, 1, 1), 0}}, {{5, nextYear}});
    AddTeacher(QStringLiteral("无期"), 0, {{DayNo(2024, 1, 1), 0}}, {{5, 0}});
    struct Case
    {
        int key;
        const char* value;
        const char* names;
    } cases[] = {
        {1201, "4", "高本"},                    // the highest education stage
        {1201, "1", ""},                        //
        {1201, "7", ""},                        // 全职 is no education stage
        {1201, "5|4", "在读,无期,高本"},        // either separator
        {1070, "1", "在读"},                    // still studying: an end after today
        {1160, "1) OR (1=1", "吴敏,孙丽,郑强"}, // only the integers reach the SQL
    };
    for (const Case& c : cases) {
        CXMap query;
        query.SetText(c.key, QString::fromUtf8(c.value));
        EXPECT_EQ(QueryNames(MDU_TEACHER, query), QString::fromUtf8(c.names)) << c.key << " " << c.value;
    }
}

// The statistics of one teacher as read: timetable lines, class-record lines and the
// courses taught; an attendance without a consumed lesson still refuses the delete.
TEST_F(TeacherModule, TimetableAndClassRecordFigures)
{
    const int t3 = m_school.t3;
    // 2026-03-04 .. open, weekly: 03-04, 03-11, 03-18 -> 3 lessons so far
    const int sch = AddTimetable(t3, m_school.piano, DayNo(2026, 3, 4), 0);
    // ended 2026-01-31: not current
    AddTimetable(t3, m_school.art, DayNo(2026, 1, 7), DayNo(2026, 1, 31));
    AddLesson(t3, sch, m_school.piano, DayNo(2026, 3, 4), 2);
    AddLesson(t3, sch, m_school.piano, DayNo(2026, 3, 11), 1); // leave
    AddLesson(t3, 0, m_school.english, DayNo(2026, 3, 12), 3); // a temporary lesson, late
    const auto t = ReadOne<CDBTeacher>(t3);
    EXPECT_EQ(t->m_nSchAll, 2);
    EXPECT_EQ(t->m_nSchCur, 1);
    // piano 3 + art (01-07 .. 01-31: 24 days / 7 + 1 = 4)
    EXPECT_EQ(t->m_nSchRcd, 7);
    EXPECT_EQ(t->m_dtSchEnd.Day(), 0);
    EXPECT_EQ(t->m_nRcdTimes, 3);
    EXPECT_EQ(t->m_nRcdCountIn, 2);
    EXPECT_EQ(t->m_nRcdLeave, 1);
    // 7 planned + 1 unplanned - 3 held
    EXPECT_EQ(t->m_nRcdUncert, 5);
    QStringList courses;
    for (const CXItem* c : t->m_courses)
        courses << QString::number(c->m_nID);
    courses.sort();
    QStringList expected = {QString::number(m_school.piano), QString::number(m_school.art),
                            QString::number(m_school.english)};
    expected.sort();
    EXPECT_EQ(courses, expected);
    CXMap byCourse;
    byCourse.SetText(MDU_COURSE, QString::number(m_school.english));
    EXPECT_EQ(QueryNames(MDU_TEACHER, byCourse), QStringLiteral("周杰"));

    // only a leave line, nothing consumed
    AddLesson(m_school.t4, 0, m_school.piano, DayNo(2025, 3, 1), 1);
    EXPECT_EQ(ReadOne<CDBTeacher>(m_school.t4)->GetDeleteError(nullptr), QStringLiteral("已有关联的课堂记录。"));
}

TEST_F(TeacherModule, RelatedWagesAndOperations)
{
    CModule& m = Module();
    CXArray one(nullptr, true);
    CXMap ids;
    ids.SetText(QKEY_IDS, QString::number(m_school.t3));
    ASSERT_TRUE(m.QueryItems(one, ids, true, true));
    CXMap query;
    EXPECT_EQ(m.MakeRelateQuery(one, ID_REL_WAGES, query, FixtureUser()), -1); // no wages module here
    CStandInModule wages(MDU_WAGES);
    RegisterModule(&wages);
    EXPECT_EQ(m.MakeRelateQuery(one, ID_REL_WAGES, query, FixtureUser()), 1);
    EXPECT_EQ(query.GetText(QKEY_DATE_FROM), QStringLiteral("2026-01-01"));
    EXPECT_EQ(query.GetText(QKEY_DATE_TO), QStringLiteral("2026-12-31"));
    CXArray other(nullptr, true);
    ids.SetText(QKEY_IDS, QString::number(m_school.t1));
    ASSERT_TRUE(m.QueryItems(other, ids, true, true));
    CXMap none;
    EXPECT_EQ(m.MakeRelateQuery(other, ID_REL_WAGES, none, FixtureUser()), 0);
    UnregisterModule(&wages);
}

} // namespace
