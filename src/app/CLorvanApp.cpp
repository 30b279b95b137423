#include "CLorvanApp.h"

#include "CHead.h"
#include "CInstanceGuard.h"
#include "CommandIcons.h"
#include "CommandIds.h"
#include "CXMap.h"
#include "ProgramSeams.h"
#include "Settings.h"
#include "StartDatabase.h"

#include <QtGui/QPainter>
#include <QtGui/QPixmap>
#include <QtWidgets/QApplication>
#include <QtWidgets/QStyle>
#include <QtWidgets/QStyleOption>

#include <algorithm>

CLorvanApp* theApp = nullptr;

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
    // start-up ends by asking for a login; the login window comes with the main frame
    return true;
}

int CLorvanApp::ExitInstance()
{
    m_hStopEvent.Set();
    if (m_jobThread.joinable())
        m_jobThread.join();
    if (!m_bSeams)
        return 0;
    StopDatabase();
    m_modules.Destroy();
    SetCurrentSetup(nullptr);
    RemoveProgramSeams();
    m_bSeams = false;
    return 0;
}

bool CLorvanApp::OnAppCommand(int id)
{
    switch (id) {
    case ID_APP_LOGOUT:
    case ID_APP_HIDE:
        // logging out needs the main frame and the login window; nothing to do before
        break;
    default:
        break;
    }
    return true;
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
