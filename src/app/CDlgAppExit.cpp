#include "CDlgAppExit.h"

#include "CommandIds.h"
#include "XAppServices.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QStyle>
#include <QtWidgets/QVBoxLayout>

CDlgAppExit::CDlgAppExit(QWidget* parent) : QDialog(parent ? parent : QApplication::activeWindow())
{
    setWindowTitle(QStringLiteral("退出 Lorvan Manager"));
    auto* icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(32, 32));
    auto* text = new QLabel(QStringLiteral("退出后将无法通过 Internet 访问 ！\n\n确定要退出吗？"), this);
    m_pHide = new QPushButton(QStringLiteral("隐藏到系统托盘(&H)"), this);
    m_pExit = new QPushButton(QStringLiteral("退出(&X)"), this);
    m_pCancel = new QPushButton(QStringLiteral("取消"), this);
    m_pCancel->setDefault(true);
    connect(m_pHide, &QPushButton::clicked, this, [this] { done(ID_APP_HIDE); });
    connect(m_pExit, &QPushButton::clicked, this, [this] { done(IDOK); });
    connect(m_pCancel, &QPushButton::clicked, this, [this] { done(IDCANCEL); });

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pHide);
    buttons->addStretch();
    buttons->addWidget(m_pExit);
    buttons->addWidget(m_pCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

void CDlgAppExit::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_pHide->setEnabled(!m_bHideDisabled);
}
