#include "RtfWriter.h"

#include "CXImage.h"

#include "CodePages.h"
#include "RtfFormat.h"

#include <QtCore/QBuffer>
#include <QtCore/QUrl>
#include <QtGui/QImage>
#include <QtGui/QPixmap>
#include <QtGui/QTextDocument>
#include <QtGui/QTextFrame>
#include <QtGui/QTextTable>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

QByteArray RtfPictGroup(const QByteArray& kind, int goalWidth, int goalHeight, const QByteArray& data)
{
    return "{\\pict\\" + kind + "blip\\picwgoal" + QByteArray::number(goalWidth) + "\\pichgoal" +
           QByteArray::number(goalHeight) + ' ' + data.toHex() + '}';
}

int Twips(double px) { return qRound(px * kTwipsPerPixel); }

class Writer
{
public:
    explicit Writer(const QTextDocument& doc) : m_doc(doc) { m_fonts.append(doc.defaultFont().family()); }

    QByteArray Write();

private:
    void Word(const char* word) { m_out += '\\', m_out += word, m_space = true; }
    void Word(const char* word, int value)
    {
        Word(word);
        m_out += QByteArray::number(value);
    }
    void Text(const QString& text);
    void Char(const QTextCharFormat& f);
    int FontIndex(const QTextCharFormat& f);
    int ColorIndex(const QBrush& brush);
    void Flow(QTextFrame::iterator it, bool inTable, bool root);
    void Block(const QTextBlock& block, bool inTable, bool breakWordUsed);
    void Image(const QTextImageFormat& f);
    void Table(QTextTable* table);
    void Border(const char* side, double width, QTextFrameFormat::BorderStyle style, const QBrush& brush);

    const QTextDocument& m_doc;
    QByteArray m_out;
    bool m_space = false;
    QStringList m_fonts;
    std::vector<QColor> m_colors;
    RtfCharState m_state{.font = 0};
};

QByteArray Writer::Write()
{
    Flow(m_doc.rootFrame()->begin(), false, true);
    const QByteArray body = m_out;

    m_out = "{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl";
    for (int i = 0; i < m_fonts.size(); ++i) {
        QString name = m_fonts[i];
        name.remove(QLatin1Char(';')).remove(QLatin1Char('{')).remove(QLatin1Char('}')).remove(QLatin1Char('\\'));
        bool ascii = std::all_of(name.begin(), name.end(), [](QChar c) { return c.unicode() < 0x80; });
        m_out += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" + (ascii ? "0 " : "134 ");
        // RTF readers take font names in the font's code page
        const QByteArray gbk = ascii ? QByteArray() : ToMultiByte(name, 936);
        if (ascii) {
            m_out += name.toLatin1();
        } else if (ToWide(gbk, 936) == name) {
            for (char c : gbk)
                m_out += "\\'" + QByteArray::number(static_cast<unsigned char>(c), 16).rightJustified(2, '0');
        } else {
            m_space = false;
            Text(name);
        }
        m_out += ";}";
    }
    m_out += "}\n{\\colortbl;";
    for (const QColor& c : m_colors)
        m_out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue" +
                 QByteArray::number(c.blue()) + ';';
    m_out += "}\n{\\*\\generator Lorvan;}\\viewkind4\\uc1\n";
    m_out += body;
    m_out += '}';
    return m_out;
}

void Writer::Text(const QString& text)
{
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        const auto plain = [&](const char* s) {
            if (m_space)
                m_out += ' ';
            m_space = false;
            m_out += s;
        };
        switch (c) {
        case u'\\':
            plain("\\\\");
            continue;
        case u'{':
            plain("\\{");
            continue;
        case u'}':
            plain("\\}");
            continue;
        case u'\t':
            Word("tab");
            continue;
        case 0x2028:
            Word("line");
            continue;
        case 0x00A0:
            plain("\\~");
            continue;
        case 0x00AD:
            plain("\\-");
            continue;
        case 0x2011:
            plain("\\_");
            continue;
        default:
            break;
        }
        if (c < 0x20)
            continue;
        if (c < 0x80) {
            const char s[2] = {static_cast<char>(c), 0};
            plain(s);
        } else {
            const int n = c > 0x7FFF ? c - 0x10000 : c;
            plain(("\\u" + QByteArray::number(n) + '?').constData());
        }
    }
}

