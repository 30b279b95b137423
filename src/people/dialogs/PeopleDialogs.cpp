#include "PeopleDialogs.h"

#include "CDlgEditCharge.h"
#include "CDlgEditCourse.h"
#include "ModuleLayer.h"

CXDialogEx* CreateCourseEditPage(bool bNew, const CXItem* item) { return new CDlgEditCourse(bNew, item); }
CXDialogEx* CreateChargeEditPage(bool bNew, const CXItem* item) { return new CDlgEditCharge(bNew, item); }

void RegisterPeopleEditPages()
{
    SetEditPageMaker(MDU_COURSE, CreateCourseEditPage);
    SetEditPageMaker(MDU_CHARGE, CreateChargeEditPage);
}
