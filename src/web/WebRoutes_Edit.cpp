// The routes that change records from a phone (new records, child lines, single fields,
// deleting, automatic fill), print them on this computer, and change the preferences or
// update the program.
#include "WebRoutes.h"

#include "CDBSetup.h"
#include "CDBTempl.h"
#include "CHead.h"
#include "CHttpRequest.h"
#include "CHttpSession.h"
#include "CModule.h"
#include "CXArray.h"
#include "CXPrintTask.h"
#include "CXXmlDoc.h"
#include "RecordSql.h"
#include "RecordWriter.h"
#include "Resources.h"
#include "UpdateServer.h"
#include "WebQueryMap.h"
#include "WebRecordQuery.h"
#include "WebUpdate.h"
#include "XAppServices.h"
#include "XPrinterCatalog.h"

#include <QtCore/QRegularExpression>

#include <memory>
#include <mutex>

namespace xInternet {

namespace {

void AnswerStatus(CHttpRequest& request, int code)
{
    request.WriteHttpResponse(code, 0, QByteArray(), CACHE_NONE, QString());
}

bool IsFieldKey(const QString& key)
{
    static const QRegularExpression form(QStringLiteral("^\\d+_\\d+_\\d+$"));
    return form.match(key).hasMatch();
}

bool HasFormFields(const XParamMap& params)
{
    for (auto it = params.begin(); it != params.end(); ++it)
        if (IsFieldKey(it.key()))
            return true;
    return false;
}

bool IsAccountRecord(const CXItem& item) { return item.m_nMduID == MDU_STUDENT || item.m_nMduID == MDU_TEACHER; }

// Fields of a student or teacher that decide who may log in and with which rights: only an
// administrator sets them, so nobody raises their own role or opens an account by a form.
bool IsAdminOnlyField(const CXItem& item, const CHead* head)
{
    static const QStringList columns = {QStringLiteral("RightRole"), QStringLiteral("RightData"),
                                        QStringLiteral("UserPassword"), QStringLiteral("IsEnabled")};
    return IsAccountRecord(item) && columns.contains(head->m_strColumn, Qt::CaseInsensitive);
}

// Whether two versions of a student or teacher grant the same login: role, rights, password
// and enabled state. The rights also follow from the rights lines of a teacher, so a change
// there shows here too.
bool SameLogin(const CXItem& a, const CXItem& b)
{
    return a.m_nRightRole == b.m_nRightRole && a.m_strRightData == b.m_strRightData &&
           a.m_strPassword == b.m_strPassword && a.m_bEnabled == b.m_bEnabled;
}

// Removes the form values the poster may not set, by the field each key names in the record
// the way FillItemFromParams reads them: administrator-only fields unless the poster is an
// administrator, and with webFormOnly (self-registration) every field not on the web's
// new-record form.
void DropForbiddenParams(const CXItem& item, XParamMap& params, int prefix, int role, bool webFormOnly)
{
    const CHeads* heads = item.GetHeads();
    if (!heads)
        return;
    auto refused = [&](const CHead* head, const CHead* list) {
        if (role != 2 && IsAdminOnlyField(item, head))
            return true;
        if (!webFormOnly)
            return false;
        return list ? list->m_nHttpNew < 1 : head->m_nHttpNew < 1;
    };
    QStringList drop;
    for (auto it = params.begin(); it != params.end(); ++it) {
        const QStringList parts = it.key().split(u'_');
        if (parts.size() != 3 || !IsFieldKey(it.key()))
            continue;
        const int a = parts[0].toInt(), b = parts[1].toInt(), c = parts[2].toInt();
        if (b == 0) {
            // a field of the record itself; anything else in this form is not ours to take
            if (a != prefix || c >= heads->GetSize() || refused(heads->GetAt(c), nullptr))
                drop.append(it.key());
            continue;
        }
        // a field of an existing child line: "list_line_field", for prefix 0 only
        if (prefix != 0 || a >= heads->GetSize()) {
            drop.append(it.key());
            continue;
        }
        const CHead* list = heads->GetAt(a);
        if (list->m_nType != XAR || !list->m_nOffset) {
            drop.append(it.key());
            continue;
        }
        const CXArray& lines = item.Member<CXArray>(list->m_nOffset);
        if (b > lines.GetSize()) {
            drop.append(it.key());
            continue;
        }
        const CHeads* lineHeads = lines[b - 1]->GetHeads();
        if (!lineHeads || c >= lineHeads->GetSize() || refused(lineHeads->GetAt(c), list))
            drop.append(it.key());
    }
    for (const QString& key : drop)
        params.remove(key);
}

// The phone numbers a new student or teacher registers: the lines of their web-form lists
// that belong to their own module (the login accounts).
QStringList RegisteredPhones(const CXItem& record)
{
    QStringList phones;
    const CHeads* heads = record.GetHeads();
    for (int i = 0; heads && i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (h->m_nType != XAR || !h->m_nOffset || h->m_nHttpNew < 1)
            continue;
        for (const CXItem* line : record.Member<CXArray>(h->m_nOffset))
            if (line->m_nMduID == record.m_nMduID && !line->IsModuleItem())
                phones.append(line->m_strName.trimmed());
    }
    return phones;
}

enum class XRead { Ok, Failed, NotFound, Several };

// Reads the one record the query names, with its pictures and long texts: whatever is stored
// afterwards writes those fields too, and must not write them empty.
//
// With a user, a role-0 account (a student's or teacher's own login) reaches only its own
// records, as in the lists: anything else reads as not found.
XRead ReadOne(CModule& module, CXMap query, std::unique_ptr<CXItem>& record, const CXItem* user = nullptr)
{
    if (user && user->m_nRightRole == 0) {
        // narrowing its own module would replace the record asked for by the user's own
        if (user->m_nMduID == module.GetMduID() && SingleRecordId(query) != user->m_nID)
            return XRead::NotFound;
        if (!NarrowToOwnRecords(module, *user, query))
            return XRead::NotFound;
    }
    CXArray items(nullptr, true);
    if (!module.QueryItems(items, query, false, false))
        return XRead::Failed;
    if (items.GetSize() == 0)
        return XRead::NotFound;
    if (items.GetSize() > 1)
        return XRead::Several;
    record.reset(items.Detach(0));
    record->m_pArray = nullptr;
    return XRead::Ok;
}

// Reads the one record a route works on, as the requesting identity may reach it, and
// answers for it when there is none: 500 when the read failed, 102 when it is not there (or
// not the account's own), 400 when the query names several.
bool ReadOneOrAnswer(CHttpRequest& request, CModule& module, const CXMap& query, std::unique_ptr<CXItem>& record)
{
    switch (ReadOne(module, query, record, &request.m_user)) {
    case XRead::Ok:
        return true;
    case XRead::Failed:
        AnswerStatus(request, 500);
        return false;
    case XRead::NotFound:
        request.WriteXmlResult(ERR_NotFound, QStringLiteral("记录不存在或已被删除！"), 0);
        return false;
    case XRead::Several:
        AnswerStatus(request, 400);
        return false;
    }
    return false;
}

// Stores a record a route changed: validated as the desktop validates a save (a stop answers
// 101 with its reason); an account's login, role and rights only as before unless an
// administrator changes them (400 otherwise); 500 when the store fails; else 100 with its ID.
void ValidateAndStore(CHttpRequest& request, CXItem& record, CXItem& earlier)
{
    const CXItem& user = request.m_user;
    const int level = record.Validate(&user, true);
    if (user.m_nRightRole != 2 && IsAccountRecord(record)) {
        std::unique_ptr<CXItem> baseline(earlier.CopyTo(nullptr));
        baseline->Validate(&user, false);
        if (!SameLogin(*baseline, record))
            return AnswerStatus(request, 400);
    }
    if (level >= ST_STOP)
        return request.WriteXmlResult(ERR_FailMsg, record.GetErrorText(), 0);
    if (!SaveItem(nullptr, &record, &earlier, user))
        return AnswerStatus(request, 500);
    request.WriteXmlResult(ERR_OK, QString(), record.m_nID);
}

// The record query of a page: one record by its ID, or a planned class record by its
// timetable and day.
bool ParseOneRecordQuery(const QString& text, CXMap& query)
{
    if (!ParseWebRecordQuery(text, query))
        return false;
    if (SingleRecordId(query) > 0)
        return true;
    return !query.Has(1) && !query.Has(2) && query.Has(MDU_EDUSCH) && query.Has(QKEY_DATE_FROM) &&
           query.Has(QKEY_DATE_TO);
}

// The one record a route's body names, in the module of the "mduid" parameter, for a user
// with the right on it; answers itself (400, or as ReadOneOrAnswer) and returns false when
// there is none to work on.
bool ReadPostedRecord(CHttpRequest& request, int right, std::unique_ptr<CXItem>& record)
{
    CModule* module = FindModule(request.GetParamInt(QStringLiteral("mduid")));
    CXMap query;
    if (!module || !ParseOneRecordQuery(QString::fromUtf8(request.m_body), query) ||
        !module->HasRight(request.m_user, right)) {
        AnswerStatus(request, 400);
        return false;
    }
    return ReadOneOrAnswer(request, *module, query, record);
}

// The child-array field at a position of the module's field table; null when there is none.
const CHead* ChildListAt(const CModule& module, int order)
{
    const CHeads* heads = module.GetHeads();
    if (!heads || order < 1 || order > heads->GetSize() - 1)
        return nullptr;
    const CHead* h = heads->GetAt(order);
    return h->m_nType == XAR && h->m_nOffset ? h : nullptr;
}

// Moves the document's positions so that the next element is appended as the root's last
// child.
int AfterRootChildren(CXXmlDoc& doc)
{
    doc.m_nParentPos = doc.m_nMainPos = doc.m_nChildPos = 0;
    if (!doc.FindElement())
        return 0;
    const int root = doc.m_nMainPos;
    while (doc.FindChildElement()) {}
    doc.m_nParentPos = root;
    doc.m_nMainPos = doc.m_nChildPos;
    doc.m_nChildPos = 0;
    return root;
}

// Strict integer parameters: the preferences take none but whole numbers.
bool ParseInteger(const QString& text, int& value)
{
    bool ok = false;
    value = text.trimmed().toInt(&ok);
    return ok;
}

} // namespace

XHook<QString()>& WebUpdaterDownload()
{
    static XHook<QString()> download{[] { return DownloadUpdater(&WebStopEvent()); }};
    return download;
}

XHook<void()>& WebUpdaterLauncher()
{
    static XHook<void()> launcher;
    return launcher;
}

// --- records -----------------------------------------------------------------------------

void CHttpRequest::OnAddNew()
{
    const int mduId = GetParamInt(QStringLiteral("mduid"));
    CModule* module = FindModule(mduId);
    const QString smsCode = GetParamText(QStringLiteral("smscode")).trimmed();
    const bool update = GetParamInt(QStringLiteral("update")) != 0;
    const bool save = GetParamInt(QStringLiteral("save")) != 0;
    const bool bind = GetParamInt(QStringLiteral("bind")) != 0;
    if (!module) {
        AnswerStatus(*this, 400);
        return;
    }
    const bool mayAdd = module->HasRight(m_user, RIGHT_ADD);
    // Registering oneself: only a student or teacher, only saved and logged in at once, and
    // only with the SMS code sent to the phone being registered. Binding always needs that
    // code, whoever asks.
    const bool selfRegistration = !mayAdd && !smsCode.isEmpty();
    if ((!mayAdd && !selfRegistration) || (selfRegistration && !bind) ||
        (bind && ((mduId != MDU_STUDENT && mduId != MDU_TEACHER) || smsCode.isEmpty()))) {
        AnswerStatus(*this, 400);
        return;
    }
    // Posted values stay in the session's form, which a later save stores: they too come
    // only from a same-origin POST, so another site cannot fill in the form.
    if ((save || bind || HasFormFields(m_params)) && !AcceptStateChange())
        return;
    if (bind && MakeSessionCode(kSmsCodeAlphabet, false).isEmpty()) {
        WriteXmlResult(ERR_ExpireSmsCode, QStringLiteral("验证码已过期，请重新获取！"), 0);
        return;
    }

    std::unique_ptr<CXItem> record;
    {
        std::lock_guard lock(SessionLock());
        auto it = SessionMap().find(m_user.m_strSession);
        CXItem* cached = it != SessionMap().end() ? it->second->GetNewItem(mduId) : nullptr;
        if (!cached) {
            AnswerStatus(*this, 400);
            return;
        }
        std::unique_ptr<CXItem> before(cached->CopyTo(nullptr));
        if (HasFormFields(m_params)) {
            XParamMap fields = m_params;
            DropForbiddenParams(*cached, fields, 0, m_user.m_nRightRole, selfRegistration);
            FillItemFromParams(*cached, fields, 0);
        }
        cached->Validate(&m_user, false);
        if (m_user.m_nRightRole != 2 && IsAccountRecord(*cached)) {
            before->Validate(&m_user, false);
            if (!SameLogin(*before, *cached)) {
                before->CopyTo(cached);
                AnswerStatus(*this, 400);
                return;
            }
        }
        record.reset(cached->CopyTo(nullptr));
    }

    if (save || bind) {
        // The code first: the checks below tell whether a name is taken already, which is
        // not for someone who cannot show the phone is theirs.
        if (bind) {
            const QStringList phones = RegisteredPhones(*record);
            const XCodeCheck check =
                CheckSessionCode(kSmsCodeAlphabet, smsCode, phones.size() == 1 ? phones[0] : QString());
            if (check == XCodeCheck::Expired) {
                WriteXmlResult(ERR_ExpireSmsCode, QStringLiteral("验证码已过期，请重新获取！"), 0);
                return;
            }
            if (check != XCodeCheck::Ok) {
                WriteXmlResult(ERR_ErrorSmsCode,
                               phones.size() == 1 ? QStringLiteral("验证码错误！")
                                                  : QStringLiteral("请填写一个手机号，即接收验证码的手机号！"),
                               0);
                return;
            }
        }
        // the desktop's check before storing a new record, duplicates included
        if (record->Validate(&m_user, true) >= ST_STOP) {
            WriteXmlResult(ERR_FailMsg, record->GetErrorText(), 0);
            return;
        }
        if (!SaveItem(nullptr, record.get(), nullptr, m_user)) {
            AnswerStatus(*this, 500);
            return;
        }
        if (bind) {
            std::lock_guard lock(SessionLock());
            auto it = SessionMap().find(m_user.m_strSession);
            if (it != SessionMap().end()) {
                CXItem* identity = record->CopyTo(nullptr);
                it->second->AddIdentity(identity);
                it->second->SetCurrent(identity);
            }
        }
    }

    CXXmlDoc doc;
    doc.AddElement(QStringLiteral("r"));
    if (!update) {
        AddPageHeader(doc, false);
        const int root = doc.m_nMainPos;
        doc.SetAttribute(root, QStringLiteral("mduid"), QString::number(mduId));
        doc.SetAttribute(root, QStringLiteral("itemtype"), LoadCommandText(mduId));
        doc.SetAttribute(root, QStringLiteral("username"), record->GetTitleText());
        // the default password opens every account still using it: administrators only
        doc.SetAttribute(root, QStringLiteral("defaultpwd"),
                         m_user.m_nRightRole == 2 ? module->GetDefaultPassword() : QString());
        doc.SetAttribute(root, QStringLiteral("query"), record->GetRelateQuery(nullptr, nullptr).ToXml());
    }
    AfterRootChildren(doc);
    record->WriteXml(doc, update ? 2 : 1, 0, &m_user);
    WriteXmlPage(doc);
}

void CHttpRequest::OnAddSub()
{
    const int mduId = GetParamInt(QStringLiteral("mduid"));
    CModule* module = FindModule(mduId);
    const int order = GetParamInt(QStringLiteral("order"));
    const bool update = GetParamInt(QStringLiteral("update")) != 0;
    const bool save = GetParamInt(QStringLiteral("save")) != 0;
    CXMap query;
    const CHead* list = module ? ChildListAt(*module, order) : nullptr;
    if (!list || !ParseOneRecordQuery(GetParamText(QStringLiteral("query")), query) ||
        !module->HasRight(m_user, RIGHT_MDF)) {
        AnswerStatus(*this, 400);
        return;
    }
    if ((save || HasFormFields(m_params)) && !AcceptStateChange())
        return;

    bool cached = false;
    {
        std::lock_guard lock(SessionLock());
        auto it = SessionMap().find(m_user.m_strSession);
        if (it == SessionMap().end()) {
            AnswerStatus(*this, 400);
            return;
        }
        CHttpSession& web = *it->second;
        if (web.m_subParent && web.m_subParent->m_nMduID == mduId &&
            web.m_subParent->GetRelateQuery(nullptr, nullptr).IsEqual(query))
            cached = true;
        else
            web.m_subParent.reset();
    }
    std::unique_ptr<CXItem> read;
    if (!cached) {
        if (!ReadOneOrAnswer(*this, *module, query, read))
            return;
    }

    std::unique_ptr<CXItem> earlier, parent, line;
    {
        std::lock_guard lock(SessionLock());
        auto it = SessionMap().find(m_user.m_strSession);
        if (it == SessionMap().end()) {
            AnswerStatus(*this, 400);
            return;
        }
        CHttpSession& web = *it->second;
        if (!web.m_subParent) {
            if (!read) {
                // another request of the session dropped the cached record meanwhile
                AnswerStatus(*this, 400);
                return;
            }
            web.m_subParent = std::move(read);
        }
        earlier.reset(web.m_subParent->CopyTo(nullptr));
        parent.reset(web.m_subParent->CopyTo(nullptr));
        CXArray& lines = parent->Member<CXArray>(list->m_nOffset);
        std::unique_ptr<CXItem> probe(lines.CreateItem());
        if (!probe) {
            AnswerStatus(*this, 400);
            return;
        }
        if (!web.m_subLine || web.m_subLine->GetHeads() != probe->GetHeads()) {
            probe->Reset();
            web.m_subLine = std::move(probe);
        }
        if (HasFormFields(m_params)) {
            XParamMap fields = m_params;
            DropForbiddenParams(*web.m_subLine, fields, order, m_user.m_nRightRole, false);
            FillItemFromParams(*web.m_subLine, fields, order);
        }
        line.reset(web.m_subLine->CopyTo(nullptr));
        CXItem* added = web.m_subLine->CopyTo(nullptr);
        lines.AddAdopted(added);
        added->m_nParentID = parent->m_nID;
        added->Validate(&m_user, false);
        line->m_pArray = nullptr;
        line->m_status = added->m_status;
        if (save) {
            web.m_subParent.reset();
            web.m_subLine.reset();
        }
    }

    if (!save) {
        CXXmlDoc doc;
        doc.AddElement(QStringLiteral("r"));
        doc.SetAttribute(doc.m_nMainPos, QStringLiteral("errid"), QString::number(ERR_OK));
        AfterRootChildren(doc);
        line->WriteXml(doc, update ? 2 : 1, 0, &m_user);
        WriteXmlPage(doc);
        return;
    }
    if (line->GetStatusLevel() >= ST_STOP) {
        WriteXmlResult(ERR_FailMsg, line->GetErrorText(), 0);
        return;
    }
    ValidateAndStore(*this, *parent, *earlier);
}

void CHttpRequest::OnSetCol()
{
    CModule* module = FindModule(GetParamInt(QStringLiteral("mduid")));
    const QString key = GetParamText(QStringLiteral("key")).trimmed();
    CXMap query;
    if (!module || !ParseOneRecordQuery(GetParamText(QStringLiteral("query")), query) || m_body.isEmpty() ||
        !IsFieldKey(key) || !module->HasRight(m_user, RIGHT_MDF)) {
        AnswerStatus(*this, 400);
        return;
    }
    std::unique_ptr<CXItem> record;
    if (!ReadOneOrAnswer(*this, *module, query, record))
        return;
    std::unique_ptr<CXItem> earlier(record->CopyTo(nullptr));

    XParamMap field;
    field.insert(key, QString::fromUtf8(m_body));
    DropForbiddenParams(*record, field, 0, m_user.m_nRightRole, false);
    const bool allowed = !field.isEmpty();
    FillItemFromParams(*record, field, 0);
    if (!allowed || !field.isEmpty()) {
        // a field the poster may not change, or none of the record's: nothing was taken
        AnswerStatus(*this, 400);
        return;
    }
    ValidateAndStore(*this, *record, *earlier);
}

void CHttpRequest::OnDel()
{
    std::unique_ptr<CXItem> record;
    if (!ReadPostedRecord(*this, RIGHT_DEL, record))
        return;
    const QString refusal = record->GetDeleteError(&m_user);
    if (!refusal.isEmpty()) {
        WriteXmlResult(ERR_FailMsg, refusal, record->m_nID);
        return;
    }
    // an automatic record (a planned class) loses its stored version and shows its
    // generated state again
    if (!DeleteItem(nullptr, record.get(), m_user)) {
        AnswerStatus(*this, 500);
        return;
    }
    WriteXmlResult(ERR_OK, QString(), record->m_nID);
}

void CHttpRequest::OnDelSub()
{
    CModule* module = FindModule(GetParamInt(QStringLiteral("mduid")));
    const int order = GetParamInt(QStringLiteral("order"));
    const int lineId = GetParamInt(QStringLiteral("id"));
    const CHead* list = module ? ChildListAt(*module, order) : nullptr;
    CXMap query;
    if (!list || lineId == 0 || !ParseOneRecordQuery(QString::fromUtf8(m_body), query) ||
        !module->HasRight(m_user, RIGHT_MDF)) {
        AnswerStatus(*this, 400);
        return;
    }
    std::unique_ptr<CXItem> record;
    if (!ReadOneOrAnswer(*this, *module, query, record))
        return;
    std::unique_ptr<CXItem> earlier(record->CopyTo(nullptr));
    CXArray& lines = record->Member<CXArray>(list->m_nOffset);
    int index = -1;
    for (int i = 0; i < lines.GetSize() && index < 0; ++i)
        if (RowIdOf(*lines[i]) == lineId)
            index = i;
    if (index < 0) {
        AnswerStatus(*this, 400);
        return;
    }
    const QString refusal = lines[index]->GetDeleteError(&m_user);
    if (!refusal.isEmpty()) {
        WriteXmlResult(ERR_FailMsg, refusal, record->m_nID);
        return;
    }
    lines.RemoveAt(index);
    if (m_user.m_nRightRole != 2 && IsAccountRecord(*record)) {
        // a teacher's rights follow their rights lines
        std::unique_ptr<CXItem> baseline(earlier->CopyTo(nullptr));
        baseline->Validate(&m_user, false);
        record->Validate(&m_user, false);
        if (!SameLogin(*baseline, *record)) {
            AnswerStatus(*this, 400);
            return;
        }
    }
    if (!SaveItem(nullptr, record.get(), earlier.get(), m_user)) {
        AnswerStatus(*this, 500);
        return;
    }
    WriteXmlResult(ERR_OK, QString(), record->m_nID);
}

void CHttpRequest::OnAutoSet()
{
    std::unique_ptr<CXItem> record;
    if (!ReadPostedRecord(*this, RIGHT_MDF, record))
        return;
    if (!record->CanAutoSet()) {
        AnswerStatus(*this, 500);
        return;
    }
    std::unique_ptr<CXItem> earlier(record->CopyTo(nullptr));
    record->AutoSet();
    if (!SaveItem(nullptr, record.get(), earlier.get(), m_user)) {
        AnswerStatus(*this, 500);
        return;
    }
    WriteXmlResult(ERR_OK, QString(), record->m_nID);
}

// --- printing, preferences, update ---------------------------------------------------------

void CHttpRequest::OnPrint()
{
    const int templId = GetParamInt(QStringLiteral("templ"));
    const int recordId = GetParamInt(QStringLiteral("id"));
    const QString posted = GetParamText(QStringLiteral("printer")).trimmed();
    const bool confirmed = GetParamInt(QStringLiteral("confirmed")) != 0;
    CModule* templates = FindModule(MDU_TEMPL);
    if (!templates || templId <= 0) {
        AnswerStatus(*this, 400);
        return;
    }
    CXMap byId;
    byId.SetText(1, QString::number(templId));
    std::unique_ptr<CXItem> read;
    switch (ReadOne(*templates, byId, read)) {
    case XRead::Ok:
        break;
    case XRead::NotFound:
        WriteXmlResult(ERR_NotFound, QStringLiteral("打印模板不存在或已被删除！"), 0);
        return;
    default:
        AnswerStatus(*this, 500);
        return;
    }
    auto* templ = dynamic_cast<CDBTempl*>(read.get());
    if (!templ) {
        AnswerStatus(*this, 500);
        return;
    }
    templ->Validate(&m_user, false);
    if (templ->GetStatusLevel() >= ST_STOP) {
        WriteXmlResult(ERR_FailMsg, templ->GetErrorText(), 0);
        return;
    }
    CModule* module = FindModule(templ->m_nTemplMduID);
    if (!module || recordId <= 0 || !module->HasRight(m_user, RIGHT_PRT)) {
        AnswerStatus(*this, 400);
        return;
    }
    byId.SetText(1, QString::number(recordId));
    std::unique_ptr<CXItem> record;
    switch (ReadOne(*module, byId, record, &m_user)) {
    case XRead::Ok:
        break;
    case XRead::NotFound:
        WriteXmlResult(ERR_NotFound, QStringLiteral("要打印的记录不存在或已被删除！"), 0);
        return;
    default:
        AnswerStatus(*this, 500);
        return;
    }

    // the template's own printer wins; else the one the phone chose; only real devices
    CXArray printers(nullptr, true);
    GetPrinterList(printers, true);
    auto installed = [&printers](const QString& name) {
        for (const CXItem* p : printers)
            if (!name.isEmpty() && p->m_strName.compare(name, Qt::CaseInsensitive) == 0)
                return p->m_strName;
        return QString();
    };
    QString printer = installed(templ->m_strPrinter);
    if (printer.isEmpty())
        printer = installed(posted);
    if (printer.isEmpty()) {
        WriteXmlResult(ERR_NoPrinter, QStringLiteral("请选择打印机"), 0);
        return;
    }
    if (!confirmed) {
        WriteXmlResult(ERR_NeedConfirm,
                       QStringLiteral("确定在打印机 “%1” 上打印 “%2” 吗？").arg(printer, record->GetTitleText()), 0);
        return;
    }
    // This job's copy of the template carries the printer; nothing is stored. The job renders
    // without widgets here on the connection thread and logs the print only when the printer
    // took it.
    templ->m_strPrinter = printer;
    CXPrintTask task(templ, record.get(), false, false, &m_user, nullptr);
    if (!task.Run()) {
        WriteXmlResult(ERR_FailMsg, QStringLiteral("打印未能完成，请检查打印机！"), 0);
        return;
    }
    WriteXmlResult(ERR_OK, QString(), record->m_nID);
}

void CHttpRequest::OnSetup()
{
    if (m_user.m_nRightRole != 2) {
        AnswerStatus(*this, 400);
        return;
    }
    const bool update = GetParamInt(QStringLiteral("update")) != 0;
    const bool save = GetParamInt(QStringLiteral("save")) != 0;
    const int groupOrder = GetParamInt(QStringLiteral("grouporder"));
    if (save && !AcceptStateChange())
        return;

    CDBSetup setup;
    setup.BeginEdit();
    setup.Validate(&m_user, false);
    const CHeads* heads = setup.GetHeads();
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        const QString key = QStringLiteral("0_0_%1").arg(i);
        if (!m_params.contains(key) || !IsStoredSetupHead(h) || setup.GetAccess(h, &m_user) <= 0)
            continue;
        const QString value = m_params.value(key);
        int number = 0;
        switch (h->m_nType) {
        case XIN: {
            // the desktop's fields take whole numbers within the field's range only
            int min = 0, max = 0;
            setup.GetRange(h, min, max);
            if (h->IsOptionList()) {
                QStringList texts;
                QList<int> values;
                setup.GetOptions(h, texts, values);
                min = 0;
                max = static_cast<int>(texts.size()) - 1;
            }
            if (!ParseInteger(value, number) || number < min || number > max) {
                WriteXmlResult(ERR_FailMsg, QStringLiteral("“%1”的值无效！").arg(h->m_strName), 0);
                return;
            }
            setup.Member<int>(h->m_nOffset) = number;
            break;
        }
        case XIM:
            // a photo uploaded before, by its stored ID; left empty, the logo stays
            if (value.trimmed().isEmpty())
                break;
            if (!ParseInteger(value, number) || number < 0) {
                WriteXmlResult(ERR_FailMsg, QStringLiteral("“%1”的值无效！").arg(h->m_strName), 0);
                return;
            }
            setup.Member<CXImage>(h->m_nOffset).m_nPhotoID = number;
            break;
        case XSW:
            setup.Member<QString>(h->m_nOffset) = value;
            break;
        default:
            break;
        }
    }

