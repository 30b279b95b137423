#include "ProgramWindows.h"

#include "CInstanceGuard.h"

#include <QtCore/QPointer>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QDialog>
#include <QtWidgets/QMainWindow>

namespace {

void BringForward(QWidget* window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

// Closing a window may destroy others, so the walk holds guarded pointers.
QList<QPointer<QWidget>> TopLevelWindows()
{
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isWindow())
            windows.append(w);
    return windows;
}

} // namespace

bool HandleActivateRequest(QWidget* window, quint32 dataWord)
{
    if (dataWord != ACTIVATE_DATA_WORD || !window)
        return false;
    auto* dialog = qobject_cast<QDialog*>(window);
    if (!dialog || !dialog->isVisible())
        return false;
    BringForward(dialog);
    return true;
}

void ActivateProgramWindows(quint32 dataWord)
{
    if (dataWord != ACTIVATE_DATA_WORD)
        return;
    bool handled = false;
    for (const QPointer<QWidget>& w : TopLevelWindows())
        if (w && HandleActivateRequest(w, dataWord))
            handled = true;
    if (handled)
        return;
    for (const QPointer<QWidget>& w : TopLevelWindows()) {
        if (w && w->isVisible() && qobject_cast<QMainWindow*>(w)) {
            BringForward(w);
            return;
        }
    }
}

void CloseProgramWindowProc(QWidget* window, QWidget* keep)
{
    if (!window || window == keep || !window->isWindow() || !window->isVisible())
        return;
    QPointer<QWidget> guard(window);
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &escape);
    if (!guard || !guard->isVisible())
        return;
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->reject();
        if (!guard || !guard->isVisible())
            return;
    }
    guard->close();
}

void CloseProgramWindows(QWidget* keep)
{
    for (const QPointer<QWidget>& w : TopLevelWindows())
        if (w)
            CloseProgramWindowProc(w, keep);
}
