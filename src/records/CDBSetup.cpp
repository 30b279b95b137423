#include "CDBSetup.h"

#include "BinaryColumns.h"
#include "CHead.h"
#include "OperLog.h"
#include "ProgramPaths.h"
#include "Settings.h"
#include "Version.h"
#include "WebState.h"
#include "XAppServices.h"
#include "XService.h"

#include <chrono>
#include <cstdlib>

namespace {

#define SETUP_OFFSET(member) static_cast<int>(offsetof(CDBSetup, member))

const QString kSection = QStringLiteral("Global");

XService<CDBSetup> g_current;

// Editable, web-new; editable only.
constexpr unsigned kWeb = 0x9;
constexpr unsigned kEdit = 0x8;
// Column words: in the brief, default and detail sets; in none.
constexpr unsigned kAll = 521;
constexpr unsigned kNone = 0;

// The C library's reading of a stored number: the leading decimal part, 0 for none.
int DecimalPrefix(const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    return static_cast<int>(std::strtol(bytes.constData(), nullptr, 10));
}

void CopyField(const CHead* head, const CDBSetup& from, CDBSetup& to)
{
    switch (head->m_nType) {
    case XIN:
        to.Member<int>(head->m_nOffset) = from.Member<int>(head->m_nOffset);
        break;
    case XSW:
        to.Member<QString>(head->m_nOffset) = from.Member<QString>(head->m_nOffset);
        break;
    case XIM:
        to.Member<CXImage>(head->m_nOffset).CopyFrom(from.Member<CXImage>(head->m_nOffset));
        break;
    default:
        break;
    }
}

bool IsNumberPattern(const QString& pattern)
{
    return pattern.contains(QLatin1String("[n")) && pattern.contains(QLatin1String("n]"));
}

} // namespace

CDBSetup::CDBSetup() { CDBSetup::Reset(); }

CDBSetup::~CDBSetup() = default;

