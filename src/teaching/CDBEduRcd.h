#pragma once

#include "CDBEduRcdStudent.h"
#include "CDBEduRcdTeacher.h"
#include "CDBEduSch.h"
#include "CHead.h"
#include "CXArray.h"
#include "CXItem.h"
#include "CXTimeSpan.h"

// Codes of a class and its lines (stored value = index).
enum : int {
    CLASS_PENDING = 0,   // 待定
    CLASS_CANCELLED = 1, // 取消
    CLASS_HELD = 2,      // 正常
};
enum : int {
    ATTENCE_PENDING = 0, // 待定
    ATTENCE_LEAVE = 1,   // 请假
    ATTENCE_ONTIME = 2,  // 准时
    ATTENCE_LATE = 3,    // 迟到
    ATTENCE_ABSENT = 4,  // 缺勤
};

// One lesson of one course on one date with its teachers and students and their attendance.
// A planned record is made in memory from its weekly timetable (embedded whole) and stored
// only once it differs from the plan; a temporary one (补课) has no timetable.
class CDBEduRcd : public CXItemT<MDU_EDURCD>
{
public:
    CDBEduRcd() { CDBEduRcd::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBEduRcd; }
    void Reset() override;
    CXItem* CopyTo(CXItem* target) const override;

    QString FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const override;
    bool DrawCell(const CHead* head, XCellDraw* draw) override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    int GetDefault(const CHead* head) const override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    QString GetFormat(const CHead* head) const override;
    QString GetEmptyText(const CHead* head) const override;
    QColor GetTextColor(const CHead* head) const override;
    CXMap GetRelateQuery(const CHead* head, const CXMap* base) const override;
    bool IsSubArray(const CXArray* array) const override { return m_nClassForm == 1 && array == &m_students; }
    bool IsAuto() const override { return m_sch.m_nID != 0; }
    bool IsAutoEmpty() const override;
    void AutoReset() override;
    bool CanAutoSet() const override { return true; }
    void AutoSet() override;

    bool IsCancelled() const { return m_nClassStatus == CLASS_CANCELLED; }
    bool IsOneToOne() const { return m_nClassForm == 1; }
    // Whether a timetable line's own period holds the class date.
    bool IsLineValid(const CXDateRange& period) const;
    // The designated teacher's wage for this class and its parts.
    double GetLessonWage() const;
    double GetPerStudentWage() const;
    double GetShareWage() const;
    double GetBaseWage() const;
    double GetMinimumWage() const;
    const CDBEduRcdTeacher* FindTeacherLine(int teacherId) const;

    // Computed fields.
    QString GetRelativeDay() const;
    CXTimeSpan GetPlannedTime() const { return m_sch.m_time; }
    int CountPlanned() const;
    int CountTemporary() const;
    int CountTrial() const;
    int CountAttence(int attence) const;
    int CountPending() const { return IsCancelled() ? 0 : CountAttence(ATTENCE_PENDING); }
    int CountCancelled() const { return IsCancelled() ? CountAttence(ATTENCE_PENDING) : 0; }
    int CountConsumed() const;
    QString GetStudentKinds() const;
    CXTimeSpan GetStudentTime() const;
    QString GetStudentAttence() const;
    QString GetStudentReceipts() const;
    int GetStudentRemained() const;

    CXTimeSpan m_timeSpan;
    QString m_strLocation;
    CDBEduSch m_sch; // the timetable planned from: its ID is EduSchID (0: temporary)
    CXBase m_course;
    int m_nClassStatus = CLASS_PENDING;
    CXArrayT<CDBEduRcdTeacher, true> m_teachers{this};
    CXArrayT<CDBEduRcdStudent, true> m_students{this};
    CXBase m_student;   // the one student the query is about (ID 0: none)
    int m_nTeacher = 0; // the teacher whose wage the record is attached to (0: none)
    int m_nClassForm = 0;

private:
    void BuildTitle();
};

// Class-record preferences with the program's defaults.
int GetRcdAdvance();
int GetWarnRemained();
int GetLtdClassForm();
int GetDefaultDuration(int classForm);
