#include "CMainFrame.h"

#include "CChildFrame.h"
#include "CDlgAppExit.h"
#include "CDlgEdit.h"
#include "CLorvanApp.h"
#include "CLorvanView.h"
#include "CXMFCStatusBar.h"
#include "CXPropBar.h"
#include "CHtmlCtrl.h"
#include "CodePages.h"
#include "CommandIds.h"
#include "CXXmlDoc.h"
#include "EditFrame.h"
#include "FormatString.h"
#include "LayoutKeys.h"
#include "OperLog.h"
#include "ProgramWindows.h"
#include "RecordConsts.h"
#include "Resources.h"
#include "Settings.h"
#include "TransformXsl.h"
#include "Version.h"
#include "WebState.h"
#include "XAppServices.h"
#include "XDrawing.h"
#include "XMainWindow.h"
#include "XUi.h"

#include <QtGui/QCloseEvent>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMdiArea>
#include <QtWidgets/QMdiSubWindow>
#include <QtWidgets/QTabBar>

// clang-format off
X_BEGIN_MESSAGE_MAP(CMainFrame, XCmdTarget)
    X_ON_COMMAND_RANGE(ID_ADDNEW_COLLECT, ID_ADDNEW_TEACHER, OnAddNew)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_ADDNEW_COLLECT, ID_ADDNEW_TEACHER, OnUpdateAddNew)
    X_ON_COMMAND_RANGE(ID_APPLOOK_OFF_2003, ID_APPLOOK_WINDOWS_10, OnLook)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_APPLOOK_OFF_2003, ID_APPLOOK_WINDOWS_10, OnUpdateLook)
    X_ON_COMMAND(ID_INDICATOR_QUERY, OnIndicatorQuery)
    X_ON_COMMAND(ID_INDICATOR_USER, OnIndicatorUser)
    X_ON_COMMAND(ID_INDICATOR_COUNT, OnIndicatorCount)
    X_ON_COMMAND(ID_FILE_CLOSE, OnCloseActive)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_SUBMENU_SHORTCUT, ID_SUBMENU_APPLOOK, OnUpdateAlways)
    X_ON_COMMAND_RANGE(ID_SHORTCUT_DESKTOP, ID_SHORTCUT_TASKBAR, OnShortcut)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_SHORTCUT_DESKTOP, ID_SHORTCUT_TASKBAR, OnUpdateShortcut)
    X_ON_COMMAND_RANGE(ID_INTERNET_VIEW, ID_INTRANET_VIEW, OnWebView)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_INTERNET_VIEW, ID_INTRANET_VIEW, OnUpdateAlways)
    X_ON_COMMAND(ID_WEBSRV_STATUS, OnWebSrvStatus)
    X_ON_UPDATE_COMMAND_UI(ID_WEBSRV_STATUS, OnUpdateAlways)
X_END_MESSAGE_MAP()
// clang-format on

namespace {

// The status panes in their order: the message pane, then query, count, user, version, web.
const std::vector<int> kIndicators = {
    0, ID_INDICATOR_QUERY, ID_INDICATOR_COUNT, ID_INDICATOR_USER, ID_APP_ABOUT, ID_WEBSRV_STATUS};

QString UserSection()
{
    const CXItem* user = AppServices().User();
    return user ? user->m_strName : QString();
}

QString UserKey(const char* key) { return QString::fromLatin1(key); }

} // namespace

QString FrameSizeKey(bool width, int dpi)
{
    return (width ? QStringLiteral("MainFrm.cx.dpi%1") : QStringLiteral("MainFrm.cy.dpi%1")).arg(dpi);
}

