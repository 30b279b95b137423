#include "XEditServices.h"
#include "CommandIds.h"

#include "CModule.h"
#include "CXArray.h"
#include "XAppServices.h"
#include "XService.h"

namespace {
XService<XEditServices> g_services;
}

void XEditServices::LoadTemplates(int mduId, CXArray& templs)
{
    CModule* templModule = FindModule(MDU_TEMPL);
    if (!templModule)
        return;
    CXMap query;
    query.SetText(QKEY_MODULE, QString::number(mduId));
    query.SetText(IDC_ENABLED, QStringLiteral("1"));
    templModule->QueryItems(templs, query, true, false);
}

int XEditServices::ChooseTemplate(QWidget*, const CXArray&, CXItem*& chosen)
{
    chosen = nullptr;
    return IDCANCEL; // no chooser until printing is installed
}

bool XEditServices::StartPrint(QWidget*, CXItem*, CXItem*, const CXItem*, bool) { return false; }

QString XEditServices::GetWxAccessToken() { return QString(); }

void XEditServices::SendWxMsg(QWidget*, CXItem*) {}

XEditServices& EditServices()
{
    static XEditServices builtIn;
    return g_services.GetOr(builtIn);
}

XEditServices* SetEditServices(XEditServices* services) { return g_services.Install(services); }
