#include "XCmdTarget.h"

#include "XCmdUpdater.h"

#include <QtCore/QCoreApplication>

namespace {
thread_local int g_currentCommand = 0;

const XMsgEntry* FindEntry(const XMessageMap* map, int id, int code)
{
    for (const XMsgEntry& e : map->entries)
        if (e.code == code && id >= e.first && id <= e.last)
            return &e;
    return nullptr;
}
} // namespace

const XMessageMap* XCmdTarget::GetThisMessageMap()
{
    static const XMessageMap map{nullptr, {}};
    return &map;
}

bool XCmdTarget::OnCmdMsg(int id, int code, XCmdUI* ui, bool probeOnly)
{
    for (const XMessageMap* map = GetMessageMap(); map; map = map->base ? map->base() : nullptr) {
        const XMsgEntry* e = FindEntry(map, id, code);
        if (!e)
            continue;
        if (probeOnly)
            return true;
        if (code == XCN_UPDATE) {
            if (!ui)
                return false;
            e->update(this, ui);
        } else {
            e->command(this, id);
        }
        return true;
    }
    return false;
}

bool XCmdTarget::HasOwnHandler(int id, int code) const { return FindEntry(GetMessageMap(), id, code) != nullptr; }

bool XCmdTarget::DispatchCommand(int id)
{
    bool handled = false;
    {
        XCommandScope scope(id);
        handled = OnCmdMsg(id, XCN_COMMAND, nullptr);
    }
    XCmdUpdater::UpdateSoon();
    return handled;
}

int XCurrentCommandId() { return g_currentCommand; }

XCommandScope::XCommandScope(int id) : m_previous(g_currentCommand) { g_currentCommand = id; }
XCommandScope::~XCommandScope() { g_currentCommand = m_previous; }

QEvent::Type XCommandEvent::EventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

XCommandEvent::XCommandEvent(int id, int message, qintptr wParam, qintptr lParam)
    : QEvent(EventType()), m_nID(id), m_nMessage(message), m_wParam(wParam), m_lParam(lParam)
{}

void XPostCommand(QObject* target, int id)
{
    if (target)
        QCoreApplication::postEvent(target, new XCommandEvent(id));
}

void XPostMessage(QObject* target, int message, qintptr wParam, qintptr lParam)
{
    if (target)
        QCoreApplication::postEvent(target, new XCommandEvent(0, message, wParam, lParam));
}
