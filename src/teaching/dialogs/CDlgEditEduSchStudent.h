#pragma once

#include "CDBEduSch.h"
#include "CXDialogEx.h"
#include "CXListCtrl.h"

// The receipts of the student for the timetable's course, shown in the line dialog.
class CEduSchReceiptList : public CXListCtrl
{
    Q_OBJECT
public:
    explicit CEduSchReceiptList(QWidget* parent = nullptr) : CXListCtrl(parent) {}
};

// One student line of a timetable, on its own copy that still sees the timetable; it shows
// the student's receipts of the course, read when the dialog opens.
class CDlgEditEduSchStudent : public CXDialogEx
{
    Q_OBJECT
public:
    CDlgEditEduSchStudent(const CXItem* from, CXArray* array, QWidget* parent = nullptr);
    CXItem* GetItem() override { return &m_line; }

    CDBEduSchStudent m_line;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;
};
