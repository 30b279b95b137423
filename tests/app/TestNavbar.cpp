#include "CDlgEdit.h"
#include "CLorvanApp.h"
#include "CLorvanView.h"
#include "EditFrame.h"
#include "CXNavbar.h"
#include "CommandIds.h"
#include "FrameFixture.h"
#include "ProgramModules.h"
#include "Settings.h"
#include "XUi.h"

#include <QtGui/QMouseEvent>

#include <algorithm>
#include <QtWidgets/QTreeWidget>

namespace {

// The tree as text: "group(name, name) group()".
QString TreeText(const std::vector<XNavGroup>& groups)
{
    QStringList parts;
    for (const XNavGroup& g : groups) {
        QStringList names;
        for (int id : g.ids)
            names << LoadCommandText(id);
        parts << g.name + u'(' + names.join(QStringLiteral(", ")) + u')';
    }
    return parts.join(u' ');
}

// The expected text, leaving out the modules this build does not register.
QString Expected(const std::vector<std::pair<QString, std::vector<int>>>& groups)
{
    std::vector<XNavGroup> kept;
    for (const auto& [name, ids] : groups) {
        XNavGroup g{name, {}};
        for (int id : ids) {
            const bool addNew = id >= ID_ADDNEW_COLLECT && id <= ID_ADDNEW_TEACHER;
            if (addNew ? CMainFrame::FindAddNewModule(id) != nullptr : FindModule(id) != nullptr)
                g.ids.push_back(id);
        }
        if (!g.ids.empty() || name == QStringLiteral("常用操作"))
            kept.push_back(std::move(g));
    }
    // groups come in the order their first module is created; the add-new group stays last
    auto created = [](const XNavGroup& g) {
        const auto& modules = GetModules();
        const auto it = std::ranges::find_if(modules, [&g](CModule* m) { return m->GetMduID() == g.ids.front(); });
        return it - modules.begin();
    };
    std::stable_sort(kept.begin(), kept.end() - 1,
                     [&created](const XNavGroup& a, const XNavGroup& b) { return created(a) < created(b); });
    return TreeText(kept);
}

} // namespace

using Navbar = FrameFixture;

TEST_F(Navbar, TheTreeFollowsTheUsersRights)
{
    // every right: the groups of the module strings in creation order, then the add-new commands
    EXPECT_EQ(TreeText(BuildNavTree(GetModules(), &m_user)),
              Expected({{QStringLiteral("日常管理"),
                         {MDU_RECEIPT, MDU_COLLECT, MDU_EDURCD, MDU_EDUSCH, MDU_STUDENT, MDU_TEACHER}},
                        {QStringLiteral("统计查询"), {MDU_WAGES, MDU_OPERLOG}},
                        {QStringLiteral("基础设置"), {MDU_COURSE, MDU_CHARGE, MDU_TEMPL}},
                        {QStringLiteral("常用操作"),
                         {ID_ADDNEW_RECEIPT, ID_ADDNEW_COLLECT, ID_ADDNEW_EDURCD, ID_ADDNEW_EDUSCH, ID_ADDNEW_STUDENT,
                          ID_ADDNEW_TEACHER}}}));
    const struct
    {
        const char* who;
        std::initializer_list<std::pair<int, int>> rights;
        QString tree;
    } cases[] = {
        {"no rights", {}, QStringLiteral("常用操作()")},
        {"adds students without querying them", {{MDU_STUDENT, RIGHT_ADD}}, QStringLiteral("常用操作(登记学员)")},
        {"queries courses, queries and adds students",
         {{MDU_COURSE, RIGHT_QRY}, {MDU_STUDENT, RIGHT_QRY | RIGHT_ADD}},
         QStringLiteral("日常管理(学员) 基础设置(课程) 常用操作(登记学员)")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.who);
        BecomeOperator(c.rights);
        EXPECT_EQ(TreeText(BuildNavTree(GetModules(), &m_user)), c.tree);
    }
    EXPECT_EQ(TreeText(BuildNavTree(GetModules(), nullptr)), QStringLiteral("常用操作()"));
}

