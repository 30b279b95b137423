#include "CDlgSelPrinter.h"

#include "CXItem.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "PickerFind.h"
#include "XChooserLayout.h"
#include "XWinStyles.h"
#include "XPrinterCatalog.h"
#include "XUi.h"

namespace {

const XDlgTemplate& SelPrinterTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{
        IDD_SEL_PRINTER,
        QStringLiteral("选择打印机"),
        WS_MAXIMIZEBOX,
        {{-1, K::Static, QStringLiteral("未设定实体打印机或设定的打印机未安装，请重新选择一个打印机！"), 0, 0, 0},
         {IDC_RECORD_LIST, K::Custom, QString(), 0, 1, 0},
         {ID_EDIT_REFRESH, K::Button, QStringLiteral("刷新"), 0, -1},
         {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
         {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
        QSize(600, 320)};
    return t;
}

XFieldValue JobsText(const CXItem& p, int) { return p.m_nSubID ? QString::number(p.m_nSubID) : QStringLiteral("无"); }

XFieldValue StateText(const CXItem& p, int)
{
    QStringList states;
    for (const CXStatus& s : p.m_status)
        states << s.m_strText;
    return states.join(u' ');
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgSelPrinter, CXDialogEx)
    X_ON_COMMAND(ID_EDIT_REFRESH, Refresh)
X_END_MESSAGE_MAP()

CDlgSelPrinter::CDlgSelPrinter(QWidget* parent) : CXDialogEx(false, &SelPrinterTemplate(), parent)
{
    const QString none;
    m_heads.AddComputedHead(
        {}, QStringLiteral("名称"), XSW, [](const CXItem& p, int) -> XFieldValue { return p.m_strName; }, none, none, 0,
        585, 20, none);
    m_heads.AddComputedHead({}, QStringLiteral("任务队列"), XSW, JobsText, none, none, 0, 585, 6, none);
    m_heads.AddComputedHead({}, QStringLiteral("状态"), XSW, StateText, none, none, 0, 585, -1, none);
}

bool CDlgSelPrinter::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    m_list = PlaceList(*this, IDC_RECORD_LIST);
    StretchListRow(*this, 1);
    Refresh();
    return true;
}

void CDlgSelPrinter::Refresh()
{
    if (!m_list)
        return;
    XWaitCursor wait;
    m_list->setUpdatesEnabled(false);
    m_list->DeleteAllItems();
    GetPrinterList(m_printers, false);
    m_list->SetItems(&m_printers, &m_heads, 2, 0);
    m_list->setUpdatesEnabled(true);
    UpdateControls();
}

void CDlgSelPrinter::UpdateControls()
{
    CXDialogEx::UpdateControls();
    if (QWidget* ok = GetDlgItem(IDOK))
        ok->setEnabled(m_list && m_list->GetSelectedCount() == 1);
}

void CDlgSelPrinter::OnOK()
{
    if (!m_list || m_list->GetSelectedCount() != 1)
        return;
    m_strPrinter = m_list->GetItemData(m_list->GetFirstSelected())->m_strName;
    CXDialogEx::OnOK();
}
