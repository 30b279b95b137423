#pragma once

#include "CDBPrjOrder.h"
#include "CDBPrjQuery.h"
#include "CXArray.h"
#include "CXDialogEx.h"
#include "CXMap.h"
#include "CommandIds.h"

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

// The template of a scheme's edit page: name, on top, the scheme's description, memo.
const XDlgTemplate& SchemePageTemplate(int id, const QString& caption);
// The description box of a scheme page shows the text.
void ShowSchemeContent(CXDialogEx& page, const QString& text);

// The edit page of a saved query or column scheme.
template <class Scheme, int TemplateId>
class CDlgEditSchemeT : public CXDialogEx
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
