#pragma once

#include "CXItem.h"

// The operator of a log row: a link to the user (module, ID, name, the time of the
// operation as its date) with the session and client address the operation came from. A
// row holds no more of its user than this, so that 100,000 log rows stay small.
class CXLogUser : public CXBase
{
public:
    // The session is a WeChat login ("wx_" and at least 8 more).
    bool IsWeChatSession() const;

    QString m_strSession;
    QString m_strIP;
};
