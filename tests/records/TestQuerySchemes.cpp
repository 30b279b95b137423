#include "RecordDbFixture.h"

#include "CDBPrjOrder.h"
#include "CDBPrjQuery.h"
#include "CModulePrjOrder.h"
#include "CModulePrjQuery.h"
#include "CXQueryOption.h"
#include "CommandIds.h"
#include "RecordWriter.h"

namespace {

// A module with a find option, a three-choice option and one built-in scheme.
class CSchemeOwner : public CModule
{
public:
    CSchemeOwner() : CModule(MDU_WAGES)
    {
        m_options.push_back(std::make_unique<CXQueryOption>(QUERY_FIND, ID_FIND_WHAT));
        m_options.push_back(std::make_unique<CXQueryOption>(QUERY_OPTION, 1202, 0, QStringLiteral("状态"),
                                                            QStringLiteral("停课|超期|上课")));
    }
    CHeads* GetHeads() const override { return nullptr; }
    CXItem* CreateItem() const override { return nullptr; }
    void AddQuickQueries(CXArray& schemes) override
    {
        CXMap q;
        q.SetText(1202, QStringLiteral("2"));
        AddQueryScheme(schemes, q, 0, QStringLiteral("上课"), QString(), false);
    }
};

class QuerySchemes : public RecordDb
{
protected:
    void SetUp() override
    {
        RecordDb::SetUp();
        RegisterModule(&m_schemes);
        RegisterModule(&m_owner);
        InvalidateQuerySchemes();
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session, *CDBPrjQuery::StaticHeads()));
    }
    void TearDown() override
    {
        UnregisterModule(&m_owner);
        UnregisterModule(&m_schemes);
        InvalidateQuerySchemes();
        RecordDb::TearDown();
    }
    static void Store(const char* name, const QString& setup, int onTop = 1)
    {
        ASSERT_TRUE(
            Exec(QStringLiteral(
                     "INSERT INTO TB_PROJECT (MduID,FitMduID,PrjName,SetupData,DispOnTop) VALUES (323,%1,'%2','%3',%4)")
                     .arg(MDU_WAGES)
                     .arg(QString::fromUtf8(name), setup)
                     .arg(onTop)));
    }
    QStringList Read(const CXMap& query, bool* ok = nullptr)
    {
        CXArray out(nullptr, true);
        const bool result = m_schemes.QueryItems(out, query, true, false);
        if (ok)
            *ok = result;
        QStringList names;
        for (const CXItem* s : out)
            names << s->m_strName +
                         (static_cast<const CDBPrjQuery*>(s)->m_bSeparator ? QStringLiteral("|") : QString());
        return names;
    }
    static CXMap For(int mdu)
    {
        CXMap q;
        q.SetText(QKEY_MODULE, QString::number(mdu));
        return q;
    }
    CModulePrjQuery m_schemes;
    CSchemeOwner m_owner;
};

} // namespace

TEST_F(QuerySchemes, ValidationNeedsANameAndAConditionTheModuleExpresses)
{
    const struct
    {
        const char* name;
        const char* setup;
        int id;
        QString error;
    } cases[] = {
        {"甲", "<r><x id=\"1202\">0,1</x></r>", 0, QString()},
        {"", "<r><x id=\"1202\">0</x></r>", 0, QStringLiteral("请输入名称！")},
        {"甲", "", 0, QStringLiteral("请设置至少一个有效查询选项！")},
        {"甲", "<r><x id=\"1202\">0,1,2</x></r>", 5, QStringLiteral("请设置至少一个有效查询选项！")}, // every choice
        {"甲", "<r><x id=\"999\">x</x></r>", 5, QStringLiteral("请设置至少一个有效查询选项！")},      // not an option
        {"甲", "", -MDU_WAGES * 100, QString()},                                                      // built in
    };
    for (const auto& c : cases) {
        CDBPrjQuery s;
        s.m_nID = c.id;
        s.m_nParentID = MDU_WAGES;
        s.m_strName = QString::fromUtf8(c.name);
        s.m_strRightData = QString::fromUtf8(c.setup);
        const int level = s.Validate(nullptr, false);
        SCOPED_TRACE(c.setup);
        EXPECT_EQ(level >= ST_STOP, !c.error.isEmpty());
        if (!c.error.isEmpty()) {
            EXPECT_TRUE(s.GetStatusText().contains(c.error)) << s.GetStatusText().toStdString();
        }
    }
    CDBPrjQuery s;
    s.m_nParentID = MDU_WAGES;
    s.m_strRightData = QStringLiteral("<r><x id=\"1202\">0,2</x></r>");
    EXPECT_EQ(s.GetContentText(), QStringLiteral(" [停课 上课]"));
    s.m_nParentID = 9999;
    EXPECT_EQ(s.GetContentText(), QStringLiteral("无"));
}

