// The resource routes through the route dispatch: static files with the www folder and its
// confinement, images, the captcha, template bodies and photo uploads with their rights.
#include "BinaryColumns.h"
#include "CFakeAppServices.h"
#include "CHead.h"
#include "CHttpRequest.h"
#include "ServeOnSocketPair.h"
#include "CHttpSession.h"
#include "CModule.h"
#include "CXImage.h"
#include "DbTestSupport.h"
#include "CommandIds.h"
#include "RecordConsts.h"
#include "Resources.h"
#include "TestRecordClasses.h"
#include "WebResources.h"
#include "WebService.h"

#include <QtCore/QBuffer>
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtGui/QImageReader>

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

using namespace xInternet;

namespace {

// The print templates as the web routes see them: a table and its body column.
class CWebTempl : public CXItemT<MDU_TEMPL>
{
public:
    static CHeads* StaticHeads()
    {
        return BuildHeadsOnce<CWebTempl>([](CHeads& h) {
            h.m_strTable = QStringLiteral("TB_TEMPL");
            h.AddColumnHead({}, QStringLiteral("名称"), 8, QStringLiteral("RecordName"), XSW,
                            XOFFSET(CWebTempl, m_strName), QString(), QString(), 0, 0, 15, QString());
            h.AddColumnHead({}, QStringLiteral("模板"), 8, QStringLiteral("Templ"), XSA, XOFFSET(CWebTempl, m_templ),
                            QString(), QString(), 0, 0, 0, QString());
        });
    }
    CHeads* GetHeads() const override { return StaticHeads(); }
    QByteArray m_templ;
};

struct XAnswer
{
    int status = 0;
    QByteArray head;
    QByteArray body;
    bool Has(const QByteArray& line) const { return head.contains("\r\n" + line + "\r\n"); }
};

const QString kSession = QStringLiteral("0123456789abcdef0123456789abcdef");

// Who a request comes from: a logged-in identity.
struct XUser
{
    int mduId = 0;
    int id = 0;
    int role = 0;
};

class ResourceRoutes : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_www = m_db.Home() + QStringLiteral("/www");
        for (CModule* m : {static_cast<CModule*>(&m_templ), static_cast<CModule*>(&m_students)}) {
            m->m_nCaps = 0xFF;
            RegisterModule(m);
        }
        CFakeAppServices::Installed().Clear();
        std::lock_guard lock(SessionLock());
        SessionMap().emplace(kSession, std::make_unique<CHttpSession>());
    }
    void TearDown() override
    {
        UnregisterModule(&m_templ);
        UnregisterModule(&m_students);
        WebCommandIcons() = nullptr;
        CFakeAppServices::Installed().Clear();
        std::lock_guard lock(SessionLock());
        SessionMap().clear();
    }

    static void Write(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    // Runs one request through the dispatch and returns what was sent.
    XAnswer Run(const QString& path, const QMap<QString, QString>& params = {}, const XUser* user = nullptr,
                const QByteArray& body = QByteArray(), const char* method = "GET", const char* origin = nullptr)
    {
        m_sent = ServeOnSocketPair([&](int socket) {
            CHttpRequest request(socket);
            request.m_strMethod = method;
            request.m_strPath = path;
            request.m_strHead = "GET / HTTP/1.1\r\nHost: 192.168.1.5:8080\r\n";
            if (origin)
                request.m_strHead += QByteArray("Origin: ") + origin + "\r\n";
            request.m_strHead += "\r\n";
            for (auto it = params.begin(); it != params.end(); ++it)
                request.m_params.insert(it.key(), it.value());
            request.m_body = body;
            if (user) {
                request.m_user.m_nMduID = user->mduId;
                request.m_user.m_nID = user->id;
                request.m_user.m_nRightRole = user->role;
                request.m_user.m_strName = QStringLiteral("用户%1").arg(user->id);
            }
            request.m_user.m_strSession = kSession;
            DispatchRequest(request);
        });
        XAnswer answer;
        const qsizetype split = m_sent.indexOf("\r\n\r\n");
        answer.head = m_sent.left(split + 2);
        answer.body = m_sent.mid(split + 4);
        answer.status = m_sent.mid(9, 3).toInt();
        return answer;
    }
    static QImage Decode(const QByteArray& bytes)
    {
        QImage image;
        image.loadFromData(bytes);
        return image;
    }
    // A user of that module and ID, logged in, with that role.
    static XUser User(int mduId, int id, int role = 0) { return XUser{mduId, id, role}; }

    TempDatabase m_db;
    QString m_www;
    CModuleT<CWebTempl> m_templ;
    CModuleT<CTestStudent> m_students;
    QByteArray m_sent;
    ErrorCapture m_errors;
};

