// The default record operations, validation and the record arrays.
#include "CXMap.h"
#include "CommandIds.h"
#include "TestRecordClasses.h"
#include "TestSupport.h"
#include "XThread.h"

#include <gtest/gtest.h>

#include <random>
#include <thread>

namespace {

class RecordOperations : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterModule(&m_course);
        RegisterModule(&m_charge);
        XClock::SetFixed(XDateTime(2026, 12, 10, 9, 0));
    }
    void TearDown() override { XClock::Reset(); }

    const CHead* Head(const char* caption) const
    {
        return CTestCharge::StaticHeads()->FindByCaption(QString::fromUtf8(caption));
    }

    CTestModuleCourse m_course;
    CTestModuleCharge m_charge;
};

TEST_F(RecordOperations, FormatTextByTypeAndFlags)
{
    CTestCharge c;
    const CHead* times = Head("课时");
    c.m_nTimes = 0;
    EXPECT_EQ(c.FormatText(times, true, true, true), ""); // blank zero, no empty text
    EXPECT_EQ(c.FormatText(times, false, false, false), "0");
    c.m_nTimes = 1234;
    EXPECT_EQ(c.FormatText(times, true, false, true), QString::fromUtf8("1,234 次"));
    EXPECT_EQ(c.FormatText(times, false, false, false), "1234");

    const CHead* price = Head("单价");
    c.m_fPrice = 12.5;
    EXPECT_EQ(c.FormatText(price, false, false, true), "12.50");
    EXPECT_EQ(c.FormatText(price, false, true, false), QString::fromUtf8("¥12.50"));
    EXPECT_EQ(c.FormatText(price, false, false, false), "12.5");
    c.m_fPrice = -0.5;
    EXPECT_EQ(c.FormatText(price, false, false, false), "-0.5");
    c.m_fPrice = 12345.0;
    EXPECT_EQ(c.FormatText(price, false, false, true), "12,345.00");
    EXPECT_EQ(c.FormatText(price, false, false, false), "12345");
    c.m_fPrice = 0;
    EXPECT_EQ(c.FormatText(price, false, false, true), "");

    const CHead* state = Head("状态");
    c.m_nState = 1;
    EXPECT_EQ(c.FormatText(state, false, false, true), QString::fromUtf8("启用"));
    c.m_nState = 5;
    EXPECT_EQ(c.FormatText(state, false, false, false), "");

    const CHead* begin = Head("开始");
    c.m_dtBegin = XDateTime(0.0);
    EXPECT_EQ(c.FormatText(begin, false, false, true), QString::fromUtf8("长期"));
    EXPECT_EQ(c.FormatText(begin, false, false, false), "");
    c.m_dtBegin = XDateTime(2024, 9, 1);
    EXPECT_EQ(c.FormatText(begin, false, false, true), QString::fromUtf8("2024年9月1日"));

    const CHead* room = Head("教室");
    c.m_strRoom.clear();
    EXPECT_EQ(c.FormatText(room, false, false, true), QString::fromUtf8("无记录"));
    EXPECT_EQ(c.FormatText(room, false, false, false), "");

    const CHead* stamp = Head("修改");
    c.m_stamp.m_strName = QStringLiteral("Admin");
    EXPECT_EQ(c.FormatText(stamp, false, false, true), "Admin");
    c.m_stamp.m_dtDate = XDateTime(2024, 3, 9, 8, 5);
    EXPECT_EQ(c.FormatText(stamp, false, false, true), "2024-3-9 8:05 Admin");

    c.m_teacher.m_strName = QStringLiteral("王老师");
    EXPECT_EQ(c.FormatText(Head("教师"), false, false, true), QString::fromUtf8("王老师"));
    EXPECT_EQ(c.FormatText(Head("时间"), false, false, true), "8:30~10:00");

    c.m_nTimes = 10;
    c.m_fPrice = 150;
    EXPECT_EQ(c.FormatText(Head("总价"), false, true, true), QString::fromUtf8("¥1,500.00"));
    EXPECT_EQ(c.FormatText(Head("有效期"), false, false, true), QString::fromUtf8("2024年9月1日至2024年10月1日"));
    EXPECT_EQ(c.FormatText(nullptr, true, true, true), "");
}

