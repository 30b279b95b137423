#include "RecordDbFixture.h"

#include "CDBOperLog.h"
#include "CDBPrjOrder.h"
#include "CDBPrjQuery.h"
#include "CModulePrjOrder.h"

namespace {

// Three fields, all offered by the column sets.
class CThreeFields : public CXItemT<MDU_TEMPL>
{
public:
    static CHeads* StaticHeads()
    {
        return BuildHeadsOnce<CThreeFields>([](CHeads& heads) {
            for (const char16_t* name : {u"甲", u"乙", u"丙"})
                heads.AddMemberHead({}, QString::fromUtf16(name), XSW, XOFFSET(CThreeFields, m_strName), QString(),
                                    QString(), 0, 585, 0, QString());
        });
    }
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CThreeFields; }
};

class ColumnSchemes : public RecordDb
{
protected:
    void SetUp() override
    {
        RecordDb::SetUp();
        RegisterModule(&m_schemes);
        RegisterModule(&m_log);
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session, *CDBPrjOrder::StaticHeads()));
    }
    void TearDown() override
    {
        UnregisterModule(&m_log);
        UnregisterModule(&m_schemes);
        RecordDb::TearDown();
    }
    QStringList Read(const QString& ids = QString())
    {
        CXMap q;
        q.SetText(QKEY_MODULE, QString::number(MDU_OPERLOG));
        if (!ids.isEmpty())
            q.SetText(QKEY_IDS, ids);
        CXArray out(nullptr, true);
        EXPECT_TRUE(m_schemes.QueryItems(out, q, true, false));
        QStringList names;
        for (const CXItem* s : out)
            names << s->m_strName +
                         (static_cast<const CDBPrjOrder*>(s)->m_bSeparator ? QStringLiteral("|") : QString());
        return names;
    }
    CModulePrjOrder m_schemes;
    CModuleT<CDBOperLog> m_log;
};

} // namespace

TEST_F(ColumnSchemes, ContentTextShowsColumnsInOrderAndHiddenOnes)
{
    const CHeads* heads = CDBOperLog::StaticHeads();
    QStringList positions, shown, hidden;
    int next = 0;
    // Show the offered fields in reverse order; the last offered one stays hidden.
    std::vector<int> offered;
    for (int i = 0; i < heads->GetSize(); ++i)
        if (heads->GetAt(i)->InSchemes())
            offered.push_back(i);
    ASSERT_GE(offered.size(), 2u);
    std::vector<int> pos(static_cast<size_t>(heads->GetSize()), -1);
    for (size_t k = offered.size() - 1; k-- > 0;) {
        pos[static_cast<size_t>(offered[k])] = next++;
        shown << heads->GetAt(offered[k])->m_strName;
    }
    hidden << heads->GetAt(offered.back())->m_strName;
    for (int p : pos)
        positions << QString::number(p);

    CDBPrjOrder scheme;
    scheme.m_nParentID = MDU_OPERLOG;
    scheme.m_strRightData = positions.join(u',');
    EXPECT_EQ(scheme.GetContentText(), QStringLiteral("显示：\r\n") + shown.join(QStringLiteral(" | ")) +
                                           QStringLiteral("\r\n\r\n隐藏：\r\n") + hidden.join(QStringLiteral(" | ")));
    scheme.m_strRightData = QStringLiteral("1,-1,0"); // another number of fields
    EXPECT_EQ(scheme.GetContentText(), QStringLiteral("无"));
}

TEST_F(ColumnSchemes, ContentTextOrdersFieldsAsRecordArraysSort)
{
    CModuleT<CThreeFields> three;
    RegisterModule(&three);
    const struct
    {
        const char* setup;
        const char16_t* shown;
        const char16_t* hidden;
    } cases[] = {
        {"1,-1,0", u"丙 | 甲", u"乙"},
        {"-1,-1,0", u"丙", u"乙 | 甲"}, // equal positions come in the exchange sort's order
        {"0,1,2", u"甲 | 乙 | 丙", u"无"},
        {"-1,-1,-1", u"无", u"甲 | 乙 | 丙"},
    };
    for (const auto& c : cases) {
        CDBPrjOrder scheme;
        scheme.m_nParentID = MDU_TEMPL;
        scheme.m_strRightData = QString::fromUtf8(c.setup);
        EXPECT_EQ(scheme.GetContentText(), QStringLiteral("显示：\r\n") + QString::fromUtf16(c.shown) +
                                               QStringLiteral("\r\n\r\n隐藏：\r\n") + QString::fromUtf16(c.hidden))
            << c.setup;
    }
    UnregisterModule(&three);
}

