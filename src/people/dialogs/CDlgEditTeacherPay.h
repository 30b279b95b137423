#pragma once

#include "CommandIds.h"

#include "CDBTeacherPay.h"
#include "CXDialogEx.h"

// A teacher's pay standard: the month it applies from and the rates, with the rules of the
// pay as tips, on a copy of the line.
class CDlgEditTeacherPay : public CXDialogEx
{
    Q_OBJECT
public:
    CDlgEditTeacherPay(const CXItem* from, CXArray* owner, bool bNew, QWidget* parent = nullptr);
    CXItem* GetItem() override { return &m_line; }
    CDBTeacherPay m_line;

protected:
    void DoDataExchange(XDataExchange& dx) override;
};
