#pragma once

#include "CDBEduSchStudent.h"
#include "CDBEduSchTeacher.h"
#include "CHead.h"
#include "CXArray.h"
#include "CXItem.h"
#include "CXTimeSpan.h"

#include <vector>

// Class forms of timetables and class records.
enum : int {
    CLASS_ONE_TO_MANY = 0, // 一对多
    CLASS_ONE_TO_ONE = 1,  // 一对一
};

// A timetable: one weekly lesson of one course, on the weekday of DateBgn, from DateBgn to
// DateEnd (0 = open), with teacher and student lines that each have their own period inside
// the timetable's. Class records are generated from it.
class CDBEduSch : public CXItemT<MDU_EDUSCH>
{
public:
    CDBEduSch() { CDBEduSch::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBEduSch; }
    void Reset() override;

    bool DrawCell(const CHead* head, XCellDraw* draw) override;
    QString GetDeleteError(const CXItem* user) const override;
    int Validate(const CXItem* user, bool bCheckDuplicates) override;
    int GetDefault(const CHead* head) const override;
    int GetAccess(const CHead* head, const CXItem* user) const override;
    void GetRange(const CHead* head, int& min, int& max) const override;
    CXMap GetRelateQuery(const CHead* head, const CXMap* base) const override;
    bool IsSubArray(const CXArray* array) const override
    {
        return array == &m_students && m_nClassForm == CLASS_ONE_TO_ONE;
    }

    XDateTime GetDateBgn() const { return m_date.m_begin; }
    XDateTime GetDateEnd() const { return m_date.m_end; }
    // Ended once DateEnd is set and not after today.
    bool IsEnded() const;
    int GetStatus() const { return IsEnded() ? 0 : 1; }
    int GetScheduled() const; // 已排课
    CXDateRange GetDateRange() const { return m_date; }

    // The designated student's figures (the query was about one student).
    QString GetStudentPeriod() const;
    CXTimeSpan GetStudentTime() const;
    int GetStudentStatus() const;
    int GetStudentScheduled() const;
    int GetStudentRcdTimes() const;
    int GetStudentRcdCountIn() const;

    // A new line in the timetable (not yet added), with its defaults computed against it.
    CDBEduSchStudent* NewStudentLine(int studentId, const QString& name);
    CDBEduSchTeacher* NewTeacherLine(int teacherId, const QString& name);

    CXBase m_course;
    CXDateRange m_date; // DateBgn..DateEnd
    CXTimeSpan m_time;
    QString m_strLocation;
    int m_nRcdTimes = 0;
    int m_nRcdCountIn = 0;
    CXDateRange m_rcd;
    CXArrayT<CDBEduSchStudent, true> m_students{this};
    CXArrayT<CDBEduSchTeacher, true> m_teachers{this};
    CXBase m_student; // the designated student
    int m_nClassForm = CLASS_ONE_TO_MANY;
};

// Day-number helpers of timetables, shared by the lines and by class-record generation.
namespace EduSch {
// The records of a typed array as their own class, for range loops.
template <class T, bool Owns> std::vector<T*> Lines(const CXArrayT<T, Owns>& array)
{
    std::vector<T*> lines;
    lines.reserve(static_cast<std::size_t>(array.GetSize()));
    for (int i = 0; i < array.GetSize(); ++i)
        lines.push_back(array.GetAt(i));
    return lines;
}
// The whole day number of a date (0 for "not set").
int DayOf(const XDateTime& date);
// Today's whole day number, from the program's clock.
int Today();
// Lessons on one weekday from begin to the earlier of end (0 = open) and today, the begin
// counted: floor((last - begin) / 7) + 1, at least 0.
int WeeksDue(int begin, int end);
// Whether two line periods overlap, 0 meaning open on that side; bounds are inclusive, and
// the test is the one of the overlap message: one of a's ends lies within b.
bool PeriodTouches(int aBgn, int aEnd, int bBgn, int bEnd);
// The preference as an int, or the fallback when it is not set.
int SetupInt(const char* key, int fallback);
} // namespace EduSch
