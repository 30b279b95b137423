// Issues general receipts one transaction each through the module's save path, against the
// same rows (number, receipt, three lines, log row) written bare through the SQLite C API one
// transaction each, on files of the same kind (the program's schema, WAL). Prints the ratio.
// Usage: bench_collects [receipts=1000]. Each commit waits for the disk on both sides; with
// TMPDIR=/dev/shm the files live in memory and the ratio shows the save path's own cost.
#include "CDBCollect.h"
#include "CModuleCollect.h"
#include "CXDBSession.h"
#include "OpenDatabase.h"
#include "RecordWriter.h"
#include "XDateTime.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QTemporaryDir>

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

const struct
{
    const char16_t* content;
    const char16_t* unit;
    int num;
    double price;
} kLines[] = {
    {u"立式钢琴 UP-121", u"台", 1, 12000.00},
    {u"电子节拍器", u"台", 2, 100.00},
    {u"钢琴基础教程", u"本", 1, 13.00},
};

double ThroughModule(int receipts)
{
    CXItem user;
    user.m_nMduID = MDU_TEACHER;
    user.m_nID = 1;
    user.m_strName = QStringLiteral("校长");
    user.m_nRightRole = 2;
    {
        CXDBSession session;
        session.Connect();
        if (!MarkWritableColumns(session))
            return -1;
    }
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < receipts; ++i) {
        CDBCollect c;
        c.m_strPayer = QStringLiteral("王芳");
        c.m_strPayType = QStringLiteral("微信");
        for (const auto& l : kLines)
            c.AddItem(QString::fromUtf16(l.content), QString::fromUtf16(l.unit), l.num, l.price);
        if (!SaveItem(nullptr, &c, nullptr, user))
            return -1;
    }
    return Seconds(t0);
}

bool Run(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    std::fprintf(stderr, "%s: %s\n", sql, sqlite3_errmsg(db));
    return false;
}

double Bare(const QString& path, int receipts)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK || !Run(db, "PRAGMA journal_mode=WAL"))
        return -1;
    sqlite3_stmt *number = nullptr, *receipt = nullptr, *line = nullptr, *log = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT MAX(KeyName COLLATE BINARY) FROM TB_COLLECT WHERE KeyName COLLATE BINARY BETWEEN "
                       "'T260001' AND 'T269999'",
                       -1, &number, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO TB_COLLECT (KeyName,PayDate,Payer,PayType,RecordMemo) VALUES (?,?,?,?,'')", -1,
                       &receipt, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO TB_COLLECT_ITEM (CollectID,Content,UnitPrice,PayNum,Unit) VALUES (?,?,?,?,?)",
                       -1, &line, nullptr);
    sqlite3_prepare_v2(
        db, "INSERT INTO TB_OPERLOG (OperTime,UserID,UserMduID,TypeID,MduID,ItemID) VALUES (?,1,322,4,332,?)", -1, &log,
        nullptr);
    if (!number || !receipt || !line || !log)
        return -1;
    const double day = XDateTime::Today().Day();
    const auto t0 = std::chrono::steady_clock::now();
    for (int i = 0; i < receipts; ++i) {
        if (!Run(db, "BEGIN IMMEDIATE"))
            return -1;
        int counter = 1;
        if (sqlite3_step(number) == SQLITE_ROW && sqlite3_column_type(number, 0) != SQLITE_NULL)
            counter = std::atoi(reinterpret_cast<const char*>(sqlite3_column_text(number, 0)) + 3) + 1;
        sqlite3_reset(number);
        char key[16];
        std::snprintf(key, sizeof key, "T26%04d", counter);
        sqlite3_bind_text(receipt, 1, key, -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(receipt, 2, day);
        sqlite3_bind_text(receipt, 3, "王芳", -1, SQLITE_STATIC);
        sqlite3_bind_text(receipt, 4, "微信", -1, SQLITE_STATIC);
        if (sqlite3_step(receipt) != SQLITE_DONE)
            return -1;
        sqlite3_reset(receipt);
        const sqlite3_int64 id = sqlite3_last_insert_rowid(db);
        for (const auto& l : kLines) {
            const QByteArray content = QString::fromUtf16(l.content).toUtf8();
            const QByteArray unit = QString::fromUtf16(l.unit).toUtf8();
            sqlite3_bind_int64(line, 1, id);
            sqlite3_bind_text(line, 2, content.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_double(line, 3, l.price);
            sqlite3_bind_int(line, 4, l.num);
            sqlite3_bind_text(line, 5, unit.constData(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(line) != SQLITE_DONE)
                return -1;
            sqlite3_reset(line);
        }
        sqlite3_bind_double(log, 1, XDateTime::Now().Day());
        sqlite3_bind_int64(log, 2, id);
        if (sqlite3_step(log) != SQLITE_DONE)
            return -1;
        sqlite3_reset(log);
        if (!Run(db, "COMMIT"))
            return -1;
    }
    const double seconds = Seconds(t0);
    for (sqlite3_stmt* st : {number, receipt, line, log})
        sqlite3_finalize(st);
    sqlite3_close(db);
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int receipts = argc > 1 ? std::atoi(argv[1]) : 1000;
    QTemporaryDir moduleHome, bareHome;

    qputenv("LORVAN_HOME", bareHome.path().toLocal8Bit());
    const QString barePath = GetConnectionString();
    if (!CreateDatabase(barePath))
        return 1;
    const double bare = Bare(barePath, receipts);

    qputenv("LORVAN_HOME", moduleHome.path().toLocal8Bit());
    if (!CreateDatabase(GetConnectionString()))
        return 1;
    CModuleCollect collects;
    RegisterModule(&collects);
    const double module = ThroughModule(receipts);
    UnregisterModule(&collects);
    if (bare <= 0 || module <= 0) {
        std::fprintf(stderr, "a save failed\n");
        return 1;
    }
    std::printf("%d general receipts, one transaction each (3 lines and a log row each)\n", receipts);
    std::printf("  module save path: %.3f s (%.2f ms each)\n", module, 1000 * module / receipts);
    std::printf("  bare SQLite:      %.3f s (%.2f ms each)\n", bare, 1000 * bare / receipts);
    std::printf("  ratio:            %.2f\n", module / bare);
    return 0;
}
