#include "CDBWages.h"

#include "CommandIds.h"
#include "FormatString.h"
#include "TypedLines.h"

#include <cmath>

#define W_OFFSET(member) XOFFSET(CDBWages, member)

namespace {

int WholeDay(const XDateTime& date) { return static_cast<int>(std::floor(date.Day())); }

// The designated teacher's line of a class record copied into a row.
const CDBEduRcdTeacher* TeacherLine(const CDBEduRcd& record) { return record.FindTeacherLine(record.m_nTeacher); }

int TeacherAttence(const CDBEduRcd& record)
{
    const CDBEduRcdTeacher* t = TeacherLine(record);
    return t ? t->m_nAttence : ATTENCE_PENDING;
}

bool TeacherTaught(const CDBEduRcd& record)
{
    const CDBEduRcdTeacher* t = TeacherLine(record);
    return t && t->HasTaught();
}

// The deduction standard of the class when the designated teacher's attendance is the one given.
double Deduction(const CDBEduRcd& record, int attence, double CDBTeacherPay::*rate)
{
    const CDBEduRcdTeacher* t = TeacherLine(record);
    return t && t->m_nAttence == attence ? t->m_pay.*rate : 0;
}

double Income(const CDBEduRcd& record)
{
    double income = 0;
    for (const auto* s : Typed(record.m_students))
        income += s->m_fIncome;
    return income;
}

const QString kAttenceCodes = QStringLiteral("待定|请假|准时|迟到|缺勤");

} // namespace

// ---------------------------------------------------------------------------------------
// The field tables

