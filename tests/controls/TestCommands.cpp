// Command maps, update objects, menus and the desktop hooks.
#include "CXCmd.h"
#include "XCmdUpdater.h"
#include "XMenuBuild.h"
#include "XUi.h"

#include <QtWidgets/QLineEdit>
#include <QtWidgets/QVBoxLayout>
#include <QtTest/QTest>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <QtCore/QCoreApplication>
#include <QtWidgets/QMenu>

namespace {

struct Log
{
    QStringList calls;
};

class CTargetA : public XCmdTarget
{
    X_DECLARE_MESSAGE_MAP()
public:
    void OnTen() { log.calls << QStringLiteral("A10@%1").arg(XCurrentCommandId()); }
    void OnUpdateTen(XCmdUI* ui) { ui->Enable(tenEnabled); }
    void OnUpdateChecked(XCmdUI* ui) { ui->SetCheck(1); }
    Log log;
    bool tenEnabled = false;
};

class CTargetB : public CTargetA
{
    X_DECLARE_MESSAGE_MAP()
public:
    void OnTwenty() { log.calls << QStringLiteral("B20"); }
    void OnRange(int id) { log.calls << QStringLiteral("B%1").arg(id); }
};

// no map of its own: its own map is its base's
class CTargetC : public CTargetB
{};

X_BEGIN_MESSAGE_MAP(CTargetA, XCmdTarget)
    X_ON_COMMAND(10, OnTen)
    X_ON_UPDATE_COMMAND_UI(10, OnUpdateTen)
    X_ON_UPDATE_COMMAND_UI(50, OnUpdateChecked)
X_END_MESSAGE_MAP()

X_BEGIN_MESSAGE_MAP(CTargetB, CTargetA)
    X_ON_COMMAND(20, OnTwenty)
    X_ON_COMMAND_RANGE(30, 39, OnRange)
X_END_MESSAGE_MAP()

} // namespace

TEST(CommandMaps, DerivedFirstThenBasesAndOwnMapLookups)
{
    CTargetC c;
    EXPECT_TRUE(c.DispatchCommand(10));
    EXPECT_TRUE(c.DispatchCommand(20));
    EXPECT_TRUE(c.DispatchCommand(33));
    EXPECT_FALSE(c.DispatchCommand(40));
    EXPECT_EQ(c.log.calls.join(u','), "A10@10,B20,B33");
    EXPECT_EQ(XCurrentCommandId(), 0);

    EXPECT_TRUE(c.HasOwnHandler(20, XCN_COMMAND)); // B's map is C's own
    EXPECT_TRUE(c.HasOwnHandler(35, XCN_COMMAND));
    EXPECT_FALSE(c.HasOwnHandler(10, XCN_COMMAND)); // A's is a base's
    EXPECT_FALSE(c.HasOwnHandler(20, XCN_UPDATE));
    CTargetA a;
    EXPECT_TRUE(a.HasOwnHandler(10, XCN_UPDATE));

    // a probe finds a handler without running it
    c.log.calls.clear();
    EXPECT_TRUE(c.OnCmdMsg(20, XCN_COMMAND, nullptr, true));
    EXPECT_TRUE(c.log.calls.isEmpty());
}

TEST(CommandMaps, CXCmdTakesEnableAndTextButNoCheck)
{
    CTargetB b;
    CXCmd cmd(10);
    EXPECT_TRUE(cmd.m_bEnabled);
    cmd.DoUpdate(&b);
    EXPECT_FALSE(cmd.m_bEnabled);
    b.tenEnabled = true;
    cmd.DoUpdate(&b);
    EXPECT_TRUE(cmd.m_bEnabled);

    CXCmd noHandler(20);
    noHandler.m_bEnabled = false;
    noHandler.DoUpdate(&b); // never disabled or enabled automatically
    EXPECT_FALSE(noHandler.m_bEnabled);

    CXCmd checked(50);
    checked.DoUpdate(&b);
    EXPECT_TRUE(checked.m_bEnabled);
    checked.SetText(QStringLiteral("1/3"));
    EXPECT_EQ(checked.m_strText, "1/3");
}

