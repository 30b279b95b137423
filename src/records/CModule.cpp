#include "CModule.h"

#include "OperLog.h"

#include "CDBPrjOrder.h"
#include "CDBPrjQuery.h"
#include "CHead.h"
#include "CXDBSession.h"
#include "CXItem.h"
#include "FormatString.h"
#include "ModuleGone.h"
#include "Resources.h"
#include "TextUtils.h"
#include "XService.h"
#include "XAppServices.h"
#include "XDateTime.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>

namespace {

std::vector<CModule*>& Modules()
{
    static std::vector<CModule*> modules;
    return modules;
}

// Never destroyed: a module living until the program's static objects go still runs them.
std::vector<XModuleGoneCallback>& GoneCallbacks()
{
    static auto* callbacks = new std::vector<XModuleGoneCallback>;
    return *callbacks;
}

XService<XModuleHost> g_host;
std::atomic<unsigned> g_schemeGeneration{1};

// The document string: "description\nname\ngroup\n\n\n\n".
QString DocumentPart(int mduId, int part)
{
    const QStringList parts = LoadStringText(mduId).split(u'\n');
    return part < parts.size() ? parts[part] : QString();
}

int TodayNumber() { return static_cast<int>(std::trunc(XDateTime::Now().Day())); }

} // namespace

XModuleHost* SetModuleHost(XModuleHost* host) { return g_host.Install(host); }
XModuleHost* GetModuleHost() { return g_host.Get(); }

void InvalidateQuerySchemes() { g_schemeGeneration.fetch_add(1); }

CModule::CModule(int mduId) : m_nMduID(mduId) {}

CModule::~CModule()
{
    UnregisterModule(this);
    for (XModuleGoneCallback callback : GoneCallbacks())
        callback(this);
}

QString CModule::GetName() const { return LoadCommandText(m_nMduID); }
QString CModule::GetDescription() const { return DocumentPart(m_nMduID, 0); }
QString CModule::GetGroupName() const { return DocumentPart(m_nMduID, 2); }

// ---------------------------------------------------------------------------------------
// The shell's part

void CModule::SetDefaultTitle()
{
    if (XModuleHost* host = GetModuleHost())
        host->SetDocumentTitle(*this, GetName());
}

bool CModule::OpenDocument()
{
    XModuleHost* host = GetModuleHost();
    return host && host->OpenDocument(*this);
}

QObject* CModule::GetView() const
{
    XModuleHost* host = GetModuleHost();
    return host ? host->GetView(*this) : nullptr;
}

void CModule::ActivateView()
{
    if (XModuleHost* host = GetModuleHost())
        host->ActivateView(*this);
}

void CModule::UpdateAllViews(int hint)
{
    if (XModuleHost* host = GetModuleHost())
        host->UpdateAllViews(*this, hint);
}

// ---------------------------------------------------------------------------------------
// Operations with a base behaviour

bool CModule::QueryItems(CXArray& items, CXMap query, bool bNoImages, bool bExpectOne)
{
    QStringList conditions;
    BuildQueryConditions(conditions, query);
    CXDBSession session;
    session.Connect();
    return ReadItems(session, items, conditions, bNoImages, bExpectOne, nullptr, query.GetText(ID_FIND_WHAT)) &&
           ReadLinkTitles(session, items);
}

int CModule::GetMaxQueryDate() const { return TodayNumber(); }

QString CModule::GetItemTitleSql() const
{
    const CHeads* heads = GetHeads();
    if (!heads)
        return QString();
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (h->m_nOffset == XOFFSET(CXBase, m_strName) && !h->m_pfnGet && !h->m_strColumn.isEmpty())
            return FormatString(u"SELECT ID, %s AS ItemTitle FROM %s", h->m_strColumn, heads->m_strTable);
    }
    return QString();
}

// ---------------------------------------------------------------------------------------
// Rights

bool CModule::HasRight(const CXItem& user, int bits) const
{
    if ((bits & m_nCaps) != bits)
        return false;
    switch (user.m_nRightRole) {
    case 2:
        return true;
    case 0:
        if (user.m_nMduID == MDU_STUDENT)
            return (bits & m_nStudentRights) == bits;
        if (user.m_nMduID == MDU_TEACHER)
            return (bits & m_nTeacherRights) == bits;
        return false;
    case 1: {
        const int granted = CXMap(user.m_strRightData).GetInt(m_nMduID);
        return (bits & granted) == bits;
    }
    default:
        return false;
    }
}

bool CModule::HasCapability(int bits, bool bTeacherAccount) const
{
    const int word = bTeacherAccount ? m_nTeacherRights : m_nCaps;
    return (bits & word) == bits;
}

QString CModule::GetDefaultPassword() const
{
    const char* key = m_nMduID == MDU_STUDENT ? "DefaultPwd1" : m_nMduID == MDU_TEACHER ? "DefaultPwd0" : nullptr;
    if (!key)
        return QString();
    XAppServices& app = AppServices();
    std::lock_guard lock(app.Mutex());
    return app.SetupValue(QString::fromLatin1(key)).toString();
}