CHeads* CDBWages::StaticHeads()
{
    return BuildHeadsOnce<CDBWages>([](CHeads& heads) {
        using C = CDBWages;
        heads.m_strItemType = QStringLiteral("应发工资");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_bGoodStatus = 1;
        // lists: 512 title, 8 group 1; columns: 1 D, 8 V, 512 B
        const QString none, nothing = QStringLiteral("无"), month = QStringLiteral("%Y年%#m月"),
                            times = QStringLiteral("%d 次"), minus = QStringLiteral("¥-%1.2f");
        const XGroup standard(u"工资标准"), classes(ID_REL_EDURCD), lessons(u"课时工资"), owed(u"应发工资");
        heads.AddMemberHead({}, QStringLiteral("统计月份"), XDT, W_OFFSET(m_dtDate), month, none, 512 | 8, 521, 0,
                            none);
        heads.AddMemberHead({}, QStringLiteral("教师"), XLK, W_OFFSET(m_pay), none, none, 512, 521, 0, none);
        heads.AddComputedHead(
            standard, QStringLiteral("标准生效日期"), XDT,
            [](const CXItem& item, int) -> XFieldValue { return static_cast<const C&>(item).m_pay.m_validity.m_begin; },
            month, none, 0, 521, 0, QStringLiteral("本月核算工资所使用工资标准的生效日期"));
        const auto rate = [&](const char16_t* caption, double CDBTeacherPay::*member, const char16_t* format,
                              const char16_t* help) {
            heads.AddComputedHead(
                standard, QString::fromUtf16(caption), XNU,
                [member](const CXItem& item, int) -> XFieldValue { return static_cast<const C&>(item).m_pay.*member; },
                QString::fromUtf16(format), nothing, 0, 1, 0, QString::fromUtf16(help));
        };
        rate(u"固定工资标准", &CDBTeacherPay::m_fMonthlyPay, u"¥%1.2f /月", u"每个月固定发放的工资，多是全职教师");
        rate(u"全勤奖标准", &CDBTeacherPay::m_fFullWork, u"¥%1.2f /月",
             u"每个月无迟到、请假、旷课时额外发放的奖励工资");
        rate(u"迟到扣除标准", &CDBTeacherPay::m_fPerLate, u"¥-%1.2f /次", u"每迟到一次扣除的工资");
        rate(u"请假扣除标准", &CDBTeacherPay::m_fPerLeave, u"¥-%1.2f /次", u"每请假一次扣除的工资");
        rate(u"缺勤扣除标准", &CDBTeacherPay::m_fPerCut, u"¥-%1.2f /次", u"每缺勤一次扣除的工资");
        rate(u"人头工资标准", &CDBTeacherPay::m_fPerStudent, u"¥%1.2f /人", u"每次课中每个消课课时应付的课时工资");
        rate(u"分成工资标准", &CDBTeacherPay::m_fPerUnit, u"%1.1f %",
             u"每次课中每个消课的核算单价中教师工资的所占百分比");
        rate(u"基数工资标准", &CDBTeacherPay::m_fPerEduRcd, u"¥%1.2f /次", u"每次课应付的固定课时工资");
        rate(u"最低工资标准", &CDBTeacherPay::m_fPerMin, u"≥ ¥%1.2f /次", u"每次课的最低工资");

        const auto count = [&](const char16_t* caption, XFieldGetter getter, unsigned cols, const char16_t* help) {
            heads.AddComputedHead(classes, QString::fromUtf16(caption), XIN, std::move(getter), times, nothing, 0, cols,
                                  2, QString::fromUtf16(help));
        };
        count(u"计划", CHeads::Getter(&C::CountPlanned), 1, u"教师排计划课次数，含未授课。总上课数=计划+临时+试听");
        count(u"临时", CHeads::Getter(&C::CountTemporary), 1, u"教师排临时课次数，含未授课。总上课数=计划+临时+试听");
        count(u"试听", CHeads::Getter(&C::CountTrial), 1,
              u"教师排试听课次数，含未授课。总上课数=计划+临时+试听。试听课不参与核算教师课时工资。");
        count(u"待定", CHeads::Getter(&C::CountPending), 9, u"教师考勤待定次数。待定不参与核算教师课时工资");
        count(u"取消", CHeads::Getter(&C::CountCancelled), 9, u"教师考勤取消次数。取消不参与核算教师课时工资");
        const auto attence = [](int code) {
            return [code](const CXItem& item, int) -> XFieldValue {
                return static_cast<const C&>(item).CountAttence(code);
            };
        };
        count(u"请假", attence(ATTENCE_LEAVE), 9, u"教师考勤请假次数。请假不参与核算教师课时工资");
        count(u"准时", attence(ATTENCE_ONTIME), 9, u"教师考勤准时次数。");
        count(u"迟到", attence(ATTENCE_LATE), 9, u"教师考勤迟到次数。");
        count(u"缺勤", attence(ATTENCE_ABSENT), 9, u"教师考勤缺勤次数。缺勤不参与核算教师课时工资");
        count(u"消课", CHeads::Getter(&C::CountConsumed), 521, u"教师本月授课累计消课学员课时数");
        heads.AddComputedHead(classes, QStringLiteral("消课金额"), XNU, CHeads::Getter(&C::GetConsumedAmount), none,
                              nothing, 0, 9, 0,
                              QStringLiteral("教师本月授课累计消课学员课时数和课时包 “单价” 折算的消课金额合计"));

        const auto amount = [&](const XGroup& g, const char16_t* caption, double (C::*fn)() const,
                                const QString& format, unsigned cols, const char16_t* help) {
            heads.AddComputedHead(g, QString::fromUtf16(caption), XNU, CHeads::Getter(fn), format, nothing, 0, cols, 0,
                                  QString::fromUtf16(help));
        };
        amount(lessons, u"人头课时工资", &C::GetPerStudentWage, none, 521,
               u"按人头工资标准，每次课中每个消课课时应付的课时工资合计");
        amount(lessons, u"基数课时工资", &C::GetBaseWage, none, 521, u"按基数工资标准，每次课应付的固定课时工资合计");
        amount(lessons, u"分成课时工资", &C::GetShareWage, none, 521,
               u"按分成工资标准，按每次课中消课的核算单价和分成工资标准计算的分成工资合计");
        amount(lessons, u"补足课时工资", &C::GetTopUpWage, none, 521,
               u"按最低工资标准，每次课核算的课时工资低于最低工资时补发的工资合计");
        amount(lessons, u"课时工资小计", &C::GetLessonWage, none, 521,
               u"课时工资=人头工资+分成工资+基数工资，如果少于最低工资，则按最低工资标准补足");
        amount(owed, u"固定工资", &C::GetMonthlyPay, none, 521, u"每个月固定发放的工资");
        heads.AddComputedHead(owed, QStringLiteral("全勤"), XIN, CHeads::Getter(&C::IsFullWork),
                              QStringLiteral("否|是"), none, 0, 1, 0,
                              QStringLiteral("本月度有授课且无迟到、请假、缺勤"));
        amount(owed, u"全勤奖", &C::GetFullWorkBonus, none, 1, u"按全勤奖标准，本月度全勤时的奖励工资");
        amount(owed, u"迟到扣除", &C::GetLateDeduction, minus, 1, u"按每次迟到扣除标准，本月度因迟到扣除的工资");
        amount(owed, u"请假扣除", &C::GetLeaveDeduction, minus, 1, u"按每次请假扣除标准，本月度因请假扣除的工资");
        amount(owed, u"缺勤扣除", &C::GetCutDeduction, minus, 1, u"按每次缺勤扣除标准，本月度因缺勤扣除的工资");
        amount(owed, u"奖惩小计", &C::GetBonusTotal, QStringLiteral("¥%+1.2f"), 521, u"");
        amount(owed, u"应发合计", &C::GetTotal, none, 521, u"月应发工资合计=固定工资+课时工资小计+奖惩小计");
        heads.AddMemberHead({}, QStringLiteral("离职日期"), XDT, W_OFFSET(m_dtLeave), none, none, 0, 0, 0, none);
        heads.AddMemberHead({}, QStringLiteral("课堂记录"), XAR, W_OFFSET(m_records), none, none, 0, 0, 0, none);
    });
}

