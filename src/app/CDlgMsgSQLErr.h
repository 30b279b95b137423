#pragma once

#include <QtWidgets/QDialog>

class QLineEdit;
class QPlainTextEdit;

// A failed database task: the task, the statement or operation, and the provider's error,
// read-only, with the advice what to do; "关闭" closes it.
class CDlgMsgSQLErr : public QDialog
{
    Q_OBJECT
public:
    CDlgMsgSQLErr(const QString& task, const QString& sql, const QString& error, QWidget* parent = nullptr);

    QLineEdit* m_pTask;
    QPlainTextEdit* m_pSql;
    QPlainTextEdit* m_pError;
};
