#pragma once

#include "Version.h"
#include "XService.h"

#include <QtCore/QString>

#include <cstdint>

// The version document: root "r"; "files" carries "lastversion" and "date" and lists the
// installation's "file" elements; "logs" holds "log" elements ("version", "date") whose
// "list" children are the release notes. The program carries one (resource 459), publishes
// it beside its file and learns about newer versions from the same kind of document on the
// update server.

// The built-in document with "lastversion" set to the own version and "date" to the build
// date ("%Y年%#m月%#d日"); empty when the built-in text does not parse.
QString BuiltInVersionXml();

// Writes the built-in document to the program's path with ".xml" appended ("lorvan.xml");
// false when it could not be written.
bool WriteVersionDocument();

// The packed "lastversion" of a document's "files" element; 0 when there is none.
std::uint32_t ReadDocumentVersion(const QString& xml);

// The release notes of a document: per "log", "版本：%s 更新日期：%s" followed by its numbered
// "list" lines, entries separated by an empty line.
QString FormatReleaseNotes(const QString& xml);

// The latest version document known: the newer one fetched from the update server, else
// the built-in one. The cache is guarded by the application's mutex.
QString GetLatestVersionXml();
// Its version, never below the program's own.
std::uint32_t GetLatestVersion();
// Stores a fetched newer document and tells the main window (the status bar's version pane).
void SetLatestVersionXml(const QString& xml);
// Whether the update server is known to have a newer version.
inline bool IsNewerVersionKnown() { return GetLatestVersion() > GetOwnFileVersion(); }

// Called after SetLatestVersionXml stored a document; the program posts the status-bar
// refresh to its main window here. Any thread.
XHook<void()>& LatestVersionChangedHook();
