#include "CDlgSelHistory.h"

#include "CXItem.h"
#include "CommandIds.h"
#include "RecordLookups.h"
#include "RecordWriter.h"
#include "XBalloonTip.h"
#include "XHistoryLogic.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QTreeWidget>

namespace {
const XDlgTemplate& SelTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_SEL_HISTORY,
                                QStringLiteral("历史记录"),
                                WS_MAXIMIZEBOX,
                                {{IDC_RECORD_LIST, K::List, QString(), WS_TABSTOP, 0, 0, 3},
                                 {-1, K::Static, QStringLiteral("[t]管理人员可编辑整理历史记录！"), 0, 1, 0, 3},
                                 {ID_EDIT_MODIFY, K::Button, QStringLiteral("修改(&M) ..."), WS_GROUP, -1},
                                 {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                QSize(360, 420)};
    return t;
}

const XDlgTemplate& EditTemplate(bool multi)
{
    using K = XCtrlKind;
    static const XDlgTemplate single{IDD_EDIT_HISTORY,
                                     QStringLiteral("修改历史记录"),
                                     0,
                                     {{IDC_CONTENT, K::Edit, QString(), WS_TABSTOP, 0, 0},
                                      {IDOK, K::Button, QStringLiteral("确定"), WS_GROUP, -1},
                                      {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                     QSize()};
    static const XDlgTemplate many{IDD_EDIT_HISTORY,
                                   QStringLiteral("修改历史记录"),
                                   0,
                                   {{IDC_CONTENT, K::Edit, QString(), WS_TABSTOP | ES_MULTILINE | ES_WANTRETURN, 0, 0},
                                    {IDOK, K::Button, QStringLiteral("确定"), WS_GROUP, -1},
                                    {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                   QSize()};
    return multi ? many : single;
}
} // namespace

X_BEGIN_MESSAGE_MAP(CDlgSelHistory, CXDialogEx)
    X_ON_COMMAND(ID_EDIT_MODIFY, OnModify)
    X_ON_UPDATE_COMMAND_UI(IDOK, OnUpdateOK)
    X_ON_UPDATE_COMMAND_UI(ID_EDIT_MODIFY, OnUpdateModify)
X_END_MESSAGE_MAP()

CDlgSelHistory::CDlgSelHistory(QWidget* parent) : CXDialogEx(false, &SelTemplate(), parent) {}

int CDlgSelHistory::RunHistory()
{
    m_items.RemoveAll();
    if (ReadInputHistory(m_items, m_strTable, m_strColumn) == 0) {
        XUi::MessageBox(this, QStringLiteral("未找到历史记录！"), GetItemLabel(0), MB_ICONWARNING);
        return IDCANCEL;
    }
    return DoModal();
}

QTreeWidget* CDlgSelHistory::List() const { return qobject_cast<QTreeWidget*>(GetDlgItem(IDC_RECORD_LIST)); }

bool CDlgSelHistory::IsAdmin() const
{
    const CXItem* user = AppServices().User();
    return user && user->m_nRightRole == 2;
}

bool CDlgSelHistory::OnInitDialog()
{
    const bool ok = CXDialogEx::OnInitDialog();
    QTreeWidget* list = List();
    list->setColumnCount(2);
    list->setHeaderLabels({QStringLiteral("内容"), QStringLiteral("次数")});
    list->setRootIsDecorated(false);
    list->header()->setStretchLastSection(false);
    list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    connect(list, &QTreeWidget::itemDoubleClicked, this, [this] { OnCommand(IDOK); });
    connect(list, &QTreeWidget::itemSelectionChanged, this, [this] { RequestUpdate(); });
    Fill();
    return ok;
}

void CDlgSelHistory::Fill()
{
    QTreeWidget* list = List();
    list->clear();
    for (int i = 0; i < m_items.GetSize(); ++i) {
        auto* row = new QTreeWidgetItem(list, {m_items.GetAt(i)->m_strName, QString::number(m_items.GetAt(i)->m_nID)});
        if (m_items.GetAt(i)->m_strName == m_strValue) {
            list->setCurrentItem(row);
            list->scrollToItem(row);
        }
    }
}

void CDlgSelHistory::OnUpdateOK(XCmdUI* ui) { ui->Enable(List() && List()->selectedItems().size() == 1); }

void CDlgSelHistory::OnUpdateModify(XCmdUI* ui)
{
    ui->Enable(IsAdmin() && List() && List()->selectedItems().size() == 1);
}

void CDlgSelHistory::OnOK()
{
    QTreeWidget* list = List();
    if (!list || list->selectedItems().size() != 1)
        return;
    m_strValue = list->selectedItems().first()->text(0);
    CXDialogEx::OnOK();
}

void CDlgSelHistory::OnModify()
{
    QTreeWidget* list = List();
    if (!IsAdmin() || list->selectedItems().size() != 1)
        return;
    const int index = list->indexOfTopLevelItem(list->selectedItems().first());
    const QString old = m_items.GetAt(index)->m_strName;
    CDlgEditHistory edit(m_bMultiLine != 0, this);
    edit.m_strText = old;
    edit.m_bReadOnly = m_strTable.contains(u' '); // a query, not a table
    if (edit.DoModal() != IDOK || edit.m_strText == old)
        return;
    if (!ReplaceColumnValue(m_strTable, m_strColumn, old, edit.m_strText))
        return;
    MergeRenamedHistory(m_items, index, edit.m_strText);
    m_strValue = edit.m_strText;
    Fill();
}

CDlgEditHistory::CDlgEditHistory(bool multiLine, QWidget* parent)
    : CXDialogEx(false, &EditTemplate(multiLine), parent), m_bMultiLine(multiLine ? 1 : 0)
{}

bool CDlgEditHistory::OnInitDialog()
{
    const bool ok = CXDialogEx::OnInitDialog();
    QWidget* w = GetDlgItem(IDC_CONTENT);
    if (auto* multi = qobject_cast<QPlainTextEdit*>(w)) {
        multi->setPlainText(m_strText);
        multi->setReadOnly(m_bReadOnly);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setMaxLength(32767);
        e->setText(m_strText);
        e->setReadOnly(m_bReadOnly);
    }
    return ok;
}

void CDlgEditHistory::OnOK()
{
    const QString text = GetControlText(IDC_CONTENT);
    const QString warning = HistoryLengthWarning(text, m_bMultiLine != 0);
    if (!warning.isEmpty()) {
        ShowItemTipText(TTI_WARNING, IDC_CONTENT, warning);
        return;
    }
    m_strText = text;
    EndDialog(IDOK);
}
