#pragma once

#include "CommandIds.h"

#include "CDBStudentResume.h"
#include "CXDialogEx.h"

// One résumé line of a student: the date, the grade of that date (22 choices), school and
// class; after the date it shows the school year the date stands for.
class CDlgEditStudentResume : public CXDialogEx
{
    Q_OBJECT
public:
    // The copy keeps the line's container and parent ID.
    CDlgEditStudentResume(bool bNew, const CDBStudentResume& from, QWidget* parent = nullptr);
    CXItem* GetItem() override { return &m_resume; }
    // The base refresh, then the school-year text of the date and grade now chosen.
    void UpdateControls() override;
    // The text shown after the date.
    QString SchoolYearText() const;

    CDBStudentResume m_resume;

protected:
    void DoDataExchange(XDataExchange& dx) override;

private:
    int ChosenStage() const;
    XDateTime ChosenDate() const;
};
