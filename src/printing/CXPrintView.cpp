#include "CXPrintView.h"

#include "CDBSetup.h"
#include "RowHeights.h"
#include "RtfReader.h"
#include "XAppServices.h"

#include <QtCore/QRegularExpression>
#include <QtGui/QAbstractTextDocumentLayout>
#include <QtGui/QFont>
#include <QtGui/QPagedPaintDevice>
#include <QtGui/QPdfWriter>
#include <QtGui/QPainter>
#include <QtGui/QTextBlock>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtGui/QTextDocumentFragment>
#include <QtGui/QTextTable>

#include <algorithm>
#include <tuple>
#include <map>
#include <mutex>

namespace {

const QString kPageBreak = QStringLiteral("[PAGEBREAK]");
const QString kIdKey = QStringLiteral("[ID]");
const QColor kReplacedBack(160, 255, 160);
const QColor kUnreplacedBack(255, 160, 160);
const QColor kInvisible(255, 255, 255);

// Document lengths are pixels of 1/96 inch; twips are 1/1440 inch.
constexpr double kDocDpi = 96.0;
double TwipsToDoc(double twips) { return twips / 15.0; }
// The template's integer conversion, kept so screen and paper agree to the twip.
int MarginTwips(int mm) { return mm * 14400 / 254; }

// The depth change of a piece of RTF text ("{" +1, "}" -1, escaped braces not counted);
// false when it goes below zero on the way.
bool BracesBalanced(const QString& text)
{
    int depth = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\\') {
            ++i; // "\{", "\}", "\\" are text
            continue;
        }
        if (c == u'{')
            ++depth;
        else if (c == u'}' && --depth < 0)
            return false;
    }
    return depth == 0;
}

void SetForeground(QTextCursor& cursor, const QColor& color)
{
    QTextCharFormat format;
    format.setForeground(color);
    cursor.mergeCharFormat(format);
}

void SetBackground(QTextCursor& cursor, const QColor& color)
{
    QTextCharFormat format;
    format.setBackground(color);
    cursor.mergeCharFormat(format);
}

// Replaces the occurrences of what inside [from, to) by with; returns the change of length.
int ReplaceInRange(QTextDocument& doc, const QString& what, const QString& with, int from, int to)
{
    int delta = 0;
    QTextCursor found = doc.find(what, from);
    while (!found.isNull() && found.selectionEnd() <= to + delta) {
        const QTextCharFormat format = found.charFormat();
        found.insertText(with, format);
        delta += static_cast<int>(with.size() - what.size());
        found = doc.find(what, found.position());
    }
    return delta;
}

// Templates name the fonts of the machines they were made on ("宋体"), which this one may
// not have. Every run of text gets a Latin face and the Simplified Chinese face as its last
// fallbacks: left to itself the font matching could pick a Japanese face and draw the
// characters in their Japanese forms, and the Chinese face's own Latin letters come out of
// a PDF's text garbled (a letter followed by digits loses the digits).
void AddChineseFallback(QTextDocument& doc)
{
    static const QString latin = QStringLiteral("DejaVu Sans");
    static const QString face = QStringLiteral("Noto Sans CJK SC");
    std::vector<std::tuple<int, int, QStringList>> runs;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto f = b.begin(); !f.atEnd(); ++f) {
            const QTextFragment fragment = f.fragment();
            QStringList families = fragment.charFormat().fontFamilies().toStringList();
            if (families.isEmpty())
                families << fragment.charFormat().fontFamily();
            if (!families.contains(face)) {
                families << latin << face;
                runs.emplace_back(fragment.position(), fragment.length(), families);
            }
        }
    for (const auto& [position, length, families] : runs) {
        QTextCursor c(&doc);
        c.setPosition(position);
        c.setPosition(position + length, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setFontFamilies(families);
        c.mergeCharFormat(format);
    }
}

} // namespace

CXPrintView::CXPrintView() : m_doc(std::make_unique<QTextDocument>()) {}

CXPrintView::~CXPrintView() = default;

