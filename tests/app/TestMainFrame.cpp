#include "CChildFrame.h"
#include "CDBCharge.h"
#include "CDlgEdit.h"
#include "CFakeAppServices.h"
#include "CLorvanApp.h"
#include "CLorvanDoc.h"
#include "CLorvanView.h"
#include "CMainFrame.h"
#include "CModuleCommands.h"
#include "CXDBSession.h"
#include "CXMFCStatusBar.h"
#include "CXPropBar.h"
#include "CHtmlCtrl.h"
#include "CommandIds.h"
#include "DesktopShortcuts.h"
#include "FixtureSchool.h"
#include "OpenDatabase.h"
#include "ProgramModules.h"
#include "ProgramSeams.h"
#include "RecordConsts.h"
#include "Resources.h"
#include "Settings.h"
#include "WebState.h"
#include "XDrawing.h"
#include "XMainWindow.h"
#include "XReadOnly.h"
#include "XUi.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtCore/QThread>
#include <QtWidgets/QMdiArea>
#include <QtWidgets/QMdiSubWindow>

#include <gtest/gtest.h>

#include <set>

namespace {

// The state an update pass leaves for one command.
struct XProbeUI : XCmdUI
{
    void Enable(bool on) override
    {
        enabled = on;
        m_bEnableChanged = true;
    }
    void SetCheck(int state) override { checked = state; }
    bool enabled = false;
    int checked = -1;
};

XProbeUI Probe(XCmdTarget& target, int id)
{
    XProbeUI ui;
    ui.m_nID = id;
    target.OnCmdMsg(id, XCN_UPDATE, &ui);
    return ui;
}

void Pump()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

// The real frame over the fixture school with every module the program registers, the
// module layer's seams and the frame's own, and the administrator logged in.
class MainFrame : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_modules.Create();
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session));
        ASSERT_TRUE(BuildFixtureSchool(m_school));
        m_user.m_nMduID = MDU_TEACHER;
        m_user.m_strName = QStringLiteral("Admin");
        m_user.m_nRightRole = 2;
        CFakeAppServices::Installed().user = &m_user;
        InstallModuleLayerSeams();
        m_frame = std::make_unique<CMainFrame>();
        CMainFrame* frame = m_frame.get();
        InstallFrameSeams(frame, frame, nullptr, [frame] {
            const CModule* module = frame->GetActiveModule();
            return module ? LoadCommandText(module->GetMduID()) : QString();
        });
    }
    void TearDown() override
    {
        InstallFrameSeams(nullptr, nullptr, nullptr, {});
        m_frame.reset();
        RemoveModuleLayerSeams();
        CFakeAppServices::Installed().Clear();
        SetScreenDpiOverride(0, 0);
        XClock::Reset();
    }

    CLorvanView* Open(int mduId)
    {
        CLorvanApp::OpenModule(mduId);
        Pump();
        CModule* module = FindModule(mduId);
        return module ? qobject_cast<CLorvanView*>(module->GetView()) : nullptr;
    }
    QString Pane(int id) const { return m_frame->StatusBar()->GetPaneText(m_frame->StatusBar()->CommandToIndex(id)); }
    static int LogRows(int type)
    {
        return static_cast<int>(
            QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1").arg(type)));
    }

    TempDatabase m_db;
    XProgramModules m_modules;
    XFixtureSchool m_school;
    CXItem m_user;
    std::unique_ptr<CMainFrame> m_frame;
};

// Every module window opens with its first query scheme, lists its records, and a selected
// record appears in the detail pane and the count pane.
TEST_F(MainFrame, EveryModuleOpensListsItsRecordsAndShowsTheSelectedOne)
{
    m_frame->resize(1280, 720);
    m_frame->show();
    int opened = 0;
    for (CModule* module : GetModules()) {
        if (module->IsHidden())
            continue;
        SCOPED_TRACE(module->GetMduID());
        CLorvanView* view = Open(module->GetMduID());
        ASSERT_NE(view, nullptr);
        ++opened;
        EXPECT_EQ(m_frame->GetActiveModule(), module);
        EXPECT_EQ(Pane(ID_INDICATOR_QUERY), module->GetQueryText(module->m_query, true, true));
        CXListCtrl* list = view->GetList();
        EXPECT_EQ(Pane(ID_INDICATOR_COUNT), QStringLiteral("0/%1").arg(list->GetItemCount()));
        if (list->GetItemCount() == 0)
            continue;
        list->SelectOnly(0);
        m_frame->OnStatusBar(0);
        EXPECT_EQ(Pane(ID_INDICATOR_COUNT), QStringLiteral("1/%1").arg(list->GetItemCount()));
        // the record's page, headed by its kind and title
        const QString shown = view->m_wndPropBar->m_wndHtml->toPlainText();
        const CXItem* item = list->GetItemData(0);
        EXPECT_TRUE(shown.contains(item->GetModuleName() + QStringLiteral("：") + item->m_strName))
            << shown.toStdString();
    }
    EXPECT_EQ(opened, static_cast<int>(m_frame->ModuleWindows().size()));
    // the packages open for enrolment on 2026-03-18: p1 (from 2024-09-01), p2 (2025-09-01 to
    // 2026-06-30) and p3 (2026-03-01 to 06-30); p4 closes today and p5 opens in September
    CLorvanView* packages = Open(MDU_CHARGE);
    ASSERT_NE(packages, nullptr);
    EXPECT_EQ(packages->GetList()->GetItemCount(), 3);
    if (!qEnvironmentVariableIsEmpty("LORVAN_SCREENSHOT")) {
        packages->GetList()->SelectOnly(0);
        m_frame->OnStatusBar(0);
        Pump();
        m_frame->grab().save(qEnvironmentVariable("LORVAN_SCREENSHOT"));
    }
}

