#pragma once

#include <QtCore/QRect>

#include <vector>

// Pixel sizes of the custom query form at one screen resolution (dots per inch).
struct QueryFormSizes
{
    int checkHeight = 0;   // the row check box
    int controlHeight = 0; // combo box, date picker, link list, option buttons on the row's first line
    int wrappedHeight = 0; // option buttons on the lines a row wraps onto
    int rowStep = 0;       // from one row's last line to the next row
    int lineStep = 0;      // from one line of option buttons to the next
    int buttonPad = 0;     // added to an option button's text width: the mark and a margin
    int dateWidth = 0;
};

// n pixels at 96 dpi scaled to dpi, rounded down.
constexpr int ScaleToDpi(int n, int dpi) { return n * dpi / 96; }
QueryFormSizes QueryFormSizesAt(int dpi);

// Option buttons laid out left to right from left, starting a new line lineStep lower when a
// button would end right of right; a button wider than the whole line keeps a line of its own.
std::vector<QRect> WrapOptionButtons(const std::vector<int>& textWidths, int left, int right, int top,
                                     const QueryFormSizes& sizes);
