#include "CDlgEditStudent.h"

#include "CDlgEditStudentAccount.h"
#include "CDlgEditStudentResume.h"
#include "CDlgEditViewItems.h"
#include "CDlgMergeRepeat.h"
#include "CModule.h"
#include "CXEditCtrl.h"
#include "CXListCtrl.h"
#include "FormatString.h"
#include "StudentMerge.h"
#include "StudentTexts.h"
#include "WebLogins.h"
#include "XCmdTarget.h"
#include "XMainWindow.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtCore/QCoreApplication>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>

#include <memory>

namespace {

const XDlgTemplate& StudentTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{
        IDD_EDIT_STUDENT,
        QStringLiteral("基本信息"),
        WS_CHILD,
        {{-1, K::Static, QStringLiteral("姓名："), WS_GROUP, 0, 0},
         {IDC_REAL_NAME, K::Edit, QString(), WS_TABSTOP, 0, 1},
         {-1, K::Static, QStringLiteral("别名："), WS_GROUP, 0, 2},
         {IDC_PETNAME, K::Edit, QString(), WS_TABSTOP, 0, 3},
         {-1, K::Static, QStringLiteral("性别："), WS_GROUP, 1, 0},
         {IDC_MALE, K::Radio, QStringLiteral("男"), WS_GROUP | WS_TABSTOP, 1, 1},
         {IDC_FEMALE, K::Radio, QStringLiteral("女"), 0, 1, 2},
         {-1, K::Static, QStringLiteral("生日："), WS_GROUP, 2, 0},
         {IDC_BIRTHDAY, K::Custom, QString(), WS_TABSTOP, 2, 1, 3},
         {-1, K::Static, QStringLiteral("民族："), WS_GROUP, 3, 0},
         {IDC_NATION, K::Combo, QString(), WS_TABSTOP | unsigned(CBS_DROPDOWN), 3, 1},
         {-1, K::Static, QStringLiteral("推荐人："), WS_GROUP, 3, 2},
         {IDC_REFEREER, K::Combo, QString(), WS_TABSTOP | unsigned(CBS_DROPDOWN), 3, 3},
         {-1, K::Static, QStringLiteral("登录："), WS_GROUP, 4, 0},
         {IDC_LOGIN, K::Check, QStringLiteral("允许"), WS_TABSTOP | WS_GROUP, 4, 1},
         {IDC_RESET_PASSWORD, K::Button, QStringLiteral("重置密码 ..."), WS_TABSTOP | WS_GROUP, 4, 2},
         {IDC_LOGOUT_ALL, K::Button, QStringLiteral("注销 ..."), WS_TABSTOP, 4, 3},
         {-1, K::Static, QStringLiteral("身份证号："), WS_GROUP, 5, 0},
         {IDC_IDCARD, K::Edit, QString(), WS_TABSTOP, 5, 1, 3},
         {-1, K::Static, QStringLiteral("住址："), WS_GROUP, 6, 0},
         {IDC_AREA_ADDR, K::Combo, QString(), WS_TABSTOP | unsigned(CBS_DROPDOWN), 6, 1},
         {-1, K::Static, QStringLiteral("详细住址："), WS_GROUP, 6, 2},
         {IDC_EXACT_ADDR, K::Edit, QString(), WS_TABSTOP, 6, 3},
         {-1, K::Static, QStringLiteral("照片："), WS_GROUP, 7, 0},
         {IDC_IMAGES, K::Custom, QString(), 0, 7, 1, 3},
         {-1, K::Static, QStringLiteral("手机："), WS_GROUP, 8, 0},
         {IDC_ACCOUNT_LIST, K::Custom, QString(), WS_TABSTOP, 8, 1, 3},
         {-1, K::Static, QStringLiteral("简历："), WS_GROUP, 9, 0},
         {IDC_RESUME_LIST, K::Custom, QString(), WS_TABSTOP, 9, 1, 3},
         {-1, K::Static, QStringLiteral("备注："), WS_GROUP, 10, 0},
         {IDC_MEMO, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 10, 1, 3}},
        {}};
    return t;
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgEditStudent, CXDialogEx)
    X_ON_COMMAND(ID_LIST_ADDITEM, OnAddLine)
    X_ON_COMMAND(ID_EDIT_MODIFY, OnModifyLine)
    X_ON_COMMAND(IDC_RESET_PASSWORD, OnResetPassword)
    X_ON_COMMAND(IDC_LOGOUT_ALL, OnLogoutAll)
    X_ON_COMMAND(ID_EDIT_MERGE, OnMergeDuplicate)
    X_ON_UPDATE_COMMAND_UI(IDC_RESET_PASSWORD, OnUpdateLoginButtons)
    X_ON_UPDATE_COMMAND_UI(IDC_LOGOUT_ALL, OnUpdateLoginButtons)