CHeads* CDBSetup::StaticHeads()
{
    return BuildHeadsOnce<CDBSetup>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("首选项");
        heads.m_strItemUnit = QStringLiteral("项");
        const QString none;
        auto text = [&](const char16_t* group, const char* caption, unsigned input, const char* key, int offset,
                        const QString& def, const QString& empty, const char* help) {
            CHead* head = heads.AddTextHead(group, QString::fromUtf8(caption), input, QString::fromLatin1(key), XSW,
                                            offset, def, empty, QString::fromUtf8(help));
            return head;
        };
        auto number = [&](const char16_t* group, const char* caption, const char* key, int offset, int def, int min,
                          int max, const char* format, unsigned columns, const char* help) {
            return heads.AddHead(group, QString::fromUtf8(caption), kEdit, QString::fromLatin1(key), XIN, offset, def,
                                 min, max, QString::fromUtf8(format), none, 0, columns, 0, QString::fromUtf8(help));
        };
        auto image = [&](const char* caption, const char* key, int offset, int resource, const char* help) {
            return heads.AddHead(u"LOGO", QString::fromUtf8(caption), kEdit, QString::fromLatin1(key), XIM, offset,
                                 resource, 0, 0, none, none, 0, kAll, 0, QString::fromUtf8(help));
        };
        auto computed = [&](const char16_t* group, const char* caption, QString (CDBSetup::*getter)() const,
                            const char* help) {
            return heads.AddComputedHead(group, QString::fromUtf8(caption), XSW, CHeads::Getter(getter), none, none, 0,
                                         kAll, 0, QString::fromUtf8(help));
        };
        const char* orgFooter = "在机构网站的页脚中显示，根据打印模板设置可以显示在打印收据中。";
        const char* simpler = "符合自身实情的设置有利于简化日常操作。";
        text(u"机构信息", "名称", kWeb, "RecordName", SETUP_OFFSET(m_strRecordName), QStringLiteral("Brenvale"), none,
             "显示在机构网站的页脚中和打印收据中，根据打印模板设置可以显示在打印收据中。");
        text(u"机构信息", "简称", kWeb, "GroupName", SETUP_OFFSET(m_strGroupName), QStringLiteral("Brenvale"), none,
             "用于短信验证码的签名。");
        text(u"机构信息", "地址", kWeb, "LtdLocation", SETUP_OFFSET(m_strLtdLocation), none, none, orgFooter);
        text(u"机构信息", "联系方式", kWeb, "LtdContact", SETUP_OFFSET(m_strLtdContact), none, none, orgFooter);
        text(u"机构信息", "网站标题", kWeb, "LtdTitle", SETUP_OFFSET(m_strLtdTitle), QStringLiteral("Lorvan Manager"),
             none, "用于机构网站的标题。");
        image("小", "StdLogoID", SETUP_OFFSET(m_imgStdLogo), 421,
              "用于机构网站的 LOGO，根据打印模板设置可以显示在打印收据中。\n更换的图片将自动缩小至 100 "
              "像素高度。不透明图片将以白为透明色自动转换成透明背景图片。");
        image("大", "BigLogoID", SETUP_OFFSET(m_imgBigLogo), 420,
              "根据打印模板设置可以显示在打印收据中。\n更换的图片将自动缩小至 100 "
              "像素高度。不透明图片将以白为透明色自动转换成透明背景图片。");
        number(u"选项", "可提前考勤", "RcdAdvance", SETUP_OFFSET(m_nRcdAdvance), 180, 1, 730, "%d 天", kAll,
               "根据课程表自动生成课堂记录时，只自动生成今天之后该天数之前的课堂记录。");
        number(u"选项", "课时不足提醒", "WarnRemained", SETUP_OFFSET(m_nWarnRemained), 3, 1, 30, "≤%d 次", kAll,
               "学员某课程剩余课时低于此值将提醒。");
        number(u"选项", "有试听提醒天数", "DemoWarnDays", SETUP_OFFSET(m_nDemoWarnDays), 60, 1, 730, "≤%d 天", kAll,
               "学员在此天数之内有试听课程时将提醒。");
        number(u"选项", "班级编制", "LtdClassForm", SETUP_OFFSET(m_nLtdClassForm), 0, 0, 0,
               "默认一对多|默认一对一|仅一对多|仅一对一", kAll, simpler);
        number(u"选项", "一对多课默认时长", "DefaultDur0", SETUP_OFFSET(m_nDefaultDur0), 90, 1, 1440, "%d 分钟", kAll,
               simpler);
        number(u"选项", "一对一课默认时长", "DefaultDur1", SETUP_OFFSET(m_nDefaultDur1), 45, 1, 1440, "%d 分钟", kAll,
               simpler);
        text(u"选项", "报名收据编号格式", kWeb, "KeyFmtRcp", SETUP_OFFSET(m_strKeyFmtRcp), QStringLiteral("B[Y][nnnn]"),
             none, "新建报名收据时将根据此编号格式自动编号。");
        text(u"选项", "普通收据编号格式", kWeb, "KeyFmtClc", SETUP_OFFSET(m_strKeyFmtClc), QStringLiteral("T[Y][nnnn]"),
             none, "新建普通收据时将根据此编号格式自动编号。");
        text(u"选项", "教师默认密码", kWeb, "DefaultPwd0", SETUP_OFFSET(m_strDefaultPwd0), QStringLiteral("583920"),
             none, "新建教师时的默认密码或原有教师重置密码后的密码。");
        text(u"选项", "学员默认密码", kWeb, "DefaultPwd1", SETUP_OFFSET(m_strDefaultPwd1), QStringLiteral("740316"),
             none, "新建学员时的默认密码或原有学员重置密码后的密码。");
        number(u"选项", "上传图片大小", "ImgSizeMax", SETUP_OFFSET(m_nImgSizeMax), 64, 1, 9999, "≤%d KB", kAll,
               "上传的照片将自动缩小至此处指定的大小。");
        number(u"选项", "无操作超时注销", "LoginTimeout", SETUP_OFFSET(m_nLoginTimeout), 5, 1, 60, "%d 分钟", kNone,
               "已登录至主界面后在此时间内无任何操作时将自动注销退回至登录界面，如果之后在此时间内仍无任何操作将"
               "自动隐藏到系统托盘。");
        number(u"选项", "表格文件打开方式", "OpenWithXls", SETUP_OFFSET(m_nOpenWithXls), 0, 0, 0,
               "Windows 默认|Excel|WPS|打开所在文件夹并选中", kNone,
               "软件使用 Excel 文件导入导出数据，可使用 Excel、WPS、写字板等软件编辑。请根据实际软件安装情况或使用"
               "习惯设定该文件的默认打开方式。");
        number(u"选项", "模板文件打开方式", "OpenWithRtf", SETUP_OFFSET(m_nOpenWithRtf), 0, 0, 0,
               "Windows 默认|Word|WPS|写字板|打开所在文件夹并选中", kNone,
               "打印模板使用 RTF 格式文件，可使用 Word、WPS、写字板等软件编辑。请根据实际软件安装情况或使用习惯设定"
               "该文件的默认打开方式。");
        number(u"数据库备份", "备份周期", "BackupDays", SETUP_OFFSET(m_nBackupDays), 1, 1, 365, "%d 天", kAll,
               "安装位置下的数据库文件 Lorvan.mdb 将按该周期定期备份。");
        number(u"数据库备份", "备份保留", "BackupHold", SETUP_OFFSET(m_nBackupHold), 180, 2, 3650, "%d 天", kAll,
               "备份的数据库文件超过备份保留天数后自动删除。");
        text(u"数据库备份", "备份路径", kEdit, "BackupPath", SETUP_OFFSET(m_strBackupPath), QStringLiteral("backup"),
             QStringLiteral("同软件安装位置"),
             "此处数据库备份路径通常是软件安装位置的相对路径，为空时同软件安装位置。");
        computed(u"数据库备份", "备份路径", &CDBSetup::GetBackupFolder, "数据库实际备份路径。");
        text(u"集成微信公众号", "AppID", kWeb, "WxAppID", SETUP_OFFSET(m_strWxAppID), none, none,
             "在微信公众号后台 [设置与开发] > [基本配置] > [公众号开发信息] 获取 AppID 填写在此处。");
        text(u"集成微信公众号", "AppSecret", kWeb, "WxAppSecret", SETUP_OFFSET(m_strWxAppSecret), none, none,
             "在微信公众号后台 [设置与开发] > [基本配置] > [公众号开发信息] 获取 AppSecret 填写在此处。");
        text(u"集成微信公众号", "验证文件内容", kEdit, "WxMPverify", SETUP_OFFSET(m_strWxMPverify), none, none,
             "在微信公众号后台 [设置与开发] > [公众号设置] > [功能设置] > [网页授权域名] > [设置] 按提示下载文件 "
             "“MP_verify_*.txt” 并打开，在此处填写其中的内容。");
        computed(u"集成微信公众号", "网页授权域名", &CDBSetup::GetWxDomain,
                 "在微信公众号后台 [设置与开发] > [公众号设置] > [功能设置] > [网页授权域名] > [设置] > [域名 n] "
                 "处填写此处内容。");
        computed(u"集成微信公众号", "网页登录地址", &CDBSetup::GetWxLoginUrl,
                 "在微信公众号后台 [内容与互动] > [自定义菜单] 中添加一个 “跳转网页” 类型的菜单，填写此处地址，"
                 "教师和学员即可通过公众号菜单使用本软件。");
        computed(u"软件更新", "当前版本", &CDBSetup::GetOwnVersion, "");
    });
}

