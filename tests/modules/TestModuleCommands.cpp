#include "CDBPrjQuery.h"
#include "CModuleCommands.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "ModuleWindowFixture.h"

namespace {

XDateTime Day(int y, int m, int d) { return XDateTime(y, m, d); }

CXMap Range(const XDateTime& from, const XDateTime& to)
{
    CXMap q;
    q.SetDate(QKEY_DATE_FROM, from);
    q.SetDate(QKEY_DATE_TO, to);
    return q;
}

QString RangeText(const CXMap& q)
{
    return q.IsEmpty() ? QStringLiteral("-")
                       : q.GetText(QKEY_DATE_FROM) + QStringLiteral("..") + q.GetText(QKEY_DATE_TO);
}

class CheckUI : public XCmdUI
{
public:
    void Enable(bool on) override { enabled = on; }
    void SetCheck(int state) override { checked = state; }
    int enabled = -1;
    int checked = -1;
};

class ModuleCommands_ : public ModuleWindowDb
{
protected:
    void AddSchemes(int n)
    {
        for (int i = 0; i < n; ++i) {
            auto* s = new CDBPrjQuery;
            s->m_nID = i + 1;
            s->m_nParentID = MDU_COURSE;
            s->m_strName = QStringLiteral("方案%1").arg(i + 1);
            CXMap q;
            q.SetText(QKEY_IDS, QString::number(i + 1));
            s->m_strRightData = q.ToXml();
            s->m_bSeparator = i == 1;
            m_schemes.schemes.Add(s);
        }
        InvalidateQuerySchemes();
    }
    int QueryLogRows()
    {
        return Count(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1").arg(OPER_QUERY));
    }
};

TEST(ModulePeriods, MonthsQuartersAndWeeksMoveByTheirLength)
{
    CTestModuleCourse course;
    struct Case
    {
        XDateTime from, to;
        QString next, prev;
    };
    const Case cases[] = {
        {Day(2024, 3, 1), Day(2024, 3, 31), "2024-04-01..2024-04-30", "2024-02-01..2024-02-29"},
        {Day(2024, 4, 1), Day(2024, 6, 30), "2024-07-01..2024-09-30", "2024-01-01..2024-03-31"},
        {Day(2024, 3, 4), Day(2024, 3, 10), "2024-03-11..2024-03-17", "2024-02-26..2024-03-03"},
    };
    XClock::SetFixed(XDateTime(2025, 1, 1));
    for (const Case& c : cases) {
        SCOPED_TRACE(RangeText(Range(c.from, c.to)).toStdString());
        EXPECT_EQ(RangeText(course.GetNextPeriod(Range(c.from, c.to))), c.next);
        EXPECT_EQ(RangeText(course.GetPrevPeriod(Range(c.from, c.to))), c.prev);
    }
    // no end, or an end past the latest query date: no next period
    CXMap open;
    open.SetDate(QKEY_DATE_FROM, Day(2025, 3, 1));
    EXPECT_TRUE(course.GetNextPeriod(open).IsEmpty());
    EXPECT_TRUE(course.GetNextPeriod(Range(Day(2024, 12, 1), Day(2025, 1, 31))).IsEmpty());
    // a future range without end goes back to itself
    EXPECT_TRUE(course.GetPrevPeriod(open).IsEqual(open));
    // a past one goes back by its length up to today
    CXMap past;
    past.SetDate(QKEY_DATE_FROM, Day(2024, 12, 22));
    EXPECT_EQ(RangeText(course.GetPrevPeriod(past)), QStringLiteral("2024-12-11..2024-12-21"));
    XClock::Reset();
}

TEST_F(ModuleCommands_, NextPeriodCommandStepsTheQueryAndLogsItOnce)
{
    m_course.m_query = Range(Day(2025, 2, 1), Day(2025, 2, 28));
    CModuleCommands& cmds = ModuleCommands(m_course);
    CheckUI ui;
    ui.m_nID = ID_QUERY_NEXT;
    cmds.OnUpdateSchemeCommand(&ui);
    EXPECT_EQ(ui.enabled, 1); // 2025-02-28 is before today (2025-03-05)

    ASSERT_TRUE(cmds.DispatchCommand(ID_QUERY_NEXT));
    EXPECT_EQ(RangeText(m_course.m_query), QStringLiteral("2025-03-01..2025-03-31"));
    EXPECT_EQ(QueryLogRows(), 1);
    EXPECT_EQ(m_host.refreshes, 1);

    cmds.OnUpdateSchemeCommand(&ui);
    EXPECT_EQ(ui.enabled, 0); // March ends after today

    m_course.ApplyQuery(m_course.m_query); // the same query: refreshed, not logged again
    EXPECT_EQ(QueryLogRows(), 1);
    EXPECT_EQ(m_host.refreshes, 2);
}

TEST_F(ModuleCommands_, EveryOneOfThirtyQuerySchemesResponds)
{
    AddSchemes(32);
    CModuleCommands& cmds = ModuleCommands(m_course);
    const XMenuSpec menu = m_course.CreateQueryMenu();
    int schemes = 0, separators = 0;
    for (const XMenuItem& it : menu) {
        schemes += it.id >= ID_QUERY_PRJ00 && it.id < ID_QUERY_PRJ00 + 30;
        separators += it.IsSeparator();
    }
    EXPECT_EQ(schemes, 30);
    EXPECT_EQ(separators, 2); // after the user item and after the flagged scheme
    EXPECT_EQ(menu.front().id, ID_QUERY_USER);

    ASSERT_TRUE(cmds.DispatchCommand(ID_QUERY_PRJ00 + 29));
    EXPECT_EQ(m_course.m_query.GetText(QKEY_IDS), QStringLiteral("30"));
    CheckUI ui;
    ui.m_nID = ID_QUERY_PRJ00 + 29;
    cmds.OnUpdateSchemeCommand(&ui);
    EXPECT_EQ(ui.checked, 1);
    ui.m_nID = ID_QUERY_PRJ00 + 28;
    cmds.OnUpdateSchemeCommand(&ui);
    EXPECT_EQ(ui.checked, 0);
}

TEST_F(ModuleCommands_, QueryTextsNameSchemesAndTerms)
{
    AddSchemes(1);
    const QString name = m_course.GetName();
    EXPECT_EQ(m_course.GetQueryText(CXMap(), true, true), QStringLiteral("全部"));
    CXMap one;
    one.SetText(QKEY_IDS, QStringLiteral("1"));
    EXPECT_EQ(m_course.GetQueryText(one, true, true), QStringLiteral("方案1 [指定") + name + QStringLiteral("]"));
    CXMap other;
    other.SetText(QKEY_IDS, QStringLiteral("5"));
    other.SetText(QKEY_NOT_IDS, QStringLiteral("6"));
    EXPECT_EQ(m_course.GetQueryText(other, true, false), QStringLiteral("自定义查询"));
    EXPECT_EQ(m_course.GetQueryText(other, false, true), QStringLiteral(" [指定%1] [排除已选%1]").arg(name));
}

TEST_F(ModuleCommands_, WithoutAWindowSchemeCommandsDoNothing)
{
    m_host.list = nullptr;
    m_course.m_query = Range(Day(2025, 1, 1), Day(2025, 1, 31));
    ModuleCommands(m_course).DispatchCommand(ID_QUERY_NEXT);
    EXPECT_EQ(RangeText(m_course.m_query), QStringLiteral("2025-01-01..2025-01-31"));
    EXPECT_EQ(QueryLogRows(), 0);
}

// Each module's target goes with the module; a later module, wherever it lands, gets a
// target of its own.
TEST(ModuleCommandsCache, ATargetGoesWithItsModule)
{
    const int before = ModuleCommandsCount();
    for (int round = 0; round < 3; ++round) {
        auto course = std::make_unique<CTestModuleCourse>();
        CModuleCommands& cmds = ModuleCommands(*course);
        EXPECT_EQ(&ModuleCommands(*course), &cmds);
        EXPECT_EQ(&cmds.m_module, course.get());
        EXPECT_EQ(ModuleCommandsCount(), before + 1);
        course.reset();
        EXPECT_EQ(ModuleCommandsCount(), before);
    }
    // two modules at once keep two targets; destroying one leaves the other's
    CTestModuleCourse a;
    auto b = std::make_unique<CTestModuleCourse>();
    CModuleCommands& targetA = ModuleCommands(a);
    ModuleCommands(*b);
    EXPECT_EQ(ModuleCommandsCount(), before + 2);
    b.reset();
    EXPECT_EQ(ModuleCommandsCount(), before + 1);
    EXPECT_EQ(&ModuleCommands(a), &targetA);
}

} // namespace
