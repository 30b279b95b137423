#include "XListModel.h"

#include "CXItem.h"
#include "CXListCtrl.h"
#include "XAppServices.h"
#include "XListLogic.h"

#include <QtGui/QFont>
#include <QtGui/QGuiApplication>
#include <QtGui/QPalette>

#include <algorithm>

namespace {
// Item rows carry their group + 1 in the internal id; group rows and flat rows carry 0.
constexpr quintptr kTop = 0;
} // namespace

XListModel::XListModel(CXListCtrl* list) : QAbstractItemModel(list), m_list(list) {}

QModelIndex XListModel::index(int row, int column, const QModelIndex& parent) const
{
    if (row < 0 || column < 0 || column >= m_nColumns)
        return QModelIndex();
    if (!parent.isValid()) {
        const int count = m_bGrouped ? static_cast<int>(m_groups.size()) : static_cast<int>(m_rows.size());
        return row < count ? createIndex(row, column, kTop) : QModelIndex();
    }
    if (!m_bGrouped || parent.internalId() != kTop || parent.column() != 0)
        return QModelIndex();
    const Group& g = m_groups[static_cast<std::size_t>(parent.row())];
    if (row >= static_cast<int>(g.rows.size()))
        return QModelIndex();
    return createIndex(row, column, static_cast<quintptr>(parent.row() + 1));
}

QModelIndex XListModel::parent(const QModelIndex& child) const
{
    if (!child.isValid() || child.internalId() == kTop)
        return QModelIndex();
    return createIndex(static_cast<int>(child.internalId() - 1), 0, kTop);
}

int XListModel::rowCount(const QModelIndex& parent) const
{
    if (!parent.isValid())
        return m_bGrouped ? static_cast<int>(m_groups.size()) : static_cast<int>(m_rows.size());
    if (m_bGrouped && parent.internalId() == kTop && parent.column() == 0)
        return static_cast<int>(m_groups[static_cast<std::size_t>(parent.row())].rows.size());
    return 0;
}

int XListModel::columnCount(const QModelIndex&) const { return m_nColumns; }

int XListModel::ItemOf(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this)
        return -1;
    if (index.internalId() == kTop)
        return m_bGrouped ? -1 : index.row();
    return m_groups[static_cast<std::size_t>(index.internalId() - 1)].rows[static_cast<std::size_t>(index.row())];
}

int XListModel::GroupOf(const QModelIndex& index) const
{
    return index.isValid() && index.model() == this && m_bGrouped && index.internalId() == kTop ? index.row() : -1;
}

QModelIndex XListModel::IndexOfItem(int item, int column) const
{
    if (item < 0 || item >= static_cast<int>(m_rows.size()))
        return QModelIndex();
    if (!m_bGrouped)
        return createIndex(item, column, kTop);
    const int g = m_groupOfRow[static_cast<std::size_t>(item)];
    return createIndex(m_placeInGroup[static_cast<std::size_t>(item)], column, static_cast<quintptr>(g + 1));
}

QModelIndex XListModel::IndexOfGroup(int group) const
{
    return m_bGrouped && group >= 0 && group < static_cast<int>(m_groups.size()) ? createIndex(group, 0, kTop)
                                                                                 : QModelIndex();
}

const QStringList& XListModel::TextsOf(int i) const
{
    const Row& row = RowAt(i);
    if (!row.cached) {
        row.texts.clear();
        const CXItem* user = AppServices().User();
        for (int c = 0; c < m_nColumns; ++c) {
            const int h = m_list->m_nHeadOfCol[static_cast<std::size_t>(c)];
            const CHead* head = h < m_list->m_heads.GetSize() ? m_list->m_heads[h] : nullptr;
            if (!row.item || !head || row.item->GetAccess(head, user) == -1)
                row.texts << QString();
            else
                row.texts << NormaliseCellText(row.item->FormatText(head, head->m_bUnit != 0, true, true));
        }
        const QPalette pal = QGuiApplication::palette();
        const bool colors = m_list->m_heads.m_bGoodStatus && m_list->m_bStatusColor;
        row.background = StatusRowColor(row.item ? row.item->GetStatusLevel() : 0, colors, pal.color(QPalette::Base),
                                        pal.color(QPalette::Button));
        row.cached = true;
    }
    return row.texts;
}

