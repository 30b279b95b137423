#include "CDlgProxyView.h"

#include "CDBProxyClient.h"
#include "CDlgProxyPwd.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "CommandIds.h"
#include "PickerFind.h"
#include "Relay.h"
#include "Resources.h"
#include "XIconStatic.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

namespace {

const XDlgTemplate& ProxyViewTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_PROXY_VIEW,
                                QStringLiteral("代理客户端列表"),
                                WS_MAXIMIZEBOX,
                                {{ID_FIND_WHAT, K::Edit, QString(), WS_TABSTOP, 0, 0},
                                 {IDC_RECORD_LIST, K::Custom, QString(), 0, 1, 0},
                                 {IDC_PROXY_STATUS_LINE, K::Static, QString(), 0, 2, 0},
                                 {IDCANCEL, K::Button, QStringLiteral("关闭"), 0, -1}},
                                QSize(900, 520)};
    return t;
}

} // namespace

// clang-format off
X_BEGIN_MESSAGE_MAP(CDlgProxyView, CXDialogEx)
    X_ON_COMMAND(ID_EDIT_REFRESH, OnRefresh)
    X_ON_COMMAND(ID_INTERNET_VIEW, OnInternet)
    X_ON_COMMAND(ID_EDIT_FIND, OnFindNext)
    X_ON_UPDATE_COMMAND_UI(ID_INTERNET_VIEW, OnUpdateOneSelected)
    X_ON_UPDATE_COMMAND_UI(ID_FIND_WHAT, OnUpdateFind)
X_END_MESSAGE_MAP()
// clang-format on

CDlgProxyView::CDlgProxyView(QWidget* parent) : CXDialogEx(false, &ProxyViewTemplate(), parent) {}

bool CDlgProxyView::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    setWindowIcon(AppServices().CommandIcon(ID_INTERNET_VIEW, 0, false));
    EnsureControl<XIconStatic>(IDC_PROXY_STATUS_LINE);
    GiveSpareHeightToRows({{1, 1}});
    m_list = PlaceList(*this, IDC_RECORD_LIST);
    AddListButton(*m_list, ID_EDIT_MODIFY, true);
    AddListButton(*m_list, ID_INTERNET_VIEW, false);
    m_list->AddCmd(new CXCmd(0, false, true));
    AddListButton(*m_list, ID_EDIT_REFRESH, false);
    m_list->SetItems(&m_items, CDBProxyClient::StaticHeads(), 2, 0);
    if (!Refresh()) {
        EndDialog(IDCANCEL);
        return false;
    }
    return true;
}

void CDlgProxyView::DoDataExchange(XDataExchange& dx) { BindText(dx, ID_FIND_WHAT, nullptr, &m_strFind, ID_EDIT_FIND); }

void CDlgProxyView::OnOK()
{
    // Enter in the find box searches; the dialog has nothing to accept
    if (QWidget* edit = GetDlgItem(ID_FIND_WHAT); edit && edit->hasFocus())
        OnFindNext();
}

void CDlgProxyView::ShowStatus(const QString& text)
{
    if (QWidget* line = GetDlgItem(IDC_PROXY_STATUS_LINE))
        if (auto* label = qobject_cast<QLabel*>(line))
            label->setText(text);
}

void CDlgProxyView::ClearList()
{
    m_items.RemoveAll();
    if (m_list)
        m_list->SetItems(&m_items, CDBProxyClient::StaticHeads(), 2, 0);
}

bool CDlgProxyView::Refresh()
{
    ClearList();
    m_srvStart = XDateTime();
    const QString caption = windowTitle();
    QString reply;
    if (m_strPassword.isEmpty()) {
        QString typed;
        for (;;) {
            CDlgProxyPwd prompt(this);
            prompt.m_strPassword = typed;
            if (prompt.DoModal() != IDOK)
                return false;
            typed = prompt.m_strPassword;
            {
                XWaitCursor wait;
                reply = xInternet::QueryRelayStatus(typed);
            }
            CXArray probe(nullptr, true);
            XDateTime start;
            const QString result = ReadProxyStatus(reply, start, probe, nullptr);
            if (result == QLatin1String("OK"))
                break;
            XUi::MessageBox(this, result, caption, MB_OK | MB_ICONWARNING);
        }
        m_strPassword = typed;
    } else {
        XWaitCursor wait;
        reply = xInternet::QueryRelayStatus(m_strPassword);
    }

    const QString result = ReadProxyStatus(reply, m_srvStart, m_items, AppServices().User());
    if (result != QLatin1String("OK")) {
        ClearList();
        ShowStatus(QStringLiteral("[w]") + result);
        XUi::MessageBox(this, result, caption, MB_OK | MB_ICONWARNING);
        return true;
    }
    int connected = 0;
    for (const CXItem* item : m_items)
        connected += static_cast<const CDBProxyClient*>(item)->m_nConnects > 0 ? 1 : 0;
    if (m_list) {
        m_list->setUpdatesEnabled(false);
        m_list->SetItems(&m_items, CDBProxyClient::StaticHeads(), 2, 0);
        m_list->setUpdatesEnabled(true);
    }
    ShowStatus(ProxyStatusLine(m_srvStart, XClock::Now(), connected, m_items.GetSize() - connected));
    UpdateControls();
    return true;
}

void CDlgProxyView::OnRefresh() { Refresh(); }

void CDlgProxyView::OnInternet()
{
    if (!m_list || m_list->GetSelectedCount() != 1)
        return;
    const auto* client = static_cast<const CDBProxyClient*>(m_list->GetItemData(m_list->GetFirstSelected()));
    if (client && !client->m_strUrl.isEmpty())
        XUi::ShellOpen(client->m_strUrl);
}

void CDlgProxyView::OnFindNext()
{
    if (!m_list)
        return;
    m_strFind = GetControlText(ID_FIND_WHAT);
    if (m_strFind.isEmpty()) {
        ShowItemTipText(2, ID_FIND_WHAT, LoadCommandPrompt(ID_FIND_WHAT).section(u'\n', 0, 0));
        return;
    }
    if (!m_list->FindNext(m_strFind, true, false, false))
        ShowItemTipText(2, IDC_RECORD_LIST,
                        LoadStringText(IDS_TEXT_NOT_FOUND).replace(QStringLiteral("%1"), m_strFind));
}

void CDlgProxyView::OnUpdateOneSelected(XCmdUI* ui) { ui->Enable(m_list && m_list->GetSelectedCount() == 1); }

void CDlgProxyView::OnUpdateFind(XCmdUI* ui) { ui->Enable(m_list && m_list->GetItemCount() > 0); }
