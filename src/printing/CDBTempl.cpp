#include "CDBTempl.h"

#include "CModule.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "ReferenceTables.h"
#include "Resources.h"
#include "TextUtils.h"
#include "XPrinterCatalog.h"

#include <algorithm>

#define TEMPL_OFFSET(member) XOFFSET(CDBTempl, member)

namespace {

// Input words: E editable (8), W on the web form (1), W! required there (2), U! duplicates
// refused (128). Column words: D detail (1), V default scheme (8), B brief (512). List
// words: T title (512), M mark text (64), grouping (<<3).
constexpr unsigned kEW = 8 | 1;
constexpr unsigned kColD = 1, kColV = 8, kColB = 512;
constexpr unsigned kTitle = 512, kMark = 64;

bool IsPrintingModule(const CModule* module) { return !module->IsHidden() && (module->m_nCaps & RIGHT_PRT); }

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace

CHeads* CDBTempl::StaticHeads()
{
    return BuildHeadsOnce<CDBTempl>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("打印模板");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_strTable = QStringLiteral("TB_TEMPL");
        const QString none;
        const QString page = QStringLiteral("页面设置");
        const QString print = QStringLiteral("打印设置");
        const QString noRecord = QStringLiteral("无记录");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, TEMPL_OFFSET(m_nID), none,
                                none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("名称"), 8 | 2 | 128, QStringLiteral("RecordName"), XSW,
                            TEMPL_OFFSET(m_strName), none, none, kTitle, kColV | kColB | kColD, 15, none);
        heads.AddHead({}, QStringLiteral("适用"), kEW, QStringLiteral("MduID"), XIN, TEMPL_OFFSET(m_nTemplMduID), 0, 0,
                      0, QStringLiteral("|"), none, 1 << 3, kColV | kColB | kColD, 8,
                      QStringLiteral("使用该打印模板进行打印的功能模块"));
        heads.AddHead({}, QStringLiteral("启用"), kEW, QStringLiteral("IsEnabled"), XIN, TEMPL_OFFSET(m_bEnabled), 1, 0,
                      0, QStringLiteral("停用|启用"), none, kMark, kColV | kColB | kColD, 0, none);
        heads.AddColumnHead({}, QStringLiteral("模板"), 8, QStringLiteral("Templ"), XSA, TEMPL_OFFSET(m_templ),
                            QStringLiteral("%1.1f KB"), none, 0, kColD, 0, QStringLiteral("打印模板文件"));
        heads.AddHead(page, QStringLiteral("纸张规格"), kEW, QStringLiteral("PaperID"), XIN, TEMPL_OFFSET(m_nPaperID),
                      kPaperA4, 0, 0, QStringLiteral("|"), QStringLiteral("自定义"), 0, kColV | kColB | kColD, 15,
                      none);
        heads.AddComputedHead(page, QStringLiteral("页面尺寸"), XSW, CHeads::Getter(&CDBTempl::GetPageSizeText), none,
                              none, 0, kColV | kColD, 15, none);
        heads.AddHead(page, QStringLiteral("页面宽度"), kEW, QStringLiteral("PaperWidth"), XNU,
                      TEMPL_OFFSET(m_fPaperWidth), 0, 0, 0, QStringLiteral("宽 %1.1f mm"), none, 0, 0, 0, none);
        heads.AddHead(page, QStringLiteral("页面高度"), kEW, QStringLiteral("PaperLength"), XNU,
                      TEMPL_OFFSET(m_fPaperLength), 0, 0, 0, QStringLiteral("高 %1.1f mm"), none, 0, 0, 0, none);
        heads.AddComputedHead(page, QStringLiteral("页边距"), XSW, CHeads::Getter(&CDBTempl::GetMarginsText), none,
                              none, 0, kColD, 15, none);
        const std::pair<const char16_t*, std::pair<const char*, int>> margins[] = {
            {u"页左边距", {"MarginLeft", TEMPL_OFFSET(m_nMarginLeft)}},
            {u"页上边距", {"MarginTop", TEMPL_OFFSET(m_nMarginTop)}},
            {u"页右边距", {"MarginRight", TEMPL_OFFSET(m_nMarginRight)}},
            {u"页下边距", {"MarginBottom", TEMPL_OFFSET(m_nMarginBottom)}},
        };
        const char16_t* marginFormats[] = {u"左 %d mm", u"上 %d mm", u"右 %d mm", u"下 %d mm"};
        for (std::size_t i = 0; i < std::size(margins); ++i)
            heads.AddHead(page, QString::fromUtf16(margins[i].first), kEW, QLatin1String(margins[i].second.first), XIN,
                          margins[i].second.second, 10, 0, 0, QString::fromUtf16(marginFormats[i]), none, 0, 0, 0,
                          none);
        heads.AddHead(page, QStringLiteral("页面方向"), kEW, QStringLiteral("Orientation"), XIN,
                      TEMPL_OFFSET(m_nOrientation), 0, 0, 0, QStringLiteral("纵向|横向"), none, 0, kColV | kColD, 0,
                      none);
        heads.AddHead(
            page, QStringLiteral("动态行"), kEW, QStringLiteral("PagingIndex"), XIN, TEMPL_OFFSET(m_nPagingIndex), 18,
            5, 99, QStringLiteral("≤ %d 行/页"), none, 0, kColV | kColD, 2,
            QStringLiteral("打印时关键词 “[ID]” 所在的表格行为动态行，将被复制出多行，行数对应于报名收据的课时"
                           "数或普通收据的收款项数量，超出动态行数自动分页。"));
        heads.AddColumnHead(print, QStringLiteral("打印机"), kEW, QStringLiteral("Printer"), XSW,
                            TEMPL_OFFSET(m_strPrinter), QStringLiteral("|"), QStringLiteral("打印时选择"), 3 << 3,
                            kColV | kColB | kColD, 30, QStringLiteral("打印时使用的本地打印机"));
        heads.AddHead(print, QStringLiteral("双面打印"), kEW, QStringLiteral("PrintDuplex"), XIN,
                      TEMPL_OFFSET(m_nPrintDuplex), 0, 0, 0, QStringLiteral("单面|双面 (长边装订)|双面 (短边装订)"),
                      none, 0, kColV | kColD, 0,
                      QStringLiteral("长边装订指双面打印并装订后左右翻页，短边装订指双面打印并装订后上下翻页。"));
        heads.AddHead(print, QStringLiteral("彩色打印"), kEW, QStringLiteral("PrintColor"), XIN,
                      TEMPL_OFFSET(m_nPrintColor), 0, 0, 0, QStringLiteral("单色|彩色"), none, 0, kColV | kColD, 0,
                      none);
        heads.AddHead(
            print, QStringLiteral("打印拷贝"), kEW, QStringLiteral("PrintCopies"), XIN, TEMPL_OFFSET(m_nPrintCopies), 1,
            1, 99, QStringLiteral("%d 份"), none, 0, kColV | kColD, 2,
            QStringLiteral("非针式打印机打印但需要多联时可以设置一次打印多份拷贝。例如：可以一次打印两份，一份"
                           "交学员，一份存档。"));
        heads.AddValueHead(print, QStringLiteral("支持彩色"), XIN, TEMPL_OFFSET(m_bSupportColor), 1);
        heads.AddValueHead(print, QStringLiteral("支持双面"), XIN, TEMPL_OFFSET(m_bSupportDuplex), 1);
        heads.AddValueHead(print, QStringLiteral("最大宽度"), XIN, TEMPL_OFFSET(m_nMaxWidth), 65534);
        heads.AddValueHead(print, QStringLiteral("最大高度"), XIN, TEMPL_OFFSET(m_nMaxLength), 65534);
        heads.AddHead(print, QStringLiteral("套打"), kEW, QStringLiteral("PrintReplace"), XIN,
                      TEMPL_OFFSET(m_nPrintReplace), 0, 0, 0, QStringLiteral("否|是"), none, 0, kColV | kColB | kColD,
                      0, QStringLiteral("打印时只打印模板中被替换的文字，需与定制的打印纸匹配"));
        heads.AddColumnHead({}, QStringLiteral("备注"), 8, QStringLiteral("RecordMemo"), XSW, TEMPL_OFFSET(m_strMemo),
                            none, QStringLiteral("空"), 0, kColV | kColB | kColD, 0, none);
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("新建"), XBS, TEMPL_OFFSET(m_created), none, noRecord, 0,
                            kColD, 0, QStringLiteral("新建该项目的用户和日期"));
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("修改"), XBS, TEMPL_OFFSET(m_modified), none, noRecord, 0,
                            kColD, 0, QStringLiteral("最近修改该项目的用户和日期"));
    });
}

