#pragma once

#include "XService.h"

#include <QtCore/QByteArray>
#include <QtCore/QJsonObject>
#include <QtCore/QString>

namespace xInternet {

// The one way the program reaches the WeChat API: an HTTP call through the relay (a GET
// when post is empty). Returns the reply's body; empty on any failure. The program installs
// the relay's call; without one nothing reaches WeChat.
XHook<QByteArray(const QString& url, const QByteArray& post)>& WxHttpCall();

// The WeChat API address of a path with its query ("cgi-bin/token?...").
QString WxApiUrl(const QString& pathAndQuery);

// Calls the API and reads the reply as a JSON object; false when there was no reply or it
// is not a JSON object. The raw reply is given back for the log.
bool WxApiCall(const QString& pathAndQuery, const QByteArray& post, QJsonObject& reply, QByteArray* raw = nullptr);

// Percent-encodes a text as a query value (UTF-8; only unreserved characters stay).
QString PercentEncode(const QString& text);

} // namespace xInternet
