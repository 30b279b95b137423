#include "SpanMinutes.h"
#include "CDBEduRcd.h"
#include "TypedLines.h"

#include "CModule.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "TextUtils.h"
#include "XAppServices.h"

#include <QtCore/QVariant>

#include <algorithm>

#define RCD_OFFSET(member) XOFFSET(CDBEduRcd, member)

namespace {

int Preference(const char* key, int fallback)
{
    const QVariant value = AppServices().SetupValue(QString::fromUtf8(key));
    return value.isValid() ? value.toInt() : fallback;
}

const QColor kRed(192, 0, 0);

} // namespace

int GetRcdAdvance() { return Preference("RcdAdvance", 180); }
int GetWarnRemained() { return Preference("WarnRemained", 3); }
int GetLtdClassForm() { return Preference("LtdClassForm", 0); }
int GetDefaultDuration(int classForm)
{
    return classForm == 1 ? Preference("DefaultDur1", 45) : Preference("DefaultDur0", 90);
}

// ---------------------------------------------------------------------------------------
// The field table

CHeads* CDBEduRcd::StaticHeads()
{
    return BuildHeadsOnce<CDBEduRcd>([](CHeads& heads) {
        using C = CDBEduRcd;
        heads.m_strItemType = QStringLiteral("课堂记录");
        heads.m_strItemUnit = QStringLiteral("次");
        heads.m_strTable = QStringLiteral("TB_EDURCD");
        heads.m_bGoodStatus = 1;
        const QString none, nothing = QStringLiteral("无"), persons = QStringLiteral("%d 人"),
                            noRecord = QStringLiteral("无记录");
        const XGroup attence(u"考勤"), student(u"学员");
        // words: input 9 = web 1 + edit, 10 = web 2 + edit, 8 = edit, 1 = web 1; columns
        // 585 = V D S B, 521 = V D B, 513 = D B, 9 = V D, 1 = D, 64 = S
        const auto count = [&](const XGroup& g, const char16_t* caption, int (C::*fn)() const, unsigned cols,
                               const char16_t* help) {
            heads.AddComputedHead(g, QString::fromUtf16(caption), XIN, CHeads::Getter(fn), persons, nothing, 0, cols, 2,
                                  QString::fromUtf16(help));
        };
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, RCD_OFFSET(m_nID), none,
                                none, 0, 0, 0, none);
        heads.AddHead({}, QStringLiteral("日期"), 9, QStringLiteral("ClassDate"), XDT, RCD_OFFSET(m_dtDate), kToday, 0,
                      0, QStringLiteral("%Y年%#m月%#d日%A"), none, 2 | 512, 585, 0, none);
        heads.AddHead({}, QStringLiteral("星期"), 1, QString(), XDT, RCD_OFFSET(m_dtDate), kToday, 0, 0,
                      QStringLiteral("%A"), none, 3 << 3, 1, 0, none);
        heads.AddComputedHead({}, QStringLiteral("相对日期"), XSW, CHeads::Getter(&C::GetRelativeDay), none, none, 0, 1,
                              0, none);
        heads.AddColumnHead({}, QStringLiteral("课程"), 10, QStringLiteral("CourseID"), XLK, RCD_OFFSET(m_course), none,
                            none, 512, 585, 15, none);
        heads.AddColumnHead({}, QStringLiteral("编制"), 9, QStringLiteral("ClassForm"), XIN, RCD_OFFSET(m_nClassForm),
                            QStringLiteral("一对多|一对一"), none, 512, 585, 0,
                            QStringLiteral("一对多课在每次上课时可以有一个或多个学员，如英语课、美术课，一对一课在每次"
                                           "上课时只有一个学员，如乐器培训 ..."));
        heads.AddComputedHead({}, QStringLiteral("计划"), XIN, CHeads::Getter(&C::IsAuto), QStringLiteral("临时|计划"),
                              QStringLiteral("计划"), 64, 521, 0, none);
        heads.AddComputedHead({}, QStringLiteral("计划时间"), XTS, CHeads::Getter(&C::GetPlannedTime), none, nothing, 0,
                              1, 0, QStringLiteral("课程表的上下课时间和时长"));
        heads.AddColumnHead({}, QStringLiteral("时间"), 9, QStringLiteral("TimeSpan"), XTS, RCD_OFFSET(m_timeSpan),
                            none, QStringLiteral("同课程表"), 0, 521, 0,
                            QStringLiteral("实际上下课时间和时长，计划课未调课时与课程表计划时间相同"));
        heads.AddViewColumnHead({}, QStringLiteral("课程表"), QStringLiteral("EduSchID"), XLK, RCD_OFFSET(m_sch), none,
                                nothing, 0, 513, 0, none);
        heads.AddColumnHead({}, QStringLiteral("地点"), 8, QStringLiteral("EduLocation"), XSW,
                            RCD_OFFSET(m_strLocation), none, QStringLiteral("空"), 0, 1, 0, QStringLiteral("地点"));
        heads.AddColumnHead({}, QStringLiteral("状态"), 8, QStringLiteral("ClassStatus"), XIN,
                            RCD_OFFSET(m_nClassStatus), QStringLiteral("待定|取消|正常"), QStringLiteral("待定"), 64,
                            521, 0, none);
        heads.AddColumnHead({}, QStringLiteral("教师"), 10, QString(), XAR, RCD_OFFSET(m_teachers), none, none, 512,
                            585, 8, none);
        heads.AddColumnHead({}, QStringLiteral("学员"), 8, QString(), XAR, RCD_OFFSET(m_students), none, none, 0, 521,
                            60, none);
        count({}, u"计划", &C::CountPlanned, 9, u"课程表中的学员数量。学员数=计划+临时+试听");
        count({}, u"临时", &C::CountTemporary, 9, u"非课程表中的学员数量。学员数=计划+临时+试听");
        count({}, u"试听", &C::CountTrial, 9, u"试听的学员数量，试听不消课。学员数=计划+临时+试听");
        count(attence, u"待定", &C::CountPending, 1, u"考勤待定的学员数量。学员数=待定+取消+请假+准时+迟到+缺勤");
        count(attence, u"取消", &C::CountCancelled, 1,
              u"考勤取消的学员数量，不消课。学员数=待定+取消+请假+准时+迟到+缺勤");
        const auto attenceCount = [&](const char16_t* caption, int code, const char16_t* help) {
            heads.AddComputedHead(
                attence, QString::fromUtf16(caption), XIN,
                [code](const CXItem& item, int) -> XFieldValue {
                    return static_cast<const C&>(item).CountAttence(code);
                },
                persons, nothing, 0, 9, 2, QString::fromUtf16(help));
        };
        attenceCount(u"请假", ATTENCE_LEAVE, u"考勤请假的学员数量，不消课。学员数=待定+取消+请假+准时+迟到+缺勤");
        attenceCount(u"准时", ATTENCE_ONTIME, u"考勤准时的学员数量。学员数=待定+取消+请假+准时+迟到+缺勤");
        attenceCount(u"迟到", ATTENCE_LATE, u"考勤迟到的学员数量。学员数=待定+取消+请假+准时+迟到+缺勤");
        attenceCount(u"缺勤", ATTENCE_ABSENT, u"考勤缺勤的学员数量，缺勤需消课。学员数=待定+取消+请假+准时+迟到+缺勤");
        count(attence, u"消课", &C::CountConsumed, 9, u"消课数=准时+迟到+缺勤");
        heads.AddMemberHead(student, QStringLiteral("学员"), XLK, RCD_OFFSET(m_student), none, nothing, 0, 64, 0,
                            QStringLiteral("指定学员"));
        heads.AddComputedHead(student, QStringLiteral("类型"), XSW, CHeads::Getter(&C::GetStudentKinds), none, none, 0,
                              64, 0, QStringLiteral("指定学员的排课类型：计划、临时、试听"));
        heads.AddComputedHead(student, QStringLiteral("时间"), XTS, CHeads::Getter(&C::GetStudentTime), none, none, 0,
                              64, 0, QStringLiteral("指定学员的上课时间"));
        heads.AddComputedHead(student, QStringLiteral("状态"), XSW, CHeads::Getter(&C::GetStudentAttence), none, none,
                              0, 64, 0, QStringLiteral("指定学员的考勤状态：待定、取消、请假、准时、迟到、缺勤"));
        heads.AddComputedHead(student, QStringLiteral("消课收据"), XSW, CHeads::Getter(&C::GetStudentReceipts), none,
                              nothing, 0, 64, 0, QStringLiteral("指定学员的考勤对应收据"));
        heads.AddComputedHead(student, QStringLiteral("课时"), XIN, CHeads::Getter(&C::GetStudentRemained), none, none,
                              0, 64, 10, QStringLiteral("指定学员的课时"));
        heads.AddMemberHead({}, QStringLiteral("指定教师"), XIN, RCD_OFFSET(m_nTeacher), none, none, 0, 0, 0,
                            QStringLiteral("指定教师"));
        heads.AddColumnHead({}, QStringLiteral("备注"), 8, QStringLiteral("RecordMemo"), XSW, RCD_OFFSET(m_strMemo),
                            none, QStringLiteral("空"), 0, 521, 0, none);
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("新建"), XBS, RCD_OFFSET(m_created), none, noRecord, 0, 1, 0,
                            QStringLiteral("新建该项目的用户和日期"));
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("修改"), XBS, RCD_OFFSET(m_modified), none, noRecord, 0, 1,
                            0, QStringLiteral("最近修改该项目的用户和日期"));
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("通知"), XBS, RCD_OFFSET(m_notified), none, noRecord, 0, 1,
                            0, QStringLiteral("最近发送微信通知的时间"));
    });
}

