#include "CDBPrjQuery.h"
#include "CFakeAppServices.h"
#include "CHttpSession.h"
#include "CModuleOperLog.h"
#include "CommandIds.h"
#include "DbTestSupport.h"
#include "FormatString.h"
#include "OpenDatabase.h"
#include "RecordDbFixture.h"
#include "XDateTime.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class OperLogModule : public ::testing::Test
{
protected:
    void SetUp() override
    {
        XClock::SetFixed(m_now);
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session, *CDBOperLog::StaticHeads()));
        CFakeAppServices::Installed().Clear();
    }
    void TearDown() override
    {
        std::lock_guard lock(xInternet::SessionLock());
        xInternet::SessionMap().clear();
        XClock::Reset();
    }

    // One log row dated the given number of days from today's midnight; returns its ID.
    static int Row(double days, int type, const char* ip = "", const char* session = "", int ended = 0,
                   int userMdu = MDU_TEACHER, int userId = 5)
    {
        const double when = XDateTime::Today().Day() + days;
        EXPECT_TRUE(Exec(
            FormatString(u"INSERT INTO TB_OPERLOG (OperTime, UserID, UserMduID, TypeID, SessionEnd, MduID, ItemID,"
                         u" OperMemo, Extr, UserIP, UserSession) VALUES (%s, %d, %d, %d, %d, 0, 0, '', '', '%s', '%s')",
                         QString::number(when, 'f', 6), userId, userMdu, type, ended, QString::fromUtf8(ip),
                         QString::fromUtf8(session))));
        return static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_OPERLOG")));
    }

    std::vector<int> Select(const CXMap& query)
    {
        CXArray items(nullptr, true);
        EXPECT_TRUE(m_module.QueryItems(items, query, true, false));
        std::vector<int> ids;
        for (int i = 0; i < items.GetSize(); ++i)
            ids.push_back(items.GetAt(i)->m_nID);
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    TempDatabase m_db;
    XDateTime m_now{2025, 3, 5, 12, 0, 0};
    CModuleOperLog m_module;
};

TEST_F(OperLogModule, BuiltInSchemesSelectWhatTheySay)
{
    const int edit = Row(-3, OPER_MDF);
    Row(-10, OPER_MDF); // older than a week
    const int setup = Row(-2, OPER_SETUP);
    const int query = Row(-1, OPER_QUERY);
    const int find = Row(-1, OPER_FIND);
    const int msg = Row(-1, OPER_MSG);
    const int run = Row(-1, OPER_RUN);
    const int local = Row(-1, OPER_LOGIN);
    const int web = Row(-1, OPER_LOGIN, "1.2.3.4", "s1");
    const int oldWeChat = Row(-30, OPER_LOGIN, "1.2.3.5", "wx_abcdefghij");
    const int endedWeb = Row(-2, OPER_LOGIN, "1.2.3.6", "s2", 1);
    const int proxy = Row(0.5, OPER_PROXY);
    Row(-0.5, OPER_PROXY); // yesterday

    CXArray schemes(nullptr, true);
    m_module.AddQuickQueries(schemes);
    const std::vector<std::pair<QString, std::vector<int>>> expected = {
        {QStringLiteral("近一周编辑"), {edit}},
        {QStringLiteral("近一周设置"), {setup}},
        {QStringLiteral("近一周查询和查找"), {query, find}},
        {QStringLiteral("近一周通知"), {msg}},
        {QStringLiteral("近一周运行"), {run}},
        {QStringLiteral("近一周本地登录"), {local}},
        {QStringLiteral("近一周网络登录"), {web, endedWeb}},
        {QStringLiteral("未注销网络登录"), {web, oldWeChat}},
        {QStringLiteral("今日代理连接"), {proxy}},
    };
    ASSERT_EQ(schemes.GetSize(), static_cast<int>(expected.size()));
    for (int i = 0; i < schemes.GetSize(); ++i) {
        const auto* scheme = static_cast<const CDBPrjQuery*>(schemes.GetAt(i));
        EXPECT_EQ(scheme->m_strName, expected[i].first);
        EXPECT_EQ(Select(CXMap(scheme->m_strRightData)), expected[i].second) << scheme->m_strName.toStdString();
        EXPECT_EQ(scheme->m_bSeparator != 0, i == 4 || i == 7) << scheme->m_strName.toStdString();
    }
}

