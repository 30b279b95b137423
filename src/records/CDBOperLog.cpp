#include "CDBOperLog.h"

#include "CModule.h"
#include "Resources.h"
#include "XAppServices.h"

namespace {

// Offsets of members of the embedded operator and item.
#define OPER_OFFSET(member) static_cast<int>(offsetof(CDBOperLog, member))

QString AdminName()
{
    const CXItem* admin = AppServices().Admin();
    return admin ? admin->m_strName : QStringLiteral("Admin");
}

} // namespace

CDBOperLog::CDBOperLog() { CDBOperLog::Reset(); }

bool CXLogUser::IsWeChatSession() const
{
    return m_strSession.size() >= 11 && m_strSession.startsWith(QLatin1String("wx_"));
}

QString CDBOperLog::GetItemModuleName() const
{
    return (m_item.m_nMduID && FindModule(m_item.m_nMduID)) ? LoadCommandText(m_item.m_nMduID) : QString();
}

int CDBOperLog::GetWeChat() const { return m_user.IsWeChatSession() ? 1 : 0; }

CHeads* CDBOperLog::StaticHeads()
{
    return BuildHeadsOnce<CDBOperLog>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("操作记录");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_strTable = QStringLiteral("TB_OPERLOG");
        const QString none;
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, OPER_OFFSET(m_nID), none,
                                none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("时间"), QStringLiteral("OperTime"), XDT,
                                OPER_OFFSET(m_user.m_dtDate), QStringLiteral("%y-%#m-%#d %#H:%M:%S"), none, 538, 585, 0,
                                QStringLiteral("操作发生的日期和时间"));
        heads.AddViewColumnHead({}, QStringLiteral("用户"), QStringLiteral("UserID"), XLK, OPER_OFFSET(m_user), none,
                                AdminName(), 512, 521, 6,
                                QStringLiteral("执行此操作的用户，Internet 操作时可能是学员或教师。"));
        heads.AddViewColumnHead({}, QStringLiteral("用户模块 ID"), QStringLiteral("UserMduID"), XIN,
                                OPER_OFFSET(m_user.m_nMduID), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("类型"), QStringLiteral("TypeID"), XIN, OPER_OFFSET(m_nTypeID),
                                QStringLiteral("登录|注销|查询|查找|新建|删除|修改|打印|通知|设置|运行|连接"), none,
                                576, 521, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("注销"), QStringLiteral("SessionEnd"), XIN,
                                OPER_OFFSET(m_bSessionEnd), none, none, 0, 0, 0, none);
        heads.AddComputedHead({}, QStringLiteral("功能模块"), XSW, CHeads::Getter(&CDBOperLog::GetItemModuleName), none,
                              QStringLiteral("无"), 0, 9, 8, QStringLiteral("操作的功能模块。"));
        heads.AddViewColumnHead({}, QStringLiteral("功能模块 ID"), QStringLiteral("MduID"), XIN,
                                OPER_OFFSET(m_item.m_nMduID), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("项目"), QStringLiteral("ItemID"), XLK, OPER_OFFSET(m_item), none,
                                QStringLiteral("无"), 0, 521, 25, QStringLiteral("操作的项目。"));
        heads.AddViewColumnHead({}, QStringLiteral("内容"), QStringLiteral("OperMemo"), XSW, OPER_OFFSET(m_strMemo),
                                none, QStringLiteral("空"), 0, 585, 60,
                                QStringLiteral("操作内容。例如：修改操作时修改项目前后的对比。"));
        heads.AddViewColumnHead({}, QStringLiteral("附加内容"), QStringLiteral("Extr"), XSW, OPER_OFFSET(m_strExtr),
                                none, none, 0, 0, 0, none);
        heads.AddViewColumnHead(u"来源", QStringLiteral("来源"), QStringLiteral("UserIP"), XSW,
                                OPER_OFFSET(m_user.m_strIP), none, QStringLiteral("本地"), 0, 9, 15,
                                QStringLiteral("本机或通过 Internet 操作时的 IP 地址。"));
        heads.AddComputedHead(u"来源", QStringLiteral("微信"), XIN, CHeads::Getter(&CDBOperLog::GetWeChat),
                              QStringLiteral("否|是"), none, 0, 521, 0, QStringLiteral("是否是微信登录用户操作。"));
        heads.AddViewColumnHead(u"来源", QStringLiteral("会话 ID"), QStringLiteral("UserSession"), XSW,
                                OPER_OFFSET(m_user.m_strSession), none, QStringLiteral("无"), 0, 1, 0, none);
    });
}

QString CDBOperLog::FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const
{
    QString text = CXItem::FormatText(head, bUnit, bPrefix, bDisplay);
    if (head && head->m_nOffset == OPER_OFFSET(m_nTypeID) && m_nTypeID == OPER_LOGIN && m_bSessionEnd)
        text += QStringLiteral(" (已注销)");
    return text;
}

int CDBOperLog::GetAccess(const CHead* head, const CXItem* user) const
{
    if (m_nTypeID != OPER_LOGIN) {
        if (head->m_nOffset == OPER_OFFSET(m_bSessionEnd))
            return -1;
    } else if (head->m_nOffset == OPER_OFFSET(m_item) || head->m_strName == QStringLiteral("功能模块")) {
        return -1;
    }
    return CXItem::GetAccess(head, user);
}

QString CDBOperLog::GetEmptyText(const CHead* head) const
{
    if (head->m_nOffset == OPER_OFFSET(m_item) && m_nTypeID >= OPER_ADD && m_nTypeID <= OPER_PRT)
        return QStringLiteral("已删除");
    return CXItem::GetEmptyText(head);
}
