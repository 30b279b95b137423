#pragma once

#include "CDBPrjQuery.h"
#include "CXArray.h"
#include "CXDialogEx.h"
#include "CXMap.h"

class CHtmlCtrl;
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

// A read-only page showing several records at once as one HTML document.
class CDlgEditViewItems : public CXDialogEx
{
    Q_OBJECT
public:
    CDlgEditViewItems();
    CXItem* GetItem() override { return nullptr; }

    CXArray m_items{nullptr, true}; // filled by the creator before the frame runs
    CHtmlCtrl* m_html = nullptr;
    QString m_strXml; // the document the pane was made from

protected:
    bool OnInitDialog() override;
};

// The edit page of a saved query scheme: name, on top, the query's description, memo.
class CDlgEditPrjQuery : public CXDialogEx
{
    Q_OBJECT
public:
    explicit CDlgEditPrjQuery(const CXItem* from);
    CXItem* GetItem() override { return &m_scheme; }
    void DoDataExchange(XDataExchange& dx) override;

    CDBPrjQuery m_scheme;
};
