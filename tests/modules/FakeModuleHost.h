#pragma once

#include "CDBPrjQuery.h"
#include "CModule.h"
#include "RecordConsts.h"

#include <vector>

class CXListCtrl;

// The shell's part for the tests: the course module's window is a record list (none while
// the list is null); opened documents and refreshes are counted.
class CFakeModuleHost : public XModuleHost
{
public:
    bool OpenDocument(CModule& module) override
    {
        opened.push_back(module.GetMduID());
        return true;
    }
    QObject* GetView(const CModule& module) const override;
    void ActivateView(CModule&) override { ++activations; }
    void UpdateAllViews(CModule&, int) override { ++refreshes; }
    void SetDocumentTitle(CModule&, const QString&) override {}

    CXListCtrl* list = nullptr;
    std::vector<int> opened;
    int activations = 0;
    int refreshes = 0;
};

// The query-scheme module handing out the schemes the test sets.
class CFakeSchemeModule : public CModuleT<CDBPrjQuery>
{
public:
    bool QueryItems(CXArray& items, CXMap, bool, bool) override
    {
        for (const CXItem* s : schemes)
            items.AddAdopted(s->CopyTo(nullptr));
        return true;
    }
    CXArray schemes{nullptr, true};
};
