#include "LoginRules.h"

#include "CMD5.h"
#include "CXArray.h"
#include "CXItem.h"
#include "FormatString.h"
#include "IdentityChecks.h"
#include "OperLog.h"
#include "WebLogins.h"

#include <algorithm>

bool IsPasswordOf(const QString& password, CXItem& user)
{
    return Md5HexW(password).compare(user.GetPassword(false), Qt::CaseInsensitive) == 0;
}

XLoginDecision DecideLogin(const QString& userText, const QString& password, CXItem& admin,
                           const std::function<bool(const QString&, CXArray&)>& findUsers, CXArray& found)
{
    XLoginDecision d;
    if (userText.isEmpty()) {
        d.outcome = XLoginDecision::NoUser;
        d.message = QStringLiteral("输入或下拉选择一个用户！");
        return d;
    }
    CXItem* user = nullptr;
    if (userText.compare(admin.m_strName, Qt::CaseInsensitive) == 0) {
        user = &admin;
    } else {
        found.RemoveAll();
        if (!findUsers(userText, found))
            return d; // reported by the lookup
        const QString kind = ClassifyPersonText(userText);
        if (found.GetSize() == 0) {
            d.outcome = XLoginDecision::NotFound;
            d.message = FormatString(u"未找到 “%s” ！", kind);
            return d;
        }
        if (found.GetSize() > 1) {
            d.outcome = XLoginDecision::Several;
            d.message = FormatString(u"存在多个用户登记了该%s ，请尝试使用其它登录方式！", kind);
            return d;
        }
        user = found.GetAt(0);
    }
    if (!IsPasswordOf(password, *user)) {
        d.outcome = XLoginDecision::WrongPassword;
        d.message = QStringLiteral("密码不正确！");
        d.atPassword = true;
        return d;
    }
    d.outcome = XLoginDecision::LoggedIn;
    d.user = user;
    return d;
}

QString DefaultPasswordWarning(int teacherCount, const QString& adminStoredDigest, const QString& defaultPassword)
{
    if (teacherCount > 0 || !adminStoredDigest.isEmpty())
        return QString();
    return FormatString(u"[w] 请及时修改默认登录密码 “%s”。", defaultPassword);
}

XPasswordCheck CheckPasswordChange(const QString& oldPassword, const QString& newPassword, const QString& confirmation,
                                   CXItem& user)
{
    XPasswordCheck c;
    if (std::any_of(newPassword.begin(), newPassword.end(), [](QChar ch) { return ch.isSpace(); })) {
        c.field = XPasswordCheck::New;
        c.message = QStringLiteral("密码中不能有空格！");
    } else if (newPassword != confirmation) {
        c.field = XPasswordCheck::Confirm;
        c.message = QStringLiteral("新密码和确认密码不同！");
    } else if (newPassword == oldPassword) {
        c.field = XPasswordCheck::New;
        c.message = QStringLiteral("新密码与原密码相同！");
    } else if (!IsPasswordOf(oldPassword, user)) {
        c.field = XPasswordCheck::Old;
        c.error = true;
        c.message = QStringLiteral("旧密码不正确！");
    }
    return c;
}

bool ChangePassword(CXItem& user, const QString& newPassword, CXItem& admin)
{
    const QString previous = user.m_strPassword;
    user.SetPassword(Md5HexW(newPassword));
    if (!SavePassword(user, user)) {
        user.m_strPassword = previous;
        return false;
    }
    if (&user != &admin && IsBuiltInAdmin(user))
        admin.m_strPassword = user.m_strPassword;
    return true;
}
