// The main of every test executable: a (widget or GUI) application on Qt's offscreen
// platform, a program folder of its own, and the fake application services.
#include "CFakeAppServices.h"

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

    ::testing::InitGoogleTest(&argc, argv);
    const int rc = RUN_ALL_TESTS();
    SetAppServices(nullptr);
    return rc;
}
