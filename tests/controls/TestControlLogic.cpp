// The decisions of the date, time-span, photo and history controls without widgets.
#include "CXArray.h"
#include "CXItem.h"
#include "CommandIds.h"
#include "TestControlDialog.h"
#include "TestSupport.h"
#include "XDateLogic.h"
#include "XHistoryLogic.h"
#include "XPhotoStripModel.h"

#include <gtest/gtest.h>

namespace {
XDateTime D(int y, int m, int d) { return XDateTime(y, m, d); }
int Hm(int h, int m) { return h * 60 + m; }
} // namespace

TEST(DateLogic, SnapsToTheReferenceWeekdayInsideTheLimits)
{
    const XDateTime wednesday = D(2026, 12, 9);
    // Friday forward: the next Wednesday; a Wednesday stays; backward: the one before
    EXPECT_EQ(SnapToWeekday(D(2026, 12, 11), wednesday, false, 0.0, 0.0).Day(), D(2026, 12, 16).Day());
    EXPECT_EQ(SnapToWeekday(D(2026, 12, 16), wednesday, false, 0.0, 0.0).Day(), D(2026, 12, 16).Day());
    EXPECT_EQ(SnapToWeekday(D(2026, 12, 11), wednesday, true, 0.0, 0.0).Day(), D(2026, 12, 9).Day());
    // a maximum on Tuesday 15th: forward snapping past it gives the Wednesday before
    EXPECT_EQ(SnapToWeekday(D(2026, 12, 11), wednesday, false, 0.0, D(2026, 12, 15)).Day(), D(2026, 12, 9).Day());
    // a minimum on Thursday 17th: the Wednesday after it
    EXPECT_EQ(SnapToWeekday(D(2026, 12, 11), wednesday, true, D(2026, 12, 17), 0.0).Day(), D(2026, 12, 23).Day());
    // no reference: unchanged
    EXPECT_EQ(SnapToWeekday(D(2026, 12, 11), 0.0, false, 0.0, 0.0).Day(), D(2026, 12, 11).Day());
    EXPECT_EQ(SnapTipText(false, wednesday), QStringLiteral("已自动向后调整到最近的星期三。"));
    EXPECT_EQ(SnapTipText(true, wednesday), QStringLiteral("已自动向前调整到最近的星期三。"));
}

TEST(DateLogic, CalendarStyleAndBoldDays)
{
    const XDateTime today = D(2026, 12, 10);
    EXPECT_EQ(DecideCalendarStyle(0.0, 0.0, today, false, false), 0u);
    EXPECT_EQ(DecideCalendarStyle(D(2026, 12, 11), 0.0, today, false, false), MCS_NOTODAY | MCS_NOTODAYCIRCLE);
    EXPECT_EQ(DecideCalendarStyle(0.0, D(2026, 12, 9), today, false, false), MCS_NOTODAY | MCS_NOTODAYCIRCLE);
    EXPECT_EQ(DecideCalendarStyle(D(2026, 1, 1), D(2027, 1, 1), today, false, false), 0u);
    EXPECT_EQ(DecideCalendarStyle(0.0, 0.0, today, true, false), MCS_NOTODAY | MCS_NOTODAYCIRCLE);
    EXPECT_EQ(DecideCalendarStyle(0.0, 0.0, today, false, true), MCS_DAYSTATE | MCS_NOTODAY | MCS_NOTODAYCIRCLE);
    EXPECT_EQ(BoldDaysOfMonth(2026, 12, D(2026, 12, 9)), (std::vector<int>{2, 9, 16, 23, 30}));
    EXPECT_TRUE(BoldDaysOfMonth(2026, 12, 0.0).empty());
}

