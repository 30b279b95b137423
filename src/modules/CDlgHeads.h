#pragma once

#include "CHead.h"
#include "CXDialogEx.h"
#include "CommandIds.h"

class CXListCtrl;

// Chooses and orders the columns of a module's list: one checkable row per field the
// built-in column sets offer, in column order, hidden ones last.
class CDlgHeads : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    explicit CDlgHeads(int mduId, QWidget* parent = nullptr);

    // Shows m_heads in the list.
    void LoadList();
    // Numbers the checked rows 0, 1, 2 ... in list order into m_heads; the rest get -1.
    void SaveList();
    void OnButton(int id);
    void OnUpdateButton(XCmdUI* ui);
    // Applies a column scheme text when it fits the field table; false otherwise.
    bool ApplyScheme(const QString& setup);

    int m_nMduID;
    CHeads m_heads;
    CXArray m_rows{nullptr, true};
    CXListCtrl* m_list = nullptr;

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void OnMoveUp() { OnButton(IDC_MOVE_UP); }
    void OnMoveDown() { OnButton(IDC_MOVE_DOWN); }
    void OnCheckAll() { OnButton(IDC_CHECKALL); }
    void OnCheckClear() { OnButton(IDC_CHECKCLR); }
    void OnReset() { OnButton(IDC_RESET); }
    void OnMore() { OnButton(IDC_MORE); }
    void OnSave() { OnButton(IDC_SAVEAS); }
};
