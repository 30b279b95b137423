#include "CDBCourse.h"

#include "CommandIds.h"
#include "FormatString.h"
#include "Resources.h"
#include "TextUtils.h"

#define COURSE_OFFSET(member) XOFFSET(CDBCourse, member)

CHeads* CDBCourse::StaticHeads()
{
    return BuildHeadsOnce<CDBCourse>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("课程");
        heads.m_strItemUnit = QStringLiteral("门");
        heads.m_strTable = QStringLiteral("TB_COURSE");
        heads.m_bGoodStatus = 1;
        heads.SetSqlResource(432);
        const QString none;
        const QString noRecord = QStringLiteral("无记录");
        const QString nothing = QStringLiteral("无");
        const QString blank = QStringLiteral("空");
        const QString items = QStringLiteral("%d 项");
        const QString times = QStringLiteral("%d 人次");
        const QString lessons = QStringLiteral("%d 次");
        const QString weekly = QStringLiteral("%d 次/周");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, COURSE_OFFSET(m_nID), none,
                                none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("名称"), 138, QStringLiteral("RecordName"), XSW,
                            COURSE_OFFSET(m_strName), none, blank, 512, 521, 0, none);
        heads.AddColumnHead({}, QStringLiteral("分组"), 9, QStringLiteral("GroupName"), XSW, COURSE_OFFSET(m_strGroup),
                            none, blank, 24, 521, 0, QStringLiteral("课程分组仅用于助记，无实际意义"));
        heads.AddHead({}, QStringLiteral("启用"), 10, QStringLiteral("IsEnabled"), XIN, COURSE_OFFSET(m_bEnabled), 1, 0,
                      0, QStringLiteral("停用|启用"), none, 64, 521, 0, none);

        heads.AddViewColumnHead(ID_REL_CHARGE, QStringLiteral("开始报名"), QStringLiteral("chgBgn"), XDT,
                                COURSE_OFFSET(m_dtChgBgn), none, noRecord, 0, 0, 0, none);
        heads.AddViewColumnHead(ID_REL_CHARGE, QStringLiteral("截止报名"), QStringLiteral("chgEnd"), XDT,
                                COURSE_OFFSET(m_dtChgEnd), none, noRecord, 0, 0, 0, none);
        heads.AddComputedHead(ID_REL_CHARGE, QStringLiteral("可报名日期"), XDR,
                              CHeads::Getter(&CDBCourse::GetSaleRange), none, noRecord, 0, 1, 0,
                              QStringLiteral("可以报名该课程的开始日期~截止日期"));
        heads.AddViewColumnHead(ID_REL_CHARGE, QStringLiteral("全部"), QStringLiteral("chgAll"), XIN,
                                COURSE_OFFSET(m_nChgAll), items, nothing, 0, 0, 0, QStringLiteral("全部课时包数量"));
        heads.AddViewColumnHead(ID_REL_CHARGE, QStringLiteral("已截止"), QStringLiteral("chgOld"), XIN,
                                COURSE_OFFSET(m_nChgOld), items, nothing, 0, 1, 0,
                                QStringLiteral("已截止报名的课时包数量"));
        heads.AddViewColumnHead(ID_REL_CHARGE, QStringLiteral("可报名"), QStringLiteral("chgCur"), XIN,
                                COURSE_OFFSET(m_nChgCur), items, nothing, 0, 1, 0,
                                QStringLiteral("当前可报名的课时包数量"));
        heads.AddViewColumnHead(ID_REL_CHARGE, QStringLiteral("未生效"), QStringLiteral("chgNew"), XIN,
                                COURSE_OFFSET(m_nChgNew), items, nothing, 0, 1, 0,
                                QStringLiteral("当前未生效的课时包数量"));

        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("首次报名"), QStringLiteral("rcpPayMin"), XDT,
                                COURSE_OFFSET(m_dtRcpPayMin), none, noRecord, 0, 0, 0, none);
        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("最近报名"), QStringLiteral("rcpPayMax"), XDT,
                                COURSE_OFFSET(m_dtRcpPayMax), none, noRecord, 0, 0, 0, none);
        heads.AddComputedHead(ID_REL_RECEIPT, QStringLiteral("报名日期"), XDR, CHeads::Getter(&CDBCourse::GetPayRange),
                              none, noRecord, 0, 1, 0, QStringLiteral("首次报名日期~最近报名日期"));
        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("已报名"), QStringLiteral("rcpPayTimes"), XIN,
                                COURSE_OFFSET(m_nRcpPayTimes), times, nothing, 0, 9, 4, QStringLiteral("累计报名次数"));
        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("报名金额"), QStringLiteral("rcpPaySum"), XNU,
                                COURSE_OFFSET(m_fRcpPaySum), none, nothing, 0, 9, 12,
                                QStringLiteral("累计报名金额（已计入后期变更）"));
        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("退费次数"), QStringLiteral("rcpRtrTimes"), XIN,
                                COURSE_OFFSET(m_nRcpRtrTimes), times, nothing, 0, 1, 0, QStringLiteral("累计退费次数"));
        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("总课时"), QStringLiteral("rcpLessonAc"), XIN,
                                COURSE_OFFSET(m_nRcpLessonAc), lessons, nothing, 0, 0, 0,
                                QStringLiteral("已计入后期变更的有效报名课时"));
        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("已消课时"), QStringLiteral("rcpCountIn"), XIN,
                                COURSE_OFFSET(m_nRcpCountIn), lessons, nothing, 0, 0, 0,
                                QStringLiteral("累计已消课时"));
        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("失效课时"), QStringLiteral("rcpInvalid"), XIN,
                                COURSE_OFFSET(m_nRcpInvalid), lessons, nothing, 0, 0, 0,
                                QStringLiteral("因退费或定期/短期课程超过有效期等原因失效的课时"));
        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("剩余课时"), QStringLiteral("rcpRemained"), XIN,
                                COURSE_OFFSET(m_nRcpRemained), lessons, nothing, 0, 9, 16,
                                QStringLiteral("总课时-已消课时-当前消课(上标)±失效课时(下标)=剩余课时"));
        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("有效期"), QStringLiteral("rcpEndMax"), XDT,
                                COURSE_OFFSET(m_dtRcpEndMax), none, nothing, 0, 9, 0,
                                QStringLiteral("计入后期变更的最终有效期，如果已退费，则是退费日期"));

        heads.AddViewColumnHead(ID_REL_EDUSCH, QStringLiteral("开始排课"), QStringLiteral("SchBgn"), XDT,
                                COURSE_OFFSET(m_dtSchBgn), none, noRecord, 0, 0, 0, none);
        heads.AddViewColumnHead(ID_REL_EDUSCH, QStringLiteral("结束排课"), QStringLiteral("SchEnd"), XDT,
                                COURSE_OFFSET(m_dtSchEnd), none, noRecord, 0, 0, 0, none);
        heads.AddComputedHead(ID_REL_EDUSCH, QStringLiteral("排课日期"), XDR, CHeads::Getter(&CDBCourse::GetSchRange),
                              none, noRecord, 0, 1, 0, none);
        heads.AddViewColumnHead(ID_REL_EDUSCH, QStringLiteral("全部排课"), QStringLiteral("SchAll"), XIN,
                                COURSE_OFFSET(m_nSchAll), weekly, nothing, 0, 0, 0, QStringLiteral("全部课程表数量"));
        heads.AddViewColumnHead(ID_REL_EDUSCH, QStringLiteral("结束排课"), QStringLiteral("SchOld"), XIN,
                                COURSE_OFFSET(m_nSchOld), weekly, nothing, 0, 1, 3,
                                QStringLiteral("结束排课的课程表数量"));
        heads.AddViewColumnHead(ID_REL_EDUSCH, QStringLiteral("当前排课"), QStringLiteral("SchCur"), XIN,
                                COURSE_OFFSET(m_nSchCur), weekly, nothing, 0, 9, 2,
                                QStringLiteral("正在排课的课程表数量"));

        heads.AddViewColumnHead(ID_REL_EDURCD, QStringLiteral("首次上课"), QStringLiteral("rcdMin"), XDT,
                                COURSE_OFFSET(m_dtRcdMin), none, noRecord, 2, 0, 0, none);
        heads.AddViewColumnHead(ID_REL_EDURCD, QStringLiteral("最近上课"), QStringLiteral("rcdMax"), XDT,
                                COURSE_OFFSET(m_dtRcdMax), none, noRecord, 0, 0, 0, none);
        heads.AddComputedHead(ID_REL_EDURCD, QStringLiteral("上课日期"), XDR, CHeads::Getter(&CDBCourse::GetRcdRange),
                              none, noRecord, 0, 9, 0, QStringLiteral("首次上课日期~最近上课日期"));
        heads.AddViewColumnHead(ID_REL_EDURCD, QStringLiteral("已上课"), QStringLiteral("rcdAll"), XIN,
                                COURSE_OFFSET(m_nRcdAll), lessons, nothing, 0, 9, 0,
                                QStringLiteral("全部有考勤记录的课堂记录数量，不含已排课但无任何考勤信息的课堂记录"));

        heads.AddColumnHead({}, QStringLiteral("备注"), 9, QStringLiteral("RecordMemo"), XSW, COURSE_OFFSET(m_strMemo),
                            none, blank, 0, 521, 0, none);
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("新建"), XBS, COURSE_OFFSET(m_created), none, noRecord, 0, 1,
                            0, QStringLiteral("新建该项目的用户和日期"));
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("修改"), XBS, COURSE_OFFSET(m_modified), none, noRecord, 0,
                            1, 0, QStringLiteral("最近修改该项目的用户和日期"));
    });
}

