// The wage row's frame, offscreen on the fixture school with February 2026 taught: the detail
// page, then the classes and the student lines when the month paid lesson wages.
#include "CDBWages.h"
#include "CDlgEdit.h"
#include "CDlgEditWages.h"
#include "CFakeAppServices.h"
#include "CModuleEduRcd.h"
#include "CModuleWages.h"
#include "CXListCtrl.h"
#include "EditFrame.h"
#include "FebruaryTaughtTest.h"
#include "TypedLines.h"
#include "XUi.h"

#include <gtest/gtest.h>

#include <QtWidgets/QApplication>

#include <memory>

namespace {

class WagesDialogs : public FebruaryTaughtTest
{
protected:
    void SetUp() override
    {
        FebruaryTaughtTest::SetUp();
        SetEditPageMaker(MDU_WAGES, CreateWagesEditPage);
        CFakeAppServices::Installed().user = &FixtureUser();
        CXMap query;
        query.SetDate(QKEY_DATE_FROM, XDateTime(2026, 2, 1));
        query.SetDate(QKEY_DATE_TO, XDateTime(2026, 2, 28));
        ASSERT_TRUE(m_wages->QueryItems(m_rows, query, false, false));
    }
    void TearDown() override
    {
        SetEditPageMaker(MDU_WAGES, {});
        CFakeAppServices::Installed().user = nullptr;
        FebruaryTaughtTest::TearDown();
    }
    const CDBWages* Row(int teacher) const
    {
        for (const auto* row : Typed(m_rows))
            if (row->m_nID == teacher)
                return row;
        return nullptr;
    }
    std::unique_ptr<CDlgEdit> Open(const CXItem* row)
    {
        std::unique_ptr<CDlgEdit> frame(CreateEditDialog(*m_wages, false, row));
        if (frame) {
            frame->Create();
            frame->resize(frame->size().expandedTo(QSize(900, 560)));
            frame->show();
            QApplication::processEvents();
        }
        return frame;
    }

    CXArrayT<CDBWages, true> m_rows;
    XUiTestHooks m_ui;
};

} // namespace

TEST_F(WagesDialogs, RowWithLessonWagesShowsItsClassesAndStudentLines)
{
    const CDBWages* t3 = Row(m_school.t3);
    ASSERT_TRUE(t3);
    auto frame = Open(t3);
    ASSERT_TRUE(frame);
    ASSERT_EQ(frame->m_pages.size(), 3u);
    auto* lessons = dynamic_cast<CDlgEditWages*>(frame->m_pages[1]);
    auto* shares = dynamic_cast<CDlgEditWages*>(frame->m_pages[2]);
    ASSERT_TRUE(lessons && shares && lessons->m_list && shares->m_list);
    EXPECT_EQ(lessons->m_strCaption, QStringLiteral("课时工资明细"));
    EXPECT_EQ(shares->m_strCaption, QStringLiteral("分成工资明细"));
    // six classes; their student lines: 2 + 2 + 1 + 2 + 1 + 2
    EXPECT_EQ(lessons->m_list->GetItemCount(), 6);
    EXPECT_EQ(shares->m_list->GetItemCount(), 10);
    EXPECT_TRUE(frame->grab().save(QStringLiteral("/tmp/wages-detail.png")));
    frame->OnTabSelChange(1);
    QApplication::processEvents();
    EXPECT_TRUE(frame->grab().save(QStringLiteral("/tmp/wages-lessons.png")));
    frame->OnTabSelChange(2);
    QApplication::processEvents();
    EXPECT_TRUE(frame->grab().save(QStringLiteral("/tmp/wages-shares.png")));

    // the module's list of the month's rows, as the wage page shows them
    CXListCtrl list;
    list.SetItems(&m_rows, m_wages->GetHeads(), 2, 0);
    list.resize(1100, 200);
    list.show();
    QApplication::processEvents();
    EXPECT_EQ(list.GetItemCount(), 3);
    EXPECT_TRUE(list.grab().save(QStringLiteral("/tmp/wages-list.png")));
}

TEST_F(WagesDialogs, RowWithoutLessonWagesHasTheDetailPageOnly)
{
    // T1 co-taught one class without a standard: nothing paid, nothing to list
    const CDBWages* t1 = Row(m_school.t1);
    ASSERT_TRUE(t1);
    auto frame = Open(t1);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->m_pages.size(), 1u);
}
