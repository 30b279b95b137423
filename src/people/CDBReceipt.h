#pragma once

#include "CDBCharge.h"
#include "CDBReceiptAlter.h"
#include "CDBReceiptCourse.h"
#include "CHead.h"
#include "CXArray.h"
#include "CXItem.h"
#include "CXMap.h"
#include "CXTimeSpan.h"

// Status of a receipt, decided by the first rule that holds (refund, nothing left, overdrawn,
// in a current timetable, past its validity, otherwise).
enum : int {
    RECEIPT_PAUSED = 1,    // 停课
    RECEIPT_EXPIRED = 2,   // 超期
    RECEIPT_ATTENDING = 3, // 上课
    RECEIPT_OVERDRAWN = 4, // 超课
    RECEIPT_FINISHED = 5,  // 结课
    RECEIPT_REFUNDED = 6,  // 退费
};

// An enrolment receipt: a student bought a number of periods of a lesson package, with
// adjustments to price, lessons, start and validity, and later alterations and refunds.
// Only the sale is stored; every figure (lessons, amount, validity, consumption, status) is
// computed by the receipt view when read and by Validate, with the same arithmetic, for a
// receipt being edited.
class CDBReceipt : public CXItemT<MDU_RECEIPT>
{
public:
    CDBReceipt() { CDBReceipt::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBReceipt; }
    void Reset() override;
    CXItem* CopyTo(CXItem* target) const override;

    QString FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const override;
    QString GetDeleteError(const CXItem* user) const override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    int GetDefault(const CHead* head) const override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    void GetRange(const CHead* head, int& min, int& max) const override;
    CXMap GetRelateQuery(const CHead* head, const CXMap* base) const override;
    int GetPrintRowCount() const override { return m_nLessonEnd; }
    void FillPrintKeywords(XPrintKeywords& keywords, int kind, const CXItem* user) const override;
    // "[ID]": the number of rows the sign-in sheet repeats (one per lesson bought).
    void AddRowCountKeyword(XPrintKeywords& keywords) const;

    // The receipt of a template preview: a fixed sale of a sample package, validated.
    void MakeDemo(const CXItem* user);

    // Computed fields.
    QString GetAdjustNames() const;
    QString GetAdjustValues() const;
    QString GetAdjustMemos() const;
    QString GetPayUpper() const;
    QString GetHandler() const { return m_created.m_strName; }
    QString GetRowNumber(int row) const { return row > 0 ? QString::number(row) : QString(); }
    CXDateRange GetUsefulRange() const { return CXDateRange(m_charge.m_dtUsefulBgn, m_charge.m_dtUsefulEnd); }

    CXBase m_student;
    QString m_strPayer;
    QString m_strPayType;
    int m_nPayNum = 1;
    int m_nAdjDcnt = 0;
    int m_nAdjDcntVal = 100;
    QString m_strAdjDcntMemo;
    int m_nAdjPrice = 0;
    double m_fAdjPriceVal = 0;
    QString m_strAdjPriceMemo;
    int m_nAdjLsn = 0;
    int m_nAdjLsnVal = 0;
    QString m_strAdjLsnMemo;
    int m_nAdjGift = 0;
    double m_fAdjGiftVal = 0;
    QString m_strAdjGiftMemo;
    int m_nAdjBgn = 0;
    XDateTime m_dtAdjBgnVal;
    QString m_strAdjBgnMemo;
    int m_nAdjValid = 0;
    int m_nAdjValidVal = 0;
    QString m_strAdjValidMemo;
    CDBCharge m_charge; // its ID is the link; its figures those of the package sold
    CXArrayT<CDBReceiptCourse, true> m_courses{this};
    int m_nLesson = 0;
    double m_fPay = 0;
    CXDateRange m_validity; // Bgn to PayValid
    double m_fAltPrice = 0;
    int m_nAltLesson = 0;
    int m_nAltValid = 0;
    XDateTime m_dtAltMax;
    XDateTime m_dtAltRtr;
    CXArrayT<CDBReceiptAlter, true> m_alters{this};
    int m_nLessonEnd = 0;
    double m_fPayEnd = 0;
    XDateTime m_dtValidEnd;
    int m_nSchAll = 0;
    int m_nSchCur = 0;
    int m_nNewCheckIn = 0;
    int m_nHasRenew = 0;
    int m_nZeroLesson = 0;
    int m_nCountIn = 0;
    int m_nRemained = 0;
    int m_nLsnInvalid = 0;
    CXDateRange m_rcd; // first and latest consuming class
    int m_nItemStatus = 0;

private:
    // The figures Validate computes from the sale, the package, the alterations and the
    // consumption as read (CountIn, SchCur); the view computes the same.
    void Calculate();
    // Brings the embedded package up to the linked one: always for a new receipt, and for a
    // saved one whenever the link names another package than the one its figures are of.
    void ReadPackage();
    int m_nChargeRead = 0; // the package the embedded figures belong to (0: as read)
};
