#pragma once

#include <QtCore/QHash>
#include <QtCore/QString>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// How a written cell looks. Formats are made once per distinct look and shared by every
// cell that has it: a list of 100,000 rows uses a handful of formats, not one per cell.
struct XCellStyle
{
    int fill = -1;      // solid fill 0xRRGGBB; -1 none
    int fontColor = -1; // 0xRRGGBB; -1 the default
    int align = -1;     // 0 left, 1 right, 2 centre; -1 general
    bool vcentre = false;
    QString numFormat; // custom number format; empty for general
};

// One .xlsx workbook with one sheet, written through libxlsxwriter. In constant-memory mode
// rows go to disk as they are written, so they must come in order, and merged ranges and
// comments are not available. Errors are kept (the first one wins) and reported by Close.
class XXlsxWriter
{
public:
    XXlsxWriter(const QString& path, bool constantMemory, const QString& fontName, double fontSize);
    ~XXlsxWriter();
    XXlsxWriter(const XXlsxWriter&) = delete;
    XXlsxWriter& operator=(const XXlsxWriter&) = delete;

    // The one sheet, its name made acceptable (see SanitizeSheetName).
    bool AddSheet(const QString& name);
    void HideGridlines();
    // Keeps the first rows in view while scrolling.
    void FreezeRows(int rows);
    void SetRowHeight(int row, double height);
    void SetColumnWidth(int column, double width);

    void WriteText(int row, int column, const QString& text, const XCellStyle& style);
    void WriteNumber(int row, int column, double value, const XCellStyle& style);
    void WriteBlank(int row, int column, const XCellStyle& style);
    // The shared format of a look, for writers that keep their own handles of the looks
    // they use over and over (a long list: no key is built per cell).
    lxw_format* Format(const XCellStyle& style);
    void WriteText(int row, int column, const QString& text, lxw_format* format);
    void WriteNumber(int row, int column, double value, lxw_format* format);
    void WriteBlank(int row, int column, lxw_format* format);
    // One text over the columns first..last of the row (normal mode only).
    void MergeRow(int row, int first, int last, const QString& text, const XCellStyle& style);
    // A cell comment of the given size in pixels (normal mode only).
    void WriteComment(int row, int column, const QString& text, int width, int height);

    // Writes the file; false when it could not be written or any write failed before.
    bool Close();
    // The library's message for the first failure (empty when none).
    QString ErrorText() const { return m_strError; }
    int FormatCount() const { return static_cast<int>(m_formats.size()); }
    bool IsConstantMemory() const { return m_bConstantMemory; }

private:
    void Check(int error);

    lxw_workbook* m_book = nullptr;
    lxw_worksheet* m_sheet = nullptr;
    QString m_strFont;
    double m_fFontSize;
    bool m_bConstantMemory;
    bool m_bClosed = false;
    QString m_strError;
    QHash<QString, lxw_format*> m_formats;
};

// A sheet name the format accepts: \ / ? * : [ ] become "_", at most 31 characters, no
// apostrophe at either end; "Sheet1" when nothing is left.
QString SanitizeSheetName(const QString& name);
// A file name (without folder) that names one file: / \ : * ? " < > | and control
// characters become "_"; "_" when empty.
QString SanitizeFileName(const QString& name);
