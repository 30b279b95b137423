#include "CXDBSession.h"

#include "FormatString.h"
#include "JetFunctions.h"
#include "OperLog.h"
#include "ProgramPaths.h"
#include "XThread.h"

#include <sqlite3.h>

#include <mutex>

namespace {

// Long enough for a writer to wait out any other writer's transaction, short enough that a
// stuck lock ends in an error the user sees.
constexpr int kBusyTimeoutMs = 10000;

thread_local QString t_lastError;

std::mutex g_sharedMutex; // only guards the pointer: the connection itself is the UI thread's
std::shared_ptr<XDBConnection> g_shared;

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
            SetDbErrorText(FormatString(u"%s (0x%X)", QString::fromUtf8(sqlite3_errstr(rc)), static_cast<unsigned>(rc)));
        }
        return false;
    }
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // The journal mode is read back: a file that cannot switch to WAL would otherwise fail
    // later under concurrent writers with no hint why.
    sqlite3_stmt* st = nullptr;
    bool wal = false;
    if (sqlite3_prepare_v2(db, "PRAGMA journal_mode=WAL", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
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
