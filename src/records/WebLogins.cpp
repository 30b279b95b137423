#include "WebLogins.h"

#include "CHead.h"
#include "CHttpSession.h"
#include "CModule.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "CXItem.h"
#include "CodePages.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "OperLog.h"
#include "Resources.h"
#include "Settings.h"
#include "SqlPrepare.h"
#include "XString.h"
#include "XThread.h"

#include <memory>

bool SavePassword(CXItem& user, const CXItem& oper)
{
    const QString task = QStringLiteral("修改或重置密码");
    const QString hash = user.GetPassword(true);
    if (IsBuiltInAdmin(user)) {
        WriteSetting(QStringLiteral("Global"), QStringLiteral("AdminMD5Pwd"), hash);
    } else {
        const CModule* module = FindModule(user.m_nMduID);
        const CHeads* heads = module ? module->GetHeads() : nullptr;
        if (!heads || heads->m_strTable.isEmpty()) {
            ReportDbError(task, nullptr, FormatString(u"没有模块 %d。", user.m_nMduID));
            return false;
        }
        // The stored value is a digest and nothing else; it is bound, never formatted in.
        if (!hash.isEmpty() && !IsPasswordDigest(hash)) {
            ReportDbError(task, nullptr, QStringLiteral("密码不是有效的 MD5 摘要。"));
            return false;
        }
        CXDBSession session;
        session.Connect();
        CXAccessor cmd;
        if (!cmd.Prepare(session,
                         FormatString(u"UPDATE %s SET UserPassword=? WHERE ID=%d", heads->m_strTable, user.m_nID)) ||
            !cmd.SetParamText(1, hash) || !cmd.Execute()) {
            ReportDbError(task, &cmd, QString());
            return false;
        }
    }
    // The logout deletes the web sessions' identities, and the user or the operator may be
    // one of them (a user changing their own password on a phone): keep copies.
    const int mduId = user.m_nMduID;
    const int userId = user.m_nID;
    CXItem who;
    oper.CopyTo(&who);
    LogoutUserEverywhere(mduId, userId, nullptr);
    WriteOperLog(OPER_MDF, who, mduId, userId, hash.isEmpty() ? QStringLiteral("重置密码") : QStringLiteral("修改密码"),
                 QString());
    return true;
}

bool LogoutUserEverywhere(int mduId, int userId, const CXItem* oper)
{
    const QString task = QStringLiteral("注销用户的所有登录");
    CXDBSession session;
    session.Connect();
    CXAccessor cmd;
    if (!cmd.Open(session,
                  FormatString(u"UPDATE TB_OPERLOG SET SessionEnd=1 WHERE UserID=%d AND UserMduID=%d AND TypeID=%d",
                               userId, mduId, static_cast<int>(OPER_LOGIN)))) {
        ReportDbError(task, &cmd, QString());
        return false;
    }
    {
        std::lock_guard lock(xInternet::SessionLock());
        for (auto& [id, web] : xInternet::SessionMap()) {
            for (CXItem* identity : web->Identities()) {
                if (identity->m_nMduID == mduId && identity->m_nID == userId) {
                    web->RemoveIdentity(identity);
                    break;
                }
            }
        }
    }
    if (oper)
        WriteOperLog(OPER_MDF, *oper, mduId, userId, task, QString());
    return true;
}

void LoadHttpSessions()
{
    const QString task = QStringLiteral("加载历史 HTTP 会话");
    CXDBSession session;
    session.Connect();
    CXAccessor cmd;
    if (!cmd.Open(session, PrepareSql(LoadResourceText(IDR_SQL_HTTP_SESSIONS, RT_SQL, CP_UTF8)))) {
        ReportDbError(task, &cmd, QString());
        return;
    }
    const ManualResetEvent& stop = xInternet::WebStopEvent();
    while (!stop.IsSet() && cmd.MoveNext()) {
        auto identity = std::make_unique<CXItem>();
        identity->m_strSession = cmd.GetText(QStringLiteral("UserSession"));
        identity->m_nMduID = static_cast<int>(cmd.GetNumber(QStringLiteral("UserMduID")));
        identity->m_nID = static_cast<int>(cmd.GetNumber(QStringLiteral("UserID")));
        identity->m_strName = cmd.GetText(QStringLiteral("RealName"));
        identity->m_dtDate = XDateTime(cmd.GetNumber(QStringLiteral("OperTime")));
        identity->m_nRightRole = static_cast<int>(cmd.GetNumber(QStringLiteral("RightRole")));
        identity->m_strRightData = cmd.GetText(QStringLiteral("RightData"));
        identity->SetPassword(cmd.GetText(QStringLiteral("UserPassword")));

        std::lock_guard lock(xInternet::SessionLock());
        auto& map = xInternet::SessionMap();
        auto it = map.find(identity->m_strSession);
        if (it == map.end()) {
            const QString id = identity->m_strSession;
            map.emplace(id, std::make_unique<CHttpSession>(identity.release()));
            continue;
        }
        bool known = false;
        for (const CXItem* other : it->second->Identities())
            known = known || (other->m_nMduID == identity->m_nMduID && other->m_nID == identity->m_nID);
        if (!known)
            it->second->AddIdentity(identity.release());
    }
    if (cmd.Failed())
        ReportDbError(task, &cmd, QString());
}
