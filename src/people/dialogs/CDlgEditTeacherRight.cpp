#include "CDlgEditTeacherRight.h"

#include "CDBTeacher.h"
#include "CModule.h"
#include "CTeacherLineList.h"
#include "XAppServices.h"
#include "XReadOnly.h"
#include "XWinStyles.h"

#include <QtGui/QMouseEvent>

namespace {

const XDlgTemplate& RightTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_TEACHER_RIGHT,
                                QStringLiteral("登录"),
                                WS_CHILD,
                                {{-1, K::Static, QStringLiteral("角色："), WS_GROUP, 0, 0},
                                 {IDC_ROLE_USER, K::Radio, QStringLiteral("教师"), WS_GROUP | WS_TABSTOP, 0, 1},
                                 {IDC_ROLE_OPERATOR, K::Radio, QStringLiteral("操作员"), 0, 0, 2},
                                 {IDC_ROLE_ADMIN, K::Radio, QStringLiteral("管理员"), 0, 0, 3},
                                 {-1, K::Static, QStringLiteral("权限："), WS_GROUP, 1, 0},
                                 {IDC_RECORD_LIST, K::Custom, QString(), WS_TABSTOP | WS_GROUP, 1, 1, 4},
                                 {IDC_CHECKALL, K::Button, QStringLiteral("全选(&A)"), WS_TABSTOP, 2, 2},
                                 {IDC_CHECKCLR, K::Button, QStringLiteral("清除(&L)"), WS_TABSTOP, 2, 3},
                                 {IDC_RESET, K::Button, QStringLiteral("重置(&R)"), WS_TABSTOP, 2, 4}},
                                {}};
    return t;
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgEditTeacherRight, CXDialogEx)
    X_ON_COMMAND(IDC_CHECKALL, OnSelectAll)
    X_ON_COMMAND(IDC_CHECKCLR, OnClearAll)
    X_ON_COMMAND(IDC_RESET, OnResetAll)
    X_ON_UPDATE_COMMAND_UI(IDC_CHECKALL, OnUpdateRowButtons)
    X_ON_UPDATE_COMMAND_UI(IDC_CHECKCLR, OnUpdateRowButtons)
    X_ON_UPDATE_COMMAND_UI(IDC_RESET, OnUpdateRowButtons)
    X_ON_COMMAND(IDC_ROLE_USER, OnRoleChanged)
    X_ON_COMMAND(IDC_ROLE_OPERATOR, OnRoleChanged)
    X_ON_COMMAND(IDC_ROLE_ADMIN, OnRoleChanged)
    // no line can be added or opened: the rows are the modules
    X_ON_COMMAND(ID_LIST_ADDITEM, OnSwallow)
    X_ON_COMMAND(ID_EDIT_MODIFY, OnSwallow)
    X_ON_UPDATE_COMMAND_UI(ID_LIST_ADDITEM, OnUpdateSwallow)
    X_ON_UPDATE_COMMAND_UI(ID_EDIT_MODIFY, OnUpdateSwallow)
X_END_MESSAGE_MAP()

CDlgEditTeacherRight::CDlgEditTeacherRight() : CXDialogEx(false, &RightTemplate()) {}

CDBTeacher* CDlgEditTeacherRight::Teacher() { return dynamic_cast<CDBTeacher*>(GetItem()); }

bool CDlgEditTeacherRight::OnInitDialog()
{
    m_list = EnsureControl<CTeacherLineList>(IDC_RECORD_LIST);
    if (m_list) {
        // hot check boxes follow the pointer
        m_list->setMouseTracking(true);
        m_list->viewport()->setAttribute(Qt::WA_Hover);
        m_list->viewport()->installEventFilter(this);
    }
    GiveSpareHeightToRows({{1, 1}}); // the rights grid shows as many modules as the page allows
    return CXDialogEx::OnInitDialog();
}

void CDlgEditTeacherRight::DoDataExchange(XDataExchange& dx)
{
    CDBTeacher* t = Teacher();
    if (!t)
        return;
    BindChoice(dx, IDC_ROLE_USER, t, &t->m_nRightRole);
    BindList(dx, IDC_RECORD_LIST, t, &t->m_rights);
}

void CDlgEditTeacherRight::Redraw()
{
    if (m_list)
        m_list->viewport()->update();
}

bool CDlgEditTeacherRight::ClickCell(int row, int column)
{
    CDBTeacher* t = Teacher();
    if (!t || !m_list || row < 0 || row >= m_list->GetItemCount())
        return false;
    auto* right = dynamic_cast<CDBTeacherRight*>(m_list->GetItemData(row));
    if (!right)
        return false;
    const int before = right->GetBits();
    const int after =
        ClickRightCell(t->m_nRightRole, IsWndReadOnly(this) || IsWndReadOnly(m_list), column, before, right->GetCaps());
    if (after == before)
        return false;
    right->SetBits(after);
    right->Validate(AppServices().User(), false);
    Redraw();
    return true;
}

bool CDlgEditTeacherRight::eventFilter(QObject* watched, QEvent* event)
{
    if (m_list && watched == m_list->viewport() && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QModelIndex index = m_list->indexAt(mouse->position().toPoint());
        if (index.isValid() && mouse->button() == Qt::LeftButton) {
            const int head = m_list->GetHeadOfColumn(index.column());
            const CHead* h = head >= 0 && head < m_list->m_heads.GetSize() ? m_list->m_heads[head] : nullptr;
            ClickCell(index.row(), CDBTeacherRight::FlagColumn(h));
        }
    }
    return CXDialogEx::eventFilter(watched, event);
}

void CDlgEditTeacherRight::OnUpdateRowButtons(XCmdUI* ui)
{
    const CDBTeacher* t = Teacher();
    ui->Enable(t && t->m_nRightRole == 1 && !IsWndReadOnly(this));
}

void CDlgEditTeacherRight::OnUpdateSwallow(XCmdUI* ui) { ui->Enable(false); }

void CDlgEditTeacherRight::OnSelectAll()
{
    if (CDBTeacher* t = Teacher(); t && t->m_nRightRole == 1) {
        for (CXItem* item : t->m_rights) {
            auto* row = static_cast<CDBTeacherRight*>(item);
            row->SetBits(row->GetCaps());
        }
        Redraw();
    }
}

void CDlgEditTeacherRight::OnClearAll()
{
    if (CDBTeacher* t = Teacher(); t && t->m_nRightRole == 1) {
        for (CXItem* row : t->m_rights)
            row->AutoReset();
        Redraw();
    }
}

void CDlgEditTeacherRight::OnResetAll()
{
    if (CDBTeacher* t = Teacher(); t && t->m_nRightRole == 1) {
        for (CXItem* row : t->m_rights)
            row->AutoSet();
        Redraw();
    }
}

void CDlgEditTeacherRight::OnRoleChanged()
{
    CDBTeacher* t = Teacher();
    if (!t)
        return;
    UpdateData(true);
    // the rows follow the role at once: read-only, and normalised for it
    t->Validate(AppServices().User(), false);
    UpdateData(false);
    UpdateControls();
    Redraw();
}
