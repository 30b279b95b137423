#include "CModuleCommands.h"

#include "CDlgHeads.h"
#include "CDlgQuery.h"
#include "CDBPrjOrder.h"
#include "CDBPrjQuery.h"
#include "CHead.h"
#include "CModule.h"
#include "CXItem.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "ModuleGone.h"
#include "Resources.h"
#include "XAppServices.h"

#include <QtCore/QStringList>

#include <map>
#include <memory>

namespace {

const CXItem* User() { return AppServices().User(); }

const CDBPrjQuery* QueryScheme(const CXArray& schemes, int i)
{
    return i < schemes.GetSize() ? dynamic_cast<const CDBPrjQuery*>(schemes.GetAt(i)) : nullptr;
}

QString HeadsPositions(const CHeads& heads)
{
    QStringList parts;
    for (int i = 0; i < heads.GetSize(); ++i)
        parts << QString::number(heads.GetAt(i)->m_nPos);
    return parts.join(u',');
}

enum : int {
    kQueryLast = ID_QUERY_PRJ00 + kMaxQueryMenuSchemes - 1,
    kHeadsLast = ID_HEADS_PRJ00 + kMaxHeadsMenuSchemes - 1,
};

} // namespace

X_BEGIN_MESSAGE_MAP(CModuleCommands, XCmdTarget)
    X_ON_COMMAND_RANGE(ID_HEADS_PRJ00, ID_QUERY_USER, OnSchemeCommand)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_HEADS_PRJ00, ID_QUERY_USER, OnUpdateSchemeCommand)
    X_ON_COMMAND_RANGE(ID_REL_EDITLOG, ID_REL_TEACHER, OnRelCommand)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_REL_EDITLOG, ID_REL_TEACHER, OnUpdateRelCommand)
    X_ON_COMMAND(ID_FILE_EXPORT, OnFileExport)
    X_ON_COMMAND(ID_FILE_IMPORT, OnFileImport)
    X_ON_UPDATE_COMMAND_UI(ID_FILE_EXPORT, OnUpdateFileCommand)
    X_ON_UPDATE_COMMAND_UI(ID_FILE_IMPORT, OnUpdateFileCommand)
X_END_MESSAGE_MAP()

namespace {

using XTargets = std::map<CModule*, std::unique_ptr<CModuleCommands>>;

// Never destroyed, so that a module destroyed with the program's static objects can still
// be forgotten.
XTargets& Targets()
{
    static auto* targets = new XTargets;
    return *targets;
}

// No target outlives its module: a kept one would refer to a destroyed module.
void ForgetModule(CModule* module) { Targets().erase(module); }

} // namespace

CModuleCommands& ModuleCommands(CModule& module)
{
    static const bool watching = (AddModuleGoneCallback(&ForgetModule), true);
    Q_UNUSED(watching);
    auto& t = Targets()[&module];
    if (!t)
        t = std::make_unique<CModuleCommands>(module);
    return *t;
}

int ModuleCommandsCount() { return static_cast<int>(Targets().size()); }

CXListCtrl* CModuleCommands::GetList() const
{
    QObject* view = m_module.GetView();
    if (auto* list = dynamic_cast<CXListCtrl*>(view))
        return list;
    if (view)
        for (QObject* o : view->findChildren<QObject*>())
            if (auto* list = dynamic_cast<CXListCtrl*>(o))
                return list;
    return nullptr;
}

int CModuleCommands::GetSelectedItems(CXArray* items) const
{
    CXListCtrl* list = GetList();
    if (!list)
        return 0;
    const std::vector<int> rows = list->GetSelectedItems();
    if (items)
        for (int row : rows) {
            const CXItem* item = list->GetItemData(row);
            CXItem* copy = item->CreateNew();
            item->CopyTo(copy);
            items->Add(copy);
        }
    return static_cast<int>(rows.size());
}

