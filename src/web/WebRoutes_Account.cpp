// The account routes: the start page, logging in by password or SMS code, the SMS code,
// changing and resetting passwords, switching between the identities of a session and
// logging out.
#include "WebRoutes.h"

#include "CHead.h"
#include "CHttpRequest.h"
#include "CHttpSession.h"
#include "CModule.h"
#include "CXAccessor.h"
#include "CXArray.h"
#include "CXDBSession.h"
#include "CXMap.h"
#include "CXXmlDoc.h"
#include "HttpParse.h"
#include "LoginThrottle.h"
#include "OperLog.h"
#include "RecordConsts.h"
#include "Resources.h"
#include "Settings.h"
#include "SmsSender.h"
#include "WebLogins.h"
#include "XDateTime.h"
#include "XString.h"

#include <memory>
#include <mutex>

namespace xInternet {

namespace {

// Checks the SMS code sent back with the phone it went to; answers 108 or 107 itself and
// returns false when the code is expired or wrong.
bool AcceptSmsCode(CHttpRequest& request, const QString& code, const QString& phone)
{
    switch (request.CheckSessionCode(kSmsCodeAlphabet, code, phone)) {
    case XCodeCheck::Expired:
        request.WriteXmlResult(ERR_ExpireSmsCode, QStringLiteral("短信验证码已过期，请重新获取。"), 0);
        return false;
    case XCodeCheck::Wrong:
        request.WriteXmlResult(ERR_ErrorSmsCode, QStringLiteral("短信验证码不正确。"), 0);
        return false;
    case XCodeCheck::Ok:
        break;
    }
    return true;
}

constexpr int kKeyLogin = 1252;    // allowed to log in
constexpr int kKeyEmployed = 1126; // teachers: still employed on that day
constexpr int kKeyUser = 1135;     // name, identity-card number or phone
constexpr int kKeyPhone = 1284;    // phone of a contact account

bool IsPhone(const QString& text)
{
    if (text.size() != 11 || text[0] != u'1' || text[1] < u'3' || text[1] > u'9')
        return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

bool IsArtCodeText(const QString& text)
{
    if (text.size() != 4)
        return false;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    }
    return true;
}

// The built-in administrator with the password stored now (a web or desktop change may
// have replaced the one read at start-up).
std::unique_ptr<CXItem> LoadAdmin()
{
    auto admin = std::make_unique<CXItem>();
    BuiltInAdmin().CopyTo(admin.get());
    admin->m_nMduID = MDU_TEACHER;
    admin->m_nID = 0;
    admin->m_nRightRole = 2;
    admin->SetPassword(ReadSetting(QStringLiteral("Global"), QStringLiteral("AdminMD5Pwd"), QString()));
    return admin;
}

QString AccountKey(int mduId, int id) { return QStringLiteral("%1:%2").arg(mduId).arg(id); }
QString AddressKey(const QString& ip) { return QStringLiteral("a:") + ip; }

// The person's own name (what the log and the restored sessions show), else the title.
QString RealNameOf(const CXItem& record)
{
    if (const CHeads* heads = record.GetHeads())
        if (const CHead* h = heads->FindByColumn(QStringLiteral("RealName")))
            if (const QString name = record.GetRawText(h); !name.isEmpty())
                return name;
    return record.m_strName;
}

enum class XLookup { Found, NotFound, Repeat, Failed };

// The login account by name and/or phone: students first, then teachers; allowed to log
// in, and teachers still employed tomorrow.
XLookup LookupAccount(const QString& user, const QString& phone, std::unique_ptr<CXItem>& found)
{
    CXMap query;
    query.SetText(kKeyLogin, QStringLiteral("1"));
    query.SetDate(kKeyEmployed, XDateTime(static_cast<double>(static_cast<int>(XDateTime::Today().Day()) + 1)));
    if (!user.isEmpty())
        query.SetPlainText(kKeyUser, user);
    if (!phone.isEmpty())
        query.SetPlainText(kKeyPhone, phone);
    for (int mduId : {int(MDU_STUDENT), int(MDU_TEACHER)}) {
        CModule* module = FindModule(mduId);
        if (!module)
            continue;
        CXArray items;
        if (!module->QueryItems(items, query, true, false))
            return XLookup::Failed;
        if (items.IsEmpty())
            continue;
        if (items.GetSize() > 1)
            return XLookup::Repeat;
        found.reset(items.Detach(0));
        found->m_pArray = nullptr; // the array goes with this function
        return XLookup::Found;
    }
    return XLookup::NotFound;
}

// One record of a module by ID; Failed only when the query failed.
XLookup ReadRecord(int mduId, int id, std::unique_ptr<CXItem>& found)
{
    CModule* module = FindModule(mduId);
    if (!module)
        return XLookup::NotFound;
    CXMap query;
    query.SetText(QKEY_IDS, QString::number(id));
    CXArray items;
    if (!module->QueryItems(items, query, true, false))
        return XLookup::Failed;
    for (int i = 0; i < items.GetSize(); ++i)
        if (items[i]->m_nID == id) {
            found.reset(items.Detach(i));
            found->m_pArray = nullptr;
            return XLookup::Found;
        }
    return XLookup::NotFound;
}

// The identity a session keeps for an account: who, under which role and rights.
std::unique_ptr<CXItem> IdentityOf(const CXItem& account)
{
    auto identity = std::make_unique<CXItem>();
    identity->m_nMduID = account.m_nMduID;
    identity->m_nID = account.m_nID;
    identity->m_strName = IsBuiltInAdmin(account) ? account.m_strName : RealNameOf(account);
    identity->m_nRightRole = account.m_nMduID == MDU_TEACHER ? account.m_nRightRole : 0;
    identity->m_strRightData = identity->m_nRightRole == 1 ? account.m_strRightData : QString();
    identity->m_strPassword = account.m_strPassword;
    identity->m_dtDate = XClock::Now();
    return identity;
}

// The open logins of a session follow it to its new id, so a restart restores them there.
bool MoveOpenLogins(const QString& from, const QString& to)
{
    CXDBSession session;
    session.Connect();
    CXAccessor cmd;
    if (!cmd.Prepare(session, QStringLiteral("UPDATE TB_OPERLOG SET UserSession=? WHERE UserSession=? AND "
                                             "SessionEnd=0 AND TypeID=%1")
                                  .arg(static_cast<int>(OPER_LOGIN))) ||
        !cmd.SetParamText(1, to) || !cmd.SetParamText(2, from) || !cmd.Execute()) {
        ReportDbError(QStringLiteral("更换会话编号"), &cmd, QString());
        return false;
    }
    return true;
}

} // namespace

// --- the start page ------------------------------------------------------------------------

void CHttpRequest::OnBind()
{
    const bool menu = !m_user.m_strName.isEmpty() && m_strPath.isEmpty();
    if (!m_params.contains(QStringLiteral("xsl")))
        m_params.insert(QStringLiteral("xsl"), menu ? QStringLiteral("modules") : QStringLiteral("default"));
    QString body;
    if (menu) {
        auto attr = [](const QString& name, const QString& value) {
            return QStringLiteral(" %1=\"%2\"").arg(name, CXXmlDoc::EscapeXmlText(value, true));
        };
        QString modules, fastopers;
        for (CModule* module : GetModules()) {
            const int mduId = module->GetMduID();
            if (!module->IsHidden() && module->HasRight(m_user, RIGHT_QRY))
                modules += QStringLiteral("<module") + attr(QStringLiteral("mduid"), QString::number(mduId)) +
                           attr(QStringLiteral("name"), LoadCommandText(mduId)) +
                           attr(QStringLiteral("group"), module->GetGroupName()) +
                           attr(QStringLiteral("memo"), module->GetDescription()) + QStringLiteral("/>");
            const int cmd = module->GetAddNewCmd();
            if (cmd && module->HasRight(m_user, RIGHT_ADD))
                fastopers += QStringLiteral("<fastoper") + attr(QStringLiteral("mduid"), QString::number(mduId)) +
                             attr(QStringLiteral("cmdid"), QString::number(cmd)) +
                             attr(QStringLiteral("name"), LoadCommandText(cmd)) +
                             attr(QStringLiteral("memo"), LoadCommandPrompt(cmd)) + QStringLiteral("/>");
        }
        body = QStringLiteral("<modules>") + modules + QStringLiteral("</modules><fastopers>") + fastopers +
               QStringLiteral("</fastopers>");
    }
    CXXmlDoc doc;
    doc.SetDocText(QStringLiteral("<r>") + body + QStringLiteral("</r>"));
    AddPageHeader(doc, true);
    WriteXmlPage(doc);
}

// --- login ---------------------------------------------------------------------------------

void CHttpRequest::OnLogin()
{
    const QString username = GetParamText(QStringLiteral("username")).trimmed();
    const QString password = GetParamText(QStringLiteral("password")).trimmed();
    const QString phone = GetParamText(QStringLiteral("phone")).trimmed();
    const QString smscode = GetParamText(QStringLiteral("smscode")).trimmed();
    const QString addressKey = AddressKey(m_user.m_strIP);
    auto tooMany = [this](int seconds) {
        WriteXmlResult(ERR_FailMsg, QStringLiteral("登录失败次数过多，请 %1 秒后再试。").arg(seconds), 0);
    };

    std::unique_ptr<CXItem> account;
    bool checkPassword = true;
    if (!username.isEmpty() && EqualsNoCase(username, BuiltInAdmin().m_strName)) {
        if (const int wait = LoginThrottle().WaitSeconds(addressKey))
            return tooMany(wait);
        account = LoadAdmin();
    } else if (!phone.isEmpty()) {
        if (IsPhone(username) || !IsPhone(phone))
            return (void)WriteHttpResponse(400, 0, QByteArray(), CACHE_NONE, QString());
        // a code already proves the phone, and is limited in tries itself
        if (!AcceptSmsCode(*this, smscode, phone))
            return;
        checkPassword = false;
    } else {
        // without a user name the lookup would take the school's only account, if it has one
        if (username.isEmpty() || !IsPasswordDigest(password))
            return (void)WriteHttpResponse(400, 0, QByteArray(), CACHE_NONE, QString());
        if (const int wait = LoginThrottle().WaitSeconds(addressKey))
            return tooMany(wait);
    }
    if (!account) {
        switch (LookupAccount(username, checkPassword ? QString() : phone, account)) {
        case XLookup::Failed:
            return (void)WriteHttpResponse(500, 0, QByteArray(), CACHE_NONE, QString());
        case XLookup::NotFound:
            if (checkPassword)
                LoginThrottle().Failed(addressKey);
            return WriteXmlResult(ERR_NotFound, QStringLiteral("没有找到该用户，或该用户不允许登录。"), 0);
        case XLookup::Repeat:
            return WriteXmlResult(ERR_Repeat,
                                  checkPassword ? QStringLiteral("找到多个同名用户，请输入手机号码。")
                                                : QStringLiteral("该手机号码有多个用户，请同时输入姓名。"),
                                  0);
        case XLookup::Found:
            break;
        }
    }
    const QString accountKey = AccountKey(account->m_nMduID, account->m_nID);
    if (checkPassword) {
        if (const int wait = LoginThrottle().WaitSeconds(accountKey))
            return tooMany(wait);
        if (account->GetPassword(false).compare(password, Qt::CaseInsensitive) != 0) {
            LoginThrottle().Failed(accountKey);
            LoginThrottle().Failed(addressKey);
            return WriteXmlResult(ERR_ErrorPassword, QStringLiteral("密码不正确。"), 0);
        }
    }

    // Bind the identity and give the session a new id: an id someone planted in this
    // browser before the login must not become a logged-in one. A WeChat session keeps its
    // id: it is made from the WeChat user and carries a MAC, so nobody can plant it, and the
    // WeChat binding lives by it.
    std::unique_ptr<CXItem> identity = IdentityOf(*account);
    identity->m_strIP = m_user.m_strIP;
    const QString oldId = m_user.m_strSession;
    const QString newId = IsGeneratedSessionId(oldId) ? GenerateSessionId() : oldId;
    bool bound = false, missing = false;
    {
        std::lock_guard lock(SessionLock());
        auto it = SessionMap().find(oldId);
        if (it == SessionMap().end() || newId.isEmpty()) {
            missing = true;
        } else {
            for (const CXItem* other : it->second->Identities())
                bound = bound || (other->m_nMduID == identity->m_nMduID && other->m_nID == identity->m_nID);
            if (!bound) {
                std::unique_ptr<CHttpSession> web = std::move(it->second);
                SessionMap().erase(it);
                for (CXItem* other : web->Identities())
                    other->m_strSession = newId;
                identity->m_strSession = newId;
                identity->CopyTo(&m_user);
                m_user.m_strSession = newId;
                CXItem* added = identity.release();
                web->AddIdentity(added);
                web->SetCurrent(added);
                SessionMap().emplace(newId, std::move(web));
            }
        }
    }
    if (missing)
        return (void)WriteHttpResponse(500, 0, QByteArray(), CACHE_NONE, QString());
    if (bound)
        return WriteXmlResult(ERR_HasBound, QStringLiteral("该用户已经登录。"), 0);
    if (checkPassword)
        LoginThrottle().Succeeded(accountKey);
    if (newId != oldId)
        MoveOpenLogins(oldId, newId);
    // the row carries the session id: a restart restores the login from it
    WriteOperLog(OPER_LOGIN, m_user, 0, 0, QString(), QString());
    WriteXmlResult(ERR_OK, QString(), 0);
}

// --- the SMS code ----------------------------------------------------------------------------

void CHttpRequest::OnSendSms()
{
    const QString phone = GetParamText(QStringLiteral("phone")).trimmed();
    const QString artcode = GetParamText(QStringLiteral("artcode")).trimmed();
    if (!IsPhone(phone) || !IsArtCodeText(artcode))
        return (void)WriteHttpResponse(400, 0, QByteArray(), CACHE_NONE, QString());

    // The picture code is compared without regard to case, and used up like any code: a
    // right one once, a wrong one counts as a try.
    const QString pending = MakeSessionCode(kArtCodeAlphabet, false);
    const bool same = !pending.isEmpty() && pending.compare(artcode, Qt::CaseInsensitive) == 0;
    if (CheckSessionCode(kArtCodeAlphabet, same ? pending : artcode) != XCodeCheck::Ok)
        return WriteXmlResult(ERR_ErrorArtCode, QStringLiteral("图形验证码不正确。"), 0);

    const XDateTime now = XClock::Now();
    {
        std::lock_guard lock(SessionLock());
        auto it = SessionMap().find(m_user.m_strSession);
        if (it == SessionMap().end())
            return (void)WriteHttpResponse(500, 0, QByteArray(), CACHE_NONE, QString());
        const XDateTime& last = it->second->m_dtLastSms;
        if (last.Day() > 0 && (now.Day() - last.Day()) * 24 * 60 < 1)
            return WriteXmlResult(ERR_BusySmsCode, QStringLiteral("短信验证码发送太频繁，请稍后再试。"), 0);
    }
    const auto sender = SmsSender().Get();
    if (!sender)
        return WriteXmlResult(ERR_FailedSmsCode, QStringLiteral("发送短信验证码失败。"), 0);
    const QString code = MakeSessionCode(kSmsCodeAlphabet, true, phone);
    if (code.isEmpty())
        return (void)WriteHttpResponse(500, 0, QByteArray(), CACHE_NONE, QString());
    switch ((*sender)(phone, code)) {
    case XSmsSend::NoConnection:
        return (void)WriteHttpResponse(500, 0, QByteArray(), CACHE_NONE, QString());
    case XSmsSend::Failed:
        return WriteXmlResult(ERR_FailedSmsCode, QStringLiteral("发送短信验证码失败。"), 0);
    case XSmsSend::Sent:
        break;
    }
    {
        std::lock_guard lock(SessionLock());
        auto it = SessionMap().find(m_user.m_strSession);
        if (it != SessionMap().end())
            it->second->m_dtLastSms = now;
    }
    WriteXmlResult(ERR_OK, QString(), 0);
}

// --- passwords -------------------------------------------------------------------------------

void CHttpRequest::OnResetPwd()
{
    const int mduId = GetParamInt(QStringLiteral("mduid"));
    const int id = GetParamInt(QStringLiteral("id"));
    std::unique_ptr<CXItem> account;
    XLookup found;
    if (mduId && id) {
        // Another person's password: an administrator of that module only. The answer
        // prints the default password, which opens the account.
        CModule* module = FindModule(mduId);
        if ((mduId != MDU_STUDENT && mduId != MDU_TEACHER) || !module || m_user.m_nRightRole != 2 ||
            !module->HasRight(m_user, RIGHT_MDF))
            return (void)WriteHttpResponse(400, 0, QByteArray(), CACHE_NONE, QString());
        found = ReadRecord(mduId, id, account);
    } else {
        const QString username = GetParamText(QStringLiteral("username")).trimmed();
        const QString phone = GetParamText(QStringLiteral("phone")).trimmed();
        const QString smscode = GetParamText(QStringLiteral("smscode")).trimmed();
        if (IsPhone(username) || !IsPhone(phone))
            return (void)WriteHttpResponse(400, 0, QByteArray(), CACHE_NONE, QString());
        if (!AcceptSmsCode(*this, smscode, phone))
            return;
        found = LookupAccount(username, phone, account);
    }
    switch (found) {
    case XLookup::Failed:
        return (void)WriteHttpResponse(500, 0, QByteArray(), CACHE_NONE, QString());
    case XLookup::NotFound:
        return WriteXmlResult(ERR_NotFound, QStringLiteral("没有找到该用户。"), 0);
    case XLookup::Repeat:
        return WriteXmlResult(ERR_Repeat, QStringLiteral("该手机号码有多个用户，请同时输入姓名。"), 0);
    case XLookup::Found:
        break;
    }
    account->SetPassword(QString());
    // Nobody logged in: the person who proved the phone resets their own password.
    CXItem oper;
    (m_user.m_nMduID ? m_user : *account).CopyTo(&oper);
    oper.m_strSession = m_user.m_strSession;
    oper.m_strIP = m_user.m_strIP;
    if (!SavePassword(*account, oper))
        return (void)WriteHttpResponse(500, 0, QByteArray(), CACHE_NONE, QString());
    CXXmlDoc doc;
    doc.SetDocText(QStringLiteral("<r/>"));
    AddPageHeader(doc, false);
    doc.m_nParentPos = doc.m_nMainPos = doc.m_nChildPos = 0;
    if (doc.FindElement()) {
        doc.SetAttribute(doc.m_nMainPos, QStringLiteral("username"), RealNameOf(*account));
        doc.SetAttribute(doc.m_nMainPos, QStringLiteral("defaultpwd"), account->GetDefaultPassword());
    }
    WriteXmlPage(doc);
}

void CHttpRequest::OnMdfPwd()
{
    const QString oldpwd = GetParamText(QStringLiteral("oldpwd")).trimmed();
    const QString newpwd = GetParamText(QStringLiteral("newpwd")).trimmed();
    const QString newpwd2 = GetParamText(QStringLiteral("newpwd2")).trimmed();
    if (!IsPasswordDigest(oldpwd) || !IsPasswordDigest(newpwd) || newpwd2 != newpwd ||
        (m_user.m_nMduID != MDU_STUDENT && m_user.m_nMduID != MDU_TEACHER))
        return (void)WriteHttpResponse(400, 0, QByteArray(), CACHE_NONE, QString());

    std::unique_ptr<CXItem> account;
    if (IsBuiltInAdmin(m_user)) {
        account = LoadAdmin();
    } else {
        switch (ReadRecord(m_user.m_nMduID, m_user.m_nID, account)) {
        case XLookup::Failed:
            return (void)WriteHttpResponse(500, 0, QByteArray(), CACHE_NONE, QString());
        case XLookup::NotFound:
        case XLookup::Repeat:
            return WriteXmlResult(ERR_NotFound, QStringLiteral("没有找到该用户。"), 0);
        case XLookup::Found:
            break;
        }
    }
    if (account->GetPassword(false).compare(oldpwd, Qt::CaseInsensitive) != 0)
        return WriteXmlResult(ERR_ErrorPassword, QStringLiteral("原密码不正确。"), 0);
    account->SetPassword(newpwd);
    if (!SavePassword(*account, m_user))
        return (void)WriteHttpResponse(500, 0, QByteArray(), CACHE_NONE, QString());
    WriteXmlResult(ERR_OK, QString(), 0);
}

// --- identities of the session ---------------------------------------------------------------

void CHttpRequest::OnAlter()
{
    bool number = false;
    const int order = GetParamText(QStringLiteral("order")).trimmed().toInt(&number);
    CXItem now;
    {
        std::lock_guard lock(SessionLock());
        auto it = SessionMap().find(m_user.m_strSession);
        if (!number || it == SessionMap().end() || order < 0 || order >= it->second->Identities().GetSize())
            return (void)WriteHttpResponse(400, 0, QByteArray(), CACHE_NONE, QString());
        CXItem* chosen = it->second->Identities()[order];
        it->second->SetCurrent(chosen);
        chosen->CopyTo(&now);
    }
    now.m_strSession = m_user.m_strSession;
    if (now.m_strIP.isEmpty())
        now.m_strIP = m_user.m_strIP;
    WriteOperLog(OPER_LOGIN, now, 0, 0, QString(), QString());
    WriteXmlResult(ERR_OK, QString(), 0);
}

void CHttpRequest::OnLogout()
{
    const int mduId = GetParamInt(QStringLiteral("mduid"));
    const int id = GetParamInt(QStringLiteral("id"));
    if (mduId && id) {
        // Ending somebody's logins everywhere is an administrator's act.
        if (!FindModule(mduId) || m_user.m_nRightRole != 2)
            return (void)WriteHttpResponse(400, 0, QByteArray(), CACHE_NONE, QString());
        if (!LogoutUserEverywhere(mduId, id, &m_user))
            return (void)WriteHttpResponse(500, 0, QByteArray(), CACHE_NONE, QString());
        return WriteXmlResult(ERR_OK, QString(), 0);
    }

    CXItem left, next;
    bool hadLeaver = false, hasNext = false;
    {
        std::lock_guard lock(SessionLock());
        auto it = SessionMap().find(m_user.m_strSession);
        if (it != SessionMap().end()) {
            CHttpSession& web = *it->second;
            if (CXItem* current = web.GetCurrent()) {
                current->CopyTo(&left);
                hadLeaver = true;
                web.RemoveIdentity(current);
            }
            if (CXItem* current = web.GetCurrent()) {
                current->CopyTo(&next);
                hasNext = true;
            }
        }
    }
    const QString session = m_user.m_strSession;
    const QString ip = m_user.m_strIP;
    if (hadLeaver && !session.isEmpty()) {
        left.m_strSession = session;
        if (left.m_strIP.isEmpty())
            left.m_strIP = ip;
        WriteOperLog(OPER_LOGOUT, left, 0, 0, QString(), QString());
    }
    m_user.Reset();
    if (hasNext)
        next.CopyTo(&m_user);
    m_user.m_strSession = session;
    m_user.m_strIP = ip;
    if (hasNext && !session.isEmpty())
        WriteOperLog(OPER_LOGIN, m_user, 0, 0, QString(), QString());
    WriteXmlResult(ERR_OK, QString(), 0);
}

const std::vector<XRoute>& AccountRoutes()
{
    static const std::vector<XRoute> routes = {
        {"", &CHttpRequest::OnBind, false},
        {"bind", &CHttpRequest::OnBind, false},
        {"login", &CHttpRequest::OnLogin, true},
        {"sendsms", &CHttpRequest::OnSendSms, true},
        {"resetpwd", &CHttpRequest::OnResetPwd, true},
        {"mdfpwd", &CHttpRequest::OnMdfPwd, true},
        {"alter", &CHttpRequest::OnAlter, true},
        {"logout", &CHttpRequest::OnLogout, true},
    };
    return routes;
}

} // namespace xInternet
