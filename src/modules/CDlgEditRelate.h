#pragma once

#include "CXArray.h"
#include "CXDialogEx.h"
#include "CXMap.h"

class CXListCtrl;

// A page of the edit frame listing the records of another module that relate to the
// record being edited; they are read the first time the page is shown.
class CDlgEditRelate : public CXDialogEx
{
    Q_OBJECT
public:
    CDlgEditRelate(CXMap query, int mduId, int relCmd);
    CXItem* GetItem() override { return nullptr; }
    int GetCmdID() const override { return m_nRelCmd; }

    CXMap m_query;
    int m_nMduID;
    int m_nRelCmd;
    CXArray m_items{nullptr, true};
    CXListCtrl* m_list = nullptr;
    bool m_bRead = false;

protected:
    bool OnInitDialog() override;
    void showEvent(QShowEvent* e) override;
};
