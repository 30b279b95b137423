#include "OpenDatabase.h"

#include "CDBOperLog.h"
#include "CHead.h"
#include "CModule.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "CodePages.h"
#include "DatabaseBackup.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "OperLog.h"
#include "ProgramPaths.h"
#include "Resources.h"
#include "Settings.h"
#include "SqlPrepare.h"
#include "Version.h"
#include "XAppServices.h"
#include "XDateTime.h"
#include "XString.h"
#include "XWriteScope.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>

#include <sqlite3.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kVersionSection = QStringLiteral("Global");
const QString kVersionKey = QStringLiteral("DatabaseVersion");
const QString kOldestVersion = QStringLiteral("4.1.1.0");

// Creates an empty file that only its owner can read; false when it exists or cannot be made.
bool CreatePrivateFile(const QString& path)
{
    const QByteArray file = QFile::encodeName(path);
    const int fd = ::open(file.constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        SetDbErrorText(GetLastErrorText());
        return false;
    }
    ::fchmod(fd, 0600);
    ::close(fd);
    return true;
}

bool ExecUtf8(sqlite3* db, const QByteArray& sql)
{
    if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    SetDbErrorFrom(db);
    return false;
}

// Builds the schema into a new file; the caller moves it into place only when it is whole.
bool BuildSchema(const QString& file)
{
    const QByteArray schema = LoadResourceFile(QStringLiteral(":/sql/schema.sql"));
    if (schema.isEmpty()) {
        SetDbErrorText(QStringLiteral("schema.sql 资源缺失"));
        return false;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        SetDbErrorFrom(db);
        sqlite3_close_v2(db);
        return false;
    }
    const QByteArray stamp = FormatString(u"INSERT INTO TB_PROFILE (SecName,KeyName,KeyValue) VALUES ('%s','%s','%s');",
                                          kVersionSection, kVersionKey, GetProgramVersionText())
                                 .toUtf8();
    // WAL is switched on here, so that the first connections of a new file never race to
    // change the journal mode.
    const bool ok = ExecUtf8(db, "BEGIN") && ExecUtf8(db, schema) && ExecUtf8(db, stamp) && ExecUtf8(db, "COMMIT") &&
                    ExecUtf8(db, "PRAGMA journal_mode=WAL");
    sqlite3_close_v2(db);
    return ok;
}

bool StartsWithKeyword(QStringView line)
{
    static const char* const keywords[] = {"SELECT", "DELETE", "ALTER", "UPDATE", "DROP", "CREATE", "INSERT"};
    for (const char* k : keywords) {
        const QLatin1String word(k);
        if (line.startsWith(word, Qt::CaseInsensitive) &&
            (line.size() == word.size() || !(line[word.size()].isLetterOrNumber() || line[word.size()] == u'_')))
            return true;
    }
    return false;
}

// The end of the line that holds pos: the index of its LF, or the text's end.
qsizetype LineEnd(const QString& text, qsizetype pos)
{
    const qsizetype lf = text.indexOf(u'\n', pos);
    return lf < 0 ? text.size() : lf;
}

QString StripCr(QString s)
{
    while (s.endsWith(u'\r'))
        s.chop(1);
    return s;
}

struct UpgradeResult
{
    int ignored = 0;
    int errors = 0;
    QStringList warnings;
};

UpgradeResult RunUpgradeTasks(CXDBSession& session, const std::vector<XUpgradeTask>& tasks, QStringList& startLog)
{
    UpgradeResult result;
    auto progress = AppServices().BeginProgress(QStringLiteral("升级数据库"), static_cast<int>(tasks.size()) + 1);
    int position = 0;
    for (const XUpgradeTask& task : tasks) {
        progress->Step(
            FormatString(u"正在升级数据库 (%d/%d) ...\r\n%s", static_cast<int>(tasks.size()), ++position, task.text));
        if (session.ExecuteSql(task.sql)) {
            if (task.text.contains(QLatin1String("[w]")))
                result.warnings.append(task.text);
        } else if (task.text.contains(QLatin1String("[i]"))) {
            ++result.ignored;
            startLog.append(FormatString(u"升级数据库忽略：%s %s %s", task.text, task.sql, GetOleDbErrorText()));
        } else {
            ++result.errors;
            startLog.append(FormatString(u"升级数据库错误：%s %s %s", task.text, task.sql, GetOleDbErrorText()));
        }
    }
    return result;
}

