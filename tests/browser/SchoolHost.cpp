// Serves the fixture school to a browser journey: saves the school into a temporary program
// folder through the program's own writer, starts the web service on a free port, prints
// "PORT <n>" and serves until its standard input closes.
#include "CFakeAppServices.h"
#include "CModulePrjQuery.h"
#include "CMD5.h"
#include "CXDBSession.h"
#include "FixtureSchool.h"
#include "OpenDatabase.h"
#include "TeachingModules.h"
#include "WebService.h"
#include "WebState.h"
#include "XErrorReporter.h"

#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

// A port nobody listens on now (the kernel's pick).
int FreePort()
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
        port = ntohs(addr.sin_port);
    close(fd);
    return port;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("LORVAN_HOME", home.path().toLocal8Bit());
    QGuiApplication app(argc, argv);

    CFakeAppServices services;
    services.expectPrompts = true; // no test runs here: errors go to stderr
    services.setup[QStringLiteral("RecordName")] = QStringLiteral("星光艺术学校");
    services.setup[QStringLiteral("DefaultPwd0")] = QStringLiteral("teach");
    services.setup[QStringLiteral("DefaultPwd1")] = QStringLiteral("learn");
    SetAppServices(&services);
    SetErrorSink([](const XErrorReport& r) {
        std::fprintf(stderr, "error report: %s | %s\n", qPrintable(r.task), qPrintable(r.message));
    });

    int rc = 0;
    {
        TempDatabase db;
        FixtureModules modules;
        // the class records and timetables phones read, and the query schemes of the lists
        XTeachingModules teaching;
        teaching.Register();
        CModulePrjQuery schemes;
        RegisterModule(&schemes);
        {
            CXDBSession session;
            session.Connect();
            if (!MarkWritableColumns(session))
                return 2;
        }
        XFixtureSchool school;
        if (!BuildFixtureSchool(school))
            return 3;
        // 刘芳 (administrator) has a password of her own; the others keep the initial one
        Exec(QStringLiteral("UPDATE TB_TEACHER SET UserPassword='%1' WHERE ID=%2")
                 .arg(Md5HexW(QStringLiteral("liufang")))
                 .arg(school.t1));

        const int port = FreePort();
        xInternet::SetWebPortRange(port, port);
        xInternet::StartWebService();
        for (int i = 0; i < 500 && !xInternet::GetWebServiceState().port; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!xInternet::GetWebServiceState().port) {
            std::fprintf(stderr, "the web service did not start on port %d\n", port);
            rc = 4;
        } else {
            std::printf("PORT %d\n", port);
            std::fflush(stdout);
            char line[256];
            while (std::fgets(line, sizeof line, stdin)) {}
        }
        xInternet::StopWebService();
        UnregisterModule(&schemes);
        teaching.Unregister();
    }
    SetErrorSink(nullptr);
    SetAppServices(nullptr);
    return rc;
}
