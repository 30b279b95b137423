#include "CDBOperLog.h"
#include "CFakeAppServices.h"
#include "DbTestSupport.h"
#include "OpenDatabase.h"
#include "OperLog.h"
#include "XDateTime.h"

#include <gtest/gtest.h>

#include <QtCore/QFile>

#include <memory>

namespace {

// A database whose log columns are known, a fixed clock and the program's own reporter.
class OperLogWriter : public ::testing::Test
{
protected:
    void SetUp() override
    {
        XClock::SetFixed(m_now);
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session, *CDBOperLog::StaticHeads()));
        m_previousSink = SetErrorSink(ShowOrLogError);
        CFakeAppServices::Installed().Clear();
    }
    void TearDown() override
    {
        SetErrorSink(m_previousSink);
        XClock::Reset();
        CFakeAppServices::Installed().Clear();
    }

    static std::unique_ptr<CXItem> User(int mdu, int id, const char* session = "")
    {
        auto user = std::make_unique<CXItem>();
        user->m_nMduID = mdu;
        user->m_nID = id;
        user->m_strSession = QString::fromUtf8(session);
        return user;
    }

    TempDatabase m_db;
    XDateTime m_now{2025, 3, 5, 12, 0, 0};
    XErrorSink m_previousSink;
};

int LogRows() { return static_cast<int>(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG"))); }

TEST_F(OperLogWriter, WritesOneRowWithEveryColumn)
{
    const auto owned = User(MDU_TEACHER, 5);
    CXItem& user = *owned;
    user.m_strIP = QStringLiteral("10.0.0.7");
    WriteOperLog(OPER_MDF, user, MDU_RECEIPT, 9, QString::fromUtf8("金额：<del>1</del>2"), QStringLiteral("extra"));
    EXPECT_EQ(QueryText(QStringLiteral(
                  "SELECT OperTime||'|'||UserID||'|'||UserMduID||'|'||TypeID||'|'||SessionEnd||'|'||MduID||'|'||"
                  "ItemID||'|'||OperMemo||'|'||Extr||'|'||UserIP||'|'||UserSession FROM TB_OPERLOG")),
              QString::number(m_now.Day(), 'f', 1) +
                  QString::fromUtf8("|5|322|6|0|331|9|金额：<del>1</del>2|extra|10.0.0.7|"));
    // the log module's own operations are not logged
    WriteOperLog(OPER_QUERY, user, MDU_OPERLOG, 0, QString(), QString());
    EXPECT_EQ(LogRows(), 1);
}

TEST_F(OperLogWriter, WebLoginEndsEarlierLoginsOfTheSessionAndOldNonWeChatLogins)
{
    const double now = m_now.Day();
    const QString rows =
        QStringLiteral("INSERT INTO TB_OPERLOG (OperTime,UserID,UserMduID,TypeID,UserSession,OperMemo) VALUES "
                       "(%1,5,322,0,'s1','same session and user'),"
                       "(%1,6,322,0,'s1','same session, other user'),"
                       "(%2,7,321,0,'old','old web login'),"
                       "(%2,8,321,0,'wx_0123456789','old WeChat login'),"
                       "(%1,9,321,0,'new','recent web login'),"
                       "(%2,0,322,10,'','desktop row')")
            .arg(now)
            .arg(now - 200);
    ASSERT_TRUE(Exec(rows));
    WriteOperLog(OPER_LOGIN, *User(MDU_TEACHER, 5, "s1"), 0, 0, QString(), QString());
    EXPECT_EQ(QueryText(QStringLiteral("SELECT group_concat(OperMemo, ',') FROM (SELECT OperMemo FROM TB_OPERLOG "
                                       "WHERE SessionEnd=1 ORDER BY ID)")),
              "same session and user,old web login");
    EXPECT_EQ(QueryText(QStringLiteral(
                  "SELECT TypeID||','||SessionEnd||','||UserSession FROM TB_OPERLOG ORDER BY ID DESC LIMIT 1")),
              "0,0,s1");
    EXPECT_TRUE(CFakeAppServices::Installed().sqlErrors.empty());
}

TEST_F(OperLogWriter, SessionIdsAreBoundNotFormattedIn)
{
    const char* id = "x' OR '1'='1";
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_OPERLOG (OperTime,UserID,UserMduID,TypeID,UserSession) VALUES "
                                    "(%1,5,322,0,'x'' OR ''1''=''1'),(%1,6,322,0,'other')")
                         .arg(m_now.Day())));
    WriteOperLog(OPER_LOGOUT, *User(MDU_TEACHER, 5, id), 0, 0, QString(), QString());
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE SessionEnd=1")), 1);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT UserSession FROM TB_OPERLOG WHERE TypeID=1")), QString::fromUtf8(id));
}

