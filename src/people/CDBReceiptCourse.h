#pragma once

#include "CHead.h"
#include "CXItem.h"

// One course a receipt applies to: ID and title are the course's, the parent ID the
// receipt's. The lines are never stored: they follow the courses of the receipt's package.
class CDBReceiptCourse : public CXItemT<MDU_COURSE>
{
public:
    CDBReceiptCourse() { CDBReceiptCourse::Reset(); }

    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CDBReceiptCourse; }
};
