#include "CXEditCtrl.h"

#include "CDlgSelHistory.h"
#include "CHead.h"
#include "CXDialogEx.h"
#include "CXItem.h"
#include "CommandIds.h"
#include "Resources.h"
#include "ProgramPaths.h"
#include "RecordLookups.h"
#include "ReferenceTables.h"
#include "XCmdRow.h"
#include "XCtrlProps.h"
#include "XDrawing.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QPainter>

CXEditCtrl::CXEditCtrl(QWidget* parent) : QLineEdit(parent)
{
    m_row = new XCmdRow(this);
    m_row->hide();
    m_row->onClick = [this](int id) { OnButton(id); };
    m_row->onUpdate = [this] {
        if (CXDialogEx* dlg = CXDialogEx::FromControl(this))
            for (CXCmd* c : m_cmds)
                if (c->m_nID != ID_EDIT_CLEAR && !c->m_bIndicator && dlg->HasCommandHandler(c->m_nID, XCN_UPDATE))
                    c->DoUpdate(dlg);
    };
    connect(this, &QLineEdit::textChanged, this, [this] { OnChange(); });
}

CXEditCtrl::~CXEditCtrl()
{
    for (CXCmd* c : m_cmds)
        delete c;
}

CXCmd* CXEditCtrl::AddCmd(int id, bool visible, bool isDefault, bool indicator)
{
    auto* c = new CXCmd(id, visible, false, isDefault);
    c->m_bIndicator = indicator;
    m_cmds.push_back(c);
    RecalcLayout();
    return c;
}

CXCmd* CXEditCtrl::Cmd(int id) const
{
    for (CXCmd* c : m_cmds)
        if (c->m_nID == id)
            return c;
    return nullptr;
}

std::vector<CXCmd*> CXEditCtrl::VisibleCmds() const
{
    std::vector<CXCmd*> v;
    if (!isEnabled() || isReadOnly() || IsWndReadOnly(this))
        return v;
    for (CXCmd* c : m_cmds)
        if (c->m_bShown && c->m_nID)
            v.push_back(c);
    return v;
}

void CXEditCtrl::RecalcLayout()
{
    const std::vector<CXCmd*> shown = VisibleCmds();
    const int b = RowHeight();
    const XEditButtonLayout l = LayoutEditButtons(size(), static_cast<int>(shown.size()), b);
    setTextMargins(0, 0, shown.empty() ? 0 : (l.row ? b * static_cast<int>(shown.size()) : b), 0);
    if (shown.empty()) {
        m_row->hide();
        m_row->SetCommands({});
        return;
    }
    QRect box;
    for (const QRect& r : l.buttons)
        box |= r;
    for (std::size_t i = 0; i < shown.size(); ++i)
        shown[i]->m_rc = l.buttons[i].translated(-box.topLeft());
    m_row->setGeometry(box);
    m_row->SetCommands(shown);
    m_row->show();
    m_row->update();
}

int CXEditCtrl::FindDuplicate() const
{
    CXDialogEx* dlg = CXDialogEx::FromControl(this);
    CXItem* item = dlg ? dlg->GetItem() : nullptr;
    if (!item)
        return -1;
    const auto& byId = dlg->BindingsByID();
    const auto it = byId.find(CtrlId(this));
    if (it == byId.end())
        return -1;
    const CHead* h = dlg->FindHead(it->second);
    const CHeads* heads = item->GetHeads();
    if (!h || h->m_nUnique == 0 || !heads)
        return -1;
    const int own = item->IsModuleItem() ? item->m_nID : item->m_nSubID;
    return ::FindDuplicate(own, text(), heads->m_strTable, h->m_strColumn);
}

void CXEditCtrl::SetCmdShown(CXCmd* c, bool shown, bool& changed)
{
    if (c && c->m_bShown != shown) {
        c->m_bShown = shown;
        changed = true;
    }
}

void CXEditCtrl::OnChange()
{
    const int d = FindDuplicate();
    CXDialogEx* dlg = CXDialogEx::FromControl(this);
    const CXItem* item = dlg ? dlg->GetItem() : nullptr;
    const XDuplicateButtons r = DecideDuplicateButtons(d, item && item->m_nID != 0);
    bool changed = false;
    if (r.applies) {
        SetCmdShown(Cmd(ID_DUP_ERROR), r.indicator, changed);
        SetCmdShown(Cmd(ID_DUP_WARNING), r.indicator, changed);
        SetCmdShown(Cmd(ID_EDIT_MERGE), r.merge, changed);
    }
    if (CXCmd* clear = Cmd(ID_EDIT_CLEAR); clear && clear->m_bEnabled != !text().isEmpty()) {
        clear->m_bEnabled = !text().isEmpty();
        m_row->update();
    }
    if (changed)
        RecalcLayout();
    if (dlg && !isReadOnly() && !IsWndReadOnly(this) && isVisibleTo(dlg))
        dlg->RequestUpdate();
}

