#pragma once

#include "CDBReceipt.h"
#include "CXDialogEx.h"
#include "EditFrame.h"

// The enrolment receipt page of the record edit frame, on its own copy of the receipt. It
// has no logic of its own: every change runs the receipt's validation and access rules
// through the dialog base, which recomputes the lessons, validity and amount shown and
// hides or locks the adjustments. A saved receipt brings its alteration page after it.
class CDlgEditReceipt : public CXDialogEx, public IXFollowingPages
{
    Q_OBJECT
public:
    // A new receipt from another one (new copy) gets an ID of its own.
    CDlgEditReceipt(bool bNew, const CXItem* from);
    CXItem* GetItem() override { return &m_receipt; }
    std::vector<std::unique_ptr<CXDialogEx>> MakeFollowingPages() const override;

    CDBReceipt m_receipt;

protected:
    void DoDataExchange(XDataExchange& dx) override;
};
