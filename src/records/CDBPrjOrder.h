#pragma once

#include "CDBSchemeT.h"
#include "CHead.h"
#include "CXItem.h"

// A column scheme of a module: the module it is for (the parent ID), its name and memo, and
// per field of the module's field table the column position ("0,-1,1,...") as its setup
// data (kept in the rights-data text).
class CDBPrjOrder : public CDBSchemeT<MDU_PRJORDER, CDBPrjOrder>
{
public:
    CDBPrjOrder() { CDBPrjOrder::Reset(); }
    static CHeads* StaticHeads();
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    // "显示：" and "隐藏：" with the captions of the shown and hidden fields; "无" when the
    // text does not fit the module's field table.
    QString GetContentText() const;
};
