#include "CDlgAppAbout.h"

#include "CDlgAppLogin.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "Version.h"
#include "VersionDocument.h"

#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

CDlgAppAbout::CDlgAppAbout(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("关于 Lorvan Manager"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 12);
    layout->addWidget(NewBanner(this, 480));
    auto* body = new QVBoxLayout;
    body->setContentsMargins(16, 8, 16, 0);
    m_pName = new QLabel(this);
    m_pName->setObjectName(QString::number(IDC_APP_NAME));
    QFont bold = m_pName->font();
    bold.setBold(true);
    m_pName->setFont(bold);
    m_pNotes = new QPlainTextEdit(this);
    m_pNotes->setObjectName(QString::number(IDC_RELEASE_NOTES));
    m_pNotes->setReadOnly(true);
    m_pNotes->setMinimumHeight(180);
    m_pNotice = new QLabel(
        FormatString(u"© %s Lorvan Manager。本程序按原样提供，请定期备份数据库。", GetBuildDate().left(4)), this);
    m_pNotice->setObjectName(QString::number(IDC_LINK_LINE));
    m_pNotice->setStyleSheet(QStringLiteral("color: gray;"));
    m_pNotice->setWordWrap(true);
    m_pCheck = new QPushButton(QStringLiteral("检查更新(&C) ..."), this);
    m_pUpdate = new QPushButton(QStringLiteral("更新(&U) ..."), this);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pCheck, &QPushButton::clicked, this, [this] {
        if (m_onUpdateCheck)
            m_onUpdateCheck();
        UpdateControls();
    });
    connect(m_pUpdate, &QPushButton::clicked, this, [this] {
        if (m_onUpdateNow)
            m_onUpdateNow();
    });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pCheck);
    buttons->addWidget(m_pUpdate);
    buttons->addStretch();
    buttons->addWidget(close);
    body->addWidget(m_pName);
    body->addWidget(m_pNotes);
    body->addWidget(m_pNotice);
    body->addLayout(buttons);
    layout->addLayout(body);
    UpdateControls();
}

void CDlgAppAbout::UpdateControls()
{
    m_pNotes->setPlainText(
        FormatReleaseNotes(GetLatestVersionXml()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    const bool newer = IsNewerVersionKnown();
    m_pName->setText(FormatString(u"%s %s", QStringLiteral("Lorvan Manager"), FormatVersion(GetOwnFileVersion())) +
                     (newer ? QStringLiteral("（发现新版本）") : QString()));
    m_pUpdate->setEnabled(newer);
}
