#include "CModuleEduRcd.h"

#include "ClassRecordPlan.h"
#include "CXDBSession.h"
#include "FormatString.h"
#include "OperLog.h"
#include "Resources.h"
#include "CodePages.h"
#include "TextUtils.h"

#include <cmath>

namespace {

int WholeDay(const XDateTime& date) { return static_cast<int>(std::floor(date.Day())); }

// Only integers of a chosen list reach the SQL; an empty list finds nothing.
QString IdList(const CXMap& query, int key)
{
    QList<int> ids;
    SplitInts(query.GetIdList(key), ids);
    return ids.isEmpty() ? QStringLiteral("NULL") : JoinInts(ids);
}

int SingleId(const CXMap& query, int key)
{
    QList<int> ids;
    SplitInts(query.GetIdList(key), ids);
    return ids.size() == 1 ? ids.first() : 0;
}

} // namespace

CModuleEduRcd::CModuleEduRcd()
{
    SetDefaultRightsWords(*this);
    const auto add = [this](auto&&... args) { m_options.push_back(std::make_unique<CXQueryOption>(args...)); };
    add(QUERY_FIND, ID_FIND_WHAT);
    add(QUERY_DATE, 1047, 0, QStringLiteral("日期≥"));
    add(QUERY_DATE, 1048, 0, QStringLiteral("日期≤"));
    add(QUERY_OPTION, 1242, 0, QStringLiteral("星期"),
        QStringLiteral("星期一|星期二|星期三|星期四|星期五|星期六|星期日"), QStringLiteral("0|1|2|3|4|5|6"));
    add(QUERY_OPTION, 1254, 0, QStringLiteral("编制"), QStringLiteral("一对多|一对一"));
    // the values name the kinds themselves: 0 temporary, 1 planned
    add(QUERY_OPTION, 1072, 0, QStringLiteral("计划"), QStringLiteral("临时|计划"), QStringLiteral("0|1"));
    add(QUERY_OPTION, 1065, 0, QStringLiteral("状态"), QStringLiteral("待定|取消|正常"));
    add(QUERY_ITEM, MDU_COURSE);
    add(QUERY_ITEM, MDU_TEACHER);
    add(QUERY_ITEM, MDU_STUDENT);
    add(QUERY_ITEM, MDU_EDUSCH, 1);
    add(QUERY_ITEM, MDU_RECEIPT, 1);
}

int CModuleEduRcd::GetMaxQueryDate() const { return WholeDay(XDateTime::Today()) + GetRcdAdvance(); }

QString CModuleEduRcd::GetItemTitleSql() const { return LoadResourceText(445, RT_SQL, CP_UTF8); }

bool CModuleEduRcd::IsChildListQuery(const CXMap& query) const
{
    return query.Has(MDU_STUDENT) && SingleId(query, MDU_STUDENT) != 0;
}

void CModuleEduRcd::AddQuickQueries(CXArray& schemes)
{
    const XDateTime today = XDateTime::Today();
    const int day = WholeDay(today);
    const int monday = day - today.DayOfWeek();
    const int first = day - today.DayOfMonth() + 1;
    const QDate month(today.Year(), today.Month(), 1);
    const auto dayOf = [](const QDate& d) { return WholeDay(XDateTime::FromDate(d)); };
    const int last = dayOf(month.addMonths(1).addDays(-1));
    const int prevFirst = dayOf(month.addMonths(-1)), prevLast = first - 1;
    const int nextFirst = last + 1, nextLast = dayOf(month.addMonths(2).addDays(-1));
    const int maxDay = GetMaxQueryDate();
    CXMap q;
    const auto add = [&](const char* name, const char* memo, int from, int to, int users, bool separator) {
        // no scheme reaches past the days attendance may be taken in advance
        q.SetDate(1047, XDateTime(static_cast<double>(std::min(from, maxDay))));
        q.SetDate(1048, XDateTime(static_cast<double>(std::min(to, maxDay))));
        AddQueryScheme(schemes, q, users, QString::fromUtf8(name), QString::fromUtf8(memo), separator);
    };
    add("本周", "本周的课堂记录", monday, monday + 6, 2, false);
    add("上周", "上周的课堂记录", monday - 7, monday - 1, 2, false);
    add("下周", "下周的课堂记录", monday + 7, monday + 13, 2, true);
    add("本月", "本月的课堂记录", first, last, 1, false);
    add("上月", "上月的课堂记录", prevFirst, prevLast, 1, false);
    add("下月", "下月的课堂记录", nextFirst, nextLast, 1, true);
    add("今天", "今天的课堂记录", day, day, 0, false);
    add("明天", "明天的课堂记录", day + 1, day + 1, 0, false);
    add("昨天", "昨天的课堂记录", day - 1, day - 1, 0, false);
}

