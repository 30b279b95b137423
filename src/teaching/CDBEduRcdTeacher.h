#pragma once

#include "CDBTeacherPay.h"
#include "CHead.h"
#include "CXItem.h"

class CDBEduRcd;

// A teacher of one class: ID and title are the teacher's, its own row ID m_nSubID, its parent
// the class record. Attendance 2 and 3 count as taught.
class CDBEduRcdTeacher : public CXItemT<MDU_TEACHER>
{
public:
    CDBEduRcdTeacher() { CDBEduRcdTeacher::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBEduRcdTeacher; }

    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    QString GetFormat(const CHead* head) const override;
    CXMap GetRelateQuery(const CHead* head, const CXMap* base) const override;
    bool IsAuto() const override;
    bool IsAutoEmpty() const override;
    void AutoReset() override;
    bool CanAutoSet() const override { return true; }
    void AutoSet() override;

    // The class record the line belongs to; null for a line on its own.
    const CDBEduRcd* GetOwner() const;
    // 0 temporary, 1 planned, 2 trial.
    int GetKind() const;
    bool HasTaught() const { return m_nLessonType == 0 && (m_nAttence == 2 || m_nAttence == 3); }

    int m_nLessonType = 0;
    CDBTeacherPay m_pay; // copied in by the wage calculation; empty elsewhere
    int m_nAttence = 0;
};
