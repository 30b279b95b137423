#pragma once

#include "CDBCollectItem.h"
#include "CXDialogEx.h"

// One item line of a general receipt, edited on its own copy; the amount shows the
// subtotal each time the controls are read back.
class CDlgEditCollectItem : public CXDialogEx
{
    Q_OBJECT
public:
    explicit CDlgEditCollectItem(const CXItem* from, QWidget* parent = nullptr);
    CXItem* GetItem() override { return &m_item; }

    CDBCollectItem m_item;

protected:
    void DoDataExchange(XDataExchange& dx) override;
};
