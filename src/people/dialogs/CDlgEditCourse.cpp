#include "CDlgEditCourse.h"
#include "CommandIds.h"

#include "XWinStyles.h"

namespace {

const XDlgTemplate& CourseTemplate()
{
    using K = XCtrlKind;
    using D = CDlgEditCourse;
    static const XDlgTemplate t{IDD_EDIT_COURSE,
                                QStringLiteral("基本信息"),
                                WS_CHILD,
                                {{-1, K::Static, QStringLiteral("名称："), WS_GROUP, 0, 0},
                                 {IDC_TITLE, K::Edit, QString(), WS_TABSTOP, 0, 1},
                                 {-1, K::Static, QStringLiteral("分组："), WS_GROUP, 1, 0},
                                 {IDC_GROUP, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWN, 1, 1},
                                 {-1, K::Static, QStringLiteral("状态："), WS_GROUP, 2, 0},
                                 {IDC_ENABLED, K::Check, QStringLiteral("启用"), WS_TABSTOP | WS_GROUP, 2, 1},
                                 {-1, K::Static, QStringLiteral("备注："), WS_GROUP, 3, 0},
                                 {IDC_MEMO, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 3, 1}},
                                {}};
    return t;
}

} // namespace

CDlgEditCourse::CDlgEditCourse(bool bNew, const CXItem* from) : CXDialogEx(false, &CourseTemplate())
{
    if (from)
        from->CopyTo(&m_course);
    if (bNew) {
        m_course.m_nID = 0;
        m_course.m_pArray = nullptr;
    }
}

void CDlgEditCourse::DoDataExchange(XDataExchange& dx)
{
    BindText(dx, IDC_TITLE, &m_course, &m_course.m_strName);
    BindText(dx, IDC_GROUP, &m_course, &m_course.m_strGroup);
    BindChoice(dx, IDC_ENABLED, &m_course, &m_course.m_bEnabled);
    BindText(dx, IDC_MEMO, &m_course, &m_course.m_strMemo);
}
