#include "WxKeyServices.h"

XHook<XWxTokenState()>& WxTokenGetter()
{
    static XHook<XWxTokenState()> hook;
    return hook;
}

XHook<QString()>& RelayIpv4Getter()
{
    static XHook<QString()> hook;
    return hook;
}
