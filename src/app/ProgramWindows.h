#pragma once

#include <QtCore/QtGlobal>

class QWidget;

// What one top-level window does with a request from a later start: a visible dialog
// (the login window, or a modal dialog over the main window) comes forward, keeping a
// maximised state; any other window, or another data word, leaves it untouched (false).
// Window managers may still refuse to hand over the focus.
bool HandleActivateRequest(QWidget* window, quint32 dataWord);

// Hands a request to every top-level window of the program. When no dialog came forward,
// the visible main window does, so a second start always shows the running program.
void ActivateProgramWindows(quint32 dataWord);

// Closes one top-level window unless it is the one to keep, trying in turn: Escape, then
// cancelling a dialog (print previews are dialogs too), then closing it; each step only
// while the window is still open.
void CloseProgramWindowProc(QWidget* window, QWidget* keep);

// CloseProgramWindowProc over every top-level window of the program.
void CloseProgramWindows(QWidget* keep);
