// The edit with command buttons, the history combo box and the history dialogs over a
// temporary database.
#include "CDlgSelHistory.h"
#include "CFakeAppServices.h"
#include "CXComboBox.h"
#include "CXEditCtrl.h"
#include "CommandIds.h"
#include "RecordLookups.h"
#include "TestControlDialog.h"
#include "XCmdRow.h"
#include "XCtrlProps.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <gtest/gtest.h>

#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QToolTip>
#include <QtWidgets/QTreeWidget>
#include <QtGui/QHelpEvent>

namespace {

class EditControls : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(TempControlDb::Exec(QStringLiteral("INSERT INTO TB_STUDENT (ID,RealName,City) VALUES "
                                                       "(5,'张三','北京'),(6,'李四','上海'),(8,'王五','上海')")));
    }
    void Open()
    {
        dlg.Create();
        dlg.show();
    }
    CXEditCtrl* Name() { return qobject_cast<CXEditCtrl*>(dlg.GetDlgItem(IDC_P_NAME)); }
    CXComboBox* City() { return qobject_cast<CXComboBox*>(dlg.GetDlgItem(IDC_P_CITY)); }

    TempControlDb db;
    XUiTestHooks ui;
    CTestPerson person;
    CDlgTestPerson dlg{&person};
};

QStringList ShownIds(const CXEditCtrl* e)
{
    QStringList ids;
    for (CXCmd* c : e->Buttons().VisibleCmds())
        ids << QString::number(c->m_nID);
    return ids;
}

} // namespace

TEST_F(EditControls, TypingAnExistingNameShowsTheIndicatorAtOnce)
{
    Open();
    CXEditCtrl* name = Name();
    ASSERT_NE(name, nullptr);
    // the extra command first, then the indicator of the duplicate check (hidden)
    ASSERT_EQ(name->Buttons().Cmds().size(), 2u);
    EXPECT_EQ(name->Buttons().Cmds()[0]->m_nID, ID_EDIT_MERGE);
    EXPECT_TRUE(name->Buttons().Cmds()[0]->m_bDefault);
    EXPECT_EQ(name->Buttons().Cmds()[1]->m_nID, IDI_WARNING);
    EXPECT_TRUE(name->Buttons().Cmds()[1]->m_bIndicator);
    EXPECT_TRUE(ShownIds(name).isEmpty()); // unsaved record, no duplicate yet

    name->insert(QStringLiteral("张三"));                                 // as typed: one change notice
    EXPECT_EQ(ShownIds(name), QStringList{QString::number(IDI_WARNING)}); // no merge: not saved
    EXPECT_EQ(name->textMargins().right(), 24);
    // the indicator only tells
    XCmdRow* row = name->Buttons().Row();
    const QPoint at = name->Buttons().Cmd(IDI_WARNING)->m_rc.center();
    QHelpEvent help(QEvent::ToolTip, at, row->mapToGlobal(at));
    QApplication::sendEvent(row, &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("存在重复项！"));
    QTest::mouseClick(row, Qt::LeftButton, {}, at);
    QApplication::processEvents();
    EXPECT_TRUE(dlg.commands.empty());
    name->clear();
    EXPECT_TRUE(ShownIds(name).isEmpty());
    EXPECT_EQ(name->textMargins().right(), 0);

    person.m_nID = 7; // a saved record also offers the merge
    name->setText(QStringLiteral("张三"));
    EXPECT_EQ(ShownIds(name), (QStringList{QString::number(ID_EDIT_MERGE), QString::number(IDI_WARNING)}));
    person.m_nID = 5; // its own row is no duplicate (no module is registered: the line ID counts)
    person.m_nSubID = 5;
    name->setText(QStringLiteral("张三 "));
    name->setText(QStringLiteral("张三"));
    EXPECT_TRUE(ShownIds(name).isEmpty());

    // clicking merge posts the command to the dialog
    person.m_nID = 7;
    name->setText(QStringLiteral("李四"));
    CXCmd* merge = name->Buttons().Cmd(ID_EDIT_MERGE);
    QTest::mouseClick(name->Buttons().Row(), Qt::LeftButton, {}, merge->m_rc.center());
    QApplication::processEvents();
    EXPECT_EQ(dlg.commands, std::vector<int>{ID_EDIT_MERGE});
}

