// Threads, the error reporter and the application seam.
#include "CFakeAppServices.h"
#include "TestSupport.h"
#include "XAppServices.h"
#include "XThread.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(IsUiThread, MainThreadOnlyUnlessOverridden)
{
    EXPECT_TRUE(IsUiThread());
    bool onWorker = true;
    std::thread([&] { onWorker = IsUiThread(); }).join();
    EXPECT_FALSE(onWorker);

    SetUiThreadOverride(0);
    EXPECT_FALSE(IsUiThread());
    SetUiThreadOverride(1);
    std::thread([&] { onWorker = IsUiThread(); }).join();
    EXPECT_TRUE(onWorker);
    SetUiThreadOverride(-1);
    EXPECT_TRUE(IsUiThread());
}

TEST(ManualResetEvent, StaysSetUntilResetAndWakesEveryWaiter)
{
    ManualResetEvent stop;
    EXPECT_FALSE(stop.Wait(std::chrono::milliseconds(10)));
    std::vector<std::thread> waiters;
    std::atomic<int> woke{0};
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            if (stop.Wait(std::chrono::seconds(10)))
                ++woke;
        });
    stop.Set();
    for (auto& t : waiters)
        t.join();
    EXPECT_EQ(woke, 3);
    EXPECT_TRUE(stop.IsSet());
    EXPECT_TRUE(stop.Wait(std::chrono::milliseconds(0)));
    EXPECT_TRUE(stop.Wait()); // no time-out, already set
    stop.Reset();
    EXPECT_FALSE(stop.IsSet());
    EXPECT_FALSE(ManualResetEvent().IsSet());
    EXPECT_TRUE(ManualResetEvent(true).IsSet());
}

TEST(ErrorReporter, OneSinkAndNoChainedReports)
{
    ErrorCapture capture;
    ReportError(QStringLiteral("读取学员"), QStringLiteral("SELECT *"), QStringLiteral("no such table"));
    ASSERT_EQ(capture.reports.size(), 1u);
    EXPECT_EQ(capture.reports[0].task, QString::fromUtf8("读取学员"));
    EXPECT_EQ(capture.reports[0].detail, "SELECT *");
    EXPECT_EQ(capture.reports[0].message, "no such table");

    // a sink whose own work fails and reports again must not recurse
    int calls = 0;
    XErrorSink previous = SetErrorSink([&](const XErrorReport&) {
        ++calls;
        ReportError(QStringLiteral("写操作记录"), {}, QStringLiteral("disk full"));
    });
    ReportError(QStringLiteral("保存"), {}, QStringLiteral("locked"));
    EXPECT_EQ(calls, 1);
    ReportError(QStringLiteral("保存"), {}, QStringLiteral("locked again")); // the guard was released
    EXPECT_EQ(calls, 2);
    SetErrorSink(previous);

    std::thread([] { ReportError(QStringLiteral("后台"), {}, QStringLiteral("x")); }).join();
    ASSERT_EQ(capture.reports.size(), 2u);
    EXPECT_EQ(capture.reports[1].task, QString::fromUtf8("后台"));
}

// The test main's sink and the fake fail the running test on what it did not expect.
TEST(StrictTests, AnUncapturedReportOrUnscriptedMessageBoxFails)
{
    EXPECT_NONFATAL_FAILURE(ReportError(QStringLiteral("保存"), {}, QStringLiteral("locked")),
                            "unexpected error report: 保存 | locked");
    EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
        std::thread([] { ReportError(QStringLiteral("后台"), {}, QStringLiteral("x")); }).join(),
        "unexpected error report: 后台");
    EXPECT_NONFATAL_FAILURE(
        AppServices().MessageBox(nullptr, QStringLiteral("确定?"), QStringLiteral("删除"), MB_OKCANCEL),
        "unscripted message box: 删除 | 确定?");
    EXPECT_NONFATAL_FAILURE(
        AppServices().ShowSqlError(QStringLiteral("读取"), QStringLiteral("SELECT 1"), QStringLiteral("x")),
        "unscripted database error dialog: 读取");
    CFakeAppServices& app = CFakeAppServices::Installed();
    app.expectPrompts = true;
    app.answer = IDCANCEL;
    EXPECT_EQ(AppServices().MessageBox(nullptr, QStringLiteral("确定?"), QStringLiteral("删除"), MB_OKCANCEL),
              IDCANCEL);
    app.Clear();
    EXPECT_FALSE(app.expectPrompts);
}

TEST(AppServices, HeadlessDefaultsAnswerSafely)
{
    XAppServices* installed = SetAppServices(nullptr);
    XAppServices& defaults = AppServices();
    EXPECT_EQ(defaults.MessageBox(nullptr, QStringLiteral("t"), QStringLiteral("c"), MB_OK), IDOK);
    EXPECT_EQ(defaults.MessageBox(nullptr, QStringLiteral("删除?"), QStringLiteral("c"), MB_OKCANCEL | MB_ICONWARNING),
              IDCANCEL);
    EXPECT_EQ(defaults.MessageBox(nullptr, QStringLiteral("?"), QStringLiteral("c"), MB_YESNO), IDNO);
    EXPECT_EQ(defaults.Admin(), nullptr);
    EXPECT_FALSE(defaults.SetupValue(QStringLiteral("BackupPath")).isValid());
    auto progress = defaults.BeginProgress(QStringLiteral("导出"), 3);
    ASSERT_NE(progress, nullptr);
    progress->Step(QStringLiteral("1"));
    EXPECT_EQ(SetAppServices(installed), nullptr);
    EXPECT_EQ(&AppServices(), installed);
}

} // namespace
