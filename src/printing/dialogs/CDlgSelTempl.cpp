#include "CDlgSelTempl.h"

#include "CDBTempl.h"
#include "CXArray.h"
#include "CXItem.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "PickerFind.h"
#include "XChooserLayout.h"
#include "XWinStyles.h"

namespace {

const XDlgTemplate& SelTemplTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_SEL_TEMPL,
                                QStringLiteral("选择打印模板"),
                                WS_MAXIMIZEBOX,
                                {{IDC_RECORD_LIST, K::Custom, QString(), 0, 0, 0},
                                 {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                QSize(560, 300)};
    return t;
}

} // namespace

CDlgSelTempl::CDlgSelTempl(const CXArray& templs, QWidget* parent) : CXDialogEx(false, &SelTemplTemplate(), parent)
{
    for (CXItem* t : templs)
        m_templs.Add(t);
}

bool CDlgSelTempl::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    m_list = PlaceList(*this, IDC_RECORD_LIST);
    StretchListRow(*this, 0);
    m_list->m_bGroupable = 0; // a short list of templates, not grouped by printer
    m_list->SetItems(&m_templs, CDBTempl::StaticHeads(), 2, 0);
    if (m_list->GetItemCount() > 0)
        m_list->SelectOnly(0);
    UpdateControls();
    return true;
}

void CDlgSelTempl::UpdateControls()
{
    CXDialogEx::UpdateControls();
    if (QWidget* ok = GetDlgItem(IDOK))
        ok->setEnabled(m_list && m_list->GetSelectedCount() == 1);
}

void CDlgSelTempl::OnOK()
{
    if (!m_list || m_list->GetSelectedCount() != 1)
        return;
    m_chosen = m_list->GetItemData(m_list->GetFirstSelected());
    CXDialogEx::OnOK();
}
