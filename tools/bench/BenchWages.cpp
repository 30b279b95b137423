// Times one month of teachers' wages built through the wage module (pay standards, résumés
// and the month's class records through the class-record module) on the school the class-record
// benchmark generates, each teacher with a pay standard and an open employment line.
// Medians of the runs.
// Usage: bench_wages [runs=5]
#include "BenchSchool.h"
#include "CDBWages.h"
#include "CModuleWages.h"
#include "CXDBSession.h"
#include "TeacherModule.h"
#include "TypedLines.h"
#include "XDateTime.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    // registered after the set-up's own modules and unregistered before them, so made first
    const std::unique_ptr<CModule> teachers = CreateTeacherModule();
    CModuleWages wages;
    XBenchSchoolSetUp setUp;
    // every teacher employed and paid by the same standard from a year before
    const auto payLines = [](CXDBSession& s, const XBenchSchool& school) {
        const int since = static_cast<int>(XDateTime(2025, 6, 1).Day());
        bool ok = true;
        for (int t = 1; t <= school.teachers; ++t) {
            ok = ok && BenchExec(s, QStringLiteral("INSERT INTO TB_TEACHER_RESUME (TeacherID, DateBgn, Stage) "
                                                   "VALUES (%1, %2, 7)")
                                        .arg(t)
                                        .arg(since));
            ok = ok && BenchExec(s, QStringLiteral("INSERT INTO TB_TEACHER_PAY (TeacherID, DateBgn, MonthlyPay, "
                                                   "FullWork, PerLate, PerLeave, PerCut, PerStudent, PerUnit, "
                                                   "PerEduRcd, PerMin) "
                                                   "VALUES (%1, %2, 3000, 200, 20, 30, 50, 30, 10, 20, 60)")
                                        .arg(t)
                                        .arg(since));
        }
        return ok;
    };
    if (!setUp.Open(payLines) || !setUp.RegisterModules({teachers.get(), &wages}))
        return 1;
    const CXMap query = BenchMonthQuery();
    std::vector<double> times;
    int rows = 0, records = 0;
    double total = 0;
    for (int run = 0; run < runs; ++run) {
        const auto t0 = std::chrono::steady_clock::now();
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
    return 0;
}
