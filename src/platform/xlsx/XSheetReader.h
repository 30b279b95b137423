#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QStringView>

// One cell as read. Numbers (dates too, as serial days counted from 1899-12-30 whatever the
// book's date system) also carry a text form, "%.15g", so a reader that takes texts first
// sees what the number was.
struct XCell
{
    enum Kind : unsigned char { Empty, Text, Number, Bool, Error };
    Kind kind = Empty;
    bool date = false; // a number formatted as a date or time
    double number = 0;
    QString text;
};

// The cells of one sheet, kept sparse: a sheet that claims a huge size costs only the cells
// it really holds.
class XSheet
{
public:
    QString m_strName;

    int LastRow() const { return m_nLastRow; }       // -1 when there is no cell
    int LastColumn() const { return m_nLastColumn; } // -1 when there is no cell
    int CellCount() const { return static_cast<int>(m_cells.size()); }
    const XCell* At(int row, int column) const;
    // The cell's text form ("" for none).
    QString Text(int row, int column) const;
    // Numbers, dates and booleans, and texts that read as a number.
    bool Number(int row, int column, double* value) const;
    void Set(int row, int column, XCell cell);
    void Clear();

private:
    QHash<qint64, XCell> m_cells;
    int m_nLastRow = -1;
    int m_nLastColumn = -1;
};

// What a hostile file may cost before reading stops.
struct XReadLimits
{
    qint64 maxFileBytes = qint64(256) << 20;
    qint64 maxPartBytes = qint64(512) << 20; // any one part once unpacked
    int maxCells = 5'000'000;
};

// Reads the named sheet (the first one when the name is empty) of an .xlsx book. False with
// the reason in *error, and the sheet empty, when the book cannot be read as a whole: a
// missing part, broken XML, a part too large, a cell outside the sheet.
bool ReadXlsxData(const QByteArray& data, XSheet& sheet, QString* error, const QString& sheetName = QString(),
                  const XReadLimits& limits = XReadLimits());
bool ReadXlsxFile(const QString& path, XSheet& sheet, QString* error, const QString& sheetName = QString(),
                  const XReadLimits& limits = XReadLimits());
// An .xls book (the older binary format).
bool ReadXlsFile(const QString& path, XSheet& sheet, QString* error, const QString& sheetName = QString(),
                 const XReadLimits& limits = XReadLimits());
// By the file's extension, in any case: ".xls" the older format, anything else .xlsx.
bool ReadSpreadsheet(const QString& path, XSheet& sheet, QString* error, const QString& sheetName = QString());

// "A1" references, rows and columns from 0; false for anything outside the format's
// 1,048,576 rows and 16,384 columns.
bool ParseCellRef(QStringView ref, int* row, int* column);
QString CellRef(int row, int column);
// The text form of a number: "%.15g".
QString NumberText(double value);
// The serial day of a date-time text "YYYY-MM-DD[ hh:mm[:ss]]" (also with "T"); false when
// it is none.
bool DateTextToSerial(const QString& text, double* serial);
