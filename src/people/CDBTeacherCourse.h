#pragma once

#include "CHead.h"
#include "CXItem.h"

// A course a teacher teaches (found in the teacher's timetable and class-record lines): its
// record ID and title are the course's, its parent the teacher. Read only.
class CDBTeacherCourse : public CXItemT<MDU_COURSE>
{
public:
    CDBTeacherCourse() { CDBTeacherCourse::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBTeacherCourse; }
};
