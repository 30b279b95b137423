// The timetable module on the fixture school: reading with the figures of class records and
// receipts, the query conditions and schemes, the title, relations.
#include "CFakeAppServices.h"
#include "CModuleEduRcd.h"
#include "CModuleEduSch.h"
#include "PeopleTestSupport.h"
#include "RecordWriter.h"
#include "StandInModule.h"
#include "TextUtils.h"

#include <gtest/gtest.h>

namespace {

XDateTime D(int y, int m, int d) { return XDateTime(y, m, d); }
int N(int y, int m, int d) { return static_cast<int>(XDateTime(y, m, d).Day()); }

class EduSchModule : public SchoolTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
        // An English class on Mondays that ended two days ago, and its one class record,
        // taken by 李四 (S3) without a timetable line.
        CDBEduSch e;
        e.m_course.m_nID = m_school.english;
        e.m_date.m_begin = D(2025, 9, 1);
        e.m_date.m_end = D(2026, 3, 16);
        e.m_time = 18001930;
        e.m_teachers.Add(e.NewTeacherLine(m_school.t5, QStringLiteral("郑强")));
        e.Validate(&FixtureUser(), true);
        ASSERT_TRUE(SaveItem(nullptr, &e, nullptr, FixtureUser()));
        m_e3 = e.m_nID;
        ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_EDURCD (ClassDate, CourseID, EduSchID, ClassStatus) "
                                        "VALUES (%1, %2, %3, 2)")
                             .arg(N(2026, 3, 9))
                             .arg(m_school.english)
                             .arg(m_e3)));
        m_rcd3 = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_EDURCD")));
        ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_EDURCD_STUDENT (EduRcdID, StudentID, Attence, ReceiptID) "
                                        "VALUES (%1, %2, 2, %3)")
                             .arg(m_rcd3)
                             .arg(m_school.s3)
                             .arg(m_school.r3)));
    }

    // The timetables the query finds, named E1, E2, E3, sorted.
    QString Found(const CXMap& query, bool light = false)
    {
        CXArray items(nullptr, true);
        EXPECT_TRUE(FindModule(MDU_EDUSCH)->QueryItems(items, query, light, false));
        QStringList names;
        for (const CXItem* item : items)
            names << (item->m_nID == m_school.e1   ? QStringLiteral("E1")
                      : item->m_nID == m_school.e2 ? QStringLiteral("E2")
                      : item->m_nID == m_e3        ? QStringLiteral("E3")
                                                   : QString::number(item->m_nID));
        names.sort();
        return names.join(u',');
    }

    QString Link(int mdu, int id)
    {
        CXBase link;
        link.m_nMduID = mdu;
        link.m_nID = id;
        link.m_strName = QStringLiteral("x");
        return link.GetLink();
    }

    int m_e3 = 0;
    int m_rcd3 = 0;
};

