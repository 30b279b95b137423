#include "CXListCtrl.h"

#include "CModule.h"
#include "CXArray.h"
#include "CXDialogEx.h"
#include "CXItem.h"
#include "CXMap.h"
#include "CommandIds.h"
#include "Resources.h"
#include "TextUtils.h"
#include "XAppServices.h"
#include "XListLogic.h"
#include "XListModel.h"
#include "XMainWindow.h"
#include "XReadOnly.h"
#include "XUi.h"

#include <QtGui/QContextMenuEvent>
#include <QtGui/QGuiApplication>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>

X_BEGIN_MESSAGE_MAP(CXListCtrl, XCmdTarget)
    X_ON_COMMAND_RANGE(ID_EDIT_DELETE, ID_EDIT_MODIFY, OnListCommand)
    X_ON_COMMAND(ID_EDIT_COPYSEL, CopySelection)
    X_ON_COMMAND_RANGE(ID_XCTRL_SELALL, ID_XCTRL_SELREV, OnListCommand)
    X_ON_COMMAND_RANGE(ID_XCTRL_GROUP00, ID_XCTRL_GRPEXPAND, OnListCommand)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_EDIT_DELETE, ID_EDIT_MODIFY, OnUpdateCommand)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_LIST_ADDITEM, ID_EDIT_COPYSEL, OnUpdateCommand)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_XCTRL_SELALL, ID_XCTRL_SELREV, OnUpdateCommand)
    X_ON_UPDATE_COMMAND_UI_RANGE(ID_XCTRL_GROUP00, ID_XCTRL_GRPEXPAND, OnUpdateCommand)
X_END_MESSAGE_MAP()

namespace {

CXDialogEx* ParentDialog(const CXListCtrl* list) { return list->GetParentDialog(); }

} // namespace

CXDialogEx* CXListCtrl::GetParentDialog() const
{
    for (QWidget* p = parentWidget(); p; p = p->parentWidget()) {
        if (dynamic_cast<IXListView*>(p))
            return nullptr;
        if (auto* dlg = qobject_cast<CXDialogEx*>(p))
            return dlg;
    }
    return nullptr;
}

bool CXListCtrl::RouteToParent(int id, int code, XCmdUI* ui, bool probeOnly)
{
    if (CXDialogEx* dlg = ParentDialog(this)) {
        if (id == 1 || id == 2 || dlg->HasOwnHandler(id, code))
            return dlg->OnCmdMsg(id, code, ui, probeOnly);
        return false;
    }
    // Only the view's (and its module's) own maps count, so a view that passes unhandled
    // commands to its list never gets them back.
    if (auto* view = dynamic_cast<IXListView*>(parentWidget()))
        if (view->HasCommandHandler(id, code))
            if (auto* target = dynamic_cast<XCmdTarget*>(parentWidget()))
                return target->OnCmdMsg(id, code, ui, probeOnly);
    return false;
}

bool CXListCtrl::OnCmdMsg(int id, int code, XCmdUI* ui, bool probeOnly)
{
    if (RouteToParent(id, code, ui, probeOnly))
        return true;
    return XCmdTarget::OnCmdMsg(id, code, ui, probeOnly);
}

