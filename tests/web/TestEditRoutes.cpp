// The web routes that change records, print, change the preferences and update, on the
// fixture school: who may use them, what they store, and what they must never store.
#include "CDBSetup.h"
#include "CDBStudent.h"
#include "CDBStudentAccount.h"
#include "CDBTeacherAccount.h"
#include "CDBTeacher.h"
#include "CDBTempl.h"
#include "CDBEduRcd.h"
#include "CDBEduRcdStudent.h"
#include "CHead.h"
#include "CHttpRequest.h"
#include "ServeOnSocketPair.h"
#include "CHttpSession.h"
#include "CModuleTempl.h"
#include "CXDBSession.h"
#include "FixtureSchool.h"
#include "FormatString.h"
#include "OpenDatabase.h"
#include "RecordSql.h"
#include "TeachingModules.h"
#include "TransformXsl.h"
#include "RecordWriter.h"
#include "Resources.h"
#include "WebRecordQuery.h"
#include "WebRoutes.h"
#include "WebUpdate.h"
#include "XPdfFileCatalog.h"

#include "CFakeAppServices.h"

#include <gtest/gtest.h>

#include <QtCore/QRegularExpression>
#include <QtCore/QTemporaryDir>

#include <sys/socket.h>
#include <unistd.h>

using namespace xInternet;

namespace {

const QString kSession = QStringLiteral("00112233445566778899aabbccddeeff");

// Who is asking: no login, two students, a teacher account (role 0), an operator with some
// rights (T2: receipts query and add, class records query) and the administrator (T1).
enum class Who { Nobody, Student, OtherStudent, Teacher, Operator, Admin };

struct Answer
{
    int status = 0;
    QString body;
    // the result code of the root, or -1 without one
    int ErrId() const
    {
        const auto m = QRegularExpression(QStringLiteral("<r [^>]*errid=\"(\\d+)\"")).match(body);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    // what the page or result answered: the HTTP status, or the result code of a 200
    int Code() const { return status == 200 ? ErrId() : status; }
};

std::unique_ptr<CXItem> ReadRecord(int mduId, const CXMap& query)
{
    CXArray items(nullptr, true);
    if (!FindModule(mduId)->QueryItems(items, query, false, false) || items.GetSize() != 1)
        return nullptr;
    std::unique_ptr<CXItem> record(items.Detach(0));
    record->m_pArray = nullptr;
    return record;
}

std::unique_ptr<CXItem> ReadRecord(int mduId, int id)
{
    CXMap query;
    query.SetText(1, QString::number(id));
    return ReadRecord(mduId, query);
}

int FieldPos(const CHeads* heads, const QString& column)
{
    for (int i = 0; i < heads->GetSize(); ++i)
        if (heads->GetAt(i)->m_strColumn == column)
            return i;
    ADD_FAILURE() << column.toStdString();
    return -1;
}

int FieldPosAt(const CHeads* heads, int offset, int type)
{
    for (int i = 0; i < heads->GetSize(); ++i)
        if (heads->GetAt(i)->m_nOffset == offset && heads->GetAt(i)->m_nType == type)
            return i;
    ADD_FAILURE() << offset;
    return -1;
}

int Count(const QString& sql) { return QueryText(sql).toInt(); }

class EditRoutes : public SchoolTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
        m_templModule = std::make_unique<CModuleTempl>();
        RegisterModule(m_templModule.get());
        m_teaching.Register();
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session));
        m_setup = std::make_unique<CDBSetup>();
        SetCurrentSetup(m_setup.get());
    }
    void TearDown() override
    {
        {
            std::lock_guard lock(SessionLock());
            SessionMap().clear();
        }
        SetCurrentSetup(nullptr);
        WebUpdaterLauncher().Install(nullptr);
        CFakeAppServices::Installed().user = nullptr;
        m_teaching.Unregister();
        UnregisterModule(m_templModule.get());
        m_templModule.reset();
        SchoolTest::TearDown();
    }

    // Puts the identity into a fresh session as the web core does when it logs one in.
    void LogIn(Who who)
    {
        std::lock_guard lock(SessionLock());
        SessionMap().clear();
        auto web = std::make_unique<CHttpSession>();
        m_user = std::make_unique<CXItem>();
        m_user->m_strSession = kSession;
        // the identity of each, in the order of Who
        const std::pair<int, int> identities[] = {{0, 0},
                                                  {MDU_STUDENT, m_school.s1},
                                                  {MDU_STUDENT, m_school.s3},
                                                  {MDU_TEACHER, m_school.t3},
                                                  {MDU_TEACHER, m_school.t2},
                                                  {MDU_TEACHER, m_school.t1}};
        const auto [mdu, id] = identities[static_cast<int>(who)];
        if (mdu) {
            std::unique_ptr<CXItem> identity = ReadRecord(mdu, id);
            ASSERT_TRUE(identity);
            identity->CopyTo(m_user.get());
            m_user->m_strSession = kSession;
            web->AddIdentity(identity.release());
        }
        SessionMap().emplace(kSession, std::move(web));
    }
    // An operator of our own making: role 1 with the rights given per module.
    void LogInOperator(const CXMap& rights)
    {
        LogIn(Who::Operator);
        m_user->m_strRightData = rights.ToXml();
    }

    // Serves one request on a thread of its own, as a connection thread would.
    Answer Call(const char* path, XParamMap params, const QByteArray& body = QByteArray(),
                const QByteArray& method = "POST", const QByteArray& origin = "http://school.lan:8080")
    {
        const QByteArray sent = ServeOnSocketPair([&](int socket) {
            OnWorker([&] {
                CHttpRequest request(socket);
                request.m_strMethod = method;
                request.m_strPath = QString::fromLatin1(path);
                request.m_strHead = method + " /" + path + " HTTP/1.1\r\nHost: school.lan:8080\r\n" +
                                    (origin.isEmpty() ? QByteArray() : "Origin: " + origin + "\r\n") + "\r\n";
                m_user->CopyTo(&request.m_user);
                request.m_user.m_strSession = kSession;
                request.m_params = params;
                request.m_body = body;
                DispatchRequest(request);
            });
        });
        Answer answer;
        const auto status = QRegularExpression(QStringLiteral("^HTTP/1.1 (\\d+)")).match(QString::fromUtf8(sent));
        answer.status = status.hasMatch() ? status.captured(1).toInt() : 0;
        const qsizetype at = sent.indexOf("\r\n\r\n");
        answer.body = at < 0 ? QString() : QString::fromUtf8(sent.mid(at + 4));
        return answer;
    }

    static QByteArray IdQuery(int id) { return QStringLiteral("<r><x id=\"1\">%1</x></r>").arg(id).toUtf8(); }

    int SavedTemplate(int mduId, const QString& printer)
    {
        CDBTempl templ;
        templ.m_strName = QStringLiteral("收据模板");
        templ.m_nTemplMduID = mduId;
        templ.m_templ = LoadResourceBytes(450, RT_RTF);
        templ.m_strPrinter = printer;
        EXPECT_FALSE(templ.m_templ.isEmpty());
        EXPECT_TRUE(SaveItem(nullptr, &templ, nullptr, FixtureUser()));
        return templ.m_nID;
    }

    std::unique_ptr<CXItem> m_user = std::make_unique<CXItem>();
    std::unique_ptr<CModuleTempl> m_templModule;
    XTeachingModules m_teaching;
    std::unique_ptr<CDBSetup> m_setup;
};