int Writer::FontIndex(const QTextCharFormat& f)
{
    QString family;
    const QVariant families = f.property(QTextFormat::FontFamilies);
    if (families.isValid() && !families.toStringList().isEmpty())
        family = families.toStringList().first();
    if (family.isEmpty())
        family = f.property(QTextFormat::FontFamily).toString();
    if (family.isEmpty())
        return 0;
    int i = static_cast<int>(m_fonts.indexOf(family));
    if (i < 0) {
        m_fonts.append(family);
        i = static_cast<int>(m_fonts.size()) - 1;
    }
    return i;
}

int Writer::ColorIndex(const QBrush& brush)
{
    if (brush.style() == Qt::NoBrush)
        return 0;
    const QColor c = brush.color().toRgb();
    for (size_t i = 0; i < m_colors.size(); ++i)
        if (m_colors[i].rgb() == c.rgb())
            return static_cast<int>(i) + 1;
    m_colors.push_back(c);
    return static_cast<int>(m_colors.size());
}

void Writer::Char(const QTextCharFormat& f)
{
    RtfCharState s;
    s.font = FontIndex(f);
    double points = f.hasProperty(QTextFormat::FontPointSize) ? f.fontPointSize() : m_doc.defaultFont().pointSizeF();
    if (points <= 0)
        points = 12;
    s.halfPoints = std::max(1, qRound(points * 2));
    s.bold = f.fontWeight() > QFont::Medium;
    s.italic = f.fontItalic();
    s.underline = f.fontUnderline();
    s.strike = f.fontStrikeOut();
    s.fore = f.hasProperty(QTextFormat::ForegroundBrush) ? ColorIndex(f.foreground()) : 0;
    s.back = f.hasProperty(QTextFormat::BackgroundBrush) ? ColorIndex(f.background()) : 0;
    s.vertical = f.verticalAlignment() == QTextCharFormat::AlignSuperScript ? 1
                 : f.verticalAlignment() == QTextCharFormat::AlignSubScript ? 2
                                                                            : 0;
    RtfCharState& w = m_state;
    if (s.font != w.font)
        Word("f", s.font);
    if (s.halfPoints != w.halfPoints)
        Word("fs", s.halfPoints);
    if (s.bold != w.bold)
        s.bold ? Word("b") : Word("b", 0);
    if (s.italic != w.italic)
        s.italic ? Word("i") : Word("i", 0);
    if (s.underline != w.underline)
        s.underline ? Word("ul") : Word("ulnone");
    if (s.strike != w.strike)
        s.strike ? Word("strike") : Word("strike", 0);
    if (s.fore != w.fore)
        Word("cf", s.fore);
    if (s.back != w.back)
        Word("highlight", s.back);
    if (s.vertical != w.vertical)
        Word(s.vertical == 1 ? "super" : s.vertical == 2 ? "sub" : "nosupersub");
    w = s;
}

void Writer::Image(const QTextImageFormat& f)
{
    const QByteArray data = f.property(RtfProperty::PictData).toByteArray();
    const QString kind = f.property(RtfProperty::PictKind).toString();
    QImage image;
    if (data.isEmpty() || (kind != u"png" && kind != u"jpeg")) {
        const QVariant res = m_doc.resource(QTextDocument::ImageResource, QUrl(f.name()));
        image = res.typeId() == QMetaType::QPixmap ? res.value<QPixmap>().toImage() : res.value<QImage>();
        if (image.isNull())
            return;
        m_out += RtfPictFromImage(image, image.hasAlphaChannel());
        m_space = false;
        return;
    }
    double w = f.width();
    double h = f.height();
    if (w <= 0 || h <= 0) {
        image.loadFromData(data);
        w = w > 0 ? w : image.width();
        h = h > 0 ? h : image.height();
    }
    m_out += RtfPictGroup(kind.toLatin1(), Twips(w), Twips(h), data);
    m_space = false;
}

