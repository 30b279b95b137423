#include "RecordDbFixture.h"

#include "RecordWriter.h"

#include <QtCore/QElapsedTimer>

#include <thread>
#include <vector>

namespace {

class SaveItems : public RecordDb
{
protected:
    static QString Text(const QString& sql) { return QueryText(sql); }
    static int LogRows(int type)
    {
        return Count(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=%1").arg(type));
    }
};

// A course that is made automatically: untouched, it is not stored.
class CAutoCourse : public CTestCourse
{
public:
    bool IsAuto() const override { return true; }
};

TEST_F(SaveItems, NewNumberedRecordGetsNumberIdStampAndAddRow)
{
    CTestReceipt r;
    r.m_fAmount = 120;
    ASSERT_TRUE(SaveItem(nullptr, &r, nullptr, m_user));
    EXPECT_EQ(r.m_strName, QStringLiteral("B250001"));
    EXPECT_EQ(r.m_nID, 1);
    EXPECT_EQ(r.m_created.m_nID, 7);
    EXPECT_EQ(r.m_created.m_strName, QStringLiteral("王老师"));
    EXPECT_DOUBLE_EQ(r.m_created.m_dtDate.Day(), m_now.Day());
    EXPECT_EQ(Text(QStringLiteral("SELECT KeyName||'|'||Amount FROM TB_TEST_RECEIPT")),
              QStringLiteral("B250001|120.0"));
    EXPECT_EQ(
        Text(QStringLiteral("SELECT TypeID||'|'||MduID||'|'||ItemID||'|'||UserID||'|'||OperMemo FROM TB_OPERLOG")),
        QStringLiteral("4|331|1|7|"));

    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_RECEIPT (KeyName) VALUES ('B250041')")));
    CTestReceipt next;
    ASSERT_TRUE(SaveItem(nullptr, &next, nullptr, m_user));
    EXPECT_EQ(next.m_strName, QStringLiteral("B250042"));
}

TEST_F(SaveItems, WritersOnSeveralThreadsNeverShareANumber)
{
    std::vector<QString> numbers[2];
    auto work = [this](std::vector<QString>& out) {
        for (int i = 0; i < 15; ++i) {
            CTestReceipt r;
            if (SaveItem(nullptr, &r, nullptr, m_user))
                out.push_back(r.m_strName);
        }
    };
    std::thread a(work, std::ref(numbers[0])), b(work, std::ref(numbers[1]));
    a.join();
    b.join();
    QStringList all;
    for (const auto& list : numbers)
        for (const QString& n : list)
            all.append(n);
    EXPECT_EQ(all.size(), 30);
    all.removeDuplicates();
    EXPECT_EQ(all.size(), 30);
    EXPECT_EQ(Text(QStringLiteral("SELECT MAX(KeyName) FROM TB_TEST_RECEIPT")), QStringLiteral("B250030"));
}

TEST_F(SaveItems, ChangesAreDescribedOnlyForListedFields)
{
    CTestReceipt r;
    r.m_strMemo = QString(70, u'a');
    ASSERT_TRUE(SaveItem(nullptr, &r, nullptr, m_user));
    CTestReceipt earlier;
    r.CopyTo(&earlier);
    r.m_modified.Reset();

    r.m_strNote = QStringLiteral("内部");
    ASSERT_TRUE(SaveItem(nullptr, &r, &earlier, m_user));
    EXPECT_EQ(Text(QStringLiteral("SELECT Note FROM TB_TEST_RECEIPT")), QStringLiteral("内部"));
    EXPECT_EQ(LogRows(OPER_MDF), 0);
    EXPECT_EQ(r.m_modified.m_nID, 0);
    EXPECT_EQ(earlier.m_strNote, QStringLiteral("内部"));

    r.m_strMemo = QString(70, u'b');
    ASSERT_TRUE(SaveItem(nullptr, &r, &earlier, m_user));
    EXPECT_EQ(Text(QStringLiteral("SELECT OperMemo FROM TB_OPERLOG WHERE TypeID=6")),
              QStringLiteral("备注：<del>") + QString(64, u'a') + QStringLiteral("</del>") + QString(64, u'b'));
    EXPECT_EQ(r.m_modified.m_nID, 7);
    EXPECT_EQ(earlier.m_strMemo, QString(70, u'b'));

    // without an earlier copy the stamp moves and nothing is described
    r.m_modified.Reset();
    ASSERT_TRUE(SaveItem(nullptr, &r, nullptr, m_user));
    EXPECT_EQ(LogRows(OPER_MDF), 1);
    EXPECT_EQ(r.m_modified.m_nID, 7);
}

TEST_F(SaveItems, SavingAStudentPrunesOnlyTheStudentsOwnAccounts)
{
    CTestStudent s;
    s.m_strName = QStringLiteral("小红");
    for (const char* phone : {"111", "222"}) {
        CXItem* line = s.m_accounts.CreateItem();
        line->m_strName = QString::fromLatin1(phone);
        s.m_accounts.Add(line);
    }
    ASSERT_TRUE(SaveItem(nullptr, &s, nullptr, m_user));
    ASSERT_EQ(s.m_nID, 1);
    // a teacher whose ID is the student's has accounts in the same table
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_ACCOUNT (MduID,PersonID,Content) VALUES (322,1,'999')")));
    EXPECT_EQ(Text(QStringLiteral("SELECT GROUP_CONCAT(MduID||':'||PersonID||':'||Content) FROM TB_ACCOUNT")),
              QStringLiteral("321:1:111,321:1:222,322:1:999"));
    EXPECT_EQ(Text(QStringLiteral("SELECT GROUP_CONCAT(MduID||':'||ItemID) FROM TB_OPERLOG")), QStringLiteral("321:1"));

    s.m_accounts.RemoveAt(0);
    ASSERT_TRUE(SaveItem(nullptr, &s, nullptr, m_user));
    EXPECT_EQ(Text(QStringLiteral("SELECT GROUP_CONCAT(MduID||':'||PersonID||':'||Content) FROM TB_ACCOUNT")),
              QStringLiteral("321:1:222,322:1:999"));

    s.m_accounts.RemoveAll();
    ASSERT_TRUE(SaveItem(nullptr, &s, nullptr, m_user));
    EXPECT_EQ(Text(QStringLiteral("SELECT GROUP_CONCAT(MduID||':'||PersonID||':'||Content) FROM TB_ACCOUNT")),
              QStringLiteral("322:1:999"));
}

TEST_F(SaveItems, ChildLinesDerivedFromAnotherModuleKeepTheirOwnRow)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (ID,RecordName) VALUES (5,'钢琴')")));
    CTestCharge c;
    c.m_strName = QStringLiteral("春季");
    CTestCourseLine* line = static_cast<CTestCourseLine*>(c.m_lines.CreateItem());
    line->m_nID = 5;
    line->m_nLessons = 8;
    c.m_lines.Add(line);
    ASSERT_TRUE(SaveItem(nullptr, &c, nullptr, m_user));
    EXPECT_EQ(line->m_nID, 5);
    EXPECT_EQ(line->m_nSubID, 1);
    EXPECT_EQ(Text(QStringLiteral("SELECT ID||'|'||ChargeID||'|'||CourseID||'|'||Lessons FROM TB_TEST_CHARGE_COURSE")),
              QStringLiteral("1|1|5|8"));
    EXPECT_EQ(Text(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_COURSE")), QStringLiteral("1"));
    EXPECT_EQ(LogRows(OPER_ADD), 1); // lines are not journalled

    line->m_nLessons = 9;
    ASSERT_TRUE(SaveItem(nullptr, &c, nullptr, m_user));
    EXPECT_EQ(Text(QStringLiteral("SELECT ID||'|'||Lessons FROM TB_TEST_CHARGE_COURSE")), QStringLiteral("1|9"));
}

TEST_F(SaveItems, OwnedTransactionRollsBackWhenALineFailsAndReportsAfterwards)
{
    ASSERT_TRUE(Exec(QStringLiteral("DROP TABLE TB_TEST_CHARGE_COURSE")));
    CTestCharge c;
    c.m_strName = QStringLiteral("春季");
    c.m_lines.Add(c.m_lines.CreateItem());
    EXPECT_FALSE(SaveItem(nullptr, &c, nullptr, m_user));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_CHARGE")), 0);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG")), 0);
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].task, QStringLiteral("保存课程"));
}

