#include "CModuleCourse.h"

#include "CXDBSession.h"
#include "CommandIds.h"
#include "FormatString.h"

#include <cmath>

XDateTime WeekMonday(const XDateTime& day)
{
    // Day numbers count from a Saturday (day 0), so (day + 5) mod 7 is the days since Monday.
    const int n = static_cast<int>(std::floor(day.Day()));
    return XDateTime(static_cast<double>(n - ((n + 5) % 7)));
}

XDateTime MonthLastDay(const XDateTime& day)
{
    const int n = static_cast<int>(std::floor(day.Day()));
    const int first = n - day.DayOfMonth() + 1;
    // 32 days after the first always lies in the next month; stepping back by its day of
    // the month lands on the last day of this one.
    const XDateTime next(static_cast<double>(first + 32));
    return XDateTime(static_cast<double>(first + 32 - next.DayOfMonth()));
}

QString ItemLinks(const CXArray& items)
{
    QStringList links;
    for (const CXItem* item : items) {
        const QString link = item->GetLink();
        if (!link.isEmpty() && !links.contains(link))
            links.append(link);
    }
    return links.join(u' ');
}

CModuleCourse::CModuleCourse()
{
    SetDefaultRightsWords(*this);
    m_options.push_back(std::make_unique<CXQueryOption>(QUERY_FIND, ID_FIND_WHAT));
    m_options.push_back(std::make_unique<CXQueryOption>(QUERY_OPTION, IDC_ENABLED, 0, QStringLiteral("启用"),
                                                        QStringLiteral("停用|启用")));
}

void CModuleCourse::AddQuickQueries(CXArray& schemes)
{
    CXMap query;
    query.SetText(IDC_ENABLED, QStringLiteral("1"));
    AddQueryScheme(schemes, query, 0, QStringLiteral("启用"), QStringLiteral("启用的课程"), false);
    query.SetText(IDC_ENABLED, QStringLiteral("0"));
    AddQueryScheme(schemes, query, 0, QStringLiteral("停用"), QStringLiteral("已停用的课程"), true);
    AddQueryScheme(schemes, query, 0, QStringLiteral("全部"), QStringLiteral("全部"), false);
}

void CModuleCourse::AddCourseConditions(QStringList& conditions, const CXMap& query)
{
    if (query.Has(IDC_ENABLED))
        conditions << FormatString(u"IsEnabled=%d", query.GetInt(IDC_ENABLED) ? 1 : 0);
}

bool CModuleCourse::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    QStringList conditions;
    BuildQueryConditions(conditions, query);
    AddCourseConditions(conditions, query);
    CXDBSession session;
    session.Connect();
    if (!ReadItems(session, items, conditions, bNoImages, bExpectOne, nullptr, query.GetText(ID_FIND_WHAT)))
        return false;
    return bNoImages || ReadLinkTitles(session, items);
}

int CModuleCourse::MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const
{
    const int base = CModule::MakeRelateQuery(items, command, query, user);
    if (base != 0)
        return base;
    bool offered = false;
    for (const CXItem* item : items) {
        const auto* course = static_cast<const CDBCourse*>(item);
        switch (command) {
        case ID_REL_CHARGE:
        case ID_REL_RECEIPT:
            offered = offered || course->m_nChgAll;
            break;
        case ID_REL_EDURCD:
            offered = offered || course->m_nRcdAll;
            break;
        case ID_REL_EDUSCH:
            offered = offered || course->m_nSchAll;
            break;
        case ID_REL_TEACHER:
            offered = offered || course->m_nChgAll || course->m_nRcdAll || course->m_nSchAll;
            break;
        default:
            return 0;
        }
    }
    if (!offered)
        return -1;
    const XDateTime today = XDateTime::Today();
    query.SetText(MDU_COURSE, ItemLinks(items));
    if (command == ID_REL_EDURCD) {
        const XDateTime monday = WeekMonday(today);
        query.SetDate(QKEY_DATE_FROM, monday);
        query.SetDate(QKEY_DATE_TO, monday.AddDays(6));
    } else if (command == ID_REL_RECEIPT) {
        query.SetDate(QKEY_DATE_FROM, today.AddDays(1 - today.DayOfMonth()));
        query.SetDate(QKEY_DATE_TO, MonthLastDay(today));
    }
    return 1;
}