// Opening a module that is open brings its window up and reads nothing again.
TEST_F(MainFrame, OpeningAnOpenModuleOnlyActivatesIt)
{
    CLorvanView* courses = Open(MDU_COURSE);
    ASSERT_NE(courses, nullptr);
    CXItem* first = courses->GetList()->GetItemData(0);
    ASSERT_NE(Open(MDU_CHARGE), nullptr);
    EXPECT_EQ(m_frame->GetActiveModule(), FindModule(MDU_CHARGE));
    EXPECT_EQ(Open(MDU_COURSE), courses);
    EXPECT_EQ(m_frame->GetActiveModule(), FindModule(MDU_COURSE));
    EXPECT_EQ(courses->GetList()->GetItemData(0), first); // the same records, not read again
    EXPECT_EQ(m_frame->ModuleWindows().size(), 2);
}

// A query scheme chosen in the window goes to the module, which lists its records anew and
// names the query in the status bar; refreshing keeps the selection by record ID.
TEST_F(MainFrame, AQuerySchemeRunsThroughTheWindowAndRefreshKeepsTheSelection)
{
    CLorvanView* view = Open(MDU_CHARGE);
    ASSERT_NE(view, nullptr);
    CModule& module = view->GetModule();
    CXArray schemes(nullptr, true);
    module.GetQuerySchemes(schemes);
    ASSERT_GE(schemes.GetSize(), 2);
    const CXMap before = module.m_query;
    ASSERT_TRUE(m_frame->DispatchCommand(ID_QUERY_PRJ00 + 1));
    Pump();
    EXPECT_FALSE(module.m_query.IsEqual(before));
    EXPECT_EQ(Pane(ID_INDICATOR_QUERY), module.GetQueryText(module.m_query, true, true));
    EXPECT_EQ(Pane(ID_INDICATOR_COUNT), QStringLiteral("0/%1").arg(view->GetList()->GetItemCount()));

    ASSERT_TRUE(m_frame->DispatchCommand(ID_QUERY_PRJ00));
    Pump();
    CXListCtrl* list = view->GetList();
    ASSERT_GE(list->GetItemCount(), 2);
    const int id = list->GetItemData(1)->m_nID;
    list->SelectOnly(1);
    ASSERT_TRUE(m_frame->DispatchCommand(ID_EDIT_REFRESH));
    ASSERT_EQ(list->GetSelectedCount(), 1);
    EXPECT_EQ(list->GetItemData(list->GetFirstSelected())->m_nID, id);
}

// The add-new commands follow the add right of the module that offers them; a command whose
// module is not built keeps its state.
TEST_F(MainFrame, AddNewCommandsAreEnabledExactlyByTheAddRight)
{
    CModule* students = FindModule(MDU_STUDENT);
    ASSERT_NE(students, nullptr);
    ASSERT_EQ(students->GetAddNewCmd(), ID_ADDNEW_STUDENT);
    CXMap add, queryOnly;
    add.SetText(MDU_STUDENT, QString::number(RIGHT_QRY | RIGHT_ADD));
    queryOnly.SetText(MDU_STUDENT, QString::number(RIGHT_QRY));
    const struct
    {
        int role;
        QString rights;
        bool enabled;
    } cases[] = {{2, {}, true}, {1, add.ToXml(), true}, {1, queryOnly.ToXml(), false}, {0, {}, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.role);
        m_user.m_nRightRole = c.role;
        m_user.m_nMduID = c.role == 0 ? MDU_STUDENT : MDU_TEACHER;
        m_user.m_strRightData = c.rights;
        const XProbeUI ui = Probe(*m_frame, ID_ADDNEW_STUDENT);
        EXPECT_TRUE(ui.m_bEnableChanged);
        EXPECT_EQ(ui.enabled, c.enabled);
        for (int id = ID_ADDNEW_COLLECT; id <= ID_ADDNEW_TEACHER; ++id)
            if (!CMainFrame::FindAddNewModule(id))
                EXPECT_FALSE(Probe(*m_frame, id).m_bEnableChanged) << id;
    }
}

