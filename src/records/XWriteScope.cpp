#include "XWriteScope.h"

#include "CXDBSession.h"
#include "OperLog.h"

XWriteScope::XWriteScope(CXDBSession* given, Given mode)
{
    if (given && mode == Given::Join) {
        m_session = given;
        return;
    }
    // held from here on: a failed connect is given on once the scope ends, like the rest
    m_deferred = std::make_unique<XDeferredReports>();
    if (!given) {
        m_own = std::make_unique<CXDBSession>();
        m_own->Connect();
        given = m_own.get();
    }
    m_session = given;
    // The UI thread has one shared connection: a writer that connects while another one's
    // transaction is open there joins it instead of failing to begin a second.
    m_bOwn = !given->InTransaction();
}

XWriteScope::~XWriteScope() { Finish(false); }

bool XWriteScope::Begin(const QString& task)
{
    if (!m_bOwn || m_bBegun)
        return true;
    if (!m_session->BeginTransaction()) {
        ReportDbError(task, nullptr, QString());
        return false;
    }
    m_bBegun = true;
    return true;
}

bool XWriteScope::Finish(bool ok)
{
    if (m_bBegun) {
        m_bBegun = false;
        if (ok && !m_session->Commit()) {
            ReportDbError(QStringLiteral("提交事务"), nullptr, QString());
            ok = false;
        }
        if (!ok)
            m_session->Abort();
    }
    if (m_deferred)
        m_deferred->Flush();
    return ok;
}
