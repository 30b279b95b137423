#include "XRibbonBar.h"

#include <algorithm>

#include <QtCore/QEvent>
#include <QtGui/QAction>
#include <QtGui/QContextMenuEvent>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QFrame>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QMenu>
#include <QtWidgets/QStackedWidget>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>

namespace {

const char* kElementId = "ribbonElementId";

// (drop-down id, entry id) -> the icon the entry had: run-time entries keep the icons of the
// entries they replace.
std::map<std::pair<int, int>, QIcon>& ImageMemory()
{
    static std::map<std::pair<int, int>, QIcon> memory;
    return memory;
}

QFrame* VerticalLine(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Plain);
    line->setObjectName(QStringLiteral("ribbonLine"));
    return line;
}

// A button shows its action's state but its own label: the definition's text, not the
// action's (which menus show with its accelerator).
void Bind(QToolButton* b, QAction* a)
{
    QObject::connect(b, &QToolButton::clicked, a, [a] { a->trigger(); });
    auto sync = [b, a] {
        b->setEnabled(a->isEnabled());
        b->setCheckable(a->isCheckable());
        if (a->isCheckable())
            b->setChecked(a->isChecked());
        b->setIcon(a->icon());
        b->setToolTip(a->toolTip());
    };
    QObject::connect(a, &QAction::changed, b, sync);
    sync();
}

} // namespace

XRibbonMetrics XRibbonMetrics::ForDpi(int dpi, int rowHeight)
{
    XRibbonMetrics m;
    m.smallIcon = 16 * dpi / 96;
    m.largeIcon = 32 * dpi / 96;
    m.rowHeight = rowHeight;
    return m;
}

XRibbonBar::XRibbonBar(XRibbonDef def, ActionFor actionFor, const XRibbonMetrics& metrics, QWidget* parent)
    : QWidget(parent), m_def(std::move(def)), m_actionFor(std::move(actionFor)), m_metrics(metrics)
{
    setObjectName(QStringLiteral("RibbonBar"));
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_layout->setSpacing(0);

    m_qat = new QToolBar(this);
    m_qat->setObjectName(QStringLiteral("QuickAccessToolbar"));
    m_qat->setIconSize(QSize(m_metrics.smallIcon, m_metrics.smallIcon));
    m_qat->installEventFilter(this);
    m_qatCustomize = new QToolButton(this);
    m_qatCustomize->setObjectName(QStringLiteral("QatCustomize"));
    m_qatCustomize->setArrowType(Qt::DownArrow);
    m_qatCustomize->setAutoRaise(true);
    connect(m_qatCustomize, &QToolButton::clicked, this, [this] {
        emit contextMenuWanted(m_qatCustomize->mapToGlobal(QPoint(0, m_qatCustomize->height())), 0,
                               XRibbonHit::Customize);
    });

    auto* tabRow = new QWidget(this);
    tabRow->setObjectName(QStringLiteral("RibbonTabRow"));
    auto* tabLayout = new QHBoxLayout(tabRow);
    tabLayout->setContentsMargins(0, 0, 0, 0);
    tabLayout->setSpacing(0);
    m_appButton = new QToolButton(tabRow);
    m_appButton->setObjectName(QStringLiteral("RibbonApplicationButton"));
    m_appButton->setText(m_def.mainLabel);
    m_appButton->setPopupMode(QToolButton::InstantPopup);
    m_appButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_appButton->setMinimumWidth(m_metrics.rowHeight * 5 / 2);
    auto* appMenu = new QMenu(m_appButton);
    FillMenu(appMenu, m_def.mainItems);
    m_appButton->setMenu(appMenu);
    m_menus[0] = appMenu;
    tabLayout->addWidget(m_appButton);
    m_tabs = new QTabBar(tabRow);
    m_tabs->setObjectName(QStringLiteral("RibbonTabs"));
    m_tabs->setDrawBase(false);
    m_tabs->setExpanding(false);
    m_tabs->installEventFilter(this);
    tabLayout->addWidget(m_tabs);
    tabLayout->addStretch(1);
    m_switch = MakeButton(m_def.switchButton, false);
    m_switch->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tabLayout->addWidget(m_switch);

    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("RibbonPanels"));
    for (const XRibbonCategory& c : m_def.categories) {
        if (c.context)
            continue;
        m_tabCategories.push_back(&c);
        m_tabs->addTab(c.label);
        m_stack->addWidget(BuildCategory(c));
    }
    connect(m_tabs, &QTabBar::currentChanged, m_stack, &QStackedWidget::setCurrentIndex);
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        if (m_bMinimized && index >= 0) {
            m_bDropped = !m_bDropped || index != m_tabs->currentIndex();
            m_stack->setVisible(m_bDropped);
        }
    });
    connect(m_tabs, &QTabBar::tabBarDoubleClicked, this, [this](int index) {
        if (index >= 0)
            SetMinimized(!m_bMinimized);
    });

    m_layout->addWidget(m_qat);
    m_layout->addWidget(tabRow);
    m_layout->addWidget(m_stack);
    m_qatCustomizeAction = m_qat->addWidget(m_qatCustomize);
    installEventFilter(this);
    SetQatCommands(m_def.qat);
}

