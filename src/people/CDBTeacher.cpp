#include "CDBTeacher.h"

#include "RecordCopy.h"
#include "CDBStudentAccount.h"
#include "CModule.h"
#include "CommandIds.h"
#include "FormatString.h"
#include "IdentityChecks.h"
#include "RecordLookups.h"
#include "ReferenceTables.h"

#include <cmath>
#include <vector>

namespace {

#define T_OFFSET(member) XOFFSET(CDBTeacher, member)

constexpr int kDefaultAgeDays = 9131; // a new teacher is taken as 25 years old
constexpr double kDaysPerYear = 365.24;

int WholeDay(const XDateTime& date) { return static_cast<int>(std::floor(date.Day())); }
int Today() { return WholeDay(XDateTime::Today()); }

// The lines of a typed array as their class.
template <class T> std::vector<T*> Lines(const CXArrayT<T>& array)
{
    std::vector<T*> lines;
    lines.reserve(static_cast<std::size_t>(array.GetSize()));
    for (CXItem* item : array)
        lines.push_back(static_cast<T*>(item));
    return lines;
}

} // namespace

CHeads* CDBTeacher::StaticHeads()
{
    return BuildHeadsOnce<CDBTeacher>([](CHeads& heads) {
        using C = CDBTeacher;
        heads.m_strItemType = QStringLiteral("教师");
        heads.m_strItemUnit = QStringLiteral("名");
        heads.m_strTable = QStringLiteral("TB_TEACHER");
        heads.m_bGoodStatus = 1;
        heads.SetSqlResource(441);
        const QString none, nil = QStringLiteral("无"), noRecord = QStringLiteral("无记录"),
                            unknown = QStringLiteral("未登记"), unsure = QStringLiteral("未知"),
                            times = QStringLiteral("%d 次"), perWeek = QStringLiteral("%d 次/周");
        const XGroup resume(u"简历"), sch(ID_REL_EDUSCH), rcd(ID_REL_EDURCD), wages(ID_REL_WAGES), oper(ID_REL_OPERLOG),
            edit(ID_REL_EDITLOG);
        const auto computed = [&](const XGroup& g, const char16_t* caption, int type, XFieldGetter getter,
                                  const QString& format, const QString& empty, unsigned list, unsigned cols, int width,
                                  const char16_t* help) {
            heads.AddComputedHead(g, QString::fromUtf16(caption), type, std::move(getter), format, empty, list, cols,
                                  width, QString::fromUtf16(help));
        };
        const auto view = [&](const XGroup& g, const char16_t* caption, const char* column, int type, int offset,
                              const QString& format, const QString& empty, unsigned list, unsigned cols, int width) {
            heads.AddViewColumnHead(g, QString::fromUtf16(caption), QString::fromUtf8(column), type, offset, format,
                                    empty, list, cols, width, none);
        };

        heads.AddViewColumnHead({}, QStringLiteral("PrimaryKey"), QStringLiteral("ID"), XIN, T_OFFSET(m_nID), none,
                                none, 0, 0, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("名称"), QStringLiteral("ItemTitle"), XSW, T_OFFSET(m_strName), none,
                                none, 512, 8 | 512, 0, QStringLiteral("姓名，有重名时同时显示别名。"));
        // unique, but not a column of the table: checked in Validate over RealName||Petname
        heads.AddColumnHead({}, QStringLiteral("姓名和别名"), 0, QStringLiteral("FullName"), XSW,
                            T_OFFSET(m_strFullName), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("姓名"), 64 | 8 | 2, QStringLiteral("RealName"), XSW,
                            T_OFFSET(m_strRealName), none, none, 0, 1, 0, none);
        heads.AddViewColumnHead({}, QStringLiteral("重名"), QStringLiteral("RptCount"), XIN, T_OFFSET(m_nRptCount),
                                QStringLiteral("%d 人"), nil, 0, 1, 0, QStringLiteral("不含自身的重名人数。"));
        heads.AddColumnHead({}, QStringLiteral("别名"), 8 | 1, QStringLiteral("Petname"), XSW, T_OFFSET(m_strPetname),
                            none, nil, 0, 1, 0,
                            QStringLiteral("小名、曾用名、英文名等，存在重名时可以以不同的别名区分。"));
        heads.AddHead({}, QStringLiteral("性别"), 8 | 2, QStringLiteral("Sex"), XIN, T_OFFSET(m_nSex), 0, 0, 1,
                      QStringLiteral("男|女"), none, 64, 8 | 512 | 1, 0, none);
        heads.AddColumnHead({}, QStringLiteral("生日"), 8 | 1, QStringLiteral("Birthday"), XDT, T_OFFSET(m_dtBirthday),
                            none, none, 0, 8 | 512 | 1, 0, none);
        heads.AddColumnHead({}, QStringLiteral("近似生日"), 0, QStringLiteral("BirthApprox"), XIN,
                            T_OFFSET(m_bBirthApprox), none, none, 0, 0, 0, none);
        computed({}, u"年龄", XNU, CHeads::Getter(&C::GetAge), QStringLiteral("≈%1.1f 岁"), none, 64, 8 | 512 | 1, 4,
                 u"");
        heads.AddColumnHead({}, QStringLiteral("民族"), 8, QStringLiteral("Nation"), XSW, T_OFFSET(m_strNation), none,
                            unknown, 0, 1, 0, none);
        heads.AddColumnHead({}, QStringLiteral("政治面貌"), 8 | 1, QStringLiteral("Political"), XSW,
                            T_OFFSET(m_strPolitical), none, unknown, 0, 1, 0, none);
        heads.AddColumnHead({}, QStringLiteral("住址"), 8 | 1, QStringLiteral("AreaAddr"), XSW, T_OFFSET(m_strAreaAddr),
                            none, unknown, 0, 1, 0, QStringLiteral("住址的大概位置，如小区名称。"));
        heads.AddColumnHead({}, QStringLiteral("详细住址"), 8, QStringLiteral("ExactAddr"), XSW,
                            T_OFFSET(m_strExactAddr), none, unknown, 0, 1, 0,
                            QStringLiteral("住址的准确地址，如楼栋和门牌号。"));
        computed({}, u"身份证", XIN, CHeads::Getter(&C::HasIdCard), QStringLiteral("无|有"), none, 0, 8, 0,
                 u"是否已登记身份证号。");
        heads.AddColumnHead({}, QStringLiteral("身份证号"), 64 | 8 | 1, QStringLiteral("IDCard"), XSW,
                            T_OFFSET(m_strIDCard), none, unknown, 0, 1, 0,
                            QStringLiteral("输入身份证号后自动设定生日和性别。"));
        computed({}, u"籍贯", XSW, CHeads::Getter(&C::GetNativePlace), none, unknown, 0, 1, 0,
                 u"从身份证号（如有）中获取的籍贯。");
        heads.AddHead({}, QStringLiteral("角色"), 8, QStringLiteral("RightRole"), XIN, T_OFFSET(m_nRightRole), 0, 0, 2,
                      QStringLiteral("普通用户|操作员|管理员"), none, 0, 8 | 512 | 1, 0, none);
        heads.AddColumnHead({}, QStringLiteral("权限数据"), 0, QStringLiteral("RightData"), XSW,
                            T_OFFSET(m_strRightData), none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("权限"), 2 << 3, none, XAR, T_OFFSET(m_rights), none,
                            QStringLiteral("全部"), 0, 0, 0, none);
        heads.AddHead({}, QStringLiteral("登录"), 8, QStringLiteral("IsEnabled"), XIN, T_OFFSET(m_bEnabled), 1, 0, 1,
                      QStringLiteral("禁止|允许"), none, 0, 8 | 512 | 1, 0,
                      QStringLiteral("是否允许 Internet 登录访问。"));
        heads.AddViewColumnHead({}, QStringLiteral("微信用户"), QStringLiteral("WxBinds"), XIN, T_OFFSET(m_nWxBinds),
                                QStringLiteral("%d 名"), nil, 0, 8 | 1, 0, QStringLiteral("绑定微信用户数量。"));

        computed(resume, u"在职时间", XDR, CHeads::Getter(&C::GetWorkPeriod), none, unknown, 0, 8 | 1, 0,
                 u"在本单位工作的入职日期和离职日期。");
        computed(resume, u"在职年限", XNU, CHeads::Getter(&C::GetWorkYears), QStringLiteral("%1.1f 年"), unknown, 0, 1,
                 0, u"在本单位工作年限。");
        computed(resume, u"职务", XSW, CHeads::Getter(&C::GetPosition), none, unknown, 0, 1, 0,
                 u"在本单位工作的职务。");
        computed(resume, u"类型", XIN, CHeads::Getter(&C::GetWorkType), TeacherStageOptions(), unsure, 0, 8 | 1, 0,
                 u"在本单位工作的类型。");
        computed(resume, u"在职", XIN, CHeads::Getter(&C::GetEmployed), QStringLiteral("离职|在职"), unsure,
                 64 | (3 << 3), 8 | 512 | 1, 0, u"在本单位工作的状态。");
        computed(resume, u"在校学生", XIN, CHeads::Getter(&C::IsStudent), QStringLiteral("否|是"), none, 0, 1, 0,
                 u"根据登记最高学历自动判断的教师人才类型");
        computed(resume, u"毕业院校", XSW, CHeads::Getter(&C::GetSchool), none, unknown, 0, 8 | 1, 15,
                 u"最高学历的毕业院校。");
        computed(resume, u"专业", XSW, CHeads::Getter(&C::GetMajor), none, unknown, 0, 1, 6, u"最高学历的毕业专业。");
        computed(resume, u"学历", XIN, CHeads::Getter(&C::GetEducation), TeacherStageOptions(), unknown, 0, 8 | 1, 0,
                 u"");
        computed(resume, u"学习时间", XDR, CHeads::Getter(&C::GetStudyPeriod), none, unknown, 0, 1, 0,
                 u"最高学历的学习时间。");
        computed(resume, u"毕业年限", XNU, CHeads::Getter(&C::GetGraduateYears), QStringLiteral("%1.1f 年"), unknown, 0,
                 8 | 1, 3, u"最高学历的毕业年限。");
        computed({}, u"照片", XIN, CHeads::Getter(&C::GetPhotoCount), QStringLiteral("%d 张"), nil, 0, 8 | 1, 1,
                 u"已登记照片数量。");
        heads.AddColumnHead({}, QStringLiteral("照片"), 8, none, XAR, T_OFFSET(m_photos), none, nil, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("手机"), 8 | 2, none, XAR, T_OFFSET(m_accounts), none, unknown, 0,
                            8 | 512 | 1, 16, none);
        heads.AddColumnHead({}, QStringLiteral("教授课程"), 0, none, XAR, T_OFFSET(m_courses), none, nil, 0, 8 | 1, 0,
                            none);

        view(sch, u"开始排课", "SchBgn", XDT, T_OFFSET(m_dtSchBgn), none, noRecord, 0, 1, 0);
        view(sch, u"结束排课", "SchEnd", XDT, T_OFFSET(m_dtSchEnd), none, noRecord, 0, 1, 0);
        view(sch, u"全部排课", "SchAll", XIN, T_OFFSET(m_nSchAll), perWeek, nil, 0, 1, 3);
        view(sch, u"当前排课", "SchCur", XIN, T_OFFSET(m_nSchCur), perWeek, nil, 0, 8 | 1, 2);
        view(sch, u"已排课", "schRcd", XIN, T_OFFSET(m_nSchRcd), times, nil, 0, 1, 2);
        view(rcd, u"首次考勤", "rcdMin", XDT, T_OFFSET(m_dtRcdMin), none, noRecord, 0, 1, 0);
        view(rcd, u"最近考勤", "rcdMax", XDT, T_OFFSET(m_dtRcdMax), none, noRecord, 0, 1, 0);
        view(rcd, u"已考勤", "rcdTimes", XIN, T_OFFSET(m_nRcdTimes), times, nil, 0, 1, 0);
        view(rcd, u"消课", "rcdCountIn", XIN, T_OFFSET(m_nRcdCountIn), times, nil, 0, 1, 0);
        view(rcd, u"请假", "rcdLeave", XIN, T_OFFSET(m_nRcdLeave), times, nil, 0, 1, 0);
        view(rcd, u"准时", "rcdMormal", XIN, T_OFFSET(m_nRcdMormal), times, nil, 0, 1, 0);
        view(rcd, u"迟到", "rcdLate", XIN, T_OFFSET(m_nRcdLate), times, nil, 0, 1, 0);
        view(rcd, u"缺勤", "rcdAbsent", XIN, T_OFFSET(m_nRcdAbsent), times, nil, 0, 1, 0);
        view(rcd, u"取消", "rcdCancel", XIN, T_OFFSET(m_nRcdCancel), times, nil, 0, 1, 0);
        view(rcd, u"待定", "rcdUncert", XIN, T_OFFSET(m_nRcdUncert), times, nil, 0, 1, 0);

        heads.AddColumnHead({}, QStringLiteral("密码"), 0, QStringLiteral("UserPassword"), XSW, T_OFFSET(m_strPassword),
                            none, none, 0, 0, 0, none);
        heads.AddColumnHead({}, QStringLiteral("简历"), 8 | 1, none, XAR, T_OFFSET(m_resumes), none, none, 0, 0, 0,
                            none);
        heads.AddColumnHead(wages, QStringLiteral("工资标准"), 8, none, XAR, T_OFFSET(m_pays), none, none, 0, 0, 0,
                            none);
        heads.AddColumnHead({}, QStringLiteral("备注"), 8, QStringLiteral("RecordMemo"), XSW, T_OFFSET(m_strMemo), none,
                            QStringLiteral("空"), 0, 8 | 512 | 1, 0, none);
        heads.AddViewColumnHead(oper, QStringLiteral("首次操作"), QStringLiteral("OperMin"), XDT,
                                T_OFFSET(m_oper.m_begin), QStringLiteral("%Y-%#m-%#d %#H:%M"), noRecord, 0, 1, 0,
                                QStringLiteral("首次操作日期"));
        heads.AddViewColumnHead(oper, QStringLiteral("最近操作"), QStringLiteral("OperMax"), XDT,
                                T_OFFSET(m_oper.m_end), QStringLiteral("%Y-%#m-%#d %#H:%M"), noRecord, 2, 1, 0,
                                QStringLiteral("最近操作日期"));
        heads.AddMemberHead(edit, QStringLiteral("新建"), XBS, T_OFFSET(m_created), none, noRecord, 0, 1, 0,
                            QStringLiteral("新建该项目的用户和日期"));
        heads.AddMemberHead(edit, QStringLiteral("修改"), XBS, T_OFFSET(m_modified), none, noRecord, 0, 1, 0,
                            QStringLiteral("最近修改该项目的用户和日期"));
    });
}

