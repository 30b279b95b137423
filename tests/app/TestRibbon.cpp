#include "CDlgRibbonQAT.h"
#include "CXMFCToolBarMenuButton.h"
#include "CLorvanApp.h"
#include "CLorvanView.h"
#include "CXMFCStatusBar.h"
#include "CXNavbar.h"
#include "CXRibbonBar.h"
#include "CommandIds.h"
#include "FrameFixture.h"
#include "RecordLookups.h"
#include "Settings.h"
#include "XCmdUpdater.h"
#include "XCommandActions.h"
#include "XUi.h"

#include <QtGui/QAction>
#include <QtGui/QFocusEvent>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QToolButton>

namespace {

int FindRows()
{
    return static_cast<int>(
        QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1").arg(OPER_FIND)));
}

std::vector<int> Ids(std::initializer_list<int> ids) { return ids; }

} // namespace

// --- the definition, as data --------------------------------------------------------------

TEST(RibbonDefinition, TheResourceHoldsTheTabsPanelsAndToolbarOfTheProgram)
{
    const XRibbonDef def = CXRibbonBar::LoadDefinition();
    ASSERT_EQ(def.categories.size(), 3u);
    EXPECT_EQ(def.mainLabel, QStringLiteral("文件"));
    EXPECT_EQ(def.mainItems.size(), 16u); // 11 commands and 5 separators
    EXPECT_EQ(def.qat, Ids({ID_ADDNEW_RECEIPT, ID_ADDNEW_COLLECT, ID_ADDNEW_STUDENT, ID_ADDNEW_TEACHER,
                            ID_ADDNEW_EDUSCH, ID_ADDNEW_EDURCD}));
    EXPECT_EQ(def.switchButton.id, ID_RIBBON_SWITCH);
    QStringList panels;
    for (const XRibbonPanel& p : def.categories[0].panels)
        panels << p.label;
    EXPECT_EQ(panels.join(u' '), QStringLiteral("编辑 查看 操作 查询 查找 选择 选项 列表 视图"));
    EXPECT_EQ(def.categories[1].label, QStringLiteral("导航"));
    EXPECT_TRUE(def.categories[2].context);
    // the find box sits in a row of its own, the six drop-downs keep their placeholder entries
    const XRibbonElement* find = def.Find(ID_FIND_WHAT);
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(find->kind, XRibbonElement::Kind::Combo);
    EXPECT_EQ(find->width, 100);
    for (int id :
         {ID_SUBMENU_RELATE, ID_SUBMENU_QUERY, ID_SUBMENU_ORDER, ID_SUBMENU_GROUP, ID_SUBMENU_CALC, ID_SUBMENU_UNIT}) {
        ASSERT_NE(def.Find(id), nullptr) << id;
        EXPECT_EQ(def.Find(id)->kind, XRibbonElement::Kind::Menu) << id;
        EXPECT_FALSE(def.Find(id)->items.empty()) << id;
    }
    EXPECT_EQ(def.Find(ID_QUERY_USER)->label, QStringLiteral("自定义查询(&Q) ..."));
    // every element shows a text: its own label or its command's name
    for (int id : def.CommandIds()) {
        const XRibbonElement* e = def.Find(id);
        EXPECT_TRUE(!e->label.isEmpty() || !LoadCommandText(id).isEmpty()) << id;
    }
}

TEST(RibbonDefinition, AMalformedDefinitionIsRefusedWithItsPlace)
{
    XRibbonDef def;
    QString error;
    EXPECT_FALSE(ParseRibbonDef(
        QStringLiteral("<ribbon>\n<category label=\"x\"><button id=\"1\"/></category></ribbon>"), def, &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("2:"))) << qPrintable(error);
    EXPECT_FALSE(ParseRibbonDef(QStringLiteral("<ribbon><category><panel><button id=\"1\">"), def, &error));
    EXPECT_TRUE(def.categories.empty());
    EXPECT_FALSE(ParseRibbonDef(QStringLiteral("<menu/>"), def, &error));
}

TEST(RibbonDefinition, QuickAccessCommandsAreStoredAsCommaSeparatedIds)
{
    const struct
    {
        QString text;
        std::vector<int> ids;
    } cases[] = {{QStringLiteral("32775,0,32776"), {32775, 0, 32776}},
                 {QString(), {}},
                 {QStringLiteral(" 32772 ,x,,-5,32773"), {32772, 32773}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(qPrintable(c.text));
        EXPECT_EQ(ParseQatCommands(c.text), c.ids);
    }
    EXPECT_EQ(FormatQatCommands({32775, 0, 32776}), QStringLiteral("32775,0,32776"));
}

TEST(RibbonDefinition, FindHistoryKeepsTheNewestDistinctTexts)
{
    QStringList texts;
    for (int i = 25; i >= 1; --i) // newest first: 25 .. 1, with blanks and repeats between
        texts << QStringLiteral(" t%1 ").arg(i) << QString() << QStringLiteral("t%1").arg(i);
    const QStringList history = DistinctHistory(texts, 20);
    ASSERT_EQ(history.size(), 20);
    EXPECT_EQ(history.first(), QStringLiteral("t25"));
    EXPECT_EQ(history.last(), QStringLiteral("t6")); // 25 - 19
}

// --- the ribbon in the frame ---------------------------------------------------------------

using Ribbon = FrameFixture;

// Every command the ribbon offers either reaches a handler or is shown disabled by its
// update rule, for the administrator and for an operator with a few rights, with and
// without a module window.
TEST_F(Ribbon, EveryCommandReachesAHandlerOrIsDisabled)
{
    const std::vector<int> ids = m_frame->RibbonBar()->Definition().CommandIds();
    // what must be on for the administrator with the course window open
    const std::set<int> adminOn = {MDU_COURSE,           MDU_STUDENT,      ID_ADDNEW_STUDENT, ID_EDIT_ADDNEW,
                                   ID_EDIT_REFRESH,      ID_SUBMENU_QUERY, ID_VIEW_NAVBAR,    ID_VIEW_STATUS_BAR,
                                   ID_VIEW_DETAIL,       ID_FIND_WHAT,     ID_EDIT_FIND,      ID_XCTRL_SELALL,
                                   ID_APP_LOGOUT,        ID_APP_EXIT,      ID_RIBBON_SWITCH,  ID_XCTRL_RIGHTALL,
                                   ID_APPLOOK_WINDOWS_10};
    const struct
    {
        const char* who;
        int role;
        std::initializer_list<std::pair<int, int>> rights;
        std::set<int> on, off;
    } cases[] = {
        {"administrator", 2, {}, adminOn, {}},
        // queries courses and students, adds students only
        {"operator",
         1,
         {{MDU_COURSE, RIGHT_QRY}, {MDU_STUDENT, RIGHT_QRY | RIGHT_ADD}},
         {MDU_COURSE, MDU_STUDENT, ID_ADDNEW_STUDENT, ID_VIEW_NAVBAR, ID_EDIT_REFRESH},
         {MDU_TEACHER, MDU_OPERLOG, MDU_CHARGE, ID_ADDNEW_TEACHER, ID_ADDNEW_COLLECT, ID_EDIT_ADDNEW}},
    };
    CLorvanApp app; // the module commands and logout are the application's
    m_frame->m_pApp = &app;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.who);
        m_user.m_nRightRole = c.role;
        if (c.role == 1)
            BecomeOperator(c.rights);
        app.m_user.m_nMduID = m_user.m_nMduID;
        app.m_user.m_strName = m_user.m_strName;
        app.m_user.m_nRightRole = m_user.m_nRightRole;
        app.m_user.m_strRightData = m_user.m_strRightData;
        CLorvanApp::OpenModule(MDU_COURSE);
        Pump();
        ASSERT_NE(m_frame->GetActiveModule(), nullptr);
        XCommandActions& actions = *m_frame->Actions();
        for (bool withWindow : {true, false}) {
            SCOPED_TRACE(withWindow ? "course window open" : "no window");
            if (!withWindow) {
                m_frame->CloseAllDocuments();
                Pump();
            }
            int handled = 0;
            for (int id : ids) {
                QAction* a = actions.Action(id);
                XCmdUpdater::UpdateAction(a, m_frame.get());
                const bool reaches = m_frame->OnCmdMsg(id, XCN_COMMAND, nullptr, true);
                // a drop-down's own id only opens its menu
                const bool dropDown = m_frame->RibbonBar()->Definition().Find(id)->kind == XRibbonElement::Kind::Menu;
                if (a->isEnabled() && !dropDown) {
                    EXPECT_TRUE(reaches) << id << " is enabled with nobody to run it";
                    ++handled;
                }
                if (withWindow && c.on.count(id)) {
                    EXPECT_TRUE(a->isEnabled()) << id;
                }
                if (c.off.count(id)) {
                    EXPECT_FALSE(a->isEnabled()) << id;
                }
            }
            EXPECT_GT(handled, 10);
        }
    }
    m_frame->m_pApp = nullptr;
}

