#pragma once

#include "CModule.h"
#include "CXDBSession.h"
#include "CXItem.h"
#include "FormatString.h"
#include "OperLog.h"
#include "TextUtils.h"

#include <algorithm>
#include <vector>

// How both scheme modules read the schemes of one module (key 1074): the owner's built-in
// schemes first (with key 1 only the listed ones, from memory when all are built in), the
// separator on the last of them, then the saved ones with their link titles (the users of
// their stamps); saved schemes that fail validation
// are deleted. The list ends ordered by DispOnTop, stable. Only integers reach the SQL.
template <class Scheme>
bool ReadSchemes(CModule& schemeModule, CXArray& items, const CXMap& query, bool bNoImages, bool bExpectOne,
                 void (*makeBuiltIns)(CModule& owner, CXArray& builtIns))
{
    const int mduId = query.GetInt(QKEY_MODULE);
    CModule* owner = mduId ? FindModule(mduId) : nullptr;
    if (!owner)
        return false;

    CXArray builtIns(nullptr, true);
    makeBuiltIns(*owner, builtIns);
    const int first = items.GetSize();
    QList<int> ids;
    const bool onlyIds = query.Has(QKEY_IDS);
    if (onlyIds) {
        SplitInts(query.GetText(QKEY_IDS), ids);
        for (int i = 0; i < builtIns.GetSize(); ++i) {
            const int id = builtIns[i]->m_nID;
            if (id != 0 && ids.removeAll(id) > 0)
                items.AddAdopted(builtIns[i]->CopyTo(nullptr));
        }
        ids.removeAll(0);
        if (ids.isEmpty())
            return true;
    } else {
        for (int i = 0; i < builtIns.GetSize(); ++i)
            items.AddAdopted(builtIns[i]->CopyTo(nullptr));
    }
    if (items.GetSize() > first)
        static_cast<Scheme*>(items[items.GetSize() - 1])->m_bSeparator = 1;

    QStringList conditions;
    if (onlyIds)
        conditions << FormatString(u"ID IN (%s)", JoinInts(ids));
    conditions << FormatString(u"FitMduID=%d", mduId);
    CXDBSession session;
    session.Connect();
    CXArray saved(nullptr, true);
    // the link titles give the stamps their user names
    if (!schemeModule.ReadItems(session, saved, conditions, bNoImages, bExpectOne) ||
        !schemeModule.ReadLinkTitles(session, saved))
        return false;
    bool ok = true;
    while (saved.GetSize() > 0) {
        CXItem* scheme = saved.Detach(0);
        if (scheme->m_nID > 0 && scheme->Validate(nullptr, false) >= ST_STOP) {
            if (!session.ExecuteSql(FormatString(u"DELETE FROM TB_PROJECT WHERE ID=%d", scheme->m_nID))) {
                ReportDbError(QStringLiteral("删除失效") + owner->GetName(), nullptr, QString());
                ok = false;
            }
            delete scheme;
            continue;
        }
        items.AddAdopted(scheme);
    }
    std::vector<CXItem*> order;
    while (items.GetSize() > first)
        order.push_back(items.Detach(first));
    std::stable_sort(order.begin(), order.end(), [](const CXItem* a, const CXItem* b) {
        return static_cast<const Scheme*>(a)->m_bDispOnTop < static_cast<const Scheme*>(b)->m_bDispOnTop;
    });
    for (CXItem* item : order)
        items.AddAdopted(item);
    return ok;
}
