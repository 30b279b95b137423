#include "DatabaseBackup.h"

#include "CXDBSession.h"
#include "FormatString.h"
#include "ProgramPaths.h"

#include <QtCore/QFile>

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kBusyMs = 10000;

// Opens an existing file; null with the error text set.
sqlite3* OpenExisting(const QString& path, int flags)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, flags, nullptr) != SQLITE_OK) {
        SetDbErrorFrom(db);
        sqlite3_close_v2(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, kBusyMs);
    return db;
}

// Copies every page in one step, so the copy is one consistent snapshot: writers on other
// connections go on meanwhile (WAL), and a change made through the source connection
// itself is copied along. A busy or locked source is retried for a while.
bool CopyPages(sqlite3* dest, sqlite3* source)
{
    sqlite3_backup* backup = sqlite3_backup_init(dest, "main", source, "main");
    if (!backup) {
        SetDbErrorFrom(dest);
        return false;
    }
    int rc = SQLITE_OK;
    for (int attempt = 0; attempt < 200; ++attempt) {
        rc = sqlite3_backup_step(backup, -1);
        if (rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    sqlite3_backup_finish(backup);
    if (rc != SQLITE_DONE) {
        SetDbErrorText(FormatString(u"%s (0x%X)", QString::fromUtf8(sqlite3_errstr(rc)), rc));
        return false;
    }
    return true;
}

bool ExecOn(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    SetDbErrorFrom(db);
    return false;
}

bool QuickCheck(sqlite3* db, bool bFull)
{
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, bFull ? "PRAGMA integrity_check" : "PRAGMA quick_check", -1, &stmt, nullptr) !=
        SQLITE_OK) {
        SetDbErrorFrom(db);
        return false;
    }
    QString answer;
    int rc;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        if (!answer.isEmpty())
            answer += u'\n';
        answer += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
    }
    sqlite3_finalize(stmt);
    if (rc != SQLITE_DONE) {
        SetDbErrorFrom(db);
        return false;
    }
    if (answer != QLatin1String("ok")) {
        SetDbErrorText(FormatString(u"备份文件检查未通过：%s", answer.left(500)));
        return false;
    }
    return true;
}

// Flushes a file's data to the disk before it is renamed into place.
bool SyncFile(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

} // namespace

bool BackupDatabaseHandle(sqlite3* source, const QString& target)
{
    if (!source) {
        SetDbErrorText(QStringLiteral("没有连接数据库"));
        return false;
    }
    if (!CreateDirectoryPath(target)) {
        SetDbErrorText(GetLastErrorText());
        return false;
    }
    const QString temp = target + QStringLiteral(".part");
    const QByteArray tempName = QFile::encodeName(temp);
    auto removeTemp = [&] {
        for (const char* suffix : {"", "-wal", "-shm", "-journal"})
            ::unlink((tempName + suffix).constData());
    };
    removeTemp();
    // the copy is readable by its owner only, as the database is
    const int fd = ::open(tempName.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        SetDbErrorText(GetLastErrorText());
        return false;
    }
    ::close(fd);

    bool ok = false;
    if (sqlite3* dest = OpenExisting(temp, SQLITE_OPEN_READWRITE)) {
        // the copy is a file of its own: out of WAL mode, so opening it later (read-only
        // too) leaves no -wal and -shm files beside it
        ok = CopyPages(dest, source) && ExecOn(dest, "PRAGMA journal_mode=DELETE") && QuickCheck(dest, false);
        sqlite3_close_v2(dest);
    }
    if (ok && !SyncFile(temp)) {
        SetDbErrorText(GetLastErrorText());
        ok = false;
    }
    if (ok && std::rename(tempName.constData(), QFile::encodeName(target).constData()) != 0) {
        SetDbErrorText(GetLastErrorText());
        ok = false;
    }
    if (!ok)
        removeTemp();
    return ok;
}

bool BackupDatabaseFile(const QString& source, const QString& target)
{
    sqlite3* db = OpenExisting(source, SQLITE_OPEN_READWRITE);
    if (!db)
        return false;
    const bool ok = BackupDatabaseHandle(db, target);
    sqlite3_close_v2(db);
    return ok;
}

bool CheckDatabaseFile(const QString& path, bool bFull)
{
    sqlite3* db = OpenExisting(path, SQLITE_OPEN_READONLY);
    if (!db)
        return false;
    const bool ok = QuickCheck(db, bFull);
    sqlite3_close_v2(db);
    return ok;
}
