#pragma once

#include "CDBCollectItem.h"
#include "CHead.h"
#include "CXArray.h"
#include "CXItem.h"

// A general receipt: a payment for goods or services other than lessons, numbered, dated,
// with a payer, a pay type and item lines whose subtotals add up to its amount. The title
// is the receipt number.
class CDBCollect : public CXItemT<MDU_COLLECT>
{
public:
    CDBCollect() { CDBCollect::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBCollect; }
    int GetDefault(const CHead* head) const override;
    void GetRange(const CHead* head, int& min, int& max) const override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    int GetPrintRowCount() const override { return m_items.GetSize(); }
    // In sample mode (template previews) the keywords are those of the demonstration receipt.
    void FillPrintKeywords(XPrintKeywords& keywords, int kind, const CXItem* user) const override;

    double GetAmount() const;       // 金额: the sum of the items' subtotals
    QString GetAmountUpper() const; // 大写金额
    QString GetHandler() const { return m_created.m_strName; }
    int GetRowCount() const { return m_items.GetSize(); }

    // The per-row print keywords of row n (1-based); empty beyond the items.
    QString GetRowContent(int row) const;
    QString GetRowUnit(int row) const;
    QString GetRowNum(int row) const;
    QString GetRowUnitPrice(int row) const;
    QString GetRowPrice(int row) const;

    // Appends an item line.
    CDBCollectItem* AddItem(const QString& content, const QString& unit, int num, double unitPrice);

    // Makes this copy a new receipt: no ID, no number, no stamps, and item lines that name
    // no row of the original (saving would otherwise move the original's rows over).
    void MakeNewCopy();
    // Becomes the demonstration receipt of template previews, issued by the user: three
    // items adding up to 12213.00.
    void MakeDemo(const CXItem* user);

    QString m_strPayer;
    CXArrayT<CDBCollectItem, true> m_items{this};
    QString m_strPayType;

private:
    const CDBCollectItem* RowItem(int row) const;
};
