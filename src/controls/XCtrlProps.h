#pragma once

#include <QtCore/QString>

class QWidget;

// What a dialog table said about a control, kept on the widget itself so that it survives
// replacing the control by a custom one: its id, the window class it stands for ("Static",
// "Button", "Edit", "ComboBox", ...), its style and extended style.
int CtrlId(const QWidget* w);
QString WndClass(const QWidget* w);
unsigned CtrlStyle(const QWidget* w);
unsigned CtrlExStyle(const QWidget* w);
bool HasStyle(const QWidget* w, unsigned style);
void SetCtrlProps(QWidget* w, int id, const QString& wndClass, unsigned style, unsigned exStyle);
void CopyCtrlProps(const QWidget* from, QWidget* to);

// Auto radio buttons and auto check boxes by their exact button style.
bool IsAutoRadio(const QWidget* w);
bool IsAutoCheck(const QWidget* w);

// A control or one of its children holds the focus (a combo box's edit, a picker's parts).
bool IsFocused(const QWidget* w);
