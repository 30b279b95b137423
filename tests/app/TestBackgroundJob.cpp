// The background job: its decisions as functions of the clock and the preferences, and its
// passes on the fixture school's database.
#include "BackgroundJobThread.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "DatabaseBackup.h"
#include "FixtureSchool.h"
#include "ProgramPaths.h"
#include "Settings.h"
#include "Version.h"
#include "VersionDocument.h"

#include <QtCore/QDateTime>
#include <QtCore/QDir>
#include <QtCore/QFile>

#include <gtest/gtest.h>

namespace {

int DayNo(int y, int m, int d) { return static_cast<int>(XDateTime(y, m, d).Day()); }

TEST(JobDecisions, BackupDueAfterItsPeriodAndWhenTheLastDayLiesAhead)
{
    const int today = DayNo(2026, 3, 18);
    const struct
    {
        int last, days;
        bool due;
    } cases[] = {
        {0, 1, true},          // never backed up
        {today, 1, false},     // done today
        {today - 1, 1, true},  // yesterday's
        {today - 6, 7, false}, // within the week
        {today - 7, 7, true},  // a week on
        {today + 30, 1, true}, // the clock was set back: not stalled for a month
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsBackupDue(today, c.last, c.days), c.due) << c.last - today << " " << c.days;
}

TEST(JobDecisions, BackupNamesAndWhichFilesArePruned)
{
    const int day = DayNo(2026, 3, 18);
    EXPECT_EQ(AutoBackupName(QStringLiteral("/b"), PackVersion(4, 6, 0, 9), day),
              QStringLiteral("/b/Lorvan4.6.0.9_20260318.mdb"));
    EXPECT_EQ(ManualBackupName(QStringLiteral("/b"), PackVersion(4, 6, 0, 0), day),
              QStringLiteral("/b/Lorvan_4.6_M_20260318.mdb"));
    const double now = XDateTime(2026, 3, 18, 12, 0, 0).Day();
    const std::vector<XBackupFile> files = {
        {QStringLiteral("/b/Lorvan4.5_20250101.mdb"), now - 181},    // old automatic: goes
        {QStringLiteral("/b/lorvan_4.5_M_20250101.MDB"), now - 200}, // old manual: goes
        {QStringLiteral("/b/Lorvan4.6_20260301.mdb"), now - 17},     // young: stays
        {QStringLiteral("/b/Lorvan4.5_20240101.mdb"), now - 180},    // exactly the hold: stays
        {QStringLiteral("/b/Lorvan4.5_20230101.mdb"), 0},            // time unknown: stays
        {QStringLiteral("/b/Lorvan.mdb"), now - 900},                // the database: stays
        {QStringLiteral("/b/LorvanX_20250101.mdb"), now - 900},      // another program's: stays
        {QStringLiteral("/b/Lorvan4.5_2025010.mdb"), now - 900},     // not a day: stays
        {QStringLiteral("/b/notes.txt"), now - 900},
    };
    EXPECT_EQ(SelectExpiredBackups(files, now, 180),
              (std::vector<QString>{QStringLiteral("/b/Lorvan4.5_20250101.mdb"),
                                    QStringLiteral("/b/lorvan_4.5_M_20250101.MDB")}));
}

TEST(JobDecisions, PollDueHourlyOrSixHourlyAcrossTheTickWrap)
{
    const struct
    {
        std::uint32_t now, last;
        bool newer, due;
    } cases[] = {
        {3600000, 0, false, false}, // uptime exactly an hour
        {3600001, 0, false, true},  // first poll once above an hour
        {21600000, 0, true, false}, // six hours once a newer version is known
        {21600001, 0, true, true},
        {1000, 0xFFFFFFFFu - 3600000u, false, true}, // the tick wrapped: 3,601,001 ms passed
        {1000, 0xFFFFFFFFu - 1000u, false, false},   // wrapped, 2,001 ms passed
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsPollDue(c.now, c.last, c.newer), c.due) << c.now << " " << c.last;
}

TEST(JobDecisions, IdleLogoutOncePerIdlePeriod)
{
    XIdleEdge edge;
    const std::uint32_t five = 5 * 60000;
    EXPECT_FALSE(edge.Update(true, five, 5)); // not more than the limit
    EXPECT_TRUE(edge.Update(true, five + 1, 5));
    EXPECT_FALSE(edge.Update(true, five + 10001, 5)); // still away: no second logout
    EXPECT_FALSE(edge.Update(false, 1, 5));           // hidden: nothing changes
    EXPECT_TRUE(edge.IsIdle());
    EXPECT_FALSE(edge.Update(true, 10, 5)); // back
    EXPECT_TRUE(edge.Update(true, five + 1, 5));
}

// The job's passes with a clock and hooks of the test.
class BackgroundJob : public SchoolTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
        XClock::SetFixed(XDateTime(2026, 3, 18, 10, 0, 0));
        m_hooks.settings = [this] { return m_settings; };
        m_hooks.tickCount = [this] { return m_tick; };
        m_hooks.mainWindowVisible = [this] { return m_visible; };
        m_hooks.lastInputTick = [this] { return m_lastInput; };
        m_hooks.postLogout = [this] { ++m_logouts; };
        m_hooks.fetchVersionXml = [this](const XEvent&) {
            ++m_fetches;
            return m_serverXml;
        };
        m_settings.backupPath = QStringLiteral("backup");
    }
    void TearDown() override
    {
        SetLatestVersionXml(QString());
        SchoolTest::TearDown();
    }
    QString Folder() const { return GetExeFolder() + QStringLiteral("/backup"); }
    static int LogRows(const QString& like)
    {
        CXDBSession s;
        s.Connect();
        CXAccessor cmd;
        EXPECT_TRUE(cmd.Open(s, QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=10 AND OperMemo LIKE '%1'")
                                    .arg(like)) &&
                    cmd.MoveNext());
        return static_cast<int>(cmd.GetNumber(1));
    }
    static void Touch(const QString& path, const QDateTime& modified)
    {
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::Append));
            f.write("x");
        }
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)); // the time is set through an open file
        ASSERT_TRUE(f.setFileTime(modified, QFileDevice::FileModificationTime));
    }

    XEvent m_stop{true, false};
    XJobHooks m_hooks;
    XJobSettings m_settings;
    std::uint32_t m_tick = 1000;
    std::uint32_t m_lastInput = 0;
    bool m_visible = false;
    int m_logouts = 0;
    int m_fetches = 0;
    QString m_serverXml;
};

