#pragma once

#include <QtCore/QSize>
#include <QtCore/QString>

#include <vector>

// The kinds of template controls; each stands for a window class of the dialog tables
// (kept on the control as WndClass) with its button style where it matters.
enum class XCtrlKind {
    Static,    // "Static"
    Edit,      // "Edit", multi-line with ES_MULTILINE
    Button,    // "Button", push button
    Radio,     // "Button", BS_AUTORADIOBUTTON
    Check,     // "Button", BS_AUTOCHECKBOX
    GroupBox,  // "Button", BS_GROUPBOX
    Combo,     // "ComboBox"
    List,      // "SysListView32"
    Date,      // "SysDateTimePick32"
    Link,      // "SysLink"
    MfcButton, // "MfcButton", an icon button
    Tab,       // "SysTabControl32"
    RichEdit,  // "RichEdit50W"
    Custom,    // an empty slot a dialog fills with its own control (EnsureControl)
};

// One control of a dialog table. The table's order is the dialog's control order (radio
// groups, labels before and units after their controls, dependent controls, tab order);
// row and column place it in the dialog's grid, row -1 in the button row at the bottom.
struct XCtrlDef
{
    int id = -1;
    XCtrlKind kind = XCtrlKind::Static;
    QString text;
    unsigned style = 0; // WS_GROUP, ES_MULTILINE, ES_READONLY, ... (XWinStyles.h)
    int row = 0;
    int col = 0;
    int colSpan = 1;
    unsigned exStyle = 0;
};

// A dialog table: template id, caption, dialog style (WS_MAXIMIZEBOX for resizable ones,
// WS_VSCROLL/WS_HSCROLL for scrolling ones, WS_CHILD for pages, DS_LOCALEDIT) and controls.
struct XDlgTemplate
{
    int id = 0;
    QString caption;
    unsigned style = 0;
    std::vector<XCtrlDef> ctrls;
    QSize size; // the dialog's own size; empty: what its layout needs
};

const char* WndClassOf(XCtrlKind kind);
unsigned KindStyle(XCtrlKind kind); // the button style a kind implies