TEST(DateLogic, PickedDatesBirthEstimatesAndOpenEnds)
{
    EXPECT_EQ(PickedDate(XDateTime(D(2026, 12, 15).Day() + 0.75), false).Day(), D(2026, 12, 15).Day());
    EXPECT_EQ(PickedDate(D(2026, 12, 15), true).Day(), D(2026, 12, 1).Day());
    EXPECT_TRUE(IsMonthFormat(QStringLiteral("yyyy年M月")));
    EXPECT_FALSE(IsMonthFormat(QStringLiteral("yyyy年M月d日dddd")));

    const XDateTime now(D(2026, 12, 10).Day() + 0.5);
    EXPECT_EQ(EstimateBirthDate(now, 10).Day(), std::trunc(now.Day() - 3652.4));
    EXPECT_NEAR(AgeFromDate(now, EstimateBirthDate(now, 10)), 10.0, 0.01);

    EXPECT_FALSE(DayToQDate(0.0).isValid());
    EXPECT_EQ(QDateToDay(QDate(1899, 12, 30)).Day(), 0.0);
    EXPECT_EQ(QDateToDay(QDate(10000, 1, 1)).Day(), 0.0); // past what a picker shows: open
    EXPECT_EQ(DayToQDate(D(2026, 12, 10)), QDate(2026, 12, 10));
}