TEST_F(ColumnSchemes, BuiltInFromMemorySavedFromTheTableNamelessOnesDeleted)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_PROJECT (MduID,FitMduID,PrjName,SetupData) VALUES "
                                    "(324,%1,'我的','0'),(324,%1,'','0'),(323,%1,'查询','')")
                         .arg(MDU_OPERLOG)));
    CXArray builtIns(nullptr, true);
    m_log.AddBuiltInHeadSchemes(builtIns);
    ASSERT_GE(builtIns.GetSize(), 1);
    QStringList expected;
    for (const CXItem* s : builtIns)
        expected << s->m_strName;
    expected.back() += QLatin1Char('|');
    expected << QStringLiteral("我的");
    EXPECT_EQ(Read(), expected);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_PROJECT")), 2); // the nameless one is gone

    EXPECT_EQ(Read(QString::number(-MDU_OPERLOG * 100)), QStringList{QStringLiteral("默认")});
    EXPECT_EQ(Read(QStringLiteral("%1,1").arg(-MDU_OPERLOG * 100)),
              (QStringList{QStringLiteral("默认|"), QStringLiteral("我的")}));

    // A built-in scheme keeps its name and memo and cannot be put on top.
    const CDBPrjOrder* builtIn = static_cast<const CDBPrjOrder*>(builtIns[0]);
    const CHeads* heads = CDBPrjOrder::StaticHeads();
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (h->m_nOffset == XOFFSET(CDBPrjOrder, m_strName)) {
            EXPECT_EQ(builtIn->GetAccess(h, nullptr), 0);
        }
        if (h->m_nOffset == XOFFSET(CDBPrjOrder, m_bDispOnTop)) {
            EXPECT_EQ(builtIn->GetAccess(h, nullptr), -1);
        }
    }
}

namespace {

// Access of name, on-top and memo for a scheme with the ID.
template <class Scheme> std::vector<int> SchemeAccess(int id)
{
    Scheme scheme;
    scheme.m_nID = id;
    std::vector<int> access;
    const CHeads* heads = Scheme::StaticHeads();
    for (const char* caption : {"名称", "置顶", "备注"})
        for (int i = 0; i < heads->GetSize(); ++i)
            if (heads->GetAt(i)->m_strName == QString::fromUtf8(caption))
                access.push_back(scheme.GetAccess(heads->GetAt(i), nullptr));
    return access;
}

} // namespace

TEST(SchemeRecords, BothKindsEditNameOnTopAndMemoOnlyWhenSaved)
{
    const std::vector<int> builtIn{0, -1, 0}, saved{1, 1, 1};
    EXPECT_EQ(SchemeAccess<CDBPrjOrder>(-32100), builtIn);
    EXPECT_EQ(SchemeAccess<CDBPrjOrder>(7), saved);
    EXPECT_EQ(SchemeAccess<CDBPrjQuery>(-32101), builtIn);
    EXPECT_EQ(SchemeAccess<CDBPrjQuery>(7), saved);
}

TEST(SchemeRecords, SchemeMadeByAModulesArrayIsForThatModule)
{
    CXItem owner;
    owner.m_nID = MDU_STUDENT;
    CXArrayT<CDBPrjQuery> queries(&owner);
    CXArrayT<CDBPrjOrder> orders(&owner);
    const std::unique_ptr<CXItem> query(queries.CreateItem());
    const std::unique_ptr<CXItem> order(orders.CreateItem());
    EXPECT_EQ(query->m_nParentID, MDU_STUDENT);
    EXPECT_EQ(order->m_nParentID, MDU_STUDENT);
    EXPECT_EQ(static_cast<const CDBPrjOrder*>(order.get())->m_bDispOnTop, 1);
}