// The actions are shared: the ribbon's button, the toolbar's and the menu's entry are one
// command, and an update pass sets all of them.
TEST_F(Ribbon, OneActionPerCommandServesRibbonToolbarAndMenus)
{
    CXRibbonBar& ribbon = *m_frame->RibbonBar();
    QAction* addStudent = m_frame->Actions()->Action(ID_ADDNEW_STUDENT);
    EXPECT_TRUE(ribbon.Qat()->actions().contains(addStudent));
    QToolButton* button = ribbon.Button(ID_ADDNEW_STUDENT);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QStringLiteral("登记学员"));
    EXPECT_TRUE(ribbon.DropDownMenu(0)->actions().contains(m_frame->Actions()->Action(ID_APP_LOGOUT)));
    BecomeOperator({{MDU_STUDENT, RIGHT_QRY}});
    m_frame->Actions()->Update();
    EXPECT_FALSE(addStudent->isEnabled());
    EXPECT_FALSE(button->isEnabled());
    m_user.m_nRightRole = 2;
    m_frame->Actions()->Update();
    EXPECT_TRUE(button->isEnabled());
    // clicking the ribbon button runs the command: the student page opens
    XUiTestHooks hooks;
    hooks.onModal = [](QDialog*) { return IDCANCEL; };
    button->click();
    ASSERT_EQ(hooks.Calls(QStringLiteral("Modal")).size(), 1u);
}