void CXEditCtrl::OnButton(int id)
{
    CXDialogEx* dlg = CXDialogEx::FromControl(this);
    switch (id) {
    case ID_EDIT_HISTORY: {
        QString table = m_strTable;
        QString column = m_strColumn;
        if (CXItem* item = dlg ? dlg->GetItem() : nullptr) {
            const auto it = dlg->BindingsByID().find(CtrlId(this));
            const CHead* h = it != dlg->BindingsByID().end() ? dlg->FindHead(it->second) : nullptr;
            table = item->GetHeads() ? item->GetHeads()->m_strTable : QString();
            column = h ? h->m_strColumn : QString();
        }
        if (table.isEmpty() || column.isEmpty())
            return;
        CDlgSelHistory history;
        history.m_strTable = table;
        history.m_strColumn = column;
        history.m_strValue = text();
        history.m_bMultiLine = 0;
        if (history.RunHistory() != IDOK)
            return;
        selectAll();
        insert(history.m_strValue); // undoable, as typing it would be
        if (dlg)
            dlg->UpdateControls();
        return;
    }
    case ID_EDIT_FOLDER: {
        const QString start = ToExeAbsolutePath(text());
        CreateDirectoryPath(start);
        const QString folder = XUi::GetExistingDirectory(this, LoadCommandText(ID_EDIT_FOLDER), start);
        if (folder.isEmpty())
            return;
        setText(ToExeRelativePath(folder));
        if (dlg)
            dlg->UpdateControls();
        return;
    }
    case ID_EDIT_CLEAR: clear(); return;
    default:
        if (dlg)
            XPostCommand(dlg, id);
        return;
    }
}

void CXEditCtrl::OnReadOnlyChanged(bool readOnly)
{
    setReadOnly(readOnly);
    RecalcLayout();
    update();
}

void CXEditCtrl::resizeEvent(QResizeEvent* e)
{
    QLineEdit::resizeEvent(e);
    RecalcLayout();
}

void CXEditCtrl::changeEvent(QEvent* e)
{
    QLineEdit::changeEvent(e);
    if (e->type() == QEvent::EnabledChange || e->type() == QEvent::ReadOnlyChange)
        RecalcLayout();
}

void CXEditCtrl::paintEvent(QPaintEvent* e)
{
    if (!isEnabled()) {
        // a disabled edit shows only its parent's background
        QPainter p(this);
        DrawComboFrame(&p, rect(), false, this);
        return;
    }
    if (isReadOnly() || IsWndReadOnly(this)) {
        QLineEdit::paintEvent(e);
        QPainter p(this);
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    } else {
        QLineEdit::paintEvent(e);
    }
    if (CtrlId(this) == IDC_IDCARD && !hasFocus()) {
        const QString area = GetAreaName(text());
        if (area.isEmpty())
            return;
        QPainter p(this);
        p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        const QRect r = rect().adjusted(0, 0, -4 - textMargins().right(), 0);
        p.drawText(r, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                   fontMetrics().elidedText(area, Qt::ElideRight, r.width() / 2));
    }
}

void CXEditCtrl::keyPressEvent(QKeyEvent* e)
{
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && HasStyle(this, ES_WANTRETURN) && !m_cmds.empty()) {
        for (CXCmd* c : m_cmds)
            if (c->m_nID && c->m_bDefault) {
                if (CXDialogEx* dlg = CXDialogEx::FromControl(this))
                    XPostCommand(dlg, c->m_nID);
                break;
            }
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void CXEditCtrl::focusInEvent(QFocusEvent* e)
{
    if (HasStyle(this, ES_OEMCONVERT))
        setAttribute(Qt::WA_InputMethodEnabled, false);
    QLineEdit::focusInEvent(e);
}

void CXEditCtrl::focusOutEvent(QFocusEvent* e)
{
    if (HasStyle(this, ES_OEMCONVERT))
        setAttribute(Qt::WA_InputMethodEnabled, true);
    QLineEdit::focusOutEvent(e);
    OnChange();
}
