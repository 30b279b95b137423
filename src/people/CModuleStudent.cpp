#include "CModuleStudent.h"

#include "CommandIds.h"
#include "CXAccessor.h"
#include "CodePages.h"
#include "OperLog.h"
#include "PersonLookups.h"
#include "CXDBSession.h"
#include "FormatString.h"
#include "IdentityChecks.h"
#include "Resources.h"
#include "StudentModule.h"
#include "TextUtils.h"

#include <algorithm>
#include <cmath>

namespace {

QString IntList(const QString& text)
{
    QList<int> ids;
    SplitInts(text, ids);
    return JoinInts(ids);
}

int FirstOfMonth(const XDateTime& date) { return static_cast<int>(XDateTime(date.Year(), date.Month(), 1).Day()); }

int FirstOfNextMonth(const XDateTime& date)
{
    return date.Month() == 12 ? static_cast<int>(XDateTime(date.Year() + 1, 1, 1).Day())
                              : static_cast<int>(XDateTime(date.Year(), date.Month() + 1, 1).Day());
}

} // namespace

QString CModuleStudent::CourseLineSql() { return PrepareSql(LoadResourceText(440, RT_SQL, CP_UTF8)); }

std::unique_ptr<CModule> CreateStudentModule() { return std::make_unique<CModuleStudent>(); }

CModuleStudent::CModuleStudent()
{
    SetDefaultRightsWords(*this);
    const XDateTime today = XDateTime::Today();
    const auto add = [this](auto&&... args) { m_options.push_back(std::make_unique<CXQueryOption>(args...)); };
    add(QUERY_FIND, 33208);
    add(QUERY_MONTH, 1047, 0, QStringLiteral("最近活动≥"), QString(), QString(), today);
    add(QUERY_MONTH, 1048, 0, QStringLiteral("最近活动≤"), QString(), QString(), today);
    add(QUERY_OPTION, 1200, 0, QStringLiteral("性别"), QStringLiteral("男|女"));
    add(QUERY_MONTH, 1034, 0, QStringLiteral("生日≥"), QString(), QString(), XDateTime(today.Day() - 6574.32));
    add(QUERY_MONTH, 1036, 0, QStringLiteral("生日≤"), QString(), QString(), XDateTime(today.Day() - 1095.72));
    add(QUERY_OPTION, 1201, 0, QStringLiteral("年级"), StudentGradeOptions());
    add(QUERY_OPTION, 1252, 0, QStringLiteral("登录"), QStringLiteral("禁止登录|允许登录"));
    add(QUERY_OPTION, 32903, 0, QStringLiteral("微信"), QStringLiteral("未绑定|已绑定"));
    add(QUERY_OPTION, 1065, 0, QStringLiteral("状态"), QStringLiteral("试听|停课|超期|上课|超课|结课|退费|登记"));
    add(QUERY_ITEM, 328);
    add(QUERY_HIDE, 1135);
    add(QUERY_HIDE, 1284);
}

void CModuleStudent::AddQuickQueries(CXArray& schemes)
{
    const XDateTime yearAgo(XDateTime::Today().Day() - 365);
    struct Scheme
    {
        const char* name;
        const char* memo;
        int key;
        const char* value; // null: the date a year ago
        bool separator;
    };
    static const Scheme table[] = {
        {"近一年有活动", "最近一年的有任何活动记录的学员", 1047, nullptr, false},
        {"近一年无活动", "最近一年的无任何活动记录的学员", 1048, nullptr, true},
        {"幼儿", "幼儿园或之前的学员", 1201, "0,1,2,3,4", false},
        {"小学生", "小学生学员", 1201, "5,6,7,8,9,10", false},
        {"中学生", "中学生学员", 1201, "11,12,13,14,15,16", false},
        {"大学生", "大学生学员", 1201, "17,18,19,20", false},
        {"社会人士", "已参加工作或退休的学员", 1201, "21", true},
        {"有未结课程", "有未结课（含停课、超期、上课、超课）课程的学员", 1065, "1,2,3,4", false},
        {"有已结课程", "有结课（含结课、退费）课程的学员", 1065, "5,6", false},
        {"有正常上课课程", "无超期、无超课正常上课的学员", 1065, "3", false},
        {"有试听课程", "有试听课程且未报名的学员", 1065, "0", false},
        {"有异常课程", "有异常状态（含停课、超期、超课、退费）课程的学员", 1065, "1,2,4,6", false},
        {"无记录", "未报名和未试听任何课程的学员", 1065, "7", true},
        {"全部", "全部", 0, nullptr, false},
    };
    for (const Scheme& s : table) {
        CXMap query;
        if (s.key && s.value)
            query.SetText(s.key, QString::fromUtf8(s.value));
        else if (s.key)
            query.SetDate(s.key, yearAgo);
        AddQueryScheme(schemes, query, 0, QString::fromUtf8(s.name), QString::fromUtf8(s.memo), s.separator);
    }
}

