#include "CDlgAppSetup.h"

#include "CDlgAppSetupPage.h"
#include "CXListBox.h"
#include "CommandIds.h"
#include "XIconStatic.h"
#include "XWinStyles.h"

#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QScrollBar>
#include <QtWidgets/QStyle>

#include <algorithm>

namespace {

const XDlgTemplate& SetupTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_APP_SETUP,
                                QStringLiteral("首选项"),
                                WS_MAXIMIZEBOX,
                                {{IDC_SETUP_GROUPS, K::Custom, QString(), WS_TABSTOP, 0, 0},
                                 {IDC_SETUP_PLACEHOLDER, K::Custom, QString(), 0, 0, 1},
                                 {-1, K::Static, QStringLiteral("[t]管理员登录后可修改首选项。"), 0, 1, 0, 2},
                                 {IDOK, K::Button, QStringLiteral("确定"), WS_TABSTOP, -1, 0},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), WS_TABSTOP, -1, 1}},
                                QSize(860, 620)};
    return t;
}

} // namespace

int SetupGroupAtScroll(int pos, int groups, int range)
{
    if (groups <= 0 || range <= 0)
        return 0;
    const long long twice = 2LL * pos * groups + range; // rounded, as a multiply-divide rounds
    return std::clamp(static_cast<int>(twice / (2LL * range)), 0, groups - 1);
}

CDlgAppSetup::CDlgAppSetup(QWidget* parent) : CXDialogEx(false, &SetupTemplate(), parent) {}

bool CDlgAppSetup::CanEdit() const
{
    const CXItem* user = AppServices().User();
    return user && user->m_nRightRole == 2;
}

bool CDlgAppSetup::OnInitDialog()
{
    CXDialogEx::OnInitDialog();

    // the list and the page take the room; the tip and the buttons keep theirs
    if (auto* outer = qobject_cast<QBoxLayout*>(Content()->layout())) {
        outer->setStretch(0, 1);
        outer->setStretch(1, 0);
        if (auto* grid = qobject_cast<QGridLayout*>(outer->itemAt(0)->layout())) {
            grid->setRowStretch(0, 1);
            grid->setColumnStretch(1, 1);
        }
    }
    QWidget* groupSlot = GetDlgItem(IDC_SETUP_GROUPS);
    m_pGroups = new CXListBox(groupSlot);
    FillSlot(groupSlot, m_pGroups);
    groupSlot->setFixedWidth(150);
    for (QWidget* w : ZOrder())
        if (qobject_cast<XIconStatic*>(w))
            w->setVisible(!CanEdit());

    QWidget* slot = GetDlgItem(IDC_SETUP_PLACEHOLDER);
    m_pPage = new CDlgAppSetupPage(slot);
    m_pPage->m_stillLoggedIn = [this] { return !m_stillLoggedIn || m_stillLoggedIn(); };
    m_pPage->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_pPage->Create();
    if (!CanEdit())
        SetWndReadOnly(m_pPage, true);
    FillSlot(slot, m_pPage, 2);

    // wide enough for the page beside its scroll bar; the slot's width is worked out from
    // the dialog's, as nothing is laid out before the dialog shows
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    int slotWidth = width() - groupSlot->width();
    if (auto* outer = Content()->layout()) {
        const QMargins m = outer->contentsMargins();
        slotWidth -= m.left() + m.right() + std::max(outer->spacing(), 0);
    }
    // the page's least width (its guidance lines wrap) and its full height
    const QSize content(m_pPage->Content()->minimumSizeHint().width(), m_pPage->Content()->sizeHint().height());
    const int missing = content.width() + bar + 4 - slotWidth;
    if (missing > 0)
        resize(width() + missing, height());
    m_pPage->SetScrollSize(content.width(), content.height());

    for (const QGroupBox* g : m_pPage->Groups())
        m_pGroups->addItem(g->title().trimmed());
    connect(m_pGroups, &QListWidget::currentRowChanged, this, [this](int row) { OnGroupChanged(row); });
    for (QScrollBar* bar : m_pPage->findChildren<QScrollBar*>(Qt::FindDirectChildrenOnly))
        if (bar->orientation() == Qt::Vertical)
            connect(bar, &QScrollBar::valueChanged, this, [this](int pos) { OnPageScrolled(pos); });
    m_pGroups->setCurrentRow(0);
    m_pGroups->setFocus();
    return true;
}

void CDlgAppSetup::OnGroupChanged(int row)
{
    if (m_bSyncing || row < 0)
        return;
    m_bSyncing = true;
    m_pPage->ScrollToLine(row);
    m_bSyncing = false;
}

void CDlgAppSetup::OnPageScrolled(int pos)
{
    if (m_bSyncing)
        return;
    const int row =
        SetupGroupAtScroll(pos, static_cast<int>(m_pPage->Groups().size()), m_pPage->ScrollModel(true).Range());
    m_bSyncing = true;
    m_pGroups->setCurrentRow(row);
    m_bSyncing = false;
}

void CDlgAppSetup::OnOK()
{
    if (!CanEdit() || (m_stillLoggedIn && !m_stillLoggedIn())) {
        EndDialog(IDCANCEL); // nothing of the copy is kept
        return;
    }
    if (!m_pPage->Validate())
        return;
    m_pPage->UpdateData(true);
    if (const CXItem* user = AppServices().User())
        m_pPage->m_setup.Save(*user);
    EndDialog(IDOK);
}
