#include "TestDialogRecord.h"

#include "XWinStyles.h"

CHeads* CTestPupil::StaticHeads()
{
    return BuildHeadsOnce<CTestPupil>([](CHeads& h) {
        h.m_strItemType = QStringLiteral("学员");
        h.m_strTable = QStringLiteral("TB_STUDENT");
        h.AddTextHead({}, QStringLiteral("姓名"), 8, QStringLiteral("RecordName"), XSW, XOFFSET(CTestPupil, m_strName),
                      QString(), QString(), QStringLiteral("学员的姓名"));
        h.AddHead({}, QStringLiteral("性别"), 8, QStringLiteral("Sex"), XIN, XOFFSET(CTestPupil, m_nSex), 0, 0, 0,
                  QStringLiteral("男|女|未知"), QString(), 0, 521, 0, QString());
        h.AddHead({}, QStringLiteral("课时"), 8, QStringLiteral("Lessons"), XIN, XOFFSET(CTestPupil, m_nLessons), 1, 1,
                  100, QStringLiteral("%d 次"), QString(), 0, 521, 0, QString());
        h.AddColumnHead({}, QStringLiteral("学费"), 8, QStringLiteral("Fee"), XNU, XOFFSET(CTestPupil, m_fFee),
                        QString(), QString(), 0, 521, 0, QString());
        h.AddHead({}, QStringLiteral("备注"), 8, QStringLiteral("HasNote"), XIN, XOFFSET(CTestPupil, m_bHasNote), 0, 0,
                  0, QString(), QString(), 0, 521, 0, QString());
        h.AddHead({}, QStringLiteral("紧急"), 8, QStringLiteral("Urgent"), XIN, XOFFSET(CTestPupil, m_bUrgent), 0, 0, 0,
                  QString(), QString(), 0, 521, 0, QString());
        h.AddTextHead({}, QStringLiteral("备注内容"), 8, QStringLiteral("Note"), XSW, XOFFSET(CTestPupil, m_strNote),
                      QString(), QString(), QString());
        h.AddTextHead({}, QStringLiteral("说明"), 8, QStringLiteral("Remark"), XSW, XOFFSET(CTestPupil, m_strRemark),
                      QString(), QString(), QString());
        h.AddHead({}, QStringLiteral("级别"), 8, QStringLiteral("Level"), XIN, XOFFSET(CTestPupil, m_nLevel), 0, 0, 0,
                  QStringLiteral("初级|中级|高级"), QString(), 0, 521, 0, QString());
        h.AddHead({}, QStringLiteral("上课方式"), 8, QStringLiteral("Mode"), XIN, XOFFSET(CTestPupil, m_nMode), 0, 0, 0,
                  QStringLiteral("在校|上门"), QString(), 0, 521, 0, QString());
        h.AddTextHead({}, QStringLiteral("地址"), 8, QStringLiteral("Address"), XSW, XOFFSET(CTestPupil, m_strAddress),
                      QString(), QString(), QString());
        h.AddHead({}, QStringLiteral("折扣"), 8, QStringLiteral("Rate"), XIN, XOFFSET(CTestPupil, m_nRate), 100, 0, 100,
                  QStringLiteral("%d%"), QString(), 0, 521, 0, QString());
    });
}

int CTestPupil::GetAccess(const CHead* head, const CXItem* user) const
{
    const auto it = access.find(head->m_nOffset);
    return it != access.end() ? it->second : CXItem::GetAccess(head, user);
}

void CTestPupil::GetOptions(const CHead* head, QStringList& texts, QList<int>& values) const
{
    const auto it = options.find(head->m_nOffset);
    if (it == options.end()) {
        CXItem::GetOptions(head, texts, values);
        return;
    }
    texts = it->second;
    values.clear();
    for (int i = 0; i < texts.size(); ++i)
        values.append(i);
}

int CTestPupil::Validate(const CXItem* user, bool bCheckDuplicates)
{
    ++validations;
    m_status.clear();
    for (const CXStatus& s : script)
        m_status.append(s);
    return CXItem::Validate(user, bCheckDuplicates);
}

