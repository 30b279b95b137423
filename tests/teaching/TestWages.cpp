// Monthly wages on the fixture school with February 2026 taught (today 2026-03-18): the rows
// against a table computed by hand, the same rows built on a worker thread, the teachers a
// query names, a teacher named twice in one class, periods and standards across months.
#include "CDBWages.h"
#include "CModuleEduRcd.h"
#include "CModuleWages.h"
#include "CommandIds.h"
#include "FebruaryTaughtTest.h"
#include "FormatString.h"
#include "TextUtils.h"
#include "TypedLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <thread>

namespace {

// The columns of a row, from 计划 to 应发合计.
const char* const kColumns[] = {
    "计划",     "临时", "试听",     "待定",         "取消",         "请假",         "准时",         "迟到",
    "缺勤",     "消课", "消课金额", "人头课时工资", "基数课时工资", "分成课时工资", "补足课时工资", "课时工资小计",
    "固定工资", "全勤", "全勤奖",   "迟到扣除",     "请假扣除",     "缺勤扣除",     "奖惩小计",     "应发合计"};
constexpr int kColumnCount = sizeof(kColumns) / sizeof(kColumns[0]);

struct XExpectedRow
{
    const char* teacher;
    double values[kColumnCount];
};

// February 2026, computed by hand.
//
// T3 周杰, standard from 2026-01: fixed 3000, bonus 200, late 20, leave 30, absence 50, per
// student 30, share 10 %, base 20, minimum 60. S1 pays ¥150 a lesson (R6),
// S6 ¥200 (R4).
//   02-04 planned, T3 on time, S1 + S6 on time: per student 2 x 30 = 60, share (150 + 200) x 10 % = 35,
//         base 20; 115 >= 60 -> 115
//   02-11 planned, cancelled (T3 pending): 取消, 0
//   02-14 补课 (temporary), T3 (and T1) on time, S1 on time: 30 + 15 + 20 = 65 -> 65
//   02-18 planned, T3 late, S1 on leave, S6 on time: 30 + 20 + 20 = 70 -> 70
//   02-21 trial (temporary), T3 a trial lesson on time, S3 trial: 试听, 0
//   02-25 planned, T3 on leave, both students on leave: 0
//   计划 4 (04, 11, 18, 25), 临时 1, 试听 1; 待定 0, 取消 1, 请假 1, 准时 3 (04, 14, 21),
//   迟到 1, 缺勤 0; 消课 2 + 1 + 1 = 4, 消课金额 350 + 150 + 200 = 700;
//   人头 60 + 30 + 30 = 120, 基数 3 x 20 = 60, 分成 35 + 15 + 20 = 70,
//   小计 115 + 65 + 70 = 250, 补足 250 - 120 - 60 - 70 = 0; 固定 3000;
//   全勤 0 (late, leave), 全勤奖 0, 迟到 1 x 20, 请假 1 x 30, 缺勤 0 x 50;
//   奖惩 0 - 20 - 30 - 0 = -50; 应发 250 - 50 + 3000 = 3200.
//
// T2 孙丽, standard from 2026-02: fixed 0, bonus 100, late 10, leave 20, absence 40, per
// student 10, share 20 %, base 0, minimum 50. E2 every Saturday (07, 14, 21, 28), T2 and S1
// on time, S1 ¥150 (R6): per student 10 + share 30 + base 0 = 40 < 50 -> 50 a class.
//   计划 4, 准时 4, 消课 4, 消课金额 4 x 150 = 600; 人头 40, 基数 0, 分成 120,
//   小计 4 x 50 = 200, 补足 200 - 40 - 0 - 120 = 40; 全勤 1 (lessons taken, no late, leave or
//   absence), 全勤奖 100; 奖惩 +100; 应发 200 + 100 + 0 = 300.
//
// T1 刘芳, no standard, co-teaching the 02-14 补课 on time: 临时 1, 准时 1, 消课 1,
//   消课金额 150; every amount 0 (empty standard); 全勤 1 but 全勤奖 0; 应发 0.
const XExpectedRow kFebruary[] = {
    //                  计 临 试 待 取 假 准 迟 缺 消  金额  人头 基数 分成 补足 小计 固定 全 奖  迟  假  缺  奖惩  应发
    {"周杰", {4, 1, 1, 0, 1, 1, 3, 1, 0, 4, 700, 120, 60, 70, 0, 250, 3000, 0, 0, 20, 30, 0, -50, 3200}},
    {"孙丽", {4, 0, 0, 0, 0, 0, 4, 0, 0, 4, 600, 40, 0, 120, 40, 200, 0, 1, 100, 0, 0, 0, 100, 300}},
    {"刘芳", {0, 1, 0, 0, 0, 0, 1, 0, 0, 1, 150, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0}},
};

class WagesTest : public FebruaryTaughtTest
{
protected:
    static CXMap February(const QString& teachers = QString())
    {
        CXMap query;
        query.SetDate(QKEY_DATE_FROM, XDateTime(2026, 2, 1));
        query.SetDate(QKEY_DATE_TO, XDateTime(2026, 2, 28));
        if (!teachers.isEmpty())
            query.SetText(MDU_TEACHER, teachers);
        return query;
    }
    static const CDBWages* RowOf(const CXArrayT<CDBWages, true>& rows, const char* name)
    {
        for (const auto* row : Typed(rows))
            if (row->m_pay.m_strName == QString::fromUtf8(name))
                return row;
        return nullptr;
    }
    static double Column(const CXItem& row, const char* caption)
    {
        const CHead* head = CDBWages::StaticHeads()->FindByCaption(QString::fromUtf8(caption));
        EXPECT_NE(head, nullptr) << caption;
        return head ? FieldNumber(FieldValue(row, head)) : 0;
    }
    static void ExpectTable(const CXArrayT<CDBWages, true>& rows)
    {
        ASSERT_EQ(rows.GetSize(), 3);
        for (const XExpectedRow& expected : kFebruary) {
            const CDBWages* row = RowOf(rows, expected.teacher);
            ASSERT_NE(row, nullptr) << expected.teacher;
            EXPECT_EQ(static_cast<int>(row->m_dtDate.Day()), static_cast<int>(XDateTime(2026, 2, 1).Day()));
            for (int i = 0; i < kColumnCount; ++i)
                EXPECT_DOUBLE_EQ(Column(*row, kColumns[i]), expected.values[i])
                    << expected.teacher << " " << kColumns[i];
        }
    }
};

} // namespace