int CDBTeacher::GetDefault(const CHead* head) const
{
    // from the day the teacher is made, not the day the field table was first built
    if (head && head->m_nOffset == T_OFFSET(m_dtBirthday))
        return Today() - kDefaultAgeDays;
    return CXItem::GetDefault(head);
}

QString CDBTeacher::MakeTitle() const
{
    if (m_nRptCount > 0 && !m_strPetname.isEmpty())
        return m_strRealName + QStringLiteral(" (") + m_strPetname + u')';
    return m_strRealName;
}

double CDBTeacher::GetAge() const { return (XDateTime::Today().Day() - m_dtBirthday.Day()) / kDaysPerYear; }

QString CDBTeacher::GetNativePlace() const
{
    return m_strIDCard.size() >= 6 ? GetAreaName(m_strIDCard.left(6)) : QString();
}

const CDBTeacherResume* CDBTeacher::GetEmploymentLine() const
{
    const CDBTeacherResume* chosen = nullptr;
    for (const CDBTeacherResume* line : Lines(m_resumes))
        if (line->IsHere() && (!chosen || line->m_period.m_begin.Day() > chosen->m_period.m_begin.Day()))
            chosen = line;
    return chosen;
}

const CDBTeacherResume* CDBTeacher::GetEducationLine() const
{
    const CDBTeacherResume* chosen = nullptr;
    for (const CDBTeacherResume* line : Lines(m_resumes))
        if (!line->IsEmployment() && (!chosen || line->m_nStage < chosen->m_nStage))
            chosen = line;
    return chosen;
}

