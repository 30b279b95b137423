#include "CDlgProxyPwd.h"

#include "CommandIds.h"
#include "XWinStyles.h"

#include <QtWidgets/QLineEdit>

namespace {

const XDlgTemplate& ProxyPwdTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_PROXY_PWD,
                                QStringLiteral("查看服务器状态"),
                                0,
                                {{-1, K::Static, QStringLiteral("密码："), 0, 0, 0},
                                 {IDC_PASSWORD, K::Edit, QString(), WS_TABSTOP, 0, 1},
                                 {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

} // namespace

CDlgProxyPwd::CDlgProxyPwd(QWidget* parent) : CXDialogEx(false, &ProxyPwdTemplate(), parent) {}

bool CDlgProxyPwd::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(IDC_PASSWORD))) {
        edit->setEchoMode(QLineEdit::Password);
        edit->setMinimumWidth(200);
        edit->setText(m_strPassword);
        edit->selectAll();
        edit->setFocus();
    }
    return true;
}

void CDlgProxyPwd::OnOK()
{
    m_strPassword = GetControlText(IDC_PASSWORD);
    if (m_strPassword.isEmpty()) {
        ShowItemTip(2, IDC_PASSWORD, "请输入密码！");
        return;
    }
    CXDialogEx::OnOK();
}