// --- the strict record query ---------------------------------------------------------------

TEST(WebRecordQuery, TakesIdListsAndDatesOnly)
{
    CXBase linked;
    linked.m_nMduID = MDU_STUDENT;
    linked.m_nID = 12;
    linked.m_strName = QStringLiteral("张三");
    const struct
    {
        QString xml;
        bool ok;
        QString ids; // key 1 as kept
        int single;
    } cases[] = {
        {"<r><x id=\"1\">5</x></r>", true, "5", 5},
        {"<r><x id=\"1\">5, 9</x></r>", true, "5,9", 0},
        {"<r><x id=\"1\">" + linked.GetLink().toHtmlEscaped() + "</x></r>", true, "12", 12},
        // a subquery, SQL text or an empty list in an ID list is refused
        {"<r><x id=\"1\">SELECT ID FROM TB_STUDENT</x></r>", false, "", 0},
        {"<r><x id=\"1\">5) OR (1=1</x></r>", false, "", 0},
        {"<r><x id=\"333\">1,2 --</x></r>", false, "", 0},
        {"<r><x id=\"1\"></x></r>", false, "", 0},
        // dates must be dates; other keys are dropped, and nothing left is no query
        {"<r><x id=\"1047\">2026-03-18' OR '1</x></r>", false, "", 0},
        {"<r><x id=\"1\">7</x><x id=\"1064\">' OR 1=1</x></r>", true, "7", 7},
        {"<r><x id=\"1064\">1</x></r>", false, "", 0},
        {"not xml", false, "", 0},
    };
    for (const auto& c : cases) {
        CXMap query;
        EXPECT_EQ(ParseWebRecordQuery(c.xml, query), c.ok) << c.xml.toStdString();
        EXPECT_EQ(query.GetText(1), c.ids) << c.xml.toStdString();
        EXPECT_FALSE(query.Has(1064));
        EXPECT_EQ(SingleRecordId(query), c.single) << c.xml.toStdString();
    }
    CXMap planned;
    ASSERT_TRUE(ParseWebRecordQuery(
        "<r><x id=\"333\">4</x><x id=\"1047\">2026-03-18</x><x id=\"1048\">2026-03-18</x></r>", planned));
    EXPECT_EQ(planned.GetText(MDU_EDUSCH), "4");
    EXPECT_EQ(planned.GetText(QKEY_DATE_TO), "2026-03-18");
}

// --- who may do what --------------------------------------------------------------------

TEST_F(EditRoutes, AuthorisationOfEveryRoute)
{
    const int templ = SavedTemplate(MDU_RECEIPT, QString());
    const int namePos = FieldPos(FindModule(MDU_COURSE)->GetHeads(), QStringLiteral("RecordName"));
    const QString courseQuery = QString::fromUtf8(IdQuery(m_school.art));
    const QString nameKey = QStringLiteral("0_0_%1").arg(namePos);
    // the result for Nobody, Student, OtherStudent, Teacher, Operator, Admin
    const struct
    {
        const char* path;
        XParamMap params;
        QByteArray body;
        int expected[6];
    } cases[] = {
        {"setcol",
         {{"mduid", "328"}, {"query", courseQuery}, {"key", nameKey}},
         "美术A",
         {400, 400, 400, 400, 400, 100}},
        {"autoset", {{"mduid", "321"}}, IdQuery(m_school.s4), {400, 400, 400, 400, 400, 500}},
        {"delsub",
         {{"mduid", "322"}, {"order", "1"}, {"id", "1"}},
         IdQuery(m_school.t4),
         {400, 400, 400, 400, 400, 400}},
        {"addnew", {{"mduid", "331"}, {"update", "1"}}, {}, {400, 400, 400, 400, 200, 200}},
        {"addnew", {{"mduid", "328"}, {"update", "1"}}, {}, {400, 400, 400, 400, 400, 200}},
        {"print",
         {{"templ", QString::number(templ)}, {"id", QString::number(m_school.r1)}},
         {},
         {400, 400, 400, 400, 400, ERR_NoPrinter}},
        {"setup", {{"update", "1"}}, {}, {400, 400, 400, 400, 400, 100}},
        {"update", {}, {}, {400, 400, 400, 400, 400, ERR_FailMsg}}, // no launcher here
        {"del", {{"mduid", "328"}}, IdQuery(m_school.calligraphy), {400, 400, 400, 400, 400, 100}},
    };
    for (const auto& c : cases) {
        for (int who = 0; who < 6; ++who) {
            LogIn(static_cast<Who>(who));
            const Answer a = Call(c.path, c.params, c.body);
            const int expected = c.expected[who];
            if (expected == 200)
                EXPECT_EQ(a.status, 200) << c.path << " as " << who;
            else
                EXPECT_EQ(a.Code(), expected) << c.path << " as " << who << ": " << a.body.toStdString();
        }
    }
    EXPECT_EQ(ReadRecord(MDU_COURSE, m_school.art)->m_strName, QStringLiteral("美术A"));
    EXPECT_FALSE(ReadRecord(MDU_COURSE, m_school.calligraphy));
}

TEST_F(EditRoutes, StateChangesNeedASameOriginPost)
{
    LogIn(Who::Admin);
    const int namePos = FieldPos(FindModule(MDU_COURSE)->GetHeads(), QStringLiteral("RecordName"));
    const XParamMap setcol{{"mduid", "328"},
                           {"query", QString::fromUtf8(IdQuery(m_school.art))},
                           {"key", QStringLiteral("0_0_%1").arg(namePos)}};
    EXPECT_EQ(Call("setcol", setcol, "x", "GET").status, 405);
    EXPECT_EQ(Call("setcol", setcol, "x", "POST", "http://evil.example").status, 403);
    EXPECT_EQ(Call("del", {{"mduid", "328"}}, IdQuery(m_school.calligraphy), "GET").status, 405);
    EXPECT_EQ(Call("update", {}, {}, "GET").status, 405);
    EXPECT_EQ(Call("print", {{"templ", "1"}, {"id", "1"}}, {}, "POST", "http://evil.example").status, 403);
    // the forms show themselves to a GET, but store only from a same-origin POST
    EXPECT_EQ(Call("setup", {}, {}, "GET").status, 200);
    EXPECT_EQ(Call("setup", {{"save", "1"}, {"0_0_1", "x"}}, {}, "GET").status, 405);
    EXPECT_EQ(Call("addnew", {{"mduid", "328"}}, {}, "GET").status, 200);
    EXPECT_EQ(Call("addnew", {{"mduid", "328"}, {"save", "1"}}, {}, "POST", "http://evil.example").status, 403);
    // nor does another site fill in the form a later save would store
    const QString name = QStringLiteral("0_0_%1").arg(namePos);
    EXPECT_EQ(Call("addnew", {{"mduid", "328"}, {name, "evil"}}, {}, "GET").status, 405);
    const int order = FieldPosAt(CDBTeacher::StaticHeads(), XOFFSET(CDBTeacher, m_accounts), XAR);
    EXPECT_EQ(Call("addsub",
                   {{"mduid", "322"},
                    {"query", QString::fromUtf8(IdQuery(m_school.t1))},
                    {"order", QString::number(order)},
                    {QStringLiteral("%1_0_1").arg(order), "evil"}},
                   {}, "GET")
                  .status,
              405);
    EXPECT_FALSE(Call("addnew", {{"mduid", "328"}}, {}, "GET").body.contains("evil"));
    EXPECT_EQ(ReadRecord(MDU_COURSE, m_school.art)->m_strName, QStringLiteral("美术"));
    EXPECT_TRUE(ReadRecord(MDU_COURSE, m_school.calligraphy));
}

