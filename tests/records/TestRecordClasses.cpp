#include "TestRecordClasses.h"

CHeads* CTestCourse::StaticHeads()
{
    return BuildHeadsOnce<CTestCourse>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("课程");
        heads.m_strItemUnit = QStringLiteral("门");
        heads.m_strTable = QStringLiteral("TB_TEST_COURSE");
        heads.m_bGoodStatus = 1;
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                XOFFSET(CTestCourse, m_nID), QString(), QString(), 0, 0, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("名称"), 138, QStringLiteral("RecordName"), XSW,
                            XOFFSET(CTestCourse, m_strName), QString(), QString(), 512, 521, 0, QString());
        heads.AddHead({}, QStringLiteral("状态"), 8, QStringLiteral("IsEnabled"), XIN, XOFFSET(CTestCourse, m_nState),
                      1, 0, 0, QStringLiteral("停用|启用"), QString(), 8, 521, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("单价"), 8, QStringLiteral("Price"), XNU, XOFFSET(CTestCourse, m_fPrice),
                            QString(), QString(), 0, 521, 0, QString());
        heads.AddTextHead(u"其他", QStringLiteral("备注"), 8, QStringLiteral("TeacherNote"), XSW,
                          XOFFSET(CTestCourse, m_strTeacherNote), QStringLiteral("无"), QStringLiteral("无记录"),
                          QString());
    });
}

CHeads* CTestCourseLine::StaticHeads()
{
    return BuildHeadsOnce<CTestCourseLine>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("课程");
        heads.m_strItemUnit = QStringLiteral("门");
        heads.m_strTable = QStringLiteral("TB_TEST_CHARGE_COURSE");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                XOFFSET(CTestCourseLine, m_nSubID), QString(), QString(), 0, 0, 0, QString());
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("ChargeID"), XIN,
                                XOFFSET(CTestCourseLine, m_nParentID), QString(), QString(), 0, 0, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("课程"), 9, QStringLiteral("CourseID"), XLK, 0, QString(), QString(),
                            512, 521, 0, QString());
        heads.AddHead({}, QStringLiteral("课时"), 8, QStringLiteral("Lessons"), XIN,
                      XOFFSET(CTestCourseLine, m_nLessons), 1, 0, 0, QStringLiteral("%d 次"), QString(), 0, 521, 0,
                      QString());
    });
}

double CTestCharge::GetTotal() const { return m_nTimes * m_fPrice; }

CXDateRange CTestCharge::GetPeriod() const
{
    return CXDateRange(m_dtBegin, m_dtBegin.Day() ? m_dtBegin.AddDays(30) : XDateTime(0.0));
}

CHeads* CTestCharge::StaticHeads()
{
    return BuildHeadsOnce<CTestCharge>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("课时包");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_strTable = QStringLiteral("TB_TEST_CHARGE");
        heads.m_bGoodStatus = 1;
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                XOFFSET(CTestCharge, m_nID), QString(), QString(), 0, 0, 0, QString());
        heads
            .AddTextHead({}, QStringLiteral("名称"), 138, QStringLiteral("RecordName"), XSW,
                         XOFFSET(CTestCharge, m_strName), QStringLiteral("新课时包"), QString(), QString())
            ->m_nColTitle = 1;
        heads.AddHead({}, QStringLiteral("课时"), 8, QStringLiteral("Times"), XIN, XOFFSET(CTestCharge, m_nTimes), 1, 0,
                      0, QStringLiteral("%d 次"), QString(), 0, 521, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("单价"), 8, QStringLiteral("Price"), XNU, XOFFSET(CTestCharge, m_fPrice),
                            QString(), QString(), 0, 521, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("开始"), 8, QStringLiteral("BeginDate"), XDT,
                            XOFFSET(CTestCharge, m_dtBegin), QString(), QStringLiteral("长期"), 0, 521, 0, QString());
        heads.AddHead({}, QStringLiteral("时间"), 8, QStringLiteral("TimeSpan"), XTS, XOFFSET(CTestCharge, m_nTimeSpan),
                      8301000, 0, 0, QString(), QString(), 0, 521, 0, QString());
        heads.AddHead({}, QStringLiteral("状态"), 8, QStringLiteral("IsEnabled"), XIN, XOFFSET(CTestCharge, m_nState),
                      1, 0, 0, QStringLiteral("停用|启用"), QString(), 0, 521, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("教室"), 8, QStringLiteral("Room"), XSW, XOFFSET(CTestCharge, m_strRoom),
                            QString(), QStringLiteral("无记录"), 0, 521, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("教师"), 8, QStringLiteral("TeacherID"), XLK,
                            XOFFSET(CTestCharge, m_teacher), QString(), QString(), 0, 521, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("课程"), 8, QStringLiteral("CourseID"), XLK,
                            XOFFSET(CTestCharge, m_course), QString(), QString(), 0, 521, 0, QString());
        heads.AddMemberHead({}, QStringLiteral("修改"), XBS, XOFFSET(CTestCharge, m_stamp), QString(), QString(), 0,
                            521, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("课程明细"), 1, QString(), XAR, XOFFSET(CTestCharge, m_lines), QString(),
                            QString(), 0, 521, 0, QString());
        heads.AddComputedHead({}, QStringLiteral("总价"), XNU, CHeads::Getter(&CTestCharge::GetTotal), QString(),
                              QString(), 0, 521, 0, QString());
        heads.AddComputedHead({}, QStringLiteral("有效期"), XDR, CHeads::Getter(&CTestCharge::GetPeriod), QString(),
                              QString(), 0, 521, 0, QString());
    });
}

