#include "Settings.h"

#include "CXAccessor.h"
#include "CXDBSession.h"
#include "OperLog.h"

#include <QtCore/QHash>

#include <mutex>

namespace {

std::mutex g_defaultsMutex;
QHash<QString, QString> g_defaults;

QString DefaultKey(const QString& section, const QString& key) { return section + u'.' + key; }

// Runs a statement whose two last parameters are the section and the key.
bool RunKeyed(CXDBSession& session, CXAccessor& cmd, const QString& sql, const QString& section, const QString& key,
              const QString* value = nullptr)
{
    int ordinal = 1;
    return cmd.Prepare(session, sql) && (!value || cmd.SetParamText(ordinal++, *value)) &&
           cmd.SetParamText(ordinal++, section) && cmd.SetParamText(ordinal, key) && cmd.Execute();
}

const QString kSelect = QStringLiteral("SELECT KeyValue FROM TB_PROFILE WHERE SecName=? AND KeyName=?");
const QString kDelete = QStringLiteral("DELETE FROM TB_PROFILE WHERE SecName=? AND KeyName=?");

// Connects and reads the stored value (NULL as the empty text); false after a reported
// failure. The read is over when this returns, so the caller may write on the session.
bool ReadStored(CXDBSession& session, const QString& section, const QString& key, const QString& task, bool& found,
                QString& value)
{
    session.Connect();
    CXAccessor cmd;
    if (RunKeyed(session, cmd, kSelect, section, key)) {
        found = cmd.MoveNext();
        if (!cmd.Failed()) {
            value = found ? cmd.GetText(1) : QString();
            if (found && value.isNull())
                value = QLatin1String("");
            return true;
        }
    }
    ReportDbError(task, &cmd, QString());
    return false;
}

} // namespace

QString GetSettingDefault(const QString& section, const QString& key)
{
    std::lock_guard lock(g_defaultsMutex);
    return g_defaults.value(DefaultKey(section, key));
}

QString ReadSetting(const QString& section, const QString& key, const QString& defaultValue)
{
    {
        std::lock_guard lock(g_defaultsMutex);
        g_defaults.insert(DefaultKey(section, key), defaultValue);
    }
    const QString task = QStringLiteral("读取设置");
    CXDBSession session;
    bool found = false;
    QString value;
    if (!ReadStored(session, section, key, task, found, value) || !found)
        return defaultValue;
    if (value == defaultValue) {
        CXAccessor del;
        if (!RunKeyed(session, del, kDelete, section, key))
            ReportDbError(task, &del, QString());
    }
    return value;
}

void WriteSetting(const QString& section, const QString& key, const QString& value)
{
    const QString task = QStringLiteral("保存设置");
    CXDBSession session;
    bool found = false;
    QString stored;
    if (!ReadStored(session, section, key, task, found, stored))
        return;
    const QString def = GetSettingDefault(section, key);
    CXAccessor write;
    bool ok = true;
    if (!found) {
        if (value == def)
            return;
        // Two threads writing a new key at once: the second one updates the first one's row.
        ok = RunKeyed(session, write,
                      QStringLiteral("INSERT INTO TB_PROFILE (KeyValue,SecName,KeyName) VALUES (?,?,?) "
                                     "ON CONFLICT(SecName,KeyName) DO UPDATE SET KeyValue=excluded.KeyValue"),
                      section, key, &value);
    } else if (value == def) {
        ok = RunKeyed(session, write, kDelete, section, key);
    } else if (stored != value) {
        ok = RunKeyed(session, write, QStringLiteral("UPDATE TB_PROFILE SET KeyValue=? WHERE SecName=? AND KeyName=?"),
                      section, key, &value);
    }
    if (!ok)
        ReportDbError(task, &write, QString());
}
