#include "RecordDbFixture.h"

#include "CDBOperLog.h"
#include "CDBPrjOrder.h"
#include "CDBPrjQuery.h"
#include "RecordWriter.h"

#include <QtCore/QObject>

#include <atomic>
#include <memory>
#include <thread>

namespace {

// A module of a given id without records: for the rights words alone.
class CBareModule : public CModule
{
public:
    CBareModule(int id, int caps, int student, int teacher) : CModule(id)
    {
        m_nCaps = caps;
        m_nStudentRights = student;
        m_nTeacherRights = teacher;
    }
    CHeads* GetHeads() const override { return nullptr; }
    CXItem* CreateItem() const override { return nullptr; }
};

std::shared_ptr<CXItem> User(int mdu, int role, const QString& rights = QString())
{
    auto user = std::make_shared<CXItem>();
    user->m_nMduID = mdu;
    user->m_nID = 5;
    user->m_nRightRole = role;
    user->m_strRightData = rights;
    return user;
}

TEST(ModuleRights, RolesAgainstTheRightsWords)
{
    const CBareModule receipts(MDU_RECEIPT, 0x5e, 0x02, 0x00);
    const CBareModule collects(MDU_COLLECT, 0x5e, 0x00, 0x00);
    const CBareModule students(MDU_STUDENT, 0x1e, 0x00, 0x00);
    const CBareModule wages(MDU_WAGES, 0x02, 0x00, 0x02);
    const QString rights = QStringLiteral("<r><x id=\"331\">30</x></r>");
    const struct
    {
        const CModule& module;
        std::shared_ptr<CXItem> user;
        int bits;
        bool expected;
    } cases[] = {
        {students, User(MDU_TEACHER, 2), RIGHT_PRT, false}, // not a capability of the module
        {students, User(MDU_TEACHER, 2), RIGHT_QRY | RIGHT_DEL, true},
        {receipts, User(MDU_STUDENT, 0), RIGHT_QRY, true},
        {collects, User(MDU_STUDENT, 0), RIGHT_QRY, false},
        {wages, User(MDU_TEACHER, 0), RIGHT_QRY, true},
        {receipts, User(MDU_TEACHER, 0), RIGHT_QRY, false},
        {receipts, User(MDU_COURSE, 0), RIGHT_QRY, false}, // neither a student nor a teacher account
        {receipts, User(MDU_TEACHER, 1, rights), RIGHT_QRY | RIGHT_ADD, true},
        {receipts, User(MDU_TEACHER, 1, rights), RIGHT_PRT, false},
        {collects, User(MDU_TEACHER, 1, rights), RIGHT_QRY, false}, // no entry for the module
        {receipts, User(MDU_TEACHER, 3), RIGHT_QRY, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.module.HasRight(*c.user, c.bits), c.expected)
            << c.module.GetMduID() << " role " << c.user->m_nRightRole << " bits " << c.bits;

    EXPECT_TRUE(wages.HasCapability(RIGHT_QRY, true));
    EXPECT_FALSE(wages.HasCapability(RIGHT_ADD, false));
    EXPECT_TRUE(receipts.HasCapability(RIGHT_PRT | RIGHT_QRY, false));
}

TEST(ModuleRights, EveryModuleInCreationOrderHasItsWordsAndDocumentString)
{
    const char* groups[] = {"日常管理", "日常管理", "日常管理", "日常管理", "日常管理", "日常管理", "统计查询",
                            "基础设置", "基础设置", "基础设置", "基础设置", "基础设置", "统计查询"};
    const int caps[] = {0x5e, 0x5e, 0x1e, 0x1e, 0x1e, 0x1e, 0x02, 0x1e, 0x1e, 0x1e, 0x1e, 0x1e, 0x02};
    for (int i = 0; i < 13; ++i) {
        CBareModule module(kModuleCreationOrder[i], 0, 0, 0);
        SetDefaultRightsWords(module);
        EXPECT_EQ(module.m_nCaps, caps[i]) << module.GetMduID();
        EXPECT_EQ(module.GetGroupName(), QString::fromUtf8(groups[i])) << module.GetMduID();
        EXPECT_FALSE(module.GetDescription().isEmpty());
    }
    CBareModule wages(MDU_WAGES, 0, 0, 0), course(MDU_COURSE, 0, 0, 0), edu(MDU_EDURCD, 0, 0, 0);
    SetDefaultRightsWords(wages);
    SetDefaultRightsWords(course);
    SetDefaultRightsWords(edu);
    EXPECT_EQ(wages.m_nOperRights, 0x00);
    EXPECT_EQ(wages.m_nTeacherRights, 0x02);
    EXPECT_EQ(course.m_nOperRights, 0x02);
    EXPECT_EQ(edu.m_nStudentRights, 0x02);
    EXPECT_EQ(edu.m_nTeacherRights, 0x02);
}

TEST(ModuleRights, RightsAreReadFromSeveralThreads)
{
    const CBareModule receipts(MDU_RECEIPT, 0x5e, 0x02, 0x00);
    const auto op = User(MDU_TEACHER, 1, QStringLiteral("<r><x id=\"331\">30</x></r>"));
    std::atomic<int> granted{0};
    auto work = [&] {
        for (int i = 0; i < 200; ++i)
            granted += receipts.HasRight(*op, RIGHT_ADD) ? 1 : 0;
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(granted.load(), 400);
}

TEST(ModuleParts, DocumentStringTitleSqlPasswordsAndDates)
{
    CTestModuleCourse course;
    EXPECT_EQ(course.GetItemTitleSql(), QStringLiteral("SELECT ID, RecordName AS ItemTitle FROM TB_TEST_COURSE"));
    CModuleT<CDBOperLog> log;
    EXPECT_EQ(log.GetItemTitleSql(), QString());

    const CBareModule students(MDU_STUDENT, 0, 0, 0);
    const CBareModule teachers(MDU_TEACHER, 0, 0, 0);
    const CBareModule receipts(MDU_RECEIPT, 0, 0, 0);
    EXPECT_EQ(students.GetName(), QStringLiteral("学员"));
    EXPECT_EQ(students.GetGroupName(), QStringLiteral("日常管理"));
    EXPECT_EQ(students.GetDescription(),
              QStringLiteral("管理所有学员的信息。新学员在有试听、报名等任何活动前应首先登记。"));

    auto& app = CFakeAppServices::Installed();
    app.setup[QStringLiteral("DefaultPwd1")] = QStringLiteral("s123");
    app.setup[QStringLiteral("DefaultPwd0")] = QStringLiteral("t456");
    EXPECT_EQ(students.GetDefaultPassword(), QStringLiteral("s123"));
    EXPECT_EQ(teachers.GetDefaultPassword(), QStringLiteral("t456"));
    EXPECT_EQ(receipts.GetDefaultPassword(), QString());
    app.setup.clear();

    XClock::SetFixed(XDateTime(2025, 3, 5, 23, 59, 0));
    EXPECT_EQ(receipts.GetMaxQueryDate(), static_cast<int>(XDateTime(2025, 3, 5).Day()));
    XClock::Reset();
}

// The shell's side, as the modules see it.
class CFakeHost : public XModuleHost
{
public:
    bool OpenDocument(CModule& module) override
    {
        calls.append(QStringLiteral("open:%1").arg(module.GetMduID()));
        return true;
    }
    QObject* GetView(const CModule&) const override { return view; }
    void ActivateView(CModule& module) override { calls.append(QStringLiteral("activate:%1").arg(module.GetMduID())); }
    void UpdateAllViews(CModule& module, int hint) override
    {
        calls.append(QStringLiteral("update:%1:%2").arg(module.GetMduID()).arg(hint));
    }
    void SetDocumentTitle(CModule& module, const QString& title) override
    {
        calls.append(QStringLiteral("title:%1:%2").arg(module.GetMduID()).arg(title));
    }
    QStringList calls;
    QObject* view = nullptr;
};

TEST(ModuleHost, WindowsGoThroughTheHost)
{
    CBareModule receipts(MDU_RECEIPT, 0, 0, 0);
    EXPECT_FALSE(receipts.OpenDocument());
    EXPECT_EQ(receipts.GetView(), nullptr);
    CFakeHost host;
    QObject view;
    host.view = &view;
    XModuleHost* previous = SetModuleHost(&host);
    EXPECT_TRUE(receipts.OpenDocument());
    receipts.SetDefaultTitle();
    receipts.ActivateView();
    receipts.UpdateAllViews(3);
    EXPECT_EQ(receipts.GetView(), &view);
    SetModuleHost(previous);
    EXPECT_EQ(host.calls, (QStringList{QStringLiteral("open:331"), QStringLiteral("title:331:报名收据"),
                                       QStringLiteral("activate:331"), QStringLiteral("update:331:3")}));
}

TEST(ModuleSchemes, BuiltInQuerySchemesNumberedByPositionAndTheMapEmptied)
{
    CBareModule receipts(MDU_RECEIPT, 0, 0, 0);
    CXArray schemes(nullptr, true);
    CXMap query;
    query.SetText(5, QStringLiteral("x"));
    receipts.AddQueryScheme(schemes, query, 2, QStringLiteral("本月"), QStringLiteral("说明"), true);
    EXPECT_TRUE(query.IsEmpty());
    query.SetText(6, QStringLiteral("y"));
    receipts.AddQueryScheme(schemes, query, 0, QStringLiteral("上月"), QString(), false);
    ASSERT_EQ(schemes.GetSize(), 2);
    const auto* first = static_cast<const CDBPrjQuery*>(schemes[0]);
    const auto* second = static_cast<const CDBPrjQuery*>(schemes[1]);
    EXPECT_EQ(first->m_nID, -33100);
    EXPECT_EQ(second->m_nID, -33101);
    EXPECT_EQ(first->m_nParentID, MDU_RECEIPT);
    EXPECT_EQ(first->m_nUsers, 2);
    EXPECT_EQ(first->m_strRightData, QStringLiteral("<r><x id=\"5\">x</x></r>"));
    EXPECT_EQ(first->m_strName, QStringLiteral("本月"));
    EXPECT_EQ(first->m_strMemo, QStringLiteral("说明"));
    EXPECT_EQ(first->m_bSeparator, 1);
    EXPECT_EQ(second->m_strRightData, QStringLiteral("<r><x id=\"6\">y</x></r>"));
    EXPECT_EQ(first->m_pArray, &schemes);
}

TEST(ModuleSchemes, BuiltInColumnSchemesOnlyWhenTheyDiffer)
{
    CModuleT<CDBOperLog> log;
    CXArray schemes(nullptr, true);
    log.AddBuiltInHeadSchemes(schemes);
    ASSERT_EQ(schemes.GetSize(), 3);
    const struct
    {
        int id;
        const char* name;
        const char* memo;
        const char* setup;
    } expected[] = {
        {-33600, "默认", "显示重要信息。", "-1,0,1,-1,2,-1,3,-1,4,5,-1,6,7,-1"},
        {-33601, "简要", "显示简要信息。", "-1,0,1,-1,2,-1,-1,-1,3,4,-1,-1,5,-1"},
        {-33602, "详细", "显示详细信息。", "-1,0,1,-1,2,-1,3,-1,4,5,-1,6,7,8"},
    };
    for (int i = 0; i < 3; ++i) {
        const auto* s = static_cast<const CDBPrjOrder*>(schemes[i]);
        EXPECT_EQ(s->m_nID, expected[i].id);
        EXPECT_EQ(s->m_strName, QString::fromUtf8(expected[i].name));
        EXPECT_EQ(s->m_strMemo, QString::fromUtf8(expected[i].memo));
        EXPECT_EQ(s->m_strRightData, QString::fromUtf8(expected[i].setup));
        EXPECT_EQ(s->m_nParentID, MDU_OPERLOG);
    }

    CModuleT<CTestTeacher> teachers; // the three flag sets are equal
    CXArray one(nullptr, true);
    teachers.AddBuiltInHeadSchemes(one);
    ASSERT_EQ(one.GetSize(), 1);
    EXPECT_EQ(one[0]->m_strName, QStringLiteral("默认"));
    EXPECT_EQ(one[0]->m_nID, -32200);
}

// The query-scheme module: the schemes stored for the module in the query map, counted.
class CCountingSchemes : public CModuleT<CDBPrjQuery, 0, true>
{
public:
    bool QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne) override
    {
        ++reads;
        QStringList conditions{QStringLiteral("FitMduID=%1").arg(query.GetInt(QKEY_MODULE))};
        CXDBSession session;
        session.Connect();
        return ReadItems(session, items, conditions, bNoImages, bExpectOne) && ReadLinkTitles(session, items);
    }
    std::atomic<int> reads{0};
};

class ModuleSchemesDb : public RecordDb
{
protected:
    void SetUp() override
    {
        RecordDb::SetUp();
        RegisterModule(&m_schemes);
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session, *CDBPrjQuery::StaticHeads()));
    }
    int Read(CModule& module)
    {
        CXArray out(nullptr, true);
        module.GetQuerySchemes(out);
        return out.GetSize();
    }
    static void StoreScheme(int fit, const char* name)
    {
        ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_PROJECT (MduID,FitMduID,PrjName) VALUES (323,%1,'%2')")
                             .arg(fit)
                             .arg(QString::fromUtf8(name))));
    }
    CCountingSchemes m_schemes;
};

