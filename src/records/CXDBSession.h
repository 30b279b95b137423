#pragma once

#include <QtCore/QString>

#include <memory>

struct sqlite3;
class XDeferredReports;

// The database file: "Lorvan.mdb" in the program's folder (an SQLite file; the name stays).
QString GetConnectionString();

// One open SQLite connection, set up the way every statement of the program expects it:
// WAL journal, a busy timeout, and the Jet-style functions registered.
class XDBConnection
{
public:
    XDBConnection() = default;
    XDBConnection(const XDBConnection&) = delete;
    XDBConnection& operator=(const XDBConnection&) = delete;
    ~XDBConnection();

    // Opens an existing file (never creates one). False with the thread's error text set.
    bool Open(const QString& path);
    sqlite3* Handle() const { return m_db; }
    const QString& Path() const { return m_path; }

    // While a transaction of this connection is open, the thread's database reports wait:
    // a report may become a log row on another connection, which would wait for this
    // connection's write lock and be lost. They are given on when the transaction ends.
    void HoldReports(bool hold);

private:
    sqlite3* m_db = nullptr;
    QString m_path;
    std::unique_ptr<XDeferredReports> m_heldReports;
};

// A handle to the connection an operation works on. The UI thread always gets the one
// shared connection (opened on first use, retried silently at the next connect). Every other
// thread keeps a connection of its own (opened on first use, closed when the thread ends)
// that it lends to one handle and its copies at a time; a handle connected while it is lent
// gets a private connection that lives as long as the handles that copy it. A transaction
// a handle leaves open is rolled back when its last copy goes.
class CXDBSession
{
public:
    CXDBSession() = default;

    // Fills the handle for the calling thread. A private connection that cannot be opened
    // is reported ("连接数据库") and leaves the handle not connected.
    void Connect();
    // Opens a private connection to a file of the caller's choosing (backups, tests).
    bool Open(const QString& path);
    bool IsConnected() const { return m_conn && m_conn->Handle(); }
    sqlite3* Handle() const { return m_conn ? m_conn->Handle() : nullptr; }
    QString GetPath() const { return m_conn ? m_conn->Path() : QString(); }

    // Writers take the write lock at the start (BEGIN IMMEDIATE), so two transactions never
    // both read and then both wait to write. Failures set the thread's error text.
    bool BeginTransaction();
    bool Commit();
    bool Abort();
    bool InTransaction() const;

    // Runs statements that return no rows (after the Jet rewrite); false on the first error.
    bool ExecuteSql(const QString& sql);

    // The shared connection of the UI thread, or null when it is not open.
    static CXDBSession Shared();
    // Drops the shared connection (at exit, after the other threads stopped; tests between
    // databases). Handles that still hold it keep it open until they go.
    static void CloseShared();

private:
    std::shared_ptr<XDBConnection> m_conn;
};

// The provider's text of the calling thread's last database error: SQLite's message and
// " (0x%X)" with the extended result code; empty when there was none.
QString GetOleDbErrorText();
// Sets the thread's error text from a connection's last error (or clears it for null).
void SetDbErrorFrom(sqlite3* db);
void SetDbErrorText(const QString& text);
