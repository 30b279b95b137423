#include "CModuleWages.h"

#include "CDBTeacher.h"
#include "CXDBSession.h"
#include "CommandIds.h"
#include "TextUtils.h"
#include "TypedLines.h"

#include <QtCore/QDate>

#include <cmath>
#include <set>

namespace {

int WholeDay(const XDateTime& date) { return static_cast<int>(std::floor(date.Day())); }
XDateTime DayOf(int day) { return XDateTime(static_cast<double>(day)); }
int FirstOfMonth(int day)
{
    const XDateTime d = DayOf(day);
    return day - d.DayOfMonth() + 1;
}
int LastOfMonth(int day)
{
    const XDateTime d = DayOf(day);
    return WholeDay(XDateTime::FromDate(QDate(d.Year(), d.Month(), 1).addMonths(1).addDays(-1)));
}
// The first day of the month after the one that begins on the day.
int NextMonth(int first)
{
    const int later = first + 32;
    return later - DayOf(later).DayOfMonth() + 1;
}

QList<int> IdsOf(const CXMap& query, int key)
{
    QList<int> ids;
    SplitInts(query.GetIdList(key), ids);
    return ids;
}

} // namespace

CModuleWages::CModuleWages()
{
    SetDefaultRightsWords(*this);
    const auto add = [this](auto&&... args) { m_options.push_back(std::make_unique<CXQueryOption>(args...)); };
    add(QUERY_MONTH, QKEY_DATE_FROM, 0, QStringLiteral("月份≥"));
    add(QUERY_MONTH, QKEY_DATE_TO, 0, QStringLiteral("月份≤"));
    add(QUERY_ITEM, MDU_TEACHER);
}

int CModuleWages::GetMaxQueryDate() const { return FirstOfMonth(WholeDay(XDateTime::Today()) + GetRcdAdvance()); }

void CModuleWages::AddQuickQueries(CXArray& schemes)
{
    const XDateTime today = XDateTime::Today();
    const int first = FirstOfMonth(WholeDay(today)), last = LastOfMonth(first);
    const int prevFirst = FirstOfMonth(first - 1);
    const auto dayOf = [](int y, int m, int d) { return WholeDay(XDateTime(y, m, d)); };
    CXMap q;
    const auto add = [&](const char* name, const char* memo, int from, int to) {
        q.SetDate(QKEY_DATE_FROM, DayOf(from));
        if (to)
            q.SetDate(QKEY_DATE_TO, DayOf(to));
        AddQueryScheme(schemes, q, 2, QString::fromUtf8(name), QString::fromUtf8(memo), false);
    };
    add("本月", "本月的教师工资", first, last);
    add("上月", "上月的教师工资", prevFirst, first - 1);
    add("近三个月", "最近三个月的教师工资", last - 70, 0);
    add("今年", "今年的教师工资", dayOf(today.Year(), 1, 1), dayOf(today.Year(), 12, 31));
    add("去年", "去年的教师工资", dayOf(today.Year() - 1, 1, 1), dayOf(today.Year() - 1, 12, 31));
}

int CModuleWages::MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const
{
    const int base = CModule::MakeRelateQuery(items, command, query, user);
    if (base != 0)
        return base;
    if (command != ID_REL_EDURCD)
        return -1;
    QList<int> teachers;
    bool hasRecords = false;
    const CDBWages* first = nullptr;
    for (const CXItem* item : items) {
        const auto* row = static_cast<const CDBWages*>(item);
        first = first ? first : row;
        hasRecords = hasRecords || !row->m_records.IsEmpty();
        if (!teachers.contains(row->m_nID))
            teachers << row->m_nID;
    }
    if (!hasRecords || !first)
        return -1;
    query.SetText(MDU_TEACHER, JoinInts(teachers));
    query.SetDate(QKEY_DATE_FROM, first->m_dtDate);
    query.SetDate(QKEY_DATE_TO, first->GetMonthEnd());
    return 1;
}

bool CModuleWages::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    Q_UNUSED(bNoImages);
    Q_UNUSED(bExpectOne);
    return LoadWages(items, query);
}

