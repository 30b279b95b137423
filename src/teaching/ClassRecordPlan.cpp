#include "ClassRecordPlan.h"

#include "CDBEduRcd.h"
#include "TypedLines.h"
#include "TextUtils.h"

#include <QtCore/QHash>
#include <QtCore/QSet>

#include <cmath>

namespace {

int WholeDay(const XDateTime& date) { return static_cast<int>(std::floor(date.Day())); }

QSet<int> IdSet(const CXMap& query, int key)
{
    QList<int> ids;
    SplitInts(query.GetIdList(key), ids);
    return QSet<int>(ids.begin(), ids.end());
}

} // namespace

QList<int> PlanClassDays(int dateBgn, int dateEnd, int periodStart, int periodEnd)
{
    QList<int> days;
    if (dateBgn <= 0)
        return days;
    int start = dateBgn;
    if (periodStart > dateBgn) {
        const int shift = (XDateTime::WeekdayOfDay(dateBgn) - XDateTime::WeekdayOfDay(periodStart) + 7) % 7;
        start = periodStart + shift;
    }
    const int end = (dateEnd != 0 && periodEnd > dateEnd) ? dateEnd : periodEnd;
    for (int d = start; d <= end; d += 7)
        days.append(d);
    return days;
}

void GenerateClassRecords(const CXArray& timetables, int periodStart, int periodEnd, CXArray& result)
{
    for (const CXItem* item : timetables) {
        const auto* sch = static_cast<const CDBEduSch*>(item);
        const QList<int> days =
            PlanClassDays(WholeDay(sch->m_date.m_begin), WholeDay(sch->m_date.m_end), periodStart, periodEnd);
        for (int day : days) {
            auto* record = new CDBEduRcd;
            sch->CopyTo(&record->m_sch);
            record->m_sch.m_pArray = nullptr;
            record->m_nClassForm = sch->m_nClassForm;
            record->m_dtDate = XDateTime(static_cast<double>(day));
            record->AutoReset();
            result.AddAdopted(record);
        }
    }
}

void MergeStoredRecords(CXArray& result, CXArray& stored, const CXBase& designated)
{
    const auto designate = [&designated](CDBEduRcd* record) {
        record->m_student.CopyBase(designated);
        record->m_student.m_pArray = nullptr;
        record->m_student.m_nMduID = MDU_STUDENT;
    };
    QHash<QPair<int, int>, int> byKey; // (timetable, day) -> index in stored
    for (int i = 0; i < stored.GetSize(); ++i) {
        const auto* s = static_cast<const CDBEduRcd*>(stored.GetAt(i));
        if (s->m_sch.m_nID != 0)
            byKey.insert({s->m_sch.m_nID, WholeDay(s->m_dtDate)}, i);
    }
    std::vector<bool> used(static_cast<std::size_t>(stored.GetSize()), false);
    for (CXItem* item : result) {
        auto* record = static_cast<CDBEduRcd*>(item);
        designate(record);
        const auto found = byKey.constFind({record->m_sch.m_nID, WholeDay(record->m_dtDate)});
        if (found == byKey.constEnd() || used[static_cast<std::size_t>(*found)])
            continue;
        used[static_cast<std::size_t>(*found)] = true;
        const auto* s = static_cast<const CDBEduRcd*>(stored.GetAt(*found));
        record->m_nID = s->m_nID;
        record->m_nClassStatus = s->m_nClassStatus;
        record->m_nClassForm = s->m_nClassForm;
        record->m_timeSpan = s->m_timeSpan;
        record->m_strMemo = s->m_strMemo;
        record->m_strLocation = s->m_strLocation;
        record->m_created.CopyBase(s->m_created);
        record->m_modified.CopyBase(s->m_modified);
        record->m_printed.CopyBase(s->m_printed);
        record->m_notified.CopyBase(s->m_notified);
        for (const auto* line : Typed(s->m_teachers)) {
            CDBEduRcdTeacher* target = nullptr;
            for (auto* t : Typed(record->m_teachers))
                if (t->m_nID == line->m_nID)
                    target = t;
            if (target)
                line->CopyTo(target);
            else
                record->m_teachers.AddAdopted(line->CopyTo(nullptr));
        }
        for (const auto* line : Typed(s->m_students)) {
            CDBEduRcdStudent* target = nullptr;
            if (line->m_nSchSubID != 0)
                for (auto* g : Typed(record->m_students))
                    if (g->m_nSchSubID == line->m_nSchSubID)
                        target = g;
            if (target)
                line->CopyTo(target);
            else
                record->m_students.AddAdopted(line->CopyTo(nullptr));
        }
    }
    // what the plan no longer produces (and temporary records) stays as read
    for (int i = stored.GetSize() - 1; i >= 0; --i) {
        if (used[static_cast<std::size_t>(i)])
            stored.RemoveAt(i);
    }
    const int first = result.GetSize();
    while (!stored.IsEmpty()) {
        CXItem* left = stored.Detach(0);
        result.AddAdopted(left);
    }
    for (int i = first; i < result.GetSize(); ++i)
        designate(static_cast<CDBEduRcd*>(result.GetAt(i)));
}

