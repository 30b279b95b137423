#include "FakeHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

FakeHttpServer::FakeHttpServer()
{
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(m_listen, 16);
    socklen_t len = sizeof addr;
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

FakeHttpServer::~FakeHttpServer()
{
    m_stop = true;
    m_thread.join();
    ::close(m_listen);
}

void FakeHttpServer::Answer(const std::string& path, const QByteArray& raw)
{
    std::lock_guard lock(m_mutex);
    m_answers[path] = raw;
    m_hang.erase(path);
}

void FakeHttpServer::Answer(const std::string& path, int status, const QByteArray& body, long long length)
{
    QByteArray raw = "HTTP/1.1 " + QByteArray::number(status) + (status == 200 ? " OK" : " Error") +
                     "\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                     QByteArray::number(length < 0 ? body.size() : length) + "\r\nConnection: close\r\n\r\n" + body;
    Answer(path, raw);
}

void FakeHttpServer::Hang(const std::string& path)
{
    std::lock_guard lock(m_mutex);
    m_hang[path] = true;
}

void FakeHttpServer::Serve()
{
    std::vector<int> hanging;
    while (!m_stop) {
        pollfd p = {m_listen, POLLIN, 0};
        if (::poll(&p, 1, 20) <= 0)
            continue;
        const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::string request;
        char buf[4096];
        while (request.find("\r\n\r\n") == std::string::npos) {
            pollfd r = {fd, POLLIN, 0};
            if (::poll(&r, 1, 2000) <= 0)
                break;
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            request.append(buf, static_cast<size_t>(n));
        }
        ++m_requests;
        const size_t start = request.find(' ') + 1;
        const std::string path = request.substr(start, request.find(' ', start) - start);
        QByteArray answer = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
        bool hang = false;
        {
            std::lock_guard lock(m_mutex);
            if (m_hang.count(path))
                hang = true;
            else if (auto it = m_answers.find(path); it != m_answers.end())
                answer = it->second;
        }
        if (hang) {
            hanging.push_back(fd);
            continue;
        }
        for (qsizetype sent = 0; sent < answer.size();) {
            const ssize_t n =
                ::send(fd, answer.constData() + sent, static_cast<size_t>(answer.size() - sent), MSG_NOSIGNAL);
            if (n <= 0)
                break;
            sent += n;
        }
        ::shutdown(fd, SHUT_RDWR);
        ::close(fd);
    }
    for (int fd : hanging)
        ::close(fd);
}
