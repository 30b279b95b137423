#pragma once

#include <QtCore/QString>

#include <cstdint>
#include <vector>

class CHeads;
class CXDBSession;

// The version text stored in the settings: "a.b.c.d" of the program's own version.
QString GetProgramVersionText();

// Creates the database file from the schema when it is missing: readable by its owner only,
// stamped with the program's version. True when the file exists afterwards; an existing file
// is not touched. On failure the reason is the thread's database error text.
bool CreateDatabase(const QString& path);

// Opens the shared connection at start-up and brings the database up to the program's
// version: upgrade script (with a backup first), old change texts, writable columns of
// every module's field tables, the start rows of the log, the stored version. False when
// the program cannot run on the database; the reason has been shown. A database newer than
// the program is refused, never stamped down.
bool OpenDatabase();
// The same with an upgrade script of the caller's.
bool OpenDatabaseWithScript(const QString& script);

// One statement of the upgrade script: "<section version> <comment>" and the prepared SQL.
struct XUpgradeTask
{
    QString text;
    QString sql;
};
// The statements of the sections newer than the stored version, in script order.
std::vector<XUpgradeTask> ScanUpgradeScript(const QString& script, std::uint32_t storedVersion);

// Copies the open database into a file with SQLite's backup API (a file copy of a live WAL
// database can be torn). False with the thread's error text set.
bool BackupDatabase(CXDBSession& session, const QString& target);

// Marks the fields whose column exists in the table (PRAGMA table_info), for every
// registered module's field table and its child tables, and for the operation log's table.
// False after a reported failure.
bool MarkWritableColumns(CXDBSession& session);
bool MarkWritableColumns(CXDBSession& session, CHeads& heads);
