#include "XEditButtons.h"

#include "CDlgSelHistory.h"
#include "CHead.h"
#include "CXDialogEx.h"
#include "CXItem.h"
#include "CommandIds.h"
#include "ProgramPaths.h"
#include "RecordLookups.h"
#include "Resources.h"
#include "XCmdRow.h"
#include "XCtrlProps.h"
#include "XDrawing.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtCore/QEvent>

XEditButtons::XEditButtons(IXEdit* edit) : m_edit(edit), m_row(new XCmdRow(edit->EditWidget()))
{
    m_row->hide();
    m_row->onClick = [this](int id) { OnButton(id); };
    m_row->onUpdate = [this] {
        if (CXDialogEx* dlg = CXDialogEx::FromControl(m_edit->EditWidget()))
            for (CXCmd* c : m_cmds)
                if (c->m_nID != ID_EDIT_CLEAR && !c->m_bIndicator && dlg->HasCommandHandler(c->m_nID, XCN_UPDATE))
                    c->DoUpdate(dlg);
    };
}

XEditButtons::~XEditButtons()
{
    for (CXCmd* c : m_cmds)
        delete c;
}

CXCmd* XEditButtons::AddCmd(int id, bool visible, bool isDefault, bool indicator)
{
    auto* c = new CXCmd(id, visible, false, isDefault);
    c->m_bIndicator = indicator;
    m_cmds.push_back(c);
    RecalcLayout();
    return c;
}

CXCmd* XEditButtons::Cmd(int id) const
{
    for (CXCmd* c : m_cmds)
        if (c->m_nID == id)
            return c;
    return nullptr;
}

std::vector<CXCmd*> XEditButtons::VisibleCmds() const
{
    std::vector<CXCmd*> v;
    const QWidget* w = m_edit->EditWidget();
    if (!w->isEnabled() || m_edit->IsEditReadOnly() || IsWndReadOnly(w))
        return v;
    for (CXCmd* c : m_cmds)
        if (c->m_bShown && c->m_nID)
            v.push_back(c);
    return v;
}

void XEditButtons::RecalcLayout()
{
    const std::vector<CXCmd*> shown = VisibleCmds();
    const int b = RowHeight();
    const int n = static_cast<int>(shown.size());
    const XEditButtonLayout l = LayoutEditButtons(m_edit->EditWidget()->size(), n, b);
    m_edit->SetButtonMargin(shown.empty() ? 0 : (l.row ? b * n : b));
    if (shown.empty()) {
        m_row->hide();
        m_row->SetCommands({});
        return;
    }
    // Buttons taller than a low edit stop at its border instead of covering it.
    const QRect inside = QRect(QPoint(0, 0), m_edit->EditWidget()->size()).adjusted(1, 1, -1, -1);
    QRect box;
    for (const QRect& r : l.buttons)
        box |= r & inside;
    for (std::size_t i = 0; i < shown.size(); ++i)
        shown[i]->m_rc = (l.buttons[i] & inside).translated(-box.topLeft());
    // a multi-line edit's column sits on the parent's background; a line edit's on its own
    m_row->m_bWindowBackground = !m_edit->IsMultiLine();
    m_row->setGeometry(box);
    m_row->SetCommands(shown);
    m_row->show();
    m_row->update();
}

int XEditButtons::FindDuplicate() const
{
    const QWidget* w = m_edit->EditWidget();
    CXDialogEx* dlg = CXDialogEx::FromControl(w);
    CXItem* item = dlg ? dlg->GetItem() : nullptr;
    if (!item)
        return -1;
    const auto& byId = dlg->BindingsByID();
    const auto it = byId.find(CtrlId(w));
    if (it == byId.end())
        return -1;
    const CHead* h = dlg->FindHead(it->second);
    const CHeads* heads = item->GetHeads();
    if (!h || h->m_nUnique == 0 || !heads)
        return -1;
    const int own = item->IsModuleItem() ? item->m_nID : item->m_nSubID;
    return ::FindDuplicate(own, m_edit->EditText(), heads->m_strTable, h->m_strColumn);
}

