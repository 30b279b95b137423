// The teacher record without a database: rights rows and RightData, pay-standard validity,
// résumé-derived fields, validation messages and the delete check, over hand-built lines.
#include "CDBTeacher.h"
#include "CFakeAppServices.h"
#include "CModule.h"
#include "XDateTime.h"

#include "StandInModule.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

XDateTime Day(int y, int m, int d) { return XDateTime(y, m, d); }
int DayNo(int y, int m, int d) { return static_cast<int>(XDateTime(y, m, d).Day()); }

bool HasMessage(const CXItem& item, int level, const QString& text)
{
    for (const CXStatus& st : item.m_status)
        if (st.m_nLevel == level && st.m_strText == text)
            return true;
    return false;
}

class TeacherRecord : public ::testing::Test
{
protected:
    void SetUp() override
    {
        XClock::SetFixed(XDateTime(2026, 3, 18, 9, 0, 0));
        // receipts (print right), class records, courses
        for (int id : {MDU_RECEIPT, MDU_EDURCD, MDU_COURSE}) {
            m_modules.push_back(std::make_unique<CStandInModule>(id));
            RegisterModule(m_modules.back().get());
        }
    }
    void TearDown() override
    {
        for (auto& m : m_modules)
            UnregisterModule(m.get());
        XClock::Reset();
    }

    static CDBTeacherRight* Row(CDBTeacher& t, int mdu)
    {
        for (CXItem* item : t.m_rights)
            if (item->m_nMduID == mdu)
                return static_cast<CDBTeacherRight*>(item);
        return nullptr;
    }
    static void AddLine(CDBTeacher& t, int stage, const XDateTime& begin, const XDateTime& end,
                        const QString& unit = QString())
    {
        CDBTeacherResume* line = t.m_resumes.CreateTyped();
        line->m_nStage = stage;
        line->m_period = {begin, end};
        line->m_strUnit = unit;
        t.m_resumes.Add(line);
    }
    static CDBTeacherPay* AddPay(CDBTeacher& t, const XDateTime& begin)
    {
        CDBTeacherPay* pay = t.m_pays.CreateTyped();
        pay->m_validity.m_begin = begin;
        t.m_pays.Add(pay);
        return pay;
    }

    std::vector<std::unique_ptr<CModule>> m_modules;
};

// role, granted bits, capability word, teacher-account word -> kept bits
TEST(TeacherRights, NormalisedByRole)
{
    struct Case
    {
        int role, bits, caps, teacher, kept;
    } cases[] = {
        {1, 0x06, 0x1e, 0x00, 0x06}, // query + add stay
        {1, 0x04, 0x1e, 0x00, 0x00}, // add without query is dropped
        {1, 0x42, 0x1e, 0x00, 0x02}, // print on a module without the print bit is dropped
        {1, 0x42, 0x5e, 0x00, 0x42}, // ... kept where the module prints
        {1, 0x02, 0x00, 0x00, 0x00}, // a module without the query bit keeps nothing
        {2, 0x00, 0x5e, 0x00, 0x5e}, // an administrator has every capability
        {0, 0x1e, 0x1e, 0x02, 0x02}, // an ordinary user has the teacher-account rights
    };
    for (const Case& c : cases)
        EXPECT_EQ(NormaliseRights(c.role, c.bits, c.caps, c.teacher), c.kept)
            << c.role << " " << c.bits << " " << c.caps;
}

