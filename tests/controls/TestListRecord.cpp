#include "TestListRecord.h"

CHeads* CTestLesson::StaticHeads()
{
    // 584: shown in module, sub and brief lists; 24: may group the list
    return BuildHeadsOnce<CTestLesson>([](CHeads& h) {
        h.m_strItemType = QStringLiteral("课程");
        h.m_strItemUnit = QStringLiteral("个");
        h.m_bGoodStatus = 1;
        h.AddMemberHead({}, QStringLiteral("名称"), XSW, XOFFSET(CTestLesson, m_strName), QString(), QString(), 0, 584,
                        10, QStringLiteral("课程的名称"));
        h.AddMemberHead({}, QStringLiteral("状态"), XIN, XOFFSET(CTestLesson, m_nState), QStringLiteral("停用|启用"),
                        QString(), 24, 584, 0, QString());
        CHead* fee = h.AddMemberHead({}, QStringLiteral("实收"), XNU, XOFFSET(CTestLesson, m_fFee),
                                     QStringLiteral("%1.2f"), QString(), 0, 584, 8, QString());
        fee->m_strPrefix = QStringLiteral("¥");
        h.AddMemberHead({}, QStringLiteral("日期"), XDT, XOFFSET(CTestLesson, m_dtDate), QStringLiteral("%Y-%m-%d"),
                        QString(), 24, 584, 10, QString());
        h.AddMemberHead({}, QStringLiteral("星期"), XDT, XOFFSET(CTestLesson, m_dtWeek), QStringLiteral("%A"),
                        QString(), 0, 584, 6, QString());
        CHead* rate = h.AddMemberHead({}, QStringLiteral("折扣"), XNU, XOFFSET(CTestLesson, m_fRate),
                                      QStringLiteral("%g"), QString(), 0, 584, 4, QString());
        rate->m_strUnit = QStringLiteral("%");
        h.AddMemberHead({}, QStringLiteral("时间"), XTS, XOFFSET(CTestLesson, m_nTime), QString(), QString(), 0, 584,
                        10, QString());
        CHead* hours = h.AddMemberHead({}, QStringLiteral("课时"), XNU, XOFFSET(CTestLesson, m_fHours),
                                       QStringLiteral("%1.1f"), QString(), 0, 0, 4, QStringLiteral("每次课的时长"));
        hours->m_strUnit = QStringLiteral(" 小时");
    });
}
