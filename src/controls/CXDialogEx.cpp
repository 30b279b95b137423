#include "CXDialogEx.h"

#include "CXBirthCtrl.h"
#include "CXComboBox.h"
#include "CXDateCtrl.h"
#include "CXEditCtrl.h"
#include "CXImageCtrl.h"
#include "CXImagesCtrl.h"
#include "CXTimeSpanCtrl.h"
#include "CHead.h"
#include "CommandIds.h"
#include "CXArray.h"
#include "CXButton.h"
#include "CXEditNumber.h"
#include "CXLinkCtrl.h"
#include "CXItem.h"
#include "XBoundControls.h"
#include "Resources.h"
#include "Settings.h"
#include "TextUtils.h"
#include "XAppServices.h"
#include "XCmdUpdater.h"
#include "XDrawing.h"
#include "XIconStatic.h"
#include "XSpinButton.h"
#include "XUi.h"
#include "XWheelForwarder.h"
#include "XWinStyles.h"

#include <QtGui/QKeyEvent>
#include <QtGui/QScreen>
#include <QtWidgets/QAbstractItemView>
#include <QtWidgets/QApplication>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QDateEdit>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtGui/QHelpEvent>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPlainTextEdit>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QSizeGrip>
#include <QtWidgets/QStatusBar>
#include <QtWidgets/QStyle>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QTextEdit>
#include <QtWidgets/QToolTip>
#include <QtWidgets/QTreeWidget>

namespace {

bool OwnEnabled(const QWidget* w) { return !w->testAttribute(Qt::WA_ForceDisabled); }

const CXItem* User() { return AppServices().User(); }

// The field of a bound member. A member the record's field table does not describe is a
// fault of the dialog's code: warn and let the caller skip what needs the field.
const CHead* HeadOf(const CXItem* item, unsigned offset)
{
    if (!item)
        return nullptr;
    const CHeads* heads = item->GetHeads();
    const CHead* h = heads ? heads->FindByOffset(static_cast<int>(offset)) : nullptr;
    if (!h)
        qWarning("CXDialogEx: bound member at offset %u has no field in the record's table", offset);
    return h;
}

QString RawText(const QWidget* w)
{
    if (auto* e = qobject_cast<const QLineEdit*>(w))
        return e->text();
    if (auto* pe = qobject_cast<const QPlainTextEdit*>(w))
        return pe->toPlainText();
    if (auto* te = qobject_cast<const QTextEdit*>(w))
        return te->toPlainText();
    if (auto* c = qobject_cast<const QComboBox*>(w))
        return c->currentText();
    if (auto* b = qobject_cast<const QAbstractButton*>(w))
        return b->text();
    if (auto* l = qobject_cast<const QLabel*>(w))
        return l->text();
    return QString();
}

void SetRawText(QWidget* w, const QString& text)
{
    if (auto* e = qobject_cast<QLineEdit*>(w))
        e->setText(text);
    else if (auto* pe = qobject_cast<QPlainTextEdit*>(w))
        pe->setPlainText(text);
    else if (auto* te = qobject_cast<QTextEdit*>(w))
        te->setPlainText(text);
    else if (auto* c = qobject_cast<QComboBox*>(w)) {
        if (c->isEditable())
            c->setEditText(text);
        else
            c->setCurrentIndex(c->findText(text));
    } else if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(text);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(text);
}

bool IsEditClass(const QWidget* w)
{
    return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
           qobject_cast<const QTextEdit*>(w);
}

constexpr const char* kLoaded = "xloaded";

} // namespace

X_BEGIN_MESSAGE_MAP(CXDialogEx, XCmdTarget)
    X_ON_COMMAND(IDOK, OnOK)
    X_ON_COMMAND(IDCANCEL, OnCancel)
X_END_MESSAGE_MAP()

CXDialogEx::CXDialogEx(bool bAddNew, const XDlgTemplate* templ, QWidget* parent)
    : QDialog(parent), m_bAddNew(bAddNew ? 1 : 0), m_pTemplate(templ)
{
    Q_ASSERT(templ);
    m_nHelpId = templ->id;
    if (templ->style & WS_CHILD)
        setWindowFlags(Qt::Widget);
    else if (templ->style & WS_MAXIMIZEBOX)
        setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    XWheelForwarder::Install();
}

CXDialogEx::~CXDialogEx() { OnDestroy(); }

CXDialogEx* CXDialogEx::FromControl(const QWidget* control)
{
    for (QWidget* p = control ? control->parentWidget() : nullptr; p; p = p->parentWidget())
        if (auto* dlg = qobject_cast<CXDialogEx*>(p))
            return dlg;
    return nullptr;
}

bool CXDialogEx::IsChild() const { return !isWindow(); }

bool CXDialogEx::IsScrollable() const { return (m_pTemplate->style & (WS_VSCROLL | WS_HSCROLL)) != 0; }

// ---- building ----------------------------------------------------------------------

bool CXDialogEx::Create()
{
    if (m_bCreated)
        return true;
    m_bCreated = true;
    BuildControls();
    PreInitDialog();
    if (!IsChild())
        resize(m_pTemplate->size.isEmpty() ? sizeHint() : m_pTemplate->size);
    m_bInitialising = true;
    OnInitDialog();
    m_bInitialising = false;
    if (!IsChild() && !(m_pTemplate->style & WS_MAXIMIZEBOX))
        setFixedSize(size()); // no maximise and no sizing borders
    return true;
}

int CXDialogEx::DoModal()
{
    Create();
    if (m_bEndedInInit) {
        // exec would show the dialog again, empty, and wait for a user who already chose
        m_bEndedInInit = false;
        OnDestroy();
        return m_nInitResult;
    }
    const int result = XUi::RunModal(this);
    OnDestroy();
    return result;
}

void CXDialogEx::EndDialog(int result)
{
    if (m_bInitialising) {
        m_bEndedInInit = true;
        m_nInitResult = result;
    }
    done(result);
}

void CXDialogEx::GiveSpareHeightToRows(std::initializer_list<std::pair<int, int>> rowShares)
{
    auto* outer = qobject_cast<QBoxLayout*>(m_content ? m_content->layout() : nullptr);
    auto* grid = outer && outer->count() > 0 ? qobject_cast<QGridLayout*>(outer->itemAt(0)->layout()) : nullptr;
    if (!grid)
        return;
    outer->setStretch(0, 1);
    for (int i = 1; i < outer->count(); ++i)
        outer->setStretch(i, 0);
    for (const auto& [row, share] : rowShares)
        grid->setRowStretch(row, share);
}

