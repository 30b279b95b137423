#include "CDBStudentCourse.h"

#include "FormatString.h"
#include "TextUtils.h"
#include "XAppServices.h"

#include <QtCore/QVariant>

#include <atomic>

namespace {

std::atomic<int> g_demoWarnDays{0}; // 0: the preference decides

QString DateText(const XDateTime& date)
{
    return date.Day() == 0 ? QString() : date.Format(QStringLiteral("%Y年%#m月%#d日"));
}

} // namespace

int GetDemoWarnDays()
{
    if (const int days = g_demoWarnDays.load())
        return days;
    const QVariant value = AppServices().SetupValue(QStringLiteral("DemoWarnDays"));
    return value.isValid() ? value.toInt() : 60;
}
void SetDemoWarnDays(int days) { g_demoWarnDays.store(days); }

QString FormatLessonBreakdown(int total, int consumed, int invalid, int remained)
{
    if (total == 0 && consumed == 0 && invalid == 0 && remained == 0)
        return QString();
    const QString invalidPart = invalid == 0 ? QString() : AsciiToSupSub(FormatString(u"%+d", -invalid), false);
    return FormatString(u"%d-%d%s=%d", total, consumed, invalidPart, remained);
}

CHeads* CDBStudentCourse::StaticHeads()
{
    return BuildHeadsOnce<CDBStudentCourse>([](CHeads& heads) {
        using C = CDBStudentCourse;
        heads.m_strItemType = QStringLiteral("课程");
        heads.m_strItemUnit = QStringLiteral("门");
        heads.m_bGoodStatus = 1;
        heads.SetSqlResource(439);
        const QString none, noRecord = QStringLiteral("无记录"), nil = QStringLiteral("无"),
                            times = QStringLiteral("%d 次");
        const XGroup rcp(32892), sch(32890), rcd(32889);
        const auto col = [&](const XGroup& g, const char16_t* caption, const char* column, int type, int offset,
                             const QString& format, const QString& empty, unsigned list, unsigned cols, int width,
                             const QString& help) {
            heads.AddViewColumnHead(g, QString::fromUtf16(caption), QString::fromUtf8(column), type, offset, format,
                                    empty, list, cols, width, help);
        };
        const auto range = [&](const XGroup& g, const char16_t* caption, CXDateRange (C::*fn)() const, unsigned cols,
                               const QString& help) {
            heads.AddComputedHead(g, QString::fromUtf16(caption), XDR, CHeads::Getter(fn), none, noRecord, 0, cols, 0,
                                  help);
        };
        col({}, u"ParentID", "StudentID", XIN, XOFFSET(C, m_nParentID), none, none, 0, 0, 0, none);
        col({}, u"课程", "CourseID", XLK, 0, none, none, 512, 513, 0, none);
        col({}, u"状态", "ItemStatus", XIN, XOFFSET(C, m_nItemStatus),
            QStringLiteral("试听|停课|超期|上课|超课|结课|退费|登记"), noRecord, 64, 513, 0, none);
        col(rcp, u"首次报名", "rcpPayMin", XDT, XOFFSET(C, m_rcpPayMin), none, noRecord, 0, 0, 0,
            QStringLiteral("首次报名日期"));
        col(rcp, u"最近报名", "rcpPayMax", XDT, XOFFSET(C, m_rcpPayMax), none, noRecord, 0, 0, 0,
            QStringLiteral("最近报名日期"));
        range(rcp, u"报名日期", &C::GetPayRange, 1, QStringLiteral("首次报名日期~最近报名日期"));
        col(rcp, u"已报名", "rcpPayTimes", XIN, XOFFSET(C, m_rcpPayTimes), times, nil, 0, 1, 0,
            QStringLiteral("累计报名次数"));
        col(rcp, u"报名金额", "rcpPaySum", XNU, XOFFSET(C, m_rcpPaySum), none, nil, 0, 1, 0,
            QStringLiteral("累计报名金额（已计入后期变更）"));
        col(rcp, u"最近变更", "rcpAltMax", XDT, XOFFSET(C, m_rcpAltMax), none, noRecord, 0, 1, 0, none);
        col(rcp, u"最近退费", "rcpRtrMax", XDT, XOFFSET(C, m_rcpRtrMax), none, noRecord, 0, 1, 0, none);
        col(rcp, u"退费次数", "rcpRtrTimes", XIN, XOFFSET(C, m_rcpRtrTimes), times, nil, 0, 1, 0, none);
        col(rcp, u"总课时", "rcpLessonAc", XIN, XOFFSET(C, m_rcpLessonAc), times, nil, 0, 0, 0,
            QStringLiteral("已计入后期变更的有效报名课时"));
        col(rcp, u"已消课时", "rcpCountIn", XIN, XOFFSET(C, m_rcpCountIn), times, nil, 0, 0, 0,
            QStringLiteral("累计已消课时"));
        col(rcp, u"失效课时", "rcpInvalid", XIN, XOFFSET(C, m_rcpInvalid), times, nil, 0, 0, 0,
            QStringLiteral("因退费或定期/短期课程超过有效期等原因失效的课时"));
        col(rcp, u"剩余课时", "rcpRemained", XIN, XOFFSET(C, m_rcpRemained), times, nil, 64, 513, 10,
            QStringLiteral("总课时-已消课时-当前消课(上标)±失效课时(下标)=剩余课时"));
        col(rcp, u"有效期", "rcpEndMax", XDT, XOFFSET(C, m_rcpEndMax), none, noRecord, 0, 513, 0,
            QStringLiteral("计入后期变更的最终有效期，如果已退费，则是退费日期"));
        col(sch, u"开始排课", "SchBgn", XDT, XOFFSET(C, m_SchBgn), none, noRecord, 0, 0, 0, none);
        col(sch, u"结束排课", "SchEnd", XDT, XOFFSET(C, m_SchEnd), none, noRecord, 0, 0, 0, none);
        range(sch, u"排课日期", &C::GetSchRange, 1, none);
        col(sch, u"全部排课", "SchAll", XIN, XOFFSET(C, m_SchAll), QStringLiteral("%d 次/周"), nil, 0, 1, 3, none);
        col(sch, u"当前排课", "SchCur", XIN, XOFFSET(C, m_SchCur), QStringLiteral("%d 次/周"), nil, 0, 513, 2, none);
        col(sch, u"已排课", "schRcd", XIN, XOFFSET(C, m_schRcd), times, nil, 0, 513, 0, none);
        col(rcd, u"首次试听", "dmoMin", XDT, XOFFSET(C, m_dmoMin), none, noRecord, 0, 0, 0,
            QStringLiteral("首次试听日期"));
        col(rcd, u"最近试听", "dmoMax", XDT, XOFFSET(C, m_dmoMax), none, noRecord, 0, 0, 0,
            QStringLiteral("最近试听日期"));
        range(rcd, u"试听日期", &C::GetDemoRange, 513, QStringLiteral("首次试听日期~最近试听日期"));
        col(rcd, u"试听", "dmoTimes", XIN, XOFFSET(C, m_dmoTimes), times, nil, 0, 513, 0, none);
        col(rcd, u"首次考勤", "rcdMin", XDT, XOFFSET(C, m_rcdMin), none, noRecord, 0, 0, 0, none);
        col(rcd, u"最近考勤", "rcdMax", XDT, XOFFSET(C, m_rcdMax), none, noRecord, 0, 0, 0, none);
        range(rcd, u"考勤日期", &C::GetRcdRange, 1, none);
        col(rcd, u"已考勤", "rcdTimes", XIN, XOFFSET(C, m_rcdTimes), times, nil, 0, 513, 0, none);
        col(rcd, u"消课", "rcdCountIn", XIN, XOFFSET(C, m_rcdCountIn), times, nil, 0, 513, 0, none);
        col(rcd, u"请假", "rcdLeave", XIN, XOFFSET(C, m_rcdLeave), times, nil, 0, 513, 0, none);
        col(rcd, u"准时", "rcdMormal", XIN, XOFFSET(C, m_rcdMormal), times, nil, 0, 513, 0, none);
        col(rcd, u"迟到", "rcdLate", XIN, XOFFSET(C, m_rcdLate), times, nil, 0, 513, 0, none);
        col(rcd, u"缺勤", "rcdAbsent", XIN, XOFFSET(C, m_rcdAbsent), times, nil, 0, 513, 0, none);
        col(rcd, u"取消", "rcdCancel", XIN, XOFFSET(C, m_rcdCancel), times, nil, 0, 513, 0, none);
        col(rcd, u"待定", "rcdUncert", XIN, XOFFSET(C, m_rcdUncert), times, nil, 0, 513, 0, none);
    });
}

