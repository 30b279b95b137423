#include "CDlgEditCollectItem.h"

#include "CommandIds.h"
#include "XWinStyles.h"

#include <QtWidgets/QLineEdit>

namespace {

const XDlgTemplate& CollectItemTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_COLLECT_ITEM,
                                QStringLiteral("收款项"),
                                0,
                                {{-1, K::Static, QStringLiteral("品名规格："), WS_GROUP, 0, 0},
                                 {IDC_CONTENT, K::Edit, QString(), WS_TABSTOP, 0, 1, 3},
                                 {-1, K::Static, QStringLiteral("单位："), WS_GROUP, 1, 0},
                                 {IDC_UNIT, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWN, 1, 1},
                                 {-1, K::Static, QStringLiteral("数量："), WS_GROUP, 1, 2},
                                 {IDC_PAY_NUM, K::Edit, QString(), WS_TABSTOP, 1, 3},
                                 {-1, K::Static, QStringLiteral("单价："), WS_GROUP, 2, 0},
                                 {IDC_UNIT_PRICE, K::Edit, QString(), WS_TABSTOP, 2, 1},
                                 {-1, K::Static, QStringLiteral("金额："), WS_GROUP, 2, 2},
                                 {IDC_PRICE, K::Edit, QString(), ES_READONLY, 2, 3},
                                 {IDOK, K::Button, QStringLiteral("确定"), WS_GROUP, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

} // namespace

CDlgEditCollectItem::CDlgEditCollectItem(const CXItem* from, QWidget* parent)
    : CXDialogEx(from == nullptr, &CollectItemTemplate(), parent)
{
    if (from)
        from->CopyTo(&m_item);
    m_item.m_pArray = nullptr;
}

void CDlgEditCollectItem::DoDataExchange(XDataExchange& dx)
{
    CDBCollectItem& i = m_item;
    BindText(dx, IDC_CONTENT, &i, &i.m_strMemo);
    BindText(dx, IDC_UNIT, &i, &i.m_strUnit);
    BindInt(dx, IDC_PAY_NUM, &i, &i.m_nPayNum);
    BindDouble(dx, IDC_UNIT_PRICE, &i, &i.m_fUnitPrice);
    // the amount follows whatever was typed, each time the controls are read back
    if (const CHead* subtotal = CDBCollectItem::StaticHeads()->FindByCaption(QStringLiteral("小计")))
        if (auto* amount = qobject_cast<QLineEdit*>(GetDlgItem(IDC_PRICE)))
            amount->setText(i.FormatText(subtotal, true, true, true));
}
