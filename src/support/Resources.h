#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtCore/QStringList>

// Resource types as the program names them.
inline constexpr const char* RT_SQL = "SQL";
inline constexpr const char* RT_CSV = "CSV";
inline constexpr const char* RT_HTML = "HTML";
inline constexpr const char* RT_RTF = "RTF";
inline constexpr const char* RT_PNG = "PNG";
inline constexpr const char* RT_XML = "XML";

// The compiled-in resource path of a numeric resource of a type: a file of the type's
// folder (the type in lower case) whose name is the id, optionally followed by "-" or "."
// and more (":/sql/431-students.sql"). Empty when there is none.
QString ResourcePath(int id, const char* type);

// The "TYPE:id" a compiled-in path is found by (":/sql/431-students.sql" -> "SQL:431");
// empty for a path that is not a numbered resource.
QString NumberedResourceKey(const QString& path);

// The ids claimed twice within one type: "TYPE:id first-path other-path" for every file
// beyond the first (the first in path order is the one loaded), and "STRING:id" for a
// string-table id with two texts. Empty when every id has one resource.
QStringList DuplicateResourceIds();

// The resource's bytes up to the first zero byte; empty for id 0 or a missing resource.
QByteArray LoadResourceBytes(int id, const char* type);

// The resource decoded in a code page (65001 for SQL and HTML; CSV resources are stored as
// UTF-8 here, so reading them in 65001 gives what decoding the ANSI page gave).
QString LoadResourceText(int id, const char* type, int codePage);

// A compiled-in file by its path (":/www/...").
QByteArray LoadResourceFile(const QString& path);

// The string-table text of an id ("prompt\nname"); empty when missing.
QString LoadStringText(int id);

// A command's display name: the second line of its string-table text (the whole text when
// it has one line); unless keepAccelerator, "(&X)" and trailing dots and blanks removed.
QString LoadCommandText(int id, bool keepAccelerator = false);

// The display-name rule of LoadCommandText applied to a string-table text.
QString ExtractCommandText(QString text, bool keepAccelerator);

// A command's prompt: the first line of its text; -1 gives an empty text.
QString LoadCommandPrompt(int id);
