#include "CHttpSession.h"
#include "TestRecordClasses.h"
#include "TestSupport.h"
#include "XThread.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

// Registers the test modules for one test, as the application does at start-up.
class RecordTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterModule(&m_course);
        RegisterModule(&m_charge);
    }
    CTestModuleCourse m_course;
    CTestModuleCharge m_charge;
};

CTestCourseLine* AddLine(CTestCharge& charge, int courseId, int lineId, const char* title)
{
    auto* line = charge.m_lines.CreateTyped();
    line->m_nID = courseId;
    line->m_nSubID = lineId;
    line->m_strName = QString::fromUtf8(title);
    charge.m_lines.Add(line);
    return line;
}

TEST(CXBase, LinkTexts)
{
    CXBase b;
    b.m_nMduID = 328;
    b.m_nID = 15;
    b.m_strName = QStringLiteral("钢琴");
    EXPECT_EQ(b.GetLink(), QString::fromUtf8("<a href=\"xl:328:15\">钢琴</a>"));
    b.m_strName.clear();
    EXPECT_EQ(b.GetLink(), "<a href=\"xl:328:15\">15</a>");
    b.m_strName = QStringLiteral("A&B <初级>");
    EXPECT_EQ(b.GetLink(), QString::fromUtf8("<a href=\"xl:328:15\">A&amp;B &lt;初级&gt;</a>"));
    b.m_nID = 0;
    EXPECT_EQ(b.GetLink(), "");
    b.m_nID = 15;
    b.m_nMduID = 0;
    EXPECT_EQ(b.GetLink(), "");
}

TEST_F(RecordTest, NewRecordsCarryTheirFieldTablesDefaults)
{
    CTestCharge charge;
    EXPECT_EQ(charge.m_nMduID, MDU_CHARGE);
    EXPECT_EQ(charge.m_strName, QString::fromUtf8("新课时包"));
    EXPECT_EQ(charge.m_nTimes, 1);
    EXPECT_EQ(charge.m_nState, 1);
    EXPECT_EQ(charge.m_nTimeSpan, 8301000);
    EXPECT_EQ(charge.m_nDispOrder, -1);
    EXPECT_EQ(charge.m_bEnabled, 1);
    EXPECT_EQ(charge.m_lines.m_pParent, &charge);
    EXPECT_EQ(charge.m_teacher.m_nMduID, MDU_TEACHER);

    // Reset brings them back and empties the child list; the module id stays
    charge.m_nTimes = 9;
    charge.m_strName = QStringLiteral("x");
    charge.m_teacher.m_nID = 4;
    AddLine(charge, 7, 70, "钢琴");
    charge.AddStatusText(ST_WARN, nullptr, QStringLiteral("w"));
    charge.Reset();
    EXPECT_EQ(charge.m_nTimes, 1);
    EXPECT_EQ(charge.m_strName, QString::fromUtf8("新课时包"));
    EXPECT_EQ(charge.m_teacher.m_nID, 0);
    EXPECT_EQ(charge.m_teacher.m_nMduID, MDU_TEACHER);
    EXPECT_TRUE(charge.m_lines.IsEmpty());
    EXPECT_TRUE(charge.m_status.isEmpty());
    EXPECT_EQ(charge.m_nMduID, MDU_CHARGE);
}

TEST_F(RecordTest, CopyClonesLinesAndClearsLineIdsForANewTarget)
{
    CTestCharge saved;
    saved.m_nID = 12;
    saved.m_fPrice = 150.5;
    saved.m_dtBegin = XDateTime(2024, 9, 1);
    saved.m_teacher.m_nID = 3;
    saved.m_teacher.m_strName = QStringLiteral("王老师");
    saved.m_course.m_nMduID = MDU_COURSE;
    saved.m_course.m_nID = 8;
    saved.m_created.m_strName = QStringLiteral("Admin");
    AddLine(saved, 7, 70, "钢琴")->m_nLessons = 20;
    AddLine(saved, 8, 71, "小提琴");
    saved.AddStatusText(ST_WARN, &saved.m_fPrice, QStringLiteral("价格偏高"));

    CTestCharge fresh; // ID 0 until the copy gives it the source's
    saved.CopyTo(&fresh);
    EXPECT_EQ(fresh.m_nID, 12); // the ID travels; only the lines learn they are new rows
    EXPECT_DOUBLE_EQ(fresh.m_fPrice, 150.5);
    EXPECT_TRUE(fresh.m_dtBegin == saved.m_dtBegin);
    EXPECT_EQ(fresh.m_teacher.m_strName, QString::fromUtf8("王老师"));
    EXPECT_EQ(fresh.m_course.m_nID, 8);
    EXPECT_EQ(fresh.m_created.m_strName, "Admin");
    ASSERT_EQ(fresh.m_status.size(), 1);
    EXPECT_EQ(fresh.m_status[0].m_nMember, XOFFSET(CTestCharge, m_fPrice));
    ASSERT_EQ(fresh.m_lines.GetSize(), 2);
    EXPECT_NE(fresh.m_lines[0], saved.m_lines[0]);
    EXPECT_EQ(fresh.m_lines[0]->m_pArray, &fresh.m_lines);
    EXPECT_EQ(fresh.m_lines[0]->m_nLessons, 20);
    EXPECT_EQ(fresh.m_lines[1]->m_strName, QString::fromUtf8("小提琴"));

    // The new-or-saved judgement is made on the target after its ID was copied: a new
    // record's lines become new rows, a saved record's lines keep their rows.
    CTestCharge unsavedSource;
    AddLine(unsavedSource, 7, 70, "钢琴");
    AddLine(unsavedSource, 8, 71, "小提琴");
    CTestCharge target;
    target.m_nID = 30;
    unsavedSource.CopyTo(&target);
    EXPECT_EQ(target.m_nID, 0);
    EXPECT_EQ(target.m_lines[0]->m_nSubID, 0);
    EXPECT_EQ(target.m_lines[1]->m_nSubID, 0);
    EXPECT_EQ(target.m_lines[0]->m_nID, 7); // still the course

    ASSERT_EQ(fresh.m_lines.GetSize(), 2);
    EXPECT_EQ(fresh.m_lines[0]->m_nSubID, 70);
    EXPECT_EQ(fresh.m_lines[1]->m_nSubID, 71);
    EXPECT_EQ(fresh.m_lines[0]->m_nParentID, 12);

    // a copy with no target is a new record of the source's class
    std::unique_ptr<CXItem> clone(saved.CopyTo(nullptr));
    auto* typed = dynamic_cast<CTestCharge*>(clone.get());
    ASSERT_NE(typed, nullptr);
    EXPECT_EQ(typed->m_lines.GetSize(), 2);
}

