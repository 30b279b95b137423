#pragma once

// The button row of the program's edits, shared by the single-line and the multi-line
// edit: the commands, their layout in the edit's right margin, the change rule that shows
// duplicate indicators and merge, and what a click does.
#include "CXCmd.h"
#include "XHistoryLogic.h"

#include <QtCore/QString>

#include <vector>

class QEvent;
class QWidget;
class XCmdRow;

// What the row needs of its edit, whichever kind it is.
class IXEdit
{
public:
    virtual ~IXEdit() = default;
    virtual QWidget* EditWidget() = 0;
    virtual QString EditText() const = 0;
    virtual void SetEditText(const QString& text) = 0;
    // Replaces the whole text as one undoable step.
    virtual void ReplaceAll(const QString& text) = 0;
    virtual bool IsEditReadOnly() const = 0;
    virtual bool IsMultiLine() const = 0;
    // The space the buttons take at the right.
    virtual void SetButtonMargin(int right) = 0;
};

class XEditButtons
{
public:
    explicit XEditButtons(IXEdit* edit);
    ~XEditButtons();
    XEditButtons(const XEditButtons&) = delete;
    XEditButtons& operator=(const XEditButtons&) = delete;

    CXCmd* AddCmd(int id, bool visible, bool isDefault = false, bool indicator = false);
    CXCmd* Cmd(int id) const;
    const std::vector<CXCmd*>& Cmds() const { return m_cmds; }
    // None while the edit is disabled or read-only.
    std::vector<CXCmd*> VisibleCmds() const;
    int FindDuplicate() const;
    void OnChange();
    void OnButton(int id);
    void RecalcLayout();
    // Focus: Latin-only edits (ES_OEMCONVERT) have no input method while focused; losing
    // the focus runs the change rule.
    void FocusChanged(bool gained);
    // Enabling and read-only changes show or hide the buttons.
    void StateChanged(const QEvent* e);
    // Enter in an edit that wants it with buttons: the default command goes to the dialog.
    bool HandleEnter();
    XCmdRow* Row() const { return m_row; }

    QString m_strTable;
    QString m_strColumn;

private:
    IXEdit* m_edit;
    std::vector<CXCmd*> m_cmds;
    XCmdRow* m_row;
};
