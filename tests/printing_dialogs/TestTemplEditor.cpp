// The template's pages in their edit frame offscreen: the properties page, the content page
// with its sheet, built-in templates, RTF files in and out (read back by LibreOffice), the
// keyword chooser and a sample preview; and the template and printer choosers.
#include "CDBSetup.h"
#include "CDBTempl.h"
#include "CDlgEdit.h"
#include "CDlgEditTempl.h"
#include "CDlgEditTemplCtrl.h"
#include "CDlgEditTemplEx.h"
#include "CDlgSelKeyword.h"
#include "CDlgSelPrinter.h"
#include "CDlgSelTempl.h"
#include "CFakeAppServices.h"
#include "CXListCtrl.h"
#include "CXPrintView.h"
#include "CXRichEditCtrl.h"
#include "CommandIds.h"
#include "PrintTestSupport.h"
#include "RtfReader.h"
#include "XOpenWithRtf.h"
#include "XPdfFileCatalog.h"
#include "XPrintPreviewWindow.h"
#include "XUi.h"

#include <gtest/gtest.h>

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <QtCore/QStandardPaths>
#include <QtCore/QProcess>
#include <QtCore/QTemporaryDir>
#include <QtGui/QContextMenuEvent>
#include <QtGui/QTextCursor>
#include <QtGui/QTextDocument>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QTabBar>

namespace {

void Pump()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

class TemplEditor : public PrintSchoolTest
{
protected:
    void SetUp() override
    {
        PrintSchoolTest::SetUp();
        CFakeAppServices::Installed().user = &FixtureUser();
        m_previousLauncher = RtfLauncher().Install([this](const XRtfLaunch& l) {
            m_launches.push_back(l);
            return m_launchWorks;
        });
    }
    void TearDown() override
    {
        RtfLauncher().Install(m_previousLauncher);
        m_frame.reset();
        CFakeAppServices::Installed().user = nullptr;
        PrintSchoolTest::TearDown();
    }

    // The template's frame with both pages, shown.
    CDlgEditTemplEx* Open(const CDBTempl& templ)
    {
        m_frame = std::make_unique<CDlgEdit>(templ.m_nID == 0, MDU_TEMPL, nullptr);
        m_frame->m_pages.push_back(new CDlgEditTempl(false, &templ));
        auto* content = new CDlgEditTemplEx;
        m_frame->m_pages.push_back(content);
        m_frame->Create();
        m_frame->resize(1000, 760);
        m_frame->show();
        Pump();
        return content;
    }
    CDBTempl& Record() { return *static_cast<CDBTempl*>(m_frame->GetItem()); }
    // The sheet's plain text.
    static QString Text(CDlgEditTemplEx& page) { return page.m_sheet->m_edit->toPlainText(); }

