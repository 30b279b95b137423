#pragma once

#include "CDBCollect.h"
#include "CXDialogEx.h"
#include "CXListCtrl.h"

// The page's list of item lines: a list control the page can place by its id.
class CCollectItemList : public CXListCtrl
{
    Q_OBJECT
public:
    explicit CCollectItemList(QWidget* parent = nullptr) : CXListCtrl(parent) {}
};

// The general receipt page of the record edit frame, on its own copy of the receipt, with
// the list of its items (add, delete, modify); the total shows beside the list.
class CDlgEditCollect : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    // A new receipt from another one gets item rows of its own.
    CDlgEditCollect(bool bNew, const CXItem* from);
    CXItem* GetItem() override { return &m_collect; }

    // Add: a new item in its dialog; on OK it joins the list.
    void OnAddItem();
    // Modify: the one selected item in its dialog; on OK the change is written back.
    void OnModifyItem();
    void OnUpdateModifyItem(XCmdUI* ui);

    CDBCollect m_collect;
    CCollectItemList* m_list = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;

private:
    // The list shows the items again with the given one selected.
    void RefreshList(const CXItem* select);
};
