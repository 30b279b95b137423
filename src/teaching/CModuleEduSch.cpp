#include "CModuleEduSch.h"

#include "CXAccessor.h"
#include "CXDBSession.h"
#include "CodePages.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "OperLog.h"
#include "Resources.h"
#include "TextUtils.h"

namespace {

QList<int> IdsOf(const CXMap& query, int key)
{
    QList<int> ids;
    SplitInts(query.GetIdList(key), ids);
    return ids;
}

// The condition with the key's IDs in every "%s"; an empty list finds nothing.
QString IdCondition(const CXMap& query, int key, const char16_t* format)
{
    const QList<int> ids = IdsOf(query, key);
    if (ids.isEmpty())
        return QStringLiteral("1=0");
    const QString list = JoinInts(ids);
    QString text = QString::fromUtf16(format);
    text.replace(QStringLiteral("%s"), list);
    return text;
}

// Choice values of an option key, kept to those the option has.
QString ChoiceList(const CXMap& query, int key, int count)
{
    QList<int> values;
    SplitInts(query.GetText(key), values);
    QList<int> kept;
    for (int v : values)
        if (v >= 0 && v < count && !kept.contains(v))
            kept << v;
    return JoinInts(kept);
}

} // namespace

CModuleEduSch::CModuleEduSch()
{
    SetDefaultRightsWords(*this);
    const auto add = [this](auto&&... args) { m_options.push_back(std::make_unique<CXQueryOption>(args...)); };
    add(QUERY_FIND, ID_FIND_WHAT);
    add(QUERY_MONTH, 1047, 0, QStringLiteral("开课日期≥"));
    add(QUERY_MONTH, 1048, 0, QStringLiteral("开课日期≤"));
    add(QUERY_MONTH, 1126, 0, QStringLiteral("结课日期≥"));
    add(QUERY_MONTH, 1127, 0, QStringLiteral("结课日期≤"));
    add(QUERY_OPTION, 1242, 0, QStringLiteral("星期"),
        QStringLiteral("星期一|星期二|星期三|星期四|星期五|星期六|星期日"));
    add(QUERY_OPTION, 1254, 0, QStringLiteral("编制"), QStringLiteral("一对多|一对一"));
    add(QUERY_ITEM, MDU_COURSE, 0);
    add(QUERY_ITEM, MDU_TEACHER, 0);
    add(QUERY_ITEM, MDU_STUDENT, 0);
    add(QUERY_ITEM, MDU_RECEIPT, 1);
    add(QUERY_ITEM, MDU_EDURCD, 1);
}

int CModuleEduSch::SingleStudent(const CXMap& query)
{
    if (!query.Has(MDU_STUDENT))
        return 0;
    const QList<int> ids = IdsOf(query, MDU_STUDENT);
    return ids.size() == 1 ? ids.first() : 0;
}

bool CModuleEduSch::IsChildListQuery(const CXMap& query) const { return SingleStudent(query) != 0; }

