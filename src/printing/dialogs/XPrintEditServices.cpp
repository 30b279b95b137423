#include "XPrintEditServices.h"

#include "CDBTempl.h"
#include "CDlgSelPrinter.h"
#include "CDlgSelTempl.h"
#include "CModule.h"
#include "CXArray.h"
#include "CXPrintTask.h"
#include "CommandIds.h"
#include "XPrintPreviewWindow.h"
#include "XUi.h"

namespace {

// The desktop side of a print job on the UI thread.
class XWidgetPrintUi : public XPrintTaskUi
{
public:
    explicit XWidgetPrintUi(QWidget* parent) : m_parent(parent) {}
    void SetDocTitle(const QString& title) { m_docTitle = title; }

    bool ChoosePrinter(QString& printer) override
    {
        CDlgSelPrinter dlg(m_parent);
        if (dlg.DoModal() != IDOK)
            return false;
        printer = dlg.m_strPrinter;
        return true;
    }
    bool ConfirmWarnings(const QString& caption, const QString& text) override
    {
        return XUi::MessageBox(m_parent, text, caption, MB_OKCANCEL | MB_ICONWARNING) == IDOK;
    }
    void ShowError(const QString& caption, const QString& text) override
    {
        XUi::MessageBox(m_parent, text, caption, MB_ICONERROR);
    }
    bool ShowPreview(std::unique_ptr<CXPrintView> view, const QString& title) override
    {
        auto* window = new XPrintPreviewWindow(std::move(view), title, m_docTitle, m_parent);
        window->showMaximized();
        return true;
    }

private:
    QWidget* m_parent;
    QString m_docTitle;
};

} // namespace

int XPrintEditServices::ChooseTemplate(QWidget* parent, const CXArray& templs, CXItem*& chosen)
{
    chosen = nullptr;
    if (templs.IsEmpty())
        return IDCANCEL;
    if (templs.GetSize() == 1) {
        chosen = templs.GetAt(0);
        return IDOK;
    }
    CDlgSelTempl dlg(templs, parent);
    if (dlg.DoModal() != IDOK || !dlg.m_chosen)
        return IDCANCEL;
    chosen = dlg.m_chosen;
    return IDOK;
}

bool XPrintEditServices::StartPrint(QWidget* parent, CXItem* templ, CXItem* item, const CXItem* user, bool preview)
{
    auto* source = dynamic_cast<CDBTempl*>(templ);
    if (!source || !item)
        return false;
    // the job works on a copy: what it adjusts is never saved by printing
    CDBTempl copy;
    source->CopyTo(&copy);
    XWidgetPrintUi ui(parent);
    CXPrintTask task(&copy, item, false, preview, user, &ui);
    ui.SetDocTitle(task.GetDocTitle());
    return task.Run();
}

bool PreviewTemplate(QWidget* parent, const CDBTempl& templ, const CXItem* user)
{
    CModule* module = FindModule(templ.m_nTemplMduID);
    if (!module)
        return false;
    const std::unique_ptr<CXItem> sample(module->CreateItem());
    CDBTempl copy;
    templ.CopyTo(&copy);
    XWidgetPrintUi ui(parent);
    CXPrintTask task(&copy, sample.get(), true, true, user, &ui);
    ui.SetDocTitle(task.GetDocTitle());
    return task.Run();
}

XEditServices& ProgramEditServices()
{
    static XPrintEditServices services;
    return services;
}
