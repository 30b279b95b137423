// A dialog bound to a record, headless: binding, radio groups, labels following their controls,
// dependent enabling, read-only dialogs, balloons on invalid fields and refusal on OK.
#include "CXButton.h"
#include "CXEditNumber.h"
#include "CommandIds.h"
#include "TestDialogRecord.h"
#include "TestSupport.h"
#include "XIconStatic.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <gtest/gtest.h>

#include <QtTest/QTest>
#include <QtGui/QHelpEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QToolTip>

namespace {

class BoundDialog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        pupil.m_strName = QStringLiteral("张三");
        pupil.m_nSex = 1;
        pupil.m_nLessons = 12;
        pupil.m_fFee = 12.5;
        pupil.m_nLevel = 2;
        pupil.m_nMode = 0;
        pupil.m_nRate = 100;
    }
    void Open()
    {
        dlg.Create();
        dlg.show();
    }
    template <class T = QWidget> T* Item(int id) { return qobject_cast<T*>(dlg.GetDlgItem(id)); }
    bool Enabled(int id) { return Item(id)->isEnabledTo(dlg.Content()); }
    QWidget* Label(int id) { return dlg.PrevInZOrder(dlg.GetDlgItem(id)); }

    XUiTestHooks ui;
    CTestPupil pupil;
    CDlgTestPupil dlg{&pupil};
};

} // namespace

TEST_F(BoundDialog, LoadsTheRecordAndStoresWhatChanged)
{
    pupil.m_bHasNote = 1;
    pupil.m_bUrgent = 1;
    pupil.m_strNote = QStringLiteral("周末上课");
    pupil.m_strRemark = QStringLiteral("第一行\n第二行");
    Open();
    EXPECT_EQ(Item<QLineEdit>(IDC_NAME)->text(), "张三");
    EXPECT_FALSE(Item<CXButton>(IDC_SEX_MALE)->isChecked());
    EXPECT_TRUE(Item<CXButton>(IDC_SEX_FEMALE)->isChecked());
    EXPECT_EQ(Item<QLineEdit>(IDC_TEST_LESSONS)->text(), "12 次");
    EXPECT_EQ(Item<QLineEdit>(IDC_FEE)->text(), "¥12.5");
    EXPECT_EQ(Item<QComboBox>(IDC_LEVEL)->currentText(), "高级");
    EXPECT_EQ(Item<QPlainTextEdit>(IDC_REMARK)->toPlainText(), "第一行\n第二行"); // multi-line keeps its breaks
    EXPECT_TRUE(Item<CXButton>(IDC_MODE_SCHOOL)->isChecked());

    Item<QLineEdit>(IDC_NAME)->setText(QStringLiteral("  李四 "));
    Item<CXButton>(IDC_SEX_MALE)->click();
    Item<QLineEdit>(IDC_TEST_LESSONS)->setText(QStringLiteral("30"));
    Item<QComboBox>(IDC_LEVEL)->setCurrentIndex(0);
    Item<QLineEdit>(IDC_NOTE)->setText(QStringLiteral("平日"));
    dlg.UpdateData(true);
    EXPECT_EQ(pupil.m_strName, "李四");
    EXPECT_EQ(pupil.m_nSex, 0);
    EXPECT_EQ(pupil.m_nLessons, 30);
    EXPECT_DOUBLE_EQ(pupil.m_fFee, 12.5);
    EXPECT_EQ(pupil.m_nLevel, 0);
    EXPECT_EQ(pupil.m_strNote, "平日");

    // an option combo box with nothing selected stores -1
    Item<QComboBox>(IDC_LEVEL)->setCurrentIndex(-1);
    dlg.UpdateData(true);
    EXPECT_EQ(pupil.m_nLevel, -1);
}

