#pragma once

#include "CDBTeacherAccount.h"
#include "CDBTeacherCourse.h"
#include "CDBTeacherPay.h"
#include "CDBTeacherPhoto.h"
#include "CDBTeacherResume.h"
#include "CDBTeacherRight.h"
#include "CHead.h"
#include "CXItem.h"

// A teacher: anybody who works for the school, and the user who logs in. Besides the stored
// person it carries its résumé, phone accounts, photos, pay standards, its rights per module
// (the editable form of RightData) and the statistics the database computes when it is read.
class CDBTeacher : public CXItemT<MDU_TEACHER>
{
public:
    CDBTeacher() { CDBTeacher::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBTeacher; }
    QString GetDeleteError(const CXItem* user) const override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    int GetDefault(const CHead* head) const override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    QString GetEmptyText(const CHead* head) const override;
    QString GetFormat(const CHead* head) const override;
    QString GetPrefix(const CHead* head) const override;

    // "RealName (Petname)" when the name repeats and a pet name tells them apart.
    QString MakeTitle() const;

    // The employment line at this school with the latest begin (null without one), and the
    // education line of the lowest stage (null without one).
    const CDBTeacherResume* GetEmploymentLine() const;
    const CDBTeacherResume* GetEducationLine() const;
    // The end of employment here over all employment lines: 0 while any is open (a rehired
    // teacher's old closed line does not end the new one), else the latest end; -1 without
    // any employment line here.
    double GetEmploymentEnd() const;

    // Computed fields.
    double GetAge() const;
    int HasIdCard() const { return m_strIDCard.isEmpty() ? 0 : 1; }
    QString GetNativePlace() const;
    CXDateRange GetWorkPeriod() const;
    double GetWorkYears() const;
    QString GetPosition() const;
    int GetWorkType() const;
    int GetEmployed() const; // -1 unknown, 0 left, 1 employed
    int IsStudent() const;
    QString GetSchool() const;
    QString GetMajor() const;
    int GetEducation() const;
    CXDateRange GetStudyPeriod() const;
    double GetGraduateYears() const;
    int GetPhotoCount() const { return m_photos.GetSize(); }
    CXDateRange GetSchRange() const { return {m_dtSchBgn, m_dtSchEnd}; }
    CXDateRange GetRcdRange() const { return {m_dtRcdMin, m_dtRcdMax}; }

    // The pay standard that applies on the day; null when none does.
    const CDBTeacherPay* GetPayOn(const XDateTime& day) const;

    // A record of its own copied from this one: no ID, no statistics or stamps of the
    // source, child lines that are new rows, no taught courses and the default password.
    void MakeNewCopy();

    // Builds the rights rows from RightData (when there are none) or writes RightData back
    // from them, for the teacher's role.
    void SyncRights(const CXItem* user);

    QString m_strFullName;
    QString m_strRealName;
    QString m_strPetname;
    int m_nRptCount = 0;
    int m_nSex = 0;
    QString m_strNation;
    XDateTime m_dtBirthday;
    int m_bBirthApprox = 0;
    QString m_strIDCard;
    QString m_strPolitical;
    QString m_strAreaAddr;
    QString m_strExactAddr;
    CXArrayT<CDBTeacherResume> m_resumes{this};
    CXArrayT<CDBTeacherAccount> m_accounts{this};
    CXArrayT<CDBTeacherPay> m_pays{this};
    CXArrayT<CDBTeacherPhoto> m_photos{this};
    CXArrayT<CDBTeacherCourse> m_courses{this};
    CXArrayT<CDBTeacherRight> m_rights{this};
    int m_nWxBinds = 0;
    XDateTime m_dtSchBgn, m_dtSchEnd;
    int m_nSchAll = 0, m_nSchCur = 0, m_nSchRcd = 0;
    XDateTime m_dtRcdMin, m_dtRcdMax;
    int m_nRcdTimes = 0, m_nRcdUncert = 0, m_nRcdCountIn = 0, m_nRcdLeave = 0, m_nRcdMormal = 0, m_nRcdLate = 0,
        m_nRcdAbsent = 0, m_nRcdCancel = 0;
};
