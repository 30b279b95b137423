// The list written to a spreadsheet as shown.
#include "CXListCtrl.h"

#include "CHead.h"
#include "CModule.h"
#include "CXItem.h"
#include "FormatString.h"
#include "ProgramPaths.h"
#include "XListModel.h"
#include "XOpenWith.h"
#include "XUi.h"
#include "XXlsxWriter.h"

#include <QtCore/QDir>

#include <array>
#include <QtGui/QFontDatabase>
#include <QtWidgets/QHeaderView>

namespace {

constexpr double kRowHeight = 18;
constexpr int kHeaderFill = 0xF0F0F0;
constexpr int kGroupColour = 0x304080; // RGB(48,64,128)
constexpr int kEmptyColour = 0x6D6D6D; // RGB(109,109,109)

// Row fills by status level (0 plain, 1 grey .. 4 stop), even and odd rows; the odd ones
// are the even ones with each component x 98 / 100.
constexpr int kRowFills[5][2] = {
    {0xFFFFFF, 0xF9F9F9}, {0xF0F0F0, 0xEBEBEB}, {0xA0FFA0, 0x9CF99C}, {0xFFFFA0, 0xF9F99C}, {0xFFA0A0, 0xF99C9C}};

// The row fill's index into kRowFills: level x 2 + parity.
int RowFill(int level, bool statusColours, int position)
{
    const int l = statusColours && level >= 1 && level <= 4 ? level : 0;
    return l * 2 + position % 2;
}

} // namespace

QString CXListCtrl::ExportTitle() const
{
    for (CModule* module : GetModules()) {
        const auto* view = qobject_cast<const QWidget*>(module->GetView());
        if (view && (view == this || view->isAncestorOf(this)))
            return module->GetName();
    }
    return window()->windowTitle();
}

void CXListCtrl::OpenInExcel(QString& path)
{
    path.clear();
    const int n = GetItemCount();
    if (n == 0 || !header() || m_nColumns == 0)
        return;
    const QString folder = GetExeFolder() + QStringLiteral("/Temp/");
    QDir().mkpath(folder); // a folder that cannot be made fails the save below, with its message
    // The title names a file and a sheet: a module name or a window caption may hold a "/"
    // or other characters neither accepts.
    const QString title = ExportTitle();
    const QString file = folder + SanitizeFileName(title + XDateTime::Now().Format(QStringLiteral("%Y%m%d%H%M"))) +
                         QStringLiteral(".xlsx");

    XWaitCursor wait;
    const bool grouped = IsGroupView();
    // Merged group rows need the whole sheet in memory; a list without groups is written row
    // by row in constant memory.
    XXlsxWriter book(file, !grouped, QFontDatabase::systemFont(QFontDatabase::GeneralFont).family(), 9);
    book.AddSheet(title);
    book.HideGridlines();
    book.FreezeRows(1);

    std::vector<int> columns;
    for (int logical : GetColumnOrder())
        if (!header()->isSectionHidden(logical))
            columns.push_back(logical);
    std::vector<const CHead*> heads;
    const double dpi = logicalDpiX() > 0 ? logicalDpiX() : 96;
    // widths before any cell: a book in constant memory writes them with its first row
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const int h = GetHeadOfColumn(columns[c]);
        heads.push_back(h >= 0 && h < m_heads.GetSize() ? m_heads[h] : nullptr);
        book.SetColumnWidth(static_cast<int>(c), header()->sectionSize(columns[c]) * 96.0 / 7.4 / dpi);
    }
    book.SetRowHeight(0, kRowHeight);
    for (std::size_t c = 0; c < columns.size(); ++c) {
        XCellStyle style{kHeaderFill, -1, heads[c] ? heads[c]->GetAlign() : 0, false, QString()};
        book.WriteText(0, static_cast<int>(c),
                       m_model->headerData(columns[c], Qt::Horizontal, Qt::DisplayRole).toString(), style);
    }

    struct Group
    {
        QString header;
        std::vector<int> rows;
    };
    std::vector<Group> groups;
    if (grouped) {
        for (const XListModel::Group& g : m_model->Groups())
            groups.push_back(Group{g.header, g.rows});
    } else {
        groups.emplace_back();
        for (int i = 0; i < n; ++i)
            groups.back().rows.push_back(i);
    }

    const bool statusColours = m_heads.m_bGoodStatus && m_bStatusColor;
    // each column's formats by fill and emptiness, made once: a long list uses a few dozen
    std::vector<std::array<lxw_format*, 20>> looks(columns.size());
    for (auto& l : looks)
        l.fill(nullptr);
    const int last = static_cast<int>(columns.size()) - 1;
    int row = 1;
    for (const Group& g : groups) {
        if (grouped && !g.rows.empty()) {
            book.SetRowHeight(row, kRowHeight);
            book.MergeRow(row, 0, last, g.header + u' ' + QString(200, QChar(0x2014)),
                          XCellStyle{-1, kGroupColour, 0, true, QString()});
            ++row;
        }
        int position = 0;
        for (int i : g.rows) {
            const CXItem* item = GetItemData(i);
            const QStringList texts = GetRowTexts(i);
            book.SetRowHeight(row, kRowHeight);
            const int fill = RowFill(item ? item->GetStatusLevel() : 0, statusColours, position++);
            for (std::size_t c = 0; c < columns.size(); ++c) {
                const CHead* head = heads[c];
                const int col = static_cast<int>(c);
                const QString text = texts.value(columns[c]);
                const bool numeric = head && ((head->m_nType == XIN && !head->IsOptionList()) || head->m_nType == XNU ||
                                              head->m_nType == XDT);
                // the list shows an empty value as the field's empty text
                const QString empty = item && head ? item->GetEmptyText(head) : QString();
                const bool isEmpty = text.isEmpty() || (!empty.isEmpty() && text == empty);
                lxw_format*& format = looks[c][static_cast<std::size_t>(fill * 2 + (isEmpty ? 1 : 0))];
                if (!format) {
                    const int rgb = kRowFills[fill / 2][fill % 2];
                    format = book.Format(XCellStyle{rgb, isEmpty ? kEmptyColour : -1, head ? head->GetAlign() : 0, true,
                                                    numeric ? head->GetExcelFormat() : QString()});
                }
                if (isEmpty) {
                    if (empty.isEmpty())
                        book.WriteBlank(row, col, format);
                    else
                        book.WriteText(row, col, empty, format);
                } else if (numeric && item) {
                    book.WriteNumber(row, col, FieldNumber(FieldValue(*item, head)), format);
                } else {
                    book.WriteText(row, col, text, format);
                }
            }
            ++row;
        }
    }
    if (!book.Close()) {
        XUi::MessageBox(this, FormatString(u"保存 “%s” 失败！\r\n%s", file, book.ErrorText()), QString(), MB_ICONERROR);
        return;
    }
    path = file;
    OpenWrittenWorkbook(this, file);
}
