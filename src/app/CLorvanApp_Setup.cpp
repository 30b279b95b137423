// The preferences command.
#include "CLorvanApp.h"

#include "CDlgAppSetup.h"
#include "CMainFrame.h"

void CLorvanApp::OnAppSetup()
{
    if (!User())
        return;
    const int generation = LoginGeneration();
    CDlgAppSetup dialog(m_pMainWnd.get());
    dialog.m_stillLoggedIn = [this, generation] { return LoginGeneration() == generation; };
    dialog.DoModal();
}
