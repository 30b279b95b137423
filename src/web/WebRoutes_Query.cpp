// The web twin of a module's list view ("query": lists, a record's detail and edit view)
// and the small choosers the pages open (printers, print templates, records, input history).
#include "WebRoutes.h"

#include "CDBPrjQuery.h"
#include "CHead.h"
#include "CHttpRequest.h"
#include "CHttpSession.h"
#include "CModule.h"
#include "CXArray.h"
#include "CXItem.h"
#include "CXXmlDoc.h"
#include "OperLog.h"
#include "RecordLookups.h"
#include "Resources.h"
#include "TextUtils.h"
#include "WebItemXml.h"
#include "CWxRcver.h"
#include "CWxTmpl.h"
#include "WebQueryMap.h"
#include "WxTmplMsg.h"
#include "XPrinterCatalog.h"

#include <algorithm>
#include <mutex>

namespace xInternet {

namespace {

constexpr int kPerPage = 30;

QString Flag(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }

// Appends an element as the last child of `parent` and returns its position.
int AddChild(CXXmlDoc& doc, int parent, const QString& name, const QString& text = QString())
{
    doc.m_nMainPos = parent;
    doc.m_nChildPos = 0;
    while (doc.FindChildElement()) {}
    doc.AddElement(name, text, CXXmlDoc::ADD_AS_CHILD);
    return doc.m_nChildPos;
}

// Leaves the document positioned so that the next WriteXml appends after root's last child.
void ToAppendAfterLastChild(CXXmlDoc& doc, int root)
{
    doc.m_nMainPos = root;
    doc.m_nChildPos = 0;
    while (doc.FindChildElement()) {}
    doc.m_nParentPos = root;
    doc.m_nMainPos = doc.m_nChildPos;
    doc.m_nChildPos = 0;
}

int RootOf(CXXmlDoc& doc)
{
    doc.m_nParentPos = doc.m_nMainPos = doc.m_nChildPos = 0;
    doc.FindElement();
    return doc.m_nMainPos;
}

void AnswerBare(CHttpRequest& request, int status)
{
    request.WriteHttpResponse(status, 0, QByteArray(), CACHE_NONE, QString());
}

// Whether the scheme is meant for the role: 2 everybody, 0 operators and administrators,
// 1 student and teacher accounts.
bool SchemeFitsRole(int audience, int role)
{
    return audience == 2 || (audience == 0 && role != 0) || (audience == 1 && role == 0);
}

void AvailableSchemes(CModule& module, int role, CXArray& out)
{
    CXArray all(nullptr, true);
    module.GetQuerySchemes(all);
    for (const CXItem* item : all) {
        const auto* scheme = dynamic_cast<const CDBPrjQuery*>(item);
        if (scheme && SchemeFitsRole(scheme->m_nUsers, role))
            out.AddAdopted(scheme->CopyTo(nullptr));
    }
}

void WriteConditions(CXXmlDoc& doc, int root, const CModule& module, const CXMap& query)
{
    const int conditions = AddChild(doc, root, QStringLiteral("QueryConditions"));
    for (const auto& option : module.m_options) {
        const int key = option->m_nKey;
        const int c = AddChild(doc, conditions, QStringLiteral("condition"));
        doc.SetAttribute(c, QStringLiteral("type"), QString::number(option->m_nKind));
        doc.SetAttribute(c, QStringLiteral("id"), QString::number(key));
        doc.SetAttribute(c, QStringLiteral("name"), option->m_strCaption);
        doc.SetAttribute(c, QStringLiteral("readonly"), QString::number(option->m_bReadOnly));
        switch (option->m_nKind) {
        case QUERY_FIND:
        case QUERY_HIDE:
            doc.SetAttribute(c, QStringLiteral("set"), Flag(query.Has(key)));
            doc.SetAttribute(c, QStringLiteral("val"), query.GetText(key));
            break;
        case QUERY_DATE:
        case QUERY_MONTH: {
            const XDateTime date = query.Has(key) ? query.GetDate(key) : option->m_dtDefault;
            doc.SetAttribute(c, QStringLiteral("set"), Flag(query.Has(key)));
            doc.SetAttribute(c, QStringLiteral("val"),
                             date.Format(option->m_nKind == QUERY_DATE ? QStringLiteral("%Y-%m-%d")
                                                                       : QStringLiteral("%Y-%m")));
            break;
        }
        case QUERY_ITEM: {
            CXArray refs(nullptr, true);
            const int n = query.GetItems(key, &refs);
            doc.SetAttribute(c, QStringLiteral("set"), Flag(n > 0));
            for (const CXItem* ref : refs) {
                const int i = AddChild(doc, c, QStringLiteral("item"), ref->m_strName);
                doc.SetAttribute(i, QStringLiteral("itemid"), QString::number(ref->m_nID));
                doc.SetAttribute(i, QStringLiteral("mduid"), QString::number(ref->m_nMduID));
            }
            break;
        }
        case QUERY_OPTION:
            doc.SetAttribute(c, QStringLiteral("set"), Flag(query.Has(key)));
            for (qsizetype i = 0; i < option->m_arrTexts.size() && i < option->m_arrValues.size(); ++i) {
                const int o = AddChild(doc, c, QStringLiteral("option"), option->m_arrTexts[i]);
                // stored lists come with "," from the web and the SQL, with "|" from older maps
                doc.SetAttribute(o, QStringLiteral("checked"),
                                 Flag(query.Has(key) && query.ListHas(key, option->m_arrValues[i])));
                doc.SetAttribute(o, QStringLiteral("val"), QString::number(option->m_arrValues[i]));
            }
            break;
        default:
            break;
        }
    }
}

// A chooser's answer: <r errid itemunit itemtype><col id mark>title</col>...</r>.
struct XChoice
{
    QString text;
    int id = 0;
    QString mark;
};

void WriteChoices(CHttpRequest& request, const QString& unit, const QString& type, const QList<XChoice>& choices)
{
    CXXmlDoc doc(QStringLiteral("<r/>"));
    const int root = RootOf(doc);
    doc.SetAttribute(root, QStringLiteral("errid"), QString::number(ERR_OK));
    doc.SetAttribute(root, QStringLiteral("itemunit"), unit);
    doc.SetAttribute(root, QStringLiteral("itemtype"), type);
    for (const XChoice& choice : choices) {
        const int col = AddChild(doc, root, QStringLiteral("col"), choice.text);
        doc.SetAttribute(col, QStringLiteral("id"), QString::number(choice.id));
        doc.SetAttribute(col, QStringLiteral("mark"), choice.mark);
    }
    request.WriteXmlPage(doc);
}

QList<XChoice> RecordChoices(const CXArray& items)
{
    QList<XChoice> choices;
    for (const CXItem* item : items)
        choices.append({item->GetTitleText(), item->m_nID, item->GetMarkText()});
    return choices;
}

bool LoggedIn(const CXItem& user) { return user.m_nMduID != 0 && user.m_nID != 0; }

bool MayPrintSomewhere(const CXItem& user)
{
    const auto& modules = GetModules();
    return std::any_of(modules.begin(), modules.end(),
                       [&user](const CModule* m) { return m->HasRight(user, RIGHT_PRT); });
}

bool IsPasswordColumn(const CHead& head)
{
    return head.m_nOffset == XOFFSET(CXItem, m_strPassword) ||
           head.m_strColumn.contains(QStringLiteral("password"), Qt::CaseInsensitive);
}

// The text column of the table as the field tables spell them, for a table and column a
// page asked about; empty when the user may not read the input history of that column: it
// must be a stored text field of a module (or of its child lines) the user may query and
// change records of, and never a password.
bool FindHistoryColumn(const CXItem& user, const QString& tab, const QString& col, QString& table, QString& column)
{
    auto match = [&](const CHeads& heads) {
        if (heads.m_strTable.compare(tab, Qt::CaseInsensitive) != 0)
            return false;
        for (int i = 0; i < heads.GetSize(); ++i) {
            const CHead* h = heads.GetAt(i);
            if (h->m_nType != XSW || !h->m_bWritable || h->m_strColumn.isEmpty() || IsPasswordColumn(*h))
                continue;
            if (h->m_strColumn.compare(col, Qt::CaseInsensitive) == 0) {
                table = heads.m_strTable;
                column = h->m_strColumn;
                return true;
            }
        }
        return false;
    };
    for (CModule* module : GetModules()) {
        // the history serves typing into a form: only who may add or change records sees it
        if (!module->HasRight(user, RIGHT_QRY) ||
            !(module->HasRight(user, RIGHT_ADD) || module->HasRight(user, RIGHT_MDF)))
            continue;
        const CHeads* heads = module->GetHeads();
        if (!heads)
            continue;
        if (match(*heads))
            return true;
        std::unique_ptr<CXItem> blank(module->CreateItem());
        for (int i = 0; blank && i < heads->GetSize(); ++i) {
            const CHead* h = heads->GetAt(i);
            if (h->m_nType != XAR || !h->m_nOffset)
                continue;
            const CHeads* lineHeads = blank->Member<CXArray>(h->m_nOffset).GetHeads();
            if (!lineHeads) {
                std::unique_ptr<CXItem> line(blank->Member<CXArray>(h->m_nOffset).CreateItem());
                lineHeads = line ? line->GetHeads() : nullptr;
            }
            if (lineHeads && match(*lineHeads))
                return true;
        }
    }
    return false;
}

} // namespace

void CHttpRequest::OnQuery()
{
    const int userMdu = GetParamInt(QStringLiteral("usermduid"));
    const int userId = GetParamInt(QStringLiteral("userid"));
    CModule* module = FindModule(GetParamInt(QStringLiteral("mduid")));
    const bool one = GetParamInt(QStringLiteral("one")) != 0;
    const int id = GetParamInt(QStringLiteral("id"));
    if (!module)
        return AnswerBare(*this, 400);

    // Links in messages name the identity of the session they are for; the rights that
    // count are those of the identity the request then acts as (a student's link opened
    // while the phone's teacher identity is current must not be refused on the teacher's).
    if (userMdu && userId && (userMdu != m_user.m_nMduID || userId != m_user.m_nID)) {
        bool switched = false;
        {
            std::lock_guard lock(SessionLock());
            auto it = SessionMap().find(m_user.m_strSession);
            if (it != SessionMap().end()) {
                for (CXItem* identity : it->second->Identities()) {
                    if (identity->m_nMduID != userMdu || identity->m_nID != userId)
                        continue;
                    const QString session = m_user.m_strSession;
                    const QString address = m_user.m_strIP;
                    identity->CopyTo(&m_user);
                    m_user.m_strSession = session;
                    if (m_user.m_strIP.isEmpty())
                        m_user.m_strIP = address;
                    it->second->SetCurrent(identity);
                    switched = true;
                    break;
                }
            }
        }
        if (!switched)
            return WriteXmlResult(ERR_FailMsg, QStringLiteral("登录已过期！"), 0);
        WriteOperLog(OPER_LOGIN, m_user, 0, 0, QString(), QString());
    }
    if (!module->HasRight(m_user, RIGHT_QRY))
        return AnswerBare(*this, 400);

    CXMap raw;
    if (!m_body.isEmpty())
        raw = CXMap(m_body);
    if (raw.IsEmpty())
        raw = CXMap(GetParamText(QStringLiteral("query")));
    std::optional<CXMap> clean = WebQueryMap(*module, raw);
    if (!clean)
        return AnswerBare(*this, 400);
    CXMap query = *clean;
    if (query.IsEmpty() && id)
        query.SetPlainText(QKEY_IDS, QString::number(id));

    CXArray schemes(nullptr, true);
    AvailableSchemes(*module, m_user.m_nRightRole, schemes);
    if (query.IsEmpty()) {
        if (one)
            return AnswerBare(*this, 400);
        if (!m_params.contains(QStringLiteral("query")) && !schemes.IsEmpty())
            query = CXMap(static_cast<const CDBPrjQuery*>(schemes[0])->m_strRightData);
    }

    CXMap effective = query;
    CXArray items(nullptr, true);
    if (NarrowToOwnRecords(*module, m_user, effective)) {
        if (!module->QueryItems(items, effective, false, one))
            return AnswerBare(*this, 404);
    }
    const bool spec = module->IsChildListQuery(effective);

    const int count = items.GetSize();
    const int pageCount = (count + kPerPage - 1) / kPerPage;
    const int page = pageCount ? std::clamp(GetParamInt(QStringLiteral("page")), 0, pageCount - 1) : 0;

    CXXmlDoc doc(QStringLiteral("<r/>"));
    AddPageHeader(doc, false);
    const int root = RootOf(doc);
    const CHeads* heads = module->GetHeads();
    const CXMap prev = module->GetPrevPeriod(query);
    const CXMap next = module->GetNextPeriod(query);
    auto attr = [&doc, root](const char* name, const QString& value) {
        doc.SetAttribute(root, QString::fromLatin1(name), value);
    };
    // the default password opens every account still using it: administrators only
    attr("defaultpwd", m_user.m_nRightRole == 2 ? module->GetDefaultPassword() : QString());
    attr("mduid", QString::number(module->GetMduID()));
    attr("itemtype", LoadCommandText(module->GetMduID()));
    attr("itemunit", heads ? heads->m_strItemUnit : QString());
    attr("group", module->GetGroupName());
    attr("memo", module->GetDescription());
    attr("spec", Flag(spec));
    attr("canadd", Flag(module->HasRight(m_user, RIGHT_ADD)));
    attr("canprt", Flag(module->HasRight(m_user, RIGHT_PRT)));
    attr("candel", Flag(module->HasRight(m_user, RIGHT_DEL)));
    attr("canmdf", Flag(module->HasRight(m_user, RIGHT_MDF)));
    attr("canmsg", Flag(module->HasRight(m_user, RIGHT_MSG)));
    attr("query", query.ToXml());
    attr("queryprev", prev.ToXml());
    attr("querynext", next.ToXml());
    attr("queryname", module->GetQueryText(query, true, false));
    attr("queryinfo", module->GetQueryText(query, true, true));
    attr("queryprevinfo", prev.IsEmpty() ? QString() : module->GetQueryText(prev, true, true));
    attr("querynextinfo", next.IsEmpty() ? QString() : module->GetQueryText(next, true, true));
    attr("itemcount", QString::number(count));
    attr("pageindex", QString::number(page));
    attr("pagecount", QString::number(pageCount));
    attr("perpage", QString::number(kPerPage));

    if (!one) {
        const int list = AddChild(doc, root, QStringLiteral("querys"));
        for (const CXItem* item : schemes) {
            const auto* scheme = static_cast<const CDBPrjQuery*>(item);
            const CXMap map(scheme->m_strRightData);
            const int q = AddChild(doc, list, QStringLiteral("query"), map.ToXml());
            doc.SetAttribute(q, QStringLiteral("name"), scheme->m_strName);
            doc.SetAttribute(q, QStringLiteral("memo"), scheme->m_strMemo);
            doc.SetAttribute(q, QStringLiteral("curr"), Flag(map.IsEqual(query)));
        }
        WriteConditions(doc, root, *module, query);
    }

    // WeChat notices: the module's templates for the notice form of one record, and each
    // record's receivers (with every template's message to them on that form)
    const bool notices = module->HasCapability(RIGHT_MSG, false);
    if (notices && one && count == 1) {
        const int list = AddChild(doc, root, QStringLiteral("tmpls"));
        for (const CXItem* item : module->m_wxTmpls) {
            const auto* tmpl = static_cast<const CWxTmpl*>(item);
            const int t = AddChild(doc, list, QStringLiteral("tmpl"));
            doc.SetAttribute(t, QStringLiteral("id"), tmpl->m_strShortId);
            doc.SetAttribute(t, QStringLiteral("title"), tmpl->m_strName);
            doc.SetAttribute(t, QStringLiteral("userdeftitle"), tmpl->GetUserDefTitle());
            doc.SetAttribute(t, QStringLiteral("userdefvalue"), tmpl->GetUserDefContent());
        }
    }

    const int end = std::min(page * kPerPage + kPerPage, count);
    ToAppendAfterLastChild(doc, root);
    for (int i = page * kPerPage; i < end; ++i) {
        WriteWebItemXml(*items[i], doc, one ? 1 : 0, spec ? 1 : 0, &m_user);
        if (!notices || spec)
            continue;
        const int itemPos = doc.m_nMainPos;
        CXArray rcvers(nullptr, true);
        CollectWxRcvers(*items[i], rcvers, &m_user);
        doc.SetAttribute(itemPos, QStringLiteral("wxrcvercount"), QString::number(rcvers.GetSize()));
        if (!one || count != 1 || rcvers.GetSize() == 0)
            continue;
        doc.m_nMainPos = itemPos;
        doc.m_nChildPos = 0;
        doc.AddElement(QStringLiteral("rcvers"));
        const int list = doc.m_nMainPos;
        for (const CXItem* item : rcvers) {
            const auto* rcver = static_cast<const CWxRcver*>(item);
            const int r = AddChild(doc, list, QStringLiteral("rcver"));
            doc.SetAttribute(r, QStringLiteral("mduid"), QString::number(rcver->m_nMduID));
            doc.SetAttribute(r, QStringLiteral("id"), QString::number(rcver->m_nID));
            doc.SetAttribute(r, QStringLiteral("subid"), QString::number(rcver->m_nSubID));
            doc.SetAttribute(r, QStringLiteral("name"), rcver->GetTitleText());
            const int msgs = AddChild(doc, r, QStringLiteral("msgs"));
            for (const CXItem* t : module->m_wxTmpls) {
                const auto* tmpl = static_cast<const CWxTmpl*>(t);
                const int m = AddChild(doc, msgs, QStringLiteral("msg"));
                doc.SetAttribute(m, QStringLiteral("id"), tmpl->m_strShortId);
                doc.SetAttribute(m, QStringLiteral("title"), tmpl->m_strName);
                // the sender's own text is filled in on the phone
                doc.SetAttribute(m, QStringLiteral("preview"),
                                 tmpl->FormatText(QStringLiteral("[MsgUserDef]"), rcver->m_keywords, true));
            }
        }
        ToAppendAfterLastChild(doc, root);
    }
    WriteXmlPage(doc);
}

void CHttpRequest::OnSelPrinter()
{
    if (!LoggedIn(m_user) || !MayPrintSomewhere(m_user))
        return AnswerBare(*this, 400);
    CXArray printers(nullptr, true);
    GetPrinterList(printers, true);
    QList<XChoice> choices;
    for (const CXItem* printer : printers) {
        QString status = printer->GetStatusText();
        if (status.isEmpty())
            status = QStringLiteral("就绪");
        choices.append({printer->m_strName, 0, status});
    }
    WriteChoices(*this, QStringLiteral("个"), QStringLiteral("打印机"), choices);
}

void CHttpRequest::OnSelTempl()
{
    const int mduId = GetParamInt(QStringLiteral("mduid"));
    const CModule* printed = FindModule(mduId);
    CModule* templates = FindModule(MDU_TEMPL);
    if (!LoggedIn(m_user) || !printed || !templates || !printed->HasRight(m_user, RIGHT_PRT))
        return AnswerBare(*this, 400);
    CXMap query;
    query.SetPlainText(IDC_ENABLED, QStringLiteral("1"));
    query.SetPlainText(QKEY_MODULE, QString::number(mduId));
    CXArray items(nullptr, true);
    if (!templates->QueryItems(items, query, true, false))
        return AnswerBare(*this, 500);
    const CHeads* heads = templates->GetHeads();
    WriteChoices(*this, heads ? heads->m_strItemUnit : QString(), LoadCommandText(MDU_TEMPL), RecordChoices(items));
}

void CHttpRequest::OnSelItem()
{
    CModule* module = FindModule(GetParamInt(QStringLiteral("mduid")));
    if (!module || !module->HasRight(m_user, RIGHT_QRY))
        return AnswerBare(*this, 400);
    std::optional<CXMap> query = WebQueryMap(*module, CXMap(m_body));
    if (!query)
        return AnswerBare(*this, 400);
    CXArray items(nullptr, true);
    if (NarrowToOwnRecords(*module, m_user, *query) && !module->QueryItems(items, *query, true, false))
        return AnswerBare(*this, 500);
    const CHeads* heads = module->GetHeads();
    WriteChoices(*this, heads ? heads->m_strItemUnit : QString(), LoadCommandText(module->GetMduID()),
                 RecordChoices(items));
}

void CHttpRequest::OnSelHist()
{
    const QString tab = GetParamText(QStringLiteral("tab"));
    const QString col = GetParamText(QStringLiteral("col"));
    QString table, column;
    if (tab.isEmpty() || col.isEmpty() || !LoggedIn(m_user) || !FindHistoryColumn(m_user, tab, col, table, column))
        return AnswerBare(*this, 400);
    // only the names of the field tables reach the SQL, never the request's text
    CXArray values(nullptr, true);
    ReadInputHistory(values, table, column);
    QList<XChoice> choices;
    for (const CXItem* value : values)
        choices.append({value->m_strName, 0, QStringLiteral("%1 引用").arg(value->m_nID)});
    WriteChoices(*this, QStringLiteral("条"), QStringLiteral("历史记录"), choices);
}

const std::vector<XRoute>& QueryRoutes()
{
    static const std::vector<XRoute> routes = {
        {"query", &CHttpRequest::OnQuery, false},
        {"selitem", &CHttpRequest::OnSelItem, false},
        {"selprinter", &CHttpRequest::OnSelPrinter, false},
        {"seltempl", &CHttpRequest::OnSelTempl, false},
        {"selhist", &CHttpRequest::OnSelHist, false},
    };
    return routes;
}

} // namespace xInternet