void Writer::Block(const QTextBlock& block, bool inTable, bool breakWordUsed)
{
    const QTextBlockFormat f = block.blockFormat();
    Word("pard");
    if (inTable)
        Word("intbl");
    const Qt::Alignment a = f.alignment();
    if (a & Qt::AlignHCenter)
        Word("qc");
    else if (a & (Qt::AlignRight | Qt::AlignTrailing))
        Word("qr");
    else if (a & Qt::AlignJustify)
        Word("qj");
    if (const int v = Twips(f.leftMargin()))
        Word("li", v);
    if (const int v = Twips(f.rightMargin()))
        Word("ri", v);
    if (const int v = Twips(f.textIndent()))
        Word("fi", v);
    if (const int v = Twips(f.topMargin()))
        Word("sb", v);
    if (const int v = Twips(f.bottomMargin()))
        Word("sa", v);
    switch (f.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        Word("sl", qRound(f.lineHeight() * 240 / 100));
        Word("slmult", 1);
        break;
    case QTextBlockFormat::MinimumHeight:
        Word("sl", Twips(f.lineHeight()));
        Word("slmult", 0);
        break;
    case QTextBlockFormat::FixedHeight:
        Word("sl", -Twips(f.lineHeight()));
        Word("slmult", 0);
        break;
    default:
        break;
    }
    for (const QTextOption::Tab& t : f.tabPositions()) {
        if (t.type == QTextOption::RightTab)
            Word("tqr");
        else if (t.type == QTextOption::CenterTab)
            Word("tqc");
        else if (t.type == QTextOption::DelimiterTab)
            Word("tqdec");
        Word("tx", Twips(t.position));
    }
    if (!breakWordUsed && (f.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore))
        Word("pagebb");

    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        const QTextCharFormat cf = frag.charFormat();
        Char(cf);
        if (cf.isImageFormat()) {
            for (int i = 0; i < frag.length(); ++i)
                Image(cf.toImageFormat());
            continue;
        }
        Text(frag.text());
    }
}

void Writer::Flow(QTextFrame::iterator it, bool inTable, bool root)
{
    // Blocks and tables of one frame in order; other frames and tables inside tables are
    // flattened into paragraphs.
    struct Entry
    {
        QTextBlock block;
        QTextTable* table = nullptr;
    };
    std::vector<Entry> entries;
    std::function<void(QTextFrame::iterator)> collect = [&](QTextFrame::iterator i) {
        for (; !i.atEnd(); ++i) {
            if (QTextFrame* frame = i.currentFrame()) {
                QTextTable* table = qobject_cast<QTextTable*>(frame);
                if (table && !inTable)
                    entries.push_back({QTextBlock(), table});
                else
                    collect(frame->begin());
            } else {
                entries.push_back({i.currentBlock(), nullptr});
            }
        }
    };
    collect(it);

    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        if (e.table) {
            Table(e.table);
            continue;
        }
        // the document cannot begin with a table: Qt keeps an empty paragraph before it
        if (root && i == 0 && entries.size() > 1 && entries[1].table && e.block.length() <= 1)
            continue;
        const bool breakWordUsed = root && i > 0 && !entries[i - 1].table;
        Block(e.block, inTable, breakWordUsed);
        const bool last = i + 1 == entries.size();
        if (inTable) {
            Word(last ? "cell" : "par");
        } else if (!last) {
            const Entry& next = entries[i + 1];
            const bool pageNext =
                !next.table && (next.block.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
            Word(pageNext ? "page" : "par");
        }
        m_out += '\n';
        m_space = false;
    }
}

void Writer::Border(const char* side, double width, QTextFrameFormat::BorderStyle style, const QBrush& brush)
{
    if (width <= 0 || style == QTextFrameFormat::BorderStyle_None)
        return;
    Word(side);
    switch (style) {
    case QTextFrameFormat::BorderStyle_Double:
        Word("brdrdb");
        break;
    case QTextFrameFormat::BorderStyle_Dotted:
        Word("brdrdot");
        break;
    case QTextFrameFormat::BorderStyle_Dashed:
    case QTextFrameFormat::BorderStyle_DotDash:
    case QTextFrameFormat::BorderStyle_DotDotDash:
        Word("brdrdash");
        break;
    default:
        Word("brdrs");
        break;
    }
    Word("brdrw", std::max(1, Twips(width)));
    if (const int color = ColorIndex(brush))
        Word("brdrcf", color);
    // a blank ends every border definition
    m_out += ' ';
    m_space = false;
}