const XDlgTemplate& PupilTemplate(unsigned extraStyle)
{
    static std::map<unsigned, XDlgTemplate> made;
    auto it = made.find(extraStyle);
    if (it != made.end())
        return it->second;
    using K = XCtrlKind;
    XDlgTemplate t;
    t.id = 9001;
    t.caption = QStringLiteral("学员信息");
    t.style = extraStyle;
    t.ctrls = {
        {IDC_NAME_LABEL, K::Static, QStringLiteral("学员姓名："), WS_GROUP, 0, 0},
        {IDC_NAME, K::Edit, QString(), 0, 0, 1, 3},
        {-1, K::Static, QStringLiteral("性别："), WS_GROUP, 1, 0},
        {IDC_SEX_MALE, K::Radio, QStringLiteral("男性"), WS_GROUP, 1, 1},
        {IDC_SEX_FEMALE, K::Radio, QStringLiteral("女性"), 0, 1, 2},
        {IDC_SEX_OTHER, K::Radio, QStringLiteral("未知"), 0, 1, 3},
        {IDC_LESSONS_LABEL, K::Static, QStringLiteral("课时："), WS_GROUP, 2, 0},
        {IDC_TEST_LESSONS, K::Edit, QString(), 0, 2, 1},
        {-1, K::Static, QStringLiteral("学费："), WS_GROUP, 2, 2},
        {IDC_FEE, K::Edit, QString(), 0, 2, 3},
        {IDC_HASNOTE, K::Check, QStringLiteral("备注"), WS_GROUP, 3, 0},
        {IDC_URGENT, K::Check, QStringLiteral("紧急"), 0, 3, 1},
        {IDC_NOTE, K::Edit, QString(), 0, 3, 2, 2},
        {-1, K::Static, QStringLiteral("说明："), WS_GROUP, 4, 0},
        {IDC_REMARK, K::Edit, QString(), ES_MULTILINE | ES_WANTRETURN, 4, 1, 3},
        {-1, K::Static, QStringLiteral("级别："), WS_GROUP, 5, 0},
        {IDC_LEVEL, K::Combo, QString(), CBS_DROPDOWNLIST, 5, 1},
        {-1, K::Static, QStringLiteral("折扣："), WS_GROUP, 5, 2},
        {IDC_RATE, K::Edit, QString(), 0, 5, 3},
        {IDC_MODE_SCHOOL, K::Radio, QStringLiteral("在校"), WS_GROUP, 6, 0},
        {IDC_MODE_HOME, K::Radio, QStringLiteral("上门"), 0, 6, 1},
        {IDC_ADDRESS, K::Edit, QString(), 0, 6, 2, 2},
        {IDC_BROWSE, K::Button, QStringLiteral("浏览(&B)..."), WS_GROUP, 7, 3},
        {IDC_TIP, K::Static, QStringLiteral("[t]带 * 的项目必须填写。"), WS_GROUP, 8, 0, 4},
        {IDOK, K::Button, QStringLiteral("确定"), WS_GROUP, -1},
        {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1},
    };
    return made.emplace(extraStyle, std::move(t)).first->second;
}

X_BEGIN_MESSAGE_MAP(CDlgTestPupil, CXDialogEx)
    X_ON_COMMAND(IDC_BROWSE, OnBrowse)
    X_ON_UPDATE_COMMAND_UI(IDC_BROWSE, OnUpdateBrowse)
X_END_MESSAGE_MAP()

CDlgTestPupil::CDlgTestPupil(CTestPupil* pupil, bool addNew, const XDlgTemplate* templ, QWidget* parent)
    : CXDialogEx(addNew, templ ? templ : &PupilTemplate(), parent), m_pPupil(pupil)
{}

void CDlgTestPupil::DoDataExchange(XDataExchange& dx)
{
    CTestPupil* p = m_pPupil;
    BindText(dx, IDC_NAME, p, &p->m_strName);
    BindChoice(dx, IDC_SEX_MALE, p, &p->m_nSex);
    BindInt(dx, IDC_TEST_LESSONS, p, &p->m_nLessons);
    BindDouble(dx, IDC_FEE, p, &p->m_fFee);
    BindChoice(dx, IDC_HASNOTE, p, &p->m_bHasNote);
    BindChoice(dx, IDC_URGENT, p, &p->m_bUrgent);
    BindText(dx, IDC_NOTE, p, &p->m_strNote);
    BindText(dx, IDC_REMARK, p, &p->m_strRemark);
    BindChoice(dx, IDC_LEVEL, p, &p->m_nLevel);
    BindInt(dx, IDC_RATE, p, bindUnlisted ? &p->m_nUnlisted : &p->m_nRate);
    BindChoice(dx, IDC_MODE_SCHOOL, p, &p->m_nMode);
    BindText(dx, IDC_ADDRESS, p, &p->m_strAddress);
    if (bindTwice)
        BindText(dx, IDC_NAME, p, &p->m_strAddress);
}