QString CXPrintView::ReplaceLogoMarkers(QString text, const QString& word, const std::function<QString(int)>& pict)
{
    const QString marker = u'[' + word;
    qsizetype at = text.indexOf(marker);
    while (at >= 0) {
        qsizetype i = at + marker.size();
        QString digits;
        qsizetype close = -1;
        while (i < text.size()) {
            const QChar c = text[i];
            if (c == u']') {
                close = i;
                break;
            }
            if (c == u'\\') { // a control word, skipped up to and including the next blank
                const qsizetype blank = text.indexOf(u' ', i);
                if (blank < 0)
                    break;
                i = blank + 1;
                continue;
            }
            if (c.isDigit())
                digits += c;
            ++i;
        }
        if (close >= 0 && !digits.isEmpty()) {
            const QString picture = pict(digits.toInt());
            text.replace(at, close + 1 - at, picture);
            at = text.indexOf(marker, at + picture.size());
        } else {
            at = text.indexOf(marker, at + 1);
        }
    }
    return text;
}

QString CXPrintView::WhitenBorders(QString text)
{
    static const QString white = QStringLiteral("\\red255\\green255\\blue255;");
    int index = 1;
    // "{\colortbl;" as well as "{\colortbl ;", as writers differ in the blank
    static const QRegularExpression table(QStringLiteral("\\{\\\\colortbl\\s*;"));
    const QRegularExpressionMatch match = table.match(text);
    if (match.hasMatch()) {
        int semicolons = 0;
        qsizetype i = match.capturedStart() + 1;
        bool found = false;
        for (; i < text.size(); ++i) {
            if (text[i] == u'}') {
                text.insert(i, white);
                break;
            }
            if (text[i] == u';') {
                ++semicolons;
                if (text.mid(i + 1, white.size()) == white) {
                    found = true;
                    break;
                }
            }
        }
        index = semicolons;
        Q_UNUSED(found);
    } else {
        const QString group = QStringLiteral("{\\colortbl;") + white + u'}';
        qsizetype at = text.indexOf(QStringLiteral("{\\*\\generator"));
        if (at < 0) { // after the font table, or after the header words
            const qsizetype fonts = text.indexOf(QStringLiteral("{\\fonttbl"));
            if (fonts >= 0) {
                int depth = 0;
                for (at = fonts; at < text.size(); ++at) {
                    if (text[at] == u'\\') {
                        ++at;
                        continue;
                    }
                    if (text[at] == u'{')
                        ++depth;
                    else if (text[at] == u'}' && --depth == 0) {
                        ++at;
                        break;
                    }
                }
            } else {
                at = text.indexOf(u'\\', 1);
                at = at < 0 ? 1 : at;
                while (at < text.size() && text[at] == u'\\') { // "\rtf1\ansi\deff0 ..."
                    qsizetype j = at + 1;
                    while (j < text.size() && (text[j].isLetterOrNumber() || text[j] == u'-'))
                        ++j;
                    if (j < text.size() && text[j] == u' ')
                        ++j;
                    at = j;
                }
            }
        }
        text.insert(at, group);
        index = 1;
    }
    const QString colorWord = QStringLiteral("\\brdrcf%1").arg(index);

    // A cell border definition is "\clbrdrX" and the "\brdr..." words after it; it ends at a
    // blank or at any other control word (often "\cellx" with no blank before it).
    static const QString clbrdr = QStringLiteral("\\clbrdr");
    qsizetype at = text.indexOf(clbrdr);
    while (at >= 0) {
        qsizetype i = at + clbrdr.size();
        while (i < text.size() && text[i].isLetter())
            ++i;
        qsizetype colorAt = -1, colorEnd = -1;
        while (i < text.size() && text[i] == u'\\' && text.mid(i + 1, 4) == QLatin1String("brdr")) {
            qsizetype j = i + 1;
            while (j < text.size() && text[j].isLetter())
                ++j;
            const bool isColor = text.mid(i, j - i) == QLatin1String("\\brdrcf");
            while (j < text.size() && (text[j].isDigit() || text[j] == u'-'))
                ++j;
            if (isColor) {
                colorAt = i;
                colorEnd = j;
            }
            i = j;
        }
        if (colorAt >= 0) {
            text.replace(colorAt, colorEnd - colorAt, colorWord);
            i += colorWord.size() - (colorEnd - colorAt);
        } else {
            text.insert(i, colorWord);
            i += colorWord.size();
        }
        at = text.indexOf(clbrdr, i);
    }
    return text;
}

