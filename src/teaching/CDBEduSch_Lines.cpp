// The teacher and student lines of a timetable: field tables and rules.
#include "CDBEduSch.h"
#include "CDBEduSch_Heads.h"

#include "CModule.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "Resources.h"
#include "TextUtils.h"

#include <algorithm>
#include <climits>

#define STU_OFFSET(member) XOFFSET(CDBEduSchStudent, member)
#define TCH_OFFSET(member) XOFFSET(CDBEduSchTeacher, member)

namespace {

using namespace EduSchHeads;

const CDBEduSch* OwnerOf(const CXItem& line)
{
    const CXItem* parent = line.m_pArray ? line.m_pArray->m_pParent : nullptr;
    return parent && parent->m_nMduID == MDU_EDUSCH ? static_cast<const CDBEduSch*>(parent) : nullptr;
}

// Effective period of a line: EduBgn 0 = DateBgn; the end is the earlier of the set ends.
int EffectiveBegin(const CXDateRange& edu, const CDBEduSch* sch)
{
    const int bgn = EduSch::DayOf(edu.m_begin);
    const int dateBgn = sch ? EduSch::DayOf(sch->m_date.m_begin) : 0;
    return bgn == 0 ? dateBgn : std::max(bgn, dateBgn);
}

int EffectiveEnd(const CXDateRange& edu, const CDBEduSch* sch)
{
    const int end = EduSch::DayOf(edu.m_end);
    const int dateEnd = sch ? EduSch::DayOf(sch->m_date.m_end) : 0;
    if (end == 0 || dateEnd == 0)
        return std::max(end, dateEnd);
    return std::min(end, dateEnd);
}

int LineStatus(const CXDateRange& edu, const CDBEduSch* sch)
{
    if (sch && sch->IsEnded())
        return 0;
    const int end = EduSch::DayOf(edu.m_end);
    return end == 0 || end > EduSch::Today() ? 1 : 0;
}

// Line date defaults: EduBgn the timetable's first day, EduEnd its last (teacher lines
// begin at the next lesson day from today once the timetable runs for a week).
bool IsLineDate(const CHead* head, int beginOffset, int endOffset)
{
    return head && !head->m_pfnGet && head->m_nType == XDT &&
           (head->m_nOffset == beginOffset || head->m_nOffset == endOffset);
}

// Ranges of the line dates: class records already taken stay inside the line.
void LineRange(const CHead* head, int beginOffset, const CDBEduSch* sch, const CXDateRange& rcd, int& min, int& max)
{
    const int dateBgn = sch ? EduSch::DayOf(sch->m_date.m_begin) : 0;
    const int dateEnd = sch ? EduSch::DayOf(sch->m_date.m_end) : 0;
    const int rcdMin = EduSch::DayOf(rcd.m_begin), rcdMax = EduSch::DayOf(rcd.m_end);
    if (head->m_nOffset == beginOffset) {
        min = dateBgn;
        max = rcdMin != 0 ? rcdMin : (dateEnd != 0 ? dateEnd : INT_MAX);
    } else {
        min = rcdMax != 0 ? rcdMax : dateBgn;
        max = dateEnd != 0 ? dateEnd : INT_MAX;
    }
}

QString LineDeleteWarning(const CXItem& line, int rcdTimes)
{
    if (rcdTimes < 1)
        return QString();
    return FormatString(u"%s已有对应的%s，删除后原有记录不会丢失，但考勤类型将变为 “临时”。", line.m_strName,
                        LoadCommandText(MDU_EDURCD));
}

} // namespace

// ---------------------------------------------------------------------------------------
// Student lines

