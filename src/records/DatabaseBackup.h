#pragma once

#include <QtCore/QString>

struct sqlite3;

// Copies a live database with SQLite's online backup API into a temporary file beside the
// target, checks the copy (PRAGMA quick_check) and only then renames it over the target, so
// the target is either what it was before or a whole, checked copy. The folder is created
// when missing. False with the thread's database error text set; no temporary file is left.
bool BackupDatabaseHandle(sqlite3* source, const QString& target);

// The same from the database file, read through a private connection of its own, so the
// copy neither waits for nor disturbs the program's connections.
bool BackupDatabaseFile(const QString& source, const QString& target);

// Runs PRAGMA quick_check (or integrity_check with bFull) on a database file; true when
// it answers "ok". False with the thread's error text set.
bool CheckDatabaseFile(const QString& path, bool bFull = false);