namespace {

// Heads for the records of another class: a table of its own, built once.
template <int Which> CHeads* OnceHeads(void (*build)(CHeads&))
{
    static CHeads heads;
    static std::once_flag once;
    std::call_once(once, build, std::ref(heads));
    return &heads;
}

} // namespace

CHeads* CDBWages::LessonHeads()
{
    return OnceHeads<1>([](CHeads& heads) {
        using R = CDBEduRcd;
        heads.m_strItemType = QStringLiteral("课时工资明细");
        heads.m_bGoodStatus = 1;
        const QString none, nothing = QStringLiteral("无"), persons = QStringLiteral("%d 人"),
                            minus = QStringLiteral("¥-%1.2f"),
                            total = QStringLiteral("\n总学员数=待定或取消+请假+准时+迟到+缺勤");
        heads.AddMemberHead({}, QStringLiteral("日期"), XDT, XOFFSET(R, m_dtDate), QStringLiteral("%Y年%#m月%#d日%A"),
                            none, 0, 513, 0, none);
        heads.AddMemberHead({}, QStringLiteral("星期"), XDT, XOFFSET(R, m_dtDate), QStringLiteral("%A"), none, 3 << 3,
                            0, 0, none);
        heads.AddMemberHead({}, QStringLiteral("课程"), XLK, XOFFSET(R, m_course), none, none, 0, 513, 15, none);
        heads.AddMemberHead({}, QStringLiteral("编制"), XIN, XOFFSET(R, m_nClassForm), QStringLiteral("一对多|一对一"),
                            none, 0, 513, 0, none);
        heads.AddComputedHead({}, QStringLiteral("计划"), XIN, CHeads::Getter(&R::IsAuto), QStringLiteral("临时|计划"),
                              QStringLiteral("计划"), 0, 513, 0, none);
        heads.AddMemberHead({}, QStringLiteral("状态"), XIN, XOFFSET(R, m_nClassStatus),
                            QStringLiteral("待定|取消|正常"), none, 64, 513, 0, none);
        heads.AddComputedHead(
            {}, QStringLiteral("教师考勤"), XIN,
            [](const CXItem& item, int) -> XFieldValue { return TeacherAttence(static_cast<const R&>(item)); },
            kAttenceCodes, none, 0, 513, 0, none);
        const auto count = [&](const char16_t* caption, XFieldGetter getter, const QString& help) {
            heads.AddComputedHead({}, QString::fromUtf16(caption), XIN, std::move(getter), persons, nothing, 0, 513, 0,
                                  help);
        };
        count(u"待定", CHeads::Getter(&R::CountPending), QStringLiteral("考勤待定或取消的学员数") + total);
        count(u"取消", CHeads::Getter(&R::CountCancelled), QStringLiteral("考勤待定或取消的学员数") + total);
        const auto attence = [](int code) {
            return [code](const CXItem& item, int) -> XFieldValue {
                return static_cast<const R&>(item).CountAttence(code);
            };
        };
        count(u"请假", attence(ATTENCE_LEAVE), QStringLiteral("考勤请假的学员数") + total);
        count(u"准时", attence(ATTENCE_ONTIME), QStringLiteral("考勤准时的学员数") + total);
        count(u"迟到", attence(ATTENCE_LATE), QStringLiteral("考勤迟到的学员数") + total);
        count(u"缺勤", attence(ATTENCE_ABSENT), QStringLiteral("考勤缺勤的学员数") + total);
        count(u"消课", CHeads::Getter(&R::CountConsumed), QStringLiteral("考勤准时、迟到、缺勤的学员数，不含试听学员"));
        const auto money = [&](const char16_t* caption, XFieldGetter getter, const QString& format,
                               const QString& help) {
            heads.AddComputedHead({}, QString::fromUtf16(caption), XNU, std::move(getter), format, nothing, 0, 513, 0,
                                  help);
        };
        money(u"人头工资", CHeads::Getter(&R::GetPerStudentWage), none, none);
        money(u"分成工资", CHeads::Getter(&R::GetShareWage), none, none);
        money(u"基数工资", CHeads::Getter(&R::GetBaseWage), none, none);
        money(
            u"最低工资",
            [](const CXItem& item, int) -> XFieldValue {
                const auto& r = static_cast<const R&>(item);
                return TeacherTaught(r) ? TeacherLine(r)->m_pay.m_fPerMin : 0.0;
            },
            none, none);
        money(u"课时工资小计", CHeads::Getter(&R::GetLessonWage), none,
              QStringLiteral("人头工资+分成工资+基数工资，小于最低工资时取最低工资"));
        const auto deduction = [](int code, double CDBTeacherPay::*rate) {
            return [code, rate](const CXItem& item, int) -> XFieldValue {
                return Deduction(static_cast<const R&>(item), code, rate);
            };
        };
        money(u"迟到扣除", deduction(ATTENCE_LATE, &CDBTeacherPay::m_fPerLate), minus,
              QStringLiteral("因迟到需扣除的工资"));
        money(u"请假扣除", deduction(ATTENCE_LEAVE, &CDBTeacherPay::m_fPerLeave), minus,
              QStringLiteral("因请假需扣除的工资"));
        money(u"缺勤扣除", deduction(ATTENCE_ABSENT, &CDBTeacherPay::m_fPerCut), minus,
              QStringLiteral("因缺勤需扣除的工资"));
    });
}

