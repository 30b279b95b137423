#include "CDBReceipt.h"
#include "PeopleTestSupport.h"
#include "RecordConsts.h"
#include "RecordWriter.h"
#include "TextUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <iterator>

namespace {

XDateTime Date(int y, int m, int d) { return XDateTime(y, m, d); }

// The expected figures of the fixture's receipts on 2026-03-18, worked out by hand from the
// sale, the package, the alterations and the consuming class lines.
struct XReceiptCase
{
    const char* key;
    int lesson;
    double pay;
    XDateTime bgn, payValid;
    int lessonEnd;
    double payEnd;
    XDateTime validEnd;
    int countIn, remained, lsnInvalid, zero, status, newCheckIn, hasRenew;
    const char* message; // the status message of validation
};

const XReceiptCase kCases[] = {
    // P1 (15 x ¥200, 183 days) x 2 periods at 95 % - ¥100, +2 lessons: 2*15+2 = 32,
    // 2*15*200*95/100 - 100 = 5600, valid 2025-09-10 + 366 days; 10 consumed (the leave and
    // the pending line do not count); S1 bought piano again in R6 five days later
    {"B250001", 32, 5600, Date(2025, 9, 10), Date(2026, 9, 11), 32, 5600, Date(2026, 9, 11), 10, 22, 0, 0, 1, 1, 1,
     "停课中！"},
    // P2 (定期, 12 x ¥80, 90 days): 2025-10-01 + 90 = 2025-12-30 has passed, so the 12 - 8
    // lessons left are invalid; last class 2025-11-26
    {"B250002", 12, 960, Date(2025, 10, 1), Date(2025, 12, 30), 12, 960, Date(2025, 12, 30), 8, 0, 4, 1, 5, 1, 0,
     "2025年11月26日结课"},
    // P3 (短期 2026-07-01 .. 08-31, 20 x ¥50): one period whatever was typed, start moved
    {"B260001", 20, 1000, Date(2026, 7, 15), Date(2026, 8, 31), 20, 1000, Date(2026, 8, 31), 0, 20, 0, 0, 1, 1, 0,
     "停课中！"},
    // P1 once: 15 lessons, 17 consumed; valid 2025-11-01 + 183 = 2026-05-03
    {"B250003", 15, 3000, Date(2025, 11, 1), Date(2026, 5, 3), 15, 3000, Date(2026, 5, 3), 17, -2, 0, 0, 4, 1, 0,
     "课时超 2 次"},
    // P1 once, refunded -¥1000 on 2026-01-10, before 2025-09-20 + 183 = 2026-03-22: the
    // refund ends it; 15 - 5 lessons invalid; S2 first bought piano in R7
    {"B250004", 15, 3000, Date(2025, 9, 20), Date(2026, 3, 22), 15, 2000, Date(2026, 1, 10), 5, 0, 10, 1, 6, 0, 0,
     "2026年1月10日退费！"},
    // P4 (30 x ¥150, 365 days) altered +3 lessons, +30 days, +¥150; piano was first bought
    // in R1, so this is no new enrolment
    {"B250005", 30, 4500, Date(2025, 9, 15), Date(2026, 9, 15), 33, 4650, Date(2026, 10, 15), 0, 33, 0, 0, 1, 0, 0,
     "停课中！"},
    // P1 once: valid to 2024-09-10 + 183 = 2025-03-12; counted lessons outlive the validity:
    // 15 - 3 left, 371 days over
    {"B240001", 15, 3000, Date(2024, 9, 10), Date(2025, 3, 12), 15, 3000, Date(2025, 3, 12), 3, 12, 0, 0, 2, 1, 1,
     "课时余 12 次，超有效期 371 天"},
};

QStringList StatusTexts(const CXItem& item)
{
    QStringList texts;
    for (const CXStatus& s : item.m_status)
        texts << s.m_strText;
    return texts;
}

QString Mismatches(const CDBReceipt& r, const XReceiptCase& c, bool validated)
{
    QStringList out;
    const auto num = [&](const char* what, double got, double want) {
        if (std::fabs(got - want) > 1e-6)
            out << QStringLiteral("%1 %2 (want %3)").arg(QLatin1String(what)).arg(got).arg(want);
    };
    num("Lesson", r.m_nLesson, c.lesson);
    num("Pay", r.m_fPay, c.pay);
    num("Bgn", r.m_validity.m_begin.Day(), c.bgn.Day());
    num("PayValid", r.m_validity.m_end.Day(), c.payValid.Day());
    num("LessonEnd", r.m_nLessonEnd, c.lessonEnd);
    num("PayEnd", r.m_fPayEnd, c.payEnd);
    num("ValidEnd", r.m_dtValidEnd.Day(), c.validEnd.Day());
    num("CountIn", r.m_nCountIn, c.countIn);
    num("Remained", r.m_nRemained, c.remained);
    num("LsnInvalid", r.m_nLsnInvalid, c.lsnInvalid);
    num("ZeroLesson", r.m_nZeroLesson, c.zero);
    num("ItemStatus", r.m_nItemStatus, c.status);
    num("NewCheckIn", r.m_nNewCheckIn, c.newCheckIn);
    num("HasRenew", r.m_nHasRenew, c.hasRenew);
    if (validated && !StatusTexts(r).contains(QString::fromUtf8(c.message)))
        out << QStringLiteral("messages ") + StatusTexts(r).join(u'|');
    return out.isEmpty() ? QString() : QString::fromUtf8(c.key) + u' ' + out.join(QStringLiteral(", "));
}

// Every figure the record computes in memory, wiped so that validation must compute it.
void WipeFigures(CDBReceipt& r)
{
    r.m_nLesson = r.m_nLessonEnd = r.m_nRemained = r.m_nLsnInvalid = r.m_nZeroLesson = r.m_nItemStatus = -99;
    r.m_fPay = r.m_fPayEnd = r.m_fAltPrice = -99;
    r.m_validity = CXDateRange(XDateTime(1.0), XDateTime(1.0));
    r.m_dtValidEnd = r.m_dtAltRtr = XDateTime(1.0);
    r.m_nAltLesson = r.m_nAltValid = -99;
}

// Reads every receipt through the list query on a connection of the calling thread and
// checks it against the case table: as the view computed it, or recomputed by validation.
QStringList CheckCases(bool validate)
{
    CXArray items(nullptr, true);
    if (!FindModule(MDU_RECEIPT)->QueryItems(items, CXMap(), true, false))
        return {QStringLiteral("list not read")};
    QStringList out;
    if (items.GetSize() != static_cast<int>(std::size(kCases)))
        out << QStringLiteral("%1 receipts read").arg(items.GetSize());
    for (const XReceiptCase& c : kCases) {
        CDBReceipt* found = nullptr;
        for (CXItem* item : items)
            if (item->m_strName == QString::fromUtf8(c.key))
                found = static_cast<CDBReceipt*>(item);
        if (!found) {
            out << QString::fromUtf8(c.key) + QStringLiteral(" missing");
            continue;
        }
        if (validate) {
            WipeFigures(*found);
            found->Validate(&FixtureUser(), false);
        }
        const QString m = Mismatches(*found, c, validate);
        if (!m.isEmpty())
            out << m;
    }
    return out;
}

using Receipts = SchoolBeforeTimetablesTest;

TEST_F(Receipts, OneCaseTableHoldsForTheViewAndForValidationOnEveryThread)
{
    for (const bool validate : {false, true}) {
        EXPECT_EQ(CheckCases(validate), QStringList()) << "UI thread, validated " << validate;
        QStringList worker;
        OnWorker([&] { worker = CheckCases(validate); });
        EXPECT_EQ(worker, QStringList()) << "worker thread, validated " << validate;
    }
}

// A refund dated after the altered validity leaves the validity as it was; the receipt ends
// all the same.
TEST_F(Receipts, ARefundAfterTheValidityKeepsIt)
{
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_RECEIPT_ALTER (ReceiptID, RecordDate, AlterType, AlterPrice, "
                                  u"Insider) VALUES (%d,%d,1,-300,'家长')",
                                  m_school.r6, static_cast<int>(Date(2026, 11, 1).Day()))));
    auto r = ReadOne<CDBReceipt>(m_school.r6);
    ASSERT_TRUE(r);
    for (int pass = 0; pass < 2; ++pass) { // as read, then recomputed
        EXPECT_EQ(r->m_dtValidEnd.Day(), Date(2026, 10, 15).Day());
        EXPECT_EQ(r->m_dtAltRtr.Day(), Date(2026, 11, 1).Day());
        EXPECT_EQ(r->m_nItemStatus, RECEIPT_REFUNDED);
        EXPECT_EQ(r->m_nLsnInvalid, 33);
        EXPECT_DOUBLE_EQ(r->m_fPayEnd, 4350); // 4500 + 150 - 300
        WipeFigures(*r);
        r->Validate(&FixtureUser(), false);
    }
}

