#include "CDBStudent.h"

#include "RecordCopy.h"
#include "FormatString.h"
#include "IdentityChecks.h"
#include "ReferenceTables.h"

#include <algorithm>
#include <cmath>

namespace {

#define S_OFFSET(member) XOFFSET(CDBStudent, member)

constexpr int kDefaultAgeDays = 2191; // a new student is taken as six years old

QString DateText(const XDateTime& date)
{
    return date.Day() == 0 ? QString() : date.Format(QStringLiteral("%Y年%#m月%#d日"));
}

int WholeDay(const XDateTime& date) { return static_cast<int>(std::floor(date.Day())); }

} // namespace

CHeads* CDBStudent::StaticHeads()
{
    return BuildHeadsOnce<CDBStudent>([](CHeads& heads) {
        using C = CDBStudent;
        using K = CDBStudentCourse;
        heads.m_strItemType = QStringLiteral("学员");
        heads.m_strItemUnit = QStringLiteral("名");
        heads.m_strTable = QStringLiteral("TB_STUDENT");
        heads.m_bGoodStatus = 1;
        heads.SetSqlResource(438);
        const QString none, nil = QStringLiteral("无"), noRecord = QStringLiteral("无记录"),
                            unknown = QStringLiteral("未登记"), times = QStringLiteral("%d 次");
        const XGroup rcp(32892), sch(32890), rcd(32889), oper(32891), edit(32886), stat(u"统计");
        const auto sum = [&](const XGroup& g, const char16_t* caption, int K::*member, const QString& format,
                             const QString& empty, unsigned cols, int width, const QString& help) {
            heads.AddComputedHead(
                g, QString::fromUtf16(caption), XIN,
                [member](const CXItem& item, int) -> XFieldValue { return static_cast<const C&>(item).SumOf(member); },
                format, empty, 0, cols, width, help);
        };
        const auto latest = [&](const XGroup& g, const char16_t* caption, XDateTime K::*member, const QString& empty,
                                unsigned cols, const QString& help) {
            heads.AddComputedHead(
                g, QString::fromUtf16(caption), XDT,
                [member](const CXItem& item, int) -> XFieldValue { return static_cast<const C&>(item).MaxOf(member); },
                none, empty, 0, cols, 0, help);
        };
        const auto range = [&](const XGroup& g, const char16_t* caption, XDateTime K::*first, XDateTime K::*last,
                               const QString& help) {
            heads.AddComputedHead(
                g, QString::fromUtf16(caption), XDR,
                [first, last](const CXItem& item, int) -> XFieldValue {
                    return static_cast<const C&>(item).RangeOf(first, last);
                },
                none, noRecord, 0, 1, 0, help);
        };

        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, S_OFFSET(m_nID), none,
                                none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("名称"), QStringLiteral("ItemTitle"), XSW, S_OFFSET(m_strName), none,
                                none, 512, 8 | 512, 0, QStringLiteral("姓名，有重名时同时显示别名。"));
        heads.AddColumnHead({}, QStringLiteral("姓名和别名"), 128, QStringLiteral("FullName"), XSW,
                            S_OFFSET(m_strFullName), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("姓名"), 64 | 8 | 2, QStringLiteral("RealName"), XSW,
                            S_OFFSET(m_strRealName), none, none, 0, 1, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("重名"), QStringLiteral("RptCount"), XIN, S_OFFSET(m_nRptCount),
                                QStringLiteral("%d 人"), nil, 0, 1, 0, QStringLiteral("不含自身的重名人数"));
        heads.AddColumnHead({}, QStringLiteral("别名"), 8 | 1, QStringLiteral("Petname"), XSW, S_OFFSET(m_strPetname),
                            none, unknown, 0, 8 | 1, 0,
                            QStringLiteral("小名、曾用名、英文名等，存在重名时可以以不同的别名区分。"));
        heads.AddHead({}, QStringLiteral("性别"), 8 | 2, QStringLiteral("Sex"), XIN, S_OFFSET(m_nSex), 0, 0, 1,
                      QStringLiteral("男|女"), none, 64, 8 | 512 | 1, 0, none);
        heads.AddColumnHead({}, QStringLiteral("生日"), 8 | 2, QStringLiteral("Birthday"), XDT, S_OFFSET(m_dtBirthday),
                            none, none, 0, 8 | 512 | 1, 0, none);
        heads.AddColumnHead({}, QStringLiteral("近似生日"), 0, QStringLiteral("BirthApprox"), XIN,
                            S_OFFSET(m_bBirthApprox), none, none, 0, 0, 0, none);
        heads.AddComputedHead({}, QStringLiteral("年龄"), XNU, CHeads::Getter(&C::GetAge), QStringLiteral("≈%1.1f 岁"),
                              none, 64, 8 | 512 | 1, 4, none);
        heads.AddColumnHead({}, QStringLiteral("民族"), 8, QStringLiteral("Nation"), XSW, S_OFFSET(m_strNation), none,
                            unknown, 0, 1, 0, none);
        heads.AddColumnHead({}, QStringLiteral("住址"), 8 | 1, QStringLiteral("AreaAddr"), XSW, S_OFFSET(m_strAreaAddr),
                            none, unknown, 0, 1, 15, QStringLiteral("住址的大概位置，如小区名。"));
        heads.AddColumnHead({}, QStringLiteral("详细住址"), 8, QStringLiteral("ExactAddr"), XSW,
                            S_OFFSET(m_strExactAddr), none, unknown, 0, 1, 15,
                            QStringLiteral("住址的准确地址，如楼栋和门牌号。"));
        heads.AddComputedHead({}, QStringLiteral("身份证"), XIN, CHeads::Getter(&C::HasIdCard), QStringLiteral("无|有"),
                              none, 0, 8, 0, QStringLiteral("是否已登记身份证号。"));
        heads.AddColumnHead({}, QStringLiteral("身份证号"), 64 | 8 | 1, QStringLiteral("IDCard"), XSW,
                            S_OFFSET(m_strIDCard), none, unknown, 0, 1, 0,
                            QStringLiteral("输入身份证号后自动设定生日和性别。"));
        heads.AddComputedHead({}, QStringLiteral("籍贯"), XSW, CHeads::Getter(&C::GetNativePlace), none, unknown, 0, 1,
                              0, QStringLiteral("从身份证号（如有）中获取的籍贯。"));
        heads.AddColumnHead({}, QStringLiteral("推荐人"), 8 | 1, QStringLiteral("Refereer"), XSW,
                            S_OFFSET(m_strRefereer), none, unknown, 0, 8 | 1, 0, none);
        heads.AddComputedHead({}, QStringLiteral("学校"), XSW, CHeads::Getter(&C::GetSchool), none, unknown, 0,
                              8 | 512 | 1, 12, none);
        heads.AddComputedHead({}, QStringLiteral("班级"), XSW, CHeads::Getter(&C::GetClass), none, unknown, 0, 1, 0,
                              none);
        heads.AddComputedHead({}, QStringLiteral("年级"), XIN, CHeads::Getter(&C::GetGrade), StudentGradeOptions(),
                              none, 0, 8 | 512 | 1, 0, QStringLiteral("根据简历登记年级和登记日期所预测的当前年级。"));
        heads.AddColumnHead({}, QStringLiteral("手机"), 8 | 2, none, XAR, S_OFFSET(m_accounts), none, unknown, 0,
                            8 | 512 | 1, 16, none);
        heads.AddComputedHead({}, QStringLiteral("照片"), XIN, CHeads::Getter(&C::GetPhotoCount),
                              QStringLiteral("%d 张"), nil, 0, 8 | 1, 1, QStringLiteral("已登记照片数量。"));
        heads.AddColumnHead({}, QStringLiteral("照片"), 8, none, XAR, S_OFFSET(m_photos), none, nil, 0, 0, 0, none);
        heads.AddHead({}, QStringLiteral("登录"), 8, QStringLiteral("IsEnabled"), XIN, S_OFFSET(m_bEnabled), 1, 0, 1,
                      QStringLiteral("禁止|允许"), none, 0, 8 | 512 | 1, 0,
                      QStringLiteral("是否允许 Internet 登录访问。"));
        heads.AddViewColumnHead({}, QStringLiteral("微信用户"), QStringLiteral("WxBinds"), XIN, S_OFFSET(m_nWxBinds),
                                QStringLiteral("%d 名"), nil, 0, 8 | 1, 0, QStringLiteral("绑定微信用户数量。"));
        heads.AddColumnHead({}, QStringLiteral("备注"), 8, QStringLiteral("RecordMemo"), XSW, S_OFFSET(m_strMemo), none,
                            QStringLiteral("空"), 0, 8 | 512 | 1, 0, none);
        heads.AddColumnHead({}, QStringLiteral("密码"), 0, QStringLiteral("UserPassword"), XSW, S_OFFSET(m_strPassword),
                            none, none, 0, 0, 0, none);

        range(rcp, u"报名日期", &K::m_rcpPayMin, &K::m_rcpPayMax, QStringLiteral("首次报名日期和最近报名日期"));
        // the student's receipt totals count each receipt once, also when its package covers
        // several of the student's courses (the course lines each show it)
        heads.AddViewColumnHead(rcp, QStringLiteral("已报名"), QStringLiteral("PayTimes"), XIN, S_OFFSET(m_nPayTimes),
                                times, nil, 0, 1, 0, QStringLiteral("累计报名次数"));
        heads.AddViewColumnHead(rcp, QStringLiteral("报名金额"), QStringLiteral("PaySum"), XNU, S_OFFSET(m_fPaySum),
                                none, nil, 0, 1, 0, QStringLiteral("累计报名金额（已计入后期变更）"));
        latest(rcp, u"最近退费", &K::m_rcpRtrMax, noRecord, 1, none);
        heads.AddViewColumnHead(rcp, QStringLiteral("退费次数"), QStringLiteral("RtrTimes"), XIN, S_OFFSET(m_nRtrTimes),
                                times, nil, 0, 1, 0, none);
        heads.AddViewColumnHead(rcp, QStringLiteral("有效课时"), QStringLiteral("LessonAc"), XIN, S_OFFSET(m_nLessonAc),
                                times, none, 0, 0, 0, QStringLiteral("累计有效课时"));
        heads.AddViewColumnHead(rcp, QStringLiteral("已消课时"), QStringLiteral("LessonCountIn"), XIN,
                                S_OFFSET(m_nLessonCountIn), times, none, 0, 0, 0, QStringLiteral("累计已消课时"));
        heads.AddViewColumnHead(rcp, QStringLiteral("失效课时"), QStringLiteral("LessonInvalid"), XIN,
                                S_OFFSET(m_nLessonInvalid), times, none, 0, 0, 0,
                                QStringLiteral("因退费或定期/短期课程超过有效期等原因失效的课时"));
        heads.AddViewColumnHead(rcp, QStringLiteral("剩余课时"), QStringLiteral("LessonRemained"), XIN,
                                S_OFFSET(m_nLessonRemained), times, nil, 0, 8 | 1, 10,
                                QStringLiteral("总课时-已消课时-当前消课(上标)±失效课时(下标)=剩余课时"));
        latest(rcp, u"有效期", &K::m_rcpEndMax, nil, 1, none);
        range(sch, u"排课日期", &K::m_SchBgn, &K::m_SchEnd, none);
        sum(sch, u"全部排课", &K::m_SchAll, QStringLiteral("%d 次/周"), nil, 1, 0, none);
        sum(sch, u"当前排课", &K::m_SchCur, QStringLiteral("%d 次/周"), nil, 1, 0, none);
        sum(sch, u"已排课", &K::m_schRcd, times, nil, 1, 0, none);
        range(rcd, u"试听日期", &K::m_dmoMin, &K::m_dmoMax, none);
        sum(rcd, u"试听", &K::m_dmoTimes, times, nil, 1, 0, none);
        range(rcd, u"考勤日期", &K::m_rcdMin, &K::m_rcdMax, none);
        sum(rcd, u"已考勤", &K::m_rcdTimes, times, nil, 1, 0, none);
        sum(rcd, u"消课", &K::m_rcdCountIn, times, nil, 1, 0, none);
        sum(rcd, u"请假", &K::m_rcdLeave, times, nil, 1, 0, none);
        sum(rcd, u"准时", &K::m_rcdMormal, times, nil, 1, 0, none);
        sum(rcd, u"迟到", &K::m_rcdLate, times, nil, 1, 0, none);
        sum(rcd, u"缺勤", &K::m_rcdAbsent, times, nil, 1, 0, none);
        sum(rcd, u"取消", &K::m_rcdCancel, times, nil, 1, 0, none);
        sum(rcd, u"待定", &K::m_rcdUncert, times, nil, 1, 0, none);

        heads.AddComputedHead(stat, QStringLiteral("最近活动"), XSW, CHeads::Getter(&C::GetLastActiveText), none,
                              noRecord, 64, 8 | 1, 20, none);
        heads.AddViewColumnHead(stat, QStringLiteral("最近活动日期"), QStringLiteral("LastActive"), XDT,
                                S_OFFSET(m_dtLastActive), QStringLiteral("%Y年%#m月%#d日"), noRecord, 2 | (3 << 3), 0,
                                0, none);
        heads.AddViewColumnHead(stat, QStringLiteral("最近活动类型"), QStringLiteral("ActiveType"), XIN,
                                S_OFFSET(m_nActiveType), QStringLiteral("无记录|登记|报名|变更|上课|试听"), noRecord, 0,
                                0, 0, none);
        heads.AddViewColumnHead(oper, QStringLiteral("首次操作"), QStringLiteral("OperMin"), XDT,
                                S_OFFSET(m_oper.m_begin), QStringLiteral("%Y-%#m-%#d %#H:%M"), noRecord, 0, 1, 0,
                                QStringLiteral("首次操作日期"));
        heads.AddViewColumnHead(oper, QStringLiteral("最近操作"), QStringLiteral("OperMax"), XDT,
                                S_OFFSET(m_oper.m_end), QStringLiteral("%Y-%#m-%#d %#H:%M"), noRecord, 0, 1, 0,
                                QStringLiteral("最近操作日期"));
        heads.AddColumnHead({}, QStringLiteral("简历"), 8 | 2, none, XAR, S_OFFSET(m_resumes), none, none, 0, 0, 0,
                            none);
        heads.AddColumnHead({}, QStringLiteral("课程"), 0, none, XAR, S_OFFSET(m_courses), none, none, 0, 512 | 1, 0,
                            none);
        heads.AddMemberHead(edit, QStringLiteral("新建"), XBS, S_OFFSET(m_created), none, noRecord, 0, 1, 0,
                            QStringLiteral("新建该项目的用户和日期"));
        heads.AddMemberHead(edit, QStringLiteral("修改"), XBS, S_OFFSET(m_modified), none, noRecord, 0, 1, 0,
                            QStringLiteral("最近修改该项目的用户和日期"));
        // not shown: whether timetable or class-record lines name the student (delete check)
        heads.AddViewColumnHead({}, QStringLiteral("课程表或课堂记录"), QStringLiteral("LessonLines"), XIN,
                                S_OFFSET(m_bHasLessonLines), none, none, 0, 0, 0, none);
    });
}