bool IsStoredSetupHead(const CHead* head)
{
    return head && head->m_nOffset != 0 && head->m_nAccess == 1 && !head->m_strColumn.isEmpty();
}

bool SameSetupValue(const CHead* head, const CDBSetup& a, const CDBSetup& b)
{
    switch (head->m_nType) {
    case XIN:
        return a.Member<int>(head->m_nOffset) == b.Member<int>(head->m_nOffset);
    case XSW:
        return a.Member<QString>(head->m_nOffset) == b.Member<QString>(head->m_nOffset);
    case XIM:
        return a.Member<CXImage>(head->m_nOffset).m_nPhotoID == b.Member<CXImage>(head->m_nOffset).m_nPhotoID;
    default:
        return true;
    }
}

QString SetupValueText(const CHead* head, const CDBSetup& setup)
{
    switch (head->m_nType) {
    case XIN:
        return QString::number(setup.Member<int>(head->m_nOffset));
    case XIM:
        return QString::number(setup.Member<CXImage>(head->m_nOffset).m_nPhotoID);
    default:
        return setup.Member<QString>(head->m_nOffset);
    }
}

int CDBSetup::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    for (const QString* pattern : {&m_strKeyFmtRcp, &m_strKeyFmtClc})
        if (!IsNumberPattern(*pattern))
            AddStatus(4, pattern, "应包含一个形同 “[n…]” 的顺序编号部分！");
    CXItem::Validate(user, bCheckDuplicates);
    return GetStatusLevel();
}

int CDBSetup::GetAccess(const CHead* head, const CXItem* user) const
{
    if (head->m_nOffset == SETUP_OFFSET(m_nDefaultDur0) && m_nLtdClassForm == 3)
        return -1;
    if (head->m_nOffset == SETUP_OFFSET(m_nDefaultDur1) && m_nLtdClassForm == 2)
        return -1;
    return CXItem::GetAccess(head, user);
}

void CDBSetup::Load()
{
    const CHeads* heads = GetHeads();
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* head = heads->GetAt(i);
        if (!IsStoredSetupHead(head))
            continue;
        switch (head->m_nType) {
        case XIN:
            Member<int>(head->m_nOffset) =
                DecimalPrefix(ReadSetting(kSection, head->m_strColumn, QString::number(head->m_nDefault)));
            break;
        case XIM: {
            CXImage& image = Member<CXImage>(head->m_nOffset);
            image.m_nPhotoID = DecimalPrefix(ReadSetting(kSection, head->m_strColumn, QStringLiteral("0")));
            LoadFromDB(image, head->m_nDefault);
            break;
        }
        default:
            Member<QString>(head->m_nOffset) = ReadSetting(kSection, head->m_strColumn, head->m_strDefault);
            break;
        }
    }
    Validate(AppServices().Admin(), false);
}

