// The pure decisions of the dialog base: update-pass rules, labels, sizes, scrolling and
// validation, case by case.
#include "CXEditNumber.h"
#include "CommandIds.h"
#include "RecordConsts.h"
#include "TestSupport.h"
#include "XDialogLogic.h"
#include "XWinStyles.h"

#include <gtest/gtest.h>

namespace {

XCtrlSnapshot Ctrl(int id, const char* cls, unsigned style = 0, bool checked = false)
{
    XCtrlSnapshot c;
    c.id = id;
    c.cls = QString::fromLatin1(cls);
    c.style = style;
    c.checked = checked;
    return c;
}
XCtrlSnapshot Radio(int id, bool group, bool checked)
{
    return Ctrl(id, "Button", BS_AUTORADIOBUTTON | (group ? unsigned(WS_GROUP) : 0u), checked);
}
XCtrlSnapshot Check(int id, bool group, bool checked)
{
    return Ctrl(id, "Button", BS_AUTOCHECKBOX | (group ? unsigned(WS_GROUP) : 0u), checked);
}

} // namespace

TEST(ControlDecisions, LabelAndUnitFollowTheFieldAccess)
{
    XDialogSnapshot s;
    s.ctrls = {Ctrl(10, "Static", WS_GROUP), Ctrl(11, "Edit"), Ctrl(12, "Static"), Ctrl(13, "Static", WS_GROUP),
               Ctrl(14, "Edit")};
    s.binds = {{1, -1, {}}, {4, 0, {}}};
    const XControlDecisions d = ComputeControlDecisions(s);
    EXPECT_EQ(d.enable[0], 0); // label with WS_GROUP before the hidden field
    EXPECT_EQ(d.enable[1], 0);
    EXPECT_EQ(d.enable[2], 0);  // unit after it
    EXPECT_EQ(d.enable[3], -1); // a label that already matches gets no decision
    EXPECT_EQ(d.enable[4], 1);
    EXPECT_EQ(d.readOnly[1], 0);
    EXPECT_EQ(d.readOnly[4], 1); // access 0: read-only, still enabled

    // a label without WS_GROUP before a control is not its label
    s.ctrls[0].style = 0;
    EXPECT_EQ(ComputeControlDecisions(s).enable[0], -1);
}

TEST(ControlDecisions, RadioGroupsTakeOptionsAndDisableTheirDependents)
{
    XDialogSnapshot s;
    s.ctrls = {Radio(1, true, true),   Radio(2, false, false), Ctrl(3, "Edit"),
               Radio(4, false, false), Ctrl(5, "Edit"),        Ctrl(6, "Static", WS_GROUP)};
    s.binds = {{0, 1, {QStringLiteral("男"), QString(), QStringLiteral("女")}}};
    s.ctrls[0].caption = QStringLiteral("男");
    s.ctrls[1].caption = QStringLiteral("B");
    s.ctrls[3].caption = QStringLiteral("C");
    const XControlDecisions d = ComputeControlDecisions(s);
    EXPECT_TRUE(d.caption[0].isNull()); // same text: untouched
    EXPECT_EQ(d.enable[1], 0);          // empty option text
    EXPECT_EQ(d.caption[3], "女");
    EXPECT_EQ(d.enable[2], 0);  // after the unchecked radio 2
    EXPECT_EQ(d.enable[4], 0);  // after the unchecked radio 4
    EXPECT_EQ(d.enable[5], -1); // the next group is not a dependent

    // option count differing from the radios: captions stay
    s.binds[0].options = {QStringLiteral("x"), QStringLiteral("y")};
    const XControlDecisions d2 = ComputeControlDecisions(s);
    EXPECT_TRUE(d2.caption[3].isNull());
    EXPECT_EQ(d2.enable[1], 1);

    // a checked radio enables its dependents unless an update handler said otherwise
    s.ctrls[1].checked = true;
    s.ctrls[0].checked = false;
    s.ctrls[2].cmdEnable = 0;
    EXPECT_EQ(ComputeControlDecisions(s).enable[2], 0);
    s.ctrls[2].cmdEnable = -1;
    EXPECT_EQ(ComputeControlDecisions(s).enable[2], 1);
}