TEST_F(Receipts, ListLinesAndTitlesReadBack)
{
    auto r6 = ReadOne<CDBReceipt>(m_school.r6);
    ASSERT_TRUE(r6);
    EXPECT_EQ(r6->m_student.m_strName, QStringLiteral("张三 (小明)"));
    EXPECT_EQ(r6->m_charge.m_strName, QStringLiteral("艺术联报"));
    ASSERT_EQ(r6->m_courses.GetSize(), 2);
    QStringList courses;
    for (const CXItem* line : r6->m_courses)
        courses << line->m_strName;
    courses.sort();
    EXPECT_EQ(courses, QStringList({QStringLiteral("美术"), QStringLiteral("钢琴")}));
    ASSERT_EQ(r6->m_alters.GetSize(), 1);
    EXPECT_EQ(static_cast<const CDBReceiptAlter*>(r6->m_alters.GetAt(0))->GetAlterText(),
              QStringLiteral("¥+150.00+3 次+30 天"));
    EXPECT_EQ(r6->m_dtAltMax.Day(), Date(2025, 12, 1).Day());

    auto r1 = ReadOne<CDBReceipt>(m_school.r1);
    ASSERT_TRUE(r1);
    const CHeads* heads = CDBReceipt::StaticHeads();
    const auto text = [&](const char* caption) {
        return r1->FormatText(heads->FindByCaption(QString::fromUtf8(caption)), true, true, true);
    };
    EXPECT_EQ(text("调整项"), QStringLiteral("折扣\r\n价格\r\n课时"));
    EXPECT_EQ(text("调整"), QStringLiteral("95 %\r\n¥-100.00\r\n+2 次"));
    EXPECT_TRUE(r1->m_strPayer.isEmpty());
    EXPECT_EQ(text("交款人"), QStringLiteral("本人"));
    EXPECT_EQ(heads->GetSize(), 74);
}