TEST_F(RecordOperations, ChildListsTitlesAndRawTexts)
{
    CTestCharge c;
    for (const char* title : {"钢琴", "", "小提琴", "钢琴"}) {
        auto* line = c.m_lines.CreateTyped();
        line->m_nID = 7;
        line->m_strName = QString::fromUtf8(title);
        c.m_lines.Add(line);
    }
    EXPECT_EQ(c.FormatText(Head("课程明细"), false, false, true), QString::fromUtf8("钢琴\r\n小提琴"));
    EXPECT_EQ(c.m_lines[0]->GetTitleText(), QString::fromUtf8("钢琴"));

    c.m_strName = QStringLiteral("钢琴启蒙");
    EXPECT_EQ(c.GetTitleText(), QString::fromUtf8("钢琴启蒙"));
    CXItem bare;
    bare.m_strName = QStringLiteral("x");
    EXPECT_EQ(bare.GetTitleText(), "x");

    c.m_dtBegin = XDateTime(2024, 9, 1, 15, 0);
    EXPECT_EQ(c.GetRawText(Head("开始")), "2024-09-01");
    c.m_teacher.m_nID = 3;
    EXPECT_EQ(c.GetRawText(Head("教师")), "3");
    EXPECT_EQ(c.GetRawText(Head("课时")), "1");
    EXPECT_EQ(c.GetDefaultText(Head("名称")), QString::fromUtf8("新课时包"));
    EXPECT_EQ(c.GetDefaultText(Head("开始")), "2026-12-10"); // default 0 means today
    EXPECT_EQ(c.GetDefaultText(Head("时间")), "8:30~10:00");
}

TEST_F(RecordOperations, GroupTextsOfDatesAndOptions)
{
    CTestCharge c;
    const CHead* begin = Head("开始");
    c.m_dtBegin = XDateTime(2026, 12, 1);
    EXPECT_EQ(c.GetGroupText(begin), QString::fromUtf8("2026年12月 (本月)"));
    c.m_dtBegin = XDateTime(2026, 11, 30);
    EXPECT_EQ(c.GetGroupText(begin), QString::fromUtf8("2026年11月 (上月)"));
    c.m_dtBegin = XDateTime(2027, 1, 2);
    EXPECT_EQ(c.GetGroupText(begin), QString::fromUtf8("2027年1月 (下月)"));
    c.m_dtBegin = XDateTime(2025, 12, 10);
    EXPECT_EQ(c.GetGroupText(begin), QString::fromUtf8("2025年12月"));
    c.m_dtBegin = XDateTime(0.0);
    EXPECT_EQ(c.GetGroupText(begin), QString::fromUtf8("长期"));
    c.m_strRoom.clear();
    const CHead* name = CTestCourse::StaticHeads()->FindByCaption(QStringLiteral("PrimaryKey"));
    CTestCourse course;
    EXPECT_EQ(course.GetGroupText(name), QString::fromUtf8("无"));
}

TEST_F(RecordOperations, DeleteRulesAndWarnings)
{
    m_charge.m_nCaps = RIGHT_QRY | RIGHT_PRT;
    CTestCharge c;
    c.m_nID = 4;
    CXItemT<MDU_TEACHER> op, admin;
    op.m_nRightRole = 1;
    admin.m_nRightRole = 2;
    EXPECT_EQ(c.GetDeleteError(&op), QString::fromUtf8("仅管理员可删除已保存的课时包！"));
    EXPECT_EQ(c.GetDeleteError(&admin), "");
    c.m_nID = -1;
    EXPECT_EQ(c.GetDeleteError(&admin), QString::fromUtf8("内置课时包不可删除！"));
    c.m_nID = 4;
    c.m_notified.m_dtDate = XDateTime(2024, 1, 1);
    EXPECT_EQ(c.GetDeleteError(&admin), QString::fromUtf8("已发送微信通知的课时包不可删除或重置！"));
    m_charge.m_nCaps = RIGHT_QRY;
    CTestCourseLine line;
    EXPECT_EQ(line.GetDeleteError(&op), ""); // lines are not main records

    EXPECT_EQ(CTestCharge().GetDeleteWarning(), "");
    c.m_printed.m_dtDate = XDateTime(2024, 5, 6, 10);
    c.m_printed.m_strName = QStringLiteral("李四");
    EXPECT_EQ(c.GetDeleteWarning(), QString::fromUtf8("该课时包已于2024年5月6日由李四打印，请谨慎删除！"));
}

