// Validation of a timetable and its lines: the line dates brought onto the lesson weekday,
// the one-to-one lesson time, the coverage of the period by teachers and students, and the
// overlaps of one person's lines.
#include "CDBEduSch.h"
#include "CDBEduSch_Heads.h"

#include "FormatString.h"
#include "TextUtils.h"

#include <algorithm>
#include <climits>
#include <vector>

namespace {

using EduSchHeads::kLongDate;

XDateTime FromDay(int day) { return XDateTime(static_cast<double>(day)); }

QString DayText(int day) { return FromDay(day).Format(kLongDate); }

// EduBgn to the first lesson day on or after it, EduEnd to the last on or before it; then
// dates that say no more than the timetable's own become 0 ("as the timetable").
void NormaliseLine(CXDateRange& edu, const XDateTime& dateBgn, const XDateTime& dateEnd)
{
    if (EduSch::DayOf(edu.m_begin) != 0)
        edu.m_begin = AlignToWeekday(edu.m_begin, dateBgn, false);
    if (EduSch::DayOf(edu.m_end) != 0)
        edu.m_end = AlignToWeekday(edu.m_end, dateBgn, true);
    if (EduSch::DayOf(edu.m_begin) != 0 && EduSch::DayOf(edu.m_begin) <= EduSch::DayOf(dateBgn))
        edu.m_begin = XDateTime(0.0);
    const int end = EduSch::DayOf(dateEnd);
    if (end != 0 && EduSch::DayOf(edu.m_end) != 0 && end <= EduSch::DayOf(edu.m_end))
        edu.m_end = XDateTime(0.0);
}

// The walk over lines ordered by their periods: the first stretch of lesson days from
// DateBgn on that no line covers. A line with EduBgn 0 begins with the timetable.
void CheckCoverage(CDBEduSch& sch, std::vector<std::pair<int, int>> periods, const void* field, const char* who)
{
    if (periods.empty())
        return;
    const int dateBgn = EduSch::DayOf(sch.m_date.m_begin);
    for (auto& p : periods)
        if (p.first == 0)
            p.first = dateBgn;
    std::sort(periods.begin(), periods.end(), [](const auto& a, const auto& b) {
        const long long ae = a.second ? a.second : LLONG_MAX, be = b.second ? b.second : LLONG_MAX;
        return a.first != b.first ? a.first < b.first : ae < be;
    });
    int d = dateBgn;
    for (const auto& [bgn, end] : periods) {
        if (bgn > d) {
            sch.AddStatus(ST_WARN, field, "%s至%s无%s！", DayText(d), DayText(bgn - 7), QString::fromUtf8(who));
            return;
        }
        if (end == 0)
            return;
        d = std::max(d, end + 7);
    }
    const int dateEnd = EduSch::DayOf(sch.m_date.m_end);
    if (dateEnd != 0 && dateEnd > d)
        sch.AddStatus(ST_WARN, field, "%s至%s无%s！", DayText(d), DayText(dateEnd), QString::fromUtf8(who));
}

void CopyMessages(CDBEduSch& sch, const CXItem& line, const void* field, bool capped)
{
    for (const CXStatus& s : line.m_status)
        sch.AddStatusText(capped ? std::min(s.m_nLevel, static_cast<int>(ST_WARN)) : s.m_nLevel, field, s.m_strText);
}

} // namespace

