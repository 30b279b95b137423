#pragma once

#include "XService.h"

#include <QtCore/QString>

// What the preferences dialog asks of the WeChat and relay services. Those services are
// not part of this version; until they install their getters the dialog is told plainly
// that they are not available, and never pretends a key test succeeded.

struct XWxTokenState
{
    bool bAvailable = false; // the WeChat service runs and can be asked
    QString strToken;        // its current access token; empty when it has none
};

// The WeChat service's current access token, read under its own lock. Not installed: the
// service is not available.
XHook<XWxTokenState()>& WxTokenGetter();

// The relay server's IPv4 address, for the account's IP whitelist: the address the relay
// link last connected to (empty before it did). Not installed: empty.
XHook<QString()>& RelayIpv4Getter();
