#include "CDlgAppLogin.h"

#include "CDlgAppExit.h"
#include "CMainFrame.h"
#include "CModuleTeacher.h"
#include "CXItem.h"
#include "CXQrCodes.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "LoginRules.h"
#include "OperLog.h"
#include "RecordConsts.h"
#include "Resources.h"
#include "Version.h"
#include "VersionDocument.h"
#include "WebState.h"
#include "XAppServices.h"
#include "XInputWatch.h"
#include "XUi.h"

#include <QtCore/QTimer>
#include <QtGui/QCursor>
#include <QtGui/QPainter>
#include <QtGui/QScreen>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFormLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSystemTrayIcon>
#include <QtWidgets/QVBoxLayout>

#include <mutex>

namespace {

constexpr int kTimerPeriodMs = 500;
const QString kAppName = QStringLiteral("Lorvan Manager");

// The link line: the version, the update link (an "xc:" link carrying the command) and the
// program's notice with the build year.
const char* const kLinkPattern = "版本 %s <a href=\"xc:%d\">%s</a>　© %s Lorvan Manager，音乐与艺术培训学校管理。";

bool FindTeachers(const QString& text, CXArray& found)
{
    auto* teachers = dynamic_cast<CModuleTeacher*>(FindModule(MDU_TEACHER));
    return !teachers || teachers->ReadLoginUsers(found, text); // no teacher module: nobody found
}

} // namespace

// clang-format off
X_BEGIN_MESSAGE_MAP(CDlgAppLogin, XCmdTarget)
    X_ON_COMMAND(ID_APP_SHOW, OnShow)
    X_ON_COMMAND(ID_APP_HIDE, OnHide)
    X_ON_COMMAND_RANGE(ID_APP_UPDATECHK, ID_APP_UPDATE, OnForward)
    X_ON_COMMAND_RANGE(ID_APP_ABOUT, ID_APP_ABOUT, OnForward)
    X_ON_COMMAND(ID_APP_EXIT, OnExit)
    X_ON_UPDATE_COMMAND_UI(ID_APP_SHOW, OnUpdateShow)
    X_ON_UPDATE_COMMAND_UI(ID_APP_HIDE, OnUpdateHide)
    X_ON_UPDATE_COMMAND_UI(ID_APP_UPDATE, OnUpdateUpdateNow)
    X_ON_UPDATE_COMMAND_UI(ID_APP_UPDATECHK, OnUpdateAlways)
    X_ON_UPDATE_COMMAND_UI(ID_APP_ABOUT, OnUpdateAlways)
    X_ON_UPDATE_COMMAND_UI(ID_APP_EXIT, OnUpdateAlways)
X_END_MESSAGE_MAP()
// clang-format on

QLabel* NewBanner(QWidget* parent, int width)
{
    QImage picture = QImage::fromData(LoadResourceFile(ResourcePath(IDR_PNG_BANNER, RT_PNG)));
    auto* banner = new QLabel(parent);
    if (picture.isNull())
        return banner;
    picture = picture.scaledToWidth(width, Qt::SmoothTransformation).convertToFormat(QImage::Format_ARGB32);
    {
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::TextAntialiasing);
        QFont font = parent->font();
        font.setPixelSize(std::max(12, picture.height() * 3 / 10));
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(picture.rect().adjusted(picture.height() / 3, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         kAppName);
    }
    banner->setPixmap(QPixmap::fromImage(picture));
    banner->setFixedSize(picture.size());
    return banner;
}

