#include "CDlgAppSetupPage.h"

#include "BackgroundJobThread.h"
#include "BinaryColumns.h"
#include "CXDBSession.h"
#include "CXImage.h"
#include "CXImageCtrl.h"
#include "CommandIds.h"
#include "DatabaseBackup.h"
#include "FormatString.h"
#include "ProgramPaths.h"
#include "Version.h"
#include "WxKeyServices.h"
#include "XDateTime.h"
#include "XUi.h"
#include "XUiFiles.h"
#include "XWinStyles.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtGui/QImageReader>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>

#include <algorithm>
#include <mutex>

namespace {

const XDlgTemplate& PageTemplate()
{
    using K = XCtrlKind;
    const auto group = [](const char* caption, int row) {
        return XCtrlDef{-1, K::GroupBox, QString::fromUtf8(caption), 0, row, 0, 3};
    };
    const auto label = [](const char* text, int row) {
        return XCtrlDef{-1, K::Static, QString::fromUtf8(text), WS_GROUP, row, 0};
    };
    const auto edit = [](int id, int row, unsigned style = 0) {
        return XCtrlDef{id, K::Edit, QString(), WS_TABSTOP | style, row, 1};
    };
    const auto combo = [](int id, int row, unsigned style) {
        return XCtrlDef{id, K::Combo, QString(), WS_TABSTOP | style, row, 1};
    };
    const auto button = [](int id, const char* text, int row) {
        return XCtrlDef{id, K::Button, QString::fromUtf8(text), WS_TABSTOP, row, 2};
    };
    const auto note = [](const char* text, int row) {
        return XCtrlDef{-1, K::Static, QString::fromUtf8(text), 0, row, 1, 2};
    };
    static const XDlgTemplate t{
        IDD_APP_SETUP_PAGE,
        QStringLiteral("首选项"),
        WS_CHILD | WS_VSCROLL,
        {
            group("基本信息", 0),
            label("名称：", 1),
            edit(IDC_SETUP_RECORD_NAME, 1),
            label("简称：", 2),
            edit(IDC_SETUP_GROUP_NAME, 2),
            label("地址：", 3),
            edit(IDC_SETUP_LTD_LOCATION, 3),
            label("联系方式：", 4),
            edit(IDC_SETUP_LTD_CONTACT, 4),
            label("网站标题：", 5),
            edit(IDC_SETUP_LTD_TITLE, 5),
            button(IDC_SETUP_RESET_INFO, "重置", 5),

            group("LOGO", 6),
            label("小 LOGO：", 7),
            {IDC_SETUP_STD_LOGO, K::Custom, QString(), 0, 7, 1},
            button(IDC_SETUP_STD_LOGO_CHANGE, "更换 ...", 7),
            label("大 LOGO：", 8),
            {IDC_SETUP_BIG_LOGO, K::Custom, QString(), 0, 8, 1},
            button(IDC_SETUP_BIG_LOGO_CHANGE, "更换 ...", 8),
            note("更换的图片将自动缩小至 100 像素高度，不透明图片的白色将成为透明色。", 9),
            button(IDC_SETUP_RESET_LOGO, "重置", 9),

            group("选项", 10),
            label("可提前考勤：", 11),
            edit(IDC_SETUP_RCD_ADVANCE, 11),
            label("课时不足提醒：", 12),
            edit(IDC_SETUP_WARN_REMAINED, 12),
            label("有试听提醒天数：", 13),
            edit(IDC_SETUP_DEMO_WARN_DAYS, 13),
            label("一对多课默认时长：", 14),
            edit(IDC_SETUP_DEFAULT_DUR0, 14),
            label("一对一课默认时长：", 15),
            edit(IDC_SETUP_DEFAULT_DUR1, 15),
            label("报名收据编号格式：", 16),
            combo(IDC_SETUP_KEY_FMT_RCP, 16, CBS_DROPDOWN),
            label("普通收据编号格式：", 17),
            combo(IDC_SETUP_KEY_FMT_CLC, 17, CBS_DROPDOWN),
            note("[YYYY] 四位年份、[Y] 两位年份、[MM] 月份、[DD] 日期，[nnnn] 顺序编号（n 的个数为位数）。", 18),
            label("班级编制：", 19),
            combo(IDC_SETUP_CLASS_FORM, 19, CBS_DROPDOWNLIST),
            label("教师默认密码：", 20),
            combo(IDC_SETUP_DEFAULT_PWD0, 20, CBS_DROPDOWN),
            label("学员默认密码：", 21),
            combo(IDC_SETUP_DEFAULT_PWD1, 21, CBS_DROPDOWN),
            label("无操作超时注销：", 22),
            edit(IDC_SETUP_LOGIN_TIMEOUT, 22),
            label("上传图片大小：", 23),
            edit(IDC_SETUP_IMG_SIZE_MAX, 23),
            label("表格文件打开方式：", 24),
            combo(IDC_SETUP_OPEN_WITH_XLS, 24, CBS_DROPDOWNLIST),
            label("模板文件打开方式：", 25),
            combo(IDC_SETUP_OPEN_WITH_RTF, 25, CBS_DROPDOWNLIST),
            button(IDC_SETUP_RESET_OPTIONS, "重置", 25),

            group("数据库备份", 26),
            label("备份周期：", 27),
            edit(IDC_SETUP_BACKUP_DAYS, 27),
            label("备份保留：", 28),
            edit(IDC_SETUP_BACKUP_HOLD, 28),
            label("备份路径：", 29),
            edit(IDC_SETUP_BACKUP_PATH, 29),
            {IDC_SETUP_BACKUP_FOLDER, K::Static, QString(), 0, 30, 1},
            button(IDC_SETUP_BACKUP_NOW, "立即备份 ...", 30),
            button(IDC_SETUP_RESET_BACKUP, "重置", 31),

            group("集成微信公众号", 32),
            {IDC_SETUP_WX_HOWTO, K::Static, QString(), 0, 33, 1, 2},
            note("1. 在公众号后台 [设置与开发] > [基本配置] > [公众号开发信息] 中获取开发者 ID 和开发者密码，"
                 "并把下面的 IP 地址加入 IP 白名单：",
                 34),
            label("开发者 ID (AppID)：", 35),
            edit(IDC_SETUP_WX_APPID, 35),
            label("开发者密码 (AppSecret)：", 36),
            edit(IDC_SETUP_WX_SECRET, 36),
            label("IP 白名单：", 37),
            edit(IDC_SETUP_WX_WHITELIST, 37, ES_READONLY),
            button(IDC_SETUP_WX_TEST, "测试连接 ...", 37),
            note("2. 在 [设置与开发] > [公众号设置] > [功能设置] > [网页授权域名] > [设置] 中下载验证文件"
                 " “MP_verify_*.txt”，把其中的内容填在下面，并把下面的域名填为网页授权域名：",
                 38),
            label("验证文件内容：", 39),
            edit(IDC_SETUP_WX_VERIFY, 39),
            label("网页授权域名：", 40),
            edit(IDC_SETUP_WX_DOMAIN, 40, ES_READONLY),
            note("3. 在 [内容与互动] > [自定义菜单] 中添加一个 “跳转网页” 类型的菜单（例如 “教务登录”），"
                 "网页地址填写：",
                 41),
            label("网页登录地址：", 42),
            edit(IDC_SETUP_WX_LOGIN_URL, 42, ES_READONLY),
        },
        {}};
    return t;
}

struct XResetGroup
{
    int id;
    const char16_t* caption;
};
constexpr XResetGroup kResetGroups[] = {
    {IDC_SETUP_RESET_INFO, u"机构信息"},
    {IDC_SETUP_RESET_LOGO, u"LOGO"},
    {IDC_SETUP_RESET_OPTIONS, u"选项"},
    {IDC_SETUP_RESET_BACKUP, u"数据库备份"},
};

const char kHeadingStyle[] = "QGroupBox { background-color: #dbe5f1; border: none; margin: 0px; padding: 0px;"
                             " font-weight: bold; min-height: 24px; }"
                             "QGroupBox::title { subcontrol-origin: border; subcontrol-position: left center;"
                             " padding-left: 2px; }";

// The file filter of the logo's open dialog: the common picture types first, then every
// type this system can read.
QString PictureFilter()
{
    QStringList all;
    for (const QByteArray& format : QImageReader::supportedImageFormats())
        all << QStringLiteral("*.") + QString::fromLatin1(format).toUpper();
    return QStringLiteral("常用图片 (*.BMP *.JPG *.JPEG *.GIF *.PNG);;所有支持的图片 (") + all.join(u' ') + u')';
}

} // namespace

