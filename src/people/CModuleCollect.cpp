#include "CModuleCollect.h"

#include "CXDBSession.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "TextUtils.h"
#include "XAppServices.h"

#include <mutex>

CModuleCollect::CModuleCollect()
{
    SetDefaultRightsWords(*this);
    const auto add = [this](auto&&... args) { m_options.push_back(std::make_unique<CXQueryOption>(args...)); };
    add(QUERY_FIND, ID_FIND_WHAT);
    add(QUERY_DATE, QKEY_DATE_FROM, 0, QStringLiteral("日期≥"));
    add(QUERY_DATE, QKEY_DATE_TO, 0, QStringLiteral("日期≤"));
    add(QUERY_ITEM, MDU_TEACHER, 0, QStringLiteral("经手人"));
}

QString CModuleCollect::GetKeyFormat() const
{
    XAppServices& app = AppServices();
    std::lock_guard lock(app.Mutex());
    const QString pattern = app.SetupValue(QStringLiteral("KeyFmtClc")).toString();
    return pattern.isEmpty() ? QStringLiteral("T[Y][nnnn]") : pattern;
}

void CModuleCollect::AddQuickQueries(CXArray& schemes)
{
    const XDateTime today = XDateTime::Today();
    const int year = today.Year();
    CXMap q;
    q.SetDate(QKEY_DATE_FROM, today.AddDays(-92));
    AddQueryScheme(schemes, q, 0, QStringLiteral("近三个月"), QStringLiteral("最近三个月开具的普通收据"), false);
    q.SetDate(QKEY_DATE_FROM, XDateTime(year, 1, 1));
    q.SetDate(QKEY_DATE_TO, XDateTime(year, 12, 31));
    AddQueryScheme(schemes, q, 0, QStringLiteral("今年"), QStringLiteral("今年开具的普通收据"), false);
    q.SetDate(QKEY_DATE_FROM, XDateTime(year - 1, 1, 1));
    q.SetDate(QKEY_DATE_TO, XDateTime(year - 1, 12, 31));
    AddQueryScheme(schemes, q, 0, QStringLiteral("去年"), QStringLiteral("去年开具的普通收据"), true);
    AddQueryScheme(schemes, q, 0, QStringLiteral("全部"), QStringLiteral("全部"), false);
}

void CModuleCollect::AddCollectConditions(QStringList& conditions, const CXMap& query)
{
    const auto day = [&query](int key) { return static_cast<int>(query.GetDate(key).Day()); };
    if (query.Has(QKEY_DATE_FROM))
        conditions << FormatString(u"PayDate>=%d", day(QKEY_DATE_FROM));
    if (query.Has(QKEY_DATE_TO))
        conditions << FormatString(u"PayDate<=%d", day(QKEY_DATE_TO));
    if (query.Has(MDU_TEACHER)) {
        // Links from the desktop, plain ID lists from the web: only integers reach the SQL.
        QList<int> ids;
        SplitInts(query.GetIdList(MDU_TEACHER), ids);
        conditions << (ids.isEmpty() ? QStringLiteral("1=0")
                                     : FormatString(u"ID IN (SELECT ItemID FROM TB_OPERLOG WHERE TypeID=%d AND "
                                                    u"MduID=%d AND UserMduID=%d AND UserID IN (%s))",
                                                    OPER_ADD, MDU_COLLECT, MDU_TEACHER, JoinInts(ids)));
    }
}

bool CModuleCollect::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    QStringList conditions;
    BuildQueryConditions(conditions, query);
    AddCollectConditions(conditions, query);
    CXDBSession session;
    session.Connect();
    if (!ReadItems(session, items, conditions, bNoImages, bExpectOne, nullptr, query.GetText(ID_FIND_WHAT)))
        return false;
    return bNoImages || ReadLinkTitles(session, items);
}
