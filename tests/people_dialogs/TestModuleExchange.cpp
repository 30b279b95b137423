// The module's spreadsheet exchange on the students of the fixture school: a round trip
// through the office suite into a fresh database, the import command with its preview and
// one transaction, and the cell reader's rules.
#include "CDBStudent.h"
#include "CDBStudentAccount.h"
#include "CDlgImportInfo.h"
#include "CFakeAppServices.h"
#include "CModuleCommands.h"
#include "CXMap.h"
#include "CommandIds.h"
#include "FixtureSchool.h"
#include "ModuleExchange.h"
#include "OpenDatabase.h"
#include "XSheetReader.h"
#include "XUi.h"
#include "XXlsxWriter.h"

#include <minizip/unzip.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QProcess>
#include <QtCore/QStandardPaths>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

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

// The exchanged value of a column as text: the record's field or its list's first line's.
QString Exchanged(const CXItem& item, const XExchangeColumn& column)
{
    const CXItem* source = &item;
    if (column.array) {
        const auto& lines = item.Member<CXArray>(column.array->m_nOffset);
        if (lines.IsEmpty())
            return QString();
        source = lines.GetAt(0);
    }
    return source->FormatText(column.head, false, false, false);
}

class ModuleExchange : public SchoolTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
        CFakeAppServices::Installed().user = &FixtureUser();
        m_students = FindModule(MDU_STUDENT);
        ASSERT_NE(m_students, nullptr);
    }
    void TearDown() override
    {
        CFakeAppServices::Installed().user = nullptr;
        SchoolTest::TearDown();
    }
    QString Path(const QString& name) const { return m_dir.filePath(name); }
    int StudentCount() const
    {
        return static_cast<int>(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_STUDENT")));
    }

    CModule* m_students = nullptr;
    QTemporaryDir m_dir;
    XUiTestHooks m_ui;
};

} // namespace