TEST_F(WagesTest, FebruaryMatchesTheTableComputedByHand)
{
    CXArrayT<CDBWages, true> rows;
    ASSERT_TRUE(m_wages->QueryItems(rows, February(), true, false));
    ExpectTable(rows);

    const CDBWages* t3 = RowOf(rows, "周杰");
    const CDBWages* t1 = RowOf(rows, "刘芳");
    ASSERT_TRUE(t3 && t1);
    EXPECT_EQ(t3->m_strName, QStringLiteral("周杰 2026年2月"));
    EXPECT_EQ(t3->m_records.GetSize(), 6);
    EXPECT_EQ(t3->GetStatusLevel(), ST_GOOD);
    // a teacher with classes but no standard: every amount 0, said so, and shown grey
    EXPECT_TRUE(t1->GetStatusText().contains(QStringLiteral("未制定工资标准！")));
    EXPECT_TRUE(std::any_of(t1->m_status.begin(), t1->m_status.end(),
                            [](const CXStatus& s) { return s.m_nLevel == ST_GRAY && s.m_strText.isEmpty(); }));
    // the share of each student line of T3's 02-04 class: 150 and 200 at 10 %
    for (const auto* r : Typed(t3->m_records))
        if (r->m_dtDate.DayOfMonth() == 4)
            for (const auto* s : Typed(r->m_students))
                EXPECT_DOUBLE_EQ(s->GetShareWage(), s->m_nID == m_school.s1 ? 15.0 : 20.0);
}