CHeads* CDBEduSchStudent::StaticHeads()
{
    return BuildHeadsOnce<CDBEduSchStudent>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("学员");
        heads.m_strItemUnit = QStringLiteral("名");
        heads.m_strTable = QStringLiteral("TB_EDUSCH_STUDENT");
        heads.m_bGoodStatus = 1;
        heads.SetSqlResource(435);
        const QString none, nothing = QStringLiteral("无"), empty = QStringLiteral("空"),
                            noRecord = QStringLiteral("无记录"), times = QStringLiteral("%d 次"),
                            asSch = QStringLiteral("同课程表");
        const XGroup rcd(ID_REL_EDURCD);
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, STU_OFFSET(m_nSubID), none,
                                none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("EduSchID"), XIN,
                                STU_OFFSET(m_nParentID), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("学员"), kWeb2 | kEdit, QStringLiteral("StudentID"), XLK, 0, none, none,
                            kTitle, kColD | kColS | kColB, 0, none);
        heads.AddColumnHead({}, QStringLiteral("开始日期"), kWeb1 | kEdit, QStringLiteral("EduBgn"), XDT,
                            STU_OFFSET(m_edu.m_begin), none, asSch, 0, kColD | kColS | kColB, 0, none);
        heads.AddComputedHead({}, QStringLiteral("开课日期"), XSW, CHeads::Getter(&CDBEduSchStudent::GetBeginText),
                              none, none, 0, kColD, 0, none);
        // the weekday of the first lesson: EduBgn 0 is the timetable's first day
        heads.AddComputedHead({}, QStringLiteral("星期"), XDT, CHeads::Getter(&CDBEduSchStudent::GetEffectiveBegin),
                              QStringLiteral("%A"), none, 0, 0, 0, QStringLiteral("每个星期的星期几上课"));
        heads.AddColumnHead({}, QStringLiteral("结束日期"), kWeb1 | kEdit, QStringLiteral("EduEnd"), XDT,
                            STU_OFFSET(m_edu.m_end), none, asSch, 0, kColD | kColS | kColB, 0, none);
        heads.AddComputedHead({}, QStringLiteral("相对日期"), XSW, CHeads::Getter(&CDBEduSchStudent::GetRelativeDay),
                              none, none, 0, kColD, 0, none);
        heads.AddColumnHead({}, QStringLiteral("时间"), kWeb1 | kEdit, QStringLiteral("TimeSpan"), XTS,
                            STU_OFFSET(m_time), none, none, 1 | kTitle, kColV | kColD | kColS, 0,
                            QStringLiteral("上下课时间和时长"));
        heads.AddComputedHead({}, QStringLiteral("状态"), XIN, CHeads::Getter(&CDBEduSchStudent::GetStatus),
                              QStringLiteral("结课|排课"), QStringLiteral("结课"), 2 | (3 << 3) | kMark,
                              kColD | kColS | kColB, 0, none);
        heads.AddComputedHead({}, QStringLiteral("已排课"), XIN, CHeads::Getter(&CDBEduSchStudent::GetScheduled), times,
                              nothing, 0, kColD, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("已考勤"), QStringLiteral("rcdTimes"), XIN, STU_OFFSET(m_nRcdTimes),
                                times, nothing, 0, kColD, 0,
                                QStringLiteral("有考勤记录的课堂记录次数，可能包括今天之后的课堂记录"));
        heads.AddViewColumnHead({}, QStringLiteral("已消课"), QStringLiteral("rcdCountIn"), XIN,
                                STU_OFFSET(m_nRcdCountIn), times, nothing, 0, kColD, 0,
                                QStringLiteral("有考勤记录且实际授课的课堂记录次数，可能包括今天之后的课堂记录，如果小"
                                               "于已考勤数，表示有对应课堂记录未授课"));
        heads.AddViewColumnHead(rcd, QStringLiteral("首次考勤"), QStringLiteral("rcdMin"), XDT,
                                STU_OFFSET(m_rcd.m_begin), none, noRecord, 0, kColD, 0, none);
        heads.AddViewColumnHead(rcd, QStringLiteral("最近考勤"), QStringLiteral("rcdMax"), XDT, STU_OFFSET(m_rcd.m_end),
                                none, noRecord, 0, kColD, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("已报名"), QStringLiteral("rcpPayTimes"), XIN,
                                STU_OFFSET(m_nRcpPayTimes), times, nothing, 0, kColD, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("总课时"), QStringLiteral("rcpLessonAc"), XIN,
                                STU_OFFSET(m_nRcpLessonAc), times, none, 0, 0, 0,
                                QStringLiteral("已计入后期变更的有效报名课时"));
        heads.AddViewColumnHead({}, QStringLiteral("已消课时"), QStringLiteral("rcpCountIn"), XIN,
                                STU_OFFSET(m_nRcpCountIn), times, none, 0, 0, 0, QStringLiteral("累计已消课时"));
        heads.AddViewColumnHead({}, QStringLiteral("失效课时"), QStringLiteral("rcpInvalid"), XIN,
                                STU_OFFSET(m_nRcpInvalid), times, none, 0, 0, 0,
                                QStringLiteral("因退费或定期/短期课程超过有效期等原因失效的课时"));
        heads.AddViewColumnHead({}, QStringLiteral("剩余课时"), QStringLiteral("rcpRemained"), XIN,
                                STU_OFFSET(m_nRcpRemained), times, nothing, 0, kColV | kColD | kColS | kColB, 10,
                                QStringLiteral("总课时-已消课时-当前消课(上标)±失效课时(下标)=剩余课时"));
        heads.AddViewColumnHead({}, QStringLiteral("有效期"), QStringLiteral("rcpEndMax"), XDT,
                                STU_OFFSET(m_dtRcpEndMax), none, nothing, 0, kColD, 0,
                                QStringLiteral("计入后期变更的最终有效期，如果已退费，则是退费日期"));
        heads.AddColumnHead({}, QStringLiteral("全部收据"), 0, QString(), XAR, STU_OFFSET(m_receipts), none, none, 0, 0,
                            0, none);
        heads.AddColumnHead({}, QStringLiteral("备注"), kWeb1 | kEdit, QStringLiteral("RecordMemo"), XSW,
                            STU_OFFSET(m_strMemo), none, empty, 0, kColD | kColS | kColB, 0, none);
    });
}