TEST(SpanLogic, RoundsToFiveMinutes)
{
    const std::pair<int, int> cases[] = {{480, 480}, {481, 485}, {482, 485}, {483, 480},
                                         {484, 480}, {479, 475}, {476, 480}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(RoundToFive(in), out) << in;
}

TEST(SpanLogic, CorrectionsKeepTheSpanConsistent)
{
    const XSpanTimes base{Hm(8, 0), Hm(9, 30), 90};
    struct Case
    {
        const char* what;
        XSpanPart part;
        XSpanTimes in;
        XSpanTimes out;
    };
    const Case cases[] = {
        {"begin up moves the end", XSpanPart::Begin, {Hm(8, 5), Hm(9, 30), 90}, {Hm(8, 5), Hm(9, 35), 90}},
        {"begin after 23:00 refused", XSpanPart::Begin, {Hm(23, 10), Hm(9, 30), 90}, base},
        {"begin + duration after 23:45 refused", XSpanPart::Begin, {Hm(22, 30), Hm(9, 30), 90}, base},
        {"end 3 minutes after begin reverts", XSpanPart::End, {Hm(8, 0), Hm(8, 0), 90}, base},
        {"end after 23:45 reverts", XSpanPart::End, {Hm(8, 0), Hm(23, 50), 90}, base},
        {"end sets the duration", XSpanPart::End, {Hm(8, 0), Hm(10, 0), 90}, {Hm(8, 0), Hm(10, 0), 120}},
        {"duration sets the end", XSpanPart::Duration, {Hm(8, 0), Hm(9, 30), 45}, {Hm(8, 0), Hm(8, 45), 45}},
        {"duration below 5 reverts", XSpanPart::Duration, {Hm(8, 0), Hm(9, 30), 0}, base},
    };
    for (const Case& c : cases) {
        const XSpanTimes r = CorrectSpan(c.in, c.part);
        EXPECT_EQ(r.begin, c.out.begin) << c.what;
        EXPECT_EQ(r.end, c.out.end) << c.what;
        EXPECT_EQ(r.duration, c.out.duration) << c.what;
    }
}

TEST(SpanLogic, LoadingLayoutAndTexts)
{
    const XSpanTimes backwards = SpanTimesOf(Hm(10, 0), Hm(9, 0));
    EXPECT_EQ(backwards.end, Hm(10, 5));
    EXPECT_EQ(SpanDurationText(backwards), QStringLiteral("0'05"));
    const XSpanTimes lesson = SpanTimesOf(Hm(8, 0), Hm(9, 30));
    EXPECT_EQ(SpanRangeText(lesson), QStringLiteral("08:00~09:30"));
    EXPECT_EQ(SpanDurationText(lesson), QStringLiteral("1'30"));

    // W 240, H 24 with a caption: a = 25, u = (240 - 25 - 1) / 23 = 9
    const XSpanLayout l = LayoutSpan(240, 24, true);
    EXPECT_EQ(l.begin, QRect(25, 0, 63, 24));
    EXPECT_EQ(l.end, QRect(88, 0, 81, 24));
    EXPECT_EQ(l.duration, QRect(169, 0, 70, 24));
    EXPECT_EQ(l.check, QRect(QPoint(6, 6), QPoint(17, 17)));
    EXPECT_EQ(LayoutSpan(240, 24, false).begin.left(), 1);
}

namespace {
class PhotoStrip : public ::testing::Test
{
protected:
    void Fill(int n)
    {
        for (int i = 0; i < n; ++i) {
            CXItem* p = photos.CreateItem();
            p->m_strName = QString::number(i + 1);
            photos.Add(p);
        }
        model.SetArray(&photos);
    }
    QStringList Names() const
    {
        QStringList names;
        for (CXItem* p : photos)
            names << p->m_strName + u':' + QString::number(p->m_nDispOrder);
        return names;
    }
    CTestPerson owner;
    CXArrayT<CTestPhoto> photos{&owner};
    XPhotoStripModel model;
};
} // namespace

TEST_F(PhotoStrip, OnePhotoDisablesBrowsingAndMoving)
{
    Fill(1);
    EXPECT_EQ(model.PositionText(), QStringLiteral("1/1"));
    for (int id : {ID_PHOTO_PREV, ID_PHOTO_NEXT, ID_PHOTO_BACK, ID_PHOTO_FORWARD})
        EXPECT_FALSE(model.IsEnabled(id, false)) << id;
    EXPECT_TRUE(model.IsEnabled(ID_PHOTO_VIEW, false));
    EXPECT_TRUE(model.IsEnabled(32790, false));
    EXPECT_FALSE(model.IsEnabled(32790, true));
    EXPECT_FALSE(model.IsEnabled(32793, true));

    model.RemoveCurrent();
    EXPECT_EQ(model.Position(), 0);
    EXPECT_EQ(model.Current(), nullptr);
    EXPECT_FALSE(model.IsEnabled(ID_PHOTO_VIEW, false));
    EXPECT_TRUE(model.IsEnabled(32793, false));
}

TEST_F(PhotoStrip, DeletingAndMovingKeepPositionAndOrders)
{
    Fill(3);
    model.RemoveCurrent(); // the first of three
    EXPECT_EQ(model.Position(), 1);
    EXPECT_EQ(model.Current()->m_strName, QStringLiteral("2"));

    model.Next();
    model.RemoveCurrent(); // the last: one back
    EXPECT_EQ(model.Position(), 1);

    PhotoStrip::Fill(0);
    photos.RemoveAll();
    Fill(3);
    model.Next();
    model.MoveForward(); // the second becomes the first
    model.RenumberOrders();
    EXPECT_EQ(model.Position(), 1);
    EXPECT_EQ(Names(), (QStringList{"2:0", "1:1", "3:2"}));
    model.MoveBack();
    model.RenumberOrders();
    EXPECT_EQ(model.Position(), 2);
    EXPECT_EQ(Names(), (QStringList{"1:0", "2:1", "3:2"}));

    CXItem* added = photos.CreateItem();
    model.Append(added);
    EXPECT_EQ(model.Position(), 4);
    EXPECT_EQ(added->m_pArray, &photos);
}

TEST(EditLogic, ButtonRowOrColumn)
{
    // 22 pixels high, two buttons of 24: one row, the text 48 narrower
    XEditButtonLayout l = LayoutEditButtons(QSize(200, 22), 2, 24);
    EXPECT_TRUE(l.row);
    EXPECT_EQ(l.client.width(), 198 - 48);
    ASSERT_EQ(l.buttons.size(), 2u);
    EXPECT_EQ(l.buttons[0], QRect(175, 1, 24, 24));
    EXPECT_EQ(l.buttons[1], QRect(151, 1, 24, 24));
    // 100 high: one column, 24 narrower
    l = LayoutEditButtons(QSize(200, 100), 2, 24);
    EXPECT_FALSE(l.row);
    EXPECT_EQ(l.client.width(), 198 - 24);
    EXPECT_EQ(l.buttons[0], QRect(175, 1, 24, 24));
    EXPECT_EQ(l.buttons[1], QRect(175, 25, 24, 24));
    EXPECT_EQ(LayoutEditButtons(QSize(200, 22), 0, 24).client.width(), 198);
}

TEST(EditLogic, DuplicateRuleAndLengthLimits)
{
    struct Case
    {
        int d;
        bool saved;
        bool applies, indicator, merge;
    };
    const Case cases[] = {{-1, true, false, false, false},
                          {0, true, true, false, false},
                          {5, false, true, true, false},
                          {5, true, true, true, true}};
    for (const Case& c : cases) {
        const XDuplicateButtons r = DecideDuplicateButtons(c.d, c.saved);
        EXPECT_EQ(r.applies, c.applies) << c.d;
        EXPECT_EQ(r.indicator, c.indicator) << c.d;
        EXPECT_EQ(r.merge, c.merge) << c.d;
    }
    EXPECT_EQ(HistoryLengthWarning(QString(300, u'x'), false), QStringLiteral("输入文本长度应 < 255！"));
    EXPECT_EQ(HistoryLengthWarning(QString(254, u'x'), false), QString());
    EXPECT_EQ(HistoryLengthWarning(QString(300, u'x'), true), QString());
    EXPECT_EQ(HistoryLengthWarning(QString(2000, u'x'), true), QStringLiteral("输入文本长度应 < 2000！"));
}

TEST(EditLogic, DropDownFill)
{
    QStringList history;
    for (int i = 0; i < 25; ++i)
        history << QStringLiteral("v%1").arg(i);
    auto items = ComboFillItems({}, {}, history);
    ASSERT_EQ(items.size(), 21u);
    EXPECT_EQ(items[19].first, QStringLiteral("v19"));
    EXPECT_EQ(items[20], std::make_pair(QStringLiteral("更多 ..."), int(XCB_MORE)));

    // template items first, history values already there not twice
    items = ComboFillItems({}, {QStringLiteral("北京"), QStringLiteral("上海")},
                           {QStringLiteral("上海"), QStringLiteral("广州")});
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[2].first, QStringLiteral("广州"));

    items = ComboFillItems({}, {}, {});
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0], std::make_pair(QStringLiteral("（无历史记录）"), int(XCB_NO_HISTORY)));
    EXPECT_TRUE(ComboFillItems({}, {QStringLiteral("北京")}, {}).size() == 1u);
}

TEST(EditLogic, RenamingIntoAnExistingValueMergesCounts)
{
    CXArray items(nullptr, true);
    const std::pair<const char*, int> rows[] = {{"Tom", 3}, {"Ann", 2}, {"Anne", 1}};
    for (const auto& [name, count] : rows) {
        auto* i = new CTestPhoto;
        i->m_strName = QString::fromUtf8(name);
        i->m_nID = count;
        items.Add(i);
    }
    EXPECT_EQ(MergeRenamedHistory(items, 2, QStringLiteral("Ann")), 1);
    ASSERT_EQ(items.GetSize(), 2);
    EXPECT_EQ(items[1]->m_strName, QStringLiteral("Ann"));
    EXPECT_EQ(items[1]->m_nID, 3);
    EXPECT_EQ(MergeRenamedHistory(items, 0, QStringLiteral("Tommy")), -1);
    EXPECT_EQ(items[0]->m_strName, QStringLiteral("Tommy"));
    EXPECT_EQ(items[0]->m_nID, 3);
}
