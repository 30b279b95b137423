#include "XReadOnly.h"

#include <QtCore/QEvent>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QTextEdit>

namespace {
constexpr const char* kReadOnly = "xreadonly";
}

bool IsWndReadOnly(const QWidget* w) { return w && w->property(kReadOnly).toBool(); }

void SetWndReadOnly(QWidget* w, bool readOnly)
{
    if (!w || IsWndReadOnly(w) == readOnly)
        return;
    w->setProperty(kReadOnly, readOnly);
    if (auto* ro = dynamic_cast<IXReadOnly*>(w))
        ro->OnReadOnlyChanged(readOnly);
    else if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setReadOnly(readOnly);
    else if (auto* pe = qobject_cast<QPlainTextEdit*>(w))
        pe->setReadOnly(readOnly);
    else if (auto* te = qobject_cast<QTextEdit*>(w))
        te->setReadOnly(readOnly);
    w->update();
}

bool IsReadOnlyInput(const QWidget* control, const QEvent* e)
{
    switch (e->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return IsWndReadOnly(control);
    default:
        return false;
    }
}
