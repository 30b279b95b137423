#include "ModulePages.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>

#include <map>
#include <mutex>

#include "CHtmlCtrl.h"
#include "CModule.h"
#include "CXCmd.h"
#include "CXItem.h"
#include "CXListCtrl.h"
#include "CXXmlDoc.h"
#include "CodePages.h"
#include "CommandIds.h"
#include "Resources.h"
#include "TransformXsl.h"
#include "XWinStyles.h"

#include <QtGui/QGuiApplication>
#include <QtWidgets/QVBoxLayout>

namespace {

const XDlgTemplate& RelateTemplate()
{
    static const XDlgTemplate t{IDD_EDIT_RELATE, QStringLiteral("关联记录"), WS_CHILD, {{IDC_RECORD_LIST, XCtrlKind::Custom, QString(), 0, 0, 0}}, {}};
    return t;
}

const XDlgTemplate& ViewItemsTemplate()
{
    static const XDlgTemplate t{IDD_EDIT_VIEWITEMS, QStringLiteral("详细信息"), WS_CHILD, {{IDC_HTML_PANE, XCtrlKind::Custom, QString(), 0, 0, 0}}, {}};
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
    QWidget* slot = GetDlgItem(IDC_RECORD_LIST);
    m_list = new CXListCtrl(slot, IDC_RECORD_LIST);
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
    QWidget* slot = GetDlgItem(IDC_HTML_PANE);
    m_html = new CHtmlCtrl(slot);
    FillSlot(slot, m_html, IDC_HTML_PANE);
    CXXmlDoc doc;
    doc.SetDocText(QStringLiteral("<r/>"));
    doc.FindElement();
    doc.IntoElement();
    for (CXItem* item : m_items)
        item->WriteXml(doc, 1, 0, AppServices().User());
    m_strXml = doc.GetDocText();
    m_html->SetHTML(TransformXsl(doc, LoadResourceText(IDR_WWW_INNER_XSL, "www", CP_UTF8)));
    return true;
}

const XDlgTemplate& SchemePageTemplate(int id, const QString& caption)
{
    using K = XCtrlKind;
    static std::map<int, XDlgTemplate> templates;
    static std::mutex lock;
    std::lock_guard guard(lock);
    auto it = templates.find(id);
    if (it == templates.end())
        it = templates.emplace(id, XDlgTemplate{id,
                                                caption,
                                                WS_CHILD,
                                                {{-1, K::Static, QStringLiteral("名称："), 0, 0, 0},
                                                 {IDC_TITLE, K::Edit, QString(), WS_TABSTOP, 0, 1},
                                                 {-1, K::Static, QStringLiteral("选项："), 0, 1, 0},
                                                 {IDC_ONTOP, K::Check, QStringLiteral("置顶显示"), WS_TABSTOP, 1, 1},
                                                 {-1, K::Static, QStringLiteral("内容："), 0, 2, 0},
                                                 {IDC_CONTENT, K::Edit, QString(), ES_MULTILINE | ES_READONLY, 2, 1},
                                                 {-1, K::Static, QStringLiteral("备注："), 0, 3, 0},
                                                 {IDC_MEMO, K::Edit, QString(), WS_TABSTOP, 3, 1}},
                                                {}})
                 .first;
    return it->second;
}

void ShowSchemeContent(CXDialogEx& page, const QString& text)
{
    if (auto* content = qobject_cast<QPlainTextEdit*>(page.GetDlgItem(IDC_CONTENT)))
        content->setPlainText(text);
    else if (auto* line = qobject_cast<QLineEdit*>(page.GetDlgItem(IDC_CONTENT)))
        line->setText(text);
}