int CDBStudent::GetDefault(const CHead* head) const
{
    // "today" when a new student is made, not when the table was first built
    if (head && head->m_nOffset == S_OFFSET(m_dtBirthday))
        return WholeDay(XDateTime::Today()) - kDefaultAgeDays;
    return CXItem::GetDefault(head);
}

QString CDBStudent::MakeTitle() const
{
    if (m_nRptCount > 0 && !m_strPetname.isEmpty())
        return m_strRealName + QStringLiteral(" (") + m_strPetname + u')';
    return m_strRealName;
}

void CDBStudent::MakeNewCopy()
{
    const CDBStudent fresh;
    PrepareNewCopy(*this);
    m_strPassword.clear();
    m_courses.RemoveAll();
    m_nRptCount = 0;
    m_nWxBinds = 0;
    m_bHasLessonLines = 0;
    m_nPayTimes = fresh.m_nPayTimes;
    m_fPaySum = fresh.m_fPaySum;
    m_nRtrTimes = fresh.m_nRtrTimes;
    m_nLessonAc = fresh.m_nLessonAc;
    m_nLessonCountIn = fresh.m_nLessonCountIn;
    m_nLessonInvalid = fresh.m_nLessonInvalid;
    m_nLessonRemained = fresh.m_nLessonRemained;
    m_dtLastActive = fresh.m_dtLastActive;
    m_nActiveType = 0;
    m_oper = fresh.m_oper;
}

