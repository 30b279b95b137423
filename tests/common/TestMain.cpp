// The main of every test executable: a (widget or GUI) application on Qt's offscreen
// platform, a program folder of its own, and the fake application services. Tests are
// strict: an error report no ErrorCapture took, and a prompt no test scripted, fail the
// running test.
#include "CFakeAppServices.h"
#include "XErrorReporter.h"
#if defined(LORVAN_TEST_WIDGETS) && LORVAN_TEST_WIDGETS
#include "XUi.h"
#endif

#include <gtest/gtest.h>

#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("LORVAN_HOME", home.path().toLocal8Bit());

#if defined(LORVAN_TEST_WIDGETS) && LORVAN_TEST_WIDGETS
    QApplication app(argc, argv);
#else
    QGuiApplication app(argc, argv);
#endif
    CFakeAppServices services;
    SetAppServices(&services);
    SetErrorSink([](const XErrorReport& r) {
        ADD_FAILURE() << "unexpected error report: " << r.task.toStdString() << " | " << r.message.toStdString()
                      << (r.detail.isEmpty() ? std::string() : " [" + r.detail.toStdString() + "]");
    });
#if defined(LORVAN_TEST_WIDGETS) && LORVAN_TEST_WIDGETS
    // Under every test's own hooks: whatever reaches these was asked of nobody's script.
    XUiTestHooks unscripted;
    unscripted.onUnscripted = [](const XUiTestHooks::Call& c) {
        ADD_FAILURE() << "unscripted " << c.kind.toStdString() << ": " << c.caption.toStdString() << " | "
                      << c.text.toStdString();
    };
#endif

    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    SetErrorSink(nullptr);
    SetAppServices(nullptr);
    return rc;
}
