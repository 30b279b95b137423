#include "CModuleTeacher.h"

#include "CXDBSession.h"
#include "CodePages.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "PersonLookups.h"
#include "Resources.h"
#include "SqlPrepare.h"
#include "TeacherModule.h"

#include <algorithm>
#include <cmath>

namespace {

int DayOf(const XDateTime& date) { return static_cast<int>(std::floor(date.Day())); }
int FirstOfMonth(const XDateTime& date) { return DayOf(XDateTime(date.Year(), date.Month(), 1)); }
int LastOfMonth(const XDateTime& date)
{
    return date.Month() == 12 ? DayOf(XDateTime(date.Year() + 1, 1, 1)) - 1
                              : DayOf(XDateTime(date.Year(), date.Month() + 1, 1)) - 1;
}

// The latest end of a teacher's employment lines here, an open line (0) counting as the
// largest: without folding, a rehired teacher's old closed line would end the new one.
const char16_t* const kEmploymentEnd = u"MAX(CASE WHEN DateEnd=0 THEN 999999 ELSE DateEnd END)";

} // namespace

std::unique_ptr<CModule> CreateTeacherModule() { return std::make_unique<CModuleTeacher>(); }

QString CModuleTeacher::TeacherCourseSql() { return PrepareSql(LoadResourceText(442, RT_SQL, CP_UTF8)); }

CModuleTeacher::CModuleTeacher()
{
    SetDefaultRightsWords(*this);
    const XDateTime today = XDateTime::Today();
    const XDateTime twentyYearsAgo(today.Day() - 20 * 365.24);
    const auto add = [this](auto&&... args) { m_options.push_back(std::make_unique<CXQueryOption>(args...)); };
    add(QUERY_FIND, ID_FIND_WHAT);
    add(QUERY_OPTION, 1200, 0, QStringLiteral("性别"), QStringLiteral("男|女"));
    add(QUERY_MONTH, 1034, 0, QStringLiteral("生日≥"), QString(), QString(), twentyYearsAgo);
    add(QUERY_MONTH, 1036, 0, QStringLiteral("生日≤"), QString(), QString(), twentyYearsAgo);
    add(QUERY_MONTH, 1047, 0, QStringLiteral("入职日期≥"), QString(), QString(), today);
    add(QUERY_MONTH, 1048, 0, QStringLiteral("入职日期≤"), QString(), QString(), today);
    add(QUERY_MONTH, 1126, 0, QStringLiteral("离职日期≥"), QString(), QString(), today);
    add(QUERY_MONTH, 1127, 0, QStringLiteral("离职日期≤"), QString(), QString(), today);
    add(QUERY_OPTION, 1160, 0, QStringLiteral("角色"), QStringLiteral("普通用户|操作员|管理员"));
    add(QUERY_OPTION, 1252, 0, QStringLiteral("登录"), QStringLiteral("禁止登录|允许登录"));
    add(QUERY_OPTION, 32903, 0, QStringLiteral("微信"), QStringLiteral("未绑定|已绑定"));
    add(QUERY_OPTION, 1070, 0, QStringLiteral("类型"), QStringLiteral("社会人才|在校学生"));
    add(QUERY_OPTION, 1201, 0, QStringLiteral("阶段"), TeacherStageOptions());
    add(QUERY_ITEM, MDU_COURSE);
    add(QUERY_HIDE, 1135);
    add(QUERY_HIDE, 1284);
}

