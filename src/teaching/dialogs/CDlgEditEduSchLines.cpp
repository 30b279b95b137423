// The line dialogs of the timetable page.
#include "CDlgEditEduSchStudent.h"
#include "CDlgEditEduSchTeacher.h"

#include "CXCmd.h"
#include "CommandIds.h"
#include "XDrawing.h"
#include "XLayoutFit.h"
#include "XWinStyles.h"

namespace {

const XDlgTemplate& TeacherTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_EDUSCH_TEACHER,
                                QStringLiteral("教师"),
                                0,
                                {{-1, K::Static, QStringLiteral("教师："), WS_GROUP, 0, 0},
                                 {MDU_TEACHER, K::Link, QString(), WS_TABSTOP, 0, 1, 3, WS_EX_CLIENTEDGE},
                                 {-1, K::Static, QStringLiteral("开始日期："), WS_GROUP, 1, 0},
                                 {QKEY_DATE_FROM, K::Date, QString(), WS_TABSTOP | DTS_SHOWNONE, 1, 1},
                                 {-1, K::Static, QStringLiteral("结束日期："), WS_GROUP, 1, 2},
                                 {QKEY_DATE_TO, K::Date, QString(), WS_TABSTOP | DTS_SHOWNONE, 1, 3},
                                 {-1, K::Static, QStringLiteral("备注："), WS_GROUP, 2, 0},
                                 {IDC_MEMO, K::Edit, QString(), WS_TABSTOP, 2, 1, 3},
                                 {IDOK, K::Button, QStringLiteral("确定"), WS_GROUP, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

const XDlgTemplate& StudentTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{IDD_EDIT_EDUSCH_STUDENT,
                                QStringLiteral("上课学员"),
                                0,
                                {{-1, K::Static, QStringLiteral("学员："), WS_GROUP, 0, 0},
                                 {MDU_STUDENT, K::Link, QString(), WS_TABSTOP, 0, 1, 3, WS_EX_CLIENTEDGE},
                                 {-1, K::Static, QStringLiteral("开始日期："), WS_GROUP, 1, 0},
                                 {QKEY_DATE_FROM, K::Date, QString(), WS_TABSTOP | DTS_SHOWNONE, 1, 1},
                                 {-1, K::Static, QStringLiteral("结束日期："), WS_GROUP, 1, 2},
                                 {QKEY_DATE_TO, K::Date, QString(), WS_TABSTOP | DTS_SHOWNONE, 1, 3},
                                 {-1, K::Static, QStringLiteral("时间："), WS_GROUP, 2, 0},
                                 {IDC_TIMESPAN, K::Custom, QString(), WS_TABSTOP, 2, 1, 3},
                                 {-1, K::Static, QStringLiteral("报名收据："), WS_GROUP, 3, 0},
                                 {IDC_RECORD_LIST, K::Custom, QString(), WS_TABSTOP, 3, 1, 3},
                                 {-1, K::Static, QStringLiteral("备注："), WS_GROUP, 4, 0},
                                 {IDC_MEMO, K::Edit, QString(), WS_TABSTOP, 4, 1, 3},
                                 {IDOK, K::Button, QStringLiteral("确定"), WS_GROUP, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                {}};
    return t;
}

// The copy keeps the timetable as its container, so that it reads the timetable's dates
// and form; the line it was copied from is not a second line of the person.
template <class Line> void TakeLine(Line& copy, const CXItem* from, CXArray* array)
{
    if (from)
        from->CopyTo(&copy);
    copy.m_pArray = array;
    copy.m_pEditOf = from;
    if (!from)
        copy.Reset(); // the defaults of a new line ask the timetable
}

// The dialog was sized before its own controls took the template's places: it grows to
// what they ask for (whole dates, the time pickers, the receipts) before its size is fixed.
void FitToControls(CXDialogEx& dlg)
{
    InvalidateLayouts(dlg.Content() ? dlg.Content()->layout() : nullptr);
    dlg.resize(dlg.size().expandedTo(static_cast<QWidget&>(dlg).sizeHint()));
}

} // namespace

CDlgEditEduSchTeacher::CDlgEditEduSchTeacher(const CXItem* from, CXArray* array, QWidget* parent)
    : CXDialogEx(from == nullptr, &TeacherTemplate(), parent)
{
    TakeLine(m_line, from, array);
}

bool CDlgEditEduSchTeacher::OnInitDialog()
{
    const bool ok = CXDialogEx::OnInitDialog();
    FitToControls(*this);
    return ok;
}

void CDlgEditEduSchTeacher::DoDataExchange(XDataExchange& dx)
{
    CDBEduSchTeacher& t = m_line;
    BindLink(dx, MDU_TEACHER, &t, &t);
    BindDate(dx, QKEY_DATE_FROM, &t, &t.m_edu.m_begin, 0);
    BindDate(dx, QKEY_DATE_TO, &t, &t.m_edu.m_end, 1);
    BindText(dx, IDC_MEMO, &t, &t.m_strMemo);
}

CDlgEditEduSchStudent::CDlgEditEduSchStudent(const CXItem* from, CXArray* array, QWidget* parent)
    : CXDialogEx(from == nullptr, &StudentTemplate(), parent)
{
    TakeLine(m_line, from, array);
}

bool CDlgEditEduSchStudent::OnInitDialog()
{
    m_line.LoadReceipts();
    if (auto* list = EnsureControl<CEduSchReceiptList>(IDC_RECORD_LIST)) {
        list->AddCmd(new CXCmd(ID_EDIT_MODIFY, true, true, true));
        // the header and three receipts
        list->setMinimumHeight(RowHeight() * 4 + 2 * list->frameWidth());
    }
    const bool ok = CXDialogEx::OnInitDialog();
    FitToControls(*this);
    return ok;
}

void CDlgEditEduSchStudent::DoDataExchange(XDataExchange& dx)
{
    CDBEduSchStudent& s = m_line;
    BindLink(dx, MDU_STUDENT, &s, &s);
    BindTimeSpan(dx, IDC_TIMESPAN, &s, &s.m_time);
    BindText(dx, IDC_MEMO, &s, &s.m_strMemo);
    BindDate(dx, QKEY_DATE_FROM, &s, &s.m_edu.m_begin, 0);
    BindDate(dx, QKEY_DATE_TO, &s, &s.m_edu.m_end, 1);
    BindList(dx, IDC_RECORD_LIST, &s, &s.m_receipts);
}
