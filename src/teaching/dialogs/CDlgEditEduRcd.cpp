#include "CDlgEditEduRcd.h"

#include "CDlgEditEduRcdStudent.h"
#include "CModule.h"
#include "CXAccessor.h"
#include "CXCmd.h"
#include "CXDBSession.h"
#include "CommandIds.h"
#include "EditFrame.h"
#include "CDlgEdit.h"
#include "RecordCopy.h"
#include "TextUtils.h"
#include "XRecordPickers.h"
#include "XUi.h"
#include "XWinStyles.h"

#include <QtWidgets/QApplication>
#include <QtWidgets/QPushButton>

namespace {

const XDlgTemplate& EduRcdTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_EDURCD,
                                QStringLiteral("基本信息"),
                                WS_CHILD,
                                {{-1, K::Static, QStringLiteral("日期："), WS_GROUP, 0, 0},
                                 {IDC_DATE_BGN, K::Date, QString(), WS_TABSTOP, 0, 1},
                                 {-1, K::Static, QStringLiteral("时间："), WS_GROUP, 0, 2},
                                 {IDC_TIMESPAN, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 0, 3},
                                 {-1, K::Static, QStringLiteral("课程："), WS_GROUP, 1, 0},
                                 {MDU_COURSE, K::Link, QString(), WS_TABSTOP, 1, 1},
                                 {-1, K::Static, QStringLiteral("课程表："), WS_GROUP, 1, 2},
                                 {MDU_EDUSCH, K::Link, QString(), 0, 1, 3},
                                 {-1, K::Static, QStringLiteral("编制："), WS_GROUP, 2, 0},
                                 {IDC_FORM_MANY, K::Radio, QStringLiteral("一对多"), WS_GROUP | WS_TABSTOP, 2, 1},
                                 {IDC_FORM_ONE, K::Radio, QStringLiteral("一对一"), 0, 2, 2},
                                 {-1, K::Static, QStringLiteral("状态："), WS_GROUP, 3, 0},
                                 {IDC_CHOICE_0, K::Radio, QStringLiteral("待定"), WS_GROUP | WS_TABSTOP, 3, 1},
                                 {IDC_CHOICE_1, K::Radio, QStringLiteral("取消"), 0, 3, 2},
                                 {IDC_CHOICE_2, K::Radio, QStringLiteral("正常"), 0, 3, 3},
                                 {-1, K::Static, QStringLiteral("地点："), WS_GROUP, 4, 0},
                                 {IDC_LOCATION, K::Combo, QString(), WS_TABSTOP | CBS_DROPDOWN | WS_GROUP, 4, 1, 3},
                                 {-1, K::Static, QStringLiteral("教师："), WS_GROUP, 5, 0},
                                 {IDC_TEACHER_LIST, K::Custom, QString(), WS_TABSTOP, 5, 1, 3},
                                 {-1, K::Static, QStringLiteral("学员："), WS_GROUP, 6, 0},
                                 {IDC_STUDENT_LIST, K::Custom, QString(), WS_TABSTOP, 6, 1, 3},
                                 {-1, K::Static, QStringLiteral("备注："), WS_GROUP, 7, 0},
                                 {IDC_MEMO, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 7, 1, 3},
                                 {IDC_ALL_NORMAL, K::Button, QStringLiteral("全部正常 ..."), WS_GROUP, 8, 1},
                                 {IDC_RESET, K::Button, QStringLiteral("重置 ..."), 0, 8, 2}},
                                {}};
    return t;
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgEditEduRcd, CXDialogEx)
    X_ON_COMMAND(IDC_ALL_NORMAL, OnAllNormal)
    X_ON_COMMAND(IDC_RESET, OnReset)
    X_ON_COMMAND(ID_LIST_ADDITEM, OnAddLine)
    X_ON_COMMAND(ID_EDIT_ADDNEW, OnNewLine)
    X_ON_COMMAND(ID_EDIT_MODIFY, OnModifyLine)
    X_ON_UPDATE_COMMAND_UI(ID_EDIT_MODIFY, OnUpdateModifyLine)
    X_ON_COMMAND(ID_ADD_COURSES, OnBatchAdd)
    X_ON_UPDATE_COMMAND_UI(ID_ADD_COURSES, OnUpdateBatchAdd)
