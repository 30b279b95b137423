#pragma once

#include <QtCore/QEvent>
#include <QtCore/QString>

#include <vector>

class QObject;
class XCmdTarget;

// Notification codes of command-map entries: a command, or its update handler.
enum : int { XCN_COMMAND = 0, XCN_UPDATE = -1 };

// The state an update handler sets for one command id.
class XCmdUI
{
public:
    virtual ~XCmdUI() = default;
    virtual void Enable(bool on = true) { Q_UNUSED(on); }
    virtual void SetCheck(int state) { Q_UNUSED(state); }
    virtual void SetRadio(bool on = true) { Q_UNUSED(on); }
    virtual void SetText(const QString& text) { Q_UNUSED(text); }

    int m_nID = 0;
    bool m_bEnableChanged = false; // an update handler called Enable
};

// One entry of a command map: an id range, a code and the handler. Command handlers take
// the id (range entries need it), update handlers the update object.
struct XMsgEntry
{
    int code = XCN_COMMAND;
    int first = 0;
    int last = 0;
    void (*command)(XCmdTarget* target, int id) = nullptr;
    void (*update)(XCmdTarget* target, XCmdUI* ui) = nullptr;
};

// A class's own command map and the map of its base (null at the root).
struct XMessageMap
{
    const XMessageMap* (*base)();
    std::vector<XMsgEntry> entries;
};

// Anything commands are routed to: dialogs, lists, views, modules, frames. A class declares
// its own map with the macros below; a class without one uses its base's, which is what
// "the class's own map" means for HasOwnHandler.
class XCmdTarget
{
public:
    virtual ~XCmdTarget() = default;

    static const XMessageMap* GetThisMessageMap();
    virtual const XMessageMap* GetMessageMap() const { return GetThisMessageMap(); }

    // Routes a command (XCN_COMMAND) or an update (XCN_UPDATE, with ui) through the map
    // chain, derived first; probeOnly answers whether a handler exists without running it.
    // Routing chains of derived classes override this.
    virtual bool OnCmdMsg(int id, int code, XCmdUI* ui, bool probeOnly = false);

    // A handler for the id and code in the nearest declared map only, not its bases'.
    bool HasOwnHandler(int id, int code) const;

    // Runs a command through OnCmdMsg, with the id as the current command while it runs,
    // and asks for an update soon afterwards.
    bool DispatchCommand(int id);
};

// The id of the command being handled on this thread (0 when none).
int XCurrentCommandId();

// Marks the command being handled for the life of the object.
class XCommandScope
{
public:
    explicit XCommandScope(int id);
    ~XCommandScope();
    XCommandScope(const XCommandScope&) = delete;
    XCommandScope& operator=(const XCommandScope&) = delete;

private:
    int m_previous;
};

// A command or message posted to a widget: queued, first in first out. Widgets that take
// them (dialogs, frames) handle XCommandEvent in event().
class XCommandEvent : public QEvent
{
public:
    static QEvent::Type EventType();
    XCommandEvent(int id, int message = 0, qintptr wParam = 0, qintptr lParam = 0);
    int m_nID;      // command id, 0 for a plain message
    int m_nMessage; // private message number (WM_XSHOWITEM, ...), 0 for a command
    qintptr m_wParam;
    qintptr m_lParam;
};

void XPostCommand(QObject* target, int id);
void XPostMessage(QObject* target, int message, qintptr wParam, qintptr lParam);

// Private messages to the main frame.
enum : int { WM_XSHOWITEM = 0x80C2, WM_XSTATUSBAR = 0x80C3 };

// Command maps:
//   class CDlgX : public CXDialogEx { ... X_DECLARE_MESSAGE_MAP() };
//   X_BEGIN_MESSAGE_MAP(CDlgX, CXDialogEx)
//       X_ON_COMMAND(IDC_BROWSE, OnBrowse)
//       X_ON_UPDATE_COMMAND_UI(IDC_NAME, OnUpdateName)
//   X_END_MESSAGE_MAP()
#define X_DECLARE_MESSAGE_MAP()                                                                                        \
public:                                                                                                                \
    static const XMessageMap* GetThisMessageMap();                                                                     \
    const XMessageMap* GetMessageMap() const override { return GetThisMessageMap(); }

#define X_BEGIN_MESSAGE_MAP(Class, Base)                                                                               \
    const XMessageMap* Class::GetThisMessageMap()                                                                      \
    {                                                                                                                  \
        using ThisClass = Class;                                                                                       \
        static const XMessageMap map                                                                                   \
        {                                                                                                              \
            &Base::GetThisMessageMap,                                                                                  \
            {

#define X_ON_COMMAND(id, fn)                                                                                           \
    XMsgEntry{XCN_COMMAND, (id), (id), [](XCmdTarget* t, int) { static_cast<ThisClass*>(t)->fn(); }, nullptr},
#define X_ON_COMMAND_RANGE(first, last, fn)                                                                            \
    XMsgEntry{XCN_COMMAND, (first), (last), [](XCmdTarget* t, int i) { static_cast<ThisClass*>(t)->fn(i); }, nullptr},
#define X_ON_UPDATE_COMMAND_UI(id, fn)                                                                                 \
    XMsgEntry{XCN_UPDATE, (id), (id), nullptr, [](XCmdTarget* t, XCmdUI* ui) { static_cast<ThisClass*>(t)->fn(ui); }},
#define X_ON_UPDATE_COMMAND_UI_RANGE(first, last, fn)                                                                  \
    XMsgEntry{XCN_UPDATE, (first), (last), nullptr,                                                                    \
              [](XCmdTarget* t, XCmdUI* ui) { static_cast<ThisClass*>(t)->fn(ui); }},

#define X_END_MESSAGE_MAP()                                                                                            \
    }                                                                                                                  \
    }                                                                                                                  \
    ;                                                                                                                  \
    return &map;                                                                                                       \
    }
