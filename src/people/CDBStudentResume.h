#pragma once

#include "CHead.h"
#include "CXItem.h"

// The grades a résumé line and the computed grades index, 托前 (0) to 社会人士 (21).
QString StudentGradeOptions();

// The school year a date falls in: its year from September on, else the year before.
int SchoolYearOf(const XDateTime& date);

// The grade a line of the stage registered on the date has reached today: the stage plus
// the school years since, at most 21; no lower bound (a young child's birthday counts as -3).
int PredictGrade(int stage, const XDateTime& registered, const XDateTime& today);

// One school-year line of a student: in the year of DateBgn the student was in this grade,
// at this school, in this class.
class CDBStudentResume : public CXItem
{
public:
    CDBStudentResume() { CDBStudentResume::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBStudentResume; }
    int GetDefault(const CHead* head) const override;
    QString GetCaption(const CHead* head) const override;

    int GetCurGrade() const;

    int m_nStage = 4;
    QString m_strUnit;
    QString m_strDepartment;
};
