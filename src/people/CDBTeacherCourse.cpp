#include "CDBTeacherCourse.h"

CHeads* CDBTeacherCourse::StaticHeads()
{
    return BuildHeadsOnce<CDBTeacherCourse>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("课程");
        heads.m_strItemUnit = QStringLiteral("门");
        heads.SetSqlResource(442);
        const QString none;
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("TeacherID"), XIN,
                                XOFFSET(CDBTeacherCourse, m_nParentID), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("课程"), QStringLiteral("CourseID"), XLK, 0, none, none, 0, 512 | 1,
                                0, none);
    });
}