void CDBSetup::BeginEdit()
{
    auto start = std::make_unique<CDBSetup>();
    {
        std::lock_guard lock(AppServices().Mutex());
        if (CDBSetup* current = CurrentSetup())
            current->CopyTo(start.get());
    }
    start->CopyTo(this);
    m_pStart = std::move(start);
}

QString CDBSetup::ChangeText(const CHead* head) const
{
    QString value;
    if (head->m_nType == XIM)
        value = Member<CXImage>(head->m_nOffset).m_nPhotoID ? QStringLiteral("自定义") : QStringLiteral("默认");
    else
        value = FormatText(head, true, true, true);
    return head->m_strName + QStringLiteral("：") + value;
}

void CDBSetup::Save(const CXItem& oper)
{
    XAppServices& app = AppServices();
    // what this edit started from; without a start, the current preferences as the Part's
    // plain diff (a fresh record holds every field it means to set)
    CDBSetup base;
    if (m_pStart) {
        m_pStart->CopyTo(&base);
    } else {
        std::lock_guard lock(app.Mutex());
        if (CDBSetup* current = CurrentSetup())
            current->CopyTo(&base);
    }

    std::vector<const CHead*> changed;
    const CHeads* heads = GetHeads();
    for (int i = 0; i < heads->GetSize(); ++i)
        if (const CHead* head = heads->GetAt(i); IsStoredSetupHead(head) && !SameSetupValue(head, *this, base))
            changed.push_back(head);

    // the store may report through a dialog: never under the lock
    for (const CHead* head : changed) {
        if (head->m_nType == XIM)
            LoadFromDB(Member<CXImage>(head->m_nOffset), head->m_nDefault);
        WriteSetting(kSection, head->m_strColumn, SetupValueText(head, *this));
        WriteOperLog(OPER_SETUP, oper, 0, 0, ChangeText(head), QString());
    }

    bool wxChanged = false;
    {
        std::lock_guard lock(app.Mutex());
        if (CDBSetup* current = CurrentSetup()) {
            for (const CHead* head : changed) {
                if (head->m_nOffset == SETUP_OFFSET(m_strWxAppID) || head->m_nOffset == SETUP_OFFSET(m_strWxAppSecret))
                    wxChanged = wxChanged || !SameSetupValue(head, *this, *current);
                CopyField(head, *this, *current);
            }
            current->Validate(nullptr, false);
        }
    }
    // a later save from this same edit starts from what it has saved now
    auto start = std::make_unique<CDBSetup>();
    CopyTo(start.get());
    m_pStart = std::move(start);

    DeleteUnusedLogos();

    if (wxChanged) {
        WxRefreshedEvent().Reset();
        WxRefreshEvent().Set();
        WxRefreshedEvent().Wait(std::chrono::milliseconds(10000));
    }
}

void CDBSetup::ResetGroup(const QString& caption)
{
    const CHeads* heads = GetHeads();
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* head = heads->GetAt(i);
        if (!IsStoredSetupHead(head))
            continue;
        if (!caption.isEmpty() && head->m_strGroup.compare(caption, Qt::CaseInsensitive) != 0)
            continue;
        switch (head->m_nType) {
        case XIN:
            Member<int>(head->m_nOffset) = head->m_nDefault;
            break;
        case XIM: {
            CXImage& image = Member<CXImage>(head->m_nOffset);
            image.m_nPhotoID = 0;
            LoadFromDB(image, head->m_nDefault);
            break;
        }
        default:
            Member<QString>(head->m_nOffset) = head->m_strDefault;
            break;
        }
    }
    Validate(AppServices().User(), false);
}

QString CDBSetup::GetBackupFolder() const { return ToExeAbsolutePath(m_strBackupPath); }

QString CDBSetup::GetWxDomain() const
{
    QString url = xInternet::GetInternetUrl();
    const qsizetype scheme = url.indexOf(QLatin1String("://"));
    if (scheme >= 0)
        url = url.mid(scheme + 3);
    while (url.endsWith(u'/'))
        url.chop(1);
    return url;
}

QString CDBSetup::GetWxLoginUrl() const { return xInternet::GetInternetUrl(); }

QString CDBSetup::GetOwnVersion() const { return FormatVersion(GetOwnFileVersion()); }

CDBSetup* SetCurrentSetup(CDBSetup* setup) { return g_current.Install(setup); }
CDBSetup* CurrentSetup() { return g_current.Get(); }

XEvent& WxRefreshEvent()
{
    static XEvent event(false, true);
    return event;
}

XEvent& WxRefreshedEvent()
{
    static XEvent event(false, false);
    return event;
}