double CDBStudent::GetAge() const { return (XDateTime::Today().Day() - m_dtBirthday.Day()) / 365.24; }

QString CDBStudent::GetNativePlace() const
{
    return m_strIDCard.size() >= 6 ? GetAreaName(m_strIDCard.left(6)) : QString();
}

const CDBStudentResume* CDBStudent::GetNewestResume() const
{
    const CDBStudentResume* newest = nullptr;
    for (const CXItem* item : m_resumes) {
        const auto* line = static_cast<const CDBStudentResume*>(item);
        if (!newest || line->m_dtDate.Day() > newest->m_dtDate.Day())
            newest = line;
    }
    return newest;
}

QString CDBStudent::GetSchool() const
{
    const CDBStudentResume* line = GetNewestResume();
    return line && line->m_nStage < 21 ? line->m_strUnit : QString();
}

QString CDBStudent::GetClass() const
{
    const CDBStudentResume* line = GetNewestResume();
    return line && line->m_nStage < 21 ? line->m_strDepartment : QString();
}

int CDBStudent::GetGrade() const
{
    const CDBStudentResume* line = GetNewestResume();
    if (line && line->m_dtDate.Day() != 0)
        return line->GetCurGrade();
    return PredictGrade(-3, m_dtBirthday, XDateTime::Today());
}