TEST_F(Receipts, ValidationClearsWhatDoesNotApply)
{
    auto r = ReadOne<CDBReceipt>(m_school.r1);
    ASSERT_TRUE(r);
    r->m_strAdjDcntMemo = QStringLiteral("早鸟");
    r->m_nAdjDcnt = 0; // unchecking the discount (and the price adjustment)
    r->m_nAdjPrice = 0;
    r->m_strPayer = r->m_student.m_strName;
    r->Validate(&FixtureUser(), false);
    EXPECT_EQ(r->m_nAdjDcntVal, 100);
    EXPECT_EQ(r->m_strAdjDcntMemo, QStringLiteral("早鸟")); // the note stays
    EXPECT_EQ(r->m_fAdjPriceVal, 0);
    EXPECT_TRUE(r->m_strPayer.isEmpty()); // the payer was the student
    EXPECT_DOUBLE_EQ(r->m_fPay, 6000);    // 2*15*200, nothing taken off any more
    EXPECT_EQ(r->m_nLesson, 32);

    // a short-term receipt: one period, no validity adjustment, value and flag together
    auto s = ReadOne<CDBReceipt>(m_school.r3);
    ASSERT_TRUE(s);
    s->m_nPayNum = 4;
    s->m_nAdjValid = 1;
    s->m_nAdjValidVal = 20;
    s->Validate(&FixtureUser(), false);
    EXPECT_EQ(s->m_nPayNum, 1);
    EXPECT_EQ(s->m_nAdjValid, 0);
    EXPECT_EQ(s->m_nAdjValidVal, 0);
    EXPECT_EQ(s->m_validity.m_end.Day(), Date(2026, 8, 31).Day());
    ASSERT_TRUE(SaveItem(nullptr, s.get(), nullptr, FixtureUser()));
    EXPECT_EQ(ReadOne<CDBReceipt>(m_school.r3)->m_nAdjValid, 0); // the view finds no adjustment either
}

