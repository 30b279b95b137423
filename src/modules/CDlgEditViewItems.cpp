#include "CDlgEditViewItems.h"

#include "CHtmlCtrl.h"
#include "CXItem.h"
#include "CXXmlDoc.h"
#include "CommandIds.h"
#include "Resources.h"
#include "TransformXsl.h"
#include "XWinStyles.h"

namespace {

const XDlgTemplate& ViewItemsTemplate()
{
    static const XDlgTemplate t{IDD_EDIT_VIEWITEMS,
                                QStringLiteral("详细信息"),
                                WS_CHILD,
                                {{IDC_HTML_PANE, XCtrlKind::Custom, QString(), 0, 0, 0}},
                                {}};
    return t;
}

} // namespace

CDlgEditViewItems::CDlgEditViewItems() : CXDialogEx(false, &ViewItemsTemplate()) {}

bool CDlgEditViewItems::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    QWidget* slot = GetDlgItem(IDC_HTML_PANE);
    m_html = new CHtmlCtrl(slot);
    FillSlot(slot, m_html, 12);
    m_html->SetHTML(RecordPageHtml(
        [this](CXXmlDoc& doc) {
            for (CXItem* item : m_items)
                item->WriteXml(doc, 1, 0, AppServices().User());
        },
        &m_strXml));
    return true;
}
