#include "CommandIcons.h"

#include "CLorvanApp.h"
#include "CommandIds.h"
#include "RecordConsts.h"

#include <QtGui/QImage>

namespace {

const XCommandIcon kCommandIcons[] = {
    {ID_ADDNEW_RECEIPT, "document-new"},
    {ID_ADDNEW_COLLECT, "list-add"},
    {ID_ADDNEW_EDURCD, "document-edit"},
    {ID_ADDNEW_EDUSCH, "appointment-new"},
    {ID_ADDNEW_STUDENT, "contact-new"},
    {ID_ADDNEW_TEACHER, "system-users"},
    {ID_APP_SERIAL, "dialog-password"},
    {ID_APP_SETUP, "emblem-system"},
    {ID_APP_UPDATECHK, "software-update-available"},
    {ID_APP_LOGOUT, "system-log-out"},
    {ID_FILE_CLOSEALL, "window-close"},
    {ID_EDIT_DELETE, "edit-delete"},
    {ID_WEBSRV_STATUS, "network-server"},
    {ID_APP_HIDE, "go-down"},
    {ID_FILE_OPEN, "document-open"},
    {ID_APP_ABOUT, "help-about"},
    {ID_APP_EXIT, "application-exit"},
    // the ribbon, its toolbar and the navigation pane
    {ID_EDIT_ADDNEW, "document-new"},
    {ID_EDIT_ADDCPY, "tab-new"},
    {ID_EDIT_MODIFY, "document-properties"},
    {ID_EDIT_COPYSEL, "edit-copy"},
    {ID_XCTRL_XLS, "x-office-spreadsheet"},
    {ID_SUBMENU_RELATE, "insert-link"},
    {IDC_PROOF_PREVIEW, "document-print-preview"},
    {IDC_PROOF_PRINT, "document-print"},
    {ID_SEND_WXMSG, "mail-send"},
    {ID_SUBMENU_QUERY, "system-search"},
    {ID_QUERY_USER, "edit-find-replace"},
    {ID_QUERY_PREV, "go-previous"},
    {ID_QUERY_NEXT, "go-next"},
    {ID_EDIT_REFRESH, "view-refresh"},
    {ID_EDIT_FIND, "edit-find"},
    {ID_XCTRL_SELALL, "edit-select-all"},
    {ID_XCTRL_SELREV, "object-flip-horizontal"},
    {ID_XCTRL_SELCLR, "edit-clear"},
    {ID_SUBMENU_ORDER, "view-list"},
    {ID_HEADS_USER, "view-more"},
    {ID_SUBMENU_GROUP, "view-grid"},
    {ID_SUBMENU_CALC, "accessories-calculator"},
    {ID_SUBMENU_UNIT, "view-list-ordered"},
    {ID_XCTRL_STCOLOR, "preferences-color"},
    {ID_XCTRL_RIGHTALL, "zoom-fit-best"},
    {ID_VIEW_NAVBAR, "sidebar-show"},
    {ID_VIEW_STATUS_BAR, "view-continuous"},
    {ID_VIEW_DETAIL, "sidebar-show-right"},
    {ID_FILE_CLOSE, "window-close"},
    {ID_FILE_EXPORT, "document-save-as"},
    {ID_FILE_IMPORT, "document-open"},
    {MDU_RECEIPT, "x-office-document"},
    {MDU_COLLECT, "emblem-documents"},
    {MDU_EDURCD, "emblem-ok"},
    {MDU_EDUSCH, "x-office-calendar"},
    {MDU_STUDENT, "user-info"},
    {MDU_TEACHER, "system-users"},
    {MDU_WAGES, "x-office-spreadsheet"},
    {MDU_OPERLOG, "document-open-recent"},
    {MDU_COURSE, "emblem-music"},
    {MDU_CHARGE, "package-x-generic"},
    {MDU_TEMPL, "document-page-setup"},
    {ID_INTERNET_VIEW, "web-browser"},
    {ID_INTRANET_VIEW, "network-workgroup"},
    {ID_HELP_FINDER, "help-contents"},
    {ID_SUBMENU_SHORTCUT, "user-desktop"},
    {ID_SUBMENU_APPLOOK, "preferences-desktop-appearance"},
    {ID_PHOTO_NEXT, "go-next"},
    {ID_ARROW_DN, "go-down"},
    {ID_ARROW_UP, "go-up"},
    // the buttons of the edits: the input history and the duplicate indicators
    {ID_EDIT_HISTORY, "view-more"},
    {IDI_WARNING, "dialog-warning"},
    {IDI_ERROR, "process-stop"},
    // the mark of a yes/no cell (有, 是, 启用, 允许) in the lists
    {IDI_ONOFF, "emblem-ok"},
};

} // namespace

std::span<const XCommandIcon> CommandIconTable() { return kCommandIcons; }

void LoadCommandIcons(CLorvanApp& app)
{
    for (const XCommandIcon& icon : kCommandIcons) {
        const QString name = QString::fromLatin1(icon.file) + QStringLiteral(".png");
        app.AddCommandIcon(icon.id, false, QImage(QStringLiteral(":/icons/16/") + name));
        app.AddCommandIcon(icon.id, true, QImage(QStringLiteral(":/icons/32/") + name));
    }
}