// clang-format off
X_BEGIN_MESSAGE_MAP(CDlgAppSetupPage, CXDialogEx)
    X_ON_COMMAND_RANGE(IDC_SETUP_RESET_BACKUP, IDC_SETUP_RESET_LOGO, OnResetGroup)
    X_ON_COMMAND(IDC_SETUP_STD_LOGO_CHANGE, OnChangeStdLogo)
    X_ON_COMMAND(IDC_SETUP_BIG_LOGO_CHANGE, OnChangeBigLogo)
    X_ON_COMMAND(IDC_SETUP_BACKUP_NOW, OnBackupNow)
    X_ON_COMMAND(IDC_SETUP_WX_TEST, OnWxTest)
    X_ON_UPDATE_COMMAND_UI_RANGE(IDC_SETUP_RESET_BACKUP, IDC_SETUP_RESET_LOGO, OnUpdateEditing)
    X_ON_UPDATE_COMMAND_UI(IDC_SETUP_STD_LOGO_CHANGE, OnUpdateEditing)
    X_ON_UPDATE_COMMAND_UI(IDC_SETUP_BIG_LOGO_CHANGE, OnUpdateEditing)
    X_ON_UPDATE_COMMAND_UI(IDC_SETUP_WX_TEST, OnUpdateEditing)
