// The older .xls books, read through FreeXL.
#include "XSheetReader.h"

#include <freexl.h>

#include <QtCore/QFile>

namespace {

QString FreeXlError(int code)
{
    switch (code) {
    case FREEXL_FILE_NOT_FOUND:
        return QStringLiteral("文件不存在或无法读取");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("内存不足");
    case FREEXL_CRAFTED_FILE:
        return QStringLiteral("文件已严重损坏");
    case FREEXL_BIFF_ILLEGAL_SHEET_INDEX:
        return QStringLiteral("工作表不存在");
    default:
        return QStringLiteral("不是有效的 xls 表格文件（错误 %1）").arg(code);
    }
}

class XlsHandle
{
public:
    ~XlsHandle()
    {
        if (m_handle)
            freexl_close(m_handle);
    }
    const void** Out() { return &m_handle; }
    const void* Get() const { return m_handle; }

private:
    const void* m_handle = nullptr;
};

bool Fail(QString* error, const QString& text, XSheet& sheet)
{
    *error = text;
    sheet.Clear();
    return false;
}

} // namespace

bool ReadXlsFile(const QString& path, XSheet& sheet, QString* error, const QString& sheetName,
                 const XReadLimits& limits)
{
    QString ignored;
    if (!error)
        error = &ignored;
    sheet.Clear();
    sheet.m_strName.clear();
    if (QFile(path).size() > limits.maxFileBytes)
        return Fail(error, QStringLiteral("文件超过 %1 MB").arg(limits.maxFileBytes >> 20), sheet);
    XlsHandle xls;
    int rc = freexl_open(QFile::encodeName(path).constData(), xls.Out());
    if (rc != FREEXL_OK)
        return Fail(error, FreeXlError(rc), sheet);
    unsigned int count = 0;
    if ((rc = freexl_get_info(xls.Get(), FREEXL_BIFF_SHEET_COUNT, &count)) != FREEXL_OK)
        return Fail(error, FreeXlError(rc), sheet);
    int index = -1;
    for (unsigned int i = 0; i < count && i <= 0xFFFF && index < 0; ++i) {
        const char* name = nullptr;
        if (freexl_get_worksheet_name(xls.Get(), static_cast<unsigned short>(i), &name) != FREEXL_OK)
            continue;
        const QString text = QString::fromUtf8(name ? name : "");
        if (sheetName.isEmpty() || text == sheetName) {
            index = static_cast<int>(i);
            sheet.m_strName = text;
        }
    }
    if (index < 0)
        return Fail(error,
                    sheetName.isEmpty() ? QStringLiteral("工作簿中没有工作表")
                                        : QStringLiteral("找不到工作表 “%1”").arg(sheetName),
                    sheet);
    if ((rc = freexl_select_active_worksheet(xls.Get(), static_cast<unsigned short>(index))) != FREEXL_OK)
        return Fail(error, FreeXlError(rc), sheet);
    unsigned int rows = 0;
    unsigned short columns = 0;
    if ((rc = freexl_worksheet_dimensions(xls.Get(), &rows, &columns)) != FREEXL_OK)
        return Fail(error, FreeXlError(rc), sheet);
    if (static_cast<qint64>(rows) * columns > limits.maxCells)
        return Fail(error, QStringLiteral("单元格数超过 %1").arg(limits.maxCells), sheet);
    for (unsigned int r = 0; r < rows; ++r)
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value{};
            if ((rc = freexl_get_cell_value(xls.Get(), r, c, &value)) != FREEXL_OK)
                return Fail(error, FreeXlError(rc), sheet);
            XCell cell;
            switch (value.type) {
            case FREEXL_CELL_INT:
                cell.kind = XCell::Number;
                cell.number = value.value.int_value;
                break;
            case FREEXL_CELL_DOUBLE:
                cell.kind = XCell::Number;
                cell.number = value.value.double_value;
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                cell.kind = XCell::Text;
                cell.text = QString::fromUtf8(value.value.text_value ? value.value.text_value : "");
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME: {
                // FreeXL gives dates as texts; they go back to serial days like an .xlsx date
                const QString text = QString::fromUtf8(value.value.text_value ? value.value.text_value : "");
                double serial = 0;
                if (value.type == FREEXL_CELL_TIME) {
                    const QStringList parts = text.split(u':');
                    if (parts.size() >= 2)
                        serial = (parts[0].toInt() * 3600 + parts[1].toInt() * 60 + parts.value(2).toInt()) / 86400.0;
                } else if (!DateTextToSerial(text, &serial)) {
                    return Fail(error, QStringLiteral("单元格 %1 的日期 “%2” 无效").arg(CellRef(int(r), c), text),
                                sheet);
                }
                cell.kind = XCell::Number;
                cell.date = true;
                cell.number = serial;
                break;
            }
            default:
                break;
            }
            if (cell.kind == XCell::Number)
                cell.text = NumberText(cell.number);
            if (cell.kind == XCell::Empty || (cell.kind == XCell::Text && cell.text.isEmpty()))
                continue;
            sheet.Set(static_cast<int>(r), c, std::move(cell));
        }
    return true;
}