void CModuleEduSch::AddEduSchConditions(QStringList& conditions, const CXMap& query, bool bLight)
{
    const auto day = [&query](int key) { return static_cast<int>(query.GetDate(key).Day()); };
    if (query.Has(1047))
        conditions << FormatString(u"DateBgn>=%d", day(1047));
    if (query.Has(1048))
        conditions << FormatString(u"DateBgn<=%d", day(1048));
    if (query.Has(1126))
        conditions << FormatString(u"(DateEnd=0 OR DateEnd>=%d)", day(1126));
    if (query.Has(1127))
        conditions << FormatString(u"(DateEnd<>0 AND DateEnd<=%d)", day(1127));
    if (query.Has(1242)) {
        // the weekday of a day number, Monday 0: day 0 (1899-12-30) was a Saturday
        const QString days = ChoiceList(query, 1242, 7);
        conditions << (days.isEmpty() ? QStringLiteral("1=0") : FormatString(u"((DateBgn + 5) MOD 7) IN (%s)", days));
    }
    if (query.Has(1254)) {
        // both forms may be ticked in the query form: a list, not one value
        const QString forms = ChoiceList(query, 1254, 2);
        conditions << (forms.isEmpty() ? QStringLiteral("1=0") : FormatString(u"ClassForm IN (%s)", forms));
    }
    if (query.Has(MDU_COURSE))
        conditions << IdCondition(query, MDU_COURSE, u"CourseID IN (%s)");
    if (query.Has(MDU_EDURCD))
        conditions << IdCondition(query, MDU_EDURCD,
                                  u"ID IN (SELECT DISTINCT EduSchID FROM TB_EDURCD WHERE ID IN (%s))");
    if (query.Has(MDU_RECEIPT))
        conditions << IdCondition(query, MDU_RECEIPT,
                                  u"ID IN (SELECT DISTINCT EduSchID FROM TB_EDURCD_STUDENT LEFT JOIN TB_EDURCD ON "
                                  u"TB_EDURCD.ID=TB_EDURCD_STUDENT.EduRcdID WHERE ReceiptID IN (%s))");
    if (query.Has(MDU_STUDENT))
        conditions << IdCondition(
            query, MDU_STUDENT,
            bLight ? u"(ID IN (SELECT DISTINCT EduSchID FROM TB_EDURCD_STUDENT LEFT JOIN TB_EDURCD ON "
                     u"TB_EDURCD.ID=TB_EDURCD_STUDENT.EduRcdID WHERE StudentID IN (%s)) OR ID IN (SELECT DISTINCT "
                     u"EduSchID FROM TB_EDUSCH_STUDENT WHERE StudentID IN (%s)))"
                   : u"ID IN (SELECT DISTINCT EduSchID FROM TB_EDUSCH_STUDENT WHERE StudentID IN (%s))");
    if (query.Has(MDU_TEACHER))
        conditions << IdCondition(
            query, MDU_TEACHER,
            bLight ? u"(ID IN (SELECT DISTINCT EduSchID FROM TB_EDURCD_TEACHER LEFT JOIN TB_EDURCD ON "
                     u"TB_EDURCD.ID=TB_EDURCD_TEACHER.EduRcdID WHERE TeacherID IN (%s)) OR ID IN (SELECT DISTINCT "
                     u"EduSchID FROM TB_EDUSCH_TEACHER WHERE TeacherID IN (%s)))"
                   : u"ID IN (SELECT DISTINCT EduSchID FROM TB_EDUSCH_TEACHER WHERE TeacherID IN (%s))");
}

bool CModuleEduSch::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    QStringList conditions;
    BuildQueryConditions(conditions, query);
    AddEduSchConditions(conditions, query, bNoImages);
    const int student = SingleStudent(query);
    XSqlNameMap names;
    if (student)
        names[QStringLiteral("/*AND StudentID=?*/")] = FormatString(u"AND StudentID=%d", student);
    CXDBSession session;
    session.Connect();
    const int first = items.GetSize();
    if (!ReadItems(session, items, conditions, bNoImages, bExpectOne, student ? &names : nullptr,
                   query.GetText(ID_FIND_WHAT)))
        return false;
    if (student) {
        for (int i = first; i < items.GetSize(); ++i) {
            auto* sch = static_cast<CDBEduSch*>(items.GetAt(i));
            sch->m_student.m_nID = student;
            // the messages are now those of the student's own lines
            sch->Validate(nullptr, false);
        }
    }
    return ReadLinkTitles(session, items);
}

int CModuleEduSch::MakeRelateQuery(const CXArray& items, int command, CXMap& query, const CXItem& user) const
{
    const int base = CModule::MakeRelateQuery(items, command, query, user);
    if (base != 0 || command != ID_REL_EDURCD)
        return base;
    bool due = false;
    QStringList links;
    for (const CXItem* item : items) {
        due = due || static_cast<const CDBEduSch*>(item)->GetScheduled() > 0;
        const QString link = item->GetLink();
        if (!link.isEmpty() && !links.contains(link))
            links << link;
    }
    if (!due)
        return -1;
    query.SetPlainText(MDU_EDUSCH, links.join(u' '));
    return 1;
}

