// Printing a receipt as the office does: the receipt opened from its list, the print button
// of its frame, the template chosen, the job on a printer that writes PDF files; then the
// preview of the sign-in sheet from the same frame.
#include "CDBTempl.h"
#include "CDlgEdit.h"
#include "CDlgSelTempl.h"
#include "CLorvanApp.h"
#include "CLorvanView.h"
#include "CXListCtrl.h"
#include "CXPrintView.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "FrameFixture.h"
#include "RecordWriter.h"
#include "XPdfFileCatalog.h"
#include "XPrintEditServices.h"
#include "XPrintPreviewWindow.h"
#include "XUi.h"

#include <QtCore/QProcess>
#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QPushButton>

namespace {

class PrintJourney : public FrameFixture
{
protected:
    void SetUp() override
    {
        FrameFixture::SetUp();
        InstallFrameSeams(m_frame.get(), m_frame.get(), &ProgramEditServices(), {});
        m_printers = std::make_unique<XPdfFileCatalog>(m_out.path());
        m_receiptTempl = SaveTemplate(452, QStringLiteral("报名收据"));
        m_signInTempl = SaveTemplate(451, QStringLiteral("签到表"));
    }
    void TearDown() override
    {
        m_printers.reset();
        FrameFixture::TearDown();
    }
    int SaveTemplate(int resourceId, const QString& name)
    {
        CDBTempl t;
        t.m_strName = name;
        t.m_nTemplMduID = MDU_RECEIPT;
        t.m_templ = LoadResourceBytes(resourceId, RT_RTF);
        t.m_strPrinter = QStringLiteral("Office Laser");
        EXPECT_TRUE(SaveItem(nullptr, &t, nullptr, FixtureUser()));
        return t.m_nID;
    }
    int PrintRows() const
    {
        return QueryText(FormatString(u"SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%d AND MduID=%d AND ItemID=%d",
                                      OPER_PRT, MDU_RECEIPT, m_school.r1))
            .toInt();
    }
    // Chooses the template of the ID in the chooser and presses OK.
    static int ChooseTemplate(CDlgSelTempl& dlg, int id)
    {
        dlg.show();
        Pump();
        for (int i = 0; i < dlg.m_list->GetItemCount(); ++i)
            if (dlg.m_list->GetItemData(i)->m_nID == id)
                dlg.m_list->SelectOnly(i);
        dlg.UpdateControls();
        qobject_cast<QPushButton*>(dlg.GetDlgItem(IDOK))->click();
        return dlg.result();
    }

    QTemporaryDir m_out;
    std::unique_ptr<XPdfFileCatalog> m_printers;
    XUiTestHooks m_ui;
    int m_receiptTempl = 0;
    int m_signInTempl = 0;
};

TEST_F(PrintJourney, ReceiptPrintsFromItsFrameAndItsSignInSheetPreviews)
{
    CLorvanApp::OpenModule(MDU_RECEIPT);
    Pump();
    auto* view = qobject_cast<CLorvanView*>(FindModule(MDU_RECEIPT)->GetView());
    ASSERT_NE(view, nullptr);
    CXListCtrl* list = view->GetList();
    CXMap all;
    FindModule(MDU_RECEIPT)->ApplyQuery(all);
    Pump();
    int row = -1;
    for (int i = 0; i < list->GetItemCount(); ++i)
        if (list->GetItemData(i)->m_nID == m_school.r1)
            row = i;
    ASSERT_GE(row, 0);
    list->SelectOnly(row);
    const QString number = list->GetItemData(row)->m_strName;
    ASSERT_EQ(PrintRows(), 0);

    int chooserRows = 0;
    bool signIn = false; // which template the chooser takes
    int previewPages = 0;
    int printRowsAfterPreview = -1;
    m_ui.onModal = [&](QDialog* d) {
        if (auto* chooser = dynamic_cast<CDlgSelTempl*>(d)) {
            chooserRows = chooser->m_list->GetItemCount();
            return ChooseTemplate(*chooser, signIn ? m_signInTempl : m_receiptTempl);
        }
        auto* frame = qobject_cast<CDlgEdit*>(d);
        if (!frame)
            return int(IDCANCEL);
        frame->show();
        Pump();
        frame->UpdateControls();
        EXPECT_EQ(frame->m_templs.GetSize(), 2);
        EXPECT_EQ(frame->parentWidget(), m_frame.get()) << "the frame is not placed in the main window";
        auto* print = qobject_cast<QPushButton*>(frame->GetDlgItem(IDC_PROOF_PRINT));
        EXPECT_TRUE(print->isEnabled());
        print->click();
        // the preview of the other template from the same frame
        signIn = true;
        qobject_cast<QPushButton*>(frame->GetDlgItem(IDC_PROOF_PREVIEW))->click();
        XPrintPreviewWindow* preview = frame->findChild<XPrintPreviewWindow*>();
        EXPECT_NE(preview, nullptr);
        if (preview) {
            previewPages = preview->View()->GetPageCount();
            delete preview;
        }
        printRowsAfterPreview = PrintRows();
        return int(IDCANCEL);
    };
    ASSERT_TRUE(m_frame->DispatchCommand(ID_EDIT_MODIFY));

    EXPECT_EQ(chooserRows, 2);
    const auto boxes = m_ui.Calls(QStringLiteral("MessageBox"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("打印任务已发送，请检查打印机输出！"));
    // one job on the chosen printer, logged once; the preview logged nothing
    ASSERT_EQ(m_printers->jobs.size(), 1);
    EXPECT_EQ(PrintRows(), 1);
    EXPECT_EQ(printRowsAfterPreview, 1);
    EXPECT_EQ(previewPages, 2); // R1's 32 lessons at 18 rows a page

    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {m_printers->jobs[0].pdf, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        GTEST_SKIP() << "pdftotext is not available";
    const QString text =
        QString::fromUtf8(pdftotext.readAllStandardOutput()).remove(QRegularExpression(QStringLiteral("\\s+")));
    EXPECT_TRUE(text.contains(number)) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("伍仟陆佰元整"))) << text.toStdString(); // R1: ¥5,600.00
    EXPECT_FALSE(text.contains(u'[')) << text.toStdString();
}

} // namespace
