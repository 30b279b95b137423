#pragma once

#include "CHead.h"
#include "CXItem.h"

// A course the school teaches. It stores only a name, a memo group, the enabled flag and a
// memo; everything else is statistics the course list reads from packages, receipts,
// timetables and class records.
class CDBCourse : public CXItemT<MDU_COURSE>
{
public:
    CDBCourse() { CDBCourse::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBCourse; }

    QString FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const override;
    QString GetDeleteError(const CXItem* user) const override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;

    // The names of the modules that still refer to the course, in the order packages,
    // receipts, timetables, class records.
    QStringList GetReferringModules() const;

    QString m_strGroup;
    // lesson packages
    int m_nChgAll = 0;
    XDateTime m_dtChgBgn;
    XDateTime m_dtChgEnd; // 0 while any package is open-ended
    int m_nChgOld = 0;
    int m_nChgCur = 0;
    int m_nChgNew = 0;
    // enrolment receipts
    int m_nRcpPayTimes = 0;
    double m_fRcpPaySum = 0;
    XDateTime m_dtRcpEndMax;
    XDateTime m_dtRcpPayMin;
    XDateTime m_dtRcpPayMax;
    int m_nRcpRtrTimes = 0;
    int m_nRcpLessonAc = 0;
    int m_nRcpCountIn = 0;
    int m_nRcpRemained = 0;
    int m_nRcpInvalid = 0;
    // timetables
    XDateTime m_dtSchBgn;
    XDateTime m_dtSchEnd;
    int m_nSchAll = 0;
    int m_nSchOld = 0;
    int m_nSchCur = 0;
    // class records
    int m_nRcdAll = 0;
    XDateTime m_dtRcdMin;
    XDateTime m_dtRcdMax;

private:
    CXDateRange GetSaleRange() const { return CXDateRange(m_dtChgBgn, m_dtChgEnd); }
    CXDateRange GetPayRange() const { return CXDateRange(m_dtRcpPayMin, m_dtRcpPayMax); }
    CXDateRange GetSchRange() const { return CXDateRange(m_dtSchBgn, m_dtSchEnd); }
    CXDateRange GetRcdRange() const { return CXDateRange(m_dtRcdMin, m_dtRcdMax); }
};
