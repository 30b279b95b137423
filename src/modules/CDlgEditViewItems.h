#pragma once

#include "CXArray.h"
#include "CXDialogEx.h"

class CHtmlCtrl;

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
