#include "RecordDbFixture.h"

namespace {

class RecordNumbers : public RecordDb
{
protected:
    QString Number(const QString& pattern, int recordId = 0)
    {
        m_receipt.m_strKeyFormat = pattern;
        CXDBSession session;
        session.Connect();
        return m_receipt.MakeRecordNumber(session, recordId);
    }
    static void Store(const char* key)
    {
        ASSERT_TRUE(
            Exec(QStringLiteral("INSERT INTO TB_TEST_RECEIPT (KeyName) VALUES ('%1')").arg(QString::fromLatin1(key))));
    }
};

const QString kFailed = QStringLiteral("自动编号失败！\r\n\r\n请在 “首选项” 中设置正确的自动编号格式。");

TEST_F(RecordNumbers, PatternsFillDateAndNextCounter)
{
    const struct
    {
        const char* pattern;
        XDateTime now;
        const char* stored; // empty: none
        const char* expected;
    } cases[] = {
        {"B[Y][nnnn]", XDateTime(2025, 3, 5), "", "B250001"},
        {"B[Y][nnnn]", XDateTime(2025, 3, 5), "B250041", "B250042"},
        {"B[Y][nnnn]", XDateTime(2025, 3, 5), "B240077", "B250001"},
        {"B[Y][nnnn]", XDateTime(2025, 3, 5), "b250050", "B250001"}, // compared by code value
        {"T[YYYY][MM][nn]", XDateTime(2025, 4, 2), "T20250399", "T20250401"},
        {"%B[YY][M][D]-[n]", XDateTime(2025, 4, 2), "", "%B250402-1"},
        {"B[nn]-[nnnn]", XDateTime(2025, 4, 2), "B07-[nnnn]", "B08-[nnnn]"},
        {"N[nnnnnnnnn]", XDateTime(2025, 4, 2), "N000123456", "N000123457"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(Exec(QStringLiteral("DELETE FROM TB_TEST_RECEIPT")));
        XClock::SetFixed(c.now);
        if (*c.stored)
            Store(c.stored);
        EXPECT_EQ(Number(QString::fromUtf8(c.pattern)), QString::fromUtf8(c.expected)) << c.pattern << " " << c.stored;
    }
    EXPECT_TRUE(m_errors.reports.empty());
}

TEST_F(RecordNumbers, FullPeriodOrNoCounterFails)
{
    Store("B259999");
    EXPECT_EQ(Number(QStringLiteral("B[Y][nnnn]")), QString());
    EXPECT_EQ(Number(QStringLiteral("B[Y]")), QString());
    ASSERT_EQ(m_errors.reports.size(), 2u);
    for (const auto& r : m_errors.reports) {
        EXPECT_EQ(r.task, QStringLiteral("自动编号"));
        EXPECT_EQ(r.message, kFailed);
    }
}

TEST_F(RecordNumbers, StoredRecordTakesThePeriodOfItsFirstLogRow)
{
    EXPECT_EQ(Number(QStringLiteral("B[Y][nnnn]"), 8), QStringLiteral("B250001"));
    ASSERT_TRUE(
        Exec(QStringLiteral(
                 "INSERT INTO TB_OPERLOG (TypeID,MduID,ItemID,OperTime) VALUES (6,331,8,%1),(4,331,8,%2),(4,332,8,%3)")
                 .arg(XDateTime(2024, 6, 1).Day())
                 .arg(XDateTime(2024, 5, 1).Day())
                 .arg(XDateTime(2023, 5, 1).Day())));
    EXPECT_EQ(Number(QStringLiteral("B[Y][MM][nnnn]"), 8), QStringLiteral("B24050001"));
}

} // namespace
