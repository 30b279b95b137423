#include "ModuleExchange.h"

#include "CHead.h"
#include "CModule.h"
#include "CXArray.h"
#include "CXItem.h"
#include "FormatString.h"
#include "RecordLookups.h"
#include "RecordWriter.h"
#include "XAppServices.h"
#include "XSheetReader.h"
#include "XWriteScope.h"
#include "XXlsxWriter.h"

#include <QtGui/QFontDatabase>
#include <QtGui/QGuiApplication>
#include <QtGui/QScreen>

#include <cmath>
#include <memory>

namespace {

constexpr double kRowHeight = 18;
constexpr int kHeaderFill = 0xF0F0F0;

CXArray* LinesOf(CXItem& item, const CHead* array) { return &item.Member<CXArray>(array->m_nOffset); }
const CXArray* LinesOf(const CXItem& item, const CHead* array) { return &item.Member<CXArray>(array->m_nOffset); }

double ScreenDpi()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen && screen->logicalDotsPerInchX() > 0 ? screen->logicalDotsPerInchX() : 96;
}

} // namespace

bool IsExchangedField(const CHead* head)
{
    if (!head || head->m_nAccess != 1)
        return false;
    // a child list has no column of its own: its lines are stored through their own table
    return head->m_nType == XAR ? head->m_nOffset != 0 : head->m_bWritable != 0;
}

std::vector<XExchangeColumn> ExchangeColumns(const CXItem& sample)
{
    std::vector<XExchangeColumn> columns;
    const CHeads* heads = sample.GetHeads();
    if (!heads)
        return columns;
    for (const CXItem* h : *heads) {
        const auto* head = static_cast<const CHead*>(h);
        if (!IsExchangedField(head))
            continue;
        if (head->m_nType != XAR) {
            columns.push_back({head, nullptr, head->m_strName});
            continue;
        }
        if (!head->m_nOffset)
            continue;
        const CHeads* lineHeads = LinesOf(sample, head)->GetHeads();
        if (!lineHeads)
            continue;
        for (const CXItem* l : *lineHeads) {
            const auto* line = static_cast<const CHead*>(l);
            if (IsExchangedField(line) && line->m_nType != XAR)
                columns.push_back({line, head, head->m_strName + u'>' + line->m_strName});
        }
    }
    return columns;
}

void WriteExcelCell(XXlsxWriter& book, int row, int column, const CXItem* item, const CHead* head)
{
    XCellStyle style{-1, -1, head->GetAlign(), true, QString()};
    const int type = head->m_nType;
    const bool number = (type == XIN && !head->IsOptionList()) || type == XNU || type == XDT;
    if (number)
        style.numFormat = head->GetExcelFormat();
    if (!item) {
        book.WriteBlank(row, column, style);
        return;
    }
    if (number) {
        const XFieldValue value = FieldValue(*item, head);
        if (type == XDT) {
            const auto* date = std::get_if<XDateTime>(&value);
            if (!date || !date->IsValid() || date->Day() == 0) {
                book.WriteBlank(row, column, style);
                return;
            }
        }
        book.WriteNumber(row, column, FieldNumber(value), style);
        return;
    }
    if (type == XIN || type == XLK || type == XTS || type == XSW) {
        // Not the display text: it shows an empty field as the field's empty text ("未登记"),
        // which an import would take for the value.
        const QString text = item->FormatText(head, false, false, false);
        if (!text.isEmpty()) {
            book.WriteText(row, column, text, style);
            return;
        }
    }
    book.WriteBlank(row, column, style);
}

XImportSheet::XImportSheet(const XSheet& sheet) : m_sheet(sheet)
{
    for (int c = sheet.LastColumn(); c >= 0; --c) { // backwards: the first of equal headers wins
        const QString text = sheet.Text(0, c).trimmed();
        if (!text.isEmpty())
            m_columns.insert(text.toLower(), c);
    }
}

void ReadExcelCell(const XImportSheet& sheet, int row, CXItem& item, const CHead* head, const QString& header,
                   QStringList& messages)
{
    const int column = sheet.ColumnOf(header);
    if (column < 0 || !head->m_nOffset)
        return;
    const QString text = sheet.m_sheet.Text(row, column).trimmed();
    if (text.isEmpty())
        return;
    double number = 0;
    const bool isNumber = sheet.m_sheet.Number(row, column, &number);
    switch (head->m_nType) {
    case XIN:
        if (head->IsOptionList()) {
            QStringList texts;
            QList<int> values;
            item.GetOptions(head, texts, values);
            int value = 0;
            for (qsizetype i = 0; i < texts.size() && i < values.size(); ++i)
                if (texts[i].compare(text, Qt::CaseInsensitive) == 0) {
                    value = values[i];
                    break;
                }
            item.Member<int>(head->m_nOffset) = value;
        } else if (isNumber) {
            const double rounded = std::round(number);
            if (rounded != number)
                messages << FormatString(u"“%s” 的值 %s 不是整数，按 %d 导入。", header, text,
                                         static_cast<int>(rounded));
            item.Member<int>(head->m_nOffset) = static_cast<int>(std::clamp(rounded, -2147483648.0, 2147483647.0));
        } else {
            messages << FormatString(u"“%s” 的值 “%s” 不是数字。", header, text);
        }
        break;
    case XNU:
        if (isNumber)
            item.Member<double>(head->m_nOffset) = number;
        else
            messages << FormatString(u"“%s” 的值 “%s” 不是数字。", header, text);
        break;
    case XDT: {
        XDateTime date;
        if (isNumber)
            date = XDateTime(number);
        else if (!date.ParseDateTime(text)) { // a date typed as text
            messages << FormatString(u"“%s” 的值 “%s” 不是日期。", header, text);
            break;
        }
        item.Member<XDateTime>(head->m_nOffset) = date;
        break;
    }
    case XLK: {
        auto& link = item.Member<CXBase>(head->m_nOffset);
        const int found = FindItemIdByName(link, text);
        if (found == 0)
            messages << FormatString(u"未找到名称包含 “%s” 的%s。", text, head->m_strName);
        else if (found > 1)
            messages << FormatString(u"找到多个名称包含 “%s” 的%s，按第一个导入。", text, head->m_strName);
        break;
    }
    case XTS: {
        CXTimeSpan span;
        if (span.Parse(text))
            item.Member<int>(head->m_nOffset) = span.Value();
        else
            messages << FormatString(u"“%s” 的格式应为 “00:00～00:00”。", header);
        break;
    }
    case XSW:
        item.Member<QString>(head->m_nOffset) = text;
        break;
    default:
        break;
    }
}