CMainFrame::CMainFrame() : m_nAppLook(ID_APPLOOK_WINDOWS_10)
{
    setObjectName(QStringLiteral("MainFrame"));
    setWindowTitle(QApplication::applicationName());
    setMinimumSize(800, 600);

    m_mdi = new QMdiArea(this);
    m_mdi->setViewMode(QMdiArea::TabbedView);
    m_mdi->setTabsClosable(true);
    m_mdi->setTabsMovable(true);
    m_mdi->setDocumentMode(true);
    m_mdi->setBackground(QColor(205, 215, 230));
    setCentralWidget(m_mdi);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] { XPostMessage(this, WM_XSTATUSBAR, 0, 0); });
    if (auto* tabs = m_mdi->findChild<QTabBar*>()) {
        tabs->setExpanding(false);
        tabs->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(tabs, &QTabBar::customContextMenuRequested, this, &CMainFrame::OnTabContextMenu);
    }

    m_wndStatusBar = new CXMFCStatusBar(this);
    setStatusBar(m_wndStatusBar);
    m_wndStatusBar->SetIndicators(kIndicators);
    m_wndStatusBar->SetPaneText(m_wndStatusBar->CommandToIndex(ID_APP_ABOUT), FormatVersion(GetOwnFileVersion()));
    m_wndStatusBar->SetPaneIcon(m_wndStatusBar->CommandToIndex(ID_INDICATOR_USER),
                                AppServices().CommandIcon(MDU_TEACHER, 0, false));
    CreateCommandBars();
    CreateRelayShortcuts();
}

CMainFrame::~CMainFrame()
{
    if (XGetMainWindow() == this)
        XSetMainWindow(nullptr);
}

// --- module windows ----------------------------------------------------------------------

QList<QMdiSubWindow*> CMainFrame::ModuleWindows() const { return m_mdi->subWindowList(QMdiArea::StackingOrder); }

QMdiSubWindow* CMainFrame::FindSubWindow(const CModule& module) const
{
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        if (auto* child = qobject_cast<CChildFrame*>(sub->widget()))
            if (&child->GetDocument().GetModule() == &module)
                return sub;
    return nullptr;
}

CChildFrame* CMainFrame::FindChildFrame(const CModule& module) const
{
    QMdiSubWindow* sub = FindSubWindow(module);
    return sub ? qobject_cast<CChildFrame*>(sub->widget()) : nullptr;
}

CChildFrame* CMainFrame::GetActiveChildFrame() const
{
    QMdiSubWindow* sub = m_mdi->activeSubWindow();
    if (!sub) // without the focus (a frame hidden or behind a dialog) the last active window counts
        sub = m_mdi->currentSubWindow();
    if (!sub && !m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder).isEmpty())
        sub = m_mdi->subWindowList(QMdiArea::ActivationHistoryOrder).last();
    return sub ? qobject_cast<CChildFrame*>(sub->widget()) : nullptr;
}

CLorvanView* CMainFrame::GetActiveView() const
{
    CChildFrame* child = GetActiveChildFrame();
    return child ? child->GetView() : nullptr;
}

CModule* CMainFrame::GetActiveModule() const
{
    CChildFrame* child = GetActiveChildFrame();
    return child ? &child->GetDocument().GetModule() : nullptr;
}

bool CMainFrame::OpenDocument(CModule& module)
{
    if (FindSubWindow(module)) {
        ActivateView(module);
        return true;
    }
    auto* child = new CChildFrame(module);
    QMdiSubWindow* sub = m_mdi->addSubWindow(child);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowTitle(LoadCommandText(module.GetMduID()));
    sub->setWindowIcon(child->windowIcon());
    child->OnInitialUpdate();
    sub->showMaximized();
    m_mdi->setActiveSubWindow(sub);
    // a tab's tip is its module's description
    if (auto* tabs = m_mdi->findChild<QTabBar*>())
        for (int i = 0; i < tabs->count(); ++i)
            if (tabs->tabText(i) == sub->windowTitle())
                tabs->setTabToolTip(i, LoadCommandPrompt(module.GetMduID()));
    return true;
}

QObject* CMainFrame::GetView(const CModule& module) const
{
    CChildFrame* child = FindChildFrame(module);
    return child ? child->GetView() : nullptr;
}

void CMainFrame::ActivateView(CModule& module)
{
    if (QMdiSubWindow* sub = FindSubWindow(module))
        m_mdi->setActiveSubWindow(sub);
}

void CMainFrame::UpdateAllViews(CModule& module, int hint)
{
    Q_UNUSED(hint);
    if (CChildFrame* child = FindChildFrame(module))
        child->GetView()->OnUpdate();
}

