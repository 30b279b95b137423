#pragma once

#include "XService.h"

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <utility>
#include <vector>

class XEvent;

// The link to the relay server: the server outside the school's network that gives the
// installation its public address, forwards the browsers' requests for it down connections
// the program keeps open (the relay pool), makes HTTP calls on the program's behalf and
// sends SMS codes.
//
// A message is one empty element <r func ver ltdid ts key .../> sent as UTF-8 and ended by
// CR LF CR LF; a reply is an element "r" with a "result" ("OK" or a text for the user),
// also ended by CR LF CR LF.
namespace xInternet {

// Where the relay is. The build's LORVAN_RELAY_SERVER ("host" or "host:port") gives it,
// the environment variable of the same name overrides that; tests set it directly. An empty
// host means no relay is configured: the web service then serves the local network only.
struct XRelayServer
{
    QString host;
    int port = 6162;
    QString domain; // the public addresses are "<installation id>.<domain>"
};
XRelayServer GetRelayServer();
// Tests: a fixed relay server (an empty host goes back to the configured one).
void SetRelayServer(const XRelayServer& server);

// Pooled relay connections at most; a relay asking for more is not followed beyond this.
constexpr int kMaxRelayPool = 16;
// Every wait for the relay (connect, reply) ends after this long; tests may shorten it.
constexpr int kRelayWaitMs = 10000;
void SetRelayWaitLimit(int ms);

// The functions of the protocol.
enum XRelayFunc : int { RELAY_JOIN = 0, RELAY_LEAVE = 1, RELAY_STATUS = 2, RELAY_HTTP = 3, RELAY_SMS = 4 };

// The salt of the message signature, agreed with the relay.
extern const char kRelaySalt[];

// The installation id: 32 lower-case hex digits, random, made once and kept in the
// settings, so every installation has its own public address.
QString RelayInstallationId();
// The signature of a message: the MD5 hex of the id, the time text and the salt.
QString RelayKey(const QString& ltdid, const QString& ts);

using XRelayAttrs = std::vector<std::pair<QString, QString>>;
// A message document: the five common attributes (function, version, id, Unix seconds,
// signature) then the given ones. CR and LF inside a value are written as character
// references, so no value can hold the blank line that ends a message.
QString BuildRelayMessage(int func, const XRelayAttrs& attrs);
// The bytes sent for a document: blank lines collapsed, a final CR LF dropped, CR LF CR LF
// appended.
QByteArray RelayWireForm(const QString& doc);

// A connected socket to the relay, or -1 when the host is not configured or does not
// resolve, its address starts with 0 or 255, or the connect does not succeed within the
// wait limit or before stop is set (stop may be null).
int RelayConnect(const XEvent* stop);
// Sends the message in its wire form; the bytes sent or -1.
int SendRelayMessage(int socket, const QString& doc);
// One reply through its CR LF CR LF (nothing beyond it is consumed, so a pooled connection
// goes on with the relay's requests). What came within the wait limit, or before stop was
// set, when the reply is not complete by then.
QByteArray RelayReadReply(int socket, const XEvent* stop);

// The relay's IPv4 address of the last successful connect; empty before one.
QString RelayServerIpv4();

// An HTTP call made by the relay (GET with an empty post): the response body, empty on any
// failure.
QByteArray RelayHttpCall(const QString& url, const QByteArray& post);
// Sends an SMS code through the relay: sent when the relay accepted it, no connection when
// none could be opened.
enum class XSmsSend;
XSmsSend RelaySendSms(const QString& phone, const QString& code);
// The relay server's status document for the password, or one of the fixed failure
// documents (no connection, send failed, no valid reply).
QString QueryRelayStatus(const QString& password);
// Tells the relay that this installation's service stopped (no reply is read).
void SendRelayLeave();

// The relay pool: run by the web service thread (installed into RelayPoolLoop) until the
// web stop event is set; joins pooled connections, serves each with a connection thread and
// keeps the published connection count.
void RunRelayPool();

// The WeChat side's token thread: started by the pool after the first successful join of a
// service run, and ended (joined) when the pool loop ends. Installed by the WeChat side.
XHook<void()>& RelayFirstJoinHook();
XHook<void()>& RelayPoolEndHook();

} // namespace xInternet
