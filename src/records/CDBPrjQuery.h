#pragma once

#include "CDBSchemeT.h"
#include "CHead.h"
#include "CXItem.h"

// A saved or built-in query scheme of a module: the module it is for (the parent ID), who
// uses it, its query map as XML text (kept in the rights-data text), its name and memo, and
// whether a separator follows it in menus.
class CDBPrjQuery : public CDBSchemeT<MDU_PRJQUERY, CDBPrjQuery>
{
public:
    CDBPrjQuery() { CDBPrjQuery::Reset(); }
    static CHeads* StaticHeads();
    // A name and, for a saved scheme, at least one condition its module can express.
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    // The scheme's conditions as its module describes them; "无" for no such module.
    QString GetContentText() const;
};