TEST_F(BoundDialog, LongTextsSurviveOpeningAndSavingUnchanged)
{
    const QString longName = QString(300, u'名');
    pupil.m_strName = longName;
    pupil.m_strNote = QStringLiteral("甲\n乙");
    Open();
    EXPECT_EQ(Item<QLineEdit>(IDC_NAME)->text(), QString(250, u'名') + " ...");
    EXPECT_EQ(Item<QLineEdit>(IDC_NOTE)->text(), "甲 乙");
    dlg.UpdateData(true);
    EXPECT_EQ(pupil.m_strName, longName); // untouched: the stored text stays whole
    EXPECT_EQ(pupil.m_strNote, "甲\n乙");

    // text the user typed is cut to the limit
    Item<QLineEdit>(IDC_NAME)->setText(QString(300, u'新'));
    dlg.UpdateData(true);
    EXPECT_EQ(pupil.m_strName, QString(250, u'新') + " ...");
}

TEST_F(BoundDialog, RadioGroupsAreExclusiveInTheirGroupOnly)
{
    Open();
    auto* male = Item<CXButton>(IDC_SEX_MALE);
    auto* female = Item<CXButton>(IDC_SEX_FEMALE);
    auto* other = Item<CXButton>(IDC_SEX_OTHER);
    auto* school = Item<CXButton>(IDC_MODE_SCHOOL);
    male->setChecked(true);
    other->setChecked(true); // by code: the first two go off
    EXPECT_FALSE(male->isChecked());
    EXPECT_FALSE(female->isChecked());
    EXPECT_TRUE(school->isChecked()); // another group with the same parent is left alone
    other->click();                   // a click on a checked radio keeps it checked
    EXPECT_TRUE(other->isChecked());
}

TEST_F(BoundDialog, OptionTextsBecomeRadioCaptionsAndEmptyOnesDisable)
{
    Open();
    EXPECT_EQ(Item<CXButton>(IDC_SEX_MALE)->text(), "男");
    EXPECT_EQ(Item<CXButton>(IDC_SEX_FEMALE)->text(), "女");
    pupil.options[XOFFSET(CTestPupil, m_nSex)] = {QStringLiteral("男"), QStringLiteral("女"), QString()};
    dlg.UpdateControls();
    EXPECT_FALSE(Enabled(IDC_SEX_OTHER));
    EXPECT_TRUE(Enabled(IDC_SEX_FEMALE));
}

TEST_F(BoundDialog, HiddenFieldDisablesItsControlAndLabel)
{
    pupil.access[XOFFSET(CTestPupil, m_strName)] = -1;
    pupil.access[XOFFSET(CTestPupil, m_nLessons)] = 0;
    Open();
    EXPECT_FALSE(Enabled(IDC_NAME));
    EXPECT_FALSE(Enabled(IDC_NAME_LABEL));
    EXPECT_TRUE(Enabled(IDC_TEST_LESSONS));
    EXPECT_TRUE(IsWndReadOnly(Item(IDC_TEST_LESSONS)));
    EXPECT_TRUE(Enabled(IDC_LESSONS_LABEL));

    pupil.access.clear();
    dlg.UpdateControls();
    EXPECT_TRUE(Enabled(IDC_NAME));
    EXPECT_TRUE(Enabled(IDC_NAME_LABEL));
    EXPECT_FALSE(IsWndReadOnly(Item(IDC_TEST_LESSONS)));
}

