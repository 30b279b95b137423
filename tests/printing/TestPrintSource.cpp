// The passes over a template's RTF text before it is read: logos, white borders for
// pre-printed forms, repeated rows and page numbers.
#include "CXPrintView.h"

#include <gtest/gtest.h>

namespace {

QString Pict(int height) { return QStringLiteral("<pict %1>").arg(height); }

TEST(PrintSource, LogoMarkers)
{
    const struct
    {
        const char* in;
        const char* out;
    } cases[] = {
        {"a[LOGO80]b", "a<pict 80>b"},
        {"a[LOGO{\\b 8}0]b", "a<pict 80>b"}, // control words between the digits
        {"[LOGO]", "[LOGO]"},                // no digits: text
        {"[LOGO12", "[LOGO12"},              // never closed
        {"[LOGO1][LOGO2]", "<pict 1><pict 2>"},
        {"[BIGLOGO40]", "[BIGLOGO40]"}, // the large logo is a marker of its own
    };
    for (const auto& c : cases)
        EXPECT_EQ(CXPrintView::ReplaceLogoMarkers(QString::fromLatin1(c.in), QStringLiteral("LOGO"), Pict),
                  QString::fromLatin1(c.out))
            << c.in;
    EXPECT_EQ(CXPrintView::ReplaceLogoMarkers(QStringLiteral("[BIGLOGO40]"), QStringLiteral("BIGLOGO"), Pict),
              QStringLiteral("<pict 40>"));
}

TEST(PrintSource, WhiteBorders)
{
    const struct
    {
        const char* in;
        const char* out;
    } cases[] = {
        // white already at index 2: reused, an existing border colour replaced
        {"{\\rtf1{\\colortbl;\\red0\\green0\\blue0;\\red255\\green255\\blue255;}\\clbrdrt\\brdrw15\\brdrs\\brdrcf1 "
         "\\cellx100}",
         "{\\rtf1{\\colortbl;\\red0\\green0\\blue0;\\red255\\green255\\blue255;}\\clbrdrt\\brdrw15\\brdrs\\brdrcf2 "
         "\\cellx100}"},
        // a blank after the table word, no white yet: added at the end; the definition
        // ends at \cellx, so the colour does not land on the next cell
        {"{\\rtf1{\\colortbl ;\\red0\\green0\\blue0;}\\clbrdrb\\brdrw10\\brdrs\\cellx2000}",
         "{\\rtf1{\\colortbl ;\\red0\\green0\\blue0;\\red255\\green255\\blue255;}\\clbrdrb\\brdrw10\\brdrs\\brdrcf2"
         "\\cellx2000}"},
        // no colour table: one in front of the generator group
        {"{\\rtf1{\\fonttbl{\\f0 A;}}{\\*\\generator x;}\\clbrdrl\\brdrs \\cellx10}",
         "{\\rtf1{\\fonttbl{\\f0 A;}}{\\colortbl;\\red255\\green255\\blue255;}{\\*\\generator x;}"
         "\\clbrdrl\\brdrs\\brdrcf1 \\cellx10}"},
        // neither a colour table nor a generator: after the font table
        {"{\\rtf1\\ansi{\\fonttbl{\\f0 A;}}\\clbrdrl\\brdrs \\cellx10}",
         "{\\rtf1\\ansi{\\fonttbl{\\f0 A;}}{\\colortbl;\\red255\\green255\\blue255;}\\clbrdrl\\brdrs\\brdrcf1 "
         "\\cellx10}"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CXPrintView::WhitenBorders(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
}

TEST(PrintSource, RowsRepeatPerPageAndPagesAreNumbered)
{
    const QString rtf = QStringLiteral("{\\rtf1{\\colortbl ;}\\viewkind4\\uc1 \\pard B[PAGENUM]/[PAGECOUNT]\\par\n"
                                       "\\trowd\\cellx100\\pard\\intbl R[ID]\\cell\\row\n\\pard A\\par\n}");
    QString text = rtf;
    ASSERT_TRUE(CXPrintView::RepeatRowsInText(text, 5, 2));
    text = CXPrintView::NumberPages(text);
    // 5 lines, 2 a page: 3 pages with lines 1-2, 3-4, 5; before and after on every page
    EXPECT_EQ(text.count(QStringLiteral("[PAGEBREAK]")), 2);
    EXPECT_EQ(text.count(QStringLiteral("\\row")), 5);
    const QStringList pages = text.split(QStringLiteral("[PAGEBREAK]"));
    ASSERT_EQ(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains(QStringLiteral("B1/3")) && pages[0].contains(QStringLiteral("R1\\cell")) &&
                pages[0].contains(QStringLiteral("R2\\cell")) && !pages[0].contains(QStringLiteral("R3\\cell")));
    EXPECT_TRUE(pages[1].contains(QStringLiteral("B2/3")) && pages[1].contains(QStringLiteral("R4\\cell")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("B3/3")) && pages[2].contains(QStringLiteral("R5\\cell")) &&
                pages[2].contains(QStringLiteral("\\pard A\\par")));

    // no page break: one page
    EXPECT_EQ(CXPrintView::NumberPages(QStringLiteral("[PAGENUM]/[PAGECOUNT]")), QStringLiteral("1/1"));

    // rows that cannot be cut out safely are left to the document
    const struct
    {
        const char* text;
    } refused[] = {
        {"{\\rtf1\\viewkind4\\uc1 \\pard [ID]\\par}"},                                       // no row
        {"{\\rtf1 \\trowd\\cellx1 \\pard\\intbl [ID]\\cell\\row}"},                          // no body start
        {"{\\rtf1\\viewkind4\\uc1 \\trowd\\cellx1 \\pard\\intbl [ID]\\cell{\\trowd\\row}}"}, // cut crosses a group
    };
    for (const auto& r : refused) {
        QString t = QString::fromLatin1(r.text);
        EXPECT_FALSE(CXPrintView::RepeatRowsInText(t, 3, 2)) << r.text;
        EXPECT_EQ(t, QString::fromLatin1(r.text));
    }
}

} // namespace
