// The list written to a spreadsheet: the layout checked in the file's own XML (merged group
// rows, fills by status and parity, number formats, grey empty texts), and how the written
// file is opened.
#include "CDBSetup.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "DbTestSupport.h"
#include "TestListRecord.h"
#include "TestSupport.h"
#include "XListModel.h"
#include "XOpenWith.h"
#include "XSheetReader.h"
#include "XUi.h"

#include <minizip/unzip.h>

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRegularExpression>

#include <gtest/gtest.h>

namespace {

using Lessons = CXArrayT<CTestLesson>;

QString Part(const QString& path, const char* name)
{
    unzFile zip = unzOpen(QFile::encodeName(path).constData());
    QByteArray out;
    if (zip && unzLocateFile(zip, name, 1) == UNZ_OK && unzOpenCurrentFile(zip) == UNZ_OK) {
        char buf[8192];
        int n = 0;
        while ((n = unzReadCurrentFile(zip, buf, sizeof buf)) > 0)
            out.append(buf, n);
        unzCloseCurrentFile(zip);
    }
    if (zip)
        unzClose(zip);
    return QString::fromUtf8(out);
}

QStringList Elements(const QString& xml, const QString& parent, const QString& child)
{
    const qsizetype from = xml.indexOf(u'<' + parent);
    const qsizetype to = xml.indexOf(QStringLiteral("</") + parent, from);
    QStringList out;
    if (from < 0 || to < 0)
        return out;
    const QString block = xml.mid(from, to - from);
    QRegularExpression re(QStringLiteral("<%1\\b[^>]*?/>|<%1\\b[^>]*>.*?</%1>").arg(child));
    for (auto it = re.globalMatch(block); it.hasNext();)
        out << it.next().captured(0);
    return out;
}

QString Attr(const QString& element, const QString& name)
{
    const QRegularExpression re(QStringLiteral("\\b%1=\"([^\"]*)\"").arg(name));
    return re.match(element).captured(1);
}

// What a cell of the written sheet looks like, resolved through the book's styles.
struct CellLook
{
    QString value;  // <v> or inline text
    QString type;   // the t attribute
    QString fill;   // ARGB of the solid fill, empty when none
    QString font;   // ARGB of the font colour, empty for the default
    QString numFmt; // the custom number format, empty for general
    QString halign; // horizontal alignment, empty for general
};

class Book
{
public:
    explicit Book(const QString& path)
        : sheet(Part(path, "xl/worksheets/sheet1.xml")), styles(Part(path, "xl/styles.xml"))
    {
        xfs = Elements(styles, QStringLiteral("cellXfs"), QStringLiteral("xf"));
        fills = Elements(styles, QStringLiteral("fills"), QStringLiteral("fill"));
        fonts = Elements(styles, QStringLiteral("fonts"), QStringLiteral("font"));
        for (const QString& f : Elements(styles, QStringLiteral("numFmts"), QStringLiteral("numFmt")))
            numFmts.insert(Attr(f, QStringLiteral("numFmtId")).toInt(), Attr(f, QStringLiteral("formatCode")));
    }
    CellLook Look(const QString& ref) const
    {
        const QRegularExpression re(QStringLiteral("<c r=\"%1\"[^>]*?(?:/>|>.*?</c>)").arg(ref));
        const QString c = re.match(sheet).captured(0);
        CellLook look;
        look.type = Attr(c, QStringLiteral("t"));
        const QRegularExpression v(QStringLiteral("<(?:v|t)>([^<]*)</(?:v|t)>"));
        look.value = v.match(c).captured(1);
        const QString xf = xfs.value(Attr(c, QStringLiteral("s")).toInt());
        const QString fill = fills.value(Attr(xf, QStringLiteral("fillId")).toInt());
        if (fill.contains(QLatin1String("solid")))
            look.fill = Attr(fill.mid(fill.indexOf(QLatin1String("fgColor"))), QStringLiteral("rgb"));
        const QString font = fonts.value(Attr(xf, QStringLiteral("fontId")).toInt());
        if (font.contains(QLatin1String("<color rgb")))
            look.font = Attr(font.mid(font.indexOf(QLatin1String("<color"))), QStringLiteral("rgb"));
        look.numFmt = numFmts.value(Attr(xf, QStringLiteral("numFmtId")).toInt());
        look.halign = Attr(xf.mid(xf.indexOf(QLatin1String("<alignment"))), QStringLiteral("horizontal"));
        return look;
    }
    QString sheet, styles;
    QStringList xfs, fills, fonts;
    QMap<int, QString> numFmts;
};

// Records what would have been started.
struct StartRecorder
{
    StartRecorder()
    {
        previous = g_startDetached.Install([this](const QString& program, const QStringList& args) {
            started << (program + u' ' + args.join(u' '));
            return succeed;
        });
    }
    ~StartRecorder() { g_startDetached.Install(previous); }
    QStringList started;
    bool succeed = true;
    std::function<bool(const QString&, const QStringList&)> previous;
};

class ListExport : public ::testing::Test
{
protected:
    void SetUp() override
    {
        XClock::SetFixed(XDateTime(2026, 3, 18, 9, 5));
        m_previousSetup = SetCurrentSetup(&m_setup);
        m_setup.m_nOpenWithXls = 0;
        // an empty date shows as the field's empty text
        m_dateHead = CTestLesson::StaticHeads()->GetAt(H_DATE);
        m_savedEmpty = m_dateHead->m_strEmpty;
        m_dateHead->m_strEmpty = QStringLiteral("未排课");
        m_list.resize(640, 300);
        m_list.setWindowTitle(QStringLiteral("课程/安排"));
    }
    void TearDown() override
    {
        m_dateHead->m_strEmpty = m_savedEmpty;
        SetCurrentSetup(m_previousSetup);
        XClock::Reset();
    }
    void Add(const QString& name, int state, double fee, double day, int level = 0)
    {
        auto* lesson = new CTestLesson(name, state, fee, day);
        if (level)
            lesson->AddStatusText(level, nullptr, QStringLiteral("提示"));
        m_items.AddAdopted(lesson);
    }
    QString Export()
    {
        QString path;
        m_list.OpenInExcel(path);
        return path;
    }

