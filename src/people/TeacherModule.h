#pragma once

#include <memory>

class CModule;

// The teacher module, for the application's table of modules.
std::unique_ptr<CModule> CreateTeacherModule();
