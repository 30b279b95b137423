#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QString>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

// An HTTP server on the loopback interface for tests: each path answers with the raw bytes
// given (status line, headers and body as they should go out; a body shorter than its
// Content-Length is a connection that breaks off); a path marked to hang accepts the
// request and never answers. The connection closes after each answer.
class FakeHttpServer
{
public:
    FakeHttpServer();
    ~FakeHttpServer();

    QString BaseUrl() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_port); }
    void Answer(const std::string& path, const QByteArray& raw);
    // "HTTP/1.1 <status>" with Content-Length <length> (default: the body's) and the body.
    void Answer(const std::string& path, int status, const QByteArray& body, long long length = -1);
    void Hang(const std::string& path);
    int Requests() const { return m_requests; }

private:
    void Serve();

    int m_listen = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_requests{0};
    std::mutex m_mutex;
    std::map<std::string, QByteArray> m_answers;
    std::map<std::string, bool> m_hang;
    std::thread m_thread;
};
