#pragma once

#include "CDBWages.h"
#include "CModule.h"

// The teachers' monthly wages: query only, built from the pay standards, the résumés (for
// the date a teacher left) and the class records of the period, never stored.
class CModuleWages : public CModuleT<CDBWages, 0, false, true>
{
public:
    CModuleWages();

    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;
    void AddQuickQueries(CXArray& schemes) override;
    // The first day of the month that holds the last day class records may be taken for.
    int GetMaxQueryDate() const override;
    int MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const override;

    // Builds the rows of the query's months (CDBWages) into items; the period is written
    // back into the query as whole months (keys 1047, 1048). False when a read failed,
    // with nothing added.
    bool LoadWages(CXArray& items, CXMap& query);
};
