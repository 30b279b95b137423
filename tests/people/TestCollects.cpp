#include "CModuleCollect.h"
#include "CFakeAppServices.h"
#include "PeopleTestSupport.h"
#include "RecordWriter.h"

#include "CommandIds.h"

#include <gtest/gtest.h>

namespace {

using Collects = SchoolTest;

CDBCollectItem* AddLine(CDBCollect& c, const char* content, const char* unit, int num, double price)
{
    return c.AddItem(QString::fromUtf8(content), QString::fromUtf8(unit), num, price);
}

const CHead* Head(const char* caption) { return CDBCollect::StaticHeads()->FindByCaption(QString::fromUtf8(caption)); }

QString Text(const CXItem& item, const char* caption) { return item.FormatText(Head(caption), true, true, true); }

QString Lines(int collectId)
{
    return QueryText(QStringLiteral("SELECT GROUP_CONCAT(Content||'x'||PayNum, ';') FROM (SELECT * FROM "
                                    "TB_COLLECT_ITEM WHERE CollectID=%1 ORDER BY ID)")
                         .arg(collectId));
}

TEST(CollectRecord, AmountAndCapitalsFollowTheItems)
{
    struct Line
    {
        const char* content;
        int num;
        double price;
    };
    const struct
    {
        std::vector<Line> lines;
        double amount;
        const char* upper;
    } cases[] = {
        // 12000.00 x 1 + 100.00 x 2 + 13.00 x 1 = 12213.00
        {{{"钢琴", 1, 12000.00}, {"节拍器", 2, 100.00}, {"教程", 1, 13.00}}, 12213.00, "壹万贰仟贰佰壹拾叁元整"},
        // 0.29 x 100 is just below 29 fen in floating point: rounded, not cut to 贰角捌分
        {{{"报名表", 1, 0.29}}, 0.29, "贰角玖分"},
        // 0.1 + 0.2 sums just above 0.3
        {{{"铅笔", 1, 0.1}, {"橡皮", 1, 0.2}}, 0.3, "叁角"},
        {{{"琴房使用费", 3, 33.35}}, 100.05, "壹佰元零伍分"},
        {{}, 0, "零元整"},
    };
    for (const auto& c : cases) {
        CDBCollect r;
        for (const Line& l : c.lines)
            AddLine(r, l.content, "个", l.num, l.price);
        EXPECT_NEAR(r.GetAmount(), c.amount, 1e-9);
        EXPECT_EQ(Text(r, "大写金额"), QString::fromUtf8(c.upper)) << c.amount;
        EXPECT_EQ(r.GetPrintRowCount(), static_cast<int>(c.lines.size()));
    }
}

TEST(CollectRecord, RowKeywordsExpandPerItemAndAreEmptyBeyondThem)
{
    CDBCollect r;
    r.m_strPayer = QStringLiteral("王芳");
    AddLine(r, "立式钢琴", "台", 1, 12000);
    AddLine(r, "电子节拍器", "台", 2, 100);
    AddLine(r, "钢琴基础教程", "本", 1, 13);
    XPrintKeywords keywords;
    r.FillPrintKeywords(keywords, 0, nullptr);
    EXPECT_EQ(keywords.value(QStringLiteral("[content.2]")), QStringLiteral("电子节拍器"));
    EXPECT_EQ(keywords.value(QStringLiteral("[unit.3]")), QStringLiteral("本"));
    EXPECT_EQ(keywords.value(QStringLiteral("[num.2]")), QStringLiteral("2"));
    EXPECT_EQ(keywords.value(QStringLiteral("[unitprice.1]")), QStringLiteral("¥12000.00"));
    EXPECT_EQ(keywords.value(QStringLiteral("[price.2]")), QStringLiteral("¥200.00"));
    EXPECT_EQ(keywords.value(QStringLiteral("[ID]")), QStringLiteral("3"));
    EXPECT_EQ(keywords.value(QStringLiteral("[大写金额]")), QStringLiteral("壹万贰仟贰佰壹拾叁元整"));
    EXPECT_EQ(keywords.value(QStringLiteral("[交款人]")), QStringLiteral("王芳"));
    EXPECT_FALSE(keywords.contains(QStringLiteral("[content.4]")));

    // row 4 of three items, and row 0, read as empty texts for every row keyword
    for (const char* base : {"content", "unit", "num", "unitprice", "price"}) {
        const CHead* head = Head((std::string(base) + ".[ID]").c_str());
        ASSERT_TRUE(head) << base;
        EXPECT_EQ(head->m_nType, XRW);
        for (int row : {0, 4}) {
            CHead named;
            head->CopyTo(&named);
            named.m_strName = QStringLiteral("%1.%2").arg(QString::fromUtf8(base)).arg(row);
            EXPECT_EQ(r.FormatText(&named, false, false, false), QString()) << base << row;
        }
    }
}

TEST(CollectRecord, ValidationNamesTheFieldAtFault)
{
    const auto good = [] {
        auto r = std::make_unique<CDBCollect>();
        r->m_strPayer = QStringLiteral("王芳");
        r->m_strPayType = QStringLiteral("微信");
        AddLine(*r, "节拍器", "台", 1, 100);
        return r;
    };
    const struct
    {
        std::function<void(CDBCollect&)> spoil;
        const char* text;
        int member; // offset of the field the balloon points at
    } cases[] = {
        {[](CDBCollect& r) { r.m_strPayer.clear(); }, "请输入交款人！", XOFFSET(CDBCollect, m_strPayer)},
        {[](CDBCollect& r) { r.m_items.RemoveAll(); }, "请添加交款项！", XOFFSET(CDBCollect, m_items)},
        {[](CDBCollect& r) { r.m_strPayType.clear(); }, "请输入支付方式！", XOFFSET(CDBCollect, m_strPayType)},
    };
    for (const auto& c : cases) {
        auto r = good();
        c.spoil(*r);
        r->Validate(nullptr, false);
        ASSERT_EQ(r->GetErrorText(), QString::fromUtf8(c.text));
        EXPECT_EQ(r->m_status[0].m_nMember, c.member) << c.text;
    }
    auto r = good();
    EXPECT_EQ(r->Validate(nullptr, false), ST_GOOD);
    EXPECT_TRUE(r->GetErrorText().isEmpty());

    const struct
    {
        const char* content;
        const char* unit;
        const char* text;
        int member;
    } items[] = {
        {"节拍器", "", "请输入单位！", XOFFSET(CDBCollectItem, m_strUnit)},
        {"", "台", "请输入品名规格！", XOFFSET(CDBCollectItem, m_strMemo)},
    };
    for (const auto& c : items) {
        CDBCollectItem item;
        item.m_strMemo = QString::fromUtf8(c.content);
        item.m_strUnit = QString::fromUtf8(c.unit);
        item.Validate(nullptr, false);
        ASSERT_EQ(item.GetErrorText(), QString::fromUtf8(c.text));
        EXPECT_EQ(item.m_status[0].m_nMember, c.member);
    }
}

TEST(CollectRecord, PayDateDefaultsToTheDayOfUseAndMayNotPassIt)
{
    const CHead* date = Head("日期");
    ASSERT_TRUE(date);
    for (const XDateTime& now : {XDateTime(2026, 3, 18, 9, 0, 0), XDateTime(2027, 1, 2, 23, 59, 0)}) {
        XClock::SetFixed(now);
        CDBCollect r;
        EXPECT_EQ(r.m_dtDate.Day(), now.DateOnly().Day());
        int min = 0, max = 0;
        r.GetRange(date, min, max);
        EXPECT_EQ(max, static_cast<int>(now.DateOnly().Day()));
    }
    XClock::Reset();
}

TEST(CollectRecord, TemplatePreviewShowsTheDemonstrationReceipt)
{
    XClock::SetFixed(FixtureNow());
    CDBCollect r; // an empty receipt still previews the full demonstration
    CXItem user;
    user.m_strName = QStringLiteral("前台");
    XPrintKeywords keywords;
    r.FillPrintKeywords(keywords, 1, &user);
    EXPECT_EQ(keywords.value(QStringLiteral("[金额]")), QStringLiteral("12,213.00"));
    EXPECT_EQ(keywords.value(QStringLiteral("[大写金额]")), QStringLiteral("壹万贰仟贰佰壹拾叁元整"));
    EXPECT_TRUE(keywords.value(QStringLiteral("[交款人]")).endsWith(QStringLiteral("妈妈")));
    EXPECT_EQ(keywords.value(QStringLiteral("[支付方式]")), QStringLiteral("支付宝"));
    EXPECT_EQ(keywords.value(QStringLiteral("[备注]")), QStringLiteral("演示收据"));
    EXPECT_EQ(keywords.value(QStringLiteral("[经手人]")), QStringLiteral("前台"));
    EXPECT_EQ(keywords.value(QStringLiteral("[ID]")), QStringLiteral("3"));
    EXPECT_EQ(keywords.value(QStringLiteral("[unit.3]")), QStringLiteral("本"));
    EXPECT_TRUE(r.m_items.IsEmpty()); // the receipt previewed is not changed
    XClock::Reset();
}

TEST_F(Collects, FixtureReceiptsAreNumberedAndReadBackWhole)
{
    const struct
    {
        int id;
        const char* number;
        const char* amount;
        const char* upper;
        int handler; // the issuing user; 经手人 reads that user's name once teachers are read
        int lines;
    } expected[] = {
        {m_school.c1, "T260001", "¥12,213.00", "壹万贰仟贰佰壹拾叁元整", 1, 3},
        {m_school.c2, "T260002", "¥0.29", "贰角玖分", 1, 1},
        {m_school.c3, "T260003", "¥91.00", "玖拾壹元整", 2, 1}, // 45.50 x 2
        {m_school.c4, "T260004", "¥90.00", "玖拾元整", 1, 1},   // 30.00 x 3
    };
    for (const auto& e : expected) {
        auto r = ReadOne<CDBCollect>(e.id);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->m_strName, QString::fromUtf8(e.number));
        EXPECT_EQ(Text(*r, "金额"), QString::fromUtf8(e.amount));
        EXPECT_EQ(Text(*r, "大写金额"), QString::fromUtf8(e.upper));
        EXPECT_EQ(r->m_created.m_nMduID, MDU_TEACHER);
        EXPECT_EQ(r->m_created.m_nID, e.handler);
        EXPECT_EQ(r->m_items.GetSize(), e.lines);
    }
}

