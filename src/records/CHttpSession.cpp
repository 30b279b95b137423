#include "CHttpSession.h"

#include "CHead.h"
#include "CModule.h"
#include "CXItem.h"
#include "XThread.h"

#include <algorithm>
#include <atomic>
#include <vector>

CHttpSession::CHttpSession(CXItem* identity)
{
    AddIdentity(identity);
    Touch();
}

void CHttpSession::Touch()
{
    static std::atomic<std::uint64_t> s_uses{0};
    m_dtLastUse = XClock::Now();
    m_nUseOrder = ++s_uses;
}

CHttpSession::~CHttpSession() = default;

CXItem* CHttpSession::GetCurrent() const { return m_pCurrent; }

void CHttpSession::SetCurrent(CXItem* identity)
{
    for (CXItem* item : m_identities)
        if (item == identity)
            m_pCurrent = identity;
}

void CHttpSession::AddIdentity(CXItem* identity)
{
    if (!identity)
        return;
    identity->m_pArray = &m_identities;
    m_identities.Add(identity);
    if (!m_pCurrent)
        m_pCurrent = identity;
}

void CHttpSession::RemoveIdentity(CXItem* identity)
{
    for (int i = 0; i < m_identities.GetSize(); ++i) {
        if (m_identities[i] != identity)
            continue;
        m_identities.RemoveAt(i);
        if (m_pCurrent == identity)
            m_pCurrent = m_identities.IsEmpty() ? nullptr : m_identities[0];
        return;
    }
}

CXItem* CHttpSession::GetNewItem(int mduId)
{
    if (m_newItem && m_newItem->m_nMduID == mduId)
        return m_newItem.get();
    m_newItem.reset();
    const CModule* module = FindModule(mduId);
    if (!module)
        return nullptr;
    m_newItem.reset(module->CreateItem());
    if (const CHeads* heads = m_newItem->GetHeads()) {
        for (int i = 0; i < heads->GetSize(); ++i) {
            const CHead* h = heads->GetAt(i);
            if (h->m_nType != XAR || !h->m_nOffset || !h->m_nHttpNew)
                continue;
            CXArray& lines = m_newItem->Member<CXArray>(h->m_nOffset);
            if (CXItem* line = lines.CreateItem())
                lines.Add(line);
        }
    }
    m_newItem->Validate(nullptr, false);
    return m_newItem.get();
}

namespace xInternet {

SessionMapType& SessionMap()
{
    static SessionMapType map;
    return map;
}

std::mutex& SessionLock()
{
    static std::mutex lock;
    return lock;
}

namespace {
std::atomic<std::size_t> g_sessionLimit{kDefaultSessionLimit};
}

std::size_t SessionLimit() { return g_sessionLimit.load(); }

void SetSessionLimit(std::size_t limit) { g_sessionLimit.store(limit ? limit : kDefaultSessionLimit); }

void MakeRoomForSession()
{
    auto& map = SessionMap();
    const std::size_t limit = SessionLimit();
    if (map.size() < limit)
        return;
    // Room for a tenth of the limit at a time, so a flood of new clients does not scan
    // every session on every request.
    const std::size_t keep = limit - std::max<std::size_t>(1, limit / 10);
    std::vector<SessionMapType::iterator> anonymous;
    for (auto it = map.begin(); it != map.end(); ++it)
        if (it->second->Identities().IsEmpty())
            anonymous.push_back(it);
    const std::size_t drop = std::min(map.size() - keep, anonymous.size());
    if (drop == 0)
        return;
    const auto older = [](SessionMapType::iterator a, SessionMapType::iterator b) {
        const CHttpSession& x = *a->second;
        const CHttpSession& y = *b->second;
        if (x.m_dtLastUse.Day() != y.m_dtLastUse.Day())
            return x.m_dtLastUse.Day() < y.m_dtLastUse.Day();
        return x.m_nUseOrder < y.m_nUseOrder;
    };
    std::nth_element(anonymous.begin(), anonymous.begin() + static_cast<std::ptrdiff_t>(drop - 1), anonymous.end(),
                     older);
    for (std::size_t i = 0; i < drop; ++i)
        map.erase(anonymous[i]);
}

ManualResetEvent& WebStopEvent()
{
    static ManualResetEvent event;
    return event;
}

} // namespace xInternet
