// The fixture school's students: registered, found, edited and merged through the program's
// own read and save paths.
#include "CDBStudent.h"
#include "CXDBSession.h"
#include "FixtureSchool.h"
#include "FormatString.h"
#include "OperLog.h"
#include "RecordWriter.h"
#include "StudentMerge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

class FixtureStudents : public SchoolTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
    }
    static CModule& Students() { return *FindModule(MDU_STUDENT); }
    static QList<int> Find(int key, const QString& text)
    {
        CXMap query;
        query.SetText(key, text);
        CXArray items(nullptr, true);
        EXPECT_TRUE(Students().QueryItems(items, query, true, false)) << GetOleDbErrorText().toStdString();
        QList<int> ids;
        for (const CXItem* item : items)
            ids << item->m_nID;
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    static CDBStudent* Read(int id, CXArray& items)
    {
        CXMap query;
        query.SetText(QKEY_IDS, QString::number(id));
        EXPECT_TRUE(Students().QueryItems(items, query, false, true)) << GetOleDbErrorText().toStdString();
        return items.GetSize() == 1 ? static_cast<CDBStudent*>(items.GetAt(0)) : nullptr;
    }
    static int Count(const QString& sql) { return static_cast<int>(QueryNumber(sql)); }
};

TEST_F(FixtureStudents, AreSavedInOrderWithTheirDetails)
{
    const XFixtureSchool& s = m_school;
    EXPECT_TRUE(s.s1 < s.s2 && s.s2 < s.s3 && s.s3 < s.s4 && s.s4 < s.s5 && s.s5 < s.s6);
    CXArray items(nullptr, true);
    ASSERT_TRUE(Students().QueryItems(items, CXMap(), false, false));
    ASSERT_EQ(items.GetSize(), 6);
    const auto student = [&](int id) {
        for (CXItem* item : items)
            if (item->m_nID == id)
                return static_cast<CDBStudent*>(item);
        return static_cast<CDBStudent*>(nullptr);
    };
    const struct
    {
        int id;
        const char* title;
        int accounts, resumes, grade;
    } cases[] = {
        // S1: 二年级 registered 2025-09-01, still the school year 2025/26 on 2026-03-18
        {s.s1, "张三 (小明)", 1, 1, 6},
        // S2: no résumé; the default birthday (today - 2191 days = 2020-03-19, school year 2019)
        // counts as grade -3: -3 + (2025 - 2019) = 3, 中班
        {s.s2, "张三", 0, 0, 3},
        // S3: born 2015-03-15 (school year 2014): -3 + (2025 - 2014) = 8, 四年级
        {s.s3, "李四", 1, 0, 8},
        {s.s5, "赵六", 0, 0, 3},
    };
    for (const auto& c : cases) {
        const CDBStudent* st = student(c.id);
        ASSERT_NE(st, nullptr) << c.title;
        EXPECT_EQ(st->m_strName, QString::fromUtf8(c.title));
        EXPECT_EQ(st->m_accounts.GetSize(), c.accounts) << c.title;
        EXPECT_EQ(st->m_resumes.GetSize(), c.resumes) << c.title;
        EXPECT_EQ(st->GetGrade(), c.grade) << c.title;
    }
    EXPECT_EQ(student(s.s5)->m_nActiveType, 1); // registered, nothing else
    const CDBStudent* s1 = student(s.s1);
    EXPECT_EQ(s1->m_accounts.GetAt(0)->m_strName, QStringLiteral("13800138000"));
    EXPECT_EQ(s1->m_accounts.GetAt(0)->m_strRelation, QStringLiteral("妈妈"));
    const CDBStudent* s3 = student(s.s3);
    EXPECT_EQ(s3->m_nSex, 1);
    EXPECT_EQ(s3->m_dtBirthday.Day(), XDateTime(2015, 3, 15).Day());
    EXPECT_EQ(s3->m_bBirthApprox, 0);
    // the two 张三 are told apart, and each warns of the other
    CDBStudent* s2 = student(s.s2);
    s2->Validate(&FixtureUser(), true);
    EXPECT_TRUE(s2->GetStatusText().contains(QStringLiteral("姓名存在重复项"))) << s2->GetStatusText().toStdString();
}