bool ExportItems(const CModule& module, const std::vector<const CXItem*>& items, const QString& path, QString* error)
{
    std::unique_ptr<CXItem> fresh;
    const CXItem* sample = items.empty() ? nullptr : items.front();
    if (!sample) {
        fresh.reset(module.CreateItem());
        sample = fresh.get();
    }
    const std::vector<XExchangeColumn> columns = ExchangeColumns(*sample);
    // The comments on child-list headers need the whole sheet in memory; without child lists
    // the rows go out one by one in constant memory.
    const bool comments = std::any_of(columns.begin(), columns.end(), [](const auto& c) { return c.array; });
    XXlsxWriter book(path, !comments, QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(), 9);
    book.AddSheet(module.GetName());
    book.HideGridlines();
    book.FreezeRows(1);
    const double dpi = ScreenDpi();
    for (std::size_t c = 0; c < columns.size(); ++c)
        book.SetColumnWidth(static_cast<int>(c), columns[c].head->GetColumnWidth() * 96.0 / dpi / 7.4);
    book.SetRowHeight(0, kRowHeight);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const int col = static_cast<int>(c);
        book.WriteText(0, col, columns[c].caption, XCellStyle{kHeaderFill, -1, columns[c].head->GetAlign(), true, {}});
        if (columns[c].array)
            book.WriteComment(0, col, columns[c].array->m_strMemo, 129, 75);
    }
    int row = 1;
    for (const CXItem* item : items) {
        book.SetRowHeight(row, kRowHeight);
        for (std::size_t c = 0; c < columns.size(); ++c) {
            const CXItem* source = item;
            if (columns[c].array) {
                const CXArray* lines = LinesOf(*item, columns[c].array);
                source = lines->IsEmpty() ? nullptr : lines->GetAt(0);
            }
            WriteExcelCell(book, row, static_cast<int>(c), source, columns[c].head);
        }
        ++row;
    }
    if (book.Close())
        return true;
    if (error)
        *error = book.ErrorText();
    return false;
}

bool ReadImportFile(const CModule& module, const QString& path, CXArray& items,
                    std::map<const CXItem*, QStringList>& warnings, QString* error)
{
    XSheet sheet;
    if (!ReadSpreadsheet(path, sheet, error))
        return false;
    const XImportSheet import(sheet);
    const CXItem* user = AppServices().User();
    const std::unique_ptr<CXItem> sample(module.CreateItem());
    const std::vector<XExchangeColumn> columns = ExchangeColumns(*sample);
    for (int r = 1; r <= sheet.LastRow(); ++r) {
        bool blank = true;
        for (int c = 0; c <= sheet.LastColumn() && blank; ++c)
            blank = sheet.Text(r, c).trimmed().isEmpty();
        if (blank)
            continue;
        CXItem* item = module.CreateItem();
        items.AddAdopted(item);
        item->m_nSubID = r + 1; // the line in the file, shown in the preview
        QStringList messages;
        for (const XExchangeColumn& column : columns) {
            if (!column.array) {
                ReadExcelCell(import, r, *item, column.head, column.caption, messages);
                continue;
            }
            // the child list gets its one line when a cell of it holds something
            const int c = import.ColumnOf(column.caption);
            if (c < 0 || sheet.Text(r, c).trimmed().isEmpty())
                continue;
            CXArray* lines = LinesOf(*item, column.array);
            if (lines->IsEmpty()) {
                CXItem* line = lines->CreateItem();
                if (!line)
                    continue;
                lines->AddAdopted(line);
            }
            ReadExcelCell(import, r, *lines->GetAt(0), column.head, column.caption, messages);
        }
        item->Validate(user, true);
        for (const QString& m : messages)
            item->AddStatusText(ST_WARN, nullptr, m);
        if (!messages.isEmpty())
            warnings[item] = messages;
    }
    return true;
}

bool SaveImportedItems(const CModule& module, CXArray& items, const CXItem& user, const QString& title)
{
    const CHeads* heads = module.GetHeads();
    const QString unit = heads ? heads->m_strItemUnit : QString();
    const int count = items.GetSize();
    std::unique_ptr<XProgress> progress = AppServices().BeginProgress(title, count);
    XWriteScope scope(nullptr);
    if (!scope.Begin(title))
        return scope.Finish(false);
    int i = 0;
    for (CXItem* item : items) {
        ++i;
        progress->Step(FormatString(u"正在导入第 %d %s%s，共 %d %s ...", i, unit, module.GetName(), count, unit));
        item->m_nSubID = 0; // the preview's line number, not a row of the table
        item->m_nID = 0;
        if (!SaveItem(&scope.Session(), item, nullptr, user))
            return scope.Finish(false);
    }
    return scope.Finish(true);
}
