#include "CXNavbar.h"

#include "CModule.h"
#include "CXItem.h"
#include "CommandIds.h"
#include "LayoutKeys.h"
#include "RecordConsts.h"
#include "Resources.h"
#include "Settings.h"
#include "XAppServices.h"
#include "XDrawing.h"
#include "XMainWindow.h"
#include "XUi.h"

#include <QtGui/QMouseEvent>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMainWindow>
#include <QtWidgets/QTreeWidget>

// clang-format off
X_BEGIN_MESSAGE_MAP(CXNavbar, XCmdTarget)
    X_ON_COMMAND(ID_VIEW_NAVBAR, OnToggle)
    X_ON_COMMAND(ID_NAVBAR_COLLAPSEALL, OnCollapseAll)
    X_ON_COMMAND(ID_NAVBAR_EXPANDALL, OnExpandAll)
    X_ON_UPDATE_COMMAND_UI(ID_VIEW_NAVBAR, OnUpdateAlways)
X_END_MESSAGE_MAP()
// clang-format on

namespace {

int MinWidth(int dpi) { return dpi * 40 / 96; }
int DefaultWidth(int dpi) { return dpi * 110 / 96; }

const QString kCommonGroup = QStringLiteral("常用操作");

// The pane's caption: it must not keep the pane wider than the width at which it hides.
class XNavCaption : public QLabel
{
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }
};

} // namespace

std::vector<XNavGroup> BuildNavTree(const std::vector<CModule*>& modules, const CXItem* user)
{
    std::vector<XNavGroup> groups;
    for (CModule* module : modules) {
        if (module->IsHidden() || !user || !module->HasRight(*user, RIGHT_QRY))
            continue;
        const QString group = LoadStringText(module->GetMduID()).split(u'\n').value(2);
        auto it = std::ranges::find(groups, group, &XNavGroup::name);
        if (it == groups.end())
            it = groups.insert(groups.end(), XNavGroup{group, {}});
        it->ids.push_back(module->GetMduID());
    }
    XNavGroup common{kCommonGroup, {}};
    for (CModule* module : modules)
        if (module->GetAddNewCmd() != 0 && user && module->HasRight(*user, RIGHT_ADD))
            common.ids.push_back(module->GetAddNewCmd());
    groups.push_back(std::move(common));
    return groups;
}

CXNavbar::CXNavbar(QMainWindow* frame) : QDockWidget(LoadCommandText(ID_VIEW_NAVBAR), frame), m_frame(frame)
{
    setObjectName(QStringLiteral("Navbar"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    // a caption of our own: the framework's would keep the pane wider than the width at
    // which it hides itself
    auto* caption = new XNavCaption(windowTitle(), this);
    caption->setObjectName(QStringLiteral("NavbarCaption"));
    caption->setContentsMargins(4, 2, 4, 2);
    caption->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(caption, &QLabel::customContextMenuRequested, this,
            [this, caption](const QPoint& pos) { ShowCaptionMenu(caption->mapToGlobal(pos)); });
    setTitleBarWidget(caption);

    m_wndTree = new QTreeWidget(this);
    m_wndTree->setObjectName(QStringLiteral("NavTree"));
    m_wndTree->setHeaderHidden(true);
    m_wndTree->setRootIsDecorated(false);
    m_wndTree->setIndentation(RowHeight() / 2);
    m_wndTree->setMouseTracking(true); // hot tracking
    m_wndTree->setDragEnabled(false);
    m_wndTree->setMinimumWidth(1);
    m_wndTree->setFrameShape(QFrame::NoFrame);
    const int small = 16 * ScreenDpi() / 96;
    m_wndTree->setIconSize(QSize(small, small));
    const int dpiRow = ScreenDpi() * 24 / 96;
    m_wndTree->setProperty("navRowHeight", dpiRow > 25 ? dpiRow - 2 : 24);
    m_wndTree->viewport()->installEventFilter(this);
    connect(m_wndTree, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) { SetGroupImage(item); });
    connect(m_wndTree, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) { SetGroupImage(item); });
    setWidget(m_wndTree);
    setMinimumWidth(1);
}

void CXNavbar::SetGroupImage(QTreeWidgetItem* root) const
{
    root->setIcon(0, AppServices().CommandIcon(root->isExpanded() ? ID_ARROW_DN : ID_PHOTO_NEXT, 0xFFFFFF, false));
}

