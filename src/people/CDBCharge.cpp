#include "CDBCharge.h"

#include "RecordCopy.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "Resources.h"

#include <algorithm>

#define CHARGE_OFFSET(member) XOFFSET(CDBCharge, member)

CHeads* CDBChargeCourse::StaticHeads()
{
    return BuildHeadsOnce<CDBChargeCourse>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("课程");
        heads.m_strItemUnit = QStringLiteral("门");
        heads.m_strTable = QStringLiteral("TB_CHARGE_COURSE");
        const QString none;
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN,
                                XOFFSET(CDBChargeCourse, m_nSubID), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("ChargeID"), XIN,
                                XOFFSET(CDBChargeCourse, m_nParentID), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("课程"), 9, QStringLiteral("CourseID"), XLK, 0, none, none, 512, 513, 0,
                            none);
    });
}

CXMap CDBChargeCourse::GetRelateQuery(const CHead* head, const CXMap* base) const
{
    CXMap query = CXItem::GetRelateQuery(head, base);
    if (!head || head->m_nType == XLK)
        query.SetText(IDC_ENABLED, QStringLiteral("1"));
    return query;
}

CHeads* CDBCharge::StaticHeads()
{
    return BuildHeadsOnce<CDBCharge>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("课时包");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_strTable = QStringLiteral("TB_CHARGE");
        heads.m_bGoodStatus = 1;
        heads.SetSqlResource(431);
        const QString none;
        const QString noRecord = QStringLiteral("无记录");
        const QString nothing = QStringLiteral("无");
        const QString longTerm = QStringLiteral("长期");
        const QString priceHelp = QStringLiteral("价格=单价×课时");
        const int today = kToday;
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, CHARGE_OFFSET(m_nID), none,
                                none, 0, 0, 0, none);
        heads.AddHead({}, QStringLiteral("名称"), 138, QStringLiteral("RecordName"), XSW, CHARGE_OFFSET(m_strName), 0,
                      0, 0, none, none, 512, 521, 20, none);
        heads.AddHead({}, QStringLiteral("生效日期"), 9, QStringLiteral("CheckBgn"), XDT, CHARGE_OFFSET(m_dtCheckBgn),
                      today, 0, 0, none, none, 1, 521, 0, none);
        heads.AddColumnHead({}, QStringLiteral("截止日期"), 9, QStringLiteral("CheckEnd"), XDT,
                            CHARGE_OFFSET(m_dtCheckEnd), none, QStringLiteral("未截止"), 0, 521, 0,
                            QStringLiteral("截止日期，无截止日期表示该课时包未截止"));
        heads.AddColumnHead({}, QStringLiteral("课程"), 10, QString(), XAR, CHARGE_OFFSET(m_courses), none, none, 72,
                            521, 10, none);
        heads.AddColumnHead({}, QStringLiteral("排课"), 9, QStringLiteral("FixedDate"), XIN,
                            CHARGE_OFFSET(m_nFixedDate), QStringLiteral("长期|短期"), none, 0, 521, 0, none);
        heads.AddColumnHead({}, QStringLiteral("计费"), 9, QStringLiteral("ClassType"), XIN,
                            CHARGE_OFFSET(m_nClassType), QStringLiteral("计次|定期"), none, 0, 521, 0,
                            QStringLiteral("计次计费方式时在上课达到确定次数后结课。定期计费方式时只在 “有效期” 或 "
                                           "“排课日” 内上课，到期自动结课且不计上课次数。"));
        heads.AddComputedHead({}, QStringLiteral("有效期"), XSW, CHeads::Getter(&CDBCharge::GetValidText), none, none,
                              0, 520, 20,
                              QStringLiteral("长期排课方式时的有效期长或短期排课方式时的开课日期和结课日期"));
        heads.AddHead({}, QStringLiteral("有效期长"), 9, QStringLiteral("ValidDays"), XIN, CHARGE_OFFSET(m_nValidDays),
                      180, 1, 0, QStringLiteral("%d 天"), none, 0, 1, 3, QStringLiteral("长期排课方式时的有效期长"));
        heads.AddComputedHead({}, QStringLiteral("开结课日期"), XDR, CHeads::Getter(&CDBCharge::GetUsefulRange), none,
                              longTerm, 0, 1, 0, QStringLiteral("短期排课方式时的开课日期和结课日期"));
        heads.AddHead({}, QStringLiteral("开课日期"), 9, QStringLiteral("UsefulBgn"), XDT, CHARGE_OFFSET(m_dtUsefulBgn),
                      today + 1, 0, 0, none, longTerm, 0, 1, 0, QStringLiteral("短期排课方式时的开课日期"));
        heads.AddHead({}, QStringLiteral("结课日期"), 9, QStringLiteral("UsefulEnd"), XDT, CHARGE_OFFSET(m_dtUsefulEnd),
                      today + 7, 0, 0, none, longTerm, 0, 1, 0, QStringLiteral("短期排课方式时的结课日期"));
        heads.AddHead({}, QStringLiteral("课时"), 10, QStringLiteral("LessonNum"), XIN, CHARGE_OFFSET(m_nLessonNum), 15,
                      1, 999, QStringLiteral("%d 次/期"), none, 0, 521, 0, priceHelp);
        heads.AddHead({}, QStringLiteral("单价"), 10, QStringLiteral("UnitPrice"), XNU, CHARGE_OFFSET(m_fUnitPrice),
                      100, 0, 0, QStringLiteral("¥%1.2f /次"), nothing, 0, 9, 6, priceHelp);
        heads.AddHead({}, QStringLiteral("价格"), 1, QStringLiteral("ChgPrice"), XNU, CHARGE_OFFSET(m_fChgPrice), 0, 0,
                      0, QStringLiteral("¥%1.2f /期"), nothing, 0, 521, 0, priceHelp);
        heads.AddComputedHead({}, QStringLiteral("状态"), XIN, CHeads::Getter(&CDBCharge::GetSaleStatus),
                              QStringLiteral("未生效|可报名|已截止"), none, 88, 521, 0, none);
        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("首次报名"), QStringLiteral("rcpPayMin"), XDT,
                                CHARGE_OFFSET(m_dtRcpPayMin), none, noRecord, 0, 1, 0, QStringLiteral("首次报名日期"));
        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("最近报名"), QStringLiteral("rcpPayMax"), XDT,
                                CHARGE_OFFSET(m_dtRcpPayMax), none, noRecord, 0, 1, 0, QStringLiteral("最近报名日期"));
        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("已报名"), QStringLiteral("rcpPayTimes"), XIN,
                                CHARGE_OFFSET(m_nRcpPayTimes), QStringLiteral("%d 人次"), nothing, 0, 9, 3,
                                QStringLiteral("累计报名次数"));
        heads.AddViewColumnHead(ID_REL_RECEIPT, QStringLiteral("报名金额"), QStringLiteral("rcpPaySum"), XNU,
                                CHARGE_OFFSET(m_fRcpPaySum), none, nothing, 0, 9, 0,
                                QStringLiteral("累计报名金额（已计入后期变更）"));
        heads.AddColumnHead({}, QStringLiteral("备注"), 8, QStringLiteral("RecordMemo"), XSW, CHARGE_OFFSET(m_strMemo),
                            none, QStringLiteral("空"), 0, 521, 0, none);
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("新建"), XBS, CHARGE_OFFSET(m_created), none, noRecord, 0, 1,
                            0, QStringLiteral("新建该项目的用户和日期"));
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("修改"), XBS, CHARGE_OFFSET(m_modified), none, noRecord, 0,
                            1, 0, QStringLiteral("最近修改该项目的用户和日期"));
    });
}

