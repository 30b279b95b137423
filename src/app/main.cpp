#include "CInstanceGuard.h"
#include "CLorvanApp.h"
#include "CMainFrame.h"
#include "CommandIds.h"
#include "ProgramWindows.h"
#include "Version.h"
#include "XCmdUpdater.h"

#include <QtCore/QSocketNotifier>
#include <QtWidgets/QApplication>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void OnTerminate(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

// SIGTERM and SIGINT end the program through the event loop, so windows close and
// destructors run as on a normal exit.
void QuitOnSignals(QApplication& app)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [notifier] {
        char c;
        [[maybe_unused]] ssize_t n = ::read(g_signalPipe[0], &c, 1);
        notifier->setEnabled(false);
        CMainFrame::EndWithoutAsking();
        QApplication::quit();
    });
    struct sigaction sa = {};
    sa.sa_handler = OnTerminate;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lorvan Manager"));
    QApplication::setApplicationVersion(FormatVersion(GetOwnFileVersion()));
    QuitOnSignals(app);

    CLorvanApp lorvan;
    SetActivateRequestHandler([](quint32 dataWord) {
        if (dataWord == ACTIVATE_DATA_WORD)
            std::fputs("lorvan: activation request from another start\n", stderr);
        ActivateProgramWindows(dataWord);
    });
    if (!lorvan.InitInstance()) {
        lorvan.ExitInstance();
        if (!lorvan.m_bSecondStart)
            return 1;
        std::fputs("lorvan: already running; asked it to come forward\n", stderr);
        return 0;
    }
    XCmdUpdater::Instance().StartHeartbeat();
    // the login command runs as soon as the event loop does
    QMetaObject::invokeMethod(
        &app, [&lorvan] { lorvan.OnAppCommand(ID_APP_LOGOUT); }, Qt::QueuedConnection);

    const int rc = app.exec();
    lorvan.ExitInstance();
    return rc;
}
