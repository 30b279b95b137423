#include "CDBPrjOrder.h"
#include "CModulePrjOrder.h"
#include "CDlgEdit.h"
#include "CDlgHeads.h"
#include "CDialogPickers.h"
#include "EditFrame.h"
#include "ModuleHooks.h"
#include "ProgramSeams.h"
#include "XRecordPickers.h"
#include "CModuleCommands.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "FakeModuleHost.h"
#include "RecordDbFixture.h"
#include "XUi.h"

#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QLineEdit>

namespace {

QStringList Positions(const CHeads& heads)
{
    QStringList p;
    for (int i = 0; i < heads.GetSize(); ++i)
        p << QString::number(heads.GetAt(i)->m_nPos);
    return p;
}

class ColumnDialog : public RecordDb
{
protected:
    void SetUp() override
    {
        RecordDb::SetUp();
        m_heads.CopyFrom(*CTestCourse::StaticHeads());
        for (int i = 0; i < m_heads.GetSize(); ++i)
            if (m_heads.GetAt(i)->InSchemes())
                m_offered.push_back(i);
    }
    CHeads m_heads;
    std::vector<int> m_offered;
    XUiTestHooks m_ui;
};

} // namespace

TEST_F(ColumnDialog, ChosenOrderedAndNumberedInListOrder)
{
    ASSERT_GE(m_offered.size(), 2u);
    for (int i = 0; i < m_heads.GetSize(); ++i)
        m_heads.GetAt(i)->m_nPos = -1;
    m_heads.GetAt(m_offered[1])->m_nPos = 0; // only the second offered field shown
    CDlgHeads dlg(MDU_COURSE);
    dlg.m_heads.CopyFrom(m_heads);
    ASSERT_TRUE(dlg.Create());
    ASSERT_EQ(dlg.m_list->GetItemCount(), static_cast<int>(m_offered.size()));
    EXPECT_EQ(static_cast<const CHead*>(dlg.m_list->GetItemData(0))->m_strName, m_heads.GetAt(m_offered[1])->m_strName);
    EXPECT_TRUE(dlg.m_list->GetCheck(0));

    // First row: up disabled; moving it down puts it second.
    dlg.m_list->SelectOnly(0);
    dlg.UpdateControls();
    EXPECT_FALSE(dlg.GetDlgItem(IDC_MOVE_UP)->isEnabled());
    EXPECT_TRUE(dlg.GetDlgItem(IDC_MOVE_DOWN)->isEnabled());
    dlg.m_list->DispatchCommand(IDC_MOVE_DOWN); // the list's own button
    EXPECT_TRUE(dlg.m_list->GetCheck(1));
    dlg.OnButton(1040); // all
    dlg.SaveList();
    EXPECT_EQ(dlg.m_heads.GetAt(m_offered[1])->m_nPos, 1);
    EXPECT_EQ(dlg.m_heads.GetAt(0)->m_nPos, -1); // the record key is never shown

    // Nothing checked: OK refuses.
    dlg.OnButton(1041);
    qobject_cast<QAbstractButton*>(dlg.GetDlgItem(IDOK))->click();
    EXPECT_NE(dlg.result(), IDOK);

    // A scheme text of another length changes nothing; 重置 without schemes does nothing.
    const QStringList before = Positions(dlg.m_heads);
    EXPECT_FALSE(dlg.ApplyScheme(QStringLiteral("1,-1,0")));
    dlg.OnButton(IDC_RESET);
    EXPECT_EQ(Positions(dlg.m_heads), before);
}

TEST_F(ColumnDialog, TheColumnCommandCopiesThePositionsBack)
{
    CFakeModuleHost host;
    XModuleHost* previous = SetModuleHost(&host);
    CXArray items(nullptr, true);
    CXListCtrl list;
    list.SetItems(&items, CTestCourse::StaticHeads(), 2, 0);
    host.list = &list;
    m_ui.onModal = [](QDialog* d) {
        auto* dlg = static_cast<CDlgHeads*>(d);
        dlg->OnButton(1041);
        dlg->m_list->SetCheck(0, true);
        qobject_cast<QAbstractButton*>(dlg->GetDlgItem(IDOK))->click();
        return d->result();
    };
    ASSERT_TRUE(ModuleCommands(m_course).DispatchCommand(ID_HEADS_USER));
    int shown = 0;
    for (int i = 0; i < list.m_heads.GetSize(); ++i)
        shown += list.m_heads.GetAt(i)->m_nPos == 0 ? 1 : 0;
    EXPECT_EQ(shown, 1);
    for (int i = 0; i < list.m_heads.GetSize(); ++i)
        EXPECT_LE(list.m_heads.GetAt(i)->m_nPos, 0);
    SetModuleHost(previous);
}

