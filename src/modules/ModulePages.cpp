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
#include "CommandIds.h"
#include "Resources.h"
#include "TransformXsl.h"
#include "XWinStyles.h"

#include <QtGui/QGuiApplication>

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
    m_html->SetHTML(RecordPageHtml(
        [this](CXXmlDoc& doc) {
            for (CXItem* item : m_items)
                item->WriteXml(doc, 1, 0, AppServices().User());
        },
        &m_strXml));
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
                                                 {1135, K::Edit, QString(), WS_TABSTOP, 0, 1},
                                                 {-1, K::Static, QStringLiteral("选项："), 0, 1, 0},
                                                 {1119, K::Check, QStringLiteral("置顶显示"), WS_TABSTOP, 1, 1},
                                                 {-1, K::Static, QStringLiteral("内容："), 0, 2, 0},
                                                 {1137, K::Edit, QString(), ES_MULTILINE | ES_READONLY, 2, 1},
                                                 {-1, K::Static, QStringLiteral("备注："), 0, 3, 0},
                                                 {1134, K::Edit, QString(), WS_TABSTOP, 3, 1}},
                                                {}})
                 .first;
    return it->second;
}

void ShowSchemeContent(CXDialogEx& page, const QString& text)
{
    if (auto* content = qobject_cast<QPlainTextEdit*>(page.GetDlgItem(1137)))
        content->setPlainText(text);
    else if (auto* line = qobject_cast<QLineEdit*>(page.GetDlgItem(1137)))
        line->setText(text);
}
