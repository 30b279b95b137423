#pragma once

#include "CHead.h"
#include "CXItem.h"

// A saved or built-in query scheme of a module: the module it is for, who uses it, its
// query map as XML text, its name and memo, and whether a separator follows it in menus.
class CDBPrjQuery : public CXItemT<MDU_PRJQUERY>
{
public:
    CDBPrjQuery() { CDBPrjQuery::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBPrjQuery; }

    int m_nFitMduID = 0;
    QString m_strUsers;
    QString m_strSetupData;
    int m_bSeparator = 0;
};
