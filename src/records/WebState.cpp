#include "WebState.h"

namespace xInternet {

namespace {
QString g_localUrl;
QString g_internetUrl;
int g_relayConnections = 0;
WebServiceState g_state;
} // namespace

std::mutex& WebStateLock()
{
    static std::mutex lock;
    return lock;
}

QString GetLocalUrl()
{
    std::lock_guard guard(WebStateLock());
    return g_localUrl;
}

QString GetInternetUrl()
{
    std::lock_guard guard(WebStateLock());
    return g_internetUrl;
}

int& RelayConnections() { return g_relayConnections; }

WebServiceState& WebServiceStateUnlocked() { return g_state; }

WebServiceState GetWebServiceState()
{
    std::lock_guard guard(WebStateLock());
    return g_state;
}

QString GetWxAccessToken()
{
    std::lock_guard guard(WebStateLock());
    return g_state.wxAccessToken;
}

void SetWebUrls(const QString& localUrl, const QString& internetUrl)
{
    std::lock_guard guard(WebStateLock());
    g_localUrl = localUrl;
    g_internetUrl = internetUrl;
}

} // namespace xInternet
