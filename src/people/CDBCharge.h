#pragma once

#include "CHead.h"
#include "CXArray.h"
#include "CXItem.h"
#include "CXMap.h"

// One course of a lesson package: its ID and title are the course's, its line ID is the row
// of TB_CHARGE_COURSE and its parent ID the package.
class CDBChargeCourse : public CXItemT<MDU_COURSE>
{
public:
    CDBChargeCourse() { CDBChargeCourse::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBChargeCourse; }

    // Pickers for a course line offer enabled courses only.
    CXMap GetRelateQuery(const CHead* head, const CXMap* base) const override;
};

// Sale status of a package.
enum : int {
    CHARGE_NOT_YET = 0, // 未生效
    CHARGE_ON_SALE = 1, // 可报名
    CHARGE_CLOSED = 2,  // 已截止
};

// A lesson package: a number of lessons per period at a unit price, for one or more courses,
// on sale from CheckBgn to an optional CheckEnd (0 = open).
class CDBCharge : public CXItemT<MDU_CHARGE>
{
public:
    CDBCharge() { CDBCharge::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBCharge; }

    QString GetDeleteError(const CXItem* user) const override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    void GetRange(const CHead* head, int& min, int& max) const override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;

    // 未生效 before CheckBgn; 可报名 up to and including CheckEnd (or for ever when it is
    // 0); 已截止 after it. The closing day has three readings in the program, each kept as
    // the school knows it: here it is still on sale; the course statistics count it neither
    // closed nor on sale; the 可报名 scheme and the receipt's package picker already leave
    // it out (they ask for a closing day from tomorrow on).
    int GetSaleStatus() const;
    // The course period as a range for a short-term package, else the validity in days.
    QString GetValidText() const;

    // Makes this copy of a package a new record: no ID, no receipt figures, and course lines
    // that name no row of the original (saving would otherwise move the original's rows).
    void MakeNewCopy();

    XDateTime m_dtCheckBgn;
    XDateTime m_dtCheckEnd;
    int m_nClassType = 0; // 0 计次, 1 定期
    int m_nFixedDate = 0; // 0 长期, 1 短期
    XDateTime m_dtUsefulBgn;
    XDateTime m_dtUsefulEnd;
    int m_nValidDays = 0;
    int m_nLessonNum = 0;
    double m_fUnitPrice = 0;
    double m_fChgPrice = 0;
    int m_nRcpPayTimes = 0;
    double m_fRcpPaySum = 0;
    XDateTime m_dtRcpPayMin;
    XDateTime m_dtRcpPayMax;
    CXArrayT<CDBChargeCourse, true> m_courses{this};

private:
    CXDateRange GetUsefulRange() const { return CXDateRange(m_dtUsefulBgn, m_dtUsefulEnd); }
};
