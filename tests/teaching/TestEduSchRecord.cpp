// The timetable record without a database: line dates, coverage, overlaps, the one-to-one
// time, defaults, ranges, access and the texts of its lines.
#include "CDBEduSch.h"
#include "CFakeAppServices.h"
#include "CHead.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

XDateTime D(int y, int m, int d) { return XDateTime(y, m, d); }
int N(int y, int m, int d) { return static_cast<int>(XDateTime(y, m, d).Day()); }

// The clock at nine in the morning of the given day, for the life of the object.
struct FixedClock
{
    explicit FixedClock(const XDateTime& day) { XClock::SetFixed(day.AddDays(0.375)); }
    ~FixedClock() { XClock::Reset(); }
};

const CHead* Head(const CHeads* heads, const char* caption) { return heads->FindByCaption(QString::fromUtf8(caption)); }

CDBEduSchTeacher* AddTeacher(CDBEduSch& e, int id, const char* name, const XDateTime& bgn, const XDateTime& end)
{
    CDBEduSchTeacher* line = e.NewTeacherLine(id, QString::fromUtf8(name));
    line->m_edu.m_begin = bgn;
    line->m_edu.m_end = end;
    e.m_teachers.Add(line);
    return line;
}

CDBEduSchStudent* AddStudent(CDBEduSch& e, int id, const char* name, const XDateTime& bgn, const XDateTime& end,
                             int time = 0, int remained = 5)
{
    CDBEduSchStudent* line = e.NewStudentLine(id, QString::fromUtf8(name));
    line->m_edu.m_begin = bgn;
    line->m_edu.m_end = end;
    line->m_time = time;
    line->m_nRcpRemained = remained;
    e.m_students.Add(line);
    return line;
}

// A Wednesday timetable from 2024-01-03, 17:00-18:30, one-to-many.
void Wednesdays(CDBEduSch& e, const XDateTime& end = XDateTime(0.0))
{
    e.m_course.m_nID = 1;
    e.m_date.m_begin = D(2024, 1, 3);
    e.m_date.m_end = end;
    e.m_time = 17001830;
}

QStringList Texts(const CXItem& item)
{
    QStringList texts;
    for (const CXStatus& s : item.m_status)
        if (!s.m_strText.isEmpty()) // not the plain "good" mark
            texts << QString::number(s.m_nLevel) + u' ' + s.m_strText;
    return texts;
}

const XDateTime kOpen(0.0);

TEST(EduSchRecord, LineDatesMoveOntoTheLessonWeekdayAndAsTheTimetableBecomesZero)
{
    FixedClock clock(D(2024, 1, 1));
    const struct
    {
        XDateTime bgn, end, dateEnd;
        int wantBgn, wantEnd;
    } cases[] = {
        {D(2024, 1, 9), D(2024, 2, 2), kOpen, N(2024, 1, 10), N(2024, 1, 31)}, // Tue -> next Wed, Fri -> last Wed
        {D(2024, 1, 1), kOpen, kOpen, 0, 0},                                   // before DateBgn: as the timetable
        {D(2024, 1, 3), D(2024, 1, 10), kOpen, 0, N(2024, 1, 10)},             // DateBgn itself: 0
        {kOpen, D(2024, 3, 1), D(2024, 2, 28), 0, 0},                          // Feb 28 not after Mar 1's Wed (28th)
        {kOpen, D(2024, 2, 20), D(2024, 2, 28), 0, N(2024, 2, 14)},            // inside the period: kept
        {D(2024, 1, 4), D(2024, 1, 9), kOpen, N(2024, 1, 10), N(2024, 1, 3)},  // a period holding no Wednesday
    };
    for (const auto& c : cases) {
        CDBEduSch e;
        Wednesdays(e, c.dateEnd);
        CDBEduSchTeacher* t = AddTeacher(e, 7, "周杰", c.bgn, c.end);
        CDBEduSchStudent* s = AddStudent(e, 9, "张三", c.bgn, c.end);
        e.Validate(nullptr, false);
        EXPECT_EQ(EduSch::DayOf(t->m_edu.m_begin), c.wantBgn) << c.bgn.Format(QStringLiteral("%Y-%m-%d")).toStdString();
        EXPECT_EQ(EduSch::DayOf(t->m_edu.m_end), c.wantEnd) << c.end.Format(QStringLiteral("%Y-%m-%d")).toStdString();
        EXPECT_EQ(EduSch::DayOf(s->m_edu.m_begin), c.wantBgn);
        EXPECT_EQ(EduSch::DayOf(s->m_edu.m_end), c.wantEnd);
    }
}