XRibbonBar::~XRibbonBar() = default;

QWidget* XRibbonBar::BuildCategory(const XRibbonCategory& category)
{
    auto* page = new QWidget(m_stack);
    page->setObjectName(QStringLiteral("RibbonCategory"));
    auto* row = new QHBoxLayout(page);
    row->setContentsMargins(2, 2, 2, 2);
    row->setSpacing(2);
    for (const XRibbonPanel& p : category.panels) {
        row->addWidget(BuildPanel(p));
        row->addWidget(VerticalLine(page));
    }
    row->addStretch(1);
    return page;
}

QWidget* XRibbonBar::BuildPanel(const XRibbonPanel& panel)
{
    auto* box = new QWidget;
    box->setObjectName(QStringLiteral("RibbonPanel"));
    auto* outer = new QVBoxLayout(box);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(1);
    outer->addLayout(columns, 1);
    auto* label = new QLabel(panel.label, box);
    label->setAlignment(Qt::AlignCenter);
    label->setObjectName(QStringLiteral("RibbonPanelLabel"));
    outer->addWidget(label);

    // small elements stack three to a column; a large one or a separator ends the column
    QVBoxLayout* column = nullptr;
    int inColumn = 0;
    auto endColumn = [&] {
        if (column)
            column->addStretch(1);
        column = nullptr;
        inColumn = 0;
    };
    for (const XRibbonElement& e : panel.elements) {
        if (e.kind == XRibbonElement::Kind::Separator) {
            endColumn();
            continue;
        }
        if (e.large) {
            endColumn();
            columns->addWidget(BuildElement(e, true));
            continue;
        }
        if (!column || inColumn == 3) {
            endColumn();
            column = new QVBoxLayout;
            column->setSpacing(0);
            columns->addLayout(column);
        }
        column->addWidget(BuildElement(e, false), 0, Qt::AlignLeft);
        ++inColumn;
    }
    endColumn();
    box->setFixedHeight(m_metrics.rowHeight * 3 + label->sizeHint().height() + 4);
    return box;
}

QWidget* XRibbonBar::BuildElement(const XRibbonElement& e, bool large)
{
    using K = XRibbonElement::Kind;
    if (e.kind == K::Row) {
        auto* row = new QWidget;
        auto* layout = new QHBoxLayout(row);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(1);
        for (const XRibbonElement& sub : e.items)
            layout->addWidget(BuildElement(sub, false));
        layout->addStretch(1);
        return row;
    }
    if (e.kind == K::Combo) {
        auto* combo = new QComboBox;
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->setObjectName(QStringLiteral("RibbonCombo%1").arg(e.id));
        combo->setFixedWidth(e.width * m_metrics.smallIcon / 16 + m_metrics.rowHeight * 2);
        combo->setFixedHeight(m_metrics.rowHeight);
        QAction* a = m_actionFor(e.id);
        // Enter or a chosen entry runs the command; leaving the box runs nothing
        connect(combo->lineEdit(), &QLineEdit::returnPressed, a, [a] { a->trigger(); });
        connect(combo, &QComboBox::activated, a, [a] { a->trigger(); });
        auto sync = [combo, a] {
            combo->setEnabled(a->isEnabled());
            combo->setToolTip(a->toolTip());
        };
        connect(a, &QAction::changed, combo, sync);
        sync();
        m_combos.emplace(e.id, combo);
        Watch(combo, e.id); // the edit inside keeps its own menu (cut, copy, paste)
        return combo;
    }
    return MakeButton(e, large);
}

