#pragma once

#include <memory>

class CModule;

// The modules of this folder, for the application's creation table (which creates them in
// kModuleCreationOrder and registers them) and for tests.
std::unique_ptr<CModule> CreateCourseModule();
std::unique_ptr<CModule> CreateChargeModule();
std::unique_ptr<CModule> CreateReceiptModule();
