// Who a login text names, whether the password fits, and the password change, on the
// fixture school's teachers.
#include "CDBTeacher.h"
#include "CFakeAppServices.h"
#include "CMD5.h"
#include "CModuleTeacher.h"
#include "CommandIds.h"
#include "LoginRules.h"
#include "PeopleTestSupport.h"
#include "RecordWriter.h"
#include "Settings.h"

#include <gtest/gtest.h>

namespace {

class LoginRules : public SchoolTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
        CFakeAppServices::Installed().setup[QStringLiteral("DefaultPwd0")] = QStringLiteral("583920");
        m_admin.m_nMduID = MDU_TEACHER;
        m_admin.m_strName = QStringLiteral("Admin");
        m_admin.m_nRightRole = 2;
    }
    void TearDown() override
    {
        CFakeAppServices::Installed().setup.erase(QStringLiteral("DefaultPwd0"));
        SchoolTest::TearDown();
    }
    XLoginDecision Decide(const char* user, const char* password)
    {
        auto find = [](const QString& text, CXArray& found) {
            return static_cast<CModuleTeacher*>(FindModule(MDU_TEACHER))->ReadLoginUsers(found, text);
        };
        return DecideLogin(QString::fromUtf8(user), QString::fromUtf8(password), m_admin, find, m_found);
    }
    CXItem m_admin;
    CXArray m_found{nullptr, true};
};

TEST_F(LoginRules, TheTextNamesOneUserWhosePasswordMustFit)
{
    // a second login teacher with 刘芳's mobile number
    CDBTeacher twin;
    twin.m_strRealName = QString::fromUtf8("刘芳芳");
    twin.m_nRightRole = 1;
    CXItem* account = twin.m_accounts.CreateItem();
    account->m_strName = QStringLiteral("13700137000");
    twin.m_accounts.Add(account);
    CDBTeacherResume* job = twin.m_resumes.CreateTyped();
    job->m_nStage = 7;
    job->m_period = {XDateTime(2025, 1, 1), XDateTime(0.0)};
    twin.m_resumes.Add(job);
    ASSERT_TRUE(SaveItem(nullptr, &twin, nullptr, m_admin));
    // 孙丽 disabled
    ASSERT_TRUE(Exec(QStringLiteral("UPDATE TB_TEACHER SET IsEnabled=0 WHERE ID=%1").arg(m_school.t2)));

    using D = XLoginDecision;
    const struct
    {
        const char* user;
        const char* password;
        D::Outcome outcome;
        const char* message;
        const char* name; // who logged in
    } cases[] = {
        {"", "583920", D::NoUser, "输入或下拉选择一个用户！", ""},
        {"ADMIN", "583920", D::LoggedIn, "", "Admin"},
        {"admin", "583920", D::LoggedIn, "", "Admin"},
        {"Admin", "58392", D::WrongPassword, "密码不正确！", ""},
        {"郑强", "583920", D::LoggedIn, "", "郑强"},
        {"郑强", "", D::WrongPassword, "密码不正确！", ""},
        {"13700137000", "583920", D::Several, "存在多个用户登记了该手机号 ，请尝试使用其它登录方式！", ""},
        {"周杰", "583920", D::NotFound, "未找到 “姓名” ！", ""}, // role 0
        {"孙丽", "583920", D::NotFound, "未找到 “姓名” ！", ""}, // disabled
        {"吴敏", "583920", D::NotFound, "未找到 “姓名” ！", ""}, // left
        {"13600136000", "583920", D::NotFound, "未找到 “手机号” ！", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.user);
        const XLoginDecision d = Decide(c.user, c.password);
        EXPECT_EQ(d.outcome, c.outcome);
        EXPECT_EQ(d.message, QString::fromUtf8(c.message));
        EXPECT_EQ(d.atPassword, c.outcome == D::WrongPassword);
        EXPECT_EQ(d.user ? d.user->m_strName : QString(), QString::fromUtf8(c.name));
    }
    EXPECT_EQ(Decide("Admin", "583920").user, &m_admin);
}

// An empty password fits only while both the stored and the default password are empty.
TEST_F(LoginRules, AnEmptyPasswordFitsOnlyAnEmptyStoredAndDefaultPassword)
{
    CFakeAppServices::Installed().setup[QStringLiteral("DefaultPwd0")] = QString();
    EXPECT_EQ(Decide("Admin", "").outcome, XLoginDecision::LoggedIn);
    m_admin.SetPassword(Md5HexW(QStringLiteral("x")));
    EXPECT_EQ(Decide("Admin", "").outcome, XLoginDecision::WrongPassword);
    m_admin.SetPassword(QString());
    CFakeAppServices::Installed().setup[QStringLiteral("DefaultPwd0")] = QStringLiteral("583920");
    EXPECT_EQ(Decide("Admin", "").outcome, XLoginDecision::WrongPassword);
}