CHeads* CDBWages::ShareHeads()
{
    return OnceHeads<2>([](CHeads& heads) {
        using S = CDBEduRcdStudent;
        heads.m_strItemType = QStringLiteral("分成工资明细");
        heads.m_bGoodStatus = 1;
        const QString none, nothing = QStringLiteral("无");
        heads.AddComputedHead({}, QStringLiteral("日期"), XDT, CHeads::Getter(&S::GetClassDate),
                              QStringLiteral("%Y年%#m月%#d日%A"), none, 0, 513, 0, none);
        heads.AddComputedHead({}, QStringLiteral("星期"), XDT, CHeads::Getter(&S::GetClassDate), QStringLiteral("%A"),
                              none, 3 << 3, 0, 0, none);
        heads.AddMemberHead({}, QStringLiteral("时间"), XTS, XOFFSET(S, m_timeSpan), none, none, 0, 513, 0, none);
        heads.AddMemberHead({}, QStringLiteral("学员"), XLK, 0, none, none, 0, 513, 0, none);
        heads.AddComputedHead({}, QStringLiteral("课程"), XSW, CHeads::Getter(&S::GetCourseName), none, none, 0, 513, 0,
                              none);
        heads.AddMemberHead({}, QStringLiteral("试听"), XIN, XOFFSET(S, m_nLessonType), QStringLiteral("正式|试听"),
                            QStringLiteral("正式"), 0, 513, 0, none);
        heads.AddMemberHead({}, QStringLiteral("考勤"), XIN, XOFFSET(S, m_nAttence), kAttenceCodes, none, 64, 513, 0,
                            none);
        heads.AddMemberHead({}, QStringLiteral("消课收据"), XLK, XOFFSET(S, m_receipt), none, nothing, 0, 513, 0, none);
        heads.AddComputedHead({}, QStringLiteral("分成工资"), XNU, CHeads::Getter(&S::GetShareWage), none, nothing, 0,
                              513, 0, none);
    });
}

