#pragma once

#include <QtCore/QString>

#include <functional>

class CXArray;
class CXItem;

// The login rules of the desktop (and of the web's login route): who is meant by the text
// typed as the user, and whether the password fits. Passwords are compared as MD5 digests
// without regard to case; an empty stored digest stands for the module's default password.

struct XLoginDecision
{
    enum Outcome { LoggedIn, NoUser, NotFound, Several, WrongPassword, Failed };
    Outcome outcome = Failed;
    QString message;         // the warning for the user; empty on success and on Failed
    bool atPassword = false; // the warning belongs to the password field, else the user field
    CXItem* user = nullptr;  // LoggedIn: the administrator, or the teacher in `found`
};

// Decides a login. The administrator's name ("Admin", any letter case) selects the built-in
// administrator; any other text is looked up with findUsers (phone number, identity card or
// exact name of a teacher who may log in), whose matches land in `found`. Failed: the
// lookup failed and has been reported.
XLoginDecision DecideLogin(const QString& userText, const QString& password, CXItem& admin,
                           const std::function<bool(const QString&, CXArray&)>& findUsers, CXArray& found);

// Whether the typed password is the user's: its digest against the stored or default one.
bool IsPasswordOf(const QString& password, CXItem& user);

// The login window's warning while the administrator is the only user and still has the
// default password (no stored digest): "[w] 请及时修改默认登录密码 “%s”。"; else empty.
QString DefaultPasswordWarning(int teacherCount, const QString& adminStoredDigest, const QString& defaultPassword);

// The checks of a password change, in order: a blank in the new password, confirmation
// differs, new equals old, old password wrong. Empty when the change may go ahead.
struct XPasswordCheck
{
    enum Field { None, Old, New, Confirm };
    Field field = None;
    bool error = false; // an error (the wrong old password), else a warning
    QString message;
};
XPasswordCheck CheckPasswordChange(const QString& oldPassword, const QString& newPassword, const QString& confirmation,
                                   CXItem& user);

// Stores the new password of the user (teacher record or the administrator's setting), ends
// the user's logins and logs the change; for the administrator the built-in record takes it
// too. On failure (reported) the user keeps the old digest.
bool ChangePassword(CXItem& user, const QString& newPassword, CXItem& admin);
