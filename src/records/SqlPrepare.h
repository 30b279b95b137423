#pragma once

#include <QtCore/QString>

#include <map>

// Ordered map of texts a caller replaces in an SQL text before its comments are stripped:
// optional conditions the SQL resources keep inside comments ("/*AND StudentID=?*/").
using XSqlNameMap = std::map<QString, QString>;

// Replaces the quoted symbols ('MDU_STUDENT', 'OPER_ADD', 'ST_WARN', 'XIN' ...) by their
// numbers. Case-sensitive; anything else in quotes stays.
void ReplaceSqlSymbols(QString& text);

// The statement as it goes to the database: name map applied, comments stripped ("--" up to
// the end of the line, "/* */"), white space collapsed, symbols replaced, the first
// "[V_RECEIPT]" replaced by the receipt view, trimmed. Quoted literals stay untouched.
// User text must not be part of the text given here: it is bound as a parameter, or
// substituted into the prepared statement afterwards.
QString PrepareSql(const QString& text, const XSqlNameMap* names = nullptr);
