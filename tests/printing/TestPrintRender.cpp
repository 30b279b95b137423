// Rendering records into templates: keywords, repeated rows and pages on templates written
// by our own writer and by another word processor, the view modes and the painted sheets.
#include "CXPrintView.h"
#include "RtfWriter.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <QtCore/QFile>
#include <QtGui/QImage>
#include <QtGui/QPainter>
#include <QtGui/QTextBlock>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtGui/QTextTable>

namespace {

QByteArray Fixture(const char* name)
{
    QFile f(QStringLiteral(LORVAN_RTF_DATA "/") + QLatin1String(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return f.readAll();
}

// An RTF template from HTML through our writer.
QByteArray Template(const QString& html)
{
    QTextDocument doc;
    doc.setHtml(html);
    return WriteRtf(doc);
}

std::unique_ptr<CXPrintView> View(const QByteArray& rtf, const XPrintKeywords& keywords, int perPage = 18)
{
    auto view = std::make_unique<CXPrintView>();
    view->m_templ.m_strName = QStringLiteral("t");
    view->m_templ.m_templ = rtf;
    view->m_templ.m_nPagingIndex = perPage;
    view->m_keywords = keywords;
    return view;
}

// "C1".."Cn" as the per-row content of n lines.
XPrintKeywords Lines(int n)
{
    XPrintKeywords k;
    k.insert(QStringLiteral("[ID]"), QString::number(n));
    for (int i = 1; i <= n; ++i)
        k.insert(QStringLiteral("[content.%1]").arg(i), QStringLiteral("C%1;").arg(i));
    return k;
}

TEST(PrintRender, RowsRepeatAcrossPagesOnEveryKindOfTemplate)
{
    // ours-table goes through the text, lo-table (LibreOffice) through the document
    for (const char* name : {"ours-table.rtf", "lo-table.rtf"}) {
        auto view = View(Fixture(name), Lines(25), 10);
        ASSERT_TRUE(view->BuildRtf(-1, -1)) << name;
        ASSERT_EQ(view->GetPageCount(), 3) << name;
        // 25 lines, 10 a page: 1-10, 11-20, 21-25
        const int first[] = {1, 11, 21}, last[] = {10, 20, 25};
        for (int p = 0; p < 3; ++p) {
            const QString text = view->PageText(p);
            EXPECT_TRUE(text.contains(QStringLiteral("head")) && text.contains(QStringLiteral("tail"))) << name << p;
            for (int i = 1; i <= 25; ++i)
                EXPECT_EQ(text.contains(QStringLiteral("C%1;").arg(i)), i >= first[p] && i <= last[p])
                    << name << " page " << p << " line " << i;
            EXPECT_FALSE(text.contains(QStringLiteral("[ID]")) || text.contains(QStringLiteral("PAGEBREAK"))) << name;
        }
    }
}

TEST(PrintRender, KeywordEdgeCases)
{
    const struct
    {
        const char* body;
        std::vector<std::pair<const char*, const char*>> keywords;
        const char* text;
    } cases[] = {
        {"memo: [备注]", {{"[备注]", "see [备注]"}}, "memo: see see [备注]"}, // own key: two passes, then stops
        {"[abc]", {{"[ABC]", "x"}}, "x"},                                     // letter case does not matter
        {"[B]", {{"[B]", "x[A]"}, {"[A]", "y"}}, "xy"},                       // second pass
        {"[ID] rows", {{"[ID]", "0"}}, "0 rows"},                             // no lines: an ordinary keyword
        {"[ID] [X]", {}, "[ID] [X]"},                                         // unknown keys stay
        {"[PAGENUM]/[PAGECOUNT]", {}, "1/1"},
    };
    for (const auto& c : cases) {
        XPrintKeywords k;
        for (const auto& [key, value] : c.keywords)
            k.insert(QString::fromUtf8(key), QString::fromUtf8(value));
        auto view = View(Template(QString::fromUtf8(c.body)), k);
        ASSERT_TRUE(view->BuildRtf(-1, -1));
        EXPECT_EQ(view->PageText(0).trimmed(), QString::fromUtf8(c.text)) << c.body;
    }
}

QColor ForegroundAt(const QTextDocument& doc, const QString& text)
{
    const QTextCursor c = doc.find(text);
    EXPECT_FALSE(c.isNull()) << text.toStdString();
    return c.charFormat().foreground().color();
}

TEST(PrintRender, ViewModesAndMarks)
{
    XPrintKeywords k;
    k.insert(QStringLiteral("[K]"), QStringLiteral("VALUE"));
    const QByteArray rtf = Template(QStringLiteral("Label [K] [MISSING]<p>[PAGEBREAK]</p><p>two</p>"));
    auto view = View(rtf, k);

    ASSERT_TRUE(view->BuildRtf(PRINTVIEW_TEMPLATE, 0)); // values invisible, own text shown
    EXPECT_EQ(ForegroundAt(view->Document(), QStringLiteral("VALUE")), QColor(Qt::white));
    EXPECT_NE(ForegroundAt(view->Document(), QStringLiteral("Label")), QColor(Qt::white));

    ASSERT_TRUE(view->BuildRtf(PRINTVIEW_REPLACED, -1)); // only values shown
    EXPECT_NE(ForegroundAt(view->Document(), QStringLiteral("VALUE")), QColor(Qt::white));
    EXPECT_EQ(ForegroundAt(view->Document(), QStringLiteral("Label")), QColor(Qt::white));

    ASSERT_TRUE(view->BuildRtf(PRINTVIEW_RAW, 1)); // nothing replaced, unreplaced marked
    EXPECT_EQ(view->GetPageCount(), 2);
    EXPECT_TRUE(view->Document().toPlainText().contains(QStringLiteral("[PAGEBREAK]")));
    const QTextCursor raw = view->Document().find(QStringLiteral("[K]"));
    ASSERT_FALSE(raw.isNull());
    EXPECT_EQ(raw.charFormat().background().color(), QColor(255, 160, 160));

    ASSERT_TRUE(view->BuildRtf(PRINTVIEW_ALL, -1)); // replaced green, unreplaced red
    EXPECT_EQ(view->Document().find(QStringLiteral("VALUE")).charFormat().background().color(), QColor(160, 255, 160));
    EXPECT_EQ(view->Document().find(QStringLiteral("[MISSING]")).charFormat().background().color(),
              QColor(255, 160, 160));
}

int DarkPixels(const QImage& image)
{
    int dark = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            dark += qGray(image.pixel(x, y)) < 160;
    return dark;
}

QImage Paint(const CXPrintView& view, int page)
{
    const QSizeF mm = view.GetPaperSize();
    QImage image(qRound(MmToPixels(mm.width(), 48)), qRound(MmToPixels(mm.height(), 48)), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    view.PaintPage(p, page, QRectF(QPointF(0, 0), image.size()));
    p.end();
    return image;
}

TEST(PrintRender, PreprintedModeShowsOnlyTheValues)
{
    const QByteArray rtf =
        Template(QStringLiteral("<p>STATIC TEXT</p><table border=\"1\" cellspacing=\"0\"><tr>"
                                "<td width=\"200\">Name</td><td width=\"200\">[K]</td></tr></table>"));
    for (const char* value : {"", "VALUE"}) {
        XPrintKeywords k;
        k.insert(QStringLiteral("[K]"), QString::fromLatin1(value));
        auto view = View(rtf, k);
        ASSERT_TRUE(view->BuildRtf(PRINTVIEW_ALL, -1));
        const int all = DarkPixels(Paint(*view, 0));
        ASSERT_TRUE(view->BuildRtf(PRINTVIEW_REPLACED, -1));
        const int replaced = DarkPixels(Paint(*view, 0));
        EXPECT_GT(all, replaced) << value;
        // with an empty value nothing at all is left: text, borders and labels are white
        EXPECT_EQ(replaced == 0, *value == 0) << value << " " << replaced;
    }
}

TEST(PrintRender, LandscapeLaysTheLongSideAcross)
{
    auto view = View(Template(QStringLiteral("x")), {});
    view->m_templ.m_nOrientation = 1;
    ASSERT_TRUE(view->BuildRtf(-1, -1));
    const QSizeF paper = view->GetPaperSize();
    EXPECT_NEAR(paper.width(), 297.0, 0.05);
    EXPECT_NEAR(paper.height(), 210.0, 0.05);
    // the printer keeps the paper 210 x 297 and turns it
    const QPageLayout layout = view->GetPageLayout();
    EXPECT_EQ(layout.orientation(), QPageLayout::Landscape);
    EXPECT_NEAR(layout.pageSize().size(QPageSize::Millimeter).width(), 210.0, 0.05);
}

TEST(PrintRender, UnreadableTemplateKeepsTheView)
{
    auto view = View(QByteArray("not rtf"), {});
    EXPECT_FALSE(view->BuildRtf(-1, -1));
    EXPECT_EQ(view->GetPageCount(), 0);
}

} // namespace