X_END_MESSAGE_MAP()

CDlgEditEduRcd::CDlgEditEduRcd(bool bNew, const CXItem* from) : CXDialogEx(false, &EduRcdTemplate())
{
    if (from)
        from->CopyTo(&m_rcd);
    if (bNew) {
        // a new class is a temporary one, whatever it was made from
        m_rcd.m_sch.Reset();
        m_rcd.m_sch.m_nMduID = MDU_EDUSCH;
        if (from)
            PrepareNewCopy(m_rcd);
        m_rcd.m_nID = 0;
    }
    m_rcd.m_pArray = nullptr;
}

bool CDlgEditEduRcd::OnInitDialog()
{
    m_teachers = EnsureControl<CEduRcdLineList>(IDC_TEACHER_LIST);
    m_students = EnsureControl<CEduRcdLineList>(IDC_STUDENT_LIST);
    if (m_students) {
        m_students->AddCmd(new CXCmd(ID_LIST_ADDITEM, true, true));
        m_students->AddCmd(new CXCmd(ID_ADD_COURSES, true, true));
        m_students->AddCmd(new CXCmd(ID_EDIT_DELETE, true, true));
        m_students->AddCmd(new CXCmd(ID_EDIT_MODIFY, true, true, true));
        m_students->AddCmd(new CXCmd(0, false, true));
        m_students->AddCmd(new CXCmd(ID_EDIT_ADDNEW, true, true));
    }
    if (m_teachers) {
        m_teachers->AddCmd(new CXCmd(ID_LIST_ADDITEM, true, true));
        m_teachers->AddCmd(new CXCmd(ID_EDIT_DELETE, true, true));
        m_teachers->AddCmd(new CXCmd(ID_EDIT_MODIFY, true, true, true));
        m_teachers->AddCmd(new CXCmd(0, false, true));
        m_teachers->AddCmd(new CXCmd(ID_EDIT_ADDNEW, true, true));
    }
    return CXDialogEx::OnInitDialog();
}

void CDlgEditEduRcd::DoDataExchange(XDataExchange& dx)
{
    CDBEduRcd& r = m_rcd;
    BindChoice(dx, IDC_CHOICE_0, &r, &r.m_nClassStatus);
    BindText(dx, IDC_MEMO, &r, &r.m_strMemo);
    BindText(dx, IDC_LOCATION, &r, &r.m_strLocation);
    BindDate(dx, IDC_DATE_BGN, &r, &r.m_dtDate, -1);
    BindTimeSpan(dx, IDC_TIMESPAN, &r, &r.m_timeSpan);
    BindLink(dx, MDU_COURSE, &r, &r.m_course);
    BindChoice(dx, IDC_FORM_MANY, &r, &r.m_nClassForm);
    BindLink(dx, MDU_EDUSCH, &r, &r.m_sch);
    BindList(dx, IDC_TEACHER_LIST, &r, &r.m_teachers);
    BindList(dx, IDC_STUDENT_LIST, &r, &r.m_students);
}

void CDlgEditEduRcd::UpdateControls()
{
    CXDialogEx::UpdateControls();
    if (QWidget* reset = GetDlgItem(IDC_RESET))
        reset->setEnabled(!IsWndReadOnly(this) && m_rcd.IsAuto() && !m_rcd.IsAutoEmpty());
    if (QWidget* all = GetDlgItem(IDC_ALL_NORMAL))
        all->setEnabled(!IsWndReadOnly(this));
}