// The view handles its record commands, the module its schemes, and the list everything
// else, even with the view and module silent about it.
TEST_F(MainFrame, CommandsTheViewDoesNotHandleReachTheList)
{
    const struct
    {
        int id;
        int code;
        bool handled;
        XViewRoute route;
    } cases[] = {
        {ID_EDIT_DELETE, XCN_COMMAND, false, XViewRoute::List},
        {ID_XCTRL_STCOLOR, XCN_UPDATE, false, XViewRoute::List},
        {ID_EDIT_REFRESH, XCN_COMMAND, true, XViewRoute::Own},
        {ID_QUERY_PRJ00, XCN_COMMAND, true, XViewRoute::Own},
        {ID_EDIT_FIND, XCN_COMMAND, false, XViewRoute::Own}, // framework ids keep the normal routing
        {ID_EDIT_DELETE, 7, false, XViewRoute::Own},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RouteViewCommand(c.id, c.code, c.handled), c.route) << c.id;

    CLorvanView* view = Open(MDU_COURSE);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->HasCommandHandler(ID_EDIT_ADDNEW, XCN_COMMAND));
    EXPECT_TRUE(view->HasCommandHandler(ID_QUERY_PRJ00, XCN_COMMAND)); // the module's
    EXPECT_FALSE(view->HasCommandHandler(ID_XCTRL_STCOLOR, XCN_COMMAND));
    const int colours = view->GetList()->m_bStatusColor;
    ASSERT_TRUE(m_frame->DispatchCommand(ID_XCTRL_STCOLOR));
    EXPECT_NE(view->GetList()->m_bStatusColor, colours);
    // delete is enabled by the list once a row is selected and the user may delete
    EXPECT_FALSE(Probe(*m_frame, ID_EDIT_DELETE).enabled);
    view->GetList()->SelectOnly(0);
    EXPECT_TRUE(Probe(*m_frame, ID_EDIT_DELETE).enabled);
    EXPECT_TRUE(Probe(*m_frame, ID_EDIT_ADDCPY).enabled);
}

// A copy made in the window starts without the row IDs of the original's lines, so saving
// it cannot take them from the original.
TEST_F(MainFrame, NewCopyOpensTheEditFrameOnACopyWithoutRowIds)
{
    CLorvanView* view = Open(MDU_CHARGE);
    ASSERT_NE(view, nullptr);
    CXMap query;
    query.SetText(QKEY_IDS, QString::number(m_school.p4));
    view->GetModule().ApplyQuery(query);
    CXListCtrl* list = view->GetList();
    ASSERT_EQ(list->GetItemCount(), 1);
    list->SelectOnly(0);
    XUiTestHooks hooks;
    int lines = -1, lineRowIds = 0, id = -1;
    hooks.onModal = [&](QDialog* dialog) {
        auto* frame = qobject_cast<CDlgEdit*>(dialog);
        const auto* charge = frame ? dynamic_cast<const CDBCharge*>(frame->GetItem()) : nullptr;
        if (charge) {
            id = charge->m_nID;
            lines = charge->m_courses.GetSize();
            for (const CXItem* line : charge->m_courses)
                lineRowIds += line->m_nSubID != 0;
        }
        return 2; // IDCANCEL
    };
    ASSERT_TRUE(m_frame->DispatchCommand(ID_EDIT_ADDCPY));
    EXPECT_EQ(id, 0);
    EXPECT_EQ(lines, 2); // 钢琴 and 美术
    EXPECT_EQ(lineRowIds, 0);
}

