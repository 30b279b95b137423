#include "CDlgEditReceipt.h"

#include "CDlgEditReceiptAlt.h"
#include "CommandIds.h"
#include "RecordCopy.h"
#include "XWinStyles.h"

namespace {

const XDlgTemplate& ReceiptTemplate()
{
    using K = XCtrlKind;
    const auto label = [](const char16_t* text, int row, int col, int span = 1) {
        return XCtrlDef{-1, K::Static, QString::fromUtf16(text), WS_GROUP, row, col, span};
    };
    // one adjustment: its check box, value and note on one row
    const auto adjust = [](int flag, const char16_t* caption, int value, K valueKind, int memo, int row) {
        return std::vector<XCtrlDef>{{flag, K::Check, QString::fromUtf16(caption), WS_TABSTOP | WS_GROUP, row, 0},
                                     {value, valueKind, QString(), WS_TABSTOP, row, 1},
                                     {-1, K::Static, QStringLiteral("说明："), WS_GROUP, row, 2},
                                     {memo, K::Edit, QString(), WS_TABSTOP, row, 3}};
    };
    static const XDlgTemplate t = [&] {
        XDlgTemplate d{IDD_EDIT_RECEIPT, QStringLiteral("基本信息"), WS_CHILD, {}, {}};
        auto& c = d.ctrls;
        c = {label(u"日期：", 0, 0),   {IDC_DATE_BGN, K::Date, QString(), WS_TABSTOP, 0, 1},
             label(u"编号：", 0, 2),   {IDC_KEY_NAME, K::Edit, QString(), WS_TABSTOP, 0, 3},
             label(u"学员：", 1, 0),   {MDU_STUDENT, K::Link, QString(), WS_TABSTOP, 1, 1, 1, WS_EX_CLIENTEDGE},
             label(u"交款人：", 1, 2), {IDC_PAYER, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWN, 1, 3},
             label(u"课时包：", 2, 0), {MDU_CHARGE, K::Link, QString(), WS_TABSTOP, 2, 1, 3, WS_EX_CLIENTEDGE},
             label(u"课程：", 3, 0),   {MDU_COURSE, K::Link, QString(), 0, 3, 1, 3},
             label(u"数量：", 4, 0),   {IDC_PAY_NUM, K::Edit, QString(), WS_TABSTOP, 4, 1}};
        for (const auto& row :
             {adjust(IDC_ADJ_DCNT, u"折扣：", IDC_ADJ_DCNT_VAL, K::Edit, IDC_ADJ_DCNT_MEMO, 5),
              adjust(IDC_ADJ_PRICE, u"调整价格：", IDC_ADJ_PRICE_VAL, K::Edit, IDC_ADJ_PRICE_MEMO, 6),
              adjust(IDC_ADJ_LSN, u"调整课时：", IDC_ADJ_LSN_VAL, K::Edit, IDC_ADJ_LSN_MEMO, 7),
              adjust(IDC_ADJ_BGN, u"上课日期：", IDC_ADJ_BGN_VAL, K::Date, IDC_ADJ_BGN_MEMO, 8),
              adjust(IDC_ADJ_VALID, u"调整有效期：", IDC_ADJ_VALID_VAL, K::Edit, IDC_ADJ_VALID_MEMO, 9),
              adjust(IDC_ADJ_GIFT, u"礼品：", IDC_ADJ_GIFT_VAL, K::Edit, IDC_ADJ_GIFT_MEMO, 10)})
            c.insert(c.end(), row.begin(), row.end());
        const std::vector<XCtrlDef> rest{label(u"课时：", 11, 0),
                                         {IDC_LESSONS, K::Static, QString(), 0, 11, 1},
                                         label(u"（课时包课时 × 数量 + 调整课时）", 11, 2, 2),
                                         label(u"有效期：", 12, 0),
                                         {IDC_VALID_DAYS, K::Static, QString(), 0, 12, 1},
                                         label(u"（根据课时包和调整等计算，按 F1 键查看详细说明）", 12, 2, 2),
                                         label(u"金额：", 13, 0),
                                         {IDC_PAY, K::Static, QString(), 0, 13, 1},
                                         label(u"（课时包价格 × 数量 × 折扣 + 调整价格）", 13, 2, 2),
                                         label(u"支付方式：", 14, 0),
                                         {IDC_PAY_TYPE, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWN, 14, 1},
                                         label(u"备注：", 15, 0),
                                         {IDC_MEMO, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 15, 1, 3}};
        c.insert(c.end(), rest.begin(), rest.end());
        return d;
    }();
    return t;
}

} // namespace

