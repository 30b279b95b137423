#pragma once

#include "XCmdTarget.h"

#include <QtCore/QRect>
#include <QtCore/QString>

// The command object of a control's button row and of a dialog's update pass. Update
// handlers can only enable it or set its text: check and radio states do nothing.
class CXCmd : public XCmdUI
{
public:
    explicit CXCmd(int id = 0, bool bShown = true, bool bInMenu = false, bool bDefault = false);

    void Enable(bool on = true) override;
    void SetText(const QString& text) override { m_strText = text; }

    // Routes the update of the id through the target; a command without an update handler
    // keeps its state (no automatic disabling).
    void DoUpdate(XCmdTarget* target);

    bool m_bDefault = false;    // run on Enter in an edit, on a double-click in a list
    bool m_bShown = true;       // drawn as a button of the row
    bool m_bInMenu = false;     // entry of the control's context menu
    bool m_bTextButton = false; // draws its text instead of an icon
    bool m_bRight = false;      // right-aligned
    bool m_bIndicator = false;  // shown, no hover, no click
    bool m_bPressed = false;
    bool m_bHot = false;
    bool m_bTracking = false;
    QRect m_rc;
    bool m_bEnabled = true;
    QString m_strText;
};