// The status panes: the query and count panes are empty without a module window, one pane
// is refreshed alone when named, and panes fit their texts at the screen's DPI.
TEST_F(MainFrame, StatusPanesRefreshByIdAndFitTheirText)
{
    CXMFCStatusBar* bar = m_frame->StatusBar();
    m_frame->OnStatusBar(0);
    EXPECT_EQ(Pane(ID_INDICATOR_QUERY), QString());
    EXPECT_EQ(Pane(ID_INDICATOR_COUNT), QString());
    EXPECT_EQ(Pane(ID_INDICATOR_USER), QStringLiteral("Admin"));
    EXPECT_EQ(bar->GetTipText(bar->CommandToIndex(ID_INDICATOR_COUNT)),
              QStringLiteral("当前列表中选中项目和全部项目的数量"));

    ASSERT_NE(Open(MDU_COURSE), nullptr);
    bar->SetPaneText(bar->CommandToIndex(ID_INDICATOR_COUNT), QStringLiteral("x"));
    m_frame->OnStatusBar(ID_INDICATOR_QUERY);
    EXPECT_EQ(Pane(ID_INDICATOR_COUNT), QStringLiteral("x"));
    EXPECT_FALSE(Pane(ID_INDICATOR_QUERY).isEmpty());

    // a newer version known turns the version pane red
    const int version = bar->CommandToIndex(ID_APP_ABOUT);
    m_frame->m_nLatestVersion = 0xFF000000u;
    m_frame->OnStatusBar(ID_APP_ABOUT);
    EXPECT_TRUE(bar->GetTipText(version).startsWith(QStringLiteral("发现新版本")));
    EXPECT_EQ(bar->GetPaneTextColor(version), QColor(192, 0, 0));

    SetScreenDpiOverride(144, 144);
    const int user = bar->CommandToIndex(ID_INDICATOR_USER);
    bar->SetPaneText(user, QStringLiteral("A"));
    bar->FitPaneWidth(user, 60);
    EXPECT_GE(bar->GetPaneWidth(user), 90); // 60 x 144 / 96
    const QString wide(60, QLatin1Char('W'));
    bar->SetPaneText(user, wide);
    bar->SetPaneIcon(user, QIcon(QPixmap(16, 16)));
    bar->FitPaneWidth(user, 0);
    const int withIcon = bar->GetPaneWidth(user);
    bar->SetPaneIcon(user, QIcon());
    bar->FitPaneWidth(user, 0);
    EXPECT_FALSE(bar->HasPaneIcon(user));
    EXPECT_EQ(withIcon - bar->GetPaneWidth(user), 20); // text + 24 with an icon, + 4 without
}

// Logout keeps the user's layout and login brings it back; sizes are kept per DPI and only
// while the DPI is the one the run started with.
TEST_F(MainFrame, LogoutKeepsTheLayoutAndLoginRestoresIt)
{
    SetScreenDpiOverride(96, 96);
    const QString s = QStringLiteral("Admin");
    WriteSetting(s, QStringLiteral("AppLook"), QStringLiteral("12345"));
    WriteSetting(s, QStringLiteral("MainFrm.Maxmize"), QStringLiteral("0"));
    WriteSetting(s, QStringLiteral("MainFrm.Module"), QString::number(MDU_CHARGE));
    m_frame->SwitchUser(false);
    Pump();
    EXPECT_EQ(m_frame->m_nAppLook, ID_APPLOOK_WINDOWS_10);
    EXPECT_TRUE(m_frame->isVisible());
    EXPECT_FALSE(m_frame->isMaximized());
    EXPECT_EQ(m_frame->GetActiveModule(), FindModule(MDU_CHARGE));
    EXPECT_EQ(m_frame->size(), QSize(1280, 720));

    bool forgotten = false;
    m_frame->m_onLoggedOut = [&] { forgotten = true; };
    m_frame->resize(1000, 700);
    const int logouts = LogRows(OPER_LOGOUT);
    m_frame->SwitchUser(true);
    EXPECT_TRUE(forgotten);
    EXPECT_FALSE(m_frame->isVisible());
    EXPECT_TRUE(m_frame->ModuleWindows().isEmpty());
    EXPECT_EQ(LogRows(OPER_LOGOUT), logouts + 1);
    EXPECT_EQ(ReadSetting(s, QStringLiteral("AppLook"), QStringLiteral("32961")), QStringLiteral("32961"));
    EXPECT_EQ(ReadSetting(s, QStringLiteral("MainFrm.Module"), QStringLiteral("321")), QString::number(MDU_CHARGE));
    EXPECT_EQ(ReadSetting(s, QStringLiteral("MainFrm.cx.dpi96"), QStringLiteral("1280")), QStringLiteral("1000"));
    EXPECT_EQ(ReadSetting(s, QStringLiteral("MainFrm.cy.dpi96"), QStringLiteral("720")), QStringLiteral("700"));

    // maximised at logout: the flag is kept, the normal size is not touched
    m_frame->SwitchUser(false);
    Pump();
    m_frame->showMaximized();
    Pump();
    m_frame->SwitchUser(true);
    EXPECT_EQ(ReadSetting(s, QStringLiteral("MainFrm.Maxmize"), QStringLiteral("1")), QStringLiteral("1"));
    EXPECT_EQ(ReadSetting(s, QStringLiteral("MainFrm.cx.dpi96"), QStringLiteral("1280")), QStringLiteral("1000"));

    // the DPI changed during the run: no size is kept
    WriteSetting(s, QStringLiteral("MainFrm.Maxmize"), QStringLiteral("0"));
    m_frame->SwitchUser(false);
    Pump();
    SetScreenDpiOverride(96, 120);
    m_frame->resize(900, 650);
    m_frame->SwitchUser(true);
    EXPECT_EQ(ReadSetting(s, QStringLiteral("MainFrm.cx.dpi96"), QStringLiteral("1280")), QStringLiteral("1000"));
}

