#pragma once

#include "CDBSchemeT.h"
#include "CHead.h"
#include "CModule.h"
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

// The hidden module of the saved query schemes: reading merges a module's built-in schemes
// with its saved ones and deletes saved ones that no longer express any condition.
class CModulePrjQuery : public CModuleT<CDBPrjQuery, 0, true>
{
public:
    CModulePrjQuery();
    // Key 1074: the module the schemes are for; key 1: only these scheme IDs.
    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;
};