// Clicks toggle one flag of an operator's row and normalise; nothing else changes anything.
TEST(TeacherRights, CellClicks)
{
    struct Case
    {
        int role;
        bool readOnly;
        int column, bits, caps, after;
    } cases[] = {
        {1, false, 1, 0x00, 0x1e, 0x02}, // query on
        {1, false, 2, 0x00, 0x1e, 0x00}, // add while query is off stays off
        {1, false, 2, 0x02, 0x1e, 0x06}, // add with query
        {1, false, 1, 0x1e, 0x1e, 0x00}, // query off takes the others with it
        {1, false, 5, 0x02, 0x1e, 0x02}, // print on a module without it
        {1, false, 0, 0x02, 0x1e, 0x02}, // the name column
        {1, true, 2, 0x02, 0x1e, 0x02},  // read-only list
        {0, false, 1, 0x00, 0x1e, 0x00}, // ordinary user
        {2, false, 1, 0x1e, 0x1e, 0x1e}, // administrator
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClickRightCell(c.role, c.readOnly, c.column, c.bits, c.caps), c.after)
            << c.role << " col " << c.column << " bits " << c.bits;
}

TEST_F(TeacherRecord, OperatorRightsAreWrittenBackForEveryVisibleModule)
{
    CDBTeacher t;
    t.m_strRealName = QStringLiteral("孙丽");
    t.m_nRightRole = 1;
    t.m_strRightData = QStringLiteral("<r><x id=\"331\">6</x><x id=\"334\">2</x></r>");
    t.Validate(nullptr, false);
    ASSERT_EQ(t.m_rights.GetSize(), 3);
    EXPECT_EQ(Row(t, MDU_RECEIPT)->GetBits(), 6);
    EXPECT_EQ(Row(t, MDU_EDURCD)->GetBits(), 2);
    EXPECT_EQ(Row(t, MDU_COURSE)->GetBits(), 0);

    // 新建 without 查询 is dropped; 打印 where the module cannot print is hidden and dropped
    Row(t, MDU_EDURCD)->SetBits(RIGHT_ADD | RIGHT_PRT);
    t.Validate(nullptr, false);
    EXPECT_EQ(t.m_strRightData, QStringLiteral("<r><x id=\"328\">0</x><x id=\"331\">6</x><x id=\"334\">0</x></r>"));
    const CHeads* heads = CDBTeacherRight::StaticHeads();
    const CHead* print = heads->FindByCaption(QStringLiteral("打印"));
    const CHead* add = heads->FindByCaption(QStringLiteral("新建"));
    EXPECT_EQ(Row(t, MDU_EDURCD)->GetAccess(print, nullptr), -1);
    EXPECT_EQ(Row(t, MDU_RECEIPT)->GetAccess(print, nullptr), 1);
    EXPECT_EQ(Row(t, MDU_EDURCD)->GetAccess(add, nullptr), 0); // query is off
    EXPECT_EQ(Row(t, MDU_RECEIPT)->GetAccess(add, nullptr), 1);

    // a grant on a module this program run has no row for survives the write-back
    t.m_strRightData = QStringLiteral("<r><x id=\"333\">2</x></r>");
    t.Validate(nullptr, false);
    EXPECT_EQ(CXMap(t.m_strRightData).GetInt(MDU_EDUSCH), 2);

    // operator -> administrator: RightData emptied, rows show every capability, read-only
    t.m_nRightRole = 2;
    t.Validate(nullptr, false);
    EXPECT_TRUE(t.m_strRightData.isEmpty());
    EXPECT_EQ(Row(t, MDU_RECEIPT)->GetBits(), 0x5e);
    EXPECT_EQ(Row(t, MDU_RECEIPT)->GetAccess(add, nullptr), 0);
    // -> ordinary user: the teacher-account rights
    t.m_nRightRole = 0;
    t.Validate(nullptr, false);
    EXPECT_EQ(Row(t, MDU_RECEIPT)->GetBits(), 0);
    EXPECT_EQ(Row(t, MDU_EDURCD)->GetBits(), 2);
    const CHead* rights = CDBTeacher::StaticHeads()->FindByOffset(XOFFSET(CDBTeacher, m_rights));
    EXPECT_EQ(t.GetAccess(rights, nullptr), 0);
    EXPECT_EQ(t.GetEmptyText(rights), QStringLiteral("..."));
}

