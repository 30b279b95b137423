// Times the main frame's first show (construction with its ribbon and navigation pane,
// the login layout, the first paint) without and with the flat style, each run in a fresh
// process, and prints the medians. With --shots DIR it instead saves pictures of the ribbon's
// tabs, the minimised ribbon, the toolbar dialog and the navigation pane.
// Usage: QT_QPA_PLATFORM=offscreen bench_frameshow [runs=7] [--shots DIR [--dpi N]]
#include "CDlgRibbonQAT.h"
#include "CLorvanApp.h"
#include "CMainFrame.h"
#include "CXDBSession.h"
#include "CXNavbar.h"
#include "CXRibbonBar.h"
#include "CommandIcons.h"
#include "CommandIds.h"
#include "OpenDatabase.h"
#include "ProgramModules.h"
#include "ProgramSeams.h"
#include "XCommandActions.h"
#include "XDrawing.h"

#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDockWidget>
#include <QtWidgets/QMenu>
#include <QtWidgets/QToolButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

void Pump()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

void Save(QWidget* w, const QString& dir, const char* name)
{
    w->grab().save(dir + QLatin1Char('/') + QLatin1String(name));
    std::printf("%s/%s\n", qPrintable(dir), name);
}

// One program start up to the shown frame: the database, the application object with its
// icons, the administrator logged in.
struct XProgram
{
    QTemporaryDir home;
    CLorvanApp app;
    XProgramModules modules;
    bool ok = false;
    XProgram()
    {
        qputenv("LORVAN_HOME", home.path().toLocal8Bit());
        InstallProgramSeams(app);
        LoadCommandIcons(app);
        modules.Create();
        ok = CreateDatabase(GetConnectionString());
        CXDBSession s;
        s.Connect();
        MarkWritableColumns(s);
        app.m_user.m_nMduID = app.m_admin.m_nMduID;
        app.m_user.m_strName = app.m_admin.m_strName;
        app.m_user.m_nRightRole = 2;
    }
    ~XProgram() { RemoveProgramSeams(); }
};

int Child(bool styled)
{
    XProgram program;
    if (!program.ok)
        return 1;
    const auto t0 = std::chrono::steady_clock::now();
    {
        CMainFrame frame;
        InstallFrameSeams(&frame, &frame, nullptr, {});
        if (styled)
            frame.OnApplicationLook(ID_APPLOOK_WINDOWS_10);
        frame.RibbonBar()->RestoreLayout(program.app.m_user.m_strName);
        frame.Navbar()->RestoreLayout(program.app.m_user.m_strName);
        frame.resize(1280, 720);
        frame.show();
        Pump();
        frame.repaint();
        std::printf("%.6f\n", Seconds(t0));
        InstallFrameSeams(nullptr, nullptr, nullptr, {});
    }
    return 0;
}

int Shots(const QString& dir, int dpi)
{
    if (dpi)
        SetScreenDpiOverride(dpi, dpi);
    XProgram program;
    if (!program.ok)
        return 1;
    CMainFrame frame;
    InstallFrameSeams(&frame, &frame, nullptr, {});
    frame.m_pApp = &program.app;
    frame.OnApplicationLook(ID_APPLOOK_WINDOWS_10);
    frame.RibbonBar()->RestoreLayout(program.app.m_user.m_strName);
    frame.Navbar()->RestoreLayout(program.app.m_user.m_strName);
    frame.resize(1280 * (dpi ? dpi : 96) / 96, 720 * (dpi ? dpi : 96) / 96);
    frame.show();
    CLorvanApp::OpenModule(MDU_COURSE);
    Pump();
    CXRibbonBar* ribbon = frame.RibbonBar();
    for (int i = 0; i < ribbon->CategoryCount(); ++i) {
        ribbon->SetActiveCategory(i);
        frame.Actions()->Update();
        Pump();
        Save(ribbon, dir, i == 0 ? "ribbon_0.png" : "ribbon_1.png");
    }
    Save(&frame, dir, "frame.png");
    Save(frame.Navbar(), dir, "navbar.png");
    ribbon->SetMinimized(true);
    Pump();
    Save(&frame, dir, "frame_minimized.png");
    ribbon->SetMinimized(false);
    ribbon->SetQatOnBottom(true);
    Pump();
    Save(ribbon, dir, "ribbon_qat_below.png");
    ribbon->SetQatOnBottom(false);
    CDlgRibbonQAT dlg(*ribbon, &frame);
    dlg.Create();
    dlg.Categories()->setCurrentIndex(2);
    dlg.show();
    Pump();
    Save(&dlg, dir, "qat_dialog.png");
    dlg.hide();
    if (QMenu* menu = ribbon->DropDownMenu(0)) {
        frame.Actions()->Update();
        menu->popup(QPoint(0, 0));
        Pump();
        Save(menu, dir, "application_menu.png");
        menu->hide();
    }
    frame.m_pApp = nullptr;
    InstallFrameSeams(nullptr, nullptr, nullptr, {});
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication qapp(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.value(1) == QLatin1String("--child"))
        return Child(args.value(2) == QLatin1String("styled"));
    if (args.value(1) == QLatin1String("--shots")) {
        const int dpiAt = args.indexOf(QStringLiteral("--dpi"));
        return Shots(args.value(2), dpiAt > 0 ? args.value(dpiAt + 1).toInt() : 0);
    }
    const int runs = std::max(1, args.value(1, QStringLiteral("7")).toInt());
    std::vector<double> times[2];
    for (int i = 0; i < runs; ++i)
        for (int styled : {0, 1}) { // alternated, so a busy moment weighs on both alike
            QProcess child;
            child.start(QApplication::applicationFilePath(),
                        {QStringLiteral("--child"), styled ? QStringLiteral("styled") : QStringLiteral("plain")});
            child.waitForFinished(-1);
            const double t =
                QString::fromLatin1(child.readAllStandardOutput()).trimmed().split(u'\n').last().toDouble();
            if (child.exitCode() != 0 || t <= 0) {
                std::fprintf(stderr, "child failed: %s\n", child.readAllStandardError().constData());
                return 1;
            }
            times[styled].push_back(t);
        }
    std::printf("first show of the frame, median of %d fresh processes:\n", runs);
    std::printf("  without the style: %.3f s\n", Median(times[0]));
    std::printf("  with the style:    %.3f s\n", Median(times[1]));
    std::printf("  ratio: %.2f\n", Median(times[0]) > 0 ? Median(times[1]) / Median(times[0]) : 0.0);
    return 0;
}