TEST_F(OperLogWriter, WorkerFailureBecomesARunRowOfTheAdministrator)
{
    OnWorker([] {
        CXDBSession s;
        s.Connect();
        CXAccessor cmd;
        if (!cmd.Open(s, QStringLiteral("SELECT * FROM NO_SUCH")))
            ReportDbError(QString::fromUtf8("读取学员"), &cmd, QString());
    });
    EXPECT_EQ(QueryText(QStringLiteral(
                  "SELECT TypeID||','||UserID||','||UserMduID||','||MduID||','||ItemID FROM TB_OPERLOG")),
              "10,0,322,0,0");
    EXPECT_EQ(QueryText(QStringLiteral("SELECT OperMemo FROM TB_OPERLOG")), "no such table: NO_SUCH (0x1)");
    EXPECT_TRUE(CFakeAppServices::Installed().sqlErrors.empty());
    EXPECT_TRUE(CFakeAppServices::Installed().messages.empty());
}

TEST_F(OperLogWriter, UiFailureShowsTheDialogOrABoxAndWritesNoRow)
{
    CXDBSession s;
    s.Connect();
    CXAccessor cmd;
    ASSERT_FALSE(cmd.Open(s, QStringLiteral("SELECT * FROM NO_SUCH")));
    CFakeAppServices::Installed().expectPrompts = true;
    ReportDbError(QString::fromUtf8("读取学员"), &cmd, QString());
    ReportDbError(QString::fromUtf8("自动编号"), nullptr, QString::fromUtf8("自动编号失败！"));
    auto& fake = CFakeAppServices::Installed();
    ASSERT_EQ(fake.sqlErrors.size(), 1u);
    EXPECT_EQ(fake.sqlErrors[0],
              (QStringList{QString::fromUtf8("读取学员"), "SELECT * FROM NO_SUCH", "no such table: NO_SUCH (0x1)"}));
    ASSERT_EQ(fake.messages.size(), 1u);
    EXPECT_EQ(fake.messages[0].caption, QString::fromUtf8("自动编号"));
    EXPECT_EQ(fake.messages[0].text, QString::fromUtf8("自动编号失败！"));
    EXPECT_EQ(fake.messages[0].type, static_cast<unsigned>(MB_ICONERROR));
    EXPECT_EQ(LogRows(), 0);
}

TEST_F(OperLogWriter, MissingDatabaseGivesOneReportAttemptPerFailure)
{
    ScopedHome empty; // no database file here
    int attempts = 0;
    SetErrorSink([&attempts](const XErrorReport& r) {
        ++attempts;
        ShowOrLogError(r);
    });
    bool finished = false;
    OnWorker([&] {
        CXDBSession s;
        s.Connect(); // reported; the log row of the report fails without a further report
        CXAccessor cmd;
        if (!cmd.Prepare(s, QStringLiteral("SELECT 1"))) // the operation's own first step
            ReportDbError(QString::fromUtf8("读取学员"), &cmd, QString());
        finished = true;
    });
    EXPECT_TRUE(finished);
    EXPECT_EQ(attempts, 2);
    EXPECT_FALSE(QFile::exists(GetConnectionString()));
}

} // namespace
