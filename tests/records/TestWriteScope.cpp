#include "DbTestSupport.h"
#include "OperLog.h"
#include "XWriteScope.h"

#include <gtest/gtest.h>

namespace {

// A database with a table of its own; counts are read on a worker's private connection, so
// only what was committed is seen.
class WriteScope : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Exec(QStringLiteral("CREATE TABLE TB_T (ID INTEGER PRIMARY KEY, Name TEXT NOT NULL UNIQUE)")));
    }

    static int Committed()
    {
        int n = -1;
        OnWorker([&] { n = static_cast<int>(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_T"))); });
        return n;
    }
    static bool Insert(XWriteScope& scope, const char* name)
    {
        return scope.Session().ExecuteSql(
            QStringLiteral("INSERT INTO TB_T (Name) VALUES ('%1')").arg(QLatin1String(name)));
    }

    TempDatabase m_db;
    ErrorCapture m_errors;
};

TEST_F(WriteScope, CommitsAllOrRollsBackAll)
{
    {
        XWriteScope scope(nullptr);
        ASSERT_TRUE(scope.Begin(QStringLiteral("t")));
        EXPECT_TRUE(scope.OwnsTransaction());
        EXPECT_TRUE(Insert(scope, "a") && Insert(scope, "b"));
        EXPECT_EQ(Committed(), 0); // nothing shows before the commit
        EXPECT_TRUE(scope.Finish(true));
        EXPECT_FALSE(scope.OwnsTransaction());
    }
    EXPECT_EQ(Committed(), 2);
    {
        // the second statement fails (a duplicate): the first one goes with it
        XWriteScope scope(nullptr);
        ASSERT_TRUE(scope.Begin(QStringLiteral("t")));
        const bool ok = Insert(scope, "c") && Insert(scope, "a");
        EXPECT_FALSE(ok);
        EXPECT_FALSE(scope.Finish(ok));
        EXPECT_FALSE(scope.Session().InTransaction());
    }
    EXPECT_EQ(Committed(), 2);
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_T WHERE Name='c'")), 0);
}

TEST_F(WriteScope, AScopeLeftWithoutFinishRollsBack)
{
    auto write = [this](bool leaveEarly) {
        XWriteScope scope(nullptr);
        if (!scope.Begin(QStringLiteral("t")) || !Insert(scope, "x"))
            return false;
        if (leaveEarly)
            return false;
        return scope.Finish(true);
    };
    EXPECT_FALSE(write(true));
    EXPECT_EQ(Committed(), 0);
    EXPECT_FALSE(CXDBSession::Shared().InTransaction());
    EXPECT_TRUE(write(false));
    EXPECT_EQ(Committed(), 1);
}

TEST_F(WriteScope, AnInnerScopeJoinsAndTheOuterDecides)
{
    for (const bool outerOk : {true, false}) {
        SCOPED_TRACE(outerOk);
        ASSERT_TRUE(Exec(QStringLiteral("DELETE FROM TB_T")));
        XWriteScope outer(nullptr);
        ASSERT_TRUE(outer.Begin(QStringLiteral("outer")));
        {
            // given the outer session, or connecting on the same (UI) thread: both join
            XWriteScope given(&outer.Session());
            XWriteScope connecting(nullptr);
            for (XWriteScope* inner : {&given, &connecting}) {
                ASSERT_TRUE(inner->Begin(QStringLiteral("inner")));
                EXPECT_FALSE(inner->OwnsTransaction());
            }
            EXPECT_TRUE(Insert(given, "a") && Insert(connecting, "b"));
            EXPECT_TRUE(given.Finish(true));
            EXPECT_FALSE(connecting.Finish(false));       // a failed inner part reports failure ...
            EXPECT_TRUE(outer.Session().InTransaction()); // ... and leaves the decision to the outer
        }
        EXPECT_EQ(Committed(), 0);
        EXPECT_EQ(outer.Finish(outerOk), outerOk);
        EXPECT_EQ(Committed(), outerOk ? 2 : 0);
    }
}

TEST_F(WriteScope, OwnsATransactionOnAGivenSessionUnlessOneIsOpen)
{
    CXDBSession session;
    ASSERT_TRUE(session.Open(m_db.Path()));
    {
        XWriteScope scope(&session, XWriteScope::Given::OwnUnlessOpen);
        ASSERT_TRUE(scope.Begin(QStringLiteral("t")));
        EXPECT_TRUE(scope.OwnsTransaction());
        EXPECT_TRUE(Insert(scope, "a"));
        // an early end rolls back the given session's transaction too
    }
    EXPECT_FALSE(session.InTransaction());
    EXPECT_EQ(Committed(), 0);

    ASSERT_TRUE(session.BeginTransaction());
    {
        XWriteScope scope(&session, XWriteScope::Given::OwnUnlessOpen);
        ASSERT_TRUE(scope.Begin(QStringLiteral("t")));
        EXPECT_FALSE(scope.OwnsTransaction());
        EXPECT_TRUE(Insert(scope, "a"));
    }
    EXPECT_TRUE(session.InTransaction());
    ASSERT_TRUE(session.Commit());
    EXPECT_EQ(Committed(), 1);
}

TEST_F(WriteScope, ReportsWaitForTheOwnTransactionToEnd)
{
    XWriteScope scope(nullptr);
    ASSERT_TRUE(scope.Begin(QStringLiteral("t")));
    ReportDbError(QStringLiteral("保存"), nullptr, QStringLiteral("失败"));
    EXPECT_TRUE(m_errors.reports.empty());
    scope.Finish(false);
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].task, QStringLiteral("保存"));
}

TEST_F(WriteScope, AFailedBeginIsReported)
{
    // a worker's own connection cannot take the write lock while the UI thread holds it
    XWriteScope holder(nullptr);
    ASSERT_TRUE(holder.Begin(QStringLiteral("holder")));
    ASSERT_TRUE(Insert(holder, "a"));
    bool begun = true;
    OnWorker([&] {
        CXDBSession s;
        s.Connect();
        ASSERT_TRUE(s.ExecuteSql(QStringLiteral("PRAGMA busy_timeout=0")));
        XWriteScope scope(&s, XWriteScope::Given::OwnUnlessOpen);
        begun = scope.Begin(QStringLiteral("写入"));
    });
    EXPECT_FALSE(begun);
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].task, QStringLiteral("写入"));
    EXPECT_TRUE(holder.Finish(true));
    EXPECT_EQ(Committed(), 1);
}

} // namespace