// The detail pane opens at its stored width unless that was squeezed away, and the window
// keeps the pane's width and visibility when it closes.
TEST_F(MainFrame, DetailPaneWidthComesBackAndASqueezedPaneReopensAtTheDefault)
{
    SetScreenDpiOverride(96, 96);
    m_frame->resize(1280, 720);
    m_frame->show();
    const QString s = QStringLiteral("Admin");
    const QString key = CLorvanDoc::PropBarWidthKey(MDU_COURSE, 96);
    WriteSetting(s, key, QStringLiteral("30"));
    ASSERT_NE(Open(MDU_COURSE), nullptr);
    CChildFrame* child = m_frame->FindChildFrame(*FindModule(MDU_COURSE));
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->m_nPaneWidth, 350);
    EXPECT_NEAR(child->GetPropBar()->width(), 350, 8);

    child->GetPropBar()->hide();
    m_frame->CloseAllDocuments();
    EXPECT_EQ(ReadSetting(s, CLorvanDoc::PropBarVisibleKey(MDU_COURSE), QStringLiteral("1")), QStringLiteral("0"));
    // shown again, the pane keeps its width (the squeezed 30 is gone)
    ASSERT_NE(Open(MDU_COURSE), nullptr);
    child = m_frame->FindChildFrame(*FindModule(MDU_COURSE));
    EXPECT_TRUE(child->GetPropBar()->isHidden());
    ASSERT_TRUE(m_frame->DispatchCommand(ID_VIEW_DETAIL));
    EXPECT_FALSE(child->GetPropBar()->isHidden());
    m_frame->CloseAllDocuments();
    EXPECT_NEAR(ReadSetting(s, key, QStringLiteral("350")).toInt(), 350, 8);
    EXPECT_EQ(ReadSetting(s, CLorvanDoc::PropBarVisibleKey(MDU_COURSE), QStringLiteral("1")), QStringLiteral("1"));
}

// A find that hits writes its log row and keeps the options; one that misses writes neither.
TEST_F(MainFrame, OnlyAFindThatHitsIsLoggedAndKeepsTheOptions)
{
    CLorvanView* view = Open(MDU_COURSE);
    ASSERT_NE(view, nullptr);
    const QString s = QStringLiteral("Admin");
    const QString key = QStringLiteral("Module.%1.Find.WholeWord").arg(MDU_COURSE);
    ASSERT_TRUE(view->OnCmdMsg(ID_FIND_WHOLEWORD, XCN_COMMAND, nullptr));
    EXPECT_EQ(Probe(*view, ID_FIND_WHOLEWORD).checked, 1);
    const int finds = LogRows(OPER_FIND);
    EXPECT_FALSE(view->FindText(QStringLiteral("萨克斯")));
    EXPECT_EQ(LogRows(OPER_FIND), finds);
    EXPECT_EQ(ReadSetting(s, key, QStringLiteral("0")), QStringLiteral("0"));
    EXPECT_TRUE(view->FindText(QStringLiteral("美术")));
    EXPECT_EQ(LogRows(OPER_FIND), finds + 1);
    EXPECT_EQ(ReadSetting(s, key, QStringLiteral("0")), QStringLiteral("1"));
    EXPECT_EQ(view->GetList()->GetSelectedCount(), 1);
}

// Print commands with no template answer so and start nothing.
TEST_F(MainFrame, PrintingWithoutTemplatesSaysSo)
{
    CLorvanView* view = Open(MDU_COURSE);
    ASSERT_NE(view, nullptr);
    view->GetList()->SelectOnly(0);
    XUiTestHooks hooks;
    view->OnCmdMsg(IDC_PROOF_PRINT, XCN_COMMAND, nullptr);
    const auto boxes = hooks.Calls(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("无可用的打印模板！"));
    EXPECT_TRUE(hooks.Calls(QStringLiteral("Modal")).empty());
}

