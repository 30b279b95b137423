// Class records on the fixture school (today 2026-03-18): generation from a timetable,
// attendance saved and read back, the lessons it takes from the receipts, and the round trips
// back to the plan that must leave nothing stored.
#include "CDBEduRcd.h"
#include "TeachingModules.h"
#include "CModuleEduRcd.h"
#include "CModuleEduSch.h"
#include "FixtureSchool.h"
#include "FormatString.h"
#include "RecordWriter.h"
#include "SqlPrepare.h"
#include "TypedLines.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

int Day(int y, int m, int d) { return static_cast<int>(XDateTime(y, m, d).Day()); }

class ClassRecordTest : public SchoolTest
{
protected:
    void SetUp() override
    {
        // the class records are generated from what the timetable module reads
        m_modules.Register();
        SchoolTest::SetUp();
        // a weekly piano class on Wednesdays from 2026-01-07, 18:00~19:30, taught by T1,
        // with S1 and S6
        ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH (CourseID, ClassForm, DateBgn, DateEnd, TimeSpan, "
                                      u"EduLocation) VALUES (%d, 0, %d, 0, 18001930, '一号琴房')",
                                      m_school.piano, Day(2026, 1, 7))));
        m_sch = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_EDUSCH")));
        ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH_TEACHER (EduSchID, TeacherID) VALUES (%d, %d);"
                                      u"INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES (%d, %d);"
                                      u"INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES (%d, %d);",
                                      m_sch, m_school.t1, m_sch, m_school.s1, m_sch, m_school.s6)));
    }
    void TearDown() override
    {
        SchoolTest::TearDown();
        m_modules.Unregister();
    }

    // The class records of the timetable in January, newest first.
    void ReadJanuary(CXArrayT<CDBEduRcd, true>& records, int student = 0)
    {
        CXMap query;
        query.SetText(MDU_EDUSCH, QString::number(m_sch));
        query.SetDate(1047, XDateTime(2026, 1, 1));
        query.SetDate(1048, XDateTime(2026, 1, 31));
        if (student)
            query.SetText(MDU_STUDENT, QString::number(student));
        ASSERT_TRUE(FindModule(MDU_EDURCD)->QueryItems(records, query, true, false));
    }
    CDBEduRcd* OnDay(CXArrayT<CDBEduRcd, true>& records, int day)
    {
        for (auto* r : Typed(records))
            if (static_cast<int>(r->m_dtDate.Day()) == day)
                return r;
        ADD_FAILURE() << "no class on day " << day;
        return nullptr;
    }
    static CDBEduRcdStudent* LineOf(CDBEduRcd* r, int student)
    {
        for (auto* s : Typed(r->m_students))
            if (s->m_nID == student)
                return s;
        return nullptr;
    }
    static bool Save(CDBEduRcd* r) { return SaveItem(nullptr, r, nullptr, FixtureUser()); }
    static int Remained(int receipt)
    {
        return static_cast<int>(
            QueryNumber(PrepareSql(FormatString(u"SELECT Remained FROM [V_RECEIPT] WHERE ID=%d", receipt))));
    }
    int Stored(const char* table, const QString& where) const
    {
        return static_cast<int>(
            QueryNumber(FormatString(u"SELECT COUNT(*) FROM %s WHERE %s", QString::fromUtf8(table), where)));
    }
    int StoredRecords() const { return Stored("TB_EDURCD", FormatString(u"EduSchID=%d", m_sch)); }
    // Every receipt's consumption as the view counts it equals the consuming lines naming it.
    static void CheckCountIn()
    {
        const int mismatches = static_cast<int>(QueryNumber(PrepareSql(QStringLiteral(
            "SELECT COUNT(*) FROM [V_RECEIPT] WHERE CountIn <> (SELECT COUNT(*) FROM TB_EDURCD_STUDENT AS L "
            "WHERE L.ReceiptID = V_RECEIPT.ID AND L.Attence BETWEEN 2 AND 4 AND L.LessonType = 0)"))));
        EXPECT_EQ(mismatches, 0);
    }

    XTeachingModules m_modules;
    int m_sch = 0;
};

} // namespace