TEST_F(EditControls, ButtonGeometryAndStates)
{
    CXEditCtrl e;
    e.resize(200, 22);
    e.Buttons().AddCmd(ID_EDIT_HISTORY, true);
    e.Buttons().AddCmd(ID_EDIT_CLEAR, true);
    // 22 high, two buttons: one row, 48 pixels off the text; the buttons are 24 wide and
    // end at the border, which stays drawn all round
    EXPECT_EQ(e.textMargins().right(), 48);
    EXPECT_EQ(e.Buttons().Row()->geometry(), QRect(151, 1, 48, 20));
    EXPECT_EQ(e.Buttons().Cmd(ID_EDIT_HISTORY)->m_rc, QRect(24, 0, 24, 20));
    EXPECT_EQ(e.Buttons().Cmd(ID_EDIT_CLEAR)->m_rc, QRect(0, 0, 24, 20));
    // a multi-line box high enough for its column keeps square buttons
    CXMultiEditCtrl memo;
    memo.resize(200, 60);
    memo.Buttons().AddCmd(ID_EDIT_HISTORY, true);
    EXPECT_EQ(memo.Buttons().Row()->geometry(), QRect(175, 1, 24, 24));

    // clear follows the text and empties it
    e.Buttons().OnChange();
    EXPECT_FALSE(e.Buttons().Cmd(ID_EDIT_CLEAR)->m_bEnabled);
    e.setText(QStringLiteral("abc"));
    EXPECT_TRUE(e.Buttons().Cmd(ID_EDIT_CLEAR)->m_bEnabled);
    e.Buttons().OnButton(ID_EDIT_CLEAR);
    EXPECT_TRUE(e.text().isEmpty());

    // no buttons while disabled or read-only
    e.setEnabled(false);
    EXPECT_TRUE(e.Buttons().VisibleCmds().empty());
    EXPECT_EQ(e.textMargins().right(), 0);
    e.setEnabled(true);
    SetWndReadOnly(&e, true);
    EXPECT_TRUE(e.Buttons().VisibleCmds().empty());
    EXPECT_TRUE(e.isReadOnly());
    SetWndReadOnly(&e, false);
    EXPECT_EQ(e.Buttons().VisibleCmds().size(), 2u);
}

TEST_F(EditControls, HistoryButtonReplacesTheTextFromTheDialog)
{
    CXEditCtrl e;
    e.Buttons().m_strTable = QStringLiteral("TB_STUDENT");
    e.Buttons().m_strColumn = QStringLiteral("City");
    e.setText(QStringLiteral("x"));
    ui.onModal = [](QDialog* d) {
        auto* h = dynamic_cast<CDlgSelHistory*>(d);
        EXPECT_NE(h, nullptr);
        if (!h)
            return int(IDCANCEL);
        QTreeWidget* list = h->List();
        EXPECT_EQ(list->topLevelItemCount(), 2);
        EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("上海")); // most used first
        list->setCurrentItem(list->topLevelItem(1));
        h->DispatchCommand(IDOK);
        return h->result();
    };
    e.Buttons().OnButton(ID_EDIT_HISTORY);
    EXPECT_EQ(e.text(), QStringLiteral("北京"));
    e.undo();
    EXPECT_EQ(e.text(), QStringLiteral("x"));

    // no history: the message, the text stays
    e.Buttons().m_strColumn = QStringLiteral("UserPassword");
    ui.Clear();
    e.Buttons().OnButton(ID_EDIT_HISTORY);
    ASSERT_EQ(ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_EQ(ui.Calls(QStringLiteral("MessageBox"))[0].text, QStringLiteral("未找到历史记录！"));
    EXPECT_TRUE(ui.Calls(QStringLiteral("Modal")).empty());
}

TEST_F(EditControls, ComboDropDownAddsHistoryAndPseudoItems)
{
    Open();
    CXComboBox* city = City();
    ASSERT_NE(city, nullptr);
    EXPECT_EQ(city->m_strTable, QStringLiteral("TB_STUDENT"));
    EXPECT_EQ(city->m_strColumn, QStringLiteral("City"));
    city->setEditText(QStringLiteral("广州"));
    city->FillHistory();
    ASSERT_EQ(city->count(), 3);
    EXPECT_EQ(city->itemText(0), QStringLiteral("上海"));
    EXPECT_EQ(city->itemText(2), QStringLiteral("更多 ..."));
    EXPECT_EQ(city->itemData(2).toInt(), XCB_MORE);
    EXPECT_EQ(city->currentText(), QStringLiteral("广州"));

    // "更多 ..." keeps the text and opens the history dialog
    city->showPopup();
    city->hidePopup();
    city->setCurrentIndex(2);
    city->OnSelEndOk(2);
    QApplication::processEvents();
    EXPECT_EQ(city->currentText(), QStringLiteral("广州"));
    EXPECT_EQ(ui.Calls(QStringLiteral("Modal")).size(), 1u);

    // an ordinary value stays chosen
    city->setCurrentIndex(1);
    city->OnSelEndOk(1);
    QApplication::processEvents();
    EXPECT_EQ(city->currentText(), QStringLiteral("北京"));
}

TEST_F(EditControls, ComboWithoutHistoryKeepsTheText)
{
    CXComboBox c;
    c.setEditable(true);
    c.m_strTable = QStringLiteral("TB_STUDENT");
    c.m_strColumn = QStringLiteral("UserPassword");
    c.setEditText(QStringLiteral("abc"));
    c.showPopup();
    c.hidePopup();
    ASSERT_EQ(c.count(), 1);
    EXPECT_EQ(c.itemText(0), QStringLiteral("（无历史记录）"));
    c.setCurrentIndex(0);
    c.OnSelEndOk(0);
    QApplication::processEvents();
    EXPECT_EQ(c.currentText(), QStringLiteral("abc"));

    SetWndReadOnly(&c, true);
    QTest::keyClicks(c.lineEdit(), QStringLiteral("zz"));
    EXPECT_EQ(c.currentText(), QStringLiteral("abc"));
    c.lineEdit()->deselect();
    QTest::mouseDClick(c.lineEdit(), Qt::LeftButton); // would select a word
    EXPECT_FALSE(c.lineEdit()->hasSelectedText());
}

