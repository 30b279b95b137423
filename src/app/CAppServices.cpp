#include "CAppServices.h"

#include "CDlgMsgSQLErr.h"
#include "CDlgProgress.h"
#include "XThread.h"
#include "XUi.h"

#include <QtWidgets/QApplication>

int CAppServices::MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type)
{
    if (!IsUiThread())
        return XAppServices::MessageBox(owner, text, caption, type);
    return XUi::MessageBox(owner, text, caption, type);
}

void CAppServices::ShowSqlError(const QString& task, const QString& sql, const QString& message)
{
    if (!IsUiThread())
        return XAppServices::ShowSqlError(task, sql, message);
    QApplication::beep();
    CDlgMsgSQLErr dlg(task, sql, message);
    XUi::RunModal(&dlg);
}

std::unique_ptr<XProgress> CAppServices::BeginProgress(const QString& title, int steps)
{
    if (!IsUiThread())
        return XAppServices::BeginProgress(title, steps);
    return std::make_unique<CDlgProgress>(title, steps);
}
