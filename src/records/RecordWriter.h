#pragma once

#include <QtCore/QString>

class CXDBSession;
class CXItem;

// Stores a record from its field table: numbers a new record, writes the columns the table
// has as parameters, its images and long texts, saves its child lines and removes the lines
// no longer there, and journals the change with its stamps. Without a session it connects
// and runs in a transaction of its own, rolled back completely on failure; with one, the
// caller's transaction decides. The earlier copy, when given, is the record as read before
// editing: the change description is computed against it and it receives the saved values.
// The user is the operator written into stamps and log rows. False after a reported failure.
bool SaveItem(CXDBSession* session, CXItem* item, CXItem* earlier, const CXItem& user);

// Deletes the record's row and its child rows and journals it (the title as memo). A record
// never stored succeeds untouched. Without a session it runs in a transaction of its own.
bool DeleteItem(CXDBSession* session, CXItem* item, const CXItem& user);

// Renames an input-history value everywhere: every row whose column holds the old text gets
// the new one. False after a reported failure ("更新历史记录").
bool ReplaceColumnValue(const QString& table, const QString& column, const QString& oldText, const QString& newText);