// --- changing fields ----------------------------------------------------------------------

TEST_F(EditRoutes, SetColChangesOneFieldAndKeepsWhatItDidNotRead)
{
    LogIn(Who::Admin);
    const int templ = SavedTemplate(MDU_COLLECT, QString());
    const QByteArray body = ReadRecord(MDU_TEMPL, templ)->Member<QByteArray>(XOFFSET(CDBTempl, m_templ));
    ASSERT_FALSE(body.isEmpty());
    const CHeads* heads = CDBTempl::StaticHeads();
    const XParamMap params{{"mduid", QString::number(MDU_TEMPL)},
                           {"query", QString::fromUtf8(IdQuery(templ))},
                           {"key", QStringLiteral("0_0_%1").arg(FieldPos(heads, QStringLiteral("RecordName")))}};
    const int changes = Count(FormatString(u"SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%d", OPER_MDF));
    EXPECT_EQ(Call("setcol", params, QStringLiteral("收费收据 二联").toUtf8()).Code(), ERR_OK);
    std::unique_ptr<CXItem> stored = ReadRecord(MDU_TEMPL, templ);
    EXPECT_EQ(stored->m_strName, QStringLiteral("收费收据 二联"));
    // the RTF body, a long text, is still there
    EXPECT_EQ(stored->Member<QByteArray>(XOFFSET(CDBTempl, m_templ)), body);
    EXPECT_EQ(Count(FormatString(u"SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%d", OPER_MDF)), changes + 1);

    // a stop-level message (a course named like another) refuses with its text; nothing is stored
    const Answer duplicate =
        Call("setcol",
             {{"mduid", "328"},
              {"query", QString::fromUtf8(IdQuery(m_school.art))},
              {"key", QStringLiteral("0_0_%1").arg(FieldPos(FindModule(MDU_COURSE)->GetHeads(), "RecordName"))}},
             QStringLiteral("钢琴").toUtf8());
    EXPECT_EQ(duplicate.Code(), ERR_FailMsg);
    EXPECT_TRUE(duplicate.body.contains(QStringLiteral("重复"))) << duplicate.body.toStdString();
    EXPECT_EQ(ReadRecord(MDU_COURSE, m_school.art)->m_strName, QStringLiteral("美术"));

    // a key naming no field, a record not there, a query of SQL text
    XParamMap bad = params;
    bad["key"] = "0_0_999";
    EXPECT_EQ(Call("setcol", bad, "x").Code(), 400);
    bad = params;
    bad["query"] = QString::fromUtf8(IdQuery(99999));
    EXPECT_EQ(Call("setcol", bad, "x").Code(), ERR_NotFound);
    bad["query"] = "<r><x id=\"1\">0) OR (1=1</x></r>";
    EXPECT_EQ(Call("setcol", bad, "x").Code(), 400);
    EXPECT_EQ(Call("setcol", params, "").Code(), 400);
}

TEST_F(EditRoutes, OnlyAnAdministratorChangesLoginsAndRoles)
{
    const CHeads* heads = CDBTeacher::StaticHeads();
    const int rightsPos = FieldPosAt(heads, XOFFSET(CDBTeacher, m_rights), XAR);
    // an operator who may change teachers, on their own record
    CXMap rights;
    rights.SetText(MDU_TEACHER, QString::number(RIGHT_QRY | RIGHT_MDF));
    LogInOperator(rights);
    const QString self = QString::fromUtf8(IdQuery(m_school.t2));
    const struct
    {
        QString key;
        QByteArray value;
    } attempts[] = {
        {QStringLiteral("0_0_%1").arg(FieldPos(heads, QStringLiteral("RightRole"))), "2"},
        {QStringLiteral("0_0_%1").arg(FieldPos(heads, QStringLiteral("RightData"))), rights.ToXml().toUtf8()},
        {QStringLiteral("0_0_%1").arg(FieldPos(heads, QStringLiteral("UserPassword"))),
         "0123456789abcdef0123456789abcdef"},
        {QStringLiteral("0_0_%1").arg(FieldPos(heads, QStringLiteral("IsEnabled"))), "0"},
        // a line of the rights grid: the first module's row, its first field
        {QStringLiteral("%1_1_1").arg(rightsPos), "1"},
    };
    for (const auto& a : attempts) {
        const Answer answer = Call("setcol", {{"mduid", "322"}, {"query", self}, {"key", a.key}}, a.value);
        EXPECT_EQ(answer.Code(), 400) << a.key.toStdString() << answer.body.toStdString();
    }
    std::unique_ptr<CXItem> stored = ReadRecord(MDU_TEACHER, m_school.t2);
    EXPECT_EQ(stored->m_nRightRole, 1);
    EXPECT_EQ(stored->m_bEnabled, 1);
    EXPECT_TRUE(stored->m_strPassword.isEmpty());
    // an ordinary field of the same record is the operator's to change
    EXPECT_EQ(Call("setcol",
                   {{"mduid", "322"},
                    {"query", self},
                    {"key", QStringLiteral("0_0_%1").arg(FieldPos(heads, QStringLiteral("Nation")))}},
                   QStringLiteral("汉族").toUtf8())
                  .Code(),
              ERR_OK);

    // the administrator may change the role
    LogIn(Who::Admin);
    EXPECT_EQ(Call("setcol",
                   {{"mduid", "322"},
                    {"query", QString::fromUtf8(IdQuery(m_school.t3))},
                    {"key", QStringLiteral("0_0_%1").arg(FieldPos(heads, QStringLiteral("RightRole")))}},
                   "1")
                  .Code(),
              ERR_OK);
    EXPECT_EQ(ReadRecord(MDU_TEACHER, m_school.t3)->m_nRightRole, 1);
}

// --- deleting ---------------------------------------------------------------------------

