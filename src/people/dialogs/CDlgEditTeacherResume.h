#pragma once

#include "CommandIds.h"

#include "CDBTeacherResume.h"
#include "CXDialogEx.h"

// A teacher's résumé line: period, stage, unit and department, on a copy of the line.
class CDlgEditTeacherResume : public CXDialogEx
{
    Q_OBJECT
public:
    CDlgEditTeacherResume(const CXItem* from, CXArray* owner, bool bNew, QWidget* parent = nullptr);
    CXItem* GetItem() override { return &m_line; }
    // The labels of unit and department and the unit's hint follow the stage: school and
    // major for education, employer (this organisation when empty) and position for jobs.
    void UpdateControls() override;
    CDBTeacherResume m_line;

protected:
    void DoDataExchange(XDataExchange& dx) override;
};
