#pragma once

#include "CHead.h"
#include "CXItem.h"

// A photo of a teacher: the record image, its date and display order.
class CDBTeacherPhoto : public CXItemT<MDU_TEACHER>
{
public:
    CDBTeacherPhoto() { CDBTeacherPhoto::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBTeacherPhoto; }
};
