#include "XCmdUpdater.h"

#include "XCmdTarget.h"

#include <QtGui/QAction>
#include <QtGui/QActionGroup>
#include <QtWidgets/QApplication>
#include <QtWidgets/QMenu>

namespace {

// The update object of a menu action.
class XActionUI : public XCmdUI
{
public:
    explicit XActionUI(QAction* action) : m_action(action) { m_nID = action->data().toInt(); }
    void Enable(bool on) override
    {
        m_action->setEnabled(on);
        m_bEnableChanged = true;
    }
    void SetCheck(int state) override
    {
        m_action->setCheckable(true);
        m_action->setChecked(state != 0);
    }
    void SetRadio(bool on) override
    {
        m_action->setCheckable(true);
        if (!m_action->actionGroup()) {
            auto* group = new QActionGroup(m_action->parent());
            group->setExclusive(false); // the handlers decide which entry is on
            group->addAction(m_action);
        }
        m_action->setChecked(on);
    }
    void SetText(const QString& text) override { m_action->setText(text); }

private:
    QAction* m_action;
};

} // namespace

XCmdUpdater::XCmdUpdater()
{
    m_soon.setSingleShot(true);
    m_soon.setInterval(0);
    connect(&m_soon, &QTimer::timeout, this, &XCmdUpdater::UpdateNow);
    m_heartbeat.setInterval(250);
    connect(&m_heartbeat, &QTimer::timeout, this, [this] {
        if (QApplication::activeWindow())
            UpdateNow();
    });
}

XCmdUpdater& XCmdUpdater::Instance()
{
    static XCmdUpdater* updater = new XCmdUpdater; // lives as long as the program
    return *updater;
}

void XCmdUpdater::Register(QObject* owner, std::function<void()> pass) { m_list.push_back({owner, std::move(pass)}); }

void XCmdUpdater::UpdateSoon()
{
    if (!QCoreApplication::instance())
        return;
    XCmdUpdater& u = Instance();
    if (!u.m_soon.isActive())
        u.m_soon.start();
}

void XCmdUpdater::UpdateNow()
{
    std::erase_if(m_list, [](const Pass& p) { return p.owner.isNull(); });
    const std::vector<Pass> passes = m_list; // a pass may register another
    for (const Pass& p : passes)
        if (!p.owner.isNull())
            p.fn();
}

void XCmdUpdater::StartHeartbeat()
{
    // once: a functor connection cannot be made unique by Qt itself
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app && !m_bFocusConnected) {
        connect(app, &QApplication::focusChanged, this, [] { UpdateSoon(); });
        m_bFocusConnected = true;
    }
    m_heartbeat.start();
}

void XCmdUpdater::UpdateAction(QAction* action, XCmdTarget* target, bool bDisableUnhandled)
{
    const int id = action->data().toInt();
    if (id == 0 || action->isSeparator() || !target)
        return;
    XActionUI ui(action);
    target->OnCmdMsg(id, XCN_UPDATE, &ui);
    if (!ui.m_bEnableChanged && bDisableUnhandled)
        action->setEnabled(target->OnCmdMsg(id, XCN_COMMAND, nullptr, true));
}

void XCmdUpdater::UpdateMenu(QMenu* menu, XCmdTarget* target)
{
    for (QAction* a : menu->actions())
        UpdateAction(a, target);
}

void XCmdUpdater::ConnectMenu(QMenu* menu, XCmdTarget* target)
{
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, target] { UpdateMenu(menu, target); });
}