TEST_F(SaveItems, AWorkerWritesItsErrorLogRowAfterTheRollback)
{
    ASSERT_TRUE(Exec(QStringLiteral("DROP TABLE TB_TEST_CHARGE_COURSE")));
    const XErrorSink previous = SetErrorSink(ShowOrLogError);
    bool saved = true;
    OnWorker([&] {
        CTestCharge c;
        c.m_lines.Add(c.m_lines.CreateItem());
        saved = SaveItem(nullptr, &c, nullptr, m_user);
    });
    SetErrorSink(previous);
    EXPECT_FALSE(saved);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_CHARGE")), 0);
    EXPECT_EQ(LogRows(OPER_RUN), 1);
}

TEST_F(SaveItems, AFailedSaveLeavesTheRecordNewSoThatARetryStoresIt)
{
    ASSERT_TRUE(Exec(QStringLiteral("ALTER TABLE TB_TEST_CHARGE_COURSE RENAME TO X")));
    CTestCharge c;
    c.m_strName = QStringLiteral("春季");
    c.m_lines.Add(c.m_lines.CreateItem());
    EXPECT_FALSE(SaveItem(nullptr, &c, nullptr, m_user));
    EXPECT_EQ(c.m_nID, 0); // the row was rolled back
    ASSERT_TRUE(Exec(QStringLiteral("ALTER TABLE X RENAME TO TB_TEST_CHARGE_COURSE")));
    EXPECT_TRUE(SaveItem(nullptr, &c, nullptr, m_user));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_CHARGE")), 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_CHARGE_COURSE WHERE ChargeID=%1").arg(c.m_nID)), 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_CHARGE_COURSE")), 1);
}

