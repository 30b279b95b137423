#include "DatabaseBackup.h"
#include "RecordDbFixture.h"
#include "RecordWriter.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <sqlite3.h>

#include <atomic>
#include <thread>

namespace {

// The first column of the first row of a query on a file of its own.
long long ReadNumber(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    long long value = -1;
    if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            value = sqlite3_column_int64(stmt, 0);
        sqlite3_finalize(stmt);
    }
    sqlite3_close_v2(db);
    return value;
}

QStringList FilesIn(const QString& folder) { return QDir(folder).entryList(QDir::Files); }

// The copy is taken while two threads keep saving records through the record writer: it
// opens, passes the full integrity check and holds every record committed before it began.
TEST_F(RecordDb, BackupWhileTwoThreadsSaveHoldsEveryRecordCommittedBefore)
{
    std::atomic<bool> stop{false};
    std::atomic<int> saved{0};
    std::atomic<int> failed{0};
    auto writer = [&](int who) {
        for (int n = 0; !stop; ++n) {
            CTestCourse course;
            course.m_strName = QStringLiteral("w%1-%2").arg(who).arg(n);
            course.m_strTeacherNote = QString(200, QChar(u'音'));
            if (SaveItem(nullptr, &course, nullptr, m_user))
                ++saved;
            else
                ++failed;
        }
    };
    std::thread a(writer, 1), b(writer, 2);
    while (saved < 100 && failed == 0)
        std::this_thread::yield();
    const int before = Count(QStringLiteral("SELECT MAX(ID) FROM TB_TEST_COURSE"));
    const int savedBefore = saved;
    const QString target = m_db.Home() + QStringLiteral("/backup/Lorvan4.6_20250305.mdb");
    const bool ok = BackupDatabaseFile(m_db.Path(), target);
    const QString error = GetOleDbErrorText();
    // the writers kept going while the copy was made
    while (saved < savedBefore + 50 && failed == 0)
        std::this_thread::yield();
    stop = true;
    a.join();
    b.join();
    ASSERT_TRUE(ok) << error.toStdString();
    EXPECT_EQ(failed.load(), 0);

    EXPECT_TRUE(CheckDatabaseFile(target, true)) << GetOleDbErrorText().toStdString();
    const QByteArray upTo = QStringLiteral("SELECT COUNT(*) FROM TB_TEST_COURSE WHERE ID <= %1").arg(before).toUtf8();
    EXPECT_EQ(ReadNumber(target, upTo.constData()), before); // IDs 1..before, none missing
    EXPECT_EQ(FilesIn(m_db.Home() + QStringLiteral("/backup")), QStringList{QStringLiteral("Lorvan4.6_20250305.mdb")});
}

// A copy that does not pass its check never replaces the target, and leaves no temporary
// file; a good copy replaces what was there.
TEST_F(RecordDb, BackupReplacesTheTargetOnlyWithACheckedCopy)
{
    const QString folder = m_db.Home() + QStringLiteral("/bk");
    const QString target = folder + QStringLiteral("/Lorvan4.6_20250305.mdb");
    QDir().mkpath(folder);
    auto writeOld = [&] {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly | QIODevice::Truncate));
        old.write("the previous backup");
    };
    writeOld();

    // a damaged database: a table page overwritten
    const QString damaged = m_db.Home() + QStringLiteral("/damaged.mdb");
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(damaged).constData(), &db), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "PRAGMA page_size=1024; CREATE TABLE t(a TEXT);"
                               "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<2000)"
                               " INSERT INTO t SELECT printf('%0100d', i) FROM n;",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
        QFile f(damaged);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(1024 * 20);
        f.write(QByteArray(1024, '\x7f'));
    }
    EXPECT_FALSE(BackupDatabaseFile(damaged, target));
    EXPECT_FALSE(GetOleDbErrorText().isEmpty());
    QFile kept(target);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("the previous backup"));
    kept.close();
    EXPECT_EQ(FilesIn(folder), QStringList{QStringLiteral("Lorvan4.6_20250305.mdb")});

    // a folder that cannot be made (a file stands in its way)
    EXPECT_FALSE(BackupDatabaseFile(m_db.Path(), target + QStringLiteral("/sub/x.mdb")));

    ASSERT_TRUE(BackupDatabaseFile(m_db.Path(), target)) << GetOleDbErrorText().toStdString();
    EXPECT_TRUE(CheckDatabaseFile(target));
    EXPECT_EQ(FilesIn(folder), QStringList{QStringLiteral("Lorvan4.6_20250305.mdb")});
}

} // namespace
