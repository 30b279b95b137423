#include "CXAccessor.h"
#include "CXDBSession.h"
#include "OpenDatabase.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QThread>

#include <sys/stat.h>

namespace {

// Counts the start rows of the log in the program's database; -1 while it cannot be read.
int StartRows(const QString& path)
{
    if (!QFile::exists(path))
        return -1;
    CXDBSession s;
    CXAccessor cmd;
    if (!s.Open(path) || !cmd.Open(s, QString::fromUtf8("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=10 AND OperMemo='启动'")) ||
        !cmd.MoveNext())
        return -1;
    return static_cast<int>(cmd.GetNumber(1));
}

TEST(Lorvan, CreatesAndOpensItsDatabaseInAFreshHome)
{
    ScopedHome home;
    const QString path = home.Path() + QStringLiteral("/Lorvan.mdb");
    QProcess lorvan;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LORVAN_HOME"), home.Path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    lorvan.setProcessEnvironment(env);
    lorvan.start(QStringLiteral(LORVAN_EXE), {});
    ASSERT_TRUE(lorvan.waitForStarted(30000));

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
    ASSERT_TRUE(cmd.Open(s, QStringLiteral("SELECT KeyValue FROM TB_PROFILE WHERE KeyName='DatabaseVersion'")) && cmd.MoveNext());
    EXPECT_EQ(cmd.GetText(1), GetProgramVersionText());
}

} // namespace
