#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

// Code pages as the program names them: 65001 UTF-8, 0 the "ANSI" page, which is 936 (GBK)
// here as on the Chinese systems the data comes from; others by their iconv name "CP<n>".
inline constexpr int CP_ACP = 0;
inline constexpr int CP_UTF8 = 65001;

// Bytes up to the first zero byte, decoded. Invalid sequences become U+FFFD; empty input or
// an unknown code page gives an empty text.
QString ToWide(const QByteArray& bytes, int codePage);

// Text up to the first zero character, encoded. A character the code page cannot hold
// becomes "?"; empty input or an unknown code page gives empty bytes.
QByteArray ToMultiByte(const QString& text, int codePage);
