#include "CChildFrame.h"

#include "CLorvanView.h"
#include "CModule.h"
#include "CXPropBar.h"
#include "Settings.h"
#include "XAppServices.h"
#include "XDrawing.h"

#include <QtGui/QCloseEvent>

CChildFrame::CChildFrame(CModule& module, QWidget* parent) : QMainWindow(parent), m_doc(module)
{
    setWindowFlags(Qt::Widget);
    m_view = new CLorvanView(module, this);
    setCentralWidget(m_view);
    m_propBar = new CXPropBar(this);
    addDockWidget(Qt::RightDockWidgetArea, m_propBar);
    setWindowIcon(AppServices().CommandIcon(module.GetMduID(), 0, false));
}

CChildFrame::~CChildFrame() { CloseDocument(); }

void CChildFrame::OnInitialUpdate()
{
    const CXItem* user = AppServices().User();
    const QString section = user ? user->m_strName : QString();
    const int mdu = m_doc.GetModule().GetMduID();
    const int dpi = ScreenDpi();
    m_nPaneWidth =
        ReadSetting(section, CLorvanDoc::PropBarWidthKey(mdu, dpi), QString::number(PaneDefaultWidth(dpi))).toInt();
    // a pane squeezed away when the window last closed comes back at the default width
    if (m_nPaneWidth <= PaneMinWidth(dpi))
        m_nPaneWidth = PaneDefaultWidth(dpi);
    resizeDocks({m_propBar}, {m_nPaneWidth}, Qt::Horizontal);
    m_propBar->setVisible(ReadSetting(section, CLorvanDoc::PropBarVisibleKey(mdu), QStringLiteral("1")).toInt() != 0);
    m_view->OnInitialUpdate(m_propBar);
}

void CChildFrame::showEvent(QShowEvent* e)
{
    QMainWindow::showEvent(e);
    // docks take their width only once the window is laid out
    if (!m_bSized && m_nPaneWidth > 0) {
        m_bSized = true;
        resizeDocks({m_propBar}, {m_nPaneWidth}, Qt::Horizontal);
    }
}

void CChildFrame::CloseDocument()
{
    if (m_bClosed)
        return;
    m_bClosed = true;
    m_doc.OnCloseDocument(*m_view);
}

void CChildFrame::closeEvent(QCloseEvent* e)
{
    CloseDocument();
    QMainWindow::closeEvent(e);
}