void CMainFrame::SetDocumentTitle(CModule& module, const QString& title)
{
    if (QMdiSubWindow* sub = FindSubWindow(module))
        sub->setWindowTitle(title);
}

void CMainFrame::CloseAllDocuments()
{
    for (QMdiSubWindow* sub : m_mdi->subWindowList()) {
        sub->close();
        delete sub; // closed windows go now, not after the next event loop turn
    }
}

// --- notifications -------------------------------------------------------------------------

bool CMainFrame::event(QEvent* e)
{
    if (e->type() == XCommandEvent::EventType()) {
        auto* ce = static_cast<XCommandEvent*>(e);
        if (ce->m_nMessage == WM_XSTATUSBAR)
            OnStatusBar(static_cast<int>(ce->m_wParam));
        else if (ce->m_nMessage == WM_XSHOWITEM)
            OnShowItem(static_cast<int>(ce->m_wParam), static_cast<int>(ce->m_lParam));
        else if (ce->m_nID)
            DispatchCommand(ce->m_nID);
        return true;
    }
    return QMainWindow::event(e);
}

void CMainFrame::OnShowItem(int mduId, int itemId)
{
    CXBase ref;
    ref.m_nMduID = mduId;
    ref.m_nID = itemId;
    OpenItemRef(ref);
}

void CMainFrame::OnStatusBar(int w)
{
    CXMFCStatusBar& bar = *m_wndStatusBar;
    if (w == 0)
        RefreshRibbonMenus();
    if (w == 0 || w == ID_APP_ABOUT) {
        const int pane = bar.CommandToIndex(ID_APP_ABOUT);
        const std::uint32_t own = GetOwnFileVersion();
        const std::uint32_t latest = m_nLatestVersion;
        if (own < latest) {
            bar.SetTipText(pane, FormatString(u"发现新版本 %s ！", FormatVersion(latest)));
            bar.SetPaneIcon(pane, AppServices().CommandIcon(ID_APP_UPDATECHK, qRgb(192, 0, 0), false));
            bar.SetPaneTextColor(pane, QColor(192, 0, 0));
        } else {
            bar.SetTipText(pane, FormatString(u"当前版本 %s 是最新版本！", FormatVersion(own)));
            bar.SetPaneIcon(pane, AppServices().CommandIcon(ID_APP_UPDATECHK, 0, false));
            bar.SetPaneTextColor(pane, QColor(0, 0, 0));
        }
        bar.FitPaneWidth(pane, 60);
    }
    if (w == 0 || w == ID_WEBSRV_STATUS) {
        int connections = 0;
        {
            std::lock_guard lock(xInternet::WebStateLock());
            connections = xInternet::RelayConnections();
        }
        const int pane = bar.CommandToIndex(ID_WEBSRV_STATUS);
        bar.SetPaneIcon(pane, AppServices().CommandIcon(connections > 0 ? IDI_WEB_ONLINE : IDI_WEB_OFFLINE, 0, false));
        bar.SetTipText(pane, connections > 0 ? QStringLiteral("已连接") : QStringLiteral("未连接"));
        bar.FitPaneWidth(pane, 0);
    }
    if (w == 0 || w == ID_INDICATOR_USER) {
        const int pane = bar.CommandToIndex(ID_INDICATOR_USER);
        bar.SetPaneText(pane, UserSection());
        bar.FitPaneWidth(pane, 60);
    }
    CModule* module = GetActiveModule();
    const QString queryText = module ? module->GetQueryText(module->m_query, true, true) : QString();
    if (w == 0 || w == ID_INDICATOR_QUERY) {
        const int pane = bar.CommandToIndex(ID_INDICATOR_QUERY);
        bar.SetPaneIcon(pane, AppServices().CommandIcon(ID_SUBMENU_QUERY, module ? 0 : 0xFFFFFF, false));
        bar.SetPaneText(pane, queryText);
        bar.FitPaneWidth(pane, 300);
    }
    if (w == 0 || w == ID_INDICATOR_COUNT) {
        const int pane = bar.CommandToIndex(ID_INDICATOR_COUNT);
        CLorvanView* view = GetActiveView();
        bar.SetPaneText(
            pane, view ? FormatString(u"%d/%d", view->GetList()->GetSelectedCount(), view->GetList()->GetItemCount())
                       : QString());
        bar.FitPaneWidth(pane, 40);
        if (view)
            UpdateDetailPane(*view, queryText);
    }
}