TEST_F(Collects, NumbersFollowThePreferencePattern)
{
    const struct
    {
        const char* pattern; // nullptr: the preference not set
        const char* number;
    } cases[] = {
        {nullptr, "T260005"}, // after T260004
        {"SF[YYYY]-[nnn]", "SF2026-001"},
        {"SF[YYYY]-[nnn]", "SF2026-002"},
    };
    for (const auto& c : cases) {
        if (c.pattern)
            CFakeAppServices::Installed().setup[QStringLiteral("KeyFmtClc")] = QString::fromUtf8(c.pattern);
        CDBCollect r;
        r.m_strPayer = QStringLiteral("周杰");
        r.m_strPayType = QStringLiteral("现金");
        AddLine(r, "谱架", "个", 1, 60);
        ASSERT_TRUE(SaveItem(nullptr, &r, nullptr, FixtureUser()));
        EXPECT_EQ(r.m_strName, QString::fromUtf8(c.number));
    }
    CFakeAppServices::Installed().setup.erase(QStringLiteral("KeyFmtClc"));
}

TEST_F(Collects, ModuleWordsOptionsAndSchemes)
{
    CModule* module = FindModule(MDU_COLLECT);
    ASSERT_TRUE(module);
    EXPECT_EQ(module->m_nCaps, 0x5e);
    EXPECT_EQ(module->m_nOperRights, 0x5e);
    EXPECT_EQ(module->m_nStudentRights, 0);
    EXPECT_EQ(module->m_nTeacherRights, 0);
    EXPECT_EQ(module->GetAddNewCmd(), ID_ADDNEW_COLLECT);
    EXPECT_FALSE(module->IsHidden());
    EXPECT_FALSE(module->RequiresQuery());
    std::vector<int> keys;
    for (const auto& option : module->m_options)
        keys.push_back(option->m_nKey);
    EXPECT_EQ(keys, std::vector<int>({ID_FIND_WHAT, QKEY_DATE_FROM, QKEY_DATE_TO, MDU_TEACHER}));

    CXArray schemes(nullptr, true);
    module->AddQuickQueries(schemes);
    const struct
    {
        const char16_t* name;
        const char16_t* numbers;
        bool separator;
    } expected[] = {
        {u"近三个月", u"T260001,T260002,T260003", false}, // from today - 92, T260004 is a day older
        {u"今年", u"T260001,T260002", false},
        {u"去年", u"T260003,T260004", true},
        {u"全部", u"T260001,T260002,T260003,T260004", false},
    };
    ASSERT_EQ(schemes.GetSize(), 4);
    for (int i = 0; i < 4; ++i) {
        const auto* scheme = static_cast<const CDBPrjQuery*>(schemes.GetAt(i));
        EXPECT_EQ(scheme->m_strName, QString::fromUtf16(expected[i].name));
        EXPECT_EQ(QueryNames(MDU_COLLECT, CXMap(scheme->m_strRightData)), QString::fromUtf16(expected[i].numbers));
        EXPECT_EQ(scheme->m_bSeparator != 0, expected[i].separator);
    }
    // 近三个月 has a first day and no last one
    const CXMap recent(static_cast<const CDBPrjQuery*>(schemes.GetAt(0))->m_strRightData);
    EXPECT_EQ(recent.GetDate(QKEY_DATE_FROM).Day(), XDateTime(2025, 12, 16).Day());
    EXPECT_FALSE(recent.Has(QKEY_DATE_TO));
}

