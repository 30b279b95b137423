#include "CDBEduSch.h"
#include "CDBEduSch_Heads.h"

#include "CModule.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "Resources.h"
#include "TextUtils.h"
#include "XAppServices.h"

#include <QtCore/QVariant>

#include <algorithm>
#include <climits>
#include <cmath>
#include <mutex>

#define SCH_OFFSET(member) XOFFSET(CDBEduSch, member)

namespace {

using namespace EduSchHeads;

// Begin and end of a time span in minutes of the day.
int SpanBeginPart(int v) { return v / 10000; }
int SpanEndPart(int v) { return v % 10000; }

} // namespace

// ---------------------------------------------------------------------------------------
// Shared day arithmetic

int EduSch::DayOf(const XDateTime& date) { return static_cast<int>(std::floor(date.Day())); }

int EduSch::Today() { return DayOf(XDateTime::Today()); }

int EduSch::WeeksDue(int begin, int end)
{
    if (begin == 0)
        return 0;
    const int last = end != 0 ? std::min(end, EduSch::Today()) : EduSch::Today();
    const int diff = last - begin;
    // floor division: a begin after the last day gives no lesson
    const int weeks = (diff >= 0 ? diff / 7 : -((-diff + 6) / 7)) + 1;
    return std::max(weeks, 0);
}

bool EduSch::PeriodTouches(int aBgn, int aEnd, int bBgn, int bEnd)
{
    const long long lo = bBgn != 0 ? bBgn : LLONG_MIN;
    const long long hi = bEnd != 0 ? bEnd : LLONG_MAX;
    const long long a1 = aBgn != 0 ? aBgn : LLONG_MIN;
    const long long a2 = aEnd != 0 ? aEnd : LLONG_MAX;
    return (a1 >= lo && a1 <= hi) || (a2 >= lo && a2 <= hi);
}

int EduSch::SetupInt(const char* key, int fallback)
{
    XAppServices& app = AppServices();
    std::lock_guard lock(app.Mutex());
    const QVariant v = app.SetupValue(QString::fromUtf8(key));
    bool ok = false;
    const int n = v.toInt(&ok);
    return v.isValid() && ok ? n : fallback;
}

// ---------------------------------------------------------------------------------------
// The field table

