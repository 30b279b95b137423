#include "CDlgEditReceiptAlt.h"

#include "CDBReceipt.h"
#include "CDlgEdit.h"
#include "CDlgEditReceiptAltItem.h"
#include "CModule.h"
#include "CommandIds.h"
#include "XUi.h"
#include "XWinStyles.h"

namespace {

const XDlgTemplate& AltTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{
        IDD_EDIT_RECEIPT_ALT,
        QStringLiteral("后期变更"),
        WS_CHILD,
        {{IDC_RECORD_LIST, K::Custom, QString(), WS_TABSTOP, 0, 0, 4},
         {-1, K::Static, QStringLiteral("[w]编辑后期变更后将直接保存，打印收据时不计入后期变更！"), WS_GROUP, 1, 0, 4}},
        {}};
    return t;
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgEditReceiptAlt, CXDialogEx)
    X_ON_COMMAND(ID_LIST_ADDITEM, OnAddItem)
    X_ON_COMMAND(ID_EDIT_DELETE, OnDeleteItems)
    X_ON_COMMAND(ID_EDIT_MODIFY, OnModifyItem)
    X_ON_UPDATE_COMMAND_UI(ID_LIST_ADDITEM, OnUpdateAddItem)
    X_ON_UPDATE_COMMAND_UI(ID_EDIT_DELETE, OnUpdateDeleteItems)
    X_ON_UPDATE_COMMAND_UI(ID_EDIT_MODIFY, OnUpdateModifyItem)
X_END_MESSAGE_MAP()

CDlgEditReceiptAlt::CDlgEditReceiptAlt() : CXDialogEx(false, &AltTemplate()) {}

CDBReceipt* CDlgEditReceiptAlt::Receipt() { return dynamic_cast<CDBReceipt*>(GetItem()); }

bool CDlgEditReceiptAlt::OnInitDialog()
{
    m_list = EnsureControl<CReceiptAltList>(IDC_RECORD_LIST);
    if (m_list) {
        m_list->AddCmd(new CXCmd(ID_LIST_ADDITEM, true, true));
        m_list->AddCmd(new CXCmd(ID_EDIT_DELETE, true, true));
        m_list->AddCmd(new CXCmd(ID_EDIT_MODIFY, true, true, true));
    }
    return CXDialogEx::OnInitDialog();
}

void CDlgEditReceiptAlt::DoDataExchange(XDataExchange& dx)
{
    if (CDBReceipt* r = Receipt())
        BindList(dx, IDC_RECORD_LIST, r, &r->m_alters);
}

bool CDlgEditReceiptAlt::CanAlter()
{
    const CDBReceipt* r = Receipt();
    const CXItem* user = AppServices().User();
    const CModule* module = FindModule(MDU_RECEIPT);
    return r && r->m_nID != 0 && user && module && module->HasRight(*user, RIGHT_MDF) && !IsWndReadOnly(this);
}

void CDlgEditReceiptAlt::OnUpdateAddItem(XCmdUI* ui) { ui->Enable(CanAlter()); }

void CDlgEditReceiptAlt::OnUpdateDeleteItems(XCmdUI* ui)
{
    ui->Enable(CanAlter() && m_list && m_list->GetSelectedCount() > 0);
}

void CDlgEditReceiptAlt::OnUpdateModifyItem(XCmdUI* ui) { ui->Enable(m_list && m_list->GetSelectedCount() == 1); }

std::vector<std::unique_ptr<CXItem>> CDlgEditReceiptAlt::TakeLines()
{
    // the list lets go of the lines it shows before they change under it
    if (m_list) {
        for (int i = 0; i < m_list->GetItemCount(); ++i)
            m_list->SetItemSelected(i, false);
        m_list->setCurrentIndex(QModelIndex());
    }
    std::vector<std::unique_ptr<CXItem>> lines;
    if (CDBReceipt* r = Receipt())
        for (const CXItem* line : r->m_alters)
            lines.emplace_back(line->CopyTo(nullptr));
    return lines;
}

