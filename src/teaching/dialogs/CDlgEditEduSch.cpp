#include "CDlgEditEduSch.h"

#include "CDlgEditEduSchStudent.h"
#include "CDlgEditEduSchTeacher.h"
#include "CDlgSelMul.h"
#include "CDlgSelOne.h"
#include "CModuleEduSch.h"
#include "CXCmd.h"
#include "CommandIds.h"
#include "RecordCopy.h"
#include "XRecordPickers.h"
#include "XDrawing.h"
#include "XWinStyles.h"

#include <QtCore/QEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QBoxLayout>
#include <QtWidgets/QGridLayout>

namespace {

const XDlgTemplate& EduSchTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_EDUSCH,
                                QStringLiteral("基本信息"),
                                WS_CHILD,
                                {{-1, K::Static, QStringLiteral("课程："), WS_GROUP, 0, 0},
                                 {MDU_COURSE, K::Link, QString(), WS_TABSTOP, 0, 1, 3, WS_EX_CLIENTEDGE},
                                 {-1, K::Static, QStringLiteral("编制："), WS_GROUP, 1, 0},
                                 {IDC_FORM_MANY, K::Radio, QStringLiteral("一对多"), WS_GROUP | WS_TABSTOP, 1, 1},
                                 {IDC_FORM_ONE, K::Radio, QStringLiteral("一对一"), 0, 1, 2},
                                 {-1, K::Static, QStringLiteral("开始日期："), WS_GROUP, 2, 0},
                                 {QKEY_DATE_FROM, K::Date, QString(), WS_TABSTOP, 2, 1},
                                 {-1, K::Static, QStringLiteral("结束日期："), WS_GROUP, 2, 2},
                                 {QKEY_DATE_TO, K::Date, QString(), WS_TABSTOP | DTS_SHOWNONE, 2, 3},
                                 {-1, K::Static, QStringLiteral("时间："), WS_GROUP, 3, 0},
                                 {IDC_TIMESPAN, K::Custom, QString(), WS_TABSTOP, 3, 1},
                                 {-1, K::Static, QStringLiteral("地点："), WS_GROUP, 3, 2},
                                 {IDC_LOCATION, K::Combo, QString(), WS_TABSTOP | unsigned(CBS_DROPDOWN), 3, 3},
                                 {-1, K::Static, QStringLiteral("教师："), WS_GROUP, 4, 0},
                                 {IDC_TEACHER_LIST, K::Custom, QString(), WS_TABSTOP, 4, 1, 3},
                                 {-1, K::Static, QStringLiteral("学员："), WS_GROUP, 5, 0},
                                 {IDC_STUDENT_LIST, K::Custom, QString(), WS_TABSTOP, 5, 1, 3},
                                 {-1, K::Static, QStringLiteral("备注："), WS_GROUP, 6, 0},
                                 {IDC_MEMO, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 6, 1, 3}},
                                {}};
    return t;
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgEditEduSch, CXDialogEx)
    X_ON_COMMAND(ID_LIST_ADDITEM, OnAddLine)
    X_ON_COMMAND(ID_EDIT_MODIFY, OnModifyLine)
    X_ON_UPDATE_COMMAND_UI(ID_EDIT_MODIFY, OnUpdateModifyLine)
    X_ON_COMMAND(ID_ADD_COURSES, OnBatchAdd)
    X_ON_UPDATE_COMMAND_UI(ID_ADD_COURSES, OnUpdateBatchAdd)
X_END_MESSAGE_MAP()

CDlgEditEduSch::CDlgEditEduSch(bool bNew, const CXItem* from) : CXDialogEx(false, &EduSchTemplate())
{
    if (from)
        from->CopyTo(&m_sch);
    if (bNew && from) {
        PrepareNewCopy(m_sch);
        // the copy has no class records yet: nothing of the original's locks its dates
        m_sch.m_nRcdTimes = m_sch.m_nRcdCountIn = 0;
        m_sch.m_rcd = CXDateRange();
        for (CDBEduSchTeacher* line : EduSch::Lines(m_sch.m_teachers)) {
            line->m_nRcdTimes = line->m_nRcdCountIn = 0;
            line->m_rcd = CXDateRange();
        }
        for (CDBEduSchStudent* line : EduSch::Lines(m_sch.m_students)) {
            line->m_nRcdTimes = line->m_nRcdCountIn = 0;
            line->m_rcd = CXDateRange();
        }
    }
    m_sch.m_pArray = nullptr;
}

// The lists show lines of m_sch, which goes before the dialog base hides (and so repaints)
// its children: they must let go of the lines first.
CDlgEditEduSch::~CDlgEditEduSch()
{
    for (CXListCtrl* list : {static_cast<CXListCtrl*>(m_teacherList), static_cast<CXListCtrl*>(m_studentList)})
        if (list)
            list->SetItems(nullptr, nullptr, 2, 0);
}

