#include "CDlgEditTempl.h"

#include "CommandIds.h"
#include "XWinStyles.h"

#include <QtWidgets/QComboBox>

namespace {

const XDlgTemplate& TemplTemplate()
{
    using K = XCtrlKind;
    const unsigned tab = WS_TABSTOP;
    static const XDlgTemplate t{IDD_EDIT_TEMPL,
                                QStringLiteral("基本信息"),
                                WS_CHILD,
                                {{-1, K::Static, QStringLiteral("名称："), WS_GROUP, 0, 0},
                                 {IDC_TITLE, K::Edit, QString(), tab, 0, 1, 4},
                                 {-1, K::Static, QStringLiteral("适用："), WS_GROUP, 1, 0},
                                 {IDC_TEMPL_MODULE, K::Combo, QString(), tab | CBS_DROPDOWNLIST, 1, 1, 2},
                                 {IDC_ENABLED, K::Check, QStringLiteral("启用"), tab | WS_GROUP, 1, 3},
                                 {-1, K::Static, QStringLiteral("纸张规格："), WS_GROUP, 2, 0},
                                 {IDC_TEMPL_PAPER, K::Combo, QString(), tab | CBS_DROPDOWNLIST, 2, 1, 2},
                                 {-1, K::Static, QStringLiteral("页面尺寸："), WS_GROUP, 3, 0},
                                 {IDC_TEMPL_PAPER_WIDTH, K::Edit, QString(), tab, 3, 1},
                                 {IDC_TEMPL_PAPER_LENGTH, K::Edit, QString(), tab, 3, 2},
                                 {-1, K::Static, QStringLiteral("页边距："), WS_GROUP, 4, 0},
                                 {IDC_TEMPL_MARGIN_LEFT, K::Edit, QString(), tab, 4, 1},
                                 {IDC_TEMPL_MARGIN_TOP, K::Edit, QString(), tab, 4, 2},
                                 {IDC_TEMPL_MARGIN_RIGHT, K::Edit, QString(), tab, 4, 3},
                                 {IDC_TEMPL_MARGIN_BOTTOM, K::Edit, QString(), tab, 4, 4},
                                 {-1, K::Static, QStringLiteral("页面方向："), WS_GROUP, 5, 0},
                                 {IDC_TEMPL_PORTRAIT, K::Radio, QStringLiteral("纵向"), tab | WS_GROUP, 5, 1},
                                 {IDC_TEMPL_LANDSCAPE, K::Radio, QStringLiteral("横向"), 0, 5, 2},
                                 {-1, K::Static, QStringLiteral("动态行："), WS_GROUP, 6, 0},
                                 {IDC_TEMPL_PAGING, K::Edit, QString(), tab | WS_GROUP, 6, 1},
                                 {IDC_TEMPL_PRINT_REPLACE, K::Check, QStringLiteral("套打"), tab | WS_GROUP, 6, 2},
                                 {-1, K::Static, QStringLiteral("打印机："), WS_GROUP, 7, 0},
                                 {IDC_TEMPL_PRINTER, K::Combo, QString(), tab | CBS_DROPDOWNLIST, 7, 1, 4},
                                 {-1, K::Static, QStringLiteral("双面打印："), WS_GROUP, 8, 0},
                                 {IDC_TEMPL_DUPLEX_NONE, K::Radio, QStringLiteral("单面"), tab | WS_GROUP, 8, 1},
                                 {IDC_TEMPL_DUPLEX_LONG, K::Radio, QStringLiteral("双面 (长边装订)"), 0, 8, 2},
                                 {IDC_TEMPL_DUPLEX_SHORT, K::Radio, QStringLiteral("双面 (短边装订)"), 0, 8, 3},
                                 {-1, K::Static, QStringLiteral("彩色打印："), WS_GROUP, 9, 0},
                                 {IDC_TEMPL_PRINT_MONO, K::Radio, QStringLiteral("单色"), tab | WS_GROUP, 9, 1},
                                 {IDC_TEMPL_PRINT_COLOR, K::Radio, QStringLiteral("彩色"), 0, 9, 2},
                                 {-1, K::Static, QStringLiteral("打印拷贝："), WS_GROUP, 10, 0},
                                 {IDC_TEMPL_COPIES, K::Edit, QString(), tab | WS_GROUP, 10, 1},
                                 {-1, K::Static, QStringLiteral("备注："), WS_GROUP, 11, 0},
                                 {IDC_MEMO, K::Edit, QString(), tab | WS_GROUP, 11, 1, 4}},
                                {}};
    return t;
}

} // namespace

CDlgEditTempl::CDlgEditTempl(bool bNew, const CXItem* from) : CXDialogEx(false, &TemplTemplate())
{
    if (from)
        from->CopyTo(&m_templ);
    // saving the copy of another template adds a template of its own
    if (bNew && from)
        m_templ.m_nID = 0;
    m_templ.m_pArray = nullptr;
}

void CDlgEditTempl::DoDataExchange(XDataExchange& dx)
{
    CDBTempl& t = m_templ;
    BindText(dx, IDC_TITLE, &t, &t.m_strName);
    BindChoice(dx, IDC_TEMPL_MODULE, &t, &t.m_nTemplMduID);
    BindChoice(dx, IDC_ENABLED, &t, &t.m_bEnabled);
    BindChoice(dx, IDC_TEMPL_PAPER, &t, &t.m_nPaperID);
    BindDouble(dx, IDC_TEMPL_PAPER_WIDTH, &t, &t.m_fPaperWidth);
    BindDouble(dx, IDC_TEMPL_PAPER_LENGTH, &t, &t.m_fPaperLength);
    BindInt(dx, IDC_TEMPL_MARGIN_LEFT, &t, &t.m_nMarginLeft);
    BindInt(dx, IDC_TEMPL_MARGIN_TOP, &t, &t.m_nMarginTop);
    BindInt(dx, IDC_TEMPL_MARGIN_RIGHT, &t, &t.m_nMarginRight);
    BindInt(dx, IDC_TEMPL_MARGIN_BOTTOM, &t, &t.m_nMarginBottom);
    BindChoice(dx, IDC_TEMPL_PORTRAIT, &t, &t.m_nOrientation);
    BindChoice(dx, IDC_TEMPL_PRINT_REPLACE, &t, &t.m_nPrintReplace);
    BindInt(dx, IDC_TEMPL_PAGING, &t, &t.m_nPagingIndex);
    BindText(dx, IDC_TEMPL_PRINTER, &t, &t.m_strPrinter);
    // "打印时选择" is how no printer shows: it is chosen as the empty name, never stored as one
    if (auto* printer = qobject_cast<QComboBox*>(GetDlgItem(IDC_TEMPL_PRINTER))) {
        const QString none = printer->itemText(printer->findData(-1));
        if (dx.m_bSaveAndValidate && !none.isEmpty() && t.m_strPrinter == none)
            t.m_strPrinter.clear();
        else if (!dx.m_bSaveAndValidate && t.m_strPrinter.isEmpty() && !printer->hasFocus())
            printer->setCurrentIndex(printer->findData(-1));
    }
    BindChoice(dx, IDC_TEMPL_DUPLEX_NONE, &t, &t.m_nPrintDuplex);
    BindChoice(dx, IDC_TEMPL_PRINT_MONO, &t, &t.m_nPrintColor);
    BindInt(dx, IDC_TEMPL_COPIES, &t, &t.m_nPrintCopies);
    BindText(dx, IDC_MEMO, &t, &t.m_strMemo);
}