CDlgAppLogin::CDlgAppLogin(QWidget* parent, CXItem& admin, bool hideAtOnce)
    : QDialog(parent), m_bHideAtOnce(hideAtOnce ? 1 : 0), m_users(nullptr, true), m_admin(admin)
{
    setWindowTitle(QStringLiteral("登录到 ") + kAppName);
    setWindowIcon(QApplication::windowIcon());
    m_lastInputTick = LastInputTick;
    m_tickCount = TickCount;

    m_bUsersRead = FindTeachers(QString(), m_users);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 8);
    layout->addWidget(NewBanner(this, 520));

    auto* body = new QHBoxLayout;
    body->setContentsMargins(16, 8, 16, 0);
    auto* form = new QFormLayout;
    m_pUser = new QComboBox(this);
    m_pUser->setObjectName(QString::number(IDC_TITLE));
    m_pUser->setEditable(true);
    m_pUser->setMinimumWidth(180);
    for (int i = 0; i < m_users.GetSize(); ++i)
        if (const auto* t = dynamic_cast<const CDBTeacher*>(m_users.GetAt(i)))
            m_pUser->addItem(t->m_strRealName);
    m_pUser->addItem(m_admin.m_strName);
    m_pUser->setCurrentIndex(0);
    m_pPassword = new QLineEdit(this);
    m_pPassword->setObjectName(QString::number(IDC_PASSWORD));
    m_pPassword->setEchoMode(QLineEdit::Password);
    form->addRow(QStringLiteral("用户名："), m_pUser);
    form->addRow(QStringLiteral("密码："), m_pPassword);
    m_pWarning = new QLabel(this);
    m_pWarning->setStyleSheet(QStringLiteral("color: #b35c00;"));
    m_pWarning->setWordWrap(true);
    m_pWarning->hide();
    form->addRow(QString(), m_pWarning);
    m_pLogin = new QPushButton(QStringLiteral("登录(&L)"), this);
    m_pLogin->setDefault(true);
    connect(m_pLogin, &QPushButton::clicked, this, &CDlgAppLogin::accept);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_pLogin);
    form->addRow(QString(), buttonRow);
    auto* prompt = new QLabel(QStringLiteral("请输入用户名和密码。\n如需帮助，请按 F1 键。"), this);
    prompt->setStyleSheet(QStringLiteral("color: gray;"));
    form->addRow(QString(), prompt);
    body->addLayout(form, 1);
    m_pQrCodes = new CXQrCodes(this);
    m_pQrCodes->setObjectName(QString::number(IDC_QRCODES));
    m_pQrCodes->setFixedSize(140, 164);
    body->addWidget(m_pQrCodes, 0, Qt::AlignTop);
    layout->addLayout(body);

    m_strLinkPattern = QString::fromUtf8(kLinkPattern);
    m_pLink = new QLabel(this);
    m_pLink->setObjectName(QString::number(IDC_LINK_LINE));
    m_pLink->setContentsMargins(16, 4, 16, 0);
    m_pLink->setTextFormat(Qt::RichText);
    m_pLink->setStyleSheet(QStringLiteral("color: gray;"));
    connect(m_pLink, &QLabel::linkActivated, this, &CDlgAppLogin::LinkActivated);
    layout->addWidget(m_pLink);

    // only the administrator, still with the default password: say so
    const QString warning =
        DefaultPasswordWarning(m_users.GetSize(), m_admin.GetPassword(true), m_admin.GetDefaultPassword());
    if (!warning.isEmpty()) {
        m_pWarning->setText(warning.mid(4)); // the "[w] " mark becomes the colour
        m_pWarning->show();
    }

    if (QSystemTrayIcon::isSystemTrayAvailable()) {
        m_pTray = new QSystemTrayIcon(this);
        connect(m_pTray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
            if (reason == QSystemTrayIcon::Context)
                ShowTrayMenu();
            else if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                Restore();
        });
        connect(m_pTray, &QSystemTrayIcon::messageClicked, this, &CDlgAppLogin::Restore);
    }
    UpdateState();
    m_pTimer = new QTimer(this);
    m_pTimer->setInterval(kTimerPeriodMs);
    connect(m_pTimer, &QTimer::timeout, this, &CDlgAppLogin::UpdateState);
    m_pTimer->start();
}

CDlgAppLogin::~CDlgAppLogin()
{
    if (m_pTray)
        m_pTray->hide();
}

