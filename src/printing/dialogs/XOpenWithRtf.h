#pragma once

#include "XService.h"

#include <QtCore/QString>
#include <QtCore/QStringList>

// How a saved template file is handed to the desktop: its own program for the file type, a
// word processor started with the file, or the file shown selected in its folder.
struct XRtfLaunch
{
    enum Kind { Desktop, Program, ShowInFolder, None } kind = None;
    QString program; // Program: the first that is installed is started
    QStringList alternatives;
    QStringList args;
};

// The launch the preference OpenWithRtf asks for: 0 the desktop's program, 1 and 3 the
// office suite's writer (3 falls back to a small word processor), 2 the WPS writer, 4 the
// folder; None for any other value.
XRtfLaunch RtfLaunchFor(int openWith, const QString& path);

// Runs a launch; false when nothing could be started. Tests install their own runner, so
// no program starts.
XHook<bool(const XRtfLaunch&)>& RtfLauncher();

// Opens the saved file as the preference says. When that cannot start, or the preference
// has no such value, it says "打开 “%s” 失败！" and shows the file in its folder instead.
void OpenWithRtf(QWidget* owner, int openWith, const QString& path, const QString& caption);