TEST_F(EduSchModule, FixtureTimetablesReadBackWithTheirReceiptFigures)
{
    std::unique_ptr<CDBEduSch> e1 = ReadOne<CDBEduSch>(m_school.e1);
    ASSERT_TRUE(e1);
    EXPECT_EQ(e1->m_course.m_strName, QStringLiteral("钢琴"));
    EXPECT_EQ(e1->m_time.Value(), 17001830);
    EXPECT_EQ(e1->m_date.m_begin.DayOfWeek(), 2); // Wednesday
    ASSERT_EQ(e1->m_teachers.GetSize(), 1);
    EXPECT_EQ(e1->m_teachers.GetAt(0)->m_nID, m_school.t3);
    EXPECT_EQ(e1->m_teachers.GetAt(0)->m_nSubID, m_school.e1T3);
    EXPECT_EQ(e1->m_teachers.GetAt(0)->m_strName, QStringLiteral("周杰"));
    ASSERT_EQ(e1->m_students.GetSize(), 2);
    const CDBEduSchStudent* s1 = nullptr;
    const CDBEduSchStudent* s6 = nullptr;
    for (const CDBEduSchStudent* line : EduSch::Lines(e1->m_students))
        (line->m_nID == m_school.s1 ? s1 : s6) = line;
    ASSERT_TRUE(s1 && s6);
    EXPECT_EQ(s1->m_nSubID, m_school.e1S1);
    EXPECT_EQ(s6->m_nID, m_school.s6);
    // S1 holds piano through R1 (2 x 15 + 2 = 32 lessons) and R6 (30 + 3 = 33): 65
    EXPECT_EQ(s1->m_nRcpPayTimes, 2);
    EXPECT_EQ(s1->m_nRcpLessonAc, 65);
    EXPECT_EQ(s1->m_nRcpRemained, static_cast<int>(QueryNumber(PrepareSql(
                                      QStringLiteral("SELECT SUM(Remained) FROM [V_RECEIPT] WHERE ID IN (%1,%2)")
                                          .arg(m_school.r1)
                                          .arg(m_school.r6)))));
    // S6: R4, 15 lessons, 17 taken: 2 over, which the timetable warns of
    EXPECT_EQ(s6->m_nRcpPayTimes, 1);
    EXPECT_EQ(s6->m_nRcpLessonAc, 15);
    EXPECT_EQ(s6->m_nRcpRemained, -2);
    EXPECT_TRUE(e1->GetAlertText().contains(QStringLiteral("陈七已超课时"))) << e1->GetAlertText().toStdString();
    // 2026-01-07 .. today (03-18): 70 days, 11 lessons due
    EXPECT_EQ(e1->GetScheduled(), 11);

    // E2: art is held by S1 through R6 only
    std::unique_ptr<CDBEduSch> e2 = ReadOne<CDBEduSch>(m_school.e2);
    ASSERT_TRUE(e2);
    EXPECT_EQ(e2->m_nClassForm, CLASS_ONE_TO_ONE);
    ASSERT_EQ(e2->m_students.GetSize(), 1);
    EXPECT_EQ(e2->m_students.GetAt(0)->m_nRcpPayTimes, 1);
    EXPECT_EQ(e2->m_students.GetAt(0)->m_nRcpLessonAc, 33);
    EXPECT_EQ(e2->m_students.GetAt(0)->m_time.Value(), 9000945);
}

TEST_F(EduSchModule, ClassRecordFiguresLockDatesAndRefuseTheDelete)
{
    // three classes of E1: held, held, cancelled; S1 attended twice, T3 taught twice
    const struct
    {
        int day, status, studentAttence, teacherAttence;
    } classes[] = {{N(2026, 1, 7), 2, 2, 2}, {N(2026, 1, 14), 2, 3, 3}, {N(2026, 1, 21), 1, 0, 1}};
    for (const auto& c : classes) {
        ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_EDURCD (ClassDate, CourseID, EduSchID, ClassStatus) "
                                        "VALUES (%1, %2, %3, %4)")
                             .arg(c.day)
                             .arg(m_school.piano)
                             .arg(m_school.e1)
                             .arg(c.status)));
        ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_EDURCD_STUDENT (EduRcdID, StudentID, SchSubID, Attence) "
                                        "VALUES ((SELECT MAX(ID) FROM TB_EDURCD), %1, %2, %3)")
                             .arg(m_school.s1)
                             .arg(m_school.e1S1)
                             .arg(c.studentAttence)));
        ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_EDURCD_TEACHER (EduRcdID, TeacherID, Attence) "
                                        "VALUES ((SELECT MAX(ID) FROM TB_EDURCD), %1, %2)")
                             .arg(m_school.t3)
                             .arg(c.teacherAttence)));
    }
    std::unique_ptr<CDBEduSch> e1 = ReadOne<CDBEduSch>(m_school.e1);
    ASSERT_TRUE(e1);
    EXPECT_EQ(e1->m_nRcdTimes, 3);
    EXPECT_EQ(e1->m_nRcdCountIn, 2);
    EXPECT_EQ(EduSch::DayOf(e1->m_rcd.m_begin), N(2026, 1, 7));
    EXPECT_EQ(EduSch::DayOf(e1->m_rcd.m_end), N(2026, 1, 21));
    const CDBEduSchTeacher* t3 = e1->m_teachers.GetAt(0);
    EXPECT_EQ(t3->m_nRcdTimes, 3);
    EXPECT_EQ(t3->m_nRcdCountIn, 2); // attendance 2 or 3
    for (const CDBEduSchStudent* line : EduSch::Lines(e1->m_students)) {
        EXPECT_EQ(line->m_nRcdTimes, line->m_nID == m_school.s1 ? 3 : 0);
        EXPECT_EQ(line->m_nRcdCountIn, line->m_nID == m_school.s1 ? 2 : 0); // attendance from 2
    }
    EXPECT_EQ(e1->GetDeleteError(&FixtureUser()), QStringLiteral("已有关联的课堂记录。"));
    int min = 0, max = 0;
    e1->GetRange(CDBEduSch::StaticHeads()->FindByCaption(QStringLiteral("结束日期")), min, max);
    EXPECT_EQ(min, N(2026, 1, 21));
    for (const CDBEduSchStudent* line : EduSch::Lines(e1->m_students))
        EXPECT_EQ(line->GetDeleteWarning().isEmpty(), line->m_nID != m_school.s1);

    // one student asked about: his own class figures, the placeholders filled
    CXArray items(nullptr, true);
    CXMap query;
    query.SetPlainText(MDU_STUDENT, Link(MDU_STUDENT, m_school.s1));
    ASSERT_TRUE(FindModule(MDU_EDUSCH)->QueryItems(items, query, false, false));
    ASSERT_EQ(items.GetSize(), 2);
    for (const CXItem* item : items) {
        const auto* e = static_cast<const CDBEduSch*>(item);
        EXPECT_EQ(e->m_student.m_nID, m_school.s1);
        EXPECT_EQ(e->m_students.GetSize(), 1); // only his lines were read
        EXPECT_EQ(e->GetStudentRcdTimes(), e->m_nID == m_school.e1 ? 3 : 0);
        EXPECT_EQ(e->GetStudentStatus(), 1);
    }
}