TEST_F(Ribbon, TheDropDownsFollowTheActiveWindowAndKeepTheirEntryImages)
{
    CXRibbonBar& ribbon = *m_frame->RibbonBar();
    QAction* custom = m_frame->Actions()->Action(ID_QUERY_USER);
    QPixmap pixel(16, 16);
    pixel.fill(Qt::red);
    custom->setIcon(QIcon(pixel)); // the image the definition's entry brings
    CLorvanApp::OpenModule(MDU_COURSE);
    Pump();
    CModule* courses = FindModule(MDU_COURSE);
    for (int round = 0; round < 2; ++round) {
        m_frame->OnStatusBar(0);
        QMenu* menu = ribbon.DropDownMenu(ID_SUBMENU_QUERY);
        ASSERT_NE(menu, nullptr);
        const XMenuSpec spec = courses->CreateQueryMenu();
        ASSERT_EQ(menu->actions().size(), static_cast<qsizetype>(spec.size()));
        for (size_t i = 0; i < spec.size(); ++i)
            EXPECT_EQ(menu->actions()[i]->data().toInt(), spec[i].id) << i;
        EXPECT_TRUE(menu->actions().contains(custom));
        EXPECT_FALSE(custom->icon().isNull()) << "round " << round;
    }
    // a scheme from the drop-down runs like the module's own command
    QMenu* menu = ribbon.DropDownMenu(ID_SUBMENU_QUERY);
    QAction* scheme = nullptr;
    for (QAction* a : menu->actions())
        if (a->data().toInt() >= ID_QUERY_PRJ00 && a->data().toInt() < ID_QUERY_PRJ00 + 30)
            scheme = a;
    ASSERT_NE(scheme, nullptr);
    m_frame->Actions()->Update();
    EXPECT_TRUE(scheme->isEnabled());
}

