#include "CModule.h"

#include "CommandIds.h"
#include "CXItem.h"
#include "TextUtils.h"

int CModule::GetRelModuleId(int command)
{
    switch (command) {
    case ID_REL_EDITLOG:
        return MDU_OPERLOG;
    case ID_REL_CHARGE:
        return MDU_CHARGE;
    case ID_REL_COLLECT:
        return MDU_COLLECT;
    case ID_REL_EDURCD:
        return MDU_EDURCD;
    case ID_REL_EDUSCH:
        return MDU_EDUSCH;
    case ID_REL_OPERLOG:
        return MDU_OPERLOG;
    case ID_REL_RECEIPT:
        return MDU_RECEIPT;
    case ID_REL_WAGES:
        return MDU_WAGES;
    case ID_REL_TEACHER:
        return MDU_TEACHER;
    default:
        return 0;
    }
}

int CModule::MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const
{
    QList<int> ids;
    for (const CXItem* item : items)
        if (item->m_nID != 0 && !ids.contains(item->m_nID))
            ids.append(item->m_nID);
    if (ids.isEmpty())
        return -1;
    const CModule* target = FindModule(GetRelModuleId(command));
    if (!target || !target->HasRight(user, RIGHT_QRY))
        return -1;
    if (command != ID_REL_EDITLOG)
        return 0;
    if (!(m_nCaps & RIGHT_MDF))
        return -1;

    QStringList links;
    bool stamped = false;
    for (const CXItem* item : items) {
        const QString link = item->GetLink();
        if (!link.isEmpty() && !links.contains(link))
            links.append(link);
        for (const CXBase* stamp : {&item->m_created, &item->m_modified, &item->m_printed, &item->m_notified})
            stamped = stamped || stamp->m_dtDate.Day() != 0;
    }
    query.SetText(QKEY_MODULE, QString::number(m_nMduID));
    query.SetText(QKEY_EDIT_LINKS, JoinStrings(links, QStringLiteral(" ")));
    return stamped ? 1 : -1;
}