CDlgEditReceipt::CDlgEditReceipt(bool bNew, const CXItem* from) : CXDialogEx(false, &ReceiptTemplate())
{
    if (from)
        from->CopyTo(&m_receipt);
    if (bNew && from)
        PrepareNewCopy(m_receipt);
    m_receipt.m_pArray = nullptr;
}

std::vector<std::unique_ptr<CXDialogEx>> CDlgEditReceipt::MakeFollowingPages() const
{
    // later alterations belong to a receipt that was issued
    std::vector<std::unique_ptr<CXDialogEx>> pages;
    if (m_receipt.m_nID != 0)
        pages.push_back(std::make_unique<CDlgEditReceiptAlt>());
    return pages;
}

void CDlgEditReceipt::DoDataExchange(XDataExchange& dx)
{
    CDBReceipt& r = m_receipt;
    BindDate(dx, IDC_DATE_BGN, &r, &r.m_dtDate);
    BindText(dx, IDC_KEY_NAME, &r, &r.m_strName);
    BindLink(dx, MDU_STUDENT, &r, &r.m_student);
    BindText(dx, IDC_PAYER, &r, &r.m_strPayer);
    BindLink(dx, MDU_CHARGE, &r, &r.m_charge);
    BindStatic(dx, MDU_COURSE, &r, &r.m_courses);
    BindInt(dx, IDC_PAY_NUM, &r, &r.m_nPayNum);
    BindChoice(dx, IDC_ADJ_DCNT, &r, &r.m_nAdjDcnt);
    BindInt(dx, IDC_ADJ_DCNT_VAL, &r, &r.m_nAdjDcntVal);
    BindText(dx, IDC_ADJ_DCNT_MEMO, &r, &r.m_strAdjDcntMemo);
    BindChoice(dx, IDC_ADJ_PRICE, &r, &r.m_nAdjPrice);
    BindDouble(dx, IDC_ADJ_PRICE_VAL, &r, &r.m_fAdjPriceVal);
    BindText(dx, IDC_ADJ_PRICE_MEMO, &r, &r.m_strAdjPriceMemo);
    BindChoice(dx, IDC_ADJ_LSN, &r, &r.m_nAdjLsn);
    BindInt(dx, IDC_ADJ_LSN_VAL, &r, &r.m_nAdjLsnVal);
    BindText(dx, IDC_ADJ_LSN_MEMO, &r, &r.m_strAdjLsnMemo);
    BindChoice(dx, IDC_ADJ_BGN, &r, &r.m_nAdjBgn);
    BindDate(dx, IDC_ADJ_BGN_VAL, &r, &r.m_dtAdjBgnVal);
    BindText(dx, IDC_ADJ_BGN_MEMO, &r, &r.m_strAdjBgnMemo);
    BindChoice(dx, IDC_ADJ_VALID, &r, &r.m_nAdjValid);
    BindInt(dx, IDC_ADJ_VALID_VAL, &r, &r.m_nAdjValidVal);
    BindText(dx, IDC_ADJ_VALID_MEMO, &r, &r.m_strAdjValidMemo);
    BindChoice(dx, IDC_ADJ_GIFT, &r, &r.m_nAdjGift);
    BindDouble(dx, IDC_ADJ_GIFT_VAL, &r, &r.m_fAdjGiftVal);
    BindText(dx, IDC_ADJ_GIFT_MEMO, &r, &r.m_strAdjGiftMemo);
    BindStatic(dx, IDC_LESSONS, &r, &r.m_nLesson);
    BindStatic(dx, IDC_VALID_DAYS, &r, &r.m_validity);
    BindStatic(dx, IDC_PAY, &r, &r.m_fPay);
    BindText(dx, IDC_PAY_TYPE, &r, &r.m_strPayType);
    BindText(dx, IDC_MEMO, &r, &r.m_strMemo);
}
