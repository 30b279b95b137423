#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QHash>
#include <QtCore/QString>

#include <map>

struct sqlite3_stmt;
class CXDBSession;

// Parameter types a caller may declare before preparing (the values the field tables'
// writers were written with).
enum : int {
    DBTYPE_I4 = 3,
    DBTYPE_R8 = 5,
    DBTYPE_DATE = 7,
    DBTYPE_WSTR = 130,
};

// One statement of any shape: its parameters by ordinal and its result columns by ordinal
// or by name, so that records of every kind are read and written from their field tables.
//
//   CXAccessor cmd;
//   if (!cmd.Prepare(session, sql) || !cmd.SetParamText(1, name) || !cmd.Execute()) report;
//   while (cmd.MoveNext()) { ... cmd.GetText(1) ... }
//   if (cmd.Failed()) report;
//
// Ordinals count from 1. A NULL text reads as a null QString, a NULL number as 0. Text
// parameters have no length limit, so SetParamText never fails for a long text. Failures
// leave the database's message as the thread's error text (GetOleDbErrorText).
class CXAccessor
{
public:
    CXAccessor() = default;
    CXAccessor(const CXAccessor&) = delete;
    CXAccessor& operator=(const CXAccessor&) = delete;
    virtual ~CXAccessor();

    // The type of the 0-based parameter index: DBTYPE_I4 stores numbers as integers,
    // DBTYPE_R8 and DBTYPE_DATE as floating values. Call before Prepare.
    void SetParamType(int index, int type);

    // Prepares the statement on the session's connection, after the Jet rewrite.
    bool Prepare(CXDBSession& session, const QString& sql);
    // Prepare and Execute in one.
    bool Open(CXDBSession& session, const QString& sql);

    bool SetParamInt(int ordinal, int value);
    bool SetParamDouble(int ordinal, double value);
    // An empty or null text is stored as '' (texts are never NULL in the database).
    bool SetParamText(int ordinal, const QString& text);
    // Bytes as a blob; a null array stores NULL.
    bool SetParamBytes(int ordinal, const QByteArray& bytes);
    // The ordinal of a named parameter (":find"), 0 when the statement has none of the name.
    int GetParamOrdinal(const QString& name) const;

    // Runs the statement (again, from the start, with the parameters as set). False on an
    // error; a statement that returns rows has its first row ready for MoveNext.
    bool Execute();
    // The next row: the first call after Execute gives the first row. False at the end and
    // on an error (then Failed() is true).
    bool MoveNext();
    bool Failed() const { return m_bFailed; }
    // Ends the statement's read (rows not fetched are dropped); Execute may run it again.
    // A connection should not write while one of its reads is open.
    void Close();
    // Rows changed by the last INSERT, UPDATE or DELETE.
    int GetChanges() const;

    QString GetSql() const { return m_strSql; }
    int GetColumnCount() const;
    QString GetColumnName(int ordinal) const;
    // 0 when no column has the name (compared without regard to case).
    int GetOrdinal(const QString& column) const;

    // The value of the current row as text: null when there is no such column or the value
    // is NULL; numbers come as their text.
    QString GetText(int ordinal) const;
    QString GetText(const QString& column) const;
    // The value as a number: 0 when there is no such column, the value is NULL or a text.
    double GetNumber(int ordinal) const;
    double GetNumber(const QString& column) const;
    // The value's bytes (a blob, or a text in UTF-8); empty for NULL.
    QByteArray GetBytes(int ordinal) const;
    bool IsNull(int ordinal) const;

    // Whether a row is current; the statement itself, for readers of many rows that work out
    // their columns once and read them straight (valid until the next Prepare).
    bool HasRow() const { return m_stmt && m_bRow; }
    sqlite3_stmt* Statement() const { return m_stmt; }

protected:
    bool ValidColumn(int ordinal) const;
    bool Fail();

    sqlite3_stmt* m_stmt = nullptr;
    QString m_strSql;
    std::map<int, int> m_paramTypes;
    mutable QHash<QString, int> m_names;
    bool m_bRow = false;     // a row is current
    bool m_bPending = false; // Execute stepped onto a row not yet handed out
    bool m_bFailed = false;
};
