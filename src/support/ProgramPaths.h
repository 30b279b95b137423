#pragma once

#include <QtCore/QChar>
#include <QtCore/QString>

// The program's own file and folder. The program file is "lorvan" in its folder; when the
// environment variable LORVAN_HOME names a folder, that folder stands in for the program's
// folder (the database, Temp, backup, www and the version document all hang off it).
//
// A backslash in a cut character or a suffix means the path separator, so callers keep
// writing GetExePath('\\', "\\Lorvan.mdb").

// The program file's full path; with a cut character, cut before its last occurrence in the
// file name (a "." never cuts inside a folder name); then the suffix appended.
QString GetExePath(QChar cut = QChar(0), const QString& suffix = QString());

// The program's folder without a trailing separator.
QString GetExeFolder();

// An absolute path inside the program's folder, or at most two levels above it, given
// relative to the folder; any other path unchanged.
QString ToExeRelativePath(const QString& path);

// A relative path joined to the program's folder ("." and ".." resolved); an absolute
// path unchanged.
QString ToExeAbsolutePath(const QString& path);

// Creates the folder of a path (the last component counts as a file name when it holds a
// "."), with every missing folder above it; true when the folder exists afterwards.
bool CreateDirectoryPath(const QString& path);

// The system's text of the calling thread's last error (errno) followed by "(0x%X)".
QString GetLastErrorText();
QString GetErrorText(int error);