bool CXPrintView::RepeatRowsInText(QString& text, int n, int perPage)
{
    const qsizetype id = text.indexOf(kIdKey);
    const qsizetype body = text.indexOf(QStringLiteral("\\viewkind4\\uc1"));
    if (n <= 0 || id < 0 || body < 0 || perPage <= 0)
        return false;
    const qsizetype bodyStart = body + 14;
    const qsizetype rowStart = text.lastIndexOf(QStringLiteral("\\trowd"), id);
    const qsizetype rowEnd = text.indexOf(QStringLiteral("\\row"), id);
    const qsizetype closing = text.lastIndexOf(u'}');
    if (!(bodyStart < rowStart && rowStart < rowEnd && rowEnd < closing))
        return false;
    // "\row" must be the word itself, not "\rowd" or the like
    if (rowEnd + 4 < text.size() && text[rowEnd + 4].isLetter())
        return false;
    const QString head = text.left(bodyStart);
    const QString before = text.mid(bodyStart, rowStart - bodyStart);
    const QString row = text.mid(rowStart, rowEnd + 4 - rowStart);
    const QString after = text.mid(rowEnd + 4, closing - rowEnd - 4);
    const QString tail = text.mid(closing);
    // a cut that crosses groups would give broken RTF; the document path handles those
    if (!BracesBalanced(before) || !BracesBalanced(row) || !BracesBalanced(after))
        return false;
    const int pages = (n + perPage - 1) / perPage;
    QString out = head;
    int line = 1;
    for (int k = 1; k <= pages; ++k) {
        if (k > 1) // a paragraph of its own, outside any table the page may begin with
            out += QStringLiteral("\\pard\\plain ") + kPageBreak + QStringLiteral("\\par\n");
        out += before;
        for (; line <= n && line <= perPage * k; ++line) {
            QString copy = row;
            out += copy.replace(kIdKey, QString::number(line));
        }
        out += after;
    }
    out += tail;
    text = out;
    return true;
}

QString CXPrintView::NumberPages(QString text)
{
    static const QString pageNum = QStringLiteral("[PAGENUM]");
    int page = 1;
    qsizetype from = 0;
    for (qsizetype brk = text.indexOf(kPageBreak); brk >= 0; brk = text.indexOf(kPageBreak, from)) {
        QString part = text.mid(from, brk - from);
        part.replace(pageNum, QString::number(page));
        text.replace(from, brk - from, part);
        from += part.size() + kPageBreak.size();
        ++page;
    }
    text.replace(pageNum, QString::number(page));
    text.replace(QStringLiteral("[PAGECOUNT]"), QString::number(page));
    return text;
}

