#include "CXListCtrl.h"

#include "CMD5.h"
#include "CModule.h"
#include "CXArray.h"
#include "CXDialogEx.h"
#include "CXItem.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "Resources.h"
#include "Settings.h"
#include "TextUtils.h"
#include "XAppServices.h"
#include "XCellDraw.h"
#include "XDrawing.h"
#include "XListLogic.h"
#include "XListModel.h"
#include "XMainWindow.h"
#include "XReadOnly.h"
#include "XString.h"
#include "XUi.h"

#include <QtCore/QSet>
#include <QtGui/QGuiApplication>
#include <QtGui/QHelpEvent>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QStyledItemDelegate>
#include <QtWidgets/QToolTip>

#include <algorithm>
#include <numeric>
#include <unordered_map>
#include <unordered_set>

XHook<QString()> CXListCtrl::s_activeModuleName;
XHook<std::unique_ptr<XMenuSpec>(const CXListCtrl&)> CXListCtrl::s_headsMenu;
XHook<int(CModule*, CXArray&, bool)> CXListCtrl::s_openItems;

namespace {

CXDialogEx* BoundDialogOf(const CXListCtrl* list) { return list ? list->GetParentDialog() : nullptr; }

int ImageWidth(int imageMode) { return imageMode == 0 ? RowHeight() / 4 : RowHeight(); }

} // namespace

// ---------------------------------------------------------------------------------------
// Cells: backgrounds, images, record-drawn cells, group rows

class XListDelegate : public QStyledItemDelegate
{
public:
    explicit XListDelegate(CXListCtrl* list) : QStyledItemDelegate(list), m_list(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize s = QStyledItemDelegate::sizeHint(option, index);
        s.setHeight(RowHeight());
        if (index.column() == 0)
            s.setWidth(s.width() + ImageWidth(m_list->m_nImageMode));
        return s;
    }

    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // One per paint pass: records share values computed over all rows through it.
    mutable XCellDraw m_draw;

private:
    CXListCtrl* m_list;
};

void XListDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const XListModel* model = m_list->Model();
    const QPalette& pal = option.palette;
    if (model->GroupOf(index) >= 0) {
        p->save();
        p->fillRect(option.rect, pal.color(QPalette::Base));
        QFont f = m_list->font();
        f.setBold(true);
        p->setFont(f);
        p->setPen(pal.color(QPalette::Link));
        const QRect rc = option.rect.adjusted(8, 0, -5, 0);
        const QString text = index.data().toString();
        p->drawText(rc, Qt::AlignVCenter | Qt::AlignLeft, text);
        const int right = rc.left() + QFontMetrics(f).horizontalAdvance(text) + 8;
        if (right < rc.right()) {
            p->setPen(pal.color(QPalette::Mid));
            p->drawLine(right, rc.center().y(), rc.right(), rc.center().y());
        }
        p->restore();
        return;
    }
    const int item = model->ItemOf(index);
    if (item < 0)
        return;
    CXItem* record = model->RowAt(item).item;
    const bool selected = option.state & QStyle::State_Selected;
    QColor bg = model->BackgroundOf(item);
    if (index.column() == m_list->m_nSelColumn)
        bg = bg.darker(104);
    p->save();
    p->fillRect(option.rect, selected ? pal.color(QPalette::Highlight) : bg);
    QRect rc = option.rect;
    if (index.column() == 0) {
        const QRect img(rc.left(), rc.top(), ImageWidth(m_list->m_nImageMode), rc.height());
        rc.setLeft(img.right() + 1);
        switch (m_list->m_nImageMode) {
        case 0:
            if (selected) {
                // The arrow in front of selected rows: black, pointing right, centred on white.
                p->fillRect(img, Qt::white);
                const int w = std::max(3, img.width() / 2), c = img.center().y();
                const QPoint tri[3] = {{img.center().x() - w / 2, c - w},
                                       {img.center().x() - w / 2, c + w},
                                       {img.center().x() + w / 2 + 1, c}};
                p->setBrush(Qt::black);
                p->setPen(Qt::NoPen);
                p->drawPolygon(tri, 3);
            }
            break;
        case 1:
            if (record) {
                const QIcon icon = AppServices().CommandIcon(record->m_nID, 0, false);
                icon.paint(p, img.adjusted(2, 2, -2, -2));
            }
            break;
        default: {
            const bool checked = model->RowAt(item).checked;
            const bool enabled = !IsWndReadOnly(m_list) && record && record->m_bEnabled;
            const bool hot = m_list->m_nHotItem == item;
            const QRect glyph = img.adjusted(3, 3, -3, -3);
            if (m_list->m_nImageMode == 2)
                DrawRadioButton(p, glyph, checked, enabled, hot, m_list);
            else
                DrawCheckBox(p, glyph, checked, enabled, hot, m_list);
            break;
        }
        }
    }
    const int h =
        index.column() < m_list->m_nColumns ? m_list->m_nHeadOfCol[static_cast<std::size_t>(index.column())] : -1;
    const CHead* head = h >= 0 && h < m_list->m_heads.GetSize() ? m_list->m_heads[h] : nullptr;
    const QColor fg = selected ? pal.color(QPalette::HighlightedText) : index.data(Qt::ForegroundRole).value<QColor>();
    p->setPen(fg);
    p->setFont(m_list->font());
    if (record && head && record->GetAccess(head, AppServices().User()) != -1 && record->DrawCell(head, nullptr)) {
        m_draw.pDC = p;
        m_draw.rc = rc.adjusted(5, 1, -5, -1);
        m_draw.pList = m_list;
        m_draw.pItems = m_list->m_pItems;
        // The list's own WindowText is the colour of its border: cells a record paints get
        // the text colours the plain cells are drawn in, the highlight's on a selected row.
        m_draw.palette = QApplication::palette(m_list);
        if (selected)
            m_draw.palette.setColor(QPalette::WindowText, pal.color(QPalette::HighlightedText));
        m_draw.font = m_list->font();
        m_draw.bHot = (option.state & QStyle::State_MouseOver) != 0;
        record->DrawCell(head, &m_draw);
    } else {
        const QRect textRc = rc.adjusted(5, 0, -5, 0);
        const QString text =
            option.fontMetrics.elidedText(model->TextsOf(item).value(index.column()), Qt::ElideRight, textRc.width());
        const int align = index.data(Qt::TextAlignmentRole).toInt();
        p->drawText(textRc, align, text);
    }
    p->restore();
}

