#include "XCommandActions.h"

#include "Resources.h"
#include "XAppServices.h"
#include "XCmdTarget.h"
#include "XCmdUpdater.h"

#include <QtGui/QAction>

XCommandActions::XCommandActions(XCmdTarget* target, QObject* owner) : QObject(owner), m_target(target)
{
    XCmdUpdater::Instance().Register(this, [this] { Update(); });
}

QAction* XCommandActions::Find(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QAction* XCommandActions::Action(int id)
{
    if (id == 0)
        return nullptr;
    if (QAction* a = Find(id))
        return a;
    auto* a = new QAction(this);
    a->setData(id);
    a->setText(LoadCommandText(id, true));
    const QString name = LoadCommandText(id);
    const QString prompt = LoadCommandPrompt(id);
    a->setToolTip(prompt.isEmpty() || prompt == name ? name : name + QLatin1Char('\n') + prompt);
    QIcon icon;
    for (bool large : {false, true}) {
        const QIcon one = AppServices().CommandIcon(id, 0, large);
        for (const QSize& size : one.availableSizes())
            icon.addPixmap(one.pixmap(size));
    }
    a->setIcon(icon);
    connect(a, &QAction::triggered, this, [this, id] { m_target->DispatchCommand(id); });
    m_actions.emplace(id, a);
    return a;
}

void XCommandActions::Update()
{
    for (const auto& [id, action] : m_actions)
        XCmdUpdater::UpdateAction(action, m_target);
}
