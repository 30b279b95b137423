// The spreadsheet writer and reader: what the writer puts in a book reads back; hand-made
// books reach the reader's other paths (rich and inline strings, booleans, the 1904 date
// system, sheets by name); hostile books end in a message with nothing read.
#include "XSheetReader.h"
#include "XXlsxWriter.h"

#include <minizip/zip.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

using Parts = std::vector<std::pair<const char*, QByteArray>>;

// A zip of the given parts, deflated.
bool WriteZip(const QString& path, const Parts& parts)
{
    zipFile zf = zipOpen(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zf)
        return false;
    bool ok = true;
    for (const auto& [name, bytes] : parts) {
        ok = ok && zipOpenNewFileInZip(zf, name, nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                       Z_DEFAULT_COMPRESSION) == ZIP_OK;
        ok = ok && zipWriteInFileInZip(zf, bytes.constData(), static_cast<unsigned>(bytes.size())) == ZIP_OK;
        ok = ok && zipCloseFileInZip(zf) == ZIP_OK;
    }
    return zipClose(zf, nullptr) == ZIP_OK && ok;
}

const char* kRootRels =
    R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
const char* kBookRels =
    R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://x/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://x/worksheet" Target="/xl/worksheets/sheet2.xml"/><Relationship Id="rId3" Type="http://x/sharedStrings" Target="sharedStrings.xml"/><Relationship Id="rId4" Type="http://x/styles" Target="styles.xml"/></Relationships>)";
const char* kBook =
    R"(<?xml version="1.0"?><workbook xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><workbookPr date1904="1"/><sheets><sheet name="封面" sheetId="1" r:id="rId1"/><sheet name="学员" sheetId="2" r:id="rId2"/></sheets></workbook>)";
const char* kStrings =
    R"(<sst><si><t>姓名</t></si><si><r><rPr><b/></rPr><t>张</t></r><r><t xml:space="preserve">三 </t></r><rPh><t>ZS</t></rPh></si><si><t>a&amp;b</t></si></sst>)";
const char* kStyles =
    R"(<styleSheet><numFmts count="1"><numFmt numFmtId="164" formatCode="yyyy&quot;年&quot;m&quot;月&quot;d&quot;日&quot;"/></numFmts><cellXfs count="3"><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="4"/></cellXfs></styleSheet>)";

QByteArray Sheet(const QByteArray& rows)
{
    return "<?xml version=\"1.0\"?><x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
           "<x:dimension ref=\"A1:XFD1048576\"/><x:sheetData>" +
           rows + "</x:sheetData></x:worksheet>";
}

const QByteArray kSecondSheet = Sheet(
    "<x:row r=\"1\"><x:c r=\"A1\" t=\"s\"><x:v>0</x:v></x:c><x:c r=\"C1\" t=\"inlineStr\"><x:is><x:r><x:t>内</x:t>"
    "</x:r><x:r><x:t>联</x:t></x:r></x:is></x:c></x:row>"
    "<x:row r=\"3\"><x:c r=\"A3\" t=\"s\"><x:v>1</x:v></x:c><x:c r=\"B3\" t=\"b\"><x:v>1</x:v></x:c>"
    "<x:c r=\"C3\" s=\"1\"><x:v>44634</x:v></x:c><x:c r=\"D3\" s=\"2\"><x:v>0.1</x:v></x:c>"
    "<x:c r=\"E3\" t=\"str\"><x:v>=公式</x:v></x:c><x:c r=\"F3\" s=\"2\"/><x:c r=\"G3\" "
    "t=\"s\"><x:v>2</x:v></x:c></x:row>"
    "<x:row><x:c><x:v>1e3</x:v></x:c><x:c t=\"d\"><x:v>2026-03-18T09:30:00</x:v></x:c></x:row>");

Parts GoodBook(const QByteArray& secondSheet = kSecondSheet)
{
    return {{"_rels/.rels", kRootRels},
            {"xl/workbook.xml", kBook},
            {"xl/_rels/workbook.xml.rels", kBookRels},
            {"xl/sharedStrings.xml", kStrings},
            {"xl/styles.xml", kStyles},
            {"xl/worksheets/sheet1.xml", Sheet("<x:row r=\"1\"><x:c r=\"A1\"><x:v>7</x:v></x:c></x:row>")},
            {"xl/worksheets/sheet2.xml", secondSheet}};
}

class Xlsx : public ::testing::Test
{
protected:
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

} // namespace