void CDlgAppLogin::UpdateState()
{
    const std::uint32_t own = GetOwnFileVersion();
    const std::uint32_t latest = GetLatestVersion();
    const bool newer = latest > own;
    const QString year = GetBuildDate().left(4);
    m_pLink->setText(FormatString(m_strLinkPattern, FormatVersion(own), static_cast<int>(ID_APP_UPDATE),
                                  newer ? QStringLiteral("更新") : QString(), year));

    int relays = 0;
    {
        std::lock_guard lock(xInternet::WebStateLock());
        relays = xInternet::RelayConnections();
    }
    const int connected = relays > 0 ? 1 : 0;
    if (connected != m_nRelayShown || (newer ? 1 : 0) != m_nNewerShown) {
        m_nRelayShown = connected;
        m_nNewerShown = newer ? 1 : 0;
        if (m_pTray) {
            const QRgb tint = connected ? qRgb(0, 128, 0) : qRgb(128, 128, 128);
            m_pTray->setIcon(AppServices().CommandIcon(ID_WEBSRV_STATUS, tint, true));
            m_pTray->setToolTip(
                FormatString(u"%s %s%s - %s ", kAppName, FormatVersion(own),
                             newer ? FormatString(u" (发现新版本 %s)", FormatVersion(latest)) : QString(),
                             connected ? QStringLiteral("已连接") : QStringLiteral("未连接")));
            m_pTray->show();
        }
    }

    if (!isVisible())
        return;
    if (m_bHideAtOnce) {
        m_bHideAtOnce = 0;
        Minimize();
        return;
    }
    int timeout = 5;
    {
        std::lock_guard lock(AppServices().Mutex());
        const QVariant v = AppServices().SetupValue(QStringLiteral("LoginTimeout"));
        if (v.isValid())
            timeout = v.toInt();
    }
    const std::uint32_t idle = m_tickCount() - m_lastInputTick();
    if (idle > static_cast<std::uint32_t>(timeout) * 120000u)
        Minimize();
}

void CDlgAppLogin::Minimize()
{
    raise();
    hide();
    if (m_pTray)
        m_pTray->showMessage(FormatString(u"%s 运行中 ...", kAppName),
                             QStringLiteral("已隐藏到系统托盘，其运行期间可通过 Internet 访问！"));
}

void CDlgAppLogin::Restore()
{
    if (!isVisible())
        show();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    raise();
    activateWindow();
}

void CDlgAppLogin::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    // the frame behind it is hidden: the window takes the middle of the screen
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    // the idle time counts from when the window comes up
    NoteInput();
}

void CDlgAppLogin::ShowTrayMenu()
{
    auto item = [](int id) { return XMenuItem{id, LoadCommandText(id, true), {}}; };
    const XMenuSpec menu = {item(ID_APP_SHOW),
                            item(ID_APP_HIDE),
                            {},
                            item(ID_APP_UPDATECHK),
                            item(ID_APP_UPDATE),
                            {},
                            item(ID_APP_ABOUT),
                            {},
                            item(ID_APP_EXIT)};
    if (const int id = XUi::TrackPopupMenu(menu, QCursor::pos(), this))
        DispatchCommand(id);
}

void CDlgAppLogin::LinkActivated(const QString& link)
{
    if (link.startsWith(QLatin1String("xc:"), Qt::CaseInsensitive))
        DispatchCommand(link.mid(3).toInt());
}

void CDlgAppLogin::OnForward(int id)
{
    if (m_appCommand)
        m_appCommand(id);
}

void CDlgAppLogin::OnUpdateShow(XCmdUI* ui) { ui->Enable(!isVisible()); }
void CDlgAppLogin::OnUpdateHide(XCmdUI* ui) { ui->Enable(isVisible()); }
void CDlgAppLogin::OnUpdateUpdateNow(XCmdUI* ui) { ui->Enable(IsNewerVersionKnown()); }
void CDlgAppLogin::OnUpdateAlways(XCmdUI* ui) { ui->Enable(true); }

void CDlgAppLogin::accept()
{
    m_strUser = m_pUser->currentText().trimmed();
    m_strPassword = m_pPassword->text();
    CXArray found(nullptr, true);
    const XLoginDecision d = DecideLogin(m_strUser, m_strPassword, m_admin, FindTeachers, found);
    if (d.outcome == XLoginDecision::Failed)
        return;
    if (d.outcome != XLoginDecision::LoggedIn) {
        QWidget* at = d.atPassword ? static_cast<QWidget*>(m_pPassword) : m_pUser;
        XUi::ShowBalloon(at, at->rect(), QString(), d.message, 2);
        at->setFocus();
        return;
    }
    if (m_setUser)
        m_setUser(*d.user);
    WriteOperLog(OPER_LOGIN, *d.user, 0, 0, QString(), QString());
    done(QDialog::Accepted);
}

void CDlgAppLogin::reject()
{
    // ended from outside (a signal): nobody is there to answer the exit question
    if (CMainFrame::IsEndingWithoutAsking()) {
        done(QDialog::Rejected);
        return;
    }
    CDlgAppExit ask(this);
    ask.m_bHideDisabled = !isVisible();
    const int answer = XUi::RunModal(&ask);
    if (answer == IDOK)
        done(QDialog::Rejected);
    else if (answer == ID_APP_HIDE)
        Minimize();
}