void CMainFrame::UpdateDetailPane(CLorvanView& view, const QString& queryText)
{
    CModule& module = view.GetModule();
    CXListCtrl* list = view.GetList();
    CXXmlDoc doc;
    doc.SetDocText(QStringLiteral("<r/>"));
    doc.FindElement();
    const CHeads* heads = module.GetHeads();
    doc.SetAttribute(doc.m_nMainPos, QStringLiteral("query"), queryText);
    doc.SetAttribute(doc.m_nMainPos, QStringLiteral("count"), QString::number(list->GetItemCount()));
    doc.SetAttribute(doc.m_nMainPos, QStringLiteral("selcount"), QString::number(list->GetSelectedCount()));
    doc.SetAttribute(doc.m_nMainPos, QStringLiteral("itemunit"), heads ? heads->m_strItemUnit : QString());
    doc.SetAttribute(doc.m_nMainPos, QStringLiteral("itemtype"), LoadCommandText(module.GetMduID()));
    if (list->GetSelectedCount() == 1) {
        doc.IntoElement();
        list->GetItemData(list->GetFirstSelected())
            ->WriteXml(doc, 1, module.IsChildListQuery(module.m_query) ? 1 : 0, AppServices().User());
    }
    if (view.m_wndPropBar)
        view.m_wndPropBar->m_wndHtml->SetHTML(TransformXsl(doc.GetDocText()));
}

// --- commands ------------------------------------------------------------------------------

bool CMainFrame::OnCmdMsg(int id, int code, XCmdUI* ui, bool probeOnly)
{
    if (CLorvanView* view = GetActiveView())
        if (view->OnCmdMsg(id, code, ui, probeOnly))
            return true;
    if (XCmdTarget::OnCmdMsg(id, code, ui, probeOnly) || RouteCommandBars(id, code, ui, probeOnly))
        return true;
    return m_pApp && m_pApp->OnCmdMsg(id, code, ui, probeOnly);
}

CModule* CMainFrame::FindAddNewModule(int id)
{
    for (CModule* module : GetModules())
        if (module->GetAddNewCmd() == id)
            return module;
    return nullptr;
}

void CMainFrame::OnAddNew(int id)
{
    if (CModule* module = FindAddNewModule(id))
        if (const std::unique_ptr<CDlgEdit> frame = CreateEditDialog(*module, true, nullptr))
            frame->DoModal();
}

void CMainFrame::OnUpdateAddNew(XCmdUI* ui)
{
    CModule* module = FindAddNewModule(ui->m_nID);
    if (!module)
        return;
    const CXItem* user = AppServices().User();
    ui->Enable(user && module->HasRight(*user, RIGHT_ADD));
}

void CMainFrame::OnLook(int id) { OnApplicationLook(id); }

void CMainFrame::OnUpdateLook(XCmdUI* ui)
{
    ui->Enable(true);
    ui->SetRadio(ui->m_nID == m_nAppLook);
}

void CMainFrame::OnApplicationLook(int look)
{
    // the eight looks of the original share the program's one style; only the id is kept
    m_nAppLook = look >= ID_APPLOOK_OFF_2003 && look <= ID_APPLOOK_WINDOWS_10 ? look : ID_APPLOOK_WINDOWS_10;
    ApplyVisualStyle();
}

void CMainFrame::OnIndicatorQuery() { XPostCommand(this, ID_QUERY_USER); }

void CMainFrame::OnIndicatorUser()
{
    const CXItem* user = AppServices().User();
    if (!user)
        return;
    if (user->m_nID == 0) {
        XUi::MessageBox(this, FormatString(u"当前登录用户是内置管理员 “%s” ！", user->m_strName),
                        LoadCommandText(ID_INDICATOR_USER), MB_OK | MB_ICONINFORMATION);
        return;
    }
    OpenItemRef(*user);
}

