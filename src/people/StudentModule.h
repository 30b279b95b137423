#pragma once

#include <memory>

class CModule;

// The student module, for the application's table of modules.
std::unique_ptr<CModule> CreateStudentModule();