// ---------------------------------------------------------------------------------------
// Life cycle

void CDBWages::Reset()
{
    CXItem::Reset();
    m_pay.Reset();
    m_pay.m_nMduID = MDU_TEACHER;
    m_dtLeave = XDateTime();
    m_records.RemoveAll();
}

XDateTime CDBWages::GetMonthEnd() const
{
    const QDate first(m_dtDate.Year(), m_dtDate.Month(), 1);
    return XDateTime::FromDate(first.addMonths(1).addDays(-1));
}

bool CDBWages::HasRecord(const CDBEduRcd& record) const
{
    for (const auto* r : Typed(m_records)) {
        // a stored record by its ID, a planned one by its timetable and day
        if (record.m_nID != 0 ? r->m_nID == record.m_nID
                              : r->m_nID == 0 && r->m_sch.m_nID == record.m_sch.m_nID &&
                                    WholeDay(r->m_dtDate) == WholeDay(record.m_dtDate))
            return true;
    }
    return false;
}

// ---------------------------------------------------------------------------------------
// The month's figures

int CDBWages::CountKind(int kind) const
{
    int n = 0;
    for (const auto* r : Typed(m_records))
        if (const CDBEduRcdTeacher* t = TeacherLine(*r); t && t->GetKind() == kind)
            ++n;
    return n;
}

int CDBWages::CountPending() const
{
    int n = 0;
    for (const auto* r : Typed(m_records))
        n += !r->IsCancelled() && TeacherAttence(*r) == ATTENCE_PENDING ? 1 : 0;
    return n;
}

int CDBWages::CountCancelled() const
{
    int n = 0;
    for (const auto* r : Typed(m_records))
        n += r->IsCancelled() && TeacherAttence(*r) == ATTENCE_PENDING ? 1 : 0;
    return n;
}

int CDBWages::CountAttence(int attence) const
{
    int n = 0;
    for (const auto* r : Typed(m_records))
        n += TeacherAttence(*r) == attence ? 1 : 0;
    return n;
}

int CDBWages::CountConsumed() const
{
    int n = 0;
    for (const auto* r : Typed(m_records))
        n += r->CountConsumed();
    return n;
}