// ---------------------------------------------------------------------------------------
// The strip of command buttons in the right margin

class CXListStrip : public QWidget
{
public:
    explicit CXListStrip(CXListCtrl* list) : QWidget(list), m_list(list) { setMouseTracking(true); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const bool inDialog = BoundDialogOf(m_list) != nullptr;
        p.fillRect(rect(), inDialog ? BoundDialogOf(m_list)->palette().color(QPalette::Window)
                                    : palette().color(QPalette::Base));
        p.setPen(QColor(218, 219, 220));
        p.drawLine(0, 0, 0, height());
        for (auto& cmd : m_list->m_cmds) {
            if (!cmd->m_nID || !cmd->m_bShown)
                continue;
            cmd->DoUpdate(m_list);
            DrawCmdButton(&p, cmd->m_nID, cmd->m_rc, cmd->m_bEnabled, cmd->m_bPressed, cmd->m_bHot, this);
        }
    }
    void mousePressEvent(QMouseEvent* e) override
    {
        // The selection may have changed since the last paint.
        for (auto& c : m_list->m_cmds)
            if (c->m_nID)
                c->DoUpdate(m_list);
        CXCmd* cmd = m_list->CmdAt(e->position().toPoint());
        for (auto& c : m_list->m_cmds)
            c->m_bPressed = c->m_bHot = c->m_bTracking = false;
        if (cmd) {
            cmd->m_bPressed = cmd->m_bTracking = true;
            m_list->m_pTracked = cmd;
        }
        update();
    }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        CXCmd* over = m_list->CmdAt(e->position().toPoint());
        bool changed = false;
        for (auto& c : m_list->m_cmds) {
            const bool pressed = c->m_bTracking && c.get() == over;
            const bool hot = !m_list->m_pTracked && c.get() == over;
            changed |= pressed != c->m_bPressed || hot != c->m_bHot;
            if (c->m_bTracking)
                c->m_bPressed = pressed;
            c->m_bHot = hot;
        }
        if (changed)
            update();
    }
    void mouseReleaseEvent(QMouseEvent* e) override
    {
        CXCmd* tracked = m_list->m_pTracked;
        const bool chosen = tracked && tracked->m_bEnabled && m_list->CmdAt(e->position().toPoint()) == tracked;
        for (auto& c : m_list->m_cmds)
            c->m_bPressed = c->m_bHot = c->m_bTracking = false;
        m_list->m_pTracked = nullptr;
        update();
        if (chosen) {
            m_list->setFocus();
            XPostCommand(m_list, tracked->m_nID);
        }
    }
    void leaveEvent(QEvent*) override
    {
        for (auto& c : m_list->m_cmds)
            c->m_bHot = false;
        update();
    }
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::ToolTip) {
            auto* help = static_cast<QHelpEvent*>(e);
            CXCmd* cmd = m_list->CmdAt(help->pos());
            const QString text = cmd ? LoadCommandPrompt(cmd->m_nID) : QString();
            if (text.isEmpty())
                QToolTip::hideText();
            else
                QToolTip::showText(help->globalPos(), WrapTip(text), this);
            return true;
        }
        return QWidget::event(e);
    }

private:
    CXListCtrl* m_list;
};

// ---------------------------------------------------------------------------------------
// Construction, columns, layout

CXListCtrl::CXListCtrl(QWidget* parent, int controlId)
    : QTreeView(parent), m_nControlId(controlId), m_model(new XListModel(this))
{
    m_nColOfHead.fill(0);
    m_nHeadOfCol.fill(0);
    setModel(m_model);
    setItemDelegate(new XListDelegate(this));
    setUniformRowHeights(true);
    setRootIsDecorated(false);
    setIndentation(0);
    setItemsExpandable(true);
    setExpandsOnDoubleClick(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSortingEnabled(false);
    setMouseTracking(true);
    setFont(QApplication::font());
    header()->setStretchLastSection(false);
    header()->setSectionsClickable(true);
    header()->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(header(), &QHeaderView::sectionClicked, this, [this](int c) { OnHeaderClicked(c); });
    connect(header(), &QHeaderView::customContextMenuRequested, this,
            [this](const QPoint& pos) { ShowContextMenu(header()->viewport()->mapToGlobal(pos)); });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex& i) {
        if (const int g = m_model->GroupOf(i); g >= 0)
            m_model->SetGroupCollapsed(g, true);
    });
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex& i) {
        if (const int g = m_model->GroupOf(i); g >= 0 && !m_bRestoring)
            m_model->SetGroupCollapsed(g, false);
    });
    m_selTimer.setSingleShot(true);
    m_selTimer.setInterval(200);
    connect(&m_selTimer, &QTimer::timeout, this, [this] { OnSelectionTimer(); });
    m_strip = new CXListStrip(this);
    m_strip->hide();
    // A 1-pixel border in the bar-shadow colour.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, QColor(218, 219, 220));
    setPalette(pal);
}

