#include "CDBCollect.h"

#include "RecordCopy.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "TextUtils.h"

#define COLLECT_OFFSET(member) XOFFSET(CDBCollect, member)
#define COLLECT_ITEM_OFFSET(member) XOFFSET(CDBCollectItem, member)

namespace {

// Input words: E editable (8), W on the web form (1), W! required there (2), U! duplicates
// refused (128). Column words: D detail (1), V default scheme (8), P print keyword (16),
// B brief (512). List words: T title (512), sort descending (2), grouping (<<3).
constexpr unsigned kEditWeb = 8 | 1;
constexpr unsigned kEditWebRequired = 8 | 2;
constexpr unsigned kUnique = 128;
constexpr unsigned kColD = 1, kColV = 8, kColP = 16, kColB = 512;
constexpr unsigned kTitle = 512;

QString RowKeywordHelp(const char16_t* what)
{
    return FormatString(u"第 [ID] 个收款项的%s。含 [ID] 的关键词应放在同一表格行，打印时将展开为多行。",
                        QString::fromUtf16(what));
}

} // namespace

// ---------------------------------------------------------------------------------------
// CDBCollectItem

CHeads* CDBCollectItem::StaticHeads()
{
    return BuildHeadsOnce<CDBCollectItem>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("交款项");
        heads.m_strTable = QStringLiteral("TB_COLLECT_ITEM");
        const QString none;
        const QString empty = QStringLiteral("空");
        const QString nothing = QStringLiteral("无");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, COLLECT_ITEM_OFFSET(m_nID),
                                none, none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("CollectID"), XIN,
                                COLLECT_ITEM_OFFSET(m_nParentID), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("品名规格"), kEditWebRequired, QStringLiteral("Content"), XSW,
                            COLLECT_ITEM_OFFSET(m_strMemo), none, empty, kTitle, kColD | kColB, -1,
                            QStringLiteral("交款项的品名及型号规格等详细说明"));
        heads.AddHead({}, QStringLiteral("单价"), kEditWeb, QStringLiteral("UnitPrice"), XNU,
                      COLLECT_ITEM_OFFSET(m_fUnitPrice), 100, 0, 0, none, nothing, 0, 0, 0, none);
        heads.AddHead({}, QStringLiteral("数量"), kEditWeb, QStringLiteral("PayNum"), XIN,
                      COLLECT_ITEM_OFFSET(m_nPayNum), 1, 1, 0, none, nothing, kTitle, kColD | kColB, 0, none);
        heads.AddColumnHead({}, QStringLiteral("单位"), kEditWebRequired, QStringLiteral("Unit"), XSW,
                            COLLECT_ITEM_OFFSET(m_strUnit), none, empty, kTitle, kColD | kColB, 0,
                            QStringLiteral("单位"));
        heads.AddComputedHead({}, QStringLiteral("小计"), XNU, CHeads::Getter(&CDBCollectItem::GetSubtotal), none, none,
                              kTitle, kColD | kColB, 0, none);
    });
}

int CDBCollectItem::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    if (m_strMemo.isEmpty())
        AddStatus(ST_STOP, &m_strMemo, "请输入品名规格！");
    if (m_strUnit.isEmpty())
        AddStatus(ST_STOP, &m_strUnit, "请输入单位！");
    return CXItem::Validate(user, bCheckDuplicates);
}

// ---------------------------------------------------------------------------------------
// CDBCollect