TEST_F(Ribbon, TheFindBoxOffersTheModulesNewestTwentyFinds)
{
    CXDBSession s;
    s.Connect();
    // 25 distinct texts a day apart, each found twice, plus a blank and another module's
    for (int i = 1; i <= 25; ++i)
        for (int k = 0; k < 2; ++k)
            ASSERT_TRUE(s.ExecuteSql(QStringLiteral("INSERT INTO TB_OPERLOG (OperTime, TypeID, MduID, OperMemo) "
                                                    "VALUES (%1, %2, %3, 'find %4')")
                                         .arg(46000 + i * 2 + k)
                                         .arg(OPER_FIND)
                                         .arg(MDU_COURSE)
                                         .arg(i)));
    ASSERT_TRUE(s.ExecuteSql(QStringLiteral("INSERT INTO TB_OPERLOG (OperTime, TypeID, MduID, OperMemo) VALUES "
                                            "(47000, %1, %2, ''), (47000, %1, %3, 'other')")
                                 .arg(OPER_FIND)
                                 .arg(MDU_COURSE)
                                 .arg(MDU_STUDENT)));
    const QStringList history = CXRibbonBar::ReadFindHistory(MDU_COURSE);
    ASSERT_EQ(history.size(), 20);
    EXPECT_EQ(history.first(), QStringLiteral("find 25"));
    EXPECT_EQ(history.last(), QStringLiteral("find 6"));
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE name='IX_OPERLOG_FIND'")), 1);

    CLorvanApp::OpenModule(MDU_COURSE);
    Pump();
    m_frame->OnStatusBar(0);
    QComboBox* box = m_frame->RibbonBar()->Combo(ID_FIND_WHAT);
    ASSERT_EQ(box->count(), 20);
    EXPECT_EQ(box->itemText(0), QStringLiteral("find 25"));
}

// Typing into the find box and leaving it runs nothing; Enter runs the find, which logs
// the hit and moves the selection.
TEST_F(Ribbon, LeavingTheFindBoxDoesNotFind)
{
    m_frame->resize(1280, 720);
    m_frame->show();
    CLorvanApp::OpenModule(MDU_COURSE);
    Pump();
    auto* view = qobject_cast<CLorvanView*>(FindModule(MDU_COURSE)->GetView());
    ASSERT_NE(view, nullptr);
    QLineEdit* edit = m_frame->RibbonBar()->FindEdit();
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->setText(QStringLiteral("美术"));
    view->GetList()->setFocus();
    QFocusEvent out(QEvent::FocusOut, Qt::MouseFocusReason);
    QCoreApplication::sendEvent(edit, &out);
    Pump();
    EXPECT_EQ(FindRows(), 0);
    EXPECT_EQ(view->GetList()->GetSelectedCount(), 0);
    emit edit->returnPressed();
    Pump();
    EXPECT_EQ(FindRows(), 1);
    EXPECT_EQ(view->GetList()->GetSelectedCount(), 1);
    EXPECT_EQ(edit->text(), QStringLiteral("美术")); // the refresh after the find keeps the text
}