TEST(XlsxRefs, CellReferencesWithinTheSheetOnly)
{
    struct Case
    {
        const char* ref;
        bool ok;
        int row, column;
    } cases[] = {{"A1", true, 0, 0},
                 {"$B$2", true, 1, 1},
                 {"z10", true, 9, 25},
                 {"AA1", true, 0, 26},
                 {"XFD1048576", true, 1048575, 16383},
                 {"XFE1", false, 0, 0},
                 {"A1048577", false, 0, 0},
                 {"A0", false, 0, 0},
                 {"1A", false, 0, 0},
                 {"", false, 0, 0},
                 {"A1B", false, 0, 0},
                 {"AAAAAAAAAA1", false, 0, 0},
                 {"A99999999999", false, 0, 0}};
    for (const Case& c : cases) {
        int row = -1, column = -1;
        ASSERT_EQ(ParseCellRef(QString::fromLatin1(c.ref), &row, &column), c.ok) << c.ref;
        if (c.ok) {
            EXPECT_EQ(row, c.row) << c.ref;
            EXPECT_EQ(column, c.column) << c.ref;
            EXPECT_EQ(CellRef(row, column), QString::fromLatin1(c.ref).remove(u'$').toUpper());
        }
    }
    EXPECT_EQ(CellRef(0, 51), QStringLiteral("AZ1"));
    EXPECT_EQ(CellRef(0, 52), QStringLiteral("BA1"));
}

TEST(XlsxNames, SheetAndFileNamesAreMadeAcceptable)
{
    EXPECT_EQ(SanitizeSheetName(QStringLiteral("学员/家长:a*b?[c]\\d")), QStringLiteral("学员_家长_a_b__c__d"));
    EXPECT_EQ(SanitizeSheetName(QString(40, u'x')).size(), 31);
    EXPECT_EQ(SanitizeSheetName(QStringLiteral("'名单'")), QStringLiteral("名单"));
    EXPECT_EQ(SanitizeSheetName(QString()), QStringLiteral("Sheet1"));
    EXPECT_EQ(SanitizeFileName(QStringLiteral("../学员 2026/03")), QStringLiteral(".._学员 2026_03"));
    EXPECT_EQ(SanitizeFileName(QString()), QStringLiteral("_"));
}

TEST_F(Xlsx, WrittenCellsReadBackWithTheirKinds)
{
    const QString path = Path(QStringLiteral("w.xlsx"));
    XXlsxWriter w(path, false, QStringLiteral("Noto Sans CJK SC"), 9);
    ASSERT_TRUE(w.AddSheet(QStringLiteral("学员/名单")));
    w.HideGridlines();
    w.FreezeRows(1);
    XCellStyle header{0xF0F0F0, -1, 2, true, QString()};
    XCellStyle money{-1, -1, 1, true, QStringLiteral("¥0.00")};
    XCellStyle date{-1, -1, 0, true, QStringLiteral("yyyy-m-d")};
    w.WriteText(0, 0, QStringLiteral("姓名"), header);
    w.WriteText(0, 1, QStringLiteral("金额"), header);
    w.WriteText(0, 2, QStringLiteral("日期"), header);
    w.WriteComment(0, 0, QStringLiteral("说明"), 129, 75);
    for (int r = 1; r <= 500; ++r) {
        w.WriteText(r, 0, QStringLiteral("学员%1").arg(r), XCellStyle{});
        w.WriteNumber(r, 1, r + 0.25, money);
        w.WriteNumber(r, 2, 46099 + r, date);
    }
    w.MergeRow(501, 0, 2, QStringLiteral("合计"), XCellStyle{});
    w.WriteBlank(502, 1, money);
    EXPECT_EQ(w.FormatCount(), 4); // one per distinct look, not per cell
    ASSERT_TRUE(w.Close()) << w.ErrorText().toStdString();

    XSheet sheet;
    QString error;
    ASSERT_TRUE(ReadSpreadsheet(path, sheet, &error)) << error.toStdString();
    EXPECT_EQ(sheet.m_strName, QStringLiteral("学员_名单"));
    EXPECT_EQ(sheet.Text(0, 1), QStringLiteral("金额"));
    EXPECT_EQ(sheet.Text(7, 0), QStringLiteral("学员7"));
    EXPECT_EQ(sheet.Text(7, 1), QStringLiteral("7.25"));
    double v = 0;
    ASSERT_TRUE(sheet.Number(7, 2, &v));
    EXPECT_EQ(v, 46106);
    EXPECT_TRUE(sheet.At(7, 2)->date);
    EXPECT_FALSE(sheet.At(7, 1)->date);
    EXPECT_EQ(sheet.Text(501, 0), QStringLiteral("合计"));
    EXPECT_EQ(sheet.At(502, 1), nullptr); // a format without a value is no cell
    EXPECT_EQ(sheet.LastRow(), 501);
}