CHeads* CDBCollect::StaticHeads()
{
    return BuildHeadsOnce<CDBCollect>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("普通收据");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_strTable = QStringLiteral("TB_COLLECT");
        heads.m_bGoodStatus = 1;
        const QString none;
        const QString empty = QStringLiteral("空");
        const QString noRecord = QStringLiteral("无记录");
        const QString print = QStringLiteral("打印");
        const unsigned listed = kColV | kColB | kColD | kColP;
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, COLLECT_OFFSET(m_nID),
                                none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("编号"), 8 | kUnique, QStringLiteral("KeyName"), XSW,
                            COLLECT_OFFSET(m_strName), none, empty, 0, listed, 0, none);
        // default and latest day: today when asked (GetDefault, GetRange), not when built
        heads.AddColumnHead({}, QStringLiteral("日期"), kEditWeb, QStringLiteral("PayDate"), XDT,
                            COLLECT_OFFSET(m_dtDate), none, none, kTitle | (3 << 3) | 2, listed, 0, none);
        heads.AddColumnHead({}, QStringLiteral("交款人"), kEditWeb, QStringLiteral("Payer"), XSW,
                            COLLECT_OFFSET(m_strPayer), none, none, kTitle, listed, 20, QStringLiteral("交款人"));
        heads.AddColumnHead({}, QStringLiteral("交款项"), kEditWeb, QString(), XAR, COLLECT_OFFSET(m_items), none, none,
                            1 << 3, listed, 60, none);
        const std::pair<const char16_t*, QString (CDBCollect::*)(int) const> rows[] = {
            {u"content", &CDBCollect::GetRowContent}, {u"unit", &CDBCollect::GetRowUnit},
            {u"num", &CDBCollect::GetRowNum},         {u"unitprice", &CDBCollect::GetRowUnitPrice},
            {u"price", &CDBCollect::GetRowPrice},
        };
        const char16_t* rowHelp[] = {u"品名规格", u"单位", u"数量", u"单价", u"金额"};
        for (std::size_t i = 0; i < std::size(rows); ++i)
            heads.AddComputedHead(print, QString::fromUtf16(rows[i].first) + QStringLiteral(".[ID]"), XRW,
                                  CHeads::RowGetter(rows[i].second), none, none, 0, kColP, 0,
                                  RowKeywordHelp(rowHelp[i]));
        heads.AddComputedHead({}, QStringLiteral("金额"), XNU, CHeads::Getter(&CDBCollect::GetAmount), none,
                              QStringLiteral("无"), kTitle, listed, 0, QStringLiteral("全部交款项的合计金额"));
        heads.AddComputedHead({}, QStringLiteral("大写金额"), XSW, CHeads::Getter(&CDBCollect::GetAmountUpper), none,
                              none, 0, kColP, 0, none);
        heads.AddColumnHead({}, QStringLiteral("支付方式"), kEditWebRequired, QStringLiteral("PayType"), XSW,
                            COLLECT_OFFSET(m_strPayType), none, empty, 0, kColD | kColP, 0,
                            QStringLiteral("现金、支付宝、微信、POS 等"));
        heads.AddComputedHead({}, QStringLiteral("经手人"), XSW, CHeads::Getter(&CDBCollect::GetHandler), none,
                              noRecord, 0, listed, 0, QStringLiteral("开具此收据的用户"));
        heads.AddComputedHead(print, QStringLiteral("ID"), XIN, CHeads::Getter(&CDBCollect::GetRowCount), none, none, 0,
                              kColP, 0, none);
        heads.AddColumnHead({}, QStringLiteral("备注"), kEditWeb, QStringLiteral("RecordMemo"), XSW,
                            COLLECT_OFFSET(m_strMemo), none, empty, 0, kColB | kColD | kColP, 0, none);
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("新建"), XBS, COLLECT_OFFSET(m_created), none, noRecord, 0,
                            kColD, 0, QStringLiteral("新建该项目的用户和日期"));
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("打印"), XBS, COLLECT_OFFSET(m_printed), none, noRecord, 0,
                            kColD, 0, QStringLiteral("最近打印该项目的用户和日期"));
        heads.AddMemberHead(ID_REL_EDITLOG, QStringLiteral("修改"), XBS, COLLECT_OFFSET(m_modified), none, noRecord, 0,
                            kColD, 0, QStringLiteral("最近修改该项目的用户和日期"));
    });
}

int CDBCollect::GetDefault(const CHead* head) const
{
    if (head && !head->m_pfnGet && head->m_nOffset == COLLECT_OFFSET(m_dtDate))
        return static_cast<int>(XDateTime::Today().Day());
    return CXItem::GetDefault(head);
}

