#pragma once

#include "CHead.h"
#include "CXItem.h"

// The stages of a teacher's résumé line: education 小初 (0) to 博士 (6), then employment
// 全职 (7) and 兼职 (8).
QString TeacherStageOptions();

// One line of a teacher's résumé: education (a school and major) or employment (an employer
// and position; an empty employer means this school).
class CDBTeacherResume : public CXItem
{
public:
    CDBTeacherResume() { CDBTeacherResume::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBTeacherResume; }
    int GetDefault(const CHead* head) const override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    QString GetFormat(const CHead* head) const override;
    QString GetEmptyText(const CHead* head) const override;
    QString GetCaption(const CHead* head) const override;

    bool IsEmployment() const { return m_nStage >= 7; }
    // An employment line at this school: no employer named.
    bool IsHere() const { return IsEmployment() && m_strUnit.isEmpty(); }
    CXDateRange GetPeriod() const { return m_period; }

    int m_nStage = 7;
    CXDateRange m_period;
    QString m_strUnit;
    QString m_strDepartment;
};

// The organisation's name (preference RecordName): what an empty employer stands for.
QString OrganisationName();