// ---------------------------------------------------------------------------------------
// Life cycle

void CDBEduRcd::Reset()
{
    CXItem::Reset();
    m_student.Reset();
    m_student.m_nMduID = MDU_STUDENT;
    m_course.m_nMduID = MDU_COURSE;
    m_sch.m_nMduID = MDU_EDUSCH;
    m_nTeacher = 0;
}

CXItem* CDBEduRcd::CopyTo(CXItem* target) const
{
    target = CXItem::CopyTo(target);
    if (auto* t = dynamic_cast<CDBEduRcd*>(target); t && t != this) {
        t->m_student.CopyBase(m_student);
        t->m_student.m_pArray = nullptr;
        t->m_nTeacher = m_nTeacher;
    }
    return target;
}

void CDBEduRcd::BuildTitle()
{
    QStringList teachers;
    for (const CXItem* t : m_teachers)
        teachers << t->m_strName;
    m_strName = m_dtDate.Format(QStringLiteral("%Y年%#m月%#d日%A")) + m_course.m_strName + teachers.join(u',');
}

bool CDBEduRcd::IsLineValid(const CXDateRange& period) const
{
    // equal within half a second counts, as everywhere dates are compared
    const XDateTime day = m_dtDate.DateOnly();
    const bool begun = period.m_begin.Day() == 0 || period.m_begin < day || period.m_begin == day;
    const bool running = period.m_end.Day() == 0 || day < period.m_end || period.m_end == day;
    return begun && running;
}

