#pragma once

#include "CDBWages.h"
#include "CXDialogEx.h"
#include "CXListCtrl.h"

#include <memory>

// A list page of the wage frame: the records of one wage row it does not own, shown with the
// field table given (the row's classes, or their student lines) in brief mode. Opening a
// line shows its class record read-only.
class CDlgEditWages : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    // The row is kept alive by the pages that show it.
    CDlgEditWages(std::shared_ptr<const CDBWages> row, CHeads* heads, bool bStudentLines);
    CXItem* GetItem() override { return nullptr; }

    void OnModifyItem();
    void OnUpdateModifyItem(XCmdUI* ui);

    CXArray m_items{nullptr, false};
    CHeads* m_pHeads = nullptr;
    CXListCtrl* m_list = nullptr;

protected:
    bool OnInitDialog() override;

private:
    std::shared_ptr<const CDBWages> m_row;
};

// The wage row's edit frame pages: a read-only detail page of the row, followed by its
// classes and their student lines when the month has lesson wages.
std::unique_ptr<CXDialogEx> CreateWagesEditPage(bool bNew, const CXItem* item);
