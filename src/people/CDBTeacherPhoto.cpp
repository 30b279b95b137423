#include "CDBTeacherPhoto.h"

CHeads* CDBTeacherPhoto::StaticHeads()
{
    return BuildHeadsOnce<CDBTeacherPhoto>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("照片");
        heads.m_strItemUnit = QStringLiteral("张");
        heads.m_strTable = QStringLiteral("TB_PHOTO");
        heads.m_strCondition = QStringLiteral("MduID='MDU_TEACHER'");
        const QString none;
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                XOFFSET(CDBTeacherPhoto, m_nSubID), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("PersonID"), XIN,
                                XOFFSET(CDBTeacherPhoto, m_nParentID), none, none, 0, 0, 0, none);
        heads.AddHead({}, QStringLiteral("MduID"), 0, QStringLiteral("MduID"), XIN, XOFFSET(CDBTeacherPhoto, m_nMduID),
                      MDU_TEACHER, 0, 0, none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("照片"), 8 | 1, QStringLiteral("Photo"), XIM,
                            XOFFSET(CDBTeacherPhoto, m_image), none, none, 0, 513, 0, none);
        heads.AddColumnHead({}, QStringLiteral("创建日期"), 0, QStringLiteral("RecordDate"), XDT,
                            XOFFSET(CDBTeacherPhoto, m_dtDate), none, none, 512, 513, 0, none);
        // ascending, so the photos keep their display order
        heads.AddColumnHead({}, QStringLiteral("显示顺序"), 0, QStringLiteral("DispOrder"), XIN,
                            XOFFSET(CDBTeacherPhoto, m_nDispOrder), none, none, 1, 0, 0, none);
    });
}
