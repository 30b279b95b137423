#include "ProgramSeams.h"

#include "CModule.h"
#include "CXLinkCtrl.h"
#include "CXListCtrl.h"
#include "CDialogPickers.h"
#include "EditFrame.h"
#include "ModuleHooks.h"
#include "XRecordPickers.h"
#include "OperLog.h"
#include "ProgramModules.h"
#include "Relay.h"
#include "WebService.h"
#include "WxKeyServices.h"
#include "XAppServices.h"
#include "XCupsPrinterCatalog.h"
#include "XEditServices.h"
#include "XErrorReporter.h"
#include "XMainWindow.h"

void InstallModuleLayerSeams()
{
    static CDialogPickers pickers;
    SetRecordPickers(&pickers);
    static XCupsPrinterCatalog printers;
    SetPrinterCatalog(&printers);
    SetLinkActions(&ModuleLinkActions());
    CXListCtrl::s_openItems.Install(
        [](CModule* module, CXArray& items, bool bViewOnly) { return OpenItems(module, items, bViewOnly); });
    CXListCtrl::s_headsMenu.Install(ModuleHeadsMenu);
    RegisterEditPages();
}

void RemoveModuleLayerSeams()
{
    for (const XModuleEntry& entry : ModuleTable())
        SetEditPageMaker(entry.mduId, {});
    CXListCtrl::s_headsMenu.Install(nullptr);
    CXListCtrl::s_openItems.Install(nullptr);
    SetLinkActions(nullptr);
    SetRecordPickers(nullptr);
    SetPrinterCatalog(nullptr);
}

void InstallProgramSeams(XAppServices& app)
{
    SetAppServices(&app);
    SetErrorSink(ShowOrLogError);
    InstallModuleLayerSeams();
    xInternet::RelayPoolLoop().Install(xInternet::RunRelayPool);
    RelayIpv4Getter().Install(xInternet::RelayServerIpv4);
}

void RemoveProgramSeams()
{
    RelayIpv4Getter().Install(nullptr);
    xInternet::RelayPoolLoop().Install(nullptr);
    InstallFrameSeams(nullptr, nullptr, nullptr, {});
    RemoveModuleLayerSeams();
    SetErrorSink(nullptr);
    SetAppServices(nullptr);
}

void InstallFrameSeams(XModuleHost* host, QObject* mainWindow, XEditServices* editServices,
                       std::function<QString()> activeModuleName)
{
    SetModuleHost(host);
    XSetMainWindow(mainWindow);
    SetEditServices(editServices);
    CXListCtrl::s_activeModuleName.Install(std::move(activeModuleName));
}
