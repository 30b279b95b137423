#pragma once

#include "CDBPrjOrder.h"
#include "CDBPrjQuery.h"
#include "CXDialogEx.h"
#include "CommandIds.h"

// The template of a scheme's edit page: name, on top, the scheme's description, memo.
const XDlgTemplate& SchemePageTemplate(int id, const QString& caption);
// The description box of a scheme page shows the text.
void ShowSchemeContent(CXDialogEx& page, const QString& text);

// The edit page of a saved query or column scheme.
template <class Scheme, int TemplateId> class CDlgEditSchemeT : public CXDialogEx
{
public:
    // A new scheme made from another one is saved as a scheme of its own.
    CDlgEditSchemeT(bool bNew, const CXItem* from)
        : CXDialogEx(false, &SchemePageTemplate(TemplateId, Scheme::StaticHeads()->m_strItemType))
    {
        if (from)
            from->CopyTo(&m_scheme);
        if (bNew)
            m_scheme.m_nID = 0;
    }
    CXItem* GetItem() override { return &m_scheme; }
    void DoDataExchange(XDataExchange& dx) override
    {
        BindText(dx, IDC_TITLE, &m_scheme, &m_scheme.m_strName);
        BindChoice(dx, IDC_ONTOP, &m_scheme, &m_scheme.m_bDispOnTop);
        BindText(dx, IDC_MEMO, &m_scheme, &m_scheme.m_strMemo);
        ShowSchemeContent(*this, m_scheme.GetContentText());
    }

    Scheme m_scheme;
};
using CDlgEditPrjQuery = CDlgEditSchemeT<CDBPrjQuery, IDD_EDIT_PRJQUERY>;
using CDlgEditPrjOrder = CDlgEditSchemeT<CDBPrjOrder, IDD_EDIT_PRJORDER>;
