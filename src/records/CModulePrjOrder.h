#pragma once

#include "CDBPrjOrder.h"
#include "CModule.h"

// The hidden module of the saved column schemes.
class CModulePrjOrder : public CModuleT<CDBPrjOrder, 0, true>
{
public:
    CModulePrjOrder();
    // Key 1074: the module the schemes are for; key 1: only these scheme IDs.
    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;
};
