#pragma once

#include "CModule.h"
#include "XCmdTarget.h"

#include <QtWidgets/QMainWindow>

#include <cstdint>
#include <functional>
#include <memory>

class CChildFrame;
class CLorvanView;
class CXMFCStatusBar;
class CXNavbar;
class CXRibbonBar;
class XCommandActions;
class QMdiArea;
class QMdiSubWindow;

// The application's one top-level window: the module windows as tabs, the status bar, the
// per-user layout, the add-new commands and the close sequence. Commands go to the active
// module window first, then to the frame, then to the application. It is the module host
// (modules open their windows here) and the window notifications are posted to.
class CMainFrame : public QMainWindow, public XCmdTarget, public XModuleHost
{
    Q_OBJECT
    X_DECLARE_MESSAGE_MAP()
public:
    CMainFrame();
    ~CMainFrame() override;

    // --- the module host -------------------------------------------------------------
    bool OpenDocument(CModule& module) override;
    QObject* GetView(const CModule& module) const override;
    void ActivateView(CModule& module) override;
    void UpdateAllViews(CModule& module, int hint) override;
    void SetDocumentTitle(CModule& module, const QString& title) override;

    CChildFrame* FindChildFrame(const CModule& module) const;
    CChildFrame* GetActiveChildFrame() const;
    CLorvanView* GetActiveView() const;
    CModule* GetActiveModule() const;
    QMdiArea* MdiArea() const { return m_mdi; }
    CXMFCStatusBar* StatusBar() const { return m_wndStatusBar; }
    CXRibbonBar* RibbonBar() const { return m_wndRibbonBar; }
    CXNavbar* Navbar() const { return m_wndNavbar; }
    XCommandActions* Actions() const { return m_pActions; }
    // The module windows in tab order.
    QList<QMdiSubWindow*> ModuleWindows() const;
    // Closes every module window; each writes its detail pane's layout.
    void CloseAllDocuments();

    // --- notifications (posted, never sent) ---------------------------------------------
    // Refreshes the status pane of the id, or all of them and the detail pane for 0.
    void OnStatusBar(int paneId);
    void OnShowItem(int mduId, int itemId);

    // --- commands ---------------------------------------------------------------------
    bool OnCmdMsg(int id, int code, XCmdUI* ui, bool probeOnly = false) override;
    // The module whose add-new command this is (the first in creation order); null if none.
    static CModule* FindAddNewModule(int id);

    // --- per-user layout --------------------------------------------------------------
    // Logout (true): saves the user's layout, hides the frame, closes every window and
    // logs the logout; login (false): restores the layout of the user just logged in and
    // shows the frame.
    void SwitchUser(bool bLogout);
    // Applies a look; any id that is not one of the eight looks is the default look.
    void OnApplicationLook(int look);

    int m_nAppLook;
    // The newest version the version check has seen (0: none yet); the version pane turns
    // red when it is newer than the running one.
    std::uint32_t m_nLatestVersion = 0;
    // What the application does around the frame: its commands, asked after the frame's;
    // forgetting the logged-out user; opening a module by id.
    XCmdTarget* m_pApp = nullptr;
    std::function<void()> m_onLoggedOut;

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

public:
    // The program is being ended from outside (SIGTERM, SIGINT): the frame closes as on the
    // exit command, without the exit question, which nobody is there to answer.
    static void EndWithoutAsking() { s_bEndWithoutAsking = true; }
    static bool IsEndingWithoutAsking() { return s_bEndWithoutAsking; }

private:
    static inline bool s_bEndWithoutAsking = false;

    void OnAddNew(int id);
    void OnUpdateAddNew(XCmdUI* ui);
    void OnLook(int id);
    void OnUpdateLook(XCmdUI* ui);
    void OnIndicatorQuery();
    void OnIndicatorUser();
    void OnIndicatorCount() {}
    void OnCloseActive();
    void OnUpdateAlways(XCmdUI* ui);
    void OnTabContextMenu(const QPoint& pos);
    // launchers and web addresses (CMainFrame_Desktop.cpp)
    void OnShortcut(int id);
    void OnUpdateShortcut(XCmdUI* ui);
    void OnWebView(int id);
    // the relay's status views (CMainFrame_Relay.cpp)
    void CreateRelayShortcuts();
    void OnWebSrvStatus();
    void OnProxyView();
    void UpdateDetailPane(CLorvanView& view, const QString& queryText);
    QMdiSubWindow* FindSubWindow(const CModule& module) const;

    QMdiArea* m_mdi;
    CXMFCStatusBar* m_wndStatusBar;

    // the ribbon, the navigation pane and the actions they share (CMainFrame_Ribbon.cpp)
    void CreateCommandBars();
    bool RouteCommandBars(int id, int code, XCmdUI* ui, bool probeOnly);
    void RestoreCommandBars(const QString& section);
    void SaveCommandBars(const QString& section);
    void RefreshRibbonMenus();
    void ApplyVisualStyle();
    XCommandActions* m_pActions = nullptr;
    CXRibbonBar* m_wndRibbonBar = nullptr;
    CXNavbar* m_wndNavbar = nullptr;
    std::unique_ptr<XCmdTarget> m_pBarCommands;
};

// The frame's layout keys under the user's section: the size keys carry the DPI.
QString FrameSizeKey(bool width, int dpi);
