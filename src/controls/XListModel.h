#pragma once

#include <QtCore/QAbstractItemModel>
#include <QtCore/QStringList>
#include <QtGui/QColor>

#include <functional>
#include <vector>

class CXItem;
class CXListCtrl;

// The record list's model. Rows are kept flat in item order (the list's item index); in
// group view the groups are the top level and each holds the item indexes of its rows, so
// grouping never changes item order. Texts and row colours are computed once per row and
// kept until the next reset or invalidation.
class XListModel : public QAbstractItemModel
{
public:
    enum : int { GroupRole = Qt::UserRole + 1, ItemIndexRole };

    struct Row
    {
        Row(CXItem* i = nullptr, bool c = false) : item(i), checked(c) {} // NOLINT
        CXItem* item = nullptr;
        bool checked = false;
        mutable bool cached = false;
        mutable QStringList texts;
        mutable QColor background;
    };
    struct Group
    {
        int id = 0;
        QString header;
        std::vector<int> rows;
        bool collapsed = false;
    };

    explicit XListModel(CXListCtrl* list);

    QModelIndex index(int row, int column, const QModelIndex& parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Item index of a row index; -1 for group rows and invalid indexes.
    int ItemOf(const QModelIndex& index) const;
    // Group of a group row index; -1 otherwise.
    int GroupOf(const QModelIndex& index) const;
    QModelIndex IndexOfItem(int item, int column = 0) const;
    QModelIndex IndexOfGroup(int group) const;

    // Rows by item index.
    int RowCount() const { return static_cast<int>(m_rows.size()); }
    const Row& RowAt(int i) const { return m_rows[static_cast<std::size_t>(i)]; }
    const QStringList& TextsOf(int i) const;
    QColor BackgroundOf(int i) const;

    // Groups by their place (the group row); empty in flat view.
    bool IsGrouped() const { return m_bGrouped; }
    int GroupCount() const { return static_cast<int>(m_groups.size()); }
    const Group& GroupAt(int g) const { return m_groups[static_cast<std::size_t>(g)]; }
    const std::vector<Group>& Groups() const { return m_groups; }
    // The view collapsed or expanded the group.
    void SetGroupCollapsed(int g, bool collapsed) { m_groups[static_cast<std::size_t>(g)].collapsed = collapsed; }

    void SetColumnCount(int columns) { m_nColumns = columns; }

    void BeginReset() { beginResetModel(); }
    void EndReset();
    // Cached texts and colours are recomputed on the next request.
    void Invalidate();
    // Flat view: one row inserted at the end.
    void AppendRow(CXItem* item, bool checked);
    // Inside a reset in group view: the row joins the last group until the next regrouping.
    void AppendRowData(CXItem* item, bool checked);
    // Inside a reset: the marked rows leave the rows and their groups (one pass).
    void RemoveRowsData(const std::vector<char>& doomed);
    void SetChecked(int i, bool checked);

    // The rest change the rows or groups only inside a reset (BeginReset/EndReset).
    // No rows and no groups: the flat view.
    void ClearData();
    void SetRowsData(std::vector<Row> rows);
    // Row k becomes the row that was at order[k]; order holds every item index once.
    void ReorderRowsData(const std::vector<int>& order);
    // The row is inserted at the item index; in group view it joins the last group.
    void InsertRowData(int i, CXItem* item, bool checked);
    // Group view over the groups (each row in one group), or back to the flat view.
    void SetGroupsData(std::vector<Group> groups);
    void ClearGroupsData();
    // Stable: groups the order does not tell apart keep their places.
    void SortGroupsData(const std::function<bool(const Group&, const Group&)>& less);

private:
    void Renumber();
    std::vector<Row> m_rows;
    std::vector<Group> m_groups;
    bool m_bGrouped = false;
    int m_nColumns = 0;
    CXListCtrl* m_list;
    std::vector<int> m_groupOfRow; // group of each item index in group view
    std::vector<int> m_placeInGroup;
};
