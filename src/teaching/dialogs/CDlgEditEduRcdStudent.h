#pragma once

#include "CDBEduRcd.h"
#include "CXDialogEx.h"

// One student of a class: attendance, trial, time, memo and the receipt the lesson is taken
// from (a check-box list: only a checked receipt replaces the consumed one).
class CDlgEditEduRcdStudent : public CXDialogEx
{
    Q_OBJECT
public:
    // A new line gets row ID 0 and the class's student array as container, so that its
    // defaults and validation see the class.
    CDlgEditEduRcdStudent(const CXItem* from, CXArray* container, bool bNew, QWidget* parent = nullptr);
    CXItem* GetItem() override { return &m_line; }
    void UpdateControls() override;

    CDBEduRcdStudent m_line;

protected:
    void DoDataExchange(XDataExchange& dx) override;
};

// One teacher of a class: attendance, trial, memo.
class CDlgEditEduRcdTeacher : public CXDialogEx
{
    Q_OBJECT
public:
    CDlgEditEduRcdTeacher(const CXItem* from, CXArray* container, bool bNew, QWidget* parent = nullptr);
    CXItem* GetItem() override { return &m_line; }

    CDBEduRcdTeacher m_line;

protected:
    void DoDataExchange(XDataExchange& dx) override;
};