bool CDlgEditEduSch::OnInitDialog()
{
    m_teacherList = EnsureControl<CEduSchLineList>(IDC_TEACHER_LIST);
    m_studentList = EnsureControl<CEduSchLineList>(IDC_STUDENT_LIST);
    if (m_teacherList) {
        m_teacherList->AddCmd(new CXCmd(ID_LIST_ADDITEM, true, true));
        m_teacherList->AddCmd(new CXCmd(ID_EDIT_DELETE, true, true));
        m_teacherList->AddCmd(new CXCmd(ID_EDIT_MODIFY, true, true, true));
    }
    if (m_studentList) {
        m_studentList->AddCmd(new CXCmd(ID_LIST_ADDITEM, true, true));
        m_studentList->AddCmd(new CXCmd(ID_ADD_COURSES, true, true));
        m_studentList->AddCmd(new CXCmd(ID_EDIT_DELETE, true, true));
        m_studentList->AddCmd(new CXCmd(ID_EDIT_MODIFY, true, true, true));
    }
    for (CXListCtrl* list : {static_cast<CXListCtrl*>(m_teacherList), static_cast<CXListCtrl*>(m_studentList)})
        if (list)
            list->installEventFilter(this);
    LayOutLists();
    // students given to a new timetable (picked with it, or copied) have no figures read
    // from the database yet: their receipts for the course give the lessons left at once
    for (CXItem* line : m_sch.m_students)
        if (line->m_nSubID == 0)
            static_cast<CDBEduSchStudent*>(line)->LoadReceipts();
    return CXDialogEx::OnInitDialog();
}

// The line lists take the page's spare height, the students twice the teachers' share, and
// show a few lines each even at the page's smallest; the two input columns share the width.
void CDlgEditEduSch::LayOutLists()
{
    GiveSpareHeightToRows({{4, 3}, {5, 5}});
    const int lines[2] = {3, 5};
    CXListCtrl* lists[2] = {m_teacherList, m_studentList};
    for (int i = 0; i < 2; ++i)
        if (lists[i])
            lists[i]->setMinimumHeight(RowHeight() * (lines[i] + 1) + 2 * lists[i]->frameWidth());
    auto* outer = qobject_cast<QBoxLayout*>(Content() ? Content()->layout() : nullptr);
    if (auto* grid = outer && outer->count() > 0 ? qobject_cast<QGridLayout*>(outer->itemAt(0)->layout()) : nullptr) {
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
    }
}

void CDlgEditEduSch::DoDataExchange(XDataExchange& dx)
{
    CDBEduSch& e = m_sch;
    BindLink(dx, MDU_COURSE, &e, &e.m_course);
    BindChoice(dx, IDC_FORM_MANY, &e, &e.m_nClassForm);
    BindText(dx, IDC_LOCATION, &e, &e.m_strLocation);
    BindDate(dx, QKEY_DATE_FROM, &e, &e.m_date.m_begin, -1);
    BindDate(dx, QKEY_DATE_TO, &e, &e.m_date.m_end, 1);
    BindTimeSpan(dx, IDC_TIMESPAN, &e, &e.m_time);
    BindList(dx, IDC_TEACHER_LIST, &e, &e.m_teachers);
    BindList(dx, IDC_STUDENT_LIST, &e, &e.m_students);
    BindText(dx, IDC_MEMO, &e, &e.m_strMemo);
}

bool CDlgEditEduSch::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == m_teacherList)
            m_lastList = m_teacherList;
        else if (watched == m_studentList)
            m_lastList = m_studentList;
    }
    return CXDialogEx::eventFilter(watched, event);
}

CXListCtrl* CDlgEditEduSch::ActiveList() const
{
    const QWidget* focus = QApplication::focusWidget();
    for (CXListCtrl* list : {static_cast<CXListCtrl*>(m_teacherList), static_cast<CXListCtrl*>(m_studentList)})
        if (list && focus && (list == focus || list->isAncestorOf(focus)))
            return list;
    return m_lastList;
}

void CDlgEditEduSch::RefreshLists(const std::vector<const CXItem*>& select)
{
    UpdateData(false);
    for (CXListCtrl* list : {static_cast<CXListCtrl*>(m_teacherList), static_cast<CXListCtrl*>(m_studentList)}) {
        if (!list)
            continue;
        CXArray* array = list == m_teacherList ? static_cast<CXArray*>(&m_sch.m_teachers) : &m_sch.m_students;
        list->SetItems(array, array->GetHeads(), 2, 0);
        for (int i = 0; i < list->GetItemCount(); ++i) {
            const CXItem* line = list->GetItemData(i);
            list->SetItemSelected(i, std::find(select.begin(), select.end(), line) != select.end());
        }
    }
    UpdateControls();
}

