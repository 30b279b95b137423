#include "CModuleCharge.h"
#include "PeopleTestSupport.h"
#include "RecordWriter.h"

#include "CommandIds.h"

#include <gtest/gtest.h>

namespace {

class Charges : public SchoolBeforeTimetablesTest
{
protected:
    // A receipt of the package, stored as the receipt page would store it.
    int Receipt(int charge, const XDateTime& payDate, int payNum = 1, int discount = 100, double priceAdj = 0)
    {
        EXPECT_TRUE(Exec(
            QStringLiteral("INSERT INTO TB_RECEIPT (KeyName,StudentID,PayDate,PayNum,AdjDcntVal,AdjPriceVal,ChargeID)"
                           " VALUES ('B%1',1,%2,%3,%4,%5,%6)")
                .arg(++m_receipts)
                .arg(payDate.Day())
                .arg(payNum)
                .arg(discount)
                .arg(priceAdj)
                .arg(charge)));
        return static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_RECEIPT")));
    }
    void Alteration(int receipt, double price, int type = 0)
    {
        EXPECT_TRUE(
            Exec(QStringLiteral(
                     "INSERT INTO TB_RECEIPT_ALTER (ReceiptID,RecordDate,AlterType,AlterPrice) VALUES (%1,%2,%3,%4)")
                     .arg(receipt)
                     .arg(FixtureNow().Day())
                     .arg(type)
                     .arg(price)));
    }
    int m_receipts = 0;
};

const CHead* Head(const char* caption) { return CDBCharge::StaticHeads()->FindByCaption(QString::fromUtf8(caption)); }

// price per period, sale status and the receipt columns (empty texts: never sold)
TEST_F(Charges, FixturePackagesByHand)
{
    const struct
    {
        int id;
        double price;
        int status;
        const char16_t* valid;
        const char16_t* sold;
        const char16_t* sum;
    } cases[] = {
        // R1 5600 + R4 3000 + R5 3000 - 1000 refunded + R7 3000
        {m_school.p1, 3000, CHARGE_ON_SALE, u"183 天", u"4 人次", u"¥13,600.00"},
        {m_school.p2, 960, CHARGE_ON_SALE, u"90 天", u"1 人次", u"¥960.00"},
        {m_school.p3, 1000, CHARGE_ON_SALE, u"2026年7月1日至2026年8月31日", u"1 人次", u"¥1,000.00"},
        // closes today: still on sale; R6 4500 + 150 altered
        {m_school.p4, 4500, CHARGE_ON_SALE, u"365 天", u"1 人次", u"¥4,650.00"},
        {m_school.p5, 3000, CHARGE_NOT_YET, u"183 天", u"无", u"无"},
    };
    for (const auto& c : cases) {
        auto p = ReadOne<CDBCharge>(c.id);
        ASSERT_TRUE(p);
        EXPECT_DOUBLE_EQ(p->m_fChgPrice, c.price) << p->m_strName.toStdString();
        EXPECT_EQ(p->GetSaleStatus(), c.status) << p->m_strName.toStdString();
        EXPECT_EQ(p->FormatText(Head("有效期"), true, true, true), QString::fromUtf16(c.valid));
        EXPECT_EQ(p->FormatText(Head("已报名"), true, true, true), QString::fromUtf16(c.sold));
        EXPECT_EQ(p->FormatText(Head("报名金额"), true, true, true), QString::fromUtf16(c.sum));
    }
    auto p4 = ReadOne<CDBCharge>(m_school.p4);
    ASSERT_EQ(p4->m_courses.GetSize(), 2);
    EXPECT_EQ(p4->m_courses.GetAt(0)->m_nID, m_school.piano);
    EXPECT_EQ(p4->m_courses.GetAt(1)->m_nID, m_school.art);
    EXPECT_EQ(p4->FormatText(Head("价格"), true, true, true), QStringLiteral("¥4,500.00 /期"));
}

TEST(ChargeRecord, ValidationComputesThePriceAndClearsTheOtherKind)
{
    XClock::SetFixed(FixtureNow());
    CDBCharge c;
    EXPECT_EQ(c.m_nLessonNum, 15);
    EXPECT_DOUBLE_EQ(c.m_fUnitPrice, 100);
    EXPECT_EQ(c.m_nValidDays, 180);
    c.m_dtCheckBgn = XDateTime(2026, 1, 1);
    c.m_dtUsefulBgn = XDateTime(2026, 4, 1);
    c.m_dtUsefulEnd = XDateTime(2026, 5, 1);
    c.Validate(nullptr, false);
    EXPECT_DOUBLE_EQ(c.m_fChgPrice, 1500.0);
    // long-term: the course period goes
    EXPECT_EQ(c.m_dtUsefulBgn.Day(), 0);
    EXPECT_EQ(c.m_dtUsefulEnd.Day(), 0);
    EXPECT_EQ(c.m_nValidDays, 180);
    EXPECT_EQ(c.GetStatusText(), QStringLiteral("请输入名称！\r\n请添加适用课程！\r\n无关联报名收据。"));

    c.m_nFixedDate = 1;
    c.m_dtUsefulBgn = XDateTime(2026, 4, 1);
    c.Validate(nullptr, false);
    EXPECT_EQ(c.m_nValidDays, 0);
    EXPECT_EQ(c.m_dtUsefulBgn.Day(), XDateTime(2026, 4, 1).Day());

    // sale status messages at both ends
    c.m_dtCheckBgn = XDateTime(2026, 3, 19);
    c.Validate(nullptr, false);
    EXPECT_TRUE(c.GetStatusText().endsWith(QStringLiteral("未生效！")));
    c.m_dtCheckBgn = XDateTime(2026, 1, 1);
    c.m_dtCheckEnd = XDateTime(2026, 3, 17);
    c.Validate(nullptr, false);
    EXPECT_EQ(c.GetSaleStatus(), CHARGE_CLOSED);
    EXPECT_TRUE(c.GetStatusText().endsWith(QStringLiteral("已截止！")));
    c.m_dtCheckEnd = XDateTime(2026, 3, 18);
    EXPECT_EQ(c.GetSaleStatus(), CHARGE_ON_SALE);
    c.m_dtCheckEnd = XDateTime(0.0);
    c.m_dtCheckBgn = XDateTime(2000, 1, 1);
    EXPECT_EQ(c.GetSaleStatus(), CHARGE_ON_SALE);
    XClock::Reset();
}

TEST(ChargeRecord, KindsHideTheirUnusedFields)
{
    CDBCharge c;
    const auto access = [&c](const char* caption) { return c.GetAccess(Head(caption), nullptr); };
    EXPECT_EQ(access("有效期长"), 1);
    EXPECT_EQ(access("开课日期"), -1);
    EXPECT_EQ(access("结课日期"), -1);
    EXPECT_EQ(access("开结课日期"), -1);
    c.m_nFixedDate = 1;
    EXPECT_EQ(access("有效期长"), -1);
    EXPECT_EQ(access("开课日期"), 1);
    EXPECT_EQ(access("开结课日期"), 0);
}

TEST_F(Charges, ReceiptsLockTheTermsAndTheFirstSaleDay)
{
    // the school sold P1 four times from 2024-09-10 on, for 13600 in all
    Receipt(m_school.p1, XDateTime(2025, 10, 8));
    Receipt(m_school.p1, XDateTime(2026, 2, 3));
    auto p1 = ReadOne<CDBCharge>(m_school.p1);
    EXPECT_EQ(p1->m_nRcpPayTimes, 6);
    EXPECT_DOUBLE_EQ(p1->m_fRcpPaySum, 19600.0); // 13600 + 2 x 3000
    for (const char* caption : {"计费", "排课", "课时", "单价", "价格", "课程"})
        EXPECT_EQ(p1->GetAccess(Head(caption), &FixtureUser()), 0) << caption;
    for (const char* caption : {"名称", "生效日期", "截止日期", "备注"})
        EXPECT_EQ(p1->GetAccess(Head(caption), &FixtureUser()), 1) << caption;
    EXPECT_EQ(p1->GetDeleteError(&FixtureUser()), QStringLiteral("已有关联的报名收据。"));

    int min = 0, max = 0;
    p1->GetRange(Head("生效日期"), min, max);
    EXPECT_EQ(max, static_cast<int>(XDateTime(2024, 9, 10).Day()));
    p1->GetRange(Head("截止日期"), min, max);
    EXPECT_EQ(min, static_cast<int>(XDateTime(2026, 2, 3).Day()));
    // without receipts only the sale start bounds the closing day
    auto p5 = ReadOne<CDBCharge>(m_school.p5);
    p5->GetRange(Head("生效日期"), min, max);
    EXPECT_EQ(max, INT_MAX);
    p5->GetRange(Head("截止日期"), min, max);
    EXPECT_EQ(min, static_cast<int>(XDateTime(2026, 9, 1).Day()));
    EXPECT_EQ(p5->GetAccess(Head("课时"), &FixtureUser()), 1);
    EXPECT_EQ(p5->GetDeleteError(&FixtureUser()), QString());
}

// A receipt with two alterations counts once: the sum is the receipt's pay plus both.
TEST_F(Charges, ReceiptSumsDoNotFanOut)
{
    const int r = Receipt(m_school.p1, XDateTime(2026, 1, 5), 1, 90, -50); // 15 x 200 x 90% - 50 = 2650
    Alteration(r, 100);
    Alteration(r, -30, 1);
    Receipt(m_school.p4, XDateTime(2026, 2, 1), 2); // 2 x 30 x 150 = 9000, for 钢琴 and for 美术
    // beside the school's four sales of P1 (13600) and one of P4 (4650)
    auto p1 = ReadOne<CDBCharge>(m_school.p1);
    EXPECT_EQ(p1->m_nRcpPayTimes, 5);
    EXPECT_DOUBLE_EQ(p1->m_fRcpPaySum, 16320.0); // 13600 + 2650 + 100 - 30
    EXPECT_EQ(p1->m_dtRcpPayMin.Day(), XDateTime(2024, 9, 10).Day());

    const struct
    {
        int course;
        int times;
        double sum;
        int refunds;
    } cases[] = {
        {m_school.piano, 7, 29970.0, 2}, // P1: 16320, P4: 4650 + 9000; R5 and the new one refunded
        {m_school.art, 3, 14610.0, 0},   // P2 960, P4 4650 + 9000
        {m_school.english, 1, 1000.0, 0},
    };
    for (const auto& c : cases) {
        auto course = ReadOne<CDBCourse>(c.course);
        EXPECT_EQ(course->m_nRcpPayTimes, c.times) << course->m_strName.toStdString();
        EXPECT_DOUBLE_EQ(course->m_fRcpPaySum, c.sum) << course->m_strName.toStdString();
        EXPECT_EQ(course->m_nRcpRtrTimes, c.refunds) << course->m_strName.toStdString();
    }
    EXPECT_EQ(ReadOne<CDBCourse>(m_school.piano)->GetDeleteError(&FixtureUser()),
              QStringLiteral("已有关联的课时包、报名收据、课堂记录。"));

    CXMap unsold;
    unsold.SetText(1253, QStringLiteral("0"));
    EXPECT_EQ(QueryNames(MDU_CHARGE, unsold), QStringLiteral("2026秋季钢琴"));
    CXMap sold;
    sold.SetText(1253, QStringLiteral("1"));
    EXPECT_EQ(QueryNames(MDU_CHARGE, sold), QStringLiteral("暑期英语班,美术季卡,艺术联报,钢琴一对一15课时"));
}

TEST_F(Charges, BuiltInSchemesOnTheFixtureDay)
{
    CXArray schemes(nullptr, true);
    FindModule(MDU_CHARGE)->AddQuickQueries(schemes);
    const QString all = QStringLiteral("2026秋季钢琴,暑期英语班,美术季卡,艺术联报,钢琴一对一15课时");
    const struct
    {
        const char16_t* name;
        QString packages;
        bool separator;
    } expected[] = {
        {u"可报名", QStringLiteral("暑期英语班,美术季卡,钢琴一对一15课时"), false},
        {u"已截止", QStringLiteral("艺术联报"), false}, // closes today
        {u"未截止", QStringLiteral("2026秋季钢琴,暑期英语班,美术季卡,钢琴一对一15课时"), false},
        {u"未生效", QStringLiteral("2026秋季钢琴"), true},
        {u"近一个月", all, false},
        {u"近三个月", all, true},
        {u"可报名计次收费课程", QStringLiteral("暑期英语班,钢琴一对一15课时"), false},
        {u"可报名定期收费课程", QStringLiteral("美术季卡"), true},
        {u"可报名长期排课课程", QStringLiteral("美术季卡,钢琴一对一15课时"), false},
        {u"可报名短期排课课程", QStringLiteral("暑期英语班"), true},
        {u"全部", all, false},
    };
    ASSERT_EQ(schemes.GetSize(), 11);
    for (int i = 0; i < 11; ++i) {
        const auto* scheme = static_cast<const CDBPrjQuery*>(schemes.GetAt(i));
        EXPECT_EQ(scheme->m_strName, QString::fromUtf16(expected[i].name));
        EXPECT_EQ(QueryNames(MDU_CHARGE, CXMap(scheme->m_strRightData)), expected[i].packages)
            << scheme->m_strName.toStdString();
        EXPECT_EQ(scheme->m_bSeparator != 0, expected[i].separator) << scheme->m_strName.toStdString();
    }
}

// "截止日期≥" holds an OR; with a course chosen as well, the open packages of other courses
// must not slip in.
TEST_F(Charges, OrConditionStaysOneTerm)
{
    CXMap q;
    q.SetDate(1126, XDateTime(2026, 3, 1));
    CXArray art(nullptr, true);
    art.Add(ReadOne<CDBCourse>(m_school.art).release());
    q.SetText(MDU_COURSE, art.GetAt(0)->GetLink());
    EXPECT_EQ(QueryNames(MDU_CHARGE, q), QStringLiteral("美术季卡,艺术联报"));
    q.SetDate(1126, XDateTime(2026, 3, 19));
    EXPECT_EQ(QueryNames(MDU_CHARGE, q), QStringLiteral("美术季卡"));

    // the other options, and IDs from a web request pass as integers only
    const struct
    {
        int key;
        QString value;
        QString packages;
    } cases[] = {
        {1047, Day(2025, 9, 1), QStringLiteral("2026秋季钢琴,暑期英语班,美术季卡,艺术联报")},
        {1048, Day(2025, 9, 1), QStringLiteral("美术季卡,艺术联报,钢琴一对一15课时")},
        {1127, Day(2026, 3, 18), QStringLiteral("艺术联报")},
        {1038, QStringLiteral("1"), QStringLiteral("美术季卡")},
        {1042, QStringLiteral("1"), QStringLiteral("暑期英语班")},
        {MDU_COURSE, QString::number(m_school.english) + QStringLiteral(") OR (1=1"), QStringLiteral("暑期英语班")},
        {MDU_COURSE, QStringLiteral("x"), QString()},
    };
    for (const auto& c : cases) {
        CXMap one;
        one.SetText(c.key, c.value);
        EXPECT_EQ(QueryNames(MDU_CHARGE, one), c.packages) << c.key;
    }
}

TEST_F(Charges, ReceiptRelationOnlyForSoldPackages)
{
    CXArray unsold(nullptr, true);
    unsold.Add(ReadOne<CDBCharge>(m_school.p5).release());
    CXMap q;
    EXPECT_EQ(FindModule(MDU_CHARGE)->MakeRelateQuery(unsold, ID_REL_RECEIPT, q, FixtureUser()), -1);
    EXPECT_TRUE(q.IsEmpty());
    CXArray sold(nullptr, true);
    sold.Add(ReadOne<CDBCharge>(m_school.p2).release()); // R2
    EXPECT_EQ(FindModule(MDU_CHARGE)->MakeRelateQuery(sold, ID_REL_RECEIPT, q, FixtureUser()), 1);
    EXPECT_EQ(q.GetIdList(MDU_CHARGE), QString::number(m_school.p2));
}

// A package made from another one saves course rows of its own; the source keeps its rows.
TEST_F(Charges, NewPackageFromAnotherKeepsTheSourcesCourses)
{
    auto source = ReadOne<CDBCharge>(m_school.p4);
    CDBCharge copy;
    source->CopyTo(&copy);
    copy.MakeNewCopy();
    copy.m_strName = QStringLiteral("艺术联报2");
    copy.Validate(&FixtureUser(), true);
    ASSERT_TRUE(SaveItem(nullptr, &copy, nullptr, FixtureUser()));
    EXPECT_NE(copy.m_nID, m_school.p4);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM TB_CHARGE_COURSE WHERE ChargeID=%1").arg(m_school.p4)),
              QStringLiteral("2"));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM TB_CHARGE_COURSE WHERE ChargeID=%1").arg(copy.m_nID)),
              QStringLiteral("2"));
}

TEST_F(Charges, CourseLinePickerOffersEnabledCoursesNotYetInThePackage)
{
    auto p4 = ReadOne<CDBCharge>(m_school.p4);
    const CXMap q = p4->GetRelateQuery(Head("课程"), nullptr);
    EXPECT_EQ(q.GetText(1064), QStringLiteral("1"));
    EXPECT_EQ(QueryNames(MDU_COURSE, q), QStringLiteral("英语"));
}

} // namespace
