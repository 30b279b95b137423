#pragma once

#include <QtCore/QString>

// The one definition of "white space" for trimming user and file text: ASCII blanks and
// control white space, the no-break space and the ideographic (full-width) space that
// Chinese input methods produce.
bool IsWhiteChar(QChar c);

// Text without white space (as above) at both ends.
QString TrimWhite(const QString& text);
QString TrimWhiteLeft(const QString& text);
QString TrimWhiteRight(const QString& text);

// Case-insensitive comparison used wherever names and keys are matched the way the
// database matches them: simple case folding, no locale.
int CompareNoCase(QStringView a, QStringView b);
bool EqualsNoCase(QStringView a, QStringView b);