TEST_F(ResourceRoutes, StaticFilesFromTheWwwFolderThenTheBuiltInOnes)
{
    CFakeAppServices::Installed().setup[QStringLiteral("WxMPverify")] = QStringLiteral("Ab12");
    const QByteArray png("\x89PNG\r\n\x1a\n\0\0binary\0bytes", 22);
    Write(m_www + QStringLiteral("/pic.png"), png);
    Write(m_www + QStringLiteral("/sub/note.txt"), "note 'MDU_TEACHER' 'NOT_A_SYMBOL'");
    Write(m_db.Home() + QStringLiteral("/Lorvan.mdb"), "the database");
    const QString js = GetWebResource(QStringLiteral("global.js"));
    ASSERT_FALSE(js.isEmpty());

    const struct
    {
        QString path;
        int status;
        QByteArray type; // also the cache line below when the status is 200
        QByteArray cache;
        QByteArray body;
    } cases[] = {
        {QStringLiteral("global.js"), 200, "text/javascript; charset=utf-8", "private, max-age=600", js.toUtf8()},
        {QStringLiteral("Global.JS"), 200, "text/javascript; charset=utf-8", "private, max-age=600", js.toUtf8()},
        {QStringLiteral("style.css"), 200, "text/css; charset=utf-8", "private, max-age=600",
         GetWebResource(QStringLiteral("style.css")).toUtf8()},
        {QStringLiteral("pic.png"), 200, "image/png", "public, immutable, max-age=31536000", png},
        {QStringLiteral("sub\\note.txt"), 200, "text/plain; charset=utf-8", "private, max-age=600",
         "note 322 'NOT_A_SYMBOL'"},
        {QStringLiteral("MP_verify_Ab12.txt"), 200, "text/plain; charset=utf-8", "private, max-age=600", "Ab12"},
        {QStringLiteral("mp_VERIFY_ab12.TXT"), 200, "text/plain; charset=utf-8", "private, max-age=600", "Ab12"},
        {QStringLiteral("favicon.ico"), 404, "", "", ""},
        {QStringLiteral("nosuch.js"), 404, "", "", ""},
        // never out of the folder, however the path is written
        {QStringLiteral("..\\Lorvan.mdb"), 404, "", "", ""},
        {QStringLiteral("sub\\..\\..\\Lorvan.mdb"), 404, "", "", ""},
        {QStringLiteral("%2e%2e%5cLorvan.mdb"), 404, "", "", ""},
        {QStringLiteral("\\etc\\passwd"), 404, "", "", ""},
        {QStringLiteral("C:\\Lorvan.mdb"), 404, "", "", ""},
        {QStringLiteral("pic.png") + QChar(0) + QStringLiteral(".txt"), 404, "", "", ""},
        {QStringLiteral("..\\www\\global.js"), 404, "", "", ""},
    };
    for (const auto& c : cases) {
        const XAnswer a = Run(c.path);
        EXPECT_EQ(a.status, c.status) << c.path.toStdString();
        if (c.status != 200) {
            EXPECT_TRUE(a.body.isEmpty() && !a.head.contains("Content-Type")) << c.path.toStdString();
            continue;
        }
        EXPECT_TRUE(a.Has("Content-Type: " + c.type)) << c.path.toStdString() << a.head.constData();
        EXPECT_TRUE(a.Has("Cache-Control: " + c.cache)) << c.path.toStdString() << a.head.constData();
        EXPECT_EQ(a.body, c.body) << c.path.toStdString();
    }

    // a file larger than one piece arrives whole, typed by its extension
    QByteArray large(200 * 1024 + 7, '\0');
    for (qsizetype i = 0; i < large.size(); ++i)
        large[i] = static_cast<char>(i * 7 % 251);
    Write(m_www + QStringLiteral("/media/clip.mp3"), large);
    const XAnswer clip = Run(QStringLiteral("media\\clip.mp3"));
    EXPECT_TRUE(clip.Has("Content-Type: audio/mpeg"));
    EXPECT_TRUE(clip.Has("Content-length: " + QByteArray::number(large.size())));
    EXPECT_TRUE(clip.body == large);

    // a global.js in the www folder replaces the built-in one, its symbols replaced
    Write(m_www + QStringLiteral("/global.js"), "var m = 'MDU_STUDENT';");
    EXPECT_EQ(Run(QStringLiteral("global.js")).body, "var m = 321;");
    // an empty verification value answers the bare name with an empty body
    CFakeAppServices::Installed().setup[QStringLiteral("WxMPverify")] = QString();
    const XAnswer empty = Run(QStringLiteral("MP_verify_.txt"));
    EXPECT_EQ(empty.status, 200);
    EXPECT_TRUE(empty.body.isEmpty());
}

