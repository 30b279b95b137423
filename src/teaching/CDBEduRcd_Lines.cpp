#include "SpanMinutes.h"
#include "CDBEduRcd.h"
#include "TypedLines.h"

#include "CModule.h"
#include "CXMap.h"
#include "FormatString.h"
#include "TextUtils.h"

#include <algorithm>

#define STU_OFFSET(member) XOFFSET(CDBEduRcdStudent, member)
#define TCH_OFFSET(member) XOFFSET(CDBEduRcdTeacher, member)

namespace {

const QColor kRed(192, 0, 0);
const QString kAttence = QStringLiteral("待定|请假|准时|迟到|缺勤");
const QString kCancelledAttence = QStringLiteral("取消|请假|||缺勤");

// a <= b for dates, equal within half a second counting as equal
bool NotAfter(const XDateTime& a, const XDateTime& b) { return a < b || a == b; }

void ClearReceipt(CXBase& receipt)
{
    receipt.Reset();
    receipt.m_nMduID = MDU_RECEIPT;
}

// What a student's or a teacher's attendance says on its line: nothing in a cancelled class, a
// reminder while a held class still waits for it, and the marks of leave, late and absent.
void AddAttenceStatus(CXItem& line, const int& attence, const CDBEduRcd* owner)
{
    switch (attence) {
    case 0:
        if (owner && owner->IsCancelled())
            line.AddStatusText(ST_GRAY, nullptr, QString());
        else if (owner && owner->m_nClassStatus == CLASS_HELD)
            line.AddStatus(ST_WARN, &attence, "未完成考勤！");
        break;
    case 1:
        line.AddStatus(ST_GRAY, nullptr, "请假！");
        break;
    case 3:
        line.AddStatus(ST_WARN, nullptr, "迟到！");
        break;
    case 4:
        line.AddStatus(ST_STOP, nullptr, "缺勤！");
        break;
    default:
        break;
    }
}

} // namespace

int PickReceipt(const CXArray& receipts, const XDateTime& classDate)
{
    if (receipts.IsEmpty())
        return -1;
    const XDateTime day = classDate.DateOnly();
    for (int i = 0; i < receipts.GetSize(); ++i) {
        const auto* r = static_cast<const CDBReceipt*>(receipts.GetAt(i));
        const bool covers = NotAfter(r->m_validity.m_begin, day) && NotAfter(day, r->m_dtValidEnd);
        // a period-billed receipt counts no lessons; a short-term one needs lessons left
        const bool kind = r->m_charge.m_nClassType == 1 || (r->m_charge.m_nFixedDate == 1 && r->m_nRemained > 0);
        if (covers && kind)
            return i;
    }
    for (int i = 0; i < receipts.GetSize(); ++i) {
        const auto* r = static_cast<const CDBReceipt*>(receipts.GetAt(i));
        if (r->m_charge.m_nClassType == 0 && r->m_charge.m_nFixedDate == 0 && r->m_nRemained > 0)
            return i;
    }
    return receipts.GetSize() - 1;
}

// ---------------------------------------------------------------------------------------
// Student lines

