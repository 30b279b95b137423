// The query route and the pickers on the fixture school, answered over a socket pair as the
// connection thread would answer them, for identities put into web sessions directly.
#include "CDBStudent.h"
#include "CFakeAppServices.h"
#include "CHttpRequest.h"
#include "CHttpSession.h"
#include "CModuleEduRcd.h"
#include "CModulePrjQuery.h"
#include "CModuleTempl.h"
#include "CXDBSession.h"
#include "CXXmlDoc.h"
#include "FixtureSchool.h"
#include "CMD5.h"
#include "Resources.h"
#include "OpenDatabase.h"
#include "RecordWriter.h"
#include "ServeOnSocketPair.h"
#include "TransformXsl.h"
#include "WebQueryMap.h"
#include "WebResources.h"
#include "WebService.h"
#include "SqlPrepare.h"
#include "XPrinterCatalog.h"

#include <QtCore/QDebug>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>


#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <set>
#include <thread>

using namespace xInternet;

namespace {

const QString kSession = QStringLiteral("0123456789abcdef0123456789abcdef");

// One answer: the status and, for a page, the document's root with its children.
struct XAnswer
{
    int status = 0;
    QByteArray body;
    std::unique_ptr<CXXmlDoc> owner = std::make_unique<CXXmlDoc>();
    CXXmlDoc& doc = *owner; // the document outlives moves of the answer
    int root = 0;

    QString Root(const char* name) const { return doc.GetAttribute(root, QString::fromLatin1(name)); }
    // The positions of the root's children of that name, in order.
    QList<int> Children(const char* name)
    {
        QList<int> out;
        doc.m_nParentPos = 0;
        doc.m_nMainPos = root;
        doc.m_nChildPos = 0;
        while (doc.FindChildElement(QString::fromLatin1(name)))
            out.append(doc.m_nChildPos);
        return out;
    }
    QList<int> ChildrenOf(int parent, const char* name)
    {
        QList<int> out;
        doc.m_nMainPos = parent;
        doc.m_nChildPos = 0;
        while (doc.FindChildElement(QString::fromLatin1(name)))
            out.append(doc.m_nChildPos);
        return out;
    }
    std::set<int> ItemIds()
    {
        std::set<int> ids;
        for (int pos : Children("item"))
            ids.insert(doc.GetAttribute(pos, QStringLiteral("id")).toInt());
        return ids;
    }
    QString Attr(int pos, const char* name) const { return doc.GetAttribute(pos, QString::fromLatin1(name)); }
};

// Two printers of which one is a file queue.
class XTwoPrinters : public XPrinterCatalog
{
public:
    QList<XPrinterEntry> List() override
    {
        XPrinterEntry office{QStringLiteral("Office-Laser"), 0, {}, true};
        XPrinterEntry pdf{QStringLiteral("PDF"), 0, {}, false};
        XPrinterEntry front{QStringLiteral("Front-Desk"), 1, {QStringLiteral("缺纸")}, true};
        return physical ? QList<XPrinterEntry>{office, pdf, front} : QList<XPrinterEntry>{pdf};
    }
    bool Capabilities(const QString&, XPrinterCaps&) override { return true; }
    bool Submit(const QString&, const QString&, const XPrintSettings&, QString&) override { return false; }
    bool physical = true;
};

class QueryRoutes : public SchoolTest
{
protected:
    void SetUp() override
    {
        SchoolTest::SetUp();
        if (HasFailure())
            return;
        m_classes = std::make_unique<CModuleEduRcd>();
        m_templates = std::make_unique<CModuleTempl>();
        m_schemes = std::make_unique<CModulePrjQuery>();
        for (CModule* m : std::initializer_list<CModule*>{m_classes.get(), m_templates.get(), m_schemes.get()})
            RegisterModule(m);
        CXDBSession session;
        session.Connect();
        ASSERT_TRUE(MarkWritableColumns(session));
        InvalidateQuerySchemes();
    }
    void TearDown() override
    {
        {
            std::lock_guard lock(SessionLock());
            SessionMap().clear();
        }
        for (CModule* m : std::initializer_list<CModule*>{m_classes.get(), m_templates.get(), m_schemes.get()})
            UnregisterModule(m);
        SchoolTest::TearDown();
    }

    // The record of a student or teacher as a web identity.
    static CXItem* Identity(int mduId, int id)
    {
        CXArray found(nullptr, true);
        CXMap query;
        query.SetText(QKEY_IDS, QString::number(id));
        EXPECT_TRUE(FindModule(mduId)->QueryItems(found, query, true, true));
        EXPECT_EQ(found.GetSize(), 1);
        CXItem* identity = found.GetSize() ? found[0]->CopyTo(new CXItem) : new CXItem;
        identity->m_strSession = kSession;
        return identity;
    }

    // The session holds these identities, the first current (none: a session without login).
    void LogIn(std::initializer_list<std::pair<int, int>> identities)
    {
        std::lock_guard lock(SessionLock());
        SessionMap().clear();
        auto web = std::make_unique<CHttpSession>();
        for (auto [mdu, id] : identities)
            web->AddIdentity(Identity(mdu, id));
        SessionMap().emplace(kSession, std::move(web));
    }

    // Answers one request of the session the way the connection thread does.
    XAnswer Ask(const QString& path, const std::map<QString, QString>& params, const QByteArray& body = {})
    {
        const QByteArray sent = ServeOnSocketPair([&](int socket) {
            CHttpRequest request(socket);
            request.m_strMethod = body.isEmpty() ? "GET" : "POST";
            request.m_strPath = path;
            // a page of this server posts (a state-changing route asks who sent the form)
            request.m_strHead = request.m_strMethod + " /" + path.toUtf8() +
                                " HTTP/1.1\r\nHost: school.lan:8080\r\nOrigin: http://school.lan:8080\r\n\r\n";
            request.m_body = body;
            request.m_user.m_strSession = kSession;
            request.m_user.m_strIP = QStringLiteral("192.168.1.9");
            for (const auto& [k, v] : params)
                request.m_params.insert(k, v);
            {
                std::lock_guard lock(SessionLock());
                auto it = SessionMap().find(kSession);
                if (it != SessionMap().end() && it->second->GetCurrent())
                    it->second->GetCurrent()->CopyTo(&request.m_user);
            }
            DispatchRequest(request);
        });

        XAnswer answer;
        const qsizetype space = sent.indexOf(' ');
        answer.status = sent.mid(space + 1, 3).toInt();
        const qsizetype end = sent.indexOf("\r\n\r\n");
        answer.body = end < 0 ? QByteArray() : sent.mid(end + 4);
        if (!answer.body.isEmpty()) {
            EXPECT_TRUE(answer.doc.SetDocText(QString::fromUtf8(answer.body))) << answer.body.left(300).toStdString();
            answer.doc.m_nParentPos = answer.doc.m_nMainPos = answer.doc.m_nChildPos = 0;
            answer.doc.FindElement(QStringLiteral("r"));
            answer.root = answer.doc.m_nMainPos;
        }
        return answer;
    }

