#pragma once

#include "CDBReceipt.h"
#include "CHead.h"
#include "CXArray.h"
#include "CXItem.h"
#include "CXTimeSpan.h"

class CDBEduSch;

// A student of a timetable: the record ID and title are the student's, the row ID is the
// line's own (m_nSubID), the parent the timetable. EduBgn/EduEnd 0 mean "as the timetable";
// in a one-to-one timetable each line has its own lesson time.
class CDBEduSchStudent : public CXItemT<MDU_STUDENT>
{
public:
    CDBEduSchStudent() { CDBEduSchStudent::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBEduSchStudent; }

    QString FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const override;
    QString GetDeleteWarning() const override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    int GetDefault(const CHead* head) const override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    void GetRange(const CHead* head, int& min, int& max) const override;
    bool IsSubArray(const CXArray* array) const override { return array == &m_receipts; }

    // Reads the student's receipts of the timetable's course once; a new line takes its
    // receipt figures from them.
    bool LoadReceipts();

    const CDBEduSch* GetEduSch() const;
    int GetStatus() const;    // 1 running, 0 ended
    int GetScheduled() const; // as the teacher line's
    XDateTime GetEffectiveBegin() const;
    XDateTime GetEffectiveEnd() const; // 0 when open
    QString GetBeginText() const;      // 开课日期
    QString GetRelativeDay() const;    // 相对日期

    CXDateRange m_edu; // EduBgn..EduEnd
    CXTimeSpan m_time;
    int m_nRcdTimes = 0;
    int m_nRcdCountIn = 0;
    CXDateRange m_rcd;
    int m_nRcpPayTimes = 0;
    XDateTime m_dtRcpEndMax;
    int m_nRcpLessonAc = 0;
    int m_nRcpCountIn = 0;
    int m_nRcpRemained = 0;
    int m_nRcpInvalid = 0;
    CXArrayT<CDBReceipt, true> m_receipts{this};

    // The stored line this one is an edited copy of (line dialogs): not an overlapping
    // second line of the person. Not a field; not copied.
    const CXItem* m_pEditOf = nullptr;
};
