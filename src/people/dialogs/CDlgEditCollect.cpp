#include "CDlgEditCollect.h"

#include "CDlgEditCollectItem.h"
#include "CXCmd.h"
#include "CommandIds.h"
#include "XWinStyles.h"

#include <QtWidgets/QLabel>

namespace {

const XDlgTemplate& CollectTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_COLLECT,
                                QStringLiteral("基本信息"),
                                WS_CHILD,
                                {{-1, K::Static, QStringLiteral("编号："), WS_GROUP, 0, 0},
                                 {IDC_KEY_NAME, K::Edit, QString(), WS_TABSTOP, 0, 1},
                                 {-1, K::Static, QStringLiteral("日期："), WS_GROUP, 1, 0},
                                 {IDC_DATE_BGN, K::Date, QString(), WS_TABSTOP, 1, 1},
                                 {-1, K::Static, QStringLiteral("交款人："), WS_GROUP, 2, 0},
                                 {IDC_PAYER, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWN, 2, 1, 3},
                                 {-1, K::Static, QStringLiteral("支付方式："), WS_GROUP, 3, 0},
                                 {IDC_PAY_TYPE, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWN, 3, 1, 3},
                                 {-1, K::Static, QStringLiteral("交款项："), WS_GROUP, 4, 0},
                                 {IDC_RECORD_LIST, K::Custom, QString(), WS_TABSTOP, 4, 1, 3},
                                 {-1, K::Static, QStringLiteral("合计金额："), WS_GROUP, 5, 0},
                                 {IDC_PRICE, K::Static, QString(), 0, 5, 1, 3},
                                 {-1, K::Static, QStringLiteral("备注："), WS_GROUP, 6, 0},
                                 {IDC_MEMO, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 6, 1, 3}},
                                {}};
    return t;
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgEditCollect, CXDialogEx)
    X_ON_COMMAND(ID_LIST_ADDITEM, OnAddItem)
    X_ON_COMMAND(ID_EDIT_MODIFY, OnModifyItem)
    X_ON_UPDATE_COMMAND_UI(ID_EDIT_MODIFY, OnUpdateModifyItem)
X_END_MESSAGE_MAP()

CDlgEditCollect::CDlgEditCollect(bool bNew, const CXItem* from) : CXDialogEx(false, &CollectTemplate())
{
    if (from)
        from->CopyTo(&m_collect);
    if (bNew)
        m_collect.MakeNewCopy();
    m_collect.m_pArray = nullptr;
}

bool CDlgEditCollect::OnInitDialog()
{
    m_list = EnsureControl<CCollectItemList>(IDC_RECORD_LIST);
    if (m_list) {
        m_list->AddCmd(new CXCmd(ID_LIST_ADDITEM, true, true));
        m_list->AddCmd(new CXCmd(ID_EDIT_DELETE, true, true));
        m_list->AddCmd(new CXCmd(ID_EDIT_MODIFY, true, true, true));
    }
    return CXDialogEx::OnInitDialog();
}

void CDlgEditCollect::DoDataExchange(XDataExchange& dx)
{
    CDBCollect& c = m_collect;
    BindText(dx, IDC_KEY_NAME, &c, &c.m_strName);
    BindDate(dx, IDC_DATE_BGN, &c, &c.m_dtDate);
    BindText(dx, IDC_PAYER, &c, &c.m_strPayer);
    BindText(dx, IDC_PAY_TYPE, &c, &c.m_strPayType);
    BindText(dx, IDC_MEMO, &c, &c.m_strMemo);
    BindList(dx, IDC_RECORD_LIST, &c, &c.m_items);
    // the total follows the items, each time the controls are read back
    if (const CHead* amount = CDBCollect::StaticHeads()->FindByCaption(QStringLiteral("金额")))
        if (auto* total = qobject_cast<QLabel*>(GetDlgItem(IDC_PRICE)))
            total->setText(c.FormatText(amount, true, true, true));
}

void CDlgEditCollect::RefreshList(const CXItem* select)
{
    if (m_list) {
        m_list->SetItems(&m_collect.m_items, m_collect.m_items.GetHeads(), 2, 0);
        for (int i = 0; i < m_list->GetItemCount(); ++i)
            m_list->SetItemSelected(i, m_list->GetItemData(i) == select);
    }
    UpdateData(false);
    UpdateControls();
}

void CDlgEditCollect::OnAddItem()
{
    if (IsWndReadOnly(this))
        return;
    UpdateData(true);
    CDlgEditCollectItem dlg(nullptr, this);
    dlg.m_item.m_nParentID = m_collect.m_nID;
    if (dlg.DoModal() != IDOK)
        return;
    CXItem* line = m_collect.m_items.CreateItem();
    dlg.m_item.CopyTo(line);
    line->m_nID = 0;
    line->m_nParentID = m_collect.m_nID;
    m_collect.m_items.Add(line);
    RefreshList(line);
}

void CDlgEditCollect::OnUpdateModifyItem(XCmdUI* ui) { ui->Enable(m_list && m_list->GetSelectedCount() == 1); }

void CDlgEditCollect::OnModifyItem()
{
    if (!m_list || m_list->GetSelectedCount() != 1)
        return;
    const int row = m_list->GetFirstSelected();
    CXItem* line = m_list->GetItemData(row);
    if (!line)
        return;
    UpdateData(true);
    // a locked receipt's line opens locked too, and nothing comes back from it
    CDlgEditCollectItem dlg(line, this);
    if (dlg.DoModal() != IDOK || IsWndReadOnly(this))
        return;
    CXArray* container = line->m_pArray;
    dlg.m_item.CopyTo(line);
    line->m_pArray = container;
    RefreshList(line);
}
