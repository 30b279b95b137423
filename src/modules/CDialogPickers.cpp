#include "CDialogPickers.h"

#include "CDlgSelMul.h"
#include "CDlgSelOne.h"
#include "CModule.h"
#include "CXArray.h"
#include "CXItem.h"

int CDialogPickers::ChooseOne(CModule& module, const CXMap& query, int startId, CXBase& chosen)
{
    CDlgSelOne dlg(module.GetMduID(), startId);
    dlg.m_query = query;
    const int result = dlg.DoModal();
    if (result == IDOK && dlg.m_pItem)
        chosen.CopyBase(*dlg.m_pItem);
    return result;
}

int CDialogPickers::ChooseMany(CModule& module, const CXMap& query, const std::set<int>& startIds, CXArray& chosen)
{
    CDlgSelMul dlg(module.GetMduID());
    dlg.m_query = query;
    dlg.m_selIDs = startIds;
    const int result = dlg.DoModal();
    if (result == IDOK)
        for (int i = 0; i < dlg.m_result.GetSize(); ++i)
            chosen.AddAdopted(dlg.m_result.GetAt(i)->CopyTo(nullptr));
    return result;
}