bool CDBEduRcd::IsAutoEmpty() const
{
    if (!CXItem::IsAutoEmpty() || m_nClassStatus != CLASS_PENDING || m_strLocation != m_sch.m_strLocation)
        return false;
    if (!IsOneToOne() && m_timeSpan != m_sch.m_time)
        return false;
    for (const CXItem* t : m_teachers)
        if (!t->IsAutoEmpty())
            return false;
    for (const CXItem* s : m_students)
        if (!s->IsAutoEmpty())
            return false;
    return true;
}

void CDBEduRcd::AutoReset()
{
    if (!IsAuto())
        return;
    // The stored row keeps its ID: saving the reset record then deletes that row with its
    // lines. A zeroed ID would leave the attendance and the lessons it consumed stored.
    m_nClassStatus = CLASS_PENDING;
    m_course.CopyBase(m_sch.m_course);
    m_course.m_pArray = nullptr;
    m_strLocation = m_sch.m_strLocation;
    m_timeSpan = m_sch.m_time;
    m_strMemo.clear();
    m_teachers.RemoveAll(this);
    m_students.RemoveAll(this);
    int row = 0;
    for (const auto* line : Typed(m_sch.m_teachers)) {
        if (!IsLineValid(line->m_edu))
            continue;
        CDBEduRcdTeacher* t = m_teachers.CreateTyped();
        t->m_nID = line->m_nID;
        t->m_strName = line->m_strName;
        t->m_nSubID = --row;
        m_teachers.Add(t);
        t->AutoReset();
    }
    row = 0;
    for (const auto* line : Typed(m_sch.m_students)) {
        if (!IsLineValid(line->m_edu))
            continue;
        CDBEduRcdStudent* s = m_students.CreateTyped();
        s->m_nID = line->m_nID;
        s->m_strName = line->m_strName;
        s->m_nSchSubID = line->m_nSubID;
        s->m_nSubID = --row;
        m_students.Add(s);
        s->AutoReset();
    }
}