void CMainFrame::OnCloseActive()
{
    if (QMdiSubWindow* sub = m_mdi->activeSubWindow())
        sub->close();
}

void CMainFrame::OnUpdateAlways(XCmdUI* ui) { ui->Enable(true); }

void CMainFrame::OnTabContextMenu(const QPoint& pos)
{
    const XMenuSpec menu = {{ID_FILE_CLOSE, LoadCommandText(ID_FILE_CLOSE, true), {}},
                            {ID_FILE_CLOSEALL, LoadCommandText(ID_FILE_CLOSEALL, true), {}}};
    auto* tabs = qobject_cast<QWidget*>(sender());
    if (const int id = XUi::TrackPopupMenu(menu, tabs ? tabs->mapToGlobal(pos) : pos, this))
        DispatchCommand(id);
}

// --- layout and closing ----------------------------------------------------------------------

void CMainFrame::SwitchUser(bool bLogout)
{
    const CXItem* user = AppServices().User();
    if (!user || user->m_strName.isEmpty())
        return;
    const QString section = user->m_strName;
    XWaitCursor wait;
    const int dpi = ScreenDpi();
    if (bLogout) {
        CloseProgramWindows(this);
        SaveCommandBars(section);
        CModule* active = GetActiveModule();
        WriteLayout(section, UserKey("MainFrm.Module"), active ? active->GetMduID() : 0, MDU_STUDENT);
        WriteLayout(section, UserKey("MainFrm.Statusbar"), m_wndStatusBar->isHidden() ? 0 : 1, 1);
        WriteLayout(section, UserKey("AppLook"), m_nAppLook, ID_APPLOOK_WINDOWS_10);
        const bool normal = !(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
        WriteLayout(section, UserKey("MainFrm.Maxmize"), normal ? 0 : 1, 1);
        if (normal && ReadScreenDpi() == dpi) {
            WriteLayout(section, FrameSizeKey(true, dpi), width(), dpi * 1280 / 96);
            WriteLayout(section, FrameSizeKey(false, dpi), height(), dpi * 720 / 96);
        }
        hide();
        CloseAllDocuments();
        WriteOperLog(OPER_LOGOUT, *user, 0, 0, QString(), QString());
        if (m_onLoggedOut)
            m_onLoggedOut();
        return;
    }
    OnApplicationLook(ReadLayout(section, UserKey("AppLook"), ID_APPLOOK_WINDOWS_10));
    CLorvanApp::OpenModule(ReadLayout(section, UserKey("MainFrm.Module"), MDU_STUDENT));
    const int cx = ReadLayout(section, FrameSizeKey(true, dpi), dpi * 1280 / 96);
    const int cy = ReadLayout(section, FrameSizeKey(false, dpi), dpi * 720 / 96);
    if (ReadLayout(section, UserKey("MainFrm.Maxmize"), 1) != 0) {
        resize(cx, cy); // the size it comes back to when restored
        showMaximized();
    } else {
        resize(cx, cy);
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
        showNormal();
    }
    if (ReadLayout(section, UserKey("MainFrm.Statusbar"), 1) != 0)
        m_wndStatusBar->show();
    RestoreCommandBars(section);
    XPostMessage(this, WM_XSTATUSBAR, 0, 0);
}

void CMainFrame::closeEvent(QCloseEvent* e)
{
    // a hidden frame (logged out, or in the tray) closes without asking, as it does when the
    // program is ended by a signal
    if (isVisible() && !s_bEndWithoutAsking) {
        CDlgAppExit ask(this);
        const int answer = XUi::RunModal(&ask);
        if (answer == ID_APP_HIDE) {
            XPostCommand(this, ID_APP_HIDE);
            e->ignore();
            return;
        }
        if (answer != 1) { // IDOK
            e->ignore();
            return;
        }
    }
    SwitchUser(true);
    WriteOperLog(OPER_RUN, BuiltInAdmin(), 0, 0, QStringLiteral("退出"), QString());
    e->accept();
    QMainWindow::closeEvent(e);
}