// Change texts of the old form ("修改项：...\r\n修改前：...\r\n修改后：...") become
// "<field>：<del>old</del>new".
bool ConvertOldChangeTexts(CXDBSession& session)
{
    const QString task = QStringLiteral("更新数据库");
    // all texts or none: a second start finds the old ones again
    XWriteScope scope(&session, XWriteScope::Given::OwnUnlessOpen);
    if (!scope.Begin(task))
        return false;
    CXAccessor read;
    if (!read.Open(session,
                   FormatString(u"SELECT ID,OperMemo FROM TB_OPERLOG WHERE TypeID=%d AND OperMemo LIKE '%%修改项%%'",
                                OPER_MDF))) {
        ReportDbError(task, &read, QString());
        return false;
    }
    std::vector<std::pair<int, QString>> changed;
    while (read.MoveNext()) {
        const QString memo = read.GetText(2);
        QString text = memo;
        text.replace(QStringLiteral("修改项："), QString());
        text.replace(QStringLiteral("\r\n修改前："), QStringLiteral("<del>"));
        text.replace(QStringLiteral("\r\n修改后："), QStringLiteral("</del>"));
        text.replace(QStringLiteral("\r\n\r\n"), QStringLiteral("\r\n"));
        if (text != memo)
            changed.emplace_back(static_cast<int>(read.GetNumber(1)), text);
    }
    if (read.Failed()) {
        ReportDbError(task, &read, QString());
        return false;
    }
    CXAccessor write;
    if (!changed.empty() && !write.Prepare(session, QStringLiteral("UPDATE TB_OPERLOG SET OperMemo=? WHERE ID=?"))) {
        ReportDbError(task, &write, QString());
        return false;
    }
    for (const auto& [id, text] : changed) {
        if (!write.SetParamText(1, text) || !write.SetParamInt(2, id) || !write.Execute()) {
            ReportDbError(task, &write, QString());
            return false;
        }
    }
    read.Close();
    write.Close();
    return scope.Finish(true);
}

// The start log also goes to the upgrade log the summary names, beside the program.
void AppendUpgradeLog(const QStringList& lines)
{
    QFile file(GetExePath(u'.', QStringLiteral(".log")));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return;
    const QString stamp = XClock::Now().Format(QStringLiteral("%Y-%m-%d %H:%M:%S"));
    for (const QString& line : lines)
        file.write((stamp + u' ' + QString(line).replace(QLatin1String("\r\n"), QLatin1String("\n")) + u'\n').toUtf8());
}

} // namespace

QString GetProgramVersionText()
{
    const std::uint32_t v = GetOwnFileVersion();
    return FormatString(u"%d.%d.%d.%d", v >> 24 & 0xFF, v >> 16 & 0xFF, v >> 8 & 0xFF, v & 0xFF);
}

bool CreateDatabase(const QString& path)
{
    if (QFileInfo::exists(path))
        return true;
    if (!CreateDirectoryPath(path)) {
        SetDbErrorText(GetLastErrorText());
        return false;
    }
    const QString building = path + QStringLiteral(".new");
    QFile::remove(building);
    QFile::remove(building + QStringLiteral("-journal"));
    if (!CreatePrivateFile(building))
        return false;
    if (!BuildSchema(building)) {
        QFile::remove(building);
        return false;
    }
    // link() refuses to replace a file another start made meanwhile.
    const int rc = ::link(QFile::encodeName(building).constData(), QFile::encodeName(path).constData());
    const int error = errno;
    QFile::remove(building);
    if (rc != 0 && error != EEXIST) {
        SetDbErrorText(GetErrorText(error));
        return false;
    }
    return true;
}