CHeads* CDBEduRcdStudent::StaticHeads()
{
    return BuildHeadsOnce<CDBEduRcdStudent>([](CHeads& heads) {
        using C = CDBEduRcdStudent;
        heads.m_strItemType = QStringLiteral("学员");
        heads.m_strItemUnit = QStringLiteral("名");
        heads.m_strTable = QStringLiteral("TB_EDURCD_STUDENT");
        heads.m_bGoodStatus = 1;
        heads.SetSqlResource(433);
        const QString none, nothing = QStringLiteral("无"), times = QStringLiteral("%d 次");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, STU_OFFSET(m_nSubID), none,
                                none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("EduRcdID"), XIN,
                                STU_OFFSET(m_nParentID), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("学员"), 10, QStringLiteral("StudentID"), XLK, 0, none, none, 512, 577,
                            10, none);
        heads.AddViewColumnHead({}, QStringLiteral("课程表学员.m_nSubID"), QStringLiteral("SchSubID"), XIN,
                                STU_OFFSET(m_nSchSubID), none, none, 0, 0, 0, none);
        heads.AddComputedHead({}, QStringLiteral("计划时间"), XTS, CHeads::Getter(&C::GetPlannedSpan), none, nothing, 0,
                              1, 0, QStringLiteral("课程表的上下课时间和时长"));
        heads.AddColumnHead({}, QStringLiteral("时间"), 9, QStringLiteral("TimeSpan"), XTS, STU_OFFSET(m_timeSpan),
                            none, none, 1 | 512, 65, 0,
                            QStringLiteral("实际上下课时间和时长，未调整时与计划上下课时间相同"));
        heads.AddComputedHead({}, QStringLiteral("类型"), XIN, CHeads::Getter(&C::GetKind),
                              QStringLiteral("临时|计划|试听"), QStringLiteral("计划"), 64, 577, 0, none);
        heads.AddColumnHead({}, QStringLiteral("试听"), 9, QStringLiteral("LessonType"), XIN, STU_OFFSET(m_nLessonType),
                            QStringLiteral("正式|试听"), QStringLiteral("正式"), 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("考勤"), 8, QStringLiteral("Attence"), XIN, STU_OFFSET(m_nAttence),
                            kAttence, QStringLiteral("待定"), (3 << 3) | 64, 577, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("总课时"), QStringLiteral("rcpLessonAc"), XIN,
                                STU_OFFSET(m_rcpLessonAc), times, none, 0, 0, 0,
                                QStringLiteral("已计入后期变更的有效报名课时"));
        heads.AddViewColumnHead({}, QStringLiteral("已消课时"), QStringLiteral("rcpCountIn"), XIN,
                                STU_OFFSET(m_rcpCountIn), times, none, 0, 0, 0, QStringLiteral("累计已消课时"));
        heads.AddViewColumnHead({}, QStringLiteral("失效课时"), QStringLiteral("rcpInvalid"), XIN,
                                STU_OFFSET(m_rcpInvalid), times, none, 0, 0, 0,
                                QStringLiteral("因退费或定期/短期课程超过有效期等原因失效的课时"));
        heads.AddViewColumnHead({}, QStringLiteral("剩余课时"), QStringLiteral("rcpRemained"), XIN,
                                STU_OFFSET(m_rcpRemained), times, nothing, 0, 585, 10,
                                QStringLiteral("总课时-已消课时-当前消课(上标)±失效课时(下标)=剩余课时"));
        heads.AddViewColumnHead({}, QStringLiteral("有效期"), QStringLiteral("rcpEndMax"), XDT, STU_OFFSET(m_rcpEndMax),
                                none, QStringLiteral("无记录"), 0, 577, 0,
                                QStringLiteral("计入后期变更的最终有效期，如果已退费，则是退费日期"));
        heads.AddViewColumnHead({}, QStringLiteral("已报名"), QStringLiteral("rcpPayTimes"), XIN,
                                STU_OFFSET(m_rcpPayTimes), times, nothing, 0, 1, 0, none);
        heads.AddColumnHead({}, QStringLiteral("消课收据"), 0, QStringLiteral("ReceiptID"), XLK, STU_OFFSET(m_receipt),
                            none, nothing, 0, 577, 0, none);
        // the stored choice comes under a name of its own, so it is never written back
        heads.AddViewColumnHead({}, QStringLiteral("原消课收据"), QStringLiteral("OrgReceiptID"), XIN,
                                STU_OFFSET(m_nOrgReceiptID), none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("消课收入"), QStringLiteral("fIncome"), XNU, STU_OFFSET(m_fIncome),
                                none, nothing, 0, 0, 0,
                                QStringLiteral("按累计消课课时数和课时包中 “单价” 折算的消课金额"));
        heads.AddColumnHead({}, QStringLiteral("备注"), 9, QStringLiteral("RecordMemo"), XSW, STU_OFFSET(m_strMemo),
                            none, QStringLiteral("空"), 0, 577, 0, none);
    });
}