TEST_F(ResourceRoutes, ImagesByNameIdAndResource)
{
    auto img = [this](const char* id, const char* more = nullptr) {
        QMap<QString, QString> p{{QStringLiteral("id"), QString::fromLatin1(id)}};
        if (more)
            p.insert(QString::fromLatin1(more), QStringLiteral("1"));
        return Run(QStringLiteral("img"), p);
    };
    // named icons, in any case, small and large
    const XAnswer warn = img("warn");
    ASSERT_EQ(warn.status, 200);
    EXPECT_TRUE(warn.Has("Content-Type: image/png"));
    EXPECT_TRUE(warn.Has("Cache-Control: public, immutable, max-age=31536000"));
    EXPECT_EQ(Decode(warn.body).size(), QSize(16, 16));
    EXPECT_EQ(img("WARN").body, warn.body);
    EXPECT_EQ(Decode(img("warn", "big").body).size(), QSize(32, 32));
    EXPECT_NE(img("warn", "gray").body, warn.body);
    for (const char* name :
         {"del",     "stop",   "info",     "tip",      "help",   "wx",     "wxopen", "reset",  "query",    "prev",
          "next",    "print",  "add",      "new",      "back",   "front",  "up",     "dn",     "expdall",  "foldall",
          "show",    "hide",   "moveprev", "movenext", "all",    "clear",  "edit",   "logout", "left",     "right",
          "top",     "bottom", "home",     "sel",      "detail", "relate", "save",   "open",   "download", "bind",
          "checked", "mdfpwd", "modify",   "popup",    "more",   "setup"})
        EXPECT_EQ(img(name).status, 200) << name;
    EXPECT_EQ(img("nosuchicon").status, 404);

    // the stored images, sent as stored
    const struct
    {
        const char* name;
        int id;
        const char* type;
        const char* mime;
    } stored[] = {{"user", IDR_PNG_USER, RT_PNG, "image/png"},
                  {"smscode", IDR_PNG_SMSCODE, RT_PNG, "image/png"},
                  {"phone", IDR_PNG_PHONE, RT_PNG, "image/png"},
                  {"Password", IDR_PNG_PASSWORD, RT_PNG, "image/png"},
                  {"wait", IDR_GIF_WAIT, "GIF", "image/gif"}};
    for (const auto& s : stored) {
        const XAnswer a = img(s.name);
        EXPECT_EQ(a.status, 200) << s.name;
        EXPECT_TRUE(a.Has(QByteArray("Content-Type: ") + s.mime)) << s.name;
        EXPECT_EQ(a.body, LoadResourceFile(ResourcePath(s.id, s.type))) << s.name;
        EXPECT_FALSE(Decode(a.body).isNull()) << s.name;
    }
    QBuffer gif;
    gif.setData(img("wait").body);
    QImageReader spinner(&gif);
    EXPECT_GT(spinner.imageCount(), 1) << "the spinner turns";

    const XAnswer banner = Run(QStringLiteral("img"), {{QStringLiteral("resid"), QString::number(IDR_PNG_BANNER)}});
    EXPECT_EQ(banner.status, 200);
    EXPECT_EQ(banner.body, LoadResourceFile(ResourcePath(IDR_PNG_BANNER, RT_PNG)));
    EXPECT_EQ(Run(QStringLiteral("img"), {{QStringLiteral("resid"), QStringLiteral("9999")}}).status, 404);

    // a command id asks the program's icon map, with the tint and size asked for
    std::vector<std::tuple<int, QRgb, bool>> asked;
    WebCommandIcons() = [&asked](int id, QRgb tint, bool large) {
        asked.emplace_back(id, tint, large);
        if (id != 32791)
            return QImage();
        QImage red(large ? 32 : 16, large ? 32 : 16, QImage::Format_ARGB32);
        red.fill(qRgb(255, 0, 0));
        return red;
    };
    const XAnswer command = Run(QStringLiteral("img"), {{QStringLiteral("id"), QStringLiteral("32791")},
                                                        {QStringLiteral("gray"), QStringLiteral("1")},
                                                        {QStringLiteral("big"), QStringLiteral("1")}});
    ASSERT_EQ(command.status, 200);
    EXPECT_EQ(Decode(command.body).pixel(5, 5), qRgb(255, 0, 0));
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], std::make_tuple(32791, QRgb(0xFFFFFF), true));
    EXPECT_EQ(img("777").status, 404) << "a command without an icon";
    EXPECT_EQ(img("warn").status, 200) << "named icons the map lacks come from the web's own";
}

