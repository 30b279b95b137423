#pragma once

#include <QtCore/QObject>

#include <map>

class QAction;
class XCmdTarget;

// One action per command id for the main window, made on first use and shared by the
// ribbon, the quick access toolbar and the menus, so an update pass sets each command's
// state once. Triggering an action runs its command through the target's routing.
class XCommandActions : public QObject
{
    Q_OBJECT
public:
    XCommandActions(XCmdTarget* target, QObject* owner);

    // The command's action: its name (with the accelerator) as text, its prompt as tip, its
    // icon at both sizes, the id as data. Null for id 0.
    QAction* Action(int id);
    QAction* Find(int id) const;
    const std::map<int, QAction*>& All() const { return m_actions; }

    // The update pass: each action is set by its update handler, or enabled exactly when a
    // handler for the command exists.
    void Update();

private:
    XCmdTarget* m_target;
    std::map<int, QAction*> m_actions;
};