X_END_MESSAGE_MAP()
// clang-format on

CDlgAppSetupPage::CDlgAppSetupPage(QWidget* parent) : CXDialogEx(false, &PageTemplate(), parent)
{
    m_setup.BeginEdit();
}

int CDlgAppSetupPage::GetScrollLines() const { return std::max(static_cast<int>(m_groups.size()), 1); }

void CDlgAppSetupPage::DoDataExchange(XDataExchange& dx)
{
    CDBSetup& s = m_setup;
    BindText(dx, IDC_SETUP_RECORD_NAME, &s, &s.m_strRecordName);
    BindText(dx, IDC_SETUP_GROUP_NAME, &s, &s.m_strGroupName);
    BindText(dx, IDC_SETUP_LTD_LOCATION, &s, &s.m_strLtdLocation);
    BindText(dx, IDC_SETUP_LTD_CONTACT, &s, &s.m_strLtdContact);
    BindText(dx, IDC_SETUP_LTD_TITLE, &s, &s.m_strLtdTitle);
    BindImage(dx, IDC_SETUP_STD_LOGO, &s, &s.m_imgStdLogo);
    BindImage(dx, IDC_SETUP_BIG_LOGO, &s, &s.m_imgBigLogo);
    BindInt(dx, IDC_SETUP_RCD_ADVANCE, &s, &s.m_nRcdAdvance);
    BindInt(dx, IDC_SETUP_WARN_REMAINED, &s, &s.m_nWarnRemained);
    BindInt(dx, IDC_SETUP_DEMO_WARN_DAYS, &s, &s.m_nDemoWarnDays);
    BindInt(dx, IDC_SETUP_DEFAULT_DUR0, &s, &s.m_nDefaultDur0);
    BindInt(dx, IDC_SETUP_DEFAULT_DUR1, &s, &s.m_nDefaultDur1);
    BindText(dx, IDC_SETUP_KEY_FMT_RCP, &s, &s.m_strKeyFmtRcp);
    BindText(dx, IDC_SETUP_KEY_FMT_CLC, &s, &s.m_strKeyFmtClc);
    BindChoice(dx, IDC_SETUP_CLASS_FORM, &s, &s.m_nLtdClassForm);
    BindText(dx, IDC_SETUP_DEFAULT_PWD0, &s, &s.m_strDefaultPwd0);
    BindText(dx, IDC_SETUP_DEFAULT_PWD1, &s, &s.m_strDefaultPwd1);
    BindInt(dx, IDC_SETUP_LOGIN_TIMEOUT, &s, &s.m_nLoginTimeout);
    BindInt(dx, IDC_SETUP_IMG_SIZE_MAX, &s, &s.m_nImgSizeMax);
    BindChoice(dx, IDC_SETUP_OPEN_WITH_XLS, &s, &s.m_nOpenWithXls);
    BindChoice(dx, IDC_SETUP_OPEN_WITH_RTF, &s, &s.m_nOpenWithRtf);
    BindInt(dx, IDC_SETUP_BACKUP_DAYS, &s, &s.m_nBackupDays);
    BindInt(dx, IDC_SETUP_BACKUP_HOLD, &s, &s.m_nBackupHold);
    BindText(dx, IDC_SETUP_BACKUP_PATH, &s, &s.m_strBackupPath, ID_EDIT_FOLDER);
    BindText(dx, IDC_SETUP_WX_APPID, &s, &s.m_strWxAppID);
    BindText(dx, IDC_SETUP_WX_SECRET, &s, &s.m_strWxAppSecret);
    BindText(dx, IDC_SETUP_WX_VERIFY, &s, &s.m_strWxMPverify);
}

