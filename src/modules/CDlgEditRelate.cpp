#include "CDlgEditRelate.h"

#include "CModule.h"
#include "CXCmd.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "Resources.h"
#include "XWinStyles.h"

#include <QtGui/QGuiApplication>

namespace {

const XDlgTemplate& RelateTemplate()
{
    static const XDlgTemplate t{IDD_EDIT_RELATE,
                                QStringLiteral("关联记录"),
                                WS_CHILD,
                                {{IDC_RECORD_LIST, XCtrlKind::Custom, QString(), 0, 0, 0}},
                                {}};
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
