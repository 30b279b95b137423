// The binders of dates, time spans and lists over stand-in controls.
#include "CXDialogEx.h"
#include "CXItem.h"
#include "CommandIds.h"
#include "TestDialogRecord.h"
#include "TestFakeControls.h"
#include "TestSupport.h"
#include "TextUtils.h"
#include "XUi.h"

#include <gtest/gtest.h>

namespace {

class CTestLesson : public CXItemT<MDU_EDURCD>
{
public:
    CTestLesson() { CTestLesson::Reset(); }
    static CHeads* StaticHeads();
    CHeads* GetHeads() const override { return StaticHeads(); }
    CXItem* CreateNew() const override { return new CTestLesson; }
    void GetRange(const CHead* head, int& min, int& max) const override
    {
        CXItem::GetRange(head, min, max);
        if (head->m_nOffset == XOFFSET(CTestLesson, m_dtDay)) {
            min = rangeMin;
            max = rangeMax;
        }
    }

    XDateTime m_dtDay;
    CXTimeSpan m_span;
    CXArrayT<CTestPupil> m_pupils{this};
    int rangeMin = 0;
    int rangeMax = 0;
};

CHeads* CTestLesson::StaticHeads()
{
    return BuildHeadsOnce<CTestLesson>([](CHeads& h) {
        h.m_strTable = QStringLiteral("TB_EDURCD");
        h.AddHead({}, QStringLiteral("日期"), 8, QStringLiteral("LessonDate"), XDT, XOFFSET(CTestLesson, m_dtDay),
                  45000, 0, 0, QStringLiteral("%Y年%#m月%#d日%A"), QStringLiteral("未定"), 0, 521, 0, QString());
        h.AddHead({}, QStringLiteral("时间"), 8, QStringLiteral("TimeSpan"), XTS, XOFFSET(CTestLesson, m_span), 8301000,
                  0, 0, QString(), QStringLiteral("全天"), 0, 521, 0, QString());
        h.AddColumnHead({}, QStringLiteral("学员"), 1, QString(), XAR, XOFFSET(CTestLesson, m_pupils), QString(),
                        QString(), 0, 521, 0, QString());
    });
}

const XDlgTemplate& LessonTemplate()
{
    static const XDlgTemplate t{9002,
                                QStringLiteral("课堂记录"),
                                0,
                                {{1040, XCtrlKind::Custom, QString(), 0, 0, 0},
                                 {1230, XCtrlKind::Custom, QString(), 0, 1, 0},
                                 {IDC_RECORD_LIST, XCtrlKind::Custom, QString(), 0, 2, 0}},
                                QSize()};
    return t;
}

class CDlgTestLesson : public CXDialogEx
{
public:
    explicit CDlgTestLesson(CTestLesson* lesson) : CXDialogEx(false, &LessonTemplate()), m_pLesson(lesson) {}
    CXItem* GetItem() override { return m_pLesson; }
    void PreInitDialog() override
    {
        date = EnsureControl<CFakeDate>(1040);
        date->showNone = showNone;
        span = EnsureControl<CFakeSpan>(1230);
        list = EnsureControl<CFakeList>(IDC_RECORD_LIST);
        CXDialogEx::PreInitDialog();
    }
    void DoDataExchange(XDataExchange& dx) override
    {
        BindDate(dx, 1040, m_pLesson, &m_pLesson->m_dtDay, weekdayMode);
        BindTimeSpan(dx, 0, m_pLesson, &m_pLesson->m_span);
        BindList(dx, IDC_RECORD_LIST, m_pLesson, &m_pLesson->m_pupils, 2);
    }
    CTestLesson* m_pLesson;
    int weekdayMode = -1;
    bool showNone = false;
    CFakeDate* date = nullptr;
    CFakeSpan* span = nullptr;
    CFakeList* list = nullptr;
};

// day numbers of January 2025 (not made at static initialisation: XDateTime's epoch may not
// exist yet then)
int Jan(int day) { return static_cast<int>(XDateTime(2025, 1, day).Day()); }

} // namespace