QString CDBCourse::FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const
{
    if (head && head->m_nOffset == COURSE_OFFSET(m_nRcpRemained) && !head->m_pfnGet &&
        (m_nRcpLessonAc || m_nRcpCountIn || m_nRcpRemained || m_nRcpInvalid)) {
        // The lesson balance spelled out: total - consumed (- invalid, in subscript) = left.
        // The 0.1 keeps the sign of a whole number of invalid lessons negative.
        const QString suffix =
            m_nRcpInvalid ? AsciiToSupSub(FormatString(u"%+1.0f", -m_nRcpInvalid - 0.1), false) : QString();
        return FormatString(u"%d-%d%s=%d", m_nRcpLessonAc, m_nRcpCountIn, suffix, m_nRcpRemained);
    }
    return CXItem::FormatText(head, bUnit, bPrefix, bDisplay);
}

QStringList CDBCourse::GetReferringModules() const
{
    QStringList names;
    if (m_nChgAll)
        names << LoadCommandText(MDU_CHARGE);
    if (m_nRcpPayTimes)
        names << LoadCommandText(MDU_RECEIPT);
    if (m_nSchAll)
        names << LoadCommandText(MDU_EDUSCH);
    if (m_nRcdAll)
        names << LoadCommandText(MDU_EDURCD);
    return names;
}

