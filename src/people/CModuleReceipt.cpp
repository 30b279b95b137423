#include "CModuleReceipt.h"

#include "CModuleCourse.h"
#include "CXDBSession.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "TextUtils.h"
#include "XAppServices.h"

#include <QtCore/QVariant>

#include <set>

namespace {

// The chosen choices of an option key, each choice's condition in parentheses, joined by OR.
QString ChoiceConditions(const CXMap& query, int key, std::initializer_list<const char*> choices)
{
    QList<int> chosen;
    SplitInts(query.GetText(key), chosen);
    QStringList parts;
    int index = 0;
    for (const char* condition : choices) {
        if (chosen.contains(index))
            parts << u'(' + QString::fromUtf8(condition) + u')';
        ++index;
    }
    return parts.isEmpty() ? QStringLiteral("1=0") : u'(' + parts.join(QStringLiteral(" OR ")) + u')';
}

// Only integers of a chosen ID list reach the SQL (links from the desktop, plain lists from
// the web); an empty list finds nothing.
QString IdCondition(const CXMap& query, int key, QStringView format)
{
    QList<int> ids;
    SplitInts(query.GetIdList(key), ids);
    return ids.isEmpty() ? QStringLiteral("1=0") : FormatString(format, JoinInts(ids));
}

} // namespace

CModuleReceipt::CModuleReceipt()
{
    SetDefaultRightsWords(*this);
    const auto add = [this](auto&&... args) { m_options.push_back(std::make_unique<CXQueryOption>(args...)); };
    add(QUERY_FIND, ID_FIND_WHAT);
    add(QUERY_DATE, 1047, 0, QStringLiteral("日期 ≥"));
    add(QUERY_DATE, 1048, 0, QStringLiteral("日期 ≤"));
    add(QUERY_ITEM, MDU_STUDENT);
    add(QUERY_ITEM, MDU_COURSE);
    add(QUERY_ITEM, MDU_CHARGE);
    add(QUERY_OPTION, 1015, 0, QStringLiteral("调整"),
        QStringLiteral("无调整|有折扣|调整价格|调整课时|有礼品|调整有效期|调整开课日期"));
    add(QUERY_OPTION, 1025, 0, QStringLiteral("后期变更"), QStringLiteral("无变更|变更价格|变更课时|变更有效期|退费"));
    add(QUERY_OPTION, 1065, 0, QStringLiteral("状态"), QStringLiteral("|停课|超期|上课|超课|结课|退费"));
    add(QUERY_ITEM, MDU_TEACHER, 0, QStringLiteral("经手人"));
}

QString CModuleReceipt::GetKeyFormat() const
{
    const QVariant pattern = AppServices().SetupValue(QStringLiteral("KeyFmtRcp"));
    return pattern.isValid() ? pattern.toString() : QStringLiteral("B[Y][nnnn]");
}

void CModuleReceipt::AddQuickQueries(CXArray& schemes)
{
    const XDateTime today = XDateTime::Today();
    const int day = static_cast<int>(today.Day());
    const XDateTime monday = WeekMonday(today);
    const XDateTime first(static_cast<double>(day - today.DayOfMonth() + 1));
    const XDateTime lastMonthEnd(first.Day() - 1);
    const XDateTime lastMonthFirst(lastMonthEnd.Day() - lastMonthEnd.DayOfMonth() + 1);
    const int year = today.Year();
    CXMap q;
    const auto range = [&](const XDateTime& from, const XDateTime& to) {
        q.SetDate(1047, from);
        q.SetDate(1048, to);
    };
    const auto add = [&](const char* name, const char* memo, bool separator, int users = 0) {
        AddQueryScheme(schemes, q, users, QString::fromUtf8(name), QString::fromUtf8(memo), separator);
    };
    q.SetDate(1047, today.AddDays(-31));
    add("近一个月", "最近一个月开具的报名收据", false);
    range(today.AddDays(-2), today);
    add("近三天", "最近三天开具的报名收据", false);
    range(today, today);
    add("今天", "今天开具的报名收据", false);
    range(monday, monday.AddDays(6));
    add("本周", "本周开具的报名收据", false);
    range(monday.AddDays(-7), monday.AddDays(-1));
    add("上周", "上周开具的报名收据", false);
    range(first, MonthLastDay(today));
    add("本月", "本月开具的报名收据", false);
    range(lastMonthFirst, lastMonthEnd);
    add("上月", "上月开具的报名收据", false);
    range(XDateTime(year, 1, 1), XDateTime(year, 12, 31));
    add("今年", "今年开具的报名收据", false);
    range(XDateTime(year - 1, 1, 1), XDateTime(year - 1, 12, 31));
    add("去年", "去年开具的报名收据", true);
    q.SetText(1065, QStringLiteral("1,2,4"));
    add("异常", "停课、超期、超课的收据", false);
    add("全部", "全部", false, 1);
}

