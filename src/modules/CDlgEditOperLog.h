#pragma once

#include "CDBOperLog.h"
#include "CXDialogEx.h"

#include <memory>

class CDlgEdit;
class CHtmlCtrl;

// The page of an open login session: the login row as HTML and a button that ends the
// session.
class CDlgEditOperLog : public CXDialogEx
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    explicit CDlgEditOperLog(const CXItem* row);
    CXItem* GetItem() override { return &m_row; }

    void OnLogout();

    CDBOperLog m_row;
    CHtmlCtrl* m_html = nullptr;

protected:
    bool OnInitDialog() override;
};

// The read-only frame over the row's session page; null unless the row is an open login
// session that may be shown.
std::unique_ptr<CDlgEdit> CreateOperLogDialog(bool bNew, const CXItem* row);