// A first run backs up at its first pass; one backup a day; old copies of either form go
// after the next good backup, anything else stays.
TEST_F(BackgroundJob, BacksUpOnceADayAndPrunesOnlyExpiredBackups)
{
    XBackgroundJob job(m_hooks, m_stop);
    job.RunPass();
    const QString first = AutoBackupName(Folder(), GetOwnFileVersion(), DayNo(2026, 3, 18));
    ASSERT_TRUE(QFile::exists(first));
    EXPECT_TRUE(CheckDatabaseFile(first, true));
    EXPECT_EQ(ReadSetting(QStringLiteral("Global"), QStringLiteral("LastBackup"), QStringLiteral("0")),
              QString::number(DayNo(2026, 3, 18)));
    EXPECT_EQ(LogRows(QString::fromUtf8("已备份 %")), 1);
    XClock::SetFixed(XDateTime(2026, 3, 18, 23, 59, 0));
    job.RunPass();
    EXPECT_EQ(LogRows(QString::fromUtf8("已备份 %")), 1);

    const QDateTime march20(QDate(2026, 3, 20), QTime(0, 0, 5));
    Touch(Folder() + QStringLiteral("/Lorvan4.5_20250901.mdb"), march20.addDays(-181));
    Touch(Folder() + QStringLiteral("/Lorvan_4.5_M_20250801.mdb"), march20.addDays(-230));
    Touch(Folder() + QStringLiteral("/Lorvan4.5_20260101.mdb"), march20.addDays(-78));
    Touch(Folder() + QStringLiteral("/other_20250101.mdb"), march20.addDays(-400));
    XClock::SetFixed(XDateTime(2026, 3, 20, 0, 0, 5));
    // a job started anew reads the last backup day from the settings
    XBackgroundJob restarted(m_hooks, m_stop);
    restarted.RunPass();
    EXPECT_TRUE(QFile::exists(AutoBackupName(Folder(), GetOwnFileVersion(), DayNo(2026, 3, 20))));
    QStringList left = QDir(Folder()).entryList(QDir::Files);
    left.sort();
    QStringList expected = {QFileInfo(first).fileName(),
                            QFileInfo(AutoBackupName(Folder(), GetOwnFileVersion(), DayNo(2026, 3, 20))).fileName(),
                            QStringLiteral("Lorvan4.5_20260101.mdb"), QStringLiteral("other_20250101.mdb")};
    expected.sort();
    EXPECT_EQ(left, expected);
    EXPECT_EQ(LogRows(QString::fromUtf8("删除过期备份数据库文件 %")), 2);
}

