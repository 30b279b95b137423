#pragma once

#include "CHead.h"
#include "CXItem.h"

// One item line of a general receipt: what was paid for (held in the memo member), its
// unit, quantity and unit price.
class CDBCollectItem : public CXItem
{
public:
    CDBCollectItem() { CDBCollectItem::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBCollectItem; }
    int Validate(const CXItem* user, bool bCheckDuplicates) override;

    // 小计: quantity times unit price, not rounded (the sum of a receipt rounds once).
    double GetSubtotal() const { return m_nPayNum * m_fUnitPrice; }

    QString m_strUnit;
    int m_nPayNum = 1;
    double m_fUnitPrice = 100;
};