TEST(ControlDecisions, NestedCheckBoxControlsItsEdit)
{
    struct Case
    {
        bool outer, inner;
        int innerEnable, editEnable, otherEnable;
    };
    for (const Case& c : {Case{false, false, 0, 0, 0}, Case{false, true, 0, 0, 0}, Case{true, false, 1, 0, 1},
                          Case{true, true, 1, 1, 1}}) {
        XDialogSnapshot s;
        s.ctrls = {Check(1, true, c.outer), Check(2, false, c.inner), Ctrl(3, "Edit"),
                   Ctrl(4, "ComboBox"),     Radio(5, false, true),    Ctrl(6, "Edit", WS_GROUP)};
        const XControlDecisions d = ComputeControlDecisions(s);
        EXPECT_EQ(d.enable[1], c.innerEnable) << c.outer << c.inner;
        EXPECT_EQ(d.enable[2], c.editEnable) << c.outer << c.inner;
        EXPECT_EQ(d.enable[3], c.otherEnable);
        // a radio without WS_GROUP does not end the check box's run, WS_GROUP does
        EXPECT_EQ(d.enable[4], c.otherEnable);
        EXPECT_EQ(d.enable[5], -1);
    }
}

TEST(ControlDecisions, ReadOnlyDialogSweepAndClosingButtons)
{
    XDialogSnapshot s;
    s.ctrls = {Ctrl(1001, "Edit"), Ctrl(IDC_EDIT_REEDIT, "Button"),
               Ctrl(1, "Button"),  Ctrl(2, "Button"),
               Ctrl(1002, "Edit"), Ctrl(7, "Custom")};
    s.ctrls[5].isDialog = true;
    s.binds = {{0, 1, {}}, {4, -1, {}}};
    s.readOnly = true;
    XControlDecisions d = ComputeControlDecisions(s);
    EXPECT_EQ(d.readOnly[0], 1); // an editable field of a read-only dialog
    EXPECT_EQ(d.readOnly[1], -1);
    EXPECT_EQ(d.readOnly[2], -1);
    EXPECT_EQ(d.readOnly[3], -1);
    EXPECT_EQ(d.readOnly[4], 0);  // disabled by its access: not swept
    EXPECT_EQ(d.readOnly[5], -1); // child dialogs keep their own state
    EXPECT_EQ(d.okVisible, 0);
    EXPECT_EQ(d.cancelClose, 1);

    s.readOnly = false;
    s.ctrls[1].readOnly = true;
    d = ComputeControlDecisions(s);
    EXPECT_EQ(d.readOnly[1], 0); // still marked from before: cleared
    EXPECT_EQ(d.okVisible, 1);
    EXPECT_EQ(d.cancelClose, 0);

    s.topLevel = false; // a page has no closing buttons of its own
    EXPECT_EQ(ComputeControlDecisions(s).okVisible, -1);
}

TEST(DialogTexts, LabelsTooltipsAndSizes)
{
    EXPECT_EQ(CleanItemLabel(QStringLiteral("浏览(&B)...")), "浏览");
    EXPECT_EQ(CleanItemLabel(QStringLiteral("导出(&E")), "导出");
    EXPECT_EQ(CleanItemLabel(QStringLiteral(" 学员 ")), "学员");
    EXPECT_EQ(StripLabelColons(QStringLiteral("学员姓名：")), "学员姓名");
    EXPECT_EQ(StripLabelColons(QStringLiteral("姓名:：")), "姓名:"); // ":" first, then "："

    EXPECT_EQ(CutTooltip(QString(79, u'x')), QString(79, u'x'));
    EXPECT_EQ(CutTooltip(QString(80, u'x')), QString(75, u'x') + " ...");

    EXPECT_EQ(DialogSizeKey(377, 321, 96), "dlg.377.321.96");
    EXPECT_EQ(FormatDialogSize(640, 480, 3), "640,480,3");
    int w = 0, h = 0, cmd = 0;
    EXPECT_TRUE(ParseDialogSize(QStringLiteral("700,500"), w, h, cmd));
    EXPECT_EQ(w, 700);
    EXPECT_EQ(h, 500);
    EXPECT_EQ(cmd, 0); // missing: 0, which applies nothing
    EXPECT_FALSE(ParseDialogSize(QStringLiteral("wide"), w, h, cmd));
    EXPECT_EQ(TextLimit(false), 255);
    EXPECT_EQ(TextLimit(true), 2000);
}

