#include "WebRoutes.h"

#include "CHttpRequest.h"

namespace xInternet {

const std::vector<XRoute>& MessageRoutes()
{
    static const std::vector<XRoute> routes = {};
    return routes;
}

} // namespace xInternet
