#include "XMainWindow.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QMainWindow>

namespace {
QObject* g_mainWindow = nullptr;
}

QObject* XGetMainWindow()
{
    if (g_mainWindow)
        return g_mainWindow;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && qobject_cast<QMainWindow*>(w))
            return w;
    return nullptr;
}

QObject* XSetMainWindow(QObject* target)
{
    QObject* previous = g_mainWindow;
    g_mainWindow = target;
    return previous;
}
