#pragma once

#include "CHead.h"
#include "CXItem.h"

// A column scheme of a module: the module it is for, its name and memo, and per field of the
// module's field table the column position ("0,-1,1,...") as its setup data.
class CDBPrjOrder : public CXItemT<MDU_PRJORDER>
{
public:
    CDBPrjOrder() { CDBPrjOrder::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBPrjOrder; }

    int m_nFitMduID = 0;
    QString m_strSetupData;
};