TEST_F(WagesTest, AWorkerThreadBuildsTheSameRows)
{
    CXArrayT<CDBWages, true> here;
    ASSERT_TRUE(m_wages->QueryItems(here, February(), true, false));
    CXArrayT<CDBWages, true> there;
    bool built = false;
    std::thread worker([&] { built = m_wages->QueryItems(there, February(), true, false); });
    worker.join();
    ASSERT_TRUE(built);
    ExpectTable(there);
    ASSERT_EQ(there.GetSize(), here.GetSize());
    for (int i = 0; i < here.GetSize(); ++i) {
        EXPECT_EQ(there[i]->m_nID, here[i]->m_nID);
        EXPECT_EQ(there[i]->m_records.GetSize(), here[i]->m_records.GetSize());
        EXPECT_EQ(there[i]->GetStatusText(), here[i]->GetStatusText());
    }
}

TEST_F(WagesTest, AQueryAboutOneTeacherGivesNoRowsToCoTeachers)
{
    // T1 shares the 02-14 make-up class with T3: asked about T3 alone, T1 gets no row
    CXArrayT<CDBWages, true> rows;
    ASSERT_TRUE(m_wages->QueryItems(rows, February(QString::number(m_school.t3)), true, false));
    ASSERT_EQ(rows.GetSize(), 1);
    EXPECT_EQ(rows[0]->m_nID, m_school.t3);
    EXPECT_DOUBLE_EQ(Column(*rows[0], "应发合计"), 3200);

    CXArrayT<CDBWages, true> both;
    ASSERT_TRUE(m_wages->QueryItems(both, February(FormatString(u"%d,%d", m_school.t3, m_school.t1)), true, false));
    EXPECT_EQ(both.GetSize(), 2);
}

TEST_F(WagesTest, ATeacherNamedTwiceInAClassIsPaidForItOnce)
{
    // a second line for T3 in the make-up class, as older data may hold
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDURCD_TEACHER (EduRcdID, TeacherID, LessonType, Attence) "
                                  u"VALUES (%d, %d, 0, 2)",
                                  m_school.makeUp, m_school.t3)));
    CXArrayT<CDBWages, true> rows;
    ASSERT_TRUE(m_wages->QueryItems(rows, February(QString::number(m_school.t3)), true, false));
    ASSERT_EQ(rows.GetSize(), 1);
    EXPECT_EQ(rows[0]->CountTemporary(), 1);
    EXPECT_DOUBLE_EQ(Column(*rows[0], "课时工资小计"), 250);
    EXPECT_DOUBLE_EQ(Column(*rows[0], "应发合计"), 3200);
}

TEST_F(WagesTest, PeriodIsClippedToWholeMonthsAndStandardsChangeByMonth)
{
    // asked from 2026-02-10 to the end of 2027: the start goes to the month's first day, the
    // end to the last day of the month holding today + 180 days (2026-09-14)
    CXMap query;
    query.SetDate(QKEY_DATE_FROM, XDateTime(2026, 2, 10));
    query.SetDate(QKEY_DATE_TO, XDateTime(2027, 12, 31));
    query.SetText(MDU_TEACHER, QString::number(m_school.t3));
    CXArrayT<CDBWages, true> rows;
    ASSERT_TRUE(m_wages->LoadWages(rows, query));
    EXPECT_EQ(query.GetDate(QKEY_DATE_FROM), XDateTime(2026, 2, 1));
    EXPECT_EQ(query.GetDate(QKEY_DATE_TO), XDateTime(2026, 9, 30));
    // T3's standard of 3000 covers February to June, the one of 3500 July to September: one
    // row per month, each with its standard
    ASSERT_EQ(rows.GetSize(), 8);
    for (const auto* row : Typed(rows)) {
        const int month = row->m_dtDate.Month();
        EXPECT_EQ(row->m_dtDate.DayOfMonth(), 1);
        EXPECT_DOUBLE_EQ(row->GetMonthlyPay(), month < 7 ? 3000 : 3500) << month;
    }
}

