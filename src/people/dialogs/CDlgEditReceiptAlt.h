#pragma once

#include "CXDialogEx.h"
#include "CXListCtrl.h"

class CDBReceipt;

// The page's list of alteration lines: a list control the page can place by its id.
class CReceiptAltList : public CXListCtrl
{
    Q_OBJECT
public:
    explicit CReceiptAltList(QWidget* parent = nullptr) : CXListCtrl(parent) {}
};

// The alteration page of a saved receipt's edit frame: the receipt's later changes and
// refunds. Adding, deleting or modifying one saves the whole receipt at once, so an
// alteration stays even when the frame is cancelled afterwards; a save that fails leaves
// the lines as they were.
class CDlgEditReceiptAlt : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    CDlgEditReceiptAlt();

    // The frame's receipt (null before the page is placed in a frame).
    CDBReceipt* Receipt();

    void OnAddItem();
    void OnDeleteItems();
    void OnModifyItem();
    void OnUpdateAddItem(XCmdUI* ui);
    void OnUpdateDeleteItems(XCmdUI* ui);
    void OnUpdateModifyItem(XCmdUI* ui);

    CXListCtrl* m_list = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;

private:
    // Whether this user may change the receipt's alterations here.
    bool CanAlter();
    // Saves the receipt through the frame; on failure the alterations go back to the
    // copies taken before the change. The list shows the lines again with the given one
    // selected.
    bool SaveNow(std::vector<std::unique_ptr<CXItem>>& before, const CXItem* select);
    std::vector<std::unique_ptr<CXItem>> TakeLines();
};
