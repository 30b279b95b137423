#pragma once

// The decisions of the edit with command buttons, the history combo box and the history
// dialogs, apart from their widgets.
#include "CommandIds.h"

#include <QtCore/QRect>
#include <QtCore/QSize>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <utility>
#include <vector>

class CXArray;

// Item data of the history combo's pseudo-items.
enum : int { XCB_EMPTY_OPTION = -1, XCB_MORE = ID_EDIT_HISTORY, XCB_NO_HISTORY = 10 };
constexpr int kHistoryShown = 20;

// The button row of an edit of size window with n visible buttons of side b: one row at
// the right edge when the edit is lower than b x n, else one column; the client area is
// what is left inside the 1-pixel border.
struct XEditButtonLayout
{
    bool row = true;
    QRect client;
    std::vector<QRect> buttons; // in the order of the visible commands
};
XEditButtonLayout LayoutEditButtons(const QSize& window, int n, int b);

// The duplicate rule: d from FindDuplicate (-1 not applicable, 0 none, else an ID).
struct XDuplicateButtons
{
    bool applies = false;
    bool indicator = false; // IDI_ERROR and IDI_WARNING
    bool merge = false;     // ID_EDIT_MERGE
};
XDuplicateButtons DecideDuplicateButtons(int d, bool recordSaved);

// The items a drop-down adds to an empty list: saved template items, then the first 20
// history values, then "更多 ..." when there was history, or "（无历史记录）" when the list
// would stay empty. Texts already present are not added again.
std::vector<std::pair<QString, int>> ComboFillItems(const QStringList& present, const QStringList& saved,
                                                    const QStringList& history);

// After a history value was renamed to newText: another entry with that text is folded
// into the edited one (its count added) and removed; the edited entry takes the text.
// Returns the index removed, -1 when none.
int MergeRenamedHistory(CXArray& items, int edited, const QString& newText);

// The longest text a history value may have: below 255, or 2000 multi-line.
int HistoryTextLimit(bool multiLine);
// The warning for a text too long, empty when it fits.
QString HistoryLengthWarning(const QString& text, bool multiLine);