TEST_F(Collects, QueryConditionsBindTextAndReadHandlersAsIntegers)
{
    const struct
    {
        int key;
        const char* value;
        const char* numbers;
    } cases[] = {
        {MDU_TEACHER, "2", "T260003"}, // issued by 前台
        {MDU_TEACHER, "1,2", "T260001,T260002,T260003,T260004"},
        {MDU_TEACHER, "2) OR (1=1", "T260003"}, // only the leading integer is taken
        {MDU_TEACHER, "x", ""},                 // no ID at all: nothing, not everything
        {ID_FIND_WHAT, "节拍器", "T260001"},    // an item's content
        {ID_FIND_WHAT, "李明", "T260002"},      // the payer
        {ID_FIND_WHAT, "%' OR '1'='1", ""},     // the text is bound, never spliced
    };
    for (const auto& c : cases) {
        CXMap query;
        query.SetText(c.key, QString::fromUtf8(c.value));
        EXPECT_EQ(QueryNames(MDU_COLLECT, query), QString::fromUtf8(c.numbers)) << c.value;
    }
    // the link list the desktop's picker writes
    CXMap picked;
    picked.SetText(MDU_TEACHER, QStringLiteral("<a href=\"xl:322:2\">前台</a>"));
    EXPECT_EQ(QueryNames(MDU_COLLECT, picked), QStringLiteral("T260003"));
}

