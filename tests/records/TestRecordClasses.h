#pragma once

// Small record classes of the tests' own: a course, a lesson package with course lines (a
// child array of lines derived from the course module's record), links, money, dates, an
// option list, a time span and computed fields.
#include "CHead.h"
#include "CModule.h"
#include "CXItem.h"

class CTestCourse : public CXItemT<MDU_COURSE>
{
public:
    CTestCourse() { CTestCourse::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestCourse; }

    QString m_strTeacherNote;
    int m_nState = 0;
    double m_fPrice = 0;
};

// A course line of a lesson package: its ID and title name the course, its line ID is its
// own row.
class CTestCourseLine : public CXItemT<MDU_COURSE>
{
public:
    CTestCourseLine() { CTestCourseLine::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestCourseLine; }

    int m_nLessons = 0;
};

class CTestCharge : public CXItemT<MDU_CHARGE>
{
public:
    CTestCharge() { CTestCharge::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestCharge; }

    double GetTotal() const;
    CXDateRange GetPeriod() const;

    int m_nTimes = 0;
    double m_fPrice = 0;
    XDateTime m_dtBegin;
    int m_nTimeSpan = 0;
    int m_nState = 0;
    QString m_strRoom;
    CXItemT<MDU_TEACHER> m_teacher; // link whose value is a record
    CXBase m_course;                // link whose value is a bare reference
    CXBase m_stamp;
    CXArrayT<CTestCourseLine> m_lines{this};
};

// A teacher and a student: the people links point at, with their passwords.
class CTestTeacher : public CXItemT<MDU_TEACHER>
{
public:
    CTestTeacher() { CTestTeacher::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestTeacher; }
};

// A login account line of a student: its own row in TB_ACCOUNT, which students and
// teachers share and tell apart by the owner's module.
class CTestAccount : public CXItem
{
public:
    CTestAccount() { CTestAccount::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestAccount; }

    int m_nOwnerMdu = MDU_STUDENT;
};

class CTestStudent : public CXItemT<MDU_STUDENT>
{
public:
    CTestStudent() { CTestStudent::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestStudent; }

    CXArrayT<CTestAccount> m_accounts{this};
};

// A receipt: numbered by its module's pattern, an amount and a memo shown in lists, a note
// that is not, a student link, a logo image and a long text kept as bytes.
class CTestReceipt : public CXItemT<MDU_RECEIPT>
{
public:
    CTestReceipt()
    {
        m_student.m_nMduID = MDU_STUDENT;
        CTestReceipt::Reset();
    }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestReceipt; }

    double m_fAmount = 0;
    QString m_strNote;
    CXBase m_student;
    CXImage m_logo;
    QByteArray m_template;
};

// A lesson count read through an SQL text of its own: a child list without a table.
class CTestLessonCount : public CXItem
{
public:
    CTestLessonCount() { CTestLessonCount::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestLessonCount; }

    int m_nLessons = 0;
};

// A wages-like view over lesson packages whose lines come from a table-less list.
class CTestChargeView : public CXItemT<MDU_WAGES>
{
public:
    CTestChargeView() { CTestChargeView::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestChargeView; }

    CXArrayT<CTestLessonCount> m_counts{this};
};

using CTestModuleCourse = CModuleT<CTestCourse>;
using CTestModuleCharge = CModuleT<CTestCharge>;
