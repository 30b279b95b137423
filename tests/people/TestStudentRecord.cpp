// The student record without a database: computed fields, validation, access, formats,
// the remaining-lessons text and the delete check, over hand-built lines.
#include "CDBStudent.h"
#include "TestSupport.h"
#include "XDateTime.h"

#include <gtest/gtest.h>

namespace {

class StudentRecord : public ::testing::Test
{
protected:
    void SetUp() override { XClock::SetFixed(XDateTime(2026, 3, 15, 10, 0, 0)); }
    void TearDown() override { XClock::Reset(); }

    static const CHead* Head(const QString& caption, bool computed = false)
    {
        const CHeads* heads = CDBStudent::StaticHeads();
        for (int i = 0; i < heads->GetSize(); ++i) {
            const CHead* h = heads->GetAt(i);
            if (h->m_strName == caption && (!computed || h->m_pfnGet))
                return h;
        }
        return nullptr;
    }
    static QString Text(const CDBStudent& s, const QString& caption, bool computed = false)
    {
        return s.FormatText(Head(caption, computed), true, true, true);
    }
    static CDBStudentCourse* AddCourse(CDBStudent& s, const QString& name, int status)
    {
        auto* line = static_cast<CDBStudentCourse*>(s.m_courses.CreateItem());
        line->m_strName = name;
        line->m_nItemStatus = status;
        s.m_courses.Add(line);
        return line;
    }
    static void AddResume(CDBStudent& s, int stage, const XDateTime& date, const QString& unit = QString())
    {
        auto* line = static_cast<CDBStudentResume*>(s.m_resumes.CreateItem());
        line->m_nStage = stage;
        line->m_dtDate = date;
        line->m_strUnit = unit;
        s.m_resumes.Add(line);
    }
    static bool HasMessage(const CXItem& item, int level, const QString& text)
    {
        for (const CXStatus& st : item.m_status)
            if (st.m_nLevel == level && st.m_strText == text)
                return true;
        return false;
    }
};

TEST_F(StudentRecord, NewStudentTakesTodaysDefaults)
{
    CDBStudent s;
    EXPECT_EQ(s.m_bEnabled, 1);
    EXPECT_EQ(s.m_nSex, 0);
    EXPECT_EQ(static_cast<int>(s.m_dtBirthday.Day()), static_cast<int>(XDateTime(2026, 3, 15).Day()) - 2191);
    // the default follows the clock, not the day the field table was built
    XClock::SetFixed(XDateTime(2027, 1, 1));
    CDBStudent later;
    EXPECT_EQ(static_cast<int>(later.m_dtBirthday.Day()), static_cast<int>(XDateTime(2027, 1, 1).Day()) - 2191);
    CDBStudentResume line;
    EXPECT_EQ(static_cast<int>(line.m_dtDate.Day()), static_cast<int>(XDateTime(2027, 1, 1).Day()));
    EXPECT_EQ(line.m_nStage, 4);
}

TEST_F(StudentRecord, TitleNamesThePetNameOnlyForRepeatedNames)
{
    CDBStudent s;
    s.m_strRealName = QStringLiteral("张三");
    s.m_strPetname = QStringLiteral("小明");
    s.Validate(nullptr, false);
    EXPECT_EQ(s.m_strName, QStringLiteral("张三"));
    EXPECT_EQ(s.m_strFullName, QStringLiteral("张三小明"));
    s.m_nRptCount = 1;
    s.Validate(nullptr, false);
    EXPECT_EQ(s.m_strName, QStringLiteral("张三 (小明)"));
    s.m_strPetname.clear();
    s.Validate(nullptr, false);
    EXPECT_EQ(s.m_strName, QStringLiteral("张三"));
}

TEST_F(StudentRecord, IdentityCardSetsSexAndBirthdayAndLocksThem)
{
    CDBStudent s;
    s.m_strRealName = QStringLiteral("李四");
    s.m_bBirthApprox = 1;
    s.m_strIDCard = QStringLiteral("110105201503150021");
    EXPECT_LT(s.Validate(nullptr, false), ST_STOP);
    EXPECT_EQ(s.m_nSex, 1);
    EXPECT_EQ(s.m_dtBirthday.Day(), XDateTime(2015, 3, 15).Day());
    EXPECT_EQ(s.m_bBirthApprox, 0);
    EXPECT_EQ(s.GetAccess(Head(QStringLiteral("性别")), nullptr), 0);
    EXPECT_EQ(s.GetAccess(Head(QStringLiteral("生日")), nullptr), 0);
    EXPECT_EQ(s.HasIdCard(), 1);

    s.m_strIDCard = QStringLiteral("110105201503150022"); // wrong check digit
    EXPECT_EQ(s.Validate(nullptr, false), ST_STOP);
    EXPECT_TRUE(HasMessage(s, ST_STOP,
                           QStringLiteral("身份证号无效，请与身份证上的实际号码仔细核对！如果不知道，可以暂不填写。")));
    EXPECT_NE(s.GetAccess(Head(QStringLiteral("性别")), nullptr), 0);
    EXPECT_NE(s.GetAccess(Head(QStringLiteral("生日")), nullptr), 0);
}

TEST_F(StudentRecord, PhoneNumbersMustBeElevenDigitMobiles)
{
    const struct
    {
        const char* number;
        bool ok;
    } cases[] = {{"13912345678", true},
                 {"19912345678", true},
                 {"12912345678", false},
                 {"1391234567", false},
                 {"139123456789", false},
                 {"139 1234 5678", false},
                 {"", false}};
    for (const auto& c : cases) {
        CDBStudent s;
        s.m_strRealName = QStringLiteral("王五");
        auto* account = static_cast<CDBStudentAccount*>(s.m_accounts.CreateItem());
        account->m_strName = QString::fromUtf8(c.number);
        s.m_accounts.Add(account);
        s.Validate(nullptr, false);
        EXPECT_EQ(HasMessage(s, ST_STOP, QStringLiteral("请输入 11 位数字的手机号！")), !c.ok) << c.number;
        CDBStudentAccount line;
        line.m_strName = QString::fromUtf8(c.number);
        EXPECT_EQ(line.Validate(nullptr, false) == ST_STOP, !c.ok) << c.number;
    }
}

TEST_F(StudentRecord, MissingNameAndDisabledLogin)
{
    CDBStudent s;
    s.m_bEnabled = 0;
    EXPECT_EQ(s.Validate(nullptr, false), ST_STOP);
    EXPECT_TRUE(HasMessage(s, ST_STOP, QStringLiteral("请输入姓名！")));
    EXPECT_TRUE(HasMessage(s, ST_WARN, QStringLiteral("已禁止 Internet 访问！")));
}

TEST_F(StudentRecord, CurrentGradeFromTheNewestResumeLine)
{
    const struct
    {
        int stage;
        XDateTime registered;
        XDateTime today;
        int grade;
    } cases[] = {
        {7, XDateTime(2025, 10, 10), XDateTime(2026, 8, 31), 7}, // 三年级 stays until the school year ends
        {7, XDateTime(2025, 10, 10), XDateTime(2026, 9, 1), 8},  // 四年级 from September
        {16, XDateTime(2023, 9, 1), XDateTime(2026, 9, 1), 19},  // 高三 + 3 = 大三
        {20, XDateTime(2024, 9, 1), XDateTime(2026, 9, 1), 21},  // 大四 + 2 is capped at 社会人士
        {21, XDateTime(2000, 9, 1), XDateTime(2026, 9, 1), 21},  {4, XDateTime(2026, 8, 31), XDateTime(2026, 8, 31), 4},
    };
    for (const auto& c : cases) {
        XClock::SetFixed(c.today);
        EXPECT_EQ(PredictGrade(c.stage, c.registered, c.today), c.grade) << c.stage;
        CDBStudent s;
        AddResume(s, c.stage, c.registered);
        EXPECT_EQ(s.GetGrade(), c.grade) << c.stage;
    }
    // the newest line decides, even with a lower stage than an older line
    XClock::SetFixed(XDateTime(2026, 3, 15));
    CDBStudent s;
    AddResume(s, 9, XDateTime(2024, 9, 1), QStringLiteral("实验小学"));
    AddResume(s, 6, XDateTime(2025, 9, 1), QStringLiteral("第二小学"));
    EXPECT_EQ(s.GetGrade(), 6);
    EXPECT_EQ(s.GetSchool(), QStringLiteral("第二小学"));
    EXPECT_EQ(Text(s, QStringLiteral("年级")), QStringLiteral("二年级"));
    AddResume(s, 21, XDateTime(2026, 1, 1), QStringLiteral("某公司"));
    EXPECT_EQ(s.GetSchool(), QString()); // adults have no school
    CDBStudentResume adult;
    adult.m_nStage = 21;
    EXPECT_EQ(adult.GetCaption(CDBStudentResume::StaticHeads()->FindByColumn(QStringLiteral("Unit"))),
              QStringLiteral("单位"));
    EXPECT_EQ(adult.GetCaption(CDBStudentResume::StaticHeads()->FindByColumn(QStringLiteral("Department"))),
              QStringLiteral("部门"));
}

TEST_F(StudentRecord, WithoutResumeTheBirthdayCountsAsGradeMinusThree)
{
    XClock::SetFixed(XDateTime(2026, 10, 1));
    CDBStudent s;
    s.m_dtBirthday = XDateTime(2020, 3, 15);
    EXPECT_EQ(s.GetGrade(), 4); // -3 + (2026 - 2019) = 大班
    s.m_dtBirthday = XDateTime(2025, 3, 15);
    EXPECT_EQ(s.GetGrade(), -1); // never raised to 0
}

TEST_F(StudentRecord, ApproximateBirthdayShowsMonthAndApproximateAge)
{
    CDBStudent s;
    s.m_dtBirthday = XDateTime(2016, 3, 15);
    EXPECT_EQ(Text(s, QStringLiteral("生日")), QStringLiteral("2016年3月15日"));
    EXPECT_FALSE(Text(s, QStringLiteral("年龄"), true).startsWith(u'≈'));
    s.m_bBirthApprox = 1;
    EXPECT_EQ(Text(s, QStringLiteral("生日")), QStringLiteral("2016年3月"));
    EXPECT_EQ(Text(s, QStringLiteral("年龄"), true), QStringLiteral("≈10.0 岁"));
}

TEST_F(StudentRecord, RemainingLessonsBreakdown)
{
    EXPECT_EQ(FormatLessonBreakdown(20, 5, 3, 12), QStringLiteral("20-5₋₃=12"));
    EXPECT_EQ(FormatLessonBreakdown(20, 5, -2, 17), QStringLiteral("20-5₊₂=17"));
    EXPECT_EQ(FormatLessonBreakdown(10, 4, 0, 6), QStringLiteral("10-4=6"));
    CDBStudent s;
    EXPECT_EQ(Text(s, QStringLiteral("剩余课时")), QStringLiteral("无"));
    s.m_nLessonAc = 20;
    s.m_nLessonCountIn = 5;
    s.m_nLessonInvalid = 3;
    s.m_nLessonRemained = 12;
    EXPECT_EQ(Text(s, QStringLiteral("剩余课时")), QStringLiteral("20-5₋₃=12"));
    CDBStudentCourse* line = AddCourse(s, QStringLiteral("钢琴"), CDBStudentCourse::Attending);
    line->m_rcpLessonAc = 20;
    line->m_rcpCountIn = 5;
    line->m_rcpInvalid = 3;
    line->m_rcpRemained = 12;
    EXPECT_EQ(line->FormatText(CDBStudentCourse::StaticHeads()->FindByColumn(QStringLiteral("rcpRemained")), true, true,
                               true),
              QStringLiteral("20-5₋₃=12"));
    CDBStudentCourse empty;
    EXPECT_EQ(empty.FormatText(CDBStudentCourse::StaticHeads()->FindByColumn(QStringLiteral("rcpRemained")), true, true,
                               true),
              QStringLiteral("无"));
}

TEST_F(StudentRecord, CourseLineMessagesByStatus)
{
    SetDemoWarnDays(60);
    CDBStudent s;
    s.m_strRealName = QStringLiteral("陈七");
    CDBStudentCourse* math = AddCourse(s, QStringLiteral("数学"), CDBStudentCourse::Overdrawn);
    math->m_rcpRemained = -2;
    EXPECT_EQ(s.Validate(nullptr, false), ST_STOP);
    EXPECT_TRUE(HasMessage(s, ST_STOP, QStringLiteral("数学：超 2 次")));

    const struct
    {
        int status;
        int level;
        const char* text;
    } cases[] = {
        {CDBStudentCourse::Trial, ST_WARN, "美术：2026年3月1日试听"},
        {CDBStudentCourse::Paused, ST_WARN, "美术：余 4 次，停课中"},
        {CDBStudentCourse::Expired, ST_WARN, "美术：余 4 次，超有效期 14 天"},
        {CDBStudentCourse::Attending, ST_GOOD, "美术：余 4 次"},
        {CDBStudentCourse::Finished, ST_GRAY, "美术：2026年2月1日结课"},
        {CDBStudentCourse::Refunded, ST_GRAY, "美术：2026年3月10日退费"},
    };
    for (const auto& c : cases) {
        CDBStudent t;
        t.m_strRealName = QStringLiteral("赵六");
        CDBStudentCourse* line = AddCourse(t, QStringLiteral("美术"), c.status);
        line->m_dmoMax = XDateTime(2026, 3, 1);
        line->m_rcpRemained = 4;
        line->m_rcpEndMax = XDateTime(2026, 3, 1);
        line->m_rcdMax = XDateTime(2026, 2, 1);
        line->m_rcpRtrMax = XDateTime(2026, 3, 10);
        t.Validate(nullptr, false);
        EXPECT_TRUE(HasMessage(t, c.level, QString::fromUtf8(c.text))) << c.text;
    }
    // a trial older than the warning window is only greyed
    CDBStudent old;
    old.m_strRealName = QStringLiteral("赵六");
    AddCourse(old, QStringLiteral("美术"), CDBStudentCourse::Trial)->m_dmoMax = XDateTime(2025, 12, 1);
    old.Validate(nullptr, false);
    EXPECT_TRUE(HasMessage(old, ST_GRAY, QStringLiteral("美术：2025年12月1日试听")));
}

TEST_F(StudentRecord, RegisteredOnlyWarnsAfterTheTrialWindow)
{
    SetDemoWarnDays(60);
    CDBStudent s;
    s.m_strRealName = QStringLiteral("赵六");
    s.m_nActiveType = 1;
    s.m_dtLastActive = XDateTime(XDateTime(2026, 3, 1).Day() + 0.01);
    EXPECT_EQ(s.Validate(nullptr, false), ST_GRAY);
    EXPECT_TRUE(HasMessage(s, ST_GRAY, QStringLiteral("登记后任何无活动记录。")));
    s.m_dtLastActive = XDateTime(XDateTime(2025, 12, 1).Day() + 0.01);
    EXPECT_EQ(s.Validate(nullptr, false), ST_WARN);
    EXPECT_EQ(s.m_dtLastActive.Day() > 0, true);
    // any other message comes first and the registration note stays away
    s.m_bEnabled = 0;
    s.Validate(nullptr, false);
    EXPECT_FALSE(HasMessage(s, ST_WARN, QStringLiteral("登记后任何无活动记录。")));
}

TEST_F(StudentRecord, SumsAndRangesOverCourseLines)
{
    CDBStudent s;
    CDBStudentCourse* a = AddCourse(s, QStringLiteral("钢琴"), CDBStudentCourse::Attending);
    CDBStudentCourse* b = AddCourse(s, QStringLiteral("美术"), CDBStudentCourse::Trial);
    a->m_rcpPayTimes = 2;
    a->m_dmoMin = XDateTime(0.0);
    b->m_dmoMin = XDateTime(2026, 3, 1);
    b->m_dmoMax = XDateTime(2026, 3, 8);
    b->m_dmoTimes = 2;
    EXPECT_EQ(s.SumOf(&CDBStudentCourse::m_rcpPayTimes), 2);
    const CXDateRange trial = s.RangeOf(&CDBStudentCourse::m_dmoMin, &CDBStudentCourse::m_dmoMax);
    EXPECT_EQ(trial.m_begin.Day(), XDateTime(2026, 3, 1).Day()); // the empty first date is skipped
    EXPECT_EQ(trial.m_end.Day(), XDateTime(2026, 3, 8).Day());
    EXPECT_EQ(Text(s, QStringLiteral("试听"), true), QStringLiteral("2 次"));
    CDBStudent none;
    EXPECT_EQ(Text(none, QStringLiteral("试听日期"), true), QStringLiteral("无记录"));
}

TEST_F(StudentRecord, LastActiveTextDecodesTheCodeByRounding)
{
    CDBStudent s;
    s.m_dtLastActive = XDateTime(XDateTime(2026, 3, 31).Day() + 0.05);
    s.m_nActiveType = 5;
    EXPECT_EQ(s.GetLastActiveText(), QStringLiteral("2026年3月31日 试听"));
    CDBStudent none;
    EXPECT_EQ(none.GetLastActiveText(), QString());
}

TEST_F(StudentRecord, DeleteIsRefusedWhileAnythingRefersToTheStudent)
{
    CDBStudent s;
    EXPECT_EQ(s.GetDeleteError(nullptr), QString());
    s.m_bHasLessonLines = 1; // timetable or class lines without a trial or receipt
    EXPECT_EQ(s.GetDeleteError(nullptr), QStringLiteral("已有关联的课堂记录。"));
    s.m_bHasLessonLines = 0;
    AddCourse(s, QStringLiteral("美术"), CDBStudentCourse::Trial);
    EXPECT_EQ(s.GetDeleteError(nullptr), QStringLiteral("已有关联的课堂记录。"));
    AddCourse(s, QStringLiteral("钢琴"), CDBStudentCourse::Attending)->m_rcpPayTimes = 1;
    s.m_nPayTimes = 1;
    EXPECT_EQ(s.GetDeleteError(nullptr), QStringLiteral("已有关联的报名收据、课堂记录。"));
}

} // namespace