void CXNavbar::RestoreLayout(const QString& section)
{
    m_wndTree->setUpdatesEnabled(false);
    m_wndTree->clear();
    const int rowHeight = m_wndTree->property("navRowHeight").toInt();
    for (const XNavGroup& group : BuildNavTree(GetModules(), AppServices().User())) {
        auto* root = new QTreeWidgetItem(m_wndTree, {group.name});
        root->setData(0, Qt::UserRole, 0);
        root->setSizeHint(0, QSize(0, rowHeight));
        QFont bold = root->font(0);
        bold.setBold(true);
        root->setFont(0, bold);
        for (int id : group.ids) {
            auto* item = new QTreeWidgetItem(root, {LoadCommandText(id)});
            item->setData(0, Qt::UserRole, id);
            item->setIcon(0, AppServices().CommandIcon(id, 0, false));
            item->setToolTip(0, LoadCommandPrompt(id));
            item->setSizeHint(0, QSize(0, rowHeight));
        }
    }
    const int dpi = ScreenDpi();
    const bool visible = ReadLayout(section, VisibleKey(), 1) != 0;
    if (visible != !isHidden())
        setVisible(visible);
    int width = ReadLayout(section, WidthKey(dpi), DefaultWidth(dpi));
    if (!isHidden()) {
        if (width <= MinWidth(dpi))
            width = DefaultWidth(dpi);
        if (this->width() != width)
            DockWidth(width);
    }
    const int bits = ReadLayout(section, ExpandKey(), 0);
    for (int i = 0; i < m_wndTree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* root = m_wndTree->topLevelItem(i);
        root->setExpanded(i >= 31 || !(bits & (1 << i)));
        SetGroupImage(root);
    }
    m_wndTree->setUpdatesEnabled(true);
}

void CXNavbar::SaveLayout(const QString& section)
{
    WriteLayout(section, ExpandKey(), ExpandBits(), 0);
    WriteLayout(section, VisibleKey(), isHidden() ? 0 : 1, 1);
    const int dpi = ScreenDpi();
    if (ReadScreenDpi() == dpi && !isHidden())
        WriteLayout(section, WidthKey(dpi), width(), DefaultWidth(dpi));
}

int CXNavbar::ExpandBits() const
{
    int bits = 0;
    for (int i = 0; i < m_wndTree->topLevelItemCount() && i < 31; ++i)
        if (!m_wndTree->topLevelItem(i)->isExpanded())
            bits |= 1 << i;
    return bits;
}

void CXNavbar::DockWidth(int width)
{
    if (m_frame)
        m_frame->resizeDocks({this}, {width}, Qt::Horizontal);
}

void CXNavbar::OnToggle()
{
    if (!isHidden()) {
        hide();
        return;
    }
    show();
    const int dpi = ScreenDpi();
    if (width() < MinWidth(dpi))
        DockWidth(DefaultWidth(dpi));
}

void CXNavbar::OnCollapseAll()
{
    for (int i = 0; i < m_wndTree->topLevelItemCount(); ++i)
        m_wndTree->topLevelItem(i)->setExpanded(false);
}

void CXNavbar::OnExpandAll()
{
    for (int i = 0; i < m_wndTree->topLevelItemCount(); ++i)
        m_wndTree->topLevelItem(i)->setExpanded(true);
}

void CXNavbar::OnUpdateAlways(XCmdUI* ui)
{
    ui->Enable(true);
    ui->SetCheck(isHidden() ? 0 : 1);
}

int CXNavbar::CommandAt(const QPoint& pos) const
{
    QTreeWidgetItem* item = m_wndTree->itemAt(pos);
    if (!item || item->childCount() > 0)
        return 0;
    const int id = item->data(0, Qt::UserRole).toInt();
    if (id == 0)
        return 0;
    // only the text counts, not the icon or the empty part of the row
    const QRect row = m_wndTree->visualItemRect(item);
    const int textLeft = row.left() + m_wndTree->iconSize().width() + 6;
    const int textRight = textLeft + m_wndTree->fontMetrics().horizontalAdvance(item->text(0)) + 4;
    return pos.x() >= textLeft && pos.x() <= textRight ? id : 0;
}

bool CXNavbar::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_wndTree->viewport() && e->type() == QEvent::MouseButtonRelease) {
        auto* me = static_cast<QMouseEvent*>(e);
        if (me->button() == Qt::LeftButton)
            if (const int id = CommandAt(me->position().toPoint()))
                XPostCommand(XGetMainWindow(), id);
    }
    return QDockWidget::eventFilter(watched, e);
}

void CXNavbar::resizeEvent(QResizeEvent* e)
{
    QDockWidget::resizeEvent(e);
    // squeezed away by the user: hidden (only once the frame is on the screen, since a frame
    // being laid out passes through small sizes)
    if (isVisible() && window()->isVisible() && width() < MinWidth(ScreenDpi()))
        hide();
}

void CXNavbar::ShowCaptionMenu(const QPoint& globalPos)
{
    const XMenuSpec menu = {{ID_VIEW_NAVBAR, QStringLiteral("隐藏(&H)"), {}},
                            {},
                            {ID_NAVBAR_COLLAPSEALL, LoadCommandText(ID_NAVBAR_COLLAPSEALL, true), {}},
                            {ID_NAVBAR_EXPANDALL, LoadCommandText(ID_NAVBAR_EXPANDALL, true), {}}};
    if (const int id = XUi::TrackPopupMenu(menu, globalPos, this))
        DispatchCommand(id);
}
