#pragma once

#include "CXArray.h"
#include "XDateTime.h"

#include <QtCore/QString>

#include <cstddef>
#include <cstdint>
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
    // Takes ownership of the first identity (if any), which becomes the current one.
    explicit CHttpSession(CXItem* identity = nullptr);
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

    // One code handed out to the browser (the picture code, or the SMS code with the phone
    // it went to): random, valid for five minutes after it was issued, for a few wrong tries
    // and for one successful use. Empty when none is pending.
    struct Code
    {
        QString text;
        QString boundTo;
        XDateTime issued;
        int wrongTries = 0;
    };

    // The parent record and the new child line the web form for a new sub-record keeps.
    std::unique_ptr<CXItem> m_subParent;
    std::unique_ptr<CXItem> m_subLine;
    // When a picture or SMS code was last issued, and when an SMS code was last sent; 0 for
    // a new session.
    XDateTime m_dtCodeIssued;
    XDateTime m_dtLastSms;
    Code m_artCode;
    Code m_smsCode;

    // Marks the session as used now: on creation and by every request that names it.
    void Touch();
    // When it was last used (the program's clock) and the order of that use among all
    // sessions, which settles uses within the clock's resolution.
    XDateTime m_dtLastUse;
    std::uint64_t m_nUseOrder = 0;

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

// Every request without a cookie makes a session, so their number is capped: before a new
// session would make more than SessionLimit(), MakeRoomForSession drops anonymous ones (no
// identity logged in), least recently used first. Sessions with identities are never
// dropped for room. Called with SessionLock() held.
constexpr std::size_t kDefaultSessionLimit = 20000;
std::size_t SessionLimit();
void SetSessionLimit(std::size_t limit); // 0: the default again
void MakeRoomForSession();

// Set when the web service stops; every web thread ends when it sees it.
ManualResetEvent& WebStopEvent();

} // namespace xInternet
