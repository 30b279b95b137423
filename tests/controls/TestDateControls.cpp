// The date, birthday and time-span controls in the person dialog: the popup path of
// snapping, month mode, the empty state, read-only painting modes and the span rules.
#include "CXBirthCtrl.h"
#include "CXDateCtrl.h"
#include "CXEditNumber.h"
#include "CXTimeSpanCtrl.h"
#include "CommandIds.h"
#include "TestControlDialog.h"
#include "XDateLogic.h"
#include "XUi.h"

#include <gtest/gtest.h>

#include <QtTest/QTest>
#include <QtGui/QTextCharFormat>
#include <QtWidgets/QCalendarWidget>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QTimeEdit>

namespace {

class DateControls : public ::testing::Test
{
protected:
    void SetUp() override { XClock::SetFixed(XDateTime(XDateTime(2026, 12, 10).Day() + 0.5)); }
    void TearDown() override { XClock::Reset(); }
    void Open()
    {
        dlg.Create();
        dlg.show();
    }
    template <class T> T* Item(int id) { return dynamic_cast<T*>(dlg.GetDlgItem(id)); }

    XUiTestHooks ui;
    CTestPerson person;
    CDlgTestPerson dlg{&person};
};

const XDateTime kWednesday(2026, 12, 9);

} // namespace

TEST_F(DateControls, TheBindersCreateTheControls)
{
    person.m_dtLesson = XDateTime(2026, 12, 14);
    Open();
    auto* date = Item<CXDateCtrl>(IDC_P_LESSON);
    ASSERT_NE(date, nullptr);
    ASSERT_NE(Item<CXBirthCtrl>(IDC_BIRTHDAY), nullptr);
    ASSERT_NE(Item<CXTimeSpanCtrl>(IDC_TIMESPAN), nullptr);
    EXPECT_EQ(date->m_strFormat, QStringLiteral("yyyy年M月d日dddd"));
    EXPECT_EQ(date->Edit()->text(), QStringLiteral("2026年12月14日星期一"));
    EXPECT_EQ(date->m_strEmptyText, QStringLiteral("未定"));
    // weekday mode 0 with no lower limit: the member is the reference
    EXPECT_EQ(date->m_dtWeekday.Day(), XDateTime(2026, 12, 14).Day());
    EXPECT_EQ(date->CalendarStyle(), MCS_DAYSTATE | MCS_NOTODAY | MCS_NOTODAYCIRCLE);
    EXPECT_EQ(date->GetDate().Day(), XDateTime(2026, 12, 14).Day());
}

TEST_F(DateControls, CalendarCloseSnapsToTheWeekdayAndTells)
{
    person.m_dtLesson = kWednesday;
    Open();
    auto* date = Item<CXDateCtrl>(IDC_P_LESSON);
    date->OpenCalendar();
    ASSERT_NE(date->Calendar(), nullptr);
    EXPECT_TRUE(date->Popup()->isVisible());
    // the reference weekday is bold on the page
    EXPECT_EQ(date->Calendar()->dateTextFormat(QDate(2026, 12, 16)).fontWeight(), QFont::Bold);
    EXPECT_NE(date->Calendar()->dateTextFormat(QDate(2026, 12, 17)).fontWeight(), QFont::Bold);

    date->OnCalendarClicked(QDate(2026, 12, 11)); // a Friday
    EXPECT_FALSE(date->Popup()->isVisible());
    EXPECT_EQ(date->GetDate().Day(), XDateTime(2026, 12, 16).Day());
    const auto tips = ui.Calls(QStringLiteral("Balloon"));
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].text, QStringLiteral("已自动向后调整到最近的星期三。"));
    EXPECT_EQ(tips[0].type, 2);

    ui.Clear();
    date->OpenCalendar();
    date->OnCalendarClicked(QDate(2026, 12, 23)); // a Wednesday
    EXPECT_EQ(date->GetDate().Day(), XDateTime(2026, 12, 23).Day());
    EXPECT_TRUE(ui.Calls(QStringLiteral("Balloon")).empty());

    // the keyboard never snaps
    date->Edit()->setFocus();
    date->Edit()->setCurrentSection(QDateTimeEdit::DaySection);
    QTest::keyClick(date->Edit(), Qt::Key_Up);
    EXPECT_EQ(date->GetDate().Day(), XDateTime(2026, 12, 24).Day());
    EXPECT_TRUE(ui.Calls(QStringLiteral("Balloon")).empty());
    dlg.UpdateData(true);
    EXPECT_EQ(person.m_dtLesson.Day(), XDateTime(2026, 12, 24).Day());
}

