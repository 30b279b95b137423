#include "CDlgEditViewItems.h"

#include "CHtmlCtrl.h"
#include "CXItem.h"
#include "CXXmlDoc.h"
#include "Resources.h"
#include "TransformXsl.h"
#include "XWinStyles.h"

#include <QtWidgets/QVBoxLayout>

namespace {

const XDlgTemplate& ViewItemsTemplate()
{
    static const XDlgTemplate t{387, QStringLiteral("详细信息"), WS_CHILD, {{12, XCtrlKind::Custom, QString(), 0, 0, 0}}, {}};
    return t;
}

// A control of the program's own put into a template's slot, filling it.
void FillSlot(QWidget* slot, QWidget* w, int margin)
{
    auto* box = new QVBoxLayout(slot);
    box->setContentsMargins(margin, margin, margin, margin);
    box->addWidget(w);
}

} // namespace

CDlgEditViewItems::CDlgEditViewItems() : CXDialogEx(false, &ViewItemsTemplate()) {}

bool CDlgEditViewItems::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    QWidget* slot = GetDlgItem(12);
    m_html = new CHtmlCtrl(slot);
    FillSlot(slot, m_html, 12);
    CXXmlDoc doc;
    doc.SetDocText(QStringLiteral("<r/>"));
    doc.FindElement();
    doc.IntoElement();
    for (CXItem* item : m_items)
        item->WriteXml(doc, 1, 0, AppServices().User());
    m_strXml = doc.GetDocText();
    m_html->SetHTML(TransformXsl(doc, LoadResourceText(464, "www", 65001)));
    return true;
}