void SetDefaultRightsWords(CModule& module)
{
    static const struct
    {
        int mdu, caps, oper, student, teacher;
    } table[] = {
        {MDU_RECEIPT, 0x5e, 0x5e, 0x02, 0x00},  {MDU_COLLECT, 0x5e, 0x5e, 0x00, 0x00},
        {MDU_EDURCD, 0x1e, 0x1e, 0x02, 0x02},   {MDU_EDUSCH, 0x1e, 0x1e, 0x02, 0x02},
        {MDU_STUDENT, 0x1e, 0x1e, 0x00, 0x00},  {MDU_TEACHER, 0x1e, 0x1e, 0x00, 0x00},
        {MDU_WAGES, 0x02, 0x00, 0x00, 0x02},    {MDU_COURSE, 0x1e, 0x02, 0x00, 0x00},
        {MDU_CHARGE, 0x1e, 0x02, 0x00, 0x00},   {MDU_PRJQUERY, 0x1e, 0x1e, 0x00, 0x00},
        {MDU_PRJORDER, 0x1e, 0x1e, 0x00, 0x00}, {MDU_TEMPL, 0x1e, 0x02, 0x00, 0x00},
        {MDU_OPERLOG, 0x02, 0x02, 0x00, 0x00},
    };
    for (const auto& row : table) {
        if (row.mdu != module.GetMduID())
            continue;
        module.m_nCaps = row.caps;
        module.m_nOperRights = row.oper;
        module.m_nStudentRights = row.student;
        module.m_nTeacherRights = row.teacher;
    }
}

// ---------------------------------------------------------------------------------------
// Schemes

void CModule::GetQuerySchemes(CXArray& schemes)
{
    if (IsHidden())
        return;
    // a failed read reports after the lock is released: a dialog must not keep the web
    // threads waiting for this module's schemes
    XDeferredReports deferred;
    std::lock_guard lock(m_csSchemes);
    const int today = TodayNumber();
    const unsigned generation = g_schemeGeneration.load();
    if (m_querySchemes.IsEmpty() || m_nSchemeDay != today || m_nSchemeGeneration != generation) {
        m_querySchemes.RemoveAll();
        CXMap query;
        query.SetText(QKEY_MODULE, QString::number(m_nMduID));
        if (CModule* schemeModule = FindModule(MDU_PRJQUERY))
            schemeModule->QueryItems(m_querySchemes, query, true, false);
        m_nSchemeDay = today;
        m_nSchemeGeneration = generation;
    }
    for (const CXItem* scheme : m_querySchemes) {
        schemes.AddAdopted(scheme->CopyTo(nullptr));
    }
}

void CModule::AddQueryScheme(CXArray& schemes, CXMap& query, int users, const QString& name, const QString& memo,
                             bool bSeparator) const
{
    auto* scheme = new CDBPrjQuery;
    scheme->m_nID = -schemes.GetSize() - m_nMduID * 100;
    scheme->m_nParentID = m_nMduID;
    scheme->m_nUsers = users;
    scheme->m_strRightData = query.ToXml();
    scheme->m_strName = name;
    scheme->m_strMemo = memo;
    scheme->m_bSeparator = bSeparator ? 1 : 0;
    schemes.AddAdopted(scheme);
    query.RemoveAll();
}

void CModule::AddBuiltInHeadSchemes(CXArray& schemes) const
{
    const CHeads* heads = GetHeads();
    if (!heads)
        return;
    QList<int> view, brief, detail;
    int nView = 0, nBrief = 0, nDetail = 0;
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        view.append(h->m_nColView ? nView++ : -1);
        brief.append(h->m_nColBrief ? nBrief++ : -1);
        detail.append(h->m_nColDetail ? nDetail++ : -1);
    }
    const QString viewText = JoinInts(view);
    const QString briefText = JoinInts(brief);
    const QString detailText = JoinInts(detail);
    auto add = [&](int idOffset, const char16_t* name, const char16_t* memo, const QString& setup) {
        auto* scheme = new CDBPrjOrder;
        scheme->m_nID = -m_nMduID * 100 - idOffset;
        scheme->m_nParentID = m_nMduID;
        scheme->m_strName = QString::fromUtf16(name);
        scheme->m_strMemo = QString::fromUtf16(memo);
        scheme->m_strRightData = setup;
        schemes.AddAdopted(scheme);
    };
    if (!viewText.isEmpty())
        add(0, u"默认", u"显示重要信息。", viewText);
    if (briefText != viewText)
        add(1, u"简要", u"显示简要信息。", briefText);
    if (detailText != viewText && detailText != briefText)
        add(2, u"详细", u"显示详细信息。", detailText);
}

// ---------------------------------------------------------------------------------------
// The module list

const std::vector<CModule*>& GetModules() { return Modules(); }

void RegisterModule(CModule* module)
{
    if (module && std::find(Modules().begin(), Modules().end(), module) == Modules().end())
        Modules().push_back(module);
}

void UnregisterModule(CModule* module)
{
    auto& list = Modules();
    list.erase(std::remove(list.begin(), list.end(), module), list.end());
}

void AddModuleGoneCallback(XModuleGoneCallback callback)
{
    auto& callbacks = GoneCallbacks();
    if (callback && std::find(callbacks.begin(), callbacks.end(), callback) == callbacks.end())
        callbacks.push_back(callback);
}

CModule* FindModule(int mduId)
{
    if (mduId == 0)
        return nullptr;
    for (CModule* m : Modules())
        if (m->GetMduID() == mduId)
            return m;
    return nullptr;
}
