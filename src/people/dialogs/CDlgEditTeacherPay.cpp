#include "CDlgEditTeacherPay.h"

#include "CXArray.h"
#include "TeacherDialogs.h"
#include "XWinStyles.h"

namespace {

const XDlgTemplate& PayTemplate()
{
    using K = XCtrlKind;
    const auto tip = [](int row, const char16_t* text) {
        return XCtrlDef{-1, K::Static, QString::fromUtf16(text), 0, row, 2, 2};
    };
    static const XDlgTemplate t{
        IDD_EDIT_TEACHER_PAY,
        QStringLiteral("工资标准"),
        0,
        {{-1, K::Static, QStringLiteral("生效月份："), WS_GROUP, 0, 0},
         {QKEY_DATE_FROM, K::Date, QString(), WS_TABSTOP, 0, 1},
         tip(0, u"[t]下一项标准生效或离职时本项标准失效。"),
         {-1, K::Static, QStringLiteral("固定工资："), WS_GROUP, 1, 0},
         {IDC_MONTHLY_PAY, K::Edit, QString(), WS_TABSTOP, 1, 1},
         tip(1, u"[t]每个月固定发放的工资。"),
         {-1, K::Static, QStringLiteral("全勤奖："), WS_GROUP, 2, 0},
         {IDC_FULL_WORK, K::Edit, QString(), WS_TABSTOP, 2, 1},
         tip(2, u"[t]每个月无请假、迟到、缺勤时发放的奖励工资。"),
         {-1, K::Static, QStringLiteral("请假扣除："), WS_GROUP, 3, 0},
         {IDC_PER_LEAVE, K::Edit, QString(), WS_TABSTOP, 3, 1},
         tip(3, u"[t]每次请假扣除的工资。"),
         {-1, K::Static, QStringLiteral("迟到扣除："), WS_GROUP, 4, 0},
         {IDC_PER_LATE, K::Edit, QString(), WS_TABSTOP, 4, 1},
         tip(4, u"[t]每次迟到扣除的工资。"),
         {-1, K::Static, QStringLiteral("缺勤扣除："), WS_GROUP, 5, 0},
         {IDC_PER_CUT, K::Edit, QString(), WS_TABSTOP, 5, 1},
         tip(5, u"[t]每次缺勤扣除的工资。"),
         tip(6, u"[t]每月基本工资 = 基本工资 + 全勤奖 + Σ请假扣除 + Σ迟到扣除 + Σ缺旷扣除"),
         {-1, K::Static, QStringLiteral("人头工资："), WS_GROUP, 7, 0},
         {IDC_PER_STUDENT, K::Edit, QString(), WS_TABSTOP, 7, 1},
         tip(7, u"[t]每个消课课时应付的课时工资。"),
         {-1, K::Static, QStringLiteral("分成工资："), WS_GROUP, 8, 0},
         {IDC_PER_UNIT, K::Edit, QString(), WS_TABSTOP, 8, 1},
         tip(8, u"[t]每个消课课时的 “单价 (参见课时包)” 中应付课时工资的百分比。"),
         {-1, K::Static, QStringLiteral("基数工资："), WS_GROUP, 9, 0},
         {IDC_PER_EDURCD, K::Edit, QString(), WS_TABSTOP, 9, 1},
         tip(9, u"[t]每次授课应付的固定课时工资，例如交通费。"),
         {-1, K::Static, QStringLiteral("最低工资："), WS_GROUP, 10, 0},
         {IDC_PER_MIN, K::Edit, QString(), WS_TABSTOP, 10, 1},
         tip(10, u"[t]每次授课的课时工资不低于最低工资。"),
         tip(11, u"[t]每课课时工资 = 人头工资 × 消课数 + Σ(分成工资 × 课时单价) + 基数工资，且不低于最低工资。"),
         tip(12, u"[t]每月应发工资 = 每月基本工资 + Σ每课课时工资。"),
         {-1, K::Static, QStringLiteral("备注："), WS_GROUP, 13, 0},
         {IDC_MEMO, K::Edit, QString(), WS_TABSTOP | WS_GROUP, 13, 1, 3},
         {IDOK, K::Button, QStringLiteral("确定"), 0, -1},
         {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
        {}};
    return t;
}

} // namespace

CDlgEditTeacherPay::CDlgEditTeacherPay(const CXItem* from, CXArray* owner, bool bNew, QWidget* parent)
    : CXDialogEx(bNew, &PayTemplate(), parent)
{
    PrepareLineCopy(from, owner, bNew, m_line);
    if (owner && owner->m_pParent)
        m_line.m_nID = owner->m_pParent->m_nID;
    if (!bNew)
        m_line.m_pEditOf = from;
}

void CDlgEditTeacherPay::DoDataExchange(XDataExchange& dx)
{
    CDBTeacherPay& p = m_line;
    BindDate(dx, QKEY_DATE_FROM, &p, &p.m_validity.m_begin);
    BindDouble(dx, IDC_MONTHLY_PAY, &p, &p.m_fMonthlyPay);
    BindDouble(dx, IDC_FULL_WORK, &p, &p.m_fFullWork);
    BindDouble(dx, IDC_PER_LEAVE, &p, &p.m_fPerLeave);
    BindDouble(dx, IDC_PER_LATE, &p, &p.m_fPerLate);
    BindDouble(dx, IDC_PER_CUT, &p, &p.m_fPerCut);
    BindDouble(dx, IDC_PER_STUDENT, &p, &p.m_fPerStudent);
    BindDouble(dx, IDC_PER_UNIT, &p, &p.m_fPerUnit);
    BindDouble(dx, IDC_PER_EDURCD, &p, &p.m_fPerEduRcd);
    BindDouble(dx, IDC_PER_MIN, &p, &p.m_fPerMin);
    BindText(dx, IDC_MEMO, &p, &p.m_strMemo);
}