TEST_F(ClassRecordTest, JanuaryIsGeneratedOnTheTimetablesWeekday)
{
    CXArrayT<CDBEduRcd, true> records;
    ReadJanuary(records);
    ASSERT_EQ(records.GetSize(), 4);
    // newest first: the Wednesdays 01-28, 01-21, 01-14, 01-07
    const int days[] = {Day(2026, 1, 28), Day(2026, 1, 21), Day(2026, 1, 14), Day(2026, 1, 7)};
    for (int i = 0; i < 4; ++i) {
        const CDBEduRcd* r = records[i];
        EXPECT_EQ(static_cast<int>(r->m_dtDate.Day()), days[i]);
        EXPECT_EQ(r->m_nID, 0);
        EXPECT_TRUE(r->IsAutoEmpty());
        EXPECT_EQ(r->m_course.m_nID, m_school.piano);
        EXPECT_EQ(r->m_timeSpan.Value(), 18001930);
        EXPECT_EQ(r->m_students.GetSize(), 2);
        EXPECT_EQ(r->m_teachers.GetSize(), 1);
        // a class long over and never taken
        EXPECT_EQ(r->GetStatusText(), QStringLiteral("未完成考勤！"));
    }
}

TEST_F(ClassRecordTest, AttendanceIsStoredOnceAndConsumesExactlyItsLessons)
{
    const int r1Before = Remained(m_school.r1), r4Before = Remained(m_school.r4), r6Before = Remained(m_school.r6);
    ASSERT_EQ(r6Before, 33);
    ASSERT_EQ(r4Before, -2);
    {
        CXArrayT<CDBEduRcd, true> records;
        ReadJanuary(records);
        // an untouched plan is not stored
        ASSERT_TRUE(Save(OnDay(records, Day(2026, 1, 28))));
        EXPECT_EQ(StoredRecords(), 0);
        // 01-07: everyone on time. S1 takes his lesson from R6 (per lesson, lessons left;
        // newest first), S6 has only the overdrawn R4.
        CDBEduRcd* first = OnDay(records, Day(2026, 1, 7));
        first->AutoSet();
        EXPECT_EQ(LineOf(first, m_school.s1)->m_receipt.m_nID, m_school.r6);
        EXPECT_EQ(LineOf(first, m_school.s6)->m_receipt.m_nID, m_school.r4);
        ASSERT_TRUE(Save(first));
        // 01-14: S1 on leave, S6 absent (an absence consumes)
        CDBEduRcd* second = OnDay(records, Day(2026, 1, 14));
        second->m_nClassStatus = CLASS_HELD;
        second->m_teachers[0]->m_nAttence = ATTENCE_ONTIME;
        LineOf(second, m_school.s1)->m_nAttence = ATTENCE_LEAVE;
        LineOf(second, m_school.s6)->m_nAttence = ATTENCE_ABSENT;
        second->Validate(&FixtureUser(), false);
        ASSERT_TRUE(Save(second));
        // 01-21: cancelled
        CDBEduRcd* third = OnDay(records, Day(2026, 1, 21));
        third->m_nClassStatus = CLASS_CANCELLED;
        third->Validate(&FixtureUser(), false);
        ASSERT_TRUE(Save(third));
    }
    // a make-up class (补课) on Saturday 01-24 for S1
    CDBEduRcd makeUp;
    makeUp.m_dtDate = XDateTime(2026, 1, 24);
    makeUp.m_course.m_nID = m_school.piano;
    makeUp.m_nClassStatus = CLASS_HELD;
    CDBEduRcdTeacher* t = makeUp.m_teachers.CreateTyped();
    t->m_nID = m_school.t1;
    t->m_nAttence = ATTENCE_ONTIME;
    makeUp.m_teachers.Add(t);
    CDBEduRcdStudent* s = makeUp.m_students.CreateTyped();
    s->m_nID = m_school.s1;
    s->m_nAttence = ATTENCE_ONTIME;
    makeUp.m_students.Add(s);
    makeUp.Validate(&FixtureUser(), true);
    EXPECT_EQ(s->m_receipt.m_nID, m_school.r6);
    ASSERT_TRUE(Save(&makeUp));
    ASSERT_GT(makeUp.m_nID, 0);

    // stored: three planned records (01-07, 01-14 and the cancelled 01-21) and the make-up;
    // lines only where they differ from the plan (none in the cancelled class)
    EXPECT_EQ(StoredRecords(), 3);
    EXPECT_EQ(
        Stored("TB_EDURCD_STUDENT", FormatString(u"EduRcdID IN (SELECT ID FROM TB_EDURCD WHERE EduSchID=%d)", m_sch)),
        4);
    EXPECT_EQ(
        Stored("TB_EDURCD_TEACHER", FormatString(u"EduRcdID IN (SELECT ID FROM TB_EDURCD WHERE EduSchID=%d)", m_sch)),
        2);
    // R6: 33 - 1 (01-07) - 1 (make-up) = 31; R4: -2 - 1 (01-07) - 1 (01-14 absent) = -4
    EXPECT_EQ(Remained(m_school.r6), r6Before - 2);
    EXPECT_EQ(Remained(m_school.r4), r4Before - 2);
    EXPECT_EQ(Remained(m_school.r1), r1Before);
    CheckCountIn();

    // read back: the stored attendance lies over the plan, the rest is still the plan
    CXArrayT<CDBEduRcd, true> again;
    ReadJanuary(again);
    ASSERT_EQ(again.GetSize(), 4);
    CDBEduRcd* first = OnDay(again, Day(2026, 1, 7));
    EXPECT_GT(first->m_nID, 0);
    EXPECT_EQ(first->m_nClassStatus, CLASS_HELD);
    EXPECT_EQ(LineOf(first, m_school.s1)->m_nAttence, ATTENCE_ONTIME);
    EXPECT_EQ(LineOf(first, m_school.s1)->GetKind(), 1);
    EXPECT_EQ(LineOf(first, m_school.s6)->m_nOrgReceiptID, m_school.r4);
    // S6's figures as read count the stored lessons: the text shows this class's one
    EXPECT_EQ(LineOf(first, m_school.s6)->GetRemained(), -4);
    EXPECT_EQ(OnDay(again, Day(2026, 1, 21))->m_nClassStatus, CLASS_CANCELLED);
    EXPECT_EQ(OnDay(again, Day(2026, 1, 28))->m_nID, 0);

    // the make-up class is found as a temporary record
    CXArrayT<CDBEduRcd, true> temporary;
    CXMap query;
    query.SetDate(1047, XDateTime(2026, 1, 24));
    query.SetDate(1048, XDateTime(2026, 1, 24));
    query.SetText(1072, QStringLiteral("0"));
    ASSERT_TRUE(FindModule(MDU_EDURCD)->QueryItems(temporary, query, true, false));
    ASSERT_EQ(temporary.GetSize(), 1);
    EXPECT_EQ(temporary[0]->m_nID, makeUp.m_nID);
    EXPECT_FALSE(temporary[0]->IsAuto());

    // resetting the stored class to its plan and saving removes it with its lines, and the
    // lessons come back
    first->AutoReset();
    ASSERT_TRUE(first->IsAutoEmpty());
    ASSERT_TRUE(Save(first));
    EXPECT_EQ(StoredRecords(), 2);
    EXPECT_EQ(Stored("TB_EDURCD_STUDENT", FormatString(u"EduRcdID=%d", OnDay(again, Day(2026, 1, 7))->m_nID)), 0);
    EXPECT_EQ(Remained(m_school.r6), r6Before - 1);
    EXPECT_EQ(Remained(m_school.r4), r4Before - 1);
    CheckCountIn();
}

