#include "CDlgEdit.h"

#include "CHead.h"
#include "CHtmlCtrl.h"
#include "CModule.h"
#include "CXItem.h"
#include "CXListCtrl.h"
#include "CXXmlDoc.h"
#include "CodePages.h"
#include "CommandIds.h"
#include "RecordWriter.h"
#include "Resources.h"
#include "TransformXsl.h"
#include "XDrawing.h"
#include "XEditServices.h"
#include "XLayoutFit.h"
#include "XMainWindow.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtGui/QGuiApplication>
#include <QtWidgets/QLayout>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSizeGrip>
#include <QtWidgets/QTabBar>
#include <QtWidgets/QVBoxLayout>

namespace {

const CXItem* User() { return AppServices().User(); }

// The detail button shows its icon; without one it says what it does rather than stand
// blank in the button row.
void ShowDetailButton(QPushButton* button, bool shown)
{
    const QIcon icon = AppServices().CommandIcon(shown ? IDI_DETAIL_HIDE : IDI_DETAIL_SHOW, 0, false);
    button->setIcon(icon);
    button->setText(icon.isNull() ? QString::fromUtf8(shown ? "详情 <<" : "详情 >>") : QString());
}

const XDlgTemplate& EditTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT,
                                QStringLiteral("详细信息"),
                                WS_MAXIMIZEBOX,
                                {{IDC_PAGES, K::Custom, QString(), 0, 0, 0, 7},
                                 {IDC_EDIT_REEDIT, K::Button, QStringLiteral("编辑 ..."), WS_GROUP, -1},
                                 {IDC_PROOF_PREVIEW, K::Button, QStringLiteral("打印预览 ..."), 0, -1},
                                 {IDC_PROOF_PRINT, K::Button, QStringLiteral("打印 ..."), 0, -1},
                                 {ID_SEND_WXMSG, K::Button, QStringLiteral("微信通知 ..."), 0, -1},
                                 {ID_VIEW_DETAIL, K::MfcButton, QString(), 0, -1},
                                 {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgEdit, CXDialogEx)
    X_ON_COMMAND(ID_VIEW_DETAIL, OnViewDetail)
    X_ON_COMMAND(IDC_EDIT_REEDIT, OnUnlock)
    X_ON_COMMAND(IDC_PROOF_PREVIEW, OnPreview)
    X_ON_COMMAND(IDC_PROOF_PRINT, OnPrintCmd)
    X_ON_COMMAND(ID_SEND_WXMSG, OnWxMsg)
X_END_MESSAGE_MAP()

CDlgEdit::CDlgEdit(bool bAddNew, int mduId, QWidget* parent) : CXDialogEx(bAddNew, &EditTemplate(), parent)
{
    m_nHelpId = mduId;
    m_strCaption = LoadCommandText(mduId);
    if (bAddNew)
        m_strCaption = QStringLiteral("新建") + m_strCaption;
}

CDlgEdit::~CDlgEdit()
{
    delete m_pOrgItem;
    for (CXDialogEx* page : m_pages)
        delete page;
}

int CDlgEdit::PaneWidth(int dpi) { return 350 * dpi / 96; }

CModule* CDlgEdit::Module() const { return FindModule(m_nHelpId); }

CXItem* CDlgEdit::GetItem() { return m_pages.empty() ? nullptr : m_pages.front()->GetItem(); }

bool CDlgEdit::OnInitDialog()
{
    if (m_pages.empty()) {
        EndDialog(IDCANCEL);
        return false;
    }
    CXItem* item = GetItem();
    if (item && !m_bAddNew) {
        m_pOrgItem = item->CreateNew();
        item->CopyTo(m_pOrgItem);
    }
    CXDialogEx::OnInitDialog();
    setWindowIcon(AppServices().CommandIcon(m_nHelpId, 0, false));
    m_btnInfo = qobject_cast<QPushButton*>(GetDlgItem(ID_VIEW_DETAIL));
    if (m_btnInfo) {
        m_btnInfo->setEnabled(!m_bAddNew);
        ShowDetailButton(m_btnInfo, false);
    }
    for (int id : {IDC_EDIT_REEDIT, IDC_PROOF_PREVIEW, IDC_PROOF_PRINT, ID_SEND_WXMSG})
        if (QWidget* w = GetDlgItem(id)) {
            w->hide();
            w->setEnabled(false);
        }

    // The page area: a tab row (only with several pages) over the pages, one shown at a time.
    QWidget* area = EnsureControl<QWidget>(IDC_PAGES);
    m_tab = new QTabBar(area);
    QBoxLayout* box = FillSlot(area, m_tab);
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        CXDialogEx* page = m_pages[i];
        page->setParent(area);
        page->setWindowFlags(Qt::Widget);
        page->Create();
        box->addWidget(page, 1);
        page->setVisible(i == 0);
        if (m_pages.size() >= 2)
            m_tab->addTab(AppServices().CommandIcon(page->GetCmdID(), 0, false), page->m_strCaption + QLatin1Char(' '));
    }
    m_tab->setVisible(m_pages.size() >= 2);
    GiveSpareHeightToRows({{0, 1}}); // a taller frame gives its pages the room, not the space under them
    connect(m_tab, &QTabBar::currentChanged, this, [this](int i) { OnTabSelChange(i); });
    // the frame fits page 0 (the page area is as large as the largest page needs); the
    // nested layouts still hold the hints they took while the area was an empty slot
    area->updateGeometry();
    InvalidateLayouts(Content()->layout());
    resize(sizeHint().expandedTo(size()));
    RestoreSize();

    m_nPaneWidth = PaneWidth(ScreenDpi());
    m_html = new CHtmlCtrl(this);
    m_html->setObjectName(QStringLiteral("infoPane"));
    m_html->hide();

    CModule* module = Module();
    if (item && module) {
        if (module->m_nCaps & RIGHT_PRT) {
            EditServices().LoadTemplates(m_nHelpId, m_templs);
            if (!m_bAddNew && !IsWndReadOnly(this)) {
                SetWndReadOnly(this, true);
                SetWndReadOnly(m_pages.front(), true);
            }
            for (int id : {IDC_EDIT_REEDIT, IDC_PROOF_PRINT, IDC_PROOF_PREVIEW})
                GetDlgItem(id)->show();
        }
        if (module->m_nCaps & RIGHT_MSG) {
            // the hidden print buttons take no room in the row, so without them the notice
            // button stands where the re-edit button would
            GetDlgItem(ID_SEND_WXMSG)->show();
        }
    }
    UpdateControls();
    return true;
}

void CDlgEdit::OnTabSelChange(int index)
{
    for (std::size_t i = 0; i < m_pages.size(); ++i)
        m_pages[i]->setVisible(static_cast<int>(i) == index);
}

bool CDlgEdit::PlacedInMainWindow() const
{
    CModule* module = Module();
    return module && parentWidget() && parentWidget() == XGetMainWindow() && module->GetView();
}

void CDlgEdit::UpdateControls()
{
    CXDialogEx::UpdateControls();
    CModule* module = Module();
    CXItem* item = GetItem();
    const CXItem* user = User();
    if (!item || !module)
        return;
    if (module->m_nCaps & RIGHT_PRT) {
        const bool placed = PlacedInMainWindow();
        if (QWidget* w = GetDlgItem(IDC_EDIT_REEDIT))
            w->setEnabled(placed && IsWndReadOnly(this) && user && user->m_nRightRole == 2);
        GetDlgItem(IDC_PROOF_PREVIEW)->setEnabled(m_templs.GetSize() > 0);
        GetDlgItem(IDC_PROOF_PRINT)
            ->setEnabled(placed && m_templs.GetSize() > 0 && user && module->HasRight(*user, RIGHT_PRT));
    }
    if (module->m_nCaps & RIGHT_MSG)
        GetDlgItem(ID_SEND_WXMSG)
            ->setEnabled(!EditServices().GetWxAccessToken().isEmpty() && user && module->HasRight(*user, RIGHT_MSG));
}

bool CDlgEdit::ShowMemberTip(int member, int type, const QString& text)
{
    for (std::size_t i = 0; i < m_pages.size(); ++i) {
        const auto& bound = m_pages[i]->BindingsByMember();
        const auto it = bound.find(static_cast<unsigned>(member));
        if (it == bound.end())
            continue;
        if (m_tab->count() > static_cast<int>(i))
            m_tab->setCurrentIndex(static_cast<int>(i));
        OnTabSelChange(static_cast<int>(i));
        m_pages[i]->ShowItemTipText(type, it->second.nID, text);
        return true;
    }
    return false;
}

bool CDlgEdit::Validate()
{
    CXItem* item = GetItem();
    if (!item)
        return false;
    for (CXDialogEx* page : m_pages)
        page->UpdateData(true);
    item->Validate(User(), true);
    for (CXDialogEx* page : m_pages)
        page->UpdateData(false);

    std::vector<XValidationMessage> messages;
    for (const CXStatus& s : item->m_status)
        messages.push_back({s.m_nLevel, s.m_nMember, s.m_strText});
    std::vector<int> bound;
    for (CXDialogEx* page : m_pages)
        for (const auto& [offset, b] : page->BindingsByMember())
            if (b.pItem == item)
                bound.push_back(static_cast<int>(offset));
    return ApplyValidation(*item, DecideValidation(messages, bound));
}

bool CDlgEdit::SaveAndRefresh()
{
    if (!Validate())
        return false;
    XWaitCursor wait;
    CModule* module = Module();
    CXItem* item = GetItem();
    const CXItem* user = User();
    if (!module || !item || !user)
        return false;
    // A record can be shown before it is ever stored (a class generated from its timetable):
    // it has no ID until this save, and its row is found by what it showed when opened.
    const bool wasShownUnstored = m_pOrgItem && m_pOrgItem->m_nID == 0;
    if (!SaveItem(nullptr, item, m_pOrgItem, *user))
        return false;
    const bool wasNew = m_pOrgItem == nullptr;
    if (wasNew) {
        // From now on the frame edits a saved record: a second save updates it, journals
        // its changes and adds no second list row.
        m_pOrgItem = item->CreateNew();
        item->CopyTo(m_pOrgItem);
        m_bAddNew = 0;
    }
    for (CXDialogEx* page : m_pages)
        page->UpdateData(false);

    QObject* view = module->GetView();
    CXListCtrl* list = dynamic_cast<CXListCtrl*>(view);
    if (view && !list)
        for (QWidget* w : view->findChildren<QWidget*>())
            if ((list = dynamic_cast<CXListCtrl*>(w)))
                break;
    if (!list) {
        CXMap query;
        query.SetText(QKEY_IDS, QString::number(item->m_nID));
        module->ApplyQuery(query);
        return true;
    }
    CXArray reread;
    if (!module->QueryItems(reread, item->GetRelateQuery(nullptr, nullptr), false, true) || reread.GetSize() == 0)
        return false;
    reread.GetAt(0)->CopyTo(item);
    if (wasNew) {
        CXItem* copy = item->CreateNew();
        item->CopyTo(copy);
        list->AddItem(copy, 2);
    } else {
        // only the row that shows this very record takes the re-read values
        const auto showsIt = [&](const CXItem& row) {
            if (row.m_nMduID != item->m_nMduID)
                return false;
            if (!wasShownUnstored)
                return row.m_nID == item->m_nID;
            if (row.m_nID != 0)
                return false;
            const CHeads* heads = row.GetHeads();
            for (int h = 0; heads && h < heads->GetSize(); ++h)
                if (row.FormatText(heads->GetAt(h), false, false, false) !=
                    m_pOrgItem->FormatText(heads->GetAt(h), false, false, false))
                    return false;
            return true;
        };
        for (int i = 0; i < list->GetItemCount(); ++i) {
            CXItem* row = list->GetItemData(i);
            if (row && showsIt(*row)) {
                item->CopyTo(row);
                row->Validate(user, true);
                break;
            }
        }
    }
    list->UpdateGroups();
    module->ActivateView();
    return true;
}

bool CDlgEdit::NeedsSave() const
{
    if (!m_pOrgItem)
        return true; // a new record is saved (and numbered) before it is printed or sent
    CXItem* item = const_cast<CDlgEdit*>(this)->GetItem();
    const CHeads* heads = item ? item->GetHeads() : nullptr;
    if (!heads)
        return false;
    for (int i = 0; i < heads->GetSize(); ++i) {
        const CHead* h = heads->GetAt(i);
        if (h->m_bWritable && (h->m_nColBrief || h->m_nColSub || h->m_nColDetail) &&
            m_pOrgItem->FormatText(h, true, true, true) != item->FormatText(h, true, true, true))
            return true;
    }
    return false;
}

void CDlgEdit::OnOK()
{
    if (SaveAndRefresh())
        EndDialog(IDOK);
}

void CDlgEdit::OnDestroy()
{
    if (m_bShowInfo)
        OnViewDetail();
    CXDialogEx::OnDestroy();
}

void CDlgEdit::OnViewDetail()
{
    CXItem* item = GetItem();
    m_bShowInfo = !m_bShowInfo;
    if (m_btnInfo)
        ShowDetailButton(m_btnInfo, m_bShowInfo);
    if (m_bShowInfo && item) {
        for (CXDialogEx* page : m_pages)
            page->UpdateData(true);
        m_html->SetHTML(RecordPageHtml([&](CXXmlDoc& doc) { item->WriteXml(doc, 1, 0, User()); }));
    }
    // The pane takes a strip at the right of its own: the pages and buttons keep their
    // places and sizes while the frame grows or shrinks by the strip.
    const int extra = m_bShowInfo ? m_nPaneWidth : -m_nPaneWidth;
    auto setMargin = [this, extra] {
        if (QLayout* own = layout()) {
            own->setSizeConstraint(QLayout::SetNoConstraint);
            QMargins m = own->contentsMargins();
            m.setRight(m.right() + extra);
            own->setContentsMargins(m);
        }
    };
    // the margin and the minimum size grow after the frame does and shrink before it, so
    // that neither pushes the frame wider
    const QSize minimum = m_sizeMin.isEmpty() ? QSize() : m_sizeMin + QSize(m_bShowInfo ? m_nPaneWidth : 0, 0);
    if (!m_bShowInfo) {
        setMargin();
        if (minimum.isValid())
            setMinimumSize(minimum);
    }
    resize(width() + extra, height());
    if (m_bShowInfo) {
        setMargin();
        if (minimum.isValid())
            setMinimumSize(minimum);
    }
    if (layout())
        layout()->activate();
    PlacePane();
    m_html->setVisible(m_bShowInfo);
    for (QSizeGrip* grip : findChildren<QSizeGrip*>(Qt::FindDirectChildrenOnly))
        grip->setVisible(!m_bShowInfo);
    UpdateControls();
}

void CDlgEdit::PlacePane()
{
    if (m_html && m_bShowInfo) {
        m_html->setGeometry(width() - m_nPaneWidth, 0, m_nPaneWidth, height());
        m_html->raise();
    }
}

void CDlgEdit::resizeEvent(QResizeEvent* e)
{
    CXDialogEx::resizeEvent(e);
    PlacePane();
}

bool CDlgEdit::SaveFirst(int command)
{
    if (!NeedsSave())
        return true;
    const QString name = LoadCommandText(command);
    CXItem* item = GetItem();
    if (XUi::MessageBox(this, FormatString(u"%s前将保存当前%s！", name, item->GetModuleName()), name,
                        MB_ICONWARNING | MB_OKCANCEL) != IDOK)
        return false;
    XWaitCursor wait;
    return SaveAndRefresh();
}

void CDlgEdit::OnUnlock()
{
    CXItem* item = GetItem();
    if (!item)
        return;
    if (XUi::MessageBox(this,
                        FormatString(u"重新编辑后可能会与原%s不符！\n\n确定要重新编辑吗？", item->GetModuleName()),
                        LoadCommandText(IDC_EDIT_REEDIT), MB_ICONWARNING | MB_OKCANCEL) != IDOK)
        return;
    SetWndReadOnly(this, false);
    SetWndReadOnly(m_pages.front(), false);
    UpdateControls();
}

void CDlgEdit::OnPreview() { OnPrint(IDC_PROOF_PREVIEW, true); }

void CDlgEdit::OnPrintCmd()
{
    if (GetItem() && SaveFirst(IDC_PROOF_PRINT))
        OnPrint(IDC_PROOF_PRINT, false);
}

void CDlgEdit::OnPrint(int command, bool preview)
{
    CXItem* item = GetItem();
    if (!item)
        return;
    const QString name = LoadCommandText(command);
    if (m_templs.GetSize() == 0) {
        XUi::MessageBox(this, QStringLiteral("无可用的打印模板！"), name, MB_ICONWARNING);
        return;
    }
    if (!preview && m_templs.GetSize() == 1 &&
        XUi::MessageBox(this, FormatString(u"确定要打印当前%s吗？", item->GetModuleName()), name,
                        MB_ICONWARNING | MB_OKCANCEL) != IDOK)
        return;
    CXItem* chosen = nullptr;
    if (EditServices().ChooseTemplate(this, m_templs, chosen) != IDOK || !chosen)
        return;
    if (EditServices().StartPrint(this, chosen, item, User(), preview) && !preview)
        XUi::MessageBox(this, QStringLiteral("打印任务已发送，请检查打印机输出！"), name, MB_ICONINFORMATION);
}

void CDlgEdit::OnWxMsg()
{
    if (GetItem() && SaveFirst(ID_SEND_WXMSG))
        EditServices().SendWxMsg(this, GetItem());
}
