#include "DbTestSupport.h"
#include "Settings.h"

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <thread>

namespace {

int Rows(const QString& key)
{
    return static_cast<int>(
        QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_PROFILE WHERE SecName='S' AND KeyName='%1'").arg(key)));
}

QString Stored(const QString& key)
{
    return QueryText(QStringLiteral("SELECT KeyValue FROM TB_PROFILE WHERE SecName='S' AND KeyName='%1'").arg(key));
}

TEST(Settings, OnlyValuesOtherThanTheDefaultAreStored)
{
    TempDatabase db;
    ErrorCapture capture;
    const QString s = QStringLiteral("S");

    // a registered default: writing it removes the row, reading gives it back
    EXPECT_EQ(ReadSetting(s, QStringLiteral("K"), QStringLiteral("d")), "d");
    WriteSetting(s, QStringLiteral("K"), QStringLiteral("v"));
    EXPECT_EQ(Stored(QStringLiteral("K")), "v");
    EXPECT_EQ(ReadSetting(s, QStringLiteral("K"), QStringLiteral("d")), "v");
    WriteSetting(s, QStringLiteral("K"), QStringLiteral("d"));
    EXPECT_EQ(Rows(QStringLiteral("K")), 0);
    EXPECT_EQ(ReadSetting(s, QStringLiteral("K"), QStringLiteral("d")), "d");

    // never registered (default empty): any non-empty value is stored, an empty one removes
    WriteSetting(s, QStringLiteral("U"), QStringLiteral("x"));
    EXPECT_EQ(Stored(QStringLiteral("U")), "x");
    WriteSetting(s, QStringLiteral("U"), QString());
    EXPECT_EQ(Rows(QStringLiteral("U")), 0);

    // a read whose default equals the stored value deletes the row
    WriteSetting(s, QStringLiteral("R"), QStringLiteral("v"));
    EXPECT_EQ(Rows(QStringLiteral("R")), 1);
    EXPECT_EQ(ReadSetting(s, QStringLiteral("R"), QStringLiteral("v")), "v");
    EXPECT_EQ(Rows(QStringLiteral("R")), 0);

    // the last registered default wins, for the lookup and for the next write
    ReadSetting(s, QStringLiteral("L"), QStringLiteral("a"));
    ReadSetting(s, QStringLiteral("L"), QStringLiteral("b"));
    EXPECT_EQ(GetSettingDefault(s, QStringLiteral("L")), "b");
    WriteSetting(s, QStringLiteral("L"), QStringLiteral("b"));
    EXPECT_EQ(Rows(QStringLiteral("L")), 0);
    WriteSetting(s, QStringLiteral("L"), QStringLiteral("a"));
    EXPECT_EQ(Stored(QStringLiteral("L")), "a");

    // the register's keys keep their case; the table's do not
    EXPECT_EQ(GetSettingDefault(QStringLiteral("s"), QStringLiteral("L")), "");
    EXPECT_EQ(ReadSetting(QStringLiteral("s"), QStringLiteral("l"), QStringLiteral("z")), "a");
    EXPECT_TRUE(capture.reports.empty());
}

TEST(Settings, WritingTheStoredValueAgainChangesNothing)
{
    TempDatabase db;
    WriteSetting(QStringLiteral("S"), QStringLiteral("Same"), QStringLiteral("v"));
    sqlite3* shared = CXDBSession::Shared().Handle();
    ASSERT_NE(shared, nullptr);
    const int before = sqlite3_total_changes(shared);
    WriteSetting(QStringLiteral("S"), QStringLiteral("Same"), QStringLiteral("v"));
    EXPECT_EQ(sqlite3_total_changes(shared), before);
    EXPECT_EQ(Rows(QStringLiteral("Same")), 1);
}

TEST(Settings, ConcurrentWritersOfANewKeyLeaveOneRow)
{
    TempDatabase db;
    ErrorCapture capture;
    auto writer = [](int who) {
        for (int i = 0; i < 30; ++i)
            WriteSetting(QStringLiteral("S"), QStringLiteral("Race%1").arg(i), QStringLiteral("w%1").arg(who));
    };
    std::thread a(writer, 1), b(writer, 2);
    a.join();
    b.join();
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_PROFILE WHERE KeyName LIKE 'Race%'")), 30);
    EXPECT_TRUE(capture.reports.empty());
}

TEST(Settings, FailuresAreReportedAndReadsFallBackToTheDefault)
{
    TempDatabase db;
    ASSERT_TRUE(Exec(QStringLiteral("DROP TABLE TB_PROFILE")));
    ErrorCapture capture;
    EXPECT_EQ(ReadSetting(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("d")), "d");
    WriteSetting(QStringLiteral("S"), QStringLiteral("K"), QStringLiteral("v"));
    ASSERT_EQ(capture.reports.size(), 2u);
    EXPECT_EQ(capture.reports[0].task, QString::fromUtf8("读取设置"));
    EXPECT_EQ(capture.reports[1].task, QString::fromUtf8("保存设置"));
    EXPECT_TRUE(capture.reports[1].message.contains(QLatin1String("no such table")));
    EXPECT_TRUE(capture.reports[1].detail.startsWith(QLatin1String("SELECT KeyValue")));
}

} // namespace