X_END_MESSAGE_MAP()

CDlgEditStudent::CDlgEditStudent(bool bNew, const CXItem* from, QWidget* parent)
    : CXDialogEx(false, &StudentTemplate(), parent)
{
    if (from)
        from->CopyTo(&m_student);
    if (bNew && from)
        m_student.MakeNewCopy();
    m_student.m_pArray = nullptr;
}

std::vector<std::unique_ptr<CXDialogEx>> CDlgEditStudent::MakeFollowingPages() const
{
    std::vector<std::unique_ptr<CXDialogEx>> pages;
    if (m_student.m_nID == 0 || m_student.m_courses.IsEmpty())
        return pages;
    auto view = std::make_unique<CDlgEditViewItems>();
    view->m_strCaption = CDBStudentCourse::StaticHeads()->m_strItemType;
    for (const CXItem* line : m_student.m_courses)
        view->m_items.AddAdopted(line->CopyTo(nullptr));
    pages.push_back(std::move(view));
    return pages;
}

bool CDlgEditStudent::OnInitDialog()
{
    for (int id : {IDC_ACCOUNT_LIST, IDC_RESUME_LIST}) {
        CXListCtrl* list = EnsureControl<CStudentLineList>(id);
        if (!list)
            continue;
        list->AddCmd(new CXCmd(ID_LIST_ADDITEM, true, true));
        list->AddCmd(new CXCmd(ID_EDIT_DELETE, true, true));
        list->AddCmd(new CXCmd(ID_EDIT_MODIFY, true, true, true));
        list->installEventFilter(this);
        (id == IDC_ACCOUNT_LIST ? m_accountList : m_resumeList) = list;
    }
    return CXDialogEx::OnInitDialog();
}

void CDlgEditStudent::DoDataExchange(XDataExchange& dx)
{
    CDBStudent& s = m_student;
    BindText(dx, IDC_REAL_NAME, &s, &s.m_strRealName, ID_EDIT_MERGE);
    BindText(dx, IDC_PETNAME, &s, &s.m_strPetname);
    BindChoice(dx, IDC_MALE, &s, &s.m_nSex);
    BindBirthday(dx, IDC_BIRTHDAY, &s, &s.m_dtBirthday, &s.m_bBirthApprox);
    BindText(dx, IDC_NATION, &s, &s.m_strNation);
    BindText(dx, IDC_REFEREER, &s, &s.m_strRefereer);
    BindChoice(dx, IDC_LOGIN, &s, &s.m_bEnabled);
    BindText(dx, IDC_IDCARD, &s, &s.m_strIDCard);
    BindText(dx, IDC_AREA_ADDR, &s, &s.m_strAreaAddr);
    BindText(dx, IDC_EXACT_ADDR, &s, &s.m_strExactAddr);
    BindImages(dx, IDC_IMAGES, &s, &s.m_photos);
    BindList(dx, IDC_ACCOUNT_LIST, &s, &s.m_accounts);
    BindList(dx, IDC_RESUME_LIST, &s, &s.m_resumes);
    BindText(dx, IDC_MEMO, &s, &s.m_strMemo);
}

bool CDlgEditStudent::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() == QEvent::FocusIn || e->type() == QEvent::MouseButtonPress) {
        if (watched == m_accountList || watched == m_resumeList)
            m_lastList = static_cast<CXListCtrl*>(watched);
    }
    return CXDialogEx::eventFilter(watched, e);
}

CXListCtrl* CDlgEditStudent::ActiveList() const
{
    const QWidget* focus = QApplication::focusWidget();
    for (CXListCtrl* list : {m_accountList, m_resumeList})
        if (list && focus && (focus == list || list->isAncestorOf(focus)))
            return list;
    return m_lastList;
}

CXArray* CDlgEditStudent::ArrayOf(const CXListCtrl* list)
{
    if (list && list == m_accountList)
        return &m_student.m_accounts;
    if (list && list == m_resumeList)
        return &m_student.m_resumes;
    return nullptr;
}

void CDlgEditStudent::ShowLines(CXListCtrl* list)
{
    CXArray* lines = ArrayOf(list);
    if (!lines)
        return;
    list->SetItems(lines, lines->GetHeads(), m_student.IsSubArray(lines) ? 1 : 2, 0);
    UpdateData(false);
    UpdateControls();
}

int CDlgEditStudent::RunLineDialog(CXDialogEx& dlg) { return dlg.DoModal(); }

