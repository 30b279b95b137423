#pragma once

#include "CHead.h"
#include "CXItem.h"

// What query schemes and column schemes share: their place among the module's schemes
// (on top, separator, users) and the rule that a built-in scheme keeps its name and memo and
// has no place to be put on top. The module they are for is the parent ID, their setup text
// the rights-data text.
template <int MduId, class Derived> class CDBSchemeT : public CXItemT<MduId>
{
public:
    CHeads* GetHeads() const override { return Derived::StaticHeads(); }
    CXItem* CreateNew() const override { return new Derived; }
    void Reset() override
    {
        CXItemT<MduId>::Reset();
        m_bDispOnTop = 1;
    }
    int GetAccess(const CHead* head, const CXItem* user) const override
    {
        if (this->m_nID < 0) {
            if (head->m_nOffset == XOFFSET(Derived, m_strName) || head->m_nOffset == XOFFSET(Derived, m_strMemo))
                return 0;
            if (head->m_nOffset == XOFFSET(Derived, m_bDispOnTop))
                return -1;
        }
        return CXItem::GetAccess(head, user);
    }

    int m_bDispOnTop = 1; // schemes sort ascending by it: 0 comes before the built-in ones
    int m_bSeparator = 0; // a separator follows it in menus
    int m_nUsers = 0;     // who a built-in scheme is for (0, 1 or 2)

protected:
    // Both kinds start their validation here: messages cleared, a name required.
    void CheckName()
    {
        this->m_status.clear();
        if (this->m_strName.isEmpty())
            this->AddStatusText(ST_STOP, &this->m_strName, QStringLiteral("请输入名称！"));
    }
};