TEST_F(Xlsx, ConstantMemoryBooksReadBackToo)
{
    const QString path = Path(QStringLiteral("c.xlsx"));
    XXlsxWriter w(path, true, QString(), 0);
    ASSERT_TRUE(w.AddSheet(QStringLiteral("列表")));
    for (int r = 0; r < 100; ++r) {
        w.WriteText(r, 0, QStringLiteral("行%1").arg(r), XCellStyle{});
        w.WriteNumber(r, 1, r * 1.5, XCellStyle{});
    }
    ASSERT_TRUE(w.Close());
    XSheet sheet;
    QString error;
    ASSERT_TRUE(ReadXlsxFile(path, sheet, &error)) << error.toStdString();
    EXPECT_EQ(sheet.Text(99, 0), QStringLiteral("行99")); // inline strings in this mode
    EXPECT_EQ(sheet.Text(99, 1), QStringLiteral("148.5"));
}

TEST_F(Xlsx, SavingIntoAMissingFolderFailsWithTheLibraryMessage)
{
    XXlsxWriter w(Path(QStringLiteral("no/such/folder/x.xlsx")), false, QString(), 0);
    ASSERT_TRUE(w.AddSheet(QStringLiteral("a")));
    w.WriteText(0, 0, QStringLiteral("x"), XCellStyle{});
    EXPECT_FALSE(w.Close());
    EXPECT_FALSE(w.ErrorText().isEmpty());
}

TEST_F(Xlsx, HandMadeBookReadsEveryCellKind)
{
    const QString path = Path(QStringLiteral("hand.xlsx"));
    ASSERT_TRUE(WriteZip(path, GoodBook()));
    XSheet sheet;
    QString error;
    ASSERT_TRUE(ReadXlsxFile(path, sheet, &error, QStringLiteral("学员"))) << error.toStdString();
    EXPECT_EQ(sheet.Text(0, 0), QStringLiteral("姓名"));
    EXPECT_EQ(sheet.Text(0, 2), QStringLiteral("内联"));
    EXPECT_EQ(sheet.Text(2, 0), QStringLiteral("张三 ")); // runs joined, the phonetic run left out
    EXPECT_EQ(sheet.Text(2, 1), QStringLiteral("TRUE"));
    double v = 0;
    ASSERT_TRUE(sheet.Number(2, 1, &v));
    EXPECT_EQ(v, 1);
    // a 1904-system date: 44634 + 1462 days from 1899-12-30 = 2026-03-15
    ASSERT_TRUE(sheet.Number(2, 2, &v));
    EXPECT_EQ(v, 46096);
    EXPECT_TRUE(sheet.At(2, 2)->date);
    EXPECT_EQ(sheet.Text(2, 2), QStringLiteral("46096"));
    EXPECT_EQ(sheet.Text(2, 3), QStringLiteral("0.1")); // "%.15g", not 0.10000000000000001
    EXPECT_FALSE(sheet.At(2, 3)->date);
    EXPECT_EQ(sheet.Text(2, 4), QStringLiteral("=公式"));
    EXPECT_EQ(sheet.At(2, 5), nullptr);
    EXPECT_EQ(sheet.Text(2, 6), QStringLiteral("a&b"));
    // a row and cells without references follow the ones before
    EXPECT_EQ(sheet.Text(3, 0), QStringLiteral("1000"));
    ASSERT_TRUE(sheet.Number(3, 1, &v));
    EXPECT_DOUBLE_EQ(v, 46099 + 9.5 / 24); // 2026-03-18 09:30
    EXPECT_EQ(sheet.CellCount(), 10);      // the claimed dimension costs nothing

    ASSERT_TRUE(ReadXlsxFile(path, sheet, &error)); // the first sheet when none is named
    EXPECT_EQ(sheet.m_strName, QStringLiteral("封面"));
    EXPECT_EQ(sheet.Text(0, 0), QStringLiteral("7"));
    EXPECT_FALSE(ReadXlsxFile(path, sheet, &error, QStringLiteral("教师")));
    EXPECT_EQ(error, QStringLiteral("找不到工作表 “教师”"));
}