TEST(WageRecord, LateTeacherIsToppedUpToTheMinimumAndLosesFullAttendance)
{
    // 3 consuming students at ¥100, per student 20, share 10 %, base 50, minimum 200, late:
    // 60 + 30 + 50 = 140 < 200 -> 200, of which 60 is top-up
    CDBWages row;
    row.m_pay.m_fPerStudent = 20;
    row.m_pay.m_fPerUnit = 10;
    row.m_pay.m_fPerEduRcd = 50;
    row.m_pay.m_fPerMin = 200;
    row.m_pay.m_fFullWork = 100;
    row.m_pay.m_fPerLate = 15;
    auto* r = row.m_records.CreateTyped();
    r->m_nTeacher = 7;
    r->m_nClassStatus = CLASS_HELD;
    auto* t = r->m_teachers.CreateTyped();
    t->m_nID = 7;
    t->m_nAttence = ATTENCE_LATE;
    row.m_pay.CopyTo(&t->m_pay);
    r->m_teachers.Add(t);
    for (int i = 0; i < 3; ++i) {
        auto* s = r->m_students.CreateTyped();
        s->m_nID = 100 + i;
        s->m_nAttence = ATTENCE_ONTIME;
        s->m_receipt.m_nID = 200 + i;
        s->m_fIncome = 100;
        r->m_students.Add(s);
    }
    row.m_records.Add(r);
    EXPECT_DOUBLE_EQ(row.GetPerStudentWage(), 60);
    EXPECT_DOUBLE_EQ(row.GetShareWage(), 30);
    EXPECT_DOUBLE_EQ(row.GetBaseWage(), 50);
    EXPECT_DOUBLE_EQ(row.GetLessonWage(), 200);
    EXPECT_DOUBLE_EQ(row.GetTopUpWage(), 60);
    EXPECT_EQ(row.CountAttence(ATTENCE_LATE), 1);
    EXPECT_EQ(row.IsFullWork(), 0);
    EXPECT_DOUBLE_EQ(row.GetBonusTotal(), -15);
    // the same class on time earns the same and keeps full attendance
    t->m_nAttence = ATTENCE_ONTIME;
    EXPECT_EQ(row.IsFullWork(), 1);
    EXPECT_DOUBLE_EQ(row.GetTotal(), 200 + 100);
    // a trial lesson of the teacher earns nothing and counts as one
    t->m_nLessonType = 1;
    EXPECT_EQ(row.CountTrial(), 1);
    EXPECT_DOUBLE_EQ(row.GetLessonWage(), 0);
}

TEST_F(WagesTest, SalariedTeacherIsPaidUntilTheMonthSheLeft)
{
    // T4 left on 2025-12-15 and was paid 2000 a month from 2025-10 without classes: October
    // and November are owed; December, left before its last day, is not; nothing after
    ASSERT_TRUE(Exec(FormatString(u"UPDATE TB_TEACHER_RESUME SET DateEnd=%d WHERE TeacherID=%d;"
                                  u"INSERT INTO TB_TEACHER_PAY (TeacherID, DateBgn, MonthlyPay) VALUES (%d, %d, 2000)",
                                  static_cast<int>(XDateTime(2025, 12, 15).Day()), m_school.t4, m_school.t4,
                                  static_cast<int>(XDateTime(2025, 10, 1).Day()))));
    CXMap query;
    query.SetDate(QKEY_DATE_FROM, XDateTime(2025, 9, 1));
    query.SetDate(QKEY_DATE_TO, XDateTime(2026, 2, 28));
    query.SetText(MDU_TEACHER, QString::number(m_school.t4));
    CXArrayT<CDBWages, true> rows;
    ASSERT_TRUE(m_wages->QueryItems(rows, query, true, false));
    ASSERT_EQ(rows.GetSize(), 2);
    for (const auto* row : Typed(rows)) {
        EXPECT_EQ(row->m_dtLeave, XDateTime(2025, 12, 15));
        EXPECT_DOUBLE_EQ(row->GetTotal(), 2000);
    }
    EXPECT_EQ(rows[0]->m_dtDate, XDateTime(2025, 10, 1));
    EXPECT_EQ(rows[1]->m_dtDate, XDateTime(2025, 11, 1));
}

