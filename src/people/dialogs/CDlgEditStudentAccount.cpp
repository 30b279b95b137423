#include "CDlgEditStudentAccount.h"

#include "XWinStyles.h"

namespace {

const XDlgTemplate& AccountTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_ACCOUNT,
                                QStringLiteral("手机"),
                                0,
                                {{-1, K::Static, QStringLiteral("号码："), WS_GROUP, 0, 0},
                                 {IDC_CONTENT, K::Edit, QString(), WS_TABSTOP, 0, 1},
                                 {-1, K::Static, QStringLiteral("机主："), WS_GROUP, 1, 0},
                                 {IDC_RELATION, K::Combo, QString(), WS_TABSTOP | unsigned(CBS_DROPDOWN), 1, 1},
                                 {IDOK, K::Button, QStringLiteral("确定"), WS_GROUP, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

} // namespace

CDlgEditStudentAccount::CDlgEditStudentAccount(bool bNew, const CDBStudentAccount& from, QWidget* parent)
    : CXDialogEx(bNew, &AccountTemplate(), parent)
{
    from.CopyTo(&m_account);
}

void CDlgEditStudentAccount::DoDataExchange(XDataExchange& dx)
{
    BindText(dx, IDC_CONTENT, &m_account, &m_account.m_strName);
    BindText(dx, IDC_RELATION, &m_account, &m_account.m_strRelation);
}