TEST_F(EduSchModule, ConditionsAndSchemes)
{
    CXArray schemes(nullptr, true);
    FindModule(MDU_EDUSCH)->AddQuickQueries(schemes);
    QStringList names;
    QStringList found;
    for (const CXItem* scheme : schemes) {
        names << scheme->m_strName;
        found << scheme->m_strName + u'=' + Found(CXMap(scheme->m_strRightData));
    }
    EXPECT_EQ(names.join(u','),
              QStringLiteral("近一个月,近三个月,未结课,已结课,一对多,一对一,平时,周末,今年,去年,前年"));
    // E1 Wed open, E2 Sat one-to-one to 03-28, E3 Mon ended 03-16 (began 2025-09-01)
    EXPECT_EQ(found.join(u' '), QStringLiteral("近一个月=E1,E2,E3 近三个月=E1,E2,E3 未结课=E1,E2 已结课=E3 一对多=E1 "
                                               "一对一=E2 平时=E1 周末=E2 今年=E1,E2,E3 去年=E3 前年="));
    CXMap done(schemes.GetAt(3)->m_strRightData);
    EXPECT_EQ(done.GetCount(), 1); // 已结课 holds only its end date

    const struct
    {
        int key;
        QString value;
        const char* want;
    } cases[] = {
        {MDU_COURSE, Link(MDU_COURSE, m_school.piano), "E1"},
        {MDU_TEACHER, Link(MDU_TEACHER, m_school.t2), "E2"},
        {MDU_STUDENT, Link(MDU_STUDENT, m_school.s6), "E1"},
        {MDU_STUDENT, QString::number(m_school.s1), "E1,E2"}, // a plain ID list, as from the web
        {MDU_STUDENT, QStringLiteral("0) OR (1=1"), ""},      // only integers reach the SQL
        {MDU_EDURCD, QString::number(m_rcd3), "E3"},
        {MDU_RECEIPT, QString::number(m_school.r3), "E3"},
        {1242, QStringLiteral("0"), "E3"},
        {1242, QStringLiteral("2,5"), "E1,E2"},
        {1254, QStringLiteral("0,1"), "E1,E2,E3"},
        {1047, QStringLiteral("2026-01-04"), "E1"},
        {1048, QStringLiteral("2026-01-03"), "E2,E3"},
    };
    for (const auto& c : cases) {
        CXMap query;
        query.SetPlainText(c.key, c.value);
        EXPECT_EQ(Found(query), QString::fromUtf8(c.want)) << c.key << " " << c.value.toStdString();
    }
    // 李四 has only a class record of E3: the light read (class generation) finds it
    CXMap s3;
    s3.SetPlainText(MDU_STUDENT, Link(MDU_STUDENT, m_school.s3));
    EXPECT_EQ(Found(s3, false), QString());
    EXPECT_EQ(Found(s3, true), QStringLiteral("E3"));
}