TEST_F(EditRoutes, DeleteRefusalsAndChildLines)
{
    // an operator who may delete receipts still may not delete an issued one
    CXMap rights;
    rights.SetText(MDU_RECEIPT, QString::number(RIGHT_QRY | RIGHT_DEL));
    LogInOperator(rights);
    const Answer refused = Call("del", {{"mduid", "331"}}, IdQuery(m_school.r1));
    EXPECT_EQ(refused.Code(), ERR_FailMsg);
    EXPECT_FALSE(refused.body.contains(QStringLiteral("errmsg=\"\""))) << refused.body.toStdString();
    EXPECT_TRUE(ReadRecord(MDU_RECEIPT, m_school.r1));

    LogIn(Who::Admin);
    EXPECT_EQ(Call("del", {{"mduid", "328"}}, IdQuery(99999)).Code(), ERR_NotFound);
    EXPECT_EQ(Call("del", {{"mduid", "328"}}, "<r><x id=\"2\">1</x></r>").Code(), 400);

    // a teacher's phone line goes, the other lines and the teacher stay
    std::unique_ptr<CXItem> teacher = ReadRecord(MDU_TEACHER, m_school.t1);
    const CXArray& phones = teacher->Member<CXArray>(XOFFSET(CDBTeacher, m_accounts));
    ASSERT_EQ(phones.GetSize(), 1);
    const int line = RowIdOf(*phones[0]);
    const QString order = QString::number(FieldPosAt(CDBTeacher::StaticHeads(), XOFFSET(CDBTeacher, m_accounts), XAR));
    EXPECT_EQ(
        Call("delsub", {{"mduid", "322"}, {"order", order}, {"id", QString::number(line + 1000)}}, IdQuery(m_school.t1))
            .Code(),
        400);
    EXPECT_EQ(
        Call("delsub", {{"mduid", "322"}, {"order", "1"}, {"id", QString::number(line)}}, IdQuery(m_school.t1)).Code(),
        400);
    EXPECT_EQ(Call("delsub", {{"mduid", "322"}, {"order", order}, {"id", QString::number(line)}}, IdQuery(m_school.t1))
                  .Code(),
              ERR_OK);
    teacher = ReadRecord(MDU_TEACHER, m_school.t1);
    ASSERT_TRUE(teacher);
    EXPECT_EQ(teacher->Member<CXArray>(XOFFSET(CDBTeacher, m_accounts)).GetSize(), 0);
}

TEST_F(EditRoutes, AutoSetStoresAPlannedClassAndDelResetsIt)
{
    LogIn(Who::Admin);
    // E1's class of today (Wednesday) is planned, not stored
    const QByteArray planned = QStringLiteral("<r><x id=\"333\">%1</x><x id=\"1047\">2026-03-18</x>"
                                              "<x id=\"1048\">2026-03-18</x></r>")
                                   .arg(m_school.e1)
                                   .toUtf8();
    const QString stored = QStringLiteral("SELECT COUNT(*) FROM TB_EDURCD WHERE EduSchID=%1").arg(m_school.e1);
    const int before = Count(stored);
    EXPECT_EQ(Call("autoset", {{"mduid", "334"}}, planned).Code(), ERR_OK);
    EXPECT_EQ(Count(stored), before + 1);
    // deleting it takes the stored version away: the class is planned again
    EXPECT_EQ(Call("del", {{"mduid", "334"}}, planned).Code(), ERR_OK);
    EXPECT_EQ(Count(stored), before);
    CXMap query;
    ASSERT_TRUE(ParseWebRecordQuery(QString::fromUtf8(planned), query));
    std::unique_ptr<CXItem> again = ReadRecord(MDU_EDURCD, query);
    ASSERT_TRUE(again);
    EXPECT_TRUE(again->IsAuto());
    EXPECT_LE(again->m_nID, 0);
    // a record without automatic fill
    EXPECT_EQ(Call("autoset", {{"mduid", "321"}}, IdQuery(m_school.s1)).Code(), 500);
}

// --- new records --------------------------------------------------------------------------

