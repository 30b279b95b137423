#include "CDlgAppExplorer.h"

#include "CModule.h"
#include "CXListCtrl.h"
#include "CXMap.h"
#include "CXQrCodes.h"
#include "CommandIds.h"
#include "CommandIds.h"
#include "PickerFind.h"
#include "RecordConsts.h"
#include "WebService.h"
#include "WebState.h"
#include "XReadOnly.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtGui/QKeyEvent>
#include <QtWidgets/QLabel>
#include <QtWidgets/QRadioButton>

namespace {

constexpr int kUpdatePeriodMs = 500;

const XDlgTemplate& AppExplorerTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{
        IDD_APP_EXPLORER,
        QStringLiteral("代理连接状态"),
        WS_MAXIMIZEBOX,
        {{-1, K::Static, QStringLiteral("代理服务器："), 0, 0, 0},
         {IDC_PROXY_SERVER_INTERNET, K::Radio, QStringLiteral("Internet 服务器"), WS_GROUP, 0, 1},
         {IDC_PROXY_SERVER_LOCAL, K::Radio, QStringLiteral("本地服务器"), 0, 0, 2},
         // a new group: nothing below depends on the server choice
         {IDC_RESET, K::Button, QStringLiteral("重新连接(&R)"), WS_GROUP, 0, 3},
         {-1, K::Static, QStringLiteral("连接时间："), 0, 1, 0},
         {IDC_PROXY_START_TIME, K::Static, QString(), 0, 1, 1, 3},
         {IDC_QRCODES, K::Custom, QString(), 0, 2, 0, 4},
         {-1, K::Static, QStringLiteral("连接记录："), 0, 3, 0, 4},
         {IDC_RECORD_LIST, K::Custom, QString(), 0, 4, 0, 4},
         {IDCANCEL, K::Button, QStringLiteral("关闭"), 0, -1}},
        QSize(640, 620)};
    return t;
}

} // namespace

// clang-format off
X_BEGIN_MESSAGE_MAP(CDlgAppExplorer, CXDialogEx)
    X_ON_COMMAND(ID_EDIT_REFRESH, OnRefresh)
    X_ON_COMMAND(IDC_RESET, OnReconnect)
X_END_MESSAGE_MAP()
// clang-format on

CDlgAppExplorer::CDlgAppExplorer(QWidget* parent) : CXDialogEx(false, &AppExplorerTemplate(), parent)
{
    connect(&m_timer, &QTimer::timeout, this, [this] { UpdateControls(); });
}

CDlgAppExplorer::~CDlgAppExplorer() = default;

bool CDlgAppExplorer::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    for (int id : {IDC_PROXY_SERVER_INTERNET, IDC_PROXY_SERVER_LOCAL})
        if (auto* radio = qobject_cast<QRadioButton*>(GetDlgItem(id)))
            radio->setChecked(id == IDC_PROXY_SERVER_INTERNET + m_nServer);
    const QIcon icon = AppServices().CommandIcon(ID_WEBSRV_STATUS, 0, true);
    setWindowIcon(icon);

    QWidget* slot = GetDlgItem(IDC_QRCODES);
    m_wndQrCodes = new CXQrCodes(slot);
    m_wndQrCodes->setMinimumSize(200, 224);
    FillSlot(slot, m_wndQrCodes);
    m_list = PlaceList(*this, IDC_RECORD_LIST);
    m_list->AddCmd(new CXCmd(ID_EDIT_MODIFY, true, true, true));
    m_list->AddCmd(new CXCmd(0, false, true));
    AddListButton(*m_list, ID_EDIT_REFRESH, false);
    GiveSpareHeightToRows({{4, 1}});

    OnRefresh();
    m_timer.start(kUpdatePeriodMs);
    return true;
}

void CDlgAppExplorer::UpdateControls()
{
    CXDialogEx::UpdateControls();
    // the server choice is shown, never changed: the update pass would free the radio group
    for (int id : {IDC_PROXY_SERVER_INTERNET, IDC_PROXY_SERVER_LOCAL})
        SetWndReadOnly(GetDlgItem(id), true);
    QString start = QStringLiteral("未连接");
    {
        std::lock_guard guard(xInternet::WebStateLock());
        if (xInternet::RelayConnections() > 0)
            start = xInternet::WebServiceStateUnlocked().startTime.Format(QStringLiteral("%y-%#m-%#d %#H:%M:%S"));
    }
    if (auto* label = qobject_cast<QLabel*>(GetDlgItem(IDC_PROXY_START_TIME)); label && label->text() != start)
        label->setText(start);
}

void CDlgAppExplorer::OnRefresh()
{
    XWaitCursor wait;
    if (!m_list)
        return;
    m_list->setUpdatesEnabled(false);
    m_items.RemoveAll();
    CModule* module = FindModule(MDU_OPERLOG);
    if (module) {
        CXMap query;
        query.SetDate(QKEY_DATE_FROM, XDateTime::Today());
        query.SetText(QKEY_OPER_TYPE, QString::number(OPER_PROXY));
        module->QueryItems(m_items, query, true, false);
        m_list->SetItems(&m_items, module->GetHeads(), 1, 0);
    }
    m_list->setUpdatesEnabled(true);
    UpdateControls();
}

void CDlgAppExplorer::OnReconnect()
{
    XWaitCursor wait;
    QWidget* button = GetDlgItem(IDC_RESET);
    if (button)
        button->setEnabled(false);
    xInternet::StopWebService();
    UpdateControls();
    xInternet::StartWebService();
    if (button)
        button->setEnabled(true);
}

void CDlgAppExplorer::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_F5 && e->modifiers() == Qt::NoModifier) {
        OnRefresh();
        return;
    }
    CXDialogEx::keyPressEvent(e);
}