TEST_F(Receipts, ANewReceiptNeedsStudentPackageAndPayType)
{
    CDBReceipt r;
    r.Validate(&FixtureUser(), false);
    EXPECT_EQ(StatusTexts(r).mid(0, 3),
              QStringList({QStringLiteral("未选择一学员！"), QStringLiteral("未选择一课时包！"),
                           QStringLiteral("请输入支付方式！")}));
    // with a package chosen it takes the package and its courses, and before it is saved it
    // has consumed nothing and has no timetable: 停课
    r.m_student.m_nID = m_school.s4;
    r.m_student.m_strName = QStringLiteral("王五");
    r.m_charge.m_nID = m_school.p4;
    r.m_strPayType = QStringLiteral("微信");
    r.Validate(&FixtureUser(), false);
    EXPECT_EQ(StatusTexts(r), QStringList({QStringLiteral("停课中！")}));
    EXPECT_EQ(r.m_nLesson, 30);
    EXPECT_EQ(r.m_courses.GetSize(), 2);
    EXPECT_EQ(r.m_charge.m_courses.GetSize(), 0);
}

// A saved receipt moved to another package computes with that package at once, not with the
// one it was read with.
TEST_F(Receipts, AChangedPackageLinkIsReadAgain)
{
    auto r = ReadOne<CDBReceipt>(m_school.r1);
    ASSERT_TRUE(r);
    r->Validate(&FixtureUser(), false);
    r->m_charge.m_nID = m_school.p4;
    r->Validate(&FixtureUser(), false);
    EXPECT_EQ(r->m_charge.m_nLessonNum, 30);
    EXPECT_EQ(r->m_nLesson, 62);          // 2*30 + 2
    EXPECT_DOUBLE_EQ(r->m_fPay, 8450);    // 2*30*150*95/100 - 100
    EXPECT_EQ(r->m_courses.GetSize(), 2); // piano and art
    EXPECT_EQ(r->m_charge.m_nID, m_school.p4);
}

TEST_F(Receipts, AlterationValidation)
{
    struct
    {
        int type;
        double price;
        int lessons, days;
        const char* insider;
        double priceAfter;
        int lessonsAfter, daysAfter;
        const char* error;
    } cases[] = {
        {1, 300, 2, 10, "家长", 0, 0, 0, ""}, // a refund never adds money, lessons or days
        {1, -300, 0, 0, "家长", -300, 0, 0, ""},
        {0, 0, 0, 0, "家长", 0, 0, 0, "请输入有效的价格、课时或有效期变更！"},
        {0, 50, 0, 0, "", 50, 0, 0, "请输入知情人或备注！"},
        {0, 0, -2, 0, "校长", 0, -2, 0, ""},
    };
    for (const auto& c : cases) {
        CDBReceiptAlter a;
        a.m_nAlterType = c.type;
        a.m_fAlterPrice = c.price;
        a.m_nAlterLesson = c.lessons;
        a.m_nAlterValid = c.days;
        a.m_strInsider = QString::fromUtf8(c.insider);
        a.Validate(&FixtureUser(), false);
        EXPECT_EQ(a.m_fAlterPrice, c.priceAfter) << c.price;
        EXPECT_EQ(a.m_nAlterLesson, c.lessonsAfter);
        EXPECT_EQ(a.m_nAlterValid, c.daysAfter);
        EXPECT_EQ(a.GetErrorText(), QString::fromUtf8(c.error));
    }
}