TEST_F(BoundDialog, DependentControlsFollowRadiosAndCheckBoxes)
{
    Open();
    // the address depends on the second radio of its group
    EXPECT_FALSE(Enabled(IDC_ADDRESS));
    Item<CXButton>(IDC_MODE_HOME)->click();
    EXPECT_TRUE(Enabled(IDC_ADDRESS));
    EXPECT_EQ(pupil.m_nMode, 1);

    // the inner check box and its edit depend on the group-start check box
    EXPECT_FALSE(Enabled(IDC_URGENT));
    EXPECT_FALSE(Enabled(IDC_NOTE));
    Item<CXButton>(IDC_HASNOTE)->click();
    EXPECT_TRUE(Enabled(IDC_URGENT));
    EXPECT_FALSE(Enabled(IDC_NOTE));
    Item<CXButton>(IDC_URGENT)->click();
    EXPECT_TRUE(Enabled(IDC_NOTE));
    Item<CXButton>(IDC_HASNOTE)->click();
    EXPECT_FALSE(Enabled(IDC_URGENT));
    EXPECT_FALSE(Enabled(IDC_NOTE));

    // an update handler of the dialog's own map decides too
    EXPECT_TRUE(Enabled(IDC_BROWSE));
    dlg.browseEnabled = false;
    dlg.UpdateControls();
    EXPECT_FALSE(Enabled(IDC_BROWSE));
}

TEST_F(BoundDialog, ReadOnlyDialogCanOnlyBeClosed)
{
    Open();
    auto* cancel = Item<QPushButton>(IDCANCEL);
    EXPECT_EQ(cancel->text(), "取消");
    SetWndReadOnly(&dlg, true);
    EXPECT_TRUE(Item(IDOK)->isHidden());
    EXPECT_EQ(cancel->text(), "关闭");
    for (QWidget* w : dlg.ZOrder()) {
        const int id = CtrlId(w);
        if (id == IDOK || id == IDCANCEL || id == -1) {
            EXPECT_FALSE(IsWndReadOnly(w)) << id;
        } else if (w->isEnabledTo(dlg.Content())) {
            EXPECT_TRUE(IsWndReadOnly(w)) << id;
        }
    }
    EXPECT_TRUE(Item<QLineEdit>(IDC_NAME)->isReadOnly());

    // a read-only radio takes no click
    QTest::mouseClick(Item(IDC_SEX_MALE), Qt::LeftButton);
    QTest::keyClick(Item(IDC_SEX_MALE), Qt::Key_Space);
    EXPECT_FALSE(Item<CXButton>(IDC_SEX_MALE)->isChecked());

    SetWndReadOnly(&dlg, false);
    EXPECT_FALSE(Item(IDOK)->isHidden());
    EXPECT_EQ(cancel->text(), "取消");
    EXPECT_FALSE(IsWndReadOnly(Item(IDC_NAME)));
    EXPECT_FALSE(Item<QLineEdit>(IDC_NAME)->isReadOnly());
}

TEST_F(BoundDialog, StopOnABoundFieldRefusesOkWithABalloon)
{
    pupil.script = {{ST_STOP, XOFFSET(CTestPupil, m_nLessons), QStringLiteral("课时不能为空。")}};
    Open();
    ui.Clear();
    Item<QPushButton>(IDOK)->click();
    ASSERT_EQ(ui.Calls(QStringLiteral("Balloon")).size(), 1u);
    const auto balloon = ui.Calls(QStringLiteral("Balloon"))[0];
    EXPECT_EQ(balloon.widget, Item(IDC_TEST_LESSONS));
    EXPECT_EQ(balloon.type, 3);
    EXPECT_EQ(balloon.text, "课时不能为空。");
    EXPECT_EQ(balloon.caption, "课时");
    EXPECT_TRUE(ui.Calls(QStringLiteral("MessageBox")).empty());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_NE(dlg.result(), IDOK);
}

TEST_F(BoundDialog, WarningsAskAndCancelPointsAtTheField)
{
    pupil.script = {{ST_WARN, XOFFSET(CTestPupil, m_strName), QStringLiteral("姓名可能重复。")}};
    Open();
    ui.Clear();
    ui.answer = IDCANCEL;
    Item<QPushButton>(IDOK)->click();
    ASSERT_EQ(ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    const auto box = ui.Calls(QStringLiteral("MessageBox"))[0];
    EXPECT_EQ(box.text, "请确认以下信息后继续：\r\n\r\n姓名可能重复。");
    EXPECT_EQ(box.caption, "学员信息");
    EXPECT_EQ(box.type, int(MB_ICONWARNING | MB_OKCANCEL));
    ASSERT_EQ(ui.Calls(QStringLiteral("Balloon")).size(), 1u);
    EXPECT_EQ(ui.Calls(QStringLiteral("Balloon"))[0].widget, Item(IDC_NAME));
    EXPECT_EQ(ui.Calls(QStringLiteral("Balloon"))[0].type, 2);
    EXPECT_TRUE(dlg.isVisible());

    ui.answer = IDOK;
    Item<QPushButton>(IDOK)->click();
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), IDOK);
}

