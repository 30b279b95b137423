#include "CDlgEditTeacher.h"

#include "CDlgEditTeacherAccount.h"
#include "CDlgEditTeacherPay.h"
#include "CDlgEditTeacherResume.h"
#include "CModule.h"
#include "CXCmd.h"
#include "CTeacherLineList.h"
#include "FormatString.h"
#include "OperLog.h"
#include "WebLogins.h"
#include "XAppServices.h"
#include "XReadOnly.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtCore/QEvent>
#include <QtWidgets/QAbstractButton>
#include <QtWidgets/QApplication>

namespace {

const XDlgTemplate& TeacherTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_TEACHER,
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
                                 {IDC_BIRTHDAY, K::Custom, QString(), WS_TABSTOP | WS_GROUP, 2, 1, 3},
                                 {-1, K::Static, QStringLiteral("民族："), WS_GROUP, 3, 0},
                                 {IDC_NATION, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWN, 3, 1},
                                 {-1, K::Static, QStringLiteral("政治面貌："), WS_GROUP, 3, 2},
                                 {IDC_POLITICAL, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWN, 3, 3},
                                 {-1, K::Static, QStringLiteral("身份证号："), WS_GROUP, 4, 0},
                                 {IDC_IDCARD, K::Edit, QString(), WS_TABSTOP, 4, 1, 3},
                                 {-1, K::Static, QStringLiteral("住址："), WS_GROUP, 5, 0},
                                 {IDC_AREA_ADDR, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWN, 5, 1},
                                 {IDC_EXACT_ADDR, K::Edit, QString(), WS_TABSTOP, 5, 2, 2},
                                 {-1, K::Static, QStringLiteral("登录："), WS_GROUP, 6, 0},
                                 {IDC_LOGIN, K::Check, QStringLiteral("允许"), WS_TABSTOP | WS_GROUP, 6, 1},
                                 {IDC_RESET_PASSWORD, K::Button, QStringLiteral("重置密码 ..."), WS_TABSTOP, 6, 2},
                                 {IDC_LOGOUT_ALL, K::Button, QStringLiteral("注销 ..."), WS_TABSTOP, 6, 3},
                                 {-1, K::Static, QStringLiteral("照片："), WS_GROUP, 7, 0},
                                 {IDC_IMAGES, K::Custom, QString(), WS_TABSTOP, 7, 1, 3},
                                 {-1, K::Static, QStringLiteral("手机："), WS_GROUP, 8, 0},
                                 {IDC_ACCOUNT_LIST, K::Custom, QString(), WS_TABSTOP, 8, 1, 3},
                                 {-1, K::Static, QStringLiteral("简历："), WS_GROUP, 9, 0},
                                 {IDC_RESUME_LIST, K::Custom, QString(), WS_TABSTOP, 9, 1, 3},
                                 {-1, K::Static, QStringLiteral("工资标准："), WS_GROUP, 10, 0},
                                 {IDC_PAY_LIST, K::Custom, QString(), WS_TABSTOP, 10, 1, 3},
                                 {-1, K::Static, QStringLiteral("备注："), WS_GROUP, 11, 0},
                                 {IDC_MEMO, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 11, 1, 3}},
                                {}};
    return t;
}

QString ModuleName()
{
    const CModule* module = FindModule(MDU_TEACHER);
    return module ? module->GetName() : QStringLiteral("教师");
}

} // namespace

QString TeacherResetPasswordPrompt(const QString& moduleName, const QString& title, const QString& defaultPassword)
{
    return FormatString(u"%s “%s” 的密码将重置为默认密码：\r\n\r\n%s\r\n\r\n默认密码可在 “首选项” 中修改。", moduleName,
                        title, defaultPassword);
}

X_BEGIN_MESSAGE_MAP(CDlgEditTeacher, CXDialogEx)
    X_ON_COMMAND(ID_LIST_ADDITEM, OnAddLine)
    X_ON_COMMAND(ID_EDIT_MODIFY, OnModifyLine)
    X_ON_UPDATE_COMMAND_UI(ID_EDIT_MODIFY, OnUpdateModifyLine)
    X_ON_COMMAND(IDC_RESET_PASSWORD, OnResetPassword)
    X_ON_COMMAND(IDC_LOGOUT_ALL, OnEndLogins)