TEST_F(ResourceRoutes, PhotosAndLogosNeedTheirOwners)
{
    QImage face(40, 30, QImage::Format_RGB888);
    face.fill(qRgb(10, 120, 200));
    CXImage photo;
    photo.SetImage(face);
    const int id = SaveToDB(photo, MDU_STUDENT, 5, false, 0);
    ASSERT_GT(id, 0);
    const QMap<QString, QString> params{{QStringLiteral("dbid"), QString::number(id)}};

    EXPECT_EQ(Run(QStringLiteral("img"), params).status, 403) << "photos are not for anybody";
    const XUser teacher = User(MDU_TEACHER, 7);
    const XAnswer seen = Run(QStringLiteral("img"), params, &teacher);
    ASSERT_EQ(seen.status, 200);
    EXPECT_TRUE(seen.Has("Content-Type: image/jpeg"));
    EXPECT_TRUE(seen.Has("Cache-Control: private, max-age=600")) << "no shared cache keeps a person's photo";
    EXPECT_EQ(Decode(seen.body).size(), QSize(40, 30));
    EXPECT_EQ(Run(QStringLiteral("img"), {{QStringLiteral("dbid"), QStringLiteral("9999")}}, &teacher).status, 404);

    // the logo is the preferences' photo, for everybody (the login page shows it)
    CFakeAppServices::Installed().setup[QStringLiteral("StdLogoID")] = id;
    const XAnswer logo = Run(QStringLiteral("img"), {{QStringLiteral("id"), QStringLiteral("Logo")}});
    EXPECT_EQ(logo.status, 200);
    EXPECT_EQ(logo.body, seen.body);
    EXPECT_EQ(Run(QStringLiteral("img"), {{QStringLiteral("id"), QStringLiteral("biglogo")}}).status, 404)
        << "no big logo stored and none built in";
}

