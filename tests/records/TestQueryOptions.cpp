#include "RecordDbFixture.h"

#include "CXQueryOption.h"
#include "CommandIds.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class COptionModule : public CModule
{
public:
    COptionModule() : CModule(MDU_RECEIPT)
    {
        m_options.push_back(std::make_unique<CXQueryOption>(QUERY_FIND, ID_FIND_WHAT));
        m_options.push_back(
            std::make_unique<CXQueryOption>(QUERY_DATE, QKEY_DATE_FROM, 0, QStringLiteral("开始日期≥")));
        m_options.push_back(std::make_unique<CXQueryOption>(QUERY_MONTH, 1126, 0, QStringLiteral("月份")));
        m_options.push_back(
            std::make_unique<CXQueryOption>(QUERY_OPTION, 1201, 0, QStringLiteral("性别"), QStringLiteral("男|女")));
        m_options.push_back(std::make_unique<CXQueryOption>(QUERY_OPTION, 1202, 0, QStringLiteral("状态"),
                                                            QStringLiteral("|停课|超期|上课")));
        m_options.push_back(std::make_unique<CXQueryOption>(QUERY_HIDE, 1203));
    }
    CHeads* GetHeads() const override { return nullptr; }
    CXItem* CreateItem() const override { return nullptr; }
};

} // namespace

TEST(QueryOptions, ChoicesValuesCaptionAndDefaultDate)
{
    const struct
    {
        const char16_t* choices;
        const char16_t* values;
        QStringList texts;
        QList<int> expected;
    } cases[] = {
        {u"无调整|有折扣|调整价格|调整课时|有礼品|调整有效期|调整开课日期",
         u"",
         {u"无调整"_s, u"有折扣"_s, u"调整价格"_s, u"调整课时"_s, u"有礼品"_s, u"调整有效期"_s, u"调整开课日期"_s},
         {0, 1, 2, 3, 4, 5, 6}},
        {u"|停课|超期|上课|超课|结课|退费",
         u"",
         {u"停课"_s, u"超期"_s, u"上课"_s, u"超课"_s, u"结课"_s, u"退费"_s},
         {1, 2, 3, 4, 5, 6}},
        {u"男|女", u"", {u"男"_s, u"女"_s}, {0, 1}},
        {u"在读|停课", u"3|9", {u"在读"_s, u"停课"_s}, {3, 9}},
        {u"在读|停课|结课", u"3|9", {u"在读"_s, u"停课"_s, u"结课"_s}, {0, 1, 2}}, // counts differ
        {u"", u"", {}, {}},
    };
    for (const auto& c : cases) {
        const CXQueryOption option(QUERY_OPTION, 1201, 0, u"x"_s, QString::fromUtf16(c.choices),
                                   QString::fromUtf16(c.values));
        EXPECT_EQ(option.m_arrTexts, c.texts) << QString::fromUtf16(c.choices).toStdString();
        EXPECT_EQ(option.m_arrValues, c.expected) << QString::fromUtf16(c.choices).toStdString();
    }

    const CXQueryOption find(QUERY_FIND, ID_FIND_WHAT);
    EXPECT_EQ(find.m_strCaption, u"查找内容"_s);
    EXPECT_EQ(find.m_dtDefault.Day(), XDateTime::Today().DateOnly().Day());
    const CXQueryOption dated(QUERY_DATE, QKEY_DATE_FROM, 1, u"起"_s, QString(), QString(), XDateTime(45000.0));
    EXPECT_EQ(dated.m_dtDefault.Day(), 45000.0);
    EXPECT_EQ(dated.m_bReadOnly, 1);
}

TEST(QueryOptions, DescriptionTermsFollowTheOptionsInOrder)
{
    COptionModule module;
    CXMap query;
    query.SetText(1203, u"9"_s); // hidden: no term
    query.SetText(1202, u"1,3"_s);
    query.SetText(1201, u"1"_s);
    query.SetText(1126, u"2024-03-15"_s);
    query.SetText(QKEY_DATE_FROM, u"2024-03-01"_s);
    query.SetText(ID_FIND_WHAT, u"王"_s);
    query.SetText(QKEY_IDS, u"5,6"_s);
    EXPECT_EQ(module.GetQueryText(query, false, true),
              u" [指定报名收据] [查找内容：王] [开始日期≥2024年3月1日] [月份2024年3月] [女] [停课 上课]"_s);

    // Every choice, or none, restricts nothing and says nothing.
    CXMap all;
    all.SetText(1201, u"0,1"_s);
    all.SetText(1202, u"7"_s);
    EXPECT_EQ(module.GetQueryText(all, false, true), QString());
    EXPECT_EQ(module.GetQueryText(query, false, false), QString());
}

TEST(QueryOptions, ChosenValuesAreReadFromCommaOrBarLists)
{
    // 状态: 停课 1, 超期 2, 上课 3; all three chosen restricts nothing and names nothing
    const struct
    {
        const char* stored;
        const char* term;
    } cases[] = {
        {"1", "[停课]"},
        {"1,3", "[停课 上课]"},
        {"1|3", "[停课 上课]"},
        {"3,2", "[超期 上课]"},
        {"2|1,3", ""},
        {" 1 , 2 ", "[停课 超期]"},
        {"4,5", ""},
        {"", ""},
    };
    COptionModule module;
    const CXQueryOption& status = *module.m_options[4];
    for (const auto& c : cases) {
        CXMap query;
        query.SetText(1202, QString::fromUtf8(c.stored));
        EXPECT_EQ(status.GetQueryTerm(query), QString::fromUtf8(c.term)) << c.stored;
    }
}
