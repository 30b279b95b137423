#pragma once

#include "CommandIds.h"

#include "CDBTeacherAccount.h"
#include "CXDialogEx.h"

// A teacher's phone account line: number and owner, on a copy of the line (a new line when
// there is no source; a new line copied from a source gets a row of its own).
class CDlgEditTeacherAccount : public CXDialogEx
{
    Q_OBJECT
public:
    CDlgEditTeacherAccount(const CXItem* from, CXArray* owner, bool bNew, QWidget* parent = nullptr);
    CXItem* GetItem() override { return &m_line; }
    CDBTeacherAccount m_line;

protected:
    void DoDataExchange(XDataExchange& dx) override;
};