TEST_F(ModuleExchange, StudentsRoundTripThroughTheOfficeSuiteIntoAFreshDatabase)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed";
    CXArray students(nullptr, true);
    ASSERT_TRUE(m_students->QueryItems(students, CXMap(), false, false));
    ASSERT_GE(students.GetSize(), 6);
    std::vector<const CXItem*> items(students.begin(), students.end());
    const std::vector<XExchangeColumn> columns = ExchangeColumns(*items.front());
    QStringList captions;
    for (const XExchangeColumn& c : columns)
        captions << c.caption;
    ASSERT_TRUE(captions.contains(QStringLiteral("姓名"))) << captions.join(u',').toStdString();
    ASSERT_TRUE(captions.contains(QStringLiteral("手机>号码"))) << captions.join(u',').toStdString();
    // a phone list with two lines exchanges its first only
    auto* first = static_cast<CDBStudent*>(students.GetAt(0));
    const int phones = first->m_accounts.GetSize();
    ASSERT_GE(phones, 1);

    // the list's help text becomes the comment on its header
    CHead* phoneHead = CDBStudent::StaticHeads()->FindByCaption(QStringLiteral("手机"));
    ASSERT_NE(phoneHead, nullptr);
    const QString savedHelp = phoneHead->m_strMemo;
    phoneHead->m_strMemo = QStringLiteral("学员登录用的手机号");
    QString error;
    const QString exported = Path(QStringLiteral("exported.xlsx"));
    const bool written = ExportItems(*m_students, items, exported, &error);
    phoneHead->m_strMemo = savedHelp;
    ASSERT_TRUE(written) << error.toStdString();
    const QString comments = Part(exported, "xl/comments1.xml");
    EXPECT_TRUE(comments.contains(QStringLiteral("学员登录用的手机号"))) << comments.left(300).toStdString();
    EXPECT_TRUE(Part(exported, "xl/drawings/vmlDrawing1.vml").contains(QLatin1String("width:96.75pt;height:56.25pt")));

    QDir().mkpath(Path(QStringLiteral("out")));
    QProcess p;
    p.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + Path(QStringLiteral("profile")),
                      QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("xlsx"),
                      QStringLiteral("--outdir"), Path(QStringLiteral("out")), exported});
    ASSERT_TRUE(p.waitForFinished(180000));
    const QString converted = Path(QStringLiteral("out/exported.xlsx"));
    ASSERT_TRUE(QFile::exists(converted)) << p.readAllStandardError().toStdString();

    std::vector<std::vector<QString>> expected;
    for (const CXItem* item : items) {
        expected.emplace_back();
        for (const XExchangeColumn& c : columns)
            expected.back().push_back(Exchanged(*item, c));
    }

    TempDatabase fresh;
    CXDBSession session;
    session.Connect();
    ASSERT_TRUE(MarkWritableColumns(session));
    CXArray imported(nullptr, true);
    std::map<const CXItem*, QStringList> warnings;
    ASSERT_TRUE(ReadImportFile(*m_students, converted, imported, warnings, &error)) << error.toStdString();
    ASSERT_EQ(imported.GetSize(), static_cast<int>(items.size()));
    ASSERT_TRUE(SaveImportedItems(*m_students, imported, FixtureUser(), QStringLiteral("导入")));

    CXArray back(nullptr, true);
    ASSERT_TRUE(m_students->QueryItems(back, CXMap(), false, false));
    ASSERT_EQ(back.GetSize(), static_cast<int>(items.size()));
    std::vector<const CXItem*> saved(back.begin(), back.end()); // in the order imported
    std::sort(saved.begin(), saved.end(), [](const CXItem* a, const CXItem* b) { return a->m_nID < b->m_nID; });
    for (std::size_t i = 0; i < saved.size(); ++i) {
        for (std::size_t c = 0; c < columns.size(); ++c)
            EXPECT_EQ(Exchanged(*saved[i], columns[c]), expected[i][c])
                << "record " << i << " column " << columns[c].caption.toStdString();
        // no more than the first line of a list comes back
        EXPECT_LE(static_cast<const CDBStudent*>(saved[i])->m_accounts.GetSize(), 1);
    }
    EXPECT_EQ(static_cast<const CDBStudent*>(saved[0])->m_accounts.GetSize(), 1);
}

