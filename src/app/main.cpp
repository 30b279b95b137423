#include "CAppServices.h"
#include "CInstanceGuard.h"
#include "ProgramWindows.h"
#include "ProgramModules.h"
#include "ProgramPaths.h"
#include "ProgramSeams.h"
#include "StartDatabase.h"
#include "Version.h"
#include "XCmdUpdater.h"

#include <QtCore/QSocketNotifier>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMainWindow>

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

    // A second start hands over to the running instance before any window shows.
    if (ActivateOtherInstance()) {
        std::fputs("lorvan: already running; asked it to come forward\n", stderr);
        return 0;
    }
    SetActivateRequestHandler([](quint32 dataWord) {
        if (dataWord == ACTIVATE_DATA_WORD)
            std::fputs("lorvan: activation request from another start\n", stderr);
        ActivateProgramWindows(dataWord);
    });

    CAppServices services;
    InstallProgramSeams(services);
    // the database step marks writable columns and logs over the registered modules
    XProgramModules modules;
    modules.Create();
    if (!StartDatabase()) {
        StopDatabase();
        RemoveProgramSeams();
        return 1;
    }

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Lorvan Manager ") + FormatVersion(GetOwnFileVersion()));
    auto* label = new QLabel(QStringLiteral("程序目录：") + GetExeFolder(), &window);
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(1024, 680);
    window.show();
    XCmdUpdater::Instance().StartHeartbeat();

    const int rc = app.exec();
    StopDatabase();
    RemoveProgramSeams();
    return rc;
}
