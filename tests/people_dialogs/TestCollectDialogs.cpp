#include "CDBCollect.h"
#include "CDlgEdit.h"
#include "CDlgEditCollect.h"
#include "CDlgEditCollectItem.h"
#include "CFakeAppServices.h"
#include "CXCmd.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "EditFrame.h"
#include "FixtureSchool.h"
#include "RecordWriter.h"
#include "XUi.h"

#include <gtest/gtest.h>

#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include <memory>

namespace {

class CollectDialogs : public SchoolTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
        SetEditPageMaker(MDU_COLLECT, [](bool bNew, const CXItem* item) -> std::unique_ptr<CXDialogEx> {
            return std::make_unique<CDlgEditCollect>(bNew, item);
        });
        CFakeAppServices::Installed().user = &FixtureUser();
    }
    void TearDown() override
    {
        SetEditPageMaker(MDU_COLLECT, {});
        CFakeAppServices::Installed().user = nullptr;
        SchoolTest::TearDown();
    }

    std::unique_ptr<CDlgEdit> Open(int id)
    {
        CXArray items(nullptr, true);
        if (id) {
            CXMap query;
            query.SetText(QKEY_IDS, QString::number(id));
            EXPECT_TRUE(FindModule(MDU_COLLECT)->QueryItems(items, query, false, true));
        }
        std::unique_ptr<CDlgEdit> frame(
            CreateEditDialog(*FindModule(MDU_COLLECT), id == 0, id ? items.GetAt(0) : nullptr));
        if (frame) {
            frame->Create();
            frame->show();
        }
        return frame;
    }
    static CDlgEditCollect* Page(CDlgEdit& frame) { return static_cast<CDlgEditCollect*>(frame.m_pages[0]); }
    template <class W> static W* Ctrl(CXDialogEx& dlg, int id) { return qobject_cast<W*>(dlg.GetDlgItem(id)); }
    static void SetText(CXDialogEx& dlg, int id, const QString& text)
    {
        if (auto* edit = Ctrl<QLineEdit>(dlg, id))
            edit->setText(text);
        else if (auto* combo = Ctrl<QComboBox>(dlg, id))
            combo->setEditText(text);
        else
            ADD_FAILURE() << "no text control " << id;
    }

    // The item dialog as the user fills it: the amount it showed, then OK.
    struct XItemInput
    {
        QString content, unit, num, price;
        QString shownAmount;
    };
    void AnswerItemDialog(XItemInput& input)
    {
        m_ui.onModal = [&input](QDialog* d) {
            auto* dlg = dynamic_cast<CDlgEditCollectItem*>(d);
            if (!dlg)
                return int(IDCANCEL);
            dlg->show(); // a refusal shows its balloon at a visible control
            SetText(*dlg, IDC_CONTENT, input.content);
            SetText(*dlg, IDC_UNIT, input.unit);
            SetText(*dlg, IDC_PAY_NUM, input.num);
            SetText(*dlg, IDC_UNIT_PRICE, input.price);
            dlg->UpdateControls();
            input.shownAmount = Ctrl<QLineEdit>(*dlg, IDC_PRICE)->text();
            Ctrl<QPushButton>(*dlg, IDOK)->click();
            return dlg->result();
        };
    }

    XUiTestHooks m_ui;
};