void CModuleReceipt::AddReceiptConditions(QStringList& conditions, const CXMap& query)
{
    const auto day = [&query](int key) { return static_cast<int>(query.GetDate(key).Day()); };
    if (query.Has(1047))
        conditions << FormatString(u"PayDate>=%d", day(1047));
    if (query.Has(1048))
        conditions << FormatString(u"PayDate<=%d", day(1048));
    if (query.Has(MDU_STUDENT))
        conditions << IdCondition(query, MDU_STUDENT, u"StudentID IN (%s)");
    if (query.Has(MDU_COURSE))
        conditions << IdCondition(query, MDU_COURSE,
                                  u"ChargeID IN (SELECT ChargeID FROM TB_CHARGE_COURSE WHERE CourseID IN(%s))");
    if (query.Has(MDU_CHARGE))
        conditions << IdCondition(query, MDU_CHARGE, u"ChargeID IN (%s)");
    if (query.Has(1015))
        conditions << ChoiceConditions(
            query, 1015,
            {"AdjDcnt=0 AND AdjPrice=0 AND AdjLsn=0 AND AdjBgn=0 AND AdjValid=0 AND AdjGift=0", "AdjDcnt\t<>0",
             "AdjPrice\t<>0", "AdjLsn\t<>0", "AdjGift\t<>0", "AdjValid\t<>0", "AdjBgn\t<>0"});
    if (query.Has(1025))
        conditions << ChoiceConditions(query, 1025,
                                       {"AltPrice=0 AND AltLesson=0 AND AltValid=0 AND AltRtr=0", "AltPrice\t<>0",
                                        "AltLesson<>0", "AltValid\t<>0", "AltRtr\t<>0"});
    if (query.Has(1065)) {
        QList<int> states;
        SplitInts(query.GetText(1065), states);
        conditions << (states.isEmpty() ? QStringLiteral("1=0")
                                        : FormatString(u"ItemStatus IN (%s)", JoinInts(states)));
    }
    if (query.Has(MDU_TEACHER))
        conditions << IdCondition(
            query, MDU_TEACHER,
            FormatString(u"ID IN (SELECT ItemID FROM TB_OPERLOG WHERE TypeID=%d AND MduID=%d AND UserMduID=%d AND "
                         u"UserID IN (%%s))",
                         OPER_ADD, MDU_RECEIPT, MDU_TEACHER));
}

bool CModuleReceipt::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    QStringList conditions;
    BuildQueryConditions(conditions, query);
    AddReceiptConditions(conditions, query);
    CXDBSession session;
    session.Connect();
    return ReadItems(session, items, conditions, bNoImages, bExpectOne, nullptr, query.GetText(ID_FIND_WHAT)) &&
           ReadLinkTitles(session, items);
}

int CModuleReceipt::MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const
{
    const int base = CModule::MakeRelateQuery(items, command, query, user);
    if (base != 0)
        return base;
    switch (command) {
    case ID_REL_CHARGE: {
        QList<int> ids;
        for (const CXItem* item : items) {
            const int id = static_cast<const CDBReceipt*>(item)->m_charge.m_nID;
            if (id && !ids.contains(id))
                ids << id;
        }
        if (ids.isEmpty())
            return -1;
        query.SetText(QKEY_IDS, JoinInts(ids));
        return 1;
    }
    case ID_REL_EDURCD: {
        bool consumed = false;
        for (const CXItem* item : items)
            consumed = consumed || static_cast<const CDBReceipt*>(item)->m_nCountIn != 0;
        if (!consumed)
            return -1;
        query.SetText(MDU_RECEIPT, ItemLinks(items));
        return 1;
    }
    case ID_REL_EDUSCH: {
        if (items.GetSize() != 1)
            return -1;
        const auto* receipt = static_cast<const CDBReceipt*>(items.GetAt(0));
        if (receipt->m_nSchAll <= 0)
            return -1;
        query.SetText(MDU_STUDENT, receipt->m_student.GetLink());
        query.SetText(MDU_COURSE, ItemLinks(receipt->m_courses));
        return 1;
    }
    default:
        return -1;
    }
}