// Timetables and class records look ahead as far as attendance may be taken in advance;
// the next-period command goes on from a range that ends there and stops beyond it.
TEST_F(EduSchModule, LatestQueryDateIsTodayPlusTheAdvanceForBothLessonModules)
{
    CFakeAppServices& app = CFakeAppServices::Installed();
    const CModuleEduRcd classRecords;
    const int today = N(2026, 3, 18);
    const struct
    {
        QVariant advance;
        int want;
    } cases[] = {
        {QVariant(), today + 180}, // not set: the preference's default, 180 days
        {30, today + 30},
        {1, today + 1},
        {730, today + 730}, // the preference's upper bound
    };
    for (const auto& c : cases) {
        if (c.advance.isValid())
            app.setup[QStringLiteral("RcdAdvance")] = c.advance;
        else
            app.setup.erase(QStringLiteral("RcdAdvance"));
        for (const CModule* module :
             {static_cast<const CModule*>(FindModule(MDU_EDUSCH)), static_cast<const CModule*>(&classRecords)}) {
            ASSERT_TRUE(module);
            const std::string what =
                std::to_string(module->GetMduID()) + " advance " + c.advance.toString().toStdString();
            EXPECT_EQ(module->GetMaxQueryDate(), c.want) << what;
            // a week ending on the latest date moves on by a week
            CXMap week;
            week.SetDate(QKEY_DATE_FROM, XDateTime(static_cast<double>(c.want - 6)));
            week.SetDate(QKEY_DATE_TO, XDateTime(static_cast<double>(c.want)));
            const CXMap next = module->GetNextPeriod(week);
            ASSERT_FALSE(next.IsEmpty()) << what;
            EXPECT_EQ(static_cast<int>(next.GetDate(QKEY_DATE_FROM).Day()), c.want + 1) << what;
            EXPECT_EQ(static_cast<int>(next.GetDate(QKEY_DATE_TO).Day()), c.want + 7) << what;
            // one day later it has passed the latest date: no next period
            week.SetDate(QKEY_DATE_FROM, XDateTime(static_cast<double>(c.want - 5)));
            week.SetDate(QKEY_DATE_TO, XDateTime(static_cast<double>(c.want + 1)));
            EXPECT_TRUE(module->GetNextPeriod(week).IsEmpty()) << what;
        }
    }
    app.setup.erase(QStringLiteral("RcdAdvance"));
}

