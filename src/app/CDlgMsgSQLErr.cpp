#include "CDlgMsgSQLErr.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QVBoxLayout>

CDlgMsgSQLErr::CDlgMsgSQLErr(const QString& task, const QString& sql, const QString& error, QWidget* parent)
    : QDialog(parent ? parent : QApplication::activeWindow())
{
    setWindowTitle(QStringLiteral("数据库访问错误"));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxCritical).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);
    m_pTask = new QLineEdit(task, this);
    m_pTask->setReadOnly(true);
    m_pSql = new QPlainTextEdit(sql, this);
    m_pSql->setReadOnly(true);
    m_pSql->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_pError = new QPlainTextEdit(error, this);
    m_pError->setReadOnly(true);
    m_pError->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    auto* tipIcon = new QLabel(this);
    tipIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(16, 16));
    auto* tip = new QLabel(
        QStringLiteral("因出现此类错误影响至正常运行时可以恢复备份数据库或联系软件作者并提供以上信息以解决此问题。"),
        this);
    tip->setWordWrap(true);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* fields = new QVBoxLayout;
    fields->addWidget(new QLabel(QStringLiteral("任务："), this));
    fields->addWidget(m_pTask);
    fields->addWidget(new QLabel(QStringLiteral("执行的操作或 SQL 语句："), this));
    fields->addWidget(m_pSql, 2);
    fields->addWidget(new QLabel(QStringLiteral("错误说明："), this));
    fields->addWidget(m_pError, 1);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(fields, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(tipIcon, 0, Qt::AlignTop);
    bottom->addWidget(tip, 1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);
    resize(560, 420);
}
