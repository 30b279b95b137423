// The web service runs with the program: it answers on loopback once the program has
// started, whoever is logged in, and is gone, logged as stopped, when the program exits.
#include "CXAccessor.h"
#include "CXDBSession.h"
#include "TestSupport.h"
#include "LorvanProcess.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <set>

namespace {

int ProxyRows(const QString& path, const char* memo)
{
    if (!QFile::exists(path))
        return -1;
    CXDBSession s;
    CXAccessor cmd;
    if (!s.Open(path) ||
        !cmd.Open(s, QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=11 AND OperMemo='%1'")
                         .arg(QString::fromUtf8(memo))) ||
        !cmd.MoveNext())
        return -1;
    return static_cast<int>(cmd.GetNumber(1));
}

// The TCP port the process listens on (IPv4), found through its socket inodes; 0 for none.
int ListeningPort(qint64 pid)
{
    std::set<QString> inodes;
    const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
    for (const QString& fd : fds.entryList(QDir::Files | QDir::System)) {
        const QString target = QFile::symLinkTarget(fds.filePath(fd));
        if (target.contains(QLatin1String("socket:[")))
            inodes.insert(target.section(u'[', 1).chopped(1));
    }
    QFile tcp(QStringLiteral("/proc/net/tcp"));
    if (!tcp.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : tcp.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        // sl local_address rem_address st ... inode (field 9); st 0A is LISTEN
        if (f.size() > 9 && f[3] == "0A" && inodes.count(QString::fromLatin1(f[9])))
            return f[1].split(':').value(1).toInt(nullptr, 16);
    }
    return 0;
}

QByteArray Get(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    timeval tv{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    QByteArray in;
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0) {
        const QByteArray request = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        send(fd, request.constData(), static_cast<size_t>(request.size()), MSG_NOSIGNAL);
        // the head, then as many body bytes as it announces: the body may come in a later packet
        char buf[4096];
        qsizetype expected = -1;
        while (expected < 0 || in.size() < expected) {
            const ssize_t n = recv(fd, buf, sizeof buf, 0);
            if (n <= 0)
                break;
            in.append(buf, n);
            const qsizetype headEnd = in.indexOf("\r\n\r\n");
            if (expected < 0 && headEnd >= 0) {
                const qsizetype at = in.toLower().indexOf("content-length:");
                const qsizetype lineEnd = at < 0 ? -1 : in.indexOf("\r\n", at);
                const qsizetype length = at < 0 ? 0 : in.mid(at + 15, lineEnd - at - 15).trimmed().toLongLong();
                expected = headEnd + 4 + length;
            }
        }
    }
    close(fd);
    return in;
}

TEST(Lorvan, ServesTheWebFromStartToExit)
{
    ScopedHome home;
    const QString path = home.Path() + QStringLiteral("/Lorvan.mdb");
    QProcess lorvan;
    ASSERT_TRUE(StartLorvan(lorvan, home.Path()));

    QElapsedTimer timer;
    timer.start();
    int port = 0;
    while (!port && timer.elapsed() < 60000 && lorvan.state() == QProcess::Running) {
        QThread::msleep(100);
        port = ListeningPort(lorvan.processId());
    }
    ASSERT_GE(port, 8080) << lorvan.readAllStandardError().toStdString();
    EXPECT_LE(port, 9001);
    const QByteArray answer = Get(port);
    // the start page: the login form while nobody is logged in
    EXPECT_TRUE(answer.startsWith("HTTP/1.1 200 OK\r\nServer: LorvanSrv\r\n")) << answer.constData();
    EXPECT_TRUE(answer.contains("href=\"default.xsl\"")) << answer.constData();
    EXPECT_TRUE(answer.contains("Set-Cookie: SESSIONID=")) << answer.constData();
    EXPECT_EQ(ProxyRows(path, "代理连接服务启动。"), 1);

    lorvan.terminate();
    ASSERT_TRUE(lorvan.waitForFinished(30000));
    EXPECT_EQ(lorvan.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(lorvan.exitCode(), 0);
    EXPECT_EQ(ProxyRows(path, "代理连接服务退出。"), 1);
}

} // namespace
