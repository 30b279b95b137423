#pragma once

#include "CXDialogEx.h"

#include <vector>

class CXRibbonBar;
class QComboBox;
class QListWidget;

// Customises the ribbon's quick access toolbar: commands picked by category, added,
// removed, moved, reset to the default list, and the toolbar's place above or below.
class CDlgRibbonQAT : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    CDlgRibbonQAT(CXRibbonBar& ribbon, QWidget* parent = nullptr);

    QComboBox* Categories() const;
    QListWidget* Commands() const;
    QListWidget* QatList() const;
    // The ids of the toolbar list as they stand, 0 for a separator.
    std::vector<int> ListedIds() const;

    void OnCategory();
    void OnAdd();
    void OnRemove();
    void OnMove(int id);
    void OnReset();

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    void OnUpdateButton(XCmdUI* ui);
    void AddRow(QListWidget* list, int id) const;
    bool CanAdd() const;

    CXRibbonBar& m_ribbon;
};
