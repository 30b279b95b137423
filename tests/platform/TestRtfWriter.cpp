#include "RtfFormat.h"
#include "RtfReader.h"
#include "RtfWriter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QUrl>
#include <QtGui/QPainter>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtGui/QTextTable>

namespace {

QByteArray RoundTrip(const QByteArray& rtf)
{
    QTextDocument doc;
    ReadRtf(rtf, doc);
    return WriteRtf(doc);
}

QImage PictImage(const QByteArray& group)
{
    const qsizetype space = group.indexOf(' ');
    return QImage::fromData(QByteArray::fromHex(group.mid(space + 1, group.size() - space - 2)));
}

TEST(RtfWriter, WritesTheHeaderShapeAndStaysSevenBit)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    red.setFontFamilies({"宋体"});
    c.insertText("收据 ");
    c.insertText("[打印人]", red);
    const QByteArray rtf = WriteRtf(doc);
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg936\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 "));
    EXPECT_TRUE(rtf.contains("{\\f1\\fnil\\fcharset134 \\'cb\\'ce\\'cc\\'e5;}"));
    EXPECT_TRUE(
        rtf.contains("}\n{\\colortbl;\\red255\\green0\\blue0;}\n{\\*\\generator Lorvan;}\\viewkind4\\uc1\n\\pard"));
    EXPECT_TRUE(rtf.contains("\\u25910?\\u25454? \\f1\\cf1 [\\u25171?\\u21360?\\u20154?]"));
    EXPECT_TRUE(rtf.endsWith('}'));
    EXPECT_TRUE(std::all_of(rtf.begin(), rtf.end(), [](char ch) { return ch > 0; }));

    QTextDocument back;
    ReadRtf(rtf, back);
    EXPECT_EQ(back.toPlainText(), "收据 [打印人]");
    // the keyword is found whatever formatting runs it spans, ignoring case
    EXPECT_FALSE(back.find("[打印人]").isNull());

    QTextDocument empty;
    EXPECT_TRUE(WriteRtf(empty).contains("{\\colortbl;}"));
}

TEST(RtfWriter, EscapesTextAndWritesCharacterAndParagraphFormat)
{
    const QByteArray in =
        "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1\\green2\\blue3;}\\pard\\qc\\li300\\fi-150\\sb30"
        "\\sl360\\slmult1\\tqr\\tx3000 a\\{b\\}c\\\\d\\tab e\\line f\\~g\\-h\\_i "
        "\\b\\i\\ul\\strike\\fs18\\cf1\\highlight1\\super j\\plain k\\page\\pard\\qr l}";
    const QByteArray out = RoundTrip(in);
    EXPECT_TRUE(
        out.contains("\\pard\\qc\\li300\\fi-150\\sb30\\sl360\\slmult1\\tqr\\tx3000\\f1 "
                     "a\\{b\\}c\\\\d\\tab e\\line f\\~g\\-h\\_i \\fs18\\b\\i\\ul\\strike\\cf1\\highlight1\\super j"
                     "\\fs24\\b0\\i0\\ulnone\\strike0\\cf0\\highlight0\\nosupersub k\\page\n\\pard\\qr l\n}"))
        << out.constData();
    EXPECT_EQ(RoundTrip(out), out);
}

TEST(RtfWriter, WritesRowsWithCellDefinitionsFirstAndABlankAfterEachBorder)
{
    const QByteArray out =
        RoundTrip("{\\rtf1{\\colortbl;\\red0\\green0\\blue255;}"
                  "\\trowd\\trgaph108\\trleft0\\trrh300\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrdb\\brdrw20\\brdrcf1"
                  "\\clbrdrb\\brdrdot\\clbrdrr\\brdrdash\\brdrw5\\clcbpat1\\clvertalc\\cellx2000\\clvertalb\\cellx4000"
                  "\\pard\\intbl [ID]\\cell\\pard\\intbl b\\par c\\cell\\row\\pard after}");
    const QByteArray row =
        "\\trowd\\trgaph108\\trleft0\\trrh300\n"
        "\\clvertalc\\clbrdrt\\brdrs\\brdrw10 \\clbrdrl\\brdrdb\\brdrw20\\brdrcf1 \\clbrdrb\\brdrdot\\brdrw15 "
        "\\clbrdrr\\brdrdash\\brdrw5 \\clcbpat1\\cellx2000\n"
        "\\clvertalb\\cellx4000\n"
        "\\pard\\intbl [ID]\\cell\n"
        "\\pard\\intbl b\\par\n\\pard\\intbl c\\cell\n\\row\n\\pard after\n}";
    EXPECT_TRUE(out.contains(row)) << out.constData();
    // every border definition ends at a blank before the next word that is not its own
    static const QRegularExpression definition(R"(\\clbrdr[tlbr](\\brdr[a-z]+-?\d*)*(.))");
    for (auto m = definition.globalMatch(QString::fromLatin1(out)); m.hasNext();)
        EXPECT_EQ(m.next().captured(2), " ");
}