// A hidden frame closes without the exit question; a shown one asks, and going back keeps it.
TEST_F(MainFrame, OnlyAShownFrameAsksBeforeClosing)
{
    XUiTestHooks hooks;
    int asked = 0;
    hooks.onModal = [&](QDialog*) {
        ++asked;
        return 2; // IDCANCEL
    };
    m_frame->show();
    EXPECT_FALSE(m_frame->close());
    EXPECT_EQ(asked, 1);
    m_frame->hide();
    EXPECT_TRUE(m_frame->close());
    EXPECT_EQ(asked, 1);
}

} // namespace

namespace {

// The module commands: checked while the module's window is open, enabled by the query right;
// hidden modules and modules that are not built offer none.
TEST_F(MainFrame, ModuleCommandsFollowTheOpenWindowsAndTheQueryRight)
{
    CLorvanApp app;
    CXItem clerk;
    clerk.m_nMduID = MDU_TEACHER;
    clerk.m_nID = 3;
    clerk.m_strName = QStringLiteral("前台");
    clerk.m_nRightRole = 1;
    CXMap rights;
    rights.SetText(MDU_COURSE, QString::number(RIGHT_QRY));
    clerk.m_strRightData = rights.ToXml();
    app.LogIn(clerk);
    ASSERT_NE(Open(MDU_COURSE), nullptr);
    const struct
    {
        int id;
        bool enabled;
        int checked;
    } cases[] = {{MDU_COURSE, true, 1}, {MDU_CHARGE, false, 0}, {MDU_PRJQUERY, false, 0}, {MDU_RECEIPT, false, 0}};
    for (const auto& c : cases) {
        const XProbeUI ui = Probe(app, c.id);
        EXPECT_EQ(ui.enabled, c.enabled) << c.id;
        EXPECT_EQ(ui.checked, c.checked) << c.id;
    }
    // a hidden module opens no window
    EXPECT_TRUE(CLorvanApp::OpenModule(MDU_PRJQUERY));
    EXPECT_EQ(FindModule(MDU_PRJQUERY)->GetView(), nullptr);
}

} // namespace