TEST(CommandMaps, MenuUpdatePassAutoDisables)
{
    CTargetB b;
    XMenuSpec spec = {{10, QStringLiteral("十(&T)"), {}},
                      {},
                      {20, QStringLiteral("二十"), {}},
                      {77, QStringLiteral("无"), {}},
                      {0, QStringLiteral("更多"), {{50, QStringLiteral("选中"), {}}}}};
    QMenu menu;
    BuildMenu(&menu, spec, &b);
    ASSERT_EQ(menu.actions().size(), 5);
    EXPECT_TRUE(menu.actions()[1]->isSeparator());
    XCmdUpdater::UpdateMenu(&menu, &b);
    EXPECT_FALSE(menu.actions()[0]->isEnabled()); // its update handler says so
    EXPECT_TRUE(menu.actions()[2]->isEnabled());  // a command handler and no update handler
    EXPECT_FALSE(menu.actions()[3]->isEnabled()); // no handler at all
    QMenu* sub = menu.actions()[4]->menu();
    ASSERT_TRUE(sub);
    XCmdUpdater::UpdateMenu(sub, &b);
    EXPECT_TRUE(sub->actions()[0]->isChecked());

    XUiTestHooks ui;
    ui.menuChoice = 20;
    EXPECT_EQ(XUi::TrackPopupMenu(spec, QPoint(), &b), 20);
    EXPECT_EQ(ui.Calls(QStringLiteral("Menu")).size(), 1u);
}

TEST(CommandMaps, UpdateSoonCoalescesIntoOnePass)
{
    QObject owner;
    int runs = 0;
    XCmdUpdater::Instance().Register(&owner, [&runs] { ++runs; });
    XCmdUpdater::UpdateSoon();
    XCmdUpdater::UpdateSoon();
    XCmdUpdater::UpdateSoon();
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 1);
    CTargetB b;
    b.DispatchCommand(20); // every command asks for a pass afterwards
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 2);
}

TEST(CommandMaps, FocusChangesAskForAPass)
{
    XCmdUpdater::Instance().StartHeartbeat();
    XCmdUpdater::Instance().StartHeartbeat(); // starting twice connects once
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    layout->addWidget(first);
    layout->addWidget(second);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    first->setFocus();
    QCoreApplication::processEvents();

    QObject owner;
    int runs = 0;
    XCmdUpdater::Instance().Register(&owner, [&runs] { ++runs; });
    second->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(runs, 1);
}

TEST(DesktopHooks, EveryCallIsRecordedAndAnswered)
{
    XUiTestHooks ui;
    ui.answers = {IDCANCEL, IDYES};
    ui.fileName = QStringLiteral("/tmp/a.rtf");
    ui.folder = QStringLiteral("/tmp");
    EXPECT_EQ(XUi::MessageBox(nullptr, QStringLiteral("t"), QStringLiteral("c"), MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(XUi::MessageBox(nullptr, QStringLiteral("t"), QStringLiteral("c"), MB_YESNO), IDYES);
    EXPECT_EQ(XUi::MessageBox(nullptr, QStringLiteral("t"), QStringLiteral("c"), MB_OK), IDOK);
    EXPECT_EQ(XUi::GetOpenFileName(nullptr, QStringLiteral("打开"), QString(), QString()), "/tmp/a.rtf");
    EXPECT_EQ(XUi::GetSaveFileName(nullptr, QStringLiteral("保存"), QString(), QString()), "/tmp/a.rtf");
    EXPECT_EQ(XUi::GetExistingDirectory(nullptr, QStringLiteral("选择"), QString()), "/tmp");
    EXPECT_TRUE(XUi::ShellOpen(QStringLiteral("https://example.org/")));
    ASSERT_EQ(ui.calls.size(), 7u);
    EXPECT_EQ(ui.calls[6].kind, "Shell");
    EXPECT_EQ(ui.calls[6].text, "https://example.org/");
    {
        XUiTestHooks inner; // hooks nest: the innermost answers
        XUi::MessageBox(nullptr, QStringLiteral("x"), QString(), 0);
        EXPECT_EQ(inner.calls.size(), 1u);
    }
    EXPECT_EQ(ui.calls.size(), 7u);
    EXPECT_EQ(XUiTestHooks::Active(), &ui);
}

TEST(DesktopHooks, APromptNoTestScriptedFailsTheTest)
{
    // the test main's hooks lie under every test's own: what reaches them was not scripted
    EXPECT_NONFATAL_FAILURE(XUi::MessageBox(nullptr, QStringLiteral("删除?"), QStringLiteral("删除"), MB_OKCANCEL),
                            "unscripted MessageBox: 删除 | 删除?");
    EXPECT_NONFATAL_FAILURE(XUi::GetOpenFileName(nullptr, QStringLiteral("打开"), QString(), QString()),
                            "unscripted Open");
    EXPECT_NONFATAL_FAILURE(XUi::ShellOpen(QStringLiteral("https://example.org/")), "unscripted Shell");
    // a balloon asks nothing
    QWidget w;
    XUi::ShowBalloon(&w, QRect(), QStringLiteral("t"), QStringLiteral("x"), 1);
    XUi::CloseBalloon();
}
