#pragma once

#include "CDBReceiptAlter.h"
#include "CXDialogEx.h"

class CXArray;

// One later change or refund of a receipt, edited on its own copy; the copy belongs to the
// receipt's alterations (without being one of them), so the receipt's package decides what
// can be changed.
class CDlgEditReceiptAltItem : public CXDialogEx
{
    Q_OBJECT
public:
    CDlgEditReceiptAltItem(const CXItem* from, CXArray* owner, QWidget* parent = nullptr);
    CXItem* GetItem() override { return &m_item; }

    CDBReceiptAlter m_item;

protected:
    void DoDataExchange(XDataExchange& dx) override;
};
