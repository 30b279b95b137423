#pragma once

#include "CDBTempl.h"
#include "CModule.h"

// The print templates: queried by the module they print for and by their enabled flag.
class CModuleTempl : public CModuleT<CDBTempl>
{
public:
    CModuleTempl();

    void AddQuickQueries(CXArray& schemes) override;
    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;

    // The module's own conditions for the keys present in the query, appended; only
    // integers reach the SQL.
    static void AddTemplConditions(QStringList& conditions, const CXMap& query);
};