TEST_F(Collects, CopyAsNewKeepsTheOriginalsItems)
{
    auto original = ReadOne<CDBCollect>(m_school.c1);
    ASSERT_TRUE(original);
    CDBCollect copy;
    original->CopyTo(&copy);
    copy.MakeNewCopy();
    EXPECT_EQ(copy.m_nID, 0);
    EXPECT_TRUE(copy.m_strName.isEmpty());
    EXPECT_TRUE(copy.m_created.m_strName.isEmpty());
    copy.m_items.RemoveAt(0);
    ASSERT_TRUE(SaveItem(nullptr, &copy, nullptr, FixtureUser()));
    EXPECT_EQ(copy.m_strName, QStringLiteral("T260005"));
    EXPECT_EQ(Lines(m_school.c1), QStringLiteral("立式钢琴 UP-121x1;电子节拍器x2;钢琴基础教程x1"));
    EXPECT_EQ(Lines(copy.m_nID), QStringLiteral("电子节拍器x2;钢琴基础教程x1"));
}

// The office's road: the add-new command's module makes the receipt, validation refuses it
// until it is complete, the save numbers and journals it, and the list shows it.
TEST_F(Collects, JourneyIssueAGeneralReceipt)
{
    CModule* module = nullptr;
    for (CModule* m : GetModules())
        if (m->GetAddNewCmd() == ID_ADDNEW_COLLECT)
            module = m;
    ASSERT_TRUE(module);
    std::unique_ptr<CXItem> item(module->CreateItem());
    auto& r = static_cast<CDBCollect&>(*item);
    EXPECT_EQ(r.m_dtDate.Day(), XDateTime(2026, 3, 18).Day());
    r.m_strPayer = QStringLiteral("陈晨妈妈");
    r.Validate(&FixtureUser(), true);
    EXPECT_EQ(r.GetErrorText(), QStringLiteral("请添加交款项！\r\n请输入支付方式！"));

    AddLine(r, "小提琴 4/4", "把", 1, 1680);
    AddLine(r, "松香", "块", 2, 25.5);
    r.m_strPayType = QStringLiteral("微信");
    EXPECT_EQ(r.Validate(&FixtureUser(), true), ST_GOOD);
    ASSERT_TRUE(SaveItem(nullptr, &r, nullptr, FixtureUser()));
    EXPECT_EQ(r.m_strName, QStringLiteral("T260005"));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1 AND MduID=%2 AND ItemID=%3")
                            .arg(OPER_ADD)
                            .arg(MDU_COLLECT)
                            .arg(r.m_nID)),
              QStringLiteral("1"));

    CXArray schemes(nullptr, true);
    module->AddQuickQueries(schemes);
    CXArray listed(nullptr, true);
    ASSERT_TRUE(
        module->QueryItems(listed, CXMap(static_cast<CDBPrjQuery*>(schemes.GetAt(0))->m_strRightData), false, false));
    const CXItem* row = nullptr;
    for (const CXItem* i : listed)
        if (i->m_nID == r.m_nID)
            row = i;
    ASSERT_TRUE(row);
    EXPECT_EQ(Text(*row, "金额"), QStringLiteral("¥1,731.00")); // 1680 + 2 x 25.50
    EXPECT_EQ(Text(*row, "大写金额"), QStringLiteral("壹仟柒佰叁拾壹元整"));
    EXPECT_EQ(row->m_created.m_nID, FixtureUser().m_nID);
    EXPECT_EQ(Text(r, "经手人"), QStringLiteral("校长")); // the saved record took the operator's stamp
}

} // namespace
