#pragma once

#include "XService.h"

#include <QtCore/QString>

namespace xInternet {

// How sending one SMS code went. Failed comes first: it is what a default value says.
enum class XSmsSend {
    Failed,       // the relay was reached but the message did not go out
    Sent,         // the relay answered "OK"
    NoConnection, // no relay connection could be opened
};

// Sends the SMS code to the phone through the relay; installed by the relay side. Without
// one installed nothing can be sent and the route says so (Failed).
XHook<XSmsSend(const QString& phone, const QString& code)>& SmsSender();

} // namespace xInternet
