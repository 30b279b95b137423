#include "WebRoutes.h"

#include "CHttpRequest.h"

namespace xInternet {

const std::vector<XRoute>& ResourceRoutes()
{
    static const std::vector<XRoute> routes = {};
    return routes;
}

} // namespace xInternet
