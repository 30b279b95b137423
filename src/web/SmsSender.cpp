#include "SmsSender.h"

namespace xInternet {

XHook<XSmsSend(const QString&, const QString&)>& SmsSender()
{
    static XHook<XSmsSend(const QString&, const QString&)> hook;
    return hook;
}

} // namespace xInternet
