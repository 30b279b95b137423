// Times one month of class records read through the class-record module (stored records,
// planned ones generated from the timetables and merged) against the bare SQLite reads of the
// same statements, on a generated school: 50 teachers, 500 students, 120 weekly timetables and
// a year of stored attendance. Medians of the runs.
// Usage: bench_classrecords [runs=5]
#include "BenchSchool.h"
#include "CDBEduRcd.h"
#include "CDBEduSch.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "SqlPrepare.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

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

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    XBenchSchoolSetUp setUp;
    if (!setUp.Open() || !setUp.RegisterModules())
        return 1;
    CXDBSession& s = setUp.session;
    CModuleEduRcd& classes = setUp.classes;
    const CXMap query = BenchMonthQuery();
    std::vector<double> module, bare;
    long count = 0, rows = 0;
    for (int run = 0; run < runs; ++run) {
        auto t0 = std::chrono::steady_clock::now();
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
    return 0;
}