// The alteration page saves the whole receipt with only its lines changed: the change is
// journalled like one of the receipt's own columns, and the modified stamp moves.
TEST_F(Receipts, ChangedAlterationLinesAreJournalled)
{
    auto r6 = ReadOne<CDBReceipt>(m_school.r6);
    ASSERT_TRUE(r6);
    ASSERT_EQ(r6->m_alters.GetSize(), 1);
    CDBReceipt earlier;
    r6->CopyTo(&earlier);
    const QString where = QStringLiteral(" FROM TB_OPERLOG WHERE TypeID=%1 AND MduID=%2 AND ItemID=%3")
                              .arg(int(OPER_MDF))
                              .arg(MDU_RECEIPT)
                              .arg(m_school.r6);
    const auto rows = [&] { return static_cast<int>(QueryNumber(QStringLiteral("SELECT COUNT(*)") + where)); };
    const auto latest = [&] { return QueryText(QStringLiteral("SELECT OperMemo") + where + " ORDER BY ID DESC"); };
    const auto save = [&] {
        r6->m_modified.Reset();
        return SaveItem(nullptr, r6.get(), &earlier, FixtureUser());
    };

    ASSERT_TRUE(save()); // nothing changed: nothing journalled, the stamp stays
    EXPECT_EQ(rows(), 0);
    EXPECT_EQ(r6->m_modified.m_nID, 0);

    static_cast<CDBReceiptAlter*>(r6->m_alters.GetAt(0))->m_strInsider = QStringLiteral("本人");
    ASSERT_TRUE(save());
    EXPECT_EQ(rows(), 1);
    EXPECT_EQ(latest(), QStringLiteral("后期变更·知情人：<del>家长</del>本人"));
    EXPECT_EQ(r6->m_modified.m_nID, FixtureUser().m_nID);

    auto* refund = static_cast<CDBReceiptAlter*>(r6->m_alters.CreateItem());
    refund->m_dtDate = Date(2026, 3, 18);
    refund->m_nAlterType = 1;
    refund->m_fAlterPrice = -500;
    refund->m_strInsider = QStringLiteral("家长");
    r6->m_alters.Add(refund);
    ASSERT_TRUE(save());
    EXPECT_EQ(rows(), 2);
    // the line's title: date, type and what it changes
    const QString title = QStringLiteral("2026年3月18日退费¥-500.00");
    EXPECT_EQ(latest(), QStringLiteral("后期变更：<del></del>") + title);

    r6->m_alters.RemoveAt(1);
    ASSERT_TRUE(save());
    EXPECT_EQ(rows(), 3);
    EXPECT_EQ(latest(), QStringLiteral("后期变更：<del>") + title + QStringLiteral("</del>"));
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_RECEIPT_ALTER WHERE ReceiptID=%1").arg(m_school.r6)),
              1);
}

// "Today" in defaults and limits is the clock's day when used, not the day the field table
// was first built: a program left running overnight dates a receipt today.
TEST_F(Receipts, TodayInDefaultsAndLimitsFollowsTheClock)
{
    const CHead* payDate = CDBReceipt::StaticHeads()->FindByColumn(QStringLiteral("PayDate"));
    const CHead* alterDate = CDBReceiptAlter::StaticHeads()->FindByColumn(QStringLiteral("RecordDate"));
    const CHead* usefulBgn = CDBCharge::StaticHeads()->FindByColumn(QStringLiteral("UsefulBgn"));
    for (const XDateTime& now : {FixtureNow(), XDateTime(2026, 3, 19, 0, 5, 0), XDateTime(2027, 1, 1, 23, 0, 0)}) {
        XClock::SetFixed(now);
        const int today = static_cast<int>(now.DateOnly().Day());
        CDBReceipt r;
        EXPECT_EQ(r.m_dtDate.Day(), today);
        int min = 0, max = 0;
        r.GetRange(payDate, min, max);
        EXPECT_EQ(max, today);
        CDBReceiptAlter a;
        EXPECT_EQ(a.m_dtDate.Day(), today);
        a.GetRange(alterDate, min, max);
        EXPECT_EQ(max, today);
        CDBCharge c;
        EXPECT_EQ(c.GetDefault(usefulBgn), today + 1);
    }
}