QToolButton* XRibbonBar::MakeButton(const XRibbonElement& e, bool large)
{
    auto* b = new QToolButton;
    b->setObjectName(QStringLiteral("RibbonButton%1").arg(e.id));
    b->setAutoRaise(true);
    QAction* a = m_actionFor(e.id);
    b->setText(e.label.isEmpty() && a ? a->text() : e.label);
    b->setProperty(kElementId, e.id);
    if (a)
        Bind(b, a);
    if (a)
        connect(a, &QAction::triggered, this, &XRibbonBar::OnCommandTriggered);
    if (large) {
        b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        b->setIconSize(QSize(m_metrics.largeIcon, m_metrics.largeIcon));
        b->setMinimumHeight(m_metrics.rowHeight * 3);
        // the label under the icon is never cut short
        b->setMinimumWidth(std::max(m_metrics.largeIcon, b->fontMetrics().horizontalAdvance(b->text())) +
                           m_metrics.smallIcon / 2);
        b->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    } else {
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        b->setIconSize(QSize(m_metrics.smallIcon, m_metrics.smallIcon));
        b->setFixedHeight(m_metrics.rowHeight);
    }
    if (e.kind == XRibbonElement::Kind::Menu) {
        auto* menu = new QMenu(b);
        FillMenu(menu, e.items);
        b->setMenu(menu);
        b->setPopupMode(QToolButton::InstantPopup);
        // the button opens its menu; its action only carries the enabled state
        disconnect(b, &QToolButton::clicked, nullptr, nullptr);
        m_menus[e.id] = menu;
    }
    m_buttons.emplace(e.id, b);
    Watch(b, e.id);
    return b;
}

void XRibbonBar::FillMenu(QMenu* menu, const std::vector<XRibbonElement>& items)
{
    for (const XRibbonElement& sub : items) {
        if (sub.kind == XRibbonElement::Kind::Separator) {
            menu->addSeparator();
        } else if (QAction* a = m_actionFor(sub.id)) {
            menu->addAction(a);
            connect(a, &QAction::triggered, this, &XRibbonBar::OnCommandTriggered, Qt::UniqueConnection);
        }
    }
}

void XRibbonBar::FillMenu(QMenu* menu, int buttonId, const XMenuSpec& spec)
{
    for (const XMenuItem& item : spec) {
        if (item.IsSeparator()) {
            menu->addSeparator();
            continue;
        }
        if (!item.children.empty()) {
            QMenu* sub = menu->addMenu(item.text);
            FillMenu(sub, buttonId, item.children);
            continue;
        }
        QAction* a = m_actionFor(item.id);
        if (!a)
            continue;
        a->setText(item.text.left(254));
        if (a->icon().isNull()) {
            const auto it = ImageMemory().find({buttonId, item.id});
            if (it != ImageMemory().end())
                a->setIcon(it->second);
        }
        menu->addAction(a);
        connect(a, &QAction::triggered, this, &XRibbonBar::OnCommandTriggered, Qt::UniqueConnection);
    }
}

void XRibbonBar::SetMenuItems(int buttonId, const XMenuSpec& spec)
{
    QMenu* menu = DropDownMenu(buttonId);
    if (!menu || buttonId == 0)
        return;
    for (QAction* a : menu->actions())
        if (!a->isSeparator() && a->data().toInt() != 0 && !a->icon().isNull())
            ImageMemory()[{buttonId, a->data().toInt()}] = a->icon();
    // actions are shared: taking them out of the menu must not delete them
    for (QAction* a : menu->actions())
        menu->removeAction(a);
    for (QMenu* sub : menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly))
        delete sub;
    FillMenu(menu, buttonId, spec);
}

