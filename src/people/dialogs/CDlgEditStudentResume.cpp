#include "CDlgEditStudentResume.h"

#include "StudentTexts.h"
#include "XBoundControls.h"
#include "XWinStyles.h"

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QLabel>

namespace {

constexpr int kGrades = IDC_STAGE_LAST - IDC_STAGE_0 + 1;
constexpr int kGradesPerRow = 6;

const XDlgTemplate& ResumeTemplate()
{
    static const XDlgTemplate t = [] {
        using K = XCtrlKind;
        XDlgTemplate d{IDD_EDIT_STUDENT_RESUME, QStringLiteral("简历"), 0, {}, {}};
        d.ctrls.push_back({-1, K::Static, QStringLiteral("登记日期："), WS_GROUP, 0, 0});
        d.ctrls.push_back({IDC_DATE_BGN, K::Date, QString(), WS_TABSTOP, 0, 1, 2});
        // the school year the date stands for; found as the control after the date
        d.ctrls.push_back({-1, K::Static, QString(), 0, 0, 3, kGradesPerRow - 2});
        d.ctrls.push_back({-1, K::Static, QStringLiteral("年级："), WS_GROUP, 1, 0});
        const QStringList grades = StudentGradeOptions().split(u'|');
        for (int i = 0; i < kGrades; ++i)
            d.ctrls.push_back({IDC_STAGE_0 + i, K::Radio, grades.value(i), i == 0 ? WS_GROUP | WS_TABSTOP : 0u,
                               1 + i / kGradesPerRow, 1 + i % kGradesPerRow});
        const int row = 1 + (kGrades + kGradesPerRow - 1) / kGradesPerRow;
        d.ctrls.push_back({-1, K::Static, QStringLiteral("学校："), WS_GROUP, row, 0});
        d.ctrls.push_back(
            {IDC_RESUME_UNIT, K::Combo, QString(), WS_TABSTOP | unsigned(CBS_DROPDOWN), row, 1, kGradesPerRow});
        d.ctrls.push_back({-1, K::Static, QStringLiteral("班级："), WS_GROUP, row + 1, 0});
        d.ctrls.push_back(
            {IDC_DEPARTMENT, K::Combo, QString(), WS_TABSTOP | unsigned(CBS_DROPDOWN), row + 1, 1, kGradesPerRow});
        d.ctrls.push_back({IDOK, K::Button, QStringLiteral("确定"), WS_GROUP, -1});
        d.ctrls.push_back({IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1});
        return d;
    }();
    return t;
}

} // namespace

CDlgEditStudentResume::CDlgEditStudentResume(bool bNew, const CDBStudentResume& from, QWidget* parent)
    : CXDialogEx(bNew, &ResumeTemplate(), parent)
{
    from.CopyTo(&m_resume);
}

void CDlgEditStudentResume::DoDataExchange(XDataExchange& dx)
{
    BindDate(dx, IDC_DATE_BGN, &m_resume, &m_resume.m_dtDate);
    BindChoice(dx, IDC_STAGE_0, &m_resume, &m_resume.m_nStage);
    BindText(dx, IDC_RESUME_UNIT, &m_resume, &m_resume.m_strUnit);
    BindText(dx, IDC_DEPARTMENT, &m_resume, &m_resume.m_strDepartment);
}

int CDlgEditStudentResume::ChosenStage() const
{
    for (int i = 0; i < kGrades; ++i)
        if (auto* b = qobject_cast<QAbstractButton*>(GetDlgItem(IDC_STAGE_0 + i)); b && b->isChecked())
            return i;
    return m_resume.m_nStage;
}

XDateTime CDlgEditStudentResume::ChosenDate() const
{
    if (const auto* date = dynamic_cast<const IXDateControl*>(GetDlgItem(IDC_DATE_BGN)))
        return date->GetDate();
    return m_resume.m_dtDate;
}

QString CDlgEditStudentResume::SchoolYearText() const { return ResumeSchoolYearText(ChosenStage(), ChosenDate()); }

void CDlgEditStudentResume::UpdateControls()
{
    CXDialogEx::UpdateControls();
    if (auto* text = qobject_cast<QLabel*>(NextInZOrder(GetDlgItem(IDC_DATE_BGN))))
        text->setText(SchoolYearText());
}
