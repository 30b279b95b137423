#pragma once

#include "XService.h"

#include <QtCore/QString>

class XEvent;

namespace xInternet {

class CHttpRequest;

// (Re)starts the web service: stops a running one completely first, then starts the
// service thread, which reloads the stored sessions, listens on the first free port from
// 8080 to 9001 and serves until StopWebService.
void StartWebService();
// Stops the service and joins every one of its threads; the connections are shut down, so
// this returns within moments. Safe when nothing runs.
void StopWebService();
// Whether the service thread runs.
bool IsWebServiceRunning();

// Where a connection comes from. Only relay connections carry the relay's control lines
// and its client-address header; on a connection from the network they are ordinary text.
enum class XConnKind { Local, Relay };

// Serves the requests of one connected socket until the peer closes it, it stays silent too
// long, it breaks the protocol or the service stops. The socket stays open; its owner
// closes it. The relay pool runs relay sockets through this too.
void HttpConnThread(int socket, XConnKind kind);

// Connection threads serving at the moment (relay ones included).
int LiveWebConnections();

// Answers a parsed request: the route of its path (compared without regard to case), else
// the web resources.
void DispatchRequest(CHttpRequest& request);

// A route of the web service: a member of the request that answers it. A route that
// changes anything is reached only by a same-origin POST (CHttpRequest::AcceptStateChange).
struct XRoute
{
    const char* path;
    void (CHttpRequest::*handler)();
    bool changesState;
};

// Concurrent connections the listener serves; further ones are answered 503 and closed.
constexpr int kMaxConnections = 256;

// The more-relay event: a relay head asking for another connection sets it, the relay pool
// waits on it.
XEvent& MoreRelayEvent();

// Seams of the WeChat side. The verifier tells whether a "wx_" session id carries a valid
// MAC; without one no "wx_" id is trusted, so none creates or reaches a session. The OAuth
// route answers "wxauth" for requests from the Internet while a token exists.
XHook<bool(const QString& sessionId)>& WxSessionVerifier();
XHook<void(CHttpRequest& request)>& WxAuthRoute();

// The relay side of the service thread: runs the relay pool (RunRelayPool, Relay.h, which
// the program installs) until the stop event is set. Without it the service thread only
// waits for the stop.
XHook<void()>& RelayPoolLoop();

// The first usable IPv4 address of this computer: an interface that is up, not loopback and
// not 0.x; empty when there is none. (The host name maps to 127.0.1.1 on Debian, so the
// interfaces are asked, not the name.)
QString GetLocalIpv4();
// The first IPv4 address of a host name whose dotted form begins neither with "127" nor with
// "0."; empty when there is none or the name does not resolve.
QString GetHostIpv4(const QString& host);
// Whether a dotted IPv4 address may name this computer to others (not 127.x or 0.x).
bool IsUsableIpv4(const QString& dotted);

// Ports the listener tries (8080-9001); tests move them.
void SetWebPortRange(int first, int last);

} // namespace xInternet