void CModuleTeacher::AddQuickQueries(CXArray& schemes)
{
    const XDateTime today = XDateTime::Today();
    const XDateTime tomorrow(DayOf(today) + 1);
    const auto employedIn = [&](int yearsAgo, const char* name, const char* memo, bool separator) {
        CXMap query;
        query.SetDate(1048, XDateTime(today.Year() - yearsAgo, 12, 31));
        query.SetDate(1126, XDateTime(today.Year() - yearsAgo, 1, 1));
        AddQueryScheme(schemes, query, 0, QString::fromUtf8(name), QString::fromUtf8(memo), separator);
    };
    CXMap query;
    query.SetDate(1126, tomorrow);
    AddQueryScheme(schemes, query, 0, QStringLiteral("在职"), QStringLiteral("未离职或离职日期在今天之后的教师"),
                   false);
    query.SetDate(1127, today);
    AddQueryScheme(schemes, query, 0, QStringLiteral("离职"), QStringLiteral("离职日期在今天及之前的教师"), false);
    employedIn(0, "今年在职", "今年在职的教师", false);
    employedIn(1, "去年在职", "去年在职的教师", false);
    employedIn(2, "前年在职", "前年在职的教师", true);
    query.SetDate(1126, tomorrow);
    query.SetText(1160, QStringLiteral("1,2"));
    AddQueryScheme(schemes, query, 0, QStringLiteral("操作员或管理员"), QStringLiteral("在职操作员或管理员"), true);
    AddQueryScheme(schemes, query, 0, QStringLiteral("全部"), QStringLiteral("全部"), false);
}

void CModuleTeacher::AddTeacherConditions(QStringList& conditions, const CXMap& query)
{
    const auto list = [&](int key, const char16_t* format) {
        const QString ints = IntListText(query.GetText(key));
        conditions << (ints.isEmpty() ? QStringLiteral("1=0") : FormatString(format, ints));
    };
    if (query.Has(1200))
        conditions << FormatString(u"Sex=%d", query.GetInt(1200));
    if (query.Has(1034))
        conditions << FormatString(u"Birthday>=%d", FirstOfMonth(query.GetDate(1034)));
    if (query.Has(1036))
        conditions << FormatString(u"Birthday<=%d", LastOfMonth(query.GetDate(1036)));

    QStringList having;
    if (query.Has(1047))
        having << FormatString(u"MIN(DateBgn)>=%d", DayOf(query.GetDate(1047)));
    if (query.Has(1048))
        having << FormatString(u"MIN(DateBgn)<=%d", DayOf(query.GetDate(1048)));
    if (query.Has(1126))
        having << FormatString(u"%s=999999 OR %s>=%d", kEmploymentEnd, kEmploymentEnd, DayOf(query.GetDate(1126)));
    if (query.Has(1127))
        having << FormatString(u"%s<>999999 AND %s<=%d", kEmploymentEnd, kEmploymentEnd, DayOf(query.GetDate(1127)));
    if (!having.isEmpty())
        conditions << FormatString(u"ID IN(SELECT TeacherID FROM TB_TEACHER_RESUME WHERE LEN(Unit)=0 AND Stage>=7 "
                                   u"GROUP BY TeacherID HAVING (%s))",
                                   having.join(QStringLiteral(") AND (")));

    if (query.Has(1070))
        conditions << FormatString(u"ID %s (SELECT DISTINCT TeacherID FROM TB_TEACHER_RESUME WHERE Stage<=6 AND "
                                   u"CAST(DateEnd AS INTEGER)>%d)",
                                   QString::fromUtf8(query.GetInt(1070) ? "IN" : "NOT IN"), DayOf(XDateTime::Today()));
    if (query.Has(1201))
        list(1201, u"ID IN (SELECT DISTINCT TeacherID FROM TB_TEACHER_RESUME WHERE Stage<=6 GROUP BY TeacherID "
                   u"HAVING MAX(Stage) IN (%s))");
    if (query.Has(MDU_COURSE)) {
        const QString courses = IntListText(query.GetIdList(MDU_COURSE));
        conditions << (courses.isEmpty() ? QStringLiteral("1=0")
                                         : FormatString(u"ID IN (SELECT DISTINCT TeacherID FROM (%s) WHERE CourseID "
                                                        u"IN (%s))",
                                                        TeacherCourseSql(), courses));
    }
    if (query.Has(1160))
        list(1160, u"RightRole IN (%s)");
    if (query.Has(1252))
        conditions << FormatString(u"IsEnabled=%d", query.GetInt(1252));
    if (query.Has(32903))
        conditions << FormatString(u"ID %s (SELECT DISTINCT UserID FROM TB_OPERLOG WHERE TypeID='OPER_LOGIN' AND "
                                   u"UserMduID='MDU_TEACHER' AND JLEFT(UserSession,3)='wx_')",
                                   QString::fromUtf8(query.GetInt(32903) ? "IN" : "NOT IN"));
}