void CDBTempl::Reset()
{
    CXItem::Reset();
    m_nTemplMduID = FirstPrintingModule();
    m_fPaperWidth = 210.0;
    m_fPaperLength = 297.0;
    m_templ.clear();
    m_strPrinter.clear();
}

int CDBTempl::FirstPrintingModule()
{
    for (const CModule* module : GetModules())
        if (IsPrintingModule(module))
            return module->GetMduID();
    return 0;
}

int CDBTempl::GetDefault(const CHead* head) const
{
    if (head && head->m_nOffset == TEMPL_OFFSET(m_nTemplMduID)) {
        if (const int first = FirstPrintingModule())
            return first;
    }
    return CXItem::GetDefault(head);
}

int CDBTempl::GetAccess(const CHead* head, const CXItem* user) const
{
    if (head) {
        switch (head->m_nOffset) {
        case TEMPL_OFFSET(m_nTemplMduID):
            if (m_nID)
                return 0;
            break;
        case TEMPL_OFFSET(m_nPagingIndex):
            if (m_nPrintReplace)
                return -1;
            break;
        case TEMPL_OFFSET(m_fPaperWidth):
        case TEMPL_OFFSET(m_fPaperLength):
            if (m_nPaperID)
                return 0;
            break;
        case TEMPL_OFFSET(m_nPrintDuplex):
            if (!m_bSupportDuplex)
                return 0;
            break;
        case TEMPL_OFFSET(m_nPrintColor):
            if (!m_bSupportColor)
                return 0;
            break;
        default:
            break;
        }
    }
    return CXItem::GetAccess(head, user);
}