std::vector<XUpgradeTask> ScanUpgradeScript(const QString& script, std::uint32_t storedVersion)
{
    std::vector<XUpgradeTask> tasks;
    QString section;
    std::uint32_t sectionVersion = 0;
    qsizetype pos = 0;
    const qsizetype n = script.size();
    while (pos < n) {
        const qsizetype end = LineEnd(script, pos);
        const QStringView line = QStringView(script).mid(pos, end - pos);
        const qsizetype marker = line.indexOf(QLatin1String("[VERSION"), 0, Qt::CaseInsensitive);
        if (marker >= 0) {
            const qsizetype from = marker + 8;
            const qsizetype close = line.indexOf(u']', from);
            section = TrimWhite(line.mid(from, (close < 0 ? line.size() : close) - from).toString());
            sectionVersion = ParseVersion(section);
            pos = end + 1;
            continue;
        }
        if (!StartsWithKeyword(line)) {
            pos = end + 1;
            continue;
        }
        // The group runs to the first "--"; the rest of that line is its comment.
        const qsizetype dash = script.indexOf(QLatin1String("--"), pos);
        const qsizetype groupEnd = dash < 0 ? n : dash;
        const qsizetype commentEnd = dash < 0 ? n : LineEnd(script, dash);
        const QString comment = dash < 0 ? QString() : TrimWhite(StripCr(script.mid(dash + 2, commentEnd - dash - 2)));
        if (storedVersion < sectionVersion) {
            const QString group = script.mid(pos, groupEnd - pos);
            for (const QString& part : group.split(u';')) {
                const QString sql = PrepareSql(part);
                if (!sql.isEmpty())
                    tasks.push_back({section + u' ' + comment, sql});
            }
        }
        pos = commentEnd + 1;
    }
    return tasks;
}

bool BackupDatabase(CXDBSession& session, const QString& target)
{
    if (!session.IsConnected()) {
        SetDbErrorText(QStringLiteral("没有连接数据库"));
        return false;
    }
    return BackupDatabaseHandle(session.Handle(), target);
}

bool MarkWritableColumns(CXDBSession& session, CHeads& heads)
{
    if (heads.m_strTable.isEmpty() || heads.m_strTable.contains(u' '))
        return true;
    CXAccessor info;
    const QString sql = FormatString(u"PRAGMA table_info(\"%s\")", heads.m_strTable);
    QStringList columns;
    if (info.Open(session, sql)) {
        const int name = info.GetOrdinal(QStringLiteral("name"));
        while (info.MoveNext())
            columns.append(info.GetText(name));
    }
    if (info.Failed() || columns.isEmpty()) {
        ReportDbError(QStringLiteral("更新列头可写入属性"), &info,
                      info.Failed() ? QString() : FormatString(u"表 %s 不存在", heads.m_strTable));
        return false;
    }
    for (int i = 0; i < heads.GetSize(); ++i) {
        CHead* h = heads.GetAt(i);
        h->m_bWritable = 0;
        if (h->m_strColumn.isEmpty() || EqualsNoCase(h->m_strColumn, u"ID"))
            continue;
        for (const QString& c : columns)
            if (EqualsNoCase(c, h->m_strColumn))
                h->m_bWritable = 1;
    }
    return true;
}

bool MarkWritableColumns(CXDBSession& session)
{
    // The log writer needs its columns whether or not the log module is registered yet.
    CHeads* logHeads = CDBOperLog::StaticHeads();
    bool logMarked = false;
    for (CModule* module : GetModules()) {
        CHeads* heads = module->GetHeads();
        if (!heads)
            continue;
        logMarked = logMarked || heads == logHeads;
        if (!MarkWritableColumns(session, *heads))
            return false;
        // Child tables are reached through the child lists of a blank record.
        std::unique_ptr<CXItem> blank(module->CreateItem());
        for (int i = 0; i < heads->GetSize(); ++i) {
            const CHead* h = heads->GetAt(i);
            if (h->m_nType != XAR || !blank)
                continue;
            CHeads* child = blank->Member<CXArray>(h->m_nOffset).GetHeads();
            if (child && !MarkWritableColumns(session, *child))
                return false;
        }
    }
    return logMarked || MarkWritableColumns(session, *logHeads);
}

