#include "CXAccessor.h"
#include "CXDBSession.h"
#include "OpenDatabase.h"
#include "TestSupport.h"
#include "LorvanProcess.h"

#include <gtest/gtest.h>

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QThread>

#include <csignal>
#include <sys/stat.h>

namespace {

// Counts the start rows of the log in the program's database; -1 while it cannot be read.
int StartRows(const QString& path)
{
    if (!QFile::exists(path))
        return -1;
    CXDBSession s;
    CXAccessor cmd;
    if (!s.Open(path) ||
        !cmd.Open(s, QString::fromUtf8("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=10 AND OperMemo='启动'")) ||
        !cmd.MoveNext())
        return -1;
    return static_cast<int>(cmd.GetNumber(1));
}

TEST(Lorvan, CreatesAndOpensItsDatabaseInAFreshHome)
{
    ScopedHome home;
    const QString path = home.Path() + QStringLiteral("/Lorvan.mdb");
    QProcess lorvan;
    ASSERT_TRUE(StartLorvan(lorvan, home.Path()));

    QElapsedTimer timer;
    timer.start();
    while (StartRows(path) < 1 && timer.elapsed() < 60000 && lorvan.state() == QProcess::Running)
        QThread::msleep(100);
    EXPECT_EQ(StartRows(path), 1) << lorvan.readAllStandardError().toStdString();

    lorvan.terminate();
    ASSERT_TRUE(lorvan.waitForFinished(30000));
    EXPECT_EQ(lorvan.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lorvan.exitCode(), 0);

    struct stat st = {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    CXDBSession s;
    CXAccessor cmd;
    ASSERT_TRUE(s.Open(path));
    ASSERT_TRUE(cmd.Open(s, QStringLiteral("SELECT KeyValue FROM TB_PROFILE WHERE KeyName='DatabaseVersion'")) &&
                cmd.MoveNext());
    EXPECT_EQ(cmd.GetText(1), GetProgramVersionText());
    // start-up ended at the login window, where nobody logged in; the signal ended the
    // program from there with its exit row, as the exit question's exit does
    CXAccessor rows;
    ASSERT_TRUE(
        rows.Open(s, QString::fromUtf8("SELECT (SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID IN (0, 1)),"
                                       " (SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=10 AND OperMemo='退出')")) &&
        rows.MoveNext());
    EXPECT_EQ(rows.GetNumber(1), 0);
    EXPECT_EQ(rows.GetNumber(2), 1);
    // the version document was written beside the program
    EXPECT_TRUE(QFile::exists(home.Path() + QStringLiteral("/lorvan.xml")));
}

// Starts the program in the home and waits for its start row number `rows`; false when it
// did not get there.
bool StartAndWait(QProcess& lorvan, const QString& home, int rows)
{
    if (!StartLorvan(lorvan, home))
        return false;
    const QString path = home + QStringLiteral("/Lorvan.mdb");
    QElapsedTimer timer;
    timer.start();
    while (StartRows(path) < rows && timer.elapsed() < 60000 && lorvan.state() == QProcess::Running)
        QThread::msleep(100);
    return StartRows(path) == rows;
}

// The second start loads the preferences: a stored value equal to its default goes, as the
// settings store keeps only values that differ. SIGINT ends it as SIGTERM does.
TEST(Lorvan, LoadsThePreferencesAndEndsOnAnInterrupt)
{
    ScopedHome home;
    const QString path = home.Path() + QStringLiteral("/Lorvan.mdb");
    {
        QProcess first;
        ASSERT_TRUE(StartAndWait(first, home.Path(), 1)) << first.readAllStandardError().toStdString();
        first.terminate();
        ASSERT_TRUE(first.waitForFinished(30000));
        EXPECT_EQ(first.exitCode(), 0);
    }
    {
        CXDBSession s;
        CXAccessor cmd;
        ASSERT_TRUE(s.Open(path));
        ASSERT_TRUE(cmd.Open(
            s, QStringLiteral(
                   "INSERT INTO TB_PROFILE(SecName, KeyName, KeyValue) VALUES('Global', 'RcdAdvance', '180')")));
    }
    QProcess second;
    ASSERT_TRUE(StartAndWait(second, home.Path(), 2)) << second.readAllStandardError().toStdString();
    ::kill(static_cast<pid_t>(second.processId()), SIGINT);
    ASSERT_TRUE(second.waitForFinished(30000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);

    CXDBSession s;
    CXAccessor cmd;
    ASSERT_TRUE(s.Open(path));
    ASSERT_TRUE(cmd.Open(s, QStringLiteral(
                                "SELECT COUNT(*) FROM TB_PROFILE WHERE SecName='Global' AND KeyName='RcdAdvance'")) &&
                cmd.MoveNext());
    EXPECT_EQ(cmd.GetNumber(1), 0);
}

} // namespace