bool CDlgAppSetupPage::OnInitDialog()
{
    // examples of number patterns, offered in the pattern boxes before their first binding
    const auto offer = [this](int id, QStringList items) {
        if (auto* c = qobject_cast<QComboBox*>(GetDlgItem(id)))
            c->addItems(items);
    };
    offer(IDC_SETUP_KEY_FMT_RCP,
          {QStringLiteral("B[Y][nnnn]"), QStringLiteral("B[YYYY][nnnnn]"), QStringLiteral("B[Y][MM][nnn]")});
    offer(IDC_SETUP_KEY_FMT_CLC,
          {QStringLiteral("T[Y][nnnn]"), QStringLiteral("T[YYYY][nnnnn]"), QStringLiteral("T[Y][MM][nnn]")});

    CXDialogEx::OnInitDialog();

    for (QWidget* w : ZOrder()) {
        if (auto* g = qobject_cast<QGroupBox*>(w)) {
            g->setTitle(u' ' + g->title());
            g->setStyleSheet(QString::fromLatin1(kHeadingStyle));
            m_groups.append(g);
        } else if (auto* l = qobject_cast<QLabel*>(w); l && CtrlId(w) == -1 && HasStyle(w, WS_GROUP)) {
            l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        } else if (auto* n = qobject_cast<QLabel*>(w); n && CtrlId(w) == -1) {
            n->setWordWrap(true);
            n->setStyleSheet(QStringLiteral("color: #505050;"));
        }
    }
    for (int id : {IDC_SETUP_STD_LOGO, IDC_SETUP_BIG_LOGO})
        if (QWidget* picture = GetDlgItem(id))
            picture->setFixedSize(260, 108);
    for (int id : {IDC_SETUP_BACKUP_FOLDER, IDC_SETUP_WX_HOWTO}) {
        if (auto* link = qobject_cast<QLabel*>(GetDlgItem(id))) {
            link->setTextFormat(Qt::RichText);
            link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
            connect(link, &QLabel::linkActivated, this, [](const QString& target) { XUi::ShellOpen(target); });
        }
    }
    if (auto* howTo = qobject_cast<QLabel*>(GetDlgItem(IDC_SETUP_WX_HOWTO)))
        howTo->setText(QStringLiteral("<a href=\"https://mp.weixin.qq.com/\">如何申请微信公众号？</a>"
                                      "（申请服务号并完成认证后，按以下三步设置）"));
    if (auto* relay = qobject_cast<QLineEdit*>(GetDlgItem(IDC_SETUP_WX_WHITELIST)))
        relay->setPlaceholderText(QStringLiteral("网站服务未连接中转服务器时为空"));
    for (int id : {IDC_SETUP_WX_DOMAIN, IDC_SETUP_WX_LOGIN_URL})
        if (auto* e = qobject_cast<QLineEdit*>(GetDlgItem(id)))
            e->setPlaceholderText(QStringLiteral("网站服务未连接中转服务器时为空"));
    if (auto* appId = qobject_cast<QLineEdit*>(GetDlgItem(IDC_SETUP_WX_APPID)))
        connect(appId, &QLineEdit::textChanged, this, [this] { UpdateDerived(); });
    UpdateDerived();
    return true;
}