TEST(EduSchRecord, CoverageWalkFindsTheFirstStretchWithoutATeacherOrStudent)
{
    FixedClock clock(D(2024, 1, 1));
    {
        // 01-03..01-31 and 02-14..open: Feb 7 has nobody; the order of the lines does not matter
        CDBEduSch e;
        Wednesdays(e);
        AddTeacher(e, 8, "孙丽", D(2024, 2, 14), kOpen);
        AddTeacher(e, 7, "周杰", D(2024, 1, 3), D(2024, 1, 31));
        AddStudent(e, 9, "张三", kOpen, kOpen);
        e.Validate(nullptr, false);
        EXPECT_EQ(Texts(e), QStringList{QStringLiteral("3 2024年2月7日至2024年2月7日无教师！")});
        EXPECT_EQ(e.m_status.value(0).m_nMember, e.MemberOffset(&e.m_teachers));
    }
    {
        // the lines end before DateEnd: the rest of the period has nobody
        CDBEduSch e;
        Wednesdays(e, D(2024, 3, 27));
        AddTeacher(e, 7, "周杰", kOpen, kOpen);
        AddStudent(e, 9, "张三", kOpen, D(2024, 2, 28));
        AddStudent(e, 10, "李四", D(2024, 2, 21), D(2024, 3, 6));
        e.Validate(nullptr, false);
        // 张三 to Feb 28, 李四 to Mar 6: d = Mar 13, DateEnd Mar 27 is after it
        EXPECT_EQ(Texts(e), QStringList{QStringLiteral("3 2024年3月13日至2024年3月27日无学员！")});
    }
    {
        // no lines at all: one warning for each list, no stretch
        CDBEduSch e;
        Wednesdays(e, D(2024, 3, 27));
        e.Validate(nullptr, false);
        EXPECT_EQ(Texts(e), (QStringList{QStringLiteral("3 无教师！"), QStringLiteral("3 无学员！")}));
    }
}

TEST(EduSchRecord, AnEndedTimetableOnlySaysSo)
{
    FixedClock clock(D(2024, 3, 27));
    CDBEduSch e;
    Wednesdays(e, D(2024, 3, 27)); // ends today: ended
    e.Validate(nullptr, false);
    EXPECT_TRUE(e.IsEnded());
    EXPECT_EQ(Texts(e), QStringList{QStringLiteral("1 已结课！")});
    e.m_date.m_end = D(2024, 3, 28);
    EXPECT_FALSE(e.IsEnded());
}

