#pragma once

#include "CommandIds.h"

#include "CDBCourse.h"
#include "CXDialogEx.h"

// The course page of the record edit frame: name, memo group, enabled flag and memo, on its
// own copy of the course.
class CDlgEditCourse : public CXDialogEx
{
    Q_OBJECT
public:
    // A new course copied from another one is a record of its own.
    CDlgEditCourse(bool bNew, const CXItem* from);
    CXItem* GetItem() override { return &m_course; }

    CDBCourse m_course;

protected:
    void DoDataExchange(XDataExchange& dx) override;
};
