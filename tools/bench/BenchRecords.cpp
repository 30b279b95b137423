// The record layer against bare SQLite on the same file: reading the operation log (the
// largest table a school has) through ReadItems, through the C API into structs, warm (in
// this process, again and again) and cold (each read a whole process of its own, as the
// sqlite3 shell's, with the largest process's peak memory); saving a log row on the UI thread's shared
// connection, on a worker's own reused connection, on a worker that has to open a
// connection per save, and as a bare prepared insert.
// Usage: [LORVAN_HOME=folder] bench_records [--rows=100000] [Google Benchmark flags]
// (without LORVAN_HOME a temporary folder; a folder whose database exists is not refilled)
// (--read-once=layer|bare: one read of the database LORVAN_HOME names, the cold benchmarks'
// child process)
#include "CDBOperLog.h"
#include "CModuleOperLog.h"
#include "CXArray.h"
#include "CXDBSession.h"
#include "OpenDatabase.h"
#include "OperLog.h"
#include "RecordWriter.h"
#include "XThread.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <string>
#include <vector>

namespace {

int g_rows = 100000;
std::string g_file;

const char* const kSelect =
    "SELECT ID, OperTime, UserID, UserMduID, TypeID, SessionEnd, MduID, ItemID, OperMemo, Extr, UserIP, UserSession "
    "FROM TB_OPERLOG";

struct BareRow
{
    int id, user, userMdu, type, ended, mdu, item;
    double time;
    QString memo, extra, ip, session;
};

QString Text(sqlite3_stmt* st, int col)
{
    const auto* p = static_cast<const char16_t*>(sqlite3_column_text16(st, col));
    return p ? QString::fromUtf16(p, sqlite3_column_bytes16(st, col) / 2) : QString();
}

bool Fill(const QString& path)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK)
        return false;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO TB_OPERLOG (OperTime,UserID,UserMduID,TypeID,MduID,ItemID,OperMemo,UserIP) "
                       "VALUES (?,?,?,?,?,?,?,?)",
                       -1, &st, nullptr);
    for (int i = 0; i < g_rows; ++i) {
        sqlite3_bind_double(st, 1, 45000 + i / 300.0);
        sqlite3_bind_int(st, 2, 1 + i % 40);
        sqlite3_bind_int(st, 3, MDU_TEACHER);
        sqlite3_bind_int(st, 4, OPER_ADD + i % 3);
        sqlite3_bind_int(st, 5, MDU_STUDENT);
        sqlite3_bind_int(st, 6, 1 + i % 5000);
        const std::string memo = "备注 " + std::to_string(i) + "：<del>旧</del>新";
        sqlite3_bind_text(st, 7, memo.c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(st, 8, "192.168.1.10", -1, SQLITE_STATIC);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    const bool ok = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return ok;
}

void BM_Read_RecordLayer(benchmark::State& state)
{
    SetUiThreadOverride(1);
    CModuleOperLog module;
    for (auto _ : state) {
        CXDBSession session;
        session.Connect();
        CXArray items(nullptr, true);
        // the log reads nothing without a condition
        if (!module.ReadItems(session, items, {QStringLiteral("ID>0")}, true, false) || items.GetSize() != g_rows)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(items.GetSize());
    }
    state.SetItemsProcessed(state.iterations() * g_rows);
}

// Every row into structs, as a program on the bare C API reads them.
std::vector<BareRow> ReadBare(sqlite3* db)
{
    std::vector<BareRow> rows;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, kSelect, -1, &st, nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        BareRow r;
        r.id = sqlite3_column_int(st, 0);
        r.time = sqlite3_column_double(st, 1);
        r.user = sqlite3_column_int(st, 2);
        r.userMdu = sqlite3_column_int(st, 3);
        r.type = sqlite3_column_int(st, 4);
        r.ended = sqlite3_column_int(st, 5);
        r.mdu = sqlite3_column_int(st, 6);
        r.item = sqlite3_column_int(st, 7);
        r.memo = Text(st, 8);
        r.extra = Text(st, 9);
        r.ip = Text(st, 10);
        r.session = Text(st, 11);
        rows.push_back(std::move(r));
    }
    sqlite3_finalize(st);
    return rows;
}

void BM_Read_BareC(benchmark::State& state)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(g_file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    for (auto _ : state) {
        const std::vector<BareRow> rows = ReadBare(db);
        if (static_cast<int>(rows.size()) != g_rows)
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(rows.data());
    }
    sqlite3_close(db);
    state.SetItemsProcessed(state.iterations() * g_rows);
}

bool ReadOnceLayer()
{
    SetUiThreadOverride(1);
    CModuleOperLog module;
    CXDBSession session;
    session.Connect();
    CXArray items(nullptr, true);
    return module.ReadItems(session, items, {QStringLiteral("ID>0")}, true, false) && items.GetSize() == g_rows;
}

bool ReadOnceBare()
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(g_file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const bool read = static_cast<int>(ReadBare(db).size()) == g_rows;
    sqlite3_close(db);
    return read;
}

// Runs the command as a whole process per iteration, under /usr/bin/time for the peak
// memory of the process (the largest of the iterations is reported).
void RunProcesses(benchmark::State& state, const std::string& cmd)
{
    const std::string peakFile = g_file + ".peak";
    const std::string timed = "/usr/bin/time -f %M -o '" + peakFile + "' " + cmd;
    long peakKiB = 0;
    for (auto _ : state) {
        if (std::system(timed.c_str()) != 0)
            state.SkipWithError("the process failed");
        if (FILE* f = std::fopen(peakFile.c_str(), "r")) {
            long kib = 0;
            if (std::fscanf(f, "%ld", &kib) == 1 && kib > peakKiB)
                peakKiB = kib;
            std::fclose(f);
        }
    }
    state.counters["peak_MiB"] = static_cast<double>(peakKiB) / 1024;
    state.SetItemsProcessed(state.iterations() * g_rows);
}