TEST_F(Xlsx, HostileBooksEndInAMessageAndNothingRead)
{
    Parts missing = GoodBook();
    missing.erase(missing.begin() + 2); // the workbook's relationships
    Parts broken = GoodBook(Sheet("<x:row r=\"1\"><x:c r=\"A1\"><x:v>1</x:v></x:row>"));
    Parts farCell = GoodBook(Sheet("<x:row r=\"1048577\"><x:c r=\"A1048577\"><x:v>1</x:v></x:c></x:row>"));
    Parts wrongRow = GoodBook(Sheet("<x:row r=\"2\"><x:c r=\"A1\"><x:v>1</x:v></x:c></x:row>"));
    Parts badIndex = GoodBook(Sheet("<x:row r=\"1\"><x:c r=\"A1\" t=\"s\"><x:v>3</x:v></x:c></x:row>"));
    Parts badNumber = GoodBook(Sheet("<x:row r=\"1\"><x:c r=\"A1\"><x:v>1x</x:v></x:c></x:row>"));
    // a bomb: megabytes of one repeated row that deflate to a few kilobytes
    QByteArray rows;
    for (int r = 1; r <= 40000; ++r)
        rows += "<x:row r=\"" + QByteArray::number(r) + "\"><x:c r=\"A" + QByteArray::number(r) +
                "\"><x:v>1</x:v></x:c></x:row>";
    Parts bomb = GoodBook(Sheet(rows));
    XReadLimits small;
    small.maxPartBytes = 1 << 20;
    XReadLimits fewCells;
    fewCells.maxCells = 1000;

    struct Case
    {
        const char* name;
        Parts parts;
        XReadLimits limits;
        const char* message;
    } cases[] = {
        {"missing", missing, {}, "缺少文件部件 xl/_rels/workbook.xml.rels"},
        {"broken", broken, {}, "文件部件 xl/worksheets/sheet2.xml 不是格式正确的 XML"},
        {"farCell", farCell, {}, "行号 “1048577” 超出表格范围"},
        {"wrongRow", wrongRow, {}, "单元格引用 “A1” 无效或超出表格范围"},
        {"badIndex", badIndex, {}, "单元格 A1 引用的共享字符串 “3” 不存在"},
        {"badNumber", badNumber, {}, "单元格 A1 的数值 “1x” 无效"},
        {"bomb", bomb, small, "文件部件 xl/worksheets/sheet2.xml 解压后超过 1 MB"},
        {"cells", bomb, fewCells, "单元格数超过 1000"},
    };
    for (const Case& c : cases) {
        const QString path = Path(QString::fromLatin1(c.name) + QStringLiteral(".xlsx"));
        ASSERT_TRUE(WriteZip(path, c.parts));
        XSheet sheet;
        sheet.Set(0, 0, XCell{XCell::Text, false, 0, QStringLiteral("left over")});
        QString error;
        EXPECT_FALSE(ReadXlsxFile(path, sheet, &error, QStringLiteral("学员"), c.limits)) << c.name;
        EXPECT_EQ(error, QString::fromUtf8(c.message)) << c.name;
        EXPECT_EQ(sheet.CellCount(), 0) << c.name;
    }
    XSheet sheet;
    QString error;
    EXPECT_FALSE(ReadXlsxData(QByteArray("PK\x03\x04 not really"), sheet, &error));
    EXPECT_EQ(error, QStringLiteral("不是有效的 xlsx 表格文件"));
    const QString text = Path(QStringLiteral("plain.xls"));
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("no binary book here");
    f.close();
    EXPECT_FALSE(ReadSpreadsheet(text, sheet, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(Xlsx, OlderXlsBooksReadThroughTheirOwnReader)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed";
    const QString path = Path(QStringLiteral("old.xlsx"));
    XXlsxWriter w(path, false, QString(), 0);
    ASSERT_TRUE(w.AddSheet(QStringLiteral("名单")));
    w.WriteText(0, 0, QStringLiteral("张三"), XCellStyle{});
    w.WriteNumber(0, 1, 18, XCellStyle{});
    w.WriteNumber(0, 2, 46099, XCellStyle{-1, -1, -1, false, QStringLiteral("yyyy-mm-dd")});
    w.WriteNumber(0, 3, 2.5, XCellStyle{});
    ASSERT_TRUE(w.Close());
    QProcess p;
    p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + Path(QStringLiteral("profile")),
                      QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("xls"),
                      QStringLiteral("--outdir"), m_dir.path(), path});
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_TRUE(QFile::rename(Path(QStringLiteral("old.xls")), Path(QStringLiteral("OLD.XLS"))));
    XSheet sheet;
    QString error;
    ASSERT_TRUE(ReadSpreadsheet(Path(QStringLiteral("OLD.XLS")), sheet, &error)) << error.toStdString();
    EXPECT_EQ(sheet.m_strName, QStringLiteral("名单"));
    EXPECT_EQ(sheet.Text(0, 0), QStringLiteral("张三"));
    EXPECT_EQ(sheet.Text(0, 1), QStringLiteral("18"));
    double v = 0;
    ASSERT_TRUE(sheet.Number(0, 2, &v));
    EXPECT_EQ(v, 46099);
    EXPECT_TRUE(sheet.At(0, 2)->date);
    EXPECT_EQ(sheet.Text(0, 3), QStringLiteral("2.5"));
}
