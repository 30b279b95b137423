#include "CDlgHeads.h"

#include "CDBPrjOrder.h"
#include "CDlgSelOne.h"
#include "EditFrame.h"
#include "CommandIds.h"
#include "CModule.h"
#include "CXListCtrl.h"
#include "PickerFind.h"
#include "FormatString.h"
#include "TextUtils.h"
#include "XWinStyles.h"

#include <QtWidgets/QVBoxLayout>

#include <algorithm>

namespace {

const XDlgTemplate& HeadsTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_HEADS,
                                QStringLiteral("自定义%s列头"),
                                WS_MAXIMIZEBOX,
                                {{-1, K::Static, QStringLiteral("选择要在列表中显示的列："), 0, 0, 0, 5},
                                 {IDC_RECORD_LIST, K::Custom, QString(), 0, 1, 0, 5},
                                 {IDC_MOVE_UP, K::Button, QStringLiteral("上移(&U)"), WS_GROUP, 2, 0},
                                 {IDC_MOVE_DOWN, K::Button, QStringLiteral("下移(&D)"), 0, 2, 1},
                                 {IDC_CHECKALL, K::Button, QStringLiteral("全选(&A)"), 0, 2, 2},
                                 {IDC_CHECKCLR, K::Button, QStringLiteral("清除(&L)"), 0, 2, 3},
                                 {IDC_RESET, K::Button, QStringLiteral("重置(&R)"), 0, 2, 4},
                                 {IDC_MORE, K::Button, QStringLiteral("更多(&M) ..."), 0, 2, 5},
                                 {IDC_SAVEAS, K::Button, QStringLiteral("另存为(&S) ..."), 0, 2, 6},
                                 {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

// The list's own columns over field rows: the caption and the help text.
CHeads* RowHeads()
{
    static CHeads* heads = [] {
        auto* h = new CHeads;
        const QString none;
        auto text = [](QString CXItem::*member) {
            return [member](const CXItem& item, int) -> XFieldValue { return item.*member; };
        };
        h->AddComputedHead({}, QStringLiteral("列名"), XSW, text(&CXItem::m_strName), none, none, 0, 585, 12, none);
        h->AddComputedHead({}, QStringLiteral("说明"), XSW, text(&CXItem::m_strMemo), none, none, 0, 585, -1, none);
        return h;
    }();
    return heads;
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgHeads, CXDialogEx)
    X_ON_COMMAND(IDC_MOVE_UP, OnMoveUp)
    X_ON_COMMAND(IDC_MOVE_DOWN, OnMoveDown)
    X_ON_COMMAND(IDC_CHECKALL, OnCheckAll)
    X_ON_COMMAND(IDC_CHECKCLR, OnCheckClear)
    X_ON_COMMAND(IDC_RESET, OnReset)
    X_ON_COMMAND(IDC_MORE, OnMore)
    X_ON_COMMAND(IDC_SAVEAS, OnSave)
    X_ON_UPDATE_COMMAND_UI(IDC_MOVE_UP, OnUpdateButton)
    X_ON_UPDATE_COMMAND_UI(IDC_MOVE_DOWN, OnUpdateButton)
    X_ON_UPDATE_COMMAND_UI(IDC_CHECKALL, OnUpdateButton)
    X_ON_UPDATE_COMMAND_UI(IDC_CHECKCLR, OnUpdateButton)
X_END_MESSAGE_MAP()

CDlgHeads::CDlgHeads(int mduId, QWidget* parent) : CXDialogEx(false, &HeadsTemplate(), parent), m_nMduID(mduId)
{
    m_nHelpId = mduId;
}

bool CDlgHeads::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    if (CModule* module = FindModule(m_nMduID))
        setWindowTitle(FormatString(u"自定义%s列头", module->GetName()));
    m_list = PlaceList(*this, IDC_RECORD_LIST);
    m_list->SetItems(&m_rows, RowHeads(), 2, 3);
    for (int id : std::initializer_list<int>{IDC_MOVE_UP, IDC_MOVE_DOWN, 0, IDC_CHECKALL, IDC_CHECKCLR, 0, IDC_RESET, 0,
                                             IDC_MORE, IDC_SAVEAS})
        AddListButton(*m_list, id, false);
    LoadList();
    return true;
}

void CDlgHeads::LoadList()
{
    if (!m_list)
        return;
    m_list->DeleteAllItems();
    CXArray offered(nullptr, false);
    for (int i = 0; i < m_heads.GetSize(); ++i) {
        if (!m_heads.GetAt(i)->InSchemes())
            continue;
        auto* row = static_cast<CHead*>(m_heads.GetAt(i)->CopyTo(nullptr));
        row->m_nSort = i; // the field the row stands for
        offered.Add(row);
    }
    SortHeadsByPosition(offered);
    for (CXItem* row : offered) {
        const int at = m_list->AddItem(row, 0);
        m_list->SetCheck(at, static_cast<const CHead*>(row)->m_nPos != -1);
    }
    m_list->UpdateGroups();
    UpdateControls();
}

void CDlgHeads::SaveList()
{
    for (int i = 0; i < m_heads.GetSize(); ++i)
        m_heads.GetAt(i)->m_nPos = -1;
    if (!m_list)
        return;
    int next = 0;
    for (int r = 0; r < m_list->GetItemCount(); ++r) {
        const int field = static_cast<const CHead*>(m_list->GetItemData(r))->m_nSort;
        if (field > 0 && field < m_heads.GetSize() && m_list->GetCheck(r))
            m_heads.GetAt(field)->m_nPos = next++;
    }
}

bool CDlgHeads::ApplyScheme(const QString& setup)
{
    QList<int> positions;
    SplitInts(setup, positions);
    if (positions.size() != m_heads.GetSize())
        return false;
    for (int i = 0; i < m_heads.GetSize(); ++i)
        m_heads.GetAt(i)->m_nPos = positions[i];
    LoadList();
    return true;
}

void CDlgHeads::OnButton(int id)
{
    if (!m_list)
        return;
    const int count = m_list->GetItemCount();
    if (id == IDC_CHECKALL || id == IDC_CHECKCLR) {
        for (int r = 0; r < count; ++r)
            m_list->SetCheck(r, id == IDC_CHECKALL);
    } else if (id == IDC_MOVE_UP || id == IDC_MOVE_DOWN) {
        if (m_list->GetSelectedCount() != 1)
            return;
        const int s = m_list->GetFirstSelected();
        const int t = id == IDC_MOVE_DOWN ? s + 1 : s - 1;
        if (t < 0 || t >= count)
            return;
        // Rebuild the rows in the new order; the check marks travel with them.
        SaveList();
        std::vector<std::pair<CXItem*, bool>> rows;
        for (int r = 0; r < count; ++r)
            rows.emplace_back(m_list->GetItemData(r)->CopyTo(nullptr), m_list->GetCheck(r));
        std::swap(rows[static_cast<size_t>(s)], rows[static_cast<size_t>(t)]);
        m_list->DeleteAllItems();
        for (const auto& [row, checked] : rows)
            m_list->SetCheck(m_list->AddItem(row, 0), checked);
        m_list->SelectOnly(t);
        m_list->EnsureVisible(t, false);
    } else if (id == IDC_MORE) {
        CDlgSelOne picker(MDU_PRJORDER, 0, this);
        picker.m_query.SetText(QKEY_MODULE, QString::number(m_nMduID));
        if (picker.DoModal() != IDOK)
            return;
        if (const auto* scheme = dynamic_cast<const CDBPrjOrder*>(picker.m_pItem.get()))
            ApplyScheme(scheme->m_strRightData);
    } else if (id == IDC_SAVEAS) {
        SaveList();
        QStringList positions;
        for (int i = 0; i < m_heads.GetSize(); ++i)
            positions << QString::number(m_heads.GetAt(i)->m_nPos);
        SaveHeadScheme(m_nMduID, positions.join(QLatin1Char(',')));
    } else if (id == IDC_RESET) {
        CModule* module = FindModule(m_nMduID);
        // Without any column scheme there is nothing to reset to.
        if (!module || module->m_headSchemes.GetSize() == 0)
            return;
        const auto* first = dynamic_cast<const CDBPrjOrder*>(module->m_headSchemes.GetAt(0));
        if (first)
            ApplyScheme(first->m_strRightData);
    }
    UpdateControls();
}

void CDlgHeads::OnUpdateButton(XCmdUI* ui)
{
    const int count = m_list ? m_list->GetItemCount() : 0;
    int checked = 0;
    for (int r = 0; r < count; ++r)
        checked += m_list->GetCheck(r) ? 1 : 0;
    const bool one = m_list && m_list->GetSelectedCount() == 1;
    const int s = one ? m_list->GetFirstSelected() : -1;
    switch (ui->m_nID) {
    case IDC_CHECKALL:
        ui->Enable(checked != count);
        break;
    case IDC_CHECKCLR:
        ui->Enable(checked > 0);
        break;
    case IDC_MOVE_DOWN:
        ui->Enable(one && s < count - 1);
        break;
    case IDC_MOVE_UP:
        ui->Enable(one && s > 0);
        break;
    default:
        break;
    }
}

void CDlgHeads::OnOK()
{
    SaveList();
    for (int i = 0; i < m_heads.GetSize(); ++i) {
        if (m_heads.GetAt(i)->m_nPos != -1) {
            CXDialogEx::OnOK();
            return;
        }
    }
    ShowItemTip(3, IDC_RECORD_LIST, "请选择至少一个要显示的列！");
}