namespace {

// Points the desktop's folders into a temporary home for the life of the object.
class XDesktopHome
{
public:
    XDesktopHome()
    {
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            m_saved.emplace_back(name, qgetenv(name));
        qputenv("HOME", m_dir.path().toLocal8Bit());
        qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/config")).toLocal8Bit());
        qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/data")).toLocal8Bit());
    }
    ~XDesktopHome()
    {
        for (const auto& [name, value] : m_saved)
            value.isNull() ? qunsetenv(name) : qputenv(name, value);
    }
    QString Path(const QString& rel) const { return m_dir.path() + u'/' + rel; }

private:
    QTemporaryDir m_dir;
    std::vector<std::pair<const char*, QByteArray>> m_saved;
};

// Launchers: made where the desktop looks for them, checked while they exist, removed after
// the question; a desktop without the folder gets nothing, a failed write says why, and the
// quick-launch bar, which this desktop does not have, stays disabled.
TEST_F(MainFrame, LaunchersAreMadeCheckedAndRemovedInTheDesktopsPlaces)
{
    XDesktopHome home;
    XUiTestHooks hooks;
    const QString desktop = home.Path(QStringLiteral("Desktop/Lorvan Manager.desktop"));
    const QString menu = home.Path(QStringLiteral("data/applications/Lorvan Manager.desktop"));
    const QString autostart = home.Path(QStringLiteral("config/autostart/Lorvan Manager.desktop"));

    ASSERT_TRUE(m_frame->DispatchCommand(ID_SHORTCUT_DESKTOP)); // no desktop folder
    EXPECT_TRUE(hooks.calls.empty());
    EXPECT_EQ(Probe(*m_frame, ID_SHORTCUT_DESKTOP).checked, 0);
    ASSERT_TRUE(QDir().mkpath(home.Path(QStringLiteral("Desktop"))));

    const struct
    {
        int id;
        QString file;
        QString created;
    } cases[] = {{ID_SHORTCUT_DESKTOP, desktop, QStringLiteral("已创建 “桌面” ！")},
                 {ID_SHORTCUT_PROGRAMS, menu, QStringLiteral("已创建 “开始菜单” ！")},
                 {ID_SHORTCUT_STARTUP, autostart, QStringLiteral("已创建 “开机启动” ！")}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        hooks.Clear();
        EXPECT_TRUE(Probe(*m_frame, c.id).enabled);
        ASSERT_TRUE(m_frame->DispatchCommand(c.id));
        ASSERT_EQ(hooks.Calls(QStringLiteral("MessageBox")).size(), 1u);
        EXPECT_EQ(hooks.calls[0].text, c.created);
        ASSERT_TRUE(QFileInfo::exists(c.file));
        EXPECT_TRUE(QFileInfo(c.file).permissions() & QFile::ExeOwner);
        EXPECT_EQ(Probe(*m_frame, c.id).checked, 1);
        // the question answered with cancel keeps the launcher, with OK removes it
        hooks.Clear();
        hooks.answer = IDCANCEL;
        m_frame->DispatchCommand(c.id);
        ASSERT_EQ(hooks.calls.size(), 1u);
        EXPECT_TRUE(hooks.calls[0].text.startsWith(QStringLiteral("确定要删除")));
        EXPECT_TRUE(QFileInfo::exists(c.file));
        hooks.answer = IDOK;
        m_frame->DispatchCommand(c.id);
        EXPECT_FALSE(QFileInfo::exists(c.file));
        EXPECT_EQ(Probe(*m_frame, c.id).checked, 0);
    }

    // the menu folder cannot be made: the failure and its reason, no launcher
    ASSERT_TRUE(QDir(home.Path(QStringLiteral("data/applications"))).removeRecursively());
    QFile blocker(home.Path(QStringLiteral("data/applications")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    hooks.Clear();
    m_frame->DispatchCommand(ID_SHORTCUT_PROGRAMS);
    ASSERT_EQ(hooks.calls.size(), 1u);
    EXPECT_TRUE(hooks.calls[0].text.startsWith(QStringLiteral("创建 “开始菜单” 失败！\r\n")))
        << hooks.calls[0].text.toStdString();
    EXPECT_GT(hooks.calls[0].text.size(), QStringLiteral("创建 “开始菜单” 失败！\r\n").size());
    EXPECT_EQ(hooks.calls[0].type & MB_ICONERROR, MB_ICONERROR);

    hooks.Clear();
    const XProbeUI taskbar = Probe(*m_frame, ID_SHORTCUT_TASKBAR);
    EXPECT_FALSE(taskbar.enabled);
    EXPECT_EQ(taskbar.checked, 0);
    m_frame->DispatchCommand(ID_SHORTCUT_TASKBAR);
    EXPECT_TRUE(hooks.calls.empty());
}

// A launcher starts this program with this installation's data folder, however the paths are
// spelt: the desktop entry's quoting and escapes keep blanks, dollars, quotes and percents.
TEST(DesktopShortcuts, TheEntryStartsTheProgramWithItsDataFolder)
{
    const struct
    {
        QString program;
        QString home;
        QString exec;
    } cases[] = {
        {QStringLiteral("/opt/lorvan/lorvan"), QString(), QStringLiteral("Exec=\"/opt/lorvan/lorvan\"")},
        {QStringLiteral("/opt/my app/lor$van%1"), QString(), QStringLiteral("Exec=\"/opt/my app/lor\\\\$van%%1\"")},
        {QStringLiteral("/opt/a\"b/lorvan"), QStringLiteral("/srv/school data"),
         QStringLiteral("Exec=env \"LORVAN_HOME=/srv/school data\" \"/opt/a\\\\\"b/lorvan\"")},
    };
    for (const auto& c : cases) {
        const QString entry = XShortcuts::EntryText(c.program, c.home, QStringLiteral("Lorvan Manager"));
        EXPECT_TRUE(entry.startsWith(QStringLiteral("[Desktop Entry]\nType=Application\n")));
        EXPECT_TRUE(entry.split(u'\n').contains(c.exec)) << entry.toStdString();
        EXPECT_TRUE(entry.contains(QStringLiteral("\nName=Lorvan Manager\n")));
    }
}

// The web-address commands open what the web service published, in the browser; an address
// not published opens nothing.
TEST_F(MainFrame, WebAddressCommandsOpenThePublishedAddresses)
{
    XUiTestHooks hooks;
    EXPECT_TRUE(Probe(*m_frame, ID_INTERNET_VIEW).enabled);
    EXPECT_TRUE(Probe(*m_frame, ID_INTRANET_VIEW).enabled);
    xInternet::SetWebUrls(QString(), QString());
    m_frame->DispatchCommand(ID_INTERNET_VIEW);
    m_frame->DispatchCommand(ID_INTRANET_VIEW);
    EXPECT_TRUE(hooks.calls.empty());
    xInternet::SetWebUrls(QStringLiteral("http://192.168.1.5:8080/"), QStringLiteral("https://relay.example/s/42/"));
    m_frame->DispatchCommand(ID_INTERNET_VIEW);
    m_frame->DispatchCommand(ID_INTRANET_VIEW);
    xInternet::SetWebUrls(QString(), QString());
    const auto opened = hooks.Calls(QStringLiteral("Shell"));
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0].text, QStringLiteral("https://relay.example/s/42/"));
    EXPECT_EQ(opened[1].text, QStringLiteral("http://192.168.1.5:8080/"));
}

// The user pane shows the logged-in teacher's own record, read-only; the built-in
// administrator, who has no record, is told so.
TEST_F(MainFrame, TheUserPaneOpensTheUsersOwnRecord)
{
    XUiTestHooks hooks;
    m_frame->DispatchCommand(ID_INDICATOR_USER);
    ASSERT_EQ(hooks.calls.size(), 1u);
    EXPECT_EQ(hooks.calls[0].text, QStringLiteral("当前登录用户是内置管理员 “Admin” ！"));

    hooks.Clear();
    m_user.m_nID = m_school.t1;
    m_user.m_strName = QStringLiteral("刘芳");
    QString shown;
    bool readOnly = false;
    hooks.onModal = [&](QDialog* dialog) {
        if (auto* frame = dynamic_cast<CDlgEdit*>(dialog)) {
            if (const CXItem* item = frame->GetItem())
                shown = QStringLiteral("%1:%2:%3").arg(item->m_nMduID).arg(item->m_nID).arg(item->m_strName);
            readOnly = IsWndReadOnly(frame);
        }
        return IDCANCEL;
    };
    m_frame->DispatchCommand(ID_INDICATOR_USER);
    EXPECT_EQ(shown, QStringLiteral("%1:%2:刘芳").arg(MDU_TEACHER).arg(m_school.t1));
    EXPECT_TRUE(readOnly);
}

} // namespace