TEST_F(BoundDialog, StopOnTheWholeRecordOnlyAsksToConfirm)
{
    pupil.script = {{ST_STOP, 0, QStringLiteral("记录不完整。")}};
    Open();
    ui.Clear();
    Item<QPushButton>(IDOK)->click();
    ASSERT_EQ(ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_TRUE(ui.Calls(QStringLiteral("MessageBox"))[0].text.endsWith(QStringLiteral("记录不完整。")));
    EXPECT_TRUE(ui.Calls(QStringLiteral("Balloon")).empty());
    EXPECT_EQ(dlg.result(), IDOK);
}

TEST_F(BoundDialog, MessagesForHiddenDialogsBecomeBoxes)
{
    dlg.Create(); // never shown
    dlg.ShowItemTip(2, IDC_NAME, "%s 太长", QStringLiteral("姓名"));
    ASSERT_EQ(ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(ui.calls[0].text, "姓名 太长");
    EXPECT_EQ(ui.calls[0].caption, "学员姓名");
    EXPECT_EQ(ui.calls[0].type, int(MB_ICONWARNING));

    // a balloon at a control that is not an edit points at its middle third
    dlg.show();
    ui.Clear();
    dlg.ShowItemTip(1, IDC_LEVEL, "");
    ASSERT_EQ(ui.Calls(QStringLiteral("Balloon")).size(), 1u);
    const QRect r = Item(IDC_LEVEL)->rect();
    const int dx = r.width() / 3 - 1, dy = r.height() / 3 - 1;
    EXPECT_EQ(ui.calls[0].anchor, r.adjusted(dx, dy, -dx, -dy));
}

TEST_F(BoundDialog, ItemLabels)
{
    Open();
    EXPECT_EQ(dlg.GetItemLabel(IDC_NAME), "学员姓名");
    EXPECT_EQ(dlg.GetItemLabel(IDC_BROWSE), "浏览");
    EXPECT_EQ(dlg.GetItemLabel(IDOK), "学员信息");
    EXPECT_EQ(dlg.GetItemLabel(32790), "删除"); // a command's own name comes first
    {
        XCommandScope scope(IDC_BROWSE);
        EXPECT_EQ(dlg.GetItemLabel(0), "浏览");
    }
}

TEST_F(BoundDialog, CaptionOfNewRecordsAndPages)
{
    CTestPupil other;
    CDlgTestPupil added(&other, true);
    added.Create();
    EXPECT_EQ(added.windowTitle(), "添加学员信息");

    CDlgTestPupil preset(&other, true);
    preset.m_strCaption = QStringLiteral("转学");
    preset.Create();
    EXPECT_EQ(preset.windowTitle(), "转学");

    QWidget host;
    CDlgTestPupil page(&other, true, &PupilTemplate(WS_CHILD), &host);
    page.Create();
    EXPECT_TRUE(page.IsChild());
    EXPECT_EQ(page.windowTitle(), "学员信息");
}

TEST_F(BoundDialog, TheFocusedEditKeepsWhatIsBeingTyped)
{
    Open();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    auto* name = Item<QLineEdit>(IDC_NAME);
    name->setFocus();
    ASSERT_TRUE(name->hasFocus());
    QTest::keyClicks(name, QStringLiteral("ab"));
    pupil.m_strName = QStringLiteral("被改了");
    dlg.UpdateData(false);
    EXPECT_EQ(name->text(), "张三ab");
    dlg.UpdateControls(); // stores first, then reloads every control but the focused one
    EXPECT_EQ(pupil.m_strName, "张三ab");
    EXPECT_EQ(name->text(), "张三ab");
}

TEST_F(BoundDialog, SameIdBoundTwiceKeepsTheFirstBinding)
{
    dlg.bindTwice = true;
    pupil.m_strAddress = QStringLiteral("东路");
    Open();
    const auto& byId = dlg.BindingsByID();
    ASSERT_TRUE(byId.count(IDC_NAME));
    EXPECT_EQ(byId.at(IDC_NAME).nOffset, unsigned(XOFFSET(CTestPupil, m_strName)));
    // the second binding still loads its own member into the control...
    EXPECT_EQ(Item<QLineEdit>(IDC_NAME)->text(), "东路");
    Item<QLineEdit>(IDC_NAME)->setText(QStringLiteral("南路"));
    dlg.UpdateData(true);
    // ...and stores into both
    EXPECT_EQ(pupil.m_strAddress, "南路");
    EXPECT_EQ(pupil.m_strName, "南路");
}

TEST_F(BoundDialog, MemberWithoutFieldIsReportedNotFollowed)
{
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& m) { warnings << m; });
    dlg.bindUnlisted = true;
    pupil.m_nUnlisted = 7;
    Open();
    dlg.UpdateControls();
    qInstallMessageHandler(previous);
    EXPECT_FALSE(warnings.filter(QStringLiteral("no field")).isEmpty());
    // the value is still exchanged, without the field's range and format
    Item<CXEditNumber>(IDC_RATE)->setText(QStringLiteral("9"));
    dlg.UpdateData(true);
    EXPECT_EQ(pupil.m_nUnlisted, 9);
}

