#pragma once

#include <QtCore/QByteArray>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <thread>

// Serves one request on one end of a socket pair, as a connection thread serves its socket,
// and returns every byte the server sent (read on a thread of its own, so an answer larger
// than the socket's buffer cannot block the server). `serve` gets the server's socket: it
// makes the request on it, answers it and lets it go.
template <class Serve>
QByteArray ServeOnSocketPair(Serve serve)
{
    int fds[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, fds) != 0) {
        ADD_FAILURE() << "no socket pair";
        return QByteArray();
    }
    QByteArray sent;
    std::thread reader([&sent, fd = fds[1]] {
        char buf[65536];
        for (ssize_t n; (n = recv(fd, buf, sizeof buf, 0)) > 0;)
            sent.append(buf, n);
    });
    serve(fds[0]);
    shutdown(fds[0], SHUT_RDWR);
    reader.join();
    close(fds[0]);
    close(fds[1]);
    return sent;
}
