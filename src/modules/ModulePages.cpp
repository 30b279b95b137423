#include "ModulePages.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

#include "CHtmlCtrl.h"
#include "CModule.h"
#include "CXCmd.h"
#include "CXItem.h"
#include "CXListCtrl.h"
#include "CXXmlDoc.h"
#include "CommandIds.h"
#include "Resources.h"
#include "TransformXsl.h"
#include "XWinStyles.h"

#include <QtGui/QGuiApplication>
#include <QtWidgets/QVBoxLayout>

namespace {

const XDlgTemplate& RelateTemplate()
{
    static const XDlgTemplate t{376, QStringLiteral("关联记录"), WS_CHILD, {{1243, XCtrlKind::Custom, QString(), 0, 0, 0}}, {}};
    return t;
}

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

CDlgEditRelate::CDlgEditRelate(CXMap query, int mduId, int relCmd)
    : CXDialogEx(false, &RelateTemplate()), m_query(std::move(query)), m_nMduID(mduId), m_nRelCmd(relCmd)
{
    m_strCaption = LoadCommandText(relCmd);
}

bool CDlgEditRelate::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    QWidget* slot = GetDlgItem(1243);
    m_list = new CXListCtrl(slot, 1243);
    FillSlot(slot, m_list, 0);
    auto* open = new CXCmd(ID_EDIT_MODIFY, true, true, true);
    m_list->AddCmd(open);
    return true;
}

void CDlgEditRelate::showEvent(QShowEvent* e)
{
    CXDialogEx::showEvent(e);
    UpdateControls();
    if (m_bRead || !m_list)
        return;
    m_bRead = true;
    CModule* module = FindModule(m_nMduID);
    if (!module)
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    module->QueryItems(m_items, m_query, false, false);
    m_list->SetItems(&m_items, module->GetHeads(), module->IsChildListQuery(m_query) ? 1 : 2, 0);
    QGuiApplication::restoreOverrideCursor();
}

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

namespace {

const XDlgTemplate& PrjQueryTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{372,
                                QStringLiteral("查询方案"),
                                WS_CHILD,
                                {{-1, K::Static, QStringLiteral("名称："), 0, 0, 0},
                                 {1135, K::Edit, QString(), WS_TABSTOP, 0, 1},
                                 {-1, K::Static, QStringLiteral("选项："), 0, 1, 0},
                                 {1119, K::Check, QStringLiteral("置顶显示"), WS_TABSTOP, 1, 1},
                                 {-1, K::Static, QStringLiteral("内容："), 0, 2, 0},
                                 {1137, K::Edit, QString(), ES_MULTILINE | ES_READONLY, 2, 1},
                                 {-1, K::Static, QStringLiteral("备注："), 0, 3, 0},
                                 {1134, K::Edit, QString(), WS_TABSTOP, 3, 1}},
                                {}};
    return t;
}

} // namespace

CDlgEditPrjQuery::CDlgEditPrjQuery(const CXItem* from) : CXDialogEx(false, &PrjQueryTemplate())
{
    if (from)
        from->CopyTo(&m_scheme);
}

void CDlgEditPrjQuery::DoDataExchange(XDataExchange& dx)
{
    BindText(dx, 1135, &m_scheme, &m_scheme.m_strName);
    BindInt(dx, 1119, &m_scheme, &m_scheme.m_bDispOnTop);
    BindText(dx, 1134, &m_scheme, &m_scheme.m_strMemo);
    if (auto* content = qobject_cast<QPlainTextEdit*>(GetDlgItem(1137)))
        content->setPlainText(m_scheme.GetContentText());
    else if (auto* line = qobject_cast<QLineEdit*>(GetDlgItem(1137)))
        line->setText(m_scheme.GetContentText());
}