const CDBEduSch* CDBEduSchStudent::GetEduSch() const { return OwnerOf(*this); }

int CDBEduSchStudent::GetStatus() const { return LineStatus(m_edu, GetEduSch()); }

XDateTime CDBEduSchStudent::GetEffectiveBegin() const
{
    return XDateTime(static_cast<double>(EffectiveBegin(m_edu, GetEduSch())));
}

XDateTime CDBEduSchStudent::GetEffectiveEnd() const
{
    return XDateTime(static_cast<double>(EffectiveEnd(m_edu, GetEduSch())));
}

int CDBEduSchStudent::GetScheduled() const
{
    const CDBEduSch* sch = GetEduSch();
    return EduSch::WeeksDue(EffectiveBegin(m_edu, sch), EffectiveEnd(m_edu, sch));
}

QString CDBEduSchStudent::GetBeginText() const
{
    const int bgn = EffectiveBegin(m_edu, GetEduSch());
    return bgn == 0 ? QString() : XDateTime(static_cast<double>(bgn)).Format(kLongDate);
}

QString CDBEduSchStudent::GetRelativeDay() const
{
    const int bgn = EffectiveBegin(m_edu, GetEduSch());
    if (bgn == 0)
        return QString();
    switch (bgn - EduSch::Today()) {
    case -2:
        return QStringLiteral("（前天）");
    case -1:
        return QStringLiteral("（昨天）");
    case 0:
        return QStringLiteral("（今天）");
    case 1:
        return QStringLiteral("（明天）");
    case 2:
        return QStringLiteral("（后天）");
    default:
        return QString();
    }
}

QString CDBEduSchStudent::FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const
{
    if (!head || head->m_pfnGet || head->m_nOffset != STU_OFFSET(m_nRcpRemained))
        return CXItem::FormatText(head, bUnit, bPrefix, bDisplay);
    if (m_nRcpLessonAc == 0 && m_nRcpCountIn == 0 && m_nRcpInvalid == 0 && m_nRcpRemained == 0)
        return bDisplay ? GetEmptyText(head) : QString();
    // total - consumed [lost lessons as a signed subscript] = remaining
    const QString invalid = m_nRcpInvalid != 0
                                ? AsciiToSupSub(FormatString(u"%+1.0f", -static_cast<double>(m_nRcpInvalid)), false)
                                : QString();
    return FormatString(u"%d-%d%s=%d", m_nRcpLessonAc, m_nRcpCountIn, invalid, m_nRcpRemained);
}

QString CDBEduSchStudent::GetDeleteWarning() const
{
    const QString warning = LineDeleteWarning(*this, m_nRcdTimes);
    return warning.isEmpty() ? CXItem::GetDeleteWarning() : warning;
}

