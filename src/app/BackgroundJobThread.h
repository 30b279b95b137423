#pragma once

#include "XThread.h"

#include <QtCore/QString>

#include <cstdint>
#include <functional>
#include <vector>

// The application's one worker thread: every 10 seconds until the stop event is set it logs
// out a desktop user idle for too long, makes the periodic database backup and prunes old
// ones, and asks the update server for a newer version. Its decisions are the pure
// functions below, of the clock and the preferences.

// --- decisions ------------------------------------------------------------------------------

// A backup is due when BackupDays have passed since the last one, and also when the last
// backup day lies after today (the clock was set back): otherwise backups would stop until
// the clock caught up with that day again.
bool IsBackupDue(int today, int lastBackupDay, int backupDays);

// "<folder>/Lorvan<version>_<yyyymmdd>.mdb", the automatic backup's name.
QString AutoBackupName(const QString& folder, std::uint32_t version, int day);
// "<folder>/Lorvan_<version>_M_<yyyymmdd>.mdb", the manual backup's name.
QString ManualBackupName(const QString& folder, std::uint32_t version, int day);
// Whether a file name (without folder) has one of the two backup forms.
bool IsBackupFileName(const QString& fileName);

struct XBackupFile
{
    QString path;
    double modified = 0; // day value of the file's modification time; 0 when unknown
};
// The files to delete: a backup name, a known time, and older than backupHold days (in
// days, fractions included). Anything else in the folder, the database included, stays.
std::vector<QString> SelectExpiredBackups(const std::vector<XBackupFile>& files, double now, int backupHold);

// An update poll is due an hour after the last one, or six hours once a newer version is
// known; ticks are milliseconds that wrap at 2^32.
bool IsPollDue(std::uint32_t now, std::uint32_t lastPoll, bool newerKnown);

// One idle logout per idle period: Update returns true when the user has become idle since
// the last check of a visible main window. While the window is hidden nothing changes.
class XIdleEdge
{
public:
    bool Update(bool mainWindowVisible, std::uint32_t idleMs, int loginTimeoutMinutes);
    bool IsIdle() const { return m_bIdle; }

private:
    bool m_bIdle = false;
};

// --- the thread -------------------------------------------------------------------------------

struct XJobSettings
{
    int loginTimeout = 5;
    int backupDays = 1;
    int backupHold = 180;
    QString backupPath;
};

// What the job needs from the program; every function is called on the job's thread.
struct XJobHooks
{
    std::function<XJobSettings()> settings;   // read under the application's mutex
    std::function<std::uint32_t()> tickCount; // milliseconds, wrapping
    std::function<bool()> mainWindowVisible;
    std::function<std::uint32_t()> lastInputTick;
    std::function<void()> postLogout; // queued to the UI thread
    std::function<QString(const XEvent& abort)> fetchVersionXml;
};

// The program's hooks: its preferences, the steady clock, the frame's state and input, the
// update server.
XJobHooks ProgramJobHooks();

class XBackgroundJob
{
public:
    XBackgroundJob(XJobHooks hooks, const XEvent& stop);

    // Waits 10 s between passes until the stop event is set.
    void Run();
    // One pass: idle logout, backup, update poll.
    void RunPass();

    void IdleLogout(std::uint32_t now, const XJobSettings& settings);
    void PeriodicBackup(const XJobSettings& settings);
    void UpdatePoll(std::uint32_t now);

private:
    XJobHooks m_hooks;
    const XEvent& m_stop;
    int m_nLastBackup = 0;
    std::uint32_t m_nLastPoll = 0;
    XIdleEdge m_idle;
};

// The thread procedure: runs the job with the program's hooks until the event is set.
int BackgroundJobThread(const XEvent& stop);
