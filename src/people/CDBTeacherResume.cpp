#include "CDBTeacherResume.h"

#include "XAppServices.h"

#include <QtCore/QVariant>

#define R_OFFSET(member) XOFFSET(CDBTeacherResume, member)

QString TeacherStageOptions() { return QStringLiteral("小初|高中|中专|大专|本科|硕士|博士|全职|兼职"); }

QString OrganisationName() { return AppServices().SetupValue(QStringLiteral("RecordName")).toString(); }

CHeads* CDBTeacherResume::StaticHeads()
{
    return BuildHeadsOnce<CDBTeacherResume>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("简历");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_strTable = QStringLiteral("TB_TEACHER_RESUME");
        const QString none, unknown = QStringLiteral("未登记");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, R_OFFSET(m_nSubID), none,
                                none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("TeacherID"), XIN, R_OFFSET(m_nParentID),
                                none, none, 0, 0, 0, none);
        heads.AddComputedHead({}, QStringLiteral("日期"), XDR, CHeads::Getter(&CDBTeacherResume::GetPeriod), none, none,
                              512, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("开始日期"), 8 | 1, QStringLiteral("DateBgn"), XDT,
                            R_OFFSET(m_period.m_begin), none, none, 1, 512 | 1, 0, none);
        heads.AddColumnHead({}, QStringLiteral("结束日期"), 8 | 1, QStringLiteral("DateEnd"), XDT,
                            R_OFFSET(m_period.m_end), none, QStringLiteral("至今"), 0, 512 | 1, 0, none);
        heads.AddHead({}, QStringLiteral("阶段"), 8 | 1, QStringLiteral("Stage"), XIN, R_OFFSET(m_nStage), 7, 0, 8,
                      TeacherStageOptions(), none, 512, 512 | 1, 0, none);
        heads.AddColumnHead({}, QStringLiteral("学校/单位"), 8 | 1, QStringLiteral("Unit"), XSW, R_OFFSET(m_strUnit),
                            none, unknown, 0, 512 | 1, 20, QStringLiteral("学校/单位"));
        heads.AddColumnHead({}, QStringLiteral("专业/职务"), 8, QStringLiteral("Department"), XSW,
                            R_OFFSET(m_strDepartment), none, unknown, 0, 512 | 1, 0, QStringLiteral("专业/职务"));
    });
}

int CDBTeacherResume::GetDefault(const CHead* head) const
{
    // "today" when the line is made, not when the table was built
    if (head && head->m_nOffset == R_OFFSET(m_period.m_begin))
        return static_cast<int>(XDateTime::Today().Day());
    return CXItem::GetDefault(head);
}

int CDBTeacherResume::GetAccess(const CHead* head, const CXItem* user) const
{
    // a primary or high school has no major
    if (head && head->m_nOffset == R_OFFSET(m_strDepartment) && m_nStage <= 1)
        return -1;
    return CXItem::GetAccess(head, user);
}

QString CDBTeacherResume::GetFormat(const CHead* head) const
{
    if (head && (head->m_nOffset == R_OFFSET(m_period.m_begin) || head->m_nOffset == R_OFFSET(m_period.m_end) ||
                 (head->m_nType == XDR && head->m_pfnGet)))
        return IsEmployment() ? QStringLiteral("%Y年%#m月%#d日") : QStringLiteral("%Y年%#m月");
    return CXItem::GetFormat(head);
}

QString CDBTeacherResume::GetEmptyText(const CHead* head) const
{
    if (head && head->m_nOffset == R_OFFSET(m_strUnit) && IsEmployment())
        return OrganisationName();
    return CXItem::GetEmptyText(head);
}

QString CDBTeacherResume::GetCaption(const CHead* head) const
{
    if (head && head->m_nOffset == R_OFFSET(m_strUnit))
        return IsEmployment() ? QStringLiteral("单位") : QStringLiteral("学校");
    if (head && head->m_nOffset == R_OFFSET(m_strDepartment))
        return IsEmployment() ? QStringLiteral("职务") : QStringLiteral("专业");
    return CXItem::GetCaption(head);
}