TEST_F(ResourceRoutes, CaptchaImagesRestartTheCode)
{
    {
        std::lock_guard lock(SessionLock());
        SessionMap().clear();
    }
    EXPECT_EQ(Run(QStringLiteral("artcode")).status, 404) << "no session, no code to draw";
    {
        std::lock_guard lock(SessionLock());
        SessionMap().emplace(kSession, std::make_unique<CHttpSession>());
    }
    const XAnswer first = Run(QStringLiteral("artcode"));
    ASSERT_EQ(first.status, 200);
    EXPECT_TRUE(first.Has("Content-Type: image/jpeg"));
    EXPECT_TRUE(first.Has("Cache-Control: no-cache"));
    EXPECT_EQ(Decode(first.body).size(), QSize(150, 50));

    CHttpRequest probe(-1);
    probe.m_user.m_strSession = kSession;
    const QString code = probe.MakeSessionCode(kArtCodeAlphabet, false);
    ASSERT_EQ(code.size(), 4);
    Run(QStringLiteral("artcode"));
    const QString second = probe.MakeSessionCode(kArtCodeAlphabet, false);
    ASSERT_EQ(second.size(), 4);
    if (second != code) // one chance in millions that the new code is the old one
        EXPECT_EQ(probe.CheckSessionCode(kArtCodeAlphabet, code), XCodeCheck::Wrong) << "the first code is gone";
}

TEST_F(ResourceRoutes, TemplateBodiesNeedTheRightAndARealRtf)
{
    ASSERT_TRUE(
        Exec(QStringLiteral("INSERT INTO TB_TEMPL (ID, RecordName, Templ) VALUES (3, '收据', X'7B5C7274663120787D')")));
    const QByteArray stored = "{\\rtf1 x}";
    const QByteArray rtf = "{\\rtf1\\ansi 新模板}";
    const QMap<QString, QString> three{{QStringLiteral("id"), QStringLiteral("3")}};
    const char* origin = "http://192.168.1.5:8080";

    XUser reader = User(MDU_TEACHER, 7);
    XUser writer = User(MDU_TEACHER, 8);
    const XUser admin = User(MDU_TEACHER, 0, 2);
    m_templ.m_nTeacherRights = RIGHT_QRY; // teachers may read templates
    const XAnswer read = Run(QStringLiteral("rtf"), three, &reader);
    ASSERT_EQ(read.status, 200);
    EXPECT_TRUE(read.Has("Content-Type: application/rtf"));
    EXPECT_TRUE(read.Has("Cache-Control: no-cache"));
    EXPECT_EQ(read.body, stored);

    const struct
    {
        const char* what;
        const XUser* user;
        QMap<QString, QString> params;
        QByteArray body;
        int status;
    } refused[] = {
        {"read anonymously", nullptr, three, QByteArray(), 400},
        {"read another module",
         &reader,
         {{QStringLiteral("id"), QStringLiteral("3")}, {QStringLiteral("mduid"), QStringLiteral("321")}},
         QByteArray(),
         400},
        {"read without id", &reader, {}, QByteArray(), 400},
        {"upload anonymously", nullptr, three, rtf, 400},
        {"upload with the query right only", &reader, three, rtf, 400},
        {"upload no body", &admin, three, QByteArray(), 400},
        {"upload what is no RTF", &admin, three, "<html>", 400},
        {"upload more than 4 MiB", &admin, three, "{\\rtf1 " + QByteArray(4 * 1024 * 1024, 'x') + "}", 413},
    };
    for (const auto& c : refused) {
        const bool upload = QByteArray(c.what).startsWith("upload");
        const XAnswer a = Run(upload ? QStringLiteral("uploadrtf") : QStringLiteral("rtf"), c.params, c.user, c.body,
                              upload ? "POST" : "GET", upload ? origin : nullptr);
        EXPECT_EQ(a.status, c.status) << c.what;
        EXPECT_TRUE(a.body.isEmpty()) << c.what;
    }
    EXPECT_EQ(QueryText(QStringLiteral("SELECT CAST(Templ AS TEXT) FROM TB_TEMPL WHERE ID=3")),
              QString::fromUtf8(stored));

    // with the modify right the body is replaced
    m_templ.m_nTeacherRights = RIGHT_QRY | RIGHT_MDF;
    const XAnswer saved = Run(QStringLiteral("uploadrtf"), three, &writer, rtf, "POST", origin);
    EXPECT_EQ(saved.status, 200);
    EXPECT_TRUE(saved.body.contains("errid=\"100\"")) << saved.body.constData();
    EXPECT_EQ(Run(QStringLiteral("rtf"), three, &reader).body, rtf);
    // only by a same-origin POST
    EXPECT_EQ(Run(QStringLiteral("uploadrtf"), three, &writer, rtf, "GET").status, 405);
    EXPECT_EQ(Run(QStringLiteral("uploadrtf"), three, &writer, rtf, "POST", "http://evil.example").status, 403);
    // a template that does not exist cannot be written
    const XAnswer missing =
        Run(QStringLiteral("uploadrtf"), {{QStringLiteral("id"), QStringLiteral("99")}}, &writer, rtf, "POST", origin);
    EXPECT_EQ(missing.status, 500);
    EXPECT_FALSE(m_errors.reports.empty());
}

