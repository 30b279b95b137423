#include "RecordDbFixture.h"

#include "BinaryColumns.h"
#include "CHttpSession.h"
#include "CMD5.h"
#include "CXImage.h"
#include "Settings.h"
#include "WebLogins.h"
#include "XThread.h"

namespace {

class WebLogins : public RecordDb
{
protected:
    void TearDown() override
    {
        std::lock_guard lock(xInternet::SessionLock());
        xInternet::SessionMap().clear();
        xInternet::WebStopEvent().Reset();
        RecordDb::TearDown();
    }
    static CXItem* Identity(int mdu, int id)
    {
        auto* item = new CXItem;
        item->m_nMduID = mdu;
        item->m_nID = id;
        return item;
    }
    static void Login(const char* session, int userMdu, int user, double time, int ended = 0)
    {
        ASSERT_TRUE(
            Exec(QStringLiteral("INSERT INTO TB_OPERLOG (TypeID,UserSession,UserMduID,UserID,OperTime,SessionEnd) "
                                "VALUES (0,'%1',%2,%3,%4,%5)")
                     .arg(QString::fromLatin1(session))
                     .arg(userMdu)
                     .arg(user)
                     .arg(time)
                     .arg(ended)));
    }
    static QString Identities(const char* session)
    {
        auto& map = xInternet::SessionMap();
        auto it = map.find(QString::fromLatin1(session));
        if (it == map.end())
            return QStringLiteral("<none>");
        QStringList parts;
        for (const CXItem* item : it->second->Identities())
            parts.append(QStringLiteral("%1:%2%3")
                             .arg(item->m_nMduID)
                             .arg(item->m_nID)
                             .arg(item == it->second->GetCurrent() ? "*" : ""));
        return parts.join(u',');
    }
};

TEST_F(WebLogins, ResetEndsEveryLoginOfTheUserAndIsLogged)
{
    ASSERT_TRUE(
        Exec(QStringLiteral("INSERT INTO TB_TEACHER (ID,RealName,UserPassword) VALUES (5,'李明','%1'),(6,'张华','')")
                 .arg(Md5HexW(QStringLiteral("old")))));
    Login("s1", MDU_TEACHER, 5, 45000);
    Login("s2", MDU_TEACHER, 5, 45001);
    Login("s3", MDU_TEACHER, 6, 45002);
    {
        std::lock_guard lock(xInternet::SessionLock());
        auto& map = xInternet::SessionMap();
        map.emplace(QStringLiteral("s1"), std::make_unique<CHttpSession>(Identity(MDU_TEACHER, 5)));
        map[QStringLiteral("s1")]->AddIdentity(Identity(MDU_STUDENT, 5));
        map.emplace(QStringLiteral("s3"), std::make_unique<CHttpSession>(Identity(MDU_TEACHER, 6)));
    }
    CTestTeacher teacher;
    teacher.m_nID = 5;
    teacher.m_strName = QStringLiteral("李明");
    ASSERT_TRUE(SavePassword(teacher, m_user));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT UserPassword FROM TB_TEACHER WHERE ID=5")), QString());
    EXPECT_EQ(QueryText(QStringLiteral("SELECT GROUP_CONCAT(UserSession||SessionEnd) FROM TB_OPERLOG WHERE TypeID=0")),
              QStringLiteral("s11,s21,s30"));
    EXPECT_EQ(Identities("s1"), QStringLiteral("321:5*"));
    EXPECT_EQ(Identities("s3"), QStringLiteral("322:6*"));
    EXPECT_EQ(QueryText(QStringLiteral(
                  "SELECT UserID||'|'||MduID||'|'||ItemID||'|'||OperMemo FROM TB_OPERLOG WHERE TypeID=6")),
              QStringLiteral("7|322|5|重置密码"));

    ASSERT_TRUE(teacher.SetPassword(Md5HexW(QStringLiteral("new"))));
    ASSERT_TRUE(SavePassword(teacher, m_user));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT UserPassword FROM TB_TEACHER WHERE ID=5")),
              Md5HexW(QStringLiteral("new")));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT OperMemo FROM TB_OPERLOG WHERE TypeID=6 ORDER BY ID DESC")),
              QStringLiteral("修改密码"));

    // nothing but a digest reaches the table
    teacher.m_strPassword = QStringLiteral("x' WHERE 1=1 --");
    EXPECT_FALSE(SavePassword(teacher, m_user));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT UserPassword FROM TB_TEACHER WHERE ID=6")), QString());
    EXPECT_EQ(m_errors.reports.size(), 1u);
}