TEST_F(RecordOperations, AccessOfOrdinaryUsersAndOfWebThreads)
{
    m_charge.m_nCaps = RIGHT_QRY | RIGHT_PRT;
    CTestCharge c;
    CXItemT<MDU_TEACHER> teacher;
    teacher.m_nRightRole = 0;
    const CHead* link = Head("教师");
    const CHead* room = Head("教室");
    EXPECT_EQ(c.GetAccess(link, nullptr), 1);
    EXPECT_EQ(c.GetAccess(link, &teacher), 0); // an ordinary teacher cannot pick another teacher
    EXPECT_EQ(c.GetAccess(room, &teacher), 1);
    EXPECT_EQ(c.GetAccess(Head("PrimaryKey"), nullptr), 0);

    int unsaved = -2, saved = -2;
    c.m_nID = 0;
    std::thread([&] { unsaved = c.GetAccess(room, nullptr); }).join();
    c.m_nID = 9;
    std::thread([&] { saved = c.GetAccess(room, nullptr); }).join();
    EXPECT_EQ(unsaved, 1);
    EXPECT_EQ(saved, 0); // issued documents are read-only on the web
    m_charge.m_nCaps = RIGHT_QRY;
}

TEST_F(RecordOperations, ValidationLevelsOrderAndDuplicates)
{
    CTestCharge c;
    EXPECT_EQ(c.Validate(nullptr, false), ST_GOOD);
    ASSERT_EQ(c.m_status.size(), 1);
    EXPECT_EQ(c.m_status[0].m_strText, "");

    CTestCharge gray;
    gray.AddStatus(ST_GRAY, nullptr, "停用");
    EXPECT_EQ(gray.Validate(nullptr, false), ST_GRAY);
    EXPECT_EQ(gray.m_status.size(), 1);

    CTestCharge twice;
    twice.AddStatus(ST_WARN, &twice.m_fPrice, "价格%s", QStringLiteral("过高"));
    twice.AddStatus(ST_STOP, nullptr, "价格%s", QStringLiteral("过高"));
    twice.AddStatus(ST_NONE, nullptr, "");
    EXPECT_EQ(twice.Validate(nullptr, false), ST_STOP);
    ASSERT_EQ(twice.m_status.size(), 2);
    EXPECT_EQ(twice.m_status[0].m_nLevel, ST_STOP);
    EXPECT_EQ(twice.m_status[0].m_strText, QString::fromUtf8("价格过高"));
    EXPECT_EQ(twice.GetAlertText(), QString::fromUtf8("价格过高"));
    EXPECT_EQ(twice.GetErrorText(), QString::fromUtf8("价格过高"));
    EXPECT_EQ(twice.GetStatusText(), QString::fromUtf8("价格过高"));

    int searches = 0;
    XDuplicateFinder previous =
        SetDuplicateFinder([&](int ownId, const QString& value, const QString& table, const QString& column) {
            ++searches;
            EXPECT_EQ(ownId, 41);
            EXPECT_EQ(table, "TB_TEST_COURSE");
            EXPECT_EQ(column, "RecordName");
            return value == QString::fromUtf8("重名") ? 7 : 0;
        });
    CTestCourse course;
    course.m_nID = 41;
    course.m_strName = QStringLiteral("重名");
    EXPECT_EQ(course.Validate(nullptr, false), ST_GOOD);
    EXPECT_EQ(searches, 0); // no search without the flag
    course.m_status.clear();
    EXPECT_EQ(course.Validate(nullptr, true), ST_STOP); // input word 138 refuses duplicates
    EXPECT_EQ(course.m_status[0].m_strText, QString::fromUtf8("名称存在重复项。"));
    EXPECT_EQ(course.m_status[0].m_nMember, 0);
    SetDuplicateFinder(previous);
}