void CDBTempl::GetOptions(const CHead* head, QStringList& texts, QList<int>& values) const
{
    if (!head)
        return CXItem::GetOptions(head, texts, values);
    switch (head->m_nOffset) {
    case TEMPL_OFFSET(m_nTemplMduID):
        texts.clear();
        values.clear();
        for (const CModule* module : GetModules())
            if (IsPrintingModule(module)) {
                texts << LoadCommandText(module->GetMduID());
                values << module->GetMduID();
            }
        return;
    case TEMPL_OFFSET(m_strPrinter): {
        texts.clear();
        values.clear();
        CXArray printers(nullptr, true);
        GetPrinterList(printers, true);
        for (int i = 0; i < printers.GetSize(); ++i) {
            texts << printers.GetAt(i)->m_strName;
            values << i;
        }
        texts << GetEmptyText(head);
        values << static_cast<int>(values.size());
        return;
    }
    case TEMPL_OFFSET(m_nPaperID):
        texts.clear();
        values.clear();
        for (const XPaperSize& paper : GetPaperSizes())
            if (paper.id) {
                texts << paper.name;
                values << paper.id;
            }
        return;
    default:
        return CXItem::GetOptions(head, texts, values);
    }
}

void CDBTempl::GetRange(const CHead* head, int& min, int& max) const
{
    CXItem::GetRange(head, min, max);
    if (!head)
        return;
    if (head->m_nOffset == TEMPL_OFFSET(m_fPaperWidth))
        max = m_nMaxWidth / 10;
    else if (head->m_nOffset == TEMPL_OFFSET(m_fPaperLength))
        max = m_nMaxLength / 10;
}

QString CDBTempl::GetDeleteWarning() const
{
    if (m_bEnabled)
        return QStringLiteral("不再使用的打印模板建议停用而不是删除！");
    return CXItem::GetDeleteWarning();
}

