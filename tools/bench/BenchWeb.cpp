// Serves the generated school of the teaching benchmarks from the web service on loopback, for
// a load tool to drive the phone list page a teacher opens: ten weeks of her class records
// (three weekly classes, 30 records), as the list sheet renders it. See bench_web.sh, which
// logs in as a browser does, fetches the page and sets the same bytes beside it in nginx.
// Usage: bench_web <port>   - prints "port N", the account to log in with ("login <name>
// <password digest>") and the page's path ("list <path and query>") once listening; ends at
// end of input, after printing the threads and memory the process used.
#include "BenchSchool.h"
#include "CDBOperLog.h"
#include "CMD5.h"
#include "CXDBSession.h"
#include "CModulePrjQuery.h"
#include "OpenDatabase.h"
#include "PeopleModules.h"
#include "StudentModule.h"
#include "TeacherModule.h"
#include "WebService.h"
#include "WebState.h"
#include "XDateTime.h"

#include <QtCore/QFile>
#include <QtCore/QUrl>
#include <QtGui/QGuiApplication>

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
    // a GUI application as in the program: the records' text colours come from its palette
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int port = argc > 1 ? std::atoi(argv[1]) : 18480;

    // The first teacher logs in with a password of her own; her classes are those of the
    // timetables 1, 51 and 101, one each week.
    const QString teacherName = QStringLiteral("教师1");
    const QString digest = Md5HexW(QStringLiteral("bench"));
    // the other modules a running program has, whose names and lines the records show;
    // registered after the set-up's own modules and unregistered before them, so made first
    const std::unique_ptr<CModule> teachers = CreateTeacherModule(), students = CreateStudentModule(),
                                   courses = CreateCourseModule(), charges = CreateChargeModule();
    CModulePrjQuery schemes;
    XBenchSchoolSetUp setUp;
    const auto account = [&digest](CXDBSession& s, const XBenchSchool&) {
        // logging in needs an open employment line
        return BenchExec(s, QStringLiteral("INSERT INTO TB_TEACHER_RESUME (TeacherID, DateBgn, Stage) VALUES (1, %1, 7)")
                                .arg(static_cast<int>(XDateTime(2025, 6, 1).Day()))) &&
               BenchExec(s, QStringLiteral("UPDATE TB_TEACHER SET UserPassword='%1', IsEnabled=1 WHERE ID=1").arg(digest));
    };
    if (!setUp.Open(account) || !setUp.RegisterModules({teachers.get(), students.get(), courses.get(), charges.get(), &schemes}))
        return 1;
    if (!MarkWritableColumns(setUp.session, *CDBOperLog::StaticHeads()))
        return 1;

    // ten whole weeks, Monday 2 March to Sunday 10 May 2026, all of them stored classes
    CXMap query;
    query.SetDate(QKEY_DATE_FROM, XDateTime(2026, 3, 2));
    query.SetDate(QKEY_DATE_TO, XDateTime(2026, 5, 10));
    const QByteArray path = "/query?mduid=" + QByteArray::number(setUp.classes.GetMduID()) +
                            "&xsl=items&query=" + QUrl::toPercentEncoding(query.ToXml());

    xInternet::SetWebPortRange(port, port);
    xInternet::StartWebService();
    for (int i = 0; i < 500 && !xInternet::GetWebServiceState().port; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::printf("port %d\n", xInternet::GetWebServiceState().port);
    std::printf("login %s %s\n", qPrintable(teacherName), qPrintable(digest));
    std::printf("list %s\n", path.constData());
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