TEST_F(RecordOperations, OrdinaryUsersOwnWhatTheyCreate)
{
    CTestCharge c;
    CXItemT<MDU_TEACHER> teacher;
    teacher.m_nID = 6;
    teacher.m_strName = QStringLiteral("赵老师");
    c.Validate(&teacher, false);
    EXPECT_EQ(c.m_teacher.m_nID, 6);
    EXPECT_EQ(c.m_teacher.m_strName, QString::fromUtf8("赵老师"));

    CTestCharge other;
    teacher.m_nRightRole = 1; // an operator does not
    other.Validate(&teacher, false);
    EXPECT_EQ(other.m_teacher.m_nID, 0);
}

TEST_F(RecordOperations, RelatedQueries)
{
    CTestCharge fresh;
    EXPECT_FALSE(fresh.GetRelateQuery(nullptr, nullptr).Has(1));
    fresh.m_nID = 5;
    EXPECT_EQ(fresh.GetRelateQuery(nullptr, nullptr).GetText(1), "5");

    CTestCharge parent;
    for (int id : {4, 0, 9}) {
        auto* line = parent.m_lines.CreateTyped();
        line->m_nID = id;
        parent.m_lines.Add(line);
    }
    const CXMap q = parent.m_lines[0]->GetRelateQuery(nullptr, nullptr);
    EXPECT_EQ(q.GetText(1), "4");
    EXPECT_EQ(q.GetText(2), "9"); // the others with an ID, the line itself left out
    CXMap base;
    base.SetText(QKEY_MODULE, QStringLiteral("328"));
    const CXMap viaHead = parent.GetRelateQuery(Head("课程明细"), &base);
    EXPECT_EQ(viaHead.GetText(QKEY_MODULE), "328");
    EXPECT_FALSE(viaHead.Has(1)); // a fresh line has no ID
}

TEST(CXArray, OwnershipAndParents)
{
    CTestCharge parent;
    parent.m_nID = 12;
    CXItem* line = parent.m_lines.CreateItem();
    EXPECT_EQ(line->m_nParentID, 12);
    EXPECT_EQ(line->m_pArray, &parent.m_lines);
    EXPECT_TRUE(parent.m_lines.IsEmpty()); // not appended by creation
    parent.m_lines.Add(line);
    parent.m_lines.RemoveAll();
    EXPECT_EQ(parent.m_lines.m_pParent, &parent);
    CTestCharge other;
    parent.m_lines.RemoveAll(&other);
    EXPECT_EQ(parent.m_lines.m_pParent, &other);

    CXArrayT<CTestCourse, false> view;
    CTestCourse kept;
    view.Add(&kept);
    view.RemoveAll(); // not owning: nothing deleted
    EXPECT_EQ(kept.m_nMduID, MDU_COURSE);
    EXPECT_EQ(CXArrayT<CTestCourse>().GetHeads(), CTestCourse::StaticHeads());
    EXPECT_EQ(CXArray().GetHeads(), nullptr);
    EXPECT_EQ(CHeads().GetHeads(), nullptr);
}

// An owning array of courses with given prices and names.
void Fill(CXArrayT<CTestCourse>& a, std::initializer_list<double> prices)
{
    for (double p : prices) {
        auto* c = a.CreateTyped();
        c->m_fPrice = p;
        c->m_nState = static_cast<int>(p);
        c->m_strName = QString::number(p);
        a.Add(c);
    }
}

TEST(CXArray, Aggregates)
{
    const int price = XOFFSET(CTestCourse, m_fPrice);
    const int state = XOFFSET(CTestCourse, m_nState);
    CXArrayT<CTestCourse> empty;
    EXPECT_EQ(empty.GetMax(XNU, price), 0);
    CXArrayT<CTestCourse> a;
    Fill(a, {0, 5, 3});
    EXPECT_EQ(a.GetMinNonZero(XNU, price), 3);
    EXPECT_EQ(a.GetSum(XIN, state), 8);
    EXPECT_EQ(a.GetMax(XSW, price), 0); // unknown types give 0
    CXArrayT<CTestCourse> negatives;
    Fill(negatives, {-3, -1});
    EXPECT_EQ(negatives.GetMax(XNU, price), -1);
    CXArrayT<CTestCourse> zeros;
    Fill(zeros, {0, 0});
    EXPECT_EQ(zeros.GetMinNonZero(XNU, price), 0);
    CXArrayT<CTestCourse> money;
    Fill(money, {2.9, 2.0, 3.0});
    EXPECT_EQ(money.CountEqual(XNU, price, 2), 2);
    EXPECT_EQ(money.GetSumBy([](const CXItem& i) { return static_cast<const CTestCourse&>(i).m_fPrice * 2; }), 15.8);

    CXArrayT<CTestCourse> ids;
    Fill(ids, {3, 0, 3, 7});
    EXPECT_EQ(ids.JoinMember(XIN, state, true, QStringLiteral(",")), "3,7");
    EXPECT_EQ(ids.JoinMember(XIN, state, false, QStringLiteral(",")), "3,0,3,7");
    EXPECT_EQ(ids.FindByText(XOFFSET(CTestCourse, m_strName), QStringLiteral("7")), ids[3]);
    EXPECT_EQ(ids.FindByText(XOFFSET(CTestCourse, m_strName), QString()), nullptr);
}