    XAnswer Query(int mduId, std::map<QString, QString> params = {}, const QByteArray& body = {})
    {
        params[QStringLiteral("mduid")] = QString::number(mduId);
        return Ask(QStringLiteral("query"), params, body);
    }

    std::set<int> ReceiptsOf(int student)
    {
        CXArray items(nullptr, true);
        CXMap query;
        query.SetText(QKEY_IDS, QString::number(student));
        EXPECT_TRUE(FindModule(MDU_STUDENT)->QueryItems(items, query, true, true));
        CXArray receipts(nullptr, true);
        CXMap byStudent;
        byStudent.SetPlainText(MDU_STUDENT, items[0]->GetLink());
        EXPECT_TRUE(FindModule(MDU_RECEIPT)->QueryItems(receipts, byStudent, true, false));
        std::set<int> ids;
        for (const CXItem* r : receipts)
            ids.insert(r->m_nID);
        return ids;
    }

    std::unique_ptr<CModuleEduRcd> m_classes;
    std::unique_ptr<CModuleTempl> m_templates;
    std::unique_ptr<CModulePrjQuery> m_schemes;
};

// --- the sanitiser --------------------------------------------------------------------

TEST_F(QueryRoutes, WebMapsKeepOnlyWhatParses)
{
    const CModule& classes = *FindModule(MDU_EDURCD);
    struct Case
    {
        int key;
        const char* in;
        const char* out; // null: the map is refused
    } cases[] = {
        {QKEY_IDS, "3, 5|7", "3,5,7"},
        {QKEY_IDS, "<a href=\"xl:334:15\">x</a><a href=\"xl:334:16\">y</a>", "15,16"},
        {QKEY_IDS, "1) OR (1=1", nullptr},
        {QKEY_IDS, "SELECT ID FROM TB_TEACHER", nullptr},
        {QKEY_NOT_IDS, "4 UNION SELECT UserPassword FROM TB_TEACHER", nullptr},
        {MDU_STUDENT, "<a href=\"xl:321:4\">A&amp;B</a>", "<a href=\"xl:321:4\">A&amp;B</a>"},
        {MDU_STUDENT, "4,9", "4,9"},
        {MDU_STUDENT, "4) OR 1=1 --", nullptr},
        {MDU_STUDENT, "<b>4</b>", nullptr},
        {1242, "1|3", "1,3"},
        {1242, "1,3", "1,3"},
        {1242, "", ""},
        {1242, "0);DELETE FROM TB_STUDENT;--", nullptr},
        {QKEY_DATE_FROM, "2026-03-01", "2026-03-01"},
        {QKEY_DATE_FROM, "2026-03-01') OR ('1'='1", nullptr},
        {ID_FIND_WHAT, "O'Brien %_", "O'Brien %_"},
        {9999, "1", ""},          // unknown: dropped
        {IDC_ENABLED, "1", ""},   // not this module's: dropped
        {MDU_TEACHER, "", ""},    // an empty reference list reads as no records
    };
    for (const Case& c : cases) {
        CXMap raw;
        raw.SetPlainText(c.key, QString::fromUtf8(c.in));
        const std::optional<CXMap> clean = WebQueryMap(classes, raw);
        if (!c.out) {
            EXPECT_FALSE(clean.has_value()) << c.key << " " << c.in;
            continue;
        }
        ASSERT_TRUE(clean.has_value()) << c.key << " " << c.in;
        const bool dropped = c.key == 9999 || c.key == IDC_ENABLED;
        EXPECT_EQ(clean->Has(c.key), !dropped) << c.key;
        if (c.key == MDU_TEACHER)
            EXPECT_EQ(clean->GetText(c.key), "0");
        else
            EXPECT_EQ(clean->GetText(c.key), QString::fromUtf8(c.out)) << c.key << " " << c.in;
    }

    // the find text is bounded and loses control characters
    CXMap raw;
    raw.SetPlainText(ID_FIND_WHAT, QStringLiteral("a\nb") + QString(300, u'x'));
    const std::optional<CXMap> clean = WebQueryMap(classes, raw);
    ASSERT_TRUE(clean);
    EXPECT_EQ(clean->GetText(ID_FIND_WHAT).size(), kMaxWebFindText);
    EXPECT_TRUE(clean->GetText(ID_FIND_WHAT).startsWith(QStringLiteral("abx")));
}

TEST_F(QueryRoutes, RoleZeroReadsOnlyItsOwnRecords)
{
    CXItem student;
    student.m_nMduID = MDU_STUDENT;
    student.m_nID = m_school.s3;
    student.m_strName = QStringLiteral("李四");
    CXMap query;
    EXPECT_TRUE(NarrowToOwnRecords(*FindModule(MDU_RECEIPT), student, query));
    EXPECT_EQ(query.GetIdList(MDU_STUDENT), QString::number(m_school.s3));
    query.RemoveAll();
    EXPECT_TRUE(NarrowToOwnRecords(*FindModule(MDU_STUDENT), student, query));
    EXPECT_EQ(query.GetText(QKEY_IDS), QString::number(m_school.s3));
    // the course list has no way to tell a student's courses: nothing is read
    query.RemoveAll();
    EXPECT_FALSE(NarrowToOwnRecords(*FindModule(MDU_COURSE), student, query));
    student.m_nRightRole = 1;
    query.RemoveAll();
    EXPECT_TRUE(NarrowToOwnRecords(*FindModule(MDU_COURSE), student, query));
    EXPECT_TRUE(query.IsEmpty());
}

// --- the query route ------------------------------------------------------------------

TEST_F(QueryRoutes, PagesOfThirtyClampedToTheLastAndFirst)
{
    for (int i = 0; i < 59; ++i) {
        CDBStudent student;
        student.m_strRealName = QStringLiteral("学员%1").arg(i, 2, 10, QLatin1Char('0'));
        student.Validate(&FixtureUser(), true);
        ASSERT_TRUE(SaveItem(nullptr, &student, nullptr, FixtureUser()));
    }
    LogIn({{MDU_TEACHER, m_school.t1}});
    struct Case
    {
        const char* page;
        int index, items;
    } cases[] = {{"0", 0, 30}, {"1", 1, 30}, {"7", 2, 5}, {"-1", 0, 30}};
    std::set<int> seen;
    for (const Case& c : cases) {
        XAnswer a = Query(MDU_STUDENT, {{"query", ""}, {"page", c.page}});
        ASSERT_EQ(a.status, 200);
        EXPECT_EQ(a.Root("itemcount"), "65");
        EXPECT_EQ(a.Root("pagecount"), "3");
        EXPECT_EQ(a.Root("perpage"), "30");
        EXPECT_EQ(a.Root("pageindex"), QString::number(c.index)) << c.page;
        const std::set<int> ids = a.ItemIds();
        EXPECT_EQ(static_cast<int>(ids.size()), c.items) << c.page;
        seen.insert(ids.begin(), ids.end());
    }
    EXPECT_EQ(seen.size(), 65u); // the pages together hold every record once

    XAnswer none = Query(MDU_STUDENT, {{"query", "<r><x id=\"1\">999999</x></r>"}, {"page", "2"}});
    EXPECT_EQ(none.Root("itemcount"), "0");
    EXPECT_EQ(none.Root("pagecount"), "0");
    EXPECT_EQ(none.Root("pageindex"), "0");
    EXPECT_TRUE(none.Children("item").isEmpty());
}

TEST_F(QueryRoutes, DefaultSchemeUnlessTheQueryIsGivenEmpty)
{
    LogIn({{MDU_TEACHER, m_school.t1}});
    // no query at all: the first scheme for operators and administrators, marked current
    XAnswer first = Query(MDU_STUDENT);
    ASSERT_EQ(first.status, 200);
    QList<int> querys = first.Children("querys");
    ASSERT_EQ(querys.size(), 1);
    QList<int> schemes = first.ChildrenOf(querys[0], "query");
    ASSERT_FALSE(schemes.isEmpty());
    EXPECT_EQ(first.Attr(schemes[0], "name"), QStringLiteral("近一年有活动"));
    EXPECT_EQ(first.Attr(schemes[0], "curr"), "1");
    EXPECT_EQ(first.Root("query"), first.doc.GetText(schemes[0]));
    EXPECT_EQ(first.Root("queryname"), QStringLiteral("近一年有活动"));

    // "query=" with nothing: every record; only the scheme with an empty map is current
    XAnswer all = Query(MDU_STUDENT, {{"query", ""}});
    EXPECT_EQ(all.Root("itemcount"), "6");
    EXPECT_EQ(all.Root("query"), "");
    querys = all.Children("querys");
    ASSERT_EQ(querys.size(), 1);
    int current = 0;
    for (int pos : all.ChildrenOf(querys[0], "query")) {
        if (all.Attr(pos, "curr") == "1") {
            ++current;
            EXPECT_EQ(all.Attr(pos, "name"), QStringLiteral("全部"));
        }
    }
    EXPECT_EQ(current, 1);
    EXPECT_EQ(all.Children("QueryConditions").size(), 1);
}

TEST_F(QueryRoutes, SchemesFollowTheAudienceOfTheRole)
{
    // class records: 本周/上周/下周 for all, 本月.. for accounts, 今天.. for operators
    auto names = [this](XAnswer& a) {
        QStringList out;
        for (int q : a.Children("querys"))
            for (int pos : a.ChildrenOf(q, "query"))
                out << a.Attr(pos, "name");
        return out;
    };
    LogIn({{MDU_TEACHER, m_school.t3}});
    XAnswer teacher = Query(MDU_EDURCD);
    ASSERT_EQ(teacher.status, 200);
    const QStringList forAccounts = names(teacher);
    EXPECT_TRUE(forAccounts.contains(QStringLiteral("本周")));
    EXPECT_TRUE(forAccounts.contains(QStringLiteral("本月")));
    EXPECT_FALSE(forAccounts.contains(QStringLiteral("今天")));

    LogIn({{MDU_TEACHER, m_school.t1}});
    XAnswer admin = Query(MDU_EDURCD);
    const QStringList forOperators = names(admin);
    EXPECT_TRUE(forOperators.contains(QStringLiteral("本周")));
    EXPECT_TRUE(forOperators.contains(QStringLiteral("今天")));
    EXPECT_FALSE(forOperators.contains(QStringLiteral("本月")));
    EXPECT_EQ(admin.Root("queryname"), QStringLiteral("本周"));
    EXPECT_NE(admin.Root("queryprev"), "");
}

TEST_F(QueryRoutes, AccountsSeeTheirOwnRecordsWhileThePageShowsTheirQuery)
{
    LogIn({{MDU_STUDENT, m_school.s3}});
    XAnswer receipts = Query(MDU_RECEIPT, {{"query", ""}});
    ASSERT_EQ(receipts.status, 200);
    EXPECT_EQ(receipts.ItemIds(), ReceiptsOf(m_school.s3));
    EXPECT_EQ(receipts.ItemIds(), (std::set<int>{m_school.r2, m_school.r3}));
    EXPECT_EQ(receipts.Root("query"), ""); // the unnarrowed query

    // asking for another student's receipts still lists only one's own
    XAnswer other = Query(MDU_RECEIPT, {{"query", QStringLiteral("<r><x id=\"321\">%1</x></r>").arg(m_school.s1)}});
    EXPECT_EQ(other.ItemIds(), ReceiptsOf(m_school.s3));

    // class records: S3 is in no timetable, S1 in both; the teacher T3 teaches E1 only
    const std::map<QString, QString> thisMonth = {
        {"query", "<r><x id=\"1047\">2026-03-01</x><x id=\"1048\">2026-03-31</x></r>"}};
    XAnswer none = Query(MDU_EDURCD, thisMonth);
    ASSERT_EQ(none.status, 200);
    EXPECT_EQ(none.Root("itemcount"), "0");
    LogIn({{MDU_STUDENT, m_school.s1}});
    XAnswer s1 = Query(MDU_EDURCD, thisMonth);
    EXPECT_EQ(s1.Root("spec"), "1"); // one designated student: the student's own lines
    LogIn({{MDU_TEACHER, m_school.t3}});
    XAnswer t3 = Query(MDU_EDURCD, thisMonth);
    LogIn({{MDU_TEACHER, m_school.t1}});
    XAnswer admin = Query(MDU_EDURCD, thisMonth);
    const int all = admin.Root("itemcount").toInt();
    EXPECT_GT(all, 0);
    EXPECT_EQ(s1.Root("itemcount").toInt(), all);
    EXPECT_GT(t3.Root("itemcount").toInt(), 0);
    EXPECT_LT(t3.Root("itemcount").toInt(), all);

    // a student's student list is the student alone
    LogIn({{MDU_STUDENT, m_school.s3}});
    EXPECT_EQ(Query(MDU_STUDENT).status, 400); // students may not list students at all
}

TEST_F(QueryRoutes, OneRecordPages)
{
    LogIn({{MDU_TEACHER, m_school.t1}});
    XAnswer one = Query(MDU_RECEIPT, {{"one", "1"}, {"id", QString::number(m_school.r1)}});
    ASSERT_EQ(one.status, 200);
    EXPECT_EQ(one.ItemIds(), std::set<int>{m_school.r1});
    EXPECT_TRUE(one.Children("querys").isEmpty());
    EXPECT_TRUE(one.Children("QueryConditions").isEmpty());
    EXPECT_TRUE(one.Children("tmpls").isEmpty()); // no module here may send messages
    const QList<int> items = one.Children("item");
    ASSERT_EQ(items.size(), 1);
    EXPECT_FALSE(one.ChildrenOf(items[0], "col").isEmpty());
    EXPECT_EQ(one.Attr(items[0], "wxrcvercount"), "");

    EXPECT_EQ(Query(MDU_RECEIPT, {{"one", "1"}}).status, 400);
    EXPECT_EQ(Query(MDU_RECEIPT, {{"one", "1"}, {"query", ""}}).status, 400);
    EXPECT_EQ(Query(0).status, 400);
    EXPECT_EQ(Query(999).status, 400);
}

TEST_F(QueryRoutes, NoPageCarriesAPasswordHash)
{
    const QString hash = Md5HexW(QStringLiteral("secret-of-t3"));
    ASSERT_TRUE(Exec(QStringLiteral("UPDATE TB_TEACHER SET UserPassword='%1' WHERE ID=%2").arg(hash).arg(m_school.t3)));
    CFakeAppServices::Installed().setup[QStringLiteral("DefaultPwd0")] = QStringLiteral("583920");
    LogIn({{MDU_TEACHER, m_school.t1}});
    for (const char* one : {"0", "1"}) {
        XAnswer a = Query(MDU_TEACHER, {{"one", one}, {"query", ""}, {"id", QString::number(m_school.t3)}});
        ASSERT_EQ(a.status, 200);
        EXPECT_FALSE(a.body.contains(hash.toUtf8())) << one;
        EXPECT_FALSE(a.body.contains(hash.toUpper().toUtf8())) << one;
        EXPECT_EQ(a.Root("defaultpwd"), "583920");
    }
    XAnswer detail = Query(MDU_TEACHER, {{"one", "1"}, {"id", QString::number(m_school.t3)}});
    const QList<int> items = detail.Children("item");
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(detail.Attr(items[0], "isdefaultpwd"), "0");

    // the default password is for administrators: an operator may query teachers too
    ASSERT_TRUE(Exec(QStringLiteral("UPDATE TB_TEACHER SET RightData='<r><x id=\"322\">2</x></r>' WHERE ID=%1")
                         .arg(m_school.t2)));
    LogIn({{MDU_TEACHER, m_school.t2}});
    XAnswer oper = Query(MDU_TEACHER, {{"query", ""}});
    ASSERT_EQ(oper.status, 200);
    EXPECT_EQ(oper.Root("defaultpwd"), "");
    CFakeAppServices::Installed().setup.clear();
}

TEST_F(QueryRoutes, ConditionsShowTheQuery)
{
    LogIn({{MDU_TEACHER, m_school.t1}});
    // "|" from older maps, "," from the web: both mark their choices, and the query comes
    // back with commas
    for (const char* days : {"1|3", "1,3"}) {
        XAnswer a = Query(MDU_EDURCD, {{"query", QStringLiteral("<r><x id=\"1242\">%1</x><x id=\"321\">"
                                                                "&lt;a href=\"xl:321:%2\"&gt;张三&lt;/a&gt;</x></r>")
                                                     .arg(QString::fromLatin1(days))
                                                     .arg(m_school.s1)}});
        ASSERT_EQ(a.status, 200) << days;
        EXPECT_EQ(CXMap(a.Root("query")).GetText(1242), "1,3");
        const QList<int> conditions = a.Children("QueryConditions");
        ASSERT_EQ(conditions.size(), 1);
        bool sawDays = false, sawStudent = false;
        for (int c : a.ChildrenOf(conditions[0], "condition")) {
            if (a.Attr(c, "id") == "1242") {
                sawDays = true;
                EXPECT_EQ(a.Attr(c, "type"), "5");
                EXPECT_EQ(a.Attr(c, "set"), "1");
                QStringList checked;
                for (int o : a.ChildrenOf(c, "option"))
                    if (a.Attr(o, "checked") == "1")
                        checked << a.Attr(o, "val");
                EXPECT_EQ(checked, (QStringList{"1", "3"})) << days;
            } else if (a.Attr(c, "id") == "321") {
                sawStudent = true;
                EXPECT_EQ(a.Attr(c, "set"), "1");
                const QList<int> refs = a.ChildrenOf(c, "item");
                ASSERT_EQ(refs.size(), 1);
                EXPECT_EQ(a.doc.GetText(refs[0]), QStringLiteral("张三"));
                EXPECT_EQ(a.Attr(refs[0], "itemid"), QString::number(m_school.s1));
            } else if (a.Attr(c, "id") == "1047") {
                EXPECT_EQ(a.Attr(c, "set"), "0");
                EXPECT_EQ(a.Attr(c, "val"), "2026-03-18"); // the option's default: today
            }
        }
        EXPECT_TRUE(sawDays && sawStudent);
    }
}


TEST_F(QueryRoutes, MessageLinksSwitchTheSessionsIdentity)
{
    LogIn({{MDU_TEACHER, m_school.t3}, {MDU_STUDENT, m_school.s1}});
    const QString logins = QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=0");
    const double before = QueryNumber(logins);
    XAnswer a = Query(MDU_RECEIPT, {{"query", ""},
                                    {"usermduid", QString::number(MDU_STUDENT)},
                                    {"userid", QString::number(m_school.s1)}});
    ASSERT_EQ(a.status, 200); // the teacher may not read receipts; the student may
    EXPECT_EQ(a.ItemIds(), ReceiptsOf(m_school.s1));
    EXPECT_EQ(QueryNumber(logins), before + 1);
    {
        std::lock_guard lock(SessionLock());
        const CXItem* current = SessionMap()[kSession]->GetCurrent();
        EXPECT_EQ(current->m_nMduID, MDU_STUDENT);
        EXPECT_EQ(current->m_nID, m_school.s1);
    }
    // later requests of the session act as the student
    EXPECT_EQ(Query(MDU_RECEIPT, {{"query", ""}}).ItemIds(), ReceiptsOf(m_school.s1));

    // an identity the session does not hold
    XAnswer gone = Query(MDU_EDURCD, {{"usermduid", QString::number(MDU_STUDENT)},
                                      {"userid", QString::number(m_school.s3)}});
    ASSERT_EQ(gone.status, 200);
    EXPECT_EQ(gone.Root("errid"), "101");
    EXPECT_EQ(gone.Root("errmsg"), QStringLiteral("登录已过期！"));
    std::lock_guard lock(SessionLock());
    EXPECT_EQ(SessionMap()[kSession]->GetCurrent()->m_nID, m_school.s1);
}

TEST_F(QueryRoutes, InjectionThroughTheQueryIsRefusedOrHarmless)
{
    LogIn({{MDU_TEACHER, m_school.t1}});
    const double students = QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_STUDENT"));
    const char* refused[] = {
        "<r><x id=\"1\">0) OR (1=1</x></r>",
        "<r><x id=\"2\">0) OR (1=1</x></r>",
        "<r><x id=\"321\">1) OR 1=1 --</x></r>",
        "<r><x id=\"328\">1);DELETE FROM TB_STUDENT;--</x></r>",
        "<r><x id=\"1242\">0) OR (1=1</x></r>",
        "<r><x id=\"1065\">1,2) OR (1=1</x></r>",
        "<r><x id=\"1047\">0 OR 1=1</x></r>",
    };
    for (const char* q : refused) {
        EXPECT_EQ(Query(MDU_EDURCD, {{"query", QString::fromUtf8(q)}}).status, 400) << q;
        EXPECT_EQ(Query(MDU_EDURCD, {}, QByteArray(q)).status, 400) << q;
        EXPECT_EQ(Ask(QStringLiteral("selitem"), {{"mduid", "334"}}, QByteArray(q)).status, 400) << q;
    }
    // a find text is looked for literally
    XAnswer find = Query(MDU_STUDENT, {{"query", "<r><x id=\"33208\">' OR '1'='1</x></r>"}});
    ASSERT_EQ(find.status, 200);
    EXPECT_EQ(find.Root("itemcount"), "0");
    XAnswer pattern = Query(MDU_STUDENT, {{"query", "<r><x id=\"33208\">%</x></r>"}});
    EXPECT_EQ(pattern.Root("itemcount"), "0");
    EXPECT_EQ(QueryNumber(QStringLiteral("SELECT COUNT(*) FROM TB_STUDENT")), students);
}

// --- the pickers ----------------------------------------------------------------------

TEST_F(QueryRoutes, RecordPickerNarrowsLikeTheList)
{
    LogIn({{MDU_STUDENT, m_school.s1}});
    XAnswer mine = Ask(QStringLiteral("selitem"), {{"mduid", "331"}}, QByteArray("<r></r>"));
    ASSERT_EQ(mine.status, 200);
    EXPECT_EQ(mine.Root("errid"), "100");
    EXPECT_EQ(mine.Root("itemtype"), LoadCommandText(MDU_RECEIPT));
    std::set<int> ids;
    for (int col : mine.Children("col")) {
        ids.insert(mine.Attr(col, "id").toInt());
        EXPECT_FALSE(mine.doc.GetText(col).isEmpty());
    }
    EXPECT_EQ(ids, ReceiptsOf(m_school.s1));
    LogIn({{MDU_TEACHER, m_school.t1}});
    XAnswer all = Ask(QStringLiteral("selitem"), {{"mduid", "331"}}, QByteArray("<r></r>"));
    EXPECT_EQ(all.Children("col").size(), 7);
}

TEST_F(QueryRoutes, InputHistoryMostUsedFirstFromWhitelistedColumnsOnly)
{
    const QString memo = QStringLiteral("UPDATE TB_RECEIPT SET RecordMemo='%1' WHERE ID IN (%2)");
    ASSERT_TRUE(Exec(memo.arg(QStringLiteral("分期付款"), QStringLiteral("%1,%2,%3").arg(m_school.r1).arg(m_school.r2).arg(m_school.r4))));
    ASSERT_TRUE(Exec(memo.arg(QStringLiteral("转介绍")).arg(m_school.r5)));
    LogIn({{MDU_TEACHER, m_school.t2}}); // may add receipts
    XAnswer a = Ask(QStringLiteral("selhist"), {{"tab", "tb_receipt"}, {"col", "recordmemo"}});
    ASSERT_EQ(a.status, 200);
    EXPECT_EQ(a.Root("itemunit"), QStringLiteral("条"));
    EXPECT_EQ(a.Root("itemtype"), QStringLiteral("历史记录"));
    const QList<int> cols = a.Children("col");
    ASSERT_EQ(cols.size(), 2);
    EXPECT_EQ(a.doc.GetText(cols[0]), QStringLiteral("分期付款"));
    EXPECT_EQ(a.Attr(cols[0], "mark"), QStringLiteral("3 引用"));
    EXPECT_EQ(a.Attr(cols[0], "id"), "0");
    EXPECT_EQ(a.doc.GetText(cols[1]), QStringLiteral("转介绍"));
    EXPECT_EQ(a.Attr(cols[1], "mark"), QStringLiteral("1 引用"));

    ASSERT_TRUE(Exec(QStringLiteral("UPDATE TB_TEACHER SET UserPassword='%1'").arg(Md5HexW(QStringLiteral("x")))));
    LogIn({{MDU_TEACHER, m_school.t1}});
    const std::pair<const char*, const char*> refused[] = {
        {"TB_TEACHER", "UserPassword"},
        {"TB_STUDENT", "UserPassword"},
        {"TB_RECEIPT", "RecordMemo FROM TB_TEACHER --"},
        {"TB_RECEIPT WHERE 1=1 --", "RecordMemo"},
        {"sqlite_master", "sql"},
        {"TB_RECEIPT", "ID"},
        {"TB_RECEIPT", ""},
        {"", "RecordMemo"},
    };
    for (auto [tab, col] : refused) {
        XAnswer r = Ask(QStringLiteral("selhist"), {{"tab", tab}, {"col", col}});
        EXPECT_EQ(r.status, 400) << tab << " " << col;
        EXPECT_TRUE(r.body.isEmpty());
    }
}

TEST_F(QueryRoutes, PrinterAndTemplatePickers)
{
    XTwoPrinters printers;
    XPrinterCatalog* previous = SetPrinterCatalog(&printers);
    LogIn({{MDU_TEACHER, m_school.t1}});
    XAnswer a = Ask(QStringLiteral("selprinter"), {});
    ASSERT_EQ(a.status, 200);
    EXPECT_EQ(a.Root("itemtype"), QStringLiteral("打印机"));
    EXPECT_EQ(a.Root("itemunit"), QStringLiteral("个"));
    const QList<int> cols = a.Children("col");
    ASSERT_EQ(cols.size(), 2); // the file queue is no printer
    EXPECT_EQ(a.doc.GetText(cols[0]), "Office-Laser");
    EXPECT_EQ(a.Attr(cols[0], "mark"), QStringLiteral("就绪"));
    EXPECT_EQ(a.Attr(cols[0], "id"), "0");
    EXPECT_TRUE(a.Attr(cols[1], "mark").contains(QStringLiteral("缺纸")));
    printers.physical = false;
    EXPECT_TRUE(Ask(QStringLiteral("selprinter"), {}).Children("col").isEmpty());
    SetPrinterCatalog(previous);

    // templates: the enabled ones of the module, none for a module without any
    CXArray own(nullptr, true);
    CXMap enabled;
    enabled.SetPlainText(IDC_ENABLED, QStringLiteral("1"));
    enabled.SetPlainText(QKEY_MODULE, QString::number(MDU_COLLECT));
    ASSERT_TRUE(FindModule(MDU_TEMPL)->QueryItems(own, enabled, true, false));
    XAnswer templ = Ask(QStringLiteral("seltempl"), {{"mduid", QString::number(MDU_COLLECT)}});
    ASSERT_EQ(templ.status, 200);
    EXPECT_EQ(templ.Root("itemtype"), LoadCommandText(MDU_TEMPL));
    EXPECT_EQ(templ.Children("col").size(), own.GetSize());
    ASSERT_TRUE(Exec(QStringLiteral("UPDATE TB_TEMPL SET IsEnabled=0")));
    EXPECT_TRUE(Ask(QStringLiteral("seltempl"), {{"mduid", QString::number(MDU_COLLECT)}}).Children("col").isEmpty());
}

// --- who may use what -----------------------------------------------------------------

TEST_F(QueryRoutes, AuthorisationMatrix)
{
    ASSERT_TRUE(Exec(QStringLiteral("UPDATE TB_RECEIPT SET RecordMemo='分期付款'")));
    XTwoPrinters printers;
    XPrinterCatalog* previous = SetPrinterCatalog(&printers);
    enum Who { None, Student, OtherStudent, Teacher, Operator, Admin };
    const std::pair<int, int> identities[] = {{0, 0},
                                              {MDU_STUDENT, m_school.s1},
                                              {MDU_STUDENT, m_school.s3},
                                              {MDU_TEACHER, m_school.t3},
                                              {MDU_TEACHER, m_school.t2},
                                              {MDU_TEACHER, m_school.t1}};
    struct Route
    {
        const char* path;
        std::map<QString, QString> params;
        QByteArray body;
        int expected[6]; // status per identity, in the order above
    } routes[] = {
        {"query", {{"mduid", "331"}, {"query", ""}}, {}, {400, 200, 200, 400, 200, 200}},
        {"query", {{"mduid", "321"}, {"query", ""}}, {}, {400, 400, 400, 400, 400, 200}},
        {"query", {{"mduid", "334"}, {"query", ""}}, {}, {400, 200, 200, 200, 200, 200}},
        {"query", {{"mduid", "328"}, {"query", ""}}, {}, {400, 400, 400, 400, 400, 200}},
        {"selitem", {{"mduid", "331"}}, "<r/>", {400, 200, 200, 400, 200, 200}},
        {"selitem", {{"mduid", "322"}}, "<r/>", {400, 400, 400, 400, 400, 200}},
        {"selprinter", {}, {}, {400, 400, 400, 400, 400, 200}},
        {"seltempl", {{"mduid", "331"}}, {}, {400, 400, 400, 400, 400, 200}},
        {"selhist", {{"tab", "TB_RECEIPT"}, {"col", "RecordMemo"}}, {}, {400, 400, 400, 400, 200, 200}},
        // the account routes that act on someone else's account: administrators only
        {"resetpwd", {{"mduid", "321"}, {"id", QString::number(m_school.s3)}}, "x", {400, 400, 400, 400, 400, 200}},
        {"logout", {{"mduid", "321"}, {"id", QString::number(m_school.s3)}}, "x", {400, 400, 400, 400, 400, 200}},
        {"bind", {}, {}, {200, 200, 200, 200, 200, 200}},
    };
    std::set<int> seenBy[2];
    for (int who = None; who <= Admin; ++who) {
        if (who == None)
            LogIn({});
        else
            LogIn({identities[who]});
        for (Route& r : routes) {
            XAnswer a = Ask(QString::fromLatin1(r.path), r.params, r.body);
            const std::string cell = std::string(r.path) + " " +
                                     (r.params.empty() ? std::string() : r.params.begin()->second.toStdString()) +
                                     " as " + std::to_string(who);
            EXPECT_EQ(a.status, r.expected[who]) << cell;
            if (a.status == 400) {
                EXPECT_TRUE(a.body.isEmpty()) << cell;
            }
            const bool receiptList = r.params.count("mduid") && r.params.at("mduid") == "331" &&
                                     QByteArray(r.path) != "seltempl";
            if (a.status != 200 || !receiptList)
                continue;
            std::set<int> ids = a.ItemIds();
            for (int col : a.Children("col"))
                ids.insert(a.Attr(col, "id").toInt());
            if (who == Student || who == OtherStudent) {
                EXPECT_EQ(ids, ReceiptsOf(identities[who].second)) << r.path;
                seenBy[who - Student].insert(ids.begin(), ids.end());
            } else {
                EXPECT_EQ(ids.size(), 7u) << r.path << " as " << who;
            }
        }
    }
    // one student's receipts are never among the other's
    for (int id : seenBy[0])
        EXPECT_EQ(seenBy[1].count(id), 0u) << id;
    SetPrinterCatalog(previous);
}

} // namespace

