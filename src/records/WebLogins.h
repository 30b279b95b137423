#pragma once

class CXItem;

// Stores the user's password hash (empty: the default password) in the user's table, or in
// the settings for the built-in administrator (by identity, never by name), ends all the user's
// logins and logs "修改密码" or "重置密码" by the operator. False after a reported failure.
bool SavePassword(CXItem& user, const CXItem& oper);

// Ends every login of the user: the open login rows and the identities in web sessions.
// With an operator, the logout is logged. False after a reported failure.
bool LogoutUserEverywhere(int mduId, int userId, const CXItem* oper);

// Rebuilds the web sessions from the open logins of the log, newest first; stops when the
// web service's stop event is set. Runs on the web service thread before it serves.
void LoadHttpSessions();
