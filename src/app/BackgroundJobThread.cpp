#include "BackgroundJobThread.h"

#include "CXDBSession.h"
#include "DatabaseBackup.h"
#include "FormatString.h"
#include "OperLog.h"
#include "ProgramPaths.h"
#include "RecordConsts.h"
#include "Settings.h"
#include "TextUtils.h"
#include "Version.h"
#include "VersionDocument.h"
#include "XDateTime.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>

#include <chrono>

namespace {

constexpr auto kPassPeriod = std::chrono::milliseconds(10000);
constexpr std::uint32_t kPollPeriod = 3600000;       // an hour
constexpr std::uint32_t kPollPeriodNewer = 21600000; // six hours

QString DayText(int day) { return XDateTime(day).Format(QStringLiteral("%Y%m%d")); }

void LogRun(const QString& memo) { WriteOperLog(OPER_RUN, BuiltInAdmin(), 0, 0, memo, QString()); }

} // namespace

bool IsBackupDue(int today, int lastBackupDay, int backupDays)
{
    return lastBackupDay > today || today - lastBackupDay >= backupDays;
}

QString AutoBackupName(const QString& folder, std::uint32_t version, int day)
{
    return FormatString(u"%s/Lorvan%s_%s.mdb", folder, FormatVersion(version), DayText(day));
}

QString ManualBackupName(const QString& folder, std::uint32_t version, int day)
{
    return FormatString(u"%s/Lorvan_%s_M_%s.mdb", folder, FormatVersion(version), DayText(day));
}

bool IsBackupFileName(const QString& fileName)
{
    static const QRegularExpression form(QStringLiteral("^Lorvan(\\d+(\\.\\d+)*|_\\d+(\\.\\d+)*_M)_\\d{8}\\.mdb$"),
                                         QRegularExpression::CaseInsensitiveOption);
    return form.match(fileName).hasMatch();
}

std::vector<QString> SelectExpiredBackups(const std::vector<XBackupFile>& files, double now, int backupHold)
{
    std::vector<QString> expired;
    for (const XBackupFile& f : files)
        if (f.modified != 0 && IsBackupFileName(QFileInfo(f.path).fileName()) && now - f.modified > backupHold)
            expired.push_back(f.path);
    return expired;
}

bool IsPollDue(std::uint32_t now, std::uint32_t lastPoll, bool newerKnown)
{
    return static_cast<std::uint32_t>(now - lastPoll) > (newerKnown ? kPollPeriodNewer : kPollPeriod);
}

bool XIdleEdge::Update(bool mainWindowVisible, std::uint32_t idleMs, int loginTimeoutMinutes)
{
    if (!mainWindowVisible)
        return false;
    const bool idle = idleMs > static_cast<std::uint32_t>(loginTimeoutMinutes) * 60000u;
    const bool edge = idle && !m_bIdle;
    m_bIdle = idle;
    return edge;
}

XBackgroundJob::XBackgroundJob(XJobHooks hooks, const XEvent& stop) : m_hooks(std::move(hooks)), m_stop(stop)
{
    m_nLastBackup =
        ReadLeadingInt(ReadSetting(QStringLiteral("Global"), QStringLiteral("LastBackup"), QStringLiteral("0")));
}

void XBackgroundJob::Run()
{
    while (!m_stop.Wait(kPassPeriod))
        RunPass();
}

void XBackgroundJob::RunPass()
{
    const std::uint32_t now = m_hooks.tickCount();
    const XJobSettings settings = m_hooks.settings();
    IdleLogout(now, settings);
    PeriodicBackup(settings);
    UpdatePoll(now);
}

void XBackgroundJob::IdleLogout(std::uint32_t now, const XJobSettings& settings)
{
    const bool visible = m_hooks.mainWindowVisible && m_hooks.mainWindowVisible();
    const std::uint32_t idle = visible ? now - m_hooks.lastInputTick() : 0;
    if (m_idle.Update(visible, idle, settings.loginTimeout) && m_hooks.postLogout)
        m_hooks.postLogout();
}

void XBackgroundJob::PeriodicBackup(const XJobSettings& settings)
{
    const int today = static_cast<int>(XClock::Today().Day());
    if (!IsBackupDue(today, m_nLastBackup, settings.backupDays))
        return;
    // stored before the copy, so a failing copy is not retried at every pass
    m_nLastBackup = today;
    WriteSetting(QStringLiteral("Global"), QStringLiteral("LastBackup"), QString::number(today));

    const QString folder = ToExeAbsolutePath(settings.backupPath);
    const QString source = GetConnectionString();
    const QString target = AutoBackupName(folder, GetOwnFileVersion(), today);
    if (!BackupDatabaseFile(source, target)) {
        LogRun(FormatString(u"备份 “%s” 至 “%s” 失败！\r\n%s", source, target, GetOleDbErrorText()));
        return;
    }
    LogRun(FormatString(u"已备份 “%s” 至 “%s”。", source, target));

    // old copies go only now that a newer one has been made and checked
    std::vector<XBackupFile> files;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo& info : entries) {
        if (info.absoluteFilePath() == target || info.absoluteFilePath() == source || !info.isReadable())
            continue;
        files.push_back({info.absoluteFilePath(), XDateTime::FromDateTime(info.lastModified()).Day()});
    }
    for (const QString& path : SelectExpiredBackups(files, XClock::Now().Day(), settings.backupHold)) {
        QFile file(path);
        if (file.remove())
            LogRun(FormatString(u"删除过期备份数据库文件 “%s” 。", path));
        else
            LogRun(FormatString(u"删除过期备份数据库文件 “%s” 失败！%s", path, file.errorString()));
    }
}

void XBackgroundJob::UpdatePoll(std::uint32_t now)
{
    const std::uint32_t own = GetOwnFileVersion();
    if (!IsPollDue(now, m_nLastPoll, GetLatestVersion() > own))
        return;
    m_nLastPoll = now;
    if (!m_hooks.fetchVersionXml)
        return;
    const QString xml = m_hooks.fetchVersionXml(m_stop);
    if (ReadDocumentVersion(xml) > own)
        SetLatestVersionXml(xml);
}

int BackgroundJobThread(const XEvent& stop)
{
    XBackgroundJob job(ProgramJobHooks(), stop);
    job.Run();
    return 0;
}