QString CDBStudent::GetLastActiveText() const
{
    if (m_dtLastActive.Day() == 0)
        return QString();
    const CHeads* heads = GetHeads();
    return FormatText(heads->FindByOffset(S_OFFSET(m_dtLastActive)), false, false, true) + u' ' +
           FormatText(heads->FindByOffset(S_OFFSET(m_nActiveType)), false, false, true);
}

int CDBStudent::SumOf(int CDBStudentCourse::*member) const
{
    int total = 0;
    for (const CXItem* item : m_courses)
        total += static_cast<const CDBStudentCourse*>(item)->*member;
    return total;
}

XDateTime CDBStudent::MaxOf(XDateTime CDBStudentCourse::*member) const
{
    double latest = 0;
    for (const CXItem* item : m_courses)
        latest = std::max(latest, (static_cast<const CDBStudentCourse*>(item)->*member).Day());
    return XDateTime(latest);
}

CXDateRange CDBStudent::RangeOf(XDateTime CDBStudentCourse::*first, XDateTime CDBStudentCourse::*last) const
{
    double begin = 0, end = 0;
    for (const CXItem* item : m_courses) {
        const auto* line = static_cast<const CDBStudentCourse*>(item);
        const double b = (line->*first).Day();
        if (b != 0 && (begin == 0 || b < begin))
            begin = b;
        end = std::max(end, (line->*last).Day());
    }
    if (begin == 0 && end == 0)
        return {};
    return {XDateTime(begin), XDateTime(end)};
}

