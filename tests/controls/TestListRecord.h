#pragma once

// A lesson record for the list tests: name, state option, fee, main date, weekday, rate
// (percent), lesson time and a unit column.
#include "CHead.h"
#include "CXItem.h"

class CTestLesson : public CXItemT<MDU_STUDENT>
{
public:
    CTestLesson() { CTestLesson::Reset(); }
    CTestLesson(const QString& name, int state, double fee, double day = 0)
    {
        CTestLesson::Reset();
        m_strName = name;
        m_nState = state;
        m_fFee = fee;
        m_dtDate = XDateTime(day);
        m_dtWeek = XDateTime(day);
    }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestLesson; }
    int GetAccess(const CHead* head, const CXItem* user) const override
    {
        return head->m_nOffset == m_nHiddenOffset ? -1 : CXItem::GetAccess(head, user);
    }

    int m_nState = 0;
    double m_fFee = 0;
    XDateTime m_dtWeek;
    double m_fRate = 0;
    int m_nTime = 0;
    double m_fHours = 0;
    int m_nHiddenOffset = -1; // the field the user may not see
    bool IsAuto() const override { return m_bAuto; }
    void AutoReset() override { m_fFee = 0; }
    bool m_bAuto = false; // generated automatically: reset, never deleted
};

enum : int { H_NAME, H_STATE, H_FEE, H_DATE, H_WEEK, H_RATE, H_TIME, H_HOURS };
