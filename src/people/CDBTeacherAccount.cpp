#include "CDBTeacherAccount.h"

#include "CDBStudentAccount.h"

CHeads* CDBTeacherAccount::StaticHeads()
{
    return BuildHeadsOnce<CDBTeacherAccount>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("手机");
        heads.m_strItemUnit = QStringLiteral("个");
        heads.m_strTable = QStringLiteral("TB_ACCOUNT");
        heads.m_strCondition = QStringLiteral("MduID='MDU_TEACHER'");
        const QString none;
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                XOFFSET(CDBTeacherAccount, m_nSubID), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("PersonID"), XIN,
                                XOFFSET(CDBTeacherAccount, m_nParentID), none, none, 0, 0, 0, none);
        heads.AddHead({}, QStringLiteral("MduID"), 0, QStringLiteral("MduID"), XIN,
                      XOFFSET(CDBTeacherAccount, m_nMduID), MDU_TEACHER, 0, 0, none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("号码"), 64 | 8 | 2, QStringLiteral("Content"), XSW,
                            XOFFSET(CDBTeacherAccount, m_strName), none, none, 512, 513, 11, QStringLiteral("号码"));
        heads.AddColumnHead({}, QStringLiteral("机主"), 8 | 1, QStringLiteral("Relation"), XSW,
                            XOFFSET(CDBTeacherAccount, m_strRelation), none, QStringLiteral("本人"), 512, 513, 0,
                            QStringLiteral("机主"));
    });
}

int CDBTeacherAccount::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    if (!IsMobileNumber(m_strName))
        AddStatusText(ST_STOP, &m_strName, QStringLiteral("请输入 11 位数字的手机号！"));
    return CXItem::Validate(user, bCheckDuplicates);
}