void CXPrintView::RepeatRowsInDocument(int n, int perPage)
{
    QTextDocument& doc = *m_doc;
    QTextCursor first = doc.find(kIdKey);
    if (first.isNull() || !first.currentTable() || perPage <= 0)
        return;
    const int pages = (n + perPage - 1) / perPage;
    if (pages > 1) { // the whole page again for every further page
        QTextCursor all(&doc);
        all.select(QTextCursor::Document);
        const QTextDocumentFragment page = all.selection();
        QTextCursor end(&doc);
        for (int k = 2; k <= pages; ++k) {
            end.movePosition(QTextCursor::End);
            end.insertBlock();
            end.insertText(kPageBreak);
            end.insertFragment(page);
        }
    }
    // the k-th table holding "[ID]" is page k's dynamic table
    std::vector<std::pair<QTextTable*, int>> rows;
    for (QTextCursor c = doc.find(kIdKey); !c.isNull(); c = doc.find(kIdKey, c)) {
        QTextTable* table = c.currentTable();
        if (table && (rows.empty() || rows.back().first != table))
            rows.emplace_back(table, table->cellAt(c).row());
    }
    for (int k = pages; k >= 1; --k) {
        if (k > static_cast<int>(rows.size()))
            continue;
        auto [table, row] = rows[k - 1];
        const int firstLine = perPage * (k - 1) + 1;
        const int lastLine = std::min(n, perPage * k);
        const int count = lastLine - firstLine + 1;
        if (count > 1)
            table->insertRows(row + 1, count - 1);
        for (int col = 0; col < table->columns(); ++col) {
            const QTextTableCell source = table->cellAt(row, col);
            if (source.row() != row || source.column() != col)
                continue; // covered by a merged cell
            QTextCursor sel = source.firstCursorPosition();
            sel.setPosition(source.lastCursorPosition().position(), QTextCursor::KeepAnchor);
            const QTextDocumentFragment content = sel.selection();
            const QTextTableCellFormat cellFormat = source.format().toTableCellFormat();
            for (int line = firstLine + 1; line <= lastLine; ++line) {
                QTextTableCell target = table->cellAt(row + line - firstLine, col);
                target.setFormat(cellFormat);
                QTextCursor in = target.firstCursorPosition();
                in.insertFragment(content);
                ReplaceInRange(doc, kIdKey, QString::number(line), target.firstPosition(), target.lastPosition());
            }
        }
        for (int col = 0; col < table->columns(); ++col) {
            const QTextTableCell cell = table->cellAt(row, col);
            ReplaceInRange(doc, kIdKey, QString::number(firstLine), cell.firstPosition(), cell.lastPosition());
        }
    }
    // page numbers, last page first so that earlier positions stay put
    std::vector<int> breaks{0};
    for (QTextCursor c = doc.find(kPageBreak); !c.isNull(); c = doc.find(kPageBreak, c))
        breaks.push_back(c.selectionEnd());
    const int count = static_cast<int>(breaks.size());
    for (int k = count; k >= 1; --k) {
        const int from = breaks[k - 1];
        const int to = k < count ? breaks[k] - static_cast<int>(kPageBreak.size()) : doc.characterCount();
        ReplaceInRange(doc, QStringLiteral("[PAGENUM]"), QString::number(k), from, to);
    }
    ReplaceInRange(doc, QStringLiteral("[PAGECOUNT]"), QString::number(count), 0, doc.characterCount());
}

bool CXPrintView::BuildRtf(int nMode, int nMark)
{
    if (nMode >= 0)
        m_templ.m_nPrintReplace = nMode;
    if (nMark >= 0)
        m_bMark = nMark;
    const int mode = m_templ.m_nPrintReplace;

    // Latin-1 keeps every byte as it is: a template may hold raw 8-bit text, and every
    // marker is ASCII.
    QString text = QString::fromLatin1(m_templ.m_templ);
    bool rowsDone = true;
    const int lines = m_keywords.contains(kIdKey) ? m_keywords.value(kIdKey).toInt() : 0;
    if (mode != PRINTVIEW_RAW) {
        {
            XAppServices& app = AppServices();
            std::lock_guard lock(app.Mutex());
            const CDBSetup* setup = CurrentSetup();
            text = ReplaceLogoMarkers(text, QStringLiteral("LOGO"), [setup](int height) {
                return setup ? setup->m_imgStdLogo.GetRtfPict(height) : QString();
            });
        }
        {
            XAppServices& app = AppServices();
            std::lock_guard lock(app.Mutex());
            const CDBSetup* setup = CurrentSetup();
            text = ReplaceLogoMarkers(text, QStringLiteral("BIGLOGO"), [setup](int height) {
                return setup ? setup->m_imgBigLogo.GetRtfPict(height) : QString();
            });
        }
        if (mode == PRINTVIEW_REPLACED)
            text = WhitenBorders(text);
        if (lines > 0 && text.contains(kIdKey))
            rowsDone = RepeatRowsInText(text, lines, m_templ.m_nPagingIndex);
        if (rowsDone)
            text = NumberPages(text);
    }

    auto doc = std::make_unique<QTextDocument>();
    doc->setUndoRedoEnabled(false);
    if (ReadRtf(text.toLatin1(), *doc) <= 0)
        return false;
    AddChineseFallback(*doc);
    m_doc = std::move(doc);
    if (mode != PRINTVIEW_RAW && !rowsDone)
        RepeatRowsInDocument(lines, m_templ.m_nPagingIndex);
    if (mode == PRINTVIEW_REPLACED)
        ApplyReplacedMode();
    if (mode != PRINTVIEW_RAW)
        ReplaceKeywords();
    if (m_bMark || mode == PRINTVIEW_TEMPLATE)
        MarkUnreplaced();
    SplitPages();
    return true;
}