QString CDBStudentCourse::FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const
{
    if (head && head->m_nOffset == XOFFSET(CDBStudentCourse, m_rcpRemained)) {
        const QString text = FormatLessonBreakdown(m_rcpLessonAc, m_rcpCountIn, m_rcpInvalid, m_rcpRemained);
        if (!text.isEmpty())
            return text;
    }
    return CXItem::FormatText(head, bUnit, bPrefix, bDisplay);
}

int CDBStudentCourse::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    const int today = static_cast<int>(XDateTime::Today().Day());
    switch (m_nItemStatus) {
    case Trial:
        AddStatusText(today - static_cast<int>(m_dmoMax.Day()) < GetDemoWarnDays() ? ST_WARN : ST_GRAY, nullptr,
                      FormatString(u"%s试听", DateText(m_dmoMax)));
        break;
    case Paused:
        AddStatusText(ST_WARN, nullptr, QStringLiteral("停课！"));
        break;
    case Expired:
        AddStatusText(ST_WARN, nullptr, FormatString(u"超有效期 %d 天！", today - static_cast<int>(m_rcpEndMax.Day())));
        break;
    case Overdrawn:
        AddStatusText(ST_STOP, nullptr, FormatString(u"超课时 %d 次！", -m_rcpRemained));
        break;
    case Finished:
        AddStatusText(ST_GRAY, nullptr, FormatString(u"%s结课", DateText(m_rcdMax)));
        break;
    case Refunded:
        AddStatusText(ST_GRAY, nullptr, FormatString(u"%s退费！", DateText(m_rcpRtrMax)));
        break;
    default:
        break;
    }
    return CXItem::Validate(user, bCheckDuplicates);
}
