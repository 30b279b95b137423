#include "XHttp.h"

#include "FormatString.h"
#include "XThread.h"

#include <QtCore/QFile>

#include <curl/curl.h>

#include <chrono>
#include <mutex>

namespace {

void GlobalInit()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct XTransfer
{
    CURL* easy = nullptr;
    XHttpResult* result = nullptr;
    // download: the open file and the caller's progress; null for a request into memory
    QFile* file = nullptr;
    const std::function<void(std::int64_t, std::int64_t)>* progress = nullptr;
    bool started = false;
    bool refused = false;
};

size_t OnData(char* data, size_t size, size_t count, void* user)
{
    auto* t = static_cast<XTransfer*>(user);
    const size_t n = size * count;
    if (!t->file) {
        t->result->body.append(data, static_cast<qsizetype>(n));
        t->result->received += static_cast<std::int64_t>(n);
        return n;
    }
    if (!t->started) {
        // the first data: only now are status and length known for certain
        curl_easy_getinfo(t->easy, CURLINFO_RESPONSE_CODE, &t->result->status);
        curl_off_t length = -1;
        curl_easy_getinfo(t->easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        t->result->length = length;
        if (t->result->status != 200 || length <= 0) {
            t->refused = true;
            return 0;
        }
        t->started = true;
        if (*t->progress)
            (*t->progress)(0, length);
    }
    if (t->file->write(data, static_cast<qint64>(n)) != static_cast<qint64>(n)) {
        t->result->error = t->file->errorString();
        t->result->saveFailed = true;
        return 0;
    }
    t->result->received += static_cast<std::int64_t>(n);
    if (*t->progress)
        (*t->progress)(t->result->received, t->result->length);
    return n;
}

// Runs the transfer on the calling thread, checking the abort event and the time limit
// every 50 ms, so an abort ends it at once whatever the connection is doing.
void Perform(XTransfer& t, const XEvent* abort, int timeoutMs)
{
    CURLM* multi = curl_multi_init();
    curl_multi_add_handle(multi, t.easy);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    CURLcode code = CURLE_OK;
    bool done = false;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK)
            break;
        int left = 0;
        while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
            if (msg->msg == CURLMSG_DONE) {
                code = msg->data.result;
                done = true;
            }
        }
        if (done || running == 0)
            break;
        if (abort && abort->IsSet()) {
            t.result->error = QStringLiteral("已取消");
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            t.result->error = QStringLiteral("超时");
            break;
        }
        curl_multi_poll(multi, nullptr, 0, 50, nullptr);
    }
    curl_easy_getinfo(t.easy, CURLINFO_RESPONSE_CODE, &t.result->status);
    if (t.result->length < 0) {
        curl_off_t length = -1;
        curl_easy_getinfo(t.easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
        t.result->length = length;
    }
    if (done && code == CURLE_OK)
        t.result->ok = true;
    else if (done && t.result->error.isEmpty())
        t.result->error = FormatString(u"%s (%d)", QString::fromUtf8(curl_easy_strerror(code)), static_cast<int>(code));
    else if (t.result->error.isEmpty())
        t.result->error = QStringLiteral("连接中断");
    curl_multi_remove_handle(multi, t.easy);
    curl_multi_cleanup(multi);
}

CURL* NewEasy(const QString& url, XTransfer& t)
{
    GlobalInit();
    CURL* easy = curl_easy_init();
    t.easy = easy;
    const QByteArray u = url.toUtf8();
    curl_easy_setopt(easy, CURLOPT_URL, u.constData()); // copied by libcurl
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, 5L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnData);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &t);
    // the server's copy, never a cache's
    static curl_slist* headers = [] {
        curl_slist* list = curl_slist_append(nullptr, "Cache-Control: no-cache");
        return curl_slist_append(list, "Pragma: no-cache");
    }();
    curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    return easy;
}

} // namespace

XHttpResult HttpRequest(const QString& url, const QByteArray& postBody, const XEvent* abort, int timeoutMs)
{
    XHttpResult result;
    XTransfer t;
    t.result = &result;
    CURL* easy = NewEasy(url, t);
    if (!postBody.isEmpty()) {
        curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE, static_cast<long>(postBody.size()));
        curl_easy_setopt(easy, CURLOPT_COPYPOSTFIELDS, postBody.constData());
    }
    Perform(t, abort, timeoutMs);
    curl_easy_cleanup(easy);
    return result;
}

XHttpResult HttpDownload(const QString& url, const QString& path, const XEvent* abort, int timeoutMs,
                         const std::function<void(std::int64_t, std::int64_t)>& progress)
{
    XHttpResult result;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        result.error = file.errorString();
        result.saveFailed = true;
        return result;
    }
    XTransfer t;
    t.result = &result;
    t.file = &file;
    t.progress = &progress;
    CURL* easy = NewEasy(url, t);
    curl_easy_setopt(easy, CURLOPT_FAILONERROR, 0L);
    Perform(t, abort, timeoutMs);
    curl_easy_cleanup(easy);
    const bool flushed = file.flush();
    file.close();
    const bool whole = result.ok && t.started && result.status == 200 && result.length > 0 &&
                       result.received == result.length && flushed && file.error() == QFileDevice::NoError;
    if (!whole) {
        if (result.error.isEmpty() || t.refused)
            result.error = QStringLiteral("HTTP %1，长度 %2，已收到 %3")
                               .arg(result.status)
                               .arg(static_cast<long long>(result.length))
                               .arg(static_cast<long long>(result.received));
        result.ok = false;
    }
    return result;
}