void CXPrintView::ApplyReplacedMode()
{
    QTextDocument& doc = *m_doc;
    // the keywords keep their own colour, everything else turns white
    std::map<int, std::pair<int, QBrush>> kept;
    for (auto it = m_keywords.cbegin(); it != m_keywords.cend(); ++it)
        for (QTextCursor c = doc.find(it.key()); !c.isNull(); c = doc.find(it.key(), c.selectionStart() + 1))
            kept[c.selectionStart()] = {c.selectionEnd(), c.charFormat().foreground()};
    QTextCursor all(&doc);
    all.select(QTextCursor::Document);
    SetForeground(all, kInvisible);
    for (const auto& [start, value] : kept) {
        QTextCursor c(&doc);
        c.setPosition(start);
        c.setPosition(value.first, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setForeground(value.second);
        if (value.second.style() == Qt::NoBrush)
            format.clearForeground();
        c.mergeCharFormat(format);
        if (value.second.style() == Qt::NoBrush) { // automatic colour again
            QTextCharFormat plain = c.charFormat();
            plain.clearForeground();
            c.setCharFormat(plain);
        }
    }
    // pictures go
    std::vector<int> pictures;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto f = b.begin(); !f.atEnd(); ++f)
            if (f.fragment().charFormat().isImageFormat())
                for (int i = 0; i < f.fragment().length(); ++i)
                    pictures.push_back(f.fragment().position() + i);
    for (auto it = pictures.rbegin(); it != pictures.rend(); ++it) {
        QTextCursor c(&doc);
        c.setPosition(*it);
        c.setPosition(*it + 1, QTextCursor::KeepAnchor);
        c.removeSelectedText();
    }
}

void CXPrintView::ReplaceKeywords()
{
    QTextDocument& doc = *m_doc;
    const int mode = GetMode();
    for (int pass = 0; pass < 2; ++pass)
        for (auto it = m_keywords.cbegin(); it != m_keywords.cend(); ++it) {
            if (it.key().isEmpty())
                continue;
            QTextCursor c = doc.find(it.key());
            while (!c.isNull()) {
                QTextCharFormat format = c.charFormat();
                if (m_bMark)
                    format.setBackground(kReplacedBack);
                if (mode == PRINTVIEW_TEMPLATE)
                    format.setForeground(kInvisible);
                c.insertText(it.value(), format);
                // on after the inserted text: a value holding its own key must not loop
                c = doc.find(it.key(), c.position());
            }
        }
}

void CXPrintView::MarkUnreplaced()
{
    QTextDocument& doc = *m_doc;
    const int mode = GetMode();
    for (QTextCursor open = doc.find(QStringLiteral("[")); !open.isNull();) {
        const QTextCursor close = doc.find(QStringLiteral("]"), open.selectionStart());
        if (close.isNull())
            break;
        QTextCursor c(&doc);
        c.setPosition(open.selectionStart());
        c.setPosition(close.selectionEnd(), QTextCursor::KeepAnchor);
        if (m_bMark)
            SetBackground(c, kUnreplacedBack);
        if (mode == PRINTVIEW_TEMPLATE)
            SetForeground(c, kInvisible);
        open = doc.find(QStringLiteral("["), open.selectionStart() + 1);
    }
}

void CXPrintView::SplitPages()
{
    m_pages.clear();
    QTextDocument& doc = *m_doc;
    std::vector<std::pair<int, int>> ranges;
    int start = 0;
    for (QTextCursor c = doc.find(kPageBreak); !c.isNull(); c = doc.find(kPageBreak, c)) {
        ranges.emplace_back(start, c.selectionStart());
        start = c.selectionEnd();
        if (doc.characterAt(start) == QChar::ParagraphSeparator)
            ++start;
    }
    ranges.emplace_back(start, doc.characterCount() - 1);
    for (const auto& [from, to] : ranges) {
        std::unique_ptr<QTextDocument> page(doc.clone());
        page->setUndoRedoEnabled(false);
        QTextCursor c(page.get());
        c.movePosition(QTextCursor::End);
        c.setPosition(std::max(to, 0), QTextCursor::KeepAnchor);
        c.removeSelectedText();
        c.setPosition(0);
        c.setPosition(from, QTextCursor::KeepAnchor);
        c.removeSelectedText();
        page->setDocumentMargin(0);
        // rows are as high as the template says only once the page's width is known
        const double width = GetTextArea().width();
        if (width > 0) {
            page->setPageSize(QSizeF(width, 1e7));
            ApplyRowHeights(*page);
        }
        m_pages.push_back(std::move(page));
    }
}