void XRibbonBar::Watch(QWidget* w, int id)
{
    w->setProperty(kElementId, id);
    w->installEventFilter(this);
}

bool XRibbonBar::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::ContextMenu) {
        auto* ce = static_cast<QContextMenuEvent*>(e);
        if (watched == m_qat) {
            QAction* a = m_qat->actionAt(ce->pos());
            emit contextMenuWanted(ce->globalPos(), a ? a->data().toInt() : 0, XRibbonHit::Qat);
            return true;
        }
        const int id = watched->property(kElementId).toInt();
        emit contextMenuWanted(ce->globalPos(), id, id ? XRibbonHit::Element : XRibbonHit::Empty);
        return true;
    }
    return QWidget::eventFilter(watched, e);
}

void XRibbonBar::OnCommandTriggered()
{
    if (m_bDropped) {
        m_bDropped = false;
        m_stack->setVisible(false);
    }
}

int XRibbonBar::CategoryCount() const { return m_tabs->count(); }
int XRibbonBar::ActiveCategory() const { return m_tabs->currentIndex(); }

void XRibbonBar::SetActiveCategory(int index)
{
    if (index >= 0 && index < m_tabs->count() && index != m_tabs->currentIndex())
        m_tabs->setCurrentIndex(index);
}

QString XRibbonBar::CategoryLabel(int index) const { return m_tabs->tabText(index); }

const XRibbonCategory* XRibbonBar::Category(int index) const
{
    return index >= 0 && index < static_cast<int>(m_tabCategories.size()) ? m_tabCategories[index] : nullptr;
}

QToolButton* XRibbonBar::Button(int id) const
{
    if (id == 0)
        return m_appButton;
    const auto it = m_buttons.find(id);
    return it == m_buttons.end() ? nullptr : it->second;
}

QComboBox* XRibbonBar::Combo(int id) const
{
    const auto it = m_combos.find(id);
    return it == m_combos.end() ? nullptr : it->second;
}

QMenu* XRibbonBar::DropDownMenu(int buttonId) const
{
    const auto it = m_menus.find(buttonId);
    return it == m_menus.end() ? nullptr : it->second;
}

QWidget* XRibbonBar::PanelArea() const { return m_stack; }

void XRibbonBar::SetQatCommands(const std::vector<int>& ids)
{
    m_qatIds.clear();
    for (int id : ids)
        if (id == 0 || m_def.Find(id))
            m_qatIds.push_back(id);
    RebuildQat();
}

bool XRibbonBar::HasQatCommand(int id) const { return id != 0 && std::ranges::count(m_qatIds, id) > 0; }

void XRibbonBar::AddQatCommand(int id)
{
    if (id == 0 || (!HasQatCommand(id) && m_def.Find(id))) {
        m_qatIds.push_back(id);
        RebuildQat();
    }
}

void XRibbonBar::RemoveQatCommand(int id)
{
    if (std::erase(m_qatIds, id) > 0)
        RebuildQat();
}

void XRibbonBar::RebuildQat()
{
    for (QAction* a : m_qat->actions()) {
        if (a == m_qatCustomizeAction)
            continue;
        m_qat->removeAction(a); // shared actions stay alive; the toolbar's own separators go
        if (a->isSeparator() && a->parent() == m_qat)
            delete a;
    }
    for (int id : m_qatIds) {
        if (id == 0)
            m_qat->insertSeparator(m_qatCustomizeAction);
        else if (QAction* a = m_actionFor(id))
            m_qat->insertAction(m_qatCustomizeAction, a);
    }
    emit layoutChanged();
}

void XRibbonBar::SetQatOnBottom(bool bottom)
{
    if (bottom == m_bQatOnBottom)
        return;
    m_bQatOnBottom = bottom;
    m_layout->removeWidget(m_qat);
    m_layout->insertWidget(bottom ? m_layout->count() : 0, m_qat);
    emit layoutChanged();
}

void XRibbonBar::SetMinimized(bool minimized)
{
    m_bMinimized = minimized;
    m_bDropped = false;
    m_stack->setVisible(!minimized);
    emit layoutChanged();
}