double CDBTeacher::GetEmploymentEnd() const
{
    double end = -1;
    for (const CDBTeacherResume* line : Lines(m_resumes)) {
        if (!line->IsHere())
            continue;
        if (line->m_period.m_end.Day() == 0)
            return 0;
        end = std::max(end, line->m_period.m_end.Day());
    }
    return end;
}

CXDateRange CDBTeacher::GetWorkPeriod() const
{
    const CDBTeacherResume* line = GetEmploymentLine();
    return line ? line->m_period : CXDateRange();
}

double CDBTeacher::GetWorkYears() const
{
    const CDBTeacherResume* line = GetEmploymentLine();
    if (!line || line->m_period.m_begin.Day() == 0)
        return 0;
    const double end = line->m_period.m_end.Day() == 0 ? XDateTime::Today().Day() : line->m_period.m_end.Day();
    return (end - line->m_period.m_begin.Day()) / kDaysPerYear;
}

QString CDBTeacher::GetPosition() const
{
    const CDBTeacherResume* line = GetEmploymentLine();
    return line ? line->m_strDepartment : QString();
}

int CDBTeacher::GetWorkType() const
{
    const CDBTeacherResume* line = GetEmploymentLine();
    return line ? line->m_nStage : -1;
}

int CDBTeacher::GetEmployed() const
{
    const CDBTeacherResume* line = GetEmploymentLine();
    if (!line)
        return -1;
    const XDateTime& end = line->m_period.m_end;
    return end.Day() != 0 && WholeDay(end) < Today() ? 0 : 1;
}

