#include "CLorvanApp.h"

#include "CDBPrjQuery.h"
#include "CHead.h"
#include "CInstanceGuard.h"
#include "CMainFrame.h"
#include "CommandIcons.h"
#include "CommandIds.h"
#include "CXMap.h"
#include "OperLog.h"
#include "ProgramSeams.h"
#include "CWxTmpl.h"
#include "XWxEditServices.h"
#include "Settings.h"
#include "Resources.h"
#include "StartDatabase.h"
#include "XUi.h"
#include "WebUpdate.h"

#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOption>

#include <algorithm>

CLorvanApp* theApp = nullptr;

// clang-format off
X_BEGIN_MESSAGE_MAP(CLorvanApp, XCmdTarget)
    X_ON_COMMAND_RANGE(MDU_STUDENT, MDU_WAGES, OnModuleCommand)
    X_ON_UPDATE_COMMAND_UI_RANGE(MDU_STUDENT, MDU_WAGES, OnUpdateModuleCommand)
    X_ON_COMMAND(ID_FILE_CLOSEALL, OnCloseAll)
    X_ON_UPDATE_COMMAND_UI(ID_FILE_CLOSEALL, OnUpdateModuleCommand)
    X_ON_COMMAND(ID_APP_LOGOUT, OnLogout)
    X_ON_COMMAND(ID_APP_HIDE, OnHide)
    X_ON_COMMAND(ID_APP_SERIAL, OnAppSerial)
    X_ON_COMMAND(ID_APP_SETUP, OnAppSetup)
    X_ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
    X_ON_COMMAND(ID_APP_UPDATECHK, OnAppUpdateCheck)
    X_ON_COMMAND(ID_APP_UPDATE, OnAppUpdateNow)
X_END_MESSAGE_MAP()
// clang-format on

CLorvanApp::CLorvanApp() : m_hWxRefresh(WxRefreshEvent()), m_hWxRefreshed(WxRefreshedEvent())
{
    m_admin.m_nMduID = MDU_TEACHER;
    m_admin.m_nID = 0;
    m_admin.m_strName = QStringLiteral("Admin");
    m_admin.m_nRightRole = 2;
    theApp = this;
}

CLorvanApp::~CLorvanApp()
{
    ExitInstance();
    theApp = nullptr;
}

bool CLorvanApp::InitInstance()
{
    // a second start hands over to the running one and shows nothing
    if (ActivateOtherInstance()) {
        m_bSecondStart = true;
        return false;
    }
    InstallProgramSeams(*this);
    SetCurrentSetup(&m_setup);
    LoadCommandIcons(*this);
    m_bSeams = true;
    // the modules come before the database: opening it marks the writable columns of
    // every registered module, and the log module lists those registered before it
    m_modules.Create();
    LoadWxTemplates();
    if (!StartDatabase())
        return false;

    // no other thread runs yet, but the seam's readers expect the lock
    CDBSetup loaded;
    loaded.Load();
    {
        std::lock_guard lock(m_mutex);
        loaded.CopyTo(&m_setup);
    }
    m_admin.SetPassword(ReadSetting(QStringLiteral("Global"), QStringLiteral("AdminMD5Pwd"), QString()));
    StartWeb();

    // each visible module's saved column schemes
    if (CModule* schemes = FindModule(MDU_PRJORDER)) {
        for (CModule* module : GetModules()) {
            if (module->IsHidden())
                continue;
            CXMap query;
            query.SetText(QKEY_MODULE, QString::number(module->GetMduID()));
            module->m_headSchemes.RemoveAll();
            schemes->QueryItems(module->m_headSchemes, query, true, false);
        }
    }
    // the frame exists hidden from here on; start-up ends by asking for a login
    m_pMainWnd = std::make_unique<CMainFrame>();
    m_pMainWnd->m_pApp = this;
    m_pMainWnd->m_onLoggedOut = [this] { ForgetUser(); };
    CMainFrame* frame = m_pMainWnd.get();
    InstallFrameSeams(frame, frame, &AppEditServices(), [frame] {
        const CModule* module = frame->GetActiveModule();
        return module ? LoadCommandText(module->GetMduID()) : QString();
    });
    // an update started from a phone: downloaded on the web thread, launched here
    xInternet::WebUpdaterLauncher() = [this] {
        QMetaObject::invokeMethod(m_pMainWnd.get(), [this] { LaunchUpdaterAndClose(); }, Qt::QueuedConnection);
    };
    StartLoginServices();
    return true;
}

