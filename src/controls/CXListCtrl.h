#pragma once

#include "CHead.h"
#include "CXCmd.h"
#include "XBoundControls.h"
#include "XCmdTarget.h"
#include "XMenuSpec.h"
#include "XService.h"

#include <QtCore/QTimer>
#include <QtWidgets/QTreeView>

#include <array>
#include <functional>
#include <memory>
#include <vector>

class CModule;
class CXDialogEx;
class CXArray;
class CXItem;
class XListModel;

// What the list needs of a module view that holds it: whether the view (or its module)
// handles a command itself, so the list leaves it alone.
class IXListView
{
public:
    virtual ~IXListView() = default;
    virtual bool HasCommandHandler(int id, int code) const = 0;
};

// The record list of views, pickers and dialogs: columns from the records' field table,
// cells formatted by the records, sorting, groups with statistics, status colours, the
// list's own commands and a strip of command buttons along the right edge.
class CXListCtrl : public QTreeView, public XCmdTarget, public IXListControl
{
    X_DECLARE_MESSAGE_MAP()
public:
    explicit CXListCtrl(QWidget* parent = nullptr, int controlId = 0);
    ~CXListCtrl() override;

    // --- columns, items, layout ---------------------------------------------------------
    void SetItems(CXArray* items, CHeads* heads, int mode, int imageMode) override;
    void SetHeads(CHeads* heads, int mode, int imageMode);
    void RebuildColumns();
    void Resort();
    int AddItem(CXItem* item, int selectMode);
    void SelectOnly(int item);
    QString GetLayoutKey() const;
    int CompareItems(const CXItem* a, const CXItem* b, int head) const;
    void FitFillColumn();
    // Writes the layout when the list keeps one and the DPI is unchanged (also on destroy).
    void SaveLayout();

    // --- the dialog binder's view of the list ---------------------------------------------
    const CXArray* ShownArray() const override { return m_pItems; }
    int ItemCount() const override { return GetItemCount(); }
    bool IsItemChecked(int index) const override { return GetCheck(index); }
    void SetItemChecked(int index, bool checked) override { SetCheck(index, checked); }

    // --- item API -----------------------------------------------------------------------
    int GetItemCount() const;
    CXItem* GetItemData(int i) const;
    int GetSelectedCount() const;
    int GetFirstSelected() const;
    int GetNextSelected(int after) const; // -1 when none
    bool IsItemSelected(int i) const;
    void SetItemSelected(int i, bool selected);
    std::vector<int> GetSelectedItems() const;
    void EnsureVisible(int i, bool partialOk);
    bool DeleteItem(int i);
    void DeleteAllItems();
    bool GetCheck(int i) const;
    void SetCheck(int i, bool checked);
    int InsertItem(int i, CXItem* item);
    // Texts of a row in column order, as shown; head index of a column.
    QStringList GetRowTexts(int i) const;
    QString GetItemText(int i, int column) const;
    int GetColumnCount() const { return m_nColumns; }
    int GetHeadOfColumn(int column) const;
    // Columns in display order (the user may have dragged them).
    std::vector<int> GetColumnOrder() const;
    // Groups for export: header text, first item and count (group view only).
    struct XGroupInfo
    {
        QString header;
        int firstItem;
        int count;
    };
    std::vector<XGroupInfo> GetGroups() const;

    // --- groups, statistics, colours ----------------------------------------------------
    void UpdateGroups();
    bool HasGroupColumns() const;
    bool HasCalcColumns() const;
    bool HasUnitColumns() const;
    int CompareGroups(int groupA, int groupB) const; // group ids
    void SetGroupState(int groupId, int mask, int state);
    bool IsGroupView() const;
    // Reorders the groups by their first items (the grouping column's direction).
    void SortGroups();