void CXListCtrl::OnUpdateCommand(XCmdUI* ui)
{
    const int id = ui->m_nID;
    const int n = GetItemCount();
    const int sel = GetSelectedCount();
    const bool groups = IsGroupView() && m_model->GroupCount() > 0;
    const bool clickable = HasLayout();
    const CHead* selHead =
        m_nSelColumn >= 0 && m_nSelColumn < m_nColumns ? m_heads[GetHeadOfColumn(m_nSelColumn)] : nullptr;
    switch (id) {
    case ID_EDIT_DELETE: {
        if (sel == 0) {
            ui->Enable(false);
        } else if (ParentDialog(this)) {
            ui->Enable(!IsReadOnly());
        } else if (dynamic_cast<IXListView*>(parentWidget())) {
            CModule* module = FindModule(GetItemData(GetFirstSelected())->m_nMduID);
            const CXItem* user = AppServices().User();
            ui->Enable(module && user && module->HasRight(*user, RIGHT_DEL));
        } else {
            ui->Enable(true);
        }
        break;
    }
    case ID_EDIT_MODIFY: {
        CXDialogEx* dlg = ParentDialog(this);
        ui->Enable(dlg && dlg->HasOwnHandler(id, XCN_COMMAND) ? sel == 1 : sel >= 1);
        break;
    }
    case ID_LIST_ADDITEM:
        ui->Enable(!IsReadOnly());
        break;
    case ID_EDIT_COPYSEL:
    case ID_XCTRL_SELCLR:
    case ID_XCTRL_SELREV:
        ui->Enable(sel > 0);
        break;
    case ID_XCTRL_SELALL:
        ui->Enable(sel < n);
        break;
    case ID_XCTRL_CALCALL:
    case ID_XCTRL_CALCNONE:
        ui->Enable(groups && HasCalcColumns());
        break;
    case ID_XCTRL_XLS:
        ui->Enable(n > 0);
        break;
    case ID_XCTRL_RIGHTALL:
        ui->Enable(clickable);
        break;
    case ID_XCTRL_AUTOWIDTH:
        ui->Enable(clickable && m_nSelColumn >= 0);
        break;
    case ID_XCTRL_SORTASC:
    case ID_XCTRL_SORTDESC: {
        ui->Enable(selHead && n > 1);
        const int dir = id == ID_XCTRL_SORTASC ? 1 : 2;
        ui->SetRadio(selHead && GetHeadOfColumn(m_nSelColumn) == m_nSortHead && selHead->m_nListSort == dir);
        break;
    }
    case ID_XCTRL_STCOLOR:
        ui->Enable(m_heads.m_bGoodStatus != 0);
        ui->SetCheck(m_heads.m_bGoodStatus && m_bStatusColor ? 1 : 0);
        break;
    case ID_XCTRL_UNITALL:
    case ID_XCTRL_UNITNONE:
        ui->Enable(n > 0 && HasUnitColumns());
        break;
    case ID_XCTRL_GRPNONE:
        ui->Enable(n > 0);
        ui->SetCheck(IsGroupView() ? 0 : 1);
        break;
    case ID_XCTRL_GROUPBY:
        ui->Enable(selHead && selHead->CanGroup());
        ui->SetCheck(selHead && GetHeadOfColumn(m_nSelColumn) == m_nGroupHead ? 1 : 0);
        break;
    case ID_XCTRL_GRPSORTASC:
    case ID_XCTRL_GRPSORTDESC: {
        ui->Enable(m_model->GroupCount() > 1 && IsGroupView() && clickable);
        const int dir = id == ID_XCTRL_GRPSORTASC ? 1 : 2;
        ui->SetRadio(m_nGroupHead >= 0 && m_nGroupHead < m_heads.GetSize() &&
                     m_heads[m_nGroupHead]->m_nListSort == dir);
        break;
    }
    case ID_XCTRL_GRPCOLLAPSEALL:
    case ID_XCTRL_GRPEXPANDALL:
        ui->Enable(groups);
        break;
    case ID_XCTRL_GRPCOLLAPS:
    case ID_XCTRL_GRPEXPAND: {
        ui->Enable(true);
        const int g = m_model->GroupOf(currentIndex());
        const bool collapsed = g >= 0 && m_model->GroupAt(g).collapsed;
        ui->SetRadio(id == ID_XCTRL_GRPCOLLAPS ? collapsed : (g >= 0 && !collapsed));
        break;
    }
    default:
        if (id >= ID_XCTRL_GROUP00 && id < ID_XCTRL_CALC00) {
            ui->Enable(HasGroupColumns() && n > 0);
            const int h = NthGroupHead(m_heads, id - ID_XCTRL_GROUP00);
            ui->SetRadio(h >= 0 && h == m_nGroupHead);
        } else if (id >= ID_XCTRL_CALC00 && id < ID_XCTRL_CALCALL) {
            const int h = NthCalcHead(m_heads, id - ID_XCTRL_CALC00);
            ui->Enable(groups && HasCalcColumns() && h >= 0 && h != m_nGroupHead);
            ui->SetCheck(h >= 0 && m_heads[h]->m_bCalc ? 1 : 0);
        } else if (id >= ID_XCTRL_UNIT00 && id < ID_XCTRL_UNITALL) {
            const int h = NthUnitHead(m_heads, id - ID_XCTRL_UNIT00);
            ui->Enable(HasUnitColumns() && n > 0);
            ui->SetCheck(h >= 0 && m_heads[h]->m_bUnit ? 1 : 0);
        }
        break;
    }
}