TEST_F(WebLogins, AUserChangingTheirOwnPasswordOnThePhone)
{
    // the identity of the session is both the user and the operator, and the logout that
    // follows the change deletes it
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEACHER (ID,RealName,UserPassword) VALUES (7,'王老师','')")));
    CXItem* identity = Identity(MDU_TEACHER, 7);
    identity->m_strName = QStringLiteral("王老师");
    {
        std::lock_guard lock(xInternet::SessionLock());
        xInternet::SessionMap().emplace(QStringLiteral("s7"), std::make_unique<CHttpSession>(identity));
    }
    ASSERT_TRUE(identity->SetPassword(Md5HexW(QStringLiteral("mine"))));
    ASSERT_TRUE(SavePassword(*identity, *identity));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT UserPassword FROM TB_TEACHER WHERE ID=7")),
              Md5HexW(QStringLiteral("mine")));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT UserID||'|'||ItemID||'|'||OperMemo FROM TB_OPERLOG WHERE TypeID=6")),
              QStringLiteral("7|7|修改密码"));
}

// The built-in administrator is the teacher module's record 0, whatever it is called; a
// teacher or student named "Admin" in any case keeps their password in their own row and
// cannot overwrite the administrator's.
TEST_F(WebLogins, OnlyTheBuiltInAdministratorGoesToTheSettings)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEACHER (ID,RealName) VALUES (5,'aDMin')")));
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_STUDENT (ID,RealName) VALUES (6,'Admin')")));
    const auto adminPassword = [] {
        return ReadSetting(QStringLiteral("Global"), QStringLiteral("AdminMD5Pwd"), QString());
    };
    CTestTeacher namesake;
    namesake.m_nID = 5;
    namesake.m_strName = QStringLiteral("aDMin");
    ASSERT_TRUE(namesake.SetPassword(Md5HexW(QStringLiteral("teacher"))));
    ASSERT_TRUE(SavePassword(namesake, m_user));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT UserPassword FROM TB_TEACHER WHERE ID=5")),
              Md5HexW(QStringLiteral("teacher")));
    EXPECT_EQ(adminPassword(), QString());

    CTestStudent student;
    student.m_nID = 6;
    student.m_strName = QStringLiteral("Admin");
    ASSERT_TRUE(student.SetPassword(Md5HexW(QStringLiteral("student"))));
    ASSERT_TRUE(SavePassword(student, m_user));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT UserPassword FROM TB_STUDENT WHERE ID=6")),
              Md5HexW(QStringLiteral("student")));
    EXPECT_EQ(adminPassword(), QString());

    CXItem admin;
    admin.m_nMduID = MDU_TEACHER;
    admin.m_nID = 0;
    admin.m_strName = QStringLiteral("管理员"); // the name does not decide
    ASSERT_TRUE(admin.SetPassword(Md5HexW(QStringLiteral("secret"))));
    ASSERT_TRUE(SavePassword(admin, m_user));
    EXPECT_EQ(adminPassword(), Md5HexW(QStringLiteral("secret")));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT UserPassword FROM TB_TEACHER WHERE ID=5")),
              Md5HexW(QStringLiteral("teacher")));
    EXPECT_EQ(QueryText(QStringLiteral("SELECT UserPassword FROM TB_STUDENT WHERE ID=6")),
              Md5HexW(QStringLiteral("student")));
}