QByteArray PngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A valid PNG of four palette colours at two bits a pixel: a few kilobytes for any size, but
// a byte a pixel once decoded.
QByteArray PalettePng(quint32 width, quint32 height)
{
    auto crc = [](const QByteArray& data) {
        quint32 c = 0xFFFFFFFF;
        for (unsigned char b : data) {
            c ^= b;
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320 & (0 - (c & 1)));
        }
        return c ^ 0xFFFFFFFF;
    };
    auto be = [](quint32 v) {
        const char bytes[4] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(bytes, 4);
    };
    auto chunk = [&](const QByteArray& type, const QByteArray& data) {
        return be(static_cast<quint32>(data.size())) + type + data + be(crc(type + data));
    };
    const QByteArray row = QByteArray(1, '\0') + QByteArray((width + 3) / 4, '\x1b');
    QByteArray pixels;
    pixels.reserve(row.size() * height);
    for (quint32 y = 0; y < height; ++y)
        pixels += row;
    return QByteArray("\x89PNG\r\n\x1a\n", 8) +
           chunk("IHDR", be(width) + be(height) + QByteArray("\x02\x03\x00\x00\x00", 5)) +
           chunk("PLTE", QByteArray("\xff\xff\xff\x00\x00\x00\xff\x00\x00\x00\xff\x00", 12)) +
           chunk("IDAT", qCompress(pixels, 9).mid(4)) + chunk("IEND", QByteArray());
}

