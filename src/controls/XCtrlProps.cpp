#include "XCtrlProps.h"

#include "XWinStyles.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QWidget>

namespace {
constexpr const char* kId = "xid";
constexpr const char* kClass = "xclass";
constexpr const char* kStyle = "xstyle";
constexpr const char* kExStyle = "xexstyle";
} // namespace

int CtrlId(const QWidget* w)
{
    if (!w)
        return 0;
    const QVariant v = w->property(kId);
    return v.isValid() ? v.toInt() : 0;
}

QString WndClass(const QWidget* w) { return w ? w->property(kClass).toString() : QString(); }
unsigned CtrlStyle(const QWidget* w) { return w ? w->property(kStyle).toUInt() : 0; }
unsigned CtrlExStyle(const QWidget* w) { return w ? w->property(kExStyle).toUInt() : 0; }
bool HasStyle(const QWidget* w, unsigned style) { return (CtrlStyle(w) & style) == style; }

void SetCtrlProps(QWidget* w, int id, const QString& wndClass, unsigned style, unsigned exStyle)
{
    w->setProperty(kId, id);
    w->setProperty(kClass, wndClass);
    w->setProperty(kStyle, style);
    w->setProperty(kExStyle, exStyle);
}

void CopyCtrlProps(const QWidget* from, QWidget* to)
{
    SetCtrlProps(to, CtrlId(from), WndClass(from), CtrlStyle(from), CtrlExStyle(from));
}

bool IsAutoRadio(const QWidget* w)
{
    return WndClass(w) == QLatin1String("Button") && (CtrlStyle(w) & 0xFFFF) == BS_AUTORADIOBUTTON;
}

bool IsAutoCheck(const QWidget* w)
{
    return WndClass(w) == QLatin1String("Button") && (CtrlStyle(w) & 0xFFFF) == BS_AUTOCHECKBOX;
}

bool IsFocused(const QWidget* w)
{
    const QWidget* f = QApplication::focusWidget();
    return w && f && (f == w || w->isAncestorOf(f));
}
