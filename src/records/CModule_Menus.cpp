#include "CModule.h"

#include "CDBPrjQuery.h"
#include "CHead.h"
#include "CommandIds.h"
#include "Resources.h"

#include <algorithm>

XMenuSpec CModule::CreateQueryMenu()
{
    XMenuSpec menu{{ID_QUERY_USER, LoadCommandText(ID_QUERY_USER, true), {}}, {}};
    CXArray schemes(nullptr, true);
    GetQuerySchemes(schemes);
    const int n = std::min(schemes.GetSize(), kMaxQueryMenuSchemes);
    for (int i = 0; i < n; ++i) {
        const CXItem* scheme = schemes.GetAt(i);
        menu.push_back({ID_QUERY_PRJ00 + i, scheme->m_strName, {}});
        const auto* q = dynamic_cast<const CDBPrjQuery*>(scheme);
        if (q && q->m_bSeparator && i != n - 1 && i < kMaxQueryMenuSchemes - 1)
            menu.push_back({});
    }
    return menu;
}

XMenuSpec CModule::CreateHeadsMenu() const
{
    XMenuSpec menu;
    const int n = std::min(m_headSchemes.GetSize(), kMaxHeadsMenuSchemes);
    for (int i = 0; i < n; ++i)
        menu.push_back({ID_HEADS_PRJ00 + i, m_headSchemes.GetAt(i)->m_strName, {}});
    menu.push_back({});
    menu.push_back({ID_HEADS_USER, LoadCommandText(ID_HEADS_USER, true), {}});
    return menu;
}

XMenuSpec CModule::CreateRelateMenu() const
{
    XMenuSpec menu;
    std::vector<int> seen;
    if (const CHeads* heads = GetHeads())
        for (int i = 0; i < heads->GetSize(); ++i) {
            const int cmd = heads->GetAt(i)->m_nSubID;
            if (cmd <= 0 || cmd == ID_REL_EDITLOG || cmd > 0xFFFF ||
                std::find(seen.begin(), seen.end(), cmd) != seen.end())
                continue;
            seen.push_back(cmd);
            menu.push_back({cmd, LoadCommandText(cmd, true), {}});
        }
    if (m_nCaps != RIGHT_QRY) {
        if (!menu.empty())
            menu.push_back({});
        menu.push_back({ID_REL_EDITLOG, LoadCommandText(ID_REL_EDITLOG, true), {}});
    }
    return menu;
}