bool CDlgEditReceiptAlt::SaveNow(std::vector<std::unique_ptr<CXItem>>& before, const CXItem* select)
{
    CDBReceipt* r = Receipt();
    auto* frame = qobject_cast<CDlgEdit*>(window());
    const bool saved = r && frame && frame->SaveAndRefresh();
    if (!saved && r) {
        r->m_alters.RemoveAll();
        for (std::unique_ptr<CXItem>& line : before)
            r->m_alters.AddAdopted(line.release());
        select = nullptr;
    }
    if (m_list && r) {
        m_list->SetItems(&r->m_alters, r->m_alters.GetHeads(), 2, 0);
        for (int i = 0; i < m_list->GetItemCount(); ++i) {
            const CXItem* row = m_list->GetItemData(i);
            m_list->SetItemSelected(i, select && row->m_nSubID == select->m_nSubID && row->m_nSubID != 0);
        }
    }
    UpdateData(false);
    if (frame)
        frame->UpdateControls();
    return saved;
}

void CDlgEditReceiptAlt::OnAddItem()
{
    CDBReceipt* r = Receipt();
    if (!r || !CanAlter())
        return;
    CDlgEditReceiptAltItem dlg(nullptr, &r->m_alters, this);
    if (dlg.DoModal() != IDOK)
        return;
    std::vector<std::unique_ptr<CXItem>> before = TakeLines();
    CXItem* line = r->m_alters.CreateItem();
    dlg.m_item.CopyTo(line);
    line->m_pArray = &r->m_alters;
    line->m_nSubID = 0;
    line->m_nParentID = r->m_nID;
    r->m_alters.Add(line);
    // the save re-reads the receipt: the new line is the one with the highest row ID
    if (SaveNow(before, nullptr) && m_list) {
        int newest = -1, newestId = 0;
        for (int i = 0; i < m_list->GetItemCount(); ++i)
            if (m_list->GetItemData(i)->m_nSubID > newestId) {
                newestId = m_list->GetItemData(i)->m_nSubID;
                newest = i;
            }
        if (newest >= 0)
            m_list->SetItemSelected(newest, true);
    }
}

void CDlgEditReceiptAlt::OnDeleteItems()
{
    CDBReceipt* r = Receipt();
    if (!r || !m_list || !CanAlter())
        return;
    std::vector<const CXItem*> doomed;
    for (int i = 0; i < m_list->GetItemCount(); ++i)
        if (m_list->IsItemSelected(i))
            doomed.push_back(m_list->GetItemData(i));
    if (doomed.empty())
        return;
    const CHeads* heads = r->m_alters.GetHeads();
    const QString caption = heads->m_strItemType;
    if (XUi::MessageBox(this,
                        FormatString(u"确定要删除选中的 %d %s%s吗？", static_cast<int>(doomed.size()),
                                     heads->m_strItemUnit, caption),
                        caption, MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
        return;
    std::vector<std::unique_ptr<CXItem>> before = TakeLines();
    for (int i = r->m_alters.GetSize() - 1; i >= 0; --i)
        if (std::find(doomed.begin(), doomed.end(), r->m_alters.GetAt(i)) != doomed.end())
            r->m_alters.RemoveAt(i);
    SaveNow(before, nullptr);
}

void CDlgEditReceiptAlt::OnModifyItem()
{
    CDBReceipt* r = Receipt();
    if (!r || !m_list || m_list->GetSelectedCount() != 1)
        return;
    CXItem* line = m_list->GetItemData(m_list->GetFirstSelected());
    if (!line)
        return;
    // without the right to alter, the line opens to be looked at, and nothing comes back
    const bool editable = CanAlter();
    CDlgEditReceiptAltItem dlg(line, &r->m_alters, this);
    if (!editable)
        dlg.Create(), SetWndReadOnly(&dlg, true);
    if (dlg.DoModal() != IDOK || !editable)
        return;
    std::vector<std::unique_ptr<CXItem>> before = TakeLines();
    const int subId = line->m_nSubID;
    dlg.m_item.CopyTo(line);
    line->m_pArray = &r->m_alters;
    line->m_nSubID = subId;
    line->m_nParentID = r->m_nID;
    SaveNow(before, line);
}