X_END_MESSAGE_MAP()

CDlgEditTeacher::CDlgEditTeacher(bool bNew, const CXItem* from) : CXDialogEx(false, &TeacherTemplate())
{
    if (from)
        from->CopyTo(&m_teacher);
    if (bNew && from)
        m_teacher.MakeNewCopy();
    m_teacher.m_pArray = nullptr;
}

bool CDlgEditTeacher::OnInitDialog()
{
    m_accountList = EnsureControl<CTeacherLineList>(IDC_ACCOUNT_LIST);
    m_resumeList = EnsureControl<CTeacherLineList>(IDC_RESUME_LIST);
    m_payList = EnsureControl<CTeacherLineList>(IDC_PAY_LIST);
    for (CXListCtrl* list : {m_accountList, m_resumeList, m_payList}) {
        if (!list)
            continue;
        list->AddCmd(new CXCmd(ID_LIST_ADDITEM, true, true));
        list->AddCmd(new CXCmd(ID_EDIT_DELETE, true, true));
        list->AddCmd(new CXCmd(ID_EDIT_MODIFY, true, true, true));
        list->installEventFilter(this);
    }
    return CXDialogEx::OnInitDialog();
}

void CDlgEditTeacher::DoDataExchange(XDataExchange& dx)
{
    CDBTeacher& t = m_teacher;
    BindText(dx, IDC_REAL_NAME, &t, &t.m_strRealName);
    BindText(dx, IDC_PETNAME, &t, &t.m_strPetname);
    BindChoice(dx, IDC_MALE, &t, &t.m_nSex);
    BindBirthday(dx, IDC_BIRTHDAY, &t, &t.m_dtBirthday, &t.m_bBirthApprox);
    BindText(dx, IDC_NATION, &t, &t.m_strNation);
    BindText(dx, IDC_POLITICAL, &t, &t.m_strPolitical);
    BindChoice(dx, IDC_LOGIN, &t, &t.m_bEnabled);
    BindText(dx, IDC_IDCARD, &t, &t.m_strIDCard);
    BindText(dx, IDC_AREA_ADDR, &t, &t.m_strAreaAddr);
    BindText(dx, IDC_EXACT_ADDR, &t, &t.m_strExactAddr);
    BindImages(dx, IDC_IMAGES, &t, &t.m_photos);
    BindList(dx, IDC_ACCOUNT_LIST, &t, &t.m_accounts);
    BindList(dx, IDC_RESUME_LIST, &t, &t.m_resumes);
    BindList(dx, IDC_PAY_LIST, &t, &t.m_pays);
    BindText(dx, IDC_MEMO, &t, &t.m_strMemo);
}

void CDlgEditTeacher::UpdateControls()
{
    CXDialogEx::UpdateControls();
    // the password and the logins only matter while the teacher may log in
    const auto* box = qobject_cast<const QAbstractButton*>(GetDlgItem(IDC_LOGIN));
    const bool allowed = (box ? box->isChecked() : m_teacher.m_bEnabled != 0) && !IsWndReadOnly(this);
    for (int id : {IDC_RESET_PASSWORD, IDC_LOGOUT_ALL})
        if (QWidget* w = GetDlgItem(id))
            w->setEnabled(allowed && m_teacher.m_nID != 0);
}

bool CDlgEditTeacher::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn)
        for (CXListCtrl* list : {m_accountList, m_resumeList, m_payList})
            if (watched == list)
                m_lastList = list;
    return CXDialogEx::eventFilter(watched, event);
}

CXListCtrl* CDlgEditTeacher::ActiveList() const
{
    const QWidget* focus = QApplication::focusWidget();
    for (CXListCtrl* list : {m_accountList, m_resumeList, m_payList})
        if (list && focus && (list == focus || list->isAncestorOf(focus)))
            return list;
    return m_lastList;
}

CXArray* CDlgEditTeacher::ArrayOf(CXListCtrl* list)
{
    if (list && list == m_accountList)
        return &m_teacher.m_accounts;
    if (list && list == m_resumeList)
        return &m_teacher.m_resumes;
    if (list && list == m_payList)
        return &m_teacher.m_pays;
    return nullptr;
}