TEST_F(EditRoutes, AddNewRefreshesTheCachedFormAndSavesWithTheDuplicateCheck)
{
    LogIn(Who::Admin);
    const QString name = QStringLiteral("0_0_%1").arg(FieldPos(FindModule(MDU_COURSE)->GetHeads(), "RecordName"));
    const QString courses = QStringLiteral("SELECT COUNT(*) FROM TB_COURSE");
    const int before = Count(courses);

    // a refresh answers the item only, from the cached record with what was posted
    const Answer refresh = Call("addnew", {{"mduid", "328"}, {"update", "1"}, {name, QStringLiteral("声乐")}});
    EXPECT_EQ(refresh.status, 200);
    EXPECT_TRUE(QRegularExpression(QStringLiteral("<r>\\s*<item ")).match(refresh.body).hasMatch())
        << refresh.body.toStdString();
    EXPECT_FALSE(refresh.body.contains(QStringLiteral("<app ")));
    EXPECT_TRUE(refresh.body.contains(QStringLiteral("声乐")));
    // the full page carries the header; the default password is only told to administrators
    const Answer page = Call("addnew", {{"mduid", "328"}, {"xsl", "editnew"}});
    EXPECT_TRUE(page.body.contains(QStringLiteral("href=\"editnew.xsl\""))) << page.body.toStdString();
    EXPECT_TRUE(page.body.contains(QStringLiteral("<app "))) << page.body.toStdString();
    EXPECT_TRUE(page.body.contains(QStringLiteral("声乐")));

    // a later save stores what was posted before; posted twice, the second is a duplicate
    EXPECT_EQ(Call("addnew", {{"mduid", "328"}, {"save", "1"}}).Code(), ERR_OK);
    EXPECT_EQ(Count(courses), before + 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_COURSE WHERE RecordName='声乐'")), 1);
    const Answer twice = Call("addnew", {{"mduid", "328"}, {"save", "1"}});
    EXPECT_EQ(twice.Code(), ERR_FailMsg);
    EXPECT_TRUE(twice.body.contains(QStringLiteral("重复"))) << twice.body.toStdString();
    EXPECT_EQ(Count(courses), before + 1);
    // a stop-level message refuses with its text
    const Answer empty = Call("addnew", {{"mduid", "328"}, {"save", "1"}, {name, ""}});
    EXPECT_EQ(empty.Code(), ERR_FailMsg);
    EXPECT_EQ(Count(courses), before + 1);
    EXPECT_EQ(Call("addnew", {{"mduid", "9999"}}).Code(), 400);
}

TEST_F(EditRoutes, PageTellsTheDefaultPasswordToAdministratorsOnly)
{
    auto& setup = CFakeAppServices::Installed().setup;
    setup[QStringLiteral("DefaultPwd1")] = QStringLiteral("246810");
    LogIn(Who::Admin);
    EXPECT_TRUE(Call("addnew", {{"mduid", "321"}}).body.contains(QStringLiteral("defaultpwd=\"246810\"")));
    LogIn(Who::Nobody);
    {
        std::lock_guard lock(SessionLock());
        CHttpSession::Code& code = SessionMap()[kSession]->m_smsCode;
        code.text = QStringLiteral("4321");
        code.boundTo = QStringLiteral("13512345678");
        code.issued = XDateTime::Now();
    }
    const QString phone = QStringLiteral("%1_1_%2")
                              .arg(FieldPosAt(CDBStudent::StaticHeads(), XOFFSET(CDBStudent, m_accounts), XAR))
                              .arg(FieldPos(CDBStudentAccount::StaticHeads(), "Content"));
    const QString name = QStringLiteral("0_0_%1").arg(FieldPos(CDBStudent::StaticHeads(), "RealName"));
    const Answer registered =
        Call("addnew", {{"mduid", "321"}, {"bind", "1"}, {"smscode", "4321"}, {phone, "13512345678"}, {name, "钱八"}});
    EXPECT_EQ(registered.status, 200);
    EXPECT_TRUE(registered.body.contains(QStringLiteral("defaultpwd=\"\""))) << registered.body.toStdString();
    setup.clear();
}

TEST_F(EditRoutes, SelfRegistration)
{
    const CHeads* teacherHeads = CDBTeacher::StaticHeads();
    const CHeads* studentHeads = CDBStudent::StaticHeads();
    auto phoneKey = [](const CHeads* heads, int offset, const CHeads* lineHeads) {
        return QStringLiteral("%1_1_%2").arg(FieldPosAt(heads, offset, XAR)).arg(FieldPos(lineHeads, "Content"));
    };
    const QString studentPhone =
        phoneKey(studentHeads, XOFFSET(CDBStudent, m_accounts), CDBStudentAccount::StaticHeads());
    const QString teacherPhone =
        phoneKey(teacherHeads, XOFFSET(CDBTeacher, m_accounts), CDBTeacherAccount::StaticHeads());
    const QString studentName = QStringLiteral("0_0_%1").arg(FieldPos(studentHeads, "RealName"));
    const QString teacherName = QStringLiteral("0_0_%1").arg(FieldPos(teacherHeads, "RealName"));
    const QString role = QStringLiteral("0_0_%1").arg(FieldPos(teacherHeads, "RightRole"));
    const QString enabled = QStringLiteral("0_0_%1").arg(FieldPos(teacherHeads, "IsEnabled"));
    const QString sms = QStringLiteral("13512345678");

    const struct
    {
        const char* what;
        XParamMap params;
        bool codeSent;
        int expected; // HTTP status or result code
        bool stored;
    } cases[] = {
        {"a student",
         {{"mduid", "321"}, {"bind", "1"}, {"smscode", "4321"}, {studentPhone, sms}, {studentName, "钱八"}},
         true,
         200,
         true},
        {"a teacher posting role 2 and a disabled login",
         {{"mduid", "322"},
          {"bind", "1"},
          {"smscode", "4321"},
          {teacherPhone, sms},
          {teacherName, "钱八"},
          {role, "2"},
          {enabled, "0"}},
         true,
         200,
         true},
        {"a phone other than the one the code went to",
         {{"mduid", "321"}, {"bind", "1"}, {"smscode", "4321"}, {studentPhone, "13900000000"}, {studentName, "钱八"}},
         true,
         ERR_ErrorSmsCode,
         false},
        {"a wrong code",
         {{"mduid", "321"}, {"bind", "1"}, {"smscode", "1111"}, {studentPhone, sms}, {studentName, "钱八"}},
         true,
         ERR_ErrorSmsCode,
         false},
        {"no code sent",
         {{"mduid", "321"}, {"bind", "1"}, {"smscode", "4321"}, {studentPhone, sms}, {studentName, "钱八"}},
         false,
         ERR_ExpireSmsCode,
         false},
        {"another module", {{"mduid", "328"}, {"bind", "1"}, {"smscode", "4321"}, {"0_0_1", "钱八"}}, true, 400, false},
        {"a code without bind",
         {{"mduid", "328"}, {"save", "1"}, {"smscode", "4321"}, {"0_0_1", "钱八"}},
         true,
         400,
         false},
        {"a code without bind, student",
         {{"mduid", "321"}, {"save", "1"}, {"smscode", "4321"}, {studentPhone, sms}},
         true,
         400,
         false},
    };
    for (const auto& c : cases) {
        LogIn(Who::Nobody);
        if (c.codeSent) {
            std::lock_guard lock(SessionLock());
            CHttpSession::Code& code = SessionMap()[kSession]->m_smsCode;
            code.text = QStringLiteral("4321");
            code.boundTo = sms;
            code.issued = XDateTime::Now();
        }
        const int mdu = c.params.value("mduid").toInt();
        const QString table = mdu == MDU_TEACHER ? QStringLiteral("TB_TEACHER") : QStringLiteral("TB_STUDENT");
        const int before = Count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE RealName='钱八'").arg(table));
        const Answer a = Call("addnew", c.params);
        EXPECT_EQ(a.status == 200 && a.ErrId() != ERR_OK ? a.ErrId() : a.status, c.expected)
            << c.what << ": " << a.body.toStdString();
        EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE RealName='钱八'").arg(table)),
                  before + (c.stored ? 1 : 0))
            << c.what;
        std::lock_guard lock(SessionLock());
        const CXItem* current = SessionMap()[kSession]->GetCurrent();
        if (!c.stored) {
            EXPECT_EQ(current, nullptr) << c.what;
            continue;
        }
        // logged in as the new record, with no rights beyond an ordinary account's
        ASSERT_NE(current, nullptr) << c.what;
        EXPECT_EQ(current->m_nMduID, mdu);
        EXPECT_GT(current->m_nID, 0);
        EXPECT_EQ(current->m_nRightRole, 0) << c.what;
        EXPECT_EQ(current->m_bEnabled, 1) << c.what;
        if (mdu == MDU_TEACHER)
            EXPECT_EQ(QueryText(QStringLiteral("SELECT RightRole FROM TB_TEACHER WHERE ID=%1").arg(current->m_nID)),
                      "0");
    }

    // the code is checked before the record: a name taken already is not told to whoever
    // cannot show the phone is theirs; a form stopped after the code used the code up
    LogIn(Who::Nobody);
    {
        std::lock_guard lock(SessionLock());
        CHttpSession::Code& code = SessionMap()[kSession]->m_smsCode;
        code.text = QStringLiteral("4321");
        code.boundTo = sms;
        code.issued = XDateTime::Now();
    }
    XParamMap form{{"mduid", "321"}, {"bind", "1"}, {"smscode", "1111"}, {studentPhone, sms}, {studentName, "钱八"}};
    const Answer wrong = Call("addnew", form);
    EXPECT_EQ(wrong.ErrId(), ERR_ErrorSmsCode);
    EXPECT_FALSE(wrong.body.contains(QStringLiteral("重复"))) << wrong.body.toStdString();
    form["smscode"] = "4321";
    const Answer taken = Call("addnew", form);
    EXPECT_EQ(taken.ErrId(), ERR_FailMsg);
    EXPECT_TRUE(taken.body.contains(QStringLiteral("重复"))) << taken.body.toStdString();
    form[studentName] = QStringLiteral("孙九");
    EXPECT_EQ(Call("addnew", form).ErrId(), ERR_ExpireSmsCode);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_STUDENT WHERE RealName='孙九'")), 0);
}

