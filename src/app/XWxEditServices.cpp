#include "XWxEditServices.h"

#include "CDlgSendWxMsg.h"
#include "WebState.h"

QString XWxEditServices::GetWxAccessToken() { return xInternet::GetWxAccessToken(); }

void XWxEditServices::SendWxMsg(QWidget* parent, CXItem* item) { RunSendWxMsg(parent, item); }

XEditServices& AppEditServices()
{
    static XWxEditServices services;
    return services;
}
