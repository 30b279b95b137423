#include "CXArray.h"
#include "CXListBox.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "DbTestSupport.h"
#include "TestDialogRecord.h"
#include "TestListRecord.h"
#include "TestSupport.h"
#include "XDrawing.h"
#include "XListModel.h"
#include "XMainWindow.h"

#include <QtTest/QTest>
#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

namespace {

using Lessons = CXArrayT<CTestLesson>;

// Whether anything is drawn along the middle line of the list (the empty-list text).
bool DrawsInTheMiddle(CXListCtrl& list)
{
    list.resize(400, 200);
    list.show();
    const QImage image = list.grab().toImage();
    const int y = list.viewport()->geometry().center().y();
    const QRgb background = image.pixel(5, y);
    for (int x = 60; x < 340; ++x)
        for (int dy = -6; dy <= 6; ++dy)
            if (image.pixel(x, y + dy) != background)
                return true;
    return false;
}

TEST(ListParts, EmptyListTexts)
{
    TempDatabase db;
    Lessons none;
    CXListCtrl brief; // "无课程"
    brief.SetItems(&none, CTestLesson::StaticHeads(), 2, 0);
    EXPECT_TRUE(DrawsInTheMiddle(brief));

    CXListCtrl module; // no active document: nothing
    module.SetItems(&none, CTestLesson::StaticHeads(), 0, 0);
    EXPECT_FALSE(DrawsInTheMiddle(module));
    CXListCtrl::s_activeModuleName = [] { return QStringLiteral("学员"); };
    EXPECT_TRUE(DrawsInTheMiddle(module));
    CXListCtrl::s_activeModuleName = nullptr;
}

TEST(ListParts, HiddenFieldsShowEmptyCells)
{
    TempDatabase db;
    Lessons items;
    auto* lesson = new CTestLesson(QStringLiteral("a"), 1, 5);
    lesson->m_nHiddenOffset = XOFFSET(CTestLesson, m_fFee);
    items.AddAdopted(lesson);
    CXListCtrl list;
    list.SetItems(&items, CTestLesson::StaticHeads(), 0, 0);
    EXPECT_EQ(list.GetItemText(0, 0), "a");
    EXPECT_EQ(list.GetItemText(0, 2), "");
}

// A module view around the list: handles delete itself and receives forwarded menus.
class CTestView : public QWidget, public XCmdTarget, public IXListView
{
    X_DECLARE_MESSAGE_MAP()
public:
    bool HasCommandHandler(int id, int code) const override { return HasOwnHandler(id, code); }
    void OnDelete() { ++deleted; }
    int deleted = 0;
};

X_BEGIN_MESSAGE_MAP(CTestView, XCmdTarget)
    X_ON_COMMAND(ID_EDIT_DELETE, OnDelete)
X_END_MESSAGE_MAP()

class CMainStandIn : public QObject
{
public:
    bool event(QEvent* e) override
    {
        if (e->type() == XCommandEvent::EventType()) {
            auto* c = static_cast<XCommandEvent*>(e);
            if (c->m_nMessage == WM_XSTATUSBAR && c->m_wParam == ID_INDICATOR_COUNT)
                ++notices;
            return true;
        }
        return QObject::event(e);
    }
    int notices = 0;
};

TEST(ListParts, RoutingThroughViewsAndDialogs)
{
    TempDatabase db;
    CMainStandIn main;
    QObject* previous = XSetMainWindow(&main);
    {
        CTestView view;
        Lessons items;
        items.AddAdopted(new CTestLesson(QStringLiteral("a"), 0, 1));
        items.AddAdopted(new CTestLesson(QStringLiteral("b"), 0, 1));
        auto* list = new CXListCtrl(&view);
        list->SetItems(&items, CTestLesson::StaticHeads(), 0, 0);
        list->SelectOnly(0);
        list->SelectOnly(1);
        // the view's own handler wins; copying stays with the list
        EXPECT_TRUE(list->OnCmdMsg(ID_EDIT_DELETE, XCN_COMMAND, nullptr));
        EXPECT_EQ(view.deleted, 1);
        EXPECT_EQ(items.GetSize(), 2);
        EXPECT_TRUE(list->OnCmdMsg(ID_XCTRL_SELCLR, XCN_COMMAND, nullptr));
        EXPECT_EQ(list->GetSelectedCount(), 0);
        // a burst of selection changes gives one notice to the main window
        QTest::qWait(350);
        QCoreApplication::sendPostedEvents();
        EXPECT_EQ(main.notices, 1);
        delete list;
    }
    XSetMainWindow(previous);

    CTestPupil pupil;
    CDlgTestPupil dlg(&pupil);
    Lessons items;
    items.AddAdopted(new CTestLesson(QStringLiteral("a"), 0, 1));
    auto* list = new CXListCtrl(&dlg);
    list->SetItems(&items, CTestLesson::StaticHeads(), 0, 0);
    EXPECT_FALSE(list->HasCalcColumns());
    // the dialog binder sees the list through its interface; checks reach the records
    IXListControl* bound = list;
    EXPECT_EQ(bound->ShownArray(), &items);
    bound->SetItemChecked(0, true);
    EXPECT_TRUE(bound->IsItemChecked(0));
    EXPECT_EQ(items[0]->m_bSelected, 1);
    EXPECT_TRUE(list->OnCmdMsg(IDC_BROWSE, XCN_COMMAND, nullptr));
    EXPECT_EQ(dlg.browsed, 1);
}

TEST(ListParts, ListBoxRowsElisionAndClicksBelowTheItems)
{
    for (auto [dpi, height] : {std::pair{96, 24}, std::pair{144, 34}}) {
        SetScreenDpiOverride(dpi);
        CXListBox box;
        box.addItems({QStringLiteral("常规"), QStringLiteral("打印")});
        box.resize(200, 200);
        box.show();
        EXPECT_EQ(box.visualItemRect(box.item(0)).height(), height);
        box.setCurrentRow(1);
        const QPoint below(50, box.visualItemRect(box.item(1)).bottom() + 30);
        QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, below);
        EXPECT_EQ(box.currentRow(), 1);
        EXPECT_EQ(box.selectedItems().size(), 1);
        QTest::mouseClick(box.viewport(), Qt::LeftButton, {}, box.visualItemRect(box.item(0)).center());
        EXPECT_EQ(box.currentRow(), 0);
    }
    SetScreenDpiOverride(0);
}

} // namespace
