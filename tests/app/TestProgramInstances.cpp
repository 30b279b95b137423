#include "CInstanceGuard.h"
#include "ProgramWindows.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QMainWindow>

#include <csignal>
#include <memory>

namespace {

// ---------------------------------------------------------------------------------------
// The running program's windows

TEST(ProgramWindows, OnlyAVisibleDialogAnswersTheRequest)
{
    QDialog dialog;
    dialog.show();
    dialog.setWindowState(Qt::WindowMinimized);
    EXPECT_FALSE(HandleActivateRequest(&dialog, 17));
    EXPECT_TRUE(dialog.isMinimized());
    EXPECT_TRUE(HandleActivateRequest(&dialog, ACTIVATE_DATA_WORD));
    EXPECT_FALSE(dialog.isMinimized());
    EXPECT_TRUE(dialog.isVisible());

    QWidget plain;
    plain.show();
    EXPECT_FALSE(HandleActivateRequest(&plain, ACTIVATE_DATA_WORD));
    QDialog hidden;
    EXPECT_FALSE(HandleActivateRequest(&hidden, ACTIVATE_DATA_WORD));
    EXPECT_FALSE(hidden.isVisible());
    EXPECT_FALSE(HandleActivateRequest(nullptr, ACTIVATE_DATA_WORD));
}

TEST(ProgramWindows, MainWindowComesForwardWhenNoDialogIsOpen)
{
    QMainWindow frame;
    frame.show();
    frame.setWindowState(Qt::WindowMinimized);
    ActivateProgramWindows(17);
    EXPECT_TRUE(frame.isMinimized());
    ActivateProgramWindows(ACTIVATE_DATA_WORD);
    EXPECT_FALSE(frame.isMinimized());

    // with a dialog open, the dialog answers and the frame stays as it is
    frame.setWindowState(Qt::WindowMinimized);
    QDialog dialog;
    dialog.show();
    ActivateProgramWindows(ACTIVATE_DATA_WORD);
    EXPECT_TRUE(frame.isMinimized());
}

// A dialog that ignores Escape is cancelled next; one that also refuses to be cancelled is
// left alone, as a window that answers "no" was.
class EscapeProofDialog : public QDialog
{
public:
    int escapes = 0;
    bool refuse = false;

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (e->key() == Qt::Key_Escape)
            ++escapes;
    }
    void reject() override
    {
        if (!refuse)
            QDialog::reject();
    }
};

TEST(ProgramWindows, CloseEveryWindowButTheOneToKeep)
{
    QMainWindow frame;
    frame.show();
    auto* dialog = new QDialog;
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
    QPointer<QDialog> watch(dialog);
    EscapeProofDialog escapeProof;
    escapeProof.show();
    EscapeProofDialog refusing;
    refusing.refuse = true;
    refusing.show();
    QWidget plain;
    plain.show();

    CloseProgramWindows(&frame);
    EXPECT_TRUE(frame.isVisible());
    EXPECT_TRUE(!watch || !watch->isVisible());
    EXPECT_FALSE(plain.isVisible());
    EXPECT_FALSE(escapeProof.isVisible());
    EXPECT_EQ(escapeProof.escapes, 1);
    EXPECT_EQ(escapeProof.result(), QDialog::Rejected);
    EXPECT_TRUE(refusing.isVisible());
    EXPECT_EQ(refusing.escapes, 1);
    delete watch.data();
}

// ---------------------------------------------------------------------------------------
// Two processes of the program

class ProgramProcess
{
public:
    explicit ProgramProcess(const QString& home)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LORVAN_HOME"), home);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        m_process.setProcessEnvironment(env);
        m_process.setProgram(QStringLiteral(LORVAN_EXE));
        m_process.start();
        m_process.waitForStarted(10000);
    }
    ~ProgramProcess()
    {
        // a normal end takes the instance's socket and lock files with it
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(10000)) {
                m_process.kill();
                m_process.waitForFinished(10000);
            }
        }
    }
    QProcess& Process() { return m_process; }

    // Reads stderr for up to ms and counts the lines containing the text.
    int CountLines(const char* text, int ms)
    {
        const QDeadlineTimer deadline(ms);
        do {
            m_process.waitForReadyRead(50);
            m_stderr += m_process.readAllStandardError();
        } while (!deadline.hasExpired() && !m_stderr.contains(text));
        return static_cast<int>(m_stderr.count(text));
    }
    QByteArray Stderr()
    {
        m_stderr += m_process.readAllStandardError();
        return m_stderr;
    }

private:
    QProcess m_process;
    QByteArray m_stderr;
};

