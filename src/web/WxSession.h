#pragma once

#include <QtCore/QString>

namespace xInternet {

class CHttpRequest;

// WeChat sessions. An openid is no secret (any page of the account can learn it), so the
// session id a WeChat login gets is "wx_" + openid + "." + a MAC of the openid under this
// installation's secret: only OnWxAuth can issue one, and an id without a valid MAC never
// reaches or creates a session.

// The session id for an openid; empty for an openid outside [A-Za-z0-9_-]{1,64}.
QString MakeWxSessionId(const QString& openid);
// Whether the id has the WeChat form and its MAC is this installation's.
bool VerifyWxSessionId(const QString& id);
// The openid of a verified WeChat session id; empty for any other id.
QString WxOpenIdOf(const QString& id);

// The "state" the authorisation redirect carries: bound to the browser's session id, so a
// code obtained for another browser cannot be replayed into this one. Empty for an id that
// is not a generated one.
QString MakeWxAuthState(const QString& sessionId);

// The route "wxauth": WeChat's authorisation sends the browser back here with a code; the
// code becomes an openid and the browser the holder of that openid's session.
void OnWxAuth(CHttpRequest& request);

// Installs OnWxAuth and the session-id verifier into the web service's WeChat seams.
void InstallWxWebSeams();
void RemoveWxWebSeams();

} // namespace xInternet
