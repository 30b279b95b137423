#pragma once

#include "XDateTime.h"

#include <QtCore/QString>

#include <mutex>

namespace xInternet {

// The web service's published state: the addresses it can be reached at and the number of
// open relay connections. Empty and 0 until the service sets them.
std::mutex& WebStateLock();
// The local listener's address ("http://192.168.1.5:8080/"); empty while it is not listening.
QString GetLocalUrl();
// The installation's Internet address through the relay, with its scheme.
QString GetInternetUrl();
// Open relay connections; the caller holds WebStateLock().
int& RelayConnections();
// Set by the web service when it starts, changes address or stops (empty texts).
void SetWebUrls(const QString& localUrl, const QString& internetUrl);

// The running service's state besides the addresses. Every field is read and written under
// WebStateLock(); the accessors below take it for one read or write each.
struct WebServiceState
{
    int port = 0;          // the local listener's port; 0 while not listening
    XDateTime startTime;   // when the service last started; 0 after a stop
    int relayHttps = 0;    // the relay's "Https" flag of the last join
    QString wxAccessToken; // the WeChat access token; empty when there is none
    QString wxQrUrl;       // the address of the permanent WeChat QR code
};
// A copy of the state.
WebServiceState GetWebServiceState();
// Applies fn to the state under the lock (fn must not take another lock).
template <typename Fn> void UpdateWebServiceState(Fn fn);
WebServiceState& WebServiceStateUnlocked(); // the caller holds WebStateLock()
// The WeChat access token; empty when there is none.
QString GetWxAccessToken();

template <typename Fn> void UpdateWebServiceState(Fn fn)
{
    std::lock_guard guard(WebStateLock());
    fn(WebServiceStateUnlocked());
}

} // namespace xInternet