void CXDialogEx::BuildControls()
{
    m_content = new QWidget(this);
    auto* outer = new QVBoxLayout(m_content);
    auto* grid = new QGridLayout;
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    outer->addLayout(grid);
    outer->addStretch(1);
    bool anyButton = false;
    for (const XCtrlDef& def : m_pTemplate->ctrls) {
        QWidget* w = MakeControl(def);
        SetCtrlProps(w, def.id, QString::fromLatin1(WndClassOf(def.kind)), def.style | KindStyle(def.kind),
                     def.exStyle);
        w->installEventFilter(this);
        if (def.row < 0) {
            buttons->addWidget(w);
            anyButton = true;
        } else {
            grid->addWidget(w, def.row, def.col, 1, def.colSpan);
        }
        if (!m_zorder.isEmpty())
            setTabOrder(m_zorder.back(), w);
        m_zorder.append(w);
    }
    if (anyButton)
        outer->addLayout(buttons);
    else
        delete buttons;
    if (!IsScrollable()) {
        auto* own = new QVBoxLayout(this);
        own->setContentsMargins(0, 0, 0, 0);
        own->addWidget(m_content);
    }
}

QWidget* CXDialogEx::MakeControl(const XCtrlDef& def)
{
    const int id = def.id;
    auto command = [this, id] { OnCommand(id); };
    switch (def.kind) {
    case XCtrlKind::Static: {
        auto* l = new QLabel(def.text, m_content);
        l->setTextFormat(Qt::PlainText);
        return l;
    }
    case XCtrlKind::Edit: {
        if (def.style & ES_MULTILINE) {
            auto* e = new QPlainTextEdit(m_content);
            e->setPlainText(def.text);
            e->setReadOnly(def.style & ES_READONLY);
            e->setTabChangesFocus(true);
            return e;
        }
        auto* e = new QLineEdit(def.text, m_content);
        e->setReadOnly(def.style & ES_READONLY);
        return e;
    }
    case XCtrlKind::Button:
    case XCtrlKind::MfcButton: {
        auto* b = new QPushButton(def.text, m_content);
        b->setAutoDefault(false); // Return goes to IDOK, as in every dialog of the program
        connect(b, &QPushButton::clicked, this, command);
        return b;
    }
    case XCtrlKind::Radio:
    case XCtrlKind::Check: {
        auto* b = new CXButton(def.kind == XCtrlKind::Radio, def.text, m_content);
        connect(b, &QAbstractButton::clicked, this, command);
        return b;
    }
    case XCtrlKind::GroupBox: {
        auto* g = new QGroupBox(def.text, m_content);
        g->setFlat(true);
        return g;
    }
    case XCtrlKind::Combo: {
        auto* c = new QComboBox(m_content);
        c->setEditable((def.style & 0x3) == CBS_DROPDOWN);
        c->setFocusPolicy(Qt::StrongFocus);
        return c;
    }
    case XCtrlKind::List:
        return new QTreeWidget(m_content);
    case XCtrlKind::Date: {
        auto* d = new QDateEdit(m_content);
        d->setFocusPolicy(Qt::StrongFocus);
        return d;
    }
    case XCtrlKind::Link:
        return new CXLinkCtrl(def.text, m_content);
    case XCtrlKind::Tab:
        return new QTabBar(m_content);
    case XCtrlKind::RichEdit:
        return new QTextEdit(m_content);
    case XCtrlKind::Custom:
        return new QWidget(m_content);
    }
    return new QWidget(m_content);
}

void CXDialogEx::ReplaceControl(QWidget* old, QWidget* w)
{
    CopyCtrlProps(old, w);
    w->setFont(old->font());
    if (old->metaObject()->indexOfProperty("text") >= 0 && w->metaObject()->indexOfProperty("text") >= 0)
        w->setProperty("text", old->property("text"));
    if (!OwnEnabled(old))
        w->setEnabled(false);
    if (m_content->layout()) {
        QLayoutItem* item = m_content->layout()->replaceWidget(old, w, Qt::FindChildrenRecursively);
        delete item;
    }
    w->setGeometry(old->geometry());
    w->setVisible(!old->isHidden() || !m_content->isVisible());
    w->installEventFilter(this);
    const qsizetype at = m_zorder.indexOf(old);
    if (at >= 0) {
        m_zorder[at] = w;
        if (at > 0)
            setTabOrder(m_zorder[at - 1], w);
        if (at + 1 < m_zorder.size())
            setTabOrder(w, m_zorder[at + 1]);
    }
    if (IsWndReadOnly(old))
        SetWndReadOnly(w, true);
    delete old;
}

QWidget* CXDialogEx::GetDlgItem(int id) const
{
    for (QWidget* w : m_zorder)
        if (CtrlId(w) == id)
            return w;
    return nullptr;
}

QWidget* CXDialogEx::NextInZOrder(const QWidget* w) const
{
    const qsizetype i = m_zorder.indexOf(const_cast<QWidget*>(w));
    return i >= 0 && i + 1 < m_zorder.size() ? m_zorder[i + 1] : nullptr;
}

QWidget* CXDialogEx::PrevInZOrder(const QWidget* w) const
{
    const qsizetype i = m_zorder.indexOf(const_cast<QWidget*>(w));
    return i > 0 ? m_zorder[i - 1] : nullptr;
}

int CXDialogEx::FirstFreeId(int from) const
{
    int id = from;
    while (GetDlgItem(id))
        ++id;
    return id;
}

void CXDialogEx::InsertControlAfter(QWidget* prev, QWidget* w, int id, const QString& wndClass, unsigned style)
{
    SetCtrlProps(w, id, wndClass, style, 0);
    const qsizetype at = m_zorder.indexOf(prev);
    m_zorder.insert(at >= 0 ? at + 1 : m_zorder.size(), w);
}

void CXDialogEx::PreInitDialog()
{
    const QList<QWidget*> order = m_zorder;
    for (QWidget* w : order) {
        const QString cls = WndClass(w);
        if (cls == QLatin1String("Static") && XIconStatic::IconIdOf(RawText(w)))
            EnsureControl<XIconStatic>(CtrlId(w));
        else if (IsAutoRadio(w) && HasStyle(w, WS_GROUP))
            static_cast<QAbstractButton*>(w)->setChecked(true); // each group starts at its first radio
    }
}