QStringList CModuleEduRcd::BuildConditions(const CXMap& query, int* designated) const
{
    QStringList conditions;
    BuildQueryConditions(conditions, query);
    if (query.Has(1047))
        conditions << FormatString(u"ClassDate>=%d", WholeDay(query.GetDate(1047)));
    int end = query.Has(1048) ? WholeDay(query.GetDate(1048)) : 0;
    if (end <= 0 || end > GetMaxQueryDate())
        end = GetMaxQueryDate();
    conditions << FormatString(u"ClassDate<=%d", end);
    if (query.Has(1242)) {
        QList<int> days;
        SplitInts(query.GetText(1242), days);
        conditions << (days.isEmpty()
                           ? QStringLiteral("1=0")
                           : FormatString(u"((CAST(ClassDate AS INTEGER) + 5) %% 7) IN (%s)", JoinInts(days)));
    }
    if (query.Has(MDU_RECEIPT))
        conditions << FormatString(u"ID IN (SELECT DISTINCT EduRcdID FROM TB_EDURCD_STUDENT WHERE ReceiptID IN (%s))",
                                   IdList(query, MDU_RECEIPT));
    if (query.Has(MDU_STUDENT)) {
        const QString ids = IdList(query, MDU_STUDENT);
        conditions << FormatString(
            u"(ID IN (SELECT DISTINCT EduRcdID FROM TB_EDURCD_STUDENT WHERE StudentID IN (%s)) OR "
            u"EduSchID IN (SELECT DISTINCT EduSchID FROM TB_EDUSCH_STUDENT WHERE StudentID IN (%s)))",
            ids, ids);
    }
    if (query.Has(MDU_TEACHER)) {
        const QString ids = IdList(query, MDU_TEACHER);
        conditions << FormatString(
            u"(ID IN (SELECT DISTINCT EduRcdID FROM TB_EDURCD_TEACHER WHERE TeacherID IN (%s)) OR "
            u"EduSchID IN (SELECT DISTINCT EduSchID FROM TB_EDUSCH_TEACHER WHERE TeacherID IN (%s)))",
            ids, ids);
    }
    if (query.Has(1254))
        conditions << FormatString(u"ClassForm=%d", query.GetInt(1254));
    if (query.Has(MDU_COURSE))
        conditions << FormatString(u"CourseID IN (%s)", IdList(query, MDU_COURSE));
    if (query.Has(MDU_EDUSCH))
        conditions << FormatString(u"EduSchID IN (%s)", IdList(query, MDU_EDUSCH));
    const XPlanKinds kinds = PlanKindsOf(query);
    if (!kinds.planned)
        conditions << QStringLiteral("EduSchID=0");
    else if (!kinds.temporary)
        conditions << QStringLiteral("EduSchID<>0");
    if (designated)
        *designated = query.Has(MDU_STUDENT) ? SingleId(query, MDU_STUDENT) : 0;
    return conditions;
}

CXMap CModuleEduRcd::TimetableQuery(const CXMap& query, int designated)
{
    CXMap result;
    for (const auto& [key, text] : query) {
        // the kind filter is this module's; key 2 names class records, never timetables
        if (key == 1072 || key == QKEY_NOT_IDS || key == 1047 || key == QKEY_IDS || key == MDU_EDUSCH)
            continue;
        result.SetPlainText(key, text);
    }
    if (query.Has(1047))
        result.SetDate(1126, query.GetDate(1047));
    if (query.Has(QKEY_IDS))
        result.SetPlainText(MDU_EDURCD, query.GetText(QKEY_IDS));
    if (query.Has(MDU_EDUSCH))
        result.SetPlainText(QKEY_IDS, query.GetIdList(MDU_EDUSCH));
    if (designated)
        result.SetPlainText(MDU_STUDENT, QString::number(designated));
    return result;
}

bool CModuleEduRcd::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    int designatedId = 0;
    const QStringList conditions = BuildConditions(query, &designatedId);
    XSqlNameMap names;
    if (designatedId)
        names[QStringLiteral("/*AND StudentID=?*/")] = FormatString(u"AND StudentID=%d", designatedId);

    CXDBSession session;
    session.Connect();
    CXArrayT<CDBEduRcd, true> stored;
    if (!ReadItems(session, stored, conditions, bNoImages, false, designatedId ? &names : nullptr,
                   query.GetText(ID_FIND_WHAT)))
        return false;

    const int first = items.GetSize();
    CXArrayT<CDBEduRcd, true> generated;
    if (PlanKindsOf(query).planned) {
        CModule* timetables = FindModule(MDU_EDUSCH);
        if (timetables) {
            CXArray schs(nullptr, true);
            if (!timetables->QueryItems(schs, TimetableQuery(query, designatedId), true, false))
                return false;
            int end = query.Has(1048) ? WholeDay(query.GetDate(1048)) : 0;
            if (end <= 0 || end > GetMaxQueryDate())
                end = GetMaxQueryDate();
            GenerateClassRecords(schs, query.Has(1047) ? WholeDay(query.GetDate(1047)) : 0, end, generated);
        }
    }
    CXBase designated;
    designated.m_nMduID = MDU_STUDENT;
    designated.m_nID = designatedId;
    MergeStoredRecords(generated, stored, designated);
    FilterClassRecords(generated, query);

    if (bExpectOne && generated.GetSize() != 1) {
        const CHeads* heads = GetHeads();
        ReportDbError(QStringLiteral("读取") + GetName(), nullptr,
                      generated.IsEmpty()
                          ? FormatString(u"未能读取一%s%s！", heads->m_strItemUnit, heads->m_strItemType)
                          : FormatString(u"只需读取一%s%s，却返回了多%s！", heads->m_strItemUnit, heads->m_strItemType,
                                         heads->m_strItemUnit));
        return false;
    }
    while (!generated.IsEmpty())
        items.AddAdopted(generated.Detach(0));
    CXArray added(nullptr, false);
    for (int i = first; i < items.GetSize(); ++i)
        added.Add(items.GetAt(i));
    const bool titled = ReadLinkTitles(session, added);
    // newest class first, as the date field sorts
    added.Sort(XDT, XOFFSET(CDBEduRcd, m_dtDate), true);
    for (int i = 0; i < added.GetSize(); ++i) {
        items.SetAt(first + i, added.GetAt(i));
        added.GetAt(i)->Validate(nullptr, false);
    }
    return titled;
}