// --- the record pages -----------------------------------------------------------------

namespace {

// The page through the sheet as a browser would style it: the sheet and the frame it imports
// side by side, with the symbols the server replaces when it serves them.
QString Render(const QByteArray& page, const char* sheet, const QString& params = QString())
{
    XSheetParams args;
    if (!params.isEmpty())
        args.emplace_back("update", params);
    const QString html = TransformNamedSheet(page, QString::fromLatin1(sheet).section(u'-', 1), args, WebSheets());
    EXPECT_FALSE(html.isEmpty()) << sheet;
    return html;
}

// The "query" parameter of the first link of the page whose address begins so, as the
// server reads it.
QString QueryOfLink(const QString& html, const QString& begins)
{
    const QRegularExpression href(QStringLiteral("href=\"(") + QRegularExpression::escape(begins) +
                                  QStringLiteral("[^\"]*)\""));
    const QRegularExpressionMatch link = href.match(html);
    EXPECT_TRUE(link.hasMatch()) << begins.toStdString();
    QString address = link.captured(1);
    address.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    address.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    XParamMap params;
    ParseQueryParams(address.mid(address.indexOf(u'?') + 1).toUtf8(), params);
    return params.value(QStringLiteral("query"));
}

} // namespace

TEST_F(QueryRoutes, TeacherListsThisWeeksClassesAndOpensOne)
{
    LogIn({{MDU_TEACHER, m_school.t3}});
    XAnswer week = Query(MDU_EDURCD, {{"xsl", "items"}}); // the first scheme: this week
    ASSERT_EQ(week.status, 200);
    EXPECT_TRUE(week.body.contains("<?xml-stylesheet type=\"text/xsl\" href=\"items.xsl\"?>"));
    const QList<int> items = week.Children("item");
    ASSERT_EQ(items.size(), 1); // E1 on Wednesday 2026-03-18
    const QString list = Render(week.body, "465-items.xsl");
    EXPECT_TRUE(list.contains(QStringLiteral("<title>课堂记录 - 本周</title>")));
    EXPECT_TRUE(list.contains(QStringLiteral("共 1 ")));
    EXPECT_TRUE(list.contains(QStringLiteral("class=\"button small\"")));        // the current scheme
    EXPECT_EQ(list.count(QStringLiteral("class=\"button small secondary\"")), 5); // the others
    EXPECT_TRUE(list.contains(QStringLiteral("‹ 上一期")));
    // the record opens by its query (a planned class has no ID of its own yet), with the
    // characters that would cut the parameter short encoded
    EXPECT_EQ(week.Attr(items[0], "id"), "0");
    const QString query = week.Attr(items[0], "query");
    EXPECT_EQ(QueryOfLink(list, QStringLiteral("query?mduid=334&amp;one=1")), query);
    EXPECT_TRUE(list.contains(week.Attr(items[0], "name")));
    EXPECT_FALSE(list.contains(QStringLiteral("第 1 / 1 页"))); // one page: no pager
    EXPECT_FALSE(list.contains(QStringLiteral("新建"))); // a teacher account may not add

    XAnswer one = Query(MDU_EDURCD, {{"one", "1"}, {"query", week.Attr(items[0], "query")}, {"xsl", "detail"}});
    ASSERT_EQ(one.status, 200);
    const QString detail = Render(one.body, "461-detail.xsl");
    EXPECT_TRUE(detail.contains(QStringLiteral("<td class=\"cap\" colspan=\"2\">学员</td>")));
    EXPECT_TRUE(detail.contains(QStringLiteral("<span>张三 (小明)<small>")));
    EXPECT_TRUE(detail.contains(QStringLiteral("<span>陈七<small>")));
    EXPECT_TRUE(detail.contains(QStringLiteral("<small>剩余课时：15-17=-2</small>")));
    EXPECT_TRUE(detail.contains(QStringLiteral("琴房一")));
    EXPECT_FALSE(detail.contains(QStringLiteral(">修改</button>"))); // no right to change it

    // the partial refresh: the body alone
    const QString fragment = Render(one.body, "461-detail.xsl", QStringLiteral("1"));
    EXPECT_FALSE(fragment.contains(QStringLiteral("<html")));
    EXPECT_TRUE(fragment.contains(QStringLiteral("<span>陈七<small>")));
}

