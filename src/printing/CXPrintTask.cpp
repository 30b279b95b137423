#include "CXPrintTask.h"

#include "CDBTempl.h"
#include "CHead.h"
#include "CXArray.h"
#include "CommandIds.h"
#include "OperLog.h"
#include "Resources.h"
#include "XErrorReporter.h"
#include "XThread.h"
#include "XPrinterCatalog.h"

#include <QtCore/QDir>
#include <QtCore/QTemporaryDir>
#include <algorithm>

CXPrintTask::CXPrintTask(CDBTempl* templ, CXItem* record, bool bSample, bool bPreview, const CXItem* oper,
                         XPrintTaskUi* ui)
    : m_templ(templ), m_record(record), m_bSample(bSample), m_bPreview(bPreview), m_oper(oper), m_ui(ui)
{}

QString CXPrintTask::GetTitle() const { return LoadCommandText(m_bPreview ? IDC_PROOF_PREVIEW : IDC_PROOF_PRINT); }

QString CXPrintTask::GetDocTitle() const
{
    const CHeads* heads = m_record ? m_record->GetHeads() : nullptr;
    return (heads ? heads->m_strItemType : QString()) + (m_record ? m_record->m_strName : QString());
}

std::unique_ptr<CXPrintView> CXPrintTask::CreateView() const
{
    auto view = std::make_unique<CXPrintView>();
    m_templ->CopyTo(&view->m_templ);
    view->m_bSample = m_bSample;
    m_record->FillPrintKeywords(view->m_keywords, m_bSample ? 1 : 0, m_oper);
    return view;
}

bool CXPrintTask::Run()
{
    if (!m_templ || !m_record)
        return false;
    const QString title = GetTitle();
    const bool ui = IsUiThread() && m_ui;
    if (!ui && m_bPreview)
        return false; // a preview needs a desktop

    if (!m_templ->m_strPrinter.isEmpty()) {
        CXArray printers(nullptr, true);
        GetPrinterList(printers, !ui);
        QString found;
        for (const CXItem* p : printers)
            if (p->m_strName.compare(m_templ->m_strPrinter, Qt::CaseInsensitive) == 0)
                found = p->m_strName;
        m_templ->m_strPrinter = found;
    }
    if (m_templ->m_strPrinter.isEmpty()) {
        if (!ui) {
            ReportDbError(title, nullptr, QStringLiteral("未设定实体打印机或设定的打印机未安装！"));
            return false;
        }
        QString chosen;
        if (!m_ui->ChoosePrinter(chosen) || chosen.isEmpty())
            return false;
        m_templ->m_strPrinter = chosen;
    }

    if (ui) {
        m_templ->m_status.clear();
        m_templ->Validate(m_oper, false);
        const int level = m_templ->GetStatusLevel();
        // a stored template never carries a stop-level message; one that does is refused
        if (level >= ST_STOP) {
            m_ui->ShowError(title, m_templ->GetErrorText());
            return false;
        }
        if (level == ST_WARN && !m_ui->ConfirmWarnings(title, m_templ->GetAlertText()))
            return false;
    }

    std::unique_ptr<CXPrintView> view = CreateView();
    if (m_bPreview) {
        if (!view->BuildRtf(-1, -1))
            return false;
        return m_ui->ShowPreview(std::move(view), title);
    }
    QString error;
    if (!PrintDirect(*view, GetDocTitle(), error)) {
        // reported, not logged as a print: the record's printed stamp would claim a print
        ReportDbError(title, nullptr, error);
        return false;
    }
    const CXItem& oper = m_oper ? *m_oper : BuiltInAdmin();
    WriteOperLog(OPER_PRT, oper, m_record->m_nMduID, m_record->m_nID, QString(), QString());
    return true;
}

bool CXPrintTask::PrintDirect(CXPrintView& view, const QString& docTitle, QString& error)
{
    if (!view.BuildRtf(-1, -1)) {
        error = QStringLiteral("打印模板内容无效！");
        return false;
    }
    QTemporaryDir dir;
    if (!dir.isValid()) {
        error = dir.errorString();
        return false;
    }
    const QString pdf = dir.filePath(QStringLiteral("print.pdf"));
    if (!view.WritePdf(pdf, docTitle)) {
        error = QStringLiteral("无法生成打印文件");
        return false;
    }
    const CDBTempl& t = view.m_templ;
    XPrintSettings settings;
    settings.title = docTitle;
    settings.copies = std::max(1, t.m_nPrintCopies);
    // duplex only for documents of several sheets
    settings.duplex = view.HasPageBreak() ? t.m_nPrintDuplex : 0;
    settings.color = t.m_nPrintColor != 0;
    settings.paperWidth = t.m_fPaperWidth;
    settings.paperLength = t.m_fPaperLength;
    settings.landscape = t.m_nOrientation != 0;
    return PrinterCatalog().Submit(t.m_strPrinter, pdf, settings, error);
}
