#pragma once

#include "CHead.h"
#include "CXArray.h"
#include "CXDialogEx.h"

class CXListCtrl;

// Chooses one module to open among the visible ones the user may query.
class CDlgSelModule : public CXDialogEx
{
    Q_OBJECT
public:
    explicit CDlgSelModule(QWidget* parent = nullptr);
    void UpdateControls() override;

    CXArray m_items{nullptr, true};
    CHeads m_heads;
    CXListCtrl* m_list = nullptr;
    int m_nMduID = 0; // the chosen module after IDOK

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};
