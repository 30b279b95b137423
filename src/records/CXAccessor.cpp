#include "CXAccessor.h"

#include "CXDBSession.h"
#include "JetFunctions.h"

#include <sqlite3.h>

CXAccessor::~CXAccessor()
{
    if (m_stmt)
        sqlite3_finalize(m_stmt);
}

void CXAccessor::SetParamType(int index, int type) { m_paramTypes[index] = type; }

bool CXAccessor::Prepare(CXDBSession& session, const QString& sql)
{
    if (m_stmt) {
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
    }
    m_strSql = sql;
    m_names.clear();
    m_bRow = m_bPending = m_bFailed = false;
    if (!session.IsConnected()) {
        SetDbErrorText(QStringLiteral("没有连接数据库"));
        m_bFailed = true;
        return false;
    }
    const QString text = RewriteJetSql(sql);
    if (sqlite3_prepare16_v2(session.Handle(), text.utf16(), -1, &m_stmt, nullptr) != SQLITE_OK || !m_stmt) {
        SetDbErrorFrom(session.Handle());
        if (m_stmt) {
            sqlite3_finalize(m_stmt);
            m_stmt = nullptr;
        }
        m_bFailed = true;
        return false;
    }
    return true;
}

bool CXAccessor::Open(CXDBSession& session, const QString& sql) { return Prepare(session, sql) && Execute(); }

bool CXAccessor::SetParamInt(int ordinal, int value)
{
    if (!m_stmt || ordinal < 1 || ordinal > sqlite3_bind_parameter_count(m_stmt))
        return false;
    const auto it = m_paramTypes.find(ordinal - 1);
    if (it != m_paramTypes.end() && (it->second == DBTYPE_R8 || it->second == DBTYPE_DATE))
        return sqlite3_bind_double(m_stmt, ordinal, value) == SQLITE_OK;
    return sqlite3_bind_int(m_stmt, ordinal, value) == SQLITE_OK;
}

bool CXAccessor::SetParamDouble(int ordinal, double value)
{
    if (!m_stmt || ordinal < 1 || ordinal > sqlite3_bind_parameter_count(m_stmt))
        return false;
    const auto it = m_paramTypes.find(ordinal - 1);
    if (it != m_paramTypes.end() && it->second == DBTYPE_I4)
        return sqlite3_bind_int(m_stmt, ordinal, static_cast<int>(value)) == SQLITE_OK;
    return sqlite3_bind_double(m_stmt, ordinal, value) == SQLITE_OK;
}

bool CXAccessor::SetParamText(int ordinal, const QString& text)
{
    if (!m_stmt || ordinal < 1 || ordinal > sqlite3_bind_parameter_count(m_stmt))
        return false;
    static const char16_t empty[1] = {0};
    const void* data = text.isNull() ? static_cast<const void*>(empty) : static_cast<const void*>(text.utf16());
    return sqlite3_bind_text16(m_stmt, ordinal, data, static_cast<int>(text.size() * 2), SQLITE_TRANSIENT) == SQLITE_OK;
}

bool CXAccessor::SetParamBytes(int ordinal, const QByteArray& bytes)
{
    if (!m_stmt || ordinal < 1 || ordinal > sqlite3_bind_parameter_count(m_stmt))
        return false;
    if (bytes.isNull())
        return sqlite3_bind_null(m_stmt, ordinal) == SQLITE_OK;
    return sqlite3_bind_blob(m_stmt, ordinal, bytes.constData(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT) ==
           SQLITE_OK;
}

int CXAccessor::GetParamOrdinal(const QString& name) const
{
    return m_stmt ? sqlite3_bind_parameter_index(m_stmt, name.toUtf8().constData()) : 0;
}

bool CXAccessor::Fail()
{
    SetDbErrorFrom(sqlite3_db_handle(m_stmt));
    m_bFailed = true;
    m_bRow = m_bPending = false;
    return false;
}

bool CXAccessor::Execute()
{
    m_bRow = m_bPending = m_bFailed = false;
    if (!m_stmt) {
        m_bFailed = true;
        return false;
    }
    sqlite3_reset(m_stmt);
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW) {
        m_bPending = true;
        return true;
    }
    if (rc == SQLITE_DONE) {
        // Ends the statement's read at once, so a finished SELECT holds no snapshot.
        sqlite3_reset(m_stmt);
        return true;
    }
    return Fail();
}

bool CXAccessor::MoveNext()
{
    if (m_bPending) {
        m_bPending = false;
        m_bRow = true;
        return true;
    }
    if (!m_bRow || !m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    m_bRow = false;
    if (rc == SQLITE_DONE) {
        sqlite3_reset(m_stmt);
        return false;
    }
    return Fail();
}

void CXAccessor::Close()
{
    if (m_stmt)
        sqlite3_reset(m_stmt);
    m_bRow = m_bPending = false;
}

int CXAccessor::GetChanges() const { return m_stmt ? sqlite3_changes(sqlite3_db_handle(m_stmt)) : 0; }

int CXAccessor::GetColumnCount() const { return m_stmt ? sqlite3_column_count(m_stmt) : 0; }

QString CXAccessor::GetColumnName(int ordinal) const
{
    if (!m_stmt || ordinal < 1 || ordinal > GetColumnCount())
        return QString();
    return QString::fromUtf16(static_cast<const char16_t*>(sqlite3_column_name16(m_stmt, ordinal - 1)));
}

int CXAccessor::GetOrdinal(const QString& column) const
{
    if (m_names.isEmpty()) {
        // The first column of a name wins, as a lookup by name always did.
        for (int i = GetColumnCount(); i >= 1; --i)
            m_names.insert(GetColumnName(i).toCaseFolded(), i);
    }
    return m_names.value(column.toCaseFolded(), 0);
}

bool CXAccessor::ValidColumn(int ordinal) const
{
    return m_stmt && m_bRow && ordinal >= 1 && ordinal <= GetColumnCount();
}

bool CXAccessor::IsNull(int ordinal) const
{
    return !ValidColumn(ordinal) || sqlite3_column_type(m_stmt, ordinal - 1) == SQLITE_NULL;
}

QString CXAccessor::GetText(int ordinal) const
{
    if (IsNull(ordinal))
        return QString();
    const auto* data = static_cast<const char16_t*>(sqlite3_column_text16(m_stmt, ordinal - 1));
    const int bytes = sqlite3_column_bytes16(m_stmt, ordinal - 1);
    // An empty text is empty, not null.
    static const char16_t empty[1] = {0};
    return QString(reinterpret_cast<const QChar*>(data ? data : empty), data ? bytes / 2 : 0);
}

QString CXAccessor::GetText(const QString& column) const { return GetText(GetOrdinal(column)); }

double CXAccessor::GetNumber(int ordinal) const
{
    if (!ValidColumn(ordinal))
        return 0;
    switch (sqlite3_column_type(m_stmt, ordinal - 1)) {
    case SQLITE_INTEGER:
        return static_cast<double>(sqlite3_column_int64(m_stmt, ordinal - 1));
    case SQLITE_FLOAT:
        return sqlite3_column_double(m_stmt, ordinal - 1);
    default:
        return 0;
    }
}

double CXAccessor::GetNumber(const QString& column) const { return GetNumber(GetOrdinal(column)); }

QByteArray CXAccessor::GetBytes(int ordinal) const
{
    if (IsNull(ordinal))
        return QByteArray();
    const void* data = sqlite3_column_blob(m_stmt, ordinal - 1);
    const int bytes = sqlite3_column_bytes(m_stmt, ordinal - 1);
    return QByteArray(static_cast<const char*>(data), bytes);
}