CXListCtrl::~CXListCtrl() { SaveLayout(); }

bool CXListCtrl::HasLayout() const { return !m_bNoSortHeader && !m_bNoColumnHeader; }

bool CXListCtrl::IsReadOnly() const { return IsWndReadOnly(this); }

QString CXListCtrl::GetLayoutKey() const { return Md5HexW(LayoutKeyText(m_heads, m_nMode, m_nControlId)); }

namespace {

QString UserSection()
{
    const CXItem* user = AppServices().User();
    return user ? user->m_strName : QString();
}

} // namespace

void CXListCtrl::SetItems(CXArray* items, CHeads* heads, int mode, int imageMode)
{
    m_model->BeginReset();
    // The rows go; so do the records of the array bound so far, unless it is bound again.
    m_model->ClearData();
    if (items != m_pItems && m_pItems)
        m_pItems->RemoveAll();
    m_model->EndReset();
    // The reset dropped the view's selection without a selectionChanged: the flags follow it,
    // or they would name rows the new binding may not have.
    m_selFlags.clear();
    m_nSelCount = 0;
    m_pItems = items;
    SetHeads(heads, mode, imageMode);
    if (items) {
        std::vector<XListModel::Row> rows;
        rows.reserve(static_cast<std::size_t>(items->GetSize()));
        for (CXItem* item : *items)
            rows.push_back(XListModel::Row{item, item->m_bEnabled && item->IsChecked()});
        m_model->BeginReset();
        m_model->SetRowsData(std::move(rows));
        m_model->EndReset();
    }
    m_selFlags.assign(static_cast<std::size_t>(m_model->RowCount()), 0);
    LayoutCmds();
    Resort();
}

void CXListCtrl::SetHeads(CHeads* heads, int mode, int imageMode)
{
    if (heads && heads != &m_heads)
        m_heads.CopyFrom(*heads);
    m_nMode = mode;
    m_nImageMode = imageMode;
    header()->setSectionsMovable(mode == 0);
    header()->setVisible(!m_bNoColumnHeader);
    header()->setSectionsClickable(!m_bNoSortHeader);
    header()->setSectionResizeMode(m_bNoSortHeader ? QHeaderView::Fixed : QHeaderView::Interactive);
    int pos = 0;
    for (int i = 0; i < m_heads.GetSize(); ++i)
        m_heads[i]->m_nPos = HeadShownInMode(*m_heads[i], mode) ? pos++ : -1;
    if (m_nGroupHead < 0)
        m_nGroupHead = DefaultGroupHead(m_heads, mode);
    for (int i = 0; i < m_heads.GetSize(); ++i) {
        CHead* h = m_heads[i];
        h->m_nPixels = h->GetColumnWidth() + (h->m_nPos == 0 ? ImageWidth(imageMode) : 0);
    }
    m_bStatusColor = m_heads.m_bGoodStatus;
    if (HasLayout()) {
        std::vector<int> sorts;
        for (int i = 0; i < m_heads.GetSize(); ++i) {
            sorts.push_back(m_heads[i]->m_nListSort);
            m_heads[i]->m_nListSort = 0;
        }
        const QString def = EncodeLayout(m_heads, -1, m_nGroupHead, m_bStatusColor);
        for (int i = 0; i < m_heads.GetSize(); ++i)
            m_heads[i]->m_nListSort = sorts[static_cast<std::size_t>(i)];
        const QString value = ReadSetting(UserSection(), GetLayoutKey(), def);
        if (value != def)
            DecodeLayout(value, m_heads, m_nSortHead, m_nGroupHead, m_bStatusColor);
        m_bLayoutRead = true;
    }
    RebuildColumns();
}

void CXListCtrl::SaveLayout()
{
    if (!m_bLayoutRead || !HasLayout() || ReadScreenDpi() != ScreenDpi())
        return;
    for (int c = 0; c < m_nColumns; ++c) {
        CHead* h = m_heads[m_nHeadOfCol[static_cast<std::size_t>(c)]];
        if (m_nMode == 0)
            h->m_nPos = header()->visualIndex(c);
        h->m_nPixels = header()->sectionSize(c);
    }
    WriteSetting(UserSection(), GetLayoutKey(), EncodeLayout(m_heads, m_nSortHead, m_nGroupHead, m_bStatusColor));
}