bool CXDialogEx::OnInitDialog()
{
    UpdateData(false);

    // four dialogs keep their own help topic
    if (m_nHelpId != IDD_APP_LOGIN && m_nHelpId != IDD_APP_SETUP && m_nHelpId != IDD_IMPORT_INFO &&
        m_nHelpId != IDD_QUERY && m_nHelpId == m_pTemplate->id) {
        m_nHelpId = IDH_GENERIC;
        CXItem* item = GetItem();
        if (!item)
            if (auto* parentDlg = qobject_cast<CXDialogEx*>(parentWidget()))
                item = parentDlg->GetItem();
        if (item && item->IsModuleItem())
            m_nHelpId = item->m_nMduID;
    }

    if (CXItem* item = GetItem())
        item->Validate(User(), false);

    if (m_strCaption.isEmpty()) {
        m_strCaption = m_pTemplate->caption;
        if (m_bAddNew && !IsChild())
            m_strCaption = LoadCommandText(ID_LIST_ADDITEM) + m_strCaption;
    }
    setWindowTitle(m_strCaption);

    for (QWidget* w : m_zorder) {
        if (WndClass(w) == QLatin1String("MfcButton")) {
            const QIcon normal = AppServices().CommandIcon(CtrlId(w), 0, false);
            const QIcon faded = AppServices().CommandIcon(CtrlId(w), 0xFFFFFF, false);
            if (normal.isNull() && faded.isNull())
                continue;
            QIcon icon;
            if (!normal.isNull())
                icon.addPixmap(normal.pixmap(16, 16), QIcon::Normal);
            if (!faded.isNull())
                icon.addPixmap(faded.pixmap(16, 16), QIcon::Disabled);
            static_cast<QPushButton*>(w)->setIcon(icon);
        } else if (auto* c = qobject_cast<QComboBox*>(w)) {
            c->setMinimumHeight(RowHeight() - 4);
        }
    }

    if (!FirstPage())
        RestoreSize();

    if (!IsChild() && (m_pTemplate->style & WS_MAXIMIZEBOX)) {
        m_wndGrip = new QSizeGrip(this);
        m_wndGrip->setGeometry(width() - 16, height() - 16, 16, 16);
        m_wndGrip->raise();
        AddLayoutItem(m_wndGrip, 100, 100, 0, 0);
    }

    QWidget* parentWnd = parentWidget();
    if (parentWnd && (IsWndReadOnly(parentWnd) || IsWndReadOnly(FromControl(this))))
        SetWndReadOnly(this, true);
    // A second start of the program is served by the single-instance server, which keeps
    // running inside modal loops: dialogs need no part in it.
    return true;
}

// ---- binding -----------------------------------------------------------------------

bool CXDialogEx::BindVari(int id, CXItem* item, const void* member)
{
    if (!GetDlgItem(id))
        return false;
    if (!item)
        return true;
    if (m_mapByID.count(id))
        return true;
    const _BindVari b{id, item, static_cast<unsigned>(item->MemberOffset(member))};
    m_mapByID[id] = b;
    m_mapByMember[b.nOffset] = b;
    return true;
}

const CHead* CXDialogEx::FindHead(const _BindVari& b) const { return HeadOf(b.pItem, b.nOffset); }

bool CXDialogEx::UpdateData(bool save)
{
    const bool wasLoading = m_bLoading;
    if (!save)
        m_bLoading = true;
    XDataExchange dx;
    dx.m_bSaveAndValidate = save;
    DoDataExchange(dx);
    m_bLoading = wasLoading;
    return true;
}

void CXDialogEx::BindStatic(XDataExchange& dx, int id, CXItem* item, const void* member)
{
    if (!BindVari(id, item, member) || dx.m_bSaveAndValidate)
        return;
    QWidget* w = GetDlgItem(id);
    const QString cls = WndClass(w);
    if (cls == QLatin1String("SysLink")) {
        const auto* array = static_cast<const CXArray*>(member);
        QStringList links;
        for (int i = 0; i < array->GetSize(); ++i) {
            const QString link = array->GetAt(i)->GetLink();
            if (!link.isEmpty() && !links.contains(link))
                links << link;
        }
        SetRawText(w, links.join(u' '));
    } else if (cls == QLatin1String("Static") && item) {
        if (const CHead* h = HeadOf(item, static_cast<unsigned>(item->MemberOffset(member))))
            SetRawText(w, item->FormatText(h, true, true, true));
    }
}

namespace {
// The control of a binding as the interface the binder talks to: a control that already
// is one (a dialog's own, a test's stand-in) is kept, a placeholder becomes a T.
template <class T, class I> I* BoundControl(CXDialogEx* dlg, int id)
{
    QWidget* w = dlg->GetDlgItem(id);
    if (!w)
        return nullptr;
    if (auto* i = dynamic_cast<I*>(w))
        return i;
    return dlg->EnsureControl<T>(id);
}
} // namespace

void CXDialogEx::BindDate(XDataExchange& dx, int id, CXItem* item, XDateTime* member, int weekdayMode)
{
    if (!BindVari(id, item, member))
        return;
    auto* c = BoundControl<CXDateCtrl, IXDateControl>(this, id);
    if (!c)
        return;
    if (dx.m_bSaveAndValidate) {
        *member = c->GetDate();
        c->UpdateCalendarStyle();
        return;
    }
    const CHead* h = item ? HeadOf(item, static_cast<unsigned>(item->MemberOffset(member))) : nullptr;
    if (h) {
        c->SetEmptyText(item->GetEmptyText(h));
        c->SetDisplayFormat(DateDisplayFormat(item->GetFormat(h)));
        int min = 0, max = 0;
        item->GetRange(h, min, max);
        const XDateRangeDecision d = DecideDateRange(min, max, weekdayMode, *member);
        if (d.setWeekday)
            c->SetWeekday(d.reference, d.backward);
        if (d.setRange)
            c->SetDateRange(d.lower, d.upper);
    }
    if (member->Day() != 0 && member->IsValid()) {
        c->SetDate(*member);
    } else if (c->HasShowNone()) {
        // the default first, so that the drop-down opens there
        const int def = h ? item->GetDefault(h) : 0;
        if (def != 0)
            c->SetDate(XDateTime(static_cast<double>(def)));
        c->SetNoDate();
    }
    c->UpdateCalendarStyle();
}

void CXDialogEx::BindBirthday(XDataExchange& dx, int, CXItem* item, XDateTime* member, int* estimated)
{
    if (!BindVari(IDC_BIRTHDAY, item, member))
        return;
    auto* c = BoundControl<CXBirthCtrl, IXBirthControl>(this, IDC_BIRTHDAY);
    if (!c)
        return;
    int flag = estimated ? *estimated : 0;
    if (dx.m_bSaveAndValidate) {
        c->GetBirthDate(*member, flag);
        if (estimated)
            *estimated = flag;
    } else {
        c->SetBirthDate(*member, flag);
    }
}

