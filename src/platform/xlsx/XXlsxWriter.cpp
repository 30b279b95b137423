#include "XXlsxWriter.h"

#include <xlsxwriter.h>

#include <QtCore/QByteArray>

namespace {

// The format's longest text; longer texts are cut rather than refused.
constexpr int kMaxCellText = 32767;

QByteArray CellText(const QString& text) { return text.left(kMaxCellText).toUtf8(); }

QString StyleKey(const XCellStyle& s)
{
    return QString::number(s.fill) + u'|' + QString::number(s.fontColor) + u'|' + QString::number(s.align) + u'|' +
           QString::number(s.vcentre ? 1 : 0) + u'|' + s.numFormat;
}

} // namespace

XXlsxWriter::XXlsxWriter(const QString& path, bool constantMemory, const QString& fontName, double fontSize)
    : m_strFont(fontName), m_fFontSize(fontSize), m_bConstantMemory(constantMemory)
{
    lxw_workbook_options options{};
    options.constant_memory = constantMemory ? LXW_TRUE : LXW_FALSE;
    m_book = workbook_new_opt(path.toUtf8().constData(), &options);
    if (!m_book)
        m_strError = QString::fromUtf8(lxw_strerror(LXW_ERROR_MEMORY_MALLOC_FAILED));
}

XXlsxWriter::~XXlsxWriter()
{
    if (!m_bClosed && m_book)
        workbook_close(m_book); // a book given up still frees its temporary files
}

void XXlsxWriter::Check(int error)
{
    if (error != LXW_NO_ERROR && m_strError.isEmpty())
        m_strError = QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(error)));
}

bool XXlsxWriter::AddSheet(const QString& name)
{
    if (!m_book)
        return false;
    m_sheet = workbook_add_worksheet(m_book, SanitizeSheetName(name).toUtf8().constData());
    if (!m_sheet)
        Check(LXW_ERROR_SHEETNAME_ALREADY_USED);
    return m_sheet != nullptr;
}

void XXlsxWriter::HideGridlines()
{
    if (m_sheet)
        worksheet_gridlines(m_sheet, LXW_HIDE_ALL_GRIDLINES);
}

void XXlsxWriter::FreezeRows(int rows)
{
    if (m_sheet)
        worksheet_freeze_panes(m_sheet, static_cast<lxw_row_t>(rows), 0);
}

void XXlsxWriter::SetRowHeight(int row, double height)
{
    if (m_sheet)
        Check(worksheet_set_row(m_sheet, static_cast<lxw_row_t>(row), height, nullptr));
}

void XXlsxWriter::SetColumnWidth(int column, double width)
{
    if (m_sheet)
        Check(worksheet_set_column(m_sheet, static_cast<lxw_col_t>(column), static_cast<lxw_col_t>(column), width,
                                   nullptr));
}

lxw_format* XXlsxWriter::Format(const XCellStyle& style)
{
    if (!m_book)
        return nullptr;
    const QString key = StyleKey(style);
    if (lxw_format* f = m_formats.value(key))
        return f;
    lxw_format* f = workbook_add_format(m_book);
    if (!m_strFont.isEmpty())
        format_set_font_name(f, m_strFont.toUtf8().constData());
    if (m_fFontSize > 0)
        format_set_font_size(f, m_fFontSize);
    if (style.fill >= 0) {
        format_set_pattern(f, LXW_PATTERN_SOLID);
        format_set_bg_color(f, static_cast<lxw_color_t>(style.fill));
    }
    if (style.fontColor >= 0)
        format_set_font_color(f, static_cast<lxw_color_t>(style.fontColor));
    static const uint8_t kAlign[] = {LXW_ALIGN_LEFT, LXW_ALIGN_RIGHT, LXW_ALIGN_CENTER};
    if (style.align >= 0 && style.align <= 2)
        format_set_align(f, kAlign[style.align]);
    if (style.vcentre)
        format_set_align(f, LXW_ALIGN_VERTICAL_CENTER);
    if (!style.numFormat.isEmpty())
        format_set_num_format(f, style.numFormat.toUtf8().constData());
    m_formats.insert(key, f);
    return f;
}

void XXlsxWriter::WriteText(int row, int column, const QString& text, const XCellStyle& style)
{
    if (m_sheet)
        WriteText(row, column, text, Format(style));
}

void XXlsxWriter::WriteNumber(int row, int column, double value, const XCellStyle& style)
{
    if (m_sheet)
        WriteNumber(row, column, value, Format(style));
}

void XXlsxWriter::WriteBlank(int row, int column, const XCellStyle& style)
{
    if (m_sheet)
        WriteBlank(row, column, Format(style));
}

void XXlsxWriter::WriteText(int row, int column, const QString& text, lxw_format* format)
{
    if (m_sheet)
        Check(worksheet_write_string(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                                     CellText(text).constData(), format));
}

void XXlsxWriter::WriteNumber(int row, int column, double value, lxw_format* format)
{
    if (m_sheet)
        Check(worksheet_write_number(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), value,
                                     format));
}

void XXlsxWriter::WriteBlank(int row, int column, lxw_format* format)
{
    if (m_sheet)
        Check(worksheet_write_blank(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column), format));
}

void XXlsxWriter::MergeRow(int row, int first, int last, const QString& text, const XCellStyle& style)
{
    if (!m_sheet)
        return;
    if (last <= first) { // a range of one cell is no merge
        WriteText(row, first, text, style);
        return;
    }
    const auto r = static_cast<lxw_row_t>(row);
    Check(worksheet_merge_range(m_sheet, r, static_cast<lxw_col_t>(first), r, static_cast<lxw_col_t>(last),
                                CellText(text).constData(), Format(style)));
}

void XXlsxWriter::WriteComment(int row, int column, const QString& text, int width, int height)
{
    if (!m_sheet || text.isEmpty())
        return;
    lxw_comment_options options{};
    options.width = static_cast<uint16_t>(width);
    options.height = static_cast<uint16_t>(height);
    Check(worksheet_write_comment_opt(m_sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(column),
                                      CellText(text).constData(), &options));
}

bool XXlsxWriter::Close()
{
    if (m_bClosed)
        return m_strError.isEmpty();
    m_bClosed = true;
    if (!m_book)
        return false;
    const lxw_error error = workbook_close(m_book);
    m_book = nullptr;
    Check(error);
    return m_strError.isEmpty();
}

namespace {

QString Sanitize(const QString& name, const QString& bad)
{
    QString out = name;
    for (QChar& ch : out)
        if (bad.contains(ch) || ch.unicode() < 0x20)
            ch = u'_';
    return out;
}

} // namespace

QString SanitizeSheetName(const QString& name)
{
    QString out = Sanitize(name, QStringLiteral("\\/?*:[]")).left(31);
    while (out.startsWith(u'\''))
        out.remove(0, 1);
    while (out.endsWith(u'\''))
        out.chop(1);
    return out.isEmpty() ? QStringLiteral("Sheet1") : out;
}

QString SanitizeFileName(const QString& name)
{
    const QString out = Sanitize(name, QStringLiteral("\\/?*:[]\"<>|"));
    return out.isEmpty() ? QStringLiteral("_") : out;
}
