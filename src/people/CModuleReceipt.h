#pragma once

#include "CDBReceipt.h"
#include "CModule.h"

// The enrolment receipts: issued from the ribbon, found by date, student, course, package,
// adjustment, alteration, status and the user who issued them.
class CModuleReceipt : public CModuleT<CDBReceipt, 32775>
{
public:
    CModuleReceipt();

    QString GetKeyFormat() const override;
    void AddQuickQueries(CXArray& schemes) override;
    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;
    int MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const override;

    // The receipt module's own conditions for the keys present in the query, appended.
    static void AddReceiptConditions(QStringList& conditions, const CXMap& query);
};