void CXDialogEx::BindTimeSpan(XDataExchange& dx, int, CXItem* item, CXTimeSpan* member)
{
    if (!BindVari(IDC_TIMESPAN, item, member) || !item)
        return;
    auto* c = BoundControl<CXTimeSpanCtrl, IXTimeSpanControl>(this, IDC_TIMESPAN);
    const CHead* h = HeadOf(item, static_cast<unsigned>(item->MemberOffset(member)));
    if (!c || !h)
        return;
    if (dx.m_bSaveAndValidate) {
        *member = c->GetSpan(item->GetDefault(h));
    } else {
        c->SetCaption(item->GetEmptyText(h));
        c->SetSpan(*member, item->GetDefault(h));
    }
}

void CXDialogEx::BindList(XDataExchange& dx, int id, CXItem* item, CXArray* member, int listStyle)
{
    if (!BindVari(id, item, member))
        return;
    auto* c = dynamic_cast<IXListControl*>(GetDlgItem(id));
    if (!c)
        return;
    if (c->ShownArray() != member)
        c->SetItems(member, member->GetHeads(), item && item->IsSubArray(member) ? 1 : 2, listStyle);
    if (dx.m_bSaveAndValidate || listStyle != 2)
        return;
    for (int i = 0; i < c->ItemCount() && i < member->GetSize(); ++i) {
        const bool selected = member->GetAt(i)->m_bSelected != 0;
        if (c->IsItemChecked(i) != selected)
            c->SetItemChecked(i, selected);
    }
}

void CXDialogEx::BindImages(XDataExchange& dx, int, CXItem* item, CXArray* member)
{
    Q_UNUSED(dx);
    if (!BindVari(IDC_IMAGES, item, member))
        return;
    auto* c = BoundControl<CXImagesCtrl, IXImagesControl>(this, IDC_IMAGES);
    QWidget* w = GetDlgItem(IDC_IMAGES);
    if (!c || w->property("ximages").toBool())
        return; // the control edits the array from its first binding on
    w->setProperty("ximages", true);
    c->SetImages(member, member->GetSize() > 0);
}

void CXDialogEx::BindImage(XDataExchange& dx, int id, CXItem* item, CXImage* member)
{
    if (!BindVari(id, item, member))
        return;
    auto* c = BoundControl<CXImageCtrl, IXImageControl>(this, id);
    if (!c)
        return;
    c->SetImage(member);
    if (!dx.m_bSaveAndValidate)
        c->Repaint();
}

void CXDialogEx::BindLink(XDataExchange& dx, int id, CXItem* item, CXBase* member)
{
    if (!BindVari(id, item, member))
        return;
    QWidget* w = GetDlgItem(id);
    auto* c = dynamic_cast<IXLinkControl*>(w);
    if (!c)
        return;
    c->AddLinkButtons(item, member);
    if (!dx.m_bSaveAndValidate)
        c->ShowLink(*member);
    else if (!IsWndReadOnly(this) && isEnabled() && (CtrlExStyle(w) & WS_EX_CLIENTEDGE))
        c->ParseLink(*member);
}

CXEditNumber* CXDialogEx::PrepareNumberEdit(int id, CXItem* item, const void* member)
{
    if (!BindVari(id, item, member))
        return nullptr;
    auto* e = EnsureControl<CXEditNumber>(id);
    if (!e)
        return nullptr;
    if (!m_zorder.contains(e->Spin()))
        InsertControlAfter(e, e->Spin(), FirstFreeId(6), QStringLiteral("msctls_updown32"), XSPIN_STYLE);
    if (const CHead* h = item ? HeadOf(item, static_cast<unsigned>(item->MemberOffset(member))) : nullptr) {
        int min = 0, max = 0;
        item->GetRange(h, min, max);
        e->SetRange(min, max);
        e->m_strPrefix = item->GetPrefix(h);
        e->m_strUnit = item->GetUnit(h);
        e->m_strFormat = item->GetFormat(h);
    }
    return e;
}

namespace {
// Loads skip the focused edit; stores take only an enabled, editable one (an int member
// gets the whole part).
template <class T> void ExchangeNumber(const XDataExchange& dx, CXEditNumber* e, T* member)
{
    if (!e)
        return;
    if (!dx.m_bSaveAndValidate) {
        if (!IsFocused(e))
            e->SetValue(*member);
    } else if (OwnEnabled(e) && !IsWndReadOnly(e)) {
        *member = static_cast<T>(e->GetValue());
    }
}
} // namespace

void CXDialogEx::BindInt(XDataExchange& dx, int id, CXItem* item, int* member)
{
    ExchangeNumber(dx, PrepareNumberEdit(id, item, member), member);
}

void CXDialogEx::BindDouble(XDataExchange& dx, int id, CXItem* item, double* member)
{
    ExchangeNumber(dx, PrepareNumberEdit(id, item, member), member);
}

QWidget* CXDialogEx::SubclassTextControl(QWidget* w, int id, CXItem* item, const void* member, int extraCmd)
{
    if (auto* combo = qobject_cast<QComboBox*>(w); combo && !qobject_cast<CXComboBox*>(w)) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        const bool editable = combo->isEditable();
        auto* c = EnsureControl<CXComboBox>(id);
        c->setEditable(editable);
        c->addItems(items);
        c->SaveItems();
        return c;
    }
    if ((m_pTemplate && (m_pTemplate->style & DS_LOCALEDIT)) || dynamic_cast<IXEdit*>(w))
        return w;
    XEditButtons* buttons = nullptr;
    if (qobject_cast<QPlainTextEdit*>(w)) {
        buttons = &EnsureControl<CXMultiEditCtrl>(id)->Buttons();
    } else if (qobject_cast<QLineEdit*>(w) && !qobject_cast<CXEditNumber*>(w)) {
        buttons = &EnsureControl<CXEditCtrl>(id)->Buttons();
    } else {
        return w;
    }
    if (extraCmd != 0)
        buttons->AddCmd(extraCmd, true, true);
    const CHead* h = item ? HeadOf(item, static_cast<unsigned>(item->MemberOffset(member))) : nullptr;
    if (h && item->GetHeads() && !item->GetHeads()->m_strTable.isEmpty()) {
        if (h->m_nUnique == 0)
            buttons->AddCmd(ID_EDIT_HISTORY, true);
        else
            buttons->AddCmd(h->m_nUnique == 1 ? int(IDI_WARNING) : int(IDI_ERROR), false, false, true);
    }
    buttons->OnChange();
    return GetDlgItem(id);
}

