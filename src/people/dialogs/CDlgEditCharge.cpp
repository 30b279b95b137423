#include "CDlgEditCharge.h"

#include "CModule.h"
#include "CXCmd.h"
#include "CXListCtrl.h"
#include "CommandIds.h"
#include "EditFrame.h"
#include "XRecordPickers.h"
#include "XWinStyles.h"

namespace {

const XDlgTemplate& ChargeTemplate()
{
    using K = XCtrlKind;
    using D = CDlgEditCharge;
    static const XDlgTemplate t{IDD_EDIT_CHARGE,
                                QStringLiteral("基本信息"),
                                WS_CHILD,
                                {{-1, K::Static, QStringLiteral("名称："), WS_GROUP, 0, 0},
                                 {IDC_TITLE, K::Edit, QString(), WS_TABSTOP, 0, 1, 3},
                                 {-1, K::Static, QStringLiteral("生效日期："), WS_GROUP, 1, 0},
                                 {QKEY_DATE_FROM, K::Date, QString(), WS_TABSTOP, 1, 1},
                                 {-1, K::Static, QStringLiteral("截止日期："), WS_GROUP, 1, 2},
                                 {QKEY_DATE_TO, K::Date, QString(), WS_TABSTOP | DTS_SHOWNONE, 1, 3},
                                 {-1, K::Static, QStringLiteral("适用课程："), WS_GROUP, 2, 0},
                                 {IDC_RECORD_LIST, K::Custom, QString(), WS_TABSTOP, 2, 1, 3},
                                 {-1, K::Static, QStringLiteral("计费方式："), WS_GROUP, 3, 0},
                                 {IDC_CLASS_COUNTED, K::Radio, QStringLiteral("计次"), WS_GROUP | WS_TABSTOP, 3, 1},
                                 {IDC_CLASS_PERIOD, K::Radio, QStringLiteral("定期"), 0, 3, 2},
                                 {-1, K::Static, QStringLiteral("排课方式："), WS_GROUP, 4, 0},
                                 {IDC_FIXED_LONG, K::Radio, QStringLiteral("长期"), WS_GROUP | WS_TABSTOP, 4, 1},
                                 {IDC_FIXED_SHORT, K::Radio, QStringLiteral("短期"), 0, 4, 2},
                                 {-1, K::Static, QStringLiteral("有效期长："), WS_GROUP, 5, 0},
                                 {IDC_VALID_DAYS, K::Edit, QString(), WS_TABSTOP, 5, 1},
                                 {-1, K::Static, QStringLiteral("排课日："), WS_GROUP, 6, 0},
                                 {IDC_USEFUL_BGN, K::Date, QString(), WS_TABSTOP, 6, 1},
                                 {-1, K::Static, QStringLiteral("至"), WS_GROUP, 6, 2},
                                 {IDC_USEFUL_END, K::Date, QString(), WS_TABSTOP, 6, 3},
                                 {-1, K::Static, QStringLiteral("总课时："), WS_GROUP, 7, 0},
                                 {IDC_LESSONS, K::Edit, QString(), WS_TABSTOP, 7, 1},
                                 {-1, K::Static, QStringLiteral("单价："), WS_GROUP, 7, 2},
                                 {IDC_UNIT_PRICE, K::Edit, QString(), WS_TABSTOP, 7, 3},
                                 {-1, K::Static, QStringLiteral("价格："), WS_GROUP, 8, 0},
                                 {IDC_PRICE, K::Edit, QString(), WS_TABSTOP, 8, 1},
                                 {-1, K::Static, QStringLiteral("备注："), WS_GROUP, 9, 0},
                                 {IDC_MEMO, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 9, 1, 3}},
                                {}};
    return t;
}

} // namespace

X_BEGIN_MESSAGE_MAP(CDlgEditCharge, CXDialogEx)
    X_ON_COMMAND(ID_ADD_COURSES, OnAddCourses)
    X_ON_UPDATE_COMMAND_UI(ID_ADD_COURSES, OnUpdateAddCourses)
X_END_MESSAGE_MAP()

CDlgEditCharge::CDlgEditCharge(bool bNew, const CXItem* from) : CXDialogEx(false, &ChargeTemplate())
{
    if (from)
        from->CopyTo(&m_charge);
    if (bNew && from)
        m_charge.MakeNewCopy();
    m_charge.m_pArray = nullptr;
}

bool CDlgEditCharge::OnInitDialog()
{
    m_list = EnsureControl<CChargeCourseList>(IDC_RECORD_LIST);
    if (m_list) {
        m_list->AddCmd(new CXCmd(ID_ADD_COURSES, true, true));
        m_list->AddCmd(new CXCmd(ID_EDIT_DELETE, true, true));
        m_list->AddCmd(new CXCmd(ID_EDIT_MODIFY, true, true, true));
    }
    return CXDialogEx::OnInitDialog();
}

void CDlgEditCharge::DoDataExchange(XDataExchange& dx)
{
    CDBCharge& c = m_charge;
    BindText(dx, IDC_TITLE, &c, &c.m_strName);
    BindDate(dx, QKEY_DATE_FROM, &c, &c.m_dtCheckBgn);
    BindDate(dx, QKEY_DATE_TO, &c, &c.m_dtCheckEnd);
    BindList(dx, IDC_RECORD_LIST, &c, &c.m_courses);
    BindChoice(dx, IDC_CLASS_COUNTED, &c, &c.m_nClassType);
    BindChoice(dx, IDC_FIXED_LONG, &c, &c.m_nFixedDate);
    BindInt(dx, IDC_VALID_DAYS, &c, &c.m_nValidDays);
    BindDate(dx, IDC_USEFUL_BGN, &c, &c.m_dtUsefulBgn);
    BindDate(dx, IDC_USEFUL_END, &c, &c.m_dtUsefulEnd);
    BindInt(dx, IDC_LESSONS, &c, &c.m_nLessonNum);
    BindDouble(dx, IDC_UNIT_PRICE, &c, &c.m_fUnitPrice);
    BindDouble(dx, IDC_PRICE, &c, &c.m_fChgPrice);
    BindText(dx, IDC_MEMO, &c, &c.m_strMemo);
}

void CDlgEditCharge::OnUpdateAddCourses(XCmdUI* ui)
{
    const CHead* head = CDBCharge::StaticHeads()->FindByOffset(XOFFSET(CDBCharge, m_courses));
    ui->Enable(!IsWndReadOnly(this) && head && m_charge.GetAccess(head, AppServices().User()) > 0);
}

void CDlgEditCharge::OnAddCourses()
{
    CModule* courses = FindModule(MDU_COURSE);
    const CHead* head = CDBCharge::StaticHeads()->FindByOffset(XOFFSET(CDBCharge, m_courses));
    if (!courses || !head)
        return;
    UpdateData(true);
    CXArray picked(nullptr, true);
    if (RecordPickers().ChooseMany(*courses, m_charge.GetRelateQuery(head, nullptr), {}, picked) != IDOK)
        return;
    const int first = m_charge.m_courses.GetSize();
    for (const CXItem* course : picked) {
        CXItem* line = m_charge.m_courses.CreateItem();
        course->CopyTo(line);
        line->m_nSubID = 0;
        line->m_nParentID = m_charge.m_nID;
        m_charge.m_courses.AddAdopted(line);
    }
    if (m_list) {
        m_list->SetItems(&m_charge.m_courses, m_charge.m_courses.GetHeads(), 2, 0);
        // the new courses become the selection
        for (int i = 0; i < m_list->GetItemCount(); ++i)
            m_list->SetItemSelected(i, i >= first);
    }
    UpdateData(false);
    UpdateControls();
}