CXItem* CDBEduRcdStudent::CopyTo(CXItem* target) const
{
    target = CXItem::CopyTo(target);
    auto* t = dynamic_cast<CDBEduRcdStudent*>(target);
    if (t && t != this) {
        t->m_receipts.RemoveAll(t);
        for (const CXItem* r : m_receipts)
            t->m_receipts.AddAdopted(r->CopyTo(nullptr));
        t->m_bReceiptsLoaded = m_bReceiptsLoaded;
    }
    return target;
}

const CDBEduRcd* CDBEduRcdStudent::GetOwner() const
{
    const CXItem* parent = m_pArray ? m_pArray->m_pParent : nullptr;
    return parent && parent->m_nMduID == MDU_EDURCD ? static_cast<const CDBEduRcd*>(parent) : nullptr;
}

XDateTime CDBEduRcdStudent::GetClassDate() const
{
    const CDBEduRcd* owner = GetOwner();
    return owner ? owner->m_dtDate : XDateTime();
}

QString CDBEduRcdStudent::GetCourseName() const
{
    const CDBEduRcd* owner = GetOwner();
    return owner ? owner->m_course.m_strName : QString();
}

double CDBEduRcdStudent::GetShareWage() const
{
    const CDBEduRcd* owner = GetOwner();
    const CDBEduRcdTeacher* t = owner ? owner->FindTeacherLine(owner->m_nTeacher) : nullptr;
    return t && t->HasTaught() ? m_fIncome * t->m_pay.m_fPerUnit / 100 : 0;
}

bool CDBEduRcdStudent::IsAuto() const
{
    const CDBEduRcd* owner = GetOwner();
    if (m_nLessonType != 0 || !owner || !owner->IsAuto() || m_nSchSubID == 0)
        return false;
    for (const auto* line : Typed(owner->m_sch.m_students))
        if (line->m_nSubID == m_nSchSubID)
            return owner->IsLineValid(line->m_edu);
    return false;
}

int CDBEduRcdStudent::GetKind() const { return m_nLessonType == 1 ? 2 : (IsAuto() ? 1 : 0); }

CXTimeSpan CDBEduRcdStudent::GetPlannedSpan() const
{
    if (!IsAuto())
        return {};
    const CDBEduRcd* owner = GetOwner();
    if (!owner->IsOneToOne())
        return owner->m_sch.m_time;
    for (const auto* line : Typed(owner->m_sch.m_students))
        if (line->m_nSubID == m_nSchSubID)
            return line->m_time;
    return {};
}

bool CDBEduRcdStudent::IsAutoEmpty() const
{
    if (!CXItem::IsAutoEmpty() || m_nAttence != 0 || m_nLessonType != 0)
        return false;
    const CDBEduRcd* owner = GetOwner();
    return !(owner && owner->IsOneToOne() && m_timeSpan != GetPlannedSpan());
}

void CDBEduRcdStudent::AutoReset()
{
    const CDBEduRcd* owner = GetOwner();
    if (!owner || m_nSchSubID == 0)
        return;
    for (const auto* line : Typed(owner->m_sch.m_students)) {
        if (line->m_nSubID != m_nSchSubID)
            continue;
        m_nAttence = 0;
        m_nLessonType = 0;
        m_strMemo.clear();
        m_timeSpan = GetPlannedSpan();
        ClearReceipt(m_receipt);
        m_rcpPayTimes = line->m_nRcpPayTimes;
        m_rcpEndMax = line->m_dtRcpEndMax;
        m_rcpLessonAc = line->m_nRcpLessonAc;
        m_rcpCountIn = line->m_nRcpCountIn;
        m_rcpRemained = line->m_nRcpRemained;
        m_rcpInvalid = line->m_nRcpInvalid;
        return;
    }
}