int CLorvanApp::ExitInstance()
{
    m_hStopEvent.Set();
    StopWeb();
    if (m_jobThread.joinable())
        m_jobThread.join();
    StopLoginServices();
    if (!m_bSeams)
        return 0;
    if (m_pMainWnd) {
        // ended by a signal with a user still logged in: the layout and the exit are kept
        // as a closed frame keeps them, without the question
        if (User()) {
            m_pMainWnd->SwitchUser(true);
            WriteOperLog(OPER_RUN, BuiltInAdmin(), 0, 0, QStringLiteral("退出"), QString());
        }
        InstallFrameSeams(nullptr, nullptr, nullptr, {});
        xInternet::WebUpdaterLauncher() = nullptr;
        m_pMainWnd.reset();
    }
    StopDatabase();
    m_modules.Destroy();
    SetCurrentSetup(nullptr);
    RemoveProgramSeams();
    m_bSeams = false;
    return 0;
}

bool CLorvanApp::OnAppCommand(int id)
{
    if (m_pMainWnd)
        return m_pMainWnd->DispatchCommand(id);
    return DispatchCommand(id);
}

bool CLorvanApp::OpenModule(int mduId)
{
    CModule* module = FindModule(mduId);
    if (!module || module->IsHidden())
        return true;
    XWaitCursor wait;
    if (module->GetView()) {
        module->ActivateView();
        return true;
    }
    CXArray schemes(nullptr, true);
    module->GetQuerySchemes(schemes);
    if (const auto* first = schemes.IsEmpty() ? nullptr : dynamic_cast<const CDBPrjQuery*>(schemes.GetAt(0)))
        module->ApplyQuery(CXMap(first->m_strRightData));
    return true;
}

void CLorvanApp::OnUpdateModuleCommand(XCmdUI* ui)
{
    if (ui->m_nID == ID_FILE_CLOSEALL) {
        ui->Enable(m_pMainWnd && !m_pMainWnd->ModuleWindows().isEmpty());
        return;
    }
    CModule* module = FindModule(ui->m_nID);
    const CXItem* user = User();
    ui->SetCheck(module && module->GetView() ? 1 : 0);
    ui->Enable(module && !module->IsHidden() && user && module->HasRight(*user, RIGHT_QRY));
}

void CLorvanApp::OnCloseAll()
{
    if (m_pMainWnd)
        m_pMainWnd->CloseAllDocuments();
}

void CLorvanApp::LogIn(const CXItem& user)
{
    SetUser(user);
    if (m_pMainWnd)
        m_pMainWnd->SwitchUser(false);
    m_bFrameShown = m_pMainWnd != nullptr;
}

void CLorvanApp::ForgetUser()
{
    std::lock_guard lock(m_mutex);
    m_user.m_nID = 0;
    m_user.m_strName.clear();
    m_user.m_nRightRole = 0;
    m_user.m_strRightData.clear();
    m_user.m_strPassword.clear();
    ++m_nLoginGeneration;
    m_bFrameShown = false;
}

QVariant CLorvanApp::SetupValue(const QString& key) const
{
    const CHead* head = CDBSetup::StaticHeads()->FindByColumn(key);
    if (!IsStoredSetupHead(head))
        return QVariant();
    switch (head->m_nType) {
    case XIN:
        return m_setup.Member<int>(head->m_nOffset);
    case XIM:
        return m_setup.Member<CXImage>(head->m_nOffset).m_nPhotoID;
    default:
        return m_setup.Member<QString>(head->m_nOffset);
    }
}