void CDBEduRcd::AutoSet()
{
    m_nClassStatus = CLASS_HELD;
    for (CXItem* t : m_teachers)
        t->AutoSet();
    for (CXItem* s : m_students)
        s->AutoSet();
}

// ---------------------------------------------------------------------------------------
// Validation

int CDBEduRcd::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    BuildTitle();
    if (IsCancelled()) {
        // a cancelled class consumes nothing, but an absence stays recorded
        for (auto* t : Typed(m_teachers))
            if (t->m_nAttence != ATTENCE_ABSENT)
                t->m_nAttence = ATTENCE_PENDING;
        for (auto* s : Typed(m_students))
            if (s->m_nAttence != ATTENCE_ABSENT) {
                s->m_nAttence = ATTENCE_PENDING;
                s->m_receipt.Reset();
                s->m_receipt.m_nMduID = MDU_RECEIPT;
            }
    }
    if (IsOneToOne()) {
        int begin = 0, end = 0;
        for (const auto* s : Typed(m_students)) {
            if (s->m_nAttence == ATTENCE_LEAVE || s->m_nAttence == ATTENCE_ABSENT || s->m_timeSpan == 0)
                continue;
            const int b = s->m_timeSpan.Value() / 10000, e = s->m_timeSpan.Value() % 10000;
            if (begin == 0 || b < begin)
                begin = b;
            if (end == 0 || e > end)
                end = e;
        }
        m_timeSpan = CXTimeSpan(begin * 10000 + end);
    } else {
        if (m_timeSpan == 0)
            m_timeSpan = GetDefault(GetHeads()->FindByOffset(RCD_OFFSET(m_timeSpan)));
        for (auto* s : Typed(m_students))
            s->m_timeSpan = m_timeSpan;
    }
    if (m_teachers.IsEmpty())
        AddStatus(ST_WARN, &m_teachers, "无%s！", QStringLiteral("教师"));
    if (m_students.IsEmpty())
        AddStatus(ST_WARN, &m_students, "无%s！", QStringLiteral("学员"));
    if (!IsCancelled() && !IsOneToOne() && IsAuto() && m_timeSpan != m_sch.m_time)
        AddStatus(ST_WARN, nullptr, "%s 调整至 %s。", m_sch.m_time.Format(), m_timeSpan.Format());
    const XDateTime over = XDateTime(m_dtDate.DateOnly().Day() + m_timeSpan.GetEnd().Day());
    const bool isOver = over < XDateTime::Now();
    if (m_nClassStatus == CLASS_PENDING && isOver) {
        AddStatus(ST_WARN, &m_nClassStatus, "未完成考勤！");
    } else if (IsCancelled()) {
        AddStatus(ST_GRAY, nullptr, "已取消！");
    } else if (m_nClassStatus == CLASS_HELD && isOver) {
        if (std::any_of(m_teachers.begin(), m_teachers.end(),
                        [](const CXItem* t) { return static_cast<const CDBEduRcdTeacher*>(t)->m_nAttence == 0; }))
            AddStatus(ST_WARN, &m_teachers, "未完成%s的考勤！", QStringLiteral("教师"));
        if (std::any_of(m_students.begin(), m_students.end(),
                        [](const CXItem* s) { return static_cast<const CDBEduRcdStudent*>(s)->m_nAttence == 0; }))
            AddStatus(ST_WARN, &m_students, "未完成%s的考勤！", QStringLiteral("学员"));
    }
    if (m_student.m_nID) {
        for (auto* s : Typed(m_students)) {
            if (s->m_nID != m_student.m_nID)
                continue;
            s->Validate(user, bCheckDuplicates);
            for (const CXStatus& st : s->m_status)
                if (st.m_nLevel > ST_GOOD || (st.m_nLevel == ST_GRAY && !st.m_strText.isEmpty()))
                    AddStatusText(st.m_nLevel, nullptr, st.m_strText);
        }
    }
    if (m_nTeacher && GetLessonWage() == 0)
        AddStatusText(ST_GRAY, nullptr, QString());
    return CXItem::Validate(user, bCheckDuplicates);
}