bool OpenDatabase() { return OpenDatabaseWithScript(LoadResourceText(IDR_SQL_UPGRADE, RT_SQL, CP_UTF8)); }

bool OpenDatabaseWithScript(const QString& script)
{
    CXDBSession session;
    session.Connect();
    if (!session.IsConnected()) {
        ReportDbError(QStringLiteral("连接数据库"), nullptr, QString());
        return false;
    }

    const QString storedText = ReadSetting(kVersionSection, kVersionKey, kOldestVersion);
    const std::uint32_t stored = ParseVersion(storedText);
    const std::uint32_t program = GetOwnFileVersion();
    const QString programText = GetProgramVersionText();
    // Older code on a newer schema would lose data, and stamping the older version would run
    // the newer upgrades a second time at the newer program's next start.
    if (stored > program) {
        AppServices().MessageBox(
            nullptr,
            FormatString(u"数据库 “%s” 的版本 %s 高于程序的版本 %s，不能打开。\r\n\r\n请使用新版程序。",
                         session.GetPath(), storedText, programText),
            QStringLiteral("打开数据库"), MB_ICONERROR);
        return false;
    }

    QStringList startLog;
    if (stored < program) {
        const std::vector<XUpgradeTask> tasks = ScanUpgradeScript(script, stored);
        if (!tasks.empty()) {
            const QString folder = ToExeAbsolutePath(QStringLiteral("backup"));
            const QString backup = FormatString(u"%s/Lorvan%s_%s.mdb", folder, storedText,
                                                XClock::Today().Format(QStringLiteral("%Y%m%d")));
            if (!BackupDatabase(session, backup)) {
                AppServices().MessageBox(
                    nullptr,
                    FormatString(u"备份 “%s” 至 “%s” 失败！\r\n%s", session.GetPath(), backup, GetOleDbErrorText()),
                    QStringLiteral("升级数据库"), MB_ICONERROR);
                return false;
            }
            const UpgradeResult r = RunUpgradeTasks(session, tasks, startLog);
            const int count = static_cast<int>(tasks.size());
            const QString summary = FormatString(
                u"数据库版本从 %s 升级至 %s，共 %d 项升级任务，其中 %d 项执行完成，%d 项忽略，%d "
                u"项错误。\r\n\r\n旧数据库位置：%s\r\n"
                u"升级日志位置：%s\r\n%s\r\n\r\n如升级后运行出现错误，请恢复旧版程序和数据库或联系软件作者。",
                storedText, programText, count, count - r.ignored - r.errors, r.ignored, r.errors, folder,
                GetExePath(u'.', QStringLiteral(".log")), r.warnings.join(QStringLiteral("\r\n")));
            if (r.errors || !r.warnings.isEmpty())
                AppServices().MessageBox(nullptr, summary, QStringLiteral("升级数据库"), MB_ICONWARNING);
            startLog.append(summary);
            AppendUpgradeLog(startLog);
        }
        if (stored < PackVersion(4, 4, 8, 0) && !ConvertOldChangeTexts(session))
            return false;
    }

    if (!MarkWritableColumns(session))
        return false;

    const CXItem& admin = BuiltInAdmin();
    WriteOperLog(OPER_RUN, admin, 0, 0, QStringLiteral("启动"), QString(), &session);
    for (const QString& line : startLog)
        WriteOperLog(OPER_RUN, admin, 0, 0, line, QString(), &session);

    if (stored != program)
        WriteSetting(kVersionSection, kVersionKey, programText);
    return true;
}
