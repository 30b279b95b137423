#pragma once

#include "CHead.h"
#include "CXItem.h"

// A photo of a student: the record image, its date and display order.
class CDBStudentPhoto : public CXItemT<MDU_STUDENT>
{
public:
    CDBStudentPhoto() { CDBStudentPhoto::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBStudentPhoto; }
};
