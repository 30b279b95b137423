#include "ModuleHooks.h"

#include "CDialogPickers.h"
#include "CDlgEdit.h"
#include "CDlgEditSchemeT.h"
#include "CModule.h"
#include "CXItem.h"
#include "CXLinkCtrl.h"
#include "CXListCtrl.h"
#include "EditFrame.h"
#include "Resources.h"

#include <memory>

namespace {

class CModuleLinkActions : public XLinkActions
{
public:
    bool CreateNew(CModule& module, CXBase& created) override
    {
        const std::unique_ptr<CDlgEdit> frame = CreateEditDialog(module, true, nullptr);
        if (!frame)
            return false;
        const bool ok = frame->DoModal() == IDOK && frame->GetItem();
        if (ok)
            created.CopyBase(*frame->GetItem());
        return ok;
    }
    bool ChooseOne(CModule& module, const CXMap& query, const CXBase& current, CXBase& chosen) override
    {
        return RecordPickers().IsAvailable() && RecordPickers().ChooseOne(module, query, current.m_nID, chosen) == IDOK;
    }
    // The control's links start chosen; no query, so none of them is left out.
    bool ChooseMany(CModule& module, const CXArray& current, CXArray& chosen) override
    {
        std::set<int> ids;
        for (const CXItem* link : current)
            if (link->m_nID != 0)
                ids.insert(link->m_nID);
        return RecordPickers().IsAvailable() && RecordPickers().ChooseMany(module, CXMap(), ids, chosen) == IDOK;
    }
    int OpenItems(CModule& module, CXArray& items, bool bViewOnly) override
    {
        return ::OpenItems(&module, items, bViewOnly);
    }
};

} // namespace

XLinkActions& ModuleLinkActions()
{
    static CModuleLinkActions actions;
    return actions;
}

std::unique_ptr<XMenuSpec> ModuleHeadsMenu(const CXListCtrl& list)
{
    // the header clicked is in the active document: its module's column schemes
    for (CModule* module : GetModules()) {
        const auto* view = qobject_cast<const QWidget*>(module->GetView());
        if (view && (view == &list || view->isAncestorOf(&list)))
            return std::make_unique<XMenuSpec>(module->CreateHeadsMenu());
    }
    return nullptr;
}