QString CXPrintView::PageText(int page) const
{
    if (page < 0 || page >= GetPageCount())
        return QString();
    return m_pages[static_cast<std::size_t>(page)]->toPlainText();
}

QSizeF CXPrintView::GetTextArea() const
{
    const QSizeF sheet = GetPaperSize();
    const double docPerMm = kDocDpi / 25.4;
    const double left = TwipsToDoc(MarginTwips(m_templ.m_nMarginLeft));
    const double top = TwipsToDoc(MarginTwips(m_templ.m_nMarginTop));
    const double right = TwipsToDoc(MarginTwips(m_templ.m_nMarginRight));
    const double bottom = TwipsToDoc(MarginTwips(m_templ.m_nMarginBottom));
    return QSizeF(sheet.width() * docPerMm - left - right, sheet.height() * docPerMm - top - bottom);
}

QSizeF CXPrintView::GetPaperSize() const
{
    // paper in twips, truncated, as the view measures it
    const double w = static_cast<int>(m_templ.m_fPaperWidth * 14400 / 254);
    const double h = static_cast<int>(m_templ.m_fPaperLength * 14400 / 254);
    const QSizeF size(w * 25.4 / 1440, h * 25.4 / 1440);
    return m_templ.m_nOrientation ? size.transposed() : size;
}

QPageLayout CXPrintView::GetPageLayout() const
{
    const QPageSize size(QSizeF(m_templ.m_fPaperWidth, m_templ.m_fPaperLength), QPageSize::Millimeter, QString(),
                         QPageSize::ExactMatch);
    return QPageLayout(size, m_templ.m_nOrientation ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(),
                       QPageLayout::Millimeter);
}

void CXPrintView::PaintPage(QPainter& painter, int page, const QRectF& paper) const
{
    if (page < 0 || page >= GetPageCount())
        return;
    const QSizeF sheet = GetPaperSize();
    // document units per mm, and the device's per document unit
    const double docPerMm = kDocDpi / 25.4;
    const double scale = paper.width() / (sheet.width() * docPerMm);
    const double left = TwipsToDoc(MarginTwips(m_templ.m_nMarginLeft));
    const double top = TwipsToDoc(MarginTwips(m_templ.m_nMarginTop));
    const QSizeF area = GetTextArea();
    if (area.width() <= 0 || area.height() <= 0)
        return;
    QTextDocument& doc = *m_pages[static_cast<std::size_t>(page)];
    // one sheet per page: whatever does not fit is cut off, never flowed onto another sheet
    doc.setPageSize(QSizeF(area.width(), 1e7));
    painter.save();
    painter.translate(paper.topLeft());
    painter.scale(scale, scale);
    painter.translate(left, top);
    const QRectF clip(QPointF(0, 0), area);
    painter.setClipRect(clip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip;
    context.palette.setColor(QPalette::Text, Qt::black);
    doc.documentLayout()->draw(&painter, context);
    painter.restore();
}

bool CXPrintView::PrintTo(QPagedPaintDevice& device) const
{
    if (m_pages.empty())
        return false;
    device.setPageLayout(GetPageLayout());
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const QRectF paper(0, 0, device.width(), device.height());
    for (int i = 0; i < GetPageCount(); ++i) {
        if (i > 0 && !device.newPage())
            return false;
        PaintPage(painter, i, paper);
    }
    return painter.end();
}

bool CXPrintView::WritePdf(const QString& path, const QString& title) const
{
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setTitle(title);
    writer.setCreator(QStringLiteral("Lorvan"));
    return PrintTo(writer);
}