int CDBCharge::GetSaleStatus() const
{
    const double today = XDateTime::Today().Day();
    if (m_dtCheckBgn.Day() > today)
        return CHARGE_NOT_YET;
    if (m_dtCheckEnd.Day() == 0 || m_dtCheckEnd.Day() >= today)
        return CHARGE_ON_SALE;
    return CHARGE_CLOSED;
}

QString CDBCharge::GetValidText() const
{
    if (m_nFixedDate)
        return GetUsefulRange().Format();
    const CHead* head = StaticHeads()->FindByOffset(CHARGE_OFFSET(m_nValidDays));
    return FormatText(head, true, true, true);
}

QString CDBCharge::GetDeleteError(const CXItem* user) const
{
    if (m_nRcpPayTimes)
        return FormatString(u"已有关联的%s。", LoadCommandText(MDU_RECEIPT));
    return CXItem::GetDeleteError(user);
}

int CDBCharge::GetAccess(const CHead* head, const CXItem* user) const
{
    int access = CXItem::GetAccess(head, user);
    const int offset = head->m_pfnGet ? -1 : head->m_nOffset;
    // What receipts were sold under stays as it was sold.
    if (m_nRcpPayTimes && access > 0 &&
        (offset == CHARGE_OFFSET(m_nClassType) || offset == CHARGE_OFFSET(m_nFixedDate) ||
         offset == CHARGE_OFFSET(m_nLessonNum) || offset == CHARGE_OFFSET(m_fUnitPrice) ||
         offset == CHARGE_OFFSET(m_fChgPrice) || offset == CHARGE_OFFSET(m_courses)))
        access = 0;
    const bool coursePeriod = offset == CHARGE_OFFSET(m_dtUsefulBgn) || offset == CHARGE_OFFSET(m_dtUsefulEnd) ||
                              (head->m_nType == XDR && head->m_strName == QStringLiteral("开结课日期"));
    if (!m_nFixedDate && coursePeriod)
        return -1;
    if (m_nFixedDate && offset == CHARGE_OFFSET(m_nValidDays))
        return -1;
    return access;
}

