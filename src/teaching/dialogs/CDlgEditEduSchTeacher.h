#pragma once

#include "CDBEduSch.h"
#include "CXDialogEx.h"

// One teacher line of a timetable, edited on its own copy that still sees the timetable
// (its defaults, ranges and overlap check are the timetable's).
class CDlgEditEduSchTeacher : public CXDialogEx
{
    Q_OBJECT
public:
    // from null: a new line; array: the timetable's teacher lines.
    CDlgEditEduSchTeacher(const CXItem* from, CXArray* array, QWidget* parent = nullptr);
    CXItem* GetItem() override { return &m_line; }

    CDBEduSchTeacher m_line;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;
};
