// Times the program's backup (online backup API on a private connection, checked copy,
// rename) of a database with 100,000 records and 200,000 log rows while another thread keeps
// writing, against the sqlite3 shell's ".backup" of the same file under the same writing.
// Usage: bench_backup [records=100000] [logRows=200000] [runs=5]
#include "CXDBSession.h"
#include "DatabaseBackup.h"
#include "OpenDatabase.h"
#include "XDateTime.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int records = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int logRows = argc > 2 ? std::atoi(argv[2]) : 200000;
    const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
    QTemporaryDir home;
    qputenv("LORVAN_HOME", home.path().toLocal8Bit());
    const QString path = GetConnectionString();
    if (!CreateDatabase(path))
        return 1;
    {
        CXDBSession s;
        s.Connect();
        const auto t0 = std::chrono::steady_clock::now();
        const QString fill = QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "INSERT INTO TB_STUDENT (RealName, Petname, Nation) SELECT '学员' || i, 'S' || i, '汉族' FROM n;"
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %2) "
            "INSERT INTO TB_OPERLOG (OperTime, UserID, UserMduID, TypeID, MduID, ItemID, OperMemo) "
            "SELECT 46000 + i / 500.0, i % 5, 322, i % 11, 321, i % 1000, '操作记录 ' || i FROM n");
        if (!s.ExecuteSql(fill.arg(records).arg(logRows))) {
            std::fprintf(stderr, "%s\n", qPrintable(GetOleDbErrorText()));
            return 1;
        }
        std::printf("database: %d records, %d log rows, %lld bytes, filled in %.1f s\n", records, logRows,
                    static_cast<long long>(QFile(path).size()), Seconds(t0));
    }

    // a writer that keeps adding log rows, one short transaction every 2 ms
    std::atomic<bool> stop{false};
    std::atomic<int> written{0};
    std::thread writer([&] {
        CXDBSession s;
        s.Connect();
        while (!stop) {
            if (s.ExecuteSql(QStringLiteral("INSERT INTO TB_OPERLOG (OperTime, UserID, UserMduID, TypeID, MduID, "
                                            "ItemID, OperMemo) VALUES (46500, 1, 322, 10, 0, 0, '写入中')")))
                ++written;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });

    std::vector<double> ours, shell;
    int shellFailures = 0;
    for (int i = 0; i < runs; ++i) {
        const QString target = home.path() + QStringLiteral("/backup/Lorvan_bench_%1.mdb").arg(i);
        auto t0 = std::chrono::steady_clock::now();
        if (!BackupDatabaseFile(path, target)) {
            std::fprintf(stderr, "backup failed: %s\n", qPrintable(GetOleDbErrorText()));
            return 1;
        }
        ours.push_back(Seconds(t0));

        const QString shellTarget = home.path() + QStringLiteral("/shell_%1.mdb").arg(i);
        QProcess sqlite;
        t0 = std::chrono::steady_clock::now();
        sqlite.start(QStringLiteral("sqlite3"), {path, QStringLiteral(".backup '%1'").arg(shellTarget)});
        sqlite.waitForFinished(-1);
        shell.push_back(Seconds(t0));
        if (sqlite.exitCode() != 0 || !QFile::exists(shellTarget))
            ++shellFailures;
    }
    stop = true;
    writer.join();

    const double a = Median(ours), b = Median(shell);
    std::printf("rows written meanwhile: %d\n", written.load());
    std::printf("program backup (copy + quick_check + rename), median of %d: %.3f s\n", runs, a);
    std::printf("sqlite3 shell .backup, median of %d:                         %.3f s (%d failed)\n", runs, b,
                shellFailures);
    std::printf("ratio program / shell: %.2f\n", b > 0 ? a / b : 0.0);
    return 0;
}