void CModuleEduSch::AddQuickQueries(CXArray& schemes)
{
    const XDateTime today = XDateTime::Today();
    const XDateTime tomorrow = today.AddDays(1);
    const int year = today.Year();
    CXMap q;
    const auto add = [&](const char* name, const char* memo, int users, bool separator) {
        AddQueryScheme(schemes, q, users, QString::fromUtf8(name), QString::fromUtf8(memo), separator);
    };
    q.SetDate(1126, today.AddDays(-30));
    add("近一个月", "最近一个月内结课或未结课的课程表", 0, false);
    q.SetDate(1126, today.AddDays(-91));
    add("近三个月", "最近三个月内结课或未结课的课程表", 0, true);
    q.SetDate(1126, tomorrow);
    add("未结课", "未结束（结课日期在明天及之后）的课程表", 2, false);
    q.SetDate(1127, today);
    add("已结课", "已结课（结课日期在今天及之前）的课程表", 2, true);
    q.SetText(1254, QStringLiteral("0"));
    q.SetDate(1126, tomorrow);
    add("一对多", "未结课的一对多课程表", 0, false);
    q.SetText(1254, QStringLiteral("1"));
    q.SetDate(1126, tomorrow);
    add("一对一", "未结束的一对一课程表", 0, true);
    q.SetText(1242, QStringLiteral("0,1,2,3,4"));
    q.SetDate(1126, tomorrow);
    add("平时", "开课日期在周一至周五的未结束课程表", 0, false);
    q.SetText(1242, QStringLiteral("5,6"));
    q.SetDate(1126, tomorrow);
    add("周末", "开课日期在周六和周日的未结束课程表", 0, true);
    const char* names[] = {"今年", "去年", "前年"};
    const char* memos[] = {"今年上课的课程表", "去年上课的课程表", "前年上课的课程表"};
    for (int n = 0; n < 3; ++n) {
        q.SetDate(1126, XDateTime(year - n, 1, 1));
        q.SetDate(1048, XDateTime(year - n, 12, 31));
        add(names[n], memos[n], 0, n == 2);
    }
}

int CModuleEduSch::GetMaxQueryDate() const
{
    return EduSch::DayOf(XDateTime::Today()) + EduSch::SetupInt("RcdAdvance", 180);
}

QString CModuleEduSch::GetItemTitleSql() const { return LoadResourceText(446, RT_SQL, CP_UTF8); }

CXMap CModuleEduSch::BatchPackageQuery(const CDBEduSch& sch)
{
    CXMap query;
    query.SetPlainText(MDU_COURSE, sch.m_course.GetLink());
    query.SetText(1065, QStringLiteral("1"));
    return query;
}

CXMap CModuleEduSch::BatchStudentQuery(const CDBEduSch& sch, int chargeId)
{
    QList<int> enrolled;
    CXDBSession session;
    session.Connect();
    CXAccessor cmd;
    if (cmd.Open(session, FormatString(u"SELECT DISTINCT StudentID FROM TB_RECEIPT WHERE ChargeID=%d", chargeId))) {
        while (cmd.MoveNext())
            enrolled << static_cast<int>(cmd.GetNumber(1));
    } else {
        ReportDbError(QStringLiteral("读取报名学员"), &cmd, QString());
    }
    CXMap query;
    // nobody enrolled: a list naming no student, never an empty key that lists everyone
    query.SetText(QKEY_IDS, enrolled.isEmpty() ? QStringLiteral("0") : JoinInts(enrolled));
    QList<int> listed;
    for (const CXItem* line : sch.m_students)
        if (line->m_nID != 0 && !listed.contains(line->m_nID))
            listed << line->m_nID;
    if (!listed.isEmpty())
        query.SetText(QKEY_NOT_IDS, JoinInts(listed));
    return query;
}