    XUiTestHooks m_ui;
    std::unique_ptr<CDlgEdit> m_frame;
    std::vector<XRtfLaunch> m_launches;
    bool m_launchWorks = true;
    std::function<bool(const XRtfLaunch&)> m_previousLauncher;
};

TEST(TemplSheet, PageEndsAndSheetSizeFollowPaperAndMargins)
{
    CDBTempl a4; // A4 portrait, 10 mm margins
    struct Case
    {
        int orientation, top, bottom, textHeight;
        int width;
        std::vector<int> ends;
        int height;
    };
    // 96 x 2970 / 254 = 1122, 96 x 200 / 254 = 75: a page holds 1047 px of text
    const Case cases[] = {
        {0, 10, 10, 0, 793, {1047}, 1047 + 75},
        {0, 10, 10, 1047, 793, {1047}, 1047 + 75},
        {0, 10, 10, 1048, 793, {1047, 2094}, 2094 + 75},
        // landscape: 96 x 2100 / 254 = 793 high, 1122 wide
        {1, 10, 10, 900, 1122, {793 - 75, 2 * (793 - 75)}, 2 * (793 - 75) + 75},
        // 25 + 15 mm: 96 x 400 / 254 = 151
        {0, 25, 15, 10, 793, {1122 - 151}, 1122 - 151 + 151},
    };
    for (const Case& c : cases) {
        a4.m_nOrientation = c.orientation;
        a4.m_nMarginTop = c.top;
        a4.m_nMarginBottom = c.bottom;
        const XTemplSheet sheet = TemplSheetGeometry(a4, 96, c.textHeight);
        EXPECT_EQ(sheet.width, c.width) << c.textHeight;
        EXPECT_EQ(sheet.pageEnds, c.ends) << c.textHeight;
        EXPECT_EQ(sheet.height, c.height) << c.textHeight;
    }
}

TEST(OpenWithRtf, EachPreferenceStartsItsProgram)
{
    const QString path = QStringLiteral("/tmp/收据.rtf");
    EXPECT_EQ(RtfLaunchFor(0, path).kind, XRtfLaunch::Desktop);
    EXPECT_EQ(RtfLaunchFor(1, path).alternatives, QStringList{QStringLiteral("libreoffice")});
    EXPECT_EQ(RtfLaunchFor(1, path).args, (QStringList{QStringLiteral("--writer"), path}));
    EXPECT_EQ(RtfLaunchFor(2, path).alternatives, QStringList{QStringLiteral("wps")});
    EXPECT_EQ(RtfLaunchFor(3, path).alternatives,
              (QStringList{QStringLiteral("libreoffice"), QStringLiteral("abiword")}));
    EXPECT_EQ(RtfLaunchFor(4, path).kind, XRtfLaunch::ShowInFolder);
    EXPECT_EQ(RtfLaunchFor(4, path).args, QStringList{path});
    EXPECT_EQ(RtfLaunchFor(5, path).kind, XRtfLaunch::None);
    EXPECT_EQ(RtfLaunchFor(-1, path).kind, XRtfLaunch::None);
}

TEST_F(TemplEditor, BuiltInTemplateReplacesTheTextAskingOnlyForAStoredTemplate)
{
    CDBTempl fresh;
    fresh.m_nTemplMduID = MDU_RECEIPT;
    CDlgEditTemplEx* page = Open(fresh);
    EXPECT_TRUE(Text(*page).isEmpty());
    EXPECT_FALSE(page->m_actions.value(ID_FILE_SAVE_AS)->isEnabled()); // nothing to save yet
    page->OnBuiltIn(IDR_RTF_SIGN_IN_SHEET);
    EXPECT_TRUE(m_ui.Calls(QStringLiteral("MessageBox")).empty()); // a new template asks nothing
    EXPECT_TRUE(Text(*page).contains(QStringLiteral("上课签到表")));
    EXPECT_TRUE(page->m_actions.value(ID_FILE_SAVE_AS)->isEnabled());
    EXPECT_TRUE(page->m_actions.value(IDC_PROOF_PREVIEW)->isEnabled());

    auto stored = BuiltIn(IDR_RTF_GENERAL_RECEIPT, MDU_COLLECT);
    stored->m_nID = 7;
    page = Open(*stored);
    EXPECT_TRUE(Text(*page).contains(QStringLiteral("合计人民币")));
    m_ui.answer = IDCANCEL;
    page->OnBuiltIn(IDR_RTF_SIGN_IN_SHEET);
    const auto asked = m_ui.Calls(QStringLiteral("MessageBox"));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text,
              QStringLiteral("确定要用以下内置打印模板替换当前打印模板吗？ \n\n适用报名收据的上课签到表打印模板"));
    EXPECT_EQ(asked[0].caption, QStringLiteral("打印模板"));
    EXPECT_TRUE(Text(*page).contains(QStringLiteral("合计人民币"))); // cancelled: unchanged
    m_ui.answer = IDOK;
    page->OnBuiltIn(IDR_RTF_SIGN_IN_SHEET);
    EXPECT_TRUE(Text(*page).contains(QStringLiteral("上课签到表")));
    // the frame's save takes the sheet's text into the template, byte for byte as built in
    page->UpdateData(true);
    EXPECT_EQ(Record().m_templ, LoadResourceBytes(IDR_RTF_SIGN_IN_SHEET, RT_RTF));
}

