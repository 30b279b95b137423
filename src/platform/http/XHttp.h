#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <cstdint>
#include <functional>

class XEvent;

// HTTP requests through libcurl: http and https (peers verified), the system's proxy
// settings from the environment, an overall time limit, and an abort event that ends a
// request in progress at once.

struct XHttpResult
{
    bool ok = false;          // the transfer completed (any status)
    long status = 0;          // the HTTP status, 0 without an answer
    QByteArray body;          // GetText: the response
    std::int64_t length = -1; // the announced Content-Length, -1 when none
    std::int64_t received = 0;
    QString error;           // why it failed
    bool saveFailed = false; // HttpDownload: the file could not be created or written
};

// GET (or POST when the body is not empty, form-encoded) into memory. Time limit in ms.
XHttpResult HttpRequest(const QString& url, const QByteArray& postBody, const XEvent* abort, int timeoutMs);

// Downloads into a file. Complete only when the status is 200, the length is announced and
// not zero, every byte announced arrived and was written; anything else is a failure (a
// connection that breaks off looks like a short end of data, never like success).
// progress(received, total) is called as data arrives, on the calling thread.
XHttpResult HttpDownload(const QString& url, const QString& path, const XEvent* abort, int timeoutMs,
                         const std::function<void(std::int64_t, std::int64_t)>& progress);
