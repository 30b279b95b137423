#pragma once

class QEvent;
class QWidget;

// The program's controls and dialogs implement this to follow their read-only mark.
class IXReadOnly
{
public:
    virtual ~IXReadOnly() = default;
    virtual void OnReadOnlyChanged(bool readOnly) = 0;
};

// The read-only mark of any window, the one read-only state every control consults. A
// marked control ignores input and shows its value as plain text. Plain edits are set
// read-only themselves; the program's controls are told through IXReadOnly.
void SetWndReadOnly(QWidget* w, bool readOnly);
bool IsWndReadOnly(const QWidget* w);
// True for the input a read-only marked control swallows: keys and mouse buttons. Controls
// test their own events with it, or the events of the inner widget that takes their input.
bool IsReadOnlyInput(const QWidget* control, const QEvent* e);
