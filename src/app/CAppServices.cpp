#include "CAppServices.h"

#include "XThread.h"
#include "XUi.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QMessageBox>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QProgressDialog>

namespace {

class CProgressWindow final : public XProgress
{
public:
    CProgressWindow(const QString& title, int steps)
        : m_dialog(title, QString(), 0, std::max(steps, 1), QApplication::activeWindow())
    {
        m_stepped = steps > 0;
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setCancelButton(nullptr);
        m_dialog.setMinimumDuration(0);
        m_dialog.setValue(0);
        if (!m_stepped)
            m_dialog.setRange(0, 0);
        m_dialog.show();
        QApplication::processEvents();
    }

    void Step(const QString& text) override
    {
        if (!text.isEmpty())
            m_dialog.setLabelText(text);
        if (m_stepped)
            m_dialog.setValue(std::min(m_dialog.value() + 1, m_dialog.maximum()));
        QApplication::processEvents();
    }

private:
    QProgressDialog m_dialog;
    bool m_stepped = false;
};

} // namespace

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
    // The texts of the database error dialog; its own window comes with the application shell.
    QApplication::beep();
    QMessageBox box(QMessageBox::Critical, QStringLiteral("数据库访问错误"),
                    QStringLiteral("任务：") + task + QStringLiteral("\n\n执行的操作或 SQL 语句：\n") + sql +
                        QStringLiteral("\n\n错误说明：\n") + message,
                    QMessageBox::Close, QApplication::activeWindow());
    box.setInformativeText(QStringLiteral("因出现此类错误影响至正常运行时可以恢复备份数据库或联系软件作者并提供以上信息以解决此问题。"));
    box.button(QMessageBox::Close)->setText(QStringLiteral("关闭"));
    XUi::RunModal(&box);
}

std::unique_ptr<XProgress> CAppServices::BeginProgress(const QString& title, int steps)
{
    if (!IsUiThread())
        return XAppServices::BeginProgress(title, steps);
    return std::make_unique<CProgressWindow>(title, steps);
}