int CDBTeacher::IsStudent() const
{
    if (m_resumes.IsEmpty())
        return 1;
    const CDBTeacherResume* education = GetEducationLine();
    if (education && WholeDay(education->m_period.m_end) > Today())
        return 1;
    bool employed = false;
    for (const CDBTeacherResume* line : Lines(m_resumes))
        employed = employed || line->IsEmployment();
    if (!employed)
        return 1;
    return GetAge() < 22 ? 1 : 0;
}

QString CDBTeacher::GetSchool() const
{
    const CDBTeacherResume* line = GetEducationLine();
    return line ? line->m_strUnit : QString();
}

QString CDBTeacher::GetMajor() const
{
    const CDBTeacherResume* line = GetEducationLine();
    return line ? line->m_strDepartment : QString();
}

int CDBTeacher::GetEducation() const
{
    const CDBTeacherResume* line = GetEducationLine();
    return line ? line->m_nStage : -1;
}

CXDateRange CDBTeacher::GetStudyPeriod() const
{
    const CDBTeacherResume* line = GetEducationLine();
    return line ? line->m_period : CXDateRange();
}

double CDBTeacher::GetGraduateYears() const
{
    // a line without an end (still studying) has no years since graduation
    const CDBTeacherResume* line = GetEducationLine();
    if (!line || line->m_period.m_end.Day() == 0)
        return 0;
    return (XDateTime::Today().Day() - line->m_period.m_end.Day()) / kDaysPerYear;
}

