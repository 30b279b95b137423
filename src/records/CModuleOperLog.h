#pragma once

#include "CDBOperLog.h"
#include "CModule.h"

#include <QtCore/QStringList>

// The operation log as a module: queried only, with its own options and built-in schemes.
class CModuleOperLog : public CModuleT<CDBOperLog, 0, false, true>
{
public:
    CModuleOperLog();

    void AddQuickQueries(CXArray& schemes) override;
    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override;
    // The log grows without bound, so a window shows its newest rows first: the time that
    // splits the query's rows into a first page of about pageRows rows (after it) and the
    // rest (at or before it); 0 when the rows fit one page, and for a find, read at once.
    double GetPageBound(const CXMap& query, int pageRows);
    // Appends the query's rows after the bound (the first page) or at or before it (the rest).
    bool QueryPart(CXArray& items, const CXMap& query, double bound, bool bFirstPage);

    // The log's own conditions for the keys present in the query, appended. Every list key
    // becomes a list of integers (query maps also come from web requests); an empty list
    // selects nothing.
    static void AddLogConditions(QStringList& conditions, const CXMap& query);

    // Whether the row is an open login session that may be shown: a login, not ended, with a
    // session id, and recent (logins within 180 days; WeChat sessions at any age).
    static bool CanOpenSession(const CDBOperLog* row, const XDateTime& now);

private:
    bool ReadLog(CXArray& items, const CXMap& query, const QString& condition, bool bNoImages, bool bExpectOne);
};

// Ends the session of the login row from the desktop: logs OPER_LOGOUT for the row's user
// (which ends the open login rows of that session and user) and drops that user's identity
// from the live web session, so the phone has to log in again.
void EndLoginSession(const CDBOperLog& row);
