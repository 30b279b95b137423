#pragma once

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

} // namespace xInternet
