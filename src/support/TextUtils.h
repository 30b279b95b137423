#pragma once

#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include "XDateTime.h"

class QWidget;

// The items with the separator between them. With tidy, every doubled separator is then
// replaced once by a single one and the separator's characters are stripped from both ends,
// so empty items leave no trace ("a", "", "b" -> "a,b").
QString JoinStrings(const QStringList& items, const QString& separator, bool tidy = false);

// The decimal forms of the numbers with the separator between them.
QString JoinInts(const QList<int>& items, const QString& separator = QStringLiteral(","));

// Splits a text (trimmed first; blank gives 0 items) at each separator. With the separator
// "," it reads CSV: separators inside double quotes do not split, and a quoted item loses
// its quotes with doubled quotes made single. An unclosed quote makes the rest of the text
// one item. Returns the number of items.
int SplitStrings(const QString& text, QStringList& items, const QString& separator = QStringLiteral(","));

// The C library's decimal reading: leading blanks, a sign, digits up to the first other
// character; nothing readable gives 0; out of range is clamped.
int ReadLeadingInt(const QString& text);

// SplitStrings, then each item read as a decimal integer (anything unreadable gives 0).
int SplitInts(const QString& text, QList<int>& items, const QString& separator = QStringLiteral(","));

// The text made safe to stand between quotes after LIKE: quotes doubled and the pattern
// characters bracketed ("50%_[a]" -> "50[%][_][[]a]").
QString EscapeLikePattern(const QString& text);

// Super- and subscript digits and signs to ASCII and back (units such as m², formulas).
QString SupSubToAscii(const QString& text);
QString AsciiToSupSub(const QString& text, bool superscript);
// 1 for a superscript character, -1 for a subscript one, 0 otherwise.
int GetSupSubKind(QChar c);

// A text cleaned for one-line display: trimmed; with oneLine, CR, LF and TAB become blanks
// and doubled blanks are halved (one pass); full-width letters, digits and @&$￥#*% become
// half-width; longer than maxLength (-1 = no limit), cut to maxLength - 5 and " ...".
QString SimplifyText(const QString& text, int maxLength = -1, bool oneLine = false);

// An amount in Chinese capital numerals, as printed on receipts ("壹仟零伍元伍角"). The fen
// are rounded to the nearest one; 16 or more digits of fen give "值超范围".
QString FormatMoneyUpper(double amount);

// At most one decimal: "%1.1f" without trailing zeros and dot (12.0 -> "12", -0.04 -> "0").
QString FormatOneDecimal(double value);

// The first day on or after date (backward: the last day on or before it) with the weekday
// of weekdayDate; the time of day is dropped. Either date 0 returns date unchanged.
XDateTime AlignToWeekday(const XDateTime& date, const XDateTime& weekdayDate, bool backward);

// Puts the text on the clipboard and confirms it in a message box; false for an empty text.
bool CopyToClipboard(QWidget* owner, const QString& text);

// Thousands separators in the integer part of a number text: "-4321.05" -> "-4,321.05".
QString AddThousandsSeparators(const QString& number);
