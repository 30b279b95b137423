#pragma once

// The decisions of the dialog base as pure functions over plain data, so that their rules
// can be checked case by case without widgets.
#include <QtCore/QSize>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <vector>

// One control as an update pass sees it, in the dialog's control order.
struct XCtrlSnapshot
{
    int id = 0;
    QString cls; // window class
    unsigned style = 0;
    bool checked = false;
    bool enabled = true;
    bool readOnly = false;
    bool isDialog = false; // a child dialog: the read-only sweep leaves it alone
    QString caption;
    int cmdEnable = -1; // what the dialog's update handler decided, -1 none
};

// One binding of the dialog, in the order of the member map.
struct XBindSnapshot
{
    int index = -1;      // control position in the control order
    int access = 1;      // -1 hidden, 0 read-only, 1 editable; -2 no field (skipped)
    QStringList options; // option texts of the field
};

struct XDialogSnapshot
{
    std::vector<XCtrlSnapshot> ctrls;
    std::vector<XBindSnapshot> binds;
    bool readOnly = false;
    bool topLevel = true;
};

struct XControlDecisions
{
    std::vector<int> enable;      // per control: -1 undecided, 0, 1
    std::vector<int> readOnly;    // per control: -1 undecided, 0, 1
    std::vector<QString> caption; // new caption of a radio, null when unchanged
    int okVisible = -1;           // -1 leave, 0 hide, 1 show
    int cancelClose = -1;         // -1 leave, 1 "关闭", 0 "取消"
};

XControlDecisions ComputeControlDecisions(const XDialogSnapshot& snap);

// The radios of the group that starts at a control: indexes of the auto radios from it up
// to the next control with WS_GROUP.
std::vector<int> RadioGroup(const std::vector<XCtrlSnapshot>& ctrls, int start);

// A control's name for message titles: accelerator "(&X)" removed (or cut there when no
// ")" follows), trailing dots removed, blanks trimmed.
QString CleanItemLabel(QString text);
// A label's text without its trailing ":" and then "：" characters.
QString StripLabelColons(QString text);

// Tooltip text as the tooltip buffer holds it: 80 characters or more become the first 75
// and " ...".
QString CutTooltip(const QString& text);

// Text limits of bound edits.
int TextLimit(bool multiLine);

// Remembered size: "dlg.<template>.<help>.<dpi>" and "w,h,show".
QString DialogSizeKey(int templateId, int helpId, int dpi);
QString FormatDialogSize(int width, int height, int showCmd);
// Three integers, missing ones 0; false when the text holds none.
bool ParseDialogSize(const QString& value, int& width, int& height, int& showCmd);

// The scroll model of one direction: nMax the overflow, nPage its share, positions 0..R.
struct XScrollModel
{
    int nMax = 0;
    int nPage = 0;
    int Range() const { return nMax - nPage; }
    // Content offset of a position; 0 when nothing scrolls (R <= 0).
    int Offset(int pos) const;
    int Clamp(int pos) const;
};
XScrollModel ComputeScrollModel(int content, int client);

// Scroll requests of the scroll bars.
enum : int {
    SB_LINEUP = 0,
    SB_LINEDOWN = 1,
    SB_PAGEUP = 2,
    SB_PAGEDOWN = 3,
    SB_THUMBTRACK = 5,
    SB_TOP = 6,
    SB_BOTTOM = 7
};
int ScrollRequestPos(const XScrollModel& m, int request, int pos, int track, int lines);

// Client size left for content after the bars a content size needs: returns which bars.
struct XScrollBars
{
    bool vertical = false;
    bool horizontal = false;
    QSize client;
};
XScrollBars FitScrollBars(QSize content, QSize clientWithoutBars, int vbarWidth, int hbarHeight);

// Validation: what OK does with a record's messages.
struct XValidationMessage
{
    int level = 0;
    int member = 0;
    QString text;
};
struct XValidationAction
{
    enum Kind { Accept, StopAt, Confirm } kind = Accept;
    int member = 0;     // StopAt: the bound member of the first stop-level message
    QString text;       // StopAt: its text; Confirm: the alert text
    int warnMember = 0; // Confirm: the first bound warning (0 when none)
    QString warnText;
};
XValidationAction DecideValidation(const std::vector<XValidationMessage>& messages,
                                   const std::vector<int>& boundMembers);