TEST_F(EditRoutes, AddSubKeepsOneCachedLineAndSavesItOnce)
{
    LogIn(Who::Admin);
    const QString order = QString::number(FieldPosAt(CDBTeacher::StaticHeads(), XOFFSET(CDBTeacher, m_accounts), XAR));
    const QString phone =
        QStringLiteral("%1_0_%2").arg(order).arg(FieldPos(CDBTeacherAccount::StaticHeads(), "Content"));
    const QString query = QString::fromUtf8(IdQuery(m_school.t3));
    const int lines = ReadRecord(MDU_TEACHER, m_school.t3)->Member<CXArray>(XOFFSET(CDBTeacher, m_accounts)).GetSize();

    const Answer first = Call("addsub", {{"mduid", "322"}, {"query", query}, {"order", order}, {phone, "13511112222"}});
    EXPECT_EQ(first.ErrId(), ERR_OK);
    EXPECT_TRUE(first.body.contains("13511112222")) << first.body.toStdString();
    const Answer second = Call("addsub", {{"mduid", "322"}, {"query", query}, {"order", order}, {"update", "1"}});
    EXPECT_TRUE(second.body.contains("13511112222")) << second.body.toStdString();
    EXPECT_EQ(Call("addsub", {{"mduid", "322"}, {"query", query}, {"order", order}, {"save", "1"}}).Code(), ERR_OK);
    std::unique_ptr<CXItem> teacher = ReadRecord(MDU_TEACHER, m_school.t3);
    const CXArray& phones = teacher->Member<CXArray>(XOFFSET(CDBTeacher, m_accounts));
    ASSERT_EQ(phones.GetSize(), lines + 1);
    EXPECT_EQ(phones[lines]->m_strName, "13511112222");
    {
        std::lock_guard lock(SessionLock());
        EXPECT_FALSE(SessionMap()[kSession]->m_subParent);
        EXPECT_FALSE(SessionMap()[kSession]->m_subLine);
    }
    // a bad phone stops the save; positions that are no child list are refused
    EXPECT_EQ(
        Call("addsub", {{"mduid", "322"}, {"query", query}, {"order", order}, {"save", "1"}, {phone, "12"}}).Code(),
        ERR_FailMsg);
    EXPECT_EQ(Call("addsub", {{"mduid", "322"}, {"query", query}, {"order", "1"}}).Code(), 400);
    EXPECT_EQ(Call("addsub", {{"mduid", "322"}, {"query", query}, {"order", "0"}}).Code(), 400);
    EXPECT_EQ(ReadRecord(MDU_TEACHER, m_school.t3)->Member<CXArray>(XOFFSET(CDBTeacher, m_accounts)).GetSize(),
              lines + 1);
}

// --- printing -----------------------------------------------------------------------------

TEST_F(EditRoutes, PrintChoosesAPrinterAsksAndLogsOnlyAPrint)
{
    QTemporaryDir out;
    XPdfFileCatalog catalog(out.path());
    LogIn(Who::Admin);
    const int plain = SavedTemplate(MDU_COLLECT, QString());
    const int own = SavedTemplate(MDU_COLLECT, QStringLiteral("Office Laser"));
    const QString record = QString::number(m_school.c1);
    const QString prints = FormatString(u"SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%d AND MduID=%d AND ItemID=%d",
                                        OPER_PRT, MDU_COLLECT, m_school.c1);
    const struct
    {
        int templ;
        const char* printer;
        const char* confirmed;
        int expected;
    } steps[] = {
        {plain, "", "0", ERR_NoPrinter},
        {plain, "PDF Writer", "1", ERR_NoPrinter}, // not a device
        {plain, "Office Laser", "0", ERR_NeedConfirm},
        {plain, "office laser", "1", ERR_OK},
        // the template's own printer wins over the posted one
        {own, "PDF Writer", "1", ERR_OK},
    };
    for (const auto& s : steps) {
        const Answer a = Call(
            "print",
            {{"templ", QString::number(s.templ)}, {"id", record}, {"printer", s.printer}, {"confirmed", s.confirmed}});
        EXPECT_EQ(a.Code(), s.expected) << s.templ << " " << s.printer << ": " << a.body.toStdString();
    }
    ASSERT_EQ(catalog.jobs.size(), 2);
    EXPECT_TRUE(catalog.jobs[0].pdf.contains("Office Laser"));
    EXPECT_TRUE(catalog.jobs[1].pdf.contains("Office Laser"));
    EXPECT_EQ(Count(prints), 2);
    // the template's stored printer is unchanged by a job's choice
    EXPECT_TRUE(ReadRecord(MDU_TEMPL, plain)->Member<QString>(XOFFSET(CDBTempl, m_strPrinter)).isEmpty());

    // a job the printer does not take is a failure, and no print is logged
    catalog.m_fail = true;
    {
        ErrorCapture reports;
        EXPECT_EQ(Call("print", {{"templ", QString::number(own)}, {"id", record}, {"confirmed", "1"}}).Code(),
                  ERR_FailMsg);
        EXPECT_FALSE(reports.reports.empty());
    }
    EXPECT_EQ(Count(prints), 2);
    // a template or record not there, a record ID of 0
    EXPECT_EQ(Call("print", {{"templ", "9999"}, {"id", record}, {"confirmed", "1"}}).Code(), ERR_NotFound);
    EXPECT_EQ(Call("print", {{"templ", QString::number(own)}, {"id", "9999"}, {"confirmed", "1"}}).Code(),
              ERR_NotFound);
    EXPECT_EQ(Call("print", {{"templ", QString::number(own)}, {"id", "0"}, {"confirmed", "1"}}).Code(), 400);
}

// --- preferences and update ------------------------------------------------------------

TEST_F(EditRoutes, SetupShowsValidatesAndSavesThePreferences)
{
    LogIn(Who::Admin);
    const CHeads* heads = CDBSetup::StaticHeads();
    const QString name = QStringLiteral("0_0_%1").arg(FieldPos(heads, "RecordName"));
    const QString pattern = QStringLiteral("0_0_%1").arg(FieldPos(heads, "KeyFmtRcp"));
    const QString remained = QStringLiteral("0_0_%1").arg(FieldPos(heads, "WarnRemained"));
    const QString form = QStringLiteral("0_0_%1").arg(FieldPos(heads, "LtdClassForm"));
    const QString logged = FormatString(u"SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%d", OPER_SETUP);

    const Answer part = Call("setup", {{"update", "1"}});
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^<\\?xml[^>]*>\\s*<r errid=\"100\">\\s*<item ")).match(part.body).hasMatch())
        << part.body.toStdString();
    const Answer page = Call("setup", {{"grouporder", "2"}, {"xsl", "setup"}});
    EXPECT_TRUE(page.body.contains("grouporder=\"2\"")) << page.body.toStdString();
    EXPECT_TRUE(page.body.contains("<app ")) << page.body.toStdString();

    // what the preferences dialog would refuse is refused; nothing is stored or logged
    const struct
    {
        QString key;
        QString value;
    } refused[] = {
        {pattern, "B[Y]"}, // a number pattern without a counter
        {remained, "5天"}, // not a whole number
        {remained, "0"},   // below the field's range
        {form, "7"},       // not one of the options
    };
    for (const auto& r : refused) {
        const Answer a = Call("setup", {{"save", "1"}, {r.key, r.value}});
        EXPECT_EQ(a.Code(), ERR_FailMsg) << r.key.toStdString() << " " << r.value.toStdString();
    }
    EXPECT_EQ(Count(logged), 0);
    EXPECT_EQ(m_setup->m_strKeyFmtRcp, "B[Y][nnnn]");

    const QString logo = QStringLiteral("0_0_%1").arg(FieldPos(heads, "StdLogoID"));
    const Answer saved =
        Call("setup", {{"save", "1"}, {name, QStringLiteral("Brenvale 艺术学校")}, {remained, "5"}, {logo, ""}});
    EXPECT_EQ(saved.Code(), ERR_OK);
    EXPECT_FALSE(saved.body.contains("<item")) << saved.body.toStdString();
    EXPECT_EQ(m_setup->m_strRecordName, QStringLiteral("Brenvale 艺术学校"));
    EXPECT_EQ(m_setup->m_nWarnRemained, 5);
    EXPECT_EQ(Count(logged), 2); // one row per changed preference
    CDBSetup reread;
    reread.Load();
    EXPECT_EQ(reread.m_strRecordName, QStringLiteral("Brenvale 艺术学校"));
}

