#pragma once

#include "CHead.h"
#include "CXArray.h"
#include "CXDialogEx.h"

class CXListCtrl;

// The printer chooser: every printer with its queued jobs and state in the record list;
// OK with exactly one chosen.
class CDlgSelPrinter : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    explicit CDlgSelPrinter(QWidget* parent = nullptr);
    void UpdateControls() override;

    // Reads the printers again into the list.
    void Refresh();

    CXListCtrl* m_list = nullptr;
    CXArray m_printers{nullptr, true};
    CHeads m_heads;
    QString m_strPrinter; // the chosen printer after IDOK

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};
