// Serves a small XML page (the common page header over a short list, as every page of the
// web service carries it) from the web service on loopback, for a load tool to drive; see
// bench_web.sh, which sets the same bytes beside it in nginx.
// Usage: bench_web <port>   - prints "port N" once listening; ends at end of input, after
// printing the threads and memory the process used.
#include "CDBOperLog.h"
#include "CHttpRequest.h"
#include "CXDBSession.h"
#include "CXXmlDoc.h"
#include "OpenDatabase.h"
#include "WebService.h"
#include "WebState.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <thread>

namespace {

// "Threads", "VmRSS" and "VmHWM" of this process.
void PrintProcessStatus()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("Threads:") || line.startsWith("VmRSS:") || line.startsWith("VmHWM:"))
            std::printf("%s\n", line.simplified().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int port = argc > 1 ? std::atoi(argv[1]) : 18480;
    QTemporaryDir home;
    qputenv("LORVAN_HOME", home.path().toLocal8Bit());
    if (!CreateDatabase(GetConnectionString()))
        return 1;
    {
        CXDBSession session;
        session.Connect();
        MarkWritableColumns(session, *CDBOperLog::StaticHeads());
    }
    xInternet::StaticFileHandler() = [](xInternet::CHttpRequest& request) {
        CXXmlDoc doc(QStringLiteral("<r><list><i id=\"1\" name=\"钢琴 一对一\"/><i id=\"2\" name=\"小提琴 小组\"/>"
                                    "<i id=\"3\" name=\"素描 基础\"/></list></r>"));
        request.AddPageHeader(doc, false);
        request.WriteXmlPage(doc);
    };
    xInternet::SetWebPortRange(port, port);
    xInternet::StartWebService();
    for (int i = 0; i < 500 && !xInternet::GetWebServiceState().port; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::printf("port %d\n", xInternet::GetWebServiceState().port);
    std::fflush(stdout);
    std::string line;
    while (std::getline(std::cin, line))
        if (line == "status")
            PrintProcessStatus();
    PrintProcessStatus();
    const auto t0 = std::chrono::steady_clock::now();
    xInternet::StopWebService();
    std::printf("stopped in %.3f s\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    return 0;
}
