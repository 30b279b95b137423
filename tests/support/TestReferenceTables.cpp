#include "ReferenceTables.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(ReferenceTables, PaperLinesOfThreeFieldsCountAndCommentsDoNot)
{
    const QList<XPaperSize> papers = ParsePaperSizes(QStringLiteral(
        "2159,2794,信纸\r\n;2100,2970,A4 小号\r\n2100,2970\r\n2100,2970,A4,extra\n2970,4200,A3\n0,0,自定义\r\n"));
    ASSERT_EQ(papers.size(), 3);
    EXPECT_EQ(papers[0].name, QStringLiteral("信纸"));
    EXPECT_EQ(papers[0].width, 2159);
    EXPECT_EQ(papers[0].height, 2794);
    EXPECT_EQ(papers[0].id, 2794 << 16 | 2159);
    EXPECT_EQ(papers[1].name, QStringLiteral("A3"));
    EXPECT_EQ(papers[2].id, 0);
    EXPECT_EQ(papers[2].name, QStringLiteral("自定义"));
}

TEST(ReferenceTables, BuiltInPaperList)
{
    const QList<XPaperSize>& papers = GetPaperSizes();
    ASSERT_EQ(papers.size(), 122);
    EXPECT_EQ(&papers, &GetPaperSizes());
    EXPECT_EQ(papers.first().name, QStringLiteral("信纸"));
    EXPECT_EQ(papers.last().name, QStringLiteral("自定义"));
    EXPECT_EQ(papers.last().id, 0);

    const auto find = [&](const QString& name) {
        for (const XPaperSize& p : papers) {
            if (p.name == name)
                return p;
        }
        return XPaperSize();
    };
    const struct
    {
        const char16_t* name;
        int width, height;
    } rows[] = {{u"信纸", 2159, 2794}, {u"A4", 2100, 2970},      {u"A3", 2970, 4200},
                {u"A5", 1480, 2100},   {u"PRC 16K", 1880, 2600}, {u"A4 旋转", 2970, 2100}};
    for (const auto& r : rows) {
        const XPaperSize p = find(QString::fromUtf16(r.name));
        EXPECT_EQ(p.width, r.width) << p.name.toStdString();
        EXPECT_EQ(p.height, r.height) << p.name.toStdString();
        EXPECT_EQ(p.id, r.height << 16 | r.width);
    }
}

TEST(ReferenceTables, AreaNames)
{
    const struct
    {
        const char* code;
        const char16_t* name;
    } cases[] = {
        {"110101", u"北京市>市辖区>东城区"},
        {"1101", u"北京市>市辖区"},
        {"1101xx", u"北京市>市辖区"},
        {"11", u"北京市"},
        {"110000", u"北京市>北京市>北京市"},
        {"820000", u"澳门特别行政区>澳门特别行政区>澳门特别行政区"},
        {"440305", u"广东省>深圳市>南山区"},
        {"990000", u""},
        {"1", u""},
        {"", u""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetAreaName(QString::fromLatin1(c.code)), QString::fromUtf16(c.name)) << c.code;
}

// The web login and the desktop may both be first.
TEST(ReferenceTables, FirstUseFromSeveralThreadsSeesWholeTables)
{
    std::vector<std::thread> threads;
    std::vector<int> counts(8);
    std::vector<QString> names(8);
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([i, &counts, &names] {
            counts[i] = static_cast<int>(GetPaperSizes().size());
            names[i] = GetAreaName(QStringLiteral("110101"));
        });
    }
    for (std::thread& t : threads)
        t.join();
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(counts[i], 122);
        EXPECT_EQ(names[i], QStringLiteral("北京市>市辖区>东城区"));
    }
}

} // namespace