QString CDBStudent::FormatText(const CHead* head, bool bUnit, bool bPrefix, bool bDisplay) const
{
    if (head && head->m_nOffset == S_OFFSET(m_nLessonRemained)) {
        const QString text = FormatLessonBreakdown(m_nLessonAc, m_nLessonCountIn, m_nLessonInvalid, m_nLessonRemained);
        if (!text.isEmpty())
            return text;
    }
    return CXItem::FormatText(head, bUnit, bPrefix, bDisplay);
}

int CDBStudent::GetAccess(const CHead* head, const CXItem* user) const
{
    if (head && (head->m_nOffset == S_OFFSET(m_nSex) || head->m_nOffset == S_OFFSET(m_dtBirthday)) &&
        CheckIdCardNumber(m_strIDCard))
        return 0;
    return CXItem::GetAccess(head, user);
}

QString CDBStudent::GetFormat(const CHead* head) const
{
    if (head && head->m_nOffset == S_OFFSET(m_dtBirthday) && m_bBirthApprox)
        return QStringLiteral("%Y年%#m月");
    return CXItem::GetFormat(head);
}

QString CDBStudent::GetPrefix(const CHead* head) const
{
    if (head && head->m_pfnGet && head->m_strName == QStringLiteral("年龄"))
        return m_bBirthApprox ? QStringLiteral("≈") : QString();
    return CXItem::GetPrefix(head);
}