TEST_F(QueryRoutes, StudentSeesReceiptsWithLessonsLeft)
{
    LogIn({{MDU_STUDENT, m_school.s3}});
    XAnswer receipts = Query(MDU_RECEIPT, {{"query", ""}, {"xsl", "items"}});
    ASSERT_EQ(receipts.status, 200);
    const QString list = Render(receipts.body, "465-items.xsl");
    const QList<int> items = receipts.Children("item");
    ASSERT_EQ(items.size(), 2);
    for (int item : items)
        EXPECT_TRUE(list.contains(receipts.Attr(item, "name").toHtmlEscaped()));

    XAnswer one = Query(MDU_RECEIPT, {{"one", "1"}, {"id", QString::number(m_school.r2)}, {"xsl", "detail"}});
    ASSERT_EQ(one.status, 200);
    const QString detail = Render(one.body, "461-detail.xsl");
    EXPECT_TRUE(detail.contains(QStringLiteral("<td class=\"cap\">剩余课时</td><td>12-8₋₄=0</td>")));
    EXPECT_TRUE(detail.contains(QStringLiteral("<td>¥960.00</td>"))); // the amount's sign once
    // another student's receipt cannot be read by this student (the failed read is reported)
    ErrorCapture reports;
    XAnswer other = Query(MDU_RECEIPT, {{"one", "1"}, {"id", QString::number(m_school.r1)}, {"xsl", "detail"}});
    EXPECT_EQ(other.status, 404);
    EXPECT_TRUE(other.body.isEmpty());
    EXPECT_EQ(reports.reports.size(), 1u);
}