void CXDialogEx::BindText(XDataExchange& dx, int id, CXItem* item, QString* member, int extraCmd)
{
    if (!BindVari(id, item, member))
        return;
    QWidget* w = GetDlgItem(id);
    if (w && !w->property("xbound").toBool())
        w = SubclassTextControl(w, id, item, member, extraCmd);
    const bool multi = WndClass(w) == QLatin1String("Edit") && HasStyle(w, ES_MULTILINE);
    const int limit = TextLimit(multi);
    const CHead* h = item ? HeadOf(item, static_cast<unsigned>(item->MemberOffset(member))) : nullptr;
    if (!w->property("xbound").toBool()) {
        w->setProperty("xbound", true);
        const QString cue = LoadCommandText(id);
        if (auto* e = qobject_cast<QLineEdit*>(w))
            e->setPlaceholderText(cue);
        else if (auto* pe = qobject_cast<QPlainTextEdit*>(w))
            pe->setPlaceholderText(cue);
        else if (auto* c = qobject_cast<QComboBox*>(w); c && c->lineEdit())
            c->lineEdit()->setPlaceholderText(cue);
    }
    if (auto* c = qobject_cast<CXComboBox*>(w); c && h && item->GetHeads()) {
        c->m_strTable = item->GetHeads()->m_strTable;
        c->m_strColumn = h->m_strColumn;
    }
    if (auto* c = qobject_cast<QComboBox*>(w); c && h) {
        QStringList texts;
        QList<int> values;
        item->GetOptions(h, texts, values);
        if (!texts.isEmpty() && c->count() != texts.size()) {
            const QString empty = item->GetEmptyText(h);
            c->clear();
            for (const QString& t : texts)
                if (c->findText(t) < 0)
                    c->addItem(t, t == empty ? -1 : 0);
        }
    }
    if (!dx.m_bSaveAndValidate) {
        if (IsFocused(w))
            return;
        if (auto* c = qobject_cast<QComboBox*>(w))
            c->setCurrentIndex(-1);
        const QString text = SimplifyText(*member, limit, !multi);
        SetRawText(w, text);
        w->setProperty(kLoaded, RawText(w));
        return;
    }
    if (!OwnEnabled(w))
        return;
    // A value the control shows as it was loaded is left alone: a stored text longer than
    // the limit must not be cut merely by opening and saving the record.
    const QVariant loaded = w->property(kLoaded);
    if (loaded.isValid() && loaded.toString() == RawText(w))
        return;
    *member = SimplifyText(GetControlText(id), limit, !multi);
}

void CXDialogEx::BindChoice(XDataExchange& dx, int id, CXItem* item, int* member)
{
    if (!BindVari(id, item, member))
        return;
    QWidget* w = GetDlgItem(id);
    if (IsAutoRadio(w)) {
        std::vector<QAbstractButton*> group;
        for (qsizetype i = m_zorder.indexOf(w); i < m_zorder.size(); ++i) {
            if (m_zorder[i] != w && HasStyle(m_zorder[i], WS_GROUP))
                break;
            if (IsAutoRadio(m_zorder[i]))
                group.push_back(static_cast<QAbstractButton*>(m_zorder[i]));
        }
        if (dx.m_bSaveAndValidate) {
            for (std::size_t i = 0; i < group.size(); ++i) {
                if (group[i]->isChecked()) {
                    *member = static_cast<int>(i);
                    break;
                }
            }
        } else {
            for (std::size_t i = 0; i < group.size(); ++i)
                group[i]->setChecked(static_cast<int>(i) == *member);
        }
        return;
    }
    if (IsAutoCheck(w)) {
        auto* b = static_cast<QAbstractButton*>(w);
        if (dx.m_bSaveAndValidate)
            *member = b->isChecked() ? 1 : 0;
        else
            b->setChecked(*member != 0);
        return;
    }
    auto* c = qobject_cast<QComboBox*>(w);
    if (!c)
        return;
    QStringList texts;
    QList<int> values;
    if (const CHead* h = item ? HeadOf(item, static_cast<unsigned>(item->MemberOffset(member))) : nullptr)
        item->GetOptions(h, texts, values);
    if (texts.isEmpty()) {
        if (dx.m_bSaveAndValidate)
            *member = c->currentIndex();
        else
            c->setCurrentIndex(*member);
        return;
    }
    if (c->count() != texts.size()) {
        c->clear();
        for (const QString& t : texts)
            if (c->findText(t) < 0)
                c->addItem(t, 0);
    }
    if (dx.m_bSaveAndValidate) {
        const int sel = c->currentIndex();
        *member = sel >= 0 && sel < values.size() ? values[sel] : -1;
    } else {
        const qsizetype at = values.indexOf(*member);
        if (at >= 0 && c->currentIndex() != at)
            c->setCurrentIndex(static_cast<int>(at));
    }
}

// ---- update pass -------------------------------------------------------------------

XDialogSnapshot CXDialogEx::TakeSnapshot(std::vector<QWidget*>& ctrls)
{
    ctrls.assign(m_zorder.begin(), m_zorder.end());
    XDialogSnapshot snap;
    snap.readOnly = IsWndReadOnly(this);
    snap.topLevel = !IsChild();
    for (QWidget* w : ctrls) {
        XCtrlSnapshot c;
        c.id = CtrlId(w);
        c.cls = WndClass(w);
        c.style = CtrlStyle(w);
        auto* b = qobject_cast<QAbstractButton*>(w);
        c.checked = b && b->isChecked();
        c.caption = b ? b->text() : QString();
        c.enabled = OwnEnabled(w);
        c.readOnly = IsWndReadOnly(w);
        c.isDialog = qobject_cast<QDialog*>(w) != nullptr;
        snap.ctrls.push_back(c);
    }
    // the update handlers of the dialog's own map
    for (const XMsgEntry& e : GetMessageMap()->entries) {
        if (e.code != XCN_UPDATE)
            continue;
        for (XCtrlSnapshot& c : snap.ctrls) {
            if (c.id < e.first || c.id > e.last)
                continue;
            CXCmd cmd(c.id);
            e.update(this, &cmd);
            c.cmdEnable = cmd.m_bEnabled ? 1 : 0;
        }
    }
    const CXItem* user = User();
    for (const auto& [offset, b] : m_mapByMember) {
        XBindSnapshot bs;
        bs.index = static_cast<int>(m_zorder.indexOf(GetDlgItem(b.nID)));
        const CHead* h = FindHead(b);
        if (!h) {
            bs.access = -2;
        } else {
            bs.access = b.pItem->GetAccess(h, user);
            QList<int> values;
            b.pItem->GetOptions(h, bs.options, values);
        }
        snap.binds.push_back(bs);
    }
    return snap;
}