std::string Self()
{
    char path[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

std::string SelfReadingOnce(const char* mode)
{
    std::string cmd(1, '\'');
    cmd += Self();
    cmd += "' --rows=";
    cmd += std::to_string(g_rows);
    cmd += " --read-once=";
    cmd += mode;
    return cmd;
}

// A whole process: start, open, read every row, print it (to /dev/null), exit.
void BM_Read_Sqlite3Shell(benchmark::State& state)
{
    RunProcesses(state, "sqlite3 -batch '" + g_file + "' '" + kSelect + "' > /dev/null");
}

void BM_Read_BareCProcess(benchmark::State& state) { RunProcesses(state, SelfReadingOnce("bare")); }

void BM_Read_RecordLayerProcess(benchmark::State& state) { RunProcesses(state, SelfReadingOnce("layer")); }

void FillLogRow(CDBOperLog& log, int i)
{
    log.m_user.m_nMduID = MDU_TEACHER;
    log.m_user.m_nID = 7;
    log.m_nTypeID = OPER_ADD;
    log.m_item.m_nMduID = MDU_STUDENT;
    log.m_item.m_nID = i;
    log.m_strMemo = QStringLiteral("bench");
}

void SaveLoop(benchmark::State& state)
{
    int i = 0;
    for (auto _ : state) {
        CDBOperLog log;
        FillLogRow(log, ++i);
        if (!SaveItem(nullptr, &log, nullptr, BuiltInAdmin()))
            state.SkipWithError("save failed");
    }
}

void BM_Save_UiThread(benchmark::State& state)
{
    SetUiThreadOverride(1);
    SaveLoop(state);
}

void BM_Save_Worker(benchmark::State& state)
{
    SetUiThreadOverride(0);
    SaveLoop(state);
    SetUiThreadOverride(1);
}

// While a handle holds the thread's connection every save opens its own: the cost each
// worker save had before threads kept a connection.
void BM_Save_WorkerOpeningEachTime(benchmark::State& state)
{
    SetUiThreadOverride(0);
    {
        CXDBSession hold;
        hold.Connect();
        SaveLoop(state);
    }
    SetUiThreadOverride(1);
}

void BM_Save_BareInsert(benchmark::State& state)
{
    sqlite3* db = nullptr;
    sqlite3_open(g_file.c_str(), &db);
    sqlite3_busy_timeout(db, 10000);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(
        db,
        "INSERT INTO TB_OPERLOG (OperTime,UserID,UserMduID,TypeID,MduID,ItemID,OperMemo,Extr,UserIP,UserSession)"
        " VALUES (?,?,?,?,?,?,?,?,?,?)",
        -1, &st, nullptr);
    int i = 0;
    for (auto _ : state) {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        sqlite3_bind_double(st, 1, 46000.5);
        sqlite3_bind_int(st, 2, 7);
        sqlite3_bind_int(st, 3, MDU_TEACHER);
        sqlite3_bind_int(st, 4, OPER_ADD);
        sqlite3_bind_int(st, 5, MDU_STUDENT);
        sqlite3_bind_int(st, 6, ++i);
        sqlite3_bind_text(st, 7, "bench", -1, SQLITE_STATIC);
        for (int c = 8; c <= 10; ++c)
            sqlite3_bind_text(st, c, "", -1, SQLITE_STATIC);
        if (sqlite3_step(st) != SQLITE_DONE)
            state.SkipWithError("insert failed");
        sqlite3_reset(st);
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
}

} // namespace

BENCHMARK(BM_Read_RecordLayer)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_BareC)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Read_Sqlite3Shell)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Read_BareCProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Read_RecordLayerProcess)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Save_UiThread)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Save_Worker)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Save_WorkerOpeningEachTime)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Save_BareInsert)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    const char* readOnce = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--rows=", 7) == 0)
            g_rows = std::atoi(argv[i] + 7);
        else if (std::strncmp(argv[i], "--read-once=", 12) == 0)
            readOnce = argv[i] + 12;
    }
    QCoreApplication app(argc, argv);
    if (readOnce) {
        g_file = GetConnectionString().toStdString();
        const bool read = std::strcmp(readOnce, "bare") == 0 ? ReadOnceBare() : ReadOnceLayer();
        CXDBSession::CloseShared();
        return read ? 0 : 1;
    }
    QTemporaryDir home;
    if (!qEnvironmentVariableIsSet("LORVAN_HOME"))
        qputenv("LORVAN_HOME", home.path().toLocal8Bit());
    const QString path = GetConnectionString();
    // a program folder given with its database already filled is used as it is
    if (!QFileInfo::exists(path) && (!CreateDatabase(path) || !Fill(path))) {
        std::fprintf(stderr, "cannot make the database: %s\n", qPrintable(GetOleDbErrorText()));
        return 1;
    }
    g_file = path.toStdString();
    SetUiThreadOverride(1);
    {
        CXDBSession session;
        session.Connect();
        if (!MarkWritableColumns(session))
            return 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CXDBSession::CloseShared();
    return 0;
}