TEST_F(QueryRoutes, PagesEscapeWhatUsersTypedAndPageThroughLongLists)
{
    for (int i = 0; i < 40; ++i) {
        CDBStudent student;
        student.m_strRealName = i ? QStringLiteral("学员%1").arg(i) : QStringLiteral("<script>alert(1)</script>");
        student.m_strMemo = QStringLiteral("\"><img src=x onerror=alert(2)>");
        student.Validate(&FixtureUser(), true);
        ASSERT_TRUE(SaveItem(nullptr, &student, nullptr, FixtureUser()));
    }
    LogIn({{MDU_TEACHER, m_school.t1}});
    XAnswer a = Query(MDU_STUDENT,
                      {{"query", "<r><x id=\"33208\">&lt;script&gt;</x></r>"}, {"page", "0"}, {"xsl", "items"}});
    ASSERT_EQ(a.status, 200);
    const QString found = Render(a.body, "465-items.xsl");
    EXPECT_FALSE(found.contains(QStringLiteral("<script>alert")));
    EXPECT_TRUE(found.contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;")));
    EXPECT_EQ(a.Root("itemcount"), "1");

    XAnswer page = Query(MDU_STUDENT, {{"query", ""}, {"page", "1"}, {"xsl", "items"}});
    const QString second = Render(page.body, "465-items.xsl");
    EXPECT_TRUE(second.contains(QStringLiteral("第 2 / 2 页")));
    EXPECT_TRUE(second.contains(QStringLiteral(">上一页</a>")));
    EXPECT_FALSE(second.contains(QStringLiteral(">下一页</a>")));
    EXPECT_FALSE(second.contains(QStringLiteral("<img src=x")));
    EXPECT_TRUE(second.contains(QStringLiteral("新建学员")));

    XAnswer detail = Query(MDU_STUDENT, {{"one", "1"}, {"query", "<r><x id=\"33208\">script</x></r>"}, {"xsl", "detail"}});
    ASSERT_EQ(detail.Children("item").size(), 1);
    const QString html = Render(detail.body, "461-detail.xsl");
    EXPECT_FALSE(html.contains(QStringLiteral("<script>alert")));
    EXPECT_FALSE(html.contains(QStringLiteral("<img src=x")));
    EXPECT_TRUE(html.contains(QStringLiteral(">修改</button>")));
}

TEST_F(QueryRoutes, EditPageOffersWhatTheUserMayChange)
{
    LogIn({{MDU_TEACHER, m_school.t1}});
    XAnswer a = Query(MDU_STUDENT, {{"one", "1"}, {"id", QString::number(m_school.s1)}, {"xsl", "edit"}});
    ASSERT_EQ(a.status, 200);
    const QString html = Render(a.body, "463-edit.xsl");
    const QList<int> items = a.Children("item");
    ASSERT_EQ(items.size(), 1);
    int editable = 0, shown = 0;
    for (int col : a.ChildrenOf(items[0], "col")) {
        if (a.Attr(col, "coldetail") != "1" || a.Attr(col, "type") == "6")
            continue;
        ++shown;
        const QString key = QStringLiteral("data-key=\"0_0_%1\"").arg(a.Attr(col, "order"));
        EXPECT_EQ(html.contains(key), a.Attr(col, "rw") == "1") << a.Attr(col, "name").toStdString();
        editable += a.Attr(col, "rw") == "1";
    }
    EXPECT_GT(editable, 0);
    EXPECT_GT(shown, editable);
    EXPECT_TRUE(html.contains(QStringLiteral("value=\"张三\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("setcol?mduid=")));
}

TEST_F(QueryRoutes, ListLinksCarryQueriesWithLinksAndSigns)
{
    LogIn({{MDU_TEACHER, m_school.t1}});
    XAnswer a = Query(MDU_EDURCD, {{"xsl", "items"},
                                   {"query", QStringLiteral("<r><x id=\"1047\">2026-03-01</x><x id=\"1048\">2026-03-31</x>"
                                                            "<x id=\"33208\">a&amp;b+c#d%e</x><x id=\"321\">&lt;a "
                                                            "href=\"xl:321:%1\"&gt;张三 &amp;amp; 小明&lt;/a&gt;</x></r>")
                                                 .arg(m_school.s1)}});
    ASSERT_EQ(a.status, 200);
    ASSERT_NE(a.Root("querynext"), "");
    ASSERT_TRUE(a.Root("querynext").contains(u'&'));
    const QString html = Render(a.body, "465-items.xsl");
    EXPECT_EQ(QueryOfLink(html, QStringLiteral("query?mduid=334&amp;xsl=items&amp;page=0&amp;query=")),
              a.Root("queryprev"));
    // the second period link is the next one
    const qsizetype next = html.indexOf(QStringLiteral("下一期"));
    ASSERT_GT(next, 0);
    EXPECT_EQ(QueryOfLink(html.left(next).mid(html.left(next).lastIndexOf(QStringLiteral("<a "))),
                          QStringLiteral("query?mduid=334")),
              a.Root("querynext"));
}