TEST(EduSchRecord, OverlapsOfOnePersonsLinesAreErrors)
{
    FixedClock clock(D(2024, 1, 1));
    {
        // touching periods overlap: the bounds are inclusive
        CDBEduSch e;
        Wednesdays(e);
        AddTeacher(e, 7, "周杰", kOpen, kOpen);
        AddStudent(e, 9, "张三", kOpen, D(2024, 1, 31));
        CDBEduSchStudent* second = AddStudent(e, 9, "张三", D(2024, 1, 31), kOpen);
        AddStudent(e, 10, "李四", kOpen, kOpen);
        e.Validate(nullptr, false);
        EXPECT_EQ(Texts(*second), QStringList{QStringLiteral("4 有多个张三且日期重叠！")});
        EXPECT_EQ(second->m_status.value(0).m_nMember, second->MemberOffset(&second->m_edu.m_begin));
        // copied to the timetable at level 3, on the students list
        EXPECT_TRUE(Texts(e).contains(QStringLiteral("3 有多个张三且日期重叠！"))) << Texts(e).join(u'|').toStdString();
        // the next lesson day after the first line's end does not overlap
        second->m_edu.m_begin = D(2024, 2, 7);
        e.Validate(nullptr, false);
        EXPECT_TRUE(Texts(*second).isEmpty());
    }
    {
        // one-to-one: only when the times overlap too
        CDBEduSch e;
        Wednesdays(e);
        e.m_nClassForm = CLASS_ONE_TO_ONE;
        AddTeacher(e, 7, "周杰", kOpen, kOpen);
        AddStudent(e, 9, "张三", kOpen, kOpen, 17001745);
        CDBEduSchStudent* later = AddStudent(e, 9, "张三", kOpen, kOpen, 17451830);
        e.Validate(nullptr, false);
        EXPECT_TRUE(Texts(*later).isEmpty()) << Texts(*later).join(u'|').toStdString();
        later->m_time = 17001745;
        e.Validate(nullptr, false);
        EXPECT_TRUE(Texts(e).contains(QStringLiteral("3 有多个张三且日期和时间重叠！")))
            << Texts(e).join(u'|').toStdString();
    }
    {
        CDBEduSch e;
        Wednesdays(e);
        AddTeacher(e, 7, "周杰", kOpen, D(2024, 2, 7));
        CDBEduSchTeacher* again = AddTeacher(e, 7, "周杰", D(2024, 2, 7), kOpen);
        AddStudent(e, 9, "张三", kOpen, kOpen);
        e.Validate(nullptr, false);
        EXPECT_EQ(Texts(*again), QStringList{QStringLiteral("4 有多个周杰且日期重叠！")});
        // the dialog's copy of a line is not a second line of the teacher
        CDBEduSchTeacher copy;
        again->CopyTo(&copy);
        copy.m_pArray = &e.m_teachers;
        copy.m_pEditOf = again;
        copy.Validate(nullptr, false);
        EXPECT_EQ(Texts(copy), QStringList{QStringLiteral("4 有多个周杰且日期重叠！")}); // still the first line
        e.m_teachers.GetAt(0)->m_edu.m_end = D(2024, 1, 31);
        copy.Validate(nullptr, false);
        EXPECT_TRUE(Texts(copy).isEmpty()) << Texts(copy).join(u'|').toStdString();
    }
}

TEST(EduSchRecord, OneToOneTimeComesFromTheRunningStudents)
{
    FixedClock clock(D(2024, 2, 1));
    CDBEduSch e;
    Wednesdays(e);
    e.m_nClassForm = CLASS_ONE_TO_ONE;
    AddTeacher(e, 7, "周杰", kOpen, kOpen);
    AddStudent(e, 10, "李四", kOpen, kOpen, 18001845);
    AddStudent(e, 9, "张三", kOpen, kOpen, 17001745);
    AddStudent(e, 11, "王五", kOpen, D(2024, 1, 31), 19001945); // ended yesterday
    e.Validate(nullptr, false);
    EXPECT_EQ(e.m_time.Value(), 17001845);
    EXPECT_EQ(e.m_students.GetAt(0)->m_strName, QStringLiteral("张三")); // sorted by time
    for (CDBEduSchStudent* s : EduSch::Lines(e.m_students))
        s->m_edu.m_end = D(2024, 1, 31);
    e.Validate(nullptr, false);
    EXPECT_EQ(e.m_time.Value(), 0);
    // a one-to-one line needs a time
    CDBEduSchStudent* open = AddStudent(e, 12, "赵六", kOpen, kOpen, 0);
    e.Validate(nullptr, false);
    EXPECT_TRUE(Texts(*open).contains(QStringLiteral("4 未设置上课时间！")));
    // one-to-many: every line takes the timetable's time
    e.m_nClassForm = CLASS_ONE_TO_MANY;
    e.m_time = 17001830;
    e.Validate(nullptr, false);
    for (const CDBEduSchStudent* s : EduSch::Lines(e.m_students))
        EXPECT_EQ(s->m_time.Value(), 17001830);
}

TEST(EduSchRecord, LessonsLeftWarnOnRunningLinesOnly)
{
    FixedClock clock(D(2024, 2, 1));
    const struct
    {
        int remained;
        XDateTime end;
        const char* want;
    } cases[] = {
        {3, kOpen, nullptr},
        {0, kOpen, "3 张三已无课时，请提醒续费或结束其排课！"},
        {-2, kOpen, "3 张三已超课时，请提醒续费或结束其排课！"},
        {-2, D(2024, 1, 31), "1 已结课！"},
    };
    for (const auto& c : cases) {
        CDBEduSch e;
        Wednesdays(e);
        AddTeacher(e, 7, "周杰", kOpen, kOpen);
        CDBEduSchStudent* s = AddStudent(e, 9, "张三", kOpen, c.end, 0, c.remained);
        e.Validate(nullptr, false);
        EXPECT_EQ(Texts(*s), c.want ? QStringList{QString::fromUtf8(c.want)} : QStringList()) << c.remained;
    }
}