void CXListCtrl::OnListCommand(int id)
{
    const int n = GetItemCount();
    auto regroup = [this] {
        setUpdatesEnabled(false);
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        m_model->Invalidate();
        UpdateGroups();
        QGuiApplication::restoreOverrideCursor();
        setUpdatesEnabled(true);
    };
    switch (id) {
    case ID_EDIT_DELETE:
        DeleteSelected();
        return;
    case ID_EDIT_MODIFY:
        OpenSelected();
        return;
    case ID_XCTRL_SELALL:
        selectAll();
        return;
    case ID_XCTRL_SELCLR:
        selectionModel()->clearSelection();
        return;
    case ID_XCTRL_SELREV:
        for (int i = 0; i < n; ++i)
            SetItemSelected(i, !IsItemSelected(i));
        return;
    case ID_XCTRL_CALCALL:
    case ID_XCTRL_CALCNONE:
        for (int i = 0; i < m_heads.GetSize(); ++i)
            if (m_heads[i]->CanCalc())
                m_heads[i]->m_bCalc = id == ID_XCTRL_CALCALL;
        regroup();
        return;
    case ID_XCTRL_XLS: {
        QString path;
        OpenInExcel(path);
        return;
    }
    case ID_XCTRL_RIGHTALL:
        for (int c = 0; c < m_nColumns; ++c)
            FitColumn(c);
        return;
    case ID_XCTRL_AUTOWIDTH:
        FitColumn(m_nSelColumn);
        return;
    case ID_XCTRL_SORTASC:
    case ID_XCTRL_SORTDESC:
        if (m_nSelColumn >= 0 && m_nSelColumn < m_nColumns) {
            m_nSortHead = GetHeadOfColumn(m_nSelColumn);
            m_heads[m_nSortHead]->m_nListSort = id == ID_XCTRL_SORTASC ? 1 : 2;
            Resort();
        }
        return;
    case ID_XCTRL_STCOLOR:
        m_bStatusColor = m_heads.m_bGoodStatus ? !m_bStatusColor : 0;
        m_model->Invalidate();
        viewport()->update();
        return;
    case ID_XCTRL_UNITALL:
    case ID_XCTRL_UNITNONE:
        for (int i = 0; i < m_heads.GetSize(); ++i) {
            CHead* h = m_heads[i];
            h->m_bUnit = id == ID_XCTRL_UNITALL && h->m_nPos != -1 && !h->m_strUnit.isEmpty();
        }
        m_model->Invalidate();
        viewport()->update();
        return;
    case ID_XCTRL_GRPNONE:
        if (m_nGroupHead != -1) {
            m_nGroupHead = -1;
            regroup();
        }
        return;
    case ID_XCTRL_GROUPBY:
        if (n > 0 && m_nSelColumn >= 0 && m_nSelColumn < m_nColumns) {
            m_nGroupHead = GetHeadOfColumn(m_nSelColumn);
            regroup();
        }
        return;
    case ID_XCTRL_GRPSORTASC:
    case ID_XCTRL_GRPSORTDESC:
        if (IsGroupView() && m_nGroupHead >= 0) {
            m_heads[m_nGroupHead]->m_nListSort = id == ID_XCTRL_GRPSORTASC ? 1 : 2;
            SortGroups();
        }
        return;
    case ID_XCTRL_GRPCOLLAPSEALL:
    case ID_XCTRL_GRPEXPANDALL:
        for (const XListModel::Group& g : std::vector<XListModel::Group>(m_model->Groups()))
            SetGroupState(g.id, 1, id == ID_XCTRL_GRPCOLLAPSEALL ? 1 : 0);
        return;
    case ID_XCTRL_GRPCOLLAPS:
    case ID_XCTRL_GRPEXPAND: {
        const int g = m_model->GroupOf(currentIndex());
        if (g >= 0)
            SetGroupState(m_model->GroupAt(g).id, 1, id == ID_XCTRL_GRPCOLLAPS ? 1 : 0);
        return;
    }
    default:
        break;
    }
    if (id >= ID_XCTRL_GROUP00 && id < ID_XCTRL_CALC00) {
        const int h = NthGroupHead(m_heads, id - ID_XCTRL_GROUP00);
        if (h >= 0) {
            m_nGroupHead = h;
            regroup();
        }
    } else if (id >= ID_XCTRL_CALC00 && id < ID_XCTRL_CALCALL) {
        const int h = NthCalcHead(m_heads, id - ID_XCTRL_CALC00);
        if (h >= 0) {
            m_heads[h]->m_bCalc = !m_heads[h]->m_bCalc;
            regroup();
        }
    } else if (id >= ID_XCTRL_UNIT00 && id < ID_XCTRL_UNITALL) {
        const int h = NthUnitHead(m_heads, id - ID_XCTRL_UNIT00);
        if (h >= 0) {
            m_heads[h]->m_bUnit = !m_heads[h]->m_bUnit;
            regroup();
        }
    }
}

