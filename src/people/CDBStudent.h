#pragma once

#include "CDBStudentAccount.h"
#include "CDBStudentCourse.h"
#include "CDBStudentPhoto.h"
#include "CDBStudentResume.h"
#include "CHead.h"
#include "CXItem.h"

// A registered student: the stored person, its phone accounts, photos and school-year
// lines, and the statistics the database computes when it is read (name repeats, latest
// activity, WeChat bindings, one line per course taken).
class CDBStudent : public CXItemT<MDU_STUDENT>
{
public:
    CDBStudent() { CDBStudent::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBStudent; }
    QString FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const override;
    QString GetDeleteError(const CXItem* user) const override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    int GetDefault(const CHead* head) const override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    QString GetFormat(const CHead* head) const override;
    QString GetPrefix(const CHead* head) const override;

    // "RealName (Petname)" when the name repeats and a pet name tells them apart.
    QString MakeTitle() const;
    // Turns a copy into a new student with the same details: no record ID, its own account,
    // photo and résumé rows (a line that kept its row ID would take the source's row over on
    // save), and none of the source's statistics.
    void MakeNewCopy();

    // Computed fields.
    double GetAge() const;
    int HasIdCard() const { return m_strIDCard.isEmpty() ? 0 : 1; }
    QString GetNativePlace() const;
    QString GetSchool() const;
    QString GetClass() const;
    int GetGrade() const;
    int GetPhotoCount() const { return m_photos.GetSize(); }
    QString GetLastActiveText() const;
    // The résumé line with the latest date; null without lines.
    const CDBStudentResume* GetNewestResume() const;

    // Sums and ranges over the course lines.
    int SumOf(int CDBStudentCourse::*member) const;
    XDateTime MaxOf(XDateTime CDBStudentCourse::*member) const;
    CXDateRange RangeOf(XDateTime CDBStudentCourse::*first, XDateTime CDBStudentCourse::*last) const;

    // Whether a timetable or class-record line names the student though no course line
    // shows it (set when read; such lines must not be orphaned by a delete).
    int m_bHasLessonLines = 0;

    // Totals over the student's receipts, each receipt once.
    int m_nPayTimes = 0;
    double m_fPaySum = 0;
    int m_nRtrTimes = 0;
    int m_nLessonAc = 0;
    int m_nLessonCountIn = 0;
    int m_nLessonInvalid = 0;
    int m_nLessonRemained = 0;

    QString m_strFullName;
    QString m_strRealName;
    QString m_strPetname;
    int m_nRptCount = 0;
    int m_nSex = 0;
    QString m_strNation;
    XDateTime m_dtBirthday;
    int m_bBirthApprox = 0;
    QString m_strIDCard;
    QString m_strRefereer;
    QString m_strAreaAddr;
    QString m_strExactAddr;
    int m_nWxBinds = 0;
    XDateTime m_dtLastActive;
    int m_nActiveType = 0;
    CXArrayT<CDBStudentAccount> m_accounts{this};
    CXArrayT<CDBStudentResume> m_resumes{this};
    CXArrayT<CDBStudentCourse> m_courses{this};
    CXArrayT<CDBStudentPhoto> m_photos{this};
};