QString CDBTempl::GetPageSizeText() const { return FormatString(u"%1.1f×%1.1f mm²", m_fPaperWidth, m_fPaperLength); }

QString CDBTempl::GetMarginsText() const
{
    return FormatString(u"%d×%d×%d×%d mm⁴", m_nMarginLeft, m_nMarginTop, m_nMarginRight, m_nMarginBottom);
}

int CDBTempl::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    m_nMaxWidth = m_nMaxLength = 65534;
    m_bSupportColor = m_bSupportDuplex = 1;
    if (!m_strPrinter.isEmpty()) {
        XPrinterCaps caps;
        if (PrinterCatalog().Capabilities(m_strPrinter, caps)) {
            m_nMaxWidth = caps.maxWidth;
            m_nMaxLength = caps.maxLength;
            m_bSupportColor = caps.color;
            m_bSupportDuplex = caps.duplex;
            if (m_fPaperWidth > m_nMaxWidth / 10.0 || m_fPaperLength > m_nMaxLength / 10.0)
                AddStatusText(
                    ST_WARN, nullptr,
                    FormatString(u"纸张尺寸 %s×%s mm² 超出与打印机所支持的最大纸张尺寸 %s×%s mm²，可能影响打印效果！",
                                 FormatOneDecimal(m_fPaperWidth), FormatOneDecimal(m_fPaperLength),
                                 FormatOneDecimal(m_nMaxWidth / 10.0), FormatOneDecimal(m_nMaxLength / 10.0)));
            if (m_nPrintColor && !m_bSupportColor) {
                m_nPrintColor = 0;
                AddStatusText(ST_WARN, nullptr, QStringLiteral("打印机不支持彩色打印，将切换到单色打印！"));
            }
            if (m_nPrintDuplex && !m_bSupportDuplex) {
                m_nPrintDuplex = 0;
                AddStatusText(ST_WARN, nullptr, QStringLiteral("打印机不支持双面打印，将切换到单面打印！"));
            }
        }
    }
    if (!m_bSupportColor)
        m_nPrintColor = 0;
    if (!m_bSupportDuplex)
        m_nPrintDuplex = 0;

    double wantWidth = m_fPaperWidth;
    double wantLength = m_fPaperLength;
    const XPaperSize* paper = nullptr;
    if (m_nPaperID)
        for (const XPaperSize& p : GetPaperSizes())
            if (p.id == m_nPaperID)
                paper = &p;
    if (paper) {
        wantWidth = (m_nPaperID & 0xFFFF) / 10.0;
        wantLength = (m_nPaperID >> 16) / 10.0;
        if (wantWidth > m_nMaxWidth / 10.0 || wantLength > m_nMaxLength / 10.0)
            m_nPaperID = 0;
    } else {
        m_nPaperID = 0;
    }
    m_fPaperWidth = std::min(m_nMaxWidth / 10.0, wantWidth);
    m_fPaperLength = std::min(m_nMaxLength / 10.0, wantLength);

    if (m_strName.isEmpty())
        AddStatus(ST_STOP, &m_strName, "请输入名称！");
    if (m_templ.isEmpty())
        AddStatus(ST_STOP, &m_templ, "打印模板内容无效！");
    if (!m_bEnabled)
        AddStatus(ST_GRAY, nullptr, "已停用！");
    if (!m_strPrinter.isEmpty()) {
        CXArray printers(nullptr, true);
        GetPrinterList(printers, true);
        bool found = false;
        for (int i = 0; i < printers.GetSize() && !found; ++i)
            found = SameName(printers.GetAt(i)->m_strName, m_strPrinter);
        if (!found)
            AddStatusText(ST_WARN, &m_strPrinter, FormatString(u"打印机 “%s” 未安装或不是实体打印机！", m_strPrinter));
    } else {
        AddStatus(ST_WARN, &m_strPrinter, "未指定打印机，打印时需要人工选择！");
    }
    return CXItem::Validate(user, bCheckDuplicates);
}
