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

    // The log's own conditions for the keys present in the query, appended. Every list key
    // becomes a list of integers (query maps also come from web requests); an empty list
    // selects nothing.
    static void AddLogConditions(QStringList& conditions, const CXMap& query);

    // Whether the row is an open login session that may be shown: a login, not ended, with a
    // session id, and recent (logins within 180 days; WeChat sessions at any age).
    static bool CanOpenSession(const CDBOperLog* row, const XDateTime& now);
};

// Ends the session of the login row from the desktop: logs OPER_LOGOUT for the row's user
// (which ends the open login rows of that session and user) and drops that user's identity
// from the live web session, so the phone has to log in again.
void EndLoginSession(const CDBOperLog& row);