int CDBStudent::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    int sex = 0;
    XDateTime birthday;
    const bool validCard = CheckIdCardNumber(m_strIDCard, &sex, &birthday);
    if (validCard) {
        m_nSex = sex;
        m_dtBirthday = birthday;
        m_bBirthApprox = 0;
    }
    m_strName = MakeTitle();
    m_strFullName = m_strRealName + m_strPetname;
    if (m_strRealName.isEmpty())
        AddStatusText(ST_STOP, &m_strRealName, QStringLiteral("请输入姓名！"));
    if (!m_strIDCard.isEmpty() && !validCard)
        AddStatusText(ST_STOP, &m_strIDCard,
                      QStringLiteral("身份证号无效，请与身份证上的实际号码仔细核对！如果不知道，可以暂不填写。"));
    if (!m_bEnabled)
        AddStatusText(ST_WARN, nullptr, QStringLiteral("已禁止 Internet 访问！"));
    for (const CXItem* item : m_accounts) {
        if (!IsMobileNumber(item->m_strName)) {
            AddStatusText(ST_STOP, &m_accounts, QStringLiteral("请输入 11 位数字的手机号！"));
            break;
        }
    }
    const int today = WholeDay(XDateTime::Today());
    for (const CXItem* item : m_courses) {
        const auto* line = static_cast<const CDBStudentCourse*>(item);
        const QString& course = line->m_strName;
        switch (line->m_nItemStatus) {
        case CDBStudentCourse::Trial:
            AddStatusText(today - WholeDay(line->m_dmoMax) < GetDemoWarnDays() ? ST_WARN : ST_GRAY, nullptr,
                          FormatString(u"%s：%s试听", course, DateText(line->m_dmoMax)));
            break;
        case CDBStudentCourse::Paused:
            AddStatusText(ST_WARN, nullptr, FormatString(u"%s：余 %d 次，停课中", course, line->m_rcpRemained));
            break;
        case CDBStudentCourse::Expired:
            AddStatusText(ST_WARN, nullptr,
                          FormatString(u"%s：余 %d 次，超有效期 %d 天", course, line->m_rcpRemained,
                                       today - WholeDay(line->m_rcpEndMax)));
            break;
        case CDBStudentCourse::Attending:
            AddStatusText(ST_GOOD, nullptr, FormatString(u"%s：余 %d 次", course, line->m_rcpRemained));
            break;
        case CDBStudentCourse::Overdrawn:
            AddStatusText(ST_STOP, nullptr, FormatString(u"%s：超 %d 次", course, -line->m_rcpRemained));
            break;
        case CDBStudentCourse::Finished:
            AddStatusText(ST_GRAY, nullptr, FormatString(u"%s：%s结课", course, DateText(line->m_rcdMax)));
            break;
        case CDBStudentCourse::Refunded:
            AddStatusText(ST_GRAY, nullptr, FormatString(u"%s：%s退费", course, DateText(line->m_rcpRtrMax)));
            break;
        default:
            break;
        }
    }
    if (m_status.isEmpty() && (m_nActiveType == 0 || m_nActiveType == 1))
        AddStatusText(today - WholeDay(m_dtLastActive) > GetDemoWarnDays() ? ST_WARN : ST_GRAY, nullptr,
                      QStringLiteral("登记后任何无活动记录。"));
    return CXItem::Validate(user, bCheckDuplicates);
}

QString CDBStudent::GetDeleteError(const CXItem* user) const
{
    QStringList names;
    if (m_nPayTimes > 0)
        names << QStringLiteral("报名收据");
    // timetable and class-record lines without a course line would be orphaned as well
    if (m_courses.GetSize() > 0 || m_bHasLessonLines)
        names << QStringLiteral("课堂记录");
    if (!names.isEmpty())
        return FormatString(u"已有关联的%s。", names.join(QStringLiteral("、")));
    return CXItem::GetDeleteError(user);
}