TEST(ScrollModel, TallContentAndContentThatFits)
{
    const XScrollModel m = ComputeScrollModel(1000, 400);
    EXPECT_EQ(m.nMax, 600);
    EXPECT_EQ(m.nPage, 240);
    EXPECT_EQ(m.Range(), 360);
    EXPECT_EQ(m.Offset(0), 0);
    EXPECT_EQ(m.Offset(360), 600);
    EXPECT_EQ(m.Offset(180), 300);
    EXPECT_EQ(ScrollRequestPos(m, SB_BOTTOM, 0, 0, 10), 360);
    EXPECT_EQ(ScrollRequestPos(m, SB_LINEDOWN, 0, 0, 10), 36);
    EXPECT_EQ(ScrollRequestPos(m, SB_PAGEDOWN, 300, 0, 10), 360);
    EXPECT_EQ(ScrollRequestPos(m, SB_LINEUP, 10, 0, 10), 0);
    EXPECT_EQ(ScrollRequestPos(m, SB_THUMBTRACK, 0, 500, 10), 360);

    // content that fits: no range, and no division by it
    const XScrollModel fits = ComputeScrollModel(300, 400);
    EXPECT_EQ(fits.nMax, 0);
    EXPECT_EQ(fits.Range(), 0);
    EXPECT_EQ(fits.Offset(5), 0);
    EXPECT_EQ(ScrollRequestPos(fits, SB_BOTTOM, 0, 0, 10), 0);

    // bars: a vertical bar can make a horizontal one necessary and the reverse
    XScrollBars b = FitScrollBars(QSize(390, 1000), QSize(400, 400), 17, 17);
    EXPECT_TRUE(b.vertical);
    EXPECT_TRUE(b.horizontal);
    EXPECT_EQ(b.client, QSize(383, 383));
    b = FitScrollBars(QSize(500, 390), QSize(400, 400), 17, 17);
    EXPECT_TRUE(b.horizontal);
    EXPECT_TRUE(b.vertical);
    b = FitScrollBars(QSize(300, 300), QSize(400, 400), 17, 17);
    EXPECT_FALSE(b.horizontal || b.vertical);
}

TEST(ValidationDecision, StopOnlyAtBoundMembersWarnOtherwise)
{
    const std::vector<int> bound = {8, 16};
    XValidationAction a =
        DecideValidation({{ST_WARN, 8, QStringLiteral("w")}, {ST_STOP, 16, QStringLiteral("s")}}, bound);
    EXPECT_EQ(a.kind, XValidationAction::StopAt);
    EXPECT_EQ(a.member, 16);

    a = DecideValidation({{ST_STOP, 0, QStringLiteral("whole")},
                          {ST_STOP, 24, QStringLiteral("unbound")},
                          {ST_WARN, 8, QStringLiteral("w")}},
                         bound);
    EXPECT_EQ(a.kind, XValidationAction::Confirm);
    EXPECT_EQ(a.text, "whole\r\nunbound\r\nw");
    EXPECT_EQ(a.warnMember, 8);

    a = DecideValidation({{ST_GOOD, 0, QString()}, {ST_GRAY, 8, QStringLiteral("g")}}, bound);
    EXPECT_EQ(a.kind, XValidationAction::Accept);
}

TEST(NumberText, ParseAndFormat)
{
    struct P
    {
        const char16_t* text;
        double value;
    };
    for (const P& p : {P{u"¥12.5", 12.5}, P{u"1/2", 1}, P{u"abc", 0}, P{u"-3 天", -3}, P{u"1,234", 1}, P{u".5", 0.5},
                       P{u"x-.25", -0.25}, P{u"", 0}})
        EXPECT_DOUBLE_EQ(CXEditNumber::ParseNumber(QString::fromUtf16(p.text)), p.value)
            << QString::fromUtf16(p.text).toStdString();

    struct F
    {
        double v;
        const char16_t* format;
        bool focused, readOnly;
        const char16_t* text;
    };
    for (const F& f : {F{12.5, u"%1.2f", false, false, u"¥12.5"}, F{12.5, u"%1.2f", true, false, u"12.5"},
                       F{12.0, u"%1.2f", false, false, u"¥12"}, F{12.5, u"%1.2f", true, true, u"¥12.5"},
                       F{7, u"%+d", true, false, u"7"}, F{7, u"%+d", false, false, u"¥+7"},
                       F{3.9, u"%d", false, false, u"¥3"}, F{5, u"", false, false, u"¥"}})
        EXPECT_EQ(CXEditNumber::FormatNumber(f.v, QString::fromUtf16(f.format), QStringLiteral("¥"), QString(),
                                             f.focused, f.readOnly),
                  QString::fromUtf16(f.text));
    EXPECT_EQ(CXEditNumber::FormatNumber(3, QStringLiteral("%d"), QString(), QStringLiteral(" 天"), false, false),
              "3 天");

    EXPECT_TRUE(CXEditNumber::IsGreyValue(0, QString()));
    EXPECT_TRUE(CXEditNumber::IsGreyValue(100, QStringLiteral("%")));
    EXPECT_FALSE(CXEditNumber::IsGreyValue(100, QStringLiteral(" %")));
    EXPECT_FALSE(CXEditNumber::IsGreyValue(1, QString()));
}