bool CModuleWages::LoadWages(CXArray& items, CXMap& query)
{
    // the period, as whole months, never past the month class records may be taken in
    const int maxDay = GetMaxQueryDate();
    int start = query.Has(QKEY_DATE_FROM) ? WholeDay(query.GetDate(QKEY_DATE_FROM)) : 0;
    int end = query.Has(QKEY_DATE_TO) ? WholeDay(query.GetDate(QKEY_DATE_TO)) : 0;
    if (end <= 0 || end > maxDay)
        end = maxDay;
    start = start > 0 ? FirstOfMonth(start) : 0;
    end = LastOfMonth(end);
    if (start > 0)
        query.SetDate(QKEY_DATE_FROM, DayOf(start));
    query.SetDate(QKEY_DATE_TO, DayOf(end));

    const bool named = query.Has(MDU_TEACHER);
    const QList<int> listed = IdsOf(query, MDU_TEACHER);
    const QString teacherIds = named ? (listed.isEmpty() ? QStringLiteral("NULL") : JoinInts(listed)) : QString();

    // The build reads on the calling thread's one connection: the UI thread's shared one, or
    // the worker's own, which each read below borrows in turn rather than opening another.
    CModule* teachers = FindModule(MDU_TEACHER);
    CModule* classes = FindModule(MDU_EDURCD);
    if (!teachers || !classes)
        return false;
    CXArrayT<CDBTeacherPay, true> pays;
    CXArrayT<CDBTeacherResume, true> resumes;
    {
        CXDBSession session;
        session.Connect();
        if (!teachers->ReadChildItems(session, XOFFSET(CDBTeacher, m_pays), teacherIds, pays, true) ||
            !teachers->ReadChildItems(session, XOFFSET(CDBTeacher, m_resumes), teacherIds, resumes, true))
            return false;
    }

    CXArrayT<CDBWages, true> rows;
    for (auto* pay : Typed(pays)) {
        pay->m_nID = pay->m_nParentID;
        pay->m_nMduID = MDU_TEACHER;
        const int begin = WholeDay(pay->m_validity.m_begin);
        const int validEnd = WholeDay(pay->m_validity.m_end);
        const int from = std::max(begin, start);
        const int to = validEnd == 0 || validEnd > end ? end : validEnd;
        for (int month = from; month <= to; month = NextMonth(FirstOfMonth(month))) {
            auto* row = rows.CreateTyped();
            row->m_nID = pay->m_nID;
            pay->CopyTo(&row->m_pay);
            row->m_dtDate = DayOf(month);
            rows.Add(row);
        }
    }
    const auto findRow = [&rows](int teacher, int month) -> CDBWages* {
        for (auto* row : Typed(rows))
            if (row->m_nID == teacher && WholeDay(row->m_dtDate) == month)
                return row;
        return nullptr;
    };

    CXMap classQuery;
    for (const auto& [key, text] : query)
        // keys 1 and 2 name wage rows (teachers), not class records
        if (key != QKEY_IDS && key != QKEY_NOT_IDS)
            classQuery.SetPlainText(key, text);
    CXArrayT<CDBEduRcd, true> records;
    if (!classes->QueryItems(records, classQuery, true, false))
        return false;
    for (const auto* record : Typed(records)) {
        std::set<int> attached;
        for (const auto* line : Typed(record->m_teachers)) {
            const int teacher = line->m_nID;
            // A query about some teachers builds no rows for whoever merely shared their
            // classes; a teacher named twice in one class is paid for it once.
            if ((named && !listed.contains(teacher)) || !attached.insert(teacher).second)
                continue;
            const int month = FirstOfMonth(WholeDay(record->m_dtDate));
            CDBWages* row = findRow(teacher, month);
            if (!row) {
                row = rows.CreateTyped();
                row->m_nID = teacher;
                row->m_pay.m_nID = teacher;
                row->m_pay.m_nParentID = teacher;
                row->m_dtDate = DayOf(month);
                rows.Add(row);
            }
            auto* copy = static_cast<CDBEduRcd*>(record->CopyTo(nullptr));
            copy->m_nTeacher = teacher;
            for (auto* t : Typed(copy->m_teachers))
                if (t->m_nID == teacher)
                    row->m_pay.CopyTo(&t->m_pay);
            row->m_records.AddAdopted(copy);
        }
    }

    for (auto* row : Typed(rows)) {
        row->m_dtLeave = XDateTime();
        for (const auto* line : Typed(resumes)) {
            if (line->m_nParentID != row->m_nID || !line->IsHere())
                continue;
            if (line->m_period.m_end.Day() == 0) {
                row->m_dtLeave = XDateTime();
                break;
            }
            if (line->m_period.m_end.Day() > row->m_dtLeave.Day())
                row->m_dtLeave = line->m_period.m_end;
        }
    }

    CXArray built(nullptr, false);
    for (int i = rows.GetSize() - 1; i >= 0; --i) {
        const CDBWages* row = rows[i];
        const bool left = row->m_dtLeave.Day() != 0 && WholeDay(row->m_dtLeave) < WholeDay(row->GetMonthEnd());
        if (row->m_records.IsEmpty() && (row->m_pay.m_fMonthlyPay == 0 || left))
            rows.RemoveAt(i);
    }
    // the conditions common to all modules: the rows have no table, so keys 1 and 2 (teacher
    // IDs here) filter the rows built
    const QList<int> only = query.Has(QKEY_IDS) ? IdsOf(query, QKEY_IDS) : QList<int>();
    const QList<int> except = query.Has(QKEY_NOT_IDS) ? IdsOf(query, QKEY_NOT_IDS) : QList<int>();
    const int first = items.GetSize();
    while (!rows.IsEmpty()) {
        CXItem* row = rows.Detach(0);
        if ((query.Has(QKEY_IDS) && !only.contains(row->m_nID)) || except.contains(row->m_nID)) {
            delete row;
            continue;
        }
        items.AddAdopted(row);
        built.Add(row);
    }
    CXDBSession session;
    session.Connect();
    const bool titled = ReadLinkTitles(session, built);
    for (CXItem* row : built)
        row->Validate(nullptr, false);
    if (!titled)
        while (items.GetSize() > first)
            items.RemoveAt(items.GetSize() - 1);
    return titled;
}