    CXXmlDoc doc;
    doc.AddElement(QStringLiteral("r"));
    doc.SetAttribute(doc.m_nMainPos, QStringLiteral("errid"), QString::number(ERR_OK));
    if (save) {
        // validated as the preferences dialog validates before it stores
        if (setup.Validate(&m_user, true) >= ST_STOP) {
            WriteXmlResult(ERR_FailMsg, setup.GetErrorText(), 0);
            return;
        }
        setup.Save(m_user);
        WriteXmlPage(doc);
        return;
    }
    setup.Validate(&m_user, false);
    if (!update) {
        AddPageHeader(doc, true);
        doc.SetAttribute(doc.m_nMainPos, QStringLiteral("grouporder"), QString::number(groupOrder));
    }
    AfterRootChildren(doc);
    setup.WriteXml(doc, 0, 0, &m_user);
    WriteXmlPage(doc);
}

void CHttpRequest::OnUpdate()
{
    if (m_user.m_nRightRole != 2) {
        AnswerStatus(*this, 400);
        return;
    }
    if (AppServices().User()) {
        WriteXmlResult(ERR_FailMsg,
                       QStringLiteral("主程序已登录，为避免影响使用，请在后台注销主程序后再执行更新操作！"), 0);
        return;
    }
    const auto launcher = WebUpdaterLauncher().Get();
    if (!launcher) {
        WriteXmlResult(ERR_FailMsg, QStringLiteral("本机不能从网页启动更新程序，请在主程序中更新。"), 0);
        return;
    }
    const QString error = WebUpdaterDownload()();
    if (!error.isEmpty()) {
        WriteXmlResult(ERR_FailMsg, error, 0);
        return;
    }
    WriteXmlResult(ERR_OK, QString(), 0);
    (*launcher)();
}

const std::vector<XRoute>& EditRoutes()
{
    static const std::vector<XRoute> routes = {
        // the form routes show their forms to a plain GET and check a store themselves
        {"addnew", &CHttpRequest::OnAddNew, false}, {"addsub", &CHttpRequest::OnAddSub, false},
        {"setcol", &CHttpRequest::OnSetCol, true},  {"del", &CHttpRequest::OnDel, true},
        {"delsub", &CHttpRequest::OnDelSub, true},  {"autoset", &CHttpRequest::OnAutoSet, true},
        {"print", &CHttpRequest::OnPrint, true},    {"setup", &CHttpRequest::OnSetup, false},
        {"update", &CHttpRequest::OnUpdate, true},
    };
    return routes;
}

} // namespace xInternet