QColor XListModel::BackgroundOf(int i) const
{
    TextsOf(i);
    const CXItem* item = RowAt(i).item;
    return ShadeRow(RowAt(i).background, item ? item->m_nDispOrder : 0);
}

QVariant XListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    const int group = GroupOf(index);
    if (group >= 0) {
        if (index.column() != 0)
            return QVariant();
        switch (role) {
        case Qt::DisplayRole:
            return m_groups[static_cast<std::size_t>(group)].header;
        case GroupRole:
            return true;
        case Qt::FontRole: {
            QFont f = m_list->font();
            f.setBold(true);
            return f;
        }
        case Qt::ToolTipRole:
            return QStringLiteral("双击可以收缩或展开分组行。");
        default:
            return QVariant();
        }
    }
    const int item = ItemOf(index);
    if (item < 0)
        return QVariant();
    const int c = index.column();
    const int h = c < m_nColumns ? m_list->m_nHeadOfCol[static_cast<std::size_t>(c)] : -1;
    const CHead* head = h >= 0 && h < m_list->m_heads.GetSize() ? m_list->m_heads[h] : nullptr;
    switch (role) {
    case Qt::DisplayRole:
        return TextsOf(item).value(c);
    case Qt::BackgroundRole:
        return BackgroundOf(item);
    case Qt::ForegroundRole:
        return head && RowAt(item).item ? QVariant(RowAt(item).item->GetTextColor(head)) : QVariant();
    case Qt::TextAlignmentRole: {
        const int align = head ? head->GetAlign() : 0;
        return QVariant::fromValue(Qt::AlignVCenter | (align == 1   ? Qt::AlignRight
                                                       : align == 2 ? Qt::AlignHCenter
                                                                    : Qt::AlignLeft));
    }
    case Qt::ToolTipRole:
        return RowAt(item).item ? RowAt(item).item->GetStatusText() : QString();
    case Qt::CheckStateRole:
        return m_list->m_nImageMode >= 2 ? QVariant(RowAt(item).checked ? Qt::Checked : Qt::Unchecked) : QVariant();
    case ItemIndexRole:
        return item;
    case GroupRole:
        return false;
    default:
        return QVariant();
    }
}

QVariant XListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_nColumns)
        return QVariant();
    const int h = m_list->m_nHeadOfCol[static_cast<std::size_t>(section)];
    const CHead* head = h < m_list->m_heads.GetSize() ? m_list->m_heads[h] : nullptr;
    if (!head)
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return head->m_strName;
    case Qt::ToolTipRole:
        return HeaderTipText(*head);
    case Qt::TextAlignmentRole: {
        const int align = head->GetAlign();
        return QVariant::fromValue(Qt::AlignVCenter | (align == 1   ? Qt::AlignRight
                                                       : align == 2 ? Qt::AlignHCenter
                                                                    : Qt::AlignLeft));
    }
    default:
        return QVariant();
    }
}

Qt::ItemFlags XListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    if (GroupOf(index) >= 0)
        return Qt::ItemIsEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void XListModel::EndReset()
{
    m_groupOfRow.assign(m_rows.size(), -1);
    m_placeInGroup.assign(m_rows.size(), -1);
    if (m_bGrouped) {
        for (std::size_t g = 0; g < m_groups.size(); ++g)
            for (std::size_t k = 0; k < m_groups[g].rows.size(); ++k) {
                const auto r = static_cast<std::size_t>(m_groups[g].rows[k]);
                m_groupOfRow[r] = static_cast<int>(g);
                m_placeInGroup[r] = static_cast<int>(k);
            }
    }
    for (Row& row : m_rows)
        row.cached = false;
    Renumber();
    endResetModel();
}