TEST_F(WebLogins, LogoutEverywhereWithAnOperatorIsLogged)
{
    Login("s1", MDU_STUDENT, 9, 45000);
    ASSERT_TRUE(LogoutUserEverywhere(MDU_STUDENT, 9, &m_user));
    EXPECT_EQ(Count(QStringLiteral("SELECT SessionEnd FROM TB_OPERLOG WHERE TypeID=0")), 1);
    EXPECT_EQ(QueryText(QStringLiteral("SELECT OperMemo FROM TB_OPERLOG WHERE TypeID=6")),
              QStringLiteral("注销用户的所有登录"));
}

TEST_F(WebLogins, ReloadBuildsOneIdentityPerUserNewestCurrent)
{
    ASSERT_TRUE(Exec(
        QStringLiteral(
            "INSERT INTO TB_TEACHER (ID,RealName,RightRole,RightData,UserPassword) VALUES (5,'李明',1,'<r/>','%1');"
            "INSERT INTO TB_STUDENT (ID,RealName) VALUES (9,'小红');")
            .arg(Md5HexW(QStringLiteral("pw")))));
    Login("s1", MDU_TEACHER, 5, 45000);
    Login("s1", MDU_TEACHER, 5, 45001);
    Login("s1", MDU_STUDENT, 9, 45002); // the newest
    Login("s2", MDU_TEACHER, 0, 45003);
    Login("s4", MDU_TEACHER, 5, 45004, 1); // ended
    Login("", MDU_TEACHER, 5, 45005);      // a desktop login
    OnWorker([] { LoadHttpSessions(); });
    EXPECT_EQ(Identities("s1"), QStringLiteral("321:9*,322:5"));
    EXPECT_EQ(Identities("s4"), QStringLiteral("<none>"));
    std::lock_guard lock(xInternet::SessionLock());
    auto& map = xInternet::SessionMap();
    EXPECT_EQ(map.size(), 2u);
    const CXItem* admin = map[QStringLiteral("s2")]->GetCurrent();
    EXPECT_EQ(admin->m_strName, QStringLiteral("Admin"));
    EXPECT_EQ(admin->m_nRightRole, 2);
    const CXItem* teacher = map[QStringLiteral("s1")]->Identities().GetAt(1);
    EXPECT_EQ(teacher->m_strName, QStringLiteral("李明"));
    EXPECT_EQ(teacher->m_nRightRole, 1);
    EXPECT_EQ(teacher->m_strRightData, QStringLiteral("<r/>"));
    EXPECT_EQ(teacher->m_strPassword, Md5HexW(QStringLiteral("pw")));
    EXPECT_EQ(teacher->m_strSession, QStringLiteral("s1"));
    EXPECT_DOUBLE_EQ(teacher->m_dtDate.Day(), 45001);
}

TEST_F(WebLogins, StopEventEndsTheReload)
{
    Login("s2", MDU_TEACHER, 0, 45003);
    xInternet::WebStopEvent().Set();
    OnWorker([] { LoadHttpSessions(); });
    std::lock_guard lock(xInternet::SessionLock());
    EXPECT_TRUE(xInternet::SessionMap().empty());
}

using Photos = RecordDb;

QImage Picture(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(Qt::white);
    for (int y = 0; y < h; ++y)
        image.setPixelColor(y % w, y, Qt::blue);
    return image;
}

