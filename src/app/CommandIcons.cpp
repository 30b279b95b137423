#include "CommandIcons.h"

#include "CLorvanApp.h"
#include "CommandIds.h"

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