TEST_F(ModuleExchange, ImportCommandSavesTheRowsWithoutErrorsInOneGo)
{
    // ten rows: two without a name stop in the preview, the other eight are imported
    CXArray rows(nullptr, true);
    for (int i = 0; i < 10; ++i) {
        auto* s = new CDBStudent;
        s->m_strRealName = (i == 3 || i == 7) ? QString() : QStringLiteral("新生%1").arg(i);
        s->m_nSex = i % 2;
        s->m_dtBirthday = XDateTime(2015, 1, 1 + i);
        s->m_strMemo = QStringLiteral("备注%1").arg(i);
        rows.AddAdopted(s);
    }
    std::vector<const CXItem*> items(rows.begin(), rows.end());
    const QString path = Path(QStringLiteral("ten.xlsx"));
    QString error;
    ASSERT_TRUE(ExportItems(*m_students, items, path, &error)) << error.toStdString();

    const int before = StudentCount();
    m_ui.fileName = path;
    int previewed = 0;
    QStringList problems;
    m_ui.onModal = [&](QDialog* d) -> int {
        auto* dlg = dynamic_cast<CDlgImportInfo*>(d);
        if (!dlg)
            return IDCANCEL;
        previewed = dlg->m_items.GetSize();
        dlg->resize(760, 420);
        dlg->show();
        QApplication::processEvents();
        for (const CXItem* item : dlg->m_items)
            problems << item->GetStatusText();
        if (const char* out = std::getenv("LORVAN_SHOT")) // a look at the preview when asked for
            dlg->grab().save(QString::fromLocal8Bit(out));
        qobject_cast<QAbstractButton*>(dlg->GetDlgItem(IDOK))->click();
        return dlg->result();
    };
    ModuleCommands(*m_students).OnFileImport();
    EXPECT_EQ(previewed, 10);
    const auto boxes = m_ui.Calls(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("共导入 8 名学员！")) << problems.join(u'\n').toStdString();
    EXPECT_EQ(StudentCount(), before + 8);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT Sex || '|' || RecordMemo FROM TB_STUDENT WHERE RealName = '新生5'")),
              QStringLiteral("1|备注5"));
    const double birthday = QueryNumber(QStringLiteral("SELECT Birthday FROM TB_STUDENT WHERE RealName = '新生5'"));
    EXPECT_EQ(birthday, XDateTime(2015, 1, 6).Day());

    // a save that fails rolls the whole import back and says so
    CXArray more(nullptr, true);
    for (const char* name : {"补录一", "补录二", "补录三"}) {
        auto* s = new CDBStudent;
        s->m_strRealName = QString::fromUtf8(name);
        more.AddAdopted(s);
    }
    ASSERT_TRUE(ExportItems(*m_students, std::vector<const CXItem*>(more.begin(), more.end()), path, &error));
    m_ui.Clear();
    ASSERT_TRUE(Exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON TB_STUDENT WHEN NEW.RealName = '补录三' "
                                    "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    {
        ErrorCapture errors;
        ModuleCommands(*m_students).OnFileImport();
        EXPECT_FALSE(errors.reports.empty());
    }
    const auto failed = m_ui.Calls(QStringLiteral("MessageBox"));
    ASSERT_FALSE(failed.empty());
    EXPECT_EQ(failed.back().text, QStringLiteral("导入时出现错误，没有学员被导入！"));
    EXPECT_EQ(StudentCount(), before + 8);

    // a file that is no book: the reader's reason, nothing imported
    m_ui.Clear();
    QFile junk(Path(QStringLiteral("junk.XLSX")));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a book");
    junk.close();
    m_ui.fileName = junk.fileName();
    ModuleCommands(*m_students).OnFileImport();
    const auto opened = m_ui.Calls(QStringLiteral("MessageBox"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].text.startsWith(QStringLiteral("打开 “%1” 失败！\r\n").arg(junk.fileName())));
    EXPECT_EQ(StudentCount(), before + 8);
}