void CModuleCommands::OnSchemeCommand(int id)
{
    CXListCtrl* list = GetList();
    if (!list)
        return;
    if (id >= ID_QUERY_PRJ00 && id <= kQueryLast) {
        CXArray schemes(nullptr, true);
        m_module.GetQuerySchemes(schemes);
        if (const CDBPrjQuery* q = QueryScheme(schemes, id - ID_QUERY_PRJ00))
            m_module.ApplyQuery(CXMap(q->m_strRightData));
    } else if (id >= ID_HEADS_PRJ00 && id <= kHeadsLast) {
        const int i = id - ID_HEADS_PRJ00;
        CHeads* heads = &list->m_heads;
        if (i >= m_module.m_headSchemes.GetSize())
            return;
        const auto* scheme = dynamic_cast<const CDBPrjOrder*>(m_module.m_headSchemes.GetAt(i));
        const QString setup = scheme ? scheme->m_strRightData : QString();
        const QStringList parts = setup.split(u',');
        if (parts.size() != heads->GetSize())
            return; // saved for a field table that has changed since
        for (int k = 0; k < heads->GetSize(); ++k)
            heads->GetAt(k)->m_nPos = parts[k].trimmed().toInt();
        list->setUpdatesEnabled(false);
        list->RebuildColumns();
        list->setUpdatesEnabled(true);
    } else if (id == ID_HEADS_USER) {
        CDlgHeads dialog(m_module.GetMduID(), list);
        dialog.m_heads.CopyFrom(list->m_heads);
        if (dialog.DoModal() != IDOK)
            return;
        for (int k = 0; k < list->m_heads.GetSize() && k < dialog.m_heads.GetSize(); ++k)
            list->m_heads.GetAt(k)->m_nPos = dialog.m_heads.GetAt(k)->m_nPos;
        list->setUpdatesEnabled(false);
        list->RebuildColumns();
        list->setUpdatesEnabled(true);
    } else if (id == ID_QUERY_USER) {
        if (m_module.m_options.empty())
            return;
        CDlgQuery dialog(m_module.GetMduID(), m_module.m_query, list);
        if (dialog.DoModal() == IDOK)
            m_module.ApplyQuery(dialog.m_query);
    } else if (id == ID_QUERY_PREV) {
        m_module.ApplyQuery(m_module.GetPrevPeriod(m_module.m_query));
    } else if (id == ID_QUERY_NEXT) {
        m_module.ApplyQuery(m_module.GetNextPeriod(m_module.m_query));
    }
}

void CModuleCommands::OnUpdateSchemeCommand(XCmdUI* ui)
{
    CXListCtrl* list = GetList();
    if (!list)
        return;
    const int id = ui->m_nID;
    const bool childList = m_module.IsChildListQuery(m_module.m_query);
    if (id == ID_HEADS_USER) {
        ui->Enable(!childList);
    } else if (id == ID_QUERY_PREV) {
        ui->Enable(!m_module.GetPrevPeriod(m_module.m_query).IsEmpty());
    } else if (id == ID_QUERY_NEXT) {
        ui->Enable(!m_module.GetNextPeriod(m_module.m_query).IsEmpty());
    } else if (id >= ID_QUERY_PRJ00 && id <= kQueryLast) {
        CXArray schemes(nullptr, true);
        m_module.GetQuerySchemes(schemes);
        if (const CDBPrjQuery* q = QueryScheme(schemes, id - ID_QUERY_PRJ00))
            ui->SetCheck(q->m_strRightData == m_module.m_query.ToXml() ? 1 : 0);
    } else if (id >= ID_HEADS_PRJ00 && id <= kHeadsLast) {
        const int i = id - ID_HEADS_PRJ00;
        if (i < m_module.m_headSchemes.GetSize()) {
            const auto* scheme = dynamic_cast<const CDBPrjOrder*>(m_module.m_headSchemes.GetAt(i));
            ui->SetCheck(scheme && scheme->m_strRightData == HeadsPositions(list->m_heads) ? 1 : 0);
        }
        ui->Enable(!childList);
    }
}

void CModuleCommands::OnRelCommand(int id)
{
    CXArray selected(nullptr, true);
    const CXItem* user = User();
    if (GetSelectedItems(&selected) == 0 || !user)
        return;
    CXMap query;
    if (m_module.MakeRelateQuery(selected, id, query, *user) != 1)
        return;
    if (CModule* target = FindModule(CModule::GetRelModuleId(id)))
        target->ApplyQuery(query);
}

void CModuleCommands::OnUpdateRelCommand(XCmdUI* ui)
{
    CXArray selected(nullptr, true);
    const CXItem* user = User();
    CXMap query;
    ui->Enable(GetSelectedItems(&selected) > 0 && user &&
               m_module.MakeRelateQuery(selected, ui->m_nID, query, *user) == 1);
}