    TempDatabase m_db;
    CDBSetup m_setup;
    CDBSetup* m_previousSetup = nullptr;
    CHead* m_dateHead = nullptr;
    QString m_savedEmpty;
    Lessons m_items;
    CXListCtrl m_list;
    XUiTestHooks m_ui;
    StartRecorder m_starts;
};

} // namespace

TEST_F(ListExport, GroupedListWritesMergedGroupRowsStatusFillsAndTypedCells)
{
    Add(QStringLiteral("钢琴"), 1, 100, 46099);
    Add(QStringLiteral("美术"), 0, 50, 0);
    Add(QStringLiteral("声乐"), 1, 250.5, 46100, ST_WARN);
    Add(QStringLiteral("书法"), 1, 80, 46101, ST_STOP);
    m_list.m_bGroupable = 1;
    m_list.m_nGroupHead = H_STATE;
    m_list.SetItems(&m_items, CTestLesson::StaticHeads(), 0, 0);
    m_list.UpdateGroups();
    ASSERT_TRUE(m_list.IsGroupView());

    const QString path = Export();
    // the caption's "/" would make a folder of the file name
    EXPECT_EQ(path, m_db.Home() + QStringLiteral("/Temp/课程_安排202603180905.xlsx"));
    ASSERT_TRUE(QFileInfo::exists(path));
    ASSERT_EQ(m_ui.Calls(QStringLiteral("Shell")).size(), 1u); // OpenWithXls 0: the desktop's program
    EXPECT_EQ(m_ui.Calls(QStringLiteral("Shell"))[0].text, path);

    const Book book(path);
    const int columns = m_list.GetColumnCount();
    const QString lastColumn = CellRef(0, columns - 1).chopped(1);
    // header, group 启用 (3 rows), group 停用 (1 row): group rows at 2 and 6, merged over every column
    EXPECT_TRUE(book.sheet.contains(QStringLiteral("<mergeCell ref=\"A2:%1\"/>").arg(lastColumn + u'2')));
    EXPECT_TRUE(book.sheet.contains(QStringLiteral("<mergeCell ref=\"A6:%1\"/>").arg(lastColumn + u'6')));
    EXPECT_TRUE(book.sheet.contains(QLatin1String("<pane ySplit=\"1\" topLeftCell=\"A2\"")));
    EXPECT_TRUE(book.sheet.contains(QLatin1String("showGridLines=\"0\"")));
    EXPECT_TRUE(book.sheet.contains(QLatin1String("ht=\"18\" customHeight=\"1\"")));

    const CellLook header = book.Look(QStringLiteral("C1"));
    EXPECT_EQ(header.fill, QStringLiteral("FFF0F0F0"));
    EXPECT_EQ(header.halign, QStringLiteral("right")); // the fee column aligns right
    const CellLook group = book.Look(QStringLiteral("A2"));
    EXPECT_EQ(group.font, QStringLiteral("FF304080"));
    EXPECT_TRUE(group.fill.isEmpty());

    // rows of the first group: plain even, warned odd (x 98 %), stopped even
    EXPECT_EQ(book.Look(QStringLiteral("A3")).fill, QStringLiteral("FFFFFFFF"));
    EXPECT_EQ(book.Look(QStringLiteral("A4")).fill, QStringLiteral("FFF9F99C"));
    EXPECT_EQ(book.Look(QStringLiteral("A5")).fill, QStringLiteral("FFFFA0A0"));
    EXPECT_EQ(book.Look(QStringLiteral("A7")).fill, QStringLiteral("FFFFFFFF")); // parity restarts per group

    // the fee is a number with the column's format; the state option is its text
    const CellLook fee = book.Look(QStringLiteral("C4"));
    EXPECT_EQ(fee.type, QString());
    EXPECT_EQ(fee.value, QStringLiteral("250.5"));
    EXPECT_EQ(fee.numFmt, QStringLiteral("¥0.00"));
    const CellLook state = book.Look(QStringLiteral("B3"));
    EXPECT_EQ(state.type, QStringLiteral("s"));
    EXPECT_TRUE(Part(path, "xl/sharedStrings.xml").contains(QStringLiteral("<t>启用</t>")));
    // a date is its serial day; an empty date is the grey empty text, not a number
    EXPECT_EQ(book.Look(QStringLiteral("D3")).value, QStringLiteral("46099"));
    EXPECT_EQ(book.Look(QStringLiteral("D3")).numFmt, QStringLiteral("yyyy-m-d")); // from "%Y-%m-%d"
    const CellLook empty = book.Look(QStringLiteral("D7"));
    EXPECT_EQ(empty.type, QStringLiteral("s"));
    EXPECT_EQ(empty.font, QStringLiteral("FF6D6D6D"));
    XSheet sheet;
    QString error;
    ASSERT_TRUE(ReadXlsxFile(path, sheet, &error)) << error.toStdString();
    EXPECT_EQ(sheet.m_strName, QStringLiteral("课程_安排"));
    EXPECT_EQ(sheet.Text(6, 3), QStringLiteral("未排课"));
    EXPECT_TRUE(sheet.Text(1, 0).startsWith(m_list.Model()->GroupAt(0).header + u' ' + QString(200, QChar(0x2014))));
}

