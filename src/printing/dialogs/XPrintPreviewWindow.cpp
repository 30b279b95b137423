#include "XPrintPreviewWindow.h"

#include "CHead.h"
#include "CXPrintPreview.h"
#include "CXPrintTask.h"
#include "CXPrintView.h"
#include "CommandIds.h"
#include "Resources.h"
#include "XAppServices.h"
#include "XUi.h"

#include <QtGui/QContextMenuEvent>
#include <QtWidgets/QLabel>
#include <QtWidgets/QMenu>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QToolBar>

namespace {

// The preview toolbar, in order; 0 is a separator.
const int kToolbar[] = {IDC_PROOF_PRINT,
                        0,
                        ID_PRINTVIEW_ALL,
                        ID_PRINTVIEW_REPLACED,
                        ID_PRINTVIEW_TEMPLATE,
                        ID_PRINTVIEW_RAW,
                        0,
                        ID_PRINTVIEW_MARK,
                        0,
                        ID_PREVIEW_PREV,
                        ID_PREVIEW_NEXT,
                        0,
                        ID_PREVIEW_ZOOMIN,
                        ID_PREVIEW_ZOOMOUT};

QString FieldText(const CXItem& item, const char* caption)
{
    const CHead* head = item.GetHeads()->FindByCaption(QString::fromUtf8(caption));
    return head ? item.FormatText(head, false, false, true) : QString();
}

} // namespace

XPrintPreviewWindow::XPrintPreviewWindow(std::unique_ptr<CXPrintView> view, const QString& title,
                                         const QString& docTitle, QWidget* parent)
    : QMainWindow(parent, Qt::Window), m_view(std::move(view)), m_preview(new CXPrintPreview), m_docTitle(docTitle)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    setWindowIcon(AppServices().CommandIcon(IDC_PROOF_PREVIEW, 0, false));
    resize(1200, 750);

    QToolBar* bar = addToolBar(title);
    bar->setObjectName(QStringLiteral("previewToolbar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    for (int id : kToolbar) {
        if (!id) {
            bar->addSeparator();
            continue;
        }
        QAction* a = bar->addAction(AppServices().CommandIcon(id, 0, false), LoadCommandText(id));
        a->setToolTip(LoadCommandPrompt(id));
        a->setCheckable(id >= ID_PRINTVIEW_ALL && id <= ID_PRINTVIEW_MARK);
        connect(a, &QAction::triggered, this, [this, id] { OnCommand(id); });
        m_actions[id] = a;
    }

    setCentralWidget(m_preview);
    const CDBTempl& t = m_view->m_templ;
    const std::pair<int, QString> panes[] = {
        {ID_PRINTPANE_PRINTER, t.m_strPrinter},
        {ID_PRINTPANE_PAPER, FieldText(t, "纸张规格")},
        {ID_PRINTPANE_ORIENTATION, FieldText(t, "页面方向")},
        {ID_PRINTPANE_COLOR, FieldText(t, "彩色打印")},
        {ID_PRINTPANE_DUPLEX, FieldText(t, "双面打印")},
        {ID_PRINTPANE_PAGE, QStringLiteral("0/0")},
        {MDU_TEMPL, t.m_strName},
    };
    for (const auto& [id, text] : panes) {
        auto* label = new QLabel(text);
        label->setToolTip(LoadCommandPrompt(id));
        statusBar()->addPermanentWidget(label);
        m_panes[id] = label;
    }
    connect(m_preview, &CXPrintPreview::PageChanged, this, &XPrintPreviewWindow::UpdateCommands);
    // a document of several sheets is shown two pages side by side
    m_preview->SetView(m_view.get(), m_view->HasPageBreak());
    UpdateCommands();
}

XPrintPreviewWindow::~XPrintPreviewWindow() = default;

QAction* XPrintPreviewWindow::Action(int id) const
{
    const auto it = m_actions.find(id);
    return it == m_actions.end() ? nullptr : it->second;
}

QString XPrintPreviewWindow::PaneText(int id) const
{
    const auto it = m_panes.find(id);
    return it == m_panes.end() ? QString() : it->second->text();
}

void XPrintPreviewWindow::OnCommand(int id)
{
    switch (id) {
    case ID_PRINTVIEW_ALL:
    case ID_PRINTVIEW_REPLACED:
    case ID_PRINTVIEW_TEMPLATE:
    case ID_PRINTVIEW_RAW:
        m_view->BuildRtf(id - ID_PRINTVIEW_ALL, -1);
        m_preview->Refresh();
        break;
    case ID_PRINTVIEW_MARK:
        m_view->BuildRtf(-1, m_view->m_bMark ? 0 : 1);
        m_preview->Refresh();
        break;
    case ID_PREVIEW_NEXT:
        m_preview->Next();
        break;
    case ID_PREVIEW_PREV:
        m_preview->Prev();
        break;
    case ID_PREVIEW_ZOOMIN:
        m_preview->ZoomIn();
        break;
    case ID_PREVIEW_ZOOMOUT:
        m_preview->ZoomOut();
        break;
    case ID_PREVIEW_CLOSE:
        close();
        return;
    case IDC_PROOF_PRINT: {
        if (!m_view->m_bSample)
            break;
        QString error;
        if (CXPrintTask::PrintDirect(*m_view, m_docTitle, error))
            XUi::MessageBox(this, QStringLiteral("打印任务已发送，请检查打印机输出！"), windowTitle(),
                            MB_ICONINFORMATION);
        else
            XUi::MessageBox(this, error, windowTitle(), MB_ICONERROR);
        m_preview->Refresh();
        break;
    }
    default:
        break;
    }
    UpdateCommands();
}

void XPrintPreviewWindow::UpdateCommands()
{
    const int mode = m_view->GetMode();
    for (int id = ID_PRINTVIEW_ALL; id <= ID_PRINTVIEW_RAW; ++id)
        m_actions[id]->setChecked(mode == id - ID_PRINTVIEW_ALL);
    m_actions[ID_PRINTVIEW_MARK]->setChecked(m_view->m_bMark != 0);
    m_actions[IDC_PROOF_PRINT]->setEnabled(m_view->m_bSample != 0);
    m_actions[ID_PREVIEW_NEXT]->setEnabled(m_preview->CanNext());
    m_actions[ID_PREVIEW_PREV]->setEnabled(m_preview->CanPrev());
    if (m_preview->GetCurrentPage() > 0)
        m_panes[ID_PRINTPANE_PAGE]->setText(m_preview->GetPageText());
}

void XPrintPreviewWindow::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    for (int id : kToolbar) {
        if (!id)
            menu.addSeparator();
        else
            menu.addAction(m_actions[id]);
    }
    menu.exec(event->globalPos());
}
