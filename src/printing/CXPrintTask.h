#pragma once

#include "CXPrintView.h"

#include <QtCore/QString>

#include <memory>

class CDBTempl;
class CXItem;

// What a print job asks of the desktop; only jobs on the UI thread ask.
class XPrintTaskUi
{
public:
    virtual ~XPrintTaskUi() = default;
    // The printer chooser; false when nothing was chosen.
    virtual bool ChoosePrinter(QString& printer) = 0;
    // The template's warnings with OK and Cancel; true for OK.
    virtual bool ConfirmWarnings(const QString& caption, const QString& text) = 0;
    // A message at the stop level.
    virtual void ShowError(const QString& caption, const QString& text) = 0;
    // Shows the preview of the rendered view, which it takes over; false when none opened.
    virtual bool ShowPreview(std::unique_ptr<CXPrintView> view, const QString& title) = 0;
};

// One print or preview of a record with a template. The template is the caller's copy: the
// job may change its printer, paper, colour and duplex; nothing is saved. Off the UI thread
// (web printing) a job prints directly on a physical printer, never asks, and refuses a
// preview; it reports a missing printer to the operation log.
class CXPrintTask
{
public:
    CXPrintTask(CDBTempl* templ, CXItem* record, bool bSample, bool bPreview, const CXItem* oper, XPrintTaskUi* ui);

    // Runs the job: true when the print was queued or the preview opened. A print is logged
    // (OPER_PRT, the record's printed stamp) only when the printer took the job.
    bool Run();

    // The window title of the job: "打印预览" or "打印".
    QString GetTitle() const;
    // The name the spooler shows: the record kind's caption and its title.
    QString GetDocTitle() const;

    // The view, built and filled from the record (kind 1 for a sample).
    std::unique_ptr<CXPrintView> CreateView() const;
    // Renders the view into a PDF and queues it on the template's printer; false after
    // reporting why.
    static bool PrintDirect(CXPrintView& view, const QString& docTitle, QString& error);

private:
    CDBTempl* m_templ;
    CXItem* m_record;
    bool m_bSample;
    bool m_bPreview;
    const CXItem* m_oper;
    XPrintTaskUi* m_ui;
};