TEST(DateRange, WeekdaySnapAndOpenEnds)
{
    const int kWed = Jan(1), kMon = Jan(6), kFri = Jan(31);
    // weekday mode 0 with a Monday member and no lower limit: the member is the reference
    XDateRangeDecision d = DecideDateRange(kWed, kFri, 0, XDateTime(double(kMon)));
    EXPECT_TRUE(d.setWeekday);
    EXPECT_EQ(d.reference.Day(), kWed); // the lower limit is the reference when above 0
    d = DecideDateRange(0, kFri, 1, XDateTime(double(kMon)));
    EXPECT_EQ(d.reference.Day(), kMon);
    EXPECT_TRUE(d.backward);
    EXPECT_EQ(d.lower.Day(), 0);         // open
    EXPECT_EQ(d.upper.Day(), kMon + 21); // Friday 31st back to Monday 27th
    d = DecideDateRange(kWed, INT_MAX, 0, XDateTime(0.0));
    EXPECT_EQ(d.lower.Day(), kWed);
    EXPECT_EQ(d.upper.Day(), 0); // past the last date a picker shows
    d = DecideDateRange(kFri, kFri, -1, XDateTime(0.0));
    EXPECT_FALSE(d.setRange);
    EXPECT_FALSE(d.setWeekday);

    EXPECT_EQ(DateDisplayFormat(QStringLiteral("%Y年%#m月")), "yyyy年M月");
    EXPECT_EQ(DateDisplayFormat(QStringLiteral("%Y年%#m月%#d日%A")), "yyyy年M月d日dddd");
    EXPECT_EQ(DateDisplayFormat(QStringLiteral("%m/%d")), "yyyy年M月d日");
}

TEST(ValueBinders, DateLoadsInOrderAndStoresThePickersDate)
{
    const int kMon = Jan(6), kFri = Jan(31);
    XUiTestHooks ui;
    CTestLesson lesson;
    lesson.m_dtDay = XDateTime(2025, 1, 8);
    lesson.rangeMin = kMon;
    lesson.rangeMax = kFri;
    CDlgTestLesson dlg(&lesson);
    dlg.weekdayMode = 0;
    dlg.Create();
    EXPECT_EQ(dlg.date->log.mid(0, 6).join(u'|').toStdString(),
              QStringLiteral("empty:未定|format:yyyy年M月d日dddd|weekday:%1:0|range:%1:%2|date:%3|style")
                  .arg(kMon)
                  .arg(kMon + 21)
                  .arg(lesson.m_dtDay.Day())
                  .toStdString());
    dlg.date->date = XDateTime(2025, 1, 13);
    dlg.UpdateData(true);
    EXPECT_EQ(lesson.m_dtDay.Day(), XDateTime(2025, 1, 13).Day());
}

TEST(ValueBinders, EmptyDateShowsTheDefaultThenNone)
{
    XUiTestHooks ui;
    CTestLesson lesson;
    lesson.m_dtDay = XDateTime(0.0);
    CDlgTestLesson dlg(&lesson);
    dlg.showNone = true;
    dlg.Create();
    EXPECT_TRUE(dlg.date->log.join(u'|').contains(QStringLiteral("date:45000|none|style")));

    // without "no date" the picker keeps what it shows
    CTestLesson other;
    other.m_dtDay = XDateTime(0.0);
    CDlgTestLesson plain(&other);
    plain.Create();
    EXPECT_FALSE(plain.date->log.join(u'|').contains(QStringLiteral("date:")));
}

TEST(ValueBinders, TimeSpanAndCheckListFollowTheRecord)
{
    XUiTestHooks ui;
    CTestLesson lesson;
    lesson.m_span = CXTimeSpan(0);
    auto* a = static_cast<CTestPupil*>(lesson.m_pupils.CreateItem());
    auto* b = static_cast<CTestPupil*>(lesson.m_pupils.CreateItem());
    lesson.m_pupils.Add(a);
    lesson.m_pupils.Add(b);
    b->m_bSelected = 1;
    CDlgTestLesson dlg(&lesson);
    dlg.Create();
    EXPECT_EQ(dlg.span->caption, "全天");
    EXPECT_EQ(dlg.span->span, 8301000); // the field default stands in
    dlg.UpdateData(true);
    EXPECT_EQ(lesson.m_span.Value(), 8301000);

    EXPECT_EQ(dlg.list->fills, 1);
    EXPECT_EQ(dlg.list->mode, 2);
    EXPECT_EQ(dlg.list->style, 2);
    EXPECT_EQ(dlg.list->checks, (std::vector<bool>{false, true}));
    a->m_bSelected = 1;
    dlg.UpdateData(false);
    EXPECT_EQ(dlg.list->fills, 1); // the same array is not filled again
    EXPECT_EQ(dlg.list->checks, (std::vector<bool>{true, true}));
}