XPlanKinds PlanKindsOf(const CXMap& query)
{
    XPlanKinds kinds;
    if (!query.Has(1072))
        return kinds;
    const bool temporary = query.ListHas(1072, 0), planned = query.ListHas(1072, 1);
    if (temporary != planned) {
        kinds.temporary = temporary;
        kinds.planned = planned;
    }
    return kinds;
}

void FilterClassRecords(CXArray& records, const CXMap& query)
{
    const auto has = [&query](int key) { return query.Has(key); };
    const QSet<int> ids = has(1) ? IdSet(query, 1) : QSet<int>();
    const QSet<int> notIds = has(2) ? IdSet(query, 2) : QSet<int>();
    const QSet<int> schs = has(MDU_EDUSCH) ? IdSet(query, MDU_EDUSCH) : QSet<int>();
    const QSet<int> teachers = has(MDU_TEACHER) ? IdSet(query, MDU_TEACHER) : QSet<int>();
    const QSet<int> students = has(MDU_STUDENT) ? IdSet(query, MDU_STUDENT) : QSet<int>();
    const QSet<int> receipts = has(MDU_RECEIPT) ? IdSet(query, MDU_RECEIPT) : QSet<int>();
    const QSet<int> states = has(1065) ? IdSet(query, 1065) : QSet<int>();
    const XPlanKinds kinds = PlanKindsOf(query);
    const auto keep = [&](const CDBEduRcd& r) {
        if (has(1) && !ids.contains(r.m_nID))
            return false;
        if (has(2) && r.m_nID != 0 && notIds.contains(r.m_nID))
            return false;
        if (has(MDU_EDUSCH) && !schs.contains(r.m_sch.m_nID))
            return false;
        if (has(MDU_TEACHER) && std::none_of(r.m_teachers.begin(), r.m_teachers.end(),
                                             [&](const CXItem* t) { return teachers.contains(t->m_nID); }))
            return false;
        if (has(MDU_STUDENT) && std::none_of(r.m_students.begin(), r.m_students.end(),
                                             [&](const CXItem* s) { return students.contains(s->m_nID); }))
            return false;
        if (has(MDU_RECEIPT) && std::none_of(r.m_students.begin(), r.m_students.end(), [&](const CXItem* s) {
                return receipts.contains(static_cast<const CDBEduRcdStudent*>(s)->m_receipt.m_nID);
            }))
            return false;
        if (has(1065) && !states.contains(r.m_nClassStatus))
            return false;
        return r.IsAuto() ? kinds.planned : kinds.temporary;
    };
    for (int i = records.GetSize() - 1; i >= 0; --i)
        if (!keep(*static_cast<const CDBEduRcd*>(records.GetAt(i))))
            records.RemoveAt(i);
}
