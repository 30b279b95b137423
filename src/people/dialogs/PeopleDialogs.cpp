#include "PeopleDialogs.h"

#include "CDlgEditCharge.h"
#include "CDlgEditCourse.h"
#include "CDlgEditReceipt.h"
#include "CDlgEditStudent.h"
#include "EditFrame.h"
#include "XRecordPickers.h"

std::unique_ptr<CXDialogEx> CreateCourseEditPage(bool bNew, const CXItem* item)
{
    return std::make_unique<CDlgEditCourse>(bNew, item);
}
std::unique_ptr<CXDialogEx> CreateChargeEditPage(bool bNew, const CXItem* item)
{
    return std::make_unique<CDlgEditCharge>(bNew, item);
}
std::unique_ptr<CXDialogEx> CreateStudentEditPage(bool bNew, const CXItem* item)
{
    return std::make_unique<CDlgEditStudent>(bNew, item);
}

std::unique_ptr<CXDialogEx> CreateReceiptEditPage(bool bNew, const CXItem* item)
{
    return std::make_unique<CDlgEditReceipt>(bNew, item);
}

void RegisterPeopleEditPages()
{
    SetEditPageMaker(MDU_COURSE, CreateCourseEditPage);
    SetEditPageMaker(MDU_CHARGE, CreateChargeEditPage);
    SetEditPageMaker(MDU_STUDENT, CreateStudentEditPage);
}