TEST_F(ColumnDialog, SavedAsASchemeAndReadBackOnce)
{
    CModulePrjOrder schemes;
    RegisterModule(&schemes);
    CXDBSession session;
    session.Connect();
    ASSERT_TRUE(MarkWritableColumns(session, *CDBPrjOrder::StaticHeads()));
    InstallModuleLayerSeams();
    CFakeAppServices::Installed().user = &m_user;

    CDlgHeads dlg(MDU_COURSE);
    dlg.m_heads.CopyFrom(m_heads);
    ASSERT_TRUE(dlg.Create());
    dlg.OnButton(1041);
    dlg.m_list->SetCheck(1, true);
    dlg.m_list->SetCheck(0, true);
    m_ui.onModal = [](QDialog* d) {
        auto* frame = static_cast<CDlgEdit*>(d);
        qobject_cast<QLineEdit*>(frame->m_pages[0]->GetDlgItem(IDC_TITLE))->setText(QStringLiteral("两列"));
        auto* onTop = qobject_cast<QAbstractButton*>(frame->m_pages[0]->GetDlgItem(IDC_ONTOP));
        EXPECT_TRUE(onTop->isChecked());
        onTop->click(); // shown before the built-in schemes
        qobject_cast<QAbstractButton*>(frame->GetDlgItem(IDOK))->click();
        return d->result();
    };
    dlg.OnButton(IDC_SAVEAS);
    ASSERT_EQ(m_ui.Calls(QStringLiteral("Modal")).size(), 1u);
    dlg.SaveList();
    EXPECT_EQ(QueryText(QStringLiteral("SELECT SetupData FROM TB_PROJECT WHERE PrjName='两列'")),
              Positions(dlg.m_heads).join(u','));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT DispOnTop FROM TB_PROJECT WHERE PrjName='两列'")), QStringLiteral("0"));
    int named = 0;
    for (const CXItem* s : m_course.m_headSchemes)
        named += s->m_strName == QStringLiteral("两列") ? 1 : 0;
    EXPECT_EQ(named, 1);
    ASSERT_GT(m_course.m_headSchemes.GetSize(), 1);
    EXPECT_EQ(m_course.m_headSchemes.GetAt(0)->m_strName, QStringLiteral("两列"));

    SetRecordPickers(nullptr);
    SetEditPageMaker(MDU_PRJQUERY, {});
    SetEditPageMaker(MDU_PRJORDER, {});
    CFakeAppServices::Installed().user = nullptr;
    UnregisterModule(&schemes);
}

namespace {

// The shell's module view: the commands it does not know go to its module.
class CCourseView : public QWidget, public XCmdTarget, public IXListView
{
public:
    explicit CCourseView(CModule& module) : m_module(module) {}
    bool HasCommandHandler(int id, int code) const override { return ModuleCommands(m_module).HasOwnHandler(id, code); }
    bool OnCmdMsg(int id, int code, XCmdUI* ui, bool probeOnly) override
    {
        return ModuleCommands(m_module).OnCmdMsg(id, code, ui, probeOnly);
    }
    CModule& m_module;
};

} // namespace

TEST_F(ColumnDialog, ModuleListHeaderOffersTheModulesColumnSchemes)
{
    InstallModuleLayerSeams();
    m_course.m_headSchemes.RemoveAll();
    m_course.AddBuiltInHeadSchemes(m_course.m_headSchemes);
    ASSERT_FALSE(m_offered.empty());
    auto* second = new CDBPrjOrder; // a saved scheme showing one column
    second->m_strName = QStringLiteral("一列");
    QStringList setup;
    for (int i = 0; i < m_heads.GetSize(); ++i)
        setup << (i == m_offered.back() ? QStringLiteral("0") : QStringLiteral("-1"));
    second->m_strRightData = setup.join(u',');
    m_course.m_headSchemes.AddAdopted(second);
    ASSERT_EQ(m_course.m_headSchemes.GetAt(1), second);

    CFakeModuleHost host;
    XModuleHost* previous = SetModuleHost(&host);
    CCourseView view(m_course);
    CXArray items(nullptr, true);
    auto* list = new CXListCtrl(&view);
    list->SetItems(&items, CTestCourse::StaticHeads(), 0, 0);
    host.list = list;
    view.resize(500, 300);
    list->resize(500, 300);
    view.show();

    m_ui.menuChoice = ID_HEADS_PRJ00 + 1;
    list->ShowContextMenu(list->header()->viewport()->mapToGlobal(QPoint(5, 5)));
    ASSERT_EQ(m_ui.Calls(QStringLiteral("Menu")).size(), 1u);
    EXPECT_EQ(Positions(list->m_heads).join(u','), second->m_strRightData);

    // A list outside every module window offers no schemes.
    CXListCtrl loose;
    loose.SetItems(&items, CTestCourse::StaticHeads(), 0, 0);
    EXPECT_FALSE(CXListCtrl::s_headsMenu(loose));
    SetModuleHost(previous);
    m_course.m_headSchemes.RemoveAll();
}
