#include "CDBStudentResume.h"

#include <algorithm>

QString StudentGradeOptions()
{
    return QStringLiteral(
        "托前|托班|小班|中班|大班|一年级|二年级|三年级|四年级|五年级|六年级|初一|初二|初三|高一|高二|高三|"
        "大一|大二|大三|大四|社会人士");
}

int SchoolYearOf(const XDateTime& date) { return date.Month() >= 9 ? date.Year() : date.Year() - 1; }

int PredictGrade(int stage, const XDateTime& registered, const XDateTime& today)
{
    if (stage > 20)
        return 21;
    return std::min(21, stage + SchoolYearOf(today) - SchoolYearOf(registered));
}

CHeads* CDBStudentResume::StaticHeads()
{
    return BuildHeadsOnce<CDBStudentResume>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("简历");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_strTable = QStringLiteral("TB_STUDENT_RESUME");
        const QString none;
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                XOFFSET(CDBStudentResume, m_nSubID), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("StudentID"), XIN,
                                XOFFSET(CDBStudentResume, m_nParentID), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("日期"), 8 | 1, QStringLiteral("DateBgn"), XDT,
                            XOFFSET(CDBStudentResume, m_dtDate), QStringLiteral("%Y年%#m月"), none, 512 | 1, 513, 0,
                            none);
        heads.AddHead({}, QStringLiteral("年级"), 8 | 2, QStringLiteral("Stage"), XIN,
                      XOFFSET(CDBStudentResume, m_nStage), 4, 0, 21, StudentGradeOptions(), none, 512, 513, 0,
                      QStringLiteral("登记简历时的年级，可能不是当前年级"));
        heads.AddComputedHead({}, QStringLiteral("当前年级"), XIN, CHeads::Getter(&CDBStudentResume::GetCurGrade),
                              StudentGradeOptions(), none, 0, 513, 0,
                              QStringLiteral("根据简历登记日期和登记年级预测的当前年级"));
        heads.AddColumnHead({}, QStringLiteral("学校"), 8 | 1, QStringLiteral("Unit"), XSW,
                            XOFFSET(CDBStudentResume, m_strUnit), none, QStringLiteral("未登记"), 0, 513, 20,
                            QStringLiteral("学校"));
        heads.AddColumnHead({}, QStringLiteral("班级"), 8, QStringLiteral("Department"), XSW,
                            XOFFSET(CDBStudentResume, m_strDepartment), none, QStringLiteral("未登记"), 0, 513, 0,
                            QStringLiteral("班级"));
    });
}

int CDBStudentResume::GetDefault(const CHead* head) const
{
    // "today" when the default is asked for, not when the table was built
    if (head && head->m_nOffset == XOFFSET(CDBStudentResume, m_dtDate))
        return static_cast<int>(XDateTime::Today().Day());
    return CXItem::GetDefault(head);
}

QString CDBStudentResume::GetCaption(const CHead* head) const
{
    if (m_nStage >= 21 && head) {
        if (head->m_nOffset == XOFFSET(CDBStudentResume, m_strUnit))
            return QStringLiteral("单位");
        if (head->m_nOffset == XOFFSET(CDBStudentResume, m_strDepartment))
            return QStringLiteral("部门");
    }
    return CXItem::GetCaption(head);
}

int CDBStudentResume::GetCurGrade() const { return PredictGrade(m_nStage, m_dtDate, XDateTime::Today()); }