TEST_F(WagesTest, ClassRecordsOfRowsAreQueriedForTheirTeachersAndMonth)
{
    CXArrayT<CDBWages, true> rows;
    ASSERT_TRUE(m_wages->QueryItems(rows, February(), true, false));
    CXArray chosen(nullptr, false);
    for (auto* row : Typed(rows))
        if (row->m_nID != m_school.t2)
            chosen.Add(row);
    CXMap query;
    ASSERT_EQ(m_wages->MakeRelateQuery(chosen, ID_REL_EDURCD, query, FixtureUser()), 1);
    QList<int> teachers;
    SplitInts(query.GetText(MDU_TEACHER), teachers);
    std::sort(teachers.begin(), teachers.end());
    EXPECT_EQ(teachers, (QList<int>{std::min(m_school.t1, m_school.t3), std::max(m_school.t1, m_school.t3)}));
    EXPECT_EQ(query.GetDate(QKEY_DATE_FROM), XDateTime(2026, 2, 1));
    EXPECT_EQ(query.GetDate(QKEY_DATE_TO), XDateTime(2026, 2, 28));
    // the class-record module finds T3's and T1's February classes with it
    CXArrayT<CDBEduRcd, true> records;
    ASSERT_TRUE(FindModule(MDU_EDURCD)->QueryItems(records, query, true, false));
    EXPECT_EQ(records.GetSize(), 6);

    // a row without classes relates to none
    CDBWages salaried;
    salaried.m_nID = m_school.t3;
    salaried.m_dtDate = XDateTime(2026, 2, 1);
    CXArray alone(nullptr, false);
    alone.Add(&salaried);
    CXMap none;
    EXPECT_EQ(m_wages->MakeRelateQuery(alone, ID_REL_EDURCD, none, FixtureUser()), -1);
}

TEST(WageModule, BuiltInSchemesAreWholeMonthsAndYears)
{
    XClock::SetFixed(XDateTime(2026, 3, 18, 9, 0, 0));
    CModuleWages wages;
    CXArray schemes(nullptr, true);
    wages.AddQuickQueries(schemes);
    struct Expected
    {
        const char* name;
        XDateTime from, to; // to 0: no upper bound
    };
    // 近三个月 starts 70 days before the month's last day: 2026-03-31 - 70 = 2026-01-20
    const Expected expected[] = {{"本月", XDateTime(2026, 3, 1), XDateTime(2026, 3, 31)},
                                 {"上月", XDateTime(2026, 2, 1), XDateTime(2026, 2, 28)},
                                 {"近三个月", XDateTime(2026, 1, 20), XDateTime()},
                                 {"今年", XDateTime(2026, 1, 1), XDateTime(2026, 12, 31)},
                                 {"去年", XDateTime(2025, 1, 1), XDateTime(2025, 12, 31)}};
    ASSERT_EQ(schemes.GetSize(), 5);
    for (int i = 0; i < 5; ++i) {
        const CXItem* scheme = schemes.GetAt(i);
        const CXMap query(scheme->m_strRightData);
        EXPECT_EQ(scheme->m_strName, QString::fromUtf8(expected[i].name));
        EXPECT_EQ(query.GetDate(QKEY_DATE_FROM), expected[i].from) << expected[i].name;
        EXPECT_EQ(query.Has(QKEY_DATE_TO), expected[i].to.Day() != 0) << expected[i].name;
        if (query.Has(QKEY_DATE_TO))
            EXPECT_EQ(query.GetDate(QKEY_DATE_TO), expected[i].to) << expected[i].name;
    }
    XClock::Reset();
}