#include "CFakeAppServices.h"
#include "StudentTexts.h"

namespace {

TEST(StudentTexts, SchoolYearResetPromptAndLoginButtons)
{
    EXPECT_EQ(ResumeSchoolYearText(6, XDateTime(2026, 3, 10)), QStringLiteral("(等效于2025年9月1日至2026年8月31日)"));
    EXPECT_EQ(ResumeSchoolYearText(6, XDateTime(2026, 9, 1)), QStringLiteral("(等效于2026年9月1日至2027年8月31日)"));
    EXPECT_EQ(ResumeSchoolYearText(21, XDateTime(2026, 3, 10)), QString());
    const QString prompt = ResetPasswordPrompt(QStringLiteral("学员"), QStringLiteral("张三"), QStringLiteral("123456"),
                                               QStringLiteral("学员"));
    EXPECT_TRUE(prompt.contains(QStringLiteral("并自动注销该学员的全部登录状态")));
    EXPECT_FALSE(prompt.contains(QStringLiteral("{@itemtype}")));
    EXPECT_TRUE(LoginButtonsEnabled(true));
    EXPECT_FALSE(LoginButtonsEnabled(false));
}

TEST(StudentTexts, TrialWindowComesFromThePreferences)
{
    SetDemoWarnDays(0);
    CFakeAppServices::Installed().Clear();
    EXPECT_EQ(GetDemoWarnDays(), 60);
    CFakeAppServices::Installed().setup[QStringLiteral("DemoWarnDays")] = 30;
    EXPECT_EQ(GetDemoWarnDays(), 30);
    CFakeAppServices::Installed().Clear();
}

} // namespace
