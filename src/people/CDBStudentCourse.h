#pragma once

#include "CHead.h"
#include "CXItem.h"

// The "T-C±I=R" text of remaining lessons (bought, consumed, invalid, remaining), the invalid
// part in subscript; empty when all four are 0 (the field's empty text shows instead).
QString FormatLessonBreakdown(int total, int consumed, int invalid, int remained);

// Trial-lesson warnings last this many days: the preference DemoWarnDays (60 unless set),
// or the value set here (0 gives the decision back to the preference).
int GetDemoWarnDays();
void SetDemoWarnDays(int days);

// A student's statistics for one course: its ID and title are the course's, its parent the
// student. Read only, never written: SQL computes every value.
class CDBStudentCourse : public CXItemT<MDU_COURSE>
{
public:
    CDBStudentCourse() { CDBStudentCourse::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBStudentCourse; }
    QString FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;

    CXDateRange GetPayRange() const { return {m_rcpPayMin, m_rcpPayMax}; }
    CXDateRange GetSchRange() const { return {m_SchBgn, m_SchEnd}; }
    CXDateRange GetDemoRange() const { return {m_dmoMin, m_dmoMax}; }
    CXDateRange GetRcdRange() const { return {m_rcdMin, m_rcdMax}; }

    enum Status {
        Trial = 0,
        Paused = 1,
        Expired = 2,
        Attending = 3,
        Overdrawn = 4,
        Finished = 5,
        Refunded = 6,
        Registered = 7
    };

    int m_nItemStatus = Trial;
    XDateTime m_dmoMin, m_dmoMax;
    int m_dmoTimes = 0;
    XDateTime m_SchBgn, m_SchEnd;
    int m_SchAll = 0, m_SchCur = 0, m_schRcd = 0;
    XDateTime m_rcdMin, m_rcdMax;
    int m_rcdTimes = 0, m_rcdCountIn = 0, m_rcdLeave = 0, m_rcdMormal = 0, m_rcdLate = 0, m_rcdAbsent = 0,
        m_rcdCancel = 0, m_rcdUncert = 0;
    int m_rcpPayTimes = 0;
    XDateTime m_rcpPayMin, m_rcpPayMax;
    double m_rcpPaySum = 0;
    XDateTime m_rcpAltMax, m_rcpRtrMax;
    int m_rcpRtrTimes = 0;
    XDateTime m_rcpEndMax;
    int m_rcpLessonAc = 0, m_rcpCountIn = 0, m_rcpRemained = 0, m_rcpInvalid = 0;
};