void CXDialogEx::RequestUpdate()
{
    if (m_bUpdatePosted)
        return;
    m_bUpdatePosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_bUpdatePosted = false;
            UpdateControls();
        },
        Qt::QueuedConnection);
}

void CXDialogEx::UpdateControls()
{
    if (!m_bCreated)
        return;
    if (m_nUpdateDepth > 0 || m_bLoading) {
        RequestUpdate(); // never recurse through a load's change notices
        return;
    }
    ++m_nUpdateDepth;
    UpdateData(true);

    std::vector<QWidget*> ctrls;
    const XDialogSnapshot snap = TakeSnapshot(ctrls);
    const XControlDecisions d = ComputeControlDecisions(snap);

    bool changed = false;
    for (std::size_t i = 0; i < ctrls.size(); ++i) {
        QWidget* w = ctrls[i];
        const int en = d.enable[i];
        const int ro = d.readOnly[i];
        if (snap.ctrls[i].cls == QLatin1String("MfcButton")) {
            if (en == -1 && ro == -1)
                continue;
            const bool on = (en == -1 || en == 1) && ro != 1;
            if (OwnEnabled(w) != on)
                w->setEnabled(on);
            continue;
        }
        if (en != -1 && OwnEnabled(w) != (en == 1)) {
            w->setEnabled(en == 1);
            changed = true;
        }
        if (ro != -1)
            SetWndReadOnly(w, ro == 1);
        if (!d.caption[i].isNull())
            if (auto* b = qobject_cast<QAbstractButton*>(w))
                b->setText(d.caption[i]);
    }
    if (d.okVisible != -1)
        if (QWidget* ok = GetDlgItem(IDOK))
            ok->setVisible(d.okVisible == 1);
    if (d.cancelClose != -1)
        if (QWidget* cancel = GetDlgItem(IDCANCEL))
            SetRawText(cancel, LoadStringText(d.cancelClose == 1 ? IDS_FRAME_CLOSE : IDS_FRAME_CANCEL));

    if (CXItem* item = GetItem()) {
        item->Validate(User(), false);
        if (!m_mapByID.empty() || changed)
            UpdateData(false);
    }
    --m_nUpdateDepth;
}

void CXDialogEx::OnReadOnlyChanged(bool)
{
    UpdateControls();
    update();
}

// ---- commands ----------------------------------------------------------------------

bool CXDialogEx::HasCommandHandler(int id, int code) const
{
    if (code != XCN_COMMAND && code != XCN_UPDATE)
        return false;
    if (id == IDOK || id == IDCANCEL)
        return true;
    return HasOwnHandler(id, code);
}

void CXDialogEx::OnCommand(int id)
{
    {
        XCommandScope scope(id);
        OnCmdMsg(id, XCN_COMMAND, nullptr);
    }
    QWidget* w = GetDlgItem(id);
    if (w && !IsWndReadOnly(w) && (IsAutoRadio(w) || IsAutoCheck(w)))
        UpdateControls();
    XCmdUpdater::UpdateSoon();
}

void CXDialogEx::OnOK()
{
    if (IsChild()) {
        XPostCommand(FromControl(this) ? static_cast<QObject*>(FromControl(this)) : parentWidget(), IDOK);
        return;
    }
    if (Validate()) {
        UpdateData(true);
        EndDialog(IDOK);
    }
}

void CXDialogEx::OnCancel()
{
    if (IsChild()) {
        XPostCommand(FromControl(this) ? static_cast<QObject*>(FromControl(this)) : parentWidget(), IDCANCEL);
        return;
    }
    EndDialog(IDCANCEL);
}

CXItem* CXDialogEx::GetItem()
{
    if (!m_bCreated)
        return nullptr;
    auto* top = qobject_cast<CXDialogEx*>(window());
    if (top && top != this && top->FirstPage() && top->FirstPage() != this)
        return top->GetItem();
    return nullptr;
}

QString CXDialogEx::GetControlText(int id) const
{
    const QWidget* w = GetDlgItem(id);
    if (auto* c = qobject_cast<const QComboBox*>(w); c && c->currentIndex() >= 0)
        return c->itemText(c->currentIndex());
    return RawText(w).trimmed();
}

// ---- messages and validation -------------------------------------------------------

QString CXDialogEx::GetItemLabel(int id) const
{
    if (id == 0)
        id = XCurrentCommandId();
    QString text;
    if (id != 0 && id != IDOK && id != IDCANCEL) {
        text = LoadCommandText(id);
        const QWidget* w = text.isEmpty() ? GetDlgItem(id) : nullptr;
        if (w) {
            const QString cls = WndClass(w);
            if (cls == QLatin1String("Button") || cls == QLatin1String("MfcButton"))
                text = RawText(w);
            const QWidget* prev = PrevInZOrder(w);
            if (text.isEmpty() && prev && WndClass(prev) == QLatin1String("Static"))
                text = StripLabelColons(RawText(prev));
        }
    }
    if (text.isEmpty())
        text = window()->windowTitle();
    return CleanItemLabel(text);
}

void CXDialogEx::ShowItemTipText(int type, int id, const QString& text)
{
    const QString title = GetItemLabel(id);
    QWidget* w = GetDlgItem(id);
    if (w && isVisible()) {
        if (IsEditClass(w)) {
            if (auto* e = qobject_cast<QLineEdit*>(w))
                e->setCursorPosition(static_cast<int>(e->text().size()));
            else if (auto* pe = qobject_cast<QPlainTextEdit*>(w)) {
                pe->moveCursor(QTextCursor::End);
                pe->ensureCursorVisible();
            }
            XUi::ShowBalloon(w, w->rect(), title, text, type);
        } else {
            const int dx = w->width() / 3 - 1, dy = w->height() / 3 - 1;
            XUi::ShowBalloon(w, w->rect().adjusted(dx, dy, -dx, -dy), title, text, type);
        }
        return;
    }
    const unsigned icon = type == TTI_ERROR ? MB_ICONERROR : type == TTI_WARNING ? MB_ICONWARNING : MB_ICONINFORMATION;
    XUi::MessageBox(this, text, title, icon);
}

