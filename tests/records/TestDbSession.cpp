#include "CXBlobAccessor.h"
#include "DbTestSupport.h"
#include "JetFunctions.h"
#include "OperLog.h"
#include "XDateTime.h"
#include "XThread.h"

#include <gtest/gtest.h>

#include <QtCore/QFile>

#include <sqlite3.h>

#include <atomic>
#include <mutex>
#include <sys/stat.h>
#include <thread>

namespace {

struct FixedClock
{
    explicit FixedClock(const XDateTime& now) { XClock::SetFixed(now); }
    ~FixedClock() { XClock::Reset(); }
};

// Each case: an SQL expression and its value as text ("<null>" for NULL).
struct JetCase
{
    const char* expr;
    const char* expected;
};

const JetCase kJetCases[] = {
    {"DATE()", "45721.0"},
    {"NOW()", "45721.5"},
    {"DATE() - INT(NOW())", "0.0"},
    {"LEN('abc')", "3"},
    {"LEN('汉字')", "2"},
    {"LEN('')", "0"},
    {"LEN(NULL)", "<null>"},
    {"INT(2.7)", "2"},
    {"INT(-1.5)", "-2"},
    {"INT('3.9')", "3"},
    {"LEFT('abcdef',3)", "abc"},
    {"left ('abcdef', 2)", "ab"},
    {"RIGHT('abcdef',2)", "ef"},
    {"LEFT('张三丰',1)", "张"},
    {"LEFT(NULL,1)", "<null>"},
    {"MID('abcdef',2,3)", "bcd"},
    {"MID('abcdef',3)", "cdef"},
    {"MID('abc',9)", ""},
    {"'LEFT(' || 'x'", "LEFT(x"},
    {"IIF(1>0,'y','n')", "y"},
    {"(SELECT FIRST(column1) || LAST(column1) FROM (VALUES (1),(2),(3)))", "13"},
    {"(SELECT LAST(column1) FROM (VALUES (1),(NULL)))", "<null>"},
    // LIKE: Jet patterns, case-insensitive for every script
    {"'50%' LIKE '50[%]'", "1"},
    {"'500' LIKE '50[%]'", "0"},
    {"'[a]' LIKE '[[]a]'", "1"},
    {"'Tom Smith' LIKE '%tom%'", "1"},
    {"'bx' LIKE '[!a]x'", "1"},
    {"'ax' LIKE '[!a]x'", "0"},
    {"'AX' LIKE '[!a]x'", "0"},
    {"'B' LIKE '[a-c]'", "1"},
    {"'d' LIKE '[a-c]'", "0"},
    {"'a-' LIKE 'a[-]'", "1"},
    {"'x^' LIKE 'x[^]'", "1"},
    {"'a_b' LIKE 'a[_]b'", "1"},
    {"'axb' LIKE 'a[_]b'", "0"},
    {"'axb' LIKE 'a_b'", "1"},
    {"'abc' LIKE 'a%c'", "1"},
    {"'abcd' LIKE 'a%c'", "0"},
    {"'' LIKE '%'", "1"},
    {"'ÄBC' LIKE '%äb%'", "1"},
    {"'ΣΑΣ' LIKE 'σας'", "1"},
    {"'张三丰' LIKE '张%'", "1"},
    {"'张三丰' LIKE '_三_'", "1"},
    {"'😀x' LIKE '_x'", "1"},
    {"'abc' NOT LIKE 'A%'", "0"},
    {"NULL LIKE 'a'", "<null>"},
    {"'50%' LIKE '50!%' ESCAPE '!'", "1"},
    {"'500' LIKE '50!%' ESCAPE '!'", "0"},
};

// Runs the table on a connection of the calling thread; returns the mismatches.
QStringList RunJetCases()
{
    QStringList failures;
    for (const JetCase& c : kJetCases) {
        const QString got = QueryText(QStringLiteral("SELECT ") + QString::fromUtf8(c.expr));
        if (got != QString::fromUtf8(c.expected))
            failures.append(QString::fromUtf8(c.expr) + QStringLiteral(" -> ") + got);
    }
    return failures;
}

TEST(CXDBSession, JetFunctionsOnTheUiAndOnAWorkerConnection)
{
    TempDatabase db;
    FixedClock clock(XDateTime(2025, 3, 5, 12, 0, 0));
    ASSERT_TRUE(IsUiThread());
    EXPECT_EQ(RunJetCases(), QStringList());
    QStringList workerFailures;
    OnWorker([&] { workerFailures = RunJetCases(); });
    EXPECT_EQ(workerFailures, QStringList());
}

TEST(CXDBSession, InvalidLikePatternIsAnError)
{
    TempDatabase db;
    EXPECT_EQ(QueryText(QStringLiteral("SELECT 'a' LIKE '[abc'")), "<error>");
    EXPECT_TRUE(GetOleDbErrorText().contains(QLatin1String("Invalid pattern"))) << GetOleDbErrorText().toStdString();
    bool invalid = false;
    EXPECT_FALSE(JetLikeMatch(u"[abc", u"a", 0, &invalid));
    EXPECT_TRUE(invalid);
}

TEST(CXDBSession, RewriteLeavesLiteralsNamesAndCommentsAlone)
{
    const struct
    {
        const char* in;
        const char* out;
    } cases[] = {
        {"SELECT LEFT(a,3) FROM t", "SELECT JLEFT(a,3) FROM t"},
        {"SELECT right (x,1)", "SELECT Jright (x,1)"},
        {"SELECT 'LEFT(a,3)', LEFT(b,1)", "SELECT 'LEFT(a,3)', JLEFT(b,1)"},
        {"SELECT 'it''s LEFT(' || RIGHT(x,1)", "SELECT 'it''s LEFT(' || JRIGHT(x,1)"},
        {"SELECT * FROM a LEFT JOIN b ON a.x=b.x", "SELECT * FROM a LEFT JOIN b ON a.x=b.x"},
        {"SELECT \"LEFT(\" FROM [RIGHT(]", "SELECT \"LEFT(\" FROM [RIGHT(]"},
        {"-- LEFT(x)\nSELECT LEFT(x,1) /* RIGHT( */", "-- LEFT(x)\nSELECT JLEFT(x,1) /* RIGHT( */"},
        {"SELECT @@Identity", "SELECT last_insert_rowid()"},
        {"SELECT '@@IDENTITY', @@IDENTITY", "SELECT '@@IDENTITY', last_insert_rowid()"},
        {"SELECT LEFTOVER(x), MYLEFT(y)", "SELECT LEFTOVER(x), MYLEFT(y)"},
        {"WHERE ((DateBgn + 5) MOD 7) IN (5,6)", "WHERE ((DateBgn + 5) % 7) IN (5,6)"},
        {"SELECT a mod b, 'a MOD b', MODE, MOD(a)", "SELECT a % b, 'a MOD b', MODE, MOD(a)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RewriteJetSql(QString::fromUtf8(c.in)), QString::fromUtf8(c.out));
}

TEST(CXDBSession, ModIsTheRemainderOnTheConnection)
{
    TempDatabase db;
    // 2026-03-18 is day 46099, a Wednesday: (46099 + 5) MOD 7 = 2 (Monday 0)
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT (46099 + 5) MOD 7")), 2);
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT -3 MOD 7")), -3);
}

TEST(CXDBSession, SessionIdPrefixAndIdentity)
{
    TempDatabase db;
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_OPERLOG (UserSession) VALUES ('wx_abcdefgh'),('abc'),('')")));
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE LEFT(UserSession,3)<>'wx_'")), 2);

    CXDBSession session;
    session.Connect();
    CXAccessor insert;
    ASSERT_TRUE(insert.Open(session, QStringLiteral("INSERT INTO TB_PHOTO (MduID,PersonID) VALUES (321,7)")));
    CXAccessor identity;
    ASSERT_TRUE(identity.Open(session, QStringLiteral("SELECT @@Identity")));
    ASSERT_TRUE(identity.MoveNext());
    const int first = static_cast<int>(identity.GetNumber(1));
    EXPECT_GT(first, 0);
    ASSERT_TRUE(insert.Execute());
    ASSERT_TRUE(identity.Execute());
    ASSERT_TRUE(identity.MoveNext());
    EXPECT_EQ(identity.GetNumber(1), first + 1);
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_PHOTO")), first + 1);
}

TEST(CXAccessor, NullsOrdinalsAndNames)
{
    TempDatabase db;
    ASSERT_TRUE(Exec(QStringLiteral("CREATE TABLE T (ID INTEGER PRIMARY KEY, Name TEXT, Amount REAL, Note TEXT)")));
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO T VALUES (1, NULL, NULL, ''), (2, 'Bo', 12.5, 'x')")));
    CXDBSession session;
    session.Connect();
    CXAccessor cmd;
    ASSERT_TRUE(cmd.Open(session, QStringLiteral("SELECT ID, Name, Amount, Note FROM T ORDER BY ID")));
    ASSERT_TRUE(cmd.MoveNext());
    EXPECT_TRUE(cmd.GetText(2).isNull());
    EXPECT_TRUE(cmd.GetText(QStringLiteral("name")).isNull());
    EXPECT_EQ(cmd.GetNumber(3), 0);
    EXPECT_EQ(cmd.GetNumber(QStringLiteral("AMOUNT")), 0);
    EXPECT_FALSE(cmd.GetText(4).isNull()); // '' is an empty text, not a missing one
    EXPECT_TRUE(cmd.GetText(4).isEmpty());
    EXPECT_TRUE(cmd.GetText(0).isNull());
    EXPECT_TRUE(cmd.GetText(5).isNull());
    EXPECT_TRUE(cmd.GetText(QStringLiteral("Nope")).isNull());
    EXPECT_EQ(cmd.GetNumber(QStringLiteral("Nope")), 0);
    ASSERT_TRUE(cmd.MoveNext());
    EXPECT_EQ(cmd.GetText(QStringLiteral("NAME")), "Bo");
    EXPECT_EQ(cmd.GetNumber(QStringLiteral("amount")), 12.5);
    EXPECT_EQ(cmd.GetNumber(2), 0); // a text is not a number
    EXPECT_EQ(cmd.GetText(1), "2");
    EXPECT_FALSE(cmd.MoveNext());
    EXPECT_FALSE(cmd.Failed());
    EXPECT_TRUE(cmd.GetText(2).isNull()); // no current row
}

TEST(CXAccessor, ParametersByOrdinal)
{
    TempDatabase db;
    CXDBSession session;
    session.Connect();
    {
        CXAccessor cmd;
        // index 0 of SetParamType is the marker that SetParamInt calls 1
        cmd.SetParamType(0, DBTYPE_R8);
        ASSERT_TRUE(cmd.Prepare(session, QStringLiteral("SELECT typeof(?), typeof(?)")));
        EXPECT_TRUE(cmd.SetParamInt(1, 5));
        EXPECT_TRUE(cmd.SetParamInt(2, 5));
        EXPECT_FALSE(cmd.SetParamInt(0, 5));
        EXPECT_FALSE(cmd.SetParamInt(3, 5));
        EXPECT_FALSE(cmd.SetParamText(3, QStringLiteral("x")));
        ASSERT_TRUE(cmd.Execute());
        ASSERT_TRUE(cmd.MoveNext());
        EXPECT_EQ(cmd.GetText(1), "real");
        EXPECT_EQ(cmd.GetText(2), "integer");
    }
    {
        CXAccessor cmd;
        cmd.SetParamType(0, DBTYPE_I4);
        ASSERT_TRUE(cmd.Prepare(session, QStringLiteral("SELECT ?")));
        EXPECT_TRUE(cmd.SetParamDouble(1, 7.9));
        ASSERT_TRUE(cmd.Execute());
        ASSERT_TRUE(cmd.MoveNext());
        EXPECT_EQ(cmd.GetNumber(1), 7);
    }
    // texts have no length limit, and a null text is stored as ''
    const QString longText(100000, u'长');
    CXAccessor insert;
    ASSERT_TRUE(insert.Prepare(session, QStringLiteral("INSERT INTO TB_ACCOUNT (Content,Relation) VALUES (?,?)")));
    EXPECT_TRUE(insert.SetParamText(1, longText));
    EXPECT_TRUE(insert.SetParamText(2, QString()));
    ASSERT_TRUE(insert.Execute());
    EXPECT_EQ(QueryText(QStringLiteral("SELECT Content FROM TB_ACCOUNT")), longText);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT typeof(Relation) FROM TB_ACCOUNT")), "text");
}

TEST(CXAccessor, BlobColumns)
{
    TempDatabase db;
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_PHOTO (MduID,Photo) VALUES (0, X'89504E4700010203'), (0, NULL)")));
    CXDBSession session;
    session.Connect();
    CXBlobAccessor blob;
    ASSERT_TRUE(blob.Open(session, QStringLiteral("SELECT ID,Photo FROM TB_PHOTO ORDER BY ID")));
    ASSERT_TRUE(blob.MoveNext());
    EXPECT_GT(blob.GetID(), 0);
    EXPECT_EQ(blob.GetStream(), QByteArray("\x89PNG\0\x01\x02\x03", 8));
    ASSERT_TRUE(blob.MoveNext());
    EXPECT_TRUE(blob.GetStream().isEmpty());
}

TEST(CXDBSession, UiThreadSharesOneConnectionWorkersOpenTheirOwn)
{
    TempDatabase db;
    CXDBSession a, b;
    a.Connect();
    b.Connect();
    ASSERT_TRUE(a.IsConnected());
    EXPECT_EQ(a.Handle(), b.Handle());
    EXPECT_EQ(CXDBSession::Shared().Handle(), a.Handle());
    bool distinct = false;
    QString mode;
    OnWorker([&] {
        CXDBSession c, d;
        c.Connect();
        d.Connect();
        distinct = c.IsConnected() && d.IsConnected() && c.Handle() != d.Handle() && c.Handle() != a.Handle();
        CXAccessor cmd;
        if (cmd.Open(c, QStringLiteral("PRAGMA journal_mode")) && cmd.MoveNext())
            mode = cmd.GetText(1);
    });
    EXPECT_TRUE(distinct);
    EXPECT_EQ(mode, "wal");
    struct stat st = {};
    ASSERT_EQ(::stat(QFile::encodeName(db.Path()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(CXDBSession, AWorkerReusesItsConnectionButNeverInsideAnotherHandlesUse)
{
    TempDatabase db;
    ASSERT_TRUE(Exec(QStringLiteral("CREATE TABLE T_X (ID INTEGER PRIMARY KEY, N INTEGER)")));
    sqlite3* first = nullptr;
    bool reused = false, nestedApart = false, leftOpenRolledBack = false, writerFree = false, functions = false;
    OnWorker([&] {
        {
            CXDBSession s;
            s.Connect();
            first = s.Handle();
            // a handle connected while the thread's connection is in use gets its own
            CXDBSession nested;
            nested.Connect();
            nestedApart = nested.IsConnected() && nested.Handle() != first;
        }
        {
            CXDBSession s;
            s.Connect();
            reused = s.Handle() == first;
            CXAccessor cmd;
            functions = cmd.Open(s, QStringLiteral("SELECT LEFT('abc',2)")) && cmd.MoveNext() && cmd.GetText(1) == "ab";
            cmd.Close();
            // a handle that goes with its transaction open leaves nothing behind
            ASSERT_TRUE(s.BeginTransaction());
            ASSERT_TRUE(s.ExecuteSql(QStringLiteral("INSERT INTO T_X (N) VALUES (1)")));
        }
        CXDBSession s;
        s.Connect();
        leftOpenRolledBack = s.Handle() == first && !s.InTransaction();
    });
    EXPECT_TRUE(nestedApart);
    EXPECT_TRUE(reused);
    EXPECT_TRUE(functions);
    EXPECT_TRUE(leftOpenRolledBack);
    // the write lock is free for the next writer and the insert is gone
    CXDBSession ui;
    ui.Connect();
    writerFree = ui.BeginTransaction() && ui.Commit();
    EXPECT_TRUE(writerFree);
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM T_X")), 0);
}

TEST(CXDBSession, MissingFileOnAWorkerIsReportedOnceAndNotCreated)
{
    ScopedHome home;
    CXDBSession::CloseShared();
    ErrorCapture capture;
    bool connected = true;
    OnWorker([&] {
        CXDBSession s;
        s.Connect();
        connected = s.IsConnected();
    });
    EXPECT_FALSE(connected);
    ASSERT_EQ(capture.reports.size(), 1u);
    EXPECT_EQ(capture.reports[0].task, QString::fromUtf8("连接数据库"));
    EXPECT_TRUE(capture.reports[0].message.contains(QLatin1String("(0xE)")))
        << capture.reports[0].message.toStdString();
    EXPECT_FALSE(QFile::exists(GetConnectionString()));
    // the UI thread stays silent and tries again at its next connect
    CXDBSession ui;
    ui.Connect();
    EXPECT_FALSE(ui.IsConnected());
    EXPECT_EQ(capture.reports.size(), 1u);
}

// Two workers and the UI thread write at once: every writer waits its turn instead of
// failing with "database is locked".
TEST(CXDBSession, ConcurrentWritersWaitForEachOther)
{
    TempDatabase db;
    ASSERT_TRUE(
        Exec(QStringLiteral("CREATE TABLE T_LOAD (ID INTEGER PRIMARY KEY AUTOINCREMENT, Who INTEGER, N INTEGER)")));
    std::mutex mutex;
    QStringList errors;
    auto writer = [&](int who, int rounds) {
        for (int i = 0; i < rounds; ++i) {
            CXDBSession s;
            s.Connect();
            CXAccessor read, write;
            const bool ok = s.BeginTransaction() &&
                            read.Open(s, QStringLiteral("SELECT COUNT(*) FROM T_LOAD WHERE Who=%1").arg(who)) &&
                            read.MoveNext() &&
                            write.Prepare(s, QStringLiteral("INSERT INTO T_LOAD (Who,N) VALUES (?,?)")) &&
                            write.SetParamInt(1, who) && write.SetParamInt(2, static_cast<int>(read.GetNumber(1))) &&
                            (read.Close(), write.Execute()) && s.Commit();
            if (!ok) {
                std::lock_guard lock(mutex);
                errors.append(GetOleDbErrorText());
                s.Abort();
            }
        }
    };
    std::thread w1(writer, 1, 60), w2(writer, 2, 60);
    writer(0, 40); // the UI thread, on the shared connection
    w1.join();
    w2.join();
    EXPECT_EQ(errors, QStringList());
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM T_LOAD")), 160);
    // each writer saw its own rows in order: no lost or doubled insert
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM T_LOAD WHERE Who=1 AND N BETWEEN 0 AND 59")), 60);
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(DISTINCT N) FROM T_LOAD WHERE Who=2")), 60);
}

} // namespace
