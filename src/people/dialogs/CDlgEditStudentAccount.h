#pragma once

#include "CommandIds.h"

#include "CDBStudentAccount.h"
#include "CXDialogEx.h"

// One phone account of a student: the number and whose phone it is, on its own copy of the
// line (a bad number is refused on OK).
class CDlgEditStudentAccount : public CXDialogEx
{
    Q_OBJECT
public:
    // The copy keeps the line's container and parent ID, so that its checks see the student.
    CDlgEditStudentAccount(bool bNew, const CDBStudentAccount& from, QWidget* parent = nullptr);
    CXItem* GetItem() override { return &m_account; }

    CDBStudentAccount m_account;

protected:
    void DoDataExchange(XDataExchange& dx) override;
};
