#pragma once

#include <QtCore/QList>
#include <QtCore/QString>

// One row of the built-in paper list: sizes in tenths of a millimetre; 0 x 0 is the
// custom size.
struct XPaperSize
{
    int id = 0; // height << 16 | width
    int width = 0;
    int height = 0;
    QString name;
};

// The paper list (CSV resource 430), read once per process on first use from any thread.
const QList<XPaperSize>& GetPaperSizes();

// The rows of a paper table text: lines beginning with ";" are comments, and only lines of
// exactly three fields (width,height,name) count.
QList<XPaperSize> ParsePaperSizes(const QString& text);

// The area path of a division code (CSV resource 429): province, city and county joined by
// ">" as far as the code's first 2, 4 and 6 characters name them; empty when the province is
// unknown or the code is shorter than 2 characters. "110101" gives "北京市>市辖区>东城区".
QString GetAreaName(const QString& code);