TEST_F(ResourceRoutes, PhotoUploadsNeedTheOwnerOrTheModifyRight)
{
    QImage picture(200, 100, QImage::Format_RGB888);
    picture.fill(Qt::white);
    picture.setPixel(5, 5, qRgb(200, 0, 0));
    const QByteArray png = PngOf(picture);
    const char* origin = "http://192.168.1.5:8080";
    auto upload = [&](const XUser* user, int mduid, int personid, const QByteArray& body,
                      const QMap<QString, QString>& more = {}) {
        QMap<QString, QString> p = more;
        p.insert(QStringLiteral("mduid"), QString::number(mduid));
        p.insert(QStringLiteral("personid"), QString::number(personid));
        return Run(QStringLiteral("uploadimg"), p, user, body, "POST", origin);
    };
    auto photos = [] { return QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_PHOTO")); };

    const XUser student = User(MDU_STUDENT, 5);
    const XUser teacher = User(MDU_TEACHER, 7);
    const XUser admin = User(MDU_TEACHER, 0, 2);
    m_students.m_nTeacherRights = RIGHT_QRY;
    const struct
    {
        const char* what;
        const XUser* user;
        int mduid;
        int personid;
    } refused[] = {
        {"anonymous", nullptr, MDU_STUDENT, 5},
        {"another student", &student, MDU_STUDENT, 6},
        {"a teacher without the modify right", &teacher, MDU_STUDENT, 5},
        {"a logo by a teacher", &teacher, 0, 0},
        {"a logo by a student", &student, 0, 0},
        {"an unknown module", &teacher, 999, 5},
    };
    for (const auto& c : refused) {
        EXPECT_EQ(upload(c.user, c.mduid, c.personid, png).status, 403) << c.what;
        EXPECT_EQ(photos(), 0) << c.what;
    }

    // the own record, a teacher with the right, the administrator's logo
    m_students.m_nTeacherRights = RIGHT_QRY | RIGHT_MDF;
    const struct
    {
        const char* what;
        const XUser* user;
        int mduid;
        int personid;
    } allowed[] = {
        {"own photo", &student, MDU_STUDENT, 5},
        {"a teacher with the modify right", &teacher, MDU_STUDENT, 6},
        {"the administrator's logo", &admin, 0, 0},
    };
    for (const auto& c : allowed) {
        const XAnswer a = upload(c.user, c.mduid, c.personid, png);
        EXPECT_EQ(a.status, 200) << c.what;
        EXPECT_TRUE(a.body.contains("errid=\"100\"")) << c.what << a.body.constData();
        const int id = static_cast<int>(QueryNumber(QStringLiteral("SELECT MAX(ID) FROM TB_PHOTO")));
        EXPECT_TRUE(a.body.contains("id=\"" + QByteArray::number(id) + "\"")) << c.what << a.body.constData();
        EXPECT_EQ(QueryNumber(QStringLiteral("SELECT MduID*1000+PersonID FROM TB_PHOTO WHERE ID=%1").arg(id)),
                  c.mduid * 1000 + c.personid)
            << c.what;
    }

    // bodies that are no image, or would take too much memory to decode
    const double before = photos();
    EXPECT_EQ(upload(&student, MDU_STUDENT, 5, QByteArray()).status, 400);
    EXPECT_EQ(upload(&student, MDU_STUDENT, 5, "not an image").status, 400);
    // 4500 x 4500 pixels: beyond our decode limit (Qt's own default would take it), though
    // the file is small
    const QByteArray huge = PalettePng(4500, 4500);
    ASSERT_LT(huge.size(), 200 * 1024);
    EXPECT_EQ(upload(&student, MDU_STUDENT, 5, huge).status, 400);
    EXPECT_EQ(photos(), before);
    EXPECT_EQ(upload(&student, MDU_STUDENT, 5, PalettePng(300, 200)).status, 200) << "the same kind, smaller";

    // maxsize shrinks the smaller side to it; alpha makes white transparent
    auto stored = [](const XAnswer& a) {
        const QByteArray text = a.body.mid(a.body.indexOf(" id=\"") + 5);
        CXImage image;
        image.m_nPhotoID = text.left(text.indexOf('"')).toInt();
        LoadFromDB(image, 0);
        return image.GetImage();
    };
    const QImage small =
        stored(upload(&student, MDU_STUDENT, 5, png, {{QStringLiteral("maxsize"), QStringLiteral("20")}}));
    EXPECT_EQ(small.size(), QSize(40, 20));
    const QImage clear =
        stored(upload(&student, MDU_STUDENT, 5, png, {{QStringLiteral("alpha"), QStringLiteral("1")}}));
    ASSERT_FALSE(clear.isNull());
    EXPECT_EQ(qAlpha(clear.pixel(100, 50)), 0);
    EXPECT_EQ(qAlpha(clear.pixel(5, 5)), 255);
    // uploads change data: a same-origin POST only
    EXPECT_EQ(Run(QStringLiteral("uploadimg"),
                  {{QStringLiteral("mduid"), QStringLiteral("321")}, {QStringLiteral("personid"), QStringLiteral("5")}},
                  &student, png, "GET")
                  .status,
              405);
}

} // namespace
