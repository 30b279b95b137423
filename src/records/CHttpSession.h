#pragma once

#include "CXArray.h"

#include <QtCore/QString>

#include <map>
#include <memory>
#include <mutex>

class CXItem;
class ManualResetEvent;

// One web session: the identities logged in through it (a phone may hold a teacher and a
// student identity), exactly one of them current, and the blank record the web form for
// new records starts from. The session owns both.
class CHttpSession
{
public:
    // Takes ownership of the first identity, which becomes the current one.
    explicit CHttpSession(CXItem* identity);
    CHttpSession(const CHttpSession&) = delete;
    CHttpSession& operator=(const CHttpSession&) = delete;
    ~CHttpSession();

    CXArray& Identities() { return m_identities; }
    const CXArray& Identities() const { return m_identities; }
    CXItem* GetCurrent() const;
    void SetCurrent(CXItem* identity);     // must be one of the identities
    void AddIdentity(CXItem* identity);    // owned from now on
    void RemoveIdentity(CXItem* identity); // deleted; another becomes current if needed

    // The blank new record of a module for the web's new-record form: the cached one when
    // it is of that module, else a new one from the module with one empty line in every
    // child list the form shows, validated without a user and without duplicate checks.
    // Null when no module has the id. The caller holds the session lock.
    CXItem* GetNewItem(int mduId);

private:
    CXArray m_identities{nullptr, true};
    CXItem* m_pCurrent = nullptr;
    std::unique_ptr<CXItem> m_newItem;
};

namespace xInternet {

// Web session id (the "SESSIONID" cookie) to session. Guarded by SessionLock(), which also
// guards the identity lists of the sessions.
using SessionMapType = std::map<QString, std::unique_ptr<CHttpSession>>;
SessionMapType& SessionMap();
std::mutex& SessionLock();

// Set when the web service stops; every web thread ends when it sees it.
ManualResetEvent& WebStopEvent();

} // namespace xInternet