void CDlgEditEduSch::OnAddLine()
{
    CXListCtrl* list = ActiveList();
    if (!list || IsWndReadOnly(this))
        return;
    UpdateData(true);
    const bool teachers = list == m_teacherList;
    const CHead* head = CDBEduSch::StaticHeads()->FindByOffset(teachers ? XOFFSET(CDBEduSch, m_teachers)
                                                                        : XOFFSET(CDBEduSch, m_students));
    CModule* module = FindModule(teachers ? MDU_TEACHER : MDU_STUDENT);
    if (!module || !head)
        return;
    CXBase picked;
    if (RecordPickers().ChooseOne(*module, m_sch.GetRelateQuery(head, nullptr), 0, picked) != IDOK || !picked.m_nID)
        return;
    CXItem* added = nullptr;
    if (teachers) {
        CDlgEditEduSchTeacher dlg(nullptr, &m_sch.m_teachers, this);
        dlg.m_line.m_nID = picked.m_nID;
        dlg.m_line.m_strName = picked.m_strName;
        if (dlg.DoModal() != IDOK)
            return;
        added = m_sch.m_teachers.CreateItem();
        dlg.m_line.CopyTo(added);
        m_sch.m_teachers.Add(added);
    } else {
        CDlgEditEduSchStudent dlg(nullptr, &m_sch.m_students, this);
        dlg.m_line.m_nID = picked.m_nID;
        dlg.m_line.m_strName = picked.m_strName;
        if (dlg.DoModal() != IDOK)
            return;
        added = m_sch.m_students.CreateItem();
        dlg.m_line.CopyTo(added);
        m_sch.m_students.Add(added);
    }
    added->m_nSubID = 0;
    added->m_nParentID = m_sch.m_nID;
    RefreshLists({added});
}

void CDlgEditEduSch::OnUpdateModifyLine(XCmdUI* ui)
{
    const CXListCtrl* list = ActiveList();
    ui->Enable(list && list->GetSelectedCount() == 1);
}

void CDlgEditEduSch::OnModifyLine()
{
    CXListCtrl* list = ActiveList();
    if (!list || list->GetSelectedCount() != 1)
        return;
    CXItem* line = list->GetItemData(list->GetFirstSelected());
    if (!line)
        return;
    UpdateData(true);
    CXArray* owner = line->m_pArray;
    CXItem* edited = nullptr;
    std::unique_ptr<CXDialogEx> dlg;
    if (list == m_teacherList) {
        auto* d = new CDlgEditEduSchTeacher(line, &m_sch.m_teachers, this);
        edited = &d->m_line;
        dlg.reset(d);
    } else {
        auto* d = new CDlgEditEduSchStudent(line, &m_sch.m_students, this);
        edited = &d->m_line;
        dlg.reset(d);
    }
    // a locked timetable's line opens locked too, and nothing comes back from it
    if (dlg->DoModal() != IDOK || IsWndReadOnly(this))
        return;
    edited->CopyTo(line);
    line->m_pArray = owner;
    RefreshLists({line});
}

void CDlgEditEduSch::OnUpdateBatchAdd(XCmdUI* ui) { ui->Enable(m_sch.m_course.m_nID != 0 && !IsWndReadOnly(this)); }

void CDlgEditEduSch::OnBatchAdd()
{
    if (m_sch.m_course.m_nID == 0 || IsWndReadOnly(this))
        return;
    UpdateData(true);
    CDlgSelOne packages(MDU_CHARGE, 0, this);
    packages.setWindowTitle(QStringLiteral("批量添加学员 (1/2): 请选择一个课时包"));
    packages.m_query = CModuleEduSch::BatchPackageQuery(m_sch);
    if (packages.DoModal() != IDOK || !packages.m_pItem)
        return;
    CDlgSelMul students(MDU_STUDENT, this);
    students.setWindowTitle(QStringLiteral("批量添加学员 (2/2): 请选择按上一步选中课时包报名的学员"));
    students.m_query = CModuleEduSch::BatchStudentQuery(m_sch, packages.m_pItem->m_nID);
    if (students.DoModal() != IDOK)
        return;
    AddChosenStudents(students.m_result);
}

void CDlgEditEduSch::AddChosenStudents(const CXArray& chosen)
{
    std::vector<const CXItem*> added;
    for (const CXItem* student : chosen) {
        // only the student: its dates stay 0, as the timetable
        auto* line = static_cast<CDBEduSchStudent*>(m_sch.m_students.CreateItem());
        line->m_nID = student->m_nID;
        line->m_strName = student->m_strName;
        line->m_nParentID = m_sch.m_nID;
        line->m_time = m_sch.m_nClassForm == CLASS_ONE_TO_ONE ? CXTimeSpan() : m_sch.m_time;
        m_sch.m_students.Add(line);
        // the student's receipts for the course, so the list shows the lessons left at once
        // rather than "无" as if nothing had been bought
        line->LoadReceipts();
        added.push_back(line);
    }
    RefreshLists(added);
}