TEST_F(Photos, LogoIsShrunkStoredAndLoadedBack)
{
    CXImage logo;
    logo.SetImage(Picture(400, 300));
    const int id = SaveToDB(logo, 0, 0, true, 100);
    ASSERT_GT(id, 0);
    EXPECT_EQ(logo.m_nPhotoID, id);
    QByteArray stored;
    ReadBinaryColumn(QStringLiteral("TB_PHOTO"), QStringLiteral("Photo"), id, stored);
    EXPECT_TRUE(stored.startsWith("\x89PNG")); // transparent white: 32 bits, PNG

    CXImage loaded;
    loaded.m_nPhotoID = id;
    LoadFromDB(loaded, 0);
    EXPECT_EQ(loaded.GetWidth(), 133);
    EXPECT_EQ(loaded.GetHeight(), 100);
    EXPECT_EQ(loaded.GetBPP(), 32);

    CXImage photo;
    photo.SetImage(Picture(40, 30));
    const int photoId = SaveToDB(photo, MDU_STUDENT, 5, false, 0);
    EXPECT_EQ(
        QueryText(QStringLiteral("SELECT MduID||'|'||PersonID||'|'||hex(substr(Photo,1,2)) FROM TB_PHOTO WHERE ID=%1")
                      .arg(photoId)),
        QStringLiteral("321|5|FFD8")); // JPEG

    CXImage none;
    LoadFromDB(none, 0);
    EXPECT_TRUE(none.IsNull());
    EXPECT_TRUE(m_errors.reports.empty());
}

TEST_F(Photos, WithoutALimitPhotosShrinkToTheSizePreference)
{
    QImage noise(300, 300, QImage::Format_RGB888);
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            noise.setPixel(x, y, qRgb((x * 37 + y * 11) % 256, (x * y) % 256, (x ^ y) % 256));
    auto& app = CFakeAppServices::Installed();
    app.setup[QStringLiteral("ImgSizeMax")] = 4;
    CXImage photo;
    photo.SetImage(noise);
    const int id = SaveToDB(photo, MDU_STUDENT, 5, false, 0);
    app.setup.clear();
    ASSERT_GT(id, 0);
    EXPECT_LT(photo.GetWidth(), 300);
    QByteArray stored;
    ReadBinaryColumn(QStringLiteral("TB_PHOTO"), QStringLiteral("Photo"), id, stored);
    EXPECT_EQ(stored.size(), photo.GetBytes());
}

TEST_F(Photos, UnusedLogosGoPhotosStay)
{
    ASSERT_TRUE(
        Exec(QStringLiteral("INSERT INTO TB_PHOTO (ID,MduID,PersonID) VALUES (1,0,0),(2,0,0),(3,0,0),(4,321,5)")));
    auto& app = CFakeAppServices::Installed();
    app.setup[QStringLiteral("StdLogoID")] = 2;
    DeleteUnusedLogos();
    EXPECT_EQ(QueryText(QStringLiteral("SELECT GROUP_CONCAT(ID) FROM TB_PHOTO")), QStringLiteral("2,4"));
    app.setup.clear();
    DeleteUnusedLogos();
    EXPECT_EQ(QueryText(QStringLiteral("SELECT GROUP_CONCAT(ID) FROM TB_PHOTO")), QStringLiteral("4"));
}

TEST_F(Photos, BinaryColumnsByRow)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_PHOTO (ID) VALUES (1)")));
    const QByteArray bytes("a\0b", 3);
    EXPECT_TRUE(WriteBinaryColumn(nullptr, QStringLiteral("TB_PHOTO"), QStringLiteral("Photo"), 1, bytes));
    QByteArray read("untouched");
    ReadBinaryColumn(QStringLiteral("TB_PHOTO"), QStringLiteral("Photo"), 0, read);
    EXPECT_EQ(read, QByteArray("untouched"));
    ReadBinaryColumn(QStringLiteral("TB_PHOTO"), QStringLiteral("Photo"), 1, read);
    EXPECT_EQ(read, bytes);
    ReadBinaryColumn(QStringLiteral("TB_NONE"), QStringLiteral("Photo"), 1, read);
    EXPECT_TRUE(read.isEmpty());
    EXPECT_TRUE(m_errors.reports.empty());

    EXPECT_FALSE(WriteBinaryColumn(nullptr, QStringLiteral("TB_PHOTO"), QStringLiteral("Photo"), 2, bytes));
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].task, QStringLiteral("保存二进制数据"));
}

} // namespace
