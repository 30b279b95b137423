#pragma once

#include "CDBEduRcd.h"
#include "CModule.h"

// The class records: a query reads the stored records of the period, generates the planned
// ones from the timetables that apply and lays the stored ones over them. Planned records are
// never stored in advance.
class CModuleEduRcd : public CModuleT<CDBEduRcd, ID_ADDNEW_EDURCD, false, true>
{
public:
    CModuleEduRcd();

    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;
    bool IsChildListQuery(const CXMap& query) const override;
    void AddQuickQueries(CXArray& schemes) override;
    int GetMaxQueryDate() const override;
    QString GetItemTitleSql() const override;

    // The conditions on stored class records; the designated student's ID, or 0.
    QStringList BuildConditions(const CXMap& query, int* designated) const;
    // The query for the timetables the period's planned records come from.
    static CXMap TimetableQuery(const CXMap& query, int designated);
};