bool CXDialogEx::Validate()
{
    CXItem* item = GetItem();
    if (!item)
        return true;
    UpdateData(true);
    item->Validate(User(), true);
    UpdateData(false);

    std::vector<XValidationMessage> messages;
    for (const CXStatus& s : item->m_status)
        messages.push_back({s.m_nLevel, s.m_nMember, s.m_strText});
    std::vector<int> bound;
    for (const auto& [offset, b] : m_mapByMember)
        bound.push_back(static_cast<int>(offset));
    return ApplyValidation(*item, DecideValidation(messages, bound));
}

bool CXDialogEx::ShowMemberTip(int member, int type, const QString& text)
{
    const auto it = m_mapByMember.find(static_cast<unsigned>(member));
    if (it == m_mapByMember.end())
        return false;
    ShowItemTipText(type, it->second.nID, text);
    return true;
}

bool CXDialogEx::ApplyValidation(const CXItem& item, const XValidationAction& a)
{
    if (a.kind == XValidationAction::StopAt) {
        ShowMemberTip(a.member, TTI_ERROR, a.text);
        return false;
    }
    if (a.kind == XValidationAction::Confirm) {
        const int answer = XUi::MessageBox(this, QStringLiteral("请确认以下信息后继续：\r\n\r\n") + item.GetAlertText(),
                                           GetItemLabel(0), MB_ICONWARNING | MB_OKCANCEL);
        if (answer != IDOK) {
            if (a.warnMember)
                ShowMemberTip(a.warnMember, TTI_WARNING, a.warnText);
            return false;
        }
    }
    return true;
}

QString CXDialogEx::TooltipText(const QWidget* control) const
{
    QString text;
    if (!m_mapByID.empty()) {
        const QWidget* bound = control;
        if (IsAutoRadio(control))
            for (const QWidget* w = control; w; w = PrevInZOrder(w))
                if (IsAutoRadio(w) && HasStyle(w, WS_GROUP)) {
                    bound = w;
                    break;
                }
        const auto it = m_mapByID.find(CtrlId(bound));
        if (it != m_mapByID.end())
            if (const CHead* h = FindHead(it->second))
                text = h->m_strMemo;
    }
    if (text.isEmpty())
        text = LoadCommandPrompt(CtrlId(control));
    return text;
}

// ---- size ----------------------------------------------------------------------------

QString CXDialogEx::SizeKey() const { return DialogSizeKey(m_pTemplate->id, m_nHelpId, ScreenDpi()); }

void CXDialogEx::RestoreSize()
{
    if (IsChild() || !(m_pTemplate->style & WS_MAXIMIZEBOX))
        return;
    const int w = width(), h = height();
    m_sizeMin = QSize(w, h);
    OnGetMinMaxInfo();
    const CXItem* user = User();
    if (!user || user->m_strName.isEmpty())
        return; // nothing is remembered without a user
    const QString def = FormatDialogSize(w, h, 1);
    const QString value = ReadSetting(user->m_strName, SizeKey(), def);
    if (value == def)
        return;
    int rw = 0, rh = 0, cmd = 0;
    if (!ParseDialogSize(value, rw, rh, cmd))
        return;
    if (cmd == 3) {
        m_bShowMaximized = true;
    } else if (cmd == 1) {
        move(0, 0);
        resize(rw, rh);
        const QWidget* over = parentWidget() ? parentWidget()->window() : nullptr;
        const QRect area = over ? over->geometry() : (screen() ? screen()->availableGeometry() : QRect());
        if (!area.isEmpty())
            move(area.center() - QPoint(width() / 2, height() / 2));
    }
}

void CXDialogEx::OnGetMinMaxInfo()
{
    if (!m_sizeMin.isEmpty())
        setMinimumSize(m_sizeMin);
}

void CXDialogEx::OnDestroy()
{
    if (m_bDestroyed)
        return;
    m_bDestroyed = true;
    if (!m_bCreated)
        return;
    XUi::CloseBalloon();
    const CXItem* user = User();
    if (ReadScreenDpi() != ScreenDpi() || IsChild() || !(m_pTemplate->style & WS_MAXIMIZEBOX) || !user ||
        user->m_strName.isEmpty())
        return;
    const bool maximized = isMaximized();
    const QSize size = maximized ? normalGeometry().size() : this->size();
    WriteSetting(user->m_strName, SizeKey(), FormatDialogSize(size.width(), size.height(), maximized ? 3 : 1));
}

void CXDialogEx::AddLayoutItem(QWidget* w, int moveX, int moveY, int sizeX, int sizeY)
{
    if (m_layout.empty())
        m_layoutRef = size();
    m_layout.push_back({w, w->geometry(), moveX, moveY, sizeX, sizeY});
}

void AddLayoutItem(QWidget* w, CXDialogEx* dlg, int moveX, int moveY, int sizeX, int sizeY)
{
    if (w && dlg)
        dlg->AddLayoutItem(w, moveX, moveY, sizeX, sizeY);
}

// ---- scrolling ---------------------------------------------------------------------

void CXDialogEx::SetScrollSize(int cx, int cy)
{
    m_contentSize = QSize(std::max(cx, 1), std::max(cy, 1));
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const XScrollBars bars = FitScrollBars(m_contentSize, size(), bar, bar);
    m_vmodel = ComputeScrollModel(m_contentSize.height(), bars.client.height());
    m_hmodel = ComputeScrollModel(m_contentSize.width(), bars.client.width());
    if (!m_vbar) {
        m_vbar = new QScrollBar(Qt::Vertical, this);
        m_hbar = new QScrollBar(Qt::Horizontal, this);
        connect(m_vbar, &QScrollBar::valueChanged, this, [this] { ApplyScroll(); });
        connect(m_hbar, &QScrollBar::valueChanged, this, [this] { ApplyScroll(); });
        connect(m_vbar, &QScrollBar::actionTriggered, this, [this](int action) {
            if (action == QAbstractSlider::SliderSingleStepAdd || action == QAbstractSlider::SliderSingleStepSub) {
                // the line step of the dialog's model, not the bar's own
                const int pos =
                    ScrollRequestPos(m_vmodel, action == QAbstractSlider::SliderSingleStepAdd ? SB_LINEDOWN : SB_LINEUP,
                                     m_vbar->value(), 0, GetScrollLines());
                m_vbar->setSliderPosition(pos);
            }
        });
    }
    const bool v = (m_pTemplate->style & WS_VSCROLL) && m_vmodel.Range() > 0;
    const bool h = (m_pTemplate->style & WS_HSCROLL) && m_hmodel.Range() > 0;
    m_vbar->setRange(0, std::max(m_vmodel.Range(), 0));
    m_vbar->setPageStep(m_vmodel.nPage);
    m_hbar->setRange(0, std::max(m_hmodel.Range(), 0));
    m_hbar->setPageStep(m_hmodel.nPage);
    m_vbar->setVisible(v);
    m_hbar->setVisible(h);
    m_vbar->setGeometry(width() - bar, 0, bar, height() - (h ? bar : 0));
    m_hbar->setGeometry(0, height() - bar, width() - (v ? bar : 0), bar);
    ApplyScroll();
}

