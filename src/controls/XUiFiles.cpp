#include "XUiFiles.h"

#include "FormatString.h"
#include "XUi.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtWidgets/QFileDialog>

QString XUi::GetSaveFileNameConfirmed(QWidget* owner, const QString& caption, const QString& proposed,
                                      const QString& filter, const QString& defaultSuffix)
{
    QString file;
    if (XUiTestHooks::Active()) {
        file = GetSaveFileName(owner, caption, proposed, filter);
    } else {
        // the question below is the one asked, so the dialog's own stays off
        file =
            QFileDialog::getSaveFileName(owner, caption, proposed, filter, nullptr, QFileDialog::DontConfirmOverwrite);
    }
    if (file.isEmpty())
        return QString();
    if (!defaultSuffix.isEmpty() && QFileInfo(file).suffix().isEmpty())
        file += u'.' + defaultSuffix;
    file = QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
    if (QFileInfo::exists(file) && MessageBox(owner, FormatString(u"“%s” 已存在。\r\n要替换它吗？", file), caption,
                                              MB_ICONWARNING | MB_YESNO) != IDYES)
        return QString();
    return file;
}