TEST(EduSchRecord, DesignatedStudentGetsHisOwnMessagesAndFigures)
{
    FixedClock clock(D(2024, 2, 1));
    CDBEduSch e;
    Wednesdays(e);
    AddTeacher(e, 7, "周杰", kOpen, kOpen);
    AddStudent(e, 9, "张三", kOpen, D(2024, 1, 17), 0, 0);
    AddStudent(e, 9, "张三", D(2024, 1, 24), kOpen, 0, 0);
    AddStudent(e, 10, "李四", kOpen, kOpen, 0, -1);
    e.m_student.m_nID = 9;
    e.Validate(nullptr, false);
    // his running line's warning, unchanged in level; 李四's is not his
    QStringList texts = Texts(e);
    texts.sort();
    EXPECT_EQ(texts,
              (QStringList{QStringLiteral("1 已结课！"), QStringLiteral("3 张三已无课时，请提醒续费或结束其排课！")}));
    EXPECT_EQ(e.GetStudentPeriod(), QStringLiteral("2024年1月3日起"));
    EXPECT_EQ(e.GetStudentStatus(), 1);
    // 01-03..01-17: 3 lessons; 01-24..today (02-01): 2 lessons
    EXPECT_EQ(e.GetStudentScheduled(), 5);
    EXPECT_EQ(e.GetStudentTime().Value(), 17001830);
    e.m_student.m_nID = 0;
    EXPECT_EQ(e.GetStudentStatus(), -1);
}

