// The relay's two status views: the web access status (ribbon, status bar pane and
// Ctrl+Shift+F11) and the relay server's own list of installations (Ctrl+Shift+F12 only).
#include "CMainFrame.h"

#include "CDlgAppExplorer.h"
#include "CDlgProxyView.h"
#include "CommandIds.h"

#include <QtGui/QShortcut>

void CMainFrame::CreateRelayShortcuts()
{
    // Application-wide, so they work whatever window of the program has the focus and
    // whether or not a ribbon command can be reached.
    auto* status = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F11), this);
    status->setContext(Qt::ApplicationShortcut);
    connect(status, &QShortcut::activated, this, [this] { DispatchCommand(ID_WEBSRV_STATUS); });
    auto* relay = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F12), this);
    relay->setContext(Qt::ApplicationShortcut);
    connect(relay, &QShortcut::activated, this, [this] { OnProxyView(); });
}

void CMainFrame::OnWebSrvStatus()
{
    CDlgAppExplorer dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnProxyView()
{
    CDlgProxyView dialog(this);
    dialog.DoModal();
}