TEST_F(EditRoutes, UpdateOnlyWithoutADesktopUserAndThroughTheLauncher)
{
    LogIn(Who::Admin);
    int launched = 0;
    QString downloadError;
    const auto previous = WebUpdaterDownload().Install([&downloadError] { return downloadError; });
    WebUpdaterLauncher().Install([&launched] { ++launched; });

    CFakeAppServices::Installed().user = &FixtureUser();
    const Answer busy = Call("update", {});
    EXPECT_EQ(busy.Code(), ERR_FailMsg);
    EXPECT_TRUE(busy.body.contains(QStringLiteral("主程序已登录"))) << busy.body.toStdString();
    CFakeAppServices::Installed().user = nullptr;

    downloadError = QStringLiteral("未能下载更新程序");
    const Answer failed = Call("update", {});
    EXPECT_EQ(failed.Code(), ERR_FailMsg);
    EXPECT_TRUE(failed.body.contains(downloadError));
    EXPECT_EQ(launched, 0);

    downloadError.clear();
    EXPECT_EQ(Call("update", {}).Code(), ERR_OK);
    EXPECT_EQ(launched, 1);
    LogIn(Who::Teacher);
    EXPECT_EQ(Call("update", {}).Code(), 400);
    EXPECT_EQ(launched, 1);
    WebUpdaterDownload().Install(previous);
}

// --- the pages --------------------------------------------------------------------------

// A page sheet with the shared frame put in place of its import (the transformation reads
// no files): the frame's templates come first, and the page's own title replaces the
// frame's default one.
QString PageSheet(const char* file)
{
    QString sheet = QString::fromUtf8(LoadResourceFile(QStringLiteral(":/www/%1").arg(QLatin1String(file))));
    QString share = QString::fromUtf8(LoadResourceFile(QStringLiteral(":/www/469-share.xsl")));
    EXPECT_FALSE(sheet.isEmpty());
    EXPECT_FALSE(share.isEmpty());
    share = share.mid(share.indexOf(QStringLiteral("<xsl:output")));
    share.truncate(share.indexOf(QStringLiteral("</xsl:stylesheet>")));
    share.remove(QRegularExpression(QStringLiteral("<xsl:template match=\"r\" mode=\"title\">.*?</xsl:template>")));
    sheet.replace(QStringLiteral("<xsl:import href=\"share.xsl\"/>"), share);
    return sheet;
}

TEST_F(EditRoutes, NewRecordPageShowsTheWebFormEscaped)
{
    LogIn(Who::Admin);
    const int namePos = FieldPos(CDBStudent::StaticHeads(), "RealName");
    const int listPos = FieldPosAt(CDBStudent::StaticHeads(), XOFFSET(CDBStudent, m_accounts), XAR);
    const int phonePos = FieldPos(CDBStudentAccount::StaticHeads(), "Content");
    const Answer page =
        Call("addnew", {{"mduid", "321"}, {"xsl", "editnew"}, {QStringLiteral("0_0_%1").arg(namePos), "<b>钱八</b>"}});
    const QString html = TransformXsl(page.body, PageSheet("462-editnew.xsl"));
    ASSERT_FALSE(html.isEmpty()) << page.body.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("<title>新增学员</title>"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("action=\"addnew\""))) << html.toStdString();
    EXPECT_TRUE(
        html.contains(QStringLiteral("name=\"0_0_%1\" type=\"text\" value=\"&lt;b&gt;钱八&lt;/b&gt;\"").arg(namePos)))
        << html.toStdString();
    EXPECT_FALSE(html.contains(QStringLiteral("<b>钱八")));
    // the phone line of the form, and no login fields
    EXPECT_TRUE(html.contains(QStringLiteral("name=\"%1_1_%2\"").arg(listPos).arg(phonePos))) << html.toStdString();
    EXPECT_FALSE(
        html.contains(QStringLiteral("name=\"0_0_%1\"").arg(FieldPos(CDBStudent::StaticHeads(), "IsEnabled"))));
}

TEST_F(EditRoutes, SetupPageGroupsThePreferences)
{
    LogIn(Who::Admin);
    m_setup->m_strRecordName = QStringLiteral("A&B \"艺术\" <学校>");
    const int name = FieldPos(CDBSetup::StaticHeads(), "RecordName");
    const int form = FieldPos(CDBSetup::StaticHeads(), "LtdClassForm");
    const Answer page = Call("setup", {{"xsl", "setup"}, {"grouporder", "2"}}, {}, "GET");
    const QString html = TransformXsl(page.body, PageSheet("472-setup.xsl"));
    ASSERT_FALSE(html.isEmpty()) << page.body.toStdString();
    // saved by script as the XML body the server reads: a plain form post would send
    // url-encoded fields the server does not take, and the save would be lost
    EXPECT_TRUE(html.contains(QStringLiteral("<form class=\"form\" id=\"setupform\""))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("lvPost('setup?save=1', form)"))) << html.toStdString();
    EXPECT_FALSE(html.contains(QStringLiteral("method=\"post\""))) << html.toStdString();
    // the HTML output quotes a value holding double quotes with single ones
    EXPECT_TRUE(
        html.contains(QStringLiteral("name=\"0_0_%1\" type=\"text\" value='A&amp;B \"艺术\" &lt;学校&gt;'").arg(name)))
        << html.toStdString();
    EXPECT_FALSE(html.contains(QStringLiteral("<学校>")));
    EXPECT_TRUE(html.contains(QStringLiteral("<select id=\"f0_0_%1\" name=\"0_0_%1\">").arg(form)))
        << html.toStdString();
    // the second group is the open one
    const QRegularExpression groups(
        QStringLiteral("<details class=\"list\"( open=\"open\")?><summary>([^<]*)</summary>"));
    QStringList open, all;
    for (auto it = groups.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        all << m.captured(2);
        if (!m.captured(1).isEmpty())
            open << m.captured(2);
    }
    ASSERT_GE(all.size(), 2) << html.toStdString();
    EXPECT_EQ(open, QStringList{all[1]});
    EXPECT_EQ(all.removeDuplicates(), 0);

    // a save answers the notice
    const Answer saved = Call("setup", {{"save", "1"}, {"xsl", "setup"}});
    EXPECT_TRUE(TransformXsl(saved.body, PageSheet("472-setup.xsl")).contains(QStringLiteral("设置已保存")))
        << saved.body.toStdString();
}

