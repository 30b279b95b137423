#include "OperLog.h"

#include "CDBOperLog.h"
#include "CHead.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "FormatString.h"
#include "SqlPrepare.h"
#include "TextUtils.h"
#include "XAppServices.h"
#include "XString.h"
#include "XThread.h"

void ReportDbError(const QString& task, const CXAccessor* command, const QString& message)
{
    const QString text = message.isEmpty() ? GetOleDbErrorText() : message;
    ReportError(task, command ? command->GetSql() : QString(), text);
}

void ShowOrLogError(const XErrorReport& report)
{
    if (IsUiThread()) {
        if (!report.detail.isEmpty())
            AppServices().ShowSqlError(report.task, report.detail, report.message);
        else
            AppServices().MessageBox(nullptr, report.message, report.task, MB_ICONERROR);
        return;
    }
    WriteOperLog(OPER_RUN, BuiltInAdmin(), 0, 0, report.message, QString());
}

const CXItem& BuiltInAdmin()
{
    if (const CXItem* admin = AppServices().Admin())
        return *admin;
    static const CXItem* fallback = [] {
        auto* item = new CXItem;
        item->m_nMduID = MDU_TEACHER;
        item->m_nID = 0;
        item->m_strName = QStringLiteral("Admin");
        item->m_nRightRole = 2;
        return item;
    }();
    return *fallback;
}

bool InsertOperLogRow(CXDBSession& session, CDBOperLog& log)
{
    const CHeads* heads = log.GetHeads();
    QStringList columns;
    std::vector<const CHead*> bound;
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (!h->m_bWritable || h->m_strColumn.isEmpty() || EqualsNoCase(h->m_strColumn, u"ID"))
            continue;
        switch (h->m_nType) {
        case XIN: case XTS: case XLK: case XNU: case XDT: case XSW: break;
        default: continue;
        }
        columns.append(h->m_strColumn);
        bound.push_back(h);
    }
    if (columns.isEmpty()) {
        SetDbErrorText(QStringLiteral("没有可写入的列"));
        return false;
    }
    const QString sql = FormatString(u"INSERT INTO %s (%s) VALUES (%s)", heads->m_strTable, columns.join(u','),
                                     QStringList(columns.size(), QStringLiteral("?")).join(u','));
    CXAccessor cmd;
    if (!cmd.Prepare(session, sql)) {
        ReportDbError(QStringLiteral("保存") + heads->m_strItemType, &cmd, QString());
        return false;
    }
    int ordinal = 1;
    for (const CHead* h : bound) {
        const int off = h->m_nOffset;
        switch (h->m_nType) {
        case XIN:
        case XTS: cmd.SetParamInt(ordinal, log.Member<int>(off)); break;
        case XLK: cmd.SetParamInt(ordinal, log.Member<CXBase>(off).m_nID); break;
        case XNU: cmd.SetParamDouble(ordinal, log.Member<double>(off)); break;
        case XDT: cmd.SetParamDouble(ordinal, log.Member<XDateTime>(off).Day()); break;
        case XSW: cmd.SetParamText(ordinal, log.Member<QString>(off)); break;
        default: break;
        }
        ++ordinal;
    }
    // A log row that cannot be written is not reported: the report would be a log row too.
    if (!cmd.Execute())
        return false;
    CXAccessor identity;
    if (!identity.Open(session, QStringLiteral("SELECT @@Identity")) || !identity.MoveNext())
        return false;
    log.m_nID = static_cast<int>(identity.GetNumber(1));
    return true;
}

void WriteOperLog(int type, const CXItem& user, int mduId, int itemId, const QString& memo, const QString& extra,
                  CXDBSession* session)
{
    if (mduId == MDU_OPERLOG)
        return;
    CDBOperLog log;
    log.m_user.m_nMduID = user.m_nMduID;
    log.m_user.m_nID = user.m_nID;
    log.m_user.m_strName = user.m_strName;
    log.m_user.m_strSession = user.m_strSession;
    log.m_user.m_strIP = user.m_strIP;
    log.m_user.m_dtDate = XClock::Now();
    log.m_nTypeID = type;
    log.m_item.m_nMduID = mduId;
    log.m_item.m_nID = itemId;
    log.m_strMemo = memo;
    log.m_strExtr = extra;

    CXDBSession own;
    if (!session) {
        own.Connect();
        session = &own;
    }
    if ((type == OPER_LOGIN || type == OPER_LOGOUT) && !user.m_strSession.isEmpty()) {
        // The session id comes from a cookie or from WeChat: it is bound, never formatted in.
        const QString sql = PrepareSql(FormatString(
            u"UPDATE TB_OPERLOG SET SessionEnd=1 WHERE UserSession<>'' AND SessionEnd<>1 AND ((UserSession=? AND "
            u"UserMduID=%d AND UserID=%d) OR (LEFT(UserSession,3)<>'wx_' AND OperTime<NOW()-180))",
            user.m_nMduID, user.m_nID));
        CXAccessor cmd;
        if (!cmd.Prepare(*session, sql) || !cmd.SetParamText(1, user.m_strSession) || !cmd.Execute()) {
            ReportDbError(QStringLiteral("注销会话状态"), &cmd, QString());
            return;
        }
    }
    InsertOperLogRow(*session, log);
}
