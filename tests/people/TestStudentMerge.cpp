// Merging a duplicate student into the kept one, in one transaction.
#include "FormatString.h"
#include "StudentDb.h"
#include "StudentMerge.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

class StudentMerge : public StudentDb
{
protected:
    void SetUp() override
    {
        StudentDb::SetUp();
        m_user.m_nMduID = MDU_TEACHER;
        m_user.m_nID = 7;
        m_user.m_strName = QStringLiteral("王老师");
        m_kept = AddStudent(QStringLiteral("张三"), QString(), QStringLiteral("13800138000"));
        m_other = AddStudent(QStringLiteral("张三"), QStringLiteral("小明"), QStringLiteral("13912345678"));
        EXPECT_TRUE(Exec(
            FormatString(u"UPDATE TB_STUDENT SET BirthApprox=1, Birthday=%d WHERE ID=%d", Day(2016, 1, 1), m_kept)));
        EXPECT_TRUE(Exec(
            FormatString(u"UPDATE TB_STUDENT SET Birthday=%d, Nation='汉' WHERE ID=%d", Day(2016, 5, 20), m_other)));
        CXDBSession session;
        session.Connect();
        CXAccessor memo;
        EXPECT_TRUE(memo.Prepare(session, QStringLiteral("UPDATE TB_STUDENT SET RecordMemo=? WHERE ID=?")) &&
                    memo.SetParamText(1, m_memo) && memo.SetParamInt(2, m_other) && memo.Execute());
        AddPackage(1, {11});
        AddReceipt(m_other, 1, Day(2026, 2, 1), 10, 2, 1000, Day(2026, 12, 31));
        AddLesson(m_other, 11, Day(2026, 3, 1), 0);
        EXPECT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES (1,%d)", m_other)));
        EXPECT_TRUE(Exec(FormatString(u"INSERT INTO TB_STUDENT_RESUME (StudentID, DateBgn, Stage) VALUES (%d,%d,6)",
                                      m_other, Day(2025, 9, 1))));
        EXPECT_TRUE(Exec(FormatString(u"INSERT INTO TB_PHOTO (MduID, PersonID) VALUES (321,%d)", m_other)));
        EXPECT_TRUE(Exec(FormatString(u"INSERT INTO TB_OPERLOG (OperTime, MduID, ItemID, TypeID) VALUES (%d,321,%d,4)",
                                      Day(2026, 1, 1), m_other)));
        EXPECT_TRUE(
            Exec(FormatString(u"INSERT INTO TB_OPERLOG (OperTime, UserMduID, UserID, TypeID) VALUES (%d,321,%d,0)",
                              Day(2026, 1, 2), m_other)));
    }
    int Count(const char* table, const char* column, int id)
    {
        return static_cast<int>(QueryNumber(FormatString(u"SELECT COUNT(*) FROM %s WHERE %s=%d",
                                                         QString::fromUtf8(table), QString::fromUtf8(column), id)));
    }
    QString Column(const char* column, int id)
    {
        return QueryText(FormatString(u"SELECT %s FROM TB_STUDENT WHERE ID=%d", QString::fromUtf8(column), id));
    }
    static bool Yes(CXArray&) { return true; }

    CXItem m_user;
    int m_kept = 0;
    int m_other = 0;
    const QString m_memo = QStringLiteral("欠费 50% 已付? 'x'");
};

