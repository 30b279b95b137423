#include "PeopleModules.h"

#include "CModuleCharge.h"
#include "CModuleCourse.h"
#include "CModuleReceipt.h"

std::unique_ptr<CModule> CreateCourseModule() { return std::make_unique<CModuleCourse>(); }
std::unique_ptr<CModule> CreateChargeModule() { return std::make_unique<CModuleCharge>(); }
std::unique_ptr<CModule> CreateReceiptModule() { return std::make_unique<CModuleReceipt>(); }