CHeads* CTestTeacher::StaticHeads()
{
    return BuildHeadsOnce<CTestTeacher>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("教师");
        heads.m_strItemUnit = QStringLiteral("位");
        heads.m_strTable = QStringLiteral("TB_TEACHER");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                XOFFSET(CTestTeacher, m_nID), QString(), QString(), 0, 0, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("姓名"), 138, QStringLiteral("RealName"), XSW,
                            XOFFSET(CTestTeacher, m_strName), QString(), QString(), 512, 521, 0, QString());
    });
}

CHeads* CTestAccount::StaticHeads()
{
    return BuildHeadsOnce<CTestAccount>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("账号");
        heads.m_strItemUnit = QStringLiteral("个");
        heads.m_strTable = QStringLiteral("TB_ACCOUNT");
        heads.m_strCondition = QStringLiteral("MduID='MDU_STUDENT'");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                XOFFSET(CTestAccount, m_nID), QString(), QString(), 0, 0, 0, QString());
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("PersonID"), XIN,
                                XOFFSET(CTestAccount, m_nParentID), QString(), QString(), 0, 0, 0, QString());
        heads.AddHead({}, QStringLiteral("模块"), 0, QStringLiteral("MduID"), XIN, XOFFSET(CTestAccount, m_nOwnerMdu),
                      MDU_STUDENT, 0, 0, QString(), QString(), 0, 0, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("账号"), 8, QStringLiteral("Content"), XSW,
                            XOFFSET(CTestAccount, m_strName), QString(), QString(), 0, 521, 0, QString());
    });
}

CHeads* CTestStudent::StaticHeads()
{
    return BuildHeadsOnce<CTestStudent>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("学员");
        heads.m_strItemUnit = QStringLiteral("位");
        heads.m_strTable = QStringLiteral("TB_STUDENT");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                XOFFSET(CTestStudent, m_nID), QString(), QString(), 0, 0, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("姓名"), 138, QStringLiteral("RealName"), XSW,
                            XOFFSET(CTestStudent, m_strName), QString(), QString(), 512, 521, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("账号"), 1, QString(), XAR, XOFFSET(CTestStudent, m_accounts), QString(),
                            QString(), 0, 521, 0, QString());
    });
}

CHeads* CTestReceipt::StaticHeads()
{
    return BuildHeadsOnce<CTestReceipt>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("收据");
        heads.m_strItemUnit = QStringLiteral("张");
        heads.m_strTable = QStringLiteral("TB_TEST_RECEIPT");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                XOFFSET(CTestReceipt, m_nID), QString(), QString(), 0, 0, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("编号"), 0, QStringLiteral("KeyName"), XSW,
                            XOFFSET(CTestReceipt, m_strName), QString(), QString(), 512, 521, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("金额"), 8, QStringLiteral("Amount"), XNU,
                            XOFFSET(CTestReceipt, m_fAmount), QString(), QString(), 0, 521, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("备注"), 8, QStringLiteral("RecordMemo"), XSW,
                            XOFFSET(CTestReceipt, m_strMemo), QString(), QString(), 0, 521, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("内部说明"), 8, QStringLiteral("Note"), XSW,
                            XOFFSET(CTestReceipt, m_strNote), QString(), QString(), 0, 0, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("学员"), 8, QStringLiteral("StudentID"), XLK,
                            XOFFSET(CTestReceipt, m_student), QString(), QString(), 0, 521, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("标志"), 8, QStringLiteral("Logo"), XIM, XOFFSET(CTestReceipt, m_logo),
                            QString(), QString(), 0, 0, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("模板"), 8, QStringLiteral("Template"), XSA,
                            XOFFSET(CTestReceipt, m_template), QString(), QString(), 0, 0, 0, QString());
    });
}

CHeads* CTestLessonCount::StaticHeads()
{
    return BuildHeadsOnce<CTestLessonCount>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("课时");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_strSql = QStringLiteral("SELECT ChargeID, Lessons FROM TB_TEST_CHARGE_COURSE");
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("ChargeID"), XIN,
                                XOFFSET(CTestLessonCount, m_nParentID), QString(), QString(), 0, 0, 0, QString());
        heads.AddViewColumnHead({}, QStringLiteral("课时"), QStringLiteral("Lessons"), XIN,
                                XOFFSET(CTestLessonCount, m_nLessons), QString(), QString(), 0, 521, 0, QString());
    });
}

CHeads* CTestChargeView::StaticHeads()
{
    return BuildHeadsOnce<CTestChargeView>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("课时包");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_strTable = QStringLiteral("TB_TEST_CHARGE");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                XOFFSET(CTestChargeView, m_nID), QString(), QString(), 0, 0, 0, QString());
        heads.AddViewColumnHead({}, QStringLiteral("名称"), QStringLiteral("RecordName"), XSW,
                                XOFFSET(CTestChargeView, m_strName), QString(), QString(), 512, 521, 0, QString());
        heads.AddColumnHead({}, QStringLiteral("课时"), 1, QString(), XAR, XOFFSET(CTestChargeView, m_counts),
                            QString(), QString(), 0, 521, 0, QString());
    });
}