TEST_F(TeacherRecord, RightsRowsResetAndAutoSet)
{
    CDBTeacher t;
    t.m_nRightRole = 1;
    t.Validate(nullptr, false);
    for (CXItem* row : t.m_rights)
        row->AutoSet();
    t.Validate(nullptr, false);
    // operator defaults: receipts 0x5e, class records 0x1e, courses query only
    EXPECT_EQ(Row(t, MDU_RECEIPT)->GetBits(), 0x5e);
    EXPECT_EQ(Row(t, MDU_COURSE)->GetBits(), 0x02);
    for (CXItem* row : t.m_rights)
        row->AutoReset();
    t.Validate(nullptr, false);
    EXPECT_EQ(CXMap(t.m_strRightData).GetInt(MDU_RECEIPT), 0);
}

TEST_F(TeacherRecord, PayStandardsEndBeforeTheNextAndRefuseARepeatedMonth)
{
    CDBTeacher t;
    CDBTeacherPay* march = AddPay(t, Day(2026, 3, 1));
    CDBTeacherPay* july = AddPay(t, Day(2026, 7, 1));
    march->Validate(nullptr, false);
    july->Validate(nullptr, false);
    EXPECT_EQ(static_cast<int>(march->m_validity.m_end.Day()), DayNo(2026, 6, 30));
    EXPECT_EQ(july->m_validity.m_end.Day(), 0);
    EXPECT_TRUE(HasMessage(*july, ST_WARN, QStringLiteral("未生效。")));

    CDBTeacherPay* mid = AddPay(t, XDateTime(2026, 7, 15, 14, 30, 0));
    mid->Validate(nullptr, false);
    EXPECT_EQ(static_cast<int>(mid->m_validity.m_begin.Day()), DayNo(2026, 7, 1));
    EXPECT_TRUE(HasMessage(*mid, ST_STOP, QStringLiteral("已存在生效月份相同的的工资标准！")));
    EXPECT_EQ(t.GetPayOn(Day(2026, 6, 30)), march);
    EXPECT_EQ(t.GetPayOn(Day(2026, 2, 28)), nullptr);
}

TEST_F(TeacherRecord, PayStandardStatesAroundToday)
{
    CDBTeacher t;
    CDBTeacherPay* next = AddPay(t, Day(2026, 4, 1));
    next->Validate(nullptr, false);
    EXPECT_TRUE(HasMessage(*next, ST_WARN, QStringLiteral("未生效。")));
    CDBTeacher alone;
    CDBTeacherPay* lapsed = AddPay(alone, Day(2025, 1, 1));
    lapsed->m_validity.m_end = Day(2026, 3, 17); // yesterday
    lapsed->Validate(nullptr, false);
    EXPECT_TRUE(HasMessage(*lapsed, ST_GRAY, QStringLiteral("已失效。")));
    lapsed->m_validity.m_end = Day(2026, 3, 18); // ends today: still valid
    lapsed->Validate(nullptr, false);
    EXPECT_FALSE(HasMessage(*lapsed, ST_GRAY, QStringLiteral("已失效。")));
}

