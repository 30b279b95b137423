#include "CDBSetup.h"
#include "CDBOperLog.h"
#include "CHead.h"
#include "DbTestSupport.h"
#include "OpenDatabase.h"
#include "Settings.h"
#include "XAppServices.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

int Rows(const char* key)
{
    return static_cast<int>(
        QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_PROFILE WHERE SecName='Global' AND KeyName='%1'")
                        .arg(QLatin1String(key))));
}

int SetupLogRows()
{
    return static_cast<int>(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=9")));
}

const CHead* Head(const char* key) { return CDBSetup::StaticHeads()->FindByColumn(QString::fromLatin1(key)); }

// A fresh database, loaded preferences installed as the current ones, an operator.
class SetupRecord : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session, *CDBOperLog::StaticHeads()));
        m_current.Load();
        m_previous = SetCurrentSetup(&m_current);
        m_admin.m_nMduID = 322;
        m_admin.m_strName = QStringLiteral("Admin");
        m_admin.m_nRightRole = 2;
        WxRefreshEvent().Reset();
    }
    void TearDown() override { SetCurrentSetup(m_previous); }

    TempDatabase m_db;
    CDBSetup m_current;
    CDBSetup* m_previous = nullptr;
    CXItem m_admin;
};

TEST_F(SetupRecord, LoadsDefaultsAndKeepsNoRowForAValueAtItsDefault)
{
    EXPECT_EQ(m_current.m_strKeyFmtRcp, QStringLiteral("B[Y][nnnn]"));
    EXPECT_EQ(m_current.m_strKeyFmtClc, QStringLiteral("T[Y][nnnn]"));
    EXPECT_EQ(m_current.m_strDefaultPwd0, QStringLiteral("583920"));
    EXPECT_EQ(m_current.m_strDefaultPwd1, QStringLiteral("740316"));
    EXPECT_EQ(m_current.m_nRcdAdvance, 180);
    EXPECT_EQ(m_current.m_nWarnRemained, 3);
    EXPECT_EQ(m_current.m_nDefaultDur0, 90);
    EXPECT_EQ(m_current.m_nLoginTimeout, 5);
    EXPECT_EQ(m_current.m_nBackupHold, 180);
    EXPECT_EQ(m_current.m_strBackupPath, QStringLiteral("backup"));
    EXPECT_EQ(m_current.GetStatusLevel(), ST_NONE);

    CDBSetup edit;
    edit.BeginEdit();
    edit.m_nRcdAdvance = 30;
    edit.Save(m_admin);
    EXPECT_EQ(Rows("RcdAdvance"), 1);
    edit.m_nRcdAdvance = 180;
    edit.Save(m_admin);
    EXPECT_EQ(Rows("RcdAdvance"), 0);
    CDBSetup loaded;
    loaded.Load();
    EXPECT_EQ(loaded.m_nRcdAdvance, 180);

    // stored numbers are read by their leading digits, unclamped; no digits read as 0
    WriteSetting(QStringLiteral("Global"), QStringLiteral("WarnRemained"), QStringLiteral("45x"));
    WriteSetting(QStringLiteral("Global"), QStringLiteral("ImgSizeMax"), QStringLiteral("abc"));
    loaded.Load();
    EXPECT_EQ(loaded.m_nWarnRemained, 45);
    EXPECT_EQ(loaded.m_nImgSizeMax, 0);
}

TEST_F(SetupRecord, SavingWithoutChangesWritesAndLogsNothing)
{
    const int logRows = SetupLogRows();
    CDBSetup edit;
    edit.BeginEdit();
    edit.Save(m_admin);
    EXPECT_EQ(SetupLogRows(), logRows);
    EXPECT_EQ(QueryNumber(QStringLiteral(
                  "SELECT COUNT(*) FROM TB_PROFILE WHERE SecName='Global' AND KeyName<>'DatabaseVersion'")),
              0);
    EXPECT_FALSE(WxRefreshEvent().IsSet());
}

TEST_F(SetupRecord, EachChangeIsStoredAndLoggedAsTheFieldShowsIt)
{
    CDBSetup edit;
    edit.BeginEdit();
    edit.m_nRcdAdvance = 30;
    edit.m_strBackupPath.clear();
    edit.Save(m_admin);
    EXPECT_EQ(
        QueryText(QStringLiteral(
            "SELECT GROUP_CONCAT(OperMemo, '|') FROM (SELECT OperMemo FROM TB_OPERLOG WHERE TypeID=9 ORDER BY ID)")),
        QStringLiteral("可提前考勤：30 天|备份路径：同软件安装位置"));
    EXPECT_EQ(m_current.m_nRcdAdvance, 30);
    EXPECT_TRUE(m_current.m_strBackupPath.isEmpty());
}