QImage TintIcon(const QImage& icon, QRgb tint)
{
    QImage out = icon.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb p = line[x];
            if (qAlpha(p) == 0)
                continue;
            if ((p & 0xFFFFFF) == 0xFFFFFF) {
                line[x] = 0;
                continue;
            }
            // in thousandths, so a grey keeps its own value (in doubles 0.299 + 0.587 + 0.114 falls short)
            const int luma = std::clamp((299 * qRed(p) + 587 * qGreen(p) + 114 * qBlue(p)) / 1000, 0, 255);
            const int m = std::max(luma, 192);
            line[x] = qRgba(qRed(tint) * m / 255, qGreen(tint) * m / 255, qBlue(tint) * m / 255, qAlpha(p));
        }
    }
    return out;
}

QImage DrawStateImage(int id, bool large)
{
    if (id < ID_IMAGE_RADIO_ON || id > ID_IMAGE_CHECK_OFF_HOT ||
        !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return QImage();
    // Six images per kind, in the order: on, on disabled, on hot, off, off disabled, off hot.
    const int index = id - ID_IMAGE_RADIO_ON;
    const bool radio = index < 6;
    const int variant = index % 6;
    const int side = large ? 32 : 16;
    const QRgb back = qRgb(192, 192, 192);

    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(back);
    QStyleOptionButton option;
    option.state = QStyle::State_Active;
    option.state |= variant < 3 ? QStyle::State_On : QStyle::State_Off;
    if (variant % 3 != 1)
        option.state |= QStyle::State_Enabled;
    if (variant % 3 == 2)
        option.state |= QStyle::State_MouseOver;
    QStyle* style = QApplication::style();
    const QStyle::PixelMetric metricW = radio ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth;
    const QStyle::PixelMetric metricH = radio ? QStyle::PM_ExclusiveIndicatorHeight : QStyle::PM_IndicatorHeight;
    const int w = std::min(side, std::max(style->pixelMetric(metricW) * side / 16, 8));
    const int h = std::min(side, std::max(style->pixelMetric(metricH) * side / 16, 8));
    option.rect = QRect((side - w) / 2, (side - h) / 2, w, h);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        style->drawPrimitive(radio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox, &option, &painter);
    }
    // The background colour is the transparent one, as in the toolbar images.
    for (int y = 0; y < side; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < side; ++x)
            if (line[x] == back)
                line[x] = 0;
    }
    return image;
}

void CLorvanApp::AddCommandIcon(int id, bool large, const QImage& image)
{
    if (id == 0 || image.isNull())
        return;
    std::lock_guard lock(m_mutex);
    m_mapIcons.emplace(std::make_pair((id & 0xFFFF) | (large ? 0x10000 : 0), QRgb(0)), image);
}

QImage CLorvanApp::GetCommandIcon(int id, QRgb tint, bool large)
{
    if (id == 0)
        return QImage();
    const int key = (id & 0xFFFF) | (large ? 0x10000 : 0);
    tint &= 0xFFFFFF;
    std::lock_guard lock(m_mutex);
    if (auto it = m_mapIcons.find({key, tint}); it != m_mapIcons.end())
        return it->second;
    auto plain = m_mapIcons.find({key, QRgb(0)});
    if (plain == m_mapIcons.end()) {
        QImage drawn = DrawStateImage(id & 0xFFFF, large);
        if (drawn.isNull())
            return QImage();
        plain = m_mapIcons.emplace(std::make_pair(key, QRgb(0)), std::move(drawn)).first;
    }
    if (tint == 0)
        return plain->second;
    QImage tinted = TintIcon(plain->second, tint);
    m_mapIcons.emplace(std::make_pair(key, tint), tinted);
    return tinted;
}

QIcon CLorvanApp::CommandIcon(int id, QRgb tint, bool large) const
{
    const QImage image = const_cast<CLorvanApp*>(this)->GetCommandIcon(id, tint, large);
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}