void Writer::Table(QTextTable* table)
{
    const QTextTableFormat tf = table->format();
    const int rows = table->rows();
    const int cols = table->columns();
    if (rows <= 0 || cols <= 0)
        return;

    // column edges in twips
    const QList<QTextLength> constraints = tf.columnWidthConstraints();
    const double available = m_doc.textWidth() > 0 ? m_doc.textWidth() : 600;
    std::vector<double> widths(cols, -1);
    double fixed = 0;
    int variable = 0;
    for (int c = 0; c < cols; ++c) {
        if (c < constraints.size() && constraints[c].type() != QTextLength::VariableLength)
            widths[c] = constraints[c].value(available);
        if (widths[c] >= 0)
            fixed += widths[c];
        else
            ++variable;
    }
    for (double& w : widths)
        if (w < 0)
            w = std::max(available - fixed, 24.0 * variable) / variable;
    std::vector<int> edges(cols + 1);
    edges[0] = tf.hasProperty(RtfProperty::TableLeft) ? tf.intProperty(RtfProperty::TableLeft) : Twips(tf.leftMargin());
    for (int c = 0; c < cols; ++c)
        edges[c + 1] = edges[c] + std::max(1, Twips(widths[c]));

    const Qt::Alignment align = tf.alignment();
    for (int r = 0; r < rows; ++r) {
        struct Entry
        {
            QTextTableCell cell;
            int end;
            bool continued;
        };
        std::vector<Entry> entries;
        int firstCol = -1;
        for (int c = 0; c < cols;) {
            const QTextTableCell cell = table->cellAt(r, c);
            if (!cell.isValid()) {
                ++c;
                continue;
            }
            const int span = std::max(1, cell.columnSpan());
            const int start = std::min(cell.column(), c);
            if (!cell.format().boolProperty(RtfProperty::FillerCell) || !entries.empty()) {
                if (firstCol < 0)
                    firstCol = start;
                entries.push_back({cell, start + span, cell.row() < r});
            }
            c = std::max(c + 1, start + span);
        }
        while (!entries.empty() && entries.back().cell.format().boolProperty(RtfProperty::FillerCell))
            entries.pop_back();
        if (entries.empty())
            continue;

        Word("trowd");
        Word("trgaph", Twips(tf.cellPadding()));
        Word("trleft", edges[firstCol]);
        if (align & Qt::AlignHCenter)
            Word("trqc");
        else if (align & Qt::AlignRight)
            Word("trqr");
        for (const Entry& e : entries) {
            const QTextTableCellFormat f = e.cell.format().toTableCellFormat();
            if (!e.continued && f.hasProperty(RtfProperty::RowHeight)) {
                Word("trrh", f.intProperty(RtfProperty::RowHeight));
                break;
            }
        }
        m_out += '\n';
        m_space = false;
        for (const Entry& e : entries) {
            const QTextTableCellFormat f = e.cell.format().toTableCellFormat();
            if (e.continued)
                Word("clvmrg");
            else if (e.cell.rowSpan() > 1)
                Word("clvmgf");
            if (f.verticalAlignment() == QTextCharFormat::AlignMiddle)
                Word("clvertalc");
            else if (f.verticalAlignment() == QTextCharFormat::AlignBottom)
                Word("clvertalb");
            const bool own = f.hasProperty(QTextFormat::TableCellTopBorder);
            const QBrush tableBrush = tf.borderBrush();
            Border("clbrdrt", own ? f.topBorder() : tf.border(), own ? f.topBorderStyle() : tf.borderStyle(),
                   own ? f.topBorderBrush() : tableBrush);
            Border("clbrdrl", own ? f.leftBorder() : tf.border(), own ? f.leftBorderStyle() : tf.borderStyle(),
                   own ? f.leftBorderBrush() : tableBrush);
            Border("clbrdrb", own ? f.bottomBorder() : tf.border(), own ? f.bottomBorderStyle() : tf.borderStyle(),
                   own ? f.bottomBorderBrush() : tableBrush);
            Border("clbrdrr", own ? f.rightBorder() : tf.border(), own ? f.rightBorderStyle() : tf.borderStyle(),
                   own ? f.rightBorderBrush() : tableBrush);
            if (f.hasProperty(QTextFormat::BackgroundBrush))
                if (const int shade = ColorIndex(f.background()))
                    Word("clcbpat", shade);
            Word("cellx", edges[e.end]);
            m_out += '\n';
            m_space = false;
        }
        for (const Entry& e : entries) {
            if (e.continued) {
                Word("pard");
                Word("intbl");
                Word("cell");
                m_out += '\n';
                m_space = false;
                continue;
            }
            Flow(e.cell.begin(), true, false);
        }
        Word("row");
        m_out += '\n';
        m_space = false;
    }
}

} // namespace

QByteArray WriteRtf(const QTextDocument& doc) { return Writer(doc).Write(); }

QByteArray RtfPictFromImage(const QImage& image, bool hasAlpha)
{
    // the image value writes the picture group: PNG with alpha, JPEG otherwise, shown at its
    // own height held to 8..1280
    CXImage picture;
    picture.SetImage(image.convertToFormat(hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB888));
    return picture.GetRtfPict(image.height()).toLatin1();
}
