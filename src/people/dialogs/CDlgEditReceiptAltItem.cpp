#include "CDlgEditReceiptAltItem.h"

#include "CXArray.h"
#include "CommandIds.h"
#include "XWinStyles.h"

namespace {

const XDlgTemplate& AltItemTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_RECEIPT_ALT_ITEM,
                                QStringLiteral("后期变更项"),
                                0,
                                {{-1, K::Static, QStringLiteral("日期："), WS_GROUP, 0, 0},
                                 {IDC_DATE_BGN, K::Date, QString(), WS_TABSTOP, 0, 1},
                                 {-1, K::Static, QStringLiteral("类型："), WS_GROUP, 0, 2},
                                 {IDC_ALTER_TYPE, K::Radio, QStringLiteral("普通"), WS_GROUP | WS_TABSTOP, 0, 3},
                                 {-1, K::Radio, QStringLiteral("退费"), 0, 0, 4},
                                 {-1, K::Static, QStringLiteral("金额变更："), WS_GROUP, 1, 0},
                                 {IDC_PRICE, K::Edit, QString(), WS_TABSTOP, 1, 1},
                                 {-1, K::Static, QStringLiteral("课时变更："), WS_GROUP, 2, 0},
                                 {IDC_LESSONS, K::Edit, QString(), WS_TABSTOP, 2, 1},
                                 {-1, K::Static, QStringLiteral("有效期变更："), WS_GROUP, 3, 0},
                                 {IDC_VALID_DAYS, K::Edit, QString(), WS_TABSTOP, 3, 1},
                                 {-1, K::Static, QStringLiteral("知情人："), WS_GROUP, 4, 0},
                                 {IDC_INSIDER, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWN, 4, 1, 4},
                                 {-1, K::Static, QStringLiteral("说明："), WS_GROUP, 5, 0},
                                 {IDC_MEMO, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 5, 1, 4},
                                 {IDOK, K::Button, QStringLiteral("确定"), WS_GROUP, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

} // namespace

CDlgEditReceiptAltItem::CDlgEditReceiptAltItem(const CXItem* from, CXArray* owner, QWidget* parent)
    : CXDialogEx(from == nullptr, &AltItemTemplate(), parent)
{
    if (from)
        from->CopyTo(&m_item);
    m_item.m_pArray = owner;
    if (owner && owner->m_pParent)
        m_item.m_nParentID = owner->m_pParent->m_nID;
}

void CDlgEditReceiptAltItem::DoDataExchange(XDataExchange& dx)
{
    CDBReceiptAlter& a = m_item;
    BindDate(dx, IDC_DATE_BGN, &a, &a.m_dtDate);
    BindChoice(dx, IDC_ALTER_TYPE, &a, &a.m_nAlterType);
    BindDouble(dx, IDC_PRICE, &a, &a.m_fAlterPrice);
    BindInt(dx, IDC_LESSONS, &a, &a.m_nAlterLesson);
    BindInt(dx, IDC_VALID_DAYS, &a, &a.m_nAlterValid);
    BindText(dx, IDC_INSIDER, &a, &a.m_strInsider);
    BindText(dx, IDC_MEMO, &a, &a.m_strMemo);
}
