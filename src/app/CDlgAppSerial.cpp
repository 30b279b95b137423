#include "CDlgAppSerial.h"

#include "CXItem.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "LoginRules.h"
#include "XAppServices.h"
#include "XUi.h"

#include <QtWidgets/QDialogButtonBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QVBoxLayout>

namespace {

QLineEdit* NewPasswordEdit(QWidget* parent, int id)
{
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::number(id));
    edit->setEchoMode(QLineEdit::Password);
    edit->setMinimumWidth(200);
    return edit;
}

} // namespace

CDlgAppSerial::CDlgAppSerial(QWidget* parent, CXItem& user, CXItem& admin)
    : QDialog(parent), m_user(user), m_admin(admin)
{
    setWindowTitle(QStringLiteral("修改密码"));
    m_pOld = NewPasswordEdit(this, IDC_PASSWORD_OLD);
    m_pNew = NewPasswordEdit(this, IDC_PASSWORD_NEW);
    m_pConfirm = NewPasswordEdit(this, IDC_PASSWORD_CONFIRM);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("旧密码："), m_pOld);
    form->addRow(QStringLiteral("新密码："), m_pNew);
    form->addRow(QStringLiteral("确认新密码："), m_pConfirm);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CDlgAppSerial::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CDlgAppSerial::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CDlgAppSerial::accept()
{
    if (m_stillLoggedIn && !m_stillLoggedIn()) {
        done(QDialog::Rejected);
        return;
    }
    const XPasswordCheck check = CheckPasswordChange(m_pOld->text(), m_pNew->text(), m_pConfirm->text(), m_user);
    if (!check.message.isEmpty()) {
        QLineEdit* at = check.field == XPasswordCheck::Old       ? m_pOld
                        : check.field == XPasswordCheck::Confirm ? m_pConfirm
                                                                 : m_pNew;
        XUi::ShowBalloon(at, at->rect(), QString(), check.message, check.error ? 3 : 2);
        at->setFocus();
        return;
    }
    if (!ChangePassword(m_user, m_pNew->text(), m_admin))
        return;
    XUi::MessageBox(this, FormatString(u"“%s” 的密码已修改！", m_user.m_strName), windowTitle(), MB_ICONINFORMATION);
    done(QDialog::Accepted);
}
