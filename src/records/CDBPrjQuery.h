#pragma once

#include "CHead.h"
#include "CModule.h"
#include "CXItem.h"

// A saved or built-in query scheme of a module: the module it is for (the parent ID), who
// uses it, its query map as XML text (kept in the rights-data text), its name and memo, and
// whether a separator follows it in menus.
class CDBPrjQuery : public CXItemT<MDU_PRJQUERY>
{
public:
    CDBPrjQuery() { CDBPrjQuery::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBPrjQuery; }
    void Reset() override
    {
        CXItemT::Reset();
        m_bDispOnTop = 1;
    }
    // A name and, for a saved scheme, at least one condition its module can express.
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    // Built-in schemes keep their name and memo and have no place to be put on top.
    int GetAccess(const CHead* head, const CXItem* user) const override;
    // The scheme's conditions as its module describes them; "无" for no such module.
    QString GetContentText() const;

    int m_bDispOnTop = 1; // schemes sort ascending by it: 0 comes before the built-in ones
    int m_bSeparator = 0;
    int m_nUsers = 0;     // who a built-in scheme is for (0, 1 or 2)
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
