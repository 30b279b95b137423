#include "CXLinkCtrl.h"

#include "CHead.h"
#include "CModule.h"
#include "CXDialogEx.h"
#include "CXItem.h"
#include "CommandIds.h"
#include "Resources.h"
#include "TextUtils.h"
#include "XAppServices.h"
#include "XCtrlProps.h"
#include "XDrawing.h"
#include "XMainWindow.h"
#include "XService.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtGui/QGuiApplication>
#include <QtGui/QMouseEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QToolTip>

#include <climits>

namespace {

XService<XLinkActions> g_actions;

// The link's reference part only: the member keeps its own container.
void CopyReference(const CXBase& from, CXBase& to)
{
    to.m_nMduID = from.m_nMduID;
    to.m_nID = from.m_nID;
    to.m_strName = from.m_strName;
    to.m_dtDate = from.m_dtDate;
}

// Every "xl:" anchor of a text as references, in order.
void ReadAnchors(const QString& text, CXArray& refs)
{
    for (const QString& part : text.split(QLatin1String("</a>"), Qt::SkipEmptyParts)) {
        auto* ref = new CXItem;
        ref->m_nMduID = INT_MIN; // not an anchor unless SetLink reads one
        ref->SetLink(part + QLatin1String("</a>"));
        if (ref->m_nMduID == INT_MIN)
            delete ref;
        else
            refs.AddAdopted(ref);
    }
}

} // namespace

XLinkActions* SetLinkActions(XLinkActions* actions) { return g_actions.Install(actions); }

X_BEGIN_MESSAGE_MAP(CXLinkCtrl, XCmdTarget)
    X_ON_UPDATE_COMMAND_UI(ID_EDIT_ADDNEW, OnUpdateNew)
    X_ON_UPDATE_COMMAND_UI(ID_LINK_SELECT, OnUpdateChoose)
    X_ON_UPDATE_COMMAND_UI(ID_LINK_SELECTMANY, OnUpdateChoose)
X_END_MESSAGE_MAP()

CXLinkCtrl::CXLinkCtrl(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::RichText);
    setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    setOpenExternalLinks(false);
    setMouseTracking(true);
    setContentsMargins(2, 2, 2, 2);
    connect(this, &QLabel::linkActivated, this, &CXLinkCtrl::OnLinkClicked);
}

CXLinkCtrl::CXLinkCtrl(const QString& templateText, QWidget* parent) : CXLinkCtrl(parent)
{
    m_strCue = templateText;
    setText(templateText);
}

CXLinkCtrl::~CXLinkCtrl() = default;

// ---------------------------------------------------------------------------------------
// Links

void CXLinkCtrl::SetLink(const CXBase& ref)
{
    setText(ref.m_nID != 0 && FindModule(ref.m_nMduID) ? ref.GetLink() : QString());
    update();
}

bool CXLinkCtrl::GetLink(CXBase& ref) const
{
    CXArray refs;
    ReadAnchors(text(), refs);
    if (refs.IsEmpty()) {
        ref.Reset();
        return false;
    }
    CopyReference(*refs.GetAt(0), ref);
    return true;
}

int CXLinkCtrl::GetModuleID() const
{
    const int id = CtrlId(this);
    if (id && FindModule(id))
        return id;
    CXItem first;
    if (GetLink(first) && FindModule(first.m_nMduID))
        return first.m_nMduID;
    return 0;
}

void CXLinkCtrl::OnLinkClicked(const QString& url)
{
    if (url.isEmpty())
        return;
    if (url.startsWith(QLatin1String("xc:"), Qt::CaseInsensitive)) {
        if (const int id = ReadLeadingInt(url.mid(3)))
            XPostCommand(XGetMainWindow(), id);
        return;
    }
    if (url.startsWith(QLatin1String("xl:"), Qt::CaseInsensitive)) {
        QList<int> parts;
        if (SplitInts(url, parts, QStringLiteral(":")) != 3)
            return;
        CModule* module = FindModule(parts[1]);
        if (!module)
            return;
        XWaitCursor wait;
        CXArray items;
        CXMap query;
        query.SetText(QKEY_IDS, QString::number(parts[2]));
        if (module->QueryItems(items, query, false, true) && !items.IsEmpty())
            if (XLinkActions* actions = g_actions.Get())
                actions->OpenItems(*module, items, true);
        return;
    }
    XWaitCursor wait;
    XUi::ShellOpen(url);
}

// ---------------------------------------------------------------------------------------
// Buttons and commands

void CXLinkCtrl::AddCmd(int id)
{
    m_cmds.push_back(std::make_unique<CXCmd>(id));
    RecalcFrame();
}

bool CXLinkCtrl::HasButtons() const { return !ShownCmds().empty(); }

std::vector<CXCmd*> CXLinkCtrl::ShownCmds() const
{
    std::vector<CXCmd*> shown;
    for (const auto& c : m_cmds)
        if (c->m_bShown && c->m_nID != 0)
            shown.push_back(c.get());
    return shown;
}

bool CXLinkCtrl::ClientEdge() const { return (CtrlExStyle(this) & WS_EX_CLIENTEDGE) != 0; }

