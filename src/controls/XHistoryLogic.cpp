#include "XHistoryLogic.h"

#include "CXArray.h"
#include "CXItem.h"

XEditButtonLayout LayoutEditButtons(const QSize& window, int n, int b)
{
    XEditButtonLayout l;
    QRect rc(1, 1, window.width() - 2, window.height() - 2);
    l.row = rc.height() < b * n;
    if (n == 0) {
        l.client = rc;
        return l;
    }
    if (l.row) {
        int right = rc.right() + 1;
        for (int i = 0; i < n; ++i) {
            l.buttons.emplace_back(right - b, rc.top(), b, b);
            right -= b;
        }
        rc.setRight(rc.right() - b * n);
    } else {
        int top = rc.top();
        for (int i = 0; i < n; ++i) {
            l.buttons.emplace_back(rc.right() + 1 - b, top, b, b);
            top += b;
        }
        rc.setRight(rc.right() - b);
    }
    l.client = rc;
    return l;
}

XDuplicateButtons DecideDuplicateButtons(int d, bool recordSaved)
{
    XDuplicateButtons r;
    r.applies = d >= 0;
    r.indicator = d > 0;
    r.merge = d > 0 && recordSaved;
    return r;
}

std::vector<std::pair<QString, int>> ComboFillItems(const QStringList& present, const QStringList& saved,
                                                    const QStringList& history)
{
    std::vector<std::pair<QString, int>> add;
    QStringList texts = present;
    auto push = [&](const QString& t, int data) {
        if (texts.contains(t))
            return;
        texts << t;
        add.emplace_back(t, data);
    };
    for (const QString& s : saved)
        push(s, 0);
    for (qsizetype i = 0; i < history.size() && i < kHistoryShown; ++i)
        push(history[i], 0);
    if (!history.isEmpty())
        push(QStringLiteral("更多 ..."), XCB_MORE);
    else if (texts.isEmpty())
        push(QStringLiteral("（无历史记录）"), XCB_NO_HISTORY);
    return add;
}

int MergeRenamedHistory(CXArray& items, int edited, const QString& newText)
{
    if (edited < 0 || edited >= items.GetSize())
        return -1;
    CXItem* target = items.GetAt(edited);
    int removed = -1;
    for (int i = 0; i < items.GetSize(); ++i) {
        if (i != edited && items.GetAt(i)->m_strName == newText) {
            target->m_nID += items.GetAt(i)->m_nID;
            items.RemoveAt(i);
            removed = i;
            break;
        }
    }
    target->m_strName = newText;
    return removed;
}

int HistoryTextLimit(bool multiLine) { return multiLine ? 2000 : 255; }

QString HistoryLengthWarning(const QString& text, bool multiLine)
{
    const int limit = HistoryTextLimit(multiLine);
    if (text.size() < limit)
        return {};
    return QStringLiteral("输入文本长度应 < %1！").arg(limit);
}
