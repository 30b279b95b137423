#include "OperLog.h"

#include "RecordWriter.h"

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
#include "XWriteScope.h"

namespace {
thread_local XDeferredReports* t_deferred = nullptr;
}

void ReportDbError(const QString& task, const CXAccessor* command, const QString& message)
{
    const QString text = message.isEmpty() ? GetOleDbErrorText() : message;
    const QString detail = command ? command->GetSql() : QString();
    if (t_deferred) {
        t_deferred->m_reports.push_back(XErrorReport{task, detail, text});
        return;
    }
    ReportError(task, detail, text);
}

XDeferredReports::XDeferredReports() : m_previous(t_deferred) { t_deferred = this; }

XDeferredReports::~XDeferredReports()
{
    Flush();
    // Holders usually end in the reverse order of their start; a transaction's holder may
    // end out of that order, so unlink it wherever it stands in the chain.
    if (t_deferred == this) {
        t_deferred = m_previous;
        return;
    }
    for (XDeferredReports* h = t_deferred; h; h = h->m_previous) {
        if (h->m_previous == this) {
            h->m_previous = m_previous;
            return;
        }
    }
}

void XDeferredReports::Flush()
{
    std::vector<XErrorReport> reports;
    reports.swap(m_reports);
    // What the reports raise in turn (their log rows) is not held here any more.
    XDeferredReports* const current = t_deferred;
    t_deferred = m_previous;
    for (XErrorReport& r : reports) {
        if (m_previous)
            m_previous->m_reports.push_back(std::move(r));
        else
            ReportError(r.task, r.detail, r.message);
    }
    t_deferred = current;
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

bool IsBuiltInAdmin(const CXItem& who) { return who.m_nMduID == MDU_TEACHER && who.m_nID == 0; }

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
    return SaveItem(&session, &log, nullptr, BuiltInAdmin());
}

bool WriteOperLog(int type, const CXItem& user, int mduId, int itemId, const QString& memo, const QString& extra,
                  CXDBSession* session)
{
    if (mduId == MDU_OPERLOG)
        return true;
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

    // Ending the session's earlier logins and the new row go together.
    XWriteScope scope(session);
    if (!scope.Begin(QStringLiteral("写入操作日志")))
        return false;
    session = &scope.Session();
    if ((type == OPER_LOGIN || type == OPER_LOGOUT) && !user.m_strSession.isEmpty()) {
        // The session id comes from a cookie or from WeChat: it is bound, never formatted in.
        const QString sql = PrepareSql(FormatString(
            u"UPDATE TB_OPERLOG SET SessionEnd=1 WHERE UserSession<>'' AND SessionEnd<>1 AND ((UserSession=? AND "
            u"UserMduID=%d AND UserID=%d) OR (LEFT(UserSession,3)<>'wx_' AND OperTime<NOW()-180))",
            user.m_nMduID, user.m_nID));
        CXAccessor cmd;
        if (!cmd.Prepare(*session, sql) || !cmd.SetParamText(1, user.m_strSession) || !cmd.Execute()) {
            ReportDbError(QStringLiteral("注销会话状态"), &cmd, QString());
            return false;
        }
    }
    return scope.Finish(InsertOperLogRow(*session, log));
}