TEST_F(OperLogModule, DateAndOperatorConditions)
{
    const int before = Row(-0.25, OPER_RUN); // yesterday 18:00
    const int midnight = Row(0, OPER_RUN);   // today 00:00
    Row(1.0 / 86400, OPER_RUN);              // today 00:00:01
    const int admin = Row(-1, OPER_RUN, "", "", 0, MDU_TEACHER, 0);
    const int student = Row(-1, OPER_RUN, "", "", 0, MDU_STUDENT, 9);

    CXMap upTo;
    upTo.SetDate(QKEY_DATE_TO, XDateTime(XDateTime::Today().Day() - 1));
    EXPECT_EQ(Select(upTo), (std::vector<int>{before, midnight, admin, student}));

    CXMap teachers;
    teachers.SetText(QKEY_OPER_USER_KIND, QStringLiteral("1"));
    teachers.SetText(QKEY_DATE_FROM, QString::number(XDateTime::Today().Day() - 1, 'f', 0));
    EXPECT_EQ(Select(teachers), (std::vector<int>{before, midnight, midnight + 1, admin}));
}

TEST_F(OperLogModule, ListKeysBecomeIntegerListsAndEmptySelectsNothing)
{
    const struct
    {
        int key;
        const char* value;
        const char* condition;
    } cases[] = {
        {QKEY_OPER_TYPE, "4,5", "TypeID IN(4,5)"},
        {QKEY_OPER_TYPE, "0) OR (1=1", "TypeID IN(0)"},
        {QKEY_OPER_TYPE, "", "1=0"},
        {QKEY_MODULE, "331,x", "MduID IN(331,0)"},
        {MDU_TEACHER, "5,9", "UserID IN(5,9) AND UserMduID='MDU_TEACHER'"},
        {MDU_STUDENT, "1 OR 1=1", "UserID IN(1) AND UserMduID='MDU_STUDENT'"},
        {QKEY_EDIT_LINKS, "", "1=0"},
        {QKEY_SESSION_ENDED, "1", "SessionEnd=1"},
        {QKEY_OPER_SOURCE, "0", "UserIP=''"},
        {QKEY_OPER_WECHAT, "1", "LEFT(UserSession,3)='wx_'"},
    };
    for (const auto& c : cases) {
        CXMap query;
        query.SetText(c.key, QString::fromUtf8(c.value));
        QStringList conditions;
        CModuleOperLog::AddLogConditions(conditions, query);
        EXPECT_EQ(conditions, QStringList{QString::fromUtf8(c.condition)}) << c.key << " " << c.value;
    }
    Row(-1, OPER_RUN);
    CXMap none;
    none.SetText(QKEY_OPER_TYPE, QString());
    EXPECT_TRUE(Select(none).empty());
}

TEST_F(OperLogModule, OnlyOpenRecentLoginsOpen)
{
    const auto row = [this](int type, int ended, const char* session, double ageDays) {
        auto log = std::make_unique<CDBOperLog>();
        log->m_nTypeID = type;
        log->m_bSessionEnd = ended;
        log->m_user.m_strSession = QString::fromUtf8(session);
        log->m_user.m_dtDate = XDateTime(m_now.Day() - ageDays);
        return log;
    };
    EXPECT_TRUE(CModuleOperLog::CanOpenSession(row(OPER_LOGIN, 0, "s1", 10).get(), m_now));
    EXPECT_FALSE(CModuleOperLog::CanOpenSession(row(OPER_LOGIN, 0, "s1", 181).get(), m_now));
    EXPECT_TRUE(CModuleOperLog::CanOpenSession(row(OPER_LOGIN, 0, "wx_abcdefghij", 400).get(), m_now));
    EXPECT_FALSE(CModuleOperLog::CanOpenSession(row(OPER_LOGIN, 1, "s1", 1).get(), m_now));
    EXPECT_FALSE(CModuleOperLog::CanOpenSession(row(OPER_LOGIN, 0, "", 1).get(), m_now));
    EXPECT_FALSE(CModuleOperLog::CanOpenSession(row(OPER_QUERY, 0, "s1", 1).get(), m_now));
    EXPECT_FALSE(CModuleOperLog::CanOpenSession(nullptr, m_now));
}