TEST_F(BoundDialog, CommandsGoThroughTheDialogsMapAndEnterIsOk)
{
    Open();
    Item<QPushButton>(IDC_BROWSE)->click();
    EXPECT_EQ(dlg.browsed, 1);
    EXPECT_TRUE(dlg.HasCommandHandler(IDC_BROWSE, XCN_COMMAND));
    EXPECT_TRUE(dlg.HasCommandHandler(IDC_BROWSE, XCN_UPDATE));
    EXPECT_TRUE(dlg.HasCommandHandler(IDOK, XCN_UPDATE));
    EXPECT_FALSE(dlg.HasCommandHandler(IDC_NAME, XCN_COMMAND));
    EXPECT_FALSE(dlg.HasCommandHandler(IDC_BROWSE, 5));

    // posted commands arrive in order
    XPostCommand(&dlg, IDC_BROWSE);
    XPostCommand(&dlg, IDCANCEL);
    QCoreApplication::processEvents();
    EXPECT_EQ(dlg.browsed, 2);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), IDCANCEL);

    dlg.show();
    QTest::keyClick(&dlg, Qt::Key_Return);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), IDOK);
}

TEST_F(BoundDialog, ModalRunAnsweredByTheTest)
{
    ui.onModal = [this](QDialog* d) {
        EXPECT_EQ(d, &dlg);
        EXPECT_TRUE(Item(IDC_NAME) != nullptr); // built before the run
        Item<QLineEdit>(IDC_NAME)->setText(QStringLiteral("王五"));
        Item<QPushButton>(IDOK)->click();
        return dlg.result();
    };
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(pupil.m_strName, "王五");
}

TEST_F(BoundDialog, TooltipsFromTheFieldHelpOrTheCommandPrompt)
{
    Open();
    EXPECT_EQ(dlg.TooltipText(Item(IDC_NAME)), "学员的姓名");
    EXPECT_EQ(dlg.TooltipText(Item(IDC_LEVEL)), QString());
}

