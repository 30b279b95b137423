// Print jobs: printer lookup and choice, the template's checks, the queued PDF and its
// settings, and the print log written only for a print that happened.
#include "CDBCollect.h"
#include "CXPrintTask.h"
#include "FormatString.h"
#include "PrintTestSupport.h"
#include "TestSupport.h"
#include "XPdfFileCatalog.h"

#include <gtest/gtest.h>

#include <QtCore/QTemporaryDir>

#include <thread>

namespace {

class ScriptedUi : public XPrintTaskUi
{
public:
    bool ChoosePrinter(QString& printer) override
    {
        ++chooserShown;
        printer = choice;
        return !choice.isEmpty();
    }
    bool ConfirmWarnings(const QString&, const QString& text) override
    {
        warnings << text;
        return confirm;
    }
    void ShowError(const QString&, const QString& text) override { errors << text; }
    bool ShowPreview(std::unique_ptr<CXPrintView> view, const QString&) override
    {
        previewPages = view->GetPageCount();
        return true;
    }
    QString choice;
    bool confirm = true;
    int chooserShown = 0;
    int previewPages = -1;
    QStringList warnings, errors;
};

class PrintJob : public PrintSchoolTest
{
protected:
    void SetUp() override
    {
        PrintSchoolTest::SetUp();
        m_catalog = std::make_unique<XPdfFileCatalog>(m_out.path());
        m_templ = BuiltIn(450, MDU_COLLECT);
        m_collect = ReadCollect(m_school.c1);
    }
    void TearDown() override
    {
        m_catalog.reset();
        PrintSchoolTest::TearDown();
    }
    static std::unique_ptr<CDBCollect> ReadCollect(int id)
    {
        CXArray items(nullptr, false);
        CXMap query;
        query.SetText(QKEY_IDS, QString::number(id));
        EXPECT_TRUE(FindModule(MDU_COLLECT)->QueryItems(items, query, false, true));
        return std::unique_ptr<CDBCollect>(static_cast<CDBCollect*>(items.GetAt(0)));
    }
    int PrintRows() const
    {
        return QueryText(FormatString(u"SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%d AND MduID=%d AND ItemID=%d",
                                      OPER_PRT, MDU_COLLECT, m_school.c1))
            .toInt();
    }
    bool Print(ScriptedUi* ui, bool preview = false)
    {
        return CXPrintTask(m_templ.get(), m_collect.get(), false, preview, &FixtureUser(), ui).Run();
    }

    QTemporaryDir m_out;
    std::unique_ptr<XPdfFileCatalog> m_catalog;
    std::unique_ptr<CDBTempl> m_templ;
    std::unique_ptr<CDBCollect> m_collect;
};

TEST_F(PrintJob, PrintsOnThePrinterNamedInAnyCaseAndLogsIt)
{
    m_templ->m_strPrinter = QStringLiteral("office LASER");
    m_templ->m_nPrintCopies = 3;
    m_templ->m_nPrintDuplex = 1;
    ScriptedUi ui;
    ASSERT_TRUE(Print(&ui));
    EXPECT_EQ(ui.chooserShown, 0);
    ASSERT_EQ(m_catalog->jobs.size(), 1);
    const XPrintSettings& s = m_catalog->jobs[0].settings;
    EXPECT_EQ(s.copies, 3);
    EXPECT_EQ(s.duplex, 0); // one sheet: no duplex whatever the template asks
    EXPECT_EQ(s.title, QStringLiteral("普通收据T260001"));
    EXPECT_NEAR(s.paperWidth, 210.0, 0.01);
    EXPECT_TRUE(PdfText(m_catalog->jobs[0].pdf).contains(QStringLiteral("T260001")));
    EXPECT_EQ(PrintRows(), 1);
    // the job changed only its copy of the template
    EXPECT_EQ(m_templ->m_strPrinter, QStringLiteral("Office Laser"));
}

TEST_F(PrintJob, FailedPrintIsReportedNotLogged)
{
    m_templ->m_strPrinter = QStringLiteral("Office Laser");
    m_catalog->m_fail = true;
    ScriptedUi ui;
    ErrorCapture errors;
    EXPECT_FALSE(Print(&ui));
    ASSERT_EQ(errors.reports.size(), 1u);
    EXPECT_EQ(errors.reports[0].message, QStringLiteral("打印机脱机"));
    EXPECT_EQ(PrintRows(), 0);
}

TEST_F(PrintJob, PrinterChoiceAndWarnings)
{
    // no printer: the chooser; cancelling it ends the job
    ScriptedUi cancel;
    EXPECT_FALSE(Print(&cancel));
    EXPECT_EQ(cancel.chooserShown, 1);
    EXPECT_TRUE(m_catalog->jobs.isEmpty());

    // a virtual printer stays on the desktop, with its warning put to the user first
    m_templ->m_strPrinter = QStringLiteral("PDF Writer");
    ScriptedUi refuse;
    refuse.confirm = false;
    EXPECT_FALSE(Print(&refuse));
    ASSERT_EQ(refuse.warnings.size(), 1);
    EXPECT_TRUE(refuse.warnings[0].contains(QStringLiteral("打印机 “PDF Writer” 未安装或不是实体打印机！")));
    EXPECT_TRUE(m_catalog->jobs.isEmpty());

    // a disabled template on a good printer prints without a question
    m_templ->m_strPrinter = QStringLiteral("Office Laser");
    m_templ->m_bEnabled = 0;
    ScriptedUi quiet;
    EXPECT_TRUE(Print(&quiet));
    EXPECT_TRUE(quiet.warnings.isEmpty());

    // a paper larger than the printer's asks first
    m_templ->m_nPaperID = 0;
    m_templ->m_fPaperWidth = 297;
    m_templ->m_fPaperLength = 420;
    ScriptedUi asked;
    EXPECT_TRUE(Print(&asked));
    EXPECT_EQ(asked.warnings.size(), 1);
}

TEST_F(PrintJob, BackgroundJobsNeedAPhysicalPrinterAndNeverPreview)
{
    m_templ->m_strPrinter = QStringLiteral("PDF Writer");
    bool printed = true, previewed = true;
    std::vector<XErrorReport> reports;
    std::thread web([&] {
        ErrorCapture errors;
        printed = Print(nullptr);
        previewed = Print(nullptr, true);
        reports = errors.reports;
    });
    web.join();
    EXPECT_FALSE(printed);
    EXPECT_FALSE(previewed);
    ASSERT_EQ(reports.size(), 1u); // the preview is refused without a word
    EXPECT_EQ(reports[0].message, QStringLiteral("未设定实体打印机或设定的打印机未安装！"));
    EXPECT_TRUE(m_catalog->jobs.isEmpty());
    EXPECT_EQ(PrintRows(), 0);
}

TEST_F(PrintJob, PreviewHandsOverTheRenderedPagesAndLogsNothing)
{
    m_templ->m_strPrinter = QStringLiteral("Office Laser");
    ScriptedUi ui;
    ASSERT_TRUE(Print(&ui, true));
    EXPECT_EQ(ui.previewPages, 1);
    EXPECT_TRUE(m_catalog->jobs.isEmpty());
    EXPECT_EQ(PrintRows(), 0);
}

} // namespace