TEST_F(OperLogModule, EndingASessionLogsOutAndDropsTheLiveIdentity)
{
    const int login = Row(-1, OPER_LOGIN, "1.2.3.4", "s1");
    const int otherLogin = Row(-1, OPER_LOGIN, "1.2.3.4", "s1", 0, MDU_STUDENT, 9);
    {
        std::lock_guard lock(xInternet::SessionLock());
        auto teacher = new CXItem;
        teacher->m_nMduID = MDU_TEACHER;
        teacher->m_nID = 5;
        teacher->m_strSession = QStringLiteral("s1");
        auto web = std::make_unique<CHttpSession>(teacher);
        auto student = new CXItem;
        student->m_nMduID = MDU_STUDENT;
        student->m_nID = 9;
        student->m_strSession = QStringLiteral("s1");
        web->AddIdentity(student);
        xInternet::SessionMap().emplace(QStringLiteral("s1"), std::move(web));
    }
    CXMap one;
    one.SetText(1, QString::number(login));
    CXArray items(nullptr, true);
    ASSERT_TRUE(m_module.QueryItems(items, one, true, true));
    ASSERT_EQ(items.GetSize(), 1);

    EndLoginSession(*static_cast<CDBOperLog*>(items.GetAt(0)));

    EXPECT_EQ(QueryNumber(FormatString(u"SELECT SessionEnd FROM TB_OPERLOG WHERE ID=%d", login)), 1);
    EXPECT_EQ(QueryNumber(FormatString(u"SELECT SessionEnd FROM TB_OPERLOG WHERE ID=%d", otherLogin)), 0);
    EXPECT_EQ(
        QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=1 AND UserID=5 AND UserSession='s1'")),
        1);
    std::lock_guard lock(xInternet::SessionLock());
    const CXArray& left = xInternet::SessionMap().at(QStringLiteral("s1"))->Identities();
    ASSERT_EQ(left.GetSize(), 1);
    EXPECT_EQ(left.GetAt(0)->m_nID, 9);
}

} // namespace

namespace {

using OperLogOptions = RecordDb;

// The module choices are the modules that exist and may add records, in module order.
TEST_F(OperLogOptions, ModuleChoicesAreTheModulesWithTheAddRight)
{
    m_charge.m_nCaps = RIGHT_QRY;
    CModuleOperLog log;
    std::vector<int> keys;
    for (const auto& option : log.m_options)
        keys.push_back(option->m_nKey);
    EXPECT_EQ(keys, (std::vector<int>{ID_FIND_WHAT, QKEY_DATE_FROM, QKEY_DATE_TO, QKEY_OPER_TYPE, QKEY_SESSION_ENDED,
                                      QKEY_OPER_SOURCE, QKEY_OPER_WECHAT, QKEY_OPER_USER_KIND, MDU_STUDENT, MDU_TEACHER,
                                      QKEY_MODULE, QKEY_EDIT_LINKS}));
    const CXQueryOption& modules = *log.m_options[10];
    EXPECT_EQ(modules.m_arrValues,
              (QList<int>{m_course.GetMduID(), m_receipt.GetMduID(), m_teacher.GetMduID(), m_student.GetMduID()}));
    EXPECT_EQ(modules.m_arrTexts.first(), m_course.GetName());
    EXPECT_EQ(log.m_options[3]->m_arrTexts.size(), 12);
    EXPECT_TRUE(log.m_options[11]->m_bReadOnly);
    EXPECT_TRUE(log.RequiresQuery());
    EXPECT_EQ(log.m_nCaps, RIGHT_QRY);
}

} // namespace