TEST_F(FixtureStudents, AreFoundByPhoneIdentityCardAndExactName)
{
    const XFixtureSchool& s = m_school;
    const struct
    {
        int key;
        const char* text;
        QList<int> ids;
    } cases[] = {
        {1135, "13800138000", {s.s1}},
        {1135, "110105201503150021", {s.s3}},
        {1135, "张三", {s.s1, s.s2}},
        {1135, "李四", {s.s3}},
        {1135, "张", {}}, // the login takes whole names only
        {1135, "13912345678", {s.s3}},
        {1284, "13912345678", {s.s3}},
        {1284, "李四", {}}, // 1284 is a phone number or nothing
        {ID_FIND_WHAT, "张", {s.s1, s.s2}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Find(c.key, QString::fromUtf8(c.text)), c.ids) << c.text;
}

TEST_F(FixtureStudents, ANewStudentIsRegisteredWithItsLines)
{
    CDBStudent fresh;
    fresh.m_strRealName = QStringLiteral("孙八");
    auto* phone = fresh.m_accounts.CreateTyped();
    phone->m_strName = QStringLiteral("13700001111");
    phone->m_strRelation = QStringLiteral("爸爸");
    fresh.m_accounts.Add(phone);
    auto* line = fresh.m_resumes.CreateTyped();
    line->m_dtDate = XDateTime(2025, 9, 1);
    line->m_nStage = 5;
    fresh.m_resumes.Add(line);
    fresh.Validate(&FixtureUser(), true);
    ASSERT_TRUE(fresh.GetErrorText().isEmpty()) << fresh.GetErrorText().toStdString();
    ASSERT_TRUE(SaveItem(nullptr, &fresh, nullptr, FixtureUser()));
    ASSERT_GT(fresh.m_nID, m_school.s6);

    EXPECT_EQ(Find(1135, QStringLiteral("13700001111")), QList<int>{fresh.m_nID});
    CXArray items(nullptr, true);
    const CDBStudent* read = Read(fresh.m_nID, items);
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->m_accounts.GetSize(), 1);
    EXPECT_EQ(read->m_accounts.GetAt(0)->m_strRelation, QStringLiteral("爸爸"));
    EXPECT_EQ(read->GetGrade(), 5);
    EXPECT_EQ(Count(FormatString(u"SELECT COUNT(*) FROM TB_OPERLOG WHERE MduID=321 AND ItemID=%d AND TypeID=%d",
                                 fresh.m_nID, int(OPER_ADD))),
              1);

    // a wrong number is refused before anything is written
    CDBStudent wrong;
    wrong.m_strRealName = QStringLiteral("周九");
    auto* bad = wrong.m_accounts.CreateTyped();
    bad->m_strName = QStringLiteral("1370000111");
    wrong.m_accounts.Add(bad);
    wrong.Validate(&FixtureUser(), true);
    EXPECT_TRUE(wrong.GetErrorText().contains(QStringLiteral("请输入 11 位数字的手机号！")));
}

TEST_F(FixtureStudents, AnEditKeepsItsRowsAndIsLogged)
{
    CXArray items(nullptr, true);
    CDBStudent* earlier = Read(m_school.s3, items);
    ASSERT_NE(earlier, nullptr);
    const int accountRow = earlier->m_accounts.GetAt(0)->m_nSubID;
    const std::unique_ptr<CDBStudent> edited(static_cast<CDBStudent*>(earlier->CopyTo(nullptr)));
    edited->m_strExactAddr = QStringLiteral("3栋 201");
    edited->m_accounts.GetAt(0)->m_strRelation = QStringLiteral("妈妈");
    auto* line = edited->m_resumes.CreateTyped();
    line->m_dtDate = XDateTime(2025, 9, 1);
    line->m_nStage = 9;
    line->m_strUnit = QStringLiteral("实验小学");
    edited->m_resumes.Add(line);
    edited->Validate(&FixtureUser(), true);
    ASSERT_TRUE(SaveItem(nullptr, edited.get(), earlier, FixtureUser()));

    CXArray again(nullptr, true);
    const CDBStudent* read = Read(m_school.s3, again);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->m_strExactAddr, QStringLiteral("3栋 201"));
    ASSERT_EQ(read->m_accounts.GetSize(), 1);
    EXPECT_EQ(read->m_accounts.GetAt(0)->m_nSubID, accountRow); // changed in place, not replaced
    EXPECT_EQ(read->m_accounts.GetAt(0)->m_strRelation, QStringLiteral("妈妈"));
    EXPECT_EQ(read->GetSchool(), QStringLiteral("实验小学"));
    EXPECT_EQ(read->GetGrade(), 9); // 五年级, registered in this school year
    EXPECT_EQ(Count(FormatString(u"SELECT COUNT(*) FROM TB_OPERLOG WHERE MduID=321 AND ItemID=%d AND TypeID=%d",
                                 m_school.s3, int(OPER_MDF))),
              1);
}

