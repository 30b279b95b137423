// Times the first show of a large operation log in its module window (the module reads the
// newest rows, the list takes them, the frame refreshes its panes) and the time until the
// rest has joined the list, against the same SELECT run by the sqlite3 shell on the same
// database.
// Usage: QT_QPA_PLATFORM=offscreen bench_operlog [rows=100000] [page rows, 0: no paging]
#include "CAppServices.h"
#include "CHead.h"
#include "CLorvanView.h"
#include "CMainFrame.h"
#include "CModuleOperLog.h"
#include "CXArray.h"
#include "CXDBSession.h"
#include "OpenDatabase.h"
#include "ProgramModules.h"
#include "ProgramSeams.h"
#include "SqlPrepare.h"
#include "XDateTime.h"

#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtCore/QThread>
#include <QtWidgets/QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

double Seconds(std::chrono::steady_clock::time_point t0)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 100000;
    // 0 reads the whole log before the window shows, as a list that is not paged does
    if (argc > 2)
        CLorvanView::s_nPageRows = std::atoi(argv[2]);
    QTemporaryDir home;
    qputenv("LORVAN_HOME", home.path().toLocal8Bit());
    XClock::SetFixed(XDateTime(2026, 6, 15, 10, 0, 0));
    const QString path = GetConnectionString();
    if (!CreateDatabase(path))
        return 1;
    CAppServices services;
    SetAppServices(&services);
    XProgramModules modules;
    modules.Create();
    CXDBSession s;
    s.Connect();
    MarkWritableColumns(s);
    const int today = static_cast<int>(XDateTime(2026, 6, 15).Day());
    // a year of edits, logins and queries by a few users on a few hundred records
    const QString fill =
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
                       "INSERT INTO TB_OPERLOG (OperTime, UserID, UserMduID, TypeID, MduID, ItemID, OperMemo) "
                       "SELECT %2 - (i %% 365) + (i %% 97) / 100.0, i %% 5, 322, i %% 11, 328 + i %% 2, i %% 300, "
                       "'操作记录 ' || i FROM n")
            .arg(rows)
            .arg(today);
    auto t0 = std::chrono::steady_clock::now();
    if (!s.ExecuteSql(QString(fill).replace(QStringLiteral("%%"), QStringLiteral("%")))) {
        std::fprintf(stderr, "%s\n", qPrintable(GetOleDbErrorText()));
        return 1;
    }
    std::printf("generated %d log rows in %.1f s\n", rows, Seconds(t0));

    CModule* log = FindModule(MDU_OPERLOG);
    // the log is always queried: a date range over every row, the most it can be asked to show
    CXMap all;
    all.SetDate(QKEY_DATE_FROM, XDateTime(static_cast<double>(today - 400)));
    QStringList conditions;
    log->BuildQueryConditions(conditions, all);
    CModuleOperLog::AddLogConditions(conditions, all);
    const QString sql = PrepareSql(log->GetHeads()->BuildSelect(nullptr, &conditions)) + QStringLiteral(";\n");
    QFile script(home.path() + QStringLiteral("/select.sql"));
    if (!script.open(QIODevice::WriteOnly))
        return 1;
    script.write(sql.toUtf8());
    script.close();

    CMainFrame frame;
    InstallFrameSeams(&frame, &frame, nullptr, {});
    frame.resize(1280, 720);
    frame.show();
    QApplication::processEvents();

    t0 = std::chrono::steady_clock::now();
    log->ApplyQuery(all);
    QApplication::processEvents();
    frame.repaint();
    const double shown = Seconds(t0);
    auto* view = qobject_cast<CLorvanView*>(log->GetView());
    const int listed = view ? view->GetList()->GetItemCount() : -1;
    // the newest rows show first; the rest joins the list when the worker has read it
    while (view && view->IsReadingRest()) {
        QApplication::processEvents();
        QThread::msleep(1);
    }
    frame.repaint();
    const double whole = Seconds(t0);
    const int listedAll = view ? view->GetList()->GetItemCount() : -1;

    // the module's read alone (after the show, so both find the database equally warm), for
    // the share of the list and the panes in the first show
    double readOnly = 0;
    {
        CXArray items(nullptr, true);
        t0 = std::chrono::steady_clock::now();
        log->QueryItems(items, all, false, false);
        readOnly = Seconds(t0);
    }

    QProcess shell;
    shell.setStandardInputFile(script.fileName());
    shell.setStandardOutputFile(QProcess::nullDevice());
    t0 = std::chrono::steady_clock::now();
    shell.start(QStringLiteral("sqlite3"), {path});
    shell.waitForFinished(-1);
    const double bare = Seconds(t0);

    std::printf("first show of the log window: %d rows in %.3f s\n", listed, shown);
    std::printf("whole list there:             %d rows in %.3f s\n", listedAll, whole);
    std::printf("  of which the module's read: %.3f s\n", readOnly);
    std::printf("sqlite3 shell, same SELECT:   %.3f s (exit %d)\n", bare, shell.exitCode());
    std::printf("ratio: %.2f\n", bare > 0 ? shown / bare : 0.0);
    InstallFrameSeams(nullptr, nullptr, nullptr, {});
    SetAppServices(nullptr);
    return 0;
}