TEST_F(TemplEditor, AnRtfFileLoadsUpToItsFirstZeroByteAndAMissingOneSaysSo)
{
    CDBTempl fresh;
    CDlgEditTemplEx* page = Open(fresh);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cut.rtf"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("{\\rtf1\\ansi {\\fonttbl{\\f0 Arial;}}\\f0 before the zero}") + QByteArray(1, '\0') +
            QByteArray("{\\rtf1 after}"));
    f.close();
    m_ui.fileName = path;
    page->OnOpenRtf();
    EXPECT_EQ(Text(*page).trimmed(), QStringLiteral("before the zero"));
    EXPECT_FALSE(Record().m_templ.contains("after"));

    m_ui.fileName = dir.filePath(QStringLiteral("missing.rtf"));
    page->OnOpenRtf();
    const auto boxes = m_ui.Calls(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.startsWith(QStringLiteral("打开 “") + m_ui.fileName + QStringLiteral("” 失败！\r\n")));
    EXPECT_EQ(Text(*page).trimmed(), QStringLiteral("before the zero")); // unchanged
}

TEST_F(TemplEditor, InsertedKeywordReplacesTheSelectionAndStaysSelected)
{
    CDBTempl fresh;
    fresh.m_nTemplMduID = MDU_COLLECT;
    CDlgEditTemplEx* page = Open(fresh);
    page->OnBuiltIn(IDR_RTF_GENERAL_RECEIPT);
    CXRichEditCtrl* edit = page->m_sheet->m_edit;
    QTextCursor c = edit->document()->find(QStringLiteral("[交款人]"));
    ASSERT_FALSE(c.isNull());
    const int start = c.selectionStart();
    edit->setTextCursor(c);
    QStringList samples;
    m_ui.onModal = [&](QDialog* d) {
        auto* dlg = dynamic_cast<CDlgSelKeyword*>(d);
        if (!dlg)
            return int(IDCANCEL);
        dlg->show();
        Pump();
        CXListCtrl* list = dlg->m_list;
        int printer = -1;
        for (int i = 0; i < list->GetItemCount(); ++i) {
            samples << list->GetItemText(i, 0) + u'=' + list->GetItemText(i, 1);
            if (list->GetItemText(i, 0) == QStringLiteral("[打印人]"))
                printer = i;
        }
        dlg->grab().save(QStringLiteral("/tmp/templ-keywords.png"));
        EXPECT_GE(printer, 0);
        list->SelectOnly(printer);
        dlg->UpdateControls();
        qobject_cast<QPushButton*>(dlg->GetDlgItem(IDOK))->click();
        return dlg->result();
    };
    page->OnInsertKeyword();
    // the general receipt's row keywords have no sample; the printing user has his name
    EXPECT_TRUE(samples.contains(QStringLiteral("[content.[ID]]=..."))) << samples.join(u' ').toStdString();
    EXPECT_TRUE(samples.contains(QStringLiteral("[打印人]=") + FixtureUser().m_strName));
    EXPECT_TRUE(samples.contains(QStringLiteral("[BIGLOGO100]=...")));
    const QTextCursor now = edit->textCursor();
    EXPECT_EQ(now.selectedText(), QStringLiteral("[打印人]"));
    EXPECT_EQ(now.selectionStart(), start);
    EXPECT_FALSE(Text(*page).contains(QStringLiteral("[交款人]")));
    edit->undo(); // one step back
    EXPECT_TRUE(Text(*page).contains(QStringLiteral("[交款人]")));
}

// A right click on the text offers the toolbar's commands; the chosen one runs.
TEST_F(TemplEditor, ContextMenuOffersTheToolbarCommands)
{
    CDBTempl fresh;
    fresh.m_nTemplMduID = MDU_RECEIPT;
    CDlgEditTemplEx* page = Open(fresh);
    page->OnBuiltIn(IDR_RTF_SIGN_IN_SHEET);
    bool chooserShown = false;
    m_ui.onModal = [&](QDialog* d) {
        chooserShown = dynamic_cast<CDlgSelKeyword*>(d) != nullptr;
        return int(IDCANCEL);
    };
    m_ui.menuChoice = ID_TEMPL_INSERT_KEYWORD;
    CXRichEditCtrl* edit = page->m_sheet->m_edit;
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(50, 50), edit->mapToGlobal(QPoint(50, 50)));
    QCoreApplication::sendEvent(edit, &click);
    const auto menus = m_ui.Calls(QStringLiteral("Menu"));
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(menus[0].text, QStringLiteral("6")); // four commands and two separators
    EXPECT_TRUE(menus[0].caption.contains(QStringLiteral("插入关键词(&K)"))) << menus[0].caption.toStdString();
    EXPECT_TRUE(chooserShown);
}