TEST_F(ListExport, FlatListAlternatesOverTheWholeListAndSameMinuteOverwrites)
{
    for (int i = 0; i < 4; ++i)
        Add(QStringLiteral("课%1").arg(i), i % 2, 10 * i, 46099 + i, i == 1 ? ST_WARN : 0);
    m_list.m_bGroupable = 0;
    m_list.SetItems(&m_items, CTestLesson::StaticHeads(), 0, 0);
    m_list.OnListCommand(ID_XCTRL_STCOLOR); // status colours off: plain colours only
    ASSERT_EQ(m_list.m_bStatusColor, 0);
    const QString path = Export();
    const Book book(path);
    EXPECT_FALSE(book.sheet.contains(QLatin1String("mergeCell")));
    EXPECT_EQ(book.Look(QStringLiteral("A2")).fill, QStringLiteral("FFFFFFFF"));
    EXPECT_EQ(book.Look(QStringLiteral("A3")).fill, QStringLiteral("FFF9F9F9"));
    EXPECT_EQ(book.Look(QStringLiteral("A4")).fill, QStringLiteral("FFFFFFFF"));
    EXPECT_EQ(book.Look(QStringLiteral("A2")).value, QStringLiteral("课0")); // constant memory: inline text

    m_items.RemoveAt(3);
    m_list.SetItems(&m_items, CTestLesson::StaticHeads(), 0, 0);
    EXPECT_EQ(Export(), path); // the same minute: the same file, written over
    XSheet sheet;
    ASSERT_TRUE(ReadXlsxFile(path, sheet, nullptr));
    EXPECT_EQ(sheet.LastRow(), 3);
}

TEST_F(ListExport, EmptyListWritesNothing)
{
    m_list.SetItems(&m_items, CTestLesson::StaticHeads(), 0, 0);
    EXPECT_TRUE(Export().isEmpty());
    EXPECT_TRUE(m_ui.calls.empty());
}

TEST_F(ListExport, WrittenFileOpensByThePreference)
{
    const QString path = m_db.Home() + QStringLiteral("/Temp/x.xlsx");
    struct Case
    {
        int openWith;
        bool starts;
        const char* started; // the first program started
        bool shell;          // the desktop's program opened the file
        bool message;        // a failure message
    } cases[] = {
        {0, true, "", true, false},
        {1, true, "libreoffice --calc", false, false},
        {2, true, "et", false, false},
        {3, true, "dbus-send", false, false},
        {1, false, "libreoffice --calc", true, true}, // cannot start: message, then the folder
        {7, true, "dbus-send", false, true},          // no such choice: message, then the folder
    };
    for (const Case& c : cases) {
        m_ui.Clear();
        m_starts.started.clear();
        m_starts.succeed = c.starts;
        m_ui.answer = IDOK;
        OpenWrittenFile(nullptr, path, c.openWith);
        const QString first = m_starts.started.value(0);
        if (*c.started)
            EXPECT_TRUE(first.startsWith(QString::fromUtf8(c.started))) << c.openWith << " " << first.toStdString();
        else
            EXPECT_TRUE(m_starts.started.isEmpty()) << c.openWith;
        if (c.openWith == 3)
            EXPECT_TRUE(first.contains(QLatin1String("ShowItems array:string:file://"))) << first.toStdString();
        EXPECT_EQ(!m_ui.Calls(QStringLiteral("Shell")).empty(), c.shell) << c.openWith;
        const auto boxes = m_ui.Calls(QStringLiteral("MessageBox"));
        ASSERT_EQ(!boxes.empty(), c.message) << c.openWith;
        if (c.message)
            EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("打开 “%1” 失败！\r\n").arg(path)));
    }
}
