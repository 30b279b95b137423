#include "RtfFormat.h"
#include "RtfReader.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QtCore/QFile>
#include <QtCore/QUrl>
#include <QtGui/QTextBlock>
#include <QtGui/QTextDocument>
#include <QtGui/QTextTable>

namespace {

QByteArray Fixture(const char* name)
{
    QFile f(QStringLiteral(LORVAN_TEST_DATA "/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

QString Text(const QByteArray& rtf)
{
    QTextDocument doc;
    ReadRtf(rtf, doc);
    return doc.toRawText();
}

// The character format at the first occurrence of the text.
QTextCharFormat FormatAt(const QTextDocument& doc, const QString& text)
{
    const QTextCursor found = doc.find(text, 0, QTextDocument::FindCaseSensitively);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    c.setPosition(found.selectionStart() + 1);
    return c.charFormat();
}

QTextBlockFormat BlockAt(const QTextDocument& doc, const QString& text)
{
    return doc.find(text, 0, QTextDocument::FindCaseSensitively).block().blockFormat();
}

QTextTable* FirstTable(const QTextDocument& doc)
{
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(f))
            return t;
    return nullptr;
}

TEST(RtfReader, TextThatIsNotRtfReadsNothingAndKeepsTheDocument)
{
    QTextDocument doc;
    doc.setPlainText("kept");
    for (const char* text : {"", "plain", "{rtf1 x}", "{\\rt", "\\rtf1"}) {
        EXPECT_EQ(ReadRtf(text, doc), 0) << text;
        EXPECT_EQ(doc.toPlainText(), "kept");
    }
}

TEST(RtfReader, ReadsUpToTheBraceThatClosesTheDocument)
{
    QTextDocument doc;
    EXPECT_EQ(ReadRtf("{\\rtf1 a{\\b b}}tail", doc), 15);
    EXPECT_EQ(doc.toPlainText(), "ab");
    EXPECT_EQ(ReadRtf("  {\\rtf1 a", doc), 10); // never closed: all of it, text kept
    EXPECT_EQ(doc.toPlainText(), "a");
    EXPECT_EQ(ReadRtf("{\\rtf1}", doc), 7);
    EXPECT_EQ(doc.toPlainText(), "");
}

TEST(RtfReader, DecodesEscapesInTheCodePageOfDocumentAndFont)
{
    const struct
    {
        const char* rtf;
        const char16_t* text;
    } cases[] = {
        {"{\\rtf1\\ansi\\ansicpg936 \\'c4\\'e3\\'ba\\'c3}", u"你好"},
        {"{\\rtf1\\ansi \\'c4\\'e3}", u"你"},               // the program's own page when none is named
        {"{\\rtf1\\ansi\\ansicpg99999 \\'c4\\'e3}", u"你"}, // nor when the named one is unknown
        {"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f1\\cpg77777 X;}}\\f1 \\'c4\\'e3}", u"你"},
        {"{\\rtf1\\ansi\\ansicpg1252 caf\\'e9}", u"café"},
        {"{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f1\\fcharset134 X;}}\\f1 \\'c4\\'e3\\f0 \\'e9}", u"你é"},
        {"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f1\\fcharset204 X;}}\\f1 \\'cf\\'f0}", u"Пр"},
        {"{\\rtf1\\ansi\\ansicpg936{\\fonttbl{\\f1\\fcharset0\\cpg1251 X;}}\\f1 \\'cf}", u"П"},
        {"{\\rtf1 \\u20320?\\u22909?}", u"你好"},
        {"{\\rtf1\\uc2 \\u8364\\'80\\'80 x}", u"€ x"},
        {"{\\rtf1\\uc0 \\u8364 x}", u"€x"},
        {"{\\rtf1 \\u-10179?\\u-8704?}", u"😀"},
        {"{\\rtf1\\uc1 {\\uc3 \\u20320 abc}d \\u22909 ?e}", u"你d 好e"},
        {"{\\rtf1 a\\~b\\-c\\_d\\tab e\\line f}", u"a\u00A0b\u00ADc\u2011d\te\u2028f"},
        {"{\\rtf1 \\{\\}\\\\ \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote}", u"{}\\ —–•‘’“”"},
        {"{\\rtf1 a\r\nb\\par\r\nc}", u"ab\u2029c"},
        {"{\\rtf1 a\\\nb}", u"a\u2029b"},
        {"{\\rtf1 x{\\*\\unknown skipped {nested \\par} too}y}", u"xy"},
        {"{\\rtf1 x{\\stylesheet{\\s0 Normal;}}{\\info{\\title t}}{\\header h}{\\footer f}y}", u"xy"},
        {"{\\rtf1 {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt shown}}}", u"shown"},
        {"{\\rtf1 a{\\*\\blob\\bin3 }}}b}c}", u"ac"},
        {"{\\rtf1 {\\object\\objemb{\\*\\objdata 0102}{\\result res}}}", u"res"},
        {"{\\rtf1 {\\pntext 1.\\tab}item}", u"1.\titem"},
        {"{\\rtf1 \\unknownword12 a\\'zz b}", u"azz b"}, // a broken escape is dropped
    };
    for (const auto& c : cases)
        EXPECT_EQ(Text(c.rtf), QString::fromUtf16(c.text)) << c.rtf;
}

TEST(RtfReader, ReadsFontAndColourTablesAndCharacterFormat)
{
    QTextDocument doc;
    ReadRtf("{\\rtf1\\ansi\\ansicpg936\\deff1{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\fnil\\fcharset134 "
            "\\'cb\\'ce\\'cc\\'e5;}{\\f2{\\*\\panose 0}Courier{\\*\\falt C};}}"
            "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
            "\\viewkind4\\uc1\\pard def \\f0\\fs18 small \\b bold \\i it\\b0\\i0 \\ul ul\\ulnone \\strike st\\strike0 "
            "\\cf1 red\\cf0 \\highlight2 back\\highlight0 \\cb1 cb\\cb0 x\\super sup\\sub sub\\nosupersub "
            "\\f2 cour\\plain plain}",
            doc);
    EXPECT_EQ(FormatAt(doc, "def").fontFamilies().toStringList(), QStringList{"宋体"});
    EXPECT_EQ(FormatAt(doc, "def").fontPointSize(), 12);
    EXPECT_EQ(FormatAt(doc, "small").fontFamilies().toStringList(), QStringList{"Arial"});
    EXPECT_EQ(FormatAt(doc, "small").fontPointSize(), 9);
    EXPECT_EQ(FormatAt(doc, "bold").fontWeight(), QFont::Bold);
    EXPECT_FALSE(FormatAt(doc, "bold").fontItalic());
    EXPECT_TRUE(FormatAt(doc, "it").fontItalic());
    EXPECT_EQ(FormatAt(doc, "it").fontWeight(), QFont::Bold);
    EXPECT_NE(FormatAt(doc, "ul").fontWeight(), QFont::Bold);
    EXPECT_TRUE(FormatAt(doc, "ul").fontUnderline());
    EXPECT_TRUE(FormatAt(doc, "st").fontStrikeOut());
    EXPECT_FALSE(FormatAt(doc, "red").fontStrikeOut());
    EXPECT_EQ(FormatAt(doc, "red").foreground().color(), QColor(255, 0, 0));
    EXPECT_FALSE(FormatAt(doc, "back").hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_EQ(FormatAt(doc, "back").background().color(), QColor(0, 0, 255));
    EXPECT_EQ(FormatAt(doc, "cb").background().color(), QColor(255, 0, 0));
    EXPECT_EQ(FormatAt(doc, "sup").verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(FormatAt(doc, "sub").verticalAlignment(), QTextCharFormat::AlignSubScript);
    EXPECT_EQ(FormatAt(doc, "cour").verticalAlignment(), QTextCharFormat::AlignNormal);
    EXPECT_EQ(FormatAt(doc, "cour").fontFamilies().toStringList(), QStringList{"Courier"});
    EXPECT_EQ(FormatAt(doc, "plain").fontPointSize(), 12);
    EXPECT_EQ(FormatAt(doc, "plain").fontFamilies().toStringList(), QStringList{"宋体"});
}

TEST(RtfReader, ReadsParagraphFormatInPixelsOfFifteenTwips)
{
    QTextDocument doc;
    ReadRtf(
        "{\\rtf1\\pard\\qc centre\\par\\pard\\qr\\li300\\ri150\\fi-150\\sb75\\sa30 right\\par"
        "\\pard\\qj\\sl360\\slmult1 just\\par\\pard\\sl300\\slmult0 least\\par\\pard\\sl-300\\slmult0 exact\\par"
        "\\pard\\tx1500\\tqr\\tx3000\\tqc\\tx4500 tabs\\page\\pard next\\par\\pard\\pagebb before\\par\\pard\\ql left}",
        doc);
    EXPECT_EQ(BlockAt(doc, "centre").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    const QTextBlockFormat right = BlockAt(doc, "right");
    EXPECT_EQ(right.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    EXPECT_EQ(right.leftMargin(), 20);
    EXPECT_EQ(right.rightMargin(), 10);
    EXPECT_EQ(right.textIndent(), -10);
    EXPECT_EQ(right.topMargin(), 5);
    EXPECT_EQ(right.bottomMargin(), 2);
    EXPECT_EQ(BlockAt(doc, "just").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
    EXPECT_EQ(BlockAt(doc, "just").lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_EQ(BlockAt(doc, "just").lineHeight(), 150);
    EXPECT_EQ(BlockAt(doc, "least").lineHeightType(), QTextBlockFormat::MinimumHeight);
    EXPECT_EQ(BlockAt(doc, "least").lineHeight(), 20);
    EXPECT_EQ(BlockAt(doc, "exact").lineHeightType(), QTextBlockFormat::FixedHeight);
    EXPECT_EQ(BlockAt(doc, "exact").lineHeight(), 20);
    const QList<QTextOption::Tab> tabs = BlockAt(doc, "tabs").tabPositions();
    ASSERT_EQ(tabs.size(), 3);
    EXPECT_EQ(tabs[0], QTextOption::Tab(100, QTextOption::LeftTab));
    EXPECT_EQ(tabs[1], QTextOption::Tab(200, QTextOption::RightTab));
    EXPECT_EQ(tabs[2], QTextOption::Tab(300, QTextOption::CenterTab));
    EXPECT_EQ(BlockAt(doc, "tabs").pageBreakPolicy(), QTextFormat::PageBreak_Auto);
    EXPECT_EQ(BlockAt(doc, "next").pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_EQ(BlockAt(doc, "before").pageBreakPolicy(), QTextFormat::PageBreak_AlwaysBefore);
    EXPECT_EQ(BlockAt(doc, "left").alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    EXPECT_EQ(BlockAt(doc, "left").leftMargin(), 0);
    EXPECT_EQ(doc.blockCount(), 9);
}

TEST(RtfReader, BuildsOneGridFromRowsWithTheirOwnCellEdges)
{
    QTextDocument doc;
    ASSERT_GT(ReadRtf(Fixture("ours-table.rtf"), doc), 0);
    QTextTable* t = FirstTable(doc);
    ASSERT_TRUE(t);
    // edges -108 1500 2500 3000 4500 6000 of three rows make five columns
    ASSERT_EQ(t->rows(), 3);
    ASSERT_EQ(t->columns(), 5);
    const QList<QTextLength> widths = t->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 5);
    const double expected[] = {1608 / 15.0, 1000 / 15.0, 500 / 15.0, 1500 / 15.0, 1500 / 15.0};
    for (int c = 0; c < 5; ++c)
        EXPECT_DOUBLE_EQ(widths[c].rawValue(), expected[c]) << c;
    EXPECT_EQ(t->format().intProperty(RtfProperty::TableLeft), -108);
    EXPECT_DOUBLE_EQ(t->format().cellPadding(), 108 / 15.0);
    EXPECT_EQ(t->format().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_TRUE(t->format().borderCollapse());

    const auto span = [t](int r, int c) {
        const QTextTableCell cell = t->cellAt(r, c);
        return std::make_tuple(cell.row(), cell.column(), cell.rowSpan(), cell.columnSpan());
    };
    EXPECT_EQ(span(0, 0), std::make_tuple(0, 0, 2, 1)); // \clvmgf + \clvmrg
    EXPECT_EQ(span(1, 0), std::make_tuple(0, 0, 2, 1));
    EXPECT_EQ(span(0, 2), std::make_tuple(0, 1, 1, 3)); // \clmgf + \clmrg over 1500..4500
    EXPECT_EQ(span(0, 4), std::make_tuple(0, 4, 1, 1));
    EXPECT_EQ(span(1, 3), std::make_tuple(1, 2, 1, 2));
    EXPECT_EQ(span(2, 1), std::make_tuple(2, 0, 1, 3));
    EXPECT_EQ(span(2, 3), std::make_tuple(2, 3, 1, 2));

    const auto text = [t](int r, int c) {
        const QTextTableCell cell = t->cellAt(r, c);
        QTextCursor cur = cell.firstCursorPosition();
        cur.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
        return cur.selectedText();
    };
    EXPECT_EQ(text(0, 0), "No.");
    EXPECT_EQ(text(0, 1), "Wide heading");
    EXPECT_EQ(text(1, 2), "two\u2029lines");
    EXPECT_EQ(text(1, 4), "[ID]");

    const QTextTableCellFormat first = t->cellAt(0, 0).format().toTableCellFormat();
    EXPECT_EQ(first.topBorder(), 1);
    EXPECT_EQ(first.topBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    EXPECT_EQ(first.topBorderBrush().color(), QColor(0, 0, 0));
    EXPECT_EQ(first.verticalAlignment(), QTextCharFormat::AlignMiddle);
    EXPECT_EQ(first.intProperty(RtfProperty::RowHeight), 400);
    const QTextTableCellFormat wide = t->cellAt(0, 1).format().toTableCellFormat();
    EXPECT_EQ(wide.topBorderStyle(), QTextFrameFormat::BorderStyle_Double);
    EXPECT_EQ(wide.bottomBorderBrush().color(), QColor(0, 0, 255));
    EXPECT_EQ(wide.leftBorderStyle(), QTextFrameFormat::BorderStyle_None);
    EXPECT_EQ(wide.leftBorder(), 0);
    EXPECT_EQ(wide.background().color(), QColor(217, 217, 217));
    EXPECT_EQ(t->cellAt(1, 1).format().verticalAlignment(), QTextCharFormat::AlignBottom);

    // a paragraph between rows ends the table: the rows after it are a table of their own
    int tables = 0;
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        tables += qobject_cast<QTextTable*>(f) != nullptr;
    EXPECT_EQ(tables, 2);
    EXPECT_TRUE(doc.toPlainText().startsWith("head\n"));
    EXPECT_TRUE(doc.toPlainText().endsWith("tail\n"));
}

TEST(RtfReader, AcceptsRowPropertiesAfterTheCellsAndFlattensNestedTables)
{
    QTextDocument doc;
    ReadRtf(Fixture("word-table.rtf"), doc);
    QTextTable* t = FirstTable(doc);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->rows(), 2);
    EXPECT_EQ(t->columns(), 2);
    EXPECT_EQ(t->cellAt(1, 1).firstCursorPosition().block().text(), "inner");
    EXPECT_EQ(t->cellAt(1, 1).lastCursorPosition().block().text(), "B2");
    EXPECT_EQ(t->cellAt(0, 1).format().toTableCellFormat().rightBorder(), 10 / 15.0);
    EXPECT_TRUE(doc.toPlainText().startsWith("Before 表格\n"));
}

TEST(RtfReader, CellsWithoutBordersOfTheirOwnTakeTheRowBorders)
{
    QTextDocument doc;
    ReadRtf("{\\rtf1\\trowd\\trbrdrt\\brdrs\\brdrw30 \\trbrdrl\\brdrs\\brdrw15 \\trbrdrb\\brdrdb\\brdrw15 "
            "\\trbrdrv\\brdrdot\\brdrw15 \\cellx1000\\cellx2000\\clbrdrb\\brdrs\\brdrw45 \\cellx3000"
            "\\pard\\intbl a\\cell b\\cell c\\cell\\row}",
            doc);
    QTextTable* t = FirstTable(doc);
    ASSERT_TRUE(t);
    const auto cell = [t](int c) { return t->cellAt(0, c).format().toTableCellFormat(); };
    EXPECT_EQ(cell(0).topBorder(), 2);
    EXPECT_EQ(cell(0).leftBorderStyle(), QTextFrameFormat::BorderStyle_Solid);
    EXPECT_EQ(cell(0).rightBorderStyle(), QTextFrameFormat::BorderStyle_Dotted);
    EXPECT_EQ(cell(0).bottomBorderStyle(), QTextFrameFormat::BorderStyle_Double);
    EXPECT_EQ(cell(1).leftBorderStyle(), QTextFrameFormat::BorderStyle_Dotted);
    EXPECT_EQ(cell(1).rightBorderStyle(), QTextFrameFormat::BorderStyle_Dotted);
    // a cell with a border of its own keeps only its own
    EXPECT_EQ(cell(2).bottomBorder(), 3);
    EXPECT_EQ(cell(2).topBorderStyle(), QTextFrameFormat::BorderStyle_None);
    EXPECT_EQ(cell(2).leftBorderStyle(), QTextFrameFormat::BorderStyle_None);
}

TEST(RtfReader, RowsWithoutEnoughCellEdgesAndCellsWithoutRowsStillLoad)
{
    QTextDocument doc;
    // three cells, one edge; then cells with no \row before the text goes on
    ReadRtf("{\\rtf1\\trowd\\cellx1000\\pard\\intbl a\\cell b\\cell c\\cell\\row\\pard\\intbl d\\cell\\pard after}",
            doc);
    QTextTable* t = FirstTable(doc);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->rows(), 2);
    EXPECT_EQ(t->columns(), 3);
    EXPECT_EQ(t->cellAt(0, 2).firstCursorPosition().block().text(), "c");
    EXPECT_EQ(t->cellAt(1, 0).firstCursorPosition().block().text(), "d");
    EXPECT_TRUE(t->cellAt(1, 1).format().boolProperty(RtfProperty::FillerCell));
    EXPECT_TRUE(doc.toPlainText().endsWith("after"));
}

TEST(RtfReader, ReadsPicturesAsImagesOfTheGoalSize)
{
    QTextDocument doc;
    ReadRtf(Fixture("ours-pict.rtf"), doc);
    std::vector<QTextImageFormat> images;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                images.push_back(it.fragment().charFormat().toImageFormat());
    // the \nonshppict copy is not shown
    ASSERT_EQ(images.size(), 3u);
    EXPECT_EQ(images[0].width(), 6); // 90 twips
    EXPECT_EQ(images[0].height(), 4);
    EXPECT_EQ(images[0].property(RtfProperty::PictKind).toString(), "png");
    const QImage png = doc.resource(QTextDocument::ImageResource, QUrl(images[0].name())).value<QImage>();
    EXPECT_EQ(png.size(), QSize(6, 4));
    EXPECT_EQ(png.pixelColor(2, 2), QColor(200, 30, 30));
    EXPECT_EQ(images[1].width(), 16); // 120 twips at 200 %
    EXPECT_EQ(images[1].height(), 4); // 120 twips at 50 %
    EXPECT_EQ(images[1].property(RtfProperty::PictKind).toString(), "jpeg");
    // a metafile cannot be drawn: a box of its size stands in
    EXPECT_EQ(images[2].width(), 96);
    EXPECT_EQ(images[2].height(), 48);
    EXPECT_FALSE(images[2].hasProperty(RtfProperty::PictData));
    EXPECT_EQ(doc.resource(QTextDocument::ImageResource, QUrl(images[2].name())).value<QImage>().size(), QSize(96, 48));
}

TEST(RtfReader, HostileInputStaysBounded)
{
    QTextDocument doc;
    QByteArray deep = "{\\rtf1 a";
    deep += QByteArray(100000, '{') + "b" + QByteArray(100000, '}') + "c}";
    EXPECT_EQ(ReadRtf(deep, doc), deep.size());
    EXPECT_EQ(doc.toPlainText(), "abc");

    QByteArray wide = "{\\rtf1\\trowd";
    for (int i = 1; i <= 500; ++i)
        wide += "\\cellx" + QByteArray::number(i * 10);
    wide += "\\pard\\intbl";
    for (int i = 0; i < 500; ++i)
        wide += "x\\cell";
    wide += "\\row}";
    ReadRtf(wide, doc);
    ASSERT_TRUE(FirstTable(doc));
    EXPECT_EQ(FirstTable(doc)->columns(), 64);

    ReadRtf("{\\rtf1\\fs99999999999999999999\\li-99999999999999 \\cellx-5\\cellx-99999999\\u99999999999 "
            "{\\pict\\pngblip\\picwgoal2147483647\\pichgoal-5 zz}\\bin99999999999}",
            doc);
    ReadRtf("{\\rtf1{\\colortbl;;;;}{\\fonttbl;;;}\\cf99\\f99\\highlight-1 x\\'", doc);
    EXPECT_EQ(doc.toPlainText(), "x");
}

} // namespace