TEST_F(EditRoutes, AttendanceTakenFromAPhoneConsumesTheReceiptsLessons)
{
    // an operator who may change class records takes attendance on today's planned class
    CXMap rights;
    rights.SetText(MDU_EDURCD, QString::number(RIGHT_QRY | RIGHT_MDF));
    LogInOperator(rights);
    const QString planned = QStringLiteral("<r><x id=\"333\">%1</x><x id=\"1047\">2026-03-18</x>"
                                           "<x id=\"1048\">2026-03-18</x></r>")
                                .arg(m_school.e1);
    CXMap query;
    ASSERT_TRUE(ParseWebRecordQuery(planned, query));
    auto firstStudent = [&query]() -> std::unique_ptr<CXItem> {
        std::unique_ptr<CXItem> record = ReadRecord(MDU_EDURCD, query);
        if (!record)
            return nullptr;
        auto& lines = record->Member<CXArray>(XOFFSET(CDBEduRcd, m_students));
        return lines.GetSize() ? std::unique_ptr<CXItem>(lines[0]->CopyTo(nullptr)) : nullptr;
    };
    std::unique_ptr<CXItem> before = firstStudent();
    ASSERT_TRUE(before);
    ASSERT_EQ(before->Member<int>(XOFFSET(CDBEduRcdStudent, m_nAttence)), 0);
    const int remained = before->Member<int>(XOFFSET(CDBEduRcdStudent, m_rcpRemained));

    const QString key = QStringLiteral("%1_1_%2")
                            .arg(FieldPosAt(CDBEduRcd::StaticHeads(), XOFFSET(CDBEduRcd, m_students), XAR))
                            .arg(FieldPos(CDBEduRcdStudent::StaticHeads(), "Attence"));
    EXPECT_EQ(Call("setcol", {{"mduid", "334"}, {"query", planned}, {"key", key}}, "2").Code(), ERR_OK);
    std::unique_ptr<CXItem> after = firstStudent();
    ASSERT_TRUE(after);
    EXPECT_GT(after->m_nSubID, 0); // stored now
    EXPECT_EQ(after->Member<int>(XOFFSET(CDBEduRcdStudent, m_nAttence)), 2);
    EXPECT_EQ(after->Member<int>(XOFFSET(CDBEduRcdStudent, m_rcpRemained)), remained - 1);
}

TEST_F(EditRoutes, ClassEditPageOffersEachStudentsAttendanceUnderTheKeySetcolTakes)
{
    CXMap rights;
    rights.SetText(MDU_EDURCD, QString::number(RIGHT_QRY | RIGHT_MDF));
    LogInOperator(rights);
    const QString planned = QStringLiteral("<r><x id=\"333\">%1</x><x id=\"1047\">2026-03-18</x>"
                                           "<x id=\"1048\">2026-03-18</x></r>")
                                .arg(m_school.e1);
    const Answer page = Call("query", {{"mduid", "334"}, {"one", "1"}, {"xsl", "edit"}, {"query", planned}}, {}, "GET");
    const QString html = TransformXsl(page.body, PageSheet("463-edit.xsl"));
    ASSERT_FALSE(html.isEmpty()) << page.body.toStdString();
    const int list = FieldPosAt(CDBEduRcd::StaticHeads(), XOFFSET(CDBEduRcd, m_students), XAR);
    const int attendance = FieldPos(CDBEduRcdStudent::StaticHeads(), "Attence");
    const int student = FieldPos(CDBEduRcdStudent::StaticHeads(), "StudentID");
    // both students of the class (张三 (小明) and 陈七), each under its name, with a choice
    // of attendance keyed by list, line and field
    EXPECT_TRUE(html.contains(QStringLiteral("<legend>学员</legend>"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("<div class=\"title\">张三 (小明)</div>"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("<div class=\"title\">陈七</div>"))) << html.toStdString();
    for (int line : {1, 2}) {
        const QString key = QStringLiteral("%1_%2_%3").arg(list).arg(line).arg(attendance);
        EXPECT_TRUE(html.contains(QStringLiteral("<select id=\"f%1\" data-key=\"%1\">").arg(key)))
            << key.toStdString() << "\n"
            << html.toStdString();
        EXPECT_TRUE(html.contains(QStringLiteral("<label for=\"f%1\">考勤</label>").arg(key))) << key.toStdString();
        // the student link is the line's title, not a field offered again
        EXPECT_FALSE(html.contains(QStringLiteral("%1_%2_%3\"").arg(list).arg(line).arg(student)));
    }
    EXPECT_TRUE(html.contains(QStringLiteral("<option value=\"2\">准时</option>")));
}

TEST_F(EditRoutes, AnAccountChangesOnlyItsOwnRecords)
{
    // even where the school lets teachers' own logins change class records, 周杰 reaches his
    // Wednesday class and not 孙丽's Saturday one; a student reaches only her own record
    CModule* classes = FindModule(MDU_EDURCD);
    const int saved = classes->m_nTeacherRights;
    classes->m_nTeacherRights |= RIGHT_MDF;
    LogIn(Who::Teacher);
    const QString key = QStringLiteral("%1_1_%2")
                            .arg(FieldPosAt(CDBEduRcd::StaticHeads(), XOFFSET(CDBEduRcd, m_students), XAR))
                            .arg(FieldPos(CDBEduRcdStudent::StaticHeads(), "Attence"));
    auto planned = [](int timetable, const char* day) {
        return QStringLiteral("<r><x id=\"333\">%1</x><x id=\"1047\">%2</x><x id=\"1048\">%2</x></r>")
            .arg(timetable)
            .arg(QLatin1String(day));
    };
    EXPECT_EQ(Call("setcol", {{"mduid", "334"}, {"query", planned(m_school.e2, "2026-03-14")}, {"key", key}}, "2")
                  .Code(),
              ERR_NotFound);
    EXPECT_EQ(Call("setcol", {{"mduid", "334"}, {"query", planned(m_school.e1, "2026-03-18")}, {"key", key}}, "2")
                  .Code(),
              ERR_OK);
    classes->m_nTeacherRights = saved;

    CModule* students = FindModule(MDU_STUDENT);
    const int savedStudent = students->m_nStudentRights;
    students->m_nStudentRights |= RIGHT_MDF;
    LogIn(Who::Student);
    const int memoPos = FieldPos(students->GetHeads(), QStringLiteral("RecordMemo"));
    const QString memoKey = QStringLiteral("0_0_%1").arg(memoPos);
    const QString other = QString::fromUtf8(IdQuery(m_school.s3));
    EXPECT_EQ(Call("setcol", {{"mduid", "321"}, {"query", other}, {"key", memoKey}}, "改了").Code(), ERR_NotFound);
    const QString own = QString::fromUtf8(IdQuery(m_school.s1));
    EXPECT_EQ(Call("setcol", {{"mduid", "321"}, {"query", own}, {"key", memoKey}}, "自己的").Code(), ERR_OK);
    students->m_nStudentRights = savedStudent;
}

} // namespace
