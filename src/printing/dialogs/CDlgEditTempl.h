#pragma once

#include "CDBTempl.h"
#include "CXDialogEx.h"

// The template's properties page of its edit frame: name, module, paper, margins, rows a
// page and the printer settings, on the page's own copy of the template.
class CDlgEditTempl : public CXDialogEx
{
    Q_OBJECT
public:
    // A new template from another one gets an ID of its own when saved.
    CDlgEditTempl(bool bNew, const CXItem* from);
    CXItem* GetItem() override { return &m_templ; }

    CDBTempl m_templ;

protected:
    void DoDataExchange(XDataExchange& dx) override;
};