bool CXLinkCtrl::ButtonsActive() const { return isEnabled() && !IsWndReadOnly(this) && HasButtons(); }

void CXLinkCtrl::AddLinkButtons(const CXItem* record, const CXBase* link)
{
    m_pItem = const_cast<CXItem*>(record);
    m_pLink = const_cast<CXBase*>(link);
    if (!m_cmds.empty() || !ClientEdge() || !link || link->m_nMduID == 0)
        return;
    const CModule* module = FindModule(link->m_nMduID);
    const CXItem* user = AppServices().User();
    if (!module || !user)
        return;
    if (module->HasRight(*user, RIGHT_ADD) && record && record->m_nID == 0)
        m_cmds.push_back(std::make_unique<CXCmd>(ID_EDIT_ADDNEW));
    if (module->HasRight(*user, RIGHT_QRY))
        m_cmds.push_back(std::make_unique<CXCmd>(ID_LINK_SELECT));
    RecalcFrame();
}

int CXLinkCtrl::LayoutButtons(const QRect& window, int s, const std::vector<CXCmd*>& cmds)
{
    const QRect r = window.adjusted(1, 1, -1, -1);
    std::vector<CXCmd*> placed;
    for (CXCmd* c : cmds) {
        c->m_rc = QRect();
        if (c->m_nID != 0 && c->m_bShown)
            placed.push_back(c);
    }
    const int count = static_cast<int>(placed.size());
    if (count == 0)
        return 0;
    const bool row = r.height() < s * count;
    for (int i = 0; i < count; ++i)
        placed[static_cast<size_t>(i)]->m_rc =
            row ? QRect(r.right() + 1 - s * (i + 1), r.top(), s, s) : QRect(r.right() + 1 - s, r.top() + s * i, s, s);
    return row ? s * count : s;
}

void CXLinkCtrl::RecalcFrame()
{
    std::vector<CXCmd*> all;
    for (const auto& c : m_cmds)
        all.push_back(c.get());
    const int loss = ButtonsActive() ? LayoutButtons(rect(), RowHeight(), all) : 0;
    if (!loss)
        for (CXCmd* c : all)
            c->m_rc = QRect();
    setContentsMargins(2, 2, 2 + loss, 2);
    // Enabled with buttons, the control looks like an edit box.
    setAutoFillBackground(ButtonsActive() && ClientEdge());
    if (autoFillBackground()) {
        QPalette p = palette();
        p.setColor(QPalette::Window, p.color(QPalette::Base));
        setPalette(p);
    }
    update();
}

CXCmd* CXLinkCtrl::ButtonAt(const QPoint& pos) const
{
    if (!ButtonsActive())
        return nullptr;
    for (const auto& c : m_cmds)
        if (c->m_bShown && c->m_rc.contains(pos))
            return c.get();
    return nullptr;
}

void CXLinkCtrl::OnUpdateNew(XCmdUI* ui)
{
    const CModule* module = FindModule(GetModuleID());
    const CXItem* user = AppServices().User();
    ui->Enable(module && user && module->HasRight(*user, RIGHT_ADD));
}

void CXLinkCtrl::OnUpdateChoose(XCmdUI* ui)
{
    const CModule* module = FindModule(GetModuleID());
    const CXItem* user = AppServices().User();
    ui->Enable(module && user && module->HasRight(*user, RIGHT_QRY));
}

void CXLinkCtrl::OnCommand(int id)
{
    CXDialogEx* dialog = qobject_cast<CXDialogEx*>(parentWidget());
    if (!dialog)
        dialog = CXDialogEx::FromControl(this);
    if (dialog && (id == IDOK || id == IDCANCEL || dialog->OnCmdMsg(id, XCN_COMMAND, nullptr, true))) {
        XPostCommand(dialog, id);
        return;
    }
    if (!GetModuleID())
        return;
    switch (id) {
    case ID_EDIT_ADDNEW:
        OnNew();
        break;
    case ID_LINK_SELECT:
        OnChooseOne();
        break;
    case ID_LINK_SELECTMANY:
        OnChooseMany();
        break;
    default:
        break;
    }
}

void CXLinkCtrl::OnNew()
{
    CModule* module = FindModule(GetModuleID());
    CXItem created;
    if (XLinkActions* actions = g_actions.Get(); module && actions && actions->CreateNew(*module, created))
        SetLink(created);
}

void CXLinkCtrl::OnChooseOne()
{
    CModule* module = FindModule(GetModuleID());
    XLinkActions* actions = g_actions.Get();
    if (!module || !actions)
        return;
    CXMap query;
    const CHeads* heads = m_pItem ? m_pItem->GetHeads() : nullptr;
    const CHead* head = heads && m_pLink ? heads->FindByOffset(m_pItem->MemberOffset(m_pLink)) : nullptr;
    if (head)
        query = m_pItem->GetRelateQuery(head, nullptr);
    CXItem current;
    GetLink(current);
    CXItem chosen;
    if (!actions->ChooseOne(*module, query, current, chosen))
        return;
    if (m_pItem && m_pLink) {
        CopyReference(chosen, *m_pLink);
        m_pItem->Validate(AppServices().User(), false);
    }
    SetLink(chosen);
    if (CXDialogEx* dialog = CXDialogEx::FromControl(this))
        dialog->UpdateControls();
}