void CDlgAppSetupPage::UpdateControls()
{
    CXDialogEx::UpdateControls();
    UpdateDerived();
}

void CDlgAppSetupPage::UpdateDerived()
{
    if (auto* folder = qobject_cast<QLabel*>(GetDlgItem(IDC_SETUP_BACKUP_FOLDER))) {
        const QString path = ToExeAbsolutePath(GetControlText(IDC_SETUP_BACKUP_PATH));
        const QString shown = QDir::toNativeSeparators(path).toHtmlEscaped();
        folder->setText(QStringLiteral("= “<a href=\"%1\">%2</a>”").arg(path.toHtmlEscaped(), shown));
    }
    const auto show = [this](int id, const QString& text) {
        if (auto* e = qobject_cast<QLineEdit*>(GetDlgItem(id)); e && e->text() != text)
            e->setText(text);
    };
    show(IDC_SETUP_WX_DOMAIN, m_setup.GetWxDomain());
    show(IDC_SETUP_WX_WHITELIST, RelayIpv4Getter()());
    show(IDC_SETUP_WX_LOGIN_URL, m_setup.GetWxLoginUrl());
    if (QWidget* login = GetDlgItem(IDC_SETUP_WX_LOGIN_URL))
        login->setEnabled(!GetControlText(IDC_SETUP_WX_APPID).isEmpty());
}

bool CDlgAppSetupPage::CanEdit() const
{
    const CXItem* user = AppServices().User();
    return user && user->m_nRightRole == 2 && !IsWndReadOnly(this);
}

void CDlgAppSetupPage::OnUpdateEditing(XCmdUI* ui) { ui->Enable(CanEdit()); }

QString CDlgAppSetupPage::ButtonTitle(int id) const
{
    const auto* b = qobject_cast<const QAbstractButton*>(GetDlgItem(id));
    QString text = b ? b->text() : QString();
    if (text.endsWith(QLatin1String(" ...")))
        text.chop(4);
    return text;
}

void CDlgAppSetupPage::OnResetGroup(int id)
{
    if (!CanEdit())
        return;
    for (const XResetGroup& g : kResetGroups) {
        if (g.id != id)
            continue;
        UpdateData(true);
        m_setup.ResetGroup(QString::fromUtf16(g.caption));
        UpdateData(false);
        UpdateDerived();
        return;
    }
}

void CDlgAppSetupPage::ChangeLogo(int buttonId, CXImage& logo)
{
    if (!CanEdit())
        return;
    const QString title = ButtonTitle(buttonId);
    const QString file = XUi::GetOpenFileName(this, title, QString(), PictureFilter());
    if (file.isEmpty())
        return;
    QImageReader reader(file);
    QImage picture = reader.read();
    if (picture.isNull()) {
        XUi::MessageBox(this, FormatString(u"打开 “%s” 失败！\r\n%s", file, reader.errorString()), title, MB_ICONERROR);
        return;
    }
    if (picture.height() > 100)
        picture = picture.scaledToHeight(100, Qt::SmoothTransformation);
    CXImage stored;
    stored.SetImage(picture);
    // stored at once; it becomes the logo in use only when the preferences are saved
    if (SaveToDB(stored, 0, 0, !picture.hasAlphaChannel(), 100) == 0)
        return;
    UpdateData(true);
    logo.CopyFrom(stored);
    UpdateData(false);
}