TEST_F(ClassRecordTest, ChangedThenUndoneClassLeavesNothingStored)
{
    struct Change
    {
        const char* what;
        std::function<void(CDBEduRcd&, const XFixtureSchool&)> apply;
        int lines;    // student and teacher rows stored for the change
        int students; // student lines read back: a removed planned line comes back from the plan
    };
    const Change changes[] = {
        {"attendance", [](CDBEduRcd& r, const XFixtureSchool&) { r.m_students[0]->m_nAttence = ATTENCE_LEAVE; }, 1, 2},
        {"cancelled", [](CDBEduRcd& r, const XFixtureSchool&) { r.m_nClassStatus = CLASS_CANCELLED; }, 0, 2},
        {"moved time", [](CDBEduRcd& r, const XFixtureSchool&) { r.m_timeSpan = CXTimeSpan(19002030); }, 0, 2},
        {"line removed",
         [](CDBEduRcd& r, const XFixtureSchool&) {
             r.m_students[0]->m_nAttence = ATTENCE_LEAVE;
             r.m_students.RemoveAt(1);
         },
         1, 2},
        {"line added",
         [](CDBEduRcd& r, const XFixtureSchool& school) {
             CDBEduRcdStudent* s = r.m_students.CreateTyped();
             s->m_nID = school.s2;
             s->m_nLessonType = 1;
             r.m_students.Add(s);
         },
         1, 3},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        {
            CXArrayT<CDBEduRcd, true> records;
            ReadJanuary(records);
            CDBEduRcd* r = OnDay(records, Day(2026, 1, 28));
            ASSERT_TRUE(Save(r));
            EXPECT_EQ(StoredRecords(), 0);
            change.apply(*r, m_school);
            r->Validate(&FixtureUser(), false);
            ASSERT_TRUE(Save(r));
            EXPECT_EQ(StoredRecords(), 1);
            EXPECT_EQ(Stored("TB_EDURCD_STUDENT", FormatString(u"EduRcdID=%d", r->m_nID)) +
                          Stored("TB_EDURCD_TEACHER", FormatString(u"EduRcdID=%d", r->m_nID)),
                      change.lines);
        }
        CXArrayT<CDBEduRcd, true> records;
        ReadJanuary(records);
        CDBEduRcd* r = OnDay(records, Day(2026, 1, 28));
        EXPECT_GT(r->m_nID, 0);
        EXPECT_EQ(r->m_students.GetSize(), change.students);
        r->AutoReset();
        ASSERT_TRUE(Save(r));
        EXPECT_EQ(StoredRecords(), 0);
        EXPECT_EQ(Stored("TB_EDURCD_STUDENT", QStringLiteral("EduRcdID NOT IN (SELECT ID FROM TB_EDURCD)")), 0);
        CheckCountIn();
    }
}

