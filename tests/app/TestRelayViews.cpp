// The main frame opens the relay's two status views: the web access status from its command
// (ribbon button, status pane) and Ctrl+Shift+F11, the relay server's list from Ctrl+Shift+F12.
#include "CDlgAppExplorer.h"
#include "CDlgProxyPwd.h"
#include "CDlgProxyView.h"
#include "CFakeAppServices.h"
#include "CMainFrame.h"
#include "CXDBSession.h"
#include "CommandIds.h"
#include "OpenDatabase.h"
#include "ProgramModules.h"
#include "XUi.h"

#include "../records/DbTestSupport.h"

#include <QtGui/QShortcut>

#include <gtest/gtest.h>

namespace {

QShortcut* FindShortcut(QWidget& window, const QKeySequence& keys)
{
    for (QShortcut* s : window.findChildren<QShortcut*>())
        if (s->key() == keys)
            return s;
    return nullptr;
}

TEST(RelayViews, TheFrameOpensBothStatusViews)
{
    CFakeAppServices::Installed().Clear();
    TempDatabase db;
    {
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session));
    }
    CMainFrame frame;
    XUiTestHooks ui;
    std::vector<QString> opened;
    ui.onModal = [&opened](QDialog* d) {
        if (dynamic_cast<CDlgAppExplorer*>(d))
            opened.push_back(QStringLiteral("explorer"));
        else if (dynamic_cast<CDlgProxyPwd*>(d))
            opened.push_back(QStringLiteral("password"));
        else if (dynamic_cast<CDlgProxyView*>(d))
            opened.push_back(QStringLiteral("view"));
        return static_cast<int>(IDCANCEL);
    };

    ASSERT_TRUE(frame.DispatchCommand(ID_WEBSRV_STATUS));
    ASSERT_EQ(opened, std::vector<QString>{QStringLiteral("explorer")});

    // the keys work from any window of the program, not through a ribbon command
    QShortcut* status = FindShortcut(frame, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F11));
    QShortcut* relay = FindShortcut(frame, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_F12));
    ASSERT_NE(status, nullptr);
    ASSERT_NE(relay, nullptr);
    EXPECT_EQ(status->context(), Qt::ApplicationShortcut);
    EXPECT_EQ(relay->context(), Qt::ApplicationShortcut);
    opened.clear();
    emit status->activated();
    emit relay->activated(); // the password is asked first; cancelling it closes the view
    EXPECT_EQ(opened, (std::vector<QString>{QStringLiteral("explorer"), QStringLiteral("password")}));
}

} // namespace
