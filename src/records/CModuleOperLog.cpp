#include "CModuleOperLog.h"

#include "CHttpSession.h"
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "OperLog.h"
#include "SqlPrepare.h"
#include "TextUtils.h"

namespace {

// The key's value as a clean integer list, or "" when it holds none.
QString IntList(const QString& text)
{
    QList<int> ids;
    SplitInts(text, ids);
    return JoinInts(ids);
}

QString InCondition(const QString& column, const QString& list)
{
    return list.isEmpty() ? QStringLiteral("1=0") : FormatString(u"%s IN(%s)", column, list);
}

} // namespace

CModuleOperLog::CModuleOperLog()
{
    SetDefaultRightsWords(*this);

    QString modules, moduleIds;
    for (CModule* module : GetModules()) {
        if (module == this || module->IsHidden() || !module->HasCapability(RIGHT_ADD, false))
            continue;
        modules += (modules.isEmpty() ? QString() : QStringLiteral("|")) + module->GetName();
        moduleIds += (moduleIds.isEmpty() ? QString() : QStringLiteral("|")) + QString::number(module->GetMduID());
    }
    const auto add = [this](auto&&... args) { m_options.push_back(std::make_unique<CXQueryOption>(args...)); };
    add(QUERY_FIND, ID_FIND_WHAT);
    add(QUERY_DATE, QKEY_DATE_FROM, 0, QStringLiteral("日期 ≥"));
    add(QUERY_DATE, QKEY_DATE_TO, 0, QStringLiteral("日期 ≤"));
    add(QUERY_OPTION, QKEY_OPER_TYPE, 0, QStringLiteral("类型"),
        QStringLiteral("登录|注销|查询|查找|新建|删除|修改|打印|通知|设置|运行|连接"));
    add(QUERY_OPTION, QKEY_SESSION_ENDED, 0, QStringLiteral("状态"), QStringLiteral("正常|已注销"));
    add(QUERY_OPTION, QKEY_OPER_SOURCE, 0, QStringLiteral("来源"), QStringLiteral("本地|Internet"));
    add(QUERY_OPTION, QKEY_OPER_WECHAT, 0, QStringLiteral("微信"), QStringLiteral("非微信操作|微信操作"));
    add(QUERY_OPTION, QKEY_OPER_USER_KIND, 0, QStringLiteral("操作者"), QStringLiteral("学员|教师"));
    add(QUERY_ITEM, MDU_STUDENT);
    add(QUERY_ITEM, MDU_TEACHER);
    add(QUERY_OPTION, QKEY_MODULE, 0, QStringLiteral("功能模块"), modules, moduleIds);
    add(QUERY_ITEM, QKEY_EDIT_LINKS, 1, QStringLiteral("项目"));
}

void CModuleOperLog::AddQuickQueries(CXArray& schemes)
{
    const XDateTime today = XDateTime::Today();
    const XDateTime weekAgo(today.Day() - 7);
    struct Scheme
    {
        const char* name;
        bool weekly;
        const char* types;
        int source; // QKEY_OPER_SOURCE: -1 absent
        int ended;  // QKEY_SESSION_ENDED: -1 absent
        const char* memo;
        bool separator;
    };
    static const Scheme table[] = {
        {"近一周编辑", true, "'OPER_ADD','OPER_DEL','OPER_MDF','OPER_PRT'", -1, -1,
         "最近一周新建、删除、修改、打印操作记录。", false},
        {"近一周设置", true, "'OPER_SETUP'", -1, -1, "最近一周修改首选项的记录。", false},
        {"近一周查询和查找", true, "'OPER_QUERY','OPER_FIND'", -1, -1, "最近一周查询和查找操作记录。", false},
        {"近一周通知", true, "'OPER_MSG'", -1, -1, "最近一周发送的微信通知。", false},
        {"近一周运行", true, "'OPER_RUN'", -1, -1, "最近一周启动、退出、数据库备份、软件更新等与系统运行相关的记录。",
         true},
        {"近一周本地登录", true, "'OPER_LOGIN'", 0, -1, "最近一周本地登录。", false},
        {"近一周网络登录", true, "'OPER_LOGIN'", 1, -1, "最近一周 Internet (含微信) 登录。", false},
        {"未注销网络登录", false, "'OPER_LOGIN'", 1, 0, "全部通过 Internet (含微信) 登录且未注销。", true},
        {"今日代理连接", false, "'OPER_PROXY'", -1, -1, "今日与代理服务器的代理连接。", false},
    };
    for (const Scheme& s : table) {
        CXMap query;
        const QString name = QString::fromUtf8(s.name);
        if (s.weekly)
            query.SetDate(QKEY_DATE_FROM, weekAgo);
        else if (name == QStringLiteral("今日代理连接"))
            query.SetDate(QKEY_DATE_FROM, today);
        query.SetText(QKEY_OPER_TYPE, QString::fromUtf8(s.types));
        if (s.source >= 0)
            query.SetText(QKEY_OPER_SOURCE, QString::number(s.source));
        if (s.ended >= 0)
            query.SetText(QKEY_SESSION_ENDED, QString::number(s.ended));
        AddQueryScheme(schemes, query, 0, name, QString::fromUtf8(s.memo), s.separator);
    }
}

