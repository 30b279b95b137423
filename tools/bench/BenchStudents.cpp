// Times the student list with its statistics read through the module against the same SQL
// stepped bare, on a generated school.
// Usage: bench_students [students=20000] [receipts=60000] [lessons=600000]
#include "CModuleStudent.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "OpenDatabase.h"
#include "Resources.h"
#include "SqlPrepare.h"
#include "XDateTime.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>

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

long Step(CXDBSession& s, const QString& sql)
{
    CXAccessor cmd;
    if (!cmd.Open(s, sql))
        return -1;
    long rows = 0;
    while (cmd.MoveNext())
        ++rows;
    return cmd.Failed() ? -1 : rows;
}

} // namespace

int main(int argc, char** argv)
{
    const int students = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int receipts = argc > 2 ? std::atoi(argv[2]) : 60000;
    const int lessons = argc > 3 ? std::atoi(argv[3]) : 600000;
    QTemporaryDir home;
    qputenv("LORVAN_HOME", home.path().toLocal8Bit());
    XClock::SetFixed(XDateTime(2026, 6, 15, 10, 0, 0));
    const QString path = GetConnectionString();
    if (!CreateDatabase(path))
        return 1;
    CXDBSession s;
    s.Connect();
    const int today = static_cast<int>(XDateTime(2026, 6, 15).Day());
    std::mt19937 rng(7);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    if (!Exec(s, QStringLiteral("CREATE INDEX IF NOT EXISTS IX_ESS ON TB_EDUSCH_STUDENT (StudentID);"
                                "CREATE INDEX IF NOT EXISTS IX_ERS ON TB_EDURCD_STUDENT (StudentID);")))
        return 1;
    auto t0 = std::chrono::steady_clock::now();
    s.BeginTransaction();
    for (int c = 1; c <= 40; ++c)
        Exec(s, QStringLiteral("INSERT INTO TB_CHARGE_COURSE (ChargeID, CourseID) VALUES (%1,%2)")
                    .arg(c)
                    .arg(c <= 20 ? c : c - 20));
    for (int c = 1; c <= 20; ++c)
        Exec(s, QStringLiteral("INSERT INTO TB_EDUSCH (CourseID, DateBgn) VALUES (%1,%2)").arg(c).arg(today - 200));
    for (int i = 1; i <= students; ++i)
        Exec(s, QStringLiteral("INSERT INTO TB_STUDENT (RealName, Birthday) VALUES ('学员%1',%2)")
                    .arg(i % (students / 2 + 1))
                    .arg(today - 3000 - pick(3000)));
    for (int i = 1; i <= receipts; ++i) {
        // no package rows: 20 lessons and ¥1000 as adjustments, the validity as a validity
        // adjustment from the payment day
        const int payDay = today - pick(700);
        Exec(s, QStringLiteral("INSERT INTO TB_RECEIPT (StudentID, ChargeID, PayDate, PayNum, AdjLsnVal, AdjPriceVal, "
                               "AdjValidVal) VALUES (%1,%2,%3,1,20,1000,%4)")
                    .arg(1 + pick(students))
                    .arg(1 + pick(40))
                    .arg(payDay)
                    .arg(today + 100 - pick(300) - payDay));
    }
    for (int i = 1; i <= students; ++i)
        Exec(s, QStringLiteral("INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES (%1,%2)")
                    .arg(1 + pick(20))
                    .arg(i));
    const int classes = lessons / 10;
    for (int i = 1; i <= classes; ++i)
        Exec(s, QStringLiteral("INSERT INTO TB_EDURCD (CourseID, ClassDate) VALUES (%1,%2)")
                    .arg(1 + pick(20))
                    .arg(today - pick(700)));
    for (int i = 1; i <= lessons; ++i)
        Exec(s, QStringLiteral("INSERT INTO TB_EDURCD_STUDENT (EduRcdID, StudentID, LessonType, Attence, SchSubID, "
                               "ReceiptID) VALUES (%1,%2,%3,%4,1,%5)")
                    .arg(1 + pick(classes))
                    .arg(1 + pick(students))
                    .arg(pick(10) == 0 ? 1 : 0)
                    .arg(pick(5))
                    .arg(1 + pick(receipts)));
    s.Commit();
    Exec(s, QStringLiteral("ANALYZE"));
    std::printf("generated %d students, %d receipts, %d class lines in %.1f s\n", students, receipts, lessons,
                Seconds(t0));

    CModuleStudent module;
    RegisterModule(&module);
    MarkWritableColumns(s);

    t0 = std::chrono::steady_clock::now();
    const long listRows = Step(s, PrepareSql(LoadResourceText(438, RT_SQL, 65001)));
    const double list = Seconds(t0);
    t0 = std::chrono::steady_clock::now();
    const long lineRows = Step(s, PrepareSql(LoadResourceText(439, RT_SQL, 65001)));
    const double lines = Seconds(t0);
    const double bare = list + lines;
    QStringList some;
    for (int i = 1; i <= 1000; ++i)
        some << QString::number(i * (students / 1000 > 0 ? students / 1000 : 1));
    const QString someIds = some.join(u',');
    t0 = std::chrono::steady_clock::now();
    const long someRows = Step(s, PrepareSql(CDBStudentCourse::StaticHeads()->BuildSelect(&someIds, nullptr)));
    std::printf("SQL 439 for 1000 students: %ld course lines %.3f s\n", someRows, Seconds(t0));
    std::printf("bare SQL 438: %ld students %.3f s; 439: %ld course lines %.3f s\n", listRows, list, lineRows, lines);

    t0 = std::chrono::steady_clock::now();
    CXArray items(nullptr, true);
    const bool ok = module.QueryItems(items, CXMap(), false, false);
    const double through = Seconds(t0);
    std::printf("module QueryItems: %s, %d students  %.3f s  (ratio %.2f)\n", ok ? "ok" : "FAILED", items.GetSize(),
                through, through / bare);
    UnregisterModule(&module);
    return ok ? 0 : 1;
}