TEST_F(ClassRecordTest, StoredLineOfAStudentWhoLeftStaysAsTemporary)
{
    {
        CXArrayT<CDBEduRcd, true> records;
        ReadJanuary(records);
        CDBEduRcd* r = OnDay(records, Day(2026, 1, 28));
        r->AutoSet();
        ASSERT_TRUE(Save(r));
    }
    // S6 leaves the timetable before that class
    ASSERT_TRUE(Exec(FormatString(u"UPDATE TB_EDUSCH_STUDENT SET EduEnd=%d WHERE EduSchID=%d AND StudentID=%d",
                                  Day(2026, 1, 20), m_sch, m_school.s6)));
    CXArrayT<CDBEduRcd, true> records;
    ReadJanuary(records);
    CDBEduRcd* r = OnDay(records, Day(2026, 1, 28));
    CDBEduRcdStudent* line = LineOf(r, m_school.s6);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->GetKind(), 0);
    EXPECT_EQ(line->m_receipt.m_nID, m_school.r4);
    // and the record of 01-21 no longer has S6 at all
    EXPECT_EQ(LineOf(OnDay(records, Day(2026, 1, 21)), m_school.s6), nullptr);
}

TEST_F(ClassRecordTest, OneStudentsFiguresDoNotLeakIntoTheNextQuery)
{
    {
        CXArrayT<CDBEduRcd, true> records;
        ReadJanuary(records);
        CDBEduRcd* r = OnDay(records, Day(2026, 1, 7));
        r->AutoSet();
        ASSERT_TRUE(Save(r));
    }
    CXArrayT<CDBEduRcd, true> mine;
    ReadJanuary(mine, m_school.s1);
    ASSERT_EQ(mine.GetSize(), 4);
    EXPECT_EQ(mine[0]->m_student.m_nID, m_school.s1);
    CDBEduRcd* stored = OnDay(mine, Day(2026, 1, 7));
    // S1 for piano: R1 (32 - 10 = 22 left) and R6 (33 - 1 = 32)
    EXPECT_EQ(LineOf(stored, m_school.s1)->m_rcpRemained, 22 + 32);
    EXPECT_EQ(stored->GetStudentAttence(), QStringLiteral("准时"));
    // the other students' stored lines are read too: saving the record must not drop them
    ASSERT_NE(LineOf(stored, m_school.s6), nullptr);
    EXPECT_EQ(LineOf(stored, m_school.s6)->m_nAttence, ATTENCE_ONTIME);
    EXPECT_GT(LineOf(stored, m_school.s6)->m_nSubID, 0);
    // the next query is about everyone: S6's stored line has its own figures (15 - 18)
    CXArrayT<CDBEduRcd, true> all;
    ReadJanuary(all);
    EXPECT_EQ(LineOf(OnDay(all, Day(2026, 1, 7)), m_school.s6)->m_rcpRemained, -3);
    EXPECT_EQ(LineOf(OnDay(all, Day(2026, 1, 7)), m_school.s1)->m_rcpRemained, 22 + 32);
}