// ---------------------------------------------------------------------------------------
// Defaults, access, formats

int CDBEduRcd::GetDefault(const CHead* head) const
{
    if (!head->m_pfnGet && head->m_nOffset == RCD_OFFSET(m_nClassForm))
        return GetLtdClassForm() % 2;
    if (!head->m_pfnGet && head->m_nOffset == RCD_OFFSET(m_timeSpan)) {
        const int weekday = XDateTime::Today().DayOfWeek();
        const int begin = weekday >= 5 ? 9 * 60 : 17 * 60;
        return MakeSpan(begin, begin + GetDefaultDuration(GetLtdClassForm() % 2)).Value();
    }
    return CXItem::GetDefault(head);
}

int CDBEduRcd::GetAccess(const CHead* head, const CXItem* user) const
{
    const int access = CXItem::GetAccess(head, user);
    if (head->m_pfnGet)
        return access;
    const int off = head->m_nOffset;
    if (off == RCD_OFFSET(m_dtDate) && IsAuto())
        return std::min(access, 0);
    if (off == RCD_OFFSET(m_timeSpan) && IsOneToOne())
        return m_students.IsEmpty() ? -1 : std::min(access, 0);
    if (off == RCD_OFFSET(m_course) && (IsAuto() || m_nID > 0))
        return std::min(access, 0);
    if (off == RCD_OFFSET(m_nClassForm)) {
        if (GetLtdClassForm() >= 2)
            return -1;
        if (IsAuto() || m_nID > 0)
            return std::min(access, 0);
    }
    return access;
}

QString CDBEduRcd::GetFormat(const CHead* head) const
{
    if (IsCancelled() && head->m_pfnGet && head->m_strName == QStringLiteral("状态") && head->m_nColSub)
        return QStringLiteral("取消|请假|||缺勤");
    return CXItem::GetFormat(head);
}

QString CDBEduRcd::GetEmptyText(const CHead* head) const
{
    if (!head->m_pfnGet && head->m_nOffset == RCD_OFFSET(m_timeSpan)) {
        if (!IsAuto())
            return QString();
        if (!IsOneToOne())
            return m_sch.m_time.Format() + QStringLiteral(" (同课程表)");
    }
    return CXItem::GetEmptyText(head);
}

