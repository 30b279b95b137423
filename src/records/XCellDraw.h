#pragma once

#include <QtCore/QHash>
#include <QtCore/QRect>
#include <QtGui/QFont>
#include <QtGui/QPalette>

#include <utility>

class CHead;
class CXArray;
class QPainter;
class QWidget;

// What the record list hands a record that paints one of its cells: the painter, the
// cell's rectangle (already shrunk by the list), the list itself, its records, colours and
// font. The list keeps one per paint pass, so values computed over all its records (the
// time-bar scale) are computed once per pass, not once per cell.
struct XCellDraw
{
    QPainter* pDC = nullptr;
    QRect rc;
    QWidget* pList = nullptr;        // the list window (not used by the record layer)
    const CXArray* pItems = nullptr; // the list's records
    QPalette palette;                // the list's colours
    QFont font;                      // the list's regular font
    bool bHot = false;               // the mouse is over this cell

    // Earliest begin and latest end (minutes of the day) of a time-span field over pItems.
    QHash<const CHead*, std::pair<int, int>> spanScale;
};
