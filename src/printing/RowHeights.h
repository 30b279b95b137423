#pragma once

class QTextDocument;

// Gives every table row the height its RTF row definition asks for (\trrh): the text
// layout knows no row heights, so a row whose text is lower than that gets padding in its
// cells, placed by each cell's vertical alignment. The document's text width must be set
// first; rows already high enough are left alone.
void ApplyRowHeights(QTextDocument& doc);
