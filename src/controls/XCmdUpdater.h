#pragma once

#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QTimer>

#include <functional>
#include <vector>

class QAction;
class QMenu;
class XCmdTarget;

// Update passes without an idle loop: registered passes run soon after each command, on
// focus changes and on a short heartbeat while one of the program's windows is active;
// menus run theirs right before they show.
class XCmdUpdater : public QObject
{
    Q_OBJECT
public:
    static XCmdUpdater& Instance();

    // A pass that lives as long as its owner.
    void Register(QObject* owner, std::function<void()> pass);
    // Coalesced: many requests before the event loop runs give one pass.
    static void UpdateSoon();
    void UpdateNow();

    // Focus changes and the heartbeat (250 ms) while a window of the program is active.
    void StartHeartbeat();

    // The update pass of a menu: actions whose data holds a command id are updated through
    // the target; one without an update handler is enabled exactly when a command handler
    // exists.
    static void UpdateMenu(QMenu* menu, XCmdTarget* target);
    // bDisableUnhandled false: an action without an update handler is left as it is.
    static void UpdateAction(QAction* action, XCmdTarget* target, bool bDisableUnhandled = true);
    static void ConnectMenu(QMenu* menu, XCmdTarget* target);

private:
    XCmdUpdater();
    struct Pass
    {
        QPointer<QObject> owner;
        std::function<void()> fn;
    };
    std::vector<Pass> m_list;
    QTimer m_soon;
    QTimer m_heartbeat;
    bool m_bFocusConnected = false;
};
