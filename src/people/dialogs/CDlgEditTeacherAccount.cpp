#include "CDlgEditTeacherAccount.h"

#include "TeacherDialogs.h"
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
                                 {IDC_RELATION, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWN, 1, 1},
                                 {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

} // namespace

CDlgEditTeacherAccount::CDlgEditTeacherAccount(const CXItem* from, CXArray* owner, bool bNew, QWidget* parent)
    : CXDialogEx(bNew, &AccountTemplate(), parent)
{
    PrepareLineCopy(from, owner, bNew, m_line);
}

void CDlgEditTeacherAccount::DoDataExchange(XDataExchange& dx)
{
    BindText(dx, IDC_CONTENT, &m_line, &m_line.m_strName);
    BindText(dx, IDC_RELATION, &m_line, &m_line.m_strRelation);
}
