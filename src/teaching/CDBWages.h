#pragma once

#include "CDBEduRcd.h"
#include "CDBTeacherPay.h"
#include "CHead.h"
#include "CXArray.h"
#include "CXItem.h"

// What one teacher is owed for one month: the fixed pay of the pay standard that applies,
// the lesson wages of the month's class records, a full-attendance bonus and the deductions
// for lateness, leave and absence. Never stored: every query builds the rows afresh. The ID
// is the teacher's (one row per month), the date the month's first day. Amounts are kept
// unrounded; only their formats show two decimals.
class CDBWages : public CXItemT<MDU_WAGES>
{
public:
    CDBWages() { CDBWages::Reset(); }

    static CHeads* StaticHeads();
    // The row's class records as seen for its teacher (课时工资明细) and every student line
    // of them (分成工资明细): the tables the wage pages list them with.
    static CHeads* LessonHeads();
    static CHeads* ShareHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBWages; }
    void Reset() override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    CXMap GetRelateQuery(const CHead* head, const CXMap* base) const override;

    // The last day of the row's month.
    XDateTime GetMonthEnd() const;
    // Whether the class record is already one of the row's.
    bool HasRecord(const CDBEduRcd& record) const;

    // Counts over the row's classes, by the teacher's line in each.
    int CountPlanned() const { return CountKind(1); }
    int CountTemporary() const { return CountKind(0); }
    int CountTrial() const { return CountKind(2); }
    int CountPending() const;
    int CountCancelled() const;
    int CountAttence(int attence) const;
    int CountConsumed() const;
    double GetConsumedAmount() const;

    // Lesson wages of the month.
    double GetPerStudentWage() const;
    double GetBaseWage() const;
    double GetShareWage() const;
    double GetTopUpWage() const;
    double GetLessonWage() const;

    // Fixed pay, bonus and deductions.
    double GetMonthlyPay() const;
    int IsFullWork() const;
    double GetFullWorkBonus() const;
    double GetLateDeduction() const { return CountAttence(ATTENCE_LATE) * m_pay.m_fPerLate; }
    double GetLeaveDeduction() const { return CountAttence(ATTENCE_LEAVE) * m_pay.m_fPerLeave; }
    double GetCutDeduction() const { return CountAttence(ATTENCE_ABSENT) * m_pay.m_fPerCut; }
    double GetBonusTotal() const;
    double GetTotal() const;

    CDBTeacherPay m_pay; // the standard the month is paid by; empty (all 0) when there is none
    XDateTime m_dtLeave; // when the teacher left the school; 0 while employed
    // copies of the month's class records the teacher teaches, each naming the teacher as
    // its designated one and carrying the row's standard in the teacher's line
    CXArrayT<CDBEduRcd, true> m_records{this};

private:
    int CountKind(int kind) const;
    template <class F> double SumRecords(F value) const;
};
