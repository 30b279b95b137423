#include "CModuleCharge.h"

#include "CModuleCourse.h"
#include "CXDBSession.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "TextUtils.h"

CModuleCharge::CModuleCharge()
{
    SetDefaultRightsWords(*this);
    const auto add = [this](auto&&... args) { m_options.push_back(std::make_unique<CXQueryOption>(args...)); };
    add(QUERY_FIND, ID_FIND_WHAT);
    add(QUERY_MONTH, 1047, 0, QStringLiteral("生效日期≥"));
    add(QUERY_MONTH, 1048, 0, QStringLiteral("生效日期≤"));
    add(QUERY_MONTH, 1126, 0, QStringLiteral("截止日期≥"));
    add(QUERY_MONTH, 1127, 0, QStringLiteral("截止日期≤"));
    add(QUERY_ITEM, MDU_COURSE);
    add(QUERY_OPTION, 1038, 0, QStringLiteral("计费方式"), QStringLiteral("计次|定期"));
    add(QUERY_OPTION, 1042, 0, QStringLiteral("排课方式"), QStringLiteral("长期|短期"));
    add(QUERY_OPTION, 1253, 0, QStringLiteral("报名"), QStringLiteral("无报名|有报名"));
}

void CModuleCharge::AddQuickQueries(CXArray& schemes)
{
    const XDateTime today = XDateTime::Today();
    const XDateTime tomorrow = today.AddDays(1);
    CXMap q;
    const auto onSale = [&] {
        q.SetDate(1048, today);
        q.SetDate(1126, tomorrow);
    };
    const auto add = [&](const QString& name, const QString& memo, bool separator) {
        AddQueryScheme(schemes, q, 0, name, memo, separator);
    };
    onSale();
    add(QStringLiteral("可报名"), QStringLiteral("可报名（生效日期在今天及之前、截止日期在明天及之后）的课时包"),
        false);
    q.SetDate(1127, today);
    add(QStringLiteral("已截止"), QStringLiteral("已截止（截止日期在今天及之前）的课时包"), false);
    q.SetDate(1126, tomorrow);
    add(QStringLiteral("未截止"), QStringLiteral("未截止（截止日期在明天及之后）的课时包"), false);
    q.SetDate(1047, tomorrow);
    add(QStringLiteral("未生效"), QStringLiteral("未生效（生效日期在明天及之后）的课时包"), true);
    q.SetDate(1126, today.AddDays(-30));
    add(QStringLiteral("近一个月"), QStringLiteral("最近一个月内截止或未截止的课时包"), false);
    q.SetDate(1126, today.AddDays(-91));
    add(QStringLiteral("近三个月"), QStringLiteral("最近三个月内截止或未截止的课时包"), true);
    q.SetText(1038, QStringLiteral("0"));
    onSale();
    add(QStringLiteral("可报名计次收费课程"), QStringLiteral("当前可报名的计费方式是计次的课时包"), false);
    q.SetText(1038, QStringLiteral("1"));
    onSale();
    add(QStringLiteral("可报名定期收费课程"), QStringLiteral("当前可报名的计费方式是定期的课时包"), true);
    q.SetText(1042, QStringLiteral("0"));
    onSale();
    add(QStringLiteral("可报名长期排课课程"), QStringLiteral("当前可报名的排课方式是长期的课时包"), false);
    q.SetText(1042, QStringLiteral("1"));
    onSale();
    add(QStringLiteral("可报名短期排课课程"), QStringLiteral("当前可报名的排课方式是短期的课时包"), true);
    add(QStringLiteral("全部"), QStringLiteral("全部"), false);
}

void CModuleCharge::AddChargeConditions(QStringList& conditions, const CXMap& query)
{
    const auto day = [&query](int key) { return static_cast<int>(query.GetDate(key).Day()); };
    if (query.Has(1047))
        conditions << FormatString(u"CheckBgn>=%d", day(1047));
    if (query.Has(1048))
        conditions << FormatString(u"CheckBgn<=%d", day(1048));
    if (query.Has(1126))
        conditions << FormatString(u"(CheckEnd=0 OR CheckEnd>=%d)", day(1126));
    if (query.Has(1127))
        conditions << FormatString(u"(CheckEnd<>0 AND CheckEnd<=%d)", day(1127));
    if (query.Has(MDU_COURSE)) {
        // Links from the desktop, plain ID lists from the web: only integers reach the SQL.
        QList<int> ids;
        SplitInts(query.GetIdList(MDU_COURSE), ids);
        conditions << (ids.isEmpty()
                           ? QStringLiteral("1=0")
                           : FormatString(
                                 u"ID IN (SELECT DISTINCT ChargeID FROM TB_CHARGE_COURSE WHERE CourseID IN (%s))",
                                 JoinInts(ids)));
    }
    if (query.Has(1038))
        conditions << FormatString(u"ClassType=%d", query.GetInt(1038));
    if (query.Has(1042))
        conditions << FormatString(u"FixedDate=%d", query.GetInt(1042));
    if (query.Has(1253))
        conditions << (query.GetInt(1253) ? QStringLiteral("rcpPayTimes IS NOT NULL")
                                          : QStringLiteral("rcpPayTimes IS NULL"));
}

bool CModuleCharge::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    QStringList conditions;
    BuildQueryConditions(conditions, query);
    AddChargeConditions(conditions, query);
    CXDBSession session;
    session.Connect();
    if (!ReadItems(session, items, conditions, bNoImages, bExpectOne, nullptr, query.GetText(ID_FIND_WHAT)))
        return false;
    return bNoImages || ReadLinkTitles(session, items);
}

int CModuleCharge::MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const
{
    const int base = CModule::MakeRelateQuery(items, command, query, user);
    if (base != 0 || command != ID_REL_RECEIPT)
        return base;
    bool sold = false;
    for (const CXItem* item : items)
        sold = sold || static_cast<const CDBCharge*>(item)->m_nRcpPayTimes;
    if (!sold)
        return -1;
    query.SetText(MDU_CHARGE, ItemLinks(items));
    return 1;
}