TEST_F(SaveItems, ASaveOrDeleteWhoseLogRowFailsStoresNothingAndIsReported)
{
    // the log table refuses rows of one operation type at statement level
    const auto refuse = [](int type) {
        return Exec(QStringLiteral("DROP TRIGGER IF EXISTS NoLog; CREATE TRIGGER NoLog BEFORE INSERT ON TB_OPERLOG "
                                   "WHEN NEW.TypeID=%1 BEGIN SELECT RAISE(ABORT,'log refused'); END")
                        .arg(type));
    };
    const auto expectOneReport = [this] {
        ASSERT_EQ(m_errors.reports.size(), 1u);
        EXPECT_EQ(m_errors.reports[0].task, QStringLiteral("保存收据"));
        EXPECT_TRUE(m_errors.reports[0].message.contains(QStringLiteral("log refused")));
        m_errors.reports.clear();
    };

    // a new record: no row, no number used, still new
    ASSERT_TRUE(refuse(OPER_ADD));
    CTestReceipt r;
    r.m_strMemo = QStringLiteral("甲");
    EXPECT_FALSE(SaveItem(nullptr, &r, nullptr, m_user));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_RECEIPT")), 0);
    EXPECT_EQ(r.m_nID, 0);
    EXPECT_TRUE(r.m_strName.isEmpty());
    EXPECT_EQ(r.m_created.m_nID, 0);
    expectOneReport();

    // a described change: the row keeps its stored text and the earlier copy stays as stored
    ASSERT_TRUE(refuse(OPER_MDF));
    ASSERT_TRUE(SaveItem(nullptr, &r, nullptr, m_user));
    CTestReceipt earlier;
    r.CopyTo(&earlier);
    r.m_strMemo = QStringLiteral("乙");
    EXPECT_FALSE(SaveItem(nullptr, &r, &earlier, m_user));
    EXPECT_EQ(Text(QStringLiteral("SELECT RecordMemo FROM TB_TEST_RECEIPT")), QStringLiteral("甲"));
    EXPECT_EQ(earlier.m_strMemo, QStringLiteral("甲"));
    EXPECT_EQ(r.m_modified.m_nID, 0);
    expectOneReport();

    // a delete keeps the row
    ASSERT_TRUE(refuse(OPER_DEL));
    EXPECT_FALSE(DeleteItem(nullptr, &r, m_user));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_RECEIPT")), 1);
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].task, QStringLiteral("删除收据"));
}