void CDlgEditStudent::OnAddLine()
{
    CXListCtrl* list = ActiveList();
    CXArray* lines = ArrayOf(list);
    if (!lines || IsWndReadOnly(this))
        return;
    UpdateData(true);
    // an empty line of the list's array: its container and the student's ID come with it
    const std::unique_ptr<CXItem> blank(lines->CreateItem());
    if (!blank)
        return;
    std::unique_ptr<CXDialogEx> dlg;
    {
        XWaitCursor wait;
        if (lines == &m_student.m_accounts)
            dlg = std::make_unique<CDlgEditStudentAccount>(true, static_cast<const CDBStudentAccount&>(*blank), this);
        else
            dlg = std::make_unique<CDlgEditStudentResume>(true, static_cast<const CDBStudentResume&>(*blank), this);
    }
    if (RunLineDialog(*dlg) != IDOK)
        return;
    lines->AddAdopted(dlg->GetItem()->CopyTo(nullptr));
    ShowLines(list);
    list->SelectOnly(list->GetItemCount() - 1);
}

void CDlgEditStudent::OnModifyLine()
{
    CXListCtrl* list = ActiveList();
    CXArray* lines = ArrayOf(list);
    // one line only: with several selected there is no one line to change
    if (!lines || list->GetSelectedCount() != 1)
        return;
    CXItem* line = list->GetItemData(list->GetFirstSelected());
    if (!line)
        return;
    UpdateData(true);
    std::unique_ptr<CXDialogEx> dlg;
    {
        XWaitCursor wait;
        if (lines == &m_student.m_accounts)
            dlg = std::make_unique<CDlgEditStudentAccount>(false, static_cast<const CDBStudentAccount&>(*line), this);
        else
            dlg = std::make_unique<CDlgEditStudentResume>(false, static_cast<const CDBStudentResume&>(*line), this);
    }
    if (IsWndReadOnly(this))
        SetWndReadOnly(dlg.get(), true);
    if (RunLineDialog(*dlg) != IDOK || IsWndReadOnly(this))
        return;
    CXArray* container = line->m_pArray;
    dlg->GetItem()->CopyTo(line);
    line->m_pArray = container;
    ShowLines(list);
}

void CDlgEditStudent::OnUpdateLoginButtons(XCmdUI* ui)
{
    const auto* login = qobject_cast<const QAbstractButton*>(GetDlgItem(IDC_LOGIN));
    ui->Enable(LoginButtonsEnabled(login ? login->isChecked() : m_student.m_bEnabled != 0));
}

void CDlgEditStudent::OnResetPassword()
{
    const CXItem* user = AppServices().User();
    if (!user)
        return;
    const QString name = m_student.GetModuleName();
    const QString title = m_student.GetTitleText();
    const QString prompt =
        ResetPasswordPrompt(name, title, m_student.GetDefaultPassword(), CDBStudent::StaticHeads()->m_strItemType);
    if (XUi::MessageBox(this, prompt, QStringLiteral("重置密码"), MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    m_student.m_strPassword.clear(); // empty: the default password
    if (!SavePassword(m_student, *user))
        return;
    XUi::MessageBox(this, FormatString(u"%s “%s” 的密码已重置！", name, title), QStringLiteral("重置密码"),
                    MB_OK | MB_ICONINFORMATION);
}

void CDlgEditStudent::OnLogoutAll()
{
    const QString name = m_student.GetModuleName();
    const QString title = m_student.GetTitleText();
    if (XUi::MessageBox(
            this, FormatString(u"此操作将注销%s%s的全部登录状态，此后该%s再次访问时需要重新登录！", name, title, name),
            QStringLiteral("注销登录"), MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    if (!LogoutUserEverywhere(MDU_STUDENT, m_student.m_nID, AppServices().User()))
        return;
    XUi::MessageBox(this, FormatString(u"已注销%s%s的全部登录或绑定状态！", name, title), QStringLiteral("注销登录"),
                    MB_OK | MB_ICONINFORMATION);
}

void CDlgEditStudent::OnMergeDuplicate()
{
    auto* edit = qobject_cast<CXEditCtrl*>(GetDlgItem(IDC_REAL_NAME));
    const CXItem* user = AppServices().User();
    const int other = edit ? edit->Buttons().FindDuplicate() : 0;
    if (other <= 0 || !user)
        return;
    if (!MergeDuplicateStudents(m_student.m_nID, other, ConfirmStudentMerge, *user))
        return;
    XUi::MessageBox(this, FormatString(u"已合并两个重名%s “%s” ！", m_student.GetModuleName(), m_student.m_strRealName),
                    QStringLiteral("合并重名"), MB_OK | MB_ICONINFORMATION);
    // what was typed on the page is dropped: the frame closes unsaved, the list is read
    // again and the remaining student opens afresh
    OnCancel();
    if (QObject* main = XGetMainWindow()) {
        XCommandEvent refresh(ID_EDIT_REFRESH);
        QCoreApplication::sendEvent(main, &refresh);
        XPostCommand(main, ID_EDIT_MODIFY);
    }
}