void CModuleStudent::AddStudentConditions(QStringList& conditions, const CXMap& query)
{
    if (query.Has(1047))
        conditions << FormatString(u"LastActive>=%d", FirstOfMonth(query.GetDate(1047)));
    // the whole last month, whatever activity code the day's fraction carries
    if (query.Has(1048))
        conditions << FormatString(u"LastActive<%d", FirstOfNextMonth(query.GetDate(1048)));
    if (query.Has(1200))
        conditions << FormatString(u"Sex=%d", query.GetInt(1200));
    if (query.Has(1034))
        conditions << FormatString(u"Birthday>=%d", FirstOfMonth(query.GetDate(1034)));
    if (query.Has(1036))
        conditions << FormatString(u"Birthday<=%d", FirstOfNextMonth(query.GetDate(1036)) - 1);
    if (query.Has(1201)) {
        const QString grades = IntList(query.GetText(1201));
        conditions << (grades.isEmpty() ? QStringLiteral("1=0") : FormatString(u"CurGrade IN (%s)", grades));
    }
    if (query.Has(1252))
        conditions << FormatString(u"IsEnabled=%d", query.GetInt(1252));

    QStringList lineConditions;
    QString statuses, courses;
    bool registered = false;
    if (query.Has(1065)) {
        QList<int> list;
        SplitInts(query.GetText(1065), list);
        registered = list.contains(7);
        statuses = JoinInts(list);
        lineConditions << (statuses.isEmpty() ? QStringLiteral("1=0") : FormatString(u"ItemStatus IN(%s)", statuses));
    }
    if (query.Has(328)) {
        courses = IntList(query.GetIdList(328));
        lineConditions << (courses.isEmpty() ? QStringLiteral("1=0") : FormatString(u"CourseID IN(%s)", courses));
    }
    QStringList either;
    if (!lineConditions.isEmpty())
        either << FormatString(u"ID IN (SELECT DISTINCT StudentID FROM (%s) WHERE(%s))", CourseLineSql(),
                               lineConditions.join(QStringLiteral(") AND (")));
    if (registered)
        either << FormatString(u"ID NOT IN (SELECT DISTINCT StudentID FROM (%s) %s)", CourseLineSql(),
                               courses.isEmpty() ? QString() : FormatString(u" WHERE CourseID IN(%s)", courses));
    if (!either.isEmpty())
        conditions << u'(' + either.join(QStringLiteral(") OR (")) + u')';

    if (query.Has(32903))
        conditions << FormatString(u"ID %s (SELECT DISTINCT UserID FROM TB_OPERLOG WHERE TypeID='OPER_LOGIN' AND "
                                   u"UserMduID='MDU_STUDENT' AND JLEFT(UserSession,3)='wx_')",
                                   QString::fromUtf8(query.GetInt(32903) ? "IN" : "NOT IN"));
}

bool CModuleStudent::AddLoginConditions(CXDBSession& session, QStringList& conditions, const CXMap& query)
{
    return AddPersonLoginConditions(session, conditions, query, MDU_STUDENT, QStringLiteral("TB_STUDENT"),
                                    QStringLiteral("读取学员"));
}

bool CModuleStudent::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    QStringList conditions;
    BuildQueryConditions(conditions, query);
    AddStudentConditions(conditions, query);
    CXDBSession session;
    session.Connect();
    if (!AddLoginConditions(session, conditions, query))
        return false;
    if (!ReadItems(session, items, conditions, bNoImages, bExpectOne, nullptr, query.GetText(ID_FIND_WHAT)))
        return false;
    return ReadLinkTitles(session, items);
}

int CModuleStudent::MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const
{
    const int base = CModule::MakeRelateQuery(items, command, query, user);
    if (base != 0)
        return base;
    QStringList links;
    bool available = false;
    double operMax = 0;
    for (const CXItem* item : items) {
        const auto* student = static_cast<const CDBStudent*>(item);
        const QString link = student->GetLink();
        if (!link.isEmpty() && !links.contains(link))
            links << link;
        switch (command) {
        case ID_REL_EDURCD:
            available = available || student->SumOf(&CDBStudentCourse::m_rcdTimes) > 0;
            break;
        case ID_REL_EDUSCH:
            available = available || student->SumOf(&CDBStudentCourse::m_SchAll) > 0;
            break;
        case ID_REL_RECEIPT:
            available = available || student->SumOf(&CDBStudentCourse::m_rcpPayTimes) > 0;
            break;
        case ID_REL_OPERLOG:
            operMax = std::max(operMax, student->m_oper.m_end.Day());
            break;
        default:
            return 0;
        }
    }
    query.SetText(MDU_STUDENT, links.join(u' '));
    if (command == ID_REL_OPERLOG) {
        if (operMax <= 0)
            return 0;
        query.SetDate(QKEY_DATE_FROM, XDateTime(std::floor(operMax) - 180));
        return 1;
    }
    return available ? 1 : 0;
}

QString CModuleStudent::GetItemTitleSql() const
{
    return QStringLiteral("SELECT S.ID, CASE WHEN R.RptCount>0 AND S.Petname<>'' THEN S.RealName||' ('||S.Petname||')' "
                          "ELSE S.RealName END AS ItemTitle "
                          "FROM TB_STUDENT AS S INNER JOIN (SELECT RealName, COUNT(*)-1 AS RptCount FROM TB_STUDENT "
                          "GROUP BY RealName) AS R "
                          "ON R.RealName=S.RealName");
}