void CXListCtrl::FitColumn(int column)
{
    if (column < 0 || column >= m_nColumns)
        return;
    const int content = sizeHintForColumn(column);
    header()->resizeSection(column, std::max(content, header()->sectionSizeHint(column)));
}

// ---------------------------------------------------------------------------------------
// Deleting and opening

void CXListCtrl::DeleteSelected()
{
    const std::vector<int> selected = GetSelectedItems();
    if (selected.empty())
        return;
    const CXItem* user = AppServices().User();
    QList<QPair<QString, QString>> refused, warned;
    for (int i : selected) {
        const CXItem* item = GetItemData(i);
        const QString error = item->GetDeleteError(user);
        const QString warning = item->GetDeleteWarning();
        const QString row =
            QString::number(item->m_nMduID) + u' ' + QString::number(item->m_nID) + u' ' + item->GetTitleText();
        if (!error.isEmpty())
            refused.append({row, error});
        else if (!warning.isEmpty())
            warned.append({row, warning});
    }
    const int count = static_cast<int>(selected.size());
    const QString caption = LoadCommandText(ID_EDIT_DELETE);
    if (!refused.isEmpty()) {
        XUi::MessageBoxItems(this, DeleteRefusedText(count, static_cast<int>(refused.size()), m_heads), caption,
                             MB_OK | MB_ICONERROR, refused);
        return;
    }
    if (!warned.isEmpty()) {
        if (XUi::MessageBoxItems(this, DeleteWarningText(count, static_cast<int>(warned.size()), m_heads), caption,
                                 MB_OKCANCEL | MB_ICONWARNING, warned) != IDOK)
            return;
    } else if (XUi::MessageBox(this, DeleteConfirmText(count, m_heads), caption, MB_OKCANCEL | MB_ICONWARNING) !=
               IDOK) {
        return;
    }
    if (dynamic_cast<IXListView*>(parentWidget())) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        CXArray doomed(nullptr, false);
        for (int i : selected)
            doomed.Add(GetItemData(i));
        const bool ok = doomed.DeleteItems(user);
        QGuiApplication::restoreOverrideCursor();
        if (!ok)
            return;
    }
    setUpdatesEnabled(false);
    std::vector<int> removed;
    for (int i : selected) {
        CXItem* item = GetItemData(i);
        if (item->IsAuto())
            item->AutoReset();
        else
            removed.push_back(i);
    }
    RemoveItems(removed);
    m_model->Invalidate();
    setUpdatesEnabled(true);
    if (CXDialogEx* dlg = ParentDialog(this))
        dlg->UpdateControls();
}