TEST(CXArray, SortKeepsTheExchangeOrder)
{
    const int state = XOFFSET(CTestCourse, m_nState);
    CXArrayT<CTestCourse> a;
    Fill(a, {2, -1, 0});
    a.Sort(XIN, state, false);
    EXPECT_EQ(a[0]->m_nState, 0);
    EXPECT_EQ(a[1]->m_nState, 2);
    EXPECT_EQ(a[2]->m_nState, -1); // negative ints sort last (unsigned comparison)

    CXArrayT<CTestCourse> b;
    Fill(b, {1, 2, 3});
    CXItem* first = b[0];
    b.Sort(XSW, XOFFSET(CTestCourse, m_strName), false); // texts compare equal: unchanged
    EXPECT_EQ(b[0], first);

    // equal keys: the exchange sort's own order
    CXArrayT<CTestCourse> c;
    Fill(c, {2, 1, 2, 1});
    for (int i = 0; i < 4; ++i)
        c[i]->m_strName = QString(QChar(u'a' + i));
    c.Sort(XNU, XOFFSET(CTestCourse, m_fPrice), false);
    QString order;
    for (CXItem* item : c)
        order += item->m_strName;
    EXPECT_EQ(order, "bdca");
    c.Sort(XNU, XOFFSET(CTestCourse, m_fPrice), true);
    order.clear();
    for (CXItem* item : c)
        order += item->m_strName;
    EXPECT_EQ(order, "cabd");
}

} // namespace