TEST_F(Ribbon, FindBalloonPointsIntoTheFindBox)
{
    XUiTestHooks hooks;
    m_frame->RibbonBar()->ShowFindBalloon(2, QStringLiteral("请输入"));
    const auto calls = hooks.Calls(QStringLiteral("Balloon"));
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].widget, m_frame->RibbonBar()->FindEdit());
    EXPECT_EQ(calls[0].caption, QStringLiteral("查找内容"));
    EXPECT_EQ(calls[0].type, 2);
    const QRect box = m_frame->RibbonBar()->FindEdit()->rect();
    EXPECT_TRUE(box.contains(calls[0].anchor.center()));
    EXPECT_LT(calls[0].anchor.width(), box.width() / 2);
}

TEST_F(Ribbon, StoredToolbarAndLayoutComeBackPerUser)
{
    const QString s = m_user.m_strName;
    CXRibbonBar* ribbon = m_frame->RibbonBar();
    // stored equal to the current toolbar: nothing changes
    WriteSetting(s, QStringLiteral("Ribbonbar.QATCommands"), FormatQatCommands(ribbon->Definition().qat));
    ribbon->RestoreLayout(s);
    EXPECT_EQ(ribbon->QatCommands(), ribbon->Definition().qat);

    WriteSetting(s, QStringLiteral("Ribbonbar.QATCommands"), QStringLiteral("32775,0,32776,12345"));
    WriteSetting(s, QStringLiteral("Ribbonbar.QATOnBottom"), QStringLiteral("1"));
    WriteSetting(s, QStringLiteral("Ribbonbar.ElementsVisible"), QStringLiteral("0"));
    WriteSetting(s, QStringLiteral("Ribbonbar.ActiveCategory"), QStringLiteral("0"));
    ribbon->RestoreLayout(s);
    EXPECT_EQ(ribbon->QatCommands(), Ids({ID_ADDNEW_RECEIPT, 0, ID_ADDNEW_STUDENT})); // 12345 is no element
    const QList<QAction*> shown = ribbon->Qat()->actions();
    ASSERT_EQ(shown.size(), 4); // two commands, the separator, the customise button
    EXPECT_EQ(shown[0]->data().toInt(), ID_ADDNEW_RECEIPT);
    EXPECT_TRUE(shown[1]->isSeparator());
    EXPECT_EQ(shown[2]->data().toInt(), ID_ADDNEW_STUDENT);
    EXPECT_TRUE(ribbon->IsQatOnBottom());
    EXPECT_TRUE(ribbon->IsMinimized());
    EXPECT_EQ(ribbon->ActiveCategory(), 0);

    ribbon->SetQatOnBottom(false);
    ribbon->SetMinimized(false);
    ribbon->SetActiveCategory(1);
    ribbon->AddQatCommand(ID_EDIT_REFRESH);
    ribbon->SaveLayout(s);
    EXPECT_EQ(ReadSetting(s, QStringLiteral("Ribbonbar.QATCommands"), QString()),
              QStringLiteral("32775,0,32776,32792"));
    // back at their defaults, so their rows are gone
    for (const char* key : {"Ribbonbar.QATOnBottom", "Ribbonbar.ElementsVisible", "Ribbonbar.ActiveCategory"})
        EXPECT_EQ(ReadSetting(s, QString::fromLatin1(key), QStringLiteral("?")), QStringLiteral("?")) << key;
}

