#include "ProgramSeams.h"

#include "CLorvanApp.h"
#include "CModule.h"
#include "CommandIds.h"
#include "CXLinkCtrl.h"
#include "CXListCtrl.h"
#include "CDialogPickers.h"
#include "EditFrame.h"
#include "ModuleHooks.h"
#include "XRecordPickers.h"
#include "OperLog.h"
#include "WebService.h"
#include "WebState.h"
#include "WxKeyServices.h"
#include "WxSession.h"
#include "ProgramModules.h"
#include "Relay.h"
#include "WxToken.h"
#include "WxHttp.h"
#include "SmsSender.h"
#include "XAppServices.h"
#include "XCupsPrinterCatalog.h"
#include "XEditServices.h"
#include "XErrorReporter.h"
#include "WebResources.h"
#include "XMainWindow.h"

namespace {

// The WeChat token thread of the running web service, if it joined the relay; joined when
// the relay pool ends.
std::unique_ptr<xInternet::XWxTokenThread>& WxTokenThread()
{
    static std::unique_ptr<xInternet::XWxTokenThread> thread;
    return thread;
}

} // namespace

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
    // WeChat: the token the preferences test, the OAuth route and the session-id check
    WxTokenGetter() = [] {
        return XWxTokenState{true, xInternet::GetWxAccessToken()};
    };
    xInternet::InstallWxWebSeams();
    // The web's image route asks for command icons on its connection threads: the icon map
    // is locked for them, but the check-box images are drawn by the widget style, which only
    // the UI thread may use.
    WebCommandIcons() = [](int id, QRgb tint, bool large) {
        if (!theApp || (id >= ID_IMAGE_RADIO_ON && id <= ID_IMAGE_CHECK_OFF_HOT))
            return QImage();
        return theApp->GetCommandIcon(id, tint, large);
    };
    xInternet::RelayPoolLoop().Install(xInternet::RunRelayPool);
    RelayIpv4Getter().Install(xInternet::RelayServerIpv4);
    // the relay carries every WeChat call and every SMS code; the WeChat token thread runs
    // from the first join of a service run until the pool ends
    xInternet::WxHttpCall() = xInternet::RelayHttpCall;
    xInternet::SmsSender() = xInternet::RelaySendSms;
    xInternet::RelayFirstJoinHook() = [] {
        if (!WxTokenThread())
            WxTokenThread() = std::make_unique<xInternet::XWxTokenThread>();
        WxTokenThread()->Start();
    };
    xInternet::RelayPoolEndHook() = [] { WxTokenThread().reset(); };
}

void RemoveProgramSeams()
{
    RelayIpv4Getter().Install(nullptr);
    xInternet::RelayPoolLoop().Install(nullptr);
    xInternet::RelayFirstJoinHook() = nullptr;
    xInternet::RelayPoolEndHook() = nullptr;
    xInternet::SmsSender() = nullptr;
    xInternet::WxHttpCall() = nullptr;
    WxTokenThread().reset();
    InstallFrameSeams(nullptr, nullptr, nullptr, {});
    xInternet::RemoveWxWebSeams();
    WxTokenGetter() = nullptr;
    RemoveModuleLayerSeams();
    WebCommandIcons() = nullptr;
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
