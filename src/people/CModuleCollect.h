#pragma once

#include "CDBCollect.h"
#include "CModule.h"

// The general receipts: numbered by the preference KeyFmtClc, queried by date and by the
// users who issued them.
class CModuleCollect : public CModuleT<CDBCollect, ID_ADDNEW_COLLECT>
{
public:
    CModuleCollect();

    QString GetKeyFormat() const override;
    void AddQuickQueries(CXArray& schemes) override;
    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;

    // The module's own conditions for the keys present in the query, appended. Only integers
    // reach the SQL: dates as day numbers, the handlers' list as parsed IDs.
    static void AddCollectConditions(QStringList& conditions, const CXMap& query);
};