void CDlgAppSetupPage::OnBackupNow()
{
    const QString title = ButtonTitle(IDC_SETUP_BACKUP_NOW);
    QString folder = QDir::cleanPath(ToExeAbsolutePath(GetControlText(IDC_SETUP_BACKUP_PATH)));
    while (folder.size() > 1 && folder.endsWith(u'/'))
        folder.chop(1);
    const QString proposed = ManualBackupName(folder, GetOwnFileVersion(), static_cast<int>(XClock::Today().Day()));
    CreateDirectoryPath(proposed);
    const QString target = XUi::GetSaveFileNameConfirmed(
        this, title, proposed, QStringLiteral("Microsoft Access 数据库 (*.mdb)"), QStringLiteral("mdb"));
    if (target.isEmpty())
        return;
    const QString source = GetConnectionString();
    bool ok = false;
    QString error;
    if (QFileInfo(target).absoluteFilePath() == QFileInfo(source).absoluteFilePath()) {
        // copying onto the open database would replace it under its own connections
        error = QStringLiteral("不能备份至正在使用的数据库文件本身。");
    } else {
        XWaitCursor wait;
        ok = BackupDatabaseFile(source, target);
        if (!ok)
            error = GetOleDbErrorText();
    }
    if (ok)
        XUi::MessageBox(this, FormatString(u"已备份 “%s” 至 “%s”。", source, target), title, MB_ICONINFORMATION);
    else
        XUi::MessageBox(this, FormatString(u"备份 “%s” 至 “%s” 失败！\r\n%s", source, target, error), title,
                        MB_ICONERROR);
}

void CDlgAppSetupPage::OnWxTest()
{
    if (!CanEdit())
        return;
    const QString title = ButtonTitle(IDC_SETUP_WX_TEST);
    UpdateData(true);
    if (m_setup.m_strWxAppID.isEmpty()) {
        ShowItemTipText(TTI_WARNING, IDC_SETUP_WX_APPID, QStringLiteral("未填写开发者 ID (AppID) ！"));
        return;
    }
    if (m_setup.m_strWxAppSecret.isEmpty()) {
        ShowItemTipText(TTI_WARNING, IDC_SETUP_WX_SECRET, QStringLiteral("未填写开发者密码 (AppSecret)！"));
        return;
    }
    bool changed = true;
    {
        std::lock_guard lock(AppServices().Mutex());
        if (const CDBSetup* current = CurrentSetup())
            changed =
                current->m_strWxAppID != m_setup.m_strWxAppID || current->m_strWxAppSecret != m_setup.m_strWxAppSecret;
    }
    if (changed) {
        if (XUi::MessageBox(this, QStringLiteral("微信公众号 AppID 和 AppSecret 已改变，将在保存后继续！"), title,
                            MB_ICONWARNING | MB_OKCANCEL) != IDOK ||
            !Validate())
            return;
        if (m_stillLoggedIn && !m_stillLoggedIn())
            return;
        const CXItem* user = AppServices().User();
        if (!user)
            return;
        XWaitCursor wait;
        m_setup.Save(*user); // the token thread is asked for a new token and waited for
    }
    const XWxTokenState state = WxTokenGetter()();
    if (!state.bAvailable)
        XUi::MessageBox(this, QStringLiteral("此版本尚未提供微信公众号服务，无法测试连接。"), title, MB_ICONWARNING);
    else if (!state.strToken.isEmpty())
        XUi::MessageBox(this, QStringLiteral("已成功连接微信公众号！"), title, MB_ICONINFORMATION);
    else
        XUi::MessageBox(this,
                        QStringLiteral("未成功连接微信公众号，请检查 AppID、AppSecret、IP 白名单等设置是否正确！"),
                        title, MB_ICONERROR);
}
