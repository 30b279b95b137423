#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

// Code pages as the program names them: 65001 UTF-8, 0 the "ANSI" page, which is 936 (GBK)
// here as on the Chinese systems the data comes from; others by their iconv name "CP<n>".
inline constexpr int CP_ACP = 0;
inline constexpr int CP_UTF8 = 65001;

// The iconv name of a code page ("GBK" for 0 and 936, "ISO-8859-1" for 28591, otherwise
// mostly "CP<n>"); iconv_open fails for pages it does not know.
QByteArray CodePageIconvName(int codePage);

// Conversions through iconv of exactly the given units, zeros included. Decoding turns an
// invalid sequence into U+FFFD; encoding writes "?" for a character the page cannot hold and
// then sets *lost. Both give an empty result for a page iconv does not know.
QString DecodeCodePage(const char* bytes, qsizetype size, int codePage);
QByteArray EncodeCodePage(const char16_t* units, qsizetype count, int codePage, bool* lost = nullptr);

// Bytes up to the first zero byte, decoded. Invalid sequences become U+FFFD; empty input or
// an unknown code page gives an empty text.
QString ToWide(const QByteArray& bytes, int codePage);

// Text up to the first zero character, encoded. A character the code page cannot hold
// becomes "?"; empty input or an unknown code page gives empty bytes.
QByteArray ToMultiByte(const QString& text, int codePage);
