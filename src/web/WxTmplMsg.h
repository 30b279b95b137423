#pragma once

#include <QtCore/QString>

class CXArray;
class CXItem;

// Appends the receivers of a record's WeChat notice (CWxRcver, owned by the array): the
// student its first student link names, or one per line of its first list of student lines,
// each with the message keywords of the record (and line) filled for the sender, and the
// openids of the verified WeChat sessions bound to that student. A child line gives none.
void CollectWxRcvers(const CXItem& record, CXArray& rcvers, const CXItem* user);

// Sends the module's template (short id) about the record to every WeChat identity of the
// chosen students (their IDs joined by ","), as the user; a line the sender types gets
// userText. The result is "OK" when at least one message went out and every send succeeded,
// else the reason; true exactly when it is "OK". Each message sent is logged (OPER_MSG).
bool SendWxTmplMsg(QString& result, CXItem& record, const QString& shortId, const QString& userText,
                   const QString& rcverIds, const CXItem& user);