CHeads* CDBEduSch::StaticHeads()
{
    return BuildHeadsOnce<CDBEduSch>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("课程表");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_strTable = QStringLiteral("TB_EDUSCH");
        heads.m_bGoodStatus = 1;
        heads.SetSqlResource(434);
        const QString none, nothing = QStringLiteral("无"), empty = QStringLiteral("空"),
                            noRecord = QStringLiteral("无记录"), times = QStringLiteral("%d 次"),
                            states = QStringLiteral("结课|排课");
        const XGroup rcd(ID_REL_EDURCD), student(u"学员"), log(ID_REL_EDITLOG);
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, SCH_OFFSET(m_nID), none,
                                none, 0, 0, 0, none);
        heads.AddMemberHead({}, QStringLiteral("日期"), XDR, SCH_OFFSET(m_date), none, none, kTitle, kColS | kColB, 0,
                            QStringLiteral("开始上课日期～结束上课日期"));
        heads.AddHead({}, QStringLiteral("开始日期"), kWeb1 | kEdit, QStringLiteral("DateBgn"), XDT,
                      SCH_OFFSET(m_date.m_begin), kToday, 0, 0, none, none, 0, 2 | kColV, 0,
                      QStringLiteral("开始上课日期"));
        heads.AddColumnHead({}, QStringLiteral("结束日期"), kWeb1 | kEdit, QStringLiteral("DateEnd"), XDT,
                            SCH_OFFSET(m_date.m_end), none, QStringLiteral("未结束"), 0, kColV | kColD, 0,
                            QStringLiteral("结束上课日期"));
        heads.AddHead({}, QStringLiteral("星期"), kWeb1, QString(), XDT, SCH_OFFSET(m_date.m_begin), kToday, 0, 0,
                      QStringLiteral("%A"), none, (3 << 3) | kTitle, kColV | kColD | kColS | kColB, 0,
                      QStringLiteral("每个星期的星期几上课"));
        heads.AddColumnHead({}, QStringLiteral("课程"), kWeb2 | kEdit, QStringLiteral("CourseID"), XLK,
                            SCH_OFFSET(m_course), none, none, kTitle, kColV | kColD | kColS | kColB, 15, none);
        heads.AddColumnHead({}, QStringLiteral("编制"), kWeb1 | kEdit, QStringLiteral("ClassForm"), XIN,
                            SCH_OFFSET(m_nClassForm), QStringLiteral("一对多|一对一"), none, kTitle,
                            kColV | kColD | kColS | kColB, 0,
                            QStringLiteral("一对多课在每次上课时可以有一个或多个学员，如英语课、美术课，一对一课在每次"
                                           "上课时只有一个学员，如乐器培训 ..."));
        heads.AddColumnHead({}, QStringLiteral("时间"), kWeb1 | kEdit, QStringLiteral("TimeSpan"), XTS,
                            SCH_OFFSET(m_time), none, none, 0, kColV | kColD | kColB, 0,
                            QStringLiteral("上下课时间和时长"));
        heads.AddColumnHead({}, QStringLiteral("地点"), kEdit, QStringLiteral("EduLocation"), XSW,
                            SCH_OFFSET(m_strLocation), none, empty, 0, kColD, 0, QStringLiteral("地点"));
        heads.AddColumnHead({}, QStringLiteral("教师"), kWeb2 | kEdit, QString(), XAR, SCH_OFFSET(m_teachers), none,
                            none, kTitle, kColV | kColD | kColS | kColB, 8, none);
        heads.AddColumnHead({}, QStringLiteral("学员"), kEdit, QString(), XAR, SCH_OFFSET(m_students), none, none, 0,
                            kColV | kColD | kColB, 60, QStringLiteral("全部上课学员，含已结课学员"));
        heads.AddComputedHead({}, QStringLiteral("状态"), XIN, CHeads::Getter(&CDBEduSch::GetStatus), states, none,
                              kMark, kColV | kColD | kColB, 0, none);
        heads.AddComputedHead(rcd, QStringLiteral("已排课"), XIN, CHeads::Getter(&CDBEduSch::GetScheduled), times,
                              nothing, 0, kColV | kColD, 3, none);
        heads.AddViewColumnHead(rcd, QStringLiteral("已考勤"), QStringLiteral("rcdTimes"), XIN, SCH_OFFSET(m_nRcdTimes),
                                times, nothing, 0, kColV | kColD, 3,
                                QStringLiteral("有考勤记录的课堂记录次数，可能包括今天之后的课堂记录"));
        heads.AddViewColumnHead(rcd, QStringLiteral("已上课"), QStringLiteral("rcdCountIn"), XIN,
                                SCH_OFFSET(m_nRcdCountIn), times, nothing, 0, kColV | kColD, 3,
                                QStringLiteral("有考勤记录且实际上课的课堂记录次数，可能包括今天之后的课堂记录，如果小"
                                               "于已考勤数，表示有对应课堂记录已取消"));
        heads.AddViewColumnHead(rcd, QStringLiteral("首次考勤"), QStringLiteral("rcdMin"), XDT,
                                SCH_OFFSET(m_rcd.m_begin), none, noRecord, 0, kColD, 0, none);
        heads.AddViewColumnHead(rcd, QStringLiteral("最近考勤"), QStringLiteral("rcdMax"), XDT, SCH_OFFSET(m_rcd.m_end),
                                none, noRecord, 0, kColD, 0, none);
        heads.AddMemberHead(student, QStringLiteral("学员"), XLK, SCH_OFFSET(m_student), none, none, 0, kColS, 0,
                            QStringLiteral("当前指定学员"));
        heads.AddComputedHead(student, QStringLiteral("日期"), XSW, CHeads::Getter(&CDBEduSch::GetStudentPeriod), none,
                              none, 0, kColS, 0, QStringLiteral("当前指定学员在本课程表中的排课日期"));
        heads.AddComputedHead(student, QStringLiteral("时间"), XTS, CHeads::Getter(&CDBEduSch::GetStudentTime), none,
                              none, 0, kColS, 0, QStringLiteral("当前指定学员在本课程表中的排课时间"));
        heads.AddComputedHead(student, QStringLiteral("状态"), XIN, CHeads::Getter(&CDBEduSch::GetStudentStatus),
                              states, none, 0, kColS, 0, QStringLiteral("当前指定学员在本课程表中的排课状态"));
        heads.AddComputedHead(rcd, QStringLiteral("已排课"), XIN, CHeads::Getter(&CDBEduSch::GetStudentScheduled),
                              times, none, 0, kColS, 0, QStringLiteral("当前指定学员在本课程表中已排课次数"));
        heads.AddComputedHead(rcd, QStringLiteral("已考勤"), XIN, CHeads::Getter(&CDBEduSch::GetStudentRcdTimes), times,
                              none, 0, kColS, 0, QStringLiteral("当前指定学员在本课程表中已考勤次数"));
        heads.AddComputedHead(rcd, QStringLiteral("已消课"), XIN, CHeads::Getter(&CDBEduSch::GetStudentRcdCountIn),
                              times, none, 0, kColS, 0, QStringLiteral("当前指定学员在本课程表中已消课次数"));
        heads.AddColumnHead({}, QStringLiteral("备注"), kEdit, QStringLiteral("RecordMemo"), XSW, SCH_OFFSET(m_strMemo),
                            none, empty, 0, kColV | kColD | kColB, 0, none);
        heads.AddMemberHead(log, QStringLiteral("新建"), XBS, SCH_OFFSET(m_created), none, noRecord, 0, kColD, 0,
                            QStringLiteral("新建该项目的用户和日期"));
        heads.AddMemberHead(log, QStringLiteral("修改"), XBS, SCH_OFFSET(m_modified), none, noRecord, 0, kColD, 0,
                            QStringLiteral("最近修改该项目的用户和日期"));
        heads.AddMemberHead(log, QStringLiteral("通知"), XBS, SCH_OFFSET(m_notified), none, noRecord, 0, kColD, 0,
                            QStringLiteral("最近发送微信通知的时间"));
    });
}