int CXDialogEx::ScrollPos(bool vertical) const
{
    const QScrollBar* bar = vertical ? m_vbar : m_hbar;
    return bar ? bar->value() : 0;
}

QPoint CXDialogEx::ContentOffset() const { return m_content ? m_content->pos() : QPoint(); }

void CXDialogEx::ApplyScroll()
{
    if (!m_content || !IsScrollable())
        return;
    const int x = m_hmodel.Offset(ScrollPos(false));
    const int y = m_vmodel.Offset(ScrollPos(true));
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    // the bars' own state: before the dialog shows, isVisible() is false for every child
    const int clientW = width() - (m_vbar && !m_vbar->isHidden() ? bar : 0);
    const int clientH = height() - (m_hbar && !m_hbar->isHidden() ? bar : 0);
    m_content->setGeometry(-x, -y, std::max(m_contentSize.width(), clientW), std::max(m_contentSize.height(), clientH));
    if (m_wndGrip)
        m_wndGrip->raise();
}

void CXDialogEx::ScrollTo(bool vertical, int pos)
{
    QScrollBar* bar = vertical ? m_vbar : m_hbar;
    if (bar)
        bar->setValue((vertical ? m_vmodel : m_hmodel).Clamp(pos));
}

void CXDialogEx::OnVScroll(int request, int track)
{
    if (!(m_pTemplate->style & WS_VSCROLL))
        return;
    ScrollTo(true, ScrollRequestPos(m_vmodel, request, ScrollPos(true), track, GetScrollLines()));
}

void CXDialogEx::OnHScroll(int request, int track)
{
    if (!(m_pTemplate->style & WS_HSCROLL))
        return;
    ScrollTo(false, ScrollRequestPos(m_hmodel, request, ScrollPos(false), track, GetScrollLines()));
}

bool CXDialogEx::OnMouseWheel(int delta)
{
    if (m_pTemplate->style & WS_VSCROLL) {
        ScrollTo(true, ScrollPos(true) - delta);
        return true;
    }
    if (m_pTemplate->style & WS_HSCROLL) {
        ScrollTo(false, ScrollPos(false) - delta);
        return true;
    }
    return false;
}

void CXDialogEx::ScrollToLine(int n)
{
    const int lines = GetScrollLines();
    if (n < 0 || n > lines || !(m_pTemplate->style & WS_VSCROLL) || lines <= 0)
        return;
    ScrollTo(true, m_vmodel.Range() * n / lines);
}

void CXDialogEx::LayoutContent()
{
    if (!m_content)
        return;
    if (IsScrollable()) {
        const QSize content = m_contentSize.isEmpty() ? m_content->sizeHint() : m_contentSize;
        SetScrollSize(content.width(), content.height());
    }
    if (!m_layout.empty()) {
        const int dx = width() - m_layoutRef.width();
        const int dy = height() - m_layoutRef.height();
        for (const LayoutItem& item : m_layout) {
            if (!item.w)
                continue;
            QRect r = item.ref.translated(dx * item.mx / 100, dy * item.my / 100);
            r.setSize(item.ref.size() + QSize(dx * item.sx / 100, dy * item.sy / 100));
            item.w->setGeometry(r);
        }
    }
}

QSize CXDialogEx::sizeHint() const { return m_content ? m_content->sizeHint() : QDialog::sizeHint(); }

// ---- events --------------------------------------------------------------------------

bool CXDialogEx::event(QEvent* e)
{
    if (e->type() == XCommandEvent::EventType()) {
        const auto* ce = static_cast<XCommandEvent*>(e);
        if (ce->m_nID)
            OnCommand(ce->m_nID);
        return true;
    }
    return QDialog::event(e);
}

void CXDialogEx::showEvent(QShowEvent* e)
{
    if (!m_bCreated)
        Create();
    if (m_bShowMaximized) {
        m_bShowMaximized = false;
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    QDialog::showEvent(e);
    UpdateControls();
}

void CXDialogEx::keyPressEvent(QKeyEvent* e)
{
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (auto* b = qobject_cast<QPushButton*>(QApplication::focusWidget()); b && isAncestorOf(b))
            b->click();
        else
            OnCommand(IDOK);
        return;
    case Qt::Key_Escape:
        OnCommand(IDCANCEL);
        return;
    default:
        QDialog::keyPressEvent(e);
    }
}

void CXDialogEx::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    LayoutContent();
}

void CXDialogEx::wheelEvent(QWheelEvent* e)
{
    if (OnMouseWheel(e->angleDelta().y() != 0 ? e->angleDelta().y() : e->angleDelta().x()))
        e->accept();
    else
        QDialog::wheelEvent(e);
}

void CXDialogEx::closeEvent(QCloseEvent* e)
{
    e->ignore();
    OnCommand(IDCANCEL);
}

bool CXDialogEx::eventFilter(QObject* watched, QEvent* e)
{
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w)
        return false;
    if (e->type() == QEvent::KeyPress && qobject_cast<QTabBar*>(w)) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OnOK();
            return true;
        }
    }
    if (e->type() == QEvent::ToolTip) {
        const QString cls = WndClass(w);
        if (qobject_cast<QAbstractItemView*>(w) || qobject_cast<QStatusBar*>(w) || cls == QLatin1String("SysLink") ||
            cls == QLatin1String("MfcButton"))
            return false;
        const QString text = TooltipText(w);
        if (text.isEmpty())
            return false;
        QToolTip::showText(static_cast<QHelpEvent*>(e)->globalPos(), CutTooltip(text), w);
        return true;
    }
    return false;
}

QBoxLayout* FillSlot(QWidget* slot, QWidget* w, int margin)
{
    auto* box = new QVBoxLayout(slot);
    box->setContentsMargins(margin, margin, margin, margin);
    box->addWidget(w);
    return box;
}
