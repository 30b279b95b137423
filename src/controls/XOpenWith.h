#pragma once

#include "XService.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

class QWidget;

// Opens a file the program has just written, with the program the preferences name for
// spreadsheets (OpenWithXls): 0 the desktop's program for the file, 1 the office suite's
// spreadsheet, 2 the WPS spreadsheet, 3 the folder with the file selected. When starting
// fails, or for any other value, the user is told and the folder opens instead. UI thread.
bool OpenWrittenWorkbook(QWidget* owner, const QString& path);
bool OpenWrittenFile(QWidget* owner, const QString& path, int openWith);

// Starts a program without waiting for it; false when it could not be started. Tests
// install a recorder so that nothing is launched.
extern XHook<bool(const QString& program, const QStringList& args)> g_startDetached;