void CXListCtrl::RebuildColumns()
{
    m_nColOfHead.fill(0);
    m_nHeadOfCol.fill(0);
    std::vector<int> heads;
    for (int i = 0; i < m_heads.GetSize() && i < 255; ++i) {
        const int pos = m_heads[i]->m_nPos;
        if (pos == -1 || pos >= 255 || heads.size() >= 255)
            continue;
        m_nColOfHead[static_cast<std::size_t>(i)] = static_cast<int>(heads.size());
        m_nHeadOfCol[heads.size()] = i;
        heads.push_back(i);
    }
    m_model->BeginReset();
    m_nColumns = static_cast<int>(heads.size());
    m_model->SetColumnCount(m_nColumns);
    m_model->EndReset();
    QHeaderView* hv = header();
    // Back to creation order before the positions are applied again.
    for (int c = 0; c < m_nColumns; ++c)
        if (hv->visualIndex(c) != c)
            hv->moveSection(hv->visualIndex(c), c);
    for (int c = 0; c < m_nColumns; ++c)
        hv->resizeSection(c, std::max(1, m_heads[heads[static_cast<std::size_t>(c)]]->m_nPixels));
    if (m_nMode == 0) {
        std::vector<int> order(heads.size());
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            return m_heads[heads[static_cast<std::size_t>(a)]]->m_nPos <
                   m_heads[heads[static_cast<std::size_t>(b)]]->m_nPos;
        });
        for (int v = 0; v < static_cast<int>(order.size()); ++v)
            if (hv->visualIndex(order[static_cast<std::size_t>(v)]) != v)
                hv->moveSection(hv->visualIndex(order[static_cast<std::size_t>(v)]), v);
    }
    ApplyHeaderArrows();
    viewport()->update();
}

int CXListCtrl::CompareItems(const CXItem* a, const CXItem* b, int head) const
{
    if (head < 0 || head >= m_heads.GetSize())
        return 0;
    return CompareListItems(a, b, m_heads[head]);
}

void CXListCtrl::ResetModel(const std::function<void()>& change)
{
    const std::vector<int> selected = GetSelectedItems();
    std::unordered_set<const CXItem*> keep;
    for (int i : selected)
        keep.insert(m_model->RowAt(i).item);
    const int current = m_model->ItemOf(currentIndex());
    const CXItem* currentItem = current >= 0 ? m_model->RowAt(current).item : nullptr;

    m_model->BeginReset();
    change();
    m_model->EndReset();
    m_selFlags.assign(static_cast<std::size_t>(m_model->RowCount()), 0);
    m_nSelCount = 0;

    if (m_model->IsGrouped()) {
        // expandAll reports every group as expanded; the kept states must survive it.
        m_bRestoring = true;
        expandAll();
        m_bRestoring = false;
        for (int g = 0; g < m_model->GroupCount(); ++g) {
            setFirstColumnSpanned(g, QModelIndex(), true);
            if (m_model->GroupAt(g).collapsed)
                collapse(m_model->IndexOfGroup(g));
        }
    }
    if (!keep.empty()) {
        // Runs of adjacent rows become one range each, so a large selection stays cheap.
        QItemSelection sel;
        auto addRun = [&](const QModelIndex& parent, int top, int bottom) {
            sel.append(
                QItemSelectionRange(m_model->index(top, 0, parent), m_model->index(bottom, m_nColumns - 1, parent)));
        };
        auto scan = [&](const QModelIndex& parent, int count, const std::function<int(int)>& itemAt) {
            int start = -1;
            for (int r = 0; r <= count; ++r) {
                const bool on = r < count && keep.count(m_model->RowAt(itemAt(r)).item);
                if (on && start < 0)
                    start = r;
                if (!on && start >= 0) {
                    addRun(parent, start, r - 1);
                    start = -1;
                }
            }
        };
        if (m_model->IsGrouped()) {
            for (int g = 0; g < m_model->GroupCount(); ++g) {
                const std::vector<int>& rows = m_model->GroupAt(g).rows;
                scan(m_model->IndexOfGroup(g), static_cast<int>(rows.size()),
                     [&rows](int r) { return rows[static_cast<std::size_t>(r)]; });
            }
        } else {
            scan(QModelIndex(), GetItemCount(), [](int r) { return r; });
        }
        selectionModel()->select(sel, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    if (currentItem)
        for (int i = 0; i < m_model->RowCount(); ++i)
            if (m_model->RowAt(i).item == currentItem) {
                const QModelIndex idx = m_model->IndexOfItem(i);
                if (idx.parent().isValid() && !isExpanded(idx.parent()))
                    break;
                selectionModel()->setCurrentIndex(m_model->IndexOfItem(i), QItemSelectionModel::NoUpdate);
                break;
            }
}

void CXListCtrl::Resort()
{
    const int n = GetItemCount();
    if (m_nSortHead >= 0 && m_nSortHead < m_heads.GetSize() && n > 0 && m_heads[m_nSortHead]->m_nListSort != 0) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        const CHead* head = m_heads[m_nSortHead];
        const bool desc = head->m_nListSort == 2;
        std::vector<XSortKey> keys;
        keys.reserve(static_cast<std::size_t>(n));
        for (int i = 0; i < n; ++i) {
            const CXItem* item = m_model->RowAt(i).item;
            keys.push_back(item ? MakeSortKey(*item, head) : XSortKey());
        }
        std::vector<int> order(static_cast<std::size_t>(n));
        std::iota(order.begin(), order.end(), 0);
        // Stable: equal records keep their relative order, in both directions.
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const int r = CompareSortKeys(keys[static_cast<std::size_t>(a)], keys[static_cast<std::size_t>(b)], head);
            return desc ? r > 0 : r < 0;
        });
        ResetModel([&] { m_model->ReorderRowsData(order); });
        QGuiApplication::restoreOverrideCursor();
        const int first = GetFirstSelected();
        if (first >= 0)
            EnsureVisible(first, true);
    }
    UpdateGroups();
}