void CDBEduRcdStudent::AutoSet()
{
    if (m_nAttence != 0)
        return;
    m_nAttence = 2;
    ClearReceipt(m_receipt);
    Validate(nullptr, false);
}

void CDBEduRcdStudent::ChooseReceipt()
{
    const CDBEduRcd* owner = GetOwner();
    if (m_receipts.IsEmpty() && !m_bReceiptsLoaded) {
        m_bReceiptsLoaded = 1;
        CModule* module = FindModule(MDU_RECEIPT);
        if (module && owner) {
            CXMap query;
            query.SetText(MDU_STUDENT, GetLink());
            query.SetText(MDU_COURSE, owner->m_course.GetLink());
            module->QueryItems(m_receipts, query, true, false);
        }
        if (m_nSubID == 0) {
            m_rcpPayTimes = m_receipts.GetSize();
            m_rcpEndMax = XDateTime();
            m_rcpLessonAc = m_rcpCountIn = m_rcpRemained = m_rcpInvalid = 0;
            for (const auto* r : Typed(m_receipts)) {
                if (m_rcpEndMax < r->m_dtValidEnd)
                    m_rcpEndMax = r->m_dtValidEnd;
                m_rcpLessonAc += r->m_nLessonEnd;
                m_rcpCountIn += r->m_nCountIn;
                m_rcpRemained += r->m_nRemained;
                m_rcpInvalid += r->m_nLsnInvalid;
            }
        }
        if (m_receipts.IsEmpty())
            ClearReceipt(m_receipt);
        for (auto* r : Typed(m_receipts))
            r->m_bOrgSelected = r->m_bSelected = (r->m_nID == m_receipt.m_nID) ? 1 : 0;
    }
    if (!m_receipts.IsEmpty() && m_receipt.m_nID == 0 && Consumes()) {
        const int pick = PickReceipt(m_receipts, owner ? owner->m_dtDate : XDateTime::Today());
        for (int i = 0; i < m_receipts.GetSize(); ++i)
            m_receipts[i]->m_bSelected = i == pick ? 1 : 0;
        const CDBReceipt* chosen = m_receipts[pick];
        m_receipt.m_nMduID = MDU_RECEIPT;
        m_receipt.m_nID = chosen->m_nID;
        m_receipt.m_strName = chosen->m_strName;
        m_receipt.m_dtDate = chosen->m_dtDate;
    }
}

int CDBEduRcdStudent::GetRemained() const
{
    int stored = 0, current = 0;
    const CDBEduRcd* owner = GetOwner();
    if (owner) {
        for (const auto* s : Typed(owner->m_students)) {
            if (s->m_nID != m_nID)
                continue;
            stored += s->m_nOrgReceiptID != 0 ? 1 : 0;
            current += s->m_receipt.m_nID != 0 ? 1 : 0;
        }
    } else {
        stored = m_nOrgReceiptID != 0 ? 1 : 0;
        current = m_receipt.m_nID != 0 ? 1 : 0;
    }
    return m_rcpRemained + stored - current;
}

QString CDBEduRcdStudent::GetRemainedText() const
{
    if (m_rcpLessonAc == 0)
        return QString::number(m_rcpRemained);
    int stored = 0, current = 0;
    if (const CDBEduRcd* owner = GetOwner()) {
        for (const auto* s : Typed(owner->m_students)) {
            if (s->m_nID != m_nID)
                continue;
            stored += s->m_nOrgReceiptID != 0 ? 1 : 0;
            current += s->m_receipt.m_nID != 0 ? 1 : 0;
        }
    }
    const bool consumes = m_receipt.m_nID != 0;
    QString marks;
    if (m_rcpInvalid != 0)
        marks += AsciiToSupSub(FormatString(u"%+1.0f", static_cast<double>(-m_rcpInvalid)), false);
    if (consumes)
        marks += AsciiToSupSub(QStringLiteral("-1"), true);
    else if (m_nOrgReceiptID != 0)
        marks += AsciiToSupSub(QStringLiteral("-0"), true);
    return FormatString(u"%d-%d%s=%d", m_rcpLessonAc, m_rcpCountIn + current - stored - (consumes ? 1 : 0), marks,
                        GetRemained());
}