void CXListCtrl::OpenSelected()
{
    const std::vector<int> selected = GetSelectedItems();
    if (selected.empty() || !s_openItems)
        return;
    CModule* module = FindModule(GetItemData(selected.front())->m_nMduID);
    const CXItem* user = AppServices().User();
    CXArray copies(nullptr, true);
    if (!module) {
        for (int i : selected)
            copies.AddAdopted(GetItemData(i)->CopyTo(nullptr));
        s_openItems(nullptr, copies, true);
        return;
    }
    if (user && user->m_nID != 0 && !module->HasRight(*user, RIGHT_QRY))
        return;
    if (module->GetHeads() == GetItemData(selected.front())->GetHeads()) {
        for (int i : selected)
            copies.AddAdopted(GetItemData(i)->CopyTo(nullptr));
    } else {
        QList<int> ids;
        for (int i : selected)
            if (GetItemData(i)->m_nID)
                ids << GetItemData(i)->m_nID;
        CXMap query;
        query.SetText(1, JoinInts(ids));
        if (!module->QueryItems(copies, query, false, true))
            return;
    }
    const bool viewOnly = ParentDialog(this) || (user && !module->HasRight(*user, RIGHT_MDF)) || copies.GetSize() != 1;
    if (s_openItems(module, copies, viewOnly) == IDOK)
        m_selTimer.start();
}

// ---------------------------------------------------------------------------------------
// Copy, find, selection notice

void CXListCtrl::CopySelection()
{
    std::vector<QStringList> rows;
    for (int i : GetSelectedItems())
        rows.push_back(GetRowTexts(i));
    if (!rows.empty())
        CopyToClipboard(this, ListCopyText(rows));
}

bool CXListCtrl::MatchText(const QString& cell, const QString& search, bool wholeText, bool matchCase)
{
    return MatchListText(cell, search, wholeText, matchCase);
}

bool CXListCtrl::FindNext(const QString& text, bool down, bool wholeText, bool matchCase)
{
    if (m_nColumns == 0)
        return false;
    std::vector<QStringList> rows;
    rows.reserve(static_cast<std::size_t>(GetItemCount()));
    for (int i = 0; i < GetItemCount(); ++i)
        rows.push_back(GetRowTexts(i));
    const int found = FindInRows(rows, GetFirstSelected(), text, down, wholeText, matchCase);
    if (found < 0)
        return false;
    SelectOnly(found);
    return true;
}

void CXListCtrl::OnSelectionTimer()
{
    m_bSelectionNotice = true;
    if (CXDialogEx* dlg = ParentDialog(this)) {
        dlg->UpdateControls();
        Strip()->update();
    } else if (dynamic_cast<IXListView*>(parentWidget())) {
        if (QObject* main = XGetMainWindow())
            XPostMessage(main, WM_XSTATUSBAR, ID_INDICATOR_COUNT, 0);
    }
}

// ---------------------------------------------------------------------------------------
// Menus

std::unique_ptr<XMenuSpec> CXListCtrl::CreateGroupMenu(bool onGroup) const
{
    return HasGroupColumns() ? std::make_unique<XMenuSpec>(GroupMenuSpec(m_heads, onGroup, HasLayout())) : nullptr;
}

std::unique_ptr<XMenuSpec> CXListCtrl::CreateCalcMenu() const
{
    return HasCalcColumns() ? std::make_unique<XMenuSpec>(CalcMenuSpec(m_heads)) : nullptr;
}

std::unique_ptr<XMenuSpec> CXListCtrl::CreateUnitMenu() const
{
    return HasUnitColumns() ? std::make_unique<XMenuSpec>(UnitMenuSpec(m_heads)) : nullptr;
}

