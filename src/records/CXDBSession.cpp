#include "CXDBSession.h"

#include "FormatString.h"
#include "JetFunctions.h"
#include "OperLog.h"
#include "ProgramPaths.h"
#include "XThread.h"

#include <sqlite3.h>

#include <atomic>
#include <mutex>

namespace {

// Long enough for a writer to wait out any other writer's transaction, short enough that a
// stuck lock ends in an error the user sees.
constexpr int kBusyTimeoutMs = 10000;

thread_local QString t_lastError;

std::mutex g_sharedMutex; // only guards the pointer: the connection itself is the UI thread's
std::shared_ptr<XDBConnection> g_shared;
// Raised when the shared connection is dropped, so that the threads' own connections to a
// file the program has left are not handed out again either.
std::atomic<int> g_generation{0};

// The connection a thread other than the UI thread keeps for its operations: opening one
// (file, WAL, function registration) costs far more than a save. It is lent to one handle
// (and the handle's copies) at a time; a handle asked for while it is lent gets a private
// connection, as every handle did before, so that nested operations never share a
// transaction. It closes when the thread ends.
struct XThreadConnection
{
    std::shared_ptr<XDBConnection> conn;
    std::weak_ptr<XDBConnection> lent;
    QString path;
    int generation = 0;
};
thread_local XThreadConnection t_own;

// A handle to the thread's connection; when the last copy goes, a transaction it left open
// is rolled back (as closing a private connection would) and the held reports are given
// on. A connection that still has statements of the handle's time is not lent again.
std::shared_ptr<XDBConnection> LendThreadConnection(const QString& path)
{
    XThreadConnection& own = t_own;
    const int generation = g_generation.load();
    if (!own.lent.expired())
        return nullptr;
    if (!own.conn || own.path != path || own.generation != generation) {
        own.conn.reset();
        auto conn = std::make_shared<XDBConnection>();
        if (!conn->Open(path))
            return nullptr;
        own.conn = std::move(conn);
        own.path = path;
        own.generation = generation;
    }
    std::shared_ptr<XDBConnection> keep = own.conn;
    XDBConnection* raw = keep.get();
    std::shared_ptr<XDBConnection> lease(raw, [keep = std::move(keep)](XDBConnection* c) mutable {
        sqlite3* db = c->Handle();
        if (db && !sqlite3_get_autocommit(db))
            sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
        c->HoldReports(false);
        if (db && sqlite3_next_stmt(db, nullptr) && t_own.conn == keep)
            t_own.conn.reset();
    });
    own.lent = lease;
    return lease;
}

bool Exec(sqlite3* db, const char* sql)
{
    if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK)
        return true;
    SetDbErrorFrom(db);
    return false;
}

} // namespace

QString GetConnectionString() { return GetExePath(u'\\', QStringLiteral("\\Lorvan.mdb")); }

QString GetOleDbErrorText() { return t_lastError; }

void SetDbErrorText(const QString& text) { t_lastError = text; }

void SetDbErrorFrom(sqlite3* db)
{
    if (!db) {
        t_lastError.clear();
        return;
    }
    t_lastError = FormatString(u"%s (0x%X)", QString::fromUtf8(sqlite3_errmsg(db)),
                               static_cast<unsigned>(sqlite3_extended_errcode(db)));
}

// ---------------------------------------------------------------------------------------
// XDBConnection

XDBConnection::~XDBConnection()
{
    if (m_db)
        sqlite3_close_v2(m_db);
}

bool XDBConnection::Open(const QString& path)
{
    m_path = path;
    const QByteArray file = path.toUtf8();
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        if (db) {
            SetDbErrorFrom(db);
            sqlite3_close_v2(db);
        } else {
            SetDbErrorText(
                FormatString(u"%s (0x%X)", QString::fromUtf8(sqlite3_errstr(rc)), static_cast<unsigned>(rc)));
        }
        return false;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // The journal mode is read back: a file that cannot switch to WAL would otherwise fail
    // later under concurrent writers with no hint why.
    sqlite3_stmt* st = nullptr;
    bool wal = false;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode=WAL", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW) {
        const auto* mode = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        wal = mode && sqlite3_stricmp(mode, "wal") == 0;
    }
    if (!wal)
        SetDbErrorFrom(db);
    sqlite3_finalize(st);
    if (!wal || !Exec(db, "PRAGMA foreign_keys=OFF") || !RegisterJetFunctions(db)) {
        if (wal)
            SetDbErrorFrom(db);
        sqlite3_close_v2(db);
        return false;
    }
    m_db = db;
    return true;
}

// ---------------------------------------------------------------------------------------
// CXDBSession

void CXDBSession::Connect()
{
    const QString path = GetConnectionString();
    if (IsUiThread()) {
        std::lock_guard lock(g_sharedMutex);
        if (!g_shared) {
            auto conn = std::make_shared<XDBConnection>();
            if (conn->Open(path))
                g_shared = std::move(conn);
        }
        m_conn = g_shared;
        return;
    }
    if (auto lent = LendThreadConnection(path)) {
        m_conn = std::move(lent);
        return;
    }
    auto conn = std::make_shared<XDBConnection>();
    if (conn->Open(path)) {
        m_conn = std::move(conn);
        return;
    }
    m_conn.reset();
    ReportDbError(QStringLiteral("连接数据库"), nullptr, QString());
}

bool CXDBSession::Open(const QString& path)
{
    auto conn = std::make_shared<XDBConnection>();
    if (!conn->Open(path)) {
        m_conn.reset();
        return false;
    }
    m_conn = std::move(conn);
    return true;
}

CXDBSession CXDBSession::Shared()
{
    CXDBSession s;
    std::lock_guard lock(g_sharedMutex);
    s.m_conn = g_shared;
    return s;
}

void XDBConnection::HoldReports(bool hold)
{
    if (hold && !m_heldReports)
        m_heldReports = std::make_unique<XDeferredReports>();
    else if (!hold)
        m_heldReports.reset();
}

void CXDBSession::CloseShared()
{
    std::shared_ptr<XDBConnection> old;
    std::lock_guard lock(g_sharedMutex);
    old.swap(g_shared);
    ++g_generation;
}

bool CXDBSession::BeginTransaction()
{
    if (!IsConnected()) {
        SetDbErrorText(QStringLiteral("没有连接数据库"));
        return false;
    }
    if (!Exec(Handle(), "BEGIN IMMEDIATE"))
        return false;
    m_conn->HoldReports(true);
    return true;
}

bool CXDBSession::Commit()
{
    if (!IsConnected())
        return false;
    const bool ok = Exec(Handle(), "COMMIT");
    if (ok || sqlite3_get_autocommit(Handle()))
        m_conn->HoldReports(false);
    return ok;
}

bool CXDBSession::Abort()
{
    if (!IsConnected())
        return false;
    // A statement error may already have rolled the transaction back.
    const bool ok = sqlite3_get_autocommit(Handle()) || Exec(Handle(), "ROLLBACK");
    m_conn->HoldReports(false);
    return ok;
}

bool CXDBSession::InTransaction() const { return IsConnected() && !sqlite3_get_autocommit(Handle()); }

bool CXDBSession::ExecuteSql(const QString& sql)
{
    if (!IsConnected()) {
        SetDbErrorText(QStringLiteral("没有连接数据库"));
        return false;
    }
    return Exec(Handle(), RewriteJetSql(sql).toUtf8().constData());
}