bool CModuleTeacher::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    QStringList conditions;
    BuildQueryConditions(conditions, query);
    AddTeacherConditions(conditions, query);
    CXDBSession session;
    session.Connect();
    if (!AddPersonLoginConditions(session, conditions, query, MDU_TEACHER, QStringLiteral("TB_TEACHER"),
                                  QStringLiteral("读取教师")))
        return false;
    if (!ReadItems(session, items, conditions, bNoImages, bExpectOne, nullptr, query.GetText(ID_FIND_WHAT)))
        return false;
    return ReadLinkTitles(session, items);
}

int CModuleTeacher::MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const
{
    const int base = CModule::MakeRelateQuery(items, command, query, user);
    if (base != 0)
        return base;
    QStringList links;
    bool available = false;
    double operMax = 0;
    for (const CXItem* item : items) {
        const auto* teacher = static_cast<const CDBTeacher*>(item);
        const QString link = teacher->GetLink();
        if (!link.isEmpty() && !links.contains(link))
            links << link;
        switch (command) {
        case ID_REL_EDURCD:
            available = available || teacher->m_nRcdCountIn > 0;
            break;
        case ID_REL_EDUSCH:
            available = available || teacher->m_nSchAll != 0;
            break;
        case ID_REL_OPERLOG:
            operMax = std::max(operMax, teacher->m_oper.m_end.Day());
            break;
        case ID_REL_WAGES:
            available = available || !teacher->m_pays.IsEmpty();
            break;
        default:
            return 0;
        }
    }
    query.SetText(MDU_TEACHER, links.join(u' '));
    if (command == ID_REL_OPERLOG) {
        if (operMax <= 0)
            return 0;
        query.SetDate(QKEY_DATE_FROM, XDateTime(std::floor(operMax) - 180));
        return 1;
    }
    if (command == ID_REL_WAGES) {
        const int year = XDateTime::Today().Year();
        query.SetDate(QKEY_DATE_FROM, XDateTime(year, 1, 1));
        query.SetDate(QKEY_DATE_TO, XDateTime(year, 12, 31));
    }
    return available ? 1 : 0;
}

QString CModuleTeacher::GetItemTitleSql() const
{
    return QStringLiteral("SELECT T.ID, CASE WHEN R.RptCount>0 AND T.Petname<>'' THEN T.RealName||' ('||T.Petname||')' "
                          "ELSE T.RealName END AS ItemTitle "
                          "FROM TB_TEACHER AS T INNER JOIN (SELECT RealName, COUNT(*)-1 AS RptCount FROM TB_TEACHER "
                          "GROUP BY RealName) AS R "
                          "ON R.RealName=T.RealName");
}

CXMap CModuleTeacher::LoginQuery(const QString& userText)
{
    CXMap query;
    query.SetText(1160, QStringLiteral("1,2"));
    query.SetText(1252, QStringLiteral("1"));
    query.SetDate(1126, XDateTime(DayOf(XDateTime::Today()) + 1));
    if (!userText.isEmpty())
        query.SetPlainText(1135, userText);
    return query;
}

bool CModuleTeacher::ReadLoginUsers(CXArray& users, const QString& userText)
{
    return QueryItems(users, LoginQuery(userText), true, false);
}

bool CModuleTeacher::CanLogIn(const CDBTeacher& teacher)
{
    if ((teacher.m_nRightRole != 1 && teacher.m_nRightRole != 2) || !teacher.m_bEnabled)
        return false;
    const double end = teacher.GetEmploymentEnd();
    return end == 0 || (end > 0 && DayOf(XDateTime(end)) > DayOf(XDateTime::Today()));
}