TEST_F(FixtureStudents, MergingS2IntoS1LeavesEveryReferenceWithS1)
{
    const int s1 = m_school.s1, s2 = m_school.s2;
    // S2 is the same child registered again: a receipt, lessons, a timetable line, a
    // résumé line, a photo, the same phone as S1 and a login of its own
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_RECEIPT (StudentID, ChargeID, PayDate) VALUES (%d,%d,%d)", s2,
                                  m_school.p1, int(XDateTime(2026, 3, 1).Day()))));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDURCD (CourseID, ClassDate) VALUES (%d,%d)", m_school.piano,
                                  int(XDateTime(2026, 3, 8).Day()))));
    ASSERT_TRUE(Exec(FormatString(
        u"INSERT INTO TB_EDURCD_STUDENT (EduRcdID, StudentID, Attence) VALUES ((SELECT MAX(ID) FROM TB_EDURCD),%d,2)",
        s2)));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH (CourseID, DateBgn) VALUES (%d,%d)", m_school.piano,
                                  int(XDateTime(2026, 3, 1).Day()))));
    ASSERT_TRUE(Exec(FormatString(
        u"INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES ((SELECT MAX(ID) FROM TB_EDUSCH),%d)", s2)));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_STUDENT_RESUME (StudentID, DateBgn, Stage) VALUES (%d,%d,6)", s2,
                                  int(XDateTime(2025, 9, 1).Day()))));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_PHOTO (MduID, PersonID) VALUES (321,%d)", s2)));
    ASSERT_TRUE(
        Exec(FormatString(u"INSERT INTO TB_ACCOUNT (MduID, PersonID, Content) VALUES (321,%d,'13800138000')", s2)));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_OPERLOG (OperTime, UserMduID, UserID, TypeID) VALUES (%d,321,%d,%d)",
                                  int(XDateTime(2026, 3, 2).Day()), s2, int(OPER_LOGIN))));

    const struct
    {
        const char* table;
        const char* column;
        const char* only; // a further condition: the student's rows of a shared table
    } references[] = {
        {"TB_RECEIPT", "StudentID", "1=1"},        {"TB_EDURCD_STUDENT", "StudentID", "1=1"},
        {"TB_EDUSCH_STUDENT", "StudentID", "1=1"}, {"TB_STUDENT_RESUME", "StudentID", "1=1"},
        {"TB_PHOTO", "PersonID", "MduID=321"},     {"TB_ACCOUNT", "PersonID", "MduID=321"},
        {"TB_OPERLOG", "UserID", "UserMduID=321"}, {"TB_OPERLOG", "ItemID", "MduID=321"},
    };
    const auto rows = [&](const auto& r, int id) {
        return Count(FormatString(u"SELECT COUNT(*) FROM %s WHERE %s=%d AND %s", QString::fromUtf8(r.table),
                                  QString::fromUtf8(r.column), id, QString::fromUtf8(r.only)));
    };
    std::vector<int> before;
    for (const auto& r : references) {
        EXPECT_GT(rows(r, s2), 0) << r.table << "." << r.column;
        before.push_back(rows(r, s1) + rows(r, s2));
    }

    ASSERT_TRUE(MergeDuplicateStudents(
        s1, s2, [](CXArray&) { return true; }, FixtureUser()))
        << GetOleDbErrorText().toStdString();

    EXPECT_EQ(Count(FormatString(u"SELECT COUNT(*) FROM TB_STUDENT WHERE ID=%d", s2)), 0);
    for (std::size_t i = 0; i < std::size(references); ++i) {
        const auto& r = references[i];
        // S1's log also gains the merge row
        const int added = QByteArray(r.column) == "ItemID" ? 1 : 0;
        EXPECT_EQ(rows(r, s2), 0) << r.table << "." << r.column;
        EXPECT_EQ(rows(r, s1), before[i] + added) << r.table << "." << r.column;
    }
    // the delete row names the student gone by its title
    EXPECT_EQ(Count(FormatString(u"SELECT COUNT(*) FROM TB_OPERLOG WHERE MduID=321 AND TypeID=%d AND OperMemo='张三'",
                                 int(OPER_DEL))),
              1);
    EXPECT_EQ(QueryText(FormatString(u"SELECT OperMemo FROM TB_OPERLOG WHERE MduID=321 AND ItemID=%d AND TypeID=%d", s1,
                                     int(OPER_MDF))),
              QStringLiteral("合并重名"));

    // S1 keeps its pet name and reads back with S2's lines; the shared phone still logs in
    // to the one student left
    CXArray items(nullptr, true);
    const CDBStudent* kept = Read(s1, items);
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->m_strName, QStringLiteral("张三")); // no repeat left, so no pet name in the title
    EXPECT_EQ(kept->m_strPetname, QStringLiteral("小明"));
    EXPECT_EQ(kept->m_accounts.GetSize(), 2);
    EXPECT_EQ(kept->m_resumes.GetSize(), 2);
    EXPECT_EQ(kept->m_photos.GetSize(), 1);
    EXPECT_EQ(kept->m_nPayTimes, Count(FormatString(u"SELECT COUNT(*) FROM TB_RECEIPT WHERE StudentID=%d", s1)));
    EXPECT_GT(kept->m_nPayTimes, 0);
    EXPECT_EQ(Find(1135, QStringLiteral("13800138000")), QList<int>{s1});
    EXPECT_EQ(Find(1135, QStringLiteral("张三")), QList<int>{s1});
}

} // namespace