// A click on an entry's text opens its module or starts its add-new command; a click on its
// icon or on a group does nothing.
TEST_F(Navbar, ClickingAnEntrysTextRunsItsCommand)
{
    m_frame->resize(1280, 720);
    m_frame->show();
    CLorvanApp app; // the module commands are the application's
    m_frame->m_pApp = &app;
    CXNavbar& nav = *m_frame->Navbar();
    nav.RestoreLayout(m_user.m_strName);
    Pump();
    QTreeWidget* tree = nav.Tree();
    XUiTestHooks hooks;
    hooks.onModal = [](QDialog*) { return IDCANCEL; };
    auto click = [tree](const QPoint& pos) {
        QMouseEvent release(QEvent::MouseButtonRelease, pos, tree->viewport()->mapToGlobal(pos), Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &release);
        Pump();
    };
    int modules = 0;
    int addNews = 0;
    for (int g = 0; g < tree->topLevelItemCount(); ++g) {
        QTreeWidgetItem* group = tree->topLevelItem(g);
        const QRect groupRow = tree->visualItemRect(group);
        EXPECT_EQ(nav.CommandAt(groupRow.center()), 0);
        for (int i = 0; i < group->childCount(); ++i) {
            QTreeWidgetItem* item = group->child(i);
            tree->scrollToItem(item);
            const int id = item->data(0, Qt::UserRole).toInt();
            const QRect row = tree->visualItemRect(item);
            SCOPED_TRACE(id);
            EXPECT_EQ(nav.CommandAt(QPoint(row.left() + 2, row.center().y())), 0); // the icon
            const QPoint onText(row.left() + tree->iconSize().width() + 12, row.center().y());
            ASSERT_EQ(nav.CommandAt(onText), id);
            const size_t modals = hooks.Calls(QStringLiteral("Modal")).size();
            click(onText);
            if (CModule* module = FindModule(id)) {
                if (!module->GetView())
                    continue; // a module without query schemes opens no window
                ++modules;
                ASSERT_NE(m_frame->GetActiveModule(), nullptr);
                EXPECT_EQ(m_frame->GetActiveModule()->GetMduID(), id);
            } else {
                // the record's page, for a module that has one; a new record may first ask for
                // the records it must name (a receipt's student and package), each a modal run
                const int mduId = CMainFrame::FindAddNewModule(id)->GetMduID();
                const auto entry = std::find_if(ModuleTable().begin(), ModuleTable().end(),
                                                [mduId](const XModuleEntry& e) { return e.mduId == mduId; });
                const bool hasPage = entry != ModuleTable().end() && entry->editPage;
                if (hasPage)
                    EXPECT_GT(hooks.Calls(QStringLiteral("Modal")).size(), modals);
                else
                    EXPECT_EQ(hooks.Calls(QStringLiteral("Modal")).size(), modals);
                addNews += hasPage ? 1 : 0;
            }
        }
    }
    EXPECT_GE(modules, 6);
    EXPECT_GE(addNews, 3);
    m_frame->m_pApp = nullptr;
}

TEST_F(Navbar, CollapsedGroupsAreKeptPerUser)
{
    const QString s = m_user.m_strName;
    CXNavbar& nav = *m_frame->Navbar();
    nav.RestoreLayout(s);
    QTreeWidget* tree = nav.Tree();
    ASSERT_GE(tree->topLevelItemCount(), 3);
    int stats = -1; // 统计查询: the second group once wages are built, the third before
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        if (tree->topLevelItem(i)->text(0) == QStringLiteral("统计查询"))
            stats = i;
    ASSERT_GE(stats, 1);
    EXPECT_EQ(nav.ExpandBits(), 0);
    tree->topLevelItem(stats)->setExpanded(false);
    nav.SaveLayout(s);
    EXPECT_EQ(ReadSetting(s, CXNavbar::ExpandKey(), QString()), QString::number(1 << stats));
    nav.OnExpandAll();
    nav.RestoreLayout(s);
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        EXPECT_EQ(tree->topLevelItem(i)->isExpanded(), i != stats) << i;
    nav.OnCollapseAll();
    EXPECT_EQ(nav.ExpandBits(), (1 << tree->topLevelItemCount()) - 1);
}

// Squeezed below 40 pixels the pane hides itself; shown again it comes back 110 wide, and
// its width is kept per DPI.
TEST_F(Navbar, ASqueezedPaneHidesAndComesBackAtTheDefaultWidth)
{
    SetScreenDpiOverride(96, 96);
    const QString s = m_user.m_strName;
    MakeFrame();
    m_frame->resize(1280, 720);
    m_frame->show();
    CXNavbar& nav = *m_frame->Navbar();
    WriteSetting(s, CXNavbar::WidthKey(96), QStringLiteral("150"));
    nav.RestoreLayout(s);
    Pump();
    EXPECT_NEAR(nav.width(), 150, 8);
    m_frame->resizeDocks({&nav}, {30}, Qt::Horizontal);
    Pump();
    EXPECT_TRUE(nav.isHidden());
    m_frame->DispatchCommand(ID_VIEW_NAVBAR);
    Pump();
    EXPECT_FALSE(nav.isHidden());
    EXPECT_NEAR(nav.width(), 110, 8);
    nav.SaveLayout(s);
    // values equal to their defaults (110 wide, visible) leave no rows
    EXPECT_NEAR(ReadSetting(s, CXNavbar::WidthKey(96), QStringLiteral("110")).toInt(), 110, 8);
    EXPECT_EQ(ReadSetting(s, CXNavbar::VisibleKey(), QStringLiteral("?")), QStringLiteral("?"));
    m_frame->DispatchCommand(ID_VIEW_NAVBAR);
    nav.SaveLayout(s);
    EXPECT_EQ(ReadSetting(s, CXNavbar::VisibleKey(), QStringLiteral("?")), QStringLiteral("0"));
}

TEST_F(Navbar, RowsAndIconsScaleWithTheScreen)
{
    for (int dpi : {96, 192}) {
        SCOPED_TRACE(dpi);
        SetScreenDpiOverride(dpi, dpi);
        MakeFrame();
        CXNavbar& nav = *m_frame->Navbar();
        nav.RestoreLayout(m_user.m_strName);
        EXPECT_EQ(nav.Tree()->iconSize().width(), 16 * dpi / 96);
        EXPECT_EQ(nav.Tree()->topLevelItem(0)->sizeHint(0).height(), dpi == 96 ? 24 : 46);
    }
}