QString CDBCourse::GetDeleteError(const CXItem* user) const
{
    const QStringList names = GetReferringModules();
    if (!names.isEmpty())
        return FormatString(u"已有关联的%s。", names.join(QStringLiteral("、")));
    return CXItem::GetDeleteError(user);
}

int CDBCourse::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    if (m_strName.isEmpty())
        AddStatus(ST_STOP, &m_strName, "请输入名称！");
    if (!m_bEnabled) {
        AddStatus(ST_GRAY, nullptr, "已停用！");
    } else if (m_nChgAll || m_nSchAll || m_nRcdAll) {
        // A closing day of 0 means some package is still open.
        if (m_dtChgEnd.Day() != 0 && m_dtChgEnd.Day() < XDateTime::Today().Day())
            AddStatus(ST_WARN, nullptr, "无生效%s！", LoadCommandText(MDU_CHARGE));
    } else {
        const QStringList all = {LoadCommandText(MDU_CHARGE), LoadCommandText(MDU_RECEIPT), LoadCommandText(MDU_EDUSCH),
                                 LoadCommandText(MDU_EDURCD)};
        AddStatus(ST_WARN, nullptr, "无关联%s。", all.join(QStringLiteral("、")));
    }
    return CXItem::Validate(user, bCheckDuplicates);
}