TEST_F(TemplEditor, KeywordChooserWantsOneRow)
{
    CDlgSelKeyword dlg(MDU_RECEIPT);
    dlg.Create();
    dlg.show();
    Pump();
    ASSERT_GT(dlg.m_list->GetItemCount(), 12); // the receipt's fields and the 12 fixed ones
    qobject_cast<QPushButton*>(dlg.GetDlgItem(IDOK))->click();
    const auto balloons = m_ui.Calls(QStringLiteral("Balloon"));
    ASSERT_EQ(balloons.size(), 1u);
    EXPECT_EQ(balloons[0].text, QStringLiteral("请选择一个关键词！"));
    EXPECT_TRUE(dlg.m_strKeyword.isEmpty());
    EXPECT_TRUE(dlg.isVisible());
}

// What the editor saves opens in LibreOffice Writer with its text and its tables.
TEST_F(TemplEditor, SavedFileOpensInLibreOfficeWithTextAndTables)
{
    auto templ = BuiltIn(IDR_RTF_SIGN_IN_SHEET, MDU_RECEIPT);
    templ->m_nID = 3;
    templ->m_strName = QStringLiteral("签到表/三月");
    CDlgEditTemplEx* page = Open(*templ);
    // an edit, so the file is the editor's own writing, not the bytes it was given
    QTextCursor c = page->m_sheet->m_edit->document()->find(QStringLiteral("上课签到表"));
    ASSERT_FALSE(c.isNull());
    c.insertText(QStringLiteral("钢琴课签到表"));
    QTemporaryDir dir;
    m_ui.fileName = dir.filePath(QStringLiteral("签到表"));
    page->OnSaveAs();
    const auto saves = m_ui.Calls(QStringLiteral("Save"));
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_TRUE(saves[0].text.endsWith(QStringLiteral("/签到表_三月.rtf"))) << saves[0].text.toStdString();
    const QString path = m_ui.fileName + QStringLiteral(".rtf");
    ASSERT_TRUE(QFile::exists(path));
    // the preference 0: the desktop's program for the file
    ASSERT_EQ(m_launches.size(), 1u);
    EXPECT_EQ(m_launches[0].kind, XRtfLaunch::Desktop);
    EXPECT_EQ(m_launches[0].args, QStringList{path});

    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    QProcess lo;
    lo.setWorkingDirectory(dir.path());
    lo.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
                       QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("html"),
                       QStringLiteral("--outdir"), dir.path(), path});
    ASSERT_TRUE(lo.waitForFinished(180000));
    lo.start(soffice, {QStringLiteral("-env:UserInstallation=file://") + dir.filePath(QStringLiteral("profile")),
                       QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                       QStringLiteral("txt:Text (encoded):UTF8"), QStringLiteral("--outdir"), dir.path(), path});
    ASSERT_TRUE(lo.waitForFinished(180000));
    QFile txt(dir.filePath(QStringLiteral("签到表.txt")));
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly)) << lo.readAllStandardError().toStdString();
    const QString text = QString::fromUtf8(txt.readAll());
    for (const char* expected : {"钢琴课签到表", "[学员]", "[课程]", "序号", "学员签名", "老师签名", "[ID]",
                                 "第 [PAGENUM] 页 共 [PAGECOUNT] 页", "[打印人]"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
    QFile html(dir.filePath(QStringLiteral("签到表.html")));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QString h = QString::fromUtf8(html.readAll());
    // the sign-in table is still one table of five columns: its header cells in one row
    static const QRegularExpression header(
        QStringLiteral("<tr[^>]*>(?:(?!</tr>).)*序号(?:(?!</tr>).)*日期(?:(?!</tr>).)*学员签名(?:(?!</tr>).)*"
                       "老师签名(?:(?!</tr>).)*备注(?:(?!</tr>).)*</tr>"),
        QRegularExpression::DotMatchesEverythingOption);
    EXPECT_TRUE(header.match(h).hasMatch()) << h.toStdString();
}

TEST_F(TemplEditor, SaveAsShowsTheFileInItsFolderOrSaysWhyNot)
{
    auto templ = BuiltIn(IDR_RTF_GENERAL_RECEIPT, MDU_COLLECT);
    CDlgEditTemplEx* page = Open(*templ);
    QTemporaryDir dir;
    CDBSetup setup;
    setup.m_nOpenWithRtf = 4;
    CDBSetup* previous = SetCurrentSetup(&setup);
    m_ui.fileName = dir.filePath(QStringLiteral("a.rtf"));
    page->OnSaveAs();
    ASSERT_EQ(m_launches.size(), 1u);
    EXPECT_EQ(m_launches[0].kind, XRtfLaunch::ShowInFolder); // no word processor starts
    EXPECT_TRUE(m_ui.Calls(QStringLiteral("MessageBox")).empty());

    // a word processor that does not start: the message, then the folder
    setup.m_nOpenWithRtf = 1;
    m_launches.clear();
    m_launchWorks = false;
    page->OnSaveAs();
    ASSERT_EQ(m_launches.size(), 2u);
    EXPECT_EQ(m_launches[0].kind, XRtfLaunch::Program);
    EXPECT_EQ(m_launches[1].kind, XRtfLaunch::ShowInFolder);
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_TRUE(m_ui.Calls(QStringLiteral("MessageBox"))[0].text.startsWith(QStringLiteral("打开 “")));

    // a file that cannot be written
    m_ui.Clear();
    m_launches.clear();
    m_ui.fileName = dir.filePath(QStringLiteral("no/such/folder/a.rtf"));
    page->OnSaveAs();
    ASSERT_EQ(m_ui.Calls(QStringLiteral("MessageBox")).size(), 1u);
    EXPECT_TRUE(m_ui.Calls(QStringLiteral("MessageBox"))[0].text.startsWith(QStringLiteral("保存 “")));
    EXPECT_TRUE(m_launches.empty());
    SetCurrentSetup(previous);
}

TEST_F(TemplEditor, PagesLookRightAndPreviewASampleRecord)
{
    XPdfFileCatalog printers(QDir::tempPath());
    auto templ = BuiltIn(IDR_RTF_ENROLMENT_RECEIPT, MDU_RECEIPT);
    templ->m_nID = 5;
    CDlgEditTemplEx* page = Open(*templ);
    auto* props = static_cast<CDlgEditTempl*>(m_frame->m_pages[0]);
    EXPECT_EQ(qobject_cast<QLineEdit*>(props->GetDlgItem(IDC_TITLE))->text(), templ->m_strName);
    EXPECT_EQ(qobject_cast<QComboBox*>(props->GetDlgItem(IDC_TEMPL_PAPER))->currentText(), QStringLiteral("A4"));
    // no printer shows as "choose when printing", and stays no printer when saved
    auto* printer = qobject_cast<QComboBox*>(props->GetDlgItem(IDC_TEMPL_PRINTER));
    EXPECT_EQ(printer->currentText(), QStringLiteral("打印时选择"));
    EXPECT_EQ(printer->count(), 2); // Office Laser, the one physical printer, and the choice
    props->UpdateData(true);
    EXPECT_TRUE(Record().m_strPrinter.isEmpty());
    m_frame->grab().save(QStringLiteral("/tmp/templ-page.png"));
    // 套打 prints no rows of its own: their number per page is not asked then (a field the
    // record hides is disabled on a page)
    auto* replace = qobject_cast<QAbstractButton*>(props->GetDlgItem(IDC_TEMPL_PRINT_REPLACE));
    replace->click();
    Pump();
    EXPECT_FALSE(props->GetDlgItem(IDC_TEMPL_PAGING)->isEnabled());
    replace->click();
    Pump();
    EXPECT_TRUE(props->GetDlgItem(IDC_TEMPL_PAGING)->isEnabled());

    m_frame->m_tab->setCurrentIndex(1);
    Pump();
    // A4 at 96 dpi: a sheet 793 px wide, a page end every 1047 px of text
    EXPECT_EQ(page->m_sheet->m_edit->width(), 793);
    ASSERT_FALSE(page->m_sheet->m_edit->PageEnds().empty());
    EXPECT_EQ(page->m_sheet->m_edit->PageEnds().front(), 1047);
    m_frame->grab().save(QStringLiteral("/tmp/templ-editor.png"));

    // landscape on the properties page turns the sheet when the content page shows again
    m_frame->m_tab->setCurrentIndex(0);
    qobject_cast<QAbstractButton*>(props->GetDlgItem(IDC_TEMPL_LANDSCAPE))->click();
    m_frame->m_tab->setCurrentIndex(1);
    Pump();
    EXPECT_EQ(Record().m_nOrientation, 1);
    EXPECT_EQ(page->m_sheet->m_edit->width(), 1122);

    // the sample preview: no printer named, so the chooser asks first
    int chooserRows = 0;
    QStringList columns;
    m_ui.onModal = [&](QDialog* d) {
        auto* dlg = dynamic_cast<CDlgSelPrinter*>(d);
        if (!dlg)
            return int(IDCANCEL);
        dlg->show();
        Pump();
        chooserRows = dlg->m_list->GetItemCount();
        for (int c = 0; c < dlg->m_list->GetColumnCount(); ++c)
            columns << dlg->m_list->model()->headerData(c, Qt::Horizontal).toString();
        EXPECT_FALSE(dlg->GetDlgItem(IDOK)->isEnabled());
        dlg->m_list->SelectOnly(0);
        dlg->UpdateControls();
        dlg->grab().save(QStringLiteral("/tmp/templ-printers.png"));
        qobject_cast<QPushButton*>(dlg->GetDlgItem(IDOK))->click();
        return dlg->result();
    };
    page->OnPreview();
    EXPECT_EQ(chooserRows, 2);
    EXPECT_EQ(columns, (QStringList{QStringLiteral("名称"), QStringLiteral("任务队列"), QStringLiteral("状态")}));
    XPrintPreviewWindow* preview = page->findChild<XPrintPreviewWindow*>();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->View()->GetPageCount(), 2);
    EXPECT_TRUE(preview->Action(IDC_PROOF_PRINT)->isEnabled()); // a sample preview may print
    EXPECT_FALSE(preview->View()->PageText(0).contains(QStringLiteral("[学员]")));
    preview->resize(1100, 760);
    preview->show();
    Pump();
    preview->grab().save(QStringLiteral("/tmp/templ-preview.png"));
    delete preview;
    EXPECT_TRUE(printers.jobs.isEmpty());
}

