#include "CDlgSelMul.h"

#include "CHead.h"
#include "CModule.h"
#include "CXItem.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "PickerFind.h"
#include "XAppServices.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

namespace {

const XDlgTemplate& SelMulTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_SEL_MUL,
                                QStringLiteral("选择"),
                                WS_MAXIMIZEBOX,
                                {{ID_FIND_WHAT, K::Edit, QString(), WS_TABSTOP, 0, 0, 3},
                                 {IDC_RECORD_LIST, K::Custom, QString(), 0, 1, 0, 3},
                                 {IDC_MOVE_DOWN, K::Button, QStringLiteral("选中(&S)"), WS_GROUP, 2, 0},
                                 {IDC_MOVE_UP, K::Button, QStringLiteral("移除(&D)"), 0, 2, 1},
                                 {IDC_RESET, K::Button, QStringLiteral("重置(&R)"), 0, 2, 2},
                                 {IDC_CHOSEN_LIST, K::Custom, QString(), 0, 3, 0, 3},
                                 {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

CXListCtrl* MakeList(CXDialogEx& dialog, int id)
{
    CXListCtrl* list = PlaceList(dialog, id);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    return list;
}

// Moves the selected rows of one list to the end of the other, selected there.
void MoveSelected(CXListCtrl& from, CXListCtrl& to)
{
    if (from.GetSelectedCount() == 0)
        return;
    to.clearSelection();
    for (int i = from.GetFirstSelected(); i >= 0; i = from.GetFirstSelected()) {
        const CXItem* item = from.GetItemData(i);
        to.AddItem(item->CopyTo(nullptr), 1);
        from.DeleteItem(i);
    }
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgSelMul, CXDialogEx)
    X_ON_COMMAND(IDC_MOVE_DOWN, OnChoose)
    X_ON_COMMAND(IDC_MOVE_UP, OnRemove)
    X_ON_COMMAND(IDC_RESET, OnReset)
    X_ON_COMMAND(ID_EDIT_FIND, OnFindNext)
    X_ON_UPDATE_COMMAND_UI(IDC_MOVE_DOWN, OnUpdateMove)
    X_ON_UPDATE_COMMAND_UI(IDC_MOVE_UP, OnUpdateMove)
X_END_MESSAGE_MAP()

CDlgSelMul::CDlgSelMul(int mduId, QWidget* parent) : CXDialogEx(false, &SelMulTemplate(), parent), m_nMduID(mduId)
{
    m_nHelpId = mduId;
    if (CModule* module = FindModule(mduId))
        m_strCaption = FormatString(u"选择%s", module->GetName());
    m_strFind = FirstFindText(mduId);
}

CDlgSelMul::~CDlgSelMul() = default;

bool CDlgSelMul::OnInitDialog()
{
    XWaitCursor wait;
    CXDialogEx::OnInitDialog();
    CModule* module = FindModule(m_nMduID);
    if (!module)
        return false;
    setWindowIcon(AppServices().CommandIcon(ID_LINK_SELECTMANY, 0, false));
    setWindowTitle(PickerCaption(m_nMduID, m_strCaption, m_query));
    m_list = MakeList(*this, IDC_RECORD_LIST);
    m_chosenList = MakeList(*this, IDC_CHOSEN_LIST);
    m_list->SetItems(&m_candidates, module->GetHeads(), 2, 0);
    m_chosenList->SetItems(&m_chosen, module->GetHeads(), 2, 0);
    AddListButton(*m_list, IDC_MOVE_DOWN, true);
    AddListButton(*m_list, ID_EDIT_MODIFY, false);
    AddListButton(*m_chosenList, IDC_MOVE_UP, true);
    AddListButton(*m_chosenList, ID_EDIT_MODIFY, false);
    OnReset();
    return true;
}

void CDlgSelMul::DoDataExchange(XDataExchange& dx) { BindText(dx, ID_FIND_WHAT, nullptr, &m_strFind, ID_EDIT_FIND); }

void CDlgSelMul::OnReset()
{
    CModule* module = FindModule(m_nMduID);
    if (!module || !m_list)
        return;
    m_list->DeleteAllItems();
    m_chosenList->DeleteAllItems();
    CXArray read(nullptr, true);
    if (module->QueryItems(read, m_query, true, false)) {
        for (int i = 0; i < read.GetSize(); ++i) {
            CXItem* item = read.GetAt(i)->CopyTo(nullptr);
            (m_selIDs.count(item->m_nID) ? m_chosenList : m_list)->AddItem(item, 0);
        }
    }
    m_list->UpdateGroups();
    m_chosenList->UpdateGroups();
    UpdateControls();
}

void CDlgSelMul::OnChoose()
{
    if (m_list) {
        MoveSelected(*m_list, *m_chosenList);
        UpdateControls();
    }
}

void CDlgSelMul::OnRemove()
{
    if (m_list) {
        MoveSelected(*m_chosenList, *m_list);
        UpdateControls();
    }
}

void CDlgSelMul::OnUpdateMove(XCmdUI* ui)
{
    const CXListCtrl* from = ui->m_nID == IDC_MOVE_DOWN ? m_list : m_chosenList;
    ui->Enable(from && from->GetSelectedCount() > 0);
}

void CDlgSelMul::OnFindNext()
{
    if (m_list)
        PickerFindNext(*this, *m_list, m_nMduID, m_strFind);
}

void CDlgSelMul::OnOK()
{
    if (FindInsteadOfOk(*this, m_list, m_nMduID, m_strFind))
        return;
    if (m_chosenList && m_chosenList->GetItemCount() > 0) {
        for (int i = 0; i < m_chosenList->GetItemCount(); ++i)
            m_result.AddAdopted(m_chosenList->GetItemData(i)->CopyTo(nullptr));
        CXDialogEx::OnOK();
        return;
    }
    ShowItemTip(2, IDC_RECORD_LIST, "请选择一或多%s！", PickerItemName(m_nMduID));
}
