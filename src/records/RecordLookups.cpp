#include "RecordLookups.h"

#include "CModule.h"
#include "CXAccessor.h"
#include "CXArray.h"
#include "CXDBSession.h"
#include "CXItem.h"
#include "FormatString.h"
#include "OperLog.h"
#include "SqlPrepare.h"
#include "TextUtils.h"
#include "XString.h"

namespace {

// "%text%" for a bound LIKE parameter: the text's own pattern characters match literally.
QString ContainsPattern(const QString& text)
{
    // the escaper doubles quotes for literals; a bound value keeps them single
    QString escaped = EscapeLikePattern(text);
    escaped.replace(QStringLiteral("''"), QStringLiteral("'"));
    return u'%' + escaped + u'%';
}

} // namespace

int QueryTextList(QStringList& list, const QString& sql, bool bFirstOnly)
{
    CXDBSession session;
    session.Connect();
    CXAccessor cmd;
    if (!cmd.Open(session, PrepareSql(sql))) {
        ReportDbError(QStringLiteral("读取历史记录"), &cmd, QString());
        return 0;
    }
    while (cmd.MoveNext()) {
        const QString text = TrimWhite(cmd.GetText(1));
        if (!text.isEmpty())
            list.append(text);
        if (bFirstOnly)
            break;
    }
    cmd.Close();
    if (cmd.Failed()) {
        ReportDbError(QStringLiteral("读取历史记录"), &cmd, QString());
        return 0;
    }
    return static_cast<int>(list.size());
}

int ReadInputHistory(CXArray& array, const QString& table, const QString& column)
{
    CXDBSession session;
    session.Connect();
    CXAccessor cmd;
    const QString condition = FormatString(u"%s IS NOT NULL AND LEN(%s)>0", column, column);
    const QString sql = PrepareSql(FormatString(u"SELECT %s AS RefContent,COUNT(*) AS RefTimes FROM %s WHERE %s GROUP "
                                                u"BY %s COLLATE NOCASE ORDER BY COUNT(*) DESC",
                                                column, table, condition, column));
    if (!cmd.Open(session, sql)) {
        ReportDbError(QStringLiteral("读取历史记录"), &cmd, QString());
        return 0;
    }
    while (cmd.MoveNext()) {
        const QString value = cmd.GetText(1);
        if (TrimWhite(value).isEmpty())
            continue;
        auto* item = new CXItem;
        item->m_strName = value;
        item->m_nID = static_cast<int>(cmd.GetNumber(2));
        array.AddAdopted(item);
    }
    if (cmd.Failed()) {
        ReportDbError(QStringLiteral("读取历史记录"), &cmd, QString());
        return 0;
    }
    return array.GetSize();
}

int FindDuplicate(int ownId, const QString& value, const QString& table, const QString& column)
{
    if (value.isEmpty() || table.isEmpty() || column.isEmpty())
        return 0;
    CXDBSession session;
    session.Connect();
    CXAccessor cmd;
    if (!cmd.Prepare(session,
                     FormatString(u"SELECT ID FROM %s WHERE ID<>%d AND %s=? COLLATE NOCASE", table, ownId, column)) ||
        !cmd.SetParamText(1, value) || !cmd.Execute()) {
        ReportDbError(QStringLiteral("检查重名"), &cmd, QString());
        return 0;
    }
    if (!cmd.MoveNext()) {
        if (cmd.Failed())
            ReportDbError(QStringLiteral("检查重名"), &cmd, QString());
        return 0;
    }
    const int id = static_cast<int>(cmd.GetNumber(1));
    cmd.Close();
    return id;
}

int FindItemIdByName(CXBase& link, const QString& text)
{
    const CModule* module = FindModule(link.m_nMduID);
    const QString titleSql = module ? module->GetItemTitleSql() : QString();
    if (titleSql.isEmpty())
        return 0;
    CXDBSession session;
    session.Connect();
    CXAccessor cmd;
    const QString sql = FormatString(u"SELECT ID,ItemTitle FROM (%s) WHERE ItemTitle LIKE ?", PrepareSql(titleSql));
    if (!cmd.Prepare(session, sql) || !cmd.SetParamText(1, ContainsPattern(text)) || !cmd.Execute()) {
        ReportDbError(QStringLiteral("根据名称获取项目 ID"), &cmd, QString());
        return 0;
    }
    if (!cmd.MoveNext()) {
        if (cmd.Failed())
            ReportDbError(QStringLiteral("根据名称获取项目 ID"), &cmd, QString());
        return 0;
    }
    link.m_nID = static_cast<int>(cmd.GetNumber(QStringLiteral("ID")));
    link.m_strName = cmd.GetText(QStringLiteral("ItemTitle"));
    const int found = cmd.MoveNext() ? 2 : 1;
    cmd.Close();
    return found;
}
