#include "WebRoutes.h"

#include "CHttpRequest.h"

namespace xInternet {

const std::vector<XRoute>& AccountRoutes()
{
    static const std::vector<XRoute> routes = {};
    return routes;
}

} // namespace xInternet
