#pragma once

#include <QtCore/QAbstractItemModel>
#include <QtCore/QStringList>
#include <QtGui/QColor>

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

    const Row& RowAt(int i) const { return m_rows[static_cast<std::size_t>(i)]; }
    const QStringList& TextsOf(int i) const;
    QColor BackgroundOf(int i) const;

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

    std::vector<Row> m_rows;
    std::vector<Group> m_groups;
    bool m_bGrouped = false;
    int m_nColumns = 0;

private:
    void Renumber();
    CXListCtrl* m_list;
    std::vector<int> m_groupOfRow; // group of each item index in group view
    std::vector<int> m_placeInGroup;
};
