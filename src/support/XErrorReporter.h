#pragma once

#include <QtCore/QString>

#include <functional>

// One failure as the user or the operation log sees it: what was being done, the statement
// or operation, and the system's message.
struct XErrorReport
{
    QString task;
    QString detail;
    QString message;
};

using XErrorSink = std::function<void(const XErrorReport&)>;

// Replaces the sink every report goes to and returns the one it replaces. The application
// installs one that shows a dialog on the UI thread and writes a log row elsewhere; tests
// install a capture. With no sink the report goes to Qt's warning output.
XErrorSink SetErrorSink(XErrorSink sink);

// Reports once. A report raised while the same thread is already reporting (the log row of
// an error failing in turn) is dropped, so reports never chain.
void ReportError(const QString& task, const QString& detail, const QString& message);