// A backup that cannot be written is logged, and the day is still taken as done.
TEST_F(BackgroundJob, AFailedBackupIsLoggedAndNotRetriedThatDay)
{
    Touch(GetExeFolder() + QStringLiteral("/blocker"), QDateTime::currentDateTime());
    m_settings.backupPath = QStringLiteral("blocker/backup");
    XBackgroundJob job(m_hooks, m_stop);
    job.RunPass();
    EXPECT_EQ(ReadSetting(QStringLiteral("Global"), QStringLiteral("LastBackup"), QStringLiteral("0")),
              QString::number(DayNo(2026, 3, 18)));
    EXPECT_EQ(LogRows(QString::fromUtf8("备份 “%” 至 “%” 失败！%")), 1);
    job.RunPass();
    EXPECT_EQ(LogRows(QString::fromUtf8("备份 “%” 至 “%” 失败！%")), 1);
}

// With no backup folder set the copies go beside the database, which is never pruned; a
// last backup day ahead of today (the clock set back) does not stop the backups.
TEST_F(BackgroundJob, BackupBesideTheDatabaseNeverPrunesItAndAClockSetBackStillBacksUp)
{
    m_settings.backupPath.clear();
    WriteSetting(QStringLiteral("Global"), QStringLiteral("LastBackup"), QString::number(DayNo(2026, 5, 1)));
    const QString database = GetConnectionString();
    {
        QFile f(database);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2020, 1, 1), QTime(0, 0)), QFileDevice::FileModificationTime));
    }
    XBackgroundJob job(m_hooks, m_stop);
    job.RunPass();
    EXPECT_TRUE(QFile::exists(AutoBackupName(GetExeFolder(), GetOwnFileVersion(), DayNo(2026, 3, 18))));
    EXPECT_TRUE(QFile::exists(database));
    EXPECT_EQ(LogRows(QString::fromUtf8("删除%")), 0);
}

// The logout is posted once per idle period while the frame shows; the first poll comes
// once the machine has run for more than an hour, then hourly, or six-hourly once a newer
// version is known.
TEST_F(BackgroundJob, IdleLogoutAndUpdatePoll)
{
    m_settings.backupDays = 100000; // no backups in this test
    WriteSetting(QStringLiteral("Global"), QStringLiteral("LastBackup"), QString::number(DayNo(2026, 3, 18)));
    XBackgroundJob job(m_hooks, m_stop);
    m_visible = true;
    m_tick = 6 * 60000; // six minutes since the last input
    job.RunPass();
    job.RunPass();
    EXPECT_EQ(m_logouts, 1);
    m_lastInput = m_tick;
    job.RunPass();
    m_tick += 5 * 60000 + 1;
    job.RunPass();
    EXPECT_EQ(m_logouts, 2);
    EXPECT_EQ(m_fetches, 0); // uptime below an hour

    m_serverXml = QStringLiteral("<r><files lastversion=\"%1\"/></r>").arg(FormatVersion(GetOwnFileVersion()));
    m_tick = 3600001;
    job.RunPass();
    EXPECT_EQ(m_fetches, 1);
    EXPECT_FALSE(IsNewerVersionKnown()); // the same version changes nothing
    m_tick += 3600001;
    m_serverXml = QStringLiteral("<r><files lastversion=\"200.0\"/></r>");
    job.RunPass();
    EXPECT_EQ(m_fetches, 2);
    EXPECT_EQ(GetLatestVersion(), PackVersion(200, 0, 0, 0));
    m_tick += 3600001;
    job.RunPass();
    EXPECT_EQ(m_fetches, 2);
    m_tick += 21600000 - 3600001 + 1;
    job.RunPass();
    EXPECT_EQ(m_fetches, 3);
}

} // namespace