TEST_F(Receipts, AccessFollowsTheSaleAndTheUser)
{
    CXItem ordinary;
    ordinary.m_nMduID = MDU_TEACHER;
    ordinary.m_nRightRole = 0;
    const CHeads* heads = CDBReceipt::StaticHeads();
    const auto access = [&](const CDBReceipt& r, const char* caption, const CXItem* user = &FixtureUser()) {
        return r.GetAccess(heads->FindByCaption(QString::fromUtf8(caption)), user);
    };
    CDBReceipt fresh;
    auto r1 = ReadOne<CDBReceipt>(m_school.r1);
    auto r3 = ReadOne<CDBReceipt>(m_school.r3);
    ASSERT_TRUE(r1 && r3);
    const struct
    {
        const CDBReceipt* r;
        const char* caption;
        const CXItem* user;
        int want;
    } cases[] = {
        {&fresh, "日期", &FixtureUser(), 1},
        {r1.get(), "日期", &FixtureUser(), 0},
        {&fresh, "学员", &FixtureUser(), 1},
        {r1.get(), "学员", &FixtureUser(), 0},
        {&fresh, "交款人", &FixtureUser(), -1},
        {r1.get(), "交款人", &FixtureUser(), 1},
        {&fresh, "数量", &FixtureUser(), -1},
        {r1.get(), "数量", &FixtureUser(), 1},
        {r3.get(), "数量", &FixtureUser(), 0},
        {&fresh, "折扣", &FixtureUser(), -1},
        {r1.get(), "折扣", &FixtureUser(), 1},
        {r1.get(), "折扣", &ordinary, -1},
        {r1.get(), "折扣值", &FixtureUser(), 1},
        {r1.get(), "礼品价值", &FixtureUser(), -1},
        {r3.get(), "上课日调整至", &FixtureUser(), 1},
        {r3.get(), "有效期调整", &FixtureUser(), 1},
        {r3.get(), "有效期调整值", &FixtureUser(), -1},
        {&fresh, "后期变更", &FixtureUser(), -1},
        {r1.get(), "后期变更", &FixtureUser(), 1},
        {&fresh, "支付方式", &FixtureUser(), -1},
        {r1.get(), "支付方式", &FixtureUser(), 1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(access(*c.r, c.caption, c.user), c.want) << c.caption << " of " << c.r->m_strName.toStdString();

    // a refund has no validity change; nor has any change of a short-term receipt
    const CHead* days = CDBReceiptAlter::StaticHeads()->FindByCaption(QStringLiteral("有效期"));
    auto* line = static_cast<CDBReceiptAlter*>(r1->m_alters.CreateItem());
    r1->m_alters.Add(line);
    EXPECT_EQ(line->GetAccess(days, &FixtureUser()), 1);
    line->m_nAlterType = 1;
    EXPECT_EQ(line->GetAccess(days, &FixtureUser()), -1);
    auto* shortTerm = static_cast<CDBReceiptAlter*>(r3->m_alters.CreateItem());
    r3->m_alters.Add(shortTerm);
    EXPECT_EQ(shortTerm->GetAccess(days, &FixtureUser()), -1);
}

TEST_F(Receipts, StartRangePickerQueryAndDeleteRefusal)
{
    auto r1 = ReadOne<CDBReceipt>(m_school.r1);
    auto r3 = ReadOne<CDBReceipt>(m_school.r3);
    ASSERT_TRUE(r1 && r3);
    const CHeads* heads = CDBReceipt::StaticHeads();
    const CHead* start = heads->FindByColumn(QStringLiteral("AdjBgnVal"));
    int min = -1, max = -1;
    r3->GetRange(start, min, max);
    EXPECT_EQ(min, static_cast<int>(Date(2026, 7, 1).Day()));
    EXPECT_EQ(max, static_cast<int>(Date(2026, 8, 31).Day()));
    r1->GetRange(start, min, max);
    EXPECT_EQ(min, 0); // a long-term package leaves the start free
    EXPECT_EQ(max, 0);
    EXPECT_EQ(r1->GetDefault(start), static_cast<int>(Date(2025, 9, 10).Day()));

    const CHead* package = heads->FindByColumn(QStringLiteral("ChargeID"));
    const CXMap q1 = r1->GetRelateQuery(package, nullptr);
    EXPECT_EQ(q1.GetDate(1048).Day(), Date(2025, 9, 10).Day());
    EXPECT_EQ(q1.GetDate(1126).Day(), Date(2025, 9, 11).Day());
    EXPECT_EQ(q1.GetText(MDU_COURSE), QString::number(m_school.piano)); // lessons were consumed
    EXPECT_FALSE(r3->GetRelateQuery(package, nullptr).Has(MDU_COURSE));

    EXPECT_EQ(r1->GetDeleteError(&FixtureUser()), QStringLiteral("已有关联的课堂记录。"));
    EXPECT_EQ(r3->GetDeleteError(&FixtureUser()), QString());
    // a current timetable of the first enrolment keeps the receipt; the receipt is 上课
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH (CourseID, DateBgn) VALUES (%d,%d)", m_school.english,
                                  static_cast<int>(Date(2026, 7, 1).Day()))));
    ASSERT_TRUE(Exec(FormatString(u"INSERT INTO TB_EDUSCH_STUDENT (EduSchID, StudentID) VALUES "
                                  u"((SELECT MAX(ID) FROM TB_EDUSCH),%d)",
                                  m_school.s3)));
    r3 = ReadOne<CDBReceipt>(m_school.r3);
    EXPECT_EQ(r3->m_nSchCur, 1);
    EXPECT_EQ(r3->m_nSchAll, 1);
    EXPECT_EQ(r3->m_nItemStatus, RECEIPT_ATTENDING);
    EXPECT_EQ(r3->GetDeleteError(&FixtureUser()), QStringLiteral("已有关联的课程表。"));
    EXPECT_TRUE(r3->GetRelateQuery(package, nullptr).Has(MDU_COURSE));
}

