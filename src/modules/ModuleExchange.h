#pragma once

#include <QtCore/QHash>
#include <QtCore/QString>
#include <QtCore/QStringList>

#include <map>
#include <vector>

class CHead;
class CModule;
class CXArray;
class CXItem;
class XSheet;
class XXlsxWriter;

// The exchange of a module's records with spreadsheets: one row per record, one column per
// stored, editable field; a child list's fields are exchanged for its first line only, under
// "list caption>field caption". Export and import use the same columns, so an exported
// book, edited and imported again, adds its rows as new records.

// A field the exchange reads and writes: stored in the database and editable (a child list
// counts as stored; its line fields decide).
bool IsExchangedField(const CHead* head);

struct XExchangeColumn
{
    const CHead* head = nullptr;  // the field (of the record, or of a child line)
    const CHead* array = nullptr; // the child-list field the line belongs to; null for the record's own
    QString caption;              // the column's header text
};

// The columns for records like the sample; a child list takes its element fields from the
// sample's list.
std::vector<XExchangeColumn> ExchangeColumns(const CXItem& sample);

// One cell of a record's field (none: only the format), typed by the field.
void WriteExcelCell(XXlsxWriter& book, int row, int column, const CXItem* item, const CHead* head);

// The sheet being imported, with its header row looked up once: header texts compare
// without regard to case, and the first of equal headers wins.
class XImportSheet
{
public:
    explicit XImportSheet(const XSheet& sheet);
    const XSheet& m_sheet;
    int ColumnOf(const QString& header) const { return m_columns.value(header.toLower(), -1); }

private:
    QHash<QString, int> m_columns;
};

// Reads one cell into a record field by the field's type; a cell that is empty, or a header
// that matches no column, leaves the field as it is. Warnings go to the messages.
void ReadExcelCell(const XImportSheet& sheet, int row, CXItem& item, const CHead* head, const QString& header,
                   QStringList& messages);

// Writes the records to an .xlsx book (sheet named as the module); false with the library's
// message in *error.
bool ExportItems(const CModule& module, const std::vector<const CXItem*>& items, const QString& path, QString* error);

// Reads every data row of the file's first sheet into a new record of the module (all-empty
// rows skipped), its line number in the file as m_nSubID, and validates it for the user; the
// reading warnings of each record go to warnings. False with the reason when the file cannot
// be read; then nothing is added.
bool ReadImportFile(const CModule& module, const QString& path, CXArray& items,
                    std::map<const CXItem*, QStringList>& warnings, QString* error);

// Saves the records in one transaction, stepping the progress window; false after a failed
// save, and then nothing is saved.
bool SaveImportedItems(const CModule& module, CXArray& items, const CXItem& user, const QString& title);
