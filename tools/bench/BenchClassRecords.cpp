// Times one month of class records read through the class-record module (stored records,
// planned ones generated from the timetables and merged) against the bare SQLite reads of the
// same statements, on a generated school: 50 teachers, 500 students, 120 weekly timetables and
// a year of stored attendance. Medians of the runs.
// Usage: bench_classrecords [runs=5]
#include "CDBEduRcd.h"
#include "CDBEduSch.h"
#include "CModuleEduRcd.h"
#include "CModuleEduSch.h"
#include "CModuleReceipt.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "OpenDatabase.h"
#include "SqlPrepare.h"
#include "XDateTime.h"

#include <QtCore/QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

bool Exec(CXDBSession& s, const QString& sql)
{
    if (!s.ExecuteSql(sql)) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(sql.left(200)), qPrintable(GetOleDbErrorText()));
        return false;
    }
    return true;
}

// Steps a statement to its end; the IDs of its first column when asked.
long Step(CXDBSession& s, const QString& sql, QStringList* ids = nullptr)
{
    CXAccessor cmd;
    if (!cmd.Open(s, sql))
        return -1;
    long rows = 0;
    while (cmd.MoveNext()) {
        ++rows;
        if (ids)
            ids->append(QString::number(static_cast<long long>(cmd.GetNumber(1))));
    }
    return cmd.Failed() ? -1 : rows;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    QTemporaryDir home;
    qputenv("LORVAN_HOME", home.path().toLocal8Bit());
    XClock::SetFixed(XDateTime(2026, 6, 15, 10, 0, 0));
    if (!CreateDatabase(GetConnectionString()))
        return 1;
    CXDBSession s;
    s.Connect();
    const int today = static_cast<int>(XDateTime(2026, 6, 15).Day());
    const int yearAgo = today - 364;
    std::mt19937 rng(11);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const int teachers = 50, students = 500, timetables = 120, courses = 20, perClass = 4;

    auto t0 = std::chrono::steady_clock::now();
    s.BeginTransaction();
    for (int c = 1; c <= courses; ++c) {
        Exec(s, QStringLiteral("INSERT INTO TB_COURSE (RecordName) VALUES ('课程%1')").arg(c));
        Exec(s, QStringLiteral("INSERT INTO TB_CHARGE (RecordName, LessonNum, UnitPrice, ValidDays) "
                               "VALUES ('课时包%1', 48, 100, 400)")
                    .arg(c));
        Exec(s, QStringLiteral("INSERT INTO TB_CHARGE_COURSE (ChargeID, CourseID) VALUES (%1,%1)").arg(c));
    }
    for (int t = 1; t <= teachers; ++t)
        Exec(s, QStringLiteral("INSERT INTO TB_TEACHER (RealName) VALUES ('教师%1')").arg(t));
    for (int i = 1; i <= students; ++i)
        Exec(s, QStringLiteral("INSERT INTO TB_STUDENT (RealName) VALUES ('学员%1')").arg(i));
    // each timetable: one course, one teacher, four students each with a receipt of that
    // course; a class every week for the year, all on time, each consuming its receipt
    int rcd = 0, receipt = 0;
    for (int k = 1; k <= timetables; ++k) {
        const int course = 1 + (k - 1) % courses;
        const int begin = yearAgo + pick(7);
        const int span = (8 + pick(12)) * 1000000 + (8 + pick(12)) * 100 + 45;
        Exec(s, QStringLiteral("INSERT INTO TB_EDUSCH (CourseID, ClassForm, DateBgn, TimeSpan) VALUES (%1,0,%2,%3)")
                    .arg(course)
                    .arg(begin)
                    .arg(span));
        const int teacher = 1 + (k - 1) % teachers;
        Exec(s,
             QStringLiteral("INSERT INTO TB_EDUSCH_TEACHER (EduSchID, TeacherID) VALUES (%1,%2)").arg(k).arg(teacher));
        std::vector<std::pair<int, int>> lines; // student, receipt
        for (int n = 0; n < perClass; ++n) {
            const int student = 1 + ((k - 1) * perClass + n) % students;
            Exec(s, QStringLiteral("INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES (%1,%2)")
                        .arg(k)
                        .arg(student));
            Exec(s, QStringLiteral("INSERT INTO TB_RECEIPT (StudentID, ChargeID, PayDate, PayNum) VALUES (%1,%2,%3,1)")
                        .arg(student)
                        .arg(course)
                        .arg(yearAgo - 10));
            lines.emplace_back(student, ++receipt);
        }
        for (int day = begin; day <= today; day += 7) {
            Exec(s, QStringLiteral("INSERT INTO TB_EDURCD (ClassDate, CourseID, ClassForm, TimeSpan, EduSchID, "
                                   "ClassStatus) VALUES (%1,%2,0,%3,%4,2)")
                        .arg(day)
                        .arg(course)
                        .arg(span)
                        .arg(k));
            ++rcd;
            Exec(s, QStringLiteral("INSERT INTO TB_EDURCD_TEACHER (EduRcdID, TeacherID, Attence) VALUES (%1,%2,2)")
                        .arg(rcd)
                        .arg(teacher));
            int sub = (k - 1) * perClass;
            for (const auto& [student, rcp] : lines)
                Exec(s, QStringLiteral("INSERT INTO TB_EDURCD_STUDENT (EduRcdID, StudentID, SchSubID, TimeSpan, "
                                       "Attence, ReceiptID) VALUES (%1,%2,%3,%4,2,%5)")
                            .arg(rcd)
                            .arg(student)
                            .arg(++sub)
                            .arg(span)
                            .arg(rcp));
        }
    }
    s.Commit();
    Exec(s, QStringLiteral("ANALYZE"));
    std::printf("generated %d teachers, %d students, %d timetables, %d stored classes in %.1f s\n", teachers, students,
                timetables, rcd, Seconds(t0));

    CModuleEduRcd classes;
    CModuleEduSch schedules;
    CModuleReceipt receipts;
    RegisterModule(&classes);
    RegisterModule(&schedules);
    RegisterModule(&receipts);
    MarkWritableColumns(s);

    // one month: May 2026
    CXMap query;
    query.SetDate(1047, XDateTime(2026, 5, 1));
    query.SetDate(1048, XDateTime(2026, 5, 31));
    std::vector<double> module, bare;
    long count = 0, rows = 0;
    for (int run = 0; run < runs; ++run) {
        t0 = std::chrono::steady_clock::now();
        CXArray items(nullptr, true);
        if (!classes.QueryItems(items, query, true, false))
            return 1;
        module.push_back(Seconds(t0));
        count = items.GetSize();

        // the statements the query runs, stepped bare: the month's class records, their
        // student and teacher lines, the timetables and their lines
        t0 = std::chrono::steady_clock::now();
        const QStringList conditions = classes.BuildConditions(query, nullptr);
        QStringList rcdIds, schIds;
        rows = Step(s, PrepareSql(CDBEduRcd::StaticHeads()->BuildSelect(nullptr, &conditions)), &rcdIds);
        const QString rcdList = rcdIds.join(u',');
        rows += Step(s, PrepareSql(CDBEduRcdStudent::StaticHeads()->BuildSelect(&rcdList, nullptr)));
        rows += Step(s, PrepareSql(CDBEduRcdTeacher::StaticHeads()->BuildSelect(&rcdList, nullptr)));
        rows += Step(s, PrepareSql(CDBEduSch::StaticHeads()->BuildSelect(nullptr, nullptr)), &schIds);
        const QString schList = schIds.join(u',');
        rows += Step(s, PrepareSql(CDBEduSchStudent::StaticHeads()->BuildSelect(&schList, nullptr)));
        rows += Step(s, PrepareSql(CDBEduSchTeacher::StaticHeads()->BuildSelect(&schList, nullptr)));
        bare.push_back(Seconds(t0));
    }
    const double m = Median(module), b = Median(bare);
    std::printf("May 2026: %ld class records through the module, median %.3f s over %d runs\n", count, m, runs);
    std::printf("bare reads: %ld rows, median %.3f s; ratio %.2f\n", rows, b, m / b);
    UnregisterModule(&receipts);
    UnregisterModule(&schedules);
    UnregisterModule(&classes);
    return 0;
}
