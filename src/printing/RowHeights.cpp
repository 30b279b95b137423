#include "RowHeights.h"

#include "RtfFormat.h"

#include <QtGui/QAbstractTextDocumentLayout>
#include <QtGui/QTextBlock>
#include <QtGui/QTextDocument>
#include <QtGui/QTextFrame>
#include <QtGui/QTextTable>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// twips are 1/1440 inch, document lengths 1/96 inch
constexpr double kTwipsPerDoc = 15.0;

struct XRowPad
{
    QTextTable* table;
    int row;
    double extra;
};

double TopPad(const QTextTableCellFormat& f, double fallback)
{
    return f.hasProperty(QTextFormat::TableCellTopPadding) ? f.topPadding() : fallback;
}

double BottomPad(const QTextTableCellFormat& f, double fallback)
{
    return f.hasProperty(QTextFormat::TableCellBottomPadding) ? f.bottomPadding() : fallback;
}

// The height the cell's text takes, from its first block's top to its last block's bottom.
double TextHeight(QAbstractTextDocumentLayout* layout, const QTextTableCell& cell)
{
    const QTextBlock first = cell.firstCursorPosition().block();
    const QTextBlock last = cell.lastCursorPosition().block();
    const QRectF a = layout->blockBoundingRect(first);
    const QRectF b = layout->blockBoundingRect(last);
    return std::max(0.0, b.bottom() - a.top());
}

void CollectRows(QTextFrame* frame, QAbstractTextDocumentLayout* layout, std::vector<XRowPad>& rows)
{
    for (QTextFrame* child : frame->childFrames()) {
        if (auto* table = qobject_cast<QTextTable*>(child)) {
            const double padding = table->format().cellPadding();
            for (int r = 0; r < table->rows(); ++r) {
                double wanted = 0;
                double highest = 0;
                for (int c = 0; c < table->columns(); ++c) {
                    const QTextTableCell cell = table->cellAt(r, c);
                    if (cell.row() != r || cell.column() != c || cell.rowSpan() > 1)
                        continue;
                    const QTextTableCellFormat f = cell.format().toTableCellFormat();
                    wanted = std::max(wanted, std::abs(f.intProperty(RtfProperty::RowHeight)) / kTwipsPerDoc);
                    highest = std::max(highest, TextHeight(layout, cell) + TopPad(f, padding) + BottomPad(f, padding));
                }
                if (wanted > highest + 0.5)
                    rows.push_back({table, r, wanted - highest});
            }
        }
        CollectRows(child, layout, rows);
    }
}

} // namespace

void ApplyRowHeights(QTextDocument& doc)
{
    std::vector<XRowPad> rows;
    CollectRows(doc.rootFrame(), doc.documentLayout(), rows);
    // measured first, changed after: a changed format lays the document out again
    for (const XRowPad& p : rows) {
        const double padding = p.table->format().cellPadding();
        for (int c = 0; c < p.table->columns(); ++c) {
            QTextTableCell cell = p.table->cellAt(p.row, c);
            if (cell.row() != p.row || cell.column() != c || cell.rowSpan() > 1)
                continue;
            QTextTableCellFormat f = cell.format().toTableCellFormat();
            const double top = TopPad(f, padding);
            const double bottom = BottomPad(f, padding);
            switch (f.verticalAlignment()) {
            case QTextCharFormat::AlignMiddle:
                f.setTopPadding(top + p.extra / 2);
                f.setBottomPadding(bottom + p.extra / 2);
                break;
            case QTextCharFormat::AlignBottom:
                f.setTopPadding(top + p.extra);
                f.setBottomPadding(bottom);
                break;
            default:
                f.setTopPadding(top);
                f.setBottomPadding(bottom + p.extra);
                break;
            }
            cell.setFormat(f);
        }
    }
}
