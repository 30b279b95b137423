#pragma once

#include <QtCore/QString>
#include <QtCore/QStringView>

struct sqlite3;

// The Jet behaviour the program's SQL texts were written against, on an SQLite connection:
// DATE() and NOW() as day numbers from the program's clock, LEN, INT, JLEFT, JRIGHT, MID,
// FORMATDATE(day, format) through the program's date formatter,
// the FIRST and LAST aggregates, and LIKE with Jet's patterns. Returns false when a
// function could not be registered.
bool RegisterJetFunctions(sqlite3* db);

// Jet's LIKE: "%" any run, "_" one character, "[abc]", "[a-z]" and "[!...]" classes, an
// optional escape character; case-insensitive for all of Unicode. An unclosed "[" is an
// invalid pattern: false, with *invalid set when given.
bool JetLikeMatch(QStringView pattern, QStringView text, char32_t escape = 0, bool* invalid = nullptr);

// What SQLite cannot parse, rewritten outside literals, quoted names and comments:
// LEFT( and RIGHT( become JLEFT( and JRIGHT(, the operator MOD becomes %, @@Identity
// becomes last_insert_rowid().
QString RewriteJetSql(const QString& sql);
