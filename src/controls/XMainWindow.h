#pragma once

class QObject;

// Where commands and private messages meant for the application's main window are posted
// (WM_COMMAND from links, WM_XSHOWITEM). The application installs its frame; without one
// it is the first visible main window, or null. Tests install an object of their own.
QObject* XGetMainWindow();
// Installs the target (not owned; null for the default) and returns the previous one.
QObject* XSetMainWindow(QObject* target);
