// The main frame's command bars: the shared command actions, the ribbon with its quick
// access toolbar, the navigation pane, and the framework commands they show (the status
// bar check, exit, the ribbon's switch button).
#include "CMainFrame.h"

#include "CLorvanView.h"
#include "CMFCVisualManagerWindows10.h"
#include "CXMFCStatusBar.h"
#include "CXNavbar.h"
#include "CXRibbonBar.h"
#include "CommandIds.h"
#include "XCommandActions.h"

#include <QtWidgets/QMdiArea>
#include <QtWidgets/QTabBar>

namespace {

class XFrameBarCommands : public XCmdTarget
{
    X_DECLARE_MESSAGE_MAP()
public:
    explicit XFrameBarCommands(CMainFrame& frame) : m_frame(frame) {}

private:
    void OnStatusBarToggle()
    {
        QWidget* bar = m_frame.StatusBar();
        bar->setVisible(bar->isHidden());
    }
    void OnUpdateStatusBar(XCmdUI* ui)
    {
        ui->Enable(true);
        ui->SetCheck(m_frame.StatusBar()->isHidden() ? 0 : 1);
    }
    void OnExit() { m_frame.close(); }
    void OnRibbonSwitch()
    {
        if (CXRibbonBar* ribbon = m_frame.RibbonBar())
            ribbon->SetMinimized(!ribbon->IsMinimized());
    }

    CMainFrame& m_frame;
};

// clang-format off
X_BEGIN_MESSAGE_MAP(XFrameBarCommands, XCmdTarget)
    X_ON_COMMAND(ID_VIEW_STATUS_BAR, OnStatusBarToggle)
    X_ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateStatusBar)
    X_ON_COMMAND(ID_APP_EXIT, OnExit)
    X_ON_COMMAND(ID_RIBBON_SWITCH, OnRibbonSwitch)
X_END_MESSAGE_MAP()
// clang-format on

} // namespace

void CMainFrame::CreateCommandBars()
{
    m_pBarCommands = std::make_unique<XFrameBarCommands>(*this);
    m_pActions = new XCommandActions(this, this);
    m_wndRibbonBar = new CXRibbonBar(CXRibbonBar::LoadDefinition(), *m_pActions, this);
    setMenuWidget(m_wndRibbonBar);
    m_wndNavbar = new CXNavbar(this);
    addDockWidget(Qt::LeftDockWidgetArea, m_wndNavbar);
}

bool CMainFrame::RouteCommandBars(int id, int code, XCmdUI* ui, bool probeOnly)
{
    if (m_wndNavbar && m_wndNavbar->OnCmdMsg(id, code, ui, probeOnly))
        return true;
    return m_pBarCommands && m_pBarCommands->OnCmdMsg(id, code, ui, probeOnly);
}

void CMainFrame::RestoreCommandBars(const QString& section)
{
    m_wndRibbonBar->RestoreLayout(section);
    m_wndNavbar->RestoreLayout(section);
}

void CMainFrame::SaveCommandBars(const QString& section)
{
    m_wndRibbonBar->SaveLayout(section);
    m_wndNavbar->SaveLayout(section);
}

void CMainFrame::RefreshRibbonMenus()
{
    CLorvanView* view = GetActiveView();
    m_wndRibbonBar->RefreshMenus(GetActiveModule(), view ? view->GetList() : nullptr);
}

void CMainFrame::ApplyVisualStyle()
{
    // every look id is the one flat look
    CMFCVisualManagerWindows10::Apply(m_wndRibbonBar, m_wndNavbar, m_mdi->findChild<QTabBar*>());
}