void CXListCtrl::FitFillColumn()
{
    int others = 0, fill = -1;
    for (int c = 0; c < m_nColumns; ++c) {
        if (m_heads[m_nHeadOfCol[static_cast<std::size_t>(c)]]->m_nWidth == -1)
            fill = c;
        else
            others += header()->sectionSize(c);
    }
    if (fill < 0)
        return;
    const int w = FillColumnWidth(viewport()->width(), others, header()->sectionSize(fill));
    if (w >= 0)
        header()->resizeSection(fill, w);
}

void CXListCtrl::ApplyHeaderArrows()
{
    const bool sorted = m_nSortHead >= 0 && m_nSortHead < m_heads.GetSize() && m_heads[m_nSortHead]->m_nPos != -1 &&
                        m_heads[m_nSortHead]->m_nListSort != 0;
    header()->setSortIndicatorShown(sorted);
    if (sorted)
        header()->setSortIndicator(m_nColOfHead[static_cast<std::size_t>(m_nSortHead)],
                                   m_heads[m_nSortHead]->m_nListSort == 1 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CXListCtrl::OnHeaderClicked(int column)
{
    if (!HasLayout() || column < 0 || column >= m_nColumns)
        return;
    m_nSelColumn = column;
    viewport()->update();
    if (GetItemCount() < 2) {
        ApplyHeaderArrows();
        return;
    }
    const int h = m_nHeadOfCol[static_cast<std::size_t>(column)];
    CHead* head = m_heads[h];
    if (h == m_nSortHead) {
        head->m_nListSort = head->m_nListSort == 1 ? 2 : 1;
    } else {
        m_nSortHead = h;
        if (head->m_nListSort == 0)
            head->m_nListSort = 1;
    }
    setUpdatesEnabled(false);
    Resort();
    if (IsGroupView() && h == m_nGroupHead)
        SortGroups();
    setUpdatesEnabled(true);
}

// ---------------------------------------------------------------------------------------
// Item API

int CXListCtrl::GetItemCount() const { return m_model->RowCount(); }

CXItem* CXListCtrl::GetItemData(int i) const { return i >= 0 && i < GetItemCount() ? m_model->RowAt(i).item : nullptr; }

void CXListCtrl::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QTreeView::selectionChanged(selected, deselected);
    m_selFlags.resize(static_cast<std::size_t>(m_model->RowCount()), 0);
    auto apply = [this](const QItemSelection& s, char on) {
        for (const QItemSelectionRange& r : s)
            for (int row = r.top(); row <= r.bottom(); ++row) {
                const int i = m_model->ItemOf(m_model->index(row, 0, r.parent()));
                if (i >= 0 && m_selFlags[static_cast<std::size_t>(i)] != on) {
                    m_selFlags[static_cast<std::size_t>(i)] = on;
                    m_nSelCount += on ? 1 : -1;
                }
            }
    };
    apply(deselected, 0);
    apply(selected, 1);
    m_selTimer.start();
}

int CXListCtrl::GetSelectedCount() const { return m_nSelCount; }

int CXListCtrl::GetFirstSelected() const { return GetNextSelected(-1); }

int CXListCtrl::GetNextSelected(int after) const
{
    if (m_nSelCount == 0)
        return -1;
    for (int i = std::max(0, after + 1); i < static_cast<int>(m_selFlags.size()); ++i)
        if (m_selFlags[static_cast<std::size_t>(i)])
            return i;
    return -1;
}

bool CXListCtrl::IsItemSelected(int i) const
{
    return i >= 0 && i < static_cast<int>(m_selFlags.size()) && m_selFlags[static_cast<std::size_t>(i)];
}

std::vector<int> CXListCtrl::GetSelectedItems() const
{
    std::vector<int> items;
    for (int i = GetFirstSelected(); i >= 0; i = GetNextSelected(i))
        items.push_back(i);
    return items;
}

void CXListCtrl::SetItemSelected(int i, bool selected)
{
    const QModelIndex idx = m_model->IndexOfItem(i);
    if (idx.isValid())
        selectionModel()->select(idx, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                          QItemSelectionModel::Rows);
}

void CXListCtrl::SelectOnly(int i)
{
    const QModelIndex idx = m_model->IndexOfItem(i);
    if (!idx.isValid())
        return;
    selectionModel()->select(idx, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    selectionModel()->setCurrentIndex(idx, QItemSelectionModel::NoUpdate);
    if (i > 0) {
        EnsureVisible(i, false);
        viewport()->update();
    }
}

void CXListCtrl::EnsureVisible(int i, bool partialOk)
{
    const QModelIndex idx = m_model->IndexOfItem(i);
    if (!idx.isValid())
        return;
    if (partialOk && visualRect(idx).intersects(viewport()->rect()))
        return;
    // A row of a collapsed group stays hidden (scrolling to it would expand the group).
    if (idx.parent().isValid() && !isExpanded(idx.parent()))
        return;
    scrollTo(idx, QAbstractItemView::EnsureVisible);
}

bool CXListCtrl::DeleteItem(int i)
{
    if (i < 0 || i >= GetItemCount())
        return false;
    RemoveItems({i});
    return true;
}

void CXListCtrl::DeleteAllItems()
{
    std::vector<int> all(static_cast<std::size_t>(GetItemCount()));
    std::iota(all.begin(), all.end(), 0);
    RemoveItems(all);
}

void CXListCtrl::RemoveItems(const std::vector<int>& items)
{
    std::vector<char> doomed(static_cast<std::size_t>(m_model->RowCount()), 0);
    std::unordered_set<CXItem*> records;
    for (int i : items)
        if (i >= 0 && i < GetItemCount()) {
            doomed[static_cast<std::size_t>(i)] = 1;
            if (CXItem* item = m_model->RowAt(i).item)
                records.insert(item);
        }
    ResetModel([&] { m_model->RemoveRowsData(doomed); });
    if (!m_pItems || records.empty())
        return;
    // Each record leaves the bound array once (its first occurrence); the array deletes the
    // records it owns. Rebuilt in one pass, so removing many rows stays linear.
    std::vector<CXItem*> all;
    all.reserve(static_cast<std::size_t>(m_pItems->GetSize()));
    while (!m_pItems->IsEmpty())
        all.push_back(m_pItems->Detach(m_pItems->GetSize() - 1));
    std::reverse(all.begin(), all.end());
    for (CXItem* item : all) {
        if (records.erase(item)) {
            if (m_pItems->m_bOwns)
                delete item;
            continue;
        }
        m_pItems->Add(item);
    }
}

bool CXListCtrl::GetCheck(int i) const { return i >= 0 && i < GetItemCount() && m_model->RowAt(i).checked; }

void CXListCtrl::SetCheck(int i, bool checked)
{
    if (i >= 0 && i < GetItemCount())
        m_model->SetChecked(i, checked);
}

int CXListCtrl::InsertItem(int i, CXItem* item)
{
    i = std::clamp(i, 0, GetItemCount());
    ResetModel([&] { m_model->InsertRowData(i, item, item && item->m_bEnabled && item->IsChecked()); });
    return i;
}

int CXListCtrl::AddItem(CXItem* item, int selectMode)
{
    if (m_pItems)
        m_pItems->AddAdopted(item);
    const int i = GetItemCount();
    const bool checked = item->m_bEnabled && item->IsChecked();
    if (m_model->IsGrouped())
        ResetModel([&] { m_model->AppendRowData(item, checked); });
    else
        m_model->AppendRow(item, checked);
    m_selFlags.resize(static_cast<std::size_t>(m_model->RowCount()), 0);
    if (selectMode == 2) {
        selectionModel()->clearSelection();
        EnsureVisible(i, false);
    }
    if (selectMode == 1 || selectMode == 2)
        SetItemSelected(i, true);
    return i;
}

QStringList CXListCtrl::GetRowTexts(int i) const
{
    return i >= 0 && i < GetItemCount() ? m_model->TextsOf(i) : QStringList();
}

QString CXListCtrl::GetItemText(int i, int column) const { return GetRowTexts(i).value(column); }

int CXListCtrl::GetHeadOfColumn(int column) const
{
    return column >= 0 && column < m_nColumns ? m_nHeadOfCol[static_cast<std::size_t>(column)] : -1;
}

std::vector<int> CXListCtrl::GetColumnOrder() const
{
    std::vector<int> order;
    for (int v = 0; v < m_nColumns; ++v)
        order.push_back(header()->logicalIndex(v));
    return order;
}

std::vector<CXListCtrl::XGroupInfo> CXListCtrl::GetGroups() const
{
    std::vector<XGroupInfo> groups;
    if (m_model->IsGrouped())
        for (const XListModel::Group& g : m_model->Groups())
            groups.push_back(
                XGroupInfo{g.header, g.rows.empty() ? -1 : g.rows.front(), static_cast<int>(g.rows.size())});
    return groups;
}

// ---------------------------------------------------------------------------------------
// Groups

bool CXListCtrl::IsGroupView() const { return m_model->IsGrouped(); }

namespace {

template <class Pred> bool AnyHead(const CHeads& heads, Pred pred)
{
    return std::any_of(heads.begin(), heads.end(),
                       [&](const CXItem* h) { return pred(*static_cast<const CHead*>(h)); });
}

} // namespace

bool CXListCtrl::HasGroupColumns() const
{
    return m_bGroupable && m_nColumns > 2 && AnyHead(m_heads, [](const CHead& h) { return h.CanGroup(); });
}

bool CXListCtrl::HasCalcColumns() const
{
    return !BoundDialogOf(this) && AnyHead(m_heads, [](const CHead& h) { return h.CanCalc(); });
}

bool CXListCtrl::HasUnitColumns() const
{
    return AnyHead(m_heads, [](const CHead& h) { return h.m_nPos != -1 && !h.m_strUnit.isEmpty(); });
}

void CXListCtrl::UpdateGroups()
{
    for (int i = 0; i < m_model->RowCount(); ++i)
        if (CXItem* item = m_model->RowAt(i).item)
            item->m_nDispOrder = -1;
    ApplyHeaderArrows();
    const bool want = HasGroupColumns() && m_nGroupHead >= 0 && m_nGroupHead < m_heads.GetSize() && GetItemCount() > 0;
    ResetModel([&] {
        if (!want) {
            m_model->ClearGroupsData();
            return;
        }
        const CHead* gh = m_heads[m_nGroupHead];
        std::vector<XListModel::Group> groups;
        std::unordered_map<int, std::size_t> byId;
        std::unordered_map<int, QString> texts;
        // Existing groups keep their place and state; new ones follow in order of first rows.
        if (m_model->IsGrouped())
            for (const XListModel::Group& g : m_model->Groups()) {
                byId.emplace(g.id, groups.size());
                groups.push_back(XListModel::Group{g.id, QString(), {}, g.collapsed});
            }
        for (int i = 0; i < GetItemCount(); ++i) {
            const CXItem* item = m_model->RowAt(i).item;
            const QString text = item ? item->GetGroupText(gh) : QString();
            const int id = GroupIdOf(text);
            texts[id] = text;
            auto [it, added] = byId.emplace(id, groups.size());
            if (added)
                groups.push_back(XListModel::Group{id, QString(), {}, false});
            groups[it->second].rows.push_back(i);
        }
        std::erase_if(groups, [](const XListModel::Group& g) { return g.rows.empty(); });
        for (XListModel::Group& g : groups) {
            std::vector<const CXItem*> items;
            items.reserve(g.rows.size());
            for (int r : g.rows)
                items.push_back(m_model->RowAt(r).item);
            g.header = GroupHeaderText(m_heads, m_nGroupHead, texts[g.id], items);
        }
        m_model->SetGroupsData(std::move(groups));
    });
    const int first = GetFirstSelected();
    if (first >= 0)
        EnsureVisible(first, true);
    FitFillColumn();
    viewport()->update();
}

int CXListCtrl::CompareGroups(int groupA, int groupB) const
{
    const XListModel::Group* a = nullptr;
    const XListModel::Group* b = nullptr;
    for (const XListModel::Group& g : m_model->Groups()) {
        if (g.id == groupA)
            a = &g;
        if (g.id == groupB)
            b = &g;
    }
    if (!a || !b || a->rows.empty() || b->rows.empty())
        return 0;
    return CompareItems(GetItemData(a->rows.front()), GetItemData(b->rows.front()), m_nGroupHead);
}

void CXListCtrl::SortGroups()
{
    if (!m_model->IsGrouped())
        return;
    ResetModel([&] {
        m_model->SortGroupsData([&](const XListModel::Group& a, const XListModel::Group& b) {
            return CompareItems(GetItemData(a.rows.front()), GetItemData(b.rows.front()), m_nGroupHead) < 0;
        });
    });
}

void CXListCtrl::SetGroupState(int groupId, int mask, int state)
{
    for (int g = 0; g < m_model->GroupCount(); ++g)
        if (m_model->GroupAt(g).id == groupId && (mask & 1)) {
            const bool collapse = state & 1;
            m_model->SetGroupCollapsed(g, collapse);
            setExpanded(m_model->IndexOfGroup(g), !collapse);
        }
}

// ---------------------------------------------------------------------------------------
// Painting, mouse, keys

QString CXListCtrl::EmptyText() const
{
    if (m_nMode != 0)
        return QStringLiteral("无") + m_heads.m_strItemType;
    const QString module = s_activeModuleName ? s_activeModuleName() : QString();
    return module.isEmpty() ? QString() : FormatString(u"未找到符合查询条件的%s。", module);
}

void CXListCtrl::paintEvent(QPaintEvent* e)
{
    static_cast<XListDelegate*>(itemDelegate())->m_draw.spanScale.clear();
    QTreeView::paintEvent(e);
    if (GetItemCount() == 0) {
        const QString text = EmptyText();
        if (text.isEmpty())
            return;
        QPainter p(viewport());
        p.setPen(palette().color(QPalette::Disabled, QPalette::Text));
        p.setFont(font());
        p.drawText(viewport()->rect().adjusted(20, 20, -20, -20), Qt::AlignCenter | Qt::TextSingleLine, text);
    }
}

void CXListCtrl::resizeEvent(QResizeEvent* e)
{
    QTreeView::resizeEvent(e);
    LayoutCmds();
    FitFillColumn();
}

void CXListCtrl::changeEvent(QEvent* e)
{
    QTreeView::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        LayoutCmds();
}

namespace {

QRect IconRect(const QRect& cell, int imageMode)
{
    return QRect(cell.left(), cell.top(), ImageWidth(imageMode), cell.height());
}

} // namespace

void CXListCtrl::mousePressEvent(QMouseEvent* e)
{
    const QModelIndex idx = indexAt(e->position().toPoint());
    const int item = m_model->ItemOf(idx);
    if (m_nImageMode >= 2 && item >= 0 && !IsReadOnly()) {
        const QRect cell = visualRect(idx.siblingAtColumn(0));
        if (IconRect(cell, m_nImageMode).contains(e->position().toPoint()))
            ToggleCheck(item);
    }
    m_nSelColumn = -1;
    QTreeView::mousePressEvent(e);
}

void CXListCtrl::mouseMoveEvent(QMouseEvent* e)
{
    if (m_nImageMode >= 2) {
        const QModelIndex idx = indexAt(e->position().toPoint());
        const int item = m_model->ItemOf(idx);
        const int hot =
            item >= 0 && IconRect(visualRect(idx.siblingAtColumn(0)), m_nImageMode).contains(e->position().toPoint())
                ? item
                : -1;
        if (hot != m_nHotItem) {
            m_nHotItem = hot;
            viewport()->update();
        }
    }
    QTreeView::mouseMoveEvent(e);
}

void CXListCtrl::mouseReleaseEvent(QMouseEvent* e) { QTreeView::mouseReleaseEvent(e); }

void CXListCtrl::mouseDoubleClickEvent(QMouseEvent* e)
{
    const QModelIndex idx = indexAt(e->position().toPoint());
    const int group = m_model->GroupOf(idx);
    if (group >= 0) {
        setExpanded(idx, !isExpanded(idx));
        return;
    }
    for (auto& cmd : m_cmds)
        if (cmd->m_bDefault && cmd->m_nID) {
            XPostCommand(this, cmd->m_nID);
            return;
        }
    QTreeView::mouseDoubleClickEvent(e);
}

void CXListCtrl::keyPressEvent(QKeyEvent* e)
{
    if (e->key() == Qt::Key_Space && m_nImageMode >= 2 && !IsReadOnly()) {
        const int first = GetFirstSelected();
        if (first >= 0)
            ToggleCheck(first);
        return;
    }
    QTreeView::keyPressEvent(e);
}

void CXListCtrl::ToggleCheck(int item)
{
    if (m_nImageMode == 2) {
        for (int i = 0; i < GetItemCount(); ++i)
            if (GetCheck(i) != (i == item))
                SetCheck(i, i == item);
    } else {
        const CXItem* record = GetItemData(item);
        SetCheck(item, record && record->m_bEnabled ? !GetCheck(item) : false);
    }
}

bool CXListCtrl::viewportEvent(QEvent* e)
{
    if (e->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(e);
        const QString text = TipTextAt(help->pos());
        if (text.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), WrapTip(text), viewport());
        return true;
    }
    return QTreeView::viewportEvent(e);
}

QString CXListCtrl::TipTextAt(const QPoint& pos) const
{
    const QModelIndex idx = indexAt(pos);
    if (m_model->GroupOf(idx) >= 0)
        return QStringLiteral("双击可以收缩或展开分组行。");
    const int item = m_model->ItemOf(idx);
    return item >= 0 && GetItemData(item) ? GetItemData(item)->GetStatusText() : QString();
}

QString CXListCtrl::HeaderTipAt(int column) const
{
    const int h = GetHeadOfColumn(column);
    return h >= 0 ? HeaderTipText(*m_heads[h]) : QString();
}

bool CXListCtrl::event(QEvent* e)
{
    if (e->type() == QEvent::Paint) {
        const bool handled = QTreeView::event(e);
        // A read-only list in a dialog, without buttons, is framed like a read-only combo box.
        if (BoundDialogOf(this) && isEnabled() && IsReadOnly() && GetCmdCount() == 0) {
            QPainter p(this);
            DrawComboFrame(&p, rect(), false, nullptr);
        }
        return handled;
    }
    if (e->type() == XCommandEvent::EventType()) {
        auto* ce = static_cast<XCommandEvent*>(e);
        if (ce->m_nID)
            DispatchCommand(ce->m_nID);
        return true;
    }
    return QTreeView::event(e);
}

// ---------------------------------------------------------------------------------------
// Command buttons

int CXListCtrl::GetCmdCount() const
{
    if (!isEnabled() || IsReadOnly())
        return 0;
    return static_cast<int>(std::count_if(m_cmds.begin(), m_cmds.end(), [](const auto& c) { return c->m_bShown; }));
}

CXCmd* CXListCtrl::AddCmd(CXCmd* cmd)
{
    m_cmds.emplace_back(cmd);
    LayoutCmds();
    return cmd;
}

void CXListCtrl::updateGeometries()
{
    QTreeView::updateGeometries();
    // The tree view keeps only the header's margin; the strip's is added to it.
    if (GetCmdCount() > 0) {
        const int top = header()->isHidden() ? 0 : header()->sizeHint().height();
        setViewportMargins(0, top, RowHeight(), 0);
        const QRect vg = viewport()->geometry();
        header()->setGeometry(vg.left(), vg.top() - top, vg.width(), top);
    }
}

void CXListCtrl::LayoutCmds()
{
    const int h = RowHeight();
    const bool strip = GetCmdCount() > 0;
    updateGeometries();
    m_strip->setVisible(strip);
    if (!strip)
        return;
    const QRect inner = contentsRect();
    m_strip->setGeometry(inner.right() + 1 - h, inner.top(), h, inner.height());
    int top = 0;
    for (auto& cmd : m_cmds) {
        if (!cmd->m_nID || !cmd->m_bShown) {
            cmd->m_rc = QRect();
            continue;
        }
        cmd->m_rc = QRect(0, top, h, h);
        top += h;
    }
    m_strip->update();
}

CXCmd* CXListCtrl::CmdAt(const QPoint& pos) const
{
    for (const auto& cmd : m_cmds)
        if (cmd->m_nID && cmd->m_bShown && cmd->m_bEnabled && cmd->m_rc.contains(pos))
            return cmd.get();
    return nullptr;
}

QWidget* CXListCtrl::Strip() const { return m_strip; }
