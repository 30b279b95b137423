#include "CDBTeacherPay.h"

#include "CXArray.h"

#include <cmath>

#define P_OFFSET(member) XOFFSET(CDBTeacherPay, member)

namespace {

int WholeDay(const XDateTime& date) { return static_cast<int>(std::floor(date.Day())); }

} // namespace

CHeads* CDBTeacherPay::StaticHeads()
{
    return BuildHeadsOnce<CDBTeacherPay>([](CHeads& heads) {
        heads.m_strItemType = QStringLiteral("工资标准");
        heads.m_strItemUnit = QStringLiteral("项");
        heads.m_strTable = QStringLiteral("TB_TEACHER_PAY");
        heads.m_bGoodStatus = 1;
        heads.SetSqlResource(443);
        const QString none, nil = QStringLiteral("无"), month = QStringLiteral("%Y年%#m月");
        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, P_OFFSET(m_nSubID), none,
                                none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("ParentID"), QStringLiteral("TeacherID"), XIN, P_OFFSET(m_nParentID),
                                none, none, 0, 0, 0, none);
        // the record ID is the teacher's: the parent, not a column of its own
        heads.AddMemberHead({}, QStringLiteral("教师"), XIN, P_OFFSET(m_nID), none, none, 0, 0, 0, none);
        heads.AddComputedHead({}, QStringLiteral("有效期"), XDR, CHeads::Getter(&CDBTeacherPay::GetValidity), month,
                              none, 512, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("生效月份"), 8 | 1, QStringLiteral("DateBgn"), XDT,
                            P_OFFSET(m_validity.m_begin), month, none, 0, 512 | 1, 0,
                            QStringLiteral("本条标准的生效后，前一条工资标准自动失效"));
        heads.AddViewColumnHead({}, QStringLiteral("截止月份"), QStringLiteral("ValidEnd"), XDT,
                                P_OFFSET(m_validity.m_end), month, QStringLiteral("未截止"), 0, 512 | 1, 0, none);
        const auto money = [&](const char16_t* caption, const char* column, int offset, const char16_t* format,
                               unsigned cols, int width, const char16_t* help) {
            heads.AddColumnHead({}, QString::fromUtf16(caption), 8 | 1, QString::fromUtf8(column), XNU, offset,
                                QString::fromUtf16(format), nil, 0, cols, width, QString::fromUtf16(help));
        };
        money(u"固定工资", "MonthlyPay", P_OFFSET(m_fMonthlyPay), u"¥%1.2f /月", 512 | 1, 6, u"每个月固定发放的工资");
        money(u"人头工资", "PerStudent", P_OFFSET(m_fPerStudent), u"¥%1.2f /次", 512 | 1, 5,
              u"每次课中每个消课课时应付的课时工资");
        money(u"分成工资", "PerUnit", P_OFFSET(m_fPerUnit), u"%1.1f %", 512 | 1, 4,
              u"每次课中学员的折合课时费中教师课时工资的所占百分比");
        money(u"基数工资", "PerEduRcd", P_OFFSET(m_fPerEduRcd), u"¥%1.2f /次", 512 | 1, 4, u"每次课应付的固定课时工资");
        money(u"最低工资", "PerMin", P_OFFSET(m_fPerMin), u"≥¥%1.2f /次", 512 | 1, 5, u"每次课课时工资不低于此值");
        money(u"月全勤奖", "FullWork", P_OFFSET(m_fFullWork), u"¥%1.2f /月", 0, 0,
              u"每个月全勤无迟到、无请假、无缺勤时发放的奖金");
        money(u"迟到扣除", "PerLate", P_OFFSET(m_fPerLate), u"-¥%1.2f /次", 0, 0, u"");
        money(u"请假扣除", "PerLeave", P_OFFSET(m_fPerLeave), u"-¥%1.2f /次", 0, 0, u"");
        money(u"缺勤扣除", "PerCut", P_OFFSET(m_fPerCut), u"-¥%1.2f /次", 0, 0, u"");
        heads.AddColumnHead({}, QStringLiteral("备注"), 8, QStringLiteral("RecordMemo"), XSW, P_OFFSET(m_strMemo), none,
                            QStringLiteral("空"), 0, 512 | 1, 0, none);
    });
}

bool CDBTeacherPay::AppliesOn(const XDateTime& day) const
{
    const int d = WholeDay(day);
    return WholeDay(m_validity.m_begin) <= d && (m_validity.m_end.Day() == 0 || d <= WholeDay(m_validity.m_end));
}

int CDBTeacherPay::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    if (m_nParentID)
        m_nID = m_nParentID;
    XDateTime& begin = m_validity.m_begin;
    XDateTime& end = m_validity.m_end;
    if (begin.Day() != 0)
        begin = XDateTime(begin.Year(), begin.Month(), 1);
    if (m_pArray) {
        for (const CXItem* item : *m_pArray) {
            const auto* other = dynamic_cast<const CDBTeacherPay*>(item);
            if (!other || other == this || other == m_pEditOf || other->m_validity.m_begin.Day() == 0)
                continue;
            const XDateTime& otherBegin = other->m_validity.m_begin;
            const XDateTime otherMonth(otherBegin.Year(), otherBegin.Month(), 1);
            if (std::fabs(otherBegin.Day() - begin.Day()) < 0.5 / 86400)
                AddStatusText(ST_STOP, &m_validity, QStringLiteral("已存在生效月份相同的的工资标准！"));
            else if (begin.Day() < otherBegin.Day() && (end.Day() == 0 || end.Day() > otherMonth.Day()))
                end = XDateTime(otherMonth.Day() - 1);
        }
    }
    const int today = WholeDay(XDateTime::Today());
    if (WholeDay(begin) > today)
        AddStatusText(ST_WARN, nullptr, QStringLiteral("未生效。"));
    else if (end.Day() != 0 && WholeDay(end) < today)
        AddStatusText(ST_GRAY, nullptr, QStringLiteral("已失效。"));
    return CXItem::Validate(user, bCheckDuplicates);
}