TEST_F(EditControls, AdministratorRenamesAndMergesHistory)
{
    CTestPerson admin;
    admin.m_nRightRole = 2;
    CDlgSelHistory h;
    h.m_strTable = QStringLiteral("TB_STUDENT");
    h.m_strColumn = QStringLiteral("City");
    h.m_strValue = QStringLiteral("北京");
    ui.onModal = [&](QDialog* d) {
        if (auto* edit = dynamic_cast<CDlgEditHistory*>(d)) {
            edit->m_strText = QStringLiteral("上海");
            return int(IDOK);
        }
        auto* sel = dynamic_cast<CDlgSelHistory*>(d);
        EXPECT_EQ(sel->List()->currentItem()->text(0), QStringLiteral("北京"));
        struct Ui : XCmdUI
        {
            bool on = false;
            void Enable(bool b) override { on = b; }
        } state;
        sel->OnUpdateModify(&state);
        EXPECT_FALSE(state.on); // not an administrator
        CFakeAppServices::Installed().user = &admin;
        sel->OnUpdateModify(&state);
        EXPECT_TRUE(state.on);
        sel->OnModify();
        return int(IDCANCEL);
    };
    h.RunHistory();
    CFakeAppServices::Installed().user = nullptr;
    ASSERT_EQ(h.m_items.GetSize(), 1);
    EXPECT_EQ(h.m_items[0]->m_strName, QStringLiteral("上海"));
    EXPECT_EQ(h.m_items[0]->m_nID, 3);
    CXArray again(nullptr, true);
    EXPECT_EQ(ReadInputHistory(again, QStringLiteral("TB_STUDENT"), QStringLiteral("City")), 1);
}

TEST_F(EditControls, HistoryEditorRefusesLongTexts)
{
    CDlgEditHistory e;
    e.m_strText = QString(300, u'x');
    e.Create();
    e.show();
    e.DispatchCommand(IDOK);
    const auto tips = ui.Calls(QStringLiteral("Balloon"));
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].text, QStringLiteral("输入文本长度应 < 255！"));
    EXPECT_TRUE(e.isVisible());
    EXPECT_EQ(e.m_strText.size(), 300);
}

TEST_F(EditControls, MultiLineEditKeepsItsButtonsInAColumn)
{
    CXMultiEditCtrl e;
    e.resize(200, 100);
    e.show();
    const int full = e.viewport()->width();
    e.Buttons().AddCmd(ID_EDIT_HISTORY, true);
    e.Buttons().AddCmd(ID_EDIT_CLEAR, true);
    EXPECT_EQ(e.viewport()->width(), full - 24);
    EXPECT_EQ(e.Buttons().Row()->geometry().size(), QSize(24, 48));
    e.Buttons().OnChange();
    EXPECT_FALSE(e.Buttons().Cmd(ID_EDIT_CLEAR)->m_bEnabled);
    e.setPlainText(QStringLiteral("a\nb"));
    EXPECT_TRUE(e.Buttons().Cmd(ID_EDIT_CLEAR)->m_bEnabled);
    e.ReplaceAll(QStringLiteral("c"));
    EXPECT_EQ(e.toPlainText(), QStringLiteral("c"));
    e.undo();
    EXPECT_EQ(e.toPlainText(), QStringLiteral("a\nb"));
    SetWndReadOnly(&e, true);
    EXPECT_TRUE(e.isReadOnly());
    EXPECT_EQ(e.viewport()->width(), full);
}

TEST_F(EditControls, EnterRunsTheDefaultCommandOrReachesTheDialog)
{
    Open();
    // with ES_WANTRETURN and buttons, Enter posts the default command
    CXEditCtrl* name = Name();
    SetCtrlProps(name, IDC_P_NAME, QStringLiteral("Edit"), CtrlStyle(name) | ES_WANTRETURN, 0);
    QTest::keyClick(name, Qt::Key_Return);
    QApplication::processEvents();
    EXPECT_EQ(dlg.commands, std::vector<int>{ID_EDIT_MERGE});

    // a multi-line edit without ES_WANTRETURN leaves Enter to the dialog
    CXMultiEditCtrl multi;
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(&multi, &enter);
    EXPECT_FALSE(enter.isAccepted());
    EXPECT_TRUE(multi.toPlainText().isEmpty());
    SetCtrlProps(&multi, 1, QStringLiteral("Edit"), ES_MULTILINE | ES_WANTRETURN, 0);
    QKeyEvent again(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
    QApplication::sendEvent(&multi, &again);
    EXPECT_EQ(multi.toPlainText(), QStringLiteral("\n"));
}
