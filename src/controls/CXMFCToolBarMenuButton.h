#pragma once

#include <QtWidgets/QToolButton>

class QMenu;
class XCmdTarget;

// A toolbar button with a drop-down menu inside a dialog: before the menu shows, its entries
// take the enabled and checked states the dialog's update handlers give them. Entries without
// an update handler are left as they are, not disabled.
class CXMFCToolBarMenuButton : public QToolButton
{
    Q_OBJECT
public:
    explicit CXMFCToolBarMenuButton(QWidget* parent = nullptr);

    void SetDropDownMenu(QMenu* menu);
    // The update pass of a menu against a target, as the button runs it.
    static void UpdateMenu(QMenu* menu, XCmdTarget* target);

private:
    XCmdTarget* ParentTarget() const;
};