TEST_F(QuerySchemes, BuiltInFirstThenSavedAndInvalidOnesDeleted)
{
    Store("停课", QStringLiteral("<r><x id=\"1202\">0</x></r>"));
    Store("失效", QStringLiteral("<r><x id=\"999\">x</x></r>"));
    Store("置顶", QStringLiteral("<r><x id=\"33208\">王</x></r>"), 0);
    bool ok = false;
    EXPECT_EQ(Read(For(MDU_WAGES), &ok),
              (QStringList{QStringLiteral("置顶"), QStringLiteral("上课|"), QStringLiteral("停课")}));
    EXPECT_TRUE(ok);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_PROJECT")), 2);

    // Key 1: a built-in scheme from memory only, or built-in and saved ones.
    CXMap only = For(MDU_WAGES);
    only.SetText(QKEY_IDS, QString::number(-MDU_WAGES * 100));
    EXPECT_EQ(Read(only), QStringList{QStringLiteral("上课")}); // answered before the separator is set
    only.SetText(QKEY_IDS, QStringLiteral("%1,1").arg(-MDU_WAGES * 100));
    EXPECT_EQ(Read(only), (QStringList{QStringLiteral("上课|"), QStringLiteral("停课")}));

    // No module: nothing read.
    EXPECT_TRUE(Read(For(0), &ok).isEmpty());
    EXPECT_FALSE(ok);
}

TEST_F(QuerySchemes, ASavedSchemeNamesItsQueryTheSameDay)
{
    CXMap query;
    query.SetText(1202, QStringLiteral("0"));
    EXPECT_EQ(m_owner.GetQueryText(query, true, false), QStringLiteral("自定义查询"));

    CDBPrjQuery scheme;
    scheme.m_nParentID = MDU_WAGES;
    scheme.m_strName = QStringLiteral("停课学员");
    scheme.m_strRightData = query.ToXml();
    ASSERT_EQ(scheme.Validate(nullptr, false) < ST_STOP, true);
    ASSERT_TRUE(SaveItem(nullptr, &scheme, nullptr, m_user));

    EXPECT_EQ(m_owner.GetQueryText(query, true, true), QStringLiteral("停课学员 [停课]"));
    CXArray schemes(nullptr, true);
    m_owner.GetQuerySchemes(schemes);
    ASSERT_EQ(schemes.GetSize(), 2);
    EXPECT_EQ(schemes[1]->m_strName, QStringLiteral("停课学员"));
}

TEST_F(QuerySchemes, SavedSchemesOfBothKindsShowTheUsersOfTheirStamps)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEACHER (ID,RealName) VALUES (7,'王老师'),(8,'赵老师');"
                                    "INSERT INTO TB_PROJECT (ID,MduID,FitMduID,PrjName,SetupData) VALUES "
                                    "(1,323,%1,'停课','<r><x id=\"1202\">0</x></r>'),(2,324,%1,'我的','0');"
                                    "INSERT INTO TB_OPERLOG (TypeID,MduID,ItemID,OperTime,UserMduID,UserID) VALUES "
                                    "(4,323,1,45000,322,7),(6,323,1,45001,322,8),(4,324,2,45000,322,8)")
                         .arg(MDU_WAGES)));
    CModulePrjOrder columnSchemes;
    RegisterModule(&columnSchemes);
    CXArray queries(nullptr, true), columns(nullptr, true);
    EXPECT_TRUE(m_schemes.QueryItems(queries, For(MDU_WAGES), false, false));
    EXPECT_TRUE(columnSchemes.QueryItems(columns, For(MDU_WAGES), false, false));
    UnregisterModule(&columnSchemes);
    ASSERT_EQ(queries.GetSize(), 2);
    EXPECT_EQ(queries[1]->m_created.m_strName, QStringLiteral("王老师"));
    EXPECT_EQ(queries[1]->m_modified.m_strName, QStringLiteral("赵老师"));
    ASSERT_GE(columns.GetSize(), 1);
    EXPECT_EQ(columns[columns.GetSize() - 1]->m_strName, QStringLiteral("我的"));
    EXPECT_EQ(columns[columns.GetSize() - 1]->m_created.m_strName, QStringLiteral("赵老师"));
}
