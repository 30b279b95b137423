#include "TestControlDialog.h"

#include "CXDBSession.h"
#include "CommandIds.h"
#include "OpenDatabase.h"
#include "XWinStyles.h"

#include <QtGui/QImage>

#include <gtest/gtest.h>

CHeads* CTestPhoto::StaticHeads()
{
    return BuildHeadsOnce<CTestPhoto>([](CHeads& h) {
        h.m_strItemType = QStringLiteral("照片");
        h.m_strItemUnit = QStringLiteral("张");
        h.m_strTable = QStringLiteral("TB_PHOTO");
        h.AddMemberHead({}, QStringLiteral("日期"), XDT, XOFFSET(CTestPhoto, m_dtDate), QStringLiteral("%Y-%m-%d"),
                        QString(), 0, 0, 0, QString());
    });
}

CHeads* CTestPerson::StaticHeads()
{
    return BuildHeadsOnce<CTestPerson>([](CHeads& h) {
        h.m_strItemType = QStringLiteral("学员");
        h.m_strItemUnit = QStringLiteral("个");
        h.m_strTable = QStringLiteral("TB_STUDENT");
        // duplicate check 1: a warning indicator
        h.AddColumnHead({}, QStringLiteral("姓名"), 8 | 0x40, QStringLiteral("RealName"), XSW,
                        XOFFSET(CTestPerson, m_strName), QString(), QString(), 0, 521, 0, QString());
        h.AddColumnHead({}, QStringLiteral("城市"), 8, QStringLiteral("City"), XSW, XOFFSET(CTestPerson, m_strCity),
                        QString(), QString(), 0, 521, 0, QString());
        h.AddHead({}, QStringLiteral("生日"), 8, QStringLiteral("Birthday"), XDT, XOFFSET(CTestPerson, m_dtBirth), 0, 0,
                  0, QStringLiteral("%Y年%#m月%#d日"), QStringLiteral("未知"), 0, 521, 0, QString());
        h.AddHead({}, QStringLiteral("上课日"), 8, QStringLiteral("LessonDay"), XDT, XOFFSET(CTestPerson, m_dtLesson),
                  0, 0, 0, QStringLiteral("%Y年%#m月%#d日%A"), QStringLiteral("未定"), 0, 521, 0, QString());
        h.AddHead({}, QStringLiteral("时间"), 8, QStringLiteral("TimeSpan"), XTS, XOFFSET(CTestPerson, m_span), 0, 0, 0,
                  QString(), QStringLiteral("全天"), 0, 521, 0, QString());
        h.AddColumnHead({}, QStringLiteral("照片"), 8, QString(), XAR, XOFFSET(CTestPerson, m_photos), QString(),
                        QString(), 0, 521, 0, QString());
        h.AddMemberHead({}, QStringLiteral("标志"), XIM, XOFFSET(CTestPerson, m_logo), QString(), QString(), 0, 0, 0,
                        QString());
    });
}

namespace {
const XDlgTemplate& PersonTemplate()
{
    using K = XCtrlKind;
    static const XDlgTemplate t{9100,
                                QStringLiteral("学员信息"),
                                0,
                                {{-1, K::Static, QStringLiteral("姓名："), 0, 0, 0},
                                 {IDC_P_NAME, K::Edit, QString(), WS_TABSTOP, 0, 1},
                                 {-1, K::Static, QStringLiteral("城市："), 0, 1, 0},
                                 {IDC_P_CITY, K::Combo, QString(), unsigned(CBS_DROPDOWN) | WS_TABSTOP, 1, 1},
                                 {-1, K::Static, QStringLiteral("生日："), 0, 2, 0},
                                 {IDC_BIRTHDAY, K::Custom, QString(), WS_TABSTOP, 2, 1},
                                 {-1, K::Static, QStringLiteral("上课日："), 0, 3, 0},
                                 {IDC_P_LESSON, K::Date, QString(), WS_TABSTOP | unsigned(DTS_SHOWNONE), 3, 1},
                                 {-1, K::Static, QStringLiteral("时间："), 0, 4, 0},
                                 {IDC_TIMESPAN, K::Custom, QString(), WS_TABSTOP, 4, 1},
                                 {IDC_IMAGES, K::Custom, QString(), 0, 5, 0, 2},
                                 {IDC_P_LOGO, K::Custom, QString(), 0, 6, 0, 2},
                                 {IDOK, K::Button, QStringLiteral("确定"), WS_GROUP, -1},
                                 {IDCANCEL, K::Button, QStringLiteral("取消"), 0, -1}},
                                QSize()};
    return t;
}
} // namespace

CDlgTestPerson::CDlgTestPerson(CTestPerson* person, QWidget* parent)
    : CXDialogEx(false, &PersonTemplate(), parent), m_pPerson(person)
{}

void CDlgTestPerson::DoDataExchange(XDataExchange& dx)
{
    BindText(dx, IDC_P_NAME, m_pPerson, &m_pPerson->m_strName, ID_EDIT_MERGE);
    BindText(dx, IDC_P_CITY, m_pPerson, &m_pPerson->m_strCity);
    BindBirthday(dx, 0, m_pPerson, &m_pPerson->m_dtBirth, &m_pPerson->m_nBirthEstimated);
    BindDate(dx, IDC_P_LESSON, m_pPerson, &m_pPerson->m_dtLesson, weekdayMode);
    BindTimeSpan(dx, 0, m_pPerson, &m_pPerson->m_span);
    BindImages(dx, 0, m_pPerson, &m_pPerson->m_photos);
    BindImage(dx, IDC_P_LOGO, m_pPerson, &m_pPerson->m_logo);
}

TempControlDb::TempControlDb()
{
    CXDBSession::CloseShared();
    EXPECT_TRUE(CreateDatabase(GetConnectionString()));
    EXPECT_TRUE(Exec(QStringLiteral("ALTER TABLE TB_STUDENT ADD COLUMN City TEXT")));
}

TempControlDb::~TempControlDb() { CXDBSession::CloseShared(); }

bool TempControlDb::Exec(const QString& sql)
{
    CXDBSession session;
    session.Connect();
    return session.IsConnected() && session.ExecuteSql(sql);
}

QString WriteTestPng(const QString& dir, const QString& name, QColor colour, QSize size)
{
    QImage img(size, QImage::Format_RGB888);
    img.fill(colour);
    const QString path = dir + u'/' + name;
    img.save(path, "PNG");
    return path;
}
