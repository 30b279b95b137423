#pragma once

#include "CHead.h"
#include "CXItem.h"
#include "CXTimeSpan.h"

class CDBEduSch;

// A teacher of a timetable: the record ID and title are the teacher's, the row ID is the
// line's own (m_nSubID), the parent the timetable. EduBgn/EduEnd 0 mean "as the timetable".
class CDBEduSchTeacher : public CXItemT<MDU_TEACHER>
{
public:
    CDBEduSchTeacher() { CDBEduSchTeacher::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBEduSchTeacher; }

    QString GetDeleteWarning() const override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    int GetDefault(const CHead* head) const override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    void GetRange(const CHead* head, int& min, int& max) const override;

    // The timetable holding the line (null for a line outside one).
    const CDBEduSch* GetEduSch() const;
    // 1 running, 0 ended: the line has not ended and neither has its timetable.
    int GetStatus() const;
    // Lessons due so far: weeks from the effective begin to the earlier of the effective end
    // and today, plus one, at least 0.
    int GetScheduled() const;

    CXDateRange m_edu; // EduBgn..EduEnd
    int m_nRcdTimes = 0;
    int m_nRcdCountIn = 0;
    CXDateRange m_rcd; // first and latest class record

    // The stored line this one is an edited copy of (line dialogs): not an overlapping
    // second line of the person. Not a field; not copied.
    const CXItem* m_pEditOf = nullptr;
};