TEST_F(ModuleExchange, CellsAreReadByTheirFieldsType)
{
    // a record of the cell reader's own, with a field of each kind
    struct Row : public CXItem
    {
        int option = 0, count = 0, span = 0;
        double money = 0;
        XDateTime date;
        QString text;
    };
    CHeads heads;
    const QString none;
    CHead* option = heads.AddMemberHead({}, QStringLiteral("Sex"), XIN, XOFFSET(Row, option), QStringLiteral("男|女"),
                                        none, 0, 0, 0, none);
    CHead* count = heads.AddMemberHead({}, QStringLiteral("人数"), XIN, XOFFSET(Row, count), none, none, 0, 0, 0, none);
    CHead* money = heads.AddMemberHead({}, QStringLiteral("金额"), XNU, XOFFSET(Row, money), none, none, 0, 0, 0, none);
    CHead* date = heads.AddMemberHead({}, QStringLiteral("日期"), XDT, XOFFSET(Row, date), none, none, 0, 0, 0, none);
    CHead* span = heads.AddMemberHead({}, QStringLiteral("时间"), XTS, XOFFSET(Row, span), none, none, 0, 0, 0, none);
    CHead* text = heads.AddMemberHead({}, QStringLiteral("备注"), XSW, XOFFSET(Row, text), none, none, 0, 0, 0, none);

    XSheet sheet;
    const QStringList header = {QStringLiteral("SEX"),  QStringLiteral("人数"), QStringLiteral("金额"),
                                QStringLiteral("日期"), QStringLiteral("时间"), QStringLiteral("备注"),
                                QStringLiteral("sex")};
    for (int c = 0; c < header.size(); ++c)
        sheet.Set(0, c, XCell{XCell::Text, false, 0, header[c]});
    auto text_ = [](const char* t) { return XCell{XCell::Text, false, 0, QString::fromUtf8(t)}; };
    auto number = [](double v) { return XCell{XCell::Number, false, v, NumberText(v)}; };
    struct Case
    {
        CHead* head;
        XCell cell;
        const char* expected; // the field's value after reading, as text
        const char* warning;  // empty: none
    } cases[] = {
        {option, text_("女"), "1", ""},
        {option, text_("男"), "0", ""},
        {option, text_("未知"), "0", ""},
        {count, number(18), "18", ""},
        {count, number(2.6), "3", "“人数” 的值 2.6 不是整数，按 3 导入。"},
        {count, text_("十八"), "-1", "“人数” 的值 “十八” 不是数字。"},
        {money, number(12.5), "12.5", ""},
        {date, number(46099), "46099", ""},
        {date, text_("2026-03-18"), "46099", ""},
        {date, XCell{}, "-1", ""}, // an empty cell leaves the default
        {span, text_("8:30～10:00"), "8301000", ""},
        {span, text_("8:30~10:00"), "8301000", ""},
        {span, text_("8:30-10:00"), "-1", "“时间” 的格式应为 “00:00～00:00”。"},
        {text, text_("  钢琴 "), "钢琴", ""},
    };
    for (const Case& c : cases) {
        Row row;
        row.option = row.count = row.span = -1;
        row.money = -1;
        row.date = XDateTime(-1.0);
        row.text = QStringLiteral("-1");
        int column = 0; // the first header equal but for case
        while (header[column].compare(c.head->m_strName, Qt::CaseInsensitive) != 0)
            ++column;
        sheet.Set(1, column, c.cell);
        QStringList messages;
        ReadExcelCell(XImportSheet(sheet), 1, row, c.head, c.head->m_strName, messages);
        QString value;
        if (c.head == option)
            value = QString::number(row.option);
        else if (c.head == count)
            value = QString::number(row.count);
        else if (c.head == money)
            value = QString::number(row.money);
        else if (c.head == date)
            value = QString::number(row.date.Day());
        else if (c.head == span)
            value = QString::number(row.span);
        else
            value = row.text;
        EXPECT_EQ(value, QString::fromUtf8(c.expected)) << c.cell.text.toStdString();
        EXPECT_EQ(messages.join(u'\n'), QString::fromUtf8(c.warning)) << c.cell.text.toStdString();
    }
}

TEST_F(ModuleExchange, CommandsNeedTheAddRightAndExportAListedRecord)
{
    struct Probe : public XCmdUI
    {
        void Enable(bool on) override { enabled = on; }
        bool enabled = false;
    };
    auto state = [this](int id) {
        Probe ui;
        ui.m_nID = id;
        EXPECT_TRUE(ModuleCommands(*m_students).OnCmdMsg(id, XCN_UPDATE, &ui));
        return ui.enabled;
    };
    EXPECT_TRUE(state(ID_FILE_IMPORT));
    EXPECT_FALSE(state(ID_FILE_EXPORT)); // no window lists a record

    // an operator granted queries on students only
    std::unique_ptr<CXItem> op(FixtureUser().CopyTo(nullptr));
    op->m_nRightRole = 1;
    CXMap rights;
    rights.SetText(MDU_STUDENT, QString::number(RIGHT_QRY));
    op->m_strRightData = rights.ToXml();
    CFakeAppServices::Installed().user = op.get();
    EXPECT_FALSE(state(ID_FILE_IMPORT));
    rights.SetText(MDU_STUDENT, QString::number(RIGHT_QRY | RIGHT_ADD));
    op->m_strRightData = rights.ToXml();
    EXPECT_TRUE(state(ID_FILE_IMPORT));
    CFakeAppServices::Installed().user = &FixtureUser();
}