void CDBCharge::GetRange(const CHead* head, int& min, int& max) const
{
    CXItem::GetRange(head, min, max);
    if (head->m_pfnGet)
        return;
    // Receipts already sold must stay inside the sale period.
    if (head->m_nOffset == CHARGE_OFFSET(m_dtCheckBgn)) {
        if (const int first = static_cast<int>(m_dtRcpPayMin.Day()))
            max = std::min(max, first);
    } else if (head->m_nOffset == CHARGE_OFFSET(m_dtCheckEnd)) {
        if (const int lo = static_cast<int>(std::max(m_dtCheckBgn.Day(), m_dtRcpPayMax.Day())))
            min = std::max(min, lo);
    }
}

int CDBCharge::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    m_fChgPrice = m_nLessonNum * m_fUnitPrice;
    if (m_nFixedDate) {
        m_nValidDays = 0;
    } else {
        m_dtUsefulBgn = XDateTime(0.0);
        m_dtUsefulEnd = XDateTime(0.0);
    }
    if (m_strName.isEmpty())
        AddStatus(ST_STOP, &m_strName, "请输入名称！");
    if (m_courses.IsEmpty())
        AddStatus(ST_STOP, &m_courses, "请添加适用课程！");
    if (!m_nRcpPayTimes)
        AddStatus(ST_WARN, nullptr, "无关联%s。", LoadCommandText(MDU_RECEIPT));
    const int status = GetSaleStatus();
    if (status == CHARGE_NOT_YET)
        AddStatus(ST_WARN, nullptr, "未生效！");
    else if (status == CHARGE_CLOSED)
        AddStatus(ST_GRAY, nullptr, "已截止！");
    return CXItem::Validate(user, bCheckDuplicates);
}

void CDBCharge::MakeNewCopy()
{
    PrepareNewCopy(*this);
    // a new package has sold nothing yet
    m_nRcpPayTimes = 0;
    m_fRcpPaySum = 0;
    m_dtRcpPayMin = XDateTime(0.0);
    m_dtRcpPayMax = XDateTime(0.0);
}