TEST_F(Receipts, RemainingLessonsText)
{
    auto r1 = ReadOne<CDBReceipt>(m_school.r1);
    auto r2 = ReadOne<CDBReceipt>(m_school.r2);
    ASSERT_TRUE(r1 && r2);
    const CHead* remained = CDBReceipt::StaticHeads()->FindByColumn(QStringLiteral("Remained"));
    const QString sup1 = AsciiToSupSub(QStringLiteral("-1"), true);
    const struct
    {
        CDBReceipt* r;
        int selected, earlier;
        QString want;
    } cases[] = {
        {r1.get(), 0, 0, QStringLiteral("32-10=22")},
        {r1.get(), 1, 0, QStringLiteral("32-10") + sup1 + QStringLiteral("=21")}, // picked now
        {r1.get(), 1, 1, QStringLiteral("32-9") + sup1 + QStringLiteral("=22")},  // picked before
        {r1.get(), 0, 1, QStringLiteral("32-9") + AsciiToSupSub(QStringLiteral("-0"), true) + QStringLiteral("=23")},
        {r2.get(), 0, 0, QStringLiteral("12-8") + AsciiToSupSub(QStringLiteral("-4"), false) + QStringLiteral("=0")},
    };
    for (const auto& c : cases) {
        c.r->m_bSelected = c.selected;
        c.r->m_bOrgSelected = c.earlier;
        EXPECT_EQ(c.r->FormatText(remained, true, true, true), c.want);
    }
}

TEST_F(Receipts, PrintKeywordsAndTheDemoReceipt)
{
    auto r1 = ReadOne<CDBReceipt>(m_school.r1);
    ASSERT_TRUE(r1);
    XPrintKeywords keys;
    r1->FillPrintKeywords(keys, 0, &FixtureUser());
    EXPECT_EQ(keys.value(QStringLiteral("[大写金额]")), QStringLiteral("伍仟陆佰元整"));
    EXPECT_EQ(keys.value(QStringLiteral("[学员]")), QStringLiteral("张三 (小明)"));
    EXPECT_EQ(keys.value(QStringLiteral("[交款人]")), QStringLiteral("本人"));
    EXPECT_EQ(keys.value(QStringLiteral("[ID.1]")), QStringLiteral("1"));
    EXPECT_EQ(keys.value(QStringLiteral("[ID.32]")), QStringLiteral("32")); // a row per lesson bought
    EXPECT_FALSE(keys.contains(QStringLiteral("[ID.33]")));
    EXPECT_FALSE(keys.contains(QStringLiteral("[剩余课时]"))); // not a print field

    CDBReceipt demo;
    demo.MakeDemo(&FixtureUser());
    const double today = XDateTime::Today().Day();
    EXPECT_EQ(demo.m_nLesson, 32);                                 // 2*15 + 2
    EXPECT_DOUBLE_EQ(demo.m_fPay, 2750);                           // 2*15*100*95/100 - 100
    EXPECT_EQ(demo.m_validity.m_begin.Day(), today + 30);          // the adjusted start
    EXPECT_EQ(demo.m_validity.m_end.Day(), today + 30 + 366 + 60); // 2*183 days + 60
    XPrintKeywords sample;
    CDBReceipt().FillPrintKeywords(sample, 1, &FixtureUser());
    EXPECT_EQ(sample.value(QStringLiteral("[大写金额]")), QStringLiteral("贰仟柒佰伍拾元整"));
    EXPECT_EQ(sample.value(QStringLiteral("[经手人]")), FixtureUser().m_strName);
    EXPECT_EQ(
        sample.value(QStringLiteral("[调整说明]")),
        QStringLiteral("提前报名九五折。\r\n代金卷抵 100 元\r\n首次报名赠送课时。\r\n初学送教材。\r\n提前报名推迟上课"
                       "。\r\n暑假期间停课。"));
    EXPECT_TRUE(sample.contains(QStringLiteral("[ID.32]")));
}

} // namespace
