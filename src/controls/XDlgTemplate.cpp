#include "XDlgTemplate.h"

#include "XWinStyles.h"

const char* WndClassOf(XCtrlKind kind)
{
    switch (kind) {
    case XCtrlKind::Static:
        return "Static";
    case XCtrlKind::Edit:
        return "Edit";
    case XCtrlKind::Button:
    case XCtrlKind::Radio:
    case XCtrlKind::Check:
    case XCtrlKind::GroupBox:
        return "Button";
    case XCtrlKind::Combo:
        return "ComboBox";
    case XCtrlKind::List:
        return "SysListView32";
    case XCtrlKind::Date:
        return "SysDateTimePick32";
    case XCtrlKind::Link:
        return "SysLink";
    case XCtrlKind::MfcButton:
        return "MfcButton";
    case XCtrlKind::Tab:
        return "SysTabControl32";
    case XCtrlKind::RichEdit:
        return "RichEdit50W";
    case XCtrlKind::Custom:
        return "Custom";
    }
    return "Static";
}

unsigned KindStyle(XCtrlKind kind)
{
    switch (kind) {
    case XCtrlKind::Radio:
        return BS_AUTORADIOBUTTON;
    case XCtrlKind::Check:
        return BS_AUTOCHECKBOX;
    case XCtrlKind::GroupBox:
        return BS_GROUPBOX;
    default:
        return 0;
    }
}
