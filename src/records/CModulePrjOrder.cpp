#include "CModulePrjOrder.h"

#include "SchemeReading.h"

CModulePrjOrder::CModulePrjOrder() { m_nCaps = m_nOperRights = 0x1e; }

bool CModulePrjOrder::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    return ReadSchemes<CDBPrjOrder>(*this, items, query, bNoImages, bExpectOne,
                                    [](CModule& owner, CXArray& builtIns) { owner.AddBuiltInHeadSchemes(builtIns); });
}