// Row numbers for the alternating shade, in display order.
void XListModel::Renumber()
{
    int n = 0;
    if (m_bGrouped) {
        for (const Group& g : m_groups)
            for (int r : g.rows)
                if (CXItem* item = m_rows[static_cast<std::size_t>(r)].item)
                    item->m_nDispOrder = n++;
    } else {
        for (Row& row : m_rows)
            if (row.item)
                row.item->m_nDispOrder = n++;
    }
}

void XListModel::Invalidate()
{
    for (Row& row : m_rows)
        row.cached = false;
    if (!m_rows.empty() && m_nColumns > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, m_nColumns - 1));
}

void XListModel::AppendRow(CXItem* item, bool checked)
{
    const int n = static_cast<int>(m_rows.size());
    beginInsertRows(QModelIndex(), n, n);
    m_rows.emplace_back(item, checked);
    m_groupOfRow.push_back(-1);
    m_placeInGroup.push_back(-1);
    endInsertRows();
    if (item)
        item->m_nDispOrder = n;
}

void XListModel::AppendRowData(CXItem* item, bool checked)
{
    m_rows.emplace_back(item, checked);
    if (m_groups.empty())
        m_groups.push_back(Group{});
    m_groups.back().rows.push_back(static_cast<int>(m_rows.size()) - 1);
}

void XListModel::RemoveRowsData(const std::vector<char>& doomed)
{
    // New index of every surviving row, -1 for the removed ones.
    std::vector<int> moved(m_rows.size(), -1);
    std::vector<Row> rows;
    rows.reserve(m_rows.size());
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (!doomed[i]) {
            moved[i] = static_cast<int>(rows.size());
            rows.push_back(std::move(m_rows[i]));
        }
    m_rows = std::move(rows);
    for (Group& g : m_groups) {
        std::vector<int> kept;
        for (int r : g.rows)
            if (moved[static_cast<std::size_t>(r)] >= 0)
                kept.push_back(moved[static_cast<std::size_t>(r)]);
        g.rows = std::move(kept);
    }
    std::erase_if(m_groups, [](const Group& g) { return g.rows.empty(); });
    if (m_groups.empty())
        m_bGrouped = false;
}

void XListModel::SetChecked(int i, bool checked)
{
    m_rows[static_cast<std::size_t>(i)].checked = checked;
    if (CXItem* item = m_rows[static_cast<std::size_t>(i)].item)
        item->m_bSelected = checked ? 1 : 0;
    const QModelIndex idx = IndexOfItem(i);
    emit dataChanged(idx, idx);
}

void XListModel::ClearData()
{
    m_rows.clear();
    m_groups.clear();
    m_bGrouped = false;
}

void XListModel::SetRowsData(std::vector<Row> rows) { m_rows = std::move(rows); }

void XListModel::ReorderRowsData(const std::vector<int>& order)
{
    std::vector<Row> rows;
    rows.reserve(order.size());
    for (int i : order)
        rows.push_back(std::move(m_rows[static_cast<std::size_t>(i)]));
    m_rows = std::move(rows);
}

void XListModel::InsertRowData(int i, CXItem* item, bool checked)
{
    m_rows.insert(m_rows.begin() + i, Row{item, checked});
    if (!m_bGrouped)
        return;
    for (Group& g : m_groups)
        for (int& r : g.rows)
            if (r >= i)
                ++r;
    if (m_groups.empty())
        m_groups.push_back(Group{});
    m_groups.back().rows.push_back(i);
    std::sort(m_groups.back().rows.begin(), m_groups.back().rows.end());
}

void XListModel::SetGroupsData(std::vector<Group> groups)
{
    m_groups = std::move(groups);
    m_bGrouped = true;
}

void XListModel::ClearGroupsData()
{
    m_groups.clear();
    m_bGrouped = false;
}

void XListModel::SortGroupsData(const std::function<bool(const Group&, const Group&)>& less)
{
    std::stable_sort(m_groups.begin(), m_groups.end(), less);
}
