#pragma once

#include <QtCore/QByteArray>

class QTextDocument;

// Replaces the content of the document with the RTF text. Returns the number of bytes
// read: up to and including the brace that closes the outer group, or the whole text when
// it is never closed. Text that does not begin with "{\rtf" reads nothing and leaves the
// document as it was.
//
// Lengths are stored in pixels of 1/96 inch (15 twips); font sizes in points.
qsizetype ReadRtf(const QByteArray& rtf, QTextDocument& doc);