void CDBCollect::GetRange(const CHead* head, int& min, int& max) const
{
    CXItem::GetRange(head, min, max);
    if (head && !head->m_pfnGet && head->m_nOffset == COLLECT_OFFSET(m_dtDate))
        max = static_cast<int>(XDateTime::Today().Day());
}

int CDBCollect::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    if (m_strPayer.isEmpty())
        AddStatus(ST_STOP, &m_strPayer, "请输入交款人！");
    if (m_items.IsEmpty())
        AddStatus(ST_STOP, &m_items, "请添加交款项！");
    if (m_strPayType.isEmpty())
        AddStatus(ST_STOP, &m_strPayType, "请输入支付方式！");
    return CXItem::Validate(user, bCheckDuplicates);
}

double CDBCollect::GetAmount() const
{
    double sum = 0;
    for (const CXItem* item : m_items)
        sum += static_cast<const CDBCollectItem*>(item)->GetSubtotal();
    return sum;
}

QString CDBCollect::GetAmountUpper() const { return FormatMoneyUpper(GetAmount()); }

const CDBCollectItem* CDBCollect::RowItem(int row) const
{
    return row >= 1 && row <= m_items.GetSize() ? m_items.GetAt(row - 1) : nullptr;
}

QString CDBCollect::GetRowContent(int row) const
{
    const CDBCollectItem* item = RowItem(row);
    return item ? item->m_strMemo : QString();
}

QString CDBCollect::GetRowUnit(int row) const
{
    const CDBCollectItem* item = RowItem(row);
    return item ? item->m_strUnit : QString();
}

QString CDBCollect::GetRowNum(int row) const
{
    const CDBCollectItem* item = RowItem(row);
    return item ? FormatString(u"%d", item->m_nPayNum) : QString();
}

QString CDBCollect::GetRowUnitPrice(int row) const
{
    const CDBCollectItem* item = RowItem(row);
    return item ? FormatString(u"¥%1.2f", item->m_fUnitPrice) : QString();
}

QString CDBCollect::GetRowPrice(int row) const
{
    const CDBCollectItem* item = RowItem(row);
    return item ? FormatString(u"¥%1.2f", item->GetSubtotal()) : QString();
}

CDBCollectItem* CDBCollect::AddItem(const QString& content, const QString& unit, int num, double unitPrice)
{
    auto* item = static_cast<CDBCollectItem*>(m_items.CreateItem());
    item->m_strMemo = content;
    item->m_strUnit = unit;
    item->m_nPayNum = num;
    item->m_fUnitPrice = unitPrice;
    m_items.Add(item);
    return item;
}

void CDBCollect::MakeNewCopy()
{
    PrepareNewCopy(*this);
    m_strName.clear(); // numbered even where the module is not registered
}

void CDBCollect::MakeDemo(const CXItem* user)
{
    Reset();
    m_strName = QStringLiteral("示例");
    m_dtDate = XDateTime::Today();
    m_strPayer = QStringLiteral("李小雨妈妈");
    m_strPayType = QStringLiteral("支付宝");
    m_strMemo = QStringLiteral("演示收据");
    if (user) {
        m_created.CopyBase(*user);
        m_created.m_pArray = nullptr;
    }
    m_created.m_dtDate = XDateTime::Now();
    const struct
    {
        const char16_t* content;
        const char16_t* unit;
        double price;
        int num;
    } demo[] = {
        {u"立式钢琴 UP-121", u"台", 12000.00, 1},  // 12000.00
        {u"电子节拍器 M-20", u"台", 100.00, 2},    // + 200.00
        {u"钢琴基础教程 第一册", u"本", 13.00, 1}, // + 13.00 = 12213.00
    };
    for (const auto& d : demo)
        AddItem(QString::fromUtf16(d.content), QString::fromUtf16(d.unit), d.num, d.price);
}

void CDBCollect::FillPrintKeywords(XPrintKeywords& keywords, int kind, const CXItem* user) const
{
    if (kind != 1) {
        CXItem::FillPrintKeywords(keywords, kind, user);
        return;
    }
    CDBCollect demo;
    demo.MakeDemo(user);
    demo.Validate(user, false);
    demo.CXItem::FillPrintKeywords(keywords, kind, user);
}