void CModuleOperLog::AddLogConditions(QStringList& conditions, const CXMap& query)
{
    const auto flag = [&](int key, const char* on, const char* off) {
        if (query.Has(key))
            conditions << QString::fromUtf8(query.GetInt(key) ? on : off);
    };
    if (query.Has(QKEY_DATE_FROM))
        conditions << FormatString(u"OperTime>=%d", static_cast<int>(query.GetDate(QKEY_DATE_FROM).Day()));
    if (query.Has(QKEY_DATE_TO))
        conditions << FormatString(u"OperTime<=%d", static_cast<int>(query.GetDate(QKEY_DATE_TO).Day()) + 1);
    if (query.Has(QKEY_OPER_TYPE))
        conditions << InCondition(QStringLiteral("TypeID"), IntList(query.GetText(QKEY_OPER_TYPE)));
    flag(QKEY_SESSION_ENDED, "SessionEnd=1", "SessionEnd=0");
    flag(QKEY_OPER_SOURCE, "UserIP<>''", "UserIP=''");
    flag(QKEY_OPER_WECHAT, "LEFT(UserSession,3)='wx_'", "LEFT(UserSession,3)<>'wx_'");
    flag(QKEY_OPER_USER_KIND, "UserMduID='MDU_TEACHER'", "UserMduID='MDU_STUDENT'");
    if (query.Has(MDU_TEACHER))
        conditions << InCondition(QStringLiteral("UserID"), IntList(query.GetIdList(MDU_TEACHER))) +
                          QStringLiteral(" AND UserMduID='MDU_TEACHER'");
    if (query.Has(MDU_STUDENT))
        conditions << InCondition(QStringLiteral("UserID"), IntList(query.GetIdList(MDU_STUDENT))) +
                          QStringLiteral(" AND UserMduID='MDU_STUDENT'");
    if (query.Has(QKEY_MODULE))
        conditions << InCondition(QStringLiteral("MduID"), IntList(query.GetText(QKEY_MODULE)));
    if (query.Has(QKEY_EDIT_LINKS))
        conditions << InCondition(QStringLiteral("ItemID"), IntList(query.GetIdList(QKEY_EDIT_LINKS)));
}

double CModuleOperLog::GetPageBound(const CXMap& query, int pageRows)
{
    QStringList conditions;
    BuildQueryConditions(conditions, query);
    AddLogConditions(conditions, query);
    if (pageRows <= 0 || !query.GetText(ID_FIND_WHAT).isEmpty() ||
        conditions.filter(QStringLiteral(":find")).size() > 0 || (RequiresQuery() && conditions.isEmpty()))
        return 0;
    // the time of the row at an offset, newest first, over the log's own SELECT, so every
    // condition means what it means in the read; the time index walks it
    CXDBSession session;
    session.Connect();
    const QString select = GetHeads()->BuildSelect(nullptr, &conditions);
    auto timeAt = [&](int offset, double& time) {
        CXAccessor cmd;
        if (!cmd.Open(session, PrepareSql(QStringLiteral("SELECT OperTime FROM (%1) ORDER BY OperTime DESC LIMIT 1 "
                                                         "OFFSET %2")
                                              .arg(select)
                                              .arg(offset))) ||
            !cmd.MoveNext())
            return false;
        time = cmd.GetNumber(1);
        return true;
    };
    double bound = 0;
    if (!timeAt(pageRows, bound))
        return 0;
    // more rows than one read may give: read at once, so the refusal comes as it always does
    double beyond = 0;
    return timeAt(kMaxReadItems, beyond) ? 0 : bound;
}

bool CModuleOperLog::QueryPart(CXArray& items, const CXMap& query, double bound, bool bFirstPage)
{
    // the bound is written with every digit, so it splits exactly at the stored time
    return ReadLog(items, query,
                   (bFirstPage ? QStringLiteral("OperTime>") : QStringLiteral("OperTime<=")) +
                       QString::number(bound, 'g', 17),
                   false, false);
}

bool CModuleOperLog::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    return ReadLog(items, query, QString(), bNoImages, bExpectOne);
}

bool CModuleOperLog::ReadLog(CXArray& items, const CXMap& query, const QString& condition, bool bNoImages,
                             bool bExpectOne)
{
    QStringList conditions;
    BuildQueryConditions(conditions, query);
    AddLogConditions(conditions, query);
    if (!condition.isEmpty())
        conditions << condition;
    CXDBSession session;
    session.Connect();
    if (!ReadItems(session, items, conditions, bNoImages, bExpectOne, nullptr, query.GetText(ID_FIND_WHAT)))
        return false;
    return bNoImages || ReadLinkTitles(session, items);
}

bool CModuleOperLog::CanOpenSession(const CDBOperLog* row, const XDateTime& now)
{
    if (!row || row->m_nTypeID != OPER_LOGIN || row->m_bSessionEnd || row->m_user.m_strSession.isEmpty())
        return false;
    return row->m_user.IsWeChatSession() || row->m_user.m_dtDate.Day() > now.Day() - 180;
}

void EndLoginSession(const CDBOperLog& row)
{
    CXItem user;
    user.m_nMduID = row.m_user.m_nMduID;
    user.m_nID = row.m_user.m_nID;
    user.m_strName = row.m_user.m_strName;
    user.m_strSession = row.m_user.m_strSession;
    user.m_strIP = row.m_user.m_strIP;
    WriteOperLog(OPER_LOGOUT, user, 0, 0, QString(), QString());
    std::lock_guard lock(xInternet::SessionLock());
    auto& map = xInternet::SessionMap();
    const auto it = map.find(row.m_user.m_strSession);
    if (it == map.end())
        return;
    for (CXItem* identity : it->second->Identities()) {
        if (identity->m_nMduID == row.m_user.m_nMduID && identity->m_nID == row.m_user.m_nID) {
            it->second->RemoveIdentity(identity);
            break;
        }
    }
}
