#include "RecordDbFixture.h"

#include "RecordCopy.h"
#include "RecordWriter.h"

namespace {

using NewCopy = RecordDb;

// The copy of a package with two course lines, saved as a new package: both packages keep
// two lines of their own, so the copy took no rows from the original.
TEST_F(NewCopy, ASavedCopyHasLinesOfItsOwnAndLeavesTheOriginalsLines)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (ID,RecordName) VALUES (5,'钢琴'),(6,'美术')")));
    CTestCharge original;
    original.m_strName = QStringLiteral("春季");
    for (const auto& [course, lessons] : {std::pair{5, 8}, std::pair{6, 4}}) {
        auto* line = static_cast<CTestCourseLine*>(original.m_lines.CreateItem());
        line->m_nID = course;
        line->m_nLessons = lessons;
        original.m_lines.Add(line);
    }
    ASSERT_TRUE(SaveItem(nullptr, &original, nullptr, m_user));
    ASSERT_GT(original.m_nID, 0);
    ASSERT_GT(original.m_created.m_nID, 0);

    CTestCharge copy;
    original.CopyTo(&copy);
    PrepareNewCopy(copy);
    EXPECT_EQ(copy.m_nID, 0);
    EXPECT_EQ(copy.m_created.m_nID, 0);
    EXPECT_EQ(copy.m_modified.m_nID, 0);
    EXPECT_TRUE(copy.m_created.m_strName.isEmpty());
    EXPECT_EQ(copy.m_strName, QStringLiteral("春季")); // not a numbered module: the title stays
    ASSERT_EQ(copy.m_lines.GetSize(), 2);
    for (const CXItem* line : copy.m_lines) {
        EXPECT_EQ(line->m_nSubID, 0);
        EXPECT_EQ(line->m_nParentID, 0);
        EXPECT_GT(line->m_nID, 0); // the course the line names stays
    }

    ASSERT_TRUE(SaveItem(nullptr, &copy, nullptr, m_user));
    ASSERT_NE(copy.m_nID, original.m_nID);
    const QString byCharge =
        QStringLiteral("SELECT group_concat(CourseID||':'||Lessons) FROM (SELECT CourseID, Lessons "
                       "FROM TB_TEST_CHARGE_COURSE WHERE ChargeID=%1 ORDER BY CourseID)");
    EXPECT_EQ(QueryText(byCharge.arg(original.m_nID)), QStringLiteral("5:8,6:4"));
    EXPECT_EQ(QueryText(byCharge.arg(copy.m_nID)), QStringLiteral("5:8,6:4"));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_CHARGE_COURSE")), 4);
}

// A numbered record's copy gets the next number instead of being refused as a duplicate.
TEST_F(NewCopy, ANumberedCopyIsGivenANewNumber)
{
    CTestReceipt original;
    original.m_fAmount = 120;
    ASSERT_TRUE(SaveItem(nullptr, &original, nullptr, m_user));
    ASSERT_EQ(original.m_strName, QStringLiteral("B250001"));

    CTestReceipt copy;
    original.CopyTo(&copy);
    PrepareNewCopy(copy);
    EXPECT_TRUE(copy.m_strName.isEmpty());
    ASSERT_TRUE(SaveItem(nullptr, &copy, nullptr, m_user));
    EXPECT_EQ(copy.m_strName, QStringLiteral("B250002"));
    EXPECT_DOUBLE_EQ(copy.m_fAmount, 120);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_RECEIPT")), 2);
}

} // namespace
