#pragma once

#include "CHead.h"
#include "CXItem.h"

// A teacher's pay standard: the rates that apply from the first day of a month until the
// day before the next standard begins, or until the teacher leaves. Its record ID is the
// teacher's; the line ID is its own row.
class CDBTeacherPay : public CXItemT<MDU_TEACHER>
{
public:
    CDBTeacherPay() { CDBTeacherPay::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBTeacherPay; }
    int Validate(const CXItem* user, bool bCheckDuplicates) override;

    CXDateRange GetValidity() const { return m_validity; }
    // Whether the standard applies on the day (its month on or after the begin, up to its end).
    bool AppliesOn(const XDateTime& day) const;

    // The array's line this is an edited copy of: left out of the checks against the others.
    const CXItem* m_pEditOf = nullptr;
    CXDateRange m_validity; // DateBgn .. ValidEnd (0: open)
    double m_fMonthlyPay = 0;
    double m_fPerStudent = 0;
    double m_fPerUnit = 0; // percent of the lesson price
    double m_fPerEduRcd = 0;
    double m_fPerMin = 0;
    double m_fFullWork = 0;
    double m_fPerLate = 0;
    double m_fPerLeave = 0;
    double m_fPerCut = 0;
};