TEST_F(TemplEditor, TemplateChooserListsTheTemplatesInTheRecordList)
{
    CXArray templs(nullptr, true);
    templs.Add(BuiltIn(IDR_RTF_ENROLMENT_RECEIPT, MDU_RECEIPT).release());
    templs.Add(BuiltIn(IDR_RTF_SIGN_IN_SHEET, MDU_RECEIPT).release());
    CDlgSelTempl dlg(templs);
    dlg.Create();
    dlg.show();
    Pump();
    ASSERT_EQ(dlg.m_list->GetItemCount(), 2);
    EXPECT_FALSE(dlg.m_list->IsGroupView());
    QStringList names;
    for (int i = 0; i < 2; ++i)
        names << static_cast<CDBTempl*>(dlg.m_list->GetItemData(i))->m_strName;
    EXPECT_TRUE(names.contains(QStringLiteral("签到表")) && names.contains(QStringLiteral("报名收据")));
    dlg.m_list->SelectOnly(names.indexOf(QStringLiteral("签到表")));
    dlg.UpdateControls();
    dlg.grab().save(QStringLiteral("/tmp/templ-chooser.png"));
    qobject_cast<QPushButton*>(dlg.GetDlgItem(IDOK))->click();
    EXPECT_EQ(dlg.result(), IDOK);
    ASSERT_NE(dlg.m_chosen, nullptr);
    EXPECT_EQ(dlg.m_chosen, templs.GetAt(1));
}

} // namespace