TEST_F(SaveItems, AWorkersSaveWhoseLogRowFailsIsRolledBack)
{
    // on a worker the report is itself a log row, which fails too and is dropped
    ASSERT_TRUE(Exec(QStringLiteral("CREATE TRIGGER NoLog BEFORE INSERT ON TB_OPERLOG "
                                    "BEGIN SELECT RAISE(ABORT,'log refused'); END")));
    const XErrorSink previous = SetErrorSink(ShowOrLogError);
    bool saved = true;
    OnWorker([&] {
        CTestCourse c;
        c.m_strName = QStringLiteral("钢琴");
        saved = SaveItem(nullptr, &c, nullptr, m_user);
    });
    SetErrorSink(previous);
    EXPECT_FALSE(saved);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_COURSE")), 0);
}

TEST_F(SaveItems, SavingARecordWhoseRowIsGoneIsAFailure)
{
    CTestCourse c;
    c.m_strName = QStringLiteral("A");
    ASSERT_TRUE(SaveItem(nullptr, &c, nullptr, m_user));
    ASSERT_TRUE(Exec(QStringLiteral("DELETE FROM TB_TEST_COURSE")));
    m_errors.reports.clear();
    c.m_strName = QStringLiteral("B");
    EXPECT_FALSE(SaveItem(nullptr, &c, nullptr, m_user));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_COURSE")), 0);
    EXPECT_EQ(LogRows(OPER_MDF), 0);
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].message, QString::fromUtf8("要保存的课程已不存在，可能已被删除。"));
}

TEST_F(SaveItems, ErrorsInACallersTransactionWaitForItsEnd)
{
    // on a worker the report becomes a log row on another connection: it must not wait for
    // the caller's write lock (and be lost), but come when the caller's transaction ended
    ASSERT_TRUE(Exec(QStringLiteral("DROP TABLE TB_TEST_CHARGE_COURSE")));
    const XErrorSink previous = SetErrorSink(ShowOrLogError);
    bool saved = true;
    qint64 ms = 0;
    OnWorker([&] {
        CXDBSession s;
        s.Connect();
        ASSERT_TRUE(s.BeginTransaction());
        CTestCharge c;
        c.m_lines.Add(c.m_lines.CreateItem());
        QElapsedTimer timer;
        timer.start();
        saved = SaveItem(&s, &c, nullptr, m_user);
        ms = timer.elapsed();
        s.Abort();
    });
    SetErrorSink(previous);
    EXPECT_FALSE(saved);
    EXPECT_LT(ms, 5000);
    EXPECT_EQ(LogRows(OPER_RUN), 1);
}

// Fixtures that log a user in and end with Clear() must not leave the next test a user
// pointing at their freed record.
TEST(FakeAppServices, ClearLogsTheUserOut)
{
    CFakeAppServices& app = CFakeAppServices::Installed();
    {
        CXItem someone;
        app.user = &someone;
        ASSERT_EQ(AppServices().User(), &someone);
        app.Clear();
    }
    EXPECT_EQ(AppServices().User(), nullptr);
}

TEST_F(SaveItems, ListDeletionsAreLoggedAsTheLoggedInUser)
{
    CTestCourse* c = new CTestCourse;
    c->m_strName = QStringLiteral("钢琴");
    ASSERT_TRUE(SaveItem(nullptr, c, nullptr, m_user));
    CXArrayT<CTestCourse> list;
    list.Add(c);
    CFakeAppServices::Installed().user = &m_user;
    EXPECT_TRUE(list.DeleteItems());
    CFakeAppServices::Installed().user = nullptr;
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG WHERE TypeID=5 AND UserID=7")), 1);
}

TEST_F(SaveItems, AutomaticRecordsAreNotStoredAndAFailedDeleteIsAFailure)
{
    CAutoCourse fresh;
    EXPECT_TRUE(SaveItem(nullptr, &fresh, nullptr, m_user));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_COURSE")), 0);

    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (ID,RecordName) VALUES (3,'自动')")));
    CAutoCourse stored;
    stored.m_nID = 3;
    stored.m_created.m_nID = 7;
    EXPECT_TRUE(SaveItem(nullptr, &stored, nullptr, m_user));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_COURSE")), 0);
    EXPECT_EQ(stored.m_created.m_nID, 0);

    ASSERT_TRUE(Exec(QStringLiteral("ALTER TABLE TB_TEST_COURSE RENAME TO TB_COURSE_OLD")));
    EXPECT_FALSE(SaveItem(nullptr, &stored, nullptr, m_user));
    EXPECT_EQ(m_errors.reports.size(), 1u);
}