QColor CDBEduRcd::GetTextColor(const CHead* head) const
{
    if (!head->m_pfnGet && head->m_nOffset == RCD_OFFSET(m_timeSpan) && IsAuto() && !IsOneToOne() &&
        m_timeSpan != m_sch.m_time)
        return kRed;
    return CXItem::GetTextColor(head);
}

QString CDBEduRcd::FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const
{
    if (head && head->m_pfnGet && head->m_nColSub && head->m_strName == QStringLiteral("课时")) {
        for (const auto* s : Typed(m_students))
            if (m_student.m_nID && s->m_nID == m_student.m_nID)
                return s->GetRemainedText();
        return QString();
    }
    return CXItem::FormatText(head, bUnit, bPrefix, bDisplay);
}

CXMap CDBEduRcd::GetRelateQuery(const CHead* head, const CXMap* base) const
{
    if (!head && IsAuto() && m_nID <= 0) {
        // a planned record not stored yet is found among the generated ones
        CXMap result = base ? *base : CXMap();
        result.SetText(MDU_EDUSCH, QString::number(m_sch.m_nID));
        result.SetDate(1047, m_dtDate.DateOnly());
        result.SetDate(1048, m_dtDate.DateOnly());
        return result;
    }
    if (head && head->m_nType == XAR && head->m_nOffset == RCD_OFFSET(m_students) && IsOneToOne())
        return base ? *base : CXMap(); // a one-to-one class may have the same student twice
    if (head && head->m_nType == XAR && head->m_nOffset == RCD_OFFSET(m_teachers)) {
        CXMap result = CXItem::GetRelateQuery(head, base);
        result.SetDate(1126, m_dtDate.DateOnly().AddDays(1));
        return result;
    }
    if (head && head->m_nType == XLK && head->m_nOffset == RCD_OFFSET(m_course)) {
        CXMap result = base ? *base : CXMap();
        result.SetText(1064, QStringLiteral("1"));
        return result;
    }
    return CXItem::GetRelateQuery(head, base);
}

// ---------------------------------------------------------------------------------------
// Wages

const CDBEduRcdTeacher* CDBEduRcd::FindTeacherLine(int teacherId) const
{
    for (const auto* t : Typed(m_teachers))
        if (t->m_nID == teacherId)
            return t;
    return nullptr;
}

double CDBEduRcd::GetPerStudentWage() const
{
    const CDBEduRcdTeacher* t = FindTeacherLine(m_nTeacher);
    if (!t || !t->HasTaught())
        return 0;
    int consuming = 0;
    for (const auto* s : Typed(m_students))
        consuming += s->m_receipt.m_nID != 0 ? 1 : 0;
    return t->m_pay.m_fPerStudent * consuming;
}

double CDBEduRcd::GetShareWage() const
{
    const CDBEduRcdTeacher* t = FindTeacherLine(m_nTeacher);
    if (!t || !t->HasTaught())
        return 0;
    double income = 0;
    for (const auto* s : Typed(m_students))
        income += s->m_fIncome;
    return income * t->m_pay.m_fPerUnit / 100;
}

double CDBEduRcd::GetBaseWage() const
{
    const CDBEduRcdTeacher* t = FindTeacherLine(m_nTeacher);
    return t && t->HasTaught() ? t->m_pay.m_fPerEduRcd : 0;
}

double CDBEduRcd::GetMinimumWage() const
{
    const CDBEduRcdTeacher* t = FindTeacherLine(m_nTeacher);
    if (!t || !t->HasTaught())
        return 0;
    return std::max(0.0, t->m_pay.m_fPerMin - (GetPerStudentWage() + GetShareWage() + GetBaseWage()));
}

double CDBEduRcd::GetLessonWage() const
{
    return GetPerStudentWage() + GetShareWage() + GetBaseWage() + GetMinimumWage();
}

// ---------------------------------------------------------------------------------------
// Computed fields

