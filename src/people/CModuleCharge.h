#pragma once

#include "CDBCharge.h"
#include "CModule.h"

// The lesson packages: queried by sale dates, course, kinds and whether they were sold.
class CModuleCharge : public CModuleT<CDBCharge>
{
public:
    CModuleCharge();

    void AddQuickQueries(CXArray& schemes) override;
    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;
    int MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const override;

    // The package module's own conditions for the keys present in the query, appended; a
    // condition holding an OR is one parenthesised term of the AND list.
    static void AddChargeConditions(QStringList& conditions, const CXMap& query);
};
