#include "CFakeAppServices.h"
#include "FakeHttpServer.h"
#include "ProgramPaths.h"
#include "TestSupport.h"
#include "UpdateServer.h"
#include "XHttp.h"
#include "XThread.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <gtest/gtest.h>

#include <thread>

namespace {

const std::string kDocPath = "/lorvanmanager/download/lorvan.xml";
const std::string kUpdaterPath = "/lorvanmanager/download/lorvanu.exe";

// Points the update server at the fake for the life of the object.
class UpdateServerAt
{
public:
    explicit UpdateServerAt(const QString& url) : m_previous(qgetenv("LORVAN_UPDATE_SERVER"))
    {
        qputenv("LORVAN_UPDATE_SERVER", url.toUtf8());
    }
    ~UpdateServerAt() { qputenv("LORVAN_UPDATE_SERVER", m_previous); }

private:
    QByteArray m_previous;
};

QByteArray Payload(int size)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 7 + 3);
    return bytes;
}

TEST(UpdateServer, FetchesTheVersionDocumentAndNothingFromAnErrorPage)
{
    FakeHttpServer server;
    UpdateServerAt at(server.BaseUrl() + QStringLiteral("/"));
    XEvent abort(true, false);
    EXPECT_EQ(FetchVersionXml(abort), QString()); // 404
    const QByteArray doc = QString::fromUtf8("<r><files lastversion=\"9.0\" date=\"2026年1月1日\"/></r>").toUtf8();
    server.Answer(kDocPath, 200, doc);
    EXPECT_EQ(FetchVersionXml(abort), QString::fromUtf8(doc));
    server.Answer(kDocPath, 500, doc);
    EXPECT_EQ(FetchVersionXml(abort), QString());
}

// The updater counts as downloaded only when the whole announced length arrived with status
// 200; the progress window opens only once the server has answered so.
TEST(UpdateServer, DownloadIsCompleteOnlyWithStatus200AndEveryAnnouncedByte)
{
    ScopedHome home;
    FakeHttpServer server;
    UpdateServerAt at(server.BaseUrl());
    const QByteArray body = Payload(20000);
    struct Case
    {
        const char* name;
        QByteArray raw;
        bool ok;
        bool progress;
    };
    const QByteArray head = "HTTP/1.1 200 OK\r\nConnection: close\r\n";
    const Case cases[] = {
        {"whole", head + "Content-Length: 20000\r\n\r\n" + body, true, true},
        {"not found", "HTTP/1.1 404 Not Found\r\nContent-Length: 5\r\n\r\nnope.", false, false},
        {"length 0", head + "Content-Length: 0\r\n\r\n", false, false},
        {"no length", head + "\r\n" + body, false, false},
        {"truncated", head + "Content-Length: 20000\r\n\r\n" + body.left(8000), false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.Answer(kUpdaterPath, c.raw);
        CFakeAppServices::Installed().progress.clear();
        const QString message = DownloadUpdater(nullptr);
        EXPECT_EQ(message.isEmpty(), c.ok) << message.toStdString();
        if (!c.ok)
            EXPECT_EQ(message, QString::fromUtf8("下载 “%1” 失败！").arg(UpdaterUrl()));
        const QStringList& progress = CFakeAppServices::Installed().progress;
        EXPECT_EQ(!progress.isEmpty(), c.progress) << progress.join(u'|').toStdString();
        if (c.ok) {
            QFile file(UpdaterPath());
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), body);
            ASSERT_FALSE(progress.isEmpty());
            EXPECT_EQ(progress.first(), QString::fromUtf8("begin:更新:%1").arg(20000 / 4096 + 2));
            EXPECT_EQ(progress.at(1), QString::fromUtf8("step:正在下载更新程序 ...\r\n共 19 KB，已下载 0 KB。"));
            EXPECT_LE(progress.size() - 2, 20000 / 4096 + 2); // never more steps than the range
            EXPECT_EQ(progress.last(), QStringLiteral("end"));
        }
    }
    // the updater's place cannot be written
    QFile::remove(UpdaterPath());
    ASSERT_TRUE(QDir().mkpath(UpdaterPath()));
    server.Answer(kUpdaterPath, 200, body);
    EXPECT_TRUE(DownloadUpdater(nullptr).startsWith(QString::fromUtf8("保存 “%1” 失败！").arg(UpdaterPath())));
}

// A request to a server that never answers ends as soon as its abort event is set, long
// before its own time limit.
TEST(UpdateServer, AnAbortEndsARequestInProgress)
{
    FakeHttpServer server;
    server.Hang(kDocPath);
    XEvent abort(true, false);
    std::thread setter([&abort, &server] {
        while (server.Requests() == 0)
            std::this_thread::yield();
        abort.Set();
    });
    const XHttpResult r = HttpRequest(server.BaseUrl() + QString::fromStdString(kDocPath), QByteArray(), &abort, 60000);
    setter.join();
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QString::fromUtf8("已取消"));

    // without an abort the time limit ends it
    XEvent never(true, false);
    const XHttpResult late =
        HttpRequest(server.BaseUrl() + QString::fromStdString(kDocPath), QByteArray(), &never, 300);
    EXPECT_FALSE(late.ok);
    EXPECT_EQ(late.error, QString::fromUtf8("超时"));
}

} // namespace