void XEditButtons::OnChange()
{
    QWidget* w = m_edit->EditWidget();
    const int d = FindDuplicate();
    CXDialogEx* dlg = CXDialogEx::FromControl(w);
    const CXItem* item = dlg ? dlg->GetItem() : nullptr;
    const XDuplicateButtons r = DecideDuplicateButtons(d, item && item->m_nID != 0);
    bool changed = false;
    auto show = [&changed](CXCmd* c, bool on) {
        if (c && c->m_bShown != on) {
            c->m_bShown = on;
            changed = true;
        }
    };
    if (r.applies) {
        show(Cmd(IDI_ERROR), r.indicator);
        show(Cmd(IDI_WARNING), r.indicator);
        show(Cmd(ID_EDIT_MERGE), r.merge);
    }
    const bool hasText = !m_edit->EditText().isEmpty();
    if (CXCmd* clear = Cmd(ID_EDIT_CLEAR); clear && clear->m_bEnabled != hasText) {
        clear->m_bEnabled = hasText;
        m_row->update();
    }
    if (changed)
        RecalcLayout();
    if (dlg && !m_edit->IsEditReadOnly() && !IsWndReadOnly(w) && w->isVisibleTo(dlg))
        dlg->RequestUpdate();
}

void XEditButtons::OnButton(int id)
{
    QWidget* w = m_edit->EditWidget();
    CXDialogEx* dlg = CXDialogEx::FromControl(w);
    switch (id) {
    case ID_EDIT_HISTORY: {
        QString table = m_strTable;
        QString column = m_strColumn;
        if (CXItem* item = dlg ? dlg->GetItem() : nullptr) {
            const auto it = dlg->BindingsByID().find(CtrlId(w));
            const CHead* h = it != dlg->BindingsByID().end() ? dlg->FindHead(it->second) : nullptr;
            table = item->GetHeads() ? item->GetHeads()->m_strTable : QString();
            column = h ? h->m_strColumn : QString();
        }
        if (table.isEmpty() || column.isEmpty())
            return;
        CDlgSelHistory history;
        history.m_strTable = table;
        history.m_strColumn = column;
        history.m_strValue = m_edit->EditText();
        history.m_bMultiLine = m_edit->IsMultiLine() ? 1 : 0;
        if (history.RunHistory() != IDOK)
            return;
        m_edit->ReplaceAll(history.m_strValue);
        if (dlg)
            dlg->UpdateControls();
        return;
    }
    case ID_EDIT_FOLDER: {
        const QString start = ToExeAbsolutePath(m_edit->EditText());
        CreateDirectoryPath(start);
        const QString folder = XUi::GetExistingDirectory(w, LoadCommandText(ID_EDIT_FOLDER), start);
        if (folder.isEmpty())
            return;
        m_edit->SetEditText(ToExeRelativePath(folder));
        if (dlg)
            dlg->UpdateControls();
        return;
    }
    case ID_EDIT_CLEAR:
        m_edit->SetEditText(QString());
        return;
    default:
        if (dlg)
            XPostCommand(dlg, id);
        return;
    }
}

void XEditButtons::FocusChanged(bool gained)
{
    QWidget* w = m_edit->EditWidget();
    if (HasStyle(w, ES_OEMCONVERT))
        w->setAttribute(Qt::WA_InputMethodEnabled, !gained);
    if (!gained)
        OnChange();
}

void XEditButtons::StateChanged(const QEvent* e)
{
    if (e->type() == QEvent::EnabledChange || e->type() == QEvent::ReadOnlyChange)
        RecalcLayout();
}

bool XEditButtons::HandleEnter()
{
    QWidget* w = m_edit->EditWidget();
    if (!HasStyle(w, ES_WANTRETURN) || m_cmds.empty())
        return false;
    for (CXCmd* c : m_cmds)
        if (c->m_nID && c->m_bDefault) {
            if (CXDialogEx* dlg = CXDialogEx::FromControl(w))
                XPostCommand(dlg, c->m_nID);
            break;
        }
    return true;
}