// LORVAN_SCREENSHOT=<file.png> saves a picture of the dialog for a look at its layout.
TEST_F(BoundDialog, RendersOffscreen)
{
    pupil.m_bHasNote = 1;
    pupil.m_strRemark = QStringLiteral("每周六上午");
    pupil.script = {{ST_WARN, XOFFSET(CTestPupil, m_strName), QStringLiteral("姓名可能重复。")}};
    Open();
    Item<CXButton>(IDC_MODE_HOME)->click();
    const QPixmap shot = dlg.grab();
    EXPECT_FALSE(shot.isNull());
    EXPECT_GE(shot.width(), dlg.GetDlgItem(IDC_NAME)->width());
    const QByteArray file = qgetenv("LORVAN_SCREENSHOT");
    if (!file.isEmpty()) {
        EXPECT_TRUE(shot.save(QString::fromLocal8Bit(file)));
    }
}

namespace {

// A record edit frame in miniature: its pages share the first page's record.
class CDlgTestFrame : public CXDialogEx
{
public:
    explicit CDlgTestFrame(CTestPupil* pupil)
        : CXDialogEx(false, &Template()), first(pupil, false, &PupilTemplate(WS_CHILD), this)
    {}
    static const XDlgTemplate& Template()
    {
        static const XDlgTemplate t{
            IDD_EDIT, QStringLiteral("编辑"), 0, {{IDOK, XCtrlKind::Button, QStringLiteral("确定"), 0, -1}}, QSize()};
        return t;
    }
    CXDialogEx* FirstPage() const override { return const_cast<CDlgTestPupil*>(&first); }
    CXItem* GetItem() override { return first.GetItem(); }
    CDlgTestPupil first;
};

class CDlgSecondPage : public CDlgTestPupil
{
public:
    using CDlgTestPupil::CDlgTestPupil;
    CXItem* GetItem() override { return CXDialogEx::GetItem(); }
    void DoDataExchange(XDataExchange&) override {}
};

} // namespace

TEST(DialogFrame, PagesReachTheFramesRecordAndPostOkToIt)
{
    XUiTestHooks ui;
    CTestPupil pupil;
    CDlgTestFrame frame(&pupil);
    CDlgSecondPage page(nullptr, false, &PupilTemplate(WS_CHILD), &frame);
    frame.Create();
    page.Create();
    EXPECT_EQ(page.GetItem(), &pupil);
    EXPECT_EQ(frame.first.GetItem(), &pupil);

    // a page's OK goes to its frame, queued
    frame.show();
    XPostCommand(&page, IDOK);
    QCoreApplication::processEvents(); // the page posts on
    QCoreApplication::processEvents(); // the frame handles it
    EXPECT_FALSE(frame.isVisible());
    EXPECT_EQ(frame.result(), IDOK);

    // the frame's read-only mark reaches a page made afterwards
    SetWndReadOnly(&frame, true);
    CDlgSecondPage late(nullptr, false, &PupilTemplate(WS_CHILD), &frame);
    late.Create();
    EXPECT_TRUE(IsWndReadOnly(&late));
}

TEST(DialogFrame, HelpIdIsTheRecordsModuleOrTheGenericOne)
{
    XUiTestHooks ui;
    CTestPupil pupil;
    CDlgTestPupil dlg(&pupil);
    dlg.Create();
    EXPECT_EQ(dlg.m_nHelpId, 128); // the pupil class is no registered module's record

    static const XDlgTemplate kept{IDD_IMPORT_INFO, QStringLiteral("选择"), 0, {}, QSize()};
    CXDialogEx own(false, &kept);
    own.Create();
    EXPECT_EQ(own.m_nHelpId, IDD_IMPORT_INFO);
}

