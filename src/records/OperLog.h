#pragma once

#include "XErrorReporter.h"

#include <QtCore/QString>

#include <vector>

class CDBOperLog;
class CXAccessor;
class CXDBSession;
class CXItem;

// Reports a database failure once through the error reporter: the task, the statement of
// the command when one is given, and the message (empty: the thread's last database error).
void ReportDbError(const QString& task, const CXAccessor* command, const QString& message);

// Holds back the database reports of the calling thread while a writer holds its
// transaction: a report may become a log row on another connection, which would wait for
// the writer's own lock. Reports held are given on at Flush (after the rollback) or at the
// end of the object's life; an inner holder hands them to the outer one.
class XDeferredReports
{
public:
    XDeferredReports();
    XDeferredReports(const XDeferredReports&) = delete;
    XDeferredReports& operator=(const XDeferredReports&) = delete;
    ~XDeferredReports();
    void Flush();

private:
    friend void ReportDbError(const QString&, const CXAccessor*, const QString&);
    std::vector<XErrorReport> m_reports;
    XDeferredReports* m_previous;
};

// The reporter the program installs (SetErrorSink): on the UI thread the database error
// dialog, or an error box when there is no statement; on every other thread an OPER_RUN row
// of the operation log written as the built-in administrator. A report raised while a
// report is being written is dropped by the reporter, so a broken database never chains.
void ShowOrLogError(const XErrorReport& report);

// The built-in administrator: the application's, or module 322, ID 0, "Admin", role 2.
const CXItem& BuiltInAdmin();
// Whether the record is the built-in administrator: the teacher module's record 0. The
// name says nothing: a student or teacher may be called "Admin" too.
bool IsBuiltInAdmin(const CXItem& who);

// Writes one row of the operation log: who (any teacher or student record, or the
// administrator), what type, on which module and record, with a memo and an extra text.
// Nothing is written for the operation log's own module. A login or logout through a web
// session first ends the earlier open logins of that session and user, and every web login
// older than 180 days other than WeChat's. Works on the given session (a writer inside its
// own transaction passes it, since SQLite has one writer at a time) or connects. False when
// the row was not written (nothing written for the log's own module counts as done); the
// failed insert itself is not reported, since the report would be a log row.
bool WriteOperLog(int type, const CXItem& user, int mduId, int itemId, const QString& memo, const QString& extra,
                  CXDBSession* session = nullptr);

// Inserts the log record as a new row through the record writer (SaveItem). False on
// failure (a failed preparation is reported).
bool InsertOperLogRow(CXDBSession& session, CDBOperLog& log);