// Two editors start from the same preferences; the second save must not write back the
// value the first one changed.
TEST_F(SetupRecord, TwoEditsSavedInTurnKeepEachOthersChanges)
{
    CDBSetup desktop, phone;
    desktop.BeginEdit();
    phone.BeginEdit();
    desktop.m_nRcdAdvance = 30;
    phone.m_strLtdTitle = QStringLiteral("晨曦艺术");
    desktop.Save(m_admin);
    phone.Save(m_admin);

    EXPECT_EQ(m_current.m_nRcdAdvance, 30);
    EXPECT_EQ(m_current.m_strLtdTitle, QStringLiteral("晨曦艺术"));
    CDBSetup loaded;
    loaded.Load();
    EXPECT_EQ(loaded.m_nRcdAdvance, 30);
    EXPECT_EQ(loaded.m_strLtdTitle, QStringLiteral("晨曦艺术"));
    EXPECT_EQ(SetupLogRows(), 2);

    // the same edit saved again starts from what it saved
    desktop.m_nWarnRemained = 5;
    desktop.Save(m_admin);
    EXPECT_EQ(m_current.m_strLtdTitle, QStringLiteral("晨曦艺术"));
    EXPECT_EQ(SetupLogRows(), 3);
}

TEST_F(SetupRecord, ChangedWeChatKeysAskTheTokenThreadAndWaitForIt)
{
    std::thread token([] {
        if (WxRefreshEvent().Wait(std::chrono::seconds(20)))
            WxRefreshedEvent().Set();
    });
    CDBSetup edit;
    edit.BeginEdit();
    edit.m_strWxAppSecret = QStringLiteral("s3cret");
    const auto start = std::chrono::steady_clock::now();
    edit.Save(m_admin);
    token.join();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(9));
    EXPECT_EQ(m_current.m_strWxAppSecret, QStringLiteral("s3cret"));
    EXPECT_FALSE(WxRefreshedEvent().IsSet());
}

TEST(SetupFields, NumberPatternsNeedACounterPart)
{
    const struct
    {
        const char* pattern;
        bool ok;
    } cases[] = {{"B[Y][nnnn]", true}, {"B[Y]", false}, {"Bn][n", true}, {"B[nnn", false}, {"", false}};
    for (const auto& c : cases) {
        CDBSetup setup;
        setup.m_strKeyFmtRcp = QString::fromUtf8(c.pattern);
        const int level = setup.Validate(nullptr, false);
        EXPECT_EQ(level < ST_STOP, c.ok) << c.pattern;
        if (!c.ok)
            EXPECT_EQ(setup.GetErrorText(), QStringLiteral("应包含一个形同 “[n…]” 的顺序编号部分！")) << c.pattern;
    }
}

TEST(SetupFields, ClassFormHidesTheDurationItExcludes)
{
    CDBSetup setup;
    const struct
    {
        int form, dur0, dur1;
    } cases[] = {{0, 1, 1}, {1, 1, 1}, {2, 1, -1}, {3, -1, 1}};
    for (const auto& c : cases) {
        setup.m_nLtdClassForm = c.form;
        EXPECT_EQ(setup.GetAccess(Head("DefaultDur0"), nullptr), c.dur0) << c.form;
        EXPECT_EQ(setup.GetAccess(Head("DefaultDur1"), nullptr), c.dur1) << c.form;
    }
}

TEST(SetupFields, ResettingAGroupTouchesOnlyItsFields)
{
    CDBSetup setup;
    setup.m_nBackupDays = 7;
    setup.m_nBackupHold = 30;
    setup.m_strBackupPath = QStringLiteral("/tmp/b");
    setup.m_nRcdAdvance = 10;
    setup.m_strLtdTitle = QStringLiteral("x");
    setup.ResetGroup(QStringLiteral("数据库备份"));
    EXPECT_EQ(setup.m_nBackupDays, 1);
    EXPECT_EQ(setup.m_nBackupHold, 180);
    EXPECT_EQ(setup.m_strBackupPath, QStringLiteral("backup"));
    EXPECT_EQ(setup.m_nRcdAdvance, 10);
    EXPECT_EQ(setup.m_strLtdTitle, QStringLiteral("x"));
    setup.ResetGroup(QString());
    EXPECT_EQ(setup.m_nRcdAdvance, 180);
}

} // namespace