TEST(RtfWriter, WritesTablesMadeInTheEditorFromTheTableFormat)
{
    QTextDocument doc;
    doc.setTextWidth(400);
    QTextCursor c(&doc);
    c.insertText("top");
    QTextTableFormat tf;
    tf.setBorder(1);
    tf.setBorderBrush(QColor(0, 0, 255));
    tf.setCellPadding(4);
    tf.setColumnWidthConstraints(
        {QTextLength(QTextLength::FixedLength, 100), QTextLength(QTextLength::PercentageLength, 25), QTextLength()});
    QTextTable* t = c.insertTable(2, 3, tf);
    t->mergeCells(0, 1, 2, 2);
    t->cellAt(0, 0).firstCursorPosition().insertText("a");
    t->cellAt(0, 1).firstCursorPosition().insertText("merged");
    const QByteArray out = WriteRtf(doc);
    // 100 px, 25 % of 400 px, the rest: 1500, 1500 and 3000 twips
    EXPECT_TRUE(out.contains("\\trowd\\trgaph60\\trleft0\n"
                             "\\clbrdrt\\brdrs\\brdrw15\\brdrcf1 \\clbrdrl\\brdrs\\brdrw15\\brdrcf1 "
                             "\\clbrdrb\\brdrs\\brdrw15\\brdrcf1 \\clbrdrr\\brdrs\\brdrw15\\brdrcf1 \\cellx1500\n"
                             "\\clvmgf\\clbrdrt"))
        << out.constData();
    EXPECT_TRUE(out.contains("\\cellx6000\n\\pard\\intbl a\\cell\n\\pard\\intbl merged\\cell\n\\row"));
    EXPECT_TRUE(out.contains("\\clvmrg\\clbrdrt"));

    QTextDocument back;
    ReadRtf(out, back);
    auto* t2 = qobject_cast<QTextTable*>(back.rootFrame()->childFrames().value(0));
    ASSERT_TRUE(t2);
    EXPECT_EQ(t2->columns(), 2);
    EXPECT_EQ(t2->cellAt(1, 1).rowSpan(), 2);
    EXPECT_EQ(WriteRtf(back), RoundTrip(WriteRtf(back)));
}

TEST(RtfWriter, PictureFromImagePicksTheKindAndClampsTheHeight)
{
    QImage alpha(20, 4, QImage::Format_ARGB32);
    alpha.fill(QColor(10, 20, 30, 128));
    const QByteArray png = RtfPictFromImage(alpha, true);
    EXPECT_TRUE(png.startsWith("{\\pict\\pngblip\\picwgoal600\\pichgoal120 89504e47")) << png.left(60).constData();
    EXPECT_TRUE(png.endsWith('}'));
    EXPECT_EQ(png.mid(png.indexOf(' ') + 1).chopped(1).toLower(), png.mid(png.indexOf(' ') + 1).chopped(1));

    QImage tall(10, 2000, QImage::Format_RGB32);
    tall.fill(Qt::white);
    const QByteArray jpeg = RtfPictFromImage(tall, false);
    EXPECT_TRUE(jpeg.startsWith("{\\pict\\jpegblip\\picwgoal96\\pichgoal19200 ffd8")) << jpeg.left(60).constData();
    EXPECT_EQ(PictImage(jpeg).size(), QSize(10, 2000)); // shown smaller, not resampled

    QImage flat(40, 2, QImage::Format_RGB32);
    flat.fill(Qt::black);
    EXPECT_TRUE(RtfPictFromImage(flat, false).startsWith("{\\pict\\jpegblip\\picwgoal2400\\pichgoal120 "));
    EXPECT_TRUE(RtfPictFromImage(QImage(), true).isEmpty());
}