namespace {

XMenuItem Entry(int id) { return XMenuItem{id, LoadCommandText(id, true), {}}; }

void AddSubmenus(XMenuSpec& spec, const CXListCtrl& list)
{
    auto add = [&](int textId, std::unique_ptr<XMenuSpec> sub) {
        if (sub && !sub->empty())
            spec.push_back(XMenuItem{0, LoadCommandText(textId, true), std::move(*sub)});
    };
    add(ID_SUBMENU_UNIT, list.CreateUnitMenu());
    if (auto group = list.CreateGroupMenu(false)) {
        add(ID_SUBMENU_GROUP, std::move(group));
    }
    add(ID_SUBMENU_CALC, list.CreateCalcMenu());
}

} // namespace

void CXListCtrl::contextMenuEvent(QContextMenuEvent* e) { ShowContextMenu(e->globalPos()); }

void CXListCtrl::ShowContextMenu(const QPoint& globalPos)
{
    m_nSelColumn = -1;
    XMenuSpec spec;
    const QPoint inHeader = header()->viewport()->mapFromGlobal(globalPos);
    const bool onHeader = HasLayout() && header()->isVisible() && header()->viewport()->rect().contains(inHeader);
    if (onHeader) {
        m_nSelColumn = header()->logicalIndexAt(inHeader);
        spec = {Entry(ID_XCTRL_SORTASC), Entry(ID_XCTRL_SORTDESC)};
        if (HasGroupColumns())
            spec.insert(spec.end(), {XMenuItem{}, Entry(ID_XCTRL_GROUPBY)});
        spec.insert(spec.end(), {XMenuItem{}, Entry(ID_XCTRL_AUTOWIDTH), Entry(ID_XCTRL_RIGHTALL), XMenuItem{}});
        if (m_nMode == 0 && s_headsMenu)
            if (auto schemes = s_headsMenu(*this); schemes && !schemes->empty())
                spec.push_back(XMenuItem{0, LoadCommandText(ID_SUBMENU_ORDER, true), std::move(*schemes)});
        AddSubmenus(spec, *this);
    } else {
        const QModelIndex idx = indexAt(viewport()->mapFromGlobal(globalPos));
        if (m_model->GroupOf(idx) >= 0) {
            setCurrentIndex(idx);
            if (auto group = CreateGroupMenu(true))
                spec = std::move(*group);
        } else if (CXDialogEx* dlg = ParentDialog(this)) {
            for (const auto& cmd : m_cmds) {
                if (!cmd->m_bInMenu)
                    continue;
                if (!cmd->m_nID) {
                    spec.push_back(XMenuItem{});
                    continue;
                }
                QString text = cmd->m_strText.isEmpty() ? LoadCommandText(cmd->m_nID, true) : cmd->m_strText;
                if (text.isEmpty())
                    if (QWidget* control = dlg->GetDlgItem(cmd->m_nID))
                        text = control->property("text").toString();
                spec.push_back(XMenuItem{cmd->m_nID, text, {}});
            }
            if (HasLayout()) {
                if (!spec.empty())
                    spec.push_back(XMenuItem{});
                spec.insert(spec.end(), {Entry(ID_EDIT_COPYSEL), Entry(ID_XCTRL_XLS), XMenuItem{},
                                         Entry(ID_XCTRL_RIGHTALL), Entry(ID_XCTRL_STCOLOR), XMenuItem{}});
                AddSubmenus(spec, *this);
            }
        } else if (QWidget* parent = parentWidget()) {
            QContextMenuEvent forwarded(QContextMenuEvent::Mouse, parent->mapFromGlobal(globalPos), globalPos);
            QApplication::sendEvent(parent, &forwarded);
            return;
        }
    }
    while (!spec.empty() && spec.back().IsSeparator())
        spec.pop_back();
    if (spec.empty())
        return;
    if (const int id = XUi::TrackPopupMenu(spec, globalPos, this))
        DispatchCommand(id);
}
