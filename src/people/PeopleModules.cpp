#include "PeopleModules.h"

#include "CModuleCharge.h"
#include "CModuleCourse.h"

std::unique_ptr<CModule> CreateCourseModule() { return std::make_unique<CModuleCourse>(); }
std::unique_ptr<CModule> CreateChargeModule() { return std::make_unique<CModuleCharge>(); }