template <class F> double CDBWages::SumRecords(F value) const
{
    double sum = 0;
    for (const auto* r : Typed(m_records))
        sum += value(*r);
    return sum;
}

double CDBWages::GetConsumedAmount() const { return SumRecords(Income); }
double CDBWages::GetPerStudentWage() const
{
    return SumRecords([](const CDBEduRcd& r) { return r.GetPerStudentWage(); });
}
double CDBWages::GetBaseWage() const
{
    return SumRecords([](const CDBEduRcd& r) { return r.GetBaseWage(); });
}
double CDBWages::GetShareWage() const
{
    return SumRecords([](const CDBEduRcd& r) { return r.GetShareWage(); });
}
double CDBWages::GetLessonWage() const
{
    return SumRecords([](const CDBEduRcd& r) { return r.GetLessonWage(); });
}
double CDBWages::GetTopUpWage() const { return GetLessonWage() - GetPerStudentWage() - GetShareWage() - GetBaseWage(); }

double CDBWages::GetMonthlyPay() const
{
    // a teacher who left on or before the month's first day is paid nothing fixed for it
    if (m_dtLeave.Day() != 0 && WholeDay(m_dtLeave) <= WholeDay(m_dtDate))
        return 0;
    return m_pay.m_fMonthlyPay;
}

int CDBWages::IsFullWork() const
{
    if (CountConsumed() == 0)
        return 0;
    return CountAttence(ATTENCE_LEAVE) + CountAttence(ATTENCE_LATE) + CountAttence(ATTENCE_ABSENT) == 0 ? 1 : 0;
}

double CDBWages::GetFullWorkBonus() const { return IsFullWork() ? m_pay.m_fFullWork : 0; }

double CDBWages::GetBonusTotal() const
{
    return GetFullWorkBonus() - GetLateDeduction() - GetLeaveDeduction() - GetCutDeduction();
}

double CDBWages::GetTotal() const { return GetLessonWage() + GetBonusTotal() + GetMonthlyPay(); }

// ---------------------------------------------------------------------------------------
// Validation and relations

int CDBWages::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    m_strName = m_pay.m_strName + u' ' + m_dtDate.Format(QStringLiteral("%Y年%#m月"));
    if (m_pay.m_validity.m_begin.Day() == 0)
        AddStatusText(ST_WARN, &m_pay, QStringLiteral("未制定工资标准！"));
    int earliest = 0;
    for (const auto* r : Typed(m_records))
        if (earliest == 0 || WholeDay(r->m_dtDate) < earliest)
            earliest = WholeDay(r->m_dtDate);
    const int today = WholeDay(XDateTime::Today());
    if (earliest != 0 && earliest < today) {
        if (CountPending() != 0)
            AddStatus(ST_WARN, nullptr, "未完成%s的考勤！", QStringLiteral("教师"));
        // A row without a standard always passes the standard's condition; one whose
        // standard begins later than today has nothing of the students' to finish yet.
        bool studentsPending = false;
        for (const auto* r : Typed(m_records))
            studentsPending = studentsPending || r->CountPending() != 0;
        const int standardBegin = WholeDay(m_pay.m_validity.m_begin);
        if (studentsPending && standardBegin < today)
            AddStatus(ST_WARN, nullptr, "未完成%s的考勤！", QStringLiteral("学员"));
    }
    if (GetLessonWage() + GetBonusTotal() + GetMonthlyPay() == 0)
        AddStatusText(ST_GRAY, nullptr, QString());
    return CXItem::Validate(user, bCheckDuplicates);
}

CXMap CDBWages::GetRelateQuery(const CHead* head, const CXMap* base) const
{
    if (head)
        return CXItem::GetRelateQuery(head, base);
    CXMap query = base ? *base : CXMap();
    query.SetDate(QKEY_DATE_FROM, m_dtDate);
    query.SetDate(QKEY_DATE_TO, m_dtDate);
    query.SetText(MDU_TEACHER, QString::number(m_nID));
    return query;
}
