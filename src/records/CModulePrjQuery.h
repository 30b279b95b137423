#pragma once

#include "CDBPrjQuery.h"
#include "CModule.h"

// The hidden module of the saved query schemes: reading merges a module's built-in schemes
// with its saved ones and deletes saved ones that no longer express any condition.
class CModulePrjQuery : public CModuleT<CDBPrjQuery, 0, true>
{
public:
    CModulePrjQuery();
    // Key 1074: the module the schemes are for; key 1: only these scheme IDs.
    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;
};
