#include "CInstanceGuard.h"
#include "CMD5.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtCore/QDeadlineTimer>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QUuid>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

QString UniqueKey() { return Md5HexW(QUuid::createUuid().toString()); }

// Runs the event loop until `count` requests arrived or the time is up.
std::vector<quint32> Collect(CInstanceGuard& guard, size_t count, int ms = 3000)
{
    std::vector<quint32> words;
    QObject context;
    QObject::connect(&guard, &CInstanceGuard::activateRequested, &context, [&](quint32 w) { words.push_back(w); });
    const QDeadlineTimer deadline(ms);
    while (words.size() < count && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    // and a little longer, to see that nothing more comes
    const QDeadlineTimer settle(200);
    while (!settle.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return words;
}

TEST(CInstanceGuard, SecondGuardHandsOverOnce)
{
    const QString key = UniqueKey();
    CInstanceGuard first(key);
    ASSERT_FALSE(first.ActivateOtherInstance());
    EXPECT_FALSE(first.ActivateOtherInstance()); // asking again changes nothing

    CInstanceGuard second(key);
    EXPECT_TRUE(second.ActivateOtherInstance(2000));
    EXPECT_EQ(Collect(first, 2), std::vector<quint32>{ACTIVATE_DATA_WORD});

    // the word travels as it is sent; judging it is the receiver's business
    EXPECT_TRUE(CInstanceGuard::SendRequest(first.ServerName(), 17, 2000));
    EXPECT_EQ(Collect(first, 1), std::vector<quint32>{17u});

    // another key is another program
    CInstanceGuard other(UniqueKey());
    EXPECT_FALSE(other.ActivateOtherInstance());
}

TEST(CInstanceGuard, StaleSocketFileDoesNotBlockANewFirstInstance)
{
    const QString key = UniqueKey();
    CInstanceGuard probe(key);
    const QString socketPath = QDir::tempPath() + u'/' + probe.ServerName();

    // what a killed instance leaves behind: a socket file nobody listens on
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(socketPath);
    ASSERT_LT(static_cast<size_t>(path.size()), sizeof addr.sun_path);
    std::memcpy(addr.sun_path, path.constData(), static_cast<size_t>(path.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ::close(fd);
    ASSERT_TRUE(QFileInfo::exists(socketPath));
    EXPECT_FALSE(CInstanceGuard::SendRequest(probe.ServerName(), ACTIVATE_DATA_WORD, 300));

    CInstanceGuard first(key);
    ASSERT_FALSE(first.ActivateOtherInstance());
    CInstanceGuard second(key);
    EXPECT_TRUE(second.ActivateOtherInstance(2000));
    EXPECT_EQ(Collect(first, 1), std::vector<quint32>{ACTIVATE_DATA_WORD});
}

TEST(CInstanceGuard, KeyIsCaseSensitiveAndIncludesTheFolder)
{
    const QString key = GetInstanceKey(QStringLiteral("/opt/App/lorvan"), QStringLiteral("/opt/App"));
    EXPECT_EQ(key.size(), 32);
    EXPECT_EQ(key, GetInstanceKey(QStringLiteral("/opt/App/lorvan"), QStringLiteral("/opt/App")));
    EXPECT_NE(key, GetInstanceKey(QStringLiteral("/opt/app/lorvan"), QStringLiteral("/opt/app")));
    EXPECT_NE(key, GetInstanceKey(QStringLiteral("/opt/App/lorvan"), QStringLiteral("/srv/school")));
}

} // namespace
