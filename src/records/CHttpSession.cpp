#include "CHttpSession.h"

#include "CHead.h"
#include "CModule.h"
#include "CXItem.h"
#include "XThread.h"

CHttpSession::CHttpSession(CXItem* identity) { AddIdentity(identity); }

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

ManualResetEvent& WebStopEvent()
{
    static ManualResetEvent event;
    return event;
}

} // namespace xInternet