TEST_F(SaveItems, DeleteRemovesRowAndLinesAndLogsTheTitle)
{
    CTestCharge never;
    EXPECT_TRUE(DeleteItem(nullptr, &never, m_user));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG")), 0);

    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_CHARGE (ID,RecordName) VALUES (1,'春季'),(2,'秋季');"
                                    "INSERT INTO TB_TEST_CHARGE_COURSE (ChargeID,CourseID) VALUES (1,5),(1,6),(2,5)")));
    CTestCharge c;
    c.m_nID = 1;
    c.m_strName = QStringLiteral("春季");
    ASSERT_TRUE(DeleteItem(nullptr, &c, m_user));
    EXPECT_EQ(Text(QStringLiteral("SELECT GROUP_CONCAT(ID) FROM TB_TEST_CHARGE")), QStringLiteral("2"));
    EXPECT_EQ(Text(QStringLiteral("SELECT GROUP_CONCAT(ChargeID) FROM TB_TEST_CHARGE_COURSE")), QStringLiteral("2"));
    EXPECT_EQ(Text(QStringLiteral("SELECT TypeID||'|'||MduID||'|'||ItemID||'|'||OperMemo FROM TB_OPERLOG")),
              QStringLiteral("5|329|0|春季"));
}

TEST_F(SaveItems, DeleteWithoutSessionIsAllOrNothing)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_CHARGE (ID,RecordName) VALUES (1,'春季');"
                                    "ALTER TABLE TB_TEST_CHARGE_COURSE RENAME TO TB_CHARGE_COURSE_OLD")));
    CTestCharge c;
    c.m_nID = 1;
    EXPECT_FALSE(DeleteItem(nullptr, &c, m_user));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_CHARGE")), 1);
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].task, QStringLiteral("删除课时包的课程"));
}

TEST_F(SaveItems, DeleteItemsIsOneTransaction)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_COURSE (ID,RecordName) VALUES (1,'钢琴');"
                                    "INSERT INTO TB_TEST_CHARGE (ID,RecordName) VALUES (1,'春季');"
                                    "DROP TABLE TB_TEST_CHARGE_COURSE")));
    CXArray items(nullptr, true);
    auto* course = new CTestCourse;
    course->m_nID = 1;
    auto* charge = new CTestCharge;
    charge->m_nID = 1;
    items.Add(course);
    items.Add(charge);
    EXPECT_FALSE(items.DeleteItems(&m_user));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_COURSE")), 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_CHARGE")), 1);
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_OPERLOG")), 0);

    items.RemoveAt(1);
    EXPECT_TRUE(items.DeleteItems(&m_user));
    EXPECT_EQ(Count(QStringLiteral("SELECT COUNT(*) FROM TB_TEST_COURSE")), 0);
    EXPECT_EQ(LogRows(OPER_DEL), 1);
}

TEST_F(SaveItems, ReplaceColumnValueRenamesEveryUse)
{
    ASSERT_TRUE(Exec(QStringLiteral("INSERT INTO TB_TEST_CHARGE (Room) VALUES ('A''1'),('A''1'),('B')")));
    EXPECT_TRUE(ReplaceColumnValue(QStringLiteral("TB_TEST_CHARGE"), QStringLiteral("Room"), QStringLiteral("A'1"),
                                   QStringLiteral("C'3")));
    EXPECT_EQ(Text(QStringLiteral("SELECT GROUP_CONCAT(Room) FROM TB_TEST_CHARGE")), QStringLiteral("C'3,C'3,B"));
    EXPECT_FALSE(ReplaceColumnValue(QStringLiteral("TB_NONE"), QStringLiteral("Room"), QStringLiteral("x"),
                                    QStringLiteral("y")));
    ASSERT_EQ(m_errors.reports.size(), 1u);
    EXPECT_EQ(m_errors.reports[0].task, QStringLiteral("更新历史记录"));
}

} // namespace