TEST_F(TeacherRecord, EmploymentFromTheLatestLineHereAndTheRehiredStayEmployed)
{
    CDBTeacher t;
    t.m_strRealName = QStringLiteral("郑强");
    t.Validate(nullptr, false);
    EXPECT_TRUE(HasMessage(t, ST_WARN, QStringLiteral("未填写工作简历！")));
    EXPECT_EQ(t.GetEmploymentEnd(), -1);

    AddLine(t, 7, Day(2020, 9, 1), Day(2022, 6, 30));
    AddLine(t, 8, Day(2024, 1, 1), XDateTime(), QStringLiteral("别的学校")); // not here
    t.Validate(nullptr, false);
    EXPECT_TRUE(HasMessage(t, ST_GRAY, QStringLiteral("离职")));
    EXPECT_EQ(t.GetEmployed(), 0);
    EXPECT_EQ(static_cast<int>(t.GetEmploymentEnd()), DayNo(2022, 6, 30));

    AddLine(t, 7, Day(2023, 9, 1), XDateTime());
    t.m_resumes.GetAt(2)->m_strDepartment = QStringLiteral("校长助理");
    t.Validate(nullptr, false);
    EXPECT_TRUE(HasMessage(t, ST_GOOD, QStringLiteral("在职")));
    EXPECT_EQ(t.GetEmploymentEnd(), 0); // the open line wins over the later closed end
    EXPECT_EQ(t.GetPosition(), QStringLiteral("校长助理"));
    EXPECT_EQ(t.GetWorkType(), 7);
    // 2023-09-01 .. 2026-03-18 = 929 days
    EXPECT_NEAR(t.GetWorkYears(), 929 / 365.24, 1e-9);
}

TEST_F(TeacherRecord, StudentByEducationEmploymentAndAge)
{
    CDBTeacher t;
    EXPECT_EQ(t.IsStudent(), 1); // no résumé at all
    AddLine(t, 4, Day(2021, 9, 1), Day(2025, 6, 30), QStringLiteral("师范大学"));
    EXPECT_EQ(t.IsStudent(), 1); // no employment line
    AddLine(t, 7, Day(2025, 9, 1), XDateTime());
    t.m_dtBirthday = Day(2001, 3, 1); // 25
    EXPECT_EQ(t.IsStudent(), 0);
    t.m_dtBirthday = Day(2005, 3, 1); // 21
    EXPECT_EQ(t.IsStudent(), 1);
    t.m_dtBirthday = Day(2001, 3, 1);
    AddLine(t, 5, Day(2025, 9, 1), Day(2027, 6, 30), QStringLiteral("研究院"));
    // the education line is the lowest stage (本科, finished), so the 硕士 still running
    // does not make a student
    EXPECT_EQ(t.IsStudent(), 0);
    EXPECT_EQ(t.GetEducation(), 4);
    EXPECT_EQ(t.GetSchool(), QStringLiteral("师范大学"));
}

TEST_F(TeacherRecord, ResumeLineCaptionsFormatsAndHints)
{
    CDBTeacherResume line;
    const CHeads* heads = CDBTeacherResume::StaticHeads();
    const CHead* unit = heads->FindByColumn(QStringLiteral("Unit"));
    const CHead* dept = heads->FindByColumn(QStringLiteral("Department"));
    const CHead* begin = heads->FindByColumn(QStringLiteral("DateBgn"));
    EXPECT_EQ(line.m_nStage, 7);
    EXPECT_EQ(static_cast<int>(line.m_period.m_begin.Day()), DayNo(2026, 3, 18));
    EXPECT_EQ(line.GetCaption(unit), QStringLiteral("单位"));
    EXPECT_EQ(line.GetCaption(dept), QStringLiteral("职务"));
    EXPECT_EQ(line.GetFormat(begin), QStringLiteral("%Y年%#m月%#d日"));
    // an empty employer is this organisation
    CFakeAppServices::Installed().setup[QStringLiteral("RecordName")] = QStringLiteral("星光艺校");
    EXPECT_EQ(line.GetEmptyText(unit), QStringLiteral("星光艺校"));
    CFakeAppServices::Installed().setup.erase(QStringLiteral("RecordName"));
    line.m_nStage = 1;
    EXPECT_EQ(line.GetCaption(unit), QStringLiteral("学校"));
    EXPECT_EQ(line.GetAccess(dept, nullptr), -1); // 高中 has no major
    EXPECT_EQ(line.GetFormat(begin), QStringLiteral("%Y年%#m月"));
    EXPECT_EQ(line.GetEmptyText(unit), QStringLiteral("未登记"));
}

