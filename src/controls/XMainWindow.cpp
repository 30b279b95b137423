#include "XMainWindow.h"

#include "XService.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QMainWindow>

namespace {
XService<QObject> g_mainWindow;
}

QObject* XGetMainWindow()
{
    if (QObject* installed = g_mainWindow.Get())
        return installed;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && qobject_cast<QMainWindow*>(w))
            return w;
    return nullptr;
}

QObject* XSetMainWindow(QObject* target) { return g_mainWindow.Install(target); }