TEST(RtfWriter, PicturesKeepTheirDataOrAreEncodedFromTheResource)
{
    QTextDocument doc;
    QImage image(3, 2, QImage::Format_ARGB32);
    image.fill(QColor(0, 255, 0));
    doc.addResource(QTextDocument::ImageResource, QUrl("mem:logo"), image);
    QTextCursor c(&doc);
    QTextImageFormat f;
    f.setName("mem:logo");
    c.insertImage(f);
    // two pixels high is shown eight high
    const QByteArray first = WriteRtf(doc);
    EXPECT_TRUE(first.contains("{\\pict\\pngblip\\picwgoal180\\pichgoal120 89504e47")) << first.constData();

    // once read, the picture's own bytes are written back, also for JPEG, at the shown size
    QImage photo(8, 8, QImage::Format_RGB32);
    photo.fill(QColor(40, 80, 120));
    const QByteArray pict = RtfPictFromImage(photo, false);
    const QByteArray jpegHex = pict.mid(pict.indexOf(' ') + 1).chopped(1);
    const QByteArray rtf =
        "{\\rtf1 {\\pict\\jpegblip\\picw8\\pich8\\picwgoal120\\pichgoal120\\picscalex50\\picscaley200 " + jpegHex +
        "}}";
    const QByteArray out = RoundTrip(rtf);
    EXPECT_TRUE(out.contains("{\\pict\\jpegblip\\picwgoal60\\pichgoal240 " + jpegHex + "}")) << out.constData();
    EXPECT_EQ(RoundTrip(out), out);
}

} // namespace

namespace {

// The printing code edits our RTF as text before loading it: it repeats the row holding
// "[ID]" and recolours every cell border. Both rely on the writer's shape.
TEST(RtfWriter, OutputSurvivesTheTemplateSourcePasses)
{
    QFile f(QStringLiteral(LORVAN_TEST_DATA "/ours-table.rtf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QString t = QString::fromUtf8(RoundTrip(f.readAll()));

    const qsizetype id = t.indexOf("[ID]");
    const qsizetype body = t.indexOf("\\viewkind4\\uc1") + 14;
    const qsizetype rowStart = t.lastIndexOf("\\trowd", id);
    const qsizetype rowEnd = t.indexOf("\\row", id) + 4;
    ASSERT_TRUE(body < rowStart && rowStart < rowEnd && rowEnd < t.lastIndexOf('}'));
    const QString row = t.mid(rowStart, rowEnd - rowStart);
    t.replace(rowStart, rowEnd - rowStart, QString(row).replace("[ID]", "1") + QString(row).replace("[ID]", "2"));

    // white borders: the colour goes into the table, each definition gets its \brdrcf
    const qsizetype table = t.indexOf("{\\colortbl;");
    ASSERT_GE(table, 0);
    const qsizetype close = t.indexOf('}', table);
    const int white = static_cast<int>(t.mid(table, close - table).count(';'));
    t.insert(close, "\\red255\\green255\\blue255;");
    const QString word = QString("\\brdrcf%1").arg(white);
    static const QRegularExpression colour(R"(\\brdrcf\d+)");
    for (qsizetype at = t.indexOf("\\clbrdr"); at >= 0; at = t.indexOf("\\clbrdr", at)) {
        qsizetype end = at + 1;
        while (end < t.size() && !t[end].isSpace() && !t.mid(end).startsWith("\\clbrdr"))
            ++end;
        QString def = t.mid(at, end - at);
        if (def.contains(colour))
            def.replace(colour, word);
        else
            def += word;
        t.replace(at, end - at, def);
        at += def.size();
    }

    QTextDocument doc;
    ASSERT_GT(ReadRtf(t.toUtf8(), doc), 0);
    auto* tbl = qobject_cast<QTextTable*>(doc.rootFrame()->childFrames().value(0));
    ASSERT_TRUE(tbl);
    EXPECT_EQ(tbl->rows(), 4);
    EXPECT_EQ(tbl->cellAt(0, 0).rowSpan(), 3);
    EXPECT_FALSE(doc.find("[content.1]").isNull());
    EXPECT_FALSE(doc.find("[content.2]").isNull());
    EXPECT_TRUE(doc.find("[ID]").isNull());
    int borders = 0;
    for (int r = 0; r < tbl->rows(); ++r)
        for (int c = 0; c < tbl->columns(); ++c) {
            const QTextTableCellFormat cf = tbl->cellAt(r, c).format().toTableCellFormat();
            for (const QBrush& b :
                 {cf.topBorderBrush(), cf.leftBorderBrush(), cf.bottomBorderBrush(), cf.rightBorderBrush()})
                if (b.style() != Qt::NoBrush) {
                    ++borders;
                    EXPECT_EQ(b.color(), QColor(Qt::white));
                }
        }
    EXPECT_GT(borders, 8);
}

} // namespace