TEST_F(EduSchModule, TitlesAndRelations)
{
    CXArray items(nullptr, true);
    CXMap query;
    ASSERT_TRUE(FindModule(MDU_EDUSCH)->QueryItems(items, query, true, false));
    ASSERT_EQ(items.GetSize(), 3);
    const QString sql = FindModule(MDU_EDUSCH)->GetItemTitleSql();
    const auto title = [&](int id) {
        return QueryText(QStringLiteral("SELECT ItemTitle FROM (%1) WHERE ID=%2").arg(PrepareSql(sql)).arg(id));
    };
    EXPECT_EQ(title(m_school.e1), QStringLiteral("2026年1月7日起 星期三 钢琴 周杰"));
    EXPECT_EQ(title(m_school.e2), QStringLiteral("2026年1月3日至2026年3月28日 星期六 美术 孙丽"));
    // a second teacher: "等"
    std::unique_ptr<CDBEduSch> e2 = ReadOne<CDBEduSch>(m_school.e2);
    e2->m_teachers.Add(e2->NewTeacherLine(m_school.t1, QStringLiteral("刘芳")));
    e2->Validate(&FixtureUser(), false);
    ASSERT_TRUE(SaveItem(nullptr, e2.get(), nullptr, FixtureUser()));
    EXPECT_EQ(title(m_school.e2), QStringLiteral("2026年1月3日至2026年3月28日 星期六 美术 孙丽等"));

    // class records are offered for timetables with lessons due
    CStandInModule classes(MDU_EDURCD);
    RegisterModule(&classes);
    CXMap related;
    EXPECT_EQ(FindModule(MDU_EDUSCH)->MakeRelateQuery(items, ID_REL_EDURCD, related, FixtureUser()), 1);
    EXPECT_EQ(related.GetText(MDU_EDUSCH).count(QStringLiteral("xl:333:")), 3);
    CXArray future(nullptr, true);
    CDBEduSch* later = static_cast<CDBEduSch*>(future.GetAt(future.Add(new CDBEduSch)));
    later->m_nID = 99;
    later->m_date.m_begin = D(2026, 3, 25);
    EXPECT_EQ(FindModule(MDU_EDUSCH)->MakeRelateQuery(future, ID_REL_EDURCD, related, FixtureUser()), -1);
    UnregisterModule(&classes);

    // pickers: enabled courses; teachers employed after the first day; students of the course
    const CHeads* heads = CDBEduSch::StaticHeads();
    const CDBEduSch* e1 = nullptr;
    for (const CXItem* item : items)
        if (item->m_nID == m_school.e1)
            e1 = static_cast<const CDBEduSch*>(item);
    ASSERT_TRUE(e1);
    EXPECT_EQ(e1->GetRelateQuery(heads->FindByCaption(QStringLiteral("课程")), nullptr).GetText(IDC_ENABLED),
              QStringLiteral("1"));
    const CXMap teachers = e1->GetRelateQuery(heads->FindByCaption(QStringLiteral("教师")), nullptr);
    EXPECT_EQ(teachers.GetDate(1126).Day(), N(2026, 1, 8));
    EXPECT_EQ(teachers.GetText(QKEY_NOT_IDS), QString::number(m_school.t3));
    const CXMap students = e1->GetRelateQuery(heads->FindByCaption(QStringLiteral("学员")), nullptr);
    EXPECT_EQ(students.GetText(1065), QStringLiteral("1,2,3"));
    EXPECT_EQ(students.GetIdList(MDU_COURSE), QString::number(m_school.piano));
    QList<int> listed;
    SplitInts(students.GetText(QKEY_NOT_IDS), listed);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, (QList<int>{m_school.s1, m_school.s6}));
}

} // namespace

namespace {

TEST_F(EduSchModule, BatchAddOffersTheStudentsOfThePackageNotYetListed)
{
    std::unique_ptr<CDBEduSch> e1 = ReadOne<CDBEduSch>(m_school.e1);
    ASSERT_TRUE(e1);
    const CXMap packages = CModuleEduSch::BatchPackageQuery(*e1);
    EXPECT_EQ(packages.GetIdList(MDU_COURSE), QString::number(m_school.piano));
    EXPECT_EQ(packages.GetText(1065), QStringLiteral("1"));
    // P1 was sold to S1 (R1), S6 (R4), S2 (R5, R7); S1 and S6 are in the timetable
    const CXMap query = CModuleEduSch::BatchStudentQuery(*e1, m_school.p1);
    QList<int> offered;
    CXArray found(nullptr, true);
    ASSERT_TRUE(FindModule(MDU_STUDENT)->QueryItems(found, query, true, false));
    for (const CXItem* s : found)
        offered << s->m_nID;
    EXPECT_EQ(offered, QList<int>{m_school.s2});
    // a package nobody bought offers nobody
    found.RemoveAll();
    ASSERT_TRUE(
        FindModule(MDU_STUDENT)->QueryItems(found, CModuleEduSch::BatchStudentQuery(*e1, m_school.p5), true, false));
    EXPECT_TRUE(found.IsEmpty());
}

} // namespace