const CDBTeacherPay* CDBTeacher::GetPayOn(const XDateTime& day) const
{
    const CDBTeacherPay* chosen = nullptr;
    for (const CDBTeacherPay* pay : Lines(m_pays))
        if (pay->AppliesOn(day) && (!chosen || pay->m_validity.m_begin.Day() > chosen->m_validity.m_begin.Day()))
            chosen = pay;
    return chosen;
}

void CDBTeacher::SyncRights(const CXItem* user)
{
    if (!m_rights.IsEmpty()) {
        // grants on modules this program run has no row for (not built here) are kept, so
        // saving a teacher never drops them
        CXMap map(m_nRightRole == 1 ? m_strRightData : QString());
        for (CDBTeacherRight* row : Lines(m_rights)) {
            row->Validate(user, false);
            if (m_nRightRole == 1)
                map.SetText(row->m_nMduID, QString::number(row->GetBits()));
        }
        m_strRightData = map.ToXml();
        return;
    }
    const CXMap map(m_strRightData);
    for (const CModule* module : GetModules()) {
        if (module->IsHidden())
            continue;
        CDBTeacherRight* row = m_rights.CreateTyped();
        row->m_nMduID = row->m_nID = module->GetMduID();
        row->m_nParentID = m_nID;
        if (m_nRightRole == 1)
            row->SetBits(map.GetInt(module->GetMduID()));
        m_rights.Add(row);
        row->Validate(user, false);
    }
}