bool CDlgEditTeacher::EditLine(CXListCtrl* list, CXItem* line, bool bNew)
{
    CXArray* array = ArrayOf(list);
    std::unique_ptr<CXDialogEx> dlg;
    CXItem* edited = nullptr;
    if (list == m_accountList) {
        auto* d = new CDlgEditTeacherAccount(line, array, bNew, this);
        edited = &d->m_line;
        dlg.reset(d);
    } else if (list == m_resumeList) {
        auto* d = new CDlgEditTeacherResume(line, array, bNew, this);
        edited = &d->m_line;
        dlg.reset(d);
    } else if (list == m_payList) {
        auto* d = new CDlgEditTeacherPay(line, array, bNew, this);
        edited = &d->m_line;
        dlg.reset(d);
    }
    if (!dlg || dlg->DoModal() != IDOK)
        return false;
    if (bNew) {
        CXItem* added = array->CreateItem();
        edited->CopyTo(added);
        added->m_nSubID = 0;
        added->m_nParentID = m_teacher.m_nID;
        array->Add(added);
    } else {
        CXArray* owner = line->m_pArray;
        edited->CopyTo(line);
        line->m_pArray = owner;
    }
    m_teacher.Validate(AppServices().User(), false);
    Refill(list);
    return true;
}

void CDlgEditTeacher::Refill(CXListCtrl* list)
{
    if (CXArray* array = ArrayOf(list))
        list->SetItems(array, array->GetHeads(), 2, 0);
    UpdateData(false);
    UpdateControls();
}

bool CDlgEditTeacher::AddLine(CXListCtrl* list)
{
    if (!list || IsWndReadOnly(this))
        return false;
    UpdateData(true);
    return EditLine(list, nullptr, true);
}

bool CDlgEditTeacher::ModifyLine(CXListCtrl* list)
{
    if (!list || list->GetSelectedCount() != 1)
        return false;
    UpdateData(true);
    return EditLine(list, list->GetItemData(list->GetFirstSelected()), false);
}

void CDlgEditTeacher::OnAddLine() { AddLine(ActiveList()); }

void CDlgEditTeacher::OnModifyLine() { ModifyLine(ActiveList()); }

void CDlgEditTeacher::OnUpdateModifyLine(XCmdUI* ui)
{
    const CXListCtrl* list = ActiveList();
    ui->Enable(list && list->GetSelectedCount() == 1);
}

void CDlgEditTeacher::OnResetPassword()
{
    const CXItem* user = AppServices().User();
    const CModule* module = FindModule(MDU_TEACHER);
    if (!user || !module)
        return;
    const QString name = ModuleName(), title = m_teacher.m_strName;
    const QString caption = QStringLiteral("重置密码");
    if (XUi::MessageBox(this, TeacherResetPasswordPrompt(name, title, module->GetDefaultPassword()), caption,
                        MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    m_teacher.m_strPassword.clear();
    if (!SavePassword(m_teacher, *user))
        return;
    // the log shows the reset as an edit of the teacher, not only as the password store's row
    const QString done = FormatString(u"%s “%s” 的密码已重置！", name, title);
    WriteOperLog(OPER_MDF, *user, MDU_TEACHER, m_teacher.m_nID, done, QString());
    XUi::MessageBox(this, done, caption, MB_OK | MB_ICONINFORMATION);
}

void CDlgEditTeacher::OnEndLogins()
{
    const CXItem* user = AppServices().User();
    if (!user)
        return;
    const QString name = ModuleName(), title = m_teacher.m_strName;
    const QString caption = QStringLiteral("注销登录");
    if (XUi::MessageBox(
            this, FormatString(u"此操作将注销%s%s的全部登录状态，此后该%s再次访问时需要重新登录！", name, title, name),
            caption, MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    if (LogoutUserEverywhere(MDU_TEACHER, m_teacher.m_nID, user))
        XUi::MessageBox(this, FormatString(u"已注销%s%s的全部登录或绑定状态！", name, title), caption,
                        MB_OK | MB_ICONINFORMATION);
}
