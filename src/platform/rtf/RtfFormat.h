#pragma once

// What the reader keeps in text formats beyond Qt's own properties so that the writer can
// give it back unchanged.

#include <QtGui/QTextFormat>

namespace RtfProperty {

enum : int {
    // QTextImageFormat: the picture's original data and its kind ("png" or "jpeg"); written
    // back as they came instead of encoding the decoded image again.
    PictData = QTextFormat::UserProperty + 0x5210,
    PictKind,
    // QTextTableCellFormat: the row height (\trrh, twips) of the row the cell starts in.
    RowHeight,
    // QTextTableCellFormat: a grid cell that no RTF cell covers (the row is narrower than
    // the table); never written.
    FillerCell,
    // QTextTableFormat: the left edge of the table's grid in twips (may be negative).
    TableLeft,
};

} // namespace RtfProperty

// Character formatting as RTF words carry it.
struct RtfCharState
{
    int font = -1; // -1: the document's default font
    int halfPoints = 24;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    int fore = 0; // colour table indexes, 0 automatic
    int back = 0;
    int vertical = 0; // 1 superscript, 2 subscript
    bool operator==(const RtfCharState&) const = default;
};

// Lengths in the document are pixels of 1/96 inch.
inline constexpr double kTwipsPerPixel = 15.0;