int CDBTeacher::Validate(const CXItem* user, bool bCheckDuplicates)
{
    m_status.clear();
    SyncRights(user);
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
    else if (m_nRptCount > 0)
        AddStatusText(ST_WARN, &m_strRealName, QStringLiteral("存在重名！"));
    if (!m_strIDCard.isEmpty() && !validCard)
        AddStatusText(ST_STOP, &m_strIDCard,
                      QStringLiteral("身份证号无效，请与身份证上的实际号码仔细核对！如果不知道，可以暂不填写。"));
    if (m_nSchCur > 0 && m_pays.IsEmpty())
        AddStatusText(ST_WARN, nullptr, QStringLiteral("未制定工资标准！"));
    for (const CDBTeacherAccount* account : Lines(m_accounts)) {
        if (!IsMobileNumber(account->m_strName)) {
            AddStatusText(ST_STOP, &m_accounts, QStringLiteral("请输入 11 位数字的手机号！"));
            break;
        }
    }
    if (bCheckDuplicates && !m_strRealName.isEmpty() &&
        FindDuplicate(m_nID, m_strFullName, QStringLiteral("TB_TEACHER"), QStringLiteral("RealName||Petname")))
        AddStatusText(ST_STOP, &m_strRealName, QStringLiteral("姓名和别名存在重复项。"));
    switch (GetEmployed()) {
    case 1:
        AddStatusText(ST_GOOD, nullptr, QStringLiteral("在职"));
        break;
    case 0:
        AddStatusText(ST_GRAY, nullptr, QStringLiteral("离职"));
        break;
    default:
        AddStatusText(ST_WARN, nullptr, QStringLiteral("未填写工作简历！"));
        break;
    }
    return CXItem::Validate(user, bCheckDuplicates);
}

int CDBTeacher::GetAccess(const CHead* head, const CXItem* user) const
{
    if (head && (head->m_nOffset == T_OFFSET(m_nSex) || head->m_nOffset == T_OFFSET(m_dtBirthday)) &&
        CheckIdCardNumber(m_strIDCard))
        return 0;
    if (head && head->m_nOffset == T_OFFSET(m_rights) && m_nRightRole != 1)
        return 0;
    return CXItem::GetAccess(head, user);
}

QString CDBTeacher::GetEmptyText(const CHead* head) const
{
    if (head && head->m_nOffset == T_OFFSET(m_rights))
        return m_nRightRole == 0   ? QStringLiteral("...")
               : m_nRightRole == 1 ? QStringLiteral("无")
                                   : QStringLiteral("全部");
    return CXItem::GetEmptyText(head);
}

QString CDBTeacher::GetFormat(const CHead* head) const
{
    if (head && head->m_nOffset == T_OFFSET(m_dtBirthday) && m_bBirthApprox)
        return QStringLiteral("%Y年%#m月");
    return CXItem::GetFormat(head);
}

QString CDBTeacher::GetPrefix(const CHead* head) const
{
    if (head && head->m_pfnGet && head->m_strName == QStringLiteral("年龄"))
        return m_bBirthApprox ? QStringLiteral("≈") : QString();
    return CXItem::GetPrefix(head);
}

QString CDBTeacher::GetDeleteError(const CXItem* user) const
{
    QStringList names;
    if (m_oper.m_end.Day() != 0)
        names << QStringLiteral("操作记录");
    if (m_nSchAll > 0)
        names << QStringLiteral("课程表");
    // any class-record line, not only consumed ones: leave, absence or pending lines would be
    // orphaned as well
    if (m_nRcdTimes > 0)
        names << QStringLiteral("课堂记录");
    if (!names.isEmpty())
        return FormatString(u"已有关联的%s。", names.join(QStringLiteral("、")));
    return CXItem::GetDeleteError(user);
}

void CDBTeacher::MakeNewCopy()
{
    PrepareNewCopy(*this);
    m_strPassword.clear();
    m_nRptCount = 0;
    m_nWxBinds = 0;
    m_oper = CXDateRange();
    m_dtSchBgn = m_dtSchEnd = m_dtRcdMin = m_dtRcdMax = XDateTime(0.0);
    m_nSchAll = m_nSchCur = m_nSchRcd = 0;
    m_nRcdTimes = m_nRcdUncert = m_nRcdCountIn = m_nRcdLeave = m_nRcdMormal = m_nRcdLate = m_nRcdAbsent = m_nRcdCancel =
        0;
    m_courses.RemoveAll();
    for (CXItem* pay : m_pays)
        pay->m_nID = 0;
}
