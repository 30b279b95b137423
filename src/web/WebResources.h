#pragma once

#include "XService.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>
#include <QtGui/QImage>

class XSheetSource;

// The web client's files: the page sheets, the style sheet and the scripts are built into the
// program (resources/www, "<id>-<name>"); a file of the same name in the "www" folder beside
// the program overrides the built-in one. Safe on any thread.

// The built-in file of that name (ignoring case) with its quoted symbolic constants replaced
// by their numbers; empty for a name that is not built in.
QString GetWebResource(const QString& name);

// The MIME type of a file name by the extension after its last "." (the whole name without
// one), ignoring case; "application/octet-stream" when unknown.
QByteArray GetMimeType(const QString& name);

// The "www" folder beside the program (without a trailing separator).
QString GetWebFolder();

// The canonical path of the regular file in the www folder that a request path names, or
// empty. The path is relative, its parts separated by "/" or "\", and may be percent-encoded.
// Nothing outside the folder is ever named: "..", a leading separator, ":", NUL and other
// control characters, and what decodes to them, are refused, and the resolved path (links
// followed) must lie inside the folder.
QString ResolveWebFile(const QString& requestPath);

// The sheets of the web pages: the www folder's file when there is one (its symbols
// replaced, like the built-in files'), else the built-in one. Stamps follow the www files'
// modification times, so a changed sheet there is parsed anew.
const XSheetSource& WebSheets();

// The icon of a command for the image route: the application's icon map (tint 0xFFFFFF:
// the faded look), at 32 pixels when large; a null image when it has none. Installed by the
// program; without it, and for commands it has no icon for, the web's own named icons serve.
XHook<QImage(int id, QRgb tint, bool large)>& WebCommandIcons();

// A text file (sheet, script, style) of the www folder larger than this is not served.
inline constexpr qint64 kMaxWebTextBytes = 16 * 1024 * 1024;

// The largest RTF body a template upload may carry, and the most memory decoding an uploaded
// image may take (in MB).
inline constexpr qsizetype kMaxTemplateBytes = 4 * 1024 * 1024;
inline constexpr int kImageDecodeLimitMB = 64;