TEST(EduSchRecord, LessonsDueCountWholeWeeksUpToTodayOrTheEnd)
{
    FixedClock clock(D(2026, 3, 18));
    const struct
    {
        int bgn, end, want;
    } cases[] = {
        {N(2026, 3, 18), 0, 1},              // today is the first lesson
        {N(2026, 3, 25), 0, 0},              // next week
        {N(2026, 1, 7), 0, 11},              // 70 days: 10 weeks + the first
        {N(2026, 1, 7), N(2026, 1, 28), 4},  // ended: 21 days
        {N(2026, 1, 7), N(2026, 4, 29), 11}, // ends later: up to today
        {0, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EduSch::WeeksDue(c.bgn, c.end), c.want) << c.bgn << ".." << c.end;
}

TEST(EduSchRecord, DefaultsFollowThePreferencesAndTheTimetable)
{
    FixedClock clock(D(2026, 3, 18)); // a Wednesday
    CFakeAppServices& app = CFakeAppServices::Installed();
    const CHeads* heads = CDBEduSch::StaticHeads();
    {
        CDBEduSch e;                           // defaults taken at Reset
        EXPECT_EQ(e.m_time.Value(), 17001830); // weekday: 17:00 + DefaultDur0 (90)
        EXPECT_EQ(e.m_nClassForm, CLASS_ONE_TO_MANY);
        EXPECT_EQ(EduSch::DayOf(e.m_date.m_begin), N(2026, 3, 18));
    }
    app.setup[QStringLiteral("LtdClassForm")] = 3;
    app.setup[QStringLiteral("DefaultDur1")] = 50;
    {
        CDBEduSch e;
        EXPECT_EQ(e.m_time.Value(), 17001750);
        EXPECT_EQ(e.m_nClassForm, CLASS_ONE_TO_ONE);
        EXPECT_EQ(e.GetAccess(Head(heads, "编制"), nullptr), -1);
        // one-to-one student lines go after the lessons already placed
        e.m_date.m_begin = D(2026, 3, 21); // a Saturday: from 9:00
        CDBEduSchStudent* a = e.NewStudentLine(1, QStringLiteral("甲"));
        EXPECT_EQ(a->m_time.Value(), 9000950);
        e.m_students.Add(a);
        CDBEduSchStudent* b = e.NewStudentLine(2, QStringLiteral("乙"));
        EXPECT_EQ(b->m_time.Value(), 9501040);
        b->m_time = 11001150;
        e.m_students.Add(b);
        // the gap 9:50-11:00 takes one 50-minute lesson
        EXPECT_EQ(std::unique_ptr<CDBEduSchStudent>(e.NewStudentLine(3, QStringLiteral("丙")))->m_time.Value(),
                  9501040);
    }
    app.setup.clear();
    {
        CDBEduSch e;
        e.m_date.m_begin = D(2026, 3, 11); // a week ago: teachers join from the next lesson
        e.m_date.m_end = D(2026, 6, 24);
        const auto t = std::unique_ptr<CDBEduSchTeacher>(e.NewTeacherLine(7, QStringLiteral("周杰")));
        EXPECT_EQ(EduSch::DayOf(t->m_edu.m_begin), N(2026, 3, 18));
        EXPECT_EQ(EduSch::DayOf(t->m_edu.m_end), N(2026, 6, 24));
        e.m_date.m_begin = D(2026, 3, 12); // less than a week: as the timetable
        EXPECT_EQ(EduSch::DayOf(
                      std::unique_ptr<CDBEduSchTeacher>(e.NewTeacherLine(7, QStringLiteral("周杰")))->m_edu.m_begin),
                  0);
        e.m_date.m_begin = D(2026, 3, 5); // a Thursday two weeks back: the next Thursday
        EXPECT_EQ(EduSch::DayOf(
                      std::unique_ptr<CDBEduSchTeacher>(e.NewTeacherLine(7, QStringLiteral("周杰")))->m_edu.m_begin),
                  N(2026, 3, 19));
        const auto s = std::unique_ptr<CDBEduSchStudent>(e.NewStudentLine(9, QStringLiteral("张三")));
        EXPECT_EQ(EduSch::DayOf(s->m_edu.m_begin), N(2026, 3, 5));
        EXPECT_EQ(EduSch::DayOf(s->m_edu.m_end), N(2026, 6, 24));
    }
}

TEST(EduSchRecord, RangesKeepClassRecordsInsideAndAccessLocksWhatIsTaken)
{
    FixedClock clock(D(2026, 3, 18));
    const CHeads* heads = CDBEduSch::StaticHeads();
    CDBEduSch e;
    e.m_date.m_begin = D(2026, 1, 7);
    e.m_date.m_end = D(2026, 6, 24);
    int min = 0, max = 0;
    e.GetRange(Head(heads, "结束日期"), min, max);
    EXPECT_EQ(min, N(2026, 1, 7));
    e.m_rcd.m_end = D(2026, 3, 11);
    e.GetRange(Head(heads, "结束日期"), min, max);
    EXPECT_EQ(min, N(2026, 3, 11));

    CDBEduSchStudent* s = e.NewStudentLine(9, QStringLiteral("张三"));
    e.m_students.Add(s);
    const CHeads* sh = CDBEduSchStudent::StaticHeads();
    s->GetRange(Head(sh, "开始日期"), min, max);
    EXPECT_EQ(min, N(2026, 1, 7));
    EXPECT_EQ(max, N(2026, 6, 24)); // no class record: up to DateEnd
    s->m_rcd = CXDateRange(D(2026, 1, 14), D(2026, 3, 11));
    s->GetRange(Head(sh, "开始日期"), min, max);
    EXPECT_EQ(max, N(2026, 1, 14));
    s->GetRange(Head(sh, "结束日期"), min, max);
    EXPECT_EQ(min, N(2026, 3, 11));
    EXPECT_EQ(max, N(2026, 6, 24));

    // access: a new timetable is open; a stored one keeps its course and class form, one
    // with class records its first day
    EXPECT_EQ(e.GetAccess(Head(heads, "课程"), nullptr), 1);
    EXPECT_EQ(e.GetAccess(Head(heads, "编制"), nullptr), 1);
    e.m_nID = 5;
    EXPECT_EQ(e.GetAccess(Head(heads, "课程"), nullptr), 0);
    EXPECT_EQ(e.GetAccess(Head(heads, "编制"), nullptr), 0);
    EXPECT_EQ(e.GetAccess(Head(heads, "开始日期"), nullptr), 1);
    e.m_nRcdTimes = 1;
    EXPECT_EQ(e.GetAccess(Head(heads, "开始日期"), nullptr), 0);
    EXPECT_EQ(e.GetAccess(Head(heads, "时间"), nullptr), 1);
    e.m_nClassForm = CLASS_ONE_TO_ONE;
    EXPECT_EQ(e.GetAccess(Head(heads, "时间"), nullptr), 0); // from the students
    EXPECT_EQ(s->GetAccess(Head(sh, "时间"), nullptr), 1);
    EXPECT_EQ(s->GetAccess(Head(sh, "学员"), nullptr), 1);
    s->m_nSubID = 3;
    EXPECT_EQ(s->GetAccess(Head(sh, "学员"), nullptr), 0);
    e.m_students.RemoveAll();
    EXPECT_EQ(e.GetAccess(Head(heads, "时间"), nullptr), -1);
}

TEST(EduSchRecord, DeletingWhatClassRecordsUseIsRefusedOrWarned)
{
    CDBEduSch e;
    EXPECT_TRUE(e.GetDeleteError(nullptr).isEmpty());
    e.m_nRcdTimes = 1;
    EXPECT_EQ(e.GetDeleteError(nullptr), QStringLiteral("已有关联的课堂记录。"));
    CDBEduSchStudent* s = e.NewStudentLine(9, QStringLiteral("张三"));
    e.m_students.Add(s);
    EXPECT_TRUE(s->GetDeleteWarning().isEmpty());
    s->m_nRcdTimes = 2;
    EXPECT_EQ(s->GetDeleteWarning(),
              QStringLiteral("张三已有对应的课堂记录，删除后原有记录不会丢失，但考勤类型将变为 “临时”。"));
}

TEST(EduSchRecord, RemainingLessonsText)
{
    const CHead* head = Head(CDBEduSchStudent::StaticHeads(), "剩余课时");
    CDBEduSchStudent s;
    EXPECT_EQ(s.FormatText(head, true, true, true), QStringLiteral("无"));
    s.m_nRcpLessonAc = 32;
    s.m_nRcpCountIn = 10;
    s.m_nRcpRemained = 22;
    EXPECT_EQ(s.FormatText(head, true, true, true), QStringLiteral("32-10=22"));
    s.m_nRcpInvalid = 3;
    s.m_nRcpRemained = 19;
    EXPECT_EQ(s.FormatText(head, true, true, true), QStringLiteral("32-10₋₃=19"));
}

} // namespace