int CDBEduSchStudent::GetDefault(const CHead* head) const
{
    const CDBEduSch* sch = GetEduSch();
    if (sch && IsLineDate(head, STU_OFFSET(m_edu.m_begin), STU_OFFSET(m_edu.m_end)))
        return EduSch::DayOf(head->m_nOffset == STU_OFFSET(m_edu.m_begin) ? sch->m_date.m_begin : sch->m_date.m_end);
    if (sch && head && !head->m_pfnGet && head->m_nOffset == STU_OFFSET(m_time) && head->m_nType == XTS) {
        if (sch->m_nClassForm != CLASS_ONE_TO_ONE)
            return sch->m_time;
        // after the lessons already placed: the first gap long enough for one lesson
        const int duration = EduSch::SetupInt("DefaultDur1", 45);
        int candidate = (sch->m_date.m_begin.DayOfWeek() < 5 ? 17 : 9) * 60;
        for (const CDBEduSchStudent* line : EduSch::Lines(sch->m_students)) {
            if (line == this || line->m_time.Value() == 0)
                continue;
            const int v = line->m_time.Value();
            const int lineBgn = (v / 1000000) * 60 + (v / 10000) % 100;
            const int lineEnd = ((v / 100) % 100) * 60 + v % 100;
            if (lineBgn - candidate < duration)
                candidate = std::max(candidate, lineEnd);
        }
        CXTimeSpan span;
        span.SetBeginDuration(XDateTime(1899, 12, 30, candidate / 60 % 24, candidate % 60, 0), duration);
        return span;
    }
    return CXItem::GetDefault(head);
}

int CDBEduSchStudent::GetAccess(const CHead* head, const CXItem* user) const
{
    const int access = CXItem::GetAccess(head, user);
    if (head->m_pfnGet)
        return access;
    if (head->m_nType == XLK && head->m_nOffset == 0 && m_nSubID != 0)
        return std::min(access, 0);
    if (head->m_nType == XTS && head->m_nOffset == STU_OFFSET(m_time)) {
        const CDBEduSch* sch = GetEduSch();
        if ((sch && sch->m_nClassForm != CLASS_ONE_TO_ONE) || !GetStatus())
            return std::min(access, 0);
    }
    return access;
}

void CDBEduSchStudent::GetRange(const CHead* head, int& min, int& max) const
{
    CXItem::GetRange(head, min, max);
    if (IsLineDate(head, STU_OFFSET(m_edu.m_begin), STU_OFFSET(m_edu.m_end)))
        LineRange(head, STU_OFFSET(m_edu.m_begin), GetEduSch(), m_rcd, min, max);
}

bool CDBEduSchStudent::LoadReceipts()
{
    if (!m_receipts.IsEmpty())
        return true;
    CModule* module = FindModule(MDU_RECEIPT);
    const CDBEduSch* sch = GetEduSch();
    if (!module || !sch || m_nID == 0)
        return false;
    CXMap query;
    CXBase student;
    student.m_nMduID = MDU_STUDENT;
    student.m_nID = m_nID;
    student.m_strName = m_strName;
    query.SetPlainText(MDU_STUDENT, student.GetLink());
    query.SetPlainText(MDU_COURSE, sch->m_course.GetLink());
    if (!module->QueryItems(m_receipts, query, false, false))
        return false;
    if (m_nSubID == 0) {
        m_nRcpPayTimes = m_receipts.GetSize();
        double endMax = 0;
        m_nRcpLessonAc = m_nRcpCountIn = m_nRcpRemained = m_nRcpInvalid = 0;
        for (const CDBReceipt* r : EduSch::Lines(m_receipts)) {
            endMax = std::max(endMax, r->m_dtValidEnd.Day());
            m_nRcpLessonAc += r->m_nLessonEnd;
            m_nRcpCountIn += r->m_nCountIn;
            m_nRcpRemained += r->m_nRemained;
            m_nRcpInvalid += r->m_nLsnInvalid;
        }
        m_dtRcpEndMax = XDateTime(endMax);
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// Teacher lines

CHeads* CDBEduSchTeacher::StaticHeads()
{
    return BuildHeadsOnce<CDBEduSchTeacher>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("教师");
        heads.m_strItemUnit = QStringLiteral("名");
        heads.m_strTable = QStringLiteral("TB_EDUSCH_TEACHER");
        heads.m_bGoodStatus = 1;
        heads.SetSqlResource(436);
        const QString none, nothing = QStringLiteral("无"), empty = QStringLiteral("空"),
                            noRecord = QStringLiteral("无记录"), times = QStringLiteral("%d 次"),
                            asSch = QStringLiteral("同课程表");
        const XGroup rcd(ID_REL_EDURCD);
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, TCH_OFFSET(m_nSubID), none,
                                none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("EduSchID"), XIN,
                                TCH_OFFSET(m_nParentID), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("教师"), kWeb2 | kEdit, QStringLiteral("TeacherID"), XLK, 0, none, none,
                            kTitle, kColD | kColS | kColB, 0, none);
        heads.AddColumnHead({}, QStringLiteral("开始日期"), kEdit, QStringLiteral("EduBgn"), XDT,
                            TCH_OFFSET(m_edu.m_begin), none, asSch, 0, kColD | kColS | kColB, 0,
                            QStringLiteral("开始排课日期"));
        heads.AddColumnHead({}, QStringLiteral("结束日期"), kEdit, QStringLiteral("EduEnd"), XDT,
                            TCH_OFFSET(m_edu.m_end), none, asSch, 0, kColD | kColS | kColB, 0,
                            QStringLiteral("结束排课日期"));
        heads.AddComputedHead({}, QStringLiteral("状态"), XIN, CHeads::Getter(&CDBEduSchTeacher::GetStatus),
                              QStringLiteral("结课|排课"), none, kMark, kColD | kColS | kColB, 0, none);
        heads.AddComputedHead({}, QStringLiteral("已排课"), XIN, CHeads::Getter(&CDBEduSchTeacher::GetScheduled), times,
                              nothing, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("已考勤"), QStringLiteral("rcdTimes"), XIN, TCH_OFFSET(m_nRcdTimes),
                                times, nothing, 0, 0, 0,
                                QStringLiteral("有考勤记录的课堂记录次数，可能包括今天之后的课堂记录"));
        heads.AddViewColumnHead({}, QStringLiteral("已授课"), QStringLiteral("rcdCountIn"), XIN,
                                TCH_OFFSET(m_nRcdCountIn), times, nothing, 0, 0, 0,
                                QStringLiteral("有考勤记录且实际授课的课堂记录次数，可能包括今天之后的课堂记录，如果小"
                                               "于已考勤数，表示有对应课堂记录未授课"));
        heads.AddViewColumnHead(rcd, QStringLiteral("首次考勤"), QStringLiteral("rcdMin"), XDT,
                                TCH_OFFSET(m_rcd.m_begin), none, noRecord, 0, kColD, 0, none);
        heads.AddViewColumnHead(rcd, QStringLiteral("最近考勤"), QStringLiteral("rcdMax"), XDT, TCH_OFFSET(m_rcd.m_end),
                                none, noRecord, 0, kColD, 0, none);
        heads.AddColumnHead({}, QStringLiteral("备注"), kEdit, QStringLiteral("RecordMemo"), XSW, TCH_OFFSET(m_strMemo),
                            none, empty, 0, kColD | kColS | kColB, 0, none);
    });
}

