// The built-in templates filled from the fixture school's receipts and printed to PDF.
#include "CDBCollect.h"
#include "CDBReceipt.h"
#include "CXPrintView.h"
#include "CommandIds.h"
#include "PrintTestSupport.h"

#include <gtest/gtest.h>

#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>
#include <QtGui/QAbstractTextDocumentLayout>
#include <QtGui/QTextBlock>
#include <QtGui/QTextDocument>

namespace {

using PrintReceipts = PrintSchoolTest;

template <class Record> std::unique_ptr<Record> Read(int id)
{
    CXArray items(nullptr, false);
    CXMap query;
    query.SetText(QKEY_IDS, QString::number(id));
    EXPECT_TRUE(FindModule(Record::MduID)->QueryItems(items, query, false, true));
    return std::unique_ptr<Record>(items.IsEmpty() ? nullptr : static_cast<Record*>(items.GetAt(0)));
}

// Without blanks, and with the radicals some CJK fonts map their glyphs back to in the PDF's
// text read as the ideographs they look like.
QString Squeeze(QString text) { return FoldRadicals(text.remove(QRegularExpression(QStringLiteral("\\s+")))); }

// The keywords a template's text holds (without the per-row ones).
QStringList TemplateKeywords(const CDBTempl& templ)
{
    CXPrintView raw;
    raw.m_templ.m_templ = templ.m_templ;
    EXPECT_TRUE(raw.BuildRtf(PRINTVIEW_RAW, 0));
    QStringList keys;
    static const QRegularExpression key(QStringLiteral("\\[[^\\[\\]]+\\]"));
    for (auto it = key.globalMatch(raw.Document().toPlainText()); it.hasNext();) {
        const QString k = it.next().captured();
        if (!keys.contains(k) && !k.contains(QStringLiteral("BIGLOGO")) && k != QStringLiteral("[PAGEBREAK]") &&
            k != QStringLiteral("[ID]"))
            keys << k;
    }
    return keys;
}

// Renders the record into the template as a PDF and returns its text.
QString PrintPdf(const CDBTempl& templ, const CXItem& record, QString path, int* pages = nullptr)
{
    // LORVAN_PRINT_OUT keeps the files for a look at the sheets
    if (const QString keep = qEnvironmentVariable("LORVAN_PRINT_OUT"); !keep.isEmpty())
        path = keep + u'/' + QFileInfo(path).fileName();
    CXPrintView view;
    templ.CopyTo(&view.m_templ);
    record.FillPrintKeywords(view.m_keywords, 0, &FixtureUser());
    EXPECT_TRUE(view.BuildRtf(-1, -1));
    EXPECT_TRUE(view.WritePdf(path, record.m_strName));
    if (pages)
        *pages = view.GetPageCount();
    return PdfText(path);
}

TEST_F(PrintReceipts, EnrolmentReceiptShowsEveryValue)
{
    const auto r1 = Read<CDBReceipt>(m_school.r1);
    ASSERT_TRUE(r1);
    const auto templ = BuiltIn(452, MDU_RECEIPT);
    QTemporaryDir dir;
    int pages = 0;
    const QString text = PrintPdf(*templ, *r1, dir.filePath(QStringLiteral("r1.pdf")), &pages);
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    EXPECT_EQ(pages, 2); // the receipt and the rules page
    XPrintKeywords k;
    r1->FillPrintKeywords(k, 0, &FixtureUser());
    const QString flat = Squeeze(text);
    for (const QString& key : TemplateKeywords(*templ)) {
        if (key == QStringLiteral("[PAGENUM]") || key == QStringLiteral("[PAGECOUNT]"))
            continue;
        ASSERT_TRUE(k.contains(key)) << key.toStdString();
        // a value of several lines may stand beside another column's text
        for (const QString& line : k.value(key).split(u'\n'))
            EXPECT_TRUE(flat.contains(Squeeze(line))) << key.toStdString() << " = " << line.toStdString();
    }
    EXPECT_FALSE(text.contains(u'[')) << text.toStdString();
    // R1: P1 2 periods x 15 x ¥200 = 6000, x 95 % = 5700, - 100 = 5600.00
    EXPECT_TRUE(flat.contains(QStringLiteral("伍仟陆佰元整"))) << text.toStdString();
    EXPECT_TRUE(flat.contains(QStringLiteral("第1页共2页")) && flat.contains(QStringLiteral("第2页共2页")));
}

TEST_F(PrintReceipts, SignInSheetPagesItsLessons)
{
    const auto r1 = Read<CDBReceipt>(m_school.r1);
    ASSERT_TRUE(r1);
    auto templ = BuiltIn(451, MDU_RECEIPT);
    templ->m_nPagingIndex = 10;
    // R1: 2 periods x 15 lessons + 2 added = 32 lessons: rows 1-10, 11-20, 21-30, 31-32
    ASSERT_EQ(r1->GetPrintRowCount(), 32);
    CXPrintView view;
    templ->CopyTo(&view.m_templ);
    r1->FillPrintKeywords(view.m_keywords, 0, &FixtureUser());
    ASSERT_TRUE(view.BuildRtf(-1, -1));
    ASSERT_EQ(view.GetPageCount(), 4);
    if (const QString keep = qEnvironmentVariable("LORVAN_PRINT_OUT"); !keep.isEmpty())
        view.WritePdf(keep + QStringLiteral("/sign-in.pdf"), r1->m_strName);
    const int first[] = {1, 11, 21, 31}, last[] = {10, 20, 30, 32};
    for (int p = 0; p < 4; ++p) {
        const QString text = view.PageText(p);
        EXPECT_TRUE(text.contains(QStringLiteral("第 %1 页 共 4 页").arg(p + 1))) << p;
        EXPECT_TRUE(text.contains(r1->m_strName)) << p << text.toStdString(); // the heading on every page
        // the number column: a cell holding just the line number
        QStringList numbers;
        for (const QString& line : text.split(QRegularExpression(QStringLiteral("[\\n\\x{2029}]"))))
            if (QRegularExpression(QStringLiteral("^\\d+$")).match(line.trimmed()).hasMatch())
                numbers << line.trimmed();
        QStringList expected;
        for (int i = first[p]; i <= last[p]; ++i)
            expected << QString::number(i);
        EXPECT_EQ(numbers, expected) << p;
    }
}

// The signature rows are as high as the template's rows say (680 twips, 12 mm) and a
// full page of the default 18 rows still fits one A4 sheet.
TEST_F(PrintReceipts, SignInRowsAreHighEnoughToSignAndFitTheSheet)
{
    const auto r1 = Read<CDBReceipt>(m_school.r1);
    ASSERT_TRUE(r1);
    auto templ = BuiltIn(451, MDU_RECEIPT);
    ASSERT_EQ(templ->m_nPagingIndex, 18);
    CXPrintView view;
    templ->CopyTo(&view.m_templ);
    r1->FillPrintKeywords(view.m_keywords, 0, &FixtureUser());
    ASSERT_TRUE(view.BuildRtf(-1, -1));
    ASSERT_EQ(view.GetPageCount(), 2); // 32 lessons: 18 + 14
    const QTextDocument& page = view.PageDocument(0);
    // the tops of the number cells "1".."18", one row apart
    QList<double> tops;
    for (int n = 1; n <= 18; ++n) {
        const QRegularExpression number(QStringLiteral("^%1$").arg(n));
        for (QTextBlock b = page.begin(); b.isValid(); b = b.next())
            if (number.match(b.text().trimmed()).hasMatch()) {
                tops << page.documentLayout()->blockBoundingRect(b).top();
                break;
            }
    }
    ASSERT_EQ(tops.size(), 18);
    for (int i = 1; i < tops.size(); ++i)
        EXPECT_GE(tops[i] - tops[i - 1], 680 / 15.0 - 0.5) << i; // 45.3 px of 1/96 inch
    EXPECT_LE(page.documentLayout()->documentSize().height(), view.GetTextArea().height());
    if (const QString keep = qEnvironmentVariable("LORVAN_PRINT_OUT"); !keep.isEmpty())
        view.WritePdf(keep + QStringLiteral("/sign-in-18.pdf"), r1->m_strName);
}

TEST_F(PrintReceipts, GeneralReceiptListsItsItems)
{
    const auto c1 = Read<CDBCollect>(m_school.c1);
    ASSERT_TRUE(c1);
    const auto templ = BuiltIn(450, MDU_COLLECT);
    QTemporaryDir dir;
    const QString text = PrintPdf(*templ, *c1, dir.filePath(QStringLiteral("c1.pdf")));
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    const QString flat = Squeeze(text);
    // 12000.00 x 1 + 100.00 x 2 + 13.00 x 1 = 12213.00
    for (const char* expected : {"立式钢琴", "电子节拍器", "钢琴基础教程", "壹万贰仟贰佰壹拾叁元整", "T260001", "王芳"})
        EXPECT_TRUE(flat.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    EXPECT_FALSE(text.contains(u'[')) << text.toStdString();
}

} // namespace