TEST_F(BoundDialog, TipLinesAndReadOnlyButtonsDrawTheirOwnWay)
{
    Open();
    auto* tip = Item<XIconStatic>(IDC_TIP);
    ASSERT_TRUE(tip); // "[t]" lines are replaced in their slot
    EXPECT_EQ(dlg.PrevInZOrder(tip), Item(IDC_BROWSE));
    EXPECT_EQ(tip->text(), "[t]带 * 的项目必须填写。");

    // read-only: the checked radio looks as before, an unchecked one differs from its
    // editable look
    auto* female = Item<CXButton>(IDC_SEX_FEMALE);
    auto* male = Item<CXButton>(IDC_SEX_MALE);
    const QImage femaleBefore = female->grab().toImage();
    const QImage maleBefore = male->grab().toImage();
    SetWndReadOnly(&dlg, true);
    EXPECT_EQ(female->grab().toImage(), femaleBefore);
    EXPECT_NE(male->grab().toImage(), maleBefore);
}

TEST_F(BoundDialog, TooltipShowsTheFieldHelp)
{
    Open();
    QWidget* name = Item(IDC_NAME);
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), name->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(name, &help);
    EXPECT_EQ(QToolTip::text(), "学员的姓名");
    QToolTip::hideText();
}

TEST(DialogKeys, EnterOnATabBarIsOk)
{
    XUiTestHooks ui;
    static const XDlgTemplate t{9003,
                                QStringLiteral("选项"),
                                0,
                                {{1200, XCtrlKind::Tab, QString(), 0, 0, 0},
                                 {IDOK, XCtrlKind::Button, QStringLiteral("确定"), WS_GROUP, -1},
                                 {IDCANCEL, XCtrlKind::Button, QStringLiteral("取消"), 0, -1}},
                                QSize()};
    CXDialogEx dlg(false, &t);
    dlg.Create();
    dlg.show();
    auto* tabs = qobject_cast<QTabBar*>(dlg.GetDlgItem(1200));
    ASSERT_TRUE(tabs);
    tabs->addTab(QStringLiteral("一"));
    QTest::keyClick(tabs, Qt::Key_Return);
    EXPECT_EQ(dlg.result(), IDOK);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_FALSE(qobject_cast<QPushButton*>(dlg.GetDlgItem(IDOK))->autoDefault());
}

namespace {

// Ends itself while initialising when told to, as pickers with nothing to offer do.
class CDlgEndsInInit : public CXDialogEx
{
public:
    explicit CDlgEndsInInit(int endWith) : CXDialogEx(false, &Template()), m_nEndWith(endWith) {}
    static const XDlgTemplate& Template()
    {
        static const XDlgTemplate t{9004,
                                    QStringLiteral("选择"),
                                    0,
                                    {{IDOK, XCtrlKind::Button, QStringLiteral("确定"), WS_GROUP, -1},
                                     {IDCANCEL, XCtrlKind::Button, QStringLiteral("取消"), 0, -1}},
                                    QSize()};
        return t;
    }
    bool OnInitDialog() override
    {
        CXDialogEx::OnInitDialog();
        if (m_nEndWith) {
            EndDialog(m_nEndWith);
            return false;
        }
        return true;
    }
    int m_nEndWith;
};

} // namespace

TEST(DialogModal, EndedWhileInitialisingReturnsWithoutRunning)
{
    XUiTestHooks ui;
    ui.onModal = [](QDialog*) { return 77; }; // a run that happened would answer this
    const struct
    {
        int endWith;
        int result;
        std::size_t runs;
    } cases[] = {{IDCANCEL, IDCANCEL, 0}, {IDOK, IDOK, 0}, {0, 77, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.endWith);
        ui.calls.clear();
        CDlgEndsInInit dlg(c.endWith);
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_EQ(ui.Calls(QStringLiteral("Modal")).size(), c.runs);
        EXPECT_FALSE(dlg.isVisible());
    }
    // a dialog ended by the user after initialising runs normally the next time
    CDlgEndsInInit dlg(0);
    dlg.Create();
    dlg.EndDialog(IDCANCEL);
    ui.calls.clear();
    EXPECT_EQ(dlg.DoModal(), 77);
    EXPECT_EQ(ui.Calls(QStringLiteral("Modal")).size(), 1u);
}