void CXLinkCtrl::OnChooseMany()
{
    CModule* module = FindModule(GetModuleID());
    XLinkActions* actions = g_actions.Get();
    if (!module || !actions)
        return;
    CXArray current;
    ReadAnchors(text(), current);
    CXArray chosen;
    if (!actions->ChooseMany(*module, current, chosen))
        return;
    QStringList anchors;
    for (const CXItem* ref : chosen) {
        const QString anchor = ref->GetLink();
        if (!anchor.isEmpty() && !anchors.contains(anchor))
            anchors.append(anchor);
    }
    setText(anchors.join(u' '));
    if (CXDialogEx* dialog = CXDialogEx::FromControl(this))
        dialog->UpdateControls();
}

// ---------------------------------------------------------------------------------------
// Events

bool CXLinkCtrl::event(QEvent* e)
{
    if (e->type() == XCommandEvent::EventType()) {
        const auto* c = static_cast<XCommandEvent*>(e);
        if (c->m_nID)
            OnCommand(c->m_nID);
        return true;
    }
    if (e->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(e);
        if (const CXCmd* c = ButtonAt(help->pos())) {
            QToolTip::showText(help->globalPos(), LoadStringText(c->m_nID).section(u'\n', 0, 0), this, c->m_rc);
            return true;
        }
    }
    return QLabel::event(e);
}

void CXLinkCtrl::paintEvent(QPaintEvent* e)
{
    if (!isEnabled() && ClientEdge()) {
        QPainter p(this);
        const QWidget* parent = parentWidget();
        p.fillRect(rect(), (parent ? parent->palette() : palette()).color(QPalette::Window));
        DrawComboFrame(&p, rect(), false, this);
        return;
    }
    // The frame goes first: without active buttons it fills the box with the dialog's
    // colour, which would cover a read-only link's record.
    if (ClientEdge()) {
        QPainter frame(this);
        DrawComboFrame(&frame, rect(), ButtonsActive(), this);
    }
    QLabel::paintEvent(e);
    QPainter p(this);
    if (text().isEmpty() && !m_strCue.isEmpty()) {
        const QRect client = contentsRect();
        const QString cue = fontMetrics().elidedText(m_strCue, Qt::ElideRight, client.width());
        p.setPen(palette().color(QPalette::Disabled, QPalette::WindowText));
        p.drawText(client, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, cue);
    }
    if (!ButtonsActive())
        return;
    for (const auto& c : m_cmds) {
        if (!c->m_bShown || c->m_rc.isEmpty())
            continue;
        c->DoUpdate(this);
        DrawCmdButton(&p, c->m_nID, c->m_rc, c->m_bEnabled, c->m_bPressed, c->m_bHot, this);
    }
}

void CXLinkCtrl::resizeEvent(QResizeEvent* e)
{
    QLabel::resizeEvent(e);
    RecalcFrame();
}

void CXLinkCtrl::changeEvent(QEvent* e)
{
    QLabel::changeEvent(e);
    if (e->type() == QEvent::EnabledChange)
        RecalcFrame();
}

void CXLinkCtrl::OnReadOnlyChanged(bool) { RecalcFrame(); }

void CXLinkCtrl::mousePressEvent(QMouseEvent* e)
{
    if (CXCmd* c = ButtonAt(e->position().toPoint())) {
        c->m_bPressed = c->m_bEnabled;
        update(c->m_rc);
        return;
    }
    QLabel::mousePressEvent(e);
}

void CXLinkCtrl::mouseReleaseEvent(QMouseEvent* e)
{
    CXCmd* hit = ButtonAt(e->position().toPoint());
    bool handled = false;
    for (const auto& c : m_cmds) {
        if (!c->m_bPressed)
            continue;
        c->m_bPressed = false;
        update(c->m_rc);
        handled = true;
        if (c.get() == hit && c->m_bEnabled)
            OnCommand(c->m_nID);
    }
    if (!handled)
        QLabel::mouseReleaseEvent(e);
}

void CXLinkCtrl::mouseMoveEvent(QMouseEvent* e)
{
    const CXCmd* hit = ButtonAt(e->position().toPoint());
    for (const auto& c : m_cmds) {
        const bool hot = c.get() == hit;
        if (c->m_bHot != hot) {
            c->m_bHot = hot;
            update(c->m_rc);
        }
    }
    QLabel::mouseMoveEvent(e);
}

void CXLinkCtrl::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (ButtonAt(e->position().toPoint()))
        return; // a double click on a button is not a second command
    QLabel::mouseDoubleClickEvent(e);
}

void CXLinkCtrl::leaveEvent(QEvent* e)
{
    for (const auto& c : m_cmds)
        if (c->m_bHot) {
            c->m_bHot = false;
            update(c->m_rc);
        }
    QLabel::leaveEvent(e);
}
