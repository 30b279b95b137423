#include "CDlgSelOne.h"

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

#include <QtGui/QGuiApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>

namespace {

const XDlgTemplate& SelOneTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_SEL_ONE,
                                QStringLiteral("选择"),
                                WS_MAXIMIZEBOX,
                                {{ID_FIND_WHAT, K::Edit, QString(), WS_TABSTOP, 0, 0},
                                 {IDC_RECORD_LIST, K::Custom, QString(), 0, 1, 0},
                                 {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgSelOne, CXDialogEx)
    X_ON_COMMAND(ID_EDIT_FIND, OnFindNext)
X_END_MESSAGE_MAP()

CDlgSelOne::CDlgSelOne(int mduId, int selectedId, QWidget* parent)
    : CXDialogEx(false, &SelOneTemplate(), parent), m_nMduID(mduId)
{
    m_nHelpId = mduId;
    CModule* module = FindModule(mduId);
    if (module) {
        m_pItem.reset(module->CreateItem());
        m_strCaption = FormatString(u"选择一%s", PickerItemName(mduId));
    }
    if (m_pItem)
        m_pItem->m_nID = selectedId;
    m_strFind = FirstFindText(mduId);
}

CDlgSelOne::~CDlgSelOne() = default;

bool CDlgSelOne::OnInitDialog()
{
    XWaitCursor wait;
    CModule* module = FindModule(m_nMduID);
    if (!module || !module->QueryItems(m_items, m_query, true, false)) {
        CXDialogEx::OnInitDialog();
        EndDialog(IDCANCEL);
        return false;
    }
    CXDialogEx::OnInitDialog();
    setWindowIcon(AppServices().CommandIcon(ID_LINK_SELECT, 0, false));
    setWindowTitle(PickerCaption(m_nMduID, m_strCaption, m_query));

    m_list = PlaceList(*this, IDC_RECORD_LIST);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    AddListButton(*m_list, IDOK, true);
    AddListButton(*m_list, ID_EDIT_MODIFY, false);
    m_list->SetItems(&m_items, module->GetHeads(), 2, 0);
    for (int i = 0; i < m_list->GetItemCount(); ++i)
        if (m_pItem && m_list->GetItemData(i)->m_nID == m_pItem->m_nID && m_pItem->m_nID != 0)
            m_list->SelectOnly(i);
    m_list->Resort();
    UpdateControls();
    return true;
}

void CDlgSelOne::DoDataExchange(XDataExchange& dx) { BindText(dx, ID_FIND_WHAT, nullptr, &m_strFind, ID_EDIT_FIND); }

void CDlgSelOne::OnFindNext()
{
    if (m_list)
        PickerFindNext(*this, *m_list, m_nMduID, m_strFind);
}

void CDlgSelOne::OnOK()
{
    if (FindInsteadOfOk(*this, m_list, m_nMduID, m_strFind))
        return;
    if (m_list && m_list->GetSelectedCount() == 1 && m_pItem) {
        m_list->GetItemData(m_list->GetFirstSelected())->CopyTo(m_pItem.get());
        CXDialogEx::OnOK();
        return;
    }
    ShowItemTip(2, IDC_RECORD_LIST, "请选择一%s！", PickerItemName(m_nMduID));
}
