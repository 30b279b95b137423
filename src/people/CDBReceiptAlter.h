#pragma once

#include "CHead.h"
#include "CXItem.h"

// A later change of a receipt (price, lessons, validity) or a refund, dated and witnessed.
// The row ID is the line ID, the receipt's ID the parent ID.
class CDBReceiptAlter : public CXItem
{
public:
    CDBReceiptAlter() { CDBReceiptAlter::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBReceiptAlter; }
    int GetAccess(const CHead* head, const CXItem* user) const override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;

    // The changes that are not 0, each in its field's format, without separator.
    QString GetAlterText() const;

    int m_nAlterType = 0; // 0 变更, 1 退费
    double m_fAlterPrice = 0;
    int m_nAlterLesson = 0;
    int m_nAlterValid = 0;
    QString m_strInsider;
};