    // --- commands, menus, find ----------------------------------------------------------
    bool OnCmdMsg(int id, int code, XCmdUI* ui, bool probeOnly = false) override;
    void OnListCommand(int id);
    void OnUpdateCommand(XCmdUI* ui);
    std::unique_ptr<XMenuSpec> CreateGroupMenu(bool onGroup) const;
    std::unique_ptr<XMenuSpec> CreateCalcMenu() const;
    std::unique_ptr<XMenuSpec> CreateUnitMenu() const;
    bool FindNext(const QString& text, bool down, bool wholeText, bool matchCase);
    static bool MatchText(const QString& cell, const QString& search, bool wholeText, bool matchCase);
    void CopySelection();
    // Writes the list as shown (visible columns in display order, groups, row colours,
    // empty texts) to a workbook in the program's Temp folder and opens it; path receives
    // the workbook's path, or stays empty when nothing was written.
    void OpenInExcel(QString& path);
    // The title the export names its sheet and file after: the name of the module whose
    // window holds the list, else the caption of the list's window.
    QString ExportTitle() const;
    // The header's context menu (column under the point) or the items' one.
    void ShowContextMenu(const QPoint& globalPos);

    // --- command buttons and tips -------------------------------------------------------
    int GetCmdCount() const;
    // The list owns the command; returns it.
    CXCmd* AddCmd(CXCmd* cmd);
    // The button rectangles in viewport-margin coordinates of the list widget.
    void LayoutCmds();
    CXCmd* CmdAt(const QPoint& pos) const;
    QString TipTextAt(const QPoint& viewportPos) const;
    QString HeaderTipAt(int column) const;

    // The list's state (column state lives in m_heads).
    CHeads m_heads;
    CXArray* m_pItems = nullptr;
    std::vector<std::unique_ptr<CXCmd>> m_cmds;
    int m_bGroupable = 1;
    int m_nMode = 0;
    int m_nImageMode = 0;
    std::array<int, 255> m_nColOfHead{};
    std::array<int, 255> m_nHeadOfCol{};
    int m_nSelColumn = -1;
    int m_nSortHead = -1;
    int m_nGroupHead = -1;
    int m_bStatusColor = 1;
    int m_nControlId = 0;
    bool m_bNoSortHeader = false;   // header clicks and resizing refused
    bool m_bNoColumnHeader = false; // header hidden

    // The name of the active module for the empty module list ("" when no document).
    static XHook<QString()> s_activeModuleName;
    // Opens records in the record edit frame (installed by the module layer): module (null
    // for records of no module), the copies, view-only; returns IDOK when one was saved.
    static XHook<int(CModule*, CXArray&, bool)> s_openItems;
    // The column-scheme menu offered on the header of a module list (installed by the module
    // layer; null or an empty menu: none).
    static XHook<std::unique_ptr<XMenuSpec>(const CXListCtrl&)> s_headsMenu;

    // The bound dialog the list sits in (through its placeholder or the dialog's content
    // widget); null in a module view.
    CXDialogEx* GetParentDialog() const;

    XListModel* Model() const { return m_model; }
    QWidget* Strip() const;
    int m_nHotItem = -1;             // item whose check image is under the pointer
    bool m_bSelectionNotice = false; // the notice timer fired (tests)
    QTimer m_selTimer;

protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;
    bool viewportEvent(QEvent* e) override;
    bool event(QEvent* e) override;
    void updateGeometries() override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;

private:
    friend class XListModel;
    friend class XListDelegate;
    bool HasLayout() const;
    bool IsReadOnly() const;
    void ResetModel(const std::function<void()>& change);
    // Removes the rows; their records leave the bound array.
    void RemoveItems(const std::vector<int>& items);
    void ApplyHeaderArrows();
    void OnHeaderClicked(int column);
    void ToggleCheck(int item);
    void FitColumn(int column);
    void DeleteSelected();
    void OpenSelected();
    void OnSelectionTimer();
    QString EmptyText() const;
    bool RouteToParent(int id, int code, XCmdUI* ui, bool probeOnly);

    XListModel* m_model;
    int m_nColumns = 0;
    std::vector<char> m_selFlags; // selected state by item index
    int m_nSelCount = 0;
    bool m_bRestoring = false;
    bool m_bLayoutRead = false;
    CXCmd* m_pTracked = nullptr;
    friend class CXListStrip;
    QWidget* m_strip = nullptr;
};
