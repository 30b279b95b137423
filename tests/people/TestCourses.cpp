#include "CModuleCourse.h"
#include "PeopleTestSupport.h"
#include "RecordWriter.h"
#include "TextUtils.h"

#include "CommandIds.h"

#include <gtest/gtest.h>

namespace {

using Courses = SchoolBeforeTimetablesTest;

// Day numbers as text ("0" for none), the way the statistics compare by hand.
QString D(const XDateTime& d) { return QString::number(static_cast<int>(d.Day())); }

QString PackageFigures(const CDBCourse& c)
{
    return QStringLiteral("%1|%2|%3|%4|%5|%6")
        .arg(c.m_nChgAll)
        .arg(D(c.m_dtChgBgn), D(c.m_dtChgEnd))
        .arg(c.m_nChgOld)
        .arg(c.m_nChgCur)
        .arg(c.m_nChgNew);
}

int AddPackage(const char* name, int course, XDateTime bgn, XDateTime end)
{
    CDBCharge c;
    c.m_strName = QString::fromUtf8(name);
    c.m_dtCheckBgn = bgn;
    c.m_dtCheckEnd = end;
    CXItem* line = c.m_courses.CreateItem();
    line->m_nID = course;
    c.m_courses.Add(line);
    c.Validate(&FixtureUser(), false);
    EXPECT_TRUE(SaveItem(nullptr, &c, nullptr, FixtureUser()));
    return c.m_nID;
}

// all, first sale day, closing day (0 = open), closed, on sale, not yet on sale; today is
// 2026-03-18 and 艺术联报 closes today, so it counts under neither closed nor on sale.
TEST_F(Courses, PackageStatisticsOfTheFixtureByHand)
{
    const struct
    {
        int id;
        QString figures;
        QString lessons; // total - consumed (invalid) = remaining over the course's receipts
    } cases[] = {
        // R1 32 + R4 15 + R5 15 + R7 15 + R6 33 = 110; consumed 10 + 17 + 5 + 3 = 35; R5's
        // refund voids its 10 left; 22 - 2 + 0 + 12 + 33 = 65
        {m_school.piano, QStringLiteral("3|%1|0|0|1|1").arg(Day(2024, 9, 1)),
         QStringLiteral("110-35") + AsciiToSupSub(QStringLiteral("-10"), false) + QStringLiteral("=65")},
        // R2 12 + R6 33; R2's 8 consumed, its 4 left void after its validity
        {m_school.art, QStringLiteral("2|%1|%2|0|1|0").arg(Day(2025, 9, 1), Day(2026, 6, 30)),
         QStringLiteral("45-8") + AsciiToSupSub(QStringLiteral("-4"), false) + QStringLiteral("=33")},
        {m_school.english, QStringLiteral("1|%1|%2|0|1|0").arg(Day(2026, 3, 1), Day(2026, 6, 30)),
         QStringLiteral("20-0=20")},
        {m_school.calligraphy, QStringLiteral("0|0|0|0|0|0"), QStringLiteral("无")}, // never sold
    };
    for (const auto& c : cases) {
        auto course = ReadOne<CDBCourse>(c.id);
        ASSERT_TRUE(course);
        EXPECT_EQ(PackageFigures(*course), c.figures) << course->m_strName.toStdString();
        const CHead* remained = CDBCourse::StaticHeads()->FindByColumn(QStringLiteral("rcpRemained"));
        EXPECT_EQ(course->FormatText(remained, true, true, true), c.lessons) << course->m_strName.toStdString();
    }
}

// The closing day moves across the boundary: the day after, 艺术联报 is closed for 钢琴 and
// 美术; the day before, it is on sale for both.
TEST_F(Courses, PackageClosingTodayAtTheBoundary)
{
    XClock::SetFixed(XDateTime(2026, 3, 19, 9, 0, 0));
    EXPECT_EQ(PackageFigures(*ReadOne<CDBCourse>(m_school.piano)), QStringLiteral("3|%1|0|1|1|1").arg(Day(2024, 9, 1)));
    XClock::SetFixed(XDateTime(2026, 3, 17, 9, 0, 0));
    EXPECT_EQ(PackageFigures(*ReadOne<CDBCourse>(m_school.art)),
              QStringLiteral("2|%1|%2|0|2|0").arg(Day(2025, 9, 1), Day(2026, 6, 30)));
}

TEST_F(Courses, OpenPackageKeepsTheCourseEffectiveClosedOnesWarn)
{
    CDBCourse c;
    c.m_strName = QStringLiteral("声乐");
    ASSERT_TRUE(SaveItem(nullptr, &c, nullptr, FixtureUser()));
    AddPackage("声乐旧班", c.m_nID, XDateTime(2025, 1, 1), XDateTime(2026, 1, 31));
    auto closed = ReadOne<CDBCourse>(c.m_nID);
    EXPECT_EQ(D(closed->m_dtChgEnd), Day(2026, 1, 31));
    closed->Validate(&FixtureUser(), false);
    EXPECT_EQ(closed->GetStatusText(), QStringLiteral("无生效课时包！"));
    EXPECT_EQ(closed->GetStatusLevel(), ST_WARN);

    AddPackage("声乐常年班", c.m_nID, XDateTime(2025, 1, 1), XDateTime(0.0));
    auto open = ReadOne<CDBCourse>(c.m_nID);
    EXPECT_EQ(PackageFigures(*open), QStringLiteral("2|%1|0|1|1|0").arg(Day(2025, 1, 1)));
    open->Validate(&FixtureUser(), false);
    EXPECT_EQ(open->GetStatusText(), QString());
    EXPECT_EQ(open->GetStatusLevel(), ST_GOOD);
}

TEST_F(Courses, ValidationMessages)
{
    // disabled: only that, the reference checks are skipped
    auto calligraphy = ReadOne<CDBCourse>(m_school.calligraphy);
    calligraphy->Validate(&FixtureUser(), true);
    EXPECT_EQ(calligraphy->GetStatusText(), QStringLiteral("已停用！"));
    EXPECT_EQ(calligraphy->GetStatusLevel(), ST_GRAY);
    // enabled and unused: every module it could be used by is named
    calligraphy->m_bEnabled = 1;
    calligraphy->Validate(&FixtureUser(), true);
    EXPECT_EQ(calligraphy->GetStatusText(), QStringLiteral("无关联课时包、报名收据、课程表、课堂记录。"));
    // a timetable alone is a use too
    calligraphy->m_nSchAll = 1;
    calligraphy->Validate(&FixtureUser(), true);
    EXPECT_EQ(calligraphy->GetStatusLevel(), ST_GOOD);

    CDBCourse blank;
    blank.Validate(&FixtureUser(), true);
    EXPECT_TRUE(blank.GetErrorText().contains(QStringLiteral("请输入名称！")));

    CDBCourse twin;
    twin.m_strName = QStringLiteral("钢琴");
    twin.Validate(&FixtureUser(), true);
    EXPECT_EQ(twin.GetStatusLevel(), ST_STOP);
    EXPECT_TRUE(twin.GetErrorText().contains(QStringLiteral("名称存在重复项。"))) << twin.GetErrorText().toStdString();
}

TEST_F(Courses, DeleteRefusalNamesTheReferringModulesInOrder)
{
    auto piano = ReadOne<CDBCourse>(m_school.piano);
    piano->m_nSchAll = 1; // 钢琴 is sold and taught in the school
    EXPECT_EQ(piano->GetDeleteError(&FixtureUser()), QStringLiteral("已有关联的课时包、报名收据、课程表、课堂记录。"));
    piano->m_nChgAll = 0;
    piano->m_nRcdAll = 4;
    piano->m_nRcpPayTimes = 2;
    EXPECT_EQ(piano->GetDeleteError(&FixtureUser()), QStringLiteral("已有关联的报名收据、课程表、课堂记录。"));

    auto calligraphy = ReadOne<CDBCourse>(m_school.calligraphy);
    EXPECT_EQ(calligraphy->GetDeleteError(&FixtureUser()), QString());
    ASSERT_TRUE(DeleteItem(nullptr, calligraphy.get(), FixtureUser()));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM TB_COURSE")), QStringLiteral("3"));
}

TEST(CourseText, LessonBalanceSpelledOut)
{
    const CHead* remained = CDBCourse::StaticHeads()->FindByColumn(QStringLiteral("rcpRemained"));
    const struct
    {
        int total, consumed, invalid, left;
        const char16_t* text;
    } cases[] = {
        {30, 10, 0, 20, u"30-10=20"},
        {30, 10, 3, 17, u"30-10₋₃=17"},
        {30, 10, -2, 22, u"30-10₊₂=22"},
        {0, 0, 0, 0, u"无"},
    };
    for (const auto& c : cases) {
        CDBCourse course;
        course.m_nRcpLessonAc = c.total;
        course.m_nRcpCountIn = c.consumed;
        course.m_nRcpInvalid = c.invalid;
        course.m_nRcpRemained = c.left;
        EXPECT_EQ(course.FormatText(remained, true, true, true), QString::fromUtf16(c.text));
    }
}

TEST(CourseDates, MondayAndMonthEnd)
{
    const struct
    {
        XDateTime day, monday, monthEnd;
    } cases[] = {
        {XDateTime(2026, 3, 18), XDateTime(2026, 3, 16), XDateTime(2026, 3, 31)},
        {XDateTime(2026, 3, 16), XDateTime(2026, 3, 16), XDateTime(2026, 3, 31)},
        {XDateTime(2026, 3, 22), XDateTime(2026, 3, 16), XDateTime(2026, 3, 31)},
        {XDateTime(2026, 2, 1), XDateTime(2026, 1, 26), XDateTime(2026, 2, 28)},
        {XDateTime(2024, 2, 29), XDateTime(2024, 2, 26), XDateTime(2024, 2, 29)},
        {XDateTime(2026, 12, 31), XDateTime(2026, 12, 28), XDateTime(2026, 12, 31)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(D(WeekMonday(c.day)), D(c.monday)) << D(c.day).toStdString();
        EXPECT_EQ(D(MonthLastDay(c.day)), D(c.monthEnd)) << D(c.day).toStdString();
    }
}

TEST_F(Courses, ModuleOptionsSchemesAndRelations)
{
    CModule* module = FindModule(MDU_COURSE);
    EXPECT_EQ(module->m_nCaps, 0x1e);
    EXPECT_EQ(module->m_nOperRights, 2);
    ASSERT_EQ(module->m_options.size(), 2u);

    CXArray schemes(nullptr, true);
    module->AddQuickQueries(schemes);
    const struct
    {
        const char16_t* name;
        const char16_t* courses;
        bool separator;
    } expected[] = {
        {u"启用", u"美术,英语,钢琴", false},
        {u"停用", u"书法", true},
        {u"全部", u"书法,美术,英语,钢琴", false},
    };
    ASSERT_EQ(schemes.GetSize(), 3);
    for (int i = 0; i < 3; ++i) {
        const auto* scheme = static_cast<const CDBPrjQuery*>(schemes.GetAt(i));
        EXPECT_EQ(scheme->m_strName, QString::fromUtf16(expected[i].name));
        EXPECT_EQ(QueryNames(MDU_COURSE, CXMap(scheme->m_strRightData)), QString::fromUtf16(expected[i].courses));
        EXPECT_EQ(scheme->m_bSeparator != 0, expected[i].separator);
    }
    // the find text combines with the option
    CXMap find;
    find.SetText(ID_FIND_WHAT, QStringLiteral("琴"));
    find.SetText(1064, QStringLiteral("1"));
    EXPECT_EQ(QueryNames(MDU_COURSE, find), QStringLiteral("钢琴"));

    // packages of the selected courses: offered when one of them has packages
    CXArray selected(nullptr, true);
    selected.Add(ReadOne<CDBCourse>(m_school.calligraphy).release());
    CXMap relation;
    EXPECT_EQ(module->MakeRelateQuery(selected, ID_REL_CHARGE, relation, FixtureUser()), -1);
    selected.Add(ReadOne<CDBCourse>(m_school.art).release());
    ASSERT_EQ(module->MakeRelateQuery(selected, ID_REL_CHARGE, relation, FixtureUser()), 1);
    EXPECT_EQ(QueryNames(MDU_CHARGE, relation), QStringLiteral("美术季卡,艺术联报"));
}

// A target of the relation commands: only its id and its query right matter here.
class CTargetModule : public CModule
{
public:
    explicit CTargetModule(int id) : CModule(id) { m_nCaps = 0x1e; }
    CXItem* CreateItem() const override { return new CDBCourse; }
    CHeads* GetHeads() const override { return CDBCourse::StaticHeads(); }
};

// Class records are asked for this week (Monday to Sunday), receipts for this month; each
// relation is offered only when a selected course has what it shows.
TEST_F(Courses, RelationsCarryTheWeekAndTheMonth)
{
    CTargetModule records(MDU_EDURCD), receipts(MDU_RECEIPT), timetables(MDU_EDUSCH), teachers(MDU_TEACHER);
    for (CModule* m : {&records, &receipts, &timetables, &teachers})
        RegisterModule(m);
    CModule* module = FindModule(MDU_COURSE);
    CXArray selected(nullptr, true);
    auto* piano = ReadOne<CDBCourse>(m_school.piano).release();
    selected.Add(piano);
    piano->m_nRcdAll = 3;

    CXMap week;
    ASSERT_EQ(module->MakeRelateQuery(selected, ID_REL_EDURCD, week, FixtureUser()), 1);
    EXPECT_EQ(week.GetIdList(MDU_COURSE), QString::number(m_school.piano));
    EXPECT_EQ(week.GetText(QKEY_DATE_FROM), QStringLiteral("2026-03-16"));
    EXPECT_EQ(week.GetText(QKEY_DATE_TO), QStringLiteral("2026-03-22"));

    CXMap month;
    ASSERT_EQ(module->MakeRelateQuery(selected, ID_REL_RECEIPT, month, FixtureUser()), 1);
    EXPECT_EQ(month.GetText(QKEY_DATE_FROM), QStringLiteral("2026-03-01"));
    EXPECT_EQ(month.GetText(QKEY_DATE_TO), QStringLiteral("2026-03-31"));

    CXMap none;
    EXPECT_EQ(module->MakeRelateQuery(selected, ID_REL_EDUSCH, none, FixtureUser()), -1);
    EXPECT_EQ(module->MakeRelateQuery(selected, ID_REL_TEACHER, none, FixtureUser()), 1);
    piano->m_nRcdAll = 0;
    piano->m_nChgAll = 0;
    CXMap nothing;
    EXPECT_EQ(module->MakeRelateQuery(selected, ID_REL_TEACHER, nothing, FixtureUser()), -1);
    EXPECT_EQ(module->MakeRelateQuery(selected, ID_REL_EDURCD, nothing, FixtureUser()), -1);
    for (CModule* m : {&records, &receipts, &timetables, &teachers})
        UnregisterModule(m);
}

} // namespace
