#include "BenchSchool.h"

#include "CModule.h"
#include "CXDBSession.h"
#include "OpenDatabase.h"
#include "XDateTime.h"

#include <cstdio>
#include <random>

bool BenchExec(CXDBSession& s, const QString& sql)
{
    if (!s.ExecuteSql(sql)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(sql.left(200)), qPrintable(GetOleDbErrorText()));
        return false;
    }
    return true;
}

bool BuildBenchSchool(CXDBSession& s, XBenchSchool& school)
{
    bool ok = true;
    const int today = static_cast<int>(XDateTime(2026, 6, 15).Day());
    const int yearAgo = today - 364;
    std::mt19937 rng(11);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const int teachers = school.teachers, students = school.students, timetables = school.timetables,
              courses = school.courses, perClass = school.perClass;

    s.BeginTransaction();
    for (int c = 1; c <= courses; ++c) {
        ok = ok && BenchExec(s, QStringLiteral("INSERT INTO TB_COURSE (RecordName) VALUES ('课程%1')").arg(c));
        ok = ok && BenchExec(s, QStringLiteral("INSERT INTO TB_CHARGE (RecordName, LessonNum, UnitPrice, ValidDays) "
                                               "VALUES ('课时包%1', 48, 100, 400)")
                                    .arg(c));
        ok = ok &&
             BenchExec(s, QStringLiteral("INSERT INTO TB_CHARGE_COURSE (ChargeID, CourseID) VALUES (%1,%1)").arg(c));
    }
    for (int t = 1; t <= teachers; ++t)
        ok = ok && BenchExec(s, QStringLiteral("INSERT INTO TB_TEACHER (RealName) VALUES ('教师%1')").arg(t));
    for (int i = 1; i <= students; ++i)
        ok = ok && BenchExec(s, QStringLiteral("INSERT INTO TB_STUDENT (RealName) VALUES ('学员%1')").arg(i));
    // each timetable: one course, one teacher, four students each with a receipt of that
    // course; a class every week for the year, all on time, each consuming its receipt
    int rcd = 0, receipt = 0;
    for (int k = 1; k <= timetables; ++k) {
        const int course = 1 + (k - 1) % courses;
        const int begin = yearAgo + pick(7);
        const int span = (8 + pick(12)) * 1000000 + (8 + pick(12)) * 100 + 45;
        ok = ok &&
             BenchExec(
                 s, QStringLiteral("INSERT INTO TB_EDUSCH (CourseID, ClassForm, DateBgn, TimeSpan) VALUES (%1,0,%2,%3)")
                        .arg(course)
                        .arg(begin)
                        .arg(span));
        const int teacher = 1 + (k - 1) % teachers;
        ok = ok && BenchExec(s, QStringLiteral("INSERT INTO TB_EDUSCH_TEACHER (EduSchID, TeacherID) VALUES (%1,%2)")
                                    .arg(k)
                                    .arg(teacher));
        std::vector<std::pair<int, int>> lines; // student, receipt
        for (int n = 0; n < perClass; ++n) {
            const int student = 1 + ((k - 1) * perClass + n) % students;
            ok = ok && BenchExec(s, QStringLiteral("INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES (%1,%2)")
                                        .arg(k)
                                        .arg(student));
            ok = ok &&
                 BenchExec(s, QStringLiteral(
                                  "INSERT INTO TB_RECEIPT (StudentID, ChargeID, PayDate, PayNum) VALUES (%1,%2,%3,1)")
                                  .arg(student)
                                  .arg(course)
                                  .arg(yearAgo - 10));
            lines.emplace_back(student, ++receipt);
        }
        for (int day = begin; day <= today; day += 7) {
            ok = ok && BenchExec(s, QStringLiteral(
                                        "INSERT INTO TB_EDURCD (ClassDate, CourseID, ClassForm, TimeSpan, EduSchID, "
                                        "ClassStatus) VALUES (%1,%2,0,%3,%4,2)")
                                        .arg(day)
                                        .arg(course)
                                        .arg(span)
                                        .arg(k));
            ++rcd;
            ok = ok && BenchExec(s, QStringLiteral(
                                        "INSERT INTO TB_EDURCD_TEACHER (EduRcdID, TeacherID, Attence) VALUES (%1,%2,2)")
                                        .arg(rcd)
                                        .arg(teacher));
            int sub = (k - 1) * perClass;
            for (const auto& [student, rcp] : lines)
                ok = ok && BenchExec(s, QStringLiteral(
                                            "INSERT INTO TB_EDURCD_STUDENT (EduRcdID, StudentID, SchSubID, TimeSpan, "
                                            "Attence, ReceiptID) VALUES (%1,%2,%3,%4,2,%5)")
                                            .arg(rcd)
                                            .arg(student)
                                            .arg(++sub)
                                            .arg(span)
                                            .arg(rcp));
        }
    }
    ok = ok && s.Commit() && BenchExec(s, QStringLiteral("ANALYZE"));
    school.storedClasses = rcd;
    return ok;
}

XBenchSchoolSetUp::~XBenchSchoolSetUp()
{
    for (auto it = m_registered.rbegin(); it != m_registered.rend(); ++it)
        UnregisterModule(*it);
}

bool XBenchSchoolSetUp::Open(const std::function<bool(CXDBSession&, const XBenchSchool&)>& extraRows)
{
    if (!m_home.isValid())
        return false;
    qputenv("LORVAN_HOME", m_home.path().toLocal8Bit());
    XClock::SetFixed(XDateTime(2026, 6, 15, 10, 0, 0));
    if (!CreateDatabase(GetConnectionString())) {
        std::fprintf(stderr, "cannot make the database: %s\n", qPrintable(GetOleDbErrorText()));
        return false;
    }
    session.Connect();
    const auto t0 = std::chrono::steady_clock::now();
    if (!BuildBenchSchool(session, school))
        return false;
    if (extraRows) {
        if (!session.BeginTransaction())
            return false;
        if (!extraRows(session, school) || !session.Commit())
            return false;
    }
    std::printf("generated %d teachers, %d students, %d timetables, %d stored classes in %.1f s\n", school.teachers,
                school.students, school.timetables, school.storedClasses, Seconds(t0));
    return true;
}

bool XBenchSchoolSetUp::RegisterModules(std::initializer_list<CModule*> more)
{
    std::vector<CModule*> modules{&classes, &schedules, &receipts};
    modules.insert(modules.end(), more.begin(), more.end());
    for (CModule* m : modules) {
        RegisterModule(m);
        m_registered.push_back(m);
    }
    return MarkWritableColumns(session);
}

CXMap BenchMonthQuery()
{
    CXMap query;
    query.SetDate(QKEY_DATE_FROM, XDateTime(2026, 5, 1));
    query.SetDate(QKEY_DATE_TO, XDateTime(2026, 5, 31));
    return query;
}