TEST_F(ModuleSchemesDb, ReadOnceADayAgainWhileEmptyAndAfterASchemeChanged)
{
    EXPECT_EQ(Read(m_schemes), 0); // hidden: nothing, and nothing read
    EXPECT_EQ(m_schemes.reads, 0);

    EXPECT_EQ(Read(m_receipt), 0);
    EXPECT_EQ(Read(m_receipt), 0);
    EXPECT_EQ(m_schemes.reads, 2); // an empty result is read again

    StoreScheme(MDU_RECEIPT, "本月");
    StoreScheme(MDU_COURSE, "其他");
    EXPECT_EQ(Read(m_receipt), 1);
    EXPECT_EQ(Read(m_receipt), 1);
    EXPECT_EQ(m_schemes.reads, 3);

    XClock::SetFixed(XDateTime(2025, 3, 6, 0, 0, 1)); // past midnight
    EXPECT_EQ(Read(m_receipt), 1);
    EXPECT_EQ(m_schemes.reads, 4);

    // a scheme saved through the writer reaches the cache at once
    CDBPrjQuery saved;
    saved.m_nParentID = MDU_RECEIPT;
    saved.m_strName = QStringLiteral("另存");
    ASSERT_TRUE(SaveItem(nullptr, &saved, nullptr, m_user));
    EXPECT_EQ(Read(m_receipt), 2);
    ASSERT_TRUE(DeleteItem(nullptr, &saved, m_user));
    EXPECT_EQ(Read(m_receipt), 1);
    EXPECT_EQ(m_schemes.reads, 6);
}

TEST_F(ModuleSchemesDb, CallersGetCopiesFromSeveralThreads)
{
    StoreScheme(MDU_RECEIPT, "本月");
    std::atomic<int> wrong{0};
    auto work = [&] {
        for (int i = 0; i < 20; ++i) {
            if (i % 5 == 0)
                InvalidateQuerySchemes();
            CXArray out(nullptr, true);
            m_receipt.GetQuerySchemes(out);
            if (out.GetSize() != 1 || out[0]->m_strName != QStringLiteral("本月") || out[0]->m_pArray != &out)
                ++wrong;
        }
    };
    std::thread a(work), b(work);
    a.join();
    b.join();
    EXPECT_EQ(wrong.load(), 0);
}

} // namespace