QString CDBEduRcdStudent::FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const
{
    if (head && !head->m_pfnGet && head->m_nOffset == STU_OFFSET(m_rcpRemained) && bDisplay)
        return m_rcpLessonAc == 0 && m_rcpRemained == 0 ? QString() : GetRemainedText();
    return CXItem::FormatText(head, bUnit, bPrefix, bDisplay);
}

int CDBEduRcdStudent::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    const CDBEduRcd* owner = GetOwner();
    if (bCheckDuplicates && m_nSubID == 0)
        ChooseReceipt();
    // a cancelled class comes first, so that the receipt choice below sees the attendance
    // that remains
    if (owner && owner->IsCancelled() && (m_nAttence == 2 || m_nAttence == 3))
        m_nAttence = 0;
    if (!Consumes()) {
        ClearReceipt(m_receipt);
    } else {
        if (m_receipt.m_nID == 0)
            ChooseReceipt();
        if (bCheckDuplicates) {
            // only a selected receipt replaces the consumed one
            for (const auto* r : Typed(m_receipts)) {
                if (!r->m_bSelected)
                    continue;
                m_receipt.m_nMduID = MDU_RECEIPT;
                m_receipt.m_nID = r->m_nID;
                m_receipt.m_strName = r->m_strName;
                break;
            }
        }
    }
    if (owner && owner->IsOneToOne() && (m_timeSpan.Value() / 10000 == 0 || m_timeSpan.Value() % 10000 == 0))
        AddStatus(ST_STOP, &m_timeSpan, "未设置上课时间！");
    if (owner && !IsAuto()) {
        for (const auto* s : Typed(owner->m_students)) {
            if (s != this && s->m_nID == m_nID && m_timeSpan.Overlaps(s->m_timeSpan)) {
                AddStatus(ST_STOP, &m_timeSpan, "有多个%s且时间重叠！", m_strName);
                break;
            }
        }
    }
    if (Consumes()) {
        if (m_receipt.m_nID) {
            const int remained = GetRemained();
            const XDateTime today = XDateTime::Today();
            if (remained == 0)
                AddStatus(ST_GRAY, nullptr, "%s已结课。", m_strName);
            else if (remained < 0)
                AddStatus(ST_STOP, nullptr, "%s超课 %d 次。", m_strName, -remained);
            else if (remained < GetWarnRemained())
                AddStatus(ST_WARN, &m_receipts, "%s报名课时 %d 次，余 %d 次。", m_strName, m_rcpLessonAc, remained);
            else if (m_rcpEndMax.Day() != 0 && m_rcpEndMax.DateOnly() < today)
                AddStatus(ST_WARN, &m_receipts, "%s报名有效期至 %s，超 %d 天。", m_strName,
                          m_rcpEndMax.Format(QStringLiteral("%Y年%#m月%#d日")),
                          static_cast<int>(today.Day() - m_rcpEndMax.DateOnly().Day()));
        } else {
            AddStatus(ST_STOP, &m_receipts, "请选择一%s%s！", CDBReceipt::StaticHeads()->m_strItemUnit,
                      CDBReceipt::StaticHeads()->m_strItemType);
        }
    }
    AddAttenceStatus(*this, m_nAttence, owner);
    if (owner && owner->IsOneToOne() && IsAuto() && m_timeSpan != GetPlannedSpan() &&
        XDateTime::Now() < owner->m_dtDate) {
        AddStatus(m_status.isEmpty() ? ST_WARN : ST_NONE, &m_timeSpan, "%s的上课时间从 %s 调整至 %s。", m_strName,
                  GetPlannedSpan().Format(), m_timeSpan.Format());
    }
    return CXItem::Validate(user, bCheckDuplicates);
}

