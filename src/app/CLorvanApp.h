#pragma once

#include "CAppServices.h"
#include "CDBSetup.h"
#include "CXItem.h"
#include "ProgramModules.h"
#include "XCmdTarget.h"
#include "XService.h"
#include "XThread.h"

#include <QtGui/QImage>

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

// The application object: the process-wide state every subsystem reads (preferences, the
// logged-in user, the built-in administrator, the command icons), start-up and shut-down in
// their fixed order, and the answers of the application seam. One lives in main() for the
// program's life; theApp points at it.
class CMainFrame;

class CLorvanApp final : public CAppServices, public XCmdTarget
{
    X_DECLARE_MESSAGE_MAP()
public:
    CLorvanApp();
    ~CLorvanApp() override;
    CLorvanApp(const CLorvanApp&) = delete;
    CLorvanApp& operator=(const CLorvanApp&) = delete;

    // Start-up on the UI thread; false ends the process (another instance runs, or the
    // database cannot be used; the reason has been shown).
    bool InitInstance();
    // Shut-down, also after a failed start-up: stops what runs, then the database.
    int ExitInstance();

    // Runs an application command (logout, module commands, close all).
    bool OnAppCommand(int id);

    // Brings up the module's window, or opens one with its first query scheme; a module
    // without schemes, hidden or not built opens nothing. Always true.
    static bool OpenModule(int mduId);
    // Close-all while a window is open; a module command checked while its window is open
    // and enabled with the query right on it.
    void OnUpdateModuleCommand(XCmdUI* ui);
    // Makes the user the logged-in one and shows the frame with the user's layout.
    void LogIn(const CXItem& user);
    // Makes the user the logged-in one (a copy, under m_mutex); a new login generation.
    void SetUser(const CXItem& user);
    // Nobody is logged in any more (the frame calls it after its logout); a new generation.
    void ForgetUser();
    // Counts logins and logouts. A caller that ran a modal loop (during which an idle
    // logout may have run) compares it with the value from before, and saves nothing for a
    // user who is no longer logged in.
    int LoginGeneration() const { return m_nLoginGeneration.load(); }
    // Logs out the user (when one is logged in) and runs the login window; ends the
    // program when it ends without a login. With bHide the window goes to the tray at once.
    void RunLogin(bool bHide);

    // The update command's way to start the updater; the default cannot run it here and
    // opens its folder instead (false: the program keeps running).
    static XHook<bool(const QString& updater)>& UpdaterLauncher();

    // --- the application seam ------------------------------------------------------------
    const CXItem* Admin() const override { return &m_admin; }
    const CXItem* User() const override { return m_user.m_strName.isEmpty() ? nullptr : &m_user; }
    std::mutex& Mutex() override { return m_mutex; }
    // From m_setup; the caller holds m_mutex, which is not recursive, so this does not lock.
    QVariant SetupValue(const QString& key) const override;
    QIcon CommandIcon(int id, QRgb tint, bool large) const override;

    // The command's icon as an image (null for id 0 or an id without one): cached per id,
    // size and tint under m_mutex; pixmaps are made from it on the UI thread only.
    QImage GetCommandIcon(int id, QRgb tint, bool large);
    // Adds an untinted icon to the cache unless the id already has one at that size.
    void AddCommandIcon(int id, bool large, const QImage& image);

    std::mutex m_mutex;
    CDBSetup m_setup;
    CXItem m_user;
    CXItem m_admin;
    XEvent& m_hWxRefresh;
    XEvent& m_hWxRefreshed;
    XEvent m_hStopEvent{true, false};
    std::thread m_jobThread;                // the background job thread, once it exists
    bool m_bSecondStart = false;            // start-up ended because another instance runs
    std::atomic<bool> m_bFrameShown{false}; // a user is logged in and the frame shows
    std::unique_ptr<CMainFrame> m_pMainWnd;

private:
    void OnModuleCommand(int id) { OpenModule(id); }
    void OnLogout() { RunLogin(false); }
    void OnCloseAll();
    void OnHide() { RunLogin(true); }
    void OnAppSerial();
    void OnAppSetup();
    void OnAppAbout();
    void OnAppUpdateCheck();
    void OnAppUpdateNow();
    // Starts the downloaded updater; when it started, the program closes for it.
    void LaunchUpdaterAndClose();
    // Start-up's part for the login, the version document and the background job.
    void StartLoginServices();
    void StopLoginServices();
    // The web service: started once the database and the preferences are loaded, stopped
    // (every thread joined) before the database closes.
    void StartWeb();
    void StopWeb();

    std::atomic<int> m_nLoginGeneration{0};
    bool m_bInLogin = false;

    // key: the id, plus 0x10000 for the 32-pixel size; and the tint (0: untinted)
    std::map<std::pair<int, QRgb>, QImage> m_mapIcons;
    XProgramModules m_modules;
    bool m_bSeams = false;
};

extern CLorvanApp* theApp;

// A tinted copy of an icon: pure white becomes transparent, every other opaque pixel takes
// the tint scaled by its luminance, at least 192 of 255, so shapes stay readable.
QImage TintIcon(const QImage& icon, QRgb tint);

// The radio-button and check-box state images (ID_IMAGE_RADIO_ON .. ID_IMAGE_CHECK_OFF_HOT) drawn in the
// current style, at 16 or 32 pixels, on a transparent background; null for any other id or without a
// widget application.
QImage DrawStateImage(int id, bool large);
