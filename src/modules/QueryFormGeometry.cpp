#include "QueryFormGeometry.h"

#include <algorithm>

QueryFormSizes QueryFormSizesAt(int dpi)
{
    const auto s = [dpi](int n) { return ScaleToDpi(n, dpi); };
    QueryFormSizes z;
    z.checkHeight = std::max(26, s(24));
    z.controlHeight = std::max(24, s(24) - 2);
    z.wrappedHeight = std::max(28, s(24) + 2);
    z.rowStep = z.controlHeight + s(10);
    z.lineStep = z.controlHeight + s(6);
    z.buttonPad = s(6) + z.controlHeight;
    z.dateWidth = s(150);
    return z;
}

std::vector<QRect> WrapOptionButtons(const std::vector<int>& textWidths, int left, int right, int top,
                                     const QueryFormSizes& sizes)
{
    std::vector<QRect> rects;
    rects.reserve(textWidths.size());
    int x = left, y = top;
    int height = sizes.controlHeight;
    for (int text : textWidths) {
        const int width = text + sizes.buttonPad;
        if (x > left && x + width > right) {
            x = left;
            y += sizes.lineStep;
            height = sizes.wrappedHeight;
        }
        rects.emplace_back(x, y, width, height);
        x += width;
    }
    return rects;
}