TEST_F(Ribbon, TheContextMenuAddsRemovesAndPlacesToolbarCommands)
{
    CXRibbonBar& ribbon = *m_frame->RibbonBar();
    std::set<int> checked;
    // an element not on the toolbar offers to add it
    XMenuSpec menu = ribbon.CreateContextMenu(ID_EDIT_REFRESH, XRibbonHit::Element, checked);
    ASSERT_FALSE(menu.empty());
    EXPECT_EQ(menu.front().id, ID_RIBBON_QAT_ADD);
    EXPECT_EQ(menu.back().id, ID_RIBBON_MINIMIZE);
    ribbon.OnContextCommand(ID_RIBBON_QAT_ADD, ID_EDIT_REFRESH);
    EXPECT_TRUE(ribbon.HasQatCommand(ID_EDIT_REFRESH));
    menu = ribbon.CreateContextMenu(ID_EDIT_REFRESH, XRibbonHit::Element, checked);
    EXPECT_EQ(menu.front().id, ID_RIBBON_QAT_REMOVE);

    // on the toolbar: the default list with its checks, then the extra command, then more
    ribbon.RemoveQatCommand(ID_ADDNEW_TEACHER);
    menu = ribbon.CreateContextMenu(ID_ADDNEW_RECEIPT, XRibbonHit::Qat, checked);
    QStringList ids;
    for (const XMenuItem& item : menu)
        ids << QString::number(item.id);
    EXPECT_EQ(ids.join(u','), QStringLiteral("17096,-32775,-32772,-32776,-32777,-32774,-32773,0,-32792,0,33126,0,"
                                             "33125,0,33127"));
    EXPECT_TRUE(checked.count(-ID_ADDNEW_RECEIPT));
    EXPECT_FALSE(checked.count(-ID_ADDNEW_TEACHER));
    EXPECT_TRUE(checked.count(-ID_EDIT_REFRESH));
    EXPECT_FALSE(checked.count(ID_RIBBON_QAT_BELOW));

    // through the menu as a user picks: an entry toggles, the placement and minimising flip
    XUiTestHooks hooks;
    hooks.menuChoice = -ID_ADDNEW_TEACHER;
    ribbon.OnShowRibbonContextMenu(QPoint(), ID_ADDNEW_RECEIPT, XRibbonHit::Qat);
    EXPECT_TRUE(ribbon.HasQatCommand(ID_ADDNEW_TEACHER));
    hooks.menuChoice = IDS_CUSTOMIZE_QAT; // the title entry cannot be chosen
    ribbon.OnShowRibbonContextMenu(QPoint(), 0, XRibbonHit::Customize);
    hooks.menuChoice = ID_RIBBON_QAT_BELOW;
    ribbon.OnShowRibbonContextMenu(QPoint(), 0, XRibbonHit::Empty);
    EXPECT_TRUE(ribbon.IsQatOnBottom());
    hooks.menuChoice = ID_RIBBON_MINIMIZE;
    ribbon.OnShowRibbonContextMenu(QPoint(), 0, XRibbonHit::Empty);
    EXPECT_TRUE(ribbon.IsMinimized());
    EXPECT_EQ(hooks.Calls(QStringLiteral("Menu")).size(), 4u);
}

// The toolbar dialog: commands by category, no duplicates, moves, reset, and OK applies.
TEST_F(Ribbon, TheToolbarDialogCannotAddACommandTwice)
{
    CXRibbonBar& ribbon = *m_frame->RibbonBar();
    CDlgRibbonQAT dlg(ribbon, m_frame.get());
    ASSERT_TRUE(dlg.Create());
    QComboBox* categories = dlg.Categories();
    ASSERT_EQ(categories->count(), 3); // 文件, 操作, 导航
    EXPECT_EQ(categories->itemText(0), QStringLiteral("文件"));
    categories->setCurrentIndex(2);
    QListWidget* commands = dlg.Commands();
    auto select = [commands](int id) {
        for (int i = 0; i < commands->count(); ++i)
            if (commands->item(i)->data(Qt::UserRole).toInt() == id)
                commands->setCurrentRow(i);
        return commands->currentItem() && commands->currentItem()->data(Qt::UserRole).toInt() == id;
    };
    ASSERT_TRUE(select(ID_ADDNEW_STUDENT));
    dlg.OnAdd(); // already on the toolbar
    EXPECT_EQ(dlg.ListedIds(), ribbon.Definition().qat);
    ASSERT_TRUE(select(MDU_COURSE));
    dlg.OnAdd();
    for (int i = 0; i < 2; ++i) { // separators as often as wanted
        ASSERT_TRUE(select(0));
        dlg.OnAdd();
    }
    EXPECT_EQ(dlg.ListedIds().size(), ribbon.Definition().qat.size() + 3);
    // the course command moves up one place; then the last separator goes
    QListWidget* qat = dlg.QatList();
    qat->setCurrentRow(6);
    dlg.OnMove(IDC_QAT_UP);
    EXPECT_EQ(qat->currentRow(), 5);
    qat->setCurrentRow(qat->count() - 1);
    dlg.OnRemove();
    EXPECT_EQ(qat->currentRow(), qat->count() - 1);
    std::vector<int> expected = ribbon.Definition().qat;
    expected.insert(expected.begin() + 5, MDU_COURSE);
    expected.push_back(0);
    EXPECT_EQ(dlg.ListedIds(), expected);
    qobject_cast<QPushButton*>(dlg.GetDlgItem(IDOK))->click();
    EXPECT_EQ(ribbon.QatCommands(), expected);

    CDlgRibbonQAT again(ribbon, m_frame.get());
    ASSERT_TRUE(again.Create());
    again.OnReset();
    EXPECT_EQ(again.ListedIds(), ribbon.Definition().qat);
}

