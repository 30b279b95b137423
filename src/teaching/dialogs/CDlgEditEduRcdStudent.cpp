#include "CDlgEditEduRcdStudent.h"

#include "CommandIds.h"
#include "XWinStyles.h"

#include <QtWidgets/QAbstractButton>

namespace {

const XDlgTemplate& StudentTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_EDURCD_STUDENT,
                                QStringLiteral("上课学员"),
                                0,
                                {{-1, K::Static, QStringLiteral("学员："), WS_GROUP, 0, 0},
                                 {MDU_STUDENT, K::Link, QString(), WS_TABSTOP, 0, 1, 4},
                                 {IDC_TRIAL, K::Check, QStringLiteral("试听"), WS_TABSTOP | WS_GROUP, 0, 5},
                                 {-1, K::Static, QStringLiteral("考勤："), WS_GROUP, 1, 0},
                                 {IDC_CHOICE_0, K::Radio, QStringLiteral("待定"), WS_GROUP | WS_TABSTOP, 1, 1},
                                 {IDC_CHOICE_1, K::Radio, QStringLiteral("请假"), 0, 1, 2},
                                 {IDC_CHOICE_2, K::Radio, QStringLiteral("准时"), 0, 1, 3},
                                 {IDC_CHOICE_3, K::Radio, QStringLiteral("迟到"), 0, 1, 4},
                                 {IDC_CHOICE_4, K::Radio, QStringLiteral("缺勤"), 0, 1, 5},
                                 {-1, K::Static, QStringLiteral("时间："), WS_GROUP, 2, 0},
                                 {IDC_TIMESPAN, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 2, 1, 2},
                                 {-1, K::Static, QStringLiteral("消课收据："), WS_GROUP, 3, 0},
                                 {IDC_RECORD_LIST, K::List, QString(), WS_TABSTOP, 3, 1, 5},
                                 {-1, K::Static, QStringLiteral("备注："), WS_GROUP, 4, 0},
                                 {IDC_MEMO, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 4, 1, 5},
                                 {IDOK, K::Button, QStringLiteral("确定"), WS_GROUP, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

const XDlgTemplate& TeacherTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_EDURCD_TEACHER,
                                QStringLiteral("教师"),
                                0,
                                {{-1, K::Static, QStringLiteral("教师："), WS_GROUP, 0, 0},
                                 {MDU_TEACHER, K::Link, QString(), WS_TABSTOP, 0, 1, 4},
                                 {IDC_TRIAL, K::Check, QStringLiteral("试听"), WS_TABSTOP | WS_GROUP, 0, 5},
                                 {-1, K::Static, QStringLiteral("考勤："), WS_GROUP, 1, 0},
                                 {IDC_CHOICE_0, K::Radio, QStringLiteral("待定"), WS_GROUP | WS_TABSTOP, 1, 1},
                                 {IDC_CHOICE_1, K::Radio, QStringLiteral("请假"), 0, 1, 2},
                                 {IDC_CHOICE_2, K::Radio, QStringLiteral("准时"), 0, 1, 3},
                                 {IDC_CHOICE_3, K::Radio, QStringLiteral("迟到"), 0, 1, 4},
                                 {IDC_CHOICE_4, K::Radio, QStringLiteral("缺勤"), 0, 1, 5},
                                 {-1, K::Static, QStringLiteral("备注："), WS_GROUP, 2, 0},
                                 {IDC_MEMO, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 2, 1, 5},
                                 {IDOK, K::Button, QStringLiteral("确定"), WS_GROUP, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

// The line dialogs edit a copy that still sees its class: its container is the class's
// array (the copy is not in it).
template <class Line> void PrepareLine(Line& line, const CXItem* from, CXArray* container, bool bNew)
{
    if (from)
        from->CopyTo(&line);
    line.m_pArray = container;
    if (bNew)
        line.m_nSubID = 0;
}

// In a cancelled class, on time and late are no choice.
void HideHeldChoices(CXDialogEx& dlg, bool cancelled)
{
    if (QWidget* pending = dlg.GetDlgItem(IDC_CHOICE_0))
        static_cast<QAbstractButton*>(pending)->setText(cancelled ? QStringLiteral("取消") : QStringLiteral("待定"));
    for (int id : {IDC_CHOICE_2, IDC_CHOICE_3})
        if (QWidget* w = dlg.GetDlgItem(id))
            w->setEnabled(!cancelled);
}

} // namespace

CDlgEditEduRcdStudent::CDlgEditEduRcdStudent(const CXItem* from, CXArray* container, bool bNew, QWidget* parent)
    : CXDialogEx(bNew, &StudentTemplate(), parent)
{
    PrepareLine(m_line, from, container, bNew);
    m_line.ChooseReceipt();
}

void CDlgEditEduRcdStudent::DoDataExchange(XDataExchange& dx)
{
    CDBEduRcdStudent& s = m_line;
    BindLink(dx, MDU_STUDENT, &s, &s);
    BindChoice(dx, IDC_TRIAL, &s, &s.m_nLessonType);
    BindChoice(dx, IDC_CHOICE_0, &s, &s.m_nAttence);
    BindTimeSpan(dx, IDC_TIMESPAN, &s, &s.m_timeSpan);
    BindText(dx, IDC_MEMO, &s, &s.m_strMemo);
    BindList(dx, IDC_RECORD_LIST, &s, &s.m_receipts, 2);
}

void CDlgEditEduRcdStudent::UpdateControls()
{
    CXDialogEx::UpdateControls();
    const CDBEduRcd* owner = m_line.GetOwner();
    HideHeldChoices(*this, owner && owner->IsCancelled());
    // the receipts are a choice only while the attendance takes a lesson
    if (QWidget* receipts = GetDlgItem(IDC_RECORD_LIST))
        receipts->setEnabled(m_line.Consumes());
}

CDlgEditEduRcdTeacher::CDlgEditEduRcdTeacher(const CXItem* from, CXArray* container, bool bNew, QWidget* parent)
    : CXDialogEx(bNew, &TeacherTemplate(), parent)
{
    PrepareLine(m_line, from, container, bNew);
}

void CDlgEditEduRcdTeacher::DoDataExchange(XDataExchange& dx)
{
    CDBEduRcdTeacher& t = m_line;
    BindLink(dx, MDU_TEACHER, &t, &t);
    BindChoice(dx, IDC_TRIAL, &t, &t.m_nLessonType);
    BindChoice(dx, IDC_CHOICE_0, &t, &t.m_nAttence);
    BindText(dx, IDC_MEMO, &t, &t.m_strMemo);
    const CDBEduRcd* owner = t.GetOwner();
    HideHeldChoices(*this, owner && owner->IsCancelled());
}