QString ServerPath(const QString& home)
{
    const QString program = QFileInfo(QStringLiteral(LORVAN_EXE)).canonicalFilePath();
    const QString folder = QDir::cleanPath(QDir(home).absolutePath());
    CInstanceGuard probe(GetInstanceKey(program, folder));
    return QDir::tempPath() + u'/' + probe.ServerName();
}

// Waits until the first instance listens (its socket file appears) while it keeps running.
bool WaitListening(ProgramProcess& p, const QString& home)
{
    const QDeadlineTimer deadline(30000);
    while (!deadline.hasExpired()) {
        if (QFileInfo::exists(ServerPath(home)))
            return true;
        if (p.Process().waitForFinished(100))
            return false;
    }
    return false;
}

const char* const kHandedOver = "already running";
const char* const kActivated = "activation request from another start";

TEST(ProgramInstances, SecondStartHandsOverAndExits)
{
    QTemporaryDir home;
    ProgramProcess first(home.path());
    ASSERT_TRUE(WaitListening(first, home.path())) << first.Stderr().constData();

    ProgramProcess second(home.path());
    ASSERT_TRUE(second.Process().waitForFinished(30000));
    EXPECT_EQ(second.Process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.Process().exitCode(), 0);
    EXPECT_EQ(second.CountLines(kHandedOver, 0), 1) << second.Stderr().constData();

    EXPECT_EQ(first.CountLines(kActivated, 10000), 1);
    EXPECT_EQ(first.CountLines(kActivated, 300), 1);
    EXPECT_EQ(first.Process().state(), QProcess::Running);

    // another program folder is another program, even from the same executable
    QTemporaryDir otherHome;
    ProgramProcess other(otherHome.path());
    EXPECT_TRUE(WaitListening(other, otherHome.path())) << other.Stderr().constData();
    EXPECT_EQ(other.Process().state(), QProcess::Running);

    first.Process().terminate();
    EXPECT_TRUE(first.Process().waitForFinished(30000));
    EXPECT_FALSE(QFileInfo::exists(ServerPath(home.path())));
}

// Starts at the same moment: the lock lets exactly one win, and it hears from every other.
TEST(ProgramInstances, SimultaneousStartsLeaveOneInstance)
{
    QTemporaryDir home;
    const int count = 4;
    std::vector<std::unique_ptr<ProgramProcess>> starts;
    for (int i = 0; i < count; ++i)
        starts.push_back(std::make_unique<ProgramProcess>(home.path()));
    ProgramProcess* survivor = nullptr;
    const QDeadlineTimer deadline(60000);
    int ended = 0;
    while (ended < count - 1 && !deadline.hasExpired()) {
        ended = 0;
        for (auto& p : starts) {
            p->Process().waitForFinished(20);
            if (p->Process().state() == QProcess::NotRunning)
                ++ended;
        }
    }
    ASSERT_EQ(ended, count - 1);
    for (auto& p : starts) {
        if (p->Process().state() == QProcess::Running) {
            survivor = p.get();
            continue;
        }
        EXPECT_EQ(p->Process().exitCode(), 0);
        EXPECT_EQ(p->CountLines(kHandedOver, 0), 1) << p->Stderr().constData();
    }
    ASSERT_NE(survivor, nullptr);
    const QDeadlineTimer all(10000);
    while (survivor->CountLines(kActivated, 100) < count - 1 && !all.hasExpired()) {}
    EXPECT_EQ(survivor->CountLines(kActivated, 0), count - 1) << survivor->Stderr().constData();
}

TEST(ProgramInstances, KilledInstanceLeavesNothingInTheWay)
{
    QTemporaryDir home;
    {
        ProgramProcess killed(home.path());
        ASSERT_TRUE(WaitListening(killed, home.path())) << killed.Stderr().constData();
        ::kill(static_cast<pid_t>(killed.Process().processId()), SIGKILL);
        ASSERT_TRUE(killed.Process().waitForFinished(10000));
    }
    ASSERT_TRUE(QFileInfo::exists(ServerPath(home.path()))); // its socket file is stale now

    ProgramProcess next(home.path());
    // the stale socket refuses connections until the new instance listens in its place;
    // a word other than the activation word makes the program do nothing
    ASSERT_TRUE(CInstanceGuard::SendRequest(QFileInfo(ServerPath(home.path())).fileName(), 0, 30000))
        << next.Stderr().constData();
    ProgramProcess later(home.path());
    ASSERT_TRUE(later.Process().waitForFinished(30000));
    EXPECT_EQ(later.CountLines(kHandedOver, 0), 1) << later.Stderr().constData();
    EXPECT_EQ(next.CountLines(kActivated, 10000), 1) << next.Stderr().constData();
    EXPECT_EQ(next.Process().state(), QProcess::Running);
}

} // namespace
