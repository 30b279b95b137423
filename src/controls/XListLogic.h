#pragma once

#include "CHead.h"
#include "XMenuSpec.h"

#include <QtCore/QString>
#include <QtGui/QColor>

#include <cstdint>
#include <vector>

class CXArray;
class CXItem;

// The parts of the record list that are plain functions of records and heads, so they can
// be tested without a window.

// Length of the list control's text buffer; a cell text this long or longer is replaced.
inline constexpr int kListTextBuffer = 260;

// "\r\n" becomes " ", then one left-to-right pass turns "  " into " "; a text of the
// buffer's length or more becomes the hint to look at the details.
QString NormaliseCellText(QString text);

// -1, 0 or 1 by one column, negated for a descending head; 0 when a record or head is missing.
int CompareListItems(const CXItem* a, const CXItem* b, const CHead* head);

// A sort key computed once per record, so a sort of many rows formats each one once.
struct XSortKey
{
    double number = 0; // int, money, date, weekday
    CXDateRange range; // date range
    QString text;      // every other type
};
XSortKey MakeSortKey(const CXItem& item, const CHead* head);
// The key comparison of CompareListItems before the direction is applied.
int CompareSortKeys(const XSortKey& a, const XSortKey& b, const CHead* head);

// Which heads a list mode shows: 0 module list, 1 sub-list, 2 brief list.
bool HeadShownInMode(const CHead& head, int mode);
// The first head that may group the list by default in the mode; -1 when none.
int DefaultGroupHead(const CHeads& heads, int mode);

// The text the layout key is the digest of: every caption, the mode, the control id.
QString LayoutKeyText(const CHeads& heads, int mode, int controlId);
// "sort,group,statusColor" then five numbers per head.
QString EncodeLayout(const CHeads& heads, int sortHead, int groupHead, int statusColor);
// Applies a stored layout; false (nothing changed) when the count of numbers differs.
bool DecodeLayout(const QString& text, CHeads& heads, int& sortHead, int& groupHead, int& statusColor);

// The command id of the radio (image mode 2) or check box (3) image of an item.
int ListStateImageId(int imageMode, bool readOnly, bool enabled, bool hot, bool checked);

// The new width of the fill column (-1 when it keeps its width): the client width minus
// the other columns, less 2 pixels, once that is at least 3 and differs.
int FillColumnWidth(int clientWidth, int othersWidth, int fillWidth);

// Groups: the identity of a group text (weighted code-unit sum, 32-bit wrap-around).
int GroupIdOf(const QString& text);
// "caption：" in front of headers of option ints, money, time spans and secondary dates.
bool GroupHeaderHasCaption(const CHead& head);
// "   ..." statistics of one head over the group's records; empty when nothing to say.
QString GroupStatistic(const CHeads& heads, const CHead& head, const std::vector<const CXItem*>& items);
// The whole header: "[caption：]text (count)" and the statistics of the calc heads.
QString GroupHeaderText(const CHeads& heads, int groupHead, const QString& text,
                        const std::vector<const CXItem*>& items);

// Row background: window colour, or the status colour of the level when colours are on.
QColor StatusRowColor(int level, bool colorsOn, const QColor& window, const QColor& buttonFace);
// Odd display rows are 2 % darker.
QColor ShadeRow(const QColor& color, int displayRow);

// Find: whether a cell matches the searched text (pinyin for plain ASCII letters).
bool MatchListText(const QString& cell, const QString& search, bool wholeText, bool matchCase);
// Row of the first match searching from the first selected row (-1 none); rows are the
// cell texts of each item in column order.
int FindInRows(const std::vector<QStringList>& rows, int firstSelected, const QString& search, bool down,
               bool wholeText, bool matchCase);

// The clipboard text of rows: each cell followed by a space, each row by CR LF.
QString ListCopyText(const std::vector<QStringList>& rows);

// The delete decision: refused (errors) stop everything, warnings need a confirmation.
QString DeleteRefusedText(int selected, int refused, const CHeads& heads);
QString DeleteWarningText(int selected, int warned, const CHeads& heads);
QString DeleteConfirmText(int selected, const CHeads& heads);

// Tooltip of a column header: help text, then "单位：" with the trimmed unit.
QString HeaderTipText(const CHead& head);
// A long tooltip wrapped at 500 pixels (Qt tooltips have no maximum width).
QString WrapTip(const QString& text);

// Menus built from the heads (ids relative to the command's first id).
XMenuSpec GroupMenuSpec(const CHeads& heads, bool onGroup, bool clickableHeader);
XMenuSpec CalcMenuSpec(const CHeads& heads);
XMenuSpec UnitMenuSpec(const CHeads& heads);
// The k-th head (table index) that can group, show statistics or offers its unit; -1.
int NthGroupHead(const CHeads& heads, int k);
int NthCalcHead(const CHeads& heads, int k);
int NthUnitHead(const CHeads& heads, int k);