TEST_F(LoginRules, DefaultPasswordWarningOnlyForALoneAdministratorWithTheDefault)
{
    EXPECT_EQ(DefaultPasswordWarning(0, QString(), QStringLiteral("583920")),
              QString::fromUtf8("[w] 请及时修改默认登录密码 “583920”。"));
    EXPECT_EQ(DefaultPasswordWarning(3, QString(), QStringLiteral("583920")), QString());
    EXPECT_EQ(DefaultPasswordWarning(0, Md5HexW(QStringLiteral("x")), QStringLiteral("583920")), QString());
}

// The checks run in their order, the blank first (before the old password is compared);
// after a change the next login needs the new password, for a teacher and the administrator.
TEST_F(LoginRules, PasswordChangeChecksInOrderThenTheNewPasswordIsNeeded)
{
    m_admin.SetPassword(Md5HexW(QStringLiteral("old1")));
    using P = XPasswordCheck;
    const struct
    {
        const char *oldPw, *newPw, *confirm;
        P::Field field;
        bool error;
        const char* message;
    } cases[] = {
        {"zzz", "a b", "a b", P::New, false, "密码中不能有空格！"},
        {"zzz", "new1", "new2", P::Confirm, false, "新密码和确认密码不同！"},
        {"old1", "old1", "old1", P::New, false, "新密码与原密码相同！"},
        {"zzz", "new1", "new1", P::Old, true, "旧密码不正确！"},
        {"OLD1", "new1", "new1", P::Old, true, "旧密码不正确！"},
        {"old1", "new1", "new1", P::None, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.newPw);
        const P r = CheckPasswordChange(QString::fromUtf8(c.oldPw), QString::fromUtf8(c.newPw),
                                        QString::fromUtf8(c.confirm), m_admin);
        EXPECT_EQ(r.field, c.field);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.message, QString::fromUtf8(c.message));
    }

    CXItem* teacher = nullptr;
    ASSERT_EQ(Decide("郑强", "583920").outcome, XLoginDecision::LoggedIn);
    teacher = m_found.GetAt(0);
    ASSERT_TRUE(ChangePassword(*teacher, QStringLiteral("t-new"), m_admin));
    EXPECT_EQ(Decide("郑强", "583920").outcome, XLoginDecision::WrongPassword);
    EXPECT_EQ(Decide("郑强", "t-new").outcome, XLoginDecision::LoggedIn);

    CXItem user; // the logged-in copy of the administrator
    user.m_nMduID = MDU_TEACHER;
    user.m_strName = QStringLiteral("Admin");
    user.m_strPassword = m_admin.m_strPassword;
    ASSERT_TRUE(ChangePassword(user, QStringLiteral("a-new"), m_admin));
    EXPECT_EQ(ReadSetting(QStringLiteral("Global"), QStringLiteral("AdminMD5Pwd"), QString()),
              Md5HexW(QStringLiteral("a-new")));
    EXPECT_EQ(Decide("admin", "old1").outcome, XLoginDecision::WrongPassword);
    EXPECT_EQ(Decide("admin", "a-new").outcome, XLoginDecision::LoggedIn);

    // a teacher who happens to be called "Admin" changes only their own password
    ASSERT_EQ(Decide("郑强", "t-new").outcome, XLoginDecision::LoggedIn);
    teacher = m_found.GetAt(0);
    teacher->m_strName = QStringLiteral("ADMIN");
    const QString adminDigest = m_admin.m_strPassword;
    ASSERT_TRUE(ChangePassword(*teacher, QStringLiteral("t-newer"), m_admin));
    EXPECT_EQ(m_admin.m_strPassword, adminDigest);
    EXPECT_EQ(ReadSetting(QStringLiteral("Global"), QStringLiteral("AdminMD5Pwd"), QString()),
              Md5HexW(QStringLiteral("a-new")));
    EXPECT_EQ(Decide("admin", "a-new").outcome, XLoginDecision::LoggedIn);
    EXPECT_EQ(Decide("郑强", "t-newer").outcome, XLoginDecision::LoggedIn);
}

} // namespace
