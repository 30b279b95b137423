#pragma once

#include "CDBReceipt.h"
#include "CHead.h"
#include "CXArray.h"
#include "CXItem.h"
#include "CXTimeSpan.h"

class CDBEduRcd;

// Whether a student line's attendance takes one lesson from its receipt: on time, late or
// absent, and not a trial. Every other line keeps no receipt, so the receipt view's count of
// stored lines per receipt counts exactly these.
inline bool IsConsuming(int attence, int lessonType) { return attence >= 2 && attence <= 4 && lessonType == 0; }

// The receipt a consuming line takes its lesson from, among the student's receipts for the
// course in the receipt module's order (newest payment first): the first period-billed
// receipt, or short-term one with lessons left, whose period holds the class date; else the
// first long-term per-lesson receipt with lessons left, whatever its dates; else the last.
// -1 when there is none.
int PickReceipt(const CXArray& receipts, const XDateTime& classDate);

// A student of one class: ID and title are the student's, its own row ID m_nSubID, its parent
// the class record. The rcp* figures are the student's receipts for the class course as read.
class CDBEduRcdStudent : public CXItemT<MDU_STUDENT>
{
public:
    CDBEduRcdStudent() { CDBEduRcdStudent::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBEduRcdStudent; }
    CXItem* CopyTo(CXItem* target) const override;

    QString FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    int GetDefault(const CHead* head) const override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    QString GetFormat(const CHead* head) const override;
    QString GetEmptyText(const CHead* head) const override;
    QColor GetTextColor(const CHead* head) const override;
    CXMap GetRelateQuery(const CHead* head, const CXMap* base) const override;
    bool IsSubArray(const CXArray* array) const override { return array == &m_receipts; }
    bool IsAuto() const override;
    bool IsAutoEmpty() const override;
    void AutoReset() override;
    bool CanAutoSet() const override { return true; }
    void AutoSet() override;

    // Loads the student's receipts for the class course once, then picks the consumed one
    // when the line consumes and has none.
    void ChooseReceipt();
    // The remaining lessons after the edit in hand: the stored figure, with this record's
    // stored consumption of the student given back and its current consumption taken.
    int GetRemained() const;
    // "total-consumed<marks>=remaining"; the ordinary text when nothing was bought.
    QString GetRemainedText() const;
    // The planned time: the timetable line's for one-to-one, the timetable's otherwise; empty
    // for a line that is not planned.
    CXTimeSpan GetPlannedSpan() const;

    const CDBEduRcd* GetOwner() const;
    bool Consumes() const { return IsConsuming(m_nAttence, m_nLessonType); }
    // 0 temporary, 1 planned, 2 trial.
    int GetKind() const;
    XDateTime GetClassDate() const;
    QString GetCourseName() const;
    // This line's share of the designated teacher's wage.
    double GetShareWage() const;

    int m_nSchSubID = 0;
    CXTimeSpan m_timeSpan;
    int m_nLessonType = 0;
    CXBase m_receipt;        // the consumed receipt; written as ReceiptID
    int m_nOrgReceiptID = 0; // ReceiptID as read, never written
    // The student's receipts for the course, loaded by ChooseReceipt. Not a field of the
    // table: the line's save would write them as its own child rows.
    CXArrayT<CDBReceipt, true> m_receipts{this};
    double m_fIncome = 0;
    int m_rcpPayTimes = 0;
    XDateTime m_rcpEndMax;
    int m_rcpLessonAc = 0;
    int m_rcpCountIn = 0;
    int m_rcpRemained = 0;
    int m_rcpInvalid = 0;
    int m_nAttence = 0;
    int m_bReceiptsLoaded = 0; // the receipt module was asked (it may have found none)
};