TEST_F(DateControls, MonthModeChoosesInOneClickAndGivesTheFirstDay)
{
    Open();
    auto* date = Item<CXDateCtrl>(IDC_P_LESSON);
    EXPECT_TRUE(date->SetFormat(QStringLiteral("yyyy年M月")));
    const int applied = date->FormatsApplied();
    EXPECT_FALSE(date->SetFormat(QStringLiteral("yyyy年M月"))); // swallowed
    EXPECT_EQ(date->FormatsApplied(), applied);
    date->SetDate(XDateTime(2026, 12, 15));
    EXPECT_EQ(date->GetDate().Day(), XDateTime(2026, 12, 1).Day());
    date->UpdateCalendarStyle();
    EXPECT_EQ(date->CalendarStyle(), MCS_NOTODAY | MCS_NOTODAYCIRCLE);

    date->OpenCalendar();
    ASSERT_NE(date->MonthPicker(), nullptr);
    EXPECT_TRUE(date->MonthPicker()->isVisible());
    EXPECT_FALSE(date->Calendar()->isVisible());
    date->MonthPicker()->SetYear(2027);
    EXPECT_TRUE(date->Popup()->isVisible()); // a year change does not choose
    date->MonthPicker()->ClickMonth(3);
    EXPECT_FALSE(date->Popup()->isVisible());
    EXPECT_EQ(date->GetDate().Day(), XDateTime(2027, 3, 1).Day());
}

TEST_F(DateControls, EmptyDateTakesOnlyTheCheckAndReadOnlyShowsText)
{
    Open(); // no date: the show-none picker is empty
    auto* date = Item<CXDateCtrl>(IDC_P_LESSON);
    EXPECT_FALSE(date->HasDate());
    EXPECT_EQ(date->GetDate().Day(), 0.0);
    EXPECT_EQ(date->DisplayText(), QStringLiteral("未定"));
    EXPECT_FALSE(date->Edit()->isVisible());
    QTest::keyClick(date, Qt::Key_A);
    QTest::keyClick(date, Qt::Key_Up);
    EXPECT_FALSE(date->HasDate());
    QTest::keyClick(date, Qt::Key_Space); // ticks the box
    EXPECT_TRUE(date->HasDate());
    EXPECT_TRUE(date->Edit()->isVisible());

    date->SetDate(XDateTime(2026, 12, 14));
    SetWndReadOnly(date, true);
    EXPECT_FALSE(date->Edit()->isVisible());
    EXPECT_EQ(date->DisplayText(), QStringLiteral("2026年12月14日星期一"));
    date->OpenCalendar();
    EXPECT_TRUE(date->Popup() == nullptr || !date->Popup()->isVisible());
    date->setEnabled(false);
    EXPECT_EQ(date->GetDate().Day(), 0.0); // a disabled picker gives no date
}

