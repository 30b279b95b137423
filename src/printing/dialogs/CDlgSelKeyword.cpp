#include "CDlgSelKeyword.h"

#include "CModule.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "PickerFind.h"
#include "XChooserLayout.h"
#include "XWinStyles.h"
#include "XUi.h"

#include <memory>

namespace {

const XDlgTemplate& SelKeywordTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_SEL_KEYWORD,
                                QStringLiteral("选择关键词"),
                                WS_MAXIMIZEBOX,
                                {{IDC_RECORD_LIST, K::Custom, QString(), 0, 0, 0},
                                 {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                QSize(860, 520)};
    return t;
}

struct XFixedKeyword
{
    const char16_t* group;
    const char16_t* caption;
    const char16_t* format; // how the page numbers print
    const char16_t* help;
};

const XFixedKeyword kFixed[] = {
    {u"打印", u"PAGEBREAK", u"", u"打印内容将在该位置分页"},
    {u"打印", u"PAGENUM", u"%d 页", u"打印内容的当前页码"},
    {u"打印", u"PAGECOUNT", u"%d 页", u"打印内容的总页数"},
    {u"打印", u"打印人", u"", u"执行打印操作时的用户"},
    {u"打印", u"打印日期", u"", u"执行打印操作时的日期"},
    {u"打印", u"打印时间", u"", u"执行打印操作时的时间"},
    {u"本机构", u"机构名称", u"", u"可在 “首选项” 中修改。"},
    {u"本机构", u"机构简称", u"", u"可在 “首选项” 中修改。"},
    {u"本机构", u"机构地址", u"", u"可在 “首选项” 中修改。"},
    {u"本机构", u"机构联系方式", u"", u"可在 “首选项” 中修改。"},
    {u"本机构", u"LOGO100", u"",
     u"本机构小 LOGO，其中 100 为显示像素高度，请修改为合适的数值。可在 “首选项” 中更换该图片。"},
    {u"本机构", u"BIGLOGO100", u"",
     u"本机构大 LOGO，其中 100 为显示像素高度，请修改为合适的数值。可在 “首选项” 中更换该图片。"},
};

const CHead& Row(const CXItem& item) { return static_cast<const CHead&>(item); }

} // namespace

CDlgSelKeyword::CDlgSelKeyword(int mduId, QWidget* parent)
    : CXDialogEx(false, &SelKeywordTemplate(), parent), m_nMduID(mduId)
{
    const QString none;
    m_heads.AddComputedHead(
        {}, QStringLiteral("关键词"), XSW,
        [](const CXItem& r, int) -> XFieldValue { return u'[' + Row(r).m_strName + u']'; }, none, none, 0, 585, 15,
        none);
    m_heads.AddComputedHead(
        {}, QStringLiteral("示例"), XSW,
        [](const CXItem& r, int) -> XFieldValue {
            return Row(r).m_strSample.isEmpty() ? QStringLiteral("...") : Row(r).m_strSample;
        },
        none, none, 0, 585, 40, none);
    m_heads.AddComputedHead(
        {}, QStringLiteral("单位"), XSW, [](const CXItem& r, int) -> XFieldValue { return Row(r).m_strUnit; }, none,
        none, 0, 585, 6, none);
    m_heads.AddComputedHead(
        {}, QStringLiteral("说明"), XSW, [](const CXItem& r, int) -> XFieldValue { return Row(r).m_strMemo; }, none,
        none, 0, 585, -1, none);
    m_heads.AddComputedHead(
        {}, QStringLiteral("分组"), XSW, [](const CXItem& r, int) -> XFieldValue { return Row(r).m_strGroup; }, none,
        none, 16, 0, 0, none);
    BuildRows(mduId, m_rows);
}

void CDlgSelKeyword::BuildRows(int mduId, CHeads& rows)
{
    rows.RemoveAll();
    CModule* module = FindModule(mduId);
    std::unique_ptr<CXItem> sample(module ? module->CreateItem() : nullptr);
    if (sample) {
        if (const CHeads* heads = sample->GetHeads())
            for (const CXItem* item : *heads)
                if (const auto* head = static_cast<const CHead*>(item); head->m_nColPrint) {
                    auto* row = new CHead;
                    head->CopyTo(row);
                    if (row->m_strGroup.isEmpty())
                        row->m_strGroup = heads->m_strItemType;
                    rows.Add(row);
                }
    }
    for (const XFixedKeyword& k : kFixed) {
        auto* row = new CHead;
        row->m_strGroup = QString::fromUtf16(k.group);
        row->m_strName = QString::fromUtf16(k.caption);
        row->m_strFormat = QString::fromUtf16(k.format);
        row->m_strMemo = QString::fromUtf16(k.help);
        rows.Add(row);
    }
    // the samples: what a sample record of the module prints for each keyword
    XPrintKeywords keywords;
    if (sample)
        sample->FillPrintKeywords(keywords, 1, AppServices().User());
    for (CXItem* item : rows) {
        auto* row = static_cast<CHead*>(item);
        row->m_strSample = keywords.value(u'[' + row->m_strName + u']');
    }
}

bool CDlgSelKeyword::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    setWindowIcon(AppServices().CommandIcon(ID_TEMPL_INSERT_KEYWORD, 0, false));
    m_list = PlaceList(*this, IDC_RECORD_LIST);
    StretchListRow(*this, 0);
    m_list->SetItems(&m_rows, &m_heads, 2, 0);
    return true;
}

void CDlgSelKeyword::OnOK()
{
    if (!m_list || m_list->GetSelectedCount() != 1) {
        XUi::ShowBalloon(m_list, m_list ? m_list->rect() : QRect(), QString(), QStringLiteral("请选择一个关键词！"), 2);
        return;
    }
    m_strKeyword = u'[' + Row(*m_list->GetItemData(m_list->GetFirstSelected())).m_strName + u']';
    CXDialogEx::OnOK();
}