QString CDBEduRcd::GetRelativeDay() const
{
    const int days = static_cast<int>(m_dtDate.DateOnly().Day() - XDateTime::Today().Day());
    switch (days) {
    case 0:
        return QStringLiteral("今天");
    case 1:
        return QStringLiteral("明天");
    case 2:
        return QStringLiteral("后天");
    case -1:
        return QStringLiteral("昨天");
    case -2:
        return QStringLiteral("前天");
    default:
        return days > 0 ? FormatString(u"%d天后", days) : FormatString(u"%d天前", -days);
    }
}

int CDBEduRcd::CountPlanned() const
{
    return static_cast<int>(std::count_if(m_students.begin(), m_students.end(), [](const CXItem* s) {
        return static_cast<const CDBEduRcdStudent*>(s)->GetKind() == 1;
    }));
}

int CDBEduRcd::CountTrial() const
{
    return static_cast<int>(std::count_if(m_students.begin(), m_students.end(), [](const CXItem* s) {
        return static_cast<const CDBEduRcdStudent*>(s)->m_nLessonType == 1;
    }));
}

int CDBEduRcd::CountTemporary() const { return m_students.GetSize() - CountTrial() - CountPlanned(); }

int CDBEduRcd::CountAttence(int attence) const
{
    return static_cast<int>(std::count_if(m_students.begin(), m_students.end(), [attence](const CXItem* s) {
        return static_cast<const CDBEduRcdStudent*>(s)->m_nAttence == attence;
    }));
}

int CDBEduRcd::CountConsumed() const
{
    return static_cast<int>(std::count_if(m_students.begin(), m_students.end(), [](const CXItem* s) {
        return static_cast<const CDBEduRcdStudent*>(s)->m_receipt.m_nID != 0;
    }));
}

QString CDBEduRcd::GetStudentKinds() const
{
    static const char16_t* kinds[] = {u"临时", u"计划", u"试听"};
    QStringList parts;
    for (const auto* s : Typed(m_students))
        if (m_student.m_nID && s->m_nID == m_student.m_nID)
            parts << QString::fromUtf16(kinds[s->GetKind()]);
    return parts.join(u' ');
}

CXTimeSpan CDBEduRcd::GetStudentTime() const
{
    if (!m_student.m_nID)
        return {};
    if (!IsOneToOne())
        return m_timeSpan;
    int begin = 0, end = 0;
    for (const auto* s : Typed(m_students)) {
        if (s->m_nID != m_student.m_nID || s->m_timeSpan == 0)
            continue;
        const int b = s->m_timeSpan.Value() / 10000, e = s->m_timeSpan.Value() % 10000;
        begin = begin == 0 ? b : std::min(begin, b);
        end = std::max(end, e);
    }
    return CXTimeSpan(begin * 10000 + end);
}

QString CDBEduRcd::GetStudentAttence() const
{
    const QStringList options =
        (IsCancelled() ? QStringLiteral("取消|请假|||缺勤") : QStringLiteral("待定|请假|准时|迟到|缺勤")).split(u'|');
    QStringList parts;
    for (const auto* s : Typed(m_students))
        if (m_student.m_nID && s->m_nID == m_student.m_nID && s->m_nAttence >= 0 && s->m_nAttence < options.size())
            parts << options[s->m_nAttence];
    return parts.join(u' ');
}

QString CDBEduRcd::GetStudentReceipts() const
{
    QStringList parts;
    for (const auto* s : Typed(m_students))
        if (m_student.m_nID && s->m_nID == m_student.m_nID && s->Consumes() && s->m_receipt.m_nID)
            parts << (s->m_receipt.m_strName.isEmpty() ? QString::number(s->m_receipt.m_nID) : s->m_receipt.m_strName);
    return parts.join(u' ');
}

int CDBEduRcd::GetStudentRemained() const
{
    for (const auto* s : Typed(m_students))
        if (m_student.m_nID && s->m_nID == m_student.m_nID)
            return s->m_rcpRemained;
    return 0;
}
