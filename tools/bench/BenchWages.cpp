// Times one month of teachers' wages built through the wage module (pay standards, résumés
// and the month's class records through the class-record module) on the school the class-record
// benchmark generates, each teacher with a pay standard and an open employment line.
// Medians of the runs.
// Usage: bench_wages [runs=5]
#include "BenchSchool.h"
#include "CDBWages.h"
#include "CModuleEduRcd.h"
#include "CModuleEduSch.h"
#include "CModuleReceipt.h"
#include "CModuleWages.h"
#include "CXDBSession.h"
#include "OpenDatabase.h"
#include "TeacherModule.h"
#include "TypedLines.h"
#include "XDateTime.h"

#include <QtCore/QTemporaryDir>

#include <cstdio>
#include <cstdlib>

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
    XBenchSchool school;
    auto t0 = std::chrono::steady_clock::now();
    if (!BuildBenchSchool(s, school))
        return 1;
    const int since = static_cast<int>(XDateTime(2025, 6, 1).Day());
    bool ok = s.BeginTransaction();
    for (int t = 1; t <= school.teachers; ++t) {
        ok = ok && BenchExec(s, QStringLiteral("INSERT INTO TB_TEACHER_RESUME (TeacherID, DateBgn, Stage) "
                                               "VALUES (%1, %2, 7)")
                                    .arg(t)
                                    .arg(since));
        ok = ok && BenchExec(s, QStringLiteral("INSERT INTO TB_TEACHER_PAY (TeacherID, DateBgn, MonthlyPay, FullWork, "
                                               "PerLate, PerLeave, PerCut, PerStudent, PerUnit, PerEduRcd, PerMin) "
                                               "VALUES (%1, %2, 3000, 200, 20, 30, 50, 30, 10, 20, 60)")
                                    .arg(t)
                                    .arg(since));
    }
    if (!ok || !s.Commit())
        return 1;
    std::printf("generated %d teachers, %d students, %d timetables, %d stored classes in %.1f s\n", school.teachers,
                school.students, school.timetables, school.storedClasses, Seconds(t0));

    CModuleEduRcd classes;
    CModuleEduSch schedules;
    CModuleReceipt receipts;
    const std::unique_ptr<CModule> teachers = CreateTeacherModule();
    CModuleWages wages;
    for (CModule* m : {static_cast<CModule*>(&classes), static_cast<CModule*>(&schedules),
                       static_cast<CModule*>(&receipts), teachers.get(), static_cast<CModule*>(&wages)})
        RegisterModule(m);
    MarkWritableColumns(s);

    // one month: May 2026
    CXMap query;
    query.SetDate(QKEY_DATE_FROM, XDateTime(2026, 5, 1));
    query.SetDate(QKEY_DATE_TO, XDateTime(2026, 5, 31));
    std::vector<double> times;
    int rows = 0, records = 0;
    double total = 0;
    for (int run = 0; run < runs; ++run) {
        t0 = std::chrono::steady_clock::now();
        CXArrayT<CDBWages, true> items;
        if (!wages.QueryItems(items, query, true, false))
            return 1;
        times.push_back(Seconds(t0));
        rows = items.GetSize();
        records = 0;
        total = 0;
        for (const auto* row : Typed(items)) {
            records += row->m_records.GetSize();
            total += row->GetTotal();
        }
    }
    std::printf("May 2026: %d wage rows over %d classes (owed %.2f), median %.3f s over %d runs\n", rows, records,
                total, Median(times), runs);
    for (CModule* m : {static_cast<CModule*>(&wages), teachers.get(), static_cast<CModule*>(&receipts),
                       static_cast<CModule*>(&schedules), static_cast<CModule*>(&classes)})
        UnregisterModule(m);
    return 0;
}
