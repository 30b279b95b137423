#include "CModuleReceipt.h"
#include "CDBPrjQuery.h"
#include "PeopleTestSupport.h"
#include "RecordWriter.h"
#include "TextUtils.h"

#include "CommandIds.h"

#include <gtest/gtest.h>

namespace {

using ReceiptModule = SchoolBeforeTimetablesTest;

// The receipt numbers a query of the module finds, sorted.
QString Found(const CXMap& query)
{
    CXArray items(nullptr, true);
    EXPECT_TRUE(FindModule(MDU_RECEIPT)->QueryItems(items, query, true, false));
    QStringList keys;
    for (const CXItem* item : items)
        keys << item->m_strName;
    keys.sort();
    return keys.join(u',');
}

TEST_F(ReceiptModule, ConditionsOfTheQueryOptions)
{
    const auto& s = m_school;
    const struct
    {
        int key;
        QString value;
        const char* want;
    } cases[] = {
        {321, QString::number(s.s2), "B240001,B250004"},
        {328, QString::number(s.art), "B250002,B250005"}, // 美术季卡 and 艺术联报
        {329, QString::number(s.p1), "B240001,B250001,B250003,B250004"},
        {1015, QStringLiteral("0"), "B240001,B250002,B250003,B250004,B250005"}, // no adjustment
        {1015, QStringLiteral("1,4"), "B250001"},                               // a discount or a gift
        {1015, QStringLiteral("6"), "B260001"},                                 // the start moved
        {1025, QStringLiteral("0"), "B240001,B250001,B250002,B250003,B260001"}, // never altered
        {1025, QStringLiteral("2,4"), "B250004,B250005"},                       // lessons changed or refunded
        {1065, QStringLiteral("1,2,4"), "B240001,B250001,B250003,B250005,B260001"},
        {1065, QStringLiteral("5,6"), "B250002,B250004"},
        {322, QStringLiteral("1"), "B240001,B250001,B250002,B250003,B250004,B250005,B260001"}, // issued by 校长
        {322, QStringLiteral("2"), ""},
        {321, QStringLiteral("x"), ""}, // no ID in the list finds nothing
    };
    for (const auto& c : cases) {
        CXMap query;
        query.SetText(c.key, c.value);
        EXPECT_EQ(Found(query), QString::fromUtf8(c.want)) << c.key << " = " << c.value.toStdString();
    }
    CXMap september;
    september.SetDate(1047, XDateTime(2025, 9, 1));
    september.SetDate(1048, XDateTime(2025, 9, 30));
    EXPECT_EQ(Found(september), QStringLiteral("B250001,B250004,B250005"));
}

TEST_F(ReceiptModule, SchemesInOrderWithTheirRanges)
{
    CXArray schemes(nullptr, true);
    FindModule(MDU_RECEIPT)->AddQuickQueries(schemes);
    QStringList names;
    for (const CXItem* scheme : schemes)
        names << scheme->m_strName;
    EXPECT_EQ(names.join(u','), QStringLiteral("近一个月,近三天,今天,本周,上周,本月,上月,今年,去年,异常,全部"));
    const auto map = [&](int i) { return CXMap(schemes.GetAt(i)->m_strRightData); };
    const auto day = [](int y, int m, int d) { return XDateTime(y, m, d).Day(); };
    // today is Wednesday 2026-03-18
    EXPECT_EQ(map(3).GetDate(1047).Day(), day(2026, 3, 16));
    EXPECT_EQ(map(3).GetDate(1048).Day(), day(2026, 3, 22));
    EXPECT_EQ(map(4).GetDate(1047).Day(), day(2026, 3, 9));
    EXPECT_EQ(map(6).GetDate(1047).Day(), day(2026, 2, 1));
    EXPECT_EQ(map(6).GetDate(1048).Day(), day(2026, 2, 28));
    EXPECT_EQ(map(8).GetDate(1048).Day(), day(2025, 12, 31));
    EXPECT_EQ(map(9).GetText(1065), QStringLiteral("1,2,4"));
    EXPECT_FALSE(map(10).Has(1047));
}

TEST_F(ReceiptModule, AReceiptSavedWithoutNumberTakesTheNextOne)
{
    CDBReceipt r;
    r.m_student.m_nID = m_school.s4;
    r.m_charge.m_nID = m_school.p1;
    r.m_strPayType = QStringLiteral("现金");
    r.Validate(&FixtureUser(), true);
    ASSERT_TRUE(SaveItem(nullptr, &r, nullptr, FixtureUser()));
    EXPECT_EQ(r.m_strName, QStringLiteral("B260002")); // B260001 is R3's
}

TEST_F(ReceiptModule, RelatedPackages)
{
    CXArray items(nullptr, true);
    ASSERT_TRUE(FindModule(MDU_RECEIPT)->QueryItems(items, CXMap(), true, false));
    CXMap query;
    ASSERT_EQ(FindModule(MDU_RECEIPT)->MakeRelateQuery(items, ID_REL_CHARGE, query, FixtureUser()), 1);
    QList<int> ids;
    SplitInts(query.GetText(QKEY_IDS), ids);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (QList<int>{m_school.p1, m_school.p2, m_school.p3, m_school.p4}));
}

// The class-record and timetable modules, as far as a relation needs them: present, with
// the query right.
class CTargetModule : public CModule
{
public:
    explicit CTargetModule(int id) : CModule(id) { m_nCaps = 0x1e; }
    CXItem* CreateItem() const override { return new CDBCourse; }
    CHeads* GetHeads() const override { return CDBCourse::StaticHeads(); }
};

TEST_F(ReceiptModule, ClassRecordAndTimetableRelations)
{
    CTargetModule records(MDU_EDURCD), timetables(MDU_EDUSCH);
    RegisterModule(&records);
    RegisterModule(&timetables);
    CModule* module = FindModule(MDU_RECEIPT);
    const auto relate = [&](std::initializer_list<int> ids, int command, CXMap& query) {
        CXArray selected(nullptr, true);
        for (int id : ids)
            selected.Add(ReadOne<CDBReceipt>(id).release());
        return module->MakeRelateQuery(selected, command, query, FixtureUser());
    };
    CXMap q;
    EXPECT_EQ(relate({m_school.r3}, ID_REL_EDURCD, q), -1); // nothing consumed yet
    EXPECT_EQ(relate({m_school.r3, m_school.r1}, ID_REL_EDURCD, q), 1);
    EXPECT_EQ(q.GetIdList(MDU_RECEIPT).split(u',').size(), 2);
    // S3 joins the English timetable: R3's timetable relation names S3 and English
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH (CourseID, DateBgn) VALUES (%d,%d)", m_school.english,
                                  static_cast<int>(XDateTime(2026, 7, 1).Day()))));
    ASSERT_TRUE(Exec(
        FormatString(u"INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES ((SELECT MAX(ID) FROM TB_EDUSCH),%d)",
                     m_school.s3)));
    CXMap t;
    EXPECT_EQ(relate({m_school.r3}, ID_REL_EDUSCH, t), 1);
    EXPECT_EQ(t.GetIdList(MDU_STUDENT), QString::number(m_school.s3));
    EXPECT_EQ(t.GetIdList(MDU_COURSE), QString::number(m_school.english));
    CXMap two;
    EXPECT_EQ(relate({m_school.r3, m_school.r2}, ID_REL_EDUSCH, two), -1); // one receipt only
    CXMap none;
    EXPECT_EQ(relate({m_school.r1}, ID_REL_EDUSCH, none), -1); // S1 has no timetable
    UnregisterModule(&timetables);
    UnregisterModule(&records);
}

} // namespace