TEST_F(RecordTest, ModuleItemsAndModuleTexts)
{
    CTestCourse course;
    CTestCourseLine line;
    EXPECT_TRUE(course.IsModuleItem());
    EXPECT_FALSE(line.IsModuleItem()); // the course's module id, another field table
    EXPECT_EQ(course.GetModuleName(), QString::fromUtf8("课程"));
    EXPECT_EQ(course.GetModuleGroup(), QString::fromUtf8("基础设置"));
    EXPECT_EQ(course.GetModuleDescription(), QString::fromUtf8("设置开设的所有课程。"));
    CXItemT<MDU_WAGES> noModule;
    EXPECT_FALSE(noModule.IsModuleItem());
    EXPECT_EQ(noModule.GetModuleName(), "");
    EXPECT_EQ(FindModule(MDU_CHARGE), &m_charge);
    EXPECT_EQ(FindModule(MDU_WAGES), nullptr);
}

TEST(CXModules, UnregisterOnDestruction)
{
    {
        CTestModuleCourse course;
        RegisterModule(&course);
        RegisterModule(&course); // once only
        EXPECT_EQ(GetModules().size(), 1u);
        EXPECT_EQ(FindModule(MDU_COURSE), &course);
    }
    EXPECT_EQ(FindModule(MDU_COURSE), nullptr);
}

TEST_F(RecordTest, FieldTablesAreBuiltOnceEvenWhenAskedConcurrently)
{
    // the course line table has not been asked for by any test before this point in a
    // fresh process only if run alone; either way every thread sees the complete table
    std::vector<int> sizes(8, -1);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i)
        threads.emplace_back([i, &sizes] { sizes[i] = CTestCourseLine::StaticHeads()->GetSize(); });
    for (auto& t : threads)
        t.join();
    for (int s : sizes)
        EXPECT_EQ(s, 4);
    EXPECT_EQ(CXArrayT<CTestCourseLine>().GetHeads(), CTestCourseLine::StaticHeads());
}

TEST_F(RecordTest, WebSessionsOwnIdentitiesAndTheirNewRecord)
{
    auto* teacher = new CXItemT<MDU_TEACHER>;
    teacher->m_nID = 5;
    CHttpSession session(teacher);
    EXPECT_EQ(session.GetCurrent(), teacher);
    auto* student = new CXItemT<MDU_STUDENT>;
    session.AddIdentity(student);
    session.SetCurrent(student);
    EXPECT_EQ(session.GetCurrent(), student);
    session.RemoveIdentity(student);
    EXPECT_EQ(session.GetCurrent(), teacher);
    EXPECT_EQ(session.Identities().GetSize(), 1);

    CXItem* blank = session.GetNewItem(MDU_CHARGE);
    ASSERT_NE(blank, nullptr);
    auto* charge = dynamic_cast<CTestCharge*>(blank);
    ASSERT_NE(charge, nullptr);
    EXPECT_EQ(charge->m_lines.GetSize(), 1); // the child list shown on the form gets one line
    EXPECT_EQ(charge->GetStatusLevel(), ST_GOOD);
    EXPECT_EQ(session.GetNewItem(MDU_CHARGE), blank);
    CXItem* course = session.GetNewItem(MDU_COURSE);
    ASSERT_NE(course, nullptr);
    EXPECT_EQ(course->m_nMduID, MDU_COURSE);
    EXPECT_EQ(session.GetNewItem(MDU_WAGES), nullptr);

    std::lock_guard lock(xInternet::SessionLock());
    xInternet::SessionMap()[QStringLiteral("0123456789abcdef0123456789abcdef")] =
        std::make_unique<CHttpSession>(new CXItemT<MDU_STUDENT>);
    EXPECT_EQ(xInternet::SessionMap().size(), 1u);
    xInternet::SessionMap().clear();
    EXPECT_FALSE(xInternet::WebStopEvent().IsSet());
}

} // namespace