void CDBEduSch::Reset()
{
    CXItem::Reset();
    m_course.m_nMduID = MDU_COURSE;
    m_course.m_strName.clear();
    m_student.m_nMduID = MDU_STUDENT;
    m_student.m_nID = 0;
    m_student.m_strName.clear();
    m_date.m_strText.clear();
    m_rcd = CXDateRange();
}

// ---------------------------------------------------------------------------------------
// Computed fields

bool CDBEduSch::IsEnded() const
{
    const int end = EduSch::DayOf(m_date.m_end);
    return end != 0 && end <= EduSch::Today();
}

int CDBEduSch::GetScheduled() const
{
    return EduSch::WeeksDue(EduSch::DayOf(m_date.m_begin), EduSch::DayOf(m_date.m_end));
}

namespace {

template <class F> void ForDesignated(const CDBEduSch& sch, F f)
{
    if (sch.m_student.m_nID == 0)
        return;
    for (const CDBEduSchStudent* line : EduSch::Lines(sch.m_students))
        if (line->m_nID == sch.m_student.m_nID)
            f(*line);
}

} // namespace

QString CDBEduSch::GetStudentPeriod() const
{
    int bgn = 0, end = 0;
    bool any = false, open = false;
    ForDesignated(*this, [&](const CDBEduSchStudent& line) {
        const int b = EduSch::DayOf(line.GetEffectiveBegin());
        const int e = EduSch::DayOf(line.GetEffectiveEnd());
        bgn = any ? std::min(bgn, b) : b;
        open = open || e == 0;
        end = std::max(end, e);
        any = true;
    });
    if (!any)
        return QString();
    return CXDateRange(XDateTime(static_cast<double>(bgn)), XDateTime(static_cast<double>(open ? 0 : end)))
        .Format(kLongDate);
}

CXTimeSpan CDBEduSch::GetStudentTime() const
{
    if (m_student.m_nID == 0)
        return CXTimeSpan();
    if (m_nClassForm != CLASS_ONE_TO_ONE)
        return m_time;
    int bgn = INT_MAX, end = 0;
    ForDesignated(*this, [&](const CDBEduSchStudent& line) {
        bgn = std::min(bgn, SpanBeginPart(line.m_time));
        end = std::max(end, SpanEndPart(line.m_time));
    });
    return bgn == INT_MAX ? CXTimeSpan() : CXTimeSpan(bgn * 10000 + end);
}

int CDBEduSch::GetStudentStatus() const
{
    if (m_student.m_nID == 0)
        return -1;
    int status = 0;
    ForDesignated(*this, [&](const CDBEduSchStudent& line) { status = std::max(status, line.GetStatus()); });
    return status;
}

int CDBEduSch::GetStudentScheduled() const
{
    int sum = 0;
    ForDesignated(*this, [&](const CDBEduSchStudent& line) { sum += line.GetScheduled(); });
    return sum;
}

int CDBEduSch::GetStudentRcdTimes() const
{
    int sum = 0;
    ForDesignated(*this, [&](const CDBEduSchStudent& line) { sum += line.m_nRcdTimes; });
    return sum;
}

int CDBEduSch::GetStudentRcdCountIn() const
{
    int sum = 0;
    ForDesignated(*this, [&](const CDBEduSchStudent& line) { sum += line.m_nRcdCountIn; });
    return sum;
}

// ---------------------------------------------------------------------------------------
// Field rules

