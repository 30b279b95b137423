#pragma once

#include "CXArray.h"
#include "CXDialogEx.h"
#include "CXMap.h"

#include <memory>

class CXListCtrl;

// Chooses one record of a module among those its query returns.
class CDlgSelOne : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    // The record with the ID starts selected (0: none).
    CDlgSelOne(int mduId, int selectedId, QWidget* parent = nullptr);
    ~CDlgSelOne() override;

    void OnFindNext();

    int m_nMduID;
    CXMap m_query;
    CXArray m_items{nullptr, true};
    std::unique_ptr<CXItem> m_pItem; // after IDOK a full copy of the chosen record
    QString m_strFind;
    CXListCtrl* m_list = nullptr;

protected:
    bool OnInitDialog() override;
    void DoDataExchange(XDataExchange& dx) override;
    void OnOK() override;
};
