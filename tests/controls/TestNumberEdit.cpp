// The number edit in a dialog, and the themed glyphs.
#include "CXEditNumber.h"
#include "TestDialogRecord.h"
#include "XDrawing.h"
#include "XSpinButton.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <gtest/gtest.h>

#include <QtGui/QPainter>
#include <QtTest/QTest>
#include <QtWidgets/QLineEdit>

namespace {

class NumberEdit : public ::testing::Test
{
protected:
    void SetUp() override
    {
        pupil.m_fFee = 12.5;
        pupil.m_nLessons = 5;
        dlg.Create();
        dlg.show();
        dlg.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
        fee = qobject_cast<CXEditNumber*>(dlg.GetDlgItem(IDC_FEE));
        lessons = qobject_cast<CXEditNumber*>(dlg.GetDlgItem(IDC_TEST_LESSONS));
        ASSERT_TRUE(fee && lessons);
    }

    XUiTestHooks ui;
    CTestPupil pupil;
    CDlgTestPupil dlg{&pupil};
    CXEditNumber* fee = nullptr;
    CXEditNumber* lessons = nullptr;
};

} // namespace

TEST_F(NumberEdit, BareWhileFocusedFormattedOtherwise)
{
    EXPECT_EQ(fee->text(), "¥12.5");
    fee->setFocus();
    EXPECT_EQ(fee->text(), "12.5");
    lessons->setFocus();
    EXPECT_EQ(fee->text(), "¥12.5");
    dlg.UpdateData(true);
    EXPECT_DOUBLE_EQ(pupil.m_fFee, 12.5);
}

TEST_F(NumberEdit, OutOfRangeWarnsKeepsTheTextAndStoresTheLimit)
{
    lessons->setFocus();
    lessons->selectAll();
    QTest::keyClicks(lessons, QStringLiteral("500"));
    fee->setFocus(); // leaving the edit
    ASSERT_EQ(ui.Calls(QStringLiteral("Balloon")).size(), 1u);
    const auto b = ui.Calls(QStringLiteral("Balloon"))[0];
    EXPECT_EQ(b.caption, "数值无效");
    EXPECT_EQ(b.text, "有效数值范围：1 - 100！");
    EXPECT_EQ(b.type, 2);
    EXPECT_EQ(lessons->text(), "500");
    dlg.UpdateData(true);
    EXPECT_EQ(pupil.m_nLessons, 100);

    // no digits at all reads 0: below the range, the same warning
    lessons->setFocus();
    lessons->setText(QStringLiteral("无"));
    fee->setFocus();
    EXPECT_EQ(ui.Calls(QStringLiteral("Balloon")).size(), 2u);

    // in range: formatted again when left
    lessons->setFocus();
    lessons->selectAll();
    QTest::keyClicks(lessons, QStringLiteral("1/2"));
    fee->setFocus();
    EXPECT_EQ(lessons->text(), "1 次");
}

TEST_F(NumberEdit, SpinStepsAndArrowKeysClampToTheRange)
{
    XSpinButton* spin = lessons->Spin();
    EXPECT_EQ(dlg.NextInZOrder(lessons), spin); // right after its edit
    EXPECT_EQ(CtrlId(spin), 6);                 // the first free id from 6
    EXPECT_EQ(CtrlStyle(spin), unsigned(XSPIN_STYLE));
    EXPECT_EQ(CtrlId(fee->Spin()), 7);
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, 2));
    EXPECT_EQ(lessons->GetValue(), 6);
    lessons->setFocus();
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(lessons, Qt::Key_Down);
    EXPECT_EQ(lessons->GetValue(), 1);
    EXPECT_EQ(spin->Pos(), 1);
}

TEST_F(NumberEdit, GreyForNothingEnteredValues)
{
    pupil.m_fFee = 0;
    pupil.m_nRate = 100;
    dlg.UpdateData(false);
    auto* rate = qobject_cast<CXEditNumber*>(dlg.GetDlgItem(IDC_RATE));
    EXPECT_EQ(rate->text(), "100%");
    EXPECT_TRUE(fee->IsGrey());
    EXPECT_TRUE(rate->IsGrey());
    EXPECT_NE(fee->palette().color(QPalette::Active, QPalette::Text),
              lessons->palette().color(QPalette::Active, QPalette::Text));
    pupil.m_nRate = 90;
    dlg.UpdateData(false);
    EXPECT_FALSE(rate->IsGrey());
}

TEST_F(NumberEdit, ReadOnlyHidesTheSpinAndGivesItsWidthToTheText)
{
    EXPECT_TRUE(lessons->IsSpinAttached());
    EXPECT_TRUE(lessons->Spin()->isVisible());
    const int spinWidth = lessons->Spin()->width();
    EXPECT_EQ(lessons->textMargins().right(), spinWidth);
    const QRect spinAt = lessons->Spin()->geometry();
    SetWndReadOnly(lessons, true);
    EXPECT_FALSE(lessons->IsSpinAttached());
    EXPECT_FALSE(lessons->Spin()->isVisible());
    EXPECT_EQ(lessons->textMargins().right(), 0);
    SetWndReadOnly(lessons, false);
    EXPECT_TRUE(lessons->Spin()->isVisible());
    EXPECT_EQ(lessons->Spin()->geometry(), spinAt);

    // disabled: no spin either
    lessons->setEnabled(false);
    EXPECT_FALSE(lessons->Spin()->isVisible());
}

TEST(ThemedDrawing, CheckedDisabledRadioKeepsTheEnabledDot)
{
    const QRect rc(0, 0, 16, 16);
    auto render = [&rc](bool enabled, bool checked) {
        QImage img(rc.size(), QImage::Format_ARGB32_Premultiplied);
        img.fill(Qt::white);
        QPainter p(&img);
        DrawRadioButton(&p, rc, checked, enabled, false);
        return img;
    };
    const QImage enabled = render(true, true);
    const QImage disabled = render(false, true);
    const QImage plainDisabled = render(false, false);
    const QPoint centre(8, 8);
    EXPECT_EQ(disabled.pixel(centre), enabled.pixel(centre));
    EXPECT_NE(disabled.pixel(centre), plainDisabled.pixel(centre));

    // the check mark too
    QImage a(rc.size(), QImage::Format_ARGB32_Premultiplied), b(rc.size(), QImage::Format_ARGB32_Premultiplied);
    a.fill(Qt::white);
    b.fill(Qt::white);
    {
        QPainter pa(&a), pb(&b);
        DrawCheckBox(&pa, rc, true, true, false);
        DrawCheckBox(&pb, rc, true, false, false);
    }
    EXPECT_EQ(a.copy(3, 3, 9, 9), b.copy(3, 3, 9, 9));
}

TEST(ThemedDrawing, RowHeightFollowsTheDpi)
{
    EXPECT_EQ(RowHeight(), 24);
    SetScreenDpiOverride(144);
    EXPECT_EQ(RowHeight(), 34);
    SetScreenDpiOverride(0);
}