int CDBEduSch::GetDefault(const CHead* head) const
{
    if (head && !head->m_pfnGet && head->m_nOffset == SCH_OFFSET(m_time)) {
        const int form = EduSch::SetupInt("LtdClassForm", 0);
        const int minutes =
            (form == 0 || form == 2) ? EduSch::SetupInt("DefaultDur0", 90) : EduSch::SetupInt("DefaultDur1", 45);
        const XDateTime today = XDateTime::Today();
        const int hour = today.DayOfWeek() < 5 ? 17 : 9;
        CXTimeSpan span;
        span.SetBeginDuration(XDateTime(1899, 12, 30, hour, 0, 0), minutes);
        return span;
    }
    if (head && !head->m_pfnGet && head->m_nOffset == SCH_OFFSET(m_nClassForm)) {
        const int form = EduSch::SetupInt("LtdClassForm", 0);
        return (form == 1 || form == 3) ? CLASS_ONE_TO_ONE : CLASS_ONE_TO_MANY;
    }
    return CXItem::GetDefault(head);
}

int CDBEduSch::GetAccess(const CHead* head, const CXItem* user) const
{
    const int access = CXItem::GetAccess(head, user);
    if (head->m_pfnGet)
        return access;
    const int offset = head->m_nOffset;
    if (offset == SCH_OFFSET(m_time) && head->m_nType == XTS && m_nClassForm == CLASS_ONE_TO_ONE)
        return m_students.IsEmpty() ? -1 : std::min(access, 0);
    if (offset == SCH_OFFSET(m_course) && head->m_nType == XLK && m_nID != 0)
        return std::min(access, 0);
    if (offset == SCH_OFFSET(m_date.m_begin) && m_nRcdTimes > 0)
        return std::min(access, 0);
    if (offset == SCH_OFFSET(m_nClassForm)) {
        const int form = EduSch::SetupInt("LtdClassForm", 0);
        if (form == 2 || form == 3)
            return -1;
        if (m_nID != 0)
            return std::min(access, 0);
    }
    return access;
}

void CDBEduSch::GetRange(const CHead* head, int& min, int& max) const
{
    CXItem::GetRange(head, min, max);
    if (!head->m_pfnGet && head->m_nOffset == SCH_OFFSET(m_date.m_end) && head->m_nType == XDT) {
        // class records already taken stay inside the timetable
        min = std::max(EduSch::DayOf(m_date.m_begin), EduSch::DayOf(m_rcd.m_end));
        max = INT_MAX;
    }
}

QString CDBEduSch::GetDeleteError(const CXItem* user) const
{
    if (m_nRcdTimes >= 1)
        return FormatString(u"已有关联的%s。", LoadCommandText(MDU_EDURCD));
    return CXItem::GetDeleteError(user);
}

CXMap CDBEduSch::GetRelateQuery(const CHead* head, const CXMap* base) const
{
    if (!head)
        return CXItem::GetRelateQuery(head, base);
    CXMap query = base ? *base : CXMap();
    if (head->m_nType == XLK && head->m_nOffset == SCH_OFFSET(m_course)) {
        query.SetText(IDC_ENABLED, QStringLiteral("1"));
        return query;
    }
    if (head->m_nType == XAR && head->m_nOffset == SCH_OFFSET(m_teachers)) {
        // teachers employed after the first lesson day
        const int bgn = EduSch::DayOf(m_date.m_begin);
        query.SetDate(1126, XDateTime(static_cast<double>((bgn != 0 ? bgn : EduSch::Today()) + 1)));
        return CXItem::GetRelateQuery(head, &query);
    }
    if (head->m_nType == XAR && head->m_nOffset == SCH_OFFSET(m_students) && m_course.m_nID != 0) {
        // students holding receipts of the course in the states 停课, 超期, 上课
        query.SetPlainText(MDU_COURSE, m_course.GetLink());
        query.SetText(1065, QStringLiteral("1,2,3"));
        // in a one-to-one timetable a student may take two lesson times
        if (m_nClassForm == CLASS_ONE_TO_ONE)
            return query;
    }
    return CXItem::GetRelateQuery(head, &query);
}

// ---------------------------------------------------------------------------------------
// New lines

CDBEduSchStudent* CDBEduSch::NewStudentLine(int studentId, const QString& name)
{
    auto* line = m_students.CreateTyped();
    line->Reset(); // the defaults ask the timetable, which the line now knows
    line->m_nID = studentId;
    line->m_strName = name;
    return line;
}

CDBEduSchTeacher* CDBEduSch::NewTeacherLine(int teacherId, const QString& name)
{
    auto* line = m_teachers.CreateTyped();
    line->Reset();
    line->m_nID = teacherId;
    line->m_strName = name;
    return line;
}
