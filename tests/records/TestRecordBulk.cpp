#include "CXItem.h"
#include "XRecordBulk.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>
#include <vector>

namespace {

std::vector<std::unique_ptr<CXItem>> Make(int count)
{
    std::vector<std::unique_ptr<CXItem>> records;
    for (int i = 0; i < count; ++i) {
        records.emplace_back(new CXItem);
        records.back()->m_nID = i + 1;
        records.back()->m_strName = QString::number(i);
    }
    return records;
}

} // namespace

TEST(RecordBulk, BlocksLiveAsLongAsTheirLastRecordOnAnyThread)
{
    const long before = XRecordBulk::LiveBlocks();
    // a few records, as a dialog reads, take no block
    {
        XRecordBulk bulk;
        auto few = Make(10);
        EXPECT_EQ(XRecordBulk::LiveBlocks(), before);
    }
    // records for three blocks after the first few allocated alone
    const int count = 64 + 3 * static_cast<int>(XRecordBulk::kBlockBytes / (sizeof(CXItem) + 16)) - 10;
    std::vector<std::unique_ptr<CXItem>> many;
    {
        XRecordBulk outer;
        XRecordBulk inner; // nested scopes share the thread's block
        many = Make(count);
    }
    EXPECT_EQ(XRecordBulk::LiveBlocks(), before + 3);
    for (int i = 0; i < count; ++i)
        ASSERT_EQ(many[static_cast<std::size_t>(i)]->m_strName, QString::number(i));

    // deleted on another thread, all but the last record: the last block stays
    std::unique_ptr<CXItem> kept = std::move(many.back());
    many.pop_back();
    std::thread([&many] { many.clear(); }).join();
    EXPECT_EQ(XRecordBulk::LiveBlocks(), before + 1);
    EXPECT_EQ(kept->m_nID, count);
    kept.reset();
    EXPECT_EQ(XRecordBulk::LiveBlocks(), before);

    // outside a scope every record is allocated alone
    auto alone = Make(200);
    EXPECT_EQ(XRecordBulk::LiveBlocks(), before);
}