TEST_F(DateControls, BirthdayEstimatedFromAnAge)
{
    person.m_dtBirth = EstimateBirthDate(XDateTime::Now(), 8);
    person.m_nBirthEstimated = 1;
    Open();
    auto* birth = Item<CXBirthCtrl>(IDC_BIRTHDAY);
    EXPECT_FALSE(birth->HasDate());
    EXPECT_EQ(birth->AgeBox()->m_strPrefix, QStringLiteral("≈"));
    EXPECT_FALSE(IsWndReadOnly(birth->AgeBox()));
    EXPECT_NEAR(birth->AgeBox()->GetValue(), 8.0, 0.05);

    birth->AgeBox()->SetValue(10);
    birth->SyncAge();
    const XDateTime expected = EstimateBirthDate(XDateTime::Now(), 10);
    EXPECT_EQ(birth->DisplayText(), FormatDateTime(expected, QStringLiteral("%Y年%#m月")));
    EXPECT_TRUE(birth->AgeBox()->text().startsWith(QStringLiteral("≈")));
    dlg.UpdateData(true);
    EXPECT_EQ(person.m_dtBirth.Day(), std::trunc(XDateTime::Now().Day() - 3652.4));
    EXPECT_EQ(person.m_nBirthEstimated, 1);
}

TEST_F(DateControls, BirthdayGivenExactly)
{
    person.m_dtBirth = XDateTime(2016, 12, 10);
    Open();
    auto* birth = Item<CXBirthCtrl>(IDC_BIRTHDAY);
    EXPECT_TRUE(birth->HasDate());
    EXPECT_TRUE(IsWndReadOnly(birth->AgeBox()));
    EXPECT_TRUE(birth->AgeBox()->m_strPrefix.isEmpty());
    EXPECT_NEAR(birth->AgeBox()->GetValue(), 10.0, 0.01);
    dlg.UpdateData(true);
    EXPECT_EQ(person.m_dtBirth.Day(), XDateTime(2016, 12, 10).Day());
    EXPECT_EQ(person.m_nBirthEstimated, 0);
    EXPECT_LT(birth->AgeBox()->geometry().left(), birth->width());
    EXPECT_GE(birth->AgeBox()->geometry().left(), birth->width() * 2 / 3);
}

TEST_F(DateControls, TimeSpanStepsAndRefusals)
{
    person.m_span = CXTimeSpan(8000930); // 8:00 to 9:30
    Open();
    auto* span = Item<CXTimeSpanCtrl>(IDC_TIMESPAN);
    EXPECT_EQ(span->m_strCaption, QStringLiteral("全天"));
    EXPECT_TRUE(span->Check()->isVisible());
    EXPECT_TRUE(span->Check()->isChecked());
    EXPECT_EQ(span->Picker(9)->text(), QStringLiteral("1'30"));
    EXPECT_EQ(span->Picker(8)->text(), QStringLiteral("~09:30"));

    // the up arrow on the minutes gives 8:01, rounded to 8:05; the end follows
    span->EditPicker(IDC_SPAN_BEGIN, 8 * 60 + 1);
    XSpanTimes t = span->Times();
    EXPECT_EQ(t.begin, 8 * 60 + 5);
    EXPECT_EQ(t.end, 9 * 60 + 35);
    // an end 3 minutes after the begin goes back
    span->EditPicker(IDC_SPAN_END, 8 * 60 + 8);
    EXPECT_EQ(span->Times().end, 9 * 60 + 35);
    // a begin of 23:10 is refused
    span->EditPicker(IDC_SPAN_BEGIN, 23 * 60 + 10);
    EXPECT_EQ(span->Times().begin, 8 * 60 + 5);
    dlg.UpdateData(true);
    EXPECT_EQ(person.m_span.Value(), 8050935);

    // unticked: the default, pickers hidden
    span->Check()->click();
    EXPECT_FALSE(span->Picker(7)->isVisible());
    EXPECT_EQ(span->GetSpan(0).Value(), 0);

    span->SetSpan(CXTimeSpan(10000900), 0); // end before begin
    EXPECT_EQ(span->Times().end, 10 * 60 + 5);
    EXPECT_EQ(span->Picker(9)->text(), QStringLiteral("0'05"));
    EXPECT_TRUE(span->Check()->isChecked());

    SetWndReadOnly(span, true);
    EXPECT_FALSE(span->Check()->isVisible());
    EXPECT_FALSE(span->Picker(7)->isVisible());
    EXPECT_EQ(span->GetSpan(0).Value(), 10001005);
}