int CDBEduRcdStudent::GetDefault(const CHead* head) const
{
    if (head->m_pfnGet || head->m_nOffset != STU_OFFSET(m_timeSpan))
        return CXItem::GetDefault(head);
    const CDBEduRcd* owner = GetOwner();
    const bool oneToOne = owner ? owner->IsOneToOne() : GetLtdClassForm() % 2 == 1;
    if (!oneToOne)
        return CXItem::GetDefault(head);
    const XDateTime day = owner ? owner->m_dtDate : XDateTime::Today();
    int candidate = day.DayOfWeek() >= 5 ? 9 * 60 : 17 * 60;
    const int duration = GetDefaultDuration(1);
    if (owner) {
        for (const auto* s : Typed(owner->m_students)) {
            if (s == this || s->m_timeSpan == 0)
                continue;
            if (BeginMinutes(s->m_timeSpan) - candidate < duration)
                candidate = std::max(candidate, EndMinutes(s->m_timeSpan));
        }
    }
    return MakeSpan(candidate, candidate + duration).Value();
}

int CDBEduRcdStudent::GetAccess(const CHead* head, const CXItem* user) const
{
    const int access = CXItem::GetAccess(head, user);
    if (head->m_pfnGet)
        return access;
    const int off = head->m_nOffset;
    const CDBEduRcd* owner = GetOwner();
    if (off == 0 && head->m_nType == XLK && m_nSubID > 0)
        return std::min(access, 0);
    if (off == STU_OFFSET(m_timeSpan) && owner && !owner->IsOneToOne())
        return std::min(access, 0);
    if (off == STU_OFFSET(m_nLessonType) && m_nSubID > 0 && m_rcpPayTimes == 0)
        return -1;
    if (off == STU_OFFSET(m_receipts) && !Consumes())
        return std::min(access, 0);
    return access;
}

QString CDBEduRcdStudent::GetFormat(const CHead* head) const
{
    const CDBEduRcd* owner = GetOwner();
    if (!head->m_pfnGet && head->m_nOffset == STU_OFFSET(m_nAttence) && owner && owner->IsCancelled())
        return kCancelledAttence;
    return CXItem::GetFormat(head);
}

QString CDBEduRcdStudent::GetEmptyText(const CHead* head) const
{
    if (!head->m_pfnGet && head->m_nOffset == STU_OFFSET(m_timeSpan)) {
        const CDBEduRcd* owner = GetOwner();
        if (owner && !owner->IsAuto())
            return QString();
        if (owner && owner->IsOneToOne() && IsAuto())
            return GetPlannedSpan().Format() + QStringLiteral(" (同课程表)");
    }
    return CXItem::GetEmptyText(head);
}

QColor CDBEduRcdStudent::GetTextColor(const CHead* head) const
{
    const CDBEduRcd* owner = GetOwner();
    if (!head->m_pfnGet && head->m_nOffset == STU_OFFSET(m_timeSpan) && owner && owner->IsOneToOne() && IsAuto() &&
        m_timeSpan != GetPlannedSpan())
        return kRed;
    return CXItem::GetTextColor(head);
}

CXMap CDBEduRcdStudent::GetRelateQuery(const CHead* head, const CXMap* base) const
{
    return CXItem::GetRelateQuery(head, base);
}

// ---------------------------------------------------------------------------------------
// Teacher lines

