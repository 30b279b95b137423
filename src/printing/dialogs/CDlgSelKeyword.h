#pragma once

#include "CHead.h"
#include "CXDialogEx.h"

class CXListCtrl;

// Chooses a keyword for a template of a module: the module's printed fields, then the
// print and organisation keywords every template may use, each with a sample of what it
// prints.
class CDlgSelKeyword : public CXDialogEx
{
    Q_OBJECT
public:
    explicit CDlgSelKeyword(int mduId, QWidget* parent = nullptr);

    // The rows offered for the module, with their samples (copies of its printed fields,
    // then the fixed keywords).
    static void BuildRows(int mduId, CHeads& rows);

    CHeads m_rows;  // one row per keyword: caption, unit, help, group, sample
    CHeads m_heads; // the list's columns
    CXListCtrl* m_list = nullptr;
    QString m_strKeyword; // "[caption]" after IDOK

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    int m_nMduID;
};
