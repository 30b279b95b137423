#pragma once

#include "CXArray.h"
#include "CXDialogEx.h"
#include "CXMap.h"

#include <set>

class CXListCtrl;

// Chooses any number of records of a module: candidates above, the chosen ones below.
class CDlgSelMul : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    explicit CDlgSelMul(int mduId, QWidget* parent = nullptr);
    ~CDlgSelMul() override;

    void OnReset();
    void OnChoose();
    void OnRemove();
    void OnFindNext();
    void OnUpdateMove(XCmdUI* ui);

    int m_nMduID;
    CXMap m_query;
    // Records that start chosen; only those the query returns are shown.
    std::set<int> m_selIDs;
    CXArray m_candidates{nullptr, true};
    CXArray m_chosen{nullptr, true};
    CXArray m_result{nullptr, true}; // after IDOK copies of the chosen records, in list order
    QString m_strFind;
    CXListCtrl* m_list = nullptr;
    CXListCtrl* m_chosenList = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;
    void OnOK() override;
};
