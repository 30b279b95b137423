#include "WebRoutes.h"

#include "CHttpRequest.h"
#include "CModule.h"
#include "CXArray.h"
#include "CXMap.h"
#include "WxTmplMsg.h"

namespace xInternet {

const std::vector<XRoute>& MessageRoutes()
{
    static const std::vector<XRoute> routes = {
        {"sendmsg", &CHttpRequest::OnSendMsg, true},
    };
    return routes;
}

// A WeChat notice about one record, sent from a phone: the form of the record's page names
// the template, the receivers and the sender's text.
void CHttpRequest::OnSendMsg()
{
    CModule* module = FindModule(GetParamInt(QStringLiteral("mduid")));
    const QString query = GetParamText(QStringLiteral("query"));
    const QString tmplId = GetParamText(QStringLiteral("tmplid"));
    const QString userText = GetParamText(QStringLiteral("msguserdef"));
    const QString rcvers = GetParamText(QStringLiteral("rcvers"));
    if (!module || query.isEmpty() || tmplId.isEmpty() || rcvers.isEmpty() || !module->HasRight(m_user, RIGHT_MSG)) {
        WriteHttpResponse(400, 0, QByteArray(), CACHE_NONE, QString());
        return;
    }
    CXArray items(nullptr, true);
    if (!module->QueryItems(items, CXMap(query.toUtf8()), true, false)) {
        WriteHttpResponse(500, 0, QByteArray(), CACHE_NONE, QString());
        return;
    }
    if (items.IsEmpty()) {
        WriteXmlResult(ERR_NotFound, QStringLiteral("未找到对应的记录！"), 0);
        return;
    }
    QString result;
    if (SendWxTmplMsg(result, *items.GetAt(0), tmplId, userText, rcvers, m_user))
        WriteXmlResult(ERR_OK, QString(), 0);
    else
        WriteXmlResult(ERR_FailMsg, result, 0);
}

} // namespace xInternet