TEST_F(TeacherRecord, ValidationMessages)
{
    CDBTeacher t;
    t.Validate(nullptr, false);
    EXPECT_TRUE(HasMessage(t, ST_STOP, QStringLiteral("请输入姓名！")));
    t.m_strRealName = QStringLiteral("周杰");
    t.m_nRptCount = 1;
    t.m_nSchCur = 2;
    CXItem* account = t.m_accounts.CreateItem();
    account->m_strName = QStringLiteral("1234");
    t.m_accounts.Add(account);
    t.Validate(nullptr, false);
    EXPECT_TRUE(HasMessage(t, ST_WARN, QStringLiteral("存在重名！")));
    EXPECT_TRUE(HasMessage(t, ST_WARN, QStringLiteral("未制定工资标准！")));
    EXPECT_TRUE(HasMessage(t, ST_STOP, QStringLiteral("请输入 11 位数字的手机号！")));
    // a new teacher's birthday follows the clock
    XClock::SetFixed(XDateTime(2027, 1, 1));
    CDBTeacher later;
    EXPECT_EQ(static_cast<int>(later.m_dtBirthday.Day()), DayNo(2027, 1, 1) - 9131);
    EXPECT_EQ(later.m_bEnabled, 1);
}

TEST_F(TeacherRecord, DeleteRefusedWhileAnythingRefersToTheTeacher)
{
    CDBTeacher t;
    EXPECT_EQ(t.GetDeleteError(nullptr), QString());
    t.m_oper.m_end = XDateTime(2026, 3, 1, 10, 0, 0);
    EXPECT_EQ(t.GetDeleteError(nullptr), QStringLiteral("已有关联的操作记录。"));
    // only leave or absence lines, no consumed lesson: still referred to
    t.m_nRcdTimes = 2;
    t.m_nSchAll = 1;
    EXPECT_EQ(t.GetDeleteError(nullptr), QStringLiteral("已有关联的操作记录、课程表、课堂记录。"));
}

} // namespace

namespace {

// A new teacher copied from another: a record of its own whose lines are new rows.
TEST_F(TeacherRecord, NewCopyGetsRowsOfItsOwn)
{
    CDBTeacher source;
    source.m_nID = 7;
    source.m_strPassword = QStringLiteral("0123456789abcdef0123456789abcdef");
    source.m_nSchAll = 3;
    AddLine(source, 7, Day(2024, 1, 1), XDateTime());
    CDBTeacherPay* pay = AddPay(source, Day(2026, 1, 1));
    CXItem* account = source.m_accounts.CreateItem();
    source.m_accounts.Add(account);
    for (CXArray* lines : {static_cast<CXArray*>(&source.m_resumes), static_cast<CXArray*>(&source.m_pays),
                           static_cast<CXArray*>(&source.m_accounts)})
        for (CXItem* line : *lines) {
            line->m_nSubID = 40;
            line->m_nParentID = 7;
        }
    pay->m_nID = 7;
    CDBTeacher copy;
    source.CopyTo(&copy);
    copy.MakeNewCopy();
    EXPECT_EQ(copy.m_nID, 0);
    EXPECT_TRUE(copy.m_strPassword.isEmpty());
    EXPECT_EQ(copy.m_nSchAll, 0);
    ASSERT_EQ(copy.m_resumes.GetSize() + copy.m_pays.GetSize() + copy.m_accounts.GetSize(), 3);
    for (CXArray* lines : {static_cast<CXArray*>(&copy.m_resumes), static_cast<CXArray*>(&copy.m_pays),
                           static_cast<CXArray*>(&copy.m_accounts)})
        for (const CXItem* line : *lines)
            EXPECT_TRUE(line->m_nSubID == 0 && line->m_nParentID == 0);
    EXPECT_EQ(copy.m_pays[0]->m_nID, 0);
    EXPECT_EQ(source.m_resumes[0]->m_nSubID, 40); // the source keeps its rows
}

} // namespace
