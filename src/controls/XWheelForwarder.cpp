#include "XWheelForwarder.h"

#include "CXDialogEx.h"

#include <QtGui/QWheelEvent>
#include <QtWidgets/QAbstractSpinBox>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QTextEdit>

namespace {

// The control a wheel event is meant for, when it is one whose wheel goes to the dialog.
QWidget* WheelControl(QWidget* w)
{
    for (int depth = 0; w && depth < 3; ++depth, w = w->parentWidget()) {
        if (qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QTextEdit*>(w) ||
            qobject_cast<QLineEdit*>(w))
            return w;
        if (auto* pe = qobject_cast<QPlainTextEdit*>(w))
            return pe->verticalScrollBar()->maximum() == 0 ? w : nullptr;
    }
    return nullptr;
}

} // namespace

void XWheelForwarder::Install()
{
    static XWheelForwarder* installed = nullptr;
    if (installed || !qApp)
        return;
    installed = new XWheelForwarder;
    installed->setParent(qApp);
    qApp->installEventFilter(installed);
}

bool XWheelForwarder::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Wheel || !watched->isWidgetType())
        return false;
    QWidget* control = WheelControl(static_cast<QWidget*>(watched));
    if (!control)
        return false;
    auto* wheel = static_cast<QWheelEvent*>(event);
    for (QWidget* p = control->parentWidget(); p; p = p->parentWidget()) {
        auto* dlg = qobject_cast<CXDialogEx*>(p);
        if (dlg && dlg->IsScrollable()) {
            dlg->OnMouseWheel(wheel->angleDelta().y());
            break;
        }
    }
    wheel->accept();
    return true;
}