bool CDlgEditEduRcd::TeachersFocused() const
{
    const QWidget* focus = QApplication::focusWidget();
    return m_teachers && focus && (focus == m_teachers || m_teachers->isAncestorOf(focus));
}

void CDlgEditEduRcd::RefreshLists(const CXItem* select)
{
    for (CEduRcdLineList* list : {m_students, m_teachers}) {
        if (!list)
            continue;
        CXArray& array = list == m_students ? static_cast<CXArray&>(m_rcd.m_students) : m_rcd.m_teachers;
        list->SetItems(&array, array.GetHeads(), m_rcd.IsSubArray(&array) ? 1 : 2, 0);
        for (int i = 0; i < list->GetItemCount(); ++i)
            list->SetItemSelected(i, select && list->GetItemData(i) == select);
    }
    m_rcd.Validate(nullptr, false);
    UpdateData(false);
    UpdateControls();
}

void CDlgEditEduRcd::OnAllNormal()
{
    if (IsWndReadOnly(this))
        return;
    if (XUi::MessageBox(this,
                        QStringLiteral("此操作将设置本次课堂记录考勤状态正常，同时设置未考勤的教师和学员考勤准时！"),
                        QStringLiteral("全部正常"), MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    UpdateData(true);
    m_rcd.AutoSet();
    RefreshLists(nullptr);
}

void CDlgEditEduRcd::OnReset()
{
    if (IsWndReadOnly(this) || !m_rcd.IsAuto())
        return;
    if (XUi::MessageBox(this, QStringLiteral("此操作将按原课程表设置重置本次课堂记录为未考勤的原始状态！"),
                        QStringLiteral("重置课堂记录"), MB_OKCANCEL | MB_ICONWARNING) != IDOK)
        return;
    // the lists must let go of the lines before they are rebuilt
    for (CEduRcdLineList* list : {m_students, m_teachers})
        if (list)
            list->SetItems(nullptr, nullptr, 2, 0);
    m_rcd.AutoReset();
    RefreshLists(nullptr);
}

bool CDlgEditEduRcd::AddLineOf(const CXBase& person, bool teacher)
{
    CXArray& array = teacher ? static_cast<CXArray&>(m_rcd.m_teachers) : m_rcd.m_students;
    std::unique_ptr<CXItem> probe(array.CreateItem());
    probe->m_nID = person.m_nID;
    probe->m_strName = person.m_strName;
    probe->m_nSubID = 0;
    CXItem* result = nullptr;
    if (teacher) {
        CDlgEditEduRcdTeacher dlg(probe.get(), &array, true, this);
        if (dlg.DoModal() != IDOK)
            return false;
        result = dlg.m_line.CopyTo(nullptr);
    } else {
        CDlgEditEduRcdStudent dlg(probe.get(), &array, true, this);
        if (dlg.DoModal() != IDOK)
            return false;
        result = dlg.m_line.CopyTo(nullptr);
    }
    result->m_nSubID = 0;
    array.AddAdopted(result);
    RefreshLists(result);
    return true;
}

void CDlgEditEduRcd::OnAddLine()
{
    if (IsWndReadOnly(this))
        return;
    UpdateData(true);
    const bool teacher = TeachersFocused();
    const CHead* head =
        m_rcd.GetHeads()->FindByOffset(teacher ? XOFFSET(CDBEduRcd, m_teachers) : XOFFSET(CDBEduRcd, m_students));
    CModule* target = FindModule(teacher ? MDU_TEACHER : MDU_STUDENT);
    if (!target || !head)
        return;
    CXBase chosen;
    if (RecordPickers().ChooseOne(*target, m_rcd.GetRelateQuery(head, nullptr), 0, chosen) != IDOK)
        return;
    AddLineOf(chosen, teacher);
}

void CDlgEditEduRcd::OnNewLine()
{
    if (IsWndReadOnly(this))
        return;
    UpdateData(true);
    const bool teacher = TeachersFocused();
    CModule* target = FindModule(teacher ? MDU_TEACHER : MDU_STUDENT);
    if (!target)
        return;
    std::unique_ptr<CDlgEdit> frame = CreateEditDialog(*target, true, nullptr);
    if (!frame || frame->DoModal() != IDOK || frame->m_pages.empty() || !frame->m_pages.front()->GetItem())
        return;
    AddLineOf(*frame->m_pages.front()->GetItem(), teacher);
}

void CDlgEditEduRcd::OnUpdateModifyLine(XCmdUI* ui)
{
    CEduRcdLineList* list = TeachersFocused() ? m_teachers : m_students;
    ui->Enable(list && list->GetSelectedCount() == 1);
}

void CDlgEditEduRcd::OnModifyLine()
{
    const bool teacher = TeachersFocused();
    CEduRcdLineList* list = teacher ? m_teachers : m_students;
    if (!list || list->GetSelectedCount() != 1)
        return;
    CXItem* line = list->GetItemData(list->GetFirstSelected());
    if (!line)
        return;
    UpdateData(true);
    CXArray* container = line->m_pArray;
    if (teacher) {
        CDlgEditEduRcdTeacher dlg(line, container, false, this);
        if (dlg.DoModal() != IDOK || IsWndReadOnly(this))
            return;
        dlg.m_line.CopyTo(line);
    } else {
        CDlgEditEduRcdStudent dlg(line, container, false, this);
        if (dlg.DoModal() != IDOK || IsWndReadOnly(this))
            return;
        dlg.m_line.CopyTo(line);
    }
    line->m_pArray = container;
    RefreshLists(line);
}

void CDlgEditEduRcd::OnUpdateBatchAdd(XCmdUI* ui) { ui->Enable(!TeachersFocused() && m_rcd.m_course.m_nID != 0); }

void CDlgEditEduRcd::OnBatchAdd()
{
    if (IsWndReadOnly(this) || m_rcd.m_course.m_nID == 0)
        return;
    UpdateData(true);
    CModule* charges = FindModule(MDU_CHARGE);
    CModule* students = FindModule(MDU_STUDENT);
    if (!charges || !students)
        return;
    CXMap packageQuery;
    packageQuery.SetText(MDU_COURSE, m_rcd.m_course.GetLink());
    packageQuery.SetText(1065, QStringLiteral("1"));
    CXBase package;
    if (RecordPickers().ChooseOne(*charges, packageQuery, 0, package) != IDOK || package.m_nID == 0)
        return;
    // the students enrolled with the package, read here: a query's key 1 holds IDs only
    QList<int> enrolled;
    {
        CXDBSession session;
        session.Connect();
        CXAccessor cmd;
        if (cmd.Open(session,
                     FormatString(u"SELECT DISTINCT StudentID FROM TB_RECEIPT WHERE ChargeID=%d", package.m_nID)))
            while (cmd.MoveNext())
                enrolled << static_cast<int>(cmd.GetNumber(1));
    }
    QList<int> present;
    for (const CXItem* s : m_rcd.m_students)
        present << s->m_nID;
    CXMap studentQuery;
    studentQuery.SetText(QKEY_IDS, enrolled.isEmpty() ? QStringLiteral("0") : JoinInts(enrolled));
    if (!present.isEmpty())
        studentQuery.SetText(QKEY_NOT_IDS, JoinInts(present));
    CXArray chosen(nullptr, true);
    if (RecordPickers().ChooseMany(*students, studentQuery, {}, chosen) != IDOK || chosen.IsEmpty())
        return;
    CXItem* last = nullptr;
    for (const CXItem* person : chosen) {
        CDBEduRcdStudent* line = m_rcd.m_students.CreateTyped();
        line->m_nID = person->m_nID;
        line->m_strName = person->m_strName;
        line->m_bSelected = 1;
        m_rcd.m_students.Add(line);
        last = line;
    }
    RefreshLists(last);
}