namespace {

// The exchange sort written out plainly, as the reference for the fast path.
std::vector<CXItem*> ReferenceSort(std::vector<CXItem*> v, bool descending, const std::function<double(CXItem*)>& key)
{
    for (std::size_t a = 0; a < v.size(); ++a)
        for (std::size_t i = a + 1; i < v.size(); ++i)
            if (descending ? key(v[a]) < key(v[i]) : key(v[a]) > key(v[i]))
                std::swap(v[a], v[i]);
    return v;
}

TEST(CXArray, FastSortGivesTheExchangeSortsOrderForEqualKeys)
{
    std::mt19937 rng(20261210);
    const int state = XOFFSET(CTestCourse, m_nState);
    const int price = XOFFSET(CTestCourse, m_fPrice);
    for (int round = 0; round < 300; ++round) {
        const int n = 33 + static_cast<int>(rng() % 220);
        const int distinct = 1 + static_cast<int>(rng() % 12);
        CXArrayT<CTestCourse> a;
        for (int i = 0; i < n; ++i) {
            auto* c = a.CreateTyped();
            c->m_nState = static_cast<int>(rng() % distinct) - 2; // negatives sort last as unsigned
            c->m_fPrice = static_cast<double>(rng() % distinct) / 2;
            a.Add(c);
        }
        const bool descending = round % 2;
        const bool byInt = round % 3 != 0;
        std::vector<CXItem*> before(a.begin(), a.end());
        const auto key = [&](CXItem* item) {
            const auto* c = static_cast<CTestCourse*>(item);
            return byInt ? static_cast<double>(static_cast<unsigned>(c->m_nState)) : c->m_fPrice;
        };
        const std::vector<CXItem*> expected = ReferenceSort(before, descending, key);
        a.Sort(byInt ? XIN : XNU, byInt ? state : price, descending);
        const std::vector<CXItem*> got(a.begin(), a.end());
        ASSERT_EQ(got, expected) << "round " << round << " n " << n;
    }
}

// The exchange sort with a three-way comparison, as the reference for keys that are not
// plain numbers.
std::vector<CXItem*> ReferenceSortBy(std::vector<CXItem*> v, bool descending,
                                     const std::function<int(CXItem*, CXItem*)>& cmp)
{
    for (std::size_t a = 0; a < v.size(); ++a)
        for (std::size_t i = a + 1; i < v.size(); ++i)
            if (descending ? cmp(v[a], v[i]) < 0 : cmp(v[a], v[i]) > 0)
                std::swap(v[a], v[i]);
    return v;
}

TEST(CXArray, FastSortGivesTheExchangeSortsOrderForNaNAmountsAndDateRanges)
{
    std::mt19937 rng(20261211);
    const int price = XOFFSET(CTestCourse, m_fPrice);
    const int range = XOFFSET(CTestCourse, m_oper);
    // a NaN amount sorts behind every number and equals another NaN
    const auto byAmount = [](CXItem* x, CXItem* y) {
        const double a = static_cast<CTestCourse*>(x)->m_fPrice, b = static_cast<CTestCourse*>(y)->m_fPrice;
        if (std::isnan(a) || std::isnan(b))
            return std::isnan(a) == std::isnan(b) ? 0 : (std::isnan(a) ? 1 : -1);
        return a < b ? -1 : (a > b ? 1 : 0);
    };
    // ranges of valid dates as the range compares them (within half a second equal); a
    // range with a null date behind those without, null dates equal
    const auto dateCmp = [](const XDateTime& a, const XDateTime& b) {
        if (a.IsNull() || b.IsNull())
            return a.IsNull() == b.IsNull() ? 0 : (a.IsNull() ? 1 : -1);
        return a == b ? 0 : (a < b ? -1 : 1);
    };
    const auto byRange = [&](CXItem* x, CXItem* y) {
        const CXDateRange& a = x->m_oper;
        const CXDateRange& b = y->m_oper;
        const int c = dateCmp(a.m_begin, b.m_begin);
        return c ? c : dateCmp(a.m_end, b.m_end);
    };
    const auto date = [&rng](int distinct) {
        const int pick = static_cast<int>(rng() % distinct);
        if (pick == 0)
            return XDateTime::Null();
        // whole seconds, some of them off by a fifth of a second; some before day 0
        const double seconds = (pick - 2) * 3600.0 + (rng() % 3 == 0 ? 0.2 : 0.0);
        return XDateTime(seconds / 86400.0);
    };
    for (int round = 0; round < 200; ++round) {
        const int n = 33 + static_cast<int>(rng() % 200);
        const int distinct = 1 + static_cast<int>(rng() % 8);
        const bool ranges = round % 2;
        const bool descending = (round / 2) % 2;
        CXArrayT<CTestCourse> a;
        for (int i = 0; i < n; ++i) {
            auto* c = a.CreateTyped();
            const int v = static_cast<int>(rng() % (distinct + 1));
            c->m_fPrice = v == 0 ? std::nan("") : v / 2.0;
            c->m_oper = CXDateRange(date(distinct), date(distinct));
            a.Add(c);
        }
        std::vector<CXItem*> before(a.begin(), a.end());
        const std::vector<CXItem*> expected =
            ranges ? ReferenceSortBy(before, descending, byRange) : ReferenceSortBy(before, descending, byAmount);
        a.Sort(ranges ? XDR : XNU, ranges ? range : price, descending);
        const std::vector<CXItem*> got(a.begin(), a.end());
        ASSERT_EQ(got, expected) << "round " << round << " n " << n;
    }
    // and a short array, sorted by the exchange sort itself, puts a NaN at the same place
    CXArrayT<CTestCourse> shortList;
    Fill(shortList, {2, 1, 3});
    shortList[1]->m_fPrice = std::nan("");
    shortList.Sort(XNU, price, false);
    EXPECT_EQ(shortList[0]->m_fPrice, 2);
    EXPECT_EQ(shortList[1]->m_fPrice, 3);
    EXPECT_TRUE(std::isnan(shortList[2]->m_fPrice));
}

} // namespace
