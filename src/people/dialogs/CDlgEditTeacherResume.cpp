#include "CDlgEditTeacherResume.h"

#include "TeacherDialogs.h"
#include "XWinStyles.h"

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

namespace {

const XDlgTemplate& ResumeTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_TEACHER_RESUME,
                                QStringLiteral("简历"),
                                0,
                                {{-1, K::Static, QStringLiteral("日期："), WS_GROUP, 0, 0},
                                 {QKEY_DATE_FROM, K::Date, QString(), WS_TABSTOP, 0, 1, 2},
                                 {-1, K::Static, QStringLiteral("～"), WS_GROUP, 0, 3},
                                 {QKEY_DATE_TO, K::Date, QString(), WS_TABSTOP | DTS_SHOWNONE, 0, 4, 2},
                                 {-1, K::Static, QStringLiteral("阶段："), WS_GROUP, 1, 0},
                                 {IDC_STAGE_0, K::Radio, QStringLiteral("小初"), WS_GROUP | WS_TABSTOP, 1, 1},
                                 {IDC_STAGE_1, K::Radio, QStringLiteral("高中"), 0, 1, 2},
                                 {IDC_STAGE_2, K::Radio, QStringLiteral("中专"), 0, 1, 3},
                                 {IDC_STAGE_3, K::Radio, QStringLiteral("大专"), 0, 1, 4},
                                 {IDC_STAGE_4, K::Radio, QStringLiteral("本科"), 0, 1, 5},
                                 {IDC_STAGE_5, K::Radio, QStringLiteral("硕士"), 0, 2, 1},
                                 {IDC_STAGE_6, K::Radio, QStringLiteral("博士"), 0, 2, 2},
                                 {IDC_STAGE_7, K::Radio, QStringLiteral("全职"), 0, 2, 3},
                                 {IDC_STAGE_8, K::Radio, QStringLiteral("兼职"), 0, 2, 4},
                                 {-1, K::Static, QStringLiteral("单位："), WS_GROUP, 3, 0},
                                 {IDC_RESUME_UNIT, K::Combo, QString(), WS_TABSTOP | WS_GROUP | CBS_DROPDOWN, 3, 1, 5},
                                 {-1, K::Static, QStringLiteral("职务："), WS_GROUP, 4, 0},
                                 {IDC_DEPARTMENT, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWN, 4, 1, 5},
                                 {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

void SetLabel(CXDialogEx& dlg, int id, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(dlg.PrevInZOrder(dlg.GetDlgItem(id))))
        label->setText(text);
}

} // namespace

CDlgEditTeacherResume::CDlgEditTeacherResume(const CXItem* from, CXArray* owner, bool bNew, QWidget* parent)
    : CXDialogEx(bNew, &ResumeTemplate(), parent)
{
    PrepareLineCopy(from, owner, bNew, m_line);
}

void CDlgEditTeacherResume::DoDataExchange(XDataExchange& dx)
{
    BindDate(dx, QKEY_DATE_FROM, &m_line, &m_line.m_period.m_begin);
    BindDate(dx, QKEY_DATE_TO, &m_line, &m_line.m_period.m_end);
    BindChoice(dx, IDC_STAGE_0, &m_line, &m_line.m_nStage);
    BindText(dx, IDC_RESUME_UNIT, &m_line, &m_line.m_strUnit);
    BindText(dx, IDC_DEPARTMENT, &m_line, &m_line.m_strDepartment);
}

void CDlgEditTeacherResume::UpdateControls()
{
    CXDialogEx::UpdateControls();
    // the stage as chosen, before it is stored: the labels change with the click
    int stage = m_line.m_nStage;
    for (int i = 0; i <= 8; ++i)
        if (auto* radio = qobject_cast<QAbstractButton*>(GetDlgItem(IDC_STAGE_0 + i)); radio && radio->isChecked())
            stage = i;
    const bool job = stage >= 7;
    SetLabel(*this, IDC_RESUME_UNIT, job ? QStringLiteral("单位：") : QStringLiteral("学校："));
    SetLabel(*this, IDC_DEPARTMENT, job ? QStringLiteral("职务：") : QStringLiteral("专业："));
    // an empty employer means this organisation: its name is the hint
    if (auto* combo = qobject_cast<QComboBox*>(GetDlgItem(IDC_RESUME_UNIT)))
        if (QLineEdit* edit = combo->lineEdit())
            edit->setPlaceholderText(job ? OrganisationName() : QString());
}
