// The class record's rules in memory: the plan's days, the receipt choice, the consumption
// rule with its remaining counts, validation, defaults, wages and the merge of stored records.
#include "CDBEduRcd.h"
#include "CModule.h"
#include "ClassRecordPlan.h"
#include "TypedLines.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

int Day(int y, int m, int d) { return static_cast<int>(XDateTime(y, m, d).Day()); }

QString DayList(const QList<int>& days)
{
    QStringList texts;
    for (int d : days)
        texts << XDateTime(static_cast<double>(d)).Format(QStringLiteral("%m-%d"));
    return texts.join(u',');
}

// A receipt as the receipt module reads it, with only what the choice looks at.
CDBReceipt* Receipt(int id, int classType, int fixedDate, XDateTime bgn, XDateTime validEnd, int remained)
{
    auto* r = new CDBReceipt;
    r->m_nID = id;
    r->m_strName = QStringLiteral("B%1").arg(id);
    r->m_charge.m_nClassType = classType;
    r->m_charge.m_nFixedDate = fixedDate;
    r->m_validity.m_begin = bgn;
    r->m_dtValidEnd = validEnd;
    r->m_nRemained = remained;
    return r;
}

// A weekly one-to-many timetable (ID 7) on Wednesdays from 2026-01-07, 18:00~19:30, with two
// teachers and three students; student line 103 left on 2026-01-20.
struct XClass
{
    CDBEduRcd rcd;

    explicit XClass(int classForm = 0, XDateTime date = XDateTime(2026, 1, 14))
    {
        CDBEduSch& sch = rcd.m_sch;
        sch.m_nID = 7;
        sch.m_course.m_nID = 3;
        sch.m_course.m_strName = QStringLiteral("钢琴");
        sch.m_date.m_begin = XDateTime(2026, 1, 7);
        sch.m_time = CXTimeSpan(18001930);
        sch.m_strLocation = QStringLiteral("一号琴房");
        sch.m_nClassForm = classForm;
        const auto teacher = [&](int id, const char* name) {
            auto* t = sch.m_teachers.CreateTyped();
            t->m_nID = id;
            t->m_nSubID = id + 500;
            t->m_strName = QString::fromUtf8(name);
            sch.m_teachers.Add(t);
        };
        teacher(11, "刘芳");
        teacher(12, "孙丽");
        const auto student = [&](int sub, int id, const char* name, int span, XDateTime end) {
            auto* s = sch.m_students.CreateTyped();
            s->m_nSubID = sub;
            s->m_nID = id;
            s->m_strName = QString::fromUtf8(name);
            s->m_time = CXTimeSpan(span);
            s->m_edu.m_end = end;
            s->m_nRcpLessonAc = 15;
            s->m_nRcpCountIn = 5;
            s->m_nRcpRemained = 10;
            sch.m_students.Add(s);
        };
        student(101, 21, "张三", 17001745, XDateTime());
        student(102, 22, "李四", 17451830, XDateTime());
        student(103, 23, "王五", 18301915, XDateTime(2026, 1, 20));
        rcd.m_nClassForm = classForm;
        rcd.m_dtDate = date;
        rcd.AutoReset();
    }
    CDBEduRcdStudent* Student(int id) const
    {
        for (auto* s : Typed(rcd.m_students))
            if (s->m_nID == id)
                return s;
        return nullptr;
    }
    // Gives the student's line receipts as if the receipt module had read them.
    void GiveReceipts(int id, std::initializer_list<CDBReceipt*> receipts) const
    {
        CDBEduRcdStudent* s = Student(id);
        s->m_bReceiptsLoaded = 1;
        for (CDBReceipt* r : receipts)
            s->m_receipts.AddAdopted(r);
    }
};

QStringList Texts(const CXItem& item)
{
    QStringList texts;
    for (const CXStatus& st : item.m_status)
        if (!st.m_strText.isEmpty())
            texts << QStringLiteral("%1:%2").arg(st.m_nLevel).arg(st.m_strText);
    return texts;
}

} // namespace