int CDBEduSch::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    for (CDBEduSchTeacher* line : EduSch::Lines(m_teachers))
        NormaliseLine(line->m_edu, m_date.m_begin, m_date.m_end);
    for (CDBEduSchStudent* line : EduSch::Lines(m_students))
        NormaliseLine(line->m_edu, m_date.m_begin, m_date.m_end);

    if (m_nClassForm == CLASS_ONE_TO_ONE) {
        // stable, so lines at one time keep the order they were given
        std::vector<CXItem*> lines(m_students.begin(), m_students.end());
        std::stable_sort(lines.begin(), lines.end(), [](const CXItem* a, const CXItem* b) {
            return static_cast<const CDBEduSchStudent*>(a)->m_time.Value() <
                   static_cast<const CDBEduSchStudent*>(b)->m_time.Value();
        });
        for (int i = 0; i < static_cast<int>(lines.size()); ++i)
            m_students.SetAt(i, lines[static_cast<std::size_t>(i)]);
        int bgn = INT_MAX, end = 0;
        for (const CDBEduSchStudent* line : EduSch::Lines(m_students)) {
            if (line->m_nID == 0 || !line->GetStatus())
                continue;
            bgn = std::min(bgn, line->m_time.Value() / 10000);
            end = std::max(end, line->m_time.Value() % 10000);
        }
        m_time = bgn == INT_MAX ? CXTimeSpan() : CXTimeSpan(bgn * 10000 + end);
    } else {
        for (CDBEduSchStudent* line : EduSch::Lines(m_students))
            line->m_time = m_time;
    }

    if (!IsEnded()) {
        if (m_teachers.IsEmpty())
            AddStatus(ST_WARN, &m_teachers, "无%s！", QStringLiteral("教师"));
        if (m_students.IsEmpty())
            AddStatus(ST_WARN, &m_students, "无%s！", QStringLiteral("学员"));
        std::vector<std::pair<int, int>> periods;
        for (const CDBEduSchTeacher* line : EduSch::Lines(m_teachers))
            periods.emplace_back(EduSch::DayOf(line->m_edu.m_begin), EduSch::DayOf(line->m_edu.m_end));
        CheckCoverage(*this, periods, &m_teachers, "教师");
        periods.clear();
        for (const CDBEduSchStudent* line : EduSch::Lines(m_students))
            periods.emplace_back(EduSch::DayOf(line->m_edu.m_begin), EduSch::DayOf(line->m_edu.m_end));
        CheckCoverage(*this, periods, &m_students, "学员");
    } else {
        AddStatus(ST_GRAY, nullptr, "已结课！");
    }

    if (m_student.m_nID == 0) {
        for (CDBEduSchTeacher* line : EduSch::Lines(m_teachers)) {
            line->Validate(user, false);
            CopyMessages(*this, *line, &m_teachers, true);
        }
        for (CDBEduSchStudent* line : EduSch::Lines(m_students)) {
            line->Validate(user, false);
            CopyMessages(*this, *line, &m_students, true);
        }
    } else {
        for (CDBEduSchStudent* line : EduSch::Lines(m_students)) {
            if (line->m_nID != m_student.m_nID)
                continue;
            line->Validate(user, false);
            CopyMessages(*this, *line, nullptr, false);
        }
    }
    return CXItem::Validate(user, bCheckDuplicates);
}

int CDBEduSchStudent::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    const CDBEduSch* sch = GetEduSch();
    const bool oneToOne = sch && sch->m_nClassForm == CLASS_ONE_TO_ONE;
    if (oneToOne && (m_time.Value() / 10000 == 0 || m_time.Value() % 10000 == 0))
        AddStatus(ST_STOP, &m_time, "未设置上课时间！");
    if (GetStatus()) {
        if (sch) {
            const int bgn = EduSch::DayOf(m_edu.m_begin), end = EduSch::DayOf(m_edu.m_end);
            for (const CDBEduSchStudent* other : EduSch::Lines(sch->m_students)) {
                if (other == this || other == m_pEditOf || other->m_nID != m_nID ||
                    !EduSch::PeriodTouches(bgn, end, EduSch::DayOf(other->m_edu.m_begin),
                                           EduSch::DayOf(other->m_edu.m_end)))
                    continue;
                if (!oneToOne)
                    AddStatus(ST_STOP, &m_edu.m_begin, "有多个%s且日期重叠！", m_strName);
                else if (m_time.Overlaps(other->m_time))
                    AddStatus(ST_STOP, &m_edu.m_begin, "有多个%s且日期和时间重叠！", m_strName);
            }
        }
        if (m_nRcpRemained == 0)
            AddStatus(ST_WARN, &m_receipts, "%s已无课时，请提醒续费或结束其排课！", m_strName);
        else if (m_nRcpRemained < 0)
            AddStatus(ST_WARN, &m_receipts, "%s已超课时，请提醒续费或结束其排课！", m_strName);
    } else {
        AddStatus(ST_GRAY, nullptr, "已结课！");
    }
    return CXItem::Validate(user, bCheckDuplicates);
}

int CDBEduSchTeacher::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    if (GetStatus()) {
        if (const CDBEduSch* sch = GetEduSch()) {
            const int bgn = EduSch::DayOf(m_edu.m_begin), end = EduSch::DayOf(m_edu.m_end);
            for (const CDBEduSchTeacher* other : EduSch::Lines(sch->m_teachers)) {
                if (other == this || other == m_pEditOf || other->m_nID != m_nID ||
                    !EduSch::PeriodTouches(bgn, end, EduSch::DayOf(other->m_edu.m_begin),
                                           EduSch::DayOf(other->m_edu.m_end)))
                    continue;
                AddStatus(ST_STOP, &m_edu.m_begin, "有多个%s且日期重叠！", m_strName);
                break;
            }
        }
    } else {
        AddStatus(ST_GRAY, nullptr, "已结课！");
    }
    return CXItem::Validate(user, bCheckDuplicates);
}