// Sizes follow the screen: at 192 dpi icons and rows are twice as large.
TEST_F(Ribbon, SizesScaleWithTheScreen)
{
    struct Size
    {
        int largeIcon, smallHeight, comboWidth;
    };
    std::map<int, Size> sizes;
    for (int dpi : {96, 192}) {
        SetScreenDpiOverride(dpi, dpi);
        MakeFrame();
        CXRibbonBar& ribbon = *m_frame->RibbonBar();
        sizes[dpi] = {ribbon.Button(ID_EDIT_ADDNEW)->iconSize().width(), ribbon.Button(ID_EDIT_REFRESH)->height(),
                      ribbon.Combo(ID_FIND_WHAT)->width()};
        EXPECT_EQ(ribbon.Button(ID_EDIT_REFRESH)->minimumHeight(), RowHeight());
    }
    EXPECT_EQ(sizes[96].largeIcon, 32);
    EXPECT_EQ(sizes[192].largeIcon, 64);
    EXPECT_EQ(sizes[96].smallHeight, 24);
    EXPECT_EQ(sizes[192].smallHeight, 46); // 192 x 24 / 96 - 2
    EXPECT_GT(sizes[192].comboWidth, sizes[96].comboWidth * 3 / 2);
}

namespace {

// A dialog whose update handlers decide one entry and leave the other alone.
class XMenuOwner : public QWidget, public XCmdTarget
{
    X_DECLARE_MESSAGE_MAP()
public:
    void OnUpdateFirst(XCmdUI* ui)
    {
        ui->Enable(false);
        ui->SetCheck(1);
    }
};

// clang-format off
X_BEGIN_MESSAGE_MAP(XMenuOwner, XCmdTarget)
    X_ON_UPDATE_COMMAND_UI(ID_EDIT_ADDNEW, OnUpdateFirst)
X_END_MESSAGE_MAP()
// clang-format on

} // namespace

TEST(ToolBarMenuButton, EntriesTakeTheParentsUpdateStatesAndOthersStayEnabled)
{
    XMenuOwner owner;
    auto* button = new CXMFCToolBarMenuButton(&owner);
    auto* menu = new QMenu(button);
    QAction* first = menu->addAction(QStringLiteral("新建"));
    first->setData(ID_EDIT_ADDNEW);
    QAction* second = menu->addAction(QStringLiteral("删除"));
    second->setData(ID_EDIT_DELETE);
    button->SetDropDownMenu(menu);
    emit menu->aboutToShow();
    EXPECT_FALSE(first->isEnabled());
    EXPECT_TRUE(first->isChecked());
    EXPECT_TRUE(second->isEnabled()); // no handler: not disabled, unlike a command menu's pass
}