namespace {

// A log longer than a page shows its newest rows at once and the rest when the worker has
// read it; the list then holds exactly what one read of the query gives, also when the
// window was refreshed while the rest was still being read.
TEST_F(MainFrame, ALongLogShowsItsNewestRowsFirstAndThenTheRest)
{
    // 30 rows a minute apart from 10:00 today, after every row the fixture wrote
    const int today = static_cast<int>(XDateTime::Today().Day());
    CXDBSession session;
    session.Connect();
    ASSERT_TRUE(session.ExecuteSql(
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 30) "
                       "INSERT INTO TB_OPERLOG (OperTime, UserID, UserMduID, TypeID, MduID, ItemID, OperMemo) "
                       "SELECT %1 + (600 + i) / 1440.0, 0, 322, 3, 328, i, 'row ' || i FROM n")
            .arg(today)));
    const int newest = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_OPERLOG")));
    struct XPageRows
    {
        int saved = CLorvanView::s_nPageRows;
        ~XPageRows() { CLorvanView::s_nPageRows = saved; }
    } pageRows;
    CLorvanView::s_nPageRows = 10;
    CLorvanView* view = Open(MDU_OPERLOG);
    ASSERT_NE(view, nullptr);
    CModule* log = FindModule(MDU_OPERLOG);
    CXMap all;
    all.SetDate(QKEY_DATE_FROM, XDateTime(static_cast<double>(today - 400)));
    CXArray expected(nullptr, true);
    ASSERT_TRUE(log->QueryItems(expected, all, false, false));
    ASSERT_GT(expected.GetSize(), 30);

    auto waitForRest = [view] {
        for (int i = 0; i < 1500 && view->IsReadingRest(); ++i) {
            QCoreApplication::processEvents();
            QThread::msleep(20);
        }
        Pump();
    };
    auto listedIds = [view] {
        std::multiset<int> ids;
        for (int i = 0; i < view->GetList()->GetItemCount(); ++i)
            ids.insert(view->GetList()->GetItemData(i)->m_nID);
        return ids;
    };
    std::multiset<int> allIds;
    for (const CXItem* item : expected)
        allIds.insert(item->m_nID);

    log->ApplyQuery(all);
    EXPECT_EQ(view->GetList()->GetItemCount(), 10); // the ten newest: the last ten inserted
    for (int id : listedIds())
        EXPECT_GT(id, newest - 10);
    waitForRest();
    EXPECT_FALSE(view->IsReadingRest());
    EXPECT_EQ(listedIds(), allIds);
    EXPECT_EQ(Pane(ID_INDICATOR_COUNT), QStringLiteral("0/%1").arg(expected.GetSize()));

    // refreshed twice while reading: the first rest is dropped, not added twice
    view->OnUpdate();
    view->OnUpdate();
    waitForRest();
    EXPECT_EQ(listedIds(), allIds);
}

} // namespace
