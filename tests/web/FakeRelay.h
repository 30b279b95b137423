#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QMap>
#include <QtCore/QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// A relay server on 127.0.0.1 for the tests, speaking the relay's messages: it checks every
// message's signature, keeps joined connections as its pool and pushes requests down them,
// answers HTTP calls through a function the test sets, takes SMS sends and reports status.
class FakeRelay
{
public:
    // port 0: any free port (see Port()).
    explicit FakeRelay(int port = 0);
    ~FakeRelay();
    FakeRelay(const FakeRelay&) = delete;
    FakeRelay& operator=(const FakeRelay&) = delete;

    int Port() const { return m_port; }

    // One message as received: its attributes (unescaped) and whether its key was right.
    struct Message
    {
        QMap<QString, QString> attrs;
        bool keyOk = false;
        QString Attr(const char* name) const { return attrs.value(QString::fromLatin1(name)); }
    };

    // --- what the relay answers (set before the program calls) --------------------------------
    QString joinResult = QStringLiteral("OK"); // anything else refuses joins with that text
    bool joinSilent = false;                   // accept, read the join, never answer
    int https = 1;
    QString password = QStringLiteral("relaypw");
    QString statusClients; // the <client .../> elements of the status reply
    long long srvStart = 0;
    QString smsResult = QStringLiteral("OK");
    // The HTTP call: (url, post) -> the response body; unset: result "无法访问".
    std::function<QByteArray(const QString& url, const QString& post)> httpHandler;

    // --- what it saw ------------------------------------------------------------------------
    std::vector<Message> Messages() const;
    int Count(int func) const;
    int Accepted() const { return m_accepted; }
    int PoolSize() const;
    // Waits (real time, at most the limit) until pred() holds; pred may ask the fake.
    bool WaitUntil(const std::function<bool()>& pred, std::chrono::milliseconds limit = std::chrono::seconds(5));

    // Sends the bytes down pooled connection `index` and reads one HTTP response (head and
    // the body its length gives), or as many bytes as `exactly` when it is not 0. Empty when
    // the connection closed or nothing came in five seconds.
    QByteArray Push(int index, const QByteArray& request, int exactly = 0);
    // True when the program closed pooled connection `index` (within five seconds).
    bool PoolClosed(int index);

private:
    void AcceptLoop();
    void Serve(int socket);
    bool ReplyTo(int socket, const Message& m);

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_accepted{0};
    std::thread m_acceptThread;
    std::vector<std::thread> m_workers;
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    std::vector<Message> m_messages;
    std::vector<int> m_pool;    // joined sockets, in join order
    std::vector<int> m_sockets; // every accepted socket, closed at the end
};