TEST(ClassPlan, WeeklyDaysWithinThePeriod)
{
    struct Case
    {
        const char* what;
        int bgn, end, from, to;
        const char* days;
    } const cases[] = {
        // a Wednesday timetable queried Monday 01-08 .. Sunday 01-21
        {"aligned to the weekday", Day(2024, 1, 3), 0, Day(2024, 1, 8), Day(2024, 1, 21), "01-10,01-17"},
        {"starts inside the period", Day(2024, 1, 10), 0, Day(2024, 1, 1), Day(2024, 1, 21), "01-10,01-17"},
        {"no period start", Day(2024, 1, 3), 0, 0, Day(2024, 1, 17), "01-03,01-10,01-17"},
        {"ends before the period end", Day(2024, 1, 3), Day(2024, 1, 12), Day(2024, 1, 1), Day(2024, 1, 31),
         "01-03,01-10"},
        {"ends on a class day", Day(2024, 1, 3), Day(2024, 1, 17), Day(2024, 1, 8), Day(2024, 1, 31), "01-10,01-17"},
        {"period end on the class day", Day(2024, 1, 3), 0, Day(2024, 1, 17), Day(2024, 1, 17), "01-17"},
        {"ended before the period", Day(2024, 1, 3), Day(2024, 1, 5), Day(2024, 1, 8), Day(2024, 1, 31), ""},
        {"begins after the period", Day(2024, 2, 7), 0, Day(2024, 1, 8), Day(2024, 1, 31), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DayList(PlanClassDays(c.bgn, c.end, c.from, c.to)), QString::fromUtf8(c.days)) << c.what;
}

TEST(ClassPlan, GeneratedRecordsCarryTheLinesValidThatDay)
{
    XClass sample;
    CXArray timetables(nullptr, true);
    timetables.AddAdopted(sample.rcd.m_sch.CopyTo(nullptr));
    CXArrayT<CDBEduRcd, true> generated;
    GenerateClassRecords(timetables, Day(2026, 1, 12), Day(2026, 1, 31), generated);
    ASSERT_EQ(generated.GetSize(), 3); // 01-14, 01-21, 01-28
    const CDBEduRcd* first = generated[0];
    EXPECT_EQ(first->m_dtDate.Day(), Day(2026, 1, 14));
    EXPECT_EQ(first->m_nID, 0);
    EXPECT_EQ(first->m_course.m_nID, 3);
    EXPECT_EQ(first->m_timeSpan.Value(), 18001930);
    EXPECT_EQ(first->m_students.GetSize(), 3);
    EXPECT_EQ(first->m_students[0]->m_nSubID, -1);
    EXPECT_EQ(first->m_teachers[1]->m_nSubID, -2);
    EXPECT_TRUE(first->IsAutoEmpty());
    // 王五 left on 01-20
    EXPECT_EQ(generated[1]->m_students.GetSize(), 2);
    EXPECT_EQ(generated[2]->m_students.GetSize(), 2);
}

TEST(ClassRecord, ReceiptChoice)
{
    const XDateTime day(2026, 1, 14);
    struct Case
    {
        const char* what;
        std::vector<std::tuple<int, int, int, XDateTime, XDateTime, int>>
            receipts; // id, class type, fixed, bgn, end, left
        int picked;
    } const cases[] = {
        {"first covering period receipt, newest first",
         {{1, 1, 0, XDateTime(2025, 12, 1), XDateTime(2026, 2, 28), 0},
          {2, 1, 0, XDateTime(2025, 10, 1), XDateTime(2026, 3, 31), 0}},
         1},
        {"period receipt not covering the day is passed",
         {{1, 1, 0, XDateTime(2026, 2, 1), XDateTime(2026, 4, 30), 0},
          {2, 1, 0, XDateTime(2025, 10, 1), XDateTime(2026, 1, 14), 0}},
         2},
        {"short-term needs lessons left",
         {{1, 0, 1, XDateTime(2026, 1, 1), XDateTime(2026, 2, 1), 0},
          {2, 0, 1, XDateTime(2026, 1, 1), XDateTime(2026, 2, 1), 3}},
         2},
        {"per-lesson long-term only without a period one, dates not checked",
         {{1, 0, 0, XDateTime(2024, 1, 1), XDateTime(2024, 6, 1), 2},
          {2, 1, 0, XDateTime(2026, 2, 1), XDateTime(2026, 4, 30), 5}},
         1},
        {"a period receipt in its period wins over an earlier per-lesson one",
         {{1, 0, 0, XDateTime(2025, 1, 1), XDateTime(2026, 6, 1), 2},
          {2, 1, 0, XDateTime(2026, 1, 14), XDateTime(2026, 4, 30), 0}},
         2},
        {"nothing qualifies: the last (oldest)",
         {{1, 0, 0, XDateTime(2025, 1, 1), XDateTime(2026, 6, 1), 0},
          {2, 0, 0, XDateTime(2024, 1, 1), XDateTime(2025, 6, 1), 0}},
         2},
        {"none at all", {}, 0},
    };
    for (const Case& c : cases) {
        CXArray receipts(nullptr, true);
        for (const auto& [id, type, fixed, bgn, end, left] : c.receipts)
            receipts.AddAdopted(Receipt(id, type, fixed, bgn, end, left));
        const int index = PickReceipt(receipts, day);
        EXPECT_EQ(index < 0 ? 0 : receipts[index]->m_nID, c.picked) << c.what;
    }
}

TEST(ClassRecord, ConsumptionFollowsAttendanceAndTrial)
{
    // consumes exactly when on time, late or absent and not a trial
    for (int attence = 0; attence <= 4; ++attence)
        for (int trial = 0; trial <= 1; ++trial) {
            XClass c;
            c.GiveReceipts(21, {Receipt(9, 0, 0, XDateTime(2025, 9, 1), XDateTime(2026, 9, 1), 10)});
            CDBEduRcdStudent* s = c.Student(21);
            s->m_nAttence = attence;
            s->m_nLessonType = trial;
            c.rcd.Validate(nullptr, false);
            const bool consumes = attence >= 2 && trial == 0;
            EXPECT_EQ(s->m_receipt.m_nID, consumes ? 9 : 0) << attence << "/" << trial;
            EXPECT_EQ(c.rcd.CountConsumed(), consumes ? 1 : 0);
        }
    // a consuming line edited to a trial gives its receipt back
    XClass c;
    c.GiveReceipts(21, {Receipt(9, 0, 0, XDateTime(2025, 9, 1), XDateTime(2026, 9, 1), 10)});
    CDBEduRcdStudent* s = c.Student(21);
    s->m_nAttence = ATTENCE_ONTIME;
    c.rcd.Validate(nullptr, false);
    ASSERT_EQ(s->m_receipt.m_nID, 9);
    s->m_nLessonType = 1;
    s->Validate(nullptr, true);
    EXPECT_EQ(s->m_receipt.m_nID, 0);
    EXPECT_EQ(s->GetKind(), 2);
}

TEST(ClassRecord, CancelledClassReleasesReceiptsButKeepsAbsence)
{
    XClass c;
    c.GiveReceipts(21, {Receipt(9, 0, 0, XDateTime(2025, 9, 1), XDateTime(2026, 9, 1), 10)});
    c.GiveReceipts(22, {Receipt(8, 0, 0, XDateTime(2025, 9, 1), XDateTime(2026, 9, 1), 10)});
    c.Student(21)->m_nAttence = ATTENCE_ONTIME;
    c.Student(22)->m_nAttence = ATTENCE_ABSENT;
    c.rcd.m_teachers[0]->m_nAttence = ATTENCE_ONTIME;
    c.rcd.m_nTeacher = 11;
    c.rcd.m_teachers[0]->m_pay.m_fPerStudent = 30;
    c.rcd.Validate(nullptr, false);
    EXPECT_EQ(c.rcd.CountConsumed(), 2);
    EXPECT_EQ(c.rcd.GetPerStudentWage(), 60);

    c.rcd.m_nClassStatus = CLASS_CANCELLED;
    c.rcd.Validate(nullptr, false);
    EXPECT_EQ(c.Student(21)->m_nAttence, ATTENCE_PENDING);
    EXPECT_EQ(c.Student(21)->m_receipt.m_nID, 0);
    EXPECT_EQ(c.Student(22)->m_nAttence, ATTENCE_ABSENT);
    EXPECT_EQ(c.Student(22)->m_receipt.m_nID, 8);
    EXPECT_EQ(c.rcd.CountCancelled(), 2); // 21 and the pending 23
    EXPECT_EQ(c.rcd.CountPending(), 0);
    // the teacher went back to pending with the class, so he earns nothing for it
    EXPECT_EQ(c.rcd.GetPerStudentWage(), 0);
    EXPECT_EQ(c.rcd.GetLessonWage(), 0);
    EXPECT_TRUE(Texts(c.rcd).contains(QStringLiteral("1:已取消！")));

    // a line validated on its own in a cancelled class keeps no receipt either
    CDBEduRcdStudent* line = c.Student(21);
    line->m_nAttence = ATTENCE_LATE;
    line->Validate(nullptr, true);
    EXPECT_EQ(line->m_nAttence, ATTENCE_PENDING);
    EXPECT_EQ(line->m_receipt.m_nID, 0);
}

TEST(ClassRecord, RemainingLessonsAndTheirMessages)
{
    // WarnRemained is 3 (the preference's default)
    struct Case
    {
        int storedRemained; // rcpRemained as read, the stored consumption counted
        bool storedConsumed;
        int attence;
        int remained;
        const char* message;
    } const cases[] = {
        {4, false, ATTENCE_ONTIME, 3, nullptr},                           // equal to WarnRemained: quiet
        {3, false, ATTENCE_ONTIME, 2, "3:张三报名课时 15 次，余 2 次。"}, // one below
        {1, false, ATTENCE_ONTIME, 0, "1:张三已结课。"},
        {0, false, ATTENCE_ABSENT, -1, "4:张三超课 1 次。"},
        {5, true, ATTENCE_ONTIME, 5, nullptr}, // stored and still on time: counted once
        {5, true, ATTENCE_LEAVE, 6, nullptr},  // stored on time, now leave: given back
    };
    for (const Case& c : cases) {
        XClass k;
        k.GiveReceipts(21, {Receipt(9, 0, 0, XDateTime(2025, 9, 1), XDateTime(2026, 9, 1), c.storedRemained)});
        CDBEduRcdStudent* s = k.Student(21);
        s->m_rcpLessonAc = 15;
        s->m_rcpRemained = c.storedRemained;
        s->m_rcpCountIn = 15 - c.storedRemained;
        if (c.storedConsumed) {
            s->m_nOrgReceiptID = 9;
            s->m_receipt.m_nID = 9;
        }
        s->m_nAttence = c.attence;
        k.rcd.Validate(nullptr, false);
        EXPECT_EQ(s->GetRemained(), c.remained) << c.storedRemained << "/" << c.attence;
        const QStringList texts = Texts(*s);
        if (c.message)
            EXPECT_TRUE(texts.contains(QString::fromUtf8(c.message))) << texts.join(u' ').toStdString();
        else
            EXPECT_FALSE(texts.join(u' ').contains(QStringLiteral("课时"))) << texts.join(u' ').toStdString();
    }
    // the text: bought - consumed so far (this line's lesson marked) = remaining
    XClass k;
    k.GiveReceipts(21, {Receipt(9, 0, 0, XDateTime(2025, 9, 1), XDateTime(2026, 9, 1), 10)});
    CDBEduRcdStudent* s = k.Student(21);
    s->m_rcpLessonAc = 15;
    s->m_rcpCountIn = 5;
    s->m_rcpRemained = 10;
    s->m_nAttence = ATTENCE_ONTIME;
    k.rcd.Validate(nullptr, false);
    EXPECT_EQ(s->GetRemainedText(), QStringLiteral("15-5⁻¹=9"));
}

TEST(ClassRecord, ConsumingLineWithoutReceiptIsAnError)
{
    XClass c;
    c.GiveReceipts(21, {});
    c.Student(21)->m_nAttence = ATTENCE_ONTIME;
    c.Student(21)->Validate(nullptr, true);
    EXPECT_EQ(c.Student(21)->m_receipt.m_nID, 0);
    EXPECT_TRUE(Texts(*c.Student(21)).contains(QStringLiteral("4:请选择一项报名收据！")));
}

TEST(ClassRecord, AutoSetHoldsTheClassAndAutoResetRestoresThePlan)
{
    XClass c;
    c.GiveReceipts(21, {Receipt(9, 0, 0, XDateTime(2025, 9, 1), XDateTime(2026, 9, 1), 10)});
    c.GiveReceipts(22, {});
    c.GiveReceipts(23, {Receipt(7, 1, 0, XDateTime(2025, 9, 1), XDateTime(2026, 9, 1), 0)});
    c.Student(23)->m_nAttence = ATTENCE_LEAVE;
    c.rcd.m_nID = 40; // as if stored
    c.rcd.AutoSet();
    EXPECT_EQ(c.rcd.m_nClassStatus, CLASS_HELD);
    EXPECT_EQ(c.Student(21)->m_receipt.m_nID, 9);
    EXPECT_EQ(c.Student(22)->m_nAttence, ATTENCE_ONTIME); // no receipt: on time, consuming nothing
    EXPECT_EQ(c.Student(22)->m_receipt.m_nID, 0);
    EXPECT_EQ(c.Student(23)->m_nAttence, ATTENCE_LEAVE);
    EXPECT_EQ(c.rcd.m_teachers[0]->m_nAttence, ATTENCE_ONTIME);
    EXPECT_FALSE(c.rcd.IsAutoEmpty());

    c.rcd.m_strMemo = QStringLiteral("改到二号琴房");
    c.rcd.AutoReset();
    EXPECT_TRUE(c.rcd.IsAutoEmpty());
    EXPECT_EQ(c.rcd.CountConsumed(), 0);
    EXPECT_EQ(c.rcd.m_nClassStatus, CLASS_PENDING);
    // the stored row keeps its ID, so that saving the reset record deletes it
    EXPECT_EQ(c.rcd.m_nID, 40);
}

TEST(ClassRecord, PlannedLinesAndAutoEmpty)
{
    XClass c(1);
    EXPECT_TRUE(c.rcd.IsAutoEmpty());
    EXPECT_EQ(c.Student(21)->m_timeSpan.Value(), 17001745);
    EXPECT_EQ(c.Student(21)->GetPlannedSpan().Value(), 17001745);
    // a moved one-to-one line is a change; the record time follows its lines
    c.Student(21)->m_timeSpan = CXTimeSpan(16151700);
    EXPECT_FALSE(c.rcd.IsAutoEmpty());
    c.rcd.Validate(nullptr, false);
    EXPECT_EQ(c.rcd.m_timeSpan.Value(), 16151915);
    // a line of a student the timetable does not have is temporary, a trial is a trial
    auto* extra = c.rcd.m_students.CreateTyped();
    extra->m_nID = 30;
    c.rcd.m_students.Add(extra);
    EXPECT_EQ(extra->GetKind(), 0);
    EXPECT_EQ(c.rcd.CountTemporary(), 1);
    EXPECT_EQ(c.rcd.CountPlanned(), 3);
    // only leave and absence: the record has no time
    XClass away(1);
    for (auto* s : Typed(away.rcd.m_students))
        s->m_nAttence = s->m_nID == 21 ? ATTENCE_LEAVE : ATTENCE_ABSENT;
    away.rcd.Validate(nullptr, false);
    EXPECT_EQ(away.rcd.m_timeSpan.Value(), 0);
}

TEST(ClassRecord, OneToOneDefaultTimes)
{
    // DefaultDur1 45: after 17:00~17:45 and 17:45~18:30 comes 18:30~19:15
    XClass c(1, XDateTime(2026, 1, 21)); // 王五 has left by then: two lines
    ASSERT_EQ(c.rcd.m_students.GetSize(), 2);
    auto* third = c.rcd.m_students.CreateTyped();
    const CHead* time = CDBEduRcdStudent::StaticHeads()->FindByColumn(QStringLiteral("TimeSpan"));
    EXPECT_EQ(third->GetDefault(time), 18301915);
    // with a 50-minute gap before the first line the default goes there
    c.Student(21)->m_timeSpan = CXTimeSpan(17501835);
    c.Student(22)->m_timeSpan = CXTimeSpan(18351920);
    EXPECT_EQ(third->GetDefault(time), 17001745);
    delete third;
}

TEST(ClassRecord, LessonWage)
{
    XClass c;
    c.rcd.m_nTeacher = 11;
    CDBEduRcdTeacher* t = c.rcd.m_teachers[0];
    t->m_pay.m_fPerStudent = 20;
    t->m_pay.m_fPerUnit = 10;
    t->m_pay.m_fPerEduRcd = 50;
    t->m_pay.m_fPerMin = 200;
    t->m_nAttence = ATTENCE_ONTIME;
    c.Student(21)->m_receipt.m_nID = 9;
    c.Student(21)->m_fIncome = 200;
    // 20 x 1 + 200 x 10 % + 50 = 90, topped up to 200
    EXPECT_DOUBLE_EQ(c.rcd.GetPerStudentWage() + c.rcd.GetShareWage() + c.rcd.GetBaseWage(), 90);
    EXPECT_DOUBLE_EQ(c.rcd.GetMinimumWage(), 110);
    EXPECT_DOUBLE_EQ(c.rcd.GetLessonWage(), 200);
    t->m_nAttence = ATTENCE_LEAVE;
    EXPECT_DOUBLE_EQ(c.rcd.GetLessonWage(), 0);
}

TEST(ClassPlan, MergeLaysStoredRecordsOverThePlan)
{
    XClass plan;
    CXArray timetables(nullptr, true);
    timetables.AddAdopted(plan.rcd.m_sch.CopyTo(nullptr));
    CXArrayT<CDBEduRcd, true> generated;
    GenerateClassRecords(timetables, Day(2026, 1, 12), Day(2026, 1, 25), generated); // 01-14, 01-21
    ASSERT_EQ(generated.GetSize(), 2);

    // stored: 01-14 held with 张三 on time and a temporary 陈七; a record of 01-07, a day the
    // plan no longer makes; and a temporary class
    CXArrayT<CDBEduRcd, true> stored;
    const auto record = [&](int id, XDateTime date, int sch) {
        CDBEduRcd* r = stored.CreateTyped();
        r->m_nID = id;
        r->m_dtDate = date;
        r->m_sch.m_nID = sch;
        r->m_nClassStatus = CLASS_HELD;
        stored.Add(r);
        return r;
    };
    CDBEduRcd* held = record(50, XDateTime(2026, 1, 14), 7);
    const auto line = [](CDBEduRcd* r, int rowId, int student, int sub, int attence, int receipt) {
        CDBEduRcdStudent* s = r->m_students.CreateTyped();
        s->m_nSubID = rowId;
        s->m_nID = student;
        s->m_nSchSubID = sub;
        s->m_nAttence = attence;
        s->m_receipt.m_nID = s->m_nOrgReceiptID = receipt;
        r->m_students.Add(s);
    };
    line(held, 900, 21, 101, ATTENCE_ONTIME, 9);
    line(held, 901, 26, 0, ATTENCE_ONTIME, 5);
    CDBEduRcdTeacher* t = held->m_teachers.CreateTyped();
    t->m_nSubID = 950;
    t->m_nID = 12;
    t->m_nAttence = ATTENCE_LATE;
    held->m_teachers.Add(t);
    CDBEduRcd* old = record(51, XDateTime(2026, 1, 7), 7);
    line(old, 902, 21, 101, ATTENCE_ONTIME, 9);
    record(52, XDateTime(2026, 1, 15), 0);

    CXBase designated;
    designated.m_nID = 21;
    MergeStoredRecords(generated, stored, designated);
    ASSERT_EQ(generated.GetSize(), 4);
    EXPECT_TRUE(stored.IsEmpty());
    const CDBEduRcd* merged = generated[0];
    EXPECT_EQ(merged->m_nID, 50);
    EXPECT_EQ(merged->m_nClassStatus, CLASS_HELD);
    ASSERT_EQ(merged->m_students.GetSize(), 4); // 张三 stored, 李四 and 王五 planned, 陈七 added
    EXPECT_EQ(merged->m_students[0]->m_nSubID, 900);
    EXPECT_EQ(merged->m_students[0]->m_receipt.m_nID, 9);
    EXPECT_EQ(merged->m_students[0]->GetKind(), 1);
    EXPECT_EQ(merged->m_students[1]->m_nSubID, -2);
    EXPECT_EQ(merged->m_students[3]->m_nID, 26);
    EXPECT_EQ(merged->m_students[3]->GetKind(), 0);
    EXPECT_EQ(merged->m_teachers[1]->m_nSubID, 950);
    EXPECT_EQ(merged->m_teachers[1]->m_nAttence, ATTENCE_LATE);
    EXPECT_EQ(merged->m_student.m_nID, 21);
    EXPECT_EQ(generated[1]->m_nID, 0);
    // the record the plan no longer makes stays, its line temporary, never dropped
    EXPECT_EQ(generated[2]->m_nID, 51);
    EXPECT_EQ(generated[2]->m_students[0]->GetKind(), 0);
    EXPECT_EQ(generated[2]->CountConsumed(), 1);
    EXPECT_EQ(generated[3]->m_nID, 52);
    EXPECT_EQ(generated[3]->m_student.m_nID, 21);
}

TEST(ClassPlan, KindAndListFilters)
{
    struct Case
    {
        const char* kinds;
        int left; // of one planned and one temporary record
    } const cases[] = {{"0", 1}, {"1", 1}, {"0,1", 2}, {"", 2}};
    for (const Case& c : cases) {
        CXArrayT<CDBEduRcd, true> records;
        records.Add(records.CreateTyped());
        records.Add(records.CreateTyped());
        records[0]->m_sch.m_nID = 7;
        records[1]->m_nID = 52;
        CXMap query;
        query.SetText(1072, QString::fromUtf8(c.kinds));
        FilterClassRecords(records, query);
        ASSERT_EQ(records.GetSize(), c.left) << c.kinds;
        if (QString::fromUtf8(c.kinds) == QStringLiteral("0"))
            EXPECT_EQ(records[0]->m_nID, 52);
        if (QString::fromUtf8(c.kinds) == QStringLiteral("1"))
            EXPECT_EQ(records[0]->m_sch.m_nID, 7);
    }
    // key 2 removes stored records by ID, never the generated ones
    CXArrayT<CDBEduRcd, true> records;
    records.Add(records.CreateTyped());
    records.Add(records.CreateTyped());
    records[1]->m_nID = 52;
    CXMap query;
    query.SetText(QKEY_NOT_IDS, QStringLiteral("52,7"));
    FilterClassRecords(records, query);
    ASSERT_EQ(records.GetSize(), 1);
    EXPECT_EQ(records[0]->m_nID, 0);
}
