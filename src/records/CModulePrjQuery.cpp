#include "CModulePrjQuery.h"

#include "SchemeReading.h"

CModulePrjQuery::CModulePrjQuery() { m_nCaps = m_nOperRights = 0x1e; }

bool CModulePrjQuery::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    return ReadSchemes<CDBPrjQuery>(*this, items, query, bNoImages, bExpectOne,
                                    [](CModule& owner, CXArray& builtIns) { owner.AddQuickQueries(builtIns); });
}
