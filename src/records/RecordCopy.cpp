#include "RecordCopy.h"

#include "CHead.h"
#include "CModule.h"
#include "CXArray.h"
#include "CXItem.h"
#include "RecordSql.h"

namespace {

void ClearStamps(CXItem& item)
{
    item.m_created.Reset();
    item.m_modified.Reset();
    item.m_printed.Reset();
    item.m_notified.Reset();
}

} // namespace

void PrepareNewCopy(CXItem& copy)
{
    RowIdOf(copy) = 0;
    ClearStamps(copy);
    if (const CModule* module = FindModule(copy.m_nMduID); module && copy.IsModuleItem())
        if (!module->GetKeyFormat().isEmpty())
            copy.m_strName.clear();
    const CHeads* heads = copy.GetHeads();
    if (!heads)
        return;
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (h->m_nType != XAR || !h->m_nOffset)
            continue;
        for (CXItem* line : copy.Member<CXArray>(h->m_nOffset)) {
            RowIdOf(*line) = 0;
            line->m_nParentID = 0;
            ClearStamps(*line);
        }
    }
}