CHeads* CDBEduRcdTeacher::StaticHeads()
{
    return BuildHeadsOnce<CDBEduRcdTeacher>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("教师");
        heads.m_strItemUnit = QStringLiteral("名");
        heads.m_strTable = QStringLiteral("TB_EDURCD_TEACHER");
        heads.m_bGoodStatus = 1;
        const QString none;
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, TCH_OFFSET(m_nSubID), none,
                                none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("EduRcdID"), XIN,
                                TCH_OFFSET(m_nParentID), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("教师"), 10, QStringLiteral("TeacherID"), XLK, 0, none, none, 512, 577,
                            0, none);
        heads.AddComputedHead({}, QStringLiteral("类型"), XIN, CHeads::Getter(&CDBEduRcdTeacher::GetKind),
                              QStringLiteral("临时|计划|试听"), QStringLiteral("计划"), 64, 577, 0, none);
        heads.AddColumnHead({}, QStringLiteral("试听"), 9, QStringLiteral("LessonType"), XIN, TCH_OFFSET(m_nLessonType),
                            QStringLiteral("正式|试听"), QStringLiteral("正式"), 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("考勤"), 8, QStringLiteral("Attence"), XIN, TCH_OFFSET(m_nAttence),
                            kAttence, QStringLiteral("待定"), 64, 577, 0, none);
        heads.AddMemberHead({}, QStringLiteral("工资标准"), XLK, TCH_OFFSET(m_pay), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("备注"), 8, QStringLiteral("RecordMemo"), XSW, TCH_OFFSET(m_strMemo),
                            none, QStringLiteral("空"), 0, 577, 0, none);
    });
}

const CDBEduRcd* CDBEduRcdTeacher::GetOwner() const
{
    const CXItem* parent = m_pArray ? m_pArray->m_pParent : nullptr;
    return parent && parent->m_nMduID == MDU_EDURCD ? static_cast<const CDBEduRcd*>(parent) : nullptr;
}

bool CDBEduRcdTeacher::IsAuto() const
{
    const CDBEduRcd* owner = GetOwner();
    if (m_nLessonType != 0 || !owner || !owner->IsAuto())
        return false;
    for (const auto* line : Typed(owner->m_sch.m_teachers))
        if (line->m_nID == m_nID && owner->IsLineValid(line->m_edu))
            return true;
    return false;
}

int CDBEduRcdTeacher::GetKind() const { return m_nLessonType == 1 ? 2 : (IsAuto() ? 1 : 0); }

bool CDBEduRcdTeacher::IsAutoEmpty() const { return CXItem::IsAutoEmpty() && m_nAttence == 0; }

void CDBEduRcdTeacher::AutoReset()
{
    if (!IsAuto())
        return;
    m_nAttence = 0;
    m_nLessonType = 0;
    m_strMemo.clear();
}

void CDBEduRcdTeacher::AutoSet()
{
    if (m_nAttence != 0)
        return;
    m_nAttence = 2;
    Validate(nullptr, false);
}

int CDBEduRcdTeacher::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    const CDBEduRcd* owner = GetOwner();
    if (owner && owner->IsCancelled() && (m_nAttence == 2 || m_nAttence == 3))
        m_nAttence = 0;
    AddAttenceStatus(*this, m_nAttence, owner);
    return CXItem::Validate(user, bCheckDuplicates);
}

int CDBEduRcdTeacher::GetAccess(const CHead* head, const CXItem* user) const
{
    const int access = CXItem::GetAccess(head, user);
    if (!head->m_pfnGet && head->m_nOffset == 0 && head->m_nType == XLK && m_nSubID > 0)
        return std::min(access, 0);
    return access;
}

QString CDBEduRcdTeacher::GetFormat(const CHead* head) const
{
    const CDBEduRcd* owner = GetOwner();
    if (!head->m_pfnGet && head->m_nOffset == TCH_OFFSET(m_nAttence) && owner && owner->IsCancelled())
        return kCancelledAttence;
    return CXItem::GetFormat(head);
}

CXMap CDBEduRcdTeacher::GetRelateQuery(const CHead* head, const CXMap* base) const
{
    CXMap result = CXItem::GetRelateQuery(head, base);
    if (!head) {
        const CDBEduRcd* owner = GetOwner();
        const XDateTime day = owner ? owner->m_dtDate.DateOnly() : XDateTime::Today();
        result.SetDate(1126, day.AddDays(1));
    }
    return result;
}
