#include "CDlgEditTemplCtrl.h"

#include "CDBTempl.h"
#include "CXRichEditCtrl.h"
#include "CommandIds.h"
#include "Resources.h"
#include "RtfStreams.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtGui/QAbstractTextDocumentLayout>
#include <QtGui/QContextMenuEvent>
#include <QtGui/QPainter>
#include <QtGui/QTextDocument>
#include <QtWidgets/QStyle>

#include <algorithm>

namespace {

const XDlgTemplate& SheetTemplate()
{
    static const XDlgTemplate t{
        IDD_EDIT_TEMPL_CTRL, QStringLiteral("打印模板"), WS_CHILD | WS_VSCROLL | WS_HSCROLL, {}, {}};
    return t;
}

constexpr int kGap = 15;   // the ground around the sheet
constexpr int kShadow = 5; // the sheet's shadow to the right and below
const QColor kGround(205, 215, 230);

} // namespace

XTemplSheet TemplSheetGeometry(const CDBTempl& templ, int dpi, int textHeight)
{
    const bool landscape = templ.m_nOrientation != 0;
    const double paperW = landscape ? templ.m_fPaperLength : templ.m_fPaperWidth;
    const double paperH = landscape ? templ.m_fPaperWidth : templ.m_fPaperLength;
    // tenths of a millimetre, truncated, then pixels by integer arithmetic as the printer
    // side measures them
    const int h = static_cast<int>(paperH * 10);
    const int w = static_cast<int>(paperW * 10);
    const int margins = dpi * (templ.m_nMarginTop + templ.m_nMarginBottom) * 10 / 254;
    const int step = dpi * h / 254 - margins;
    XTemplSheet sheet;
    sheet.width = w * dpi / 254;
    int total = 0;
    if (step > 0) {
        do {
            total += step;
            sheet.pageEnds.push_back(total);
        } while (total < textHeight);
    }
    sheet.height = total + margins;
    return sheet;
}

CDlgEditTemplCtrl::CDlgEditTemplCtrl(QWidget* parent) : CXDialogEx(false, &SheetTemplate(), parent) {}

bool CDlgEditTemplCtrl::OnInitDialog()
{
    CXDialogEx::OnInitDialog();
    QWidget* ground = Content();
    ground->installEventFilter(this);
    m_edit = new CXRichEditCtrl(ground);
    m_edit->setObjectName(QStringLiteral("templateText"));
    m_edit->setProperty("ctrlId", IDC_TEMPL_RICHEDIT);
    m_edit->setFrameShape(QFrame::NoFrame);
    m_edit->document()->setDocumentMargin(0);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->setLineWrapMode(QTextEdit::WidgetWidth);
    m_edit->move(kGap, kGap);
    m_edit->installEventFilter(this);
    // every change of the text asks for the sheet's size again, so the sheet follows it
    connect(m_edit, &CXRichEditCtrl::requestResize, this, [this](const QSizeF&) { Relayout(); });
    LoadTemplate();
    m_edit->setFocus();
    return true;
}

void CDlgEditTemplCtrl::LoadTemplate()
{
    if (!m_edit || !m_pTempl)
        return;
    if (m_pTempl->m_templ != m_shown || m_edit->document()->isEmpty() != m_pTempl->m_templ.isEmpty()) {
        m_shown = m_pTempl->m_templ;
        if (m_shown.isEmpty())
            m_edit->clear();
        else
            StreamInRtf(m_edit, m_shown);
        // the margins are the template's own, as on paper: none of the document's besides
        m_edit->document()->setDocumentMargin(0);
        m_edit->document()->setModified(false);
    }
    Relayout();
}

void CDlgEditTemplCtrl::SaveTemplate()
{
    if (!m_edit || !m_pTempl)
        return;
    // an untouched text keeps the bytes it came with: another word processor's file stays
    // as it was saved
    if (m_edit->document()->isModified() || m_shown != m_pTempl->m_templ) {
        m_pTempl->m_templ = StreamOutRtf(m_edit);
        m_edit->document()->setModified(false);
    }
    m_shown = m_pTempl->m_templ;
}

void CDlgEditTemplCtrl::Relayout()
{
    if (!m_edit || !m_pTempl)
        return;
    const int dpi = CXRichEditCtrl::ScreenDpi();
    const QMargins mm(m_pTempl->m_nMarginLeft, m_pTempl->m_nMarginTop, m_pTempl->m_nMarginRight,
                      m_pTempl->m_nMarginBottom);
    m_edit->SetTemplateMargins(mm);
    const QMargins inset = RichEditInset(dpi, mm);
    // the text is laid out at the sheet's width first, so its height is the printed one
    XTemplSheet sheet = TemplSheetGeometry(*m_pTempl, dpi, 0);
    QTextDocument* doc = m_edit->document();
    doc->setTextWidth(std::max(1, sheet.width - inset.left() - inset.right()));
    const int textHeight = static_cast<int>(doc->documentLayout()->documentSize().height());
    sheet = TemplSheetGeometry(*m_pTempl, dpi, textHeight);
    m_edit->SetPageEnds(sheet.pageEnds);
    SetScrollSize(sheet.width + 2 * kGap, sheet.height + 2 * kGap);
    const int bar = ScrollModel(true).Range() > 0 ? style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 0;
    const int client = width() - bar;
    const QRect place(std::max(kGap, (client - sheet.width) / 2), m_edit->y(), sheet.width, sheet.height);
    if (m_edit->geometry() != place)
        m_edit->setGeometry(place);
    Content()->update();
}

void CDlgEditTemplCtrl::resizeEvent(QResizeEvent* e)
{
    CXDialogEx::resizeEvent(e);
    Relayout();
}

void CDlgEditTemplCtrl::SetContextCommands(std::vector<int> ids, XCmdTarget* target, std::function<void(int)> handler)
{
    m_menuIds = std::move(ids);
    m_menuTarget = target;
    m_onMenu = std::move(handler);
}

void CDlgEditTemplCtrl::PaintGround(QWidget* ground)
{
    QPainter painter(ground);
    painter.fillRect(ground->rect(), kGround);
    if (!m_edit)
        return;
    // the sheet's shadow: darkest next to the paper, fading outwards
    const QRect r = m_edit->geometry();
    for (int i = 0; i < kShadow; ++i) {
        QColor c(0, 0, 0, 90 - i * 16);
        painter.fillRect(QRect(r.right() + 1 + i, r.top() + kShadow, 1, r.height()), c);
        painter.fillRect(QRect(r.left() + kShadow, r.bottom() + 1 + i, r.width() - kShadow + i + 1, 1), c);
    }
}

bool CDlgEditTemplCtrl::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == Content() && e->type() == QEvent::Paint) {
        PaintGround(Content());
        return true;
    }
    if (watched == m_edit && e->type() == QEvent::ContextMenu && !m_menuIds.empty()) {
        XMenuSpec menu;
        for (int id : m_menuIds)
            menu.push_back({id, id ? LoadCommandText(id, true) : QString(), {}});
        const int chosen = XUi::TrackPopupMenu(menu, static_cast<QContextMenuEvent*>(e)->globalPos(),
                                               m_menuTarget ? m_menuTarget : this);
        if (chosen && m_onMenu)
            m_onMenu(chosen);
        return true;
    }
    return CXDialogEx::eventFilter(watched, e);
}
