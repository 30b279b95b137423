#pragma once

#include "WebService.h"

#include <vector>

namespace xInternet {

// The routes of each area of the web client, each defined beside its handlers. A path
// appears in one area only.
const std::vector<XRoute>& AccountRoutes();  // WebRoutes_Account.cpp
const std::vector<XRoute>& ResourceRoutes(); // WebRoutes_Resource.cpp
const std::vector<XRoute>& QueryRoutes();    // WebRoutes_Query.cpp
const std::vector<XRoute>& EditRoutes();     // WebRoutes_Edit.cpp
const std::vector<XRoute>& MessageRoutes();  // WebRoutes_Message.cpp

} // namespace xInternet