TEST_F(StudentMerge, EverythingMovesToTheKeptStudentAndTheOtherIsGone)
{
    QStringList order;
    const auto confirm = [&](CXArray& shown) {
        for (const CXItem* item : shown)
            order << QString::number(item->m_nID);
        return true;
    };
    ASSERT_TRUE(MergeDuplicateStudents(m_kept, m_other, confirm, m_user)) << GetOleDbErrorText().toStdString();
    EXPECT_EQ(order, (QStringList{QString::number(m_kept), QString::number(m_other)}));
    EXPECT_EQ(Count("TB_STUDENT", "ID", m_other), 0);
    EXPECT_EQ(Column("Petname", m_kept), QStringLiteral("小明"));
    EXPECT_EQ(Column("Nation", m_kept), QStringLiteral("汉"));
    EXPECT_EQ(Column("RecordMemo", m_kept), m_memo);
    EXPECT_EQ(Column("BirthApprox", m_kept), QStringLiteral("0"));
    EXPECT_EQ(QueryNumber(FormatString(u"SELECT Birthday FROM TB_STUDENT WHERE ID=%d", m_kept)), Day(2016, 5, 20));
    // the class lines: the lesson and the two that consumed the receipt's lessons
    const struct
    {
        const char* table;
        const char* column;
        int rows;
    } moved[] = {{"TB_RECEIPT", "StudentID", 1},
                 {"TB_EDURCD_STUDENT", "StudentID", 3},
                 {"TB_EDUSCH_STUDENT", "StudentID", 1},
                 {"TB_STUDENT_RESUME", "StudentID", 1},
                 {"TB_PHOTO", "PersonID", 1}};
    for (const auto& [table, column, rows] : moved) {
        EXPECT_EQ(Count(table, column, m_other), 0) << table;
        EXPECT_EQ(Count(table, column, m_kept), rows) << table;
    }
    EXPECT_EQ(Count("TB_ACCOUNT", "PersonID", m_kept), 2);
    EXPECT_EQ(Count("TB_OPERLOG", "UserID", m_kept), 1);
    EXPECT_EQ(QueryNumber(
                  FormatString(u"SELECT COUNT(*) FROM TB_OPERLOG WHERE MduID=321 AND ItemID=%d AND TypeID=4", m_kept)),
              1);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT OperMemo FROM TB_OPERLOG WHERE MduID=321 AND TypeID=5")),
              QStringLiteral("张三 (小明)"));
    EXPECT_EQ(
        QueryText(FormatString(u"SELECT OperMemo FROM TB_OPERLOG WHERE MduID=321 AND ItemID=%d AND TypeID=6", m_kept)),
        QStringLiteral("合并重名"));
    // the kept student reads back with the moved lines
    CXArray items(nullptr, true);
    CDBStudent* kept = Read(m_kept, items);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->m_accounts.GetSize(), 2);
    EXPECT_EQ(kept->m_nPayTimes, 1);
}

TEST_F(StudentMerge, KeptDetailsStayAndExactBirthdaysAreNotReplaced)
{
    ASSERT_TRUE(Exec(FormatString(u"UPDATE TB_STUDENT SET Petname='阿三', BirthApprox=0 WHERE ID=%d", m_kept)));
    ASSERT_TRUE(Exec(FormatString(u"UPDATE TB_STUDENT SET BirthApprox=1 WHERE ID=%d", m_other)));
    ASSERT_TRUE(MergeDuplicateStudents(m_kept, m_other, Yes, m_user));
    EXPECT_EQ(Column("Petname", m_kept), QStringLiteral("阿三"));
    EXPECT_EQ(QueryNumber(FormatString(u"SELECT Birthday FROM TB_STUDENT WHERE ID=%d", m_kept)), Day(2016, 1, 1));
}

TEST_F(StudentMerge, NothingHappensUnlessBothExistWithTheSameNameAndTheUserAgrees)
{
    const int other = AddStudent(QStringLiteral("Tom"));
    const int lower = AddStudent(QStringLiteral("tom"));
    EXPECT_FALSE(MergeDuplicateStudents(other, lower, Yes, m_user)); // letter case differs
    EXPECT_FALSE(MergeDuplicateStudents(0, m_other, Yes, m_user));
    EXPECT_FALSE(MergeDuplicateStudents(m_kept, 9999, Yes, m_user));
    EXPECT_FALSE(MergeDuplicateStudents(m_kept, m_kept, Yes, m_user));
    EXPECT_FALSE(MergeDuplicateStudents(
        m_kept, m_other, [](CXArray&) { return false; }, m_user));
    EXPECT_EQ(Count("TB_STUDENT", "ID", m_other), 1);
    EXPECT_EQ(Count("TB_STUDENT", "ID", lower), 1);
    EXPECT_EQ(Count("TB_RECEIPT", "StudentID", m_other), 1);
}

TEST_F(StudentMerge, AFailingStatementChangesNothing)
{
    // the photo step fails: everything before it is rolled back
    ASSERT_TRUE(Exec(QStringLiteral(
        "CREATE TRIGGER NO_PHOTO_MOVE BEFORE UPDATE ON TB_PHOTO BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    ErrorCapture capture;
    EXPECT_FALSE(MergeDuplicateStudents(m_kept, m_other, Yes, m_user));
    EXPECT_EQ(capture.reports.size(), 1u);
    EXPECT_EQ(Count("TB_STUDENT", "ID", m_other), 1);
    EXPECT_EQ(Column("Petname", m_kept), QString());
    EXPECT_EQ(Count("TB_RECEIPT", "StudentID", m_other), 1);
    EXPECT_EQ(Count("TB_EDURCD_STUDENT", "StudentID", m_other), 3); // a lesson, two consuming lines
    EXPECT_EQ(Count("TB_OPERLOG", "UserID", m_other), 1);
}

} // namespace