const CDBEduSch* CDBEduSchTeacher::GetEduSch() const { return OwnerOf(*this); }

int CDBEduSchTeacher::GetStatus() const { return LineStatus(m_edu, GetEduSch()); }

int CDBEduSchTeacher::GetScheduled() const
{
    const CDBEduSch* sch = GetEduSch();
    return EduSch::WeeksDue(EffectiveBegin(m_edu, sch), EffectiveEnd(m_edu, sch));
}

QString CDBEduSchTeacher::GetDeleteWarning() const
{
    const QString warning = LineDeleteWarning(*this, m_nRcdTimes);
    return warning.isEmpty() ? CXItem::GetDeleteWarning() : warning;
}

int CDBEduSchTeacher::GetDefault(const CHead* head) const
{
    const CDBEduSch* sch = GetEduSch();
    if (sch && head && !head->m_pfnGet && head->m_nType == XDT && head->m_nOffset == TCH_OFFSET(m_edu.m_begin)) {
        // a teacher joining a timetable that has run for a week joins from the next lesson
        const int dateBgn = EduSch::DayOf(sch->m_date.m_begin);
        if (dateBgn > EduSch::Today() - 7)
            return 0;
        return EduSch::DayOf(AlignToWeekday(XDateTime::Today(), sch->m_date.m_begin, false));
    }
    if (sch && head && !head->m_pfnGet && head->m_nType == XDT && head->m_nOffset == TCH_OFFSET(m_edu.m_end))
        return EduSch::DayOf(sch->m_date.m_end);
    return CXItem::GetDefault(head);
}

int CDBEduSchTeacher::GetAccess(const CHead* head, const CXItem* user) const
{
    const int access = CXItem::GetAccess(head, user);
    if (!head->m_pfnGet && head->m_nType == XLK && head->m_nOffset == 0 && m_nSubID != 0)
        return std::min(access, 0);
    return access;
}

void CDBEduSchTeacher::GetRange(const CHead* head, int& min, int& max) const
{
    CXItem::GetRange(head, min, max);
    if (IsLineDate(head, TCH_OFFSET(m_edu.m_begin), TCH_OFFSET(m_edu.m_end)))
        LineRange(head, TCH_OFFSET(m_edu.m_begin), GetEduSch(), m_rcd, min, max);
}
