#include "RecordDbFixture.h"

#include "RecordLookups.h"

namespace {

using Lookups = RecordDb;

TEST_F(Lookups, InputHistoryCountsDistinctValuesMostUsedFirst)
{
    ASSERT_TRUE(Exec(
        QStringLiteral("CREATE TABLE TB_H (ID INTEGER PRIMARY KEY, V TEXT);"
                       "INSERT INTO TB_H (V) VALUES ('Ann'),('Tom'),('tom'),(NULL),(''),('   '),('TOM'),(' Ann ')")));
    CTestStudent parent;
    parent.m_nID = 4;
    CXArray history(&parent, true);
    EXPECT_EQ(ReadInputHistory(history, QStringLiteral("TB_H"), QStringLiteral("V")), 3);
    ASSERT_EQ(history.GetSize(), 3);
    EXPECT_EQ(history[0]->m_strName.toLower(), QStringLiteral("tom"));
    EXPECT_EQ(history[0]->m_nID, 3);
    EXPECT_EQ(history[0]->m_pArray, &history);
    EXPECT_EQ(history[0]->m_nParentID, 4);
    QStringList rest{history[1]->m_strName, history[2]->m_strName};
    rest.sort();
    EXPECT_EQ(rest, (QStringList{QStringLiteral(" Ann "), QStringLiteral("Ann")})); // as stored, untrimmed
    EXPECT_EQ(history[1]->m_nID, 1);

    CXArray none(nullptr, true);
    EXPECT_EQ(ReadInputHistory(none, QStringLiteral("TB_NONE"), QStringLiteral("V")), 0);
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].task, QStringLiteral("读取历史记录"));
}

TEST_F(Lookups, DuplicatesIgnoreCaseAndTheOwnRow)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (ID,RecordName) VALUES (1,'Piano'),(2,'O''Neil')")));
    const QString table = QStringLiteral("TB_TEST_COURSE"), column = QStringLiteral("RecordName");
    EXPECT_EQ(FindDuplicate(0, QStringLiteral("piano"), table, column), 1);
    EXPECT_EQ(FindDuplicate(1, QStringLiteral("Piano"), table, column), 0);
    EXPECT_EQ(FindDuplicate(0, QStringLiteral("O'Neil"), table, column), 2);
    EXPECT_EQ(FindDuplicate(0, QString(), table, column), 0);
    EXPECT_EQ(FindDuplicate(0, QStringLiteral("x"), QString(), column), 0);
    EXPECT_TRUE(m_errors.reports.empty());
    EXPECT_EQ(FindDuplicate(0, QStringLiteral("x"), QStringLiteral("TB_NONE"), column), 0);
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].task, QStringLiteral("检查重名"));

    // validation searches the database unless a test replaces the finder
    CTestCourse course;
    course.m_strName = QStringLiteral("PIANO");
    course.Validate(nullptr, true);
    EXPECT_EQ(course.GetErrorText(), QStringLiteral("名称存在重复项。"));
}

TEST_F(Lookups, ItemsByNameMatchPatternCharactersLiterally)
{
    ASSERT_TRUE(
        Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (ID,RecordName) VALUES (1,'50% off'),(2,'500 off'),(3,'a_b'),"
                            "(4,'axb'),(5,'钢琴一'),(6,'钢琴二'),(7,'O''Neil')")));
    const struct
    {
        const char* text;
        int found;
        int id;
    } cases[] = {
        {"%", 1, 1}, {"_", 1, 3}, {"钢琴", 2, 5}, {"O'N", 1, 7}, {"'", 1, 7}, {"小提琴", 0, 0},
    };
    for (const auto& c : cases) {
        CXBase link;
        link.m_nMduID = MDU_COURSE;
        EXPECT_EQ(FindItemIdByName(link, QString::fromUtf8(c.text)), c.found) << c.text;
        EXPECT_EQ(link.m_nID, c.id) << c.text;
    }
    CXBase link;
    link.m_nMduID = MDU_COURSE;
    FindItemIdByName(link, QStringLiteral("钢琴"));
    EXPECT_EQ(link.m_strName, QStringLiteral("钢琴一"));

    CXBase unknown;
    unknown.m_nMduID = MDU_WAGES;
    EXPECT_EQ(FindItemIdByName(unknown, QStringLiteral("x")), 0);
    EXPECT_TRUE(m_errors.reports.empty());
}

TEST_F(Lookups, TextListsTrimAndStopAfterTheFirstRowWhenAsked)
{
    ASSERT_TRUE(Exec(QStringLiteral("CREATE TABLE TB_H (ID INTEGER PRIMARY KEY, V TEXT);"
                                    "INSERT INTO TB_H (V) VALUES ('  '),(' a '),(NULL),('b')")));
    QStringList list{QStringLiteral("kept")};
    EXPECT_EQ(QueryTextList(list, QStringLiteral("SELECT V FROM TB_H ORDER BY ID"), false), 3);
    EXPECT_EQ(list, (QStringList{QStringLiteral("kept"), QStringLiteral("a"), QStringLiteral("b")}));

    QStringList first;
    EXPECT_EQ(QueryTextList(first, QStringLiteral("SELECT V FROM TB_H ORDER BY ID"), true), 0);
    EXPECT_EQ(QueryTextList(first, QStringLiteral("SELECT V FROM TB_H ORDER BY ID DESC"), true), 1);
    EXPECT_EQ(first, QStringList{QStringLiteral("b")});

    EXPECT_EQ(QueryTextList(first, QStringLiteral("SELECT V FROM TB_NONE"), false), 0);
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].task, QStringLiteral("读取历史记录"));
}

} // namespace