// The general receipt page issues a receipt: items added through their dialog (one refused
// for want of a unit), the total following them, and the save numbering it.
TEST_F(CollectDialogs, PageIssuesAReceiptWithItemsAddedInTheirDialog)
{
    auto frame = Open(0);
    ASSERT_TRUE(frame);
    CDlgEditCollect* page = Page(*frame);
    ASSERT_TRUE(page->m_list);
    EXPECT_EQ(page->Template()->caption, QStringLiteral("基本信息"));

    const struct
    {
        XItemInput input;
        const char* amount; // shown in the item dialog
        int lines;          // in the list afterwards
    } steps[] = {
        {{QStringLiteral("立式钢琴 UP-121"), QStringLiteral("台"), QStringLiteral("1"), QStringLiteral("12000")},
         "¥12,000.00",
         1},
        {{QStringLiteral("电子节拍器"), QString(), QStringLiteral("2"), QStringLiteral("100")}, "¥200.00", 1},
        {{QStringLiteral("电子节拍器"), QStringLiteral("台"), QStringLiteral("2"), QStringLiteral("100")},
         "¥200.00",
         2},
        {{QStringLiteral("钢琴基础教程"), QStringLiteral("本"), QStringLiteral("1"), QStringLiteral("13")},
         "¥13.00",
         3},
    };
    for (const auto& s : steps) {
        XItemInput input = s.input;
        AnswerItemDialog(input);
        // the list routes its add command to the page
        ASSERT_TRUE(page->m_list->OnCmdMsg(ID_LIST_ADDITEM, XCN_COMMAND, nullptr));
        EXPECT_EQ(input.shownAmount, QString::fromUtf8(s.amount));
        EXPECT_EQ(page->m_list->GetItemCount(), s.lines);
    }
    // the item without a unit was refused in its dialog
    ASSERT_FALSE(m_ui.Calls(QStringLiteral("Balloon")).empty());
    EXPECT_EQ(m_ui.Calls(QStringLiteral("Balloon"))[0].text, QStringLiteral("请输入单位！"));
    // 12000 + 2 x 100 + 13
    EXPECT_EQ(Ctrl<QLabel>(*page, IDC_PRICE)->text(), QStringLiteral("¥12,213.00"));

    SetText(*page, IDC_PAYER, QStringLiteral("李小雨妈妈"));
    SetText(*page, IDC_PAY_TYPE, QStringLiteral("支付宝"));
    frame->resize(frame->size().expandedTo(QSize(640, 480)));
    QApplication::processEvents();
    EXPECT_TRUE(frame->grab().save(QStringLiteral("/tmp/collect-page.png")));
    Ctrl<QPushButton>(*frame, IDOK)->click();
    EXPECT_EQ(QueryText(QStringLiteral("SELECT KeyName||'|'||Payer||'|'||PayType FROM TB_COLLECT WHERE ID=(SELECT "
                                       "MAX(ID) FROM TB_COLLECT)")),
              QStringLiteral("T260005|李小雨妈妈|支付宝"));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT CAST(ROUND(SUM(PayNum*UnitPrice)*100) AS INTEGER) FROM TB_COLLECT_ITEM "
                                       "WHERE CollectID=(SELECT MAX(ID) FROM TB_COLLECT)")),
              QStringLiteral("1221300"));
}

// Modify works on the one selected line; a copy made from a receipt saves lines of its own.
TEST_F(CollectDialogs, ModifyOneLineAndCopyAsNew)
{
    std::unique_ptr<CDlgEditCollect> copy;
    {
        auto frame = Open(m_school.c1);
        ASSERT_TRUE(frame);
        CDlgEditCollect* page = Page(*frame);
        ASSERT_EQ(page->m_list->GetItemCount(), 3);
        CXCmd modify(ID_EDIT_MODIFY);
        page->m_list->SetItemSelected(0, true);
        page->m_list->SetItemSelected(1, true);
        page->OnUpdateModifyItem(&modify);
        EXPECT_FALSE(modify.m_bEnabled);
        page->m_list->SetItemSelected(0, false);
        page->OnUpdateModifyItem(&modify);
        EXPECT_TRUE(modify.m_bEnabled);
        const CXItem* line = page->m_list->GetItemData(page->m_list->GetFirstSelected());
        XItemInput input{line->m_strMemo, QStringLiteral("台"), QStringLiteral("3"), QStringLiteral("100")};
        AnswerItemDialog(input);
        // a saved receipt opens locked: its line can be looked at, not changed
        page->OnModifyItem();
        EXPECT_EQ(input.shownAmount, QStringLiteral("¥200.00"));
        EXPECT_EQ(Ctrl<QLabel>(*page, IDC_PRICE)->text(), QStringLiteral("¥12,213.00"));
        frame->OnUnlock(); // 编辑 ..., confirmed by the scripted answer
        page->OnModifyItem();
        EXPECT_EQ(input.shownAmount, QStringLiteral("¥300.00"));
        EXPECT_EQ(Ctrl<QLabel>(*page, IDC_PRICE)->text(), QStringLiteral("¥12,313.00")); // 12000 + 3 x 100 + 13
        EXPECT_EQ(page->m_collect.m_items.GetSize(), 3);

        // copy as new, from the page's receipt as it stands
        copy = std::make_unique<CDlgEditCollect>(true, &page->m_collect);
    }
    EXPECT_EQ(copy->m_collect.m_nID, 0);
    EXPECT_TRUE(copy->m_collect.m_strName.isEmpty());
    for (const CXItem* line : copy->m_collect.m_items)
        EXPECT_EQ(line->m_nID, 0);
    copy->m_collect.Validate(&FixtureUser(), true);
    ASSERT_TRUE(SaveItem(nullptr, &copy->m_collect, nullptr, FixtureUser()));
    // the original's three rows stay its own (the modify above was not saved)
    EXPECT_EQ(QueryText(QStringLiteral("SELECT COUNT(*)||'|'||CAST(ROUND(SUM(PayNum*UnitPrice)*100) AS INTEGER) FROM "
                                       "TB_COLLECT_ITEM WHERE CollectID=%1")
                            .arg(m_school.c1)),
              QStringLiteral("3|1221300"));
    EXPECT_EQ(
        QueryText(QStringLiteral("SELECT COUNT(*) FROM TB_COLLECT_ITEM WHERE CollectID=%1").arg(copy->m_collect.m_nID)),
        QStringLiteral("3"));
}

} // namespace
