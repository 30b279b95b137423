#include "CModule.h"

#include "CDBPrjQuery.h"
#include "CXItem.h"
#include "FormatString.h"
#include "OperLog.h"
#include "XAppServices.h"

#include <QtCore/QDate>

namespace {

int DayOf(const CXMap& query, int key) { return static_cast<int>(query.GetDate(key).Day()); }

QDate ToDate(int day) { return XDateTime(static_cast<double>(day)).ToDate(); }
int FromDate(const QDate& date) { return static_cast<int>(XDateTime::FromDate(date).Day()); }

int LastOfMonth(int day)
{
    const QDate d = ToDate(day);
    return FromDate(QDate(d.year(), d.month(), d.daysInMonth()));
}
int FirstOfMonth(int day)
{
    const QDate d = ToDate(day);
    return FromDate(QDate(d.year(), d.month(), 1));
}
bool WholeMonths(int from, int to) { return from == FirstOfMonth(from) && to == LastOfMonth(to); }

CXMap WithRange(CXMap query, int from, int to)
{
    query.SetDate(QKEY_DATE_FROM, XDateTime(static_cast<double>(from)));
    query.SetDate(QKEY_DATE_TO, XDateTime(static_cast<double>(to)));
    return query;
}

} // namespace

QString CModule::GetQueryText(CXMap query, bool bName, bool bTerms)
{
    QStringList terms;
    if (query.Has(QKEY_IDS))
        terms << FormatString(u"[指定%s]", GetName());
    if (query.Has(QKEY_NOT_IDS))
        terms << FormatString(u"[排除已选%s]", GetName());
    for (const auto& option : m_options) {
        const QString term = option->GetQueryTerm(query);
        if (!term.isEmpty())
            terms << term;
    }
    const QString termText = terms.join(QLatin1Char(' '));

    QString text;
    if (bName) {
        if (termText.isEmpty()) {
            text = QStringLiteral("全部");
        } else {
            text = QStringLiteral("自定义查询");
            CXArray schemes(nullptr, true);
            GetQuerySchemes(schemes);
            for (const CXItem* item : schemes) {
                const auto* scheme = dynamic_cast<const CDBPrjQuery*>(item);
                if (scheme && CXMap(scheme->m_strRightData).IsEqual(query)) {
                    text = scheme->m_strName;
                    break;
                }
            }
        }
    }
    if (bTerms && !termText.isEmpty())
        text += QLatin1Char(' ') + termText;
    return text;
}

CXMap CModule::GetNextPeriod(CXMap query) const
{
    const int from = DayOf(query, QKEY_DATE_FROM), to = DayOf(query, QKEY_DATE_TO);
    if (from == 0 || to == 0 || to > GetMaxQueryDate())
        return CXMap();
    const int len = to - from + 1;
    if (WholeMonths(from, to))
        return WithRange(query, to + 1, LastOfMonth(to + len - 10));
    return WithRange(query, from + len, to + len);
}

CXMap CModule::GetPrevPeriod(CXMap query) const
{
    const int from = DayOf(query, QKEY_DATE_FROM), to = DayOf(query, QKEY_DATE_TO);
    if (from == 0)
        return CXMap();
    if (to == 0) {
        const int today = static_cast<int>(XClock::Today().Day());
        if (from >= today)
            return query;
        query.SetDate(QKEY_DATE_FROM, XDateTime(static_cast<double>(2 * from - today - 1)));
        query.SetDate(QKEY_DATE_TO, XDateTime(static_cast<double>(from - 1)));
        return query;
    }
    const int len = to - from + 1;
    if (WholeMonths(from, to))
        return WithRange(query, FirstOfMonth(from - len + 10), from - 1);
    return WithRange(query, from - len, to - len);
}

void CModule::ApplyQuery(const CXMap& query)
{
    if (!query.IsEqual(m_query)) {
        if (const CXItem* user = AppServices().User())
            WriteOperLog(OPER_QUERY, *user, m_nMduID, 0, GetQueryText(query, true, true), QString());
        m_query = query;
    }
    if (GetView()) {
        ActivateView();
        UpdateAllViews(0);
    } else {
        OpenDocument();
    }
}