#include "XCellDraw.h"

#include <QtGui/QImage>
#include <QtGui/QPainter>

namespace {

// Whether any pixel of the image is the warning red the students cell uses.
bool HasRed(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 80 && c.blue() < 80)
                return true;
        }
    return false;
}

QImage DrawStudents(CDBEduSch& e)
{
    QImage image(400, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    XCellDraw draw;
    draw.pDC = &painter;
    draw.rc = image.rect();
    draw.palette.setColor(QPalette::Active, QPalette::WindowText, Qt::black);
    draw.palette.setColor(QPalette::Disabled, QPalette::WindowText, Qt::gray);
    draw.font.setPixelSize(14);
    EXPECT_TRUE(e.DrawCell(CDBEduSch::StaticHeads()->FindByCaption(QStringLiteral("学员")), &draw));
    painter.end();
    return image;
}

TEST(EduSchRecord, StudentsCellShowsRunningStudentsRedWhenLessonsRunLow)
{
    FixedClock clock(D(2024, 2, 1));
    CDBEduSch e;
    Wednesdays(e);
    AddStudent(e, 9, "张三", kOpen, kOpen, 0, 3); // WarnRemained 3: not below
    CDBEduSchStudent* ended = AddStudent(e, 10, "李四", kOpen, D(2024, 1, 31), 0, -5);
    EXPECT_FALSE(HasRed(DrawStudents(e))); // the ended line with -5 is not drawn
    ended->m_edu.m_end = kOpen;            // now running, overdrawn: red
    EXPECT_TRUE(HasRed(DrawStudents(e)));
    // other columns are the base class's
    EXPECT_FALSE(e.DrawCell(CDBEduSch::StaticHeads()->FindByCaption(QStringLiteral("地点")), nullptr));
}

} // namespace
